// Real LU factorisation (Crout, implicit row-scaled partial pivoting),
// inversion and matrix product, in double precision.
#include <cmath>
#include <utility>

#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {
// Replaces an exactly zero pivot, so a singular matrix gives huge but finite
// entries instead of a failure.
constexpr double TINY = 1.0e-20;

void SwapRows(Mat<double> a, int n, int r1, int r2) {
    for (int k = 1; k <= n; ++k) std::swap(a(r1, k), a(r2, k));
}

void SwapColumns(Mat<double> a, int n, int c1, int c2) {
    double* p = a.col(c1);
    double* q = a.col(c2);
    for (int i = 0; i < n; ++i) std::swap(p[i], q[i]);
}
}  // namespace

void LuDecompose(Mat<double> a, int n, int* pivotRow, double& parity, double* rowScale) {
    parity = 1.0;
    // Largest magnitude of each row, gathered column by column.
    for (int i = 1; i <= n; ++i) rowScale[i - 1] = 0.0;
    for (int j = 1; j <= n; ++j) {
        const double* cj = a.col(j);
        for (int i = 0; i < n; ++i) {
            double t = std::fabs(cj[i]);
            if (t > rowScale[i]) rowScale[i] = t;
        }
    }
    for (int i = 1; i <= n; ++i) {
        double big = rowScale[i - 1];
        if (big == 0.0) {
            PauseForCommand("Singular matrix.");
            big = 1.0;  // an all-zero row is left unscaled
        }
        rowScale[i - 1] = 1.0 / big;
    }

    for (int j = 1; j <= n; ++j) {
        double* cj = a.col(j);
        // Crout step for column j. Entry (i, j) is reduced by A(i,k) A(k,j)
        // for k = 1 .. min(i, j) - 1 in ascending k; running over k outside
        // keeps that order and reads the columns contiguously.
        for (int k = 1; k < j; ++k) {
            const double t = cj[k - 1];
            const double* ck = a.col(k);
            for (int i = k; i < n; ++i) cj[i] -= ck[i] * t;
        }
        // Pivot: largest scaled candidate; a later row with an equal measure wins.
        double big = 0.0;
        int imax = j;
        for (int i = j; i <= n; ++i) {
            double dum = rowScale[i - 1] * std::fabs(cj[i - 1]);
            if (dum >= big) {
                big = dum;
                imax = i;
            }
        }
        if (imax != j) {
            SwapRows(a, n, imax, j);
            parity = -parity;
            rowScale[imax - 1] = rowScale[j - 1];
        }
        pivotRow[j - 1] = imax;
        if (j < n) {
            if (cj[j - 1] == 0.0) cj[j - 1] = TINY;
            const double dum = 1.0 / cj[j - 1];
            for (int i = j; i < n; ++i) cj[i] *= dum;
        }
    }
    if (n >= 1 && a(n, n) == 0.0) a(n, n) = TINY;
}

// The inverse is solved for all columns of the identity at once, with the
// same arithmetic as a forward and back substitution of each column on its
// own (the forward pass skipping the leading zeros of the right-hand side). Right-hand side e_c becomes,
// after the row interchanges, the unit vector e_q of some q, so the forward
// pass starts at row q. The solutions for e_q are kept transposed in Y (column
// i of Y holds entry i of every solution), which turns every row-oriented sum
// into a contiguous update; Y is transposed at the end and its columns are
// permuted back by the interchanges in reverse order.
void InvertMatrix(Mat<double> a, Mat<double> y, int n, int* pivotRow, double* rowScale) {
    for (int j = 1; j <= n; ++j) {
        double* yj = y.col(j);
        for (int i = 0; i < n; ++i) yj[i] = 0.0;
        yj[j - 1] = 1.0;
    }
    double parity = 1.0;
    LuDecompose(a, n, pivotRow, parity, rowScale);

    // Forward pass: entry i of solution q (q < i) is reduced by A(i,j) times
    // entry j for j = q .. i-1 in ascending order.
    for (int i = 2; i <= n; ++i) {
        double* yi = y.col(i);
        for (int j = 1; j < i; ++j) {
            const double t = a(i, j);
            const double* yj = y.col(j);
            for (int q = 0; q < j; ++q) yi[q] -= t * yj[q];
        }
    }
    // Back substitution, entry i of every solution at once, j ascending.
    for (int i = n; i >= 1; --i) {
        double* yi = y.col(i);
        for (int j = i + 1; j <= n; ++j) {
            const double t = a(i, j);
            const double* yj = y.col(j);
            for (int q = 0; q < n; ++q) yi[q] -= t * yj[q];
        }
        const double piv = a(i, i);
        for (int q = 0; q < n; ++q) yi[q] = yi[q] / piv;
    }
    // Transpose: column q now holds the solution for e_q.
    for (int j = 2; j <= n; ++j)
        for (int i = 1; i < j; ++i) std::swap(y(i, j), y(j, i));
    // The solution for e_q belongs to the column c whose interchanged unit
    // vector is e_q: undo the interchanges on the columns in reverse order.
    for (int j = n; j >= 1; --j) {
        const int p = pivotRow[j - 1];
        if (p != j) SwapColumns(y, n, j, p);
    }
}

void MatrixProduct(Mat<const double> a, Mat<const double> b, Mat<double> c, int n) {
    // C(i,j) accumulates A(i,k) B(k,j) for k = 1 .. N in order; four columns
    // of C share each pass over a column of A.
    int j = 1;
    for (; j + 3 <= n; j += 4) {
        double* c0 = c.col(j);
        double* c1 = c.col(j + 1);
        double* c2 = c.col(j + 2);
        double* c3 = c.col(j + 3);
        for (int i = 0; i < n; ++i) c0[i] = c1[i] = c2[i] = c3[i] = 0.0;
        for (int k = 1; k <= n; ++k) {
            const double* ak = a.col(k);
            const double t0 = b(k, j), t1 = b(k, j + 1), t2 = b(k, j + 2), t3 = b(k, j + 3);
            for (int i = 0; i < n; ++i) {
                const double x = ak[i];
                c0[i] += x * t0;
                c1[i] += x * t1;
                c2[i] += x * t2;
                c3[i] += x * t3;
            }
        }
    }
    for (; j <= n; ++j) {
        double* cj = c.col(j);
        for (int i = 0; i < n; ++i) cj[i] = 0.0;
        for (int k = 1; k <= n; ++k) {
            const double* ak = a.col(k);
            const double t = b(k, j);
            for (int i = 0; i < n; ++i) cj[i] += ak[i] * t;
        }
    }
}
