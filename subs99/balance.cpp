// Balancing of a real general matrix before its eigenvalues are computed:
// permutations that isolate eigenvalues, then diagonal scaling by powers of
// the radix.
#include <cmath>
#include <utility>

#include "subs99/numerics.h"

namespace {

// Exchanges rows and columns j and m: columns over rows 1 .. l, rows over
// columns k .. n.
void Exchange(Mat<double> a, int n, int j, int m, int k, int l) {
    if (j == m) return;
    double* cj = a.col(j);
    double* cm = a.col(m);
    for (int i = 0; i < l; ++i) std::swap(cj[i], cm[i]);
    for (int i = k; i <= n; ++i) std::swap(a(j, i), a(m, i));
}

// Pushes rows without an off-diagonal entry among columns 1 .. l to the
// bottom, l decreasing; true when that isolates every row down to the first.
bool IsolateRows(Mat<double> a, int n, int k, int& l, double* scale) {
    for (bool again = true; again && l >= 1;) {
        again = false;
        for (int j = l; j >= 1; --j) {
            bool isolated = true;
            for (int i = 1; i <= l; ++i) {
                if (i != j && a(j, i) != 0.0) {
                    isolated = false;
                    break;
                }
            }
            if (!isolated) continue;
            scale[l - 1] = j;
            Exchange(a, n, j, l, k, l);
            if (l == 1) return true;
            --l;
            again = true;
            break;
        }
    }
    return false;
}

// Pushes columns without an off-diagonal entry among rows k .. l to the
// left, k increasing.
void IsolateColumns(Mat<double> a, int n, int& k, int l, double* scale) {
    for (bool again = true; again;) {
        again = false;
        for (int j = k; j <= l; ++j) {
            const double* cj = a.col(j);
            bool isolated = true;
            for (int i = k; i <= l; ++i) {
                if (i != j && cj[i - 1] != 0.0) {
                    isolated = false;
                    break;
                }
            }
            if (!isolated) continue;
            scale[k - 1] = j;
            Exchange(a, n, j, k, k, l);
            ++k;
            again = true;
            break;
        }
    }
}

// Scales rows and columns k .. l by powers of the radix until a pass over
// them changes nothing.
void ScaleRowsAndColumns(Mat<double> a, int n, int k, int l, double* scale, double radix) {
    const double b2 = radix * radix;
    for (int i = k; i <= l; ++i) scale[i - 1] = 1.0;
    for (bool noconv = true; noconv;) {
        noconv = false;
        for (int i = k; i <= l; ++i) {
            double c = 0.0;
            double r = 0.0;
            const double* ci = a.col(i);
            for (int j = k; j <= l; ++j) {
                if (j == i) continue;
                c += std::fabs(ci[j - 1]);
                r += std::fabs(a(i, j));
            }
            if (c == 0.0 || r == 0.0) continue;
            // An infinite sum is left alone: the search for f would not end.
            if (!std::isfinite(c) || !std::isfinite(r)) continue;
            double g = r / radix;
            double f = 1.0;
            const double s = c + r;
            while (c < g) {
                f *= radix;
                c *= b2;
            }
            g = r * radix;
            while (c >= g) {
                f /= radix;
                c /= b2;
            }
            if ((c + r) / f < 0.95 * s) {
                g = 1.0 / f;
                scale[i - 1] *= f;
                noconv = true;
                for (int j = k; j <= n; ++j) a(i, j) *= g;
                double* cw = a.col(i);
                for (int j = 0; j < l; ++j) cw[j] *= f;
            }
        }
    }
}

}  // namespace

void BalanceMatrix(Mat<double> a, int n, int& low, int& igh, double* scale, double radix) {
    int k = 1;
    int l = n;
    if (!IsolateRows(a, n, k, l, scale)) {
        IsolateColumns(a, n, k, l, scale);
        ScaleRowsAndColumns(a, n, k, l, scale, radix);
    }
    low = k;
    igh = l;
}
