// Householder reduction of a real general matrix to upper Hessenberg form.
//
// Step m (m = low+1 .. igh-1) builds the Householder vector u that
// annihilates column m-1 below row m, transforms from the left (columns
// m .. n, rows m .. igh) and then from the right (rows 1 .. igh, columns
// m .. igh). Each column is brought into cache once per step: the right-hand
// update of step m-1, the left-hand update of step m and the row sums of
// step m are applied to it together. Rows above the current block of steps
// are changed only by the right-hand transformations and read by nothing
// else, so those are held back and applied per block. Every element's
// arithmetic stays as in the step-by-step order.
#include <algorithm>
#include <cmath>

#include "subs99/numerics.h"
#include "subs99/sign.h"

namespace {

constexpr int HELD = HessenbergWork::HELD;
// Rows per tile when the held-back transformations are applied.
constexpr int ROWS = 64;
// Columns updated side by side.
constexpr int GROUP = 8;

// Householder vector u (in ort(m .. igh)) that annihilates column m-1 below
// row m, with scale = sum of |a(i,m-1)|, h = u'u / 2 and the new subdiagonal
// entry g / scale; false when that part of the column is zero.
bool HouseholderVector(const double* cprev, int m, int igh, double* ort, double& scale, double& h, double& g) {
    ort[m - 1] = 0.0;
    scale = 0.0;
    for (int i = m; i <= igh; ++i) scale += std::fabs(cprev[i - 1]);
    if (scale == 0.0) return false;
    h = 0.0;
    for (int i = igh; i >= m; --i) {
        ort[i - 1] = cprev[i - 1] / scale;
        h += ort[i - 1] * ort[i - 1];
    }
    g = -SignOf(std::sqrt(h), ort[m - 1]);
    h -= ort[m - 1] * g;
    ort[m - 1] -= g;
    return true;
}

// c(r0 .. r1-1) -= f(r0 .. r1-1) uj: the right-hand transformation of part
// of a column with the row factors f.
inline void RankOneColumn(double* __restrict c, const double* __restrict f, double uj, int r0, int r1) {
    for (int i = r0; i < r1; ++i) c[i] -= f[i] * uj;
}

// One column group of step m (columns cols[0] > cols[1] > ...), on rows
// r0+1 .. igh: the pending right-hand transformation of step m-1 (row
// factors fprev, vector uprev; columns up to igh), then the left-hand
// transformation of step m (sums over i = igh down to m), then the row sums
// of step m (fnew(i) += u(j) a(i,j), j descending).
template <int G>
void SweepGroup(double* const* col, const int* cols, int m, int r0, int igh, const double* u, double h,
                bool pending, const double* fprev, const double* uprev, double* fnew) {
    bool right[G], sums[G];
    for (int c = 0; c < G; ++c) {
        sums[c] = cols[c] <= igh;
        right[c] = pending && sums[c];
    }
    bool allRight = true;
    for (int c = 0; c < G; ++c) allRight = allRight && right[c];
    double s[G];
    for (int c = 0; c < G; ++c) s[c] = 0.0;
    if (allRight) {
        // Rows m .. igh: right-hand update and the column sums in one pass.
        double up[G];
        for (int c = 0; c < G; ++c) up[c] = uprev[cols[c] - 1];
        for (int i = igh - 1; i >= m - 1; --i) {
            const double ui = u[i], fi = fprev[i];
            for (int c = 0; c < G; ++c) {
                const double x = col[c][i] - fi * up[c];
                col[c][i] = x;
                s[c] += ui * x;
            }
        }
        for (int c = 0; c < G; ++c) RankOneColumn(col[c], fprev, up[c], r0, m - 1);
    } else {
        for (int c = 0; c < G; ++c)
            if (right[c]) RankOneColumn(col[c], fprev, uprev[cols[c] - 1], r0, igh);
        for (int i = igh - 1; i >= m - 1; --i) {
            const double ui = u[i];
            for (int c = 0; c < G; ++c) s[c] += ui * col[c][i];
        }
    }
    double f[G];
    for (int c = 0; c < G; ++c) f[c] = s[c] / h;
    bool allSums = true;
    for (int c = 0; c < G; ++c) allSums = allSums && sums[c];
    if (allSums) {
        double uc[G];
        for (int c = 0; c < G; ++c) uc[c] = u[cols[c] - 1];
        // fnew is a separate buffer: no dependence between the rows.
#pragma GCC ivdep
        for (int i = r0; i < m - 1; ++i) {
            double t = fnew[i];
            for (int c = 0; c < G; ++c) t += uc[c] * col[c][i];
            fnew[i] = t;
        }
#pragma GCC ivdep
        for (int i = m - 1; i < igh; ++i) {
            const double ui = u[i];
            double t = fnew[i];
            for (int c = 0; c < G; ++c) {
                const double x = col[c][i] - f[c] * ui;
                col[c][i] = x;
                t += uc[c] * x;
            }
            fnew[i] = t;
        }
        return;
    }
    for (int c = 0; c < G; ++c) {
        double* x = col[c];
        for (int i = m - 1; i < igh; ++i) x[i] -= f[c] * u[i];
        if (sums[c]) {
            const double uj = u[cols[c] - 1];
            for (int i = r0; i < igh; ++i) fnew[i] += uj * x[i];
        }
    }
}

// Right-hand transformations of the held-back steps applied in order to rows
// 1 .. rows (which no step reads in the meantime), a tile of rows at a time
// so that the tile stays in cache through all of them.
void ApplyHeldRows(Mat<double> a, int rows, int igh, int count, const HessenbergWork& w) {
    double f[ROWS], fn[ROWS];  // row factors of the tile: this step, the next
    for (int r0 = 0; r0 < rows; r0 += ROWS) {
        const int nr = std::min(ROWS, rows - r0);
        // Row sums of the first step, j = igh down to m.
        {
            const double* u = w.heldVector[0];
            for (int i = 0; i < nr; ++i) f[i] = 0.0;
            for (int j = igh; j >= w.heldStep[0]; --j) {
                const double uj = u[j - 1];
                const double* c = a.col(j) + r0;
                for (int i = 0; i < nr; ++i) f[i] += uj * c[i];
            }
            for (int i = 0; i < nr; ++i) f[i] /= w.heldDivisor[0];
        }
        for (int t = 0; t < count; ++t) {
            const double* u = w.heldVector[t];
            const int m = w.heldStep[t];
            const bool next = t + 1 < count;
            const double* un = next ? w.heldVector[t + 1] : u;
            const int mn = next ? w.heldStep[t + 1] : igh + 1;
            for (int i = 0; i < nr; ++i) fn[i] = 0.0;
            // Step t's update of column j, then step t+1's sum over it.
            for (int j = igh; j >= m; --j) {
                double* c = a.col(j) + r0;
                const double uj = u[j - 1];
                if (j >= mn) {
                    const double ujn = un[j - 1];
                    for (int i = 0; i < nr; ++i) {
                        const double x = c[i] - f[i] * uj;
                        c[i] = x;
                        fn[i] += ujn * x;
                    }
                } else {
                    for (int i = 0; i < nr; ++i) c[i] -= f[i] * uj;
                }
            }
            if (next)
                for (int i = 0; i < nr; ++i) f[i] = fn[i] / w.heldDivisor[t + 1];
        }
    }
}

// Applies the pending right-hand transformation of the previous step to
// columns first .. igh, rows r0+1 .. r1.
void ApplyPending(Mat<double> a, const HessenbergWork& w, int first, int igh, int r0, int r1) {
    for (int j = first; j <= igh; ++j) RankOneColumn(a.col(j), w.previousRowFactor, w.previousVector[j - 1], r0, r1);
}

// Step m on rows r0+1 .. igh with its Householder vector u: every column
// m .. n, from the last, in groups.
void TransformColumns(Mat<double> a, int n, int m, int r0, int igh, const double* u, double h, bool pending,
                      HessenbergWork& w) {
    double* col[GROUP];
    int cols[GROUP];
    int j = n;
    for (; j - GROUP + 1 >= m; j -= GROUP) {
        for (int c = 0; c < GROUP; ++c) {
            cols[c] = j - c;
            col[c] = a.col(j - c);
        }
        SweepGroup<GROUP>(col, cols, m, r0, igh, u, h, pending, w.previousRowFactor, w.previousVector, w.rowFactor);
    }
    for (; j >= m; --j) {
        cols[0] = j;
        col[0] = a.col(j);
        SweepGroup<1>(col, cols, m, r0, igh, u, h, pending, w.previousRowFactor, w.previousVector, w.rowFactor);
    }
}

}  // namespace

