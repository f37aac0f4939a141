// Complex linear systems: Gaussian elimination with partial pivoting by
// columns, the matching solve, and the vector kernels they are built on.
// Complex numbers are pairs of doubles; the product (a+ib)(c+id) is formed as
// (ac - bd) + i(bc + ad).
#include <cmath>
#include <utility>

#include "subs99/numerics.h"

namespace {
// Pivoting and zero tests use |Re z| + |Im z|.
inline double Measure(ZDouble z) { return std::fabs(z.re) + std::fabs(z.im); }

// Offset of logical element 1 for a stride: negative strides run from the
// far end of the vector.
inline long First(int n, int inc) { return inc < 0 ? static_cast<long>(1 - n) * inc : 0L; }

// y = y + a x over n elements with unit strides.
inline void AxpyUnit(int n, ZDouble a, const ZDouble* __restrict x, ZDouble* __restrict y) {
    const double ar = a.re, ai = a.im;
    for (int i = 0; i < n; ++i) {
        const double xr = x[i].re, xi = x[i].im;
        y[i].re = y[i].re + (ar * xr - ai * xi);
        y[i].im = y[i].im + (ai * xr + ar * xi);
    }
}
}  // namespace

ZDouble ComplexQuotient(ZDouble a, ZDouble b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double r = b.im / b.re;
        const double den = b.re + b.im * r;
        return {(a.re + a.im * r) / den, (a.im - a.re * r) / den};
    }
    const double r = b.re / b.im;
    const double den = b.re * r + b.im;
    return {(a.re * r + a.im) / den, (a.im * r - a.re) / den};
}

int ComplexMaxIndex(int n, const ZDouble* x, int incx) {
    if (n < 1) return 0;
    if (n == 1) return 1;
    const long step = incx;
    long ix = First(n, incx);
    int best = 1;
    double smax = Measure(x[ix]);
    for (int i = 2; i <= n; ++i) {
        ix += step;
        const double v = Measure(x[ix]);
        if (v > smax) {
            best = i;
            smax = v;
        }
    }
    return best;
}

void ComplexScale(int n, ZDouble a, ZDouble* x, int incx) {
    if (n <= 0) return;
    const long step = incx;
    long ix = First(n, incx);
    for (int i = 0; i < n; ++i, ix += step) {
        const double xr = x[ix].re, xi = x[ix].im;
        x[ix].re = a.re * xr - a.im * xi;
        x[ix].im = a.im * xr + a.re * xi;
    }
}

void ComplexAxpy(int n, ZDouble a, const ZDouble* x, int incx, ZDouble* y, int incy) {
    if (n <= 0 || Measure(a) == 0.0) return;
    if (incx == 1 && incy == 1) {
        AxpyUnit(n, a, x, y);
        return;
    }
    long ix = First(n, incx);
    long iy = First(n, incy);
    for (int i = 0; i < n; ++i, ix += incx, iy += incy) {
        const double xr = x[ix].re, xi = x[ix].im;
        y[iy].re = y[iy].re + (a.re * xr - a.im * xi);
        y[iy].im = y[iy].im + (a.im * xr + a.re * xi);
    }
}

ZDouble ComplexDot(int n, const ZDouble* x, int incx, const ZDouble* y, int incy) {
    ZDouble s;
    if (n < 1) return s;
    long ix = First(n, incx);
    long iy = First(n, incy);
    for (int i = 0; i < n; ++i, ix += incx, iy += incy) {
        const double xr = x[ix].re, xi = x[ix].im;
        const double yr = y[iy].re, yi = y[iy].im;
        s.re = s.re + (xr * yr - xi * yi);
        s.im = s.im + (xi * yr + xr * yi);
    }
    return s;
}

void ComplexLuFactor(Mat<ZDouble> a, int n, int* ipvt, int& info) {
    info = 0;
    for (int k = 1; k <= n - 1; ++k) {
        ZDouble* ck = a.col(k);
        const int l = ComplexMaxIndex(n - k + 1, ck + (k - 1), 1) + k - 1;
        ipvt[k - 1] = l;
        if (Measure(ck[l - 1]) == 0.0) {
            info = k;
            continue;
        }
        if (l != k) std::swap(ck[l - 1], ck[k - 1]);
        const ZDouble recip = ComplexQuotient({1.0, 0.0}, ck[k - 1]);
        const ZDouble t{-recip.re, -recip.im};
        ComplexScale(n - k, t, ck + k, 1);
        for (int j = k + 1; j <= n; ++j) {
            ZDouble* cj = a.col(j);
            const ZDouble tj = cj[l - 1];
            if (l != k) {
                cj[l - 1] = cj[k - 1];
                cj[k - 1] = tj;
            }
            ComplexAxpy(n - k, tj, ck + k, 1, cj + k, 1);
        }
    }
    if (n >= 1) {
        ipvt[n - 1] = n;
        if (Measure(a(n, n)) == 0.0) info = n;
    }
}

void ComplexLuSolve(Mat<const ZDouble> a, int n, const int* ipvt, ZDouble* b, int job) {
    if (job != 0) return;
    for (int k = 1; k <= n - 1; ++k) {
        const int l = ipvt[k - 1];
        const ZDouble t = b[l - 1];
        if (l != k) {
            b[l - 1] = b[k - 1];
            b[k - 1] = t;
        }
        ComplexAxpy(n - k, t, a.col(k) + k, 1, b + k, 1);
    }
    for (int k = n; k >= 1; --k) {
        b[k - 1] = ComplexQuotient(b[k - 1], a(k, k));
        const ZDouble t{-b[k - 1].re, -b[k - 1].im};
        ComplexAxpy(k - 1, t, a.col(k), 1, b, 1);
    }
}
