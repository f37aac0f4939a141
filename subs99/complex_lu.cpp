// Complex linear systems: Gaussian elimination with partial pivoting by
// columns, the matching solve, and the vector kernels they are built on.
// Complex numbers are pairs of doubles; the product (a+ib)(c+id) is formed as
// (ac - bd) + i(bc + ad). The loops write ac - bd as ac + (-b)d (the same
// value): g++ 12 turns the subtracted form of a vectorised complex
// multiply-add into fused multiply-add instructions even under
// -ffp-contract=off, which would make results depend on the target.
#include <algorithm>
#include <cmath>
#include <utility>

#include "subs99/numerics.h"

namespace {
// Pivoting and zero tests use |Re z| + |Im z|.
inline double Measure(ZDouble z) { return std::fabs(z.re) + std::fabs(z.im); }

// y = y + a x over n elements with unit strides.
inline void AxpyUnit(int n, ZDouble a, const ZDouble* __restrict x, ZDouble* __restrict y) {
    const double ar = a.re, ai = a.im, nai = -a.im;
    for (int i = 0; i < n; ++i) {
        const double xr = x[i].re, xi = x[i].im;
        y[i].re = y[i].re + (ar * xr + nai * xi);
        y[i].im = y[i].im + (ai * xr + ar * xi);
    }
}
}  // namespace

// Kept scalar: vectorised, its two parts become a fused multiply-add-subtract
// (see the note at the top).
__attribute__((optimize("no-tree-slp-vectorize"))) ZDouble ComplexQuotient(ZDouble a, ZDouble b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double r = b.im / b.re;
        const double den = b.re + b.im * r;
        return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
    }
    const double r = b.re / b.im;
    const double den = b.re * r + b.im;
    return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

int ComplexMaxIndex(int n, const ZDouble* x) {
    if (n < 1) return 0;
    int best = 1;
    double smax = Measure(x[0]);
    for (int i = 2; i <= n; ++i) {
        const double v = Measure(x[i - 1]);
        if (v > smax) {
            best = i;
            smax = v;
        }
    }
    return best;
}

void ComplexScale(int n, ZDouble a, ZDouble* x) {
    const double nai = -a.im;
    for (int i = 0; i < n; ++i) {
        const double xr = x[i].re, xi = x[i].im;
        x[i].re = a.re * xr + nai * xi;
        x[i].im = a.im * xr + a.re * xi;
    }
}

void ComplexAxpy(int n, ZDouble a, const ZDouble* x, ZDouble* y) {
    if (n <= 0 || Measure(a) == 0.0) return;
    AxpyUnit(n, a, x, y);
}

namespace {
// Columns factored as one panel: the steps of a panel are applied to each
// later column while the panel stays in cache.
constexpr int PANEL = 32;
// Later columns updated side by side, sharing each load of a panel column.
constexpr int GROUP = 8;

// Elimination step k (pivot row l) applied to G columns: the interchange,
// then column += t * (multipliers of step k), t the entry in the pivot row.
// A zero t leaves its column alone, as the kernel does.
template <int G>
void ApplyStep(const ZDouble* __restrict mult, int k, int l, int n, ZDouble* const* cols) {
    ZDouble t[G];
    double nti[G];
    bool all = true;
    for (int c = 0; c < G; ++c) {
        ZDouble* y = cols[c];
        t[c] = y[l - 1];
        if (l != k) {
            y[l - 1] = y[k - 1];
            y[k - 1] = t[c];
        }
        nti[c] = -t[c].im;
        all = all && Measure(t[c]) != 0.0;
    }
    if (!all || G == 1) {
        for (int c = 0; c < G; ++c)
            if (Measure(t[c]) != 0.0) AxpyUnit(n - k, t[c], mult + k, cols[c] + k);
        return;
    }
    ZDouble* y[G];
    for (int c = 0; c < G; ++c) y[c] = cols[c];
#pragma GCC ivdep
    for (int i = k; i < n; ++i) {
        const double xr = mult[i].re, xi = mult[i].im;
        for (int c = 0; c < G; ++c) {
            y[c][i].re = y[c][i].re + (t[c].re * xr + nti[c] * xi);
            y[c][i].im = y[c][i].im + (t[c].im * xr + t[c].re * xi);
        }
    }
}
}  // namespace

// Column-oriented elimination with partial pivoting. Every element receives
// the updates of steps 1, 2, ... in that order, each right after that step's
// interchange, exactly as when each step updates all later columns in turn;
// the steps are only grouped into panels so that a column is updated by a
// whole panel while it is in cache.
void ComplexLuFactor(Mat<ZDouble> a, int n, int* ipvt, int& info) {
    info = 0;
    bool skipped[PANEL];  // zero pivot at that step of the panel
    for (int k0 = 1; k0 <= n - 1; k0 += PANEL) {
        const int k1 = std::min(n - 1, k0 + PANEL - 1);
        for (int j = k0; j <= k1; ++j) {
            ZDouble* cj = a.col(j);
            for (int k = k0; k < j; ++k)
                if (!skipped[k - k0]) ApplyStep<1>(a.col(k), k, ipvt[k - 1], n, &cj);
            const int l = ComplexMaxIndex(n - j + 1, cj + (j - 1)) + j - 1;
            ipvt[j - 1] = l;
            skipped[j - k0] = Measure(cj[l - 1]) == 0.0;
            if (skipped[j - k0]) {
                info = j;
                continue;
            }
            if (l != j) std::swap(cj[l - 1], cj[j - 1]);
            const ZDouble recip = ComplexQuotient({1.0, 0.0}, cj[j - 1]);
            ComplexScale(n - j, ZDouble{-recip.re, -recip.im}, cj + j);
        }
        int j = k1 + 1;
        for (; j + GROUP - 1 <= n; j += GROUP) {
            ZDouble* cols[GROUP];
            for (int c = 0; c < GROUP; ++c) cols[c] = a.col(j + c);
            for (int k = k0; k <= k1; ++k)
                if (!skipped[k - k0]) ApplyStep<GROUP>(a.col(k), k, ipvt[k - 1], n, cols);
        }
        for (; j <= n; ++j) {
            ZDouble* cj = a.col(j);
            for (int k = k0; k <= k1; ++k)
                if (!skipped[k - k0]) ApplyStep<1>(a.col(k), k, ipvt[k - 1], n, &cj);
        }
    }
    if (n >= 1) {
        ipvt[n - 1] = n;
        if (Measure(a(n, n)) == 0.0) info = n;
    }
}

void ComplexLuSolve(Mat<const ZDouble> a, int n, const int* ipvt, ZDouble* b) {
    for (int k = 1; k <= n - 1; ++k) {
        const int l = ipvt[k - 1];
        const ZDouble t = b[l - 1];
        if (l != k) {
            b[l - 1] = b[k - 1];
            b[k - 1] = t;
        }
        ComplexAxpy(n - k, t, a.col(k) + k, b + k);
    }
    for (int k = n; k >= 1; --k) {
        b[k - 1] = ComplexQuotient(b[k - 1], a(k, k));
        const ZDouble t{-b[k - 1].re, -b[k - 1].im};
        ComplexAxpy(k - 1, t, a.col(k), b);
    }
}
