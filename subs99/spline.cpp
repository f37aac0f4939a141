// Interpolating cubic splines: second derivatives from a tridiagonal system,
// then the four coefficients of every interval's cubic. Single precision.
#include "subs99/spline.h"

namespace {

// Rows of the coefficient table: A in rows i, B in 99 + i, C in 198 + i,
// D in 297 + i of the fitted column.
constexpr int ROW_A = 0;
constexpr int ROW_B = 99;
constexpr int ROW_C = 198;
constexpr int ROW_D = 297;

// Columns of the work matrix holding the tridiagonal system.
constexpr int SUB = 1, DIAG = 2, SUPER = 3, RHS = 4;

// End conditions 2 and 3 need three and four points; with fewer points, and
// for a condition never chosen, the natural spline is used.
int UsableEndCondition(int endcond, int n) {
    if (endcond == 2 && n >= 3) return 2;
    if (endcond == 3 && n >= 4) return 3;
    return 1;
}

// Fits one column y(1..n) over x; s receives the second derivatives, work
// holds the tridiagonal system.
void FitColumn(int n, int endcond, const float* x, Mat3<const float> y, int group, int m,
               Mat<float> splcoef, int column, float* s, Mat<float> work) {
    auto X = [&](int i) { return x[i - 1]; };
    auto Y = [&](int j) { return y(j, group, m); };
    auto H = [&](int i) { return X(i + 1) - X(i); };
    auto S = [&](int i) -> float& { return s[i - 1]; };

    const int neq = n - 2;  // equations for S(2) .. S(n-1)
    for (int k = 1; k <= neq; ++k) {
        const float hk = H(k), hk1 = H(k + 1);
        work(k, SUB) = hk;
        work(k, DIAG) = 2.0f * (hk + hk1);
        work(k, SUPER) = hk1;
        work(k, RHS) = 6.0f * ((Y(k + 2) - Y(k + 1)) / hk1 - (Y(k + 1) - Y(k)) / hk);
    }

    if (endcond == 2) {
        work(1, DIAG) += H(1);
        work(neq, DIAG) += H(n - 1);
    } else if (endcond == 3) {
        const float h1 = H(1), h2 = H(2);
        work(1, DIAG) = (h1 + h2) * (h1 + 2.0f * h2) / h2;
        work(1, SUPER) = (h2 * h2 - h1 * h1) / h2;
        const float hl = H(n - 1), hl1 = H(n - 2);
        work(neq, DIAG) = (hl + hl1) * (hl + 2.0f * hl1) / hl1;
        work(neq, SUB) = (hl1 * hl1 - hl * hl) / hl1;
    }

    if (neq >= 1) {
        // Forward elimination without pivoting, then back substitution.
        for (int k = 2; k <= neq; ++k) {
            const float f = work(k, SUB) / work(k - 1, DIAG);
            work(k, DIAG) -= f * work(k - 1, SUPER);
            work(k, RHS) -= f * work(k - 1, RHS);
        }
        S(n - 1) = work(neq, RHS) / work(neq, DIAG);
        for (int k = neq - 1; k >= 1; --k) S(k + 1) = (work(k, RHS) - work(k, SUPER) * S(k + 2)) / work(k, DIAG);
    }

    if (endcond == 2) {
        S(1) = S(2);
        S(n) = S(n - 1);
    } else if (endcond == 3) {
        const float h1 = H(1), h2 = H(2);
        S(1) = ((h1 + h2) * S(2) - h1 * S(3)) / h2;
        const float hl = H(n - 1), hl1 = H(n - 2);
        S(n) = ((hl + hl1) * S(n - 1) - hl * S(n - 2)) / hl1;
    } else {
        S(1) = 0.0f;
        S(n) = 0.0f;
    }

    for (int i = 1; i <= n - 1; ++i) {
        const float h = H(i);
        splcoef(ROW_A + i, column) = (S(i + 1) - S(i)) / (6.0f * h);
        splcoef(ROW_B + i, column) = S(i) / 2.0f;
        splcoef(ROW_C + i, column) = (Y(i + 1) - Y(i)) / h - h * (2.0f * S(i) + S(i + 1)) / 6.0f;
        splcoef(ROW_D + i, column) = Y(i);
    }
}

}  // namespace

void FitSplineTables(int ngroups, int n, int endcond, int ncols, const float* x, Mat3<const float> y,
                     Mat<float> splcoef, float* secondDerivative, Mat<float> system) {
    if (n < 2) return;  // no interval to fit
    const int cond = UsableEndCondition(endcond, n);
    for (int b = 1; b <= ngroups; ++b)
        for (int m = 1; m <= ncols; ++m)
            FitColumn(n, cond, x, y, b, m, splcoef, ncols * (b - 1) + m, secondDerivative, system);
}

float EvaluateSpline(Mat<const float> splcoef, int column, int interval, float dx) {
    const float a = splcoef(ROW_A + interval, column);
    const float b = splcoef(ROW_B + interval, column);
    const float c = splcoef(ROW_C + interval, column);
    const float d = splcoef(ROW_D + interval, column);
    return ((a * dx + b) * dx + c) * dx + d;
}

int StartInterval(const float* x, int n, float v) {
    int k = 1;
    while (k <= n && x[k - 1] < v) ++k;
    int ispan = k - 1;
    if (ispan > n - 1) ispan = n - 1;
    if (ispan < 1) ispan = 1;
    return ispan;
}

void AdvanceInterval(const float* x, int n, float v, int& ispan) {
    while (ispan < n - 1 && x[ispan] < v) ++ispan;
}
