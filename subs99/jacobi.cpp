// Generalized Jacobi eigensolver for K x = lambda M x with K and M symmetric
// positive definite: rotations diagonalise both matrices at once, with a
// coupling threshold that tightens every sweep.
#include <cmath>
#include <limits>

#include "subs99/numerics.h"

namespace {
constexpr int NSMAX = 15;       // sweep limit (reaching it is not an error)
constexpr double RTOL = 1.0e-6;  // convergence tolerance
constexpr double SENTINEL = 1.0e20;

// Rotates rows and columns j and k (j < k) of a symmetric matrix kept in its
// upper triangle: entry pairs (p, q) become p + cg q and q + ca p.
void RotateUpper(Mat<double> a, int n, int j, int k, double ca, double cg) {
    double* cj = a.col(j);
    double* ck = a.col(k);
    for (int i = 0; i < j - 1; ++i) {  // i < j: columns j and k
        const double aj = cj[i];
        const double ak = ck[i];
        cj[i] = aj + cg * ak;
        ck[i] = ak + ca * aj;
    }
    for (int i = j + 1; i < k; ++i) {  // j < i < k: row j and column k
        const double aj = a(j, i);
        const double ak = ck[i - 1];
        a(j, i) = aj + cg * ak;
        ck[i - 1] = ak + ca * aj;
    }
    for (int i = k + 1; i <= n; ++i) {  // i > k: rows j and k
        double* pj = &a(j, i);
        double* pk = pj + (k - j);
        const double aj = *pj;
        const double ak = *pk;
        *pj = aj + cg * ak;
        *pk = ak + ca * aj;
    }
}

double Coupling(Mat<const double> a, int j, int k) {
    return (a(j, k) * a(j, k)) / (a(j, j) * a(k, k));
}
}  // namespace

void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv,
                       double* sorted, double* swap, double* d, int* order, int* invorder,
                       int n, int& ierr) {
    int sweeps = 0;
    JacobiGeneralized(k, m, x, eigv, sorted, swap, d, order, invorder, n, ierr, sweeps);
}