void ReduceToHessenberg(Mat<double> a, int n, int low, int igh, double* ort, HessenbergWork& w) {
    bool pending = false;  // the right-hand transformation of step mprev waits
    int mprev = 0;
    int rprev = 0;  // rows 1 .. rprev were held back for the previous block
    for (int m1 = low + 1; m1 <= igh - 1; m1 += HELD) {
        const int m2 = std::min(igh - 1, m1 + HELD - 1);
        const int r0 = m1 - 1;  // rows 1 .. r0 are held back in this block
        // The pending step reaches rows rprev+1 .. r0, held back no longer.
        if (pending) ApplyPending(a, w, mprev, igh, rprev, r0);
        int held = 0;
        for (int m = m1; m <= m2; ++m) {
            double* cprev = a.col(m - 1);
            if (pending) RankOneColumn(cprev, w.previousRowFactor, w.previousVector[m - 2], r0, igh);
            double scale, h, g;
            if (!HouseholderVector(cprev, m, igh, ort, scale, h, g)) {
                // Nothing to annihilate: the pending step is completed.
                if (pending) ApplyPending(a, w, m, igh, r0, igh);
                pending = false;
                continue;
            }
            const double* u = ort;
            for (int i = r0; i < igh; ++i) w.rowFactor[i] = 0.0;
            TransformColumns(a, n, m, r0, igh, u, h, pending, w);
            // Step m becomes the pending one and is held for the rows above.
            for (int i = r0; i < igh; ++i) w.previousRowFactor[i] = w.rowFactor[i] / h;
            for (int i = m; i <= igh; ++i) w.previousVector[i - 1] = w.heldVector[held][i - 1] = u[i - 1];
            w.heldDivisor[held] = h;
            w.heldStep[held] = m;
            ++held;
            pending = true;
            mprev = m;
            ort[m - 1] = scale * ort[m - 1];
            a(m, m - 1) = scale * g;
        }
        if (held > 0 && r0 > 0) ApplyHeldRows(a, r0, igh, held, w);
        rprev = r0;
    }
    if (pending) ApplyPending(a, w, mprev, igh, rprev, igh);
}