void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv,
                       double* sorted, double* swap, double* d, int* order, int* invorder,
                       int n, int& ierr, int& sweeps) {
    ierr = 0;
    sweeps = 0;
    for (int i = 1; i <= n; ++i) {
        if (k(i, i) <= 0.0 || m(i, i) <= 0.0) {
            ierr = 1;
            return;
        }
        d[i - 1] = eigv[i - 1] = k(i, i) / m(i, i);
    }
    for (int j = 1; j <= n; ++j) {
        double* xj = x.col(j);
        for (int i = 0; i < n; ++i) xj[i] = 0.0;
        xj[j - 1] = 1.0;
    }
    if (n == 1) {
        order[0] = invorder[0] = 1;
        return;
    }

    double p = 1.0;
    for (int sweep = 1;; ++sweep) {
        sweeps = sweep;
        p *= 0.01;
        const double eps = p * p;
        for (int j = 1; j < n; ++j) {
            for (int kk = j + 1; kk <= n; ++kk) {
                const double epsa = Coupling(k, j, kk);
                const double epsb = Coupling(m, j, kk);
                if (epsa < eps && epsb < eps) continue;

                const double kjj = k(j, j), kkk = k(kk, kk), kjk = k(j, kk);
                const double mjj = m(j, j), mkk = m(kk, kk), mjk = m(j, kk);
                const double akk = kkk * mjk - mkk * kjk;
                const double ajj = kjj * mjk - mjj * kjk;
                const double ab = kjj * mkk - kkk * mjj;
                const double check = (ab * ab + 4.0 * akk * ajj) / 4.0;
                if (check < 0.0) {
                    ierr = 2;
                    return;
                }
                const double sqch = std::sqrt(check);
                const double d1 = ab / 2.0 + sqch;
                const double d2 = ab / 2.0 - sqch;
                double den = d1;
                if (std::fabs(d2) > std::fabs(d1)) den = d2;
                double ca, cg;
                if (den == 0.0) {
                    ca = 0.0;
                    cg = -kjk / kkk;
                } else {
                    ca = akk / den;
                    cg = -ajj / den;
                }

                if (n != 2) {
                    RotateUpper(k, n, j, kk, ca, cg);
                    RotateUpper(m, n, j, kk, ca, cg);
                }
                k(kk, kk) = kkk + ca * (2.0 * kjk + ca * kjj);
                m(kk, kk) = mkk + ca * (2.0 * mjk + ca * mjj);
                k(j, j) = kjj + cg * (2.0 * kjk + cg * kkk);
                m(j, j) = mjj + cg * (2.0 * mjk + cg * mkk);
                k(j, kk) = 0.0;
                m(j, kk) = 0.0;

                double* xj = x.col(j);
                double* xk = x.col(kk);
                for (int i = 0; i < n; ++i) {
                    const double a = xj[i];
                    const double b = xk[i];
                    xj[i] = a + cg * b;
                    xk[i] = b + ca * a;
                }
            }
        }

        for (int i = 1; i <= n; ++i) {
            if (k(i, i) <= 0.0 || m(i, i) <= 0.0) {
                ierr = 3;
                return;
            }
            eigv[i - 1] = k(i, i) / m(i, i);
        }

        bool converged = true;
        for (int i = 0; i < n && converged; ++i) {
            if (std::fabs(eigv[i] - d[i]) > RTOL * d[i]) converged = false;
        }
        const double eps2 = RTOL * RTOL;
        for (int kk = 2; kk <= n && converged; ++kk) {
            for (int j = 1; j < kk; ++j) {
                if (!(Coupling(k, j, kk) < eps2 && Coupling(m, j, kk) < eps2)) {
                    converged = false;
                    break;
                }
            }
        }
        if (converged) break;
        for (int i = 0; i < n; ++i) d[i] = eigv[i];
        if (sweep >= NSMAX) break;
    }

    // Symmetric matrices again, M-normalised eigenvectors.
    for (int j = 1; j < n; ++j)
        for (int i = j + 1; i <= n; ++i) {
            k(i, j) = k(j, i);
            m(i, j) = m(j, i);
        }
    for (int j = 1; j <= n; ++j) {
        const double bb = std::sqrt(m(j, j));
        double* xj = x.col(j);
        for (int i = 0; i < n; ++i) xj[i] /= bb;
    }

    // Ascending order; of equal values the one at the larger position comes
    // first. INVORDER marks the positions taken while sorting.
    for (int i = 0; i < n; ++i) {
        sorted[i] = eigv[i];
        invorder[i] = 0;
    }
    for (int kk = 1; kk <= n; ++kk) {
        double emin = std::numeric_limits<double>::infinity();
        int pos = 0;
        for (int i = 1; i <= n; ++i) {
            if (invorder[i - 1] != 0) continue;
            if (pos == 0) pos = i;
            if (sorted[i - 1] <= emin) {
                emin = sorted[i - 1];
                pos = i;
            }
        }
        order[kk - 1] = pos;
        eigv[kk - 1] = sorted[pos - 1];
        sorted[pos - 1] = SENTINEL;
        invorder[pos - 1] = 1;
    }
    for (int kk = 1; kk <= n; ++kk) invorder[order[kk - 1] - 1] = kk;

    // Column kk of X takes the eigenvector found at position ORDER(kk):
    // follow each cycle of the permutation once, marking visited entries of
    // ORDER by their sign.
    for (int s = 1; s <= n; ++s) {
        if (order[s - 1] < 0) continue;
        if (order[s - 1] == s) {
            order[s - 1] = -s;
            continue;
        }
        const double* xs = x.col(s);
        for (int i = 0; i < n; ++i) swap[i] = xs[i];
        int c = s;
        for (;;) {
            const int from = order[c - 1];
            order[c - 1] = -from;
            double* xc = x.col(c);
            if (from == s) {
                for (int i = 0; i < n; ++i) xc[i] = swap[i];
                break;
            }
            const double* xf = x.col(from);
            for (int i = 0; i < n; ++i) xc[i] = xf[i];
            c = from;
        }
    }
    for (int i = 0; i < n; ++i) order[i] = -order[i];
}
