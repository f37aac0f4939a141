// Generalized Jacobi eigensolver for K x = lambda M x with K and M symmetric
// positive definite: rotations diagonalise both matrices at once, with a
// coupling threshold that tightens every sweep.
#include <cmath>
#include <limits>

#include "subs99/numerics.h"

namespace {
constexpr int NSMAX = 15;        // sweep limit (reaching it is not an error)
constexpr double RTOL = 1.0e-6;  // convergence tolerance
constexpr double SENTINEL = 1.0e20;

// The generalized rotation of a pair (j, k): entry pairs (p, q) of rows or
// columns j and k become p + cg q and q + ca p.
struct Rotation {
    double ca, cg;
};

// Rotates rows and columns j and k (j < k) of a symmetric matrix kept in its
// upper triangle, off the diagonal and off entry (j, k).
void RotateUpper(Mat<double> a, int n, int j, int k, Rotation rot) {
    const double ca = rot.ca, cg = rot.cg;
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

double Coupling(Mat<const double> a, int j, int k) { return (a(j, k) * a(j, k)) / (a(j, j) * a(k, k)); }

// Eigenvalue estimates K(i,i) / M(i,i) into eigv (and previousEigv when
// given); false when a diagonal entry is not positive.
bool Estimates(Mat<const double> k, Mat<const double> m, int n, double* eigv, double* previousEigv) {
    for (int i = 1; i <= n; ++i) {
        if (k(i, i) <= 0.0 || m(i, i) <= 0.0) return false;
        eigv[i - 1] = k(i, i) / m(i, i);
        if (previousEigv) previousEigv[i - 1] = eigv[i - 1];
    }
    return true;
}

void SetIdentity(Mat<double> x, int n) {
    for (int j = 1; j <= n; ++j) {
        double* xj = x.col(j);
        for (int i = 0; i < n; ++i) xj[i] = 0.0;
        xj[j - 1] = 1.0;
    }
}

// The rotation that zeroes K(j,kk) and M(j,kk) together; false on a negative
// discriminant.
bool RotationFor(Mat<const double> k, Mat<const double> m, int j, int kk, Rotation& rot) {
    const double kjj = k(j, j), kkk = k(kk, kk), kjk = k(j, kk);
    const double mjj = m(j, j), mkk = m(kk, kk), mjk = m(j, kk);
    const double akk = kkk * mjk - mkk * kjk;
    const double ajj = kjj * mjk - mjj * kjk;
    const double ab = kjj * mkk - kkk * mjj;
    const double check = (ab * ab + 4.0 * akk * ajj) / 4.0;
    if (check < 0.0) return false;
    const double sqch = std::sqrt(check);
    const double d1 = ab / 2.0 + sqch;
    const double d2 = ab / 2.0 - sqch;
    double den = d1;
    if (std::fabs(d2) > std::fabs(d1)) den = d2;
    if (den == 0.0) {
        rot.ca = 0.0;
        rot.cg = -kjk / kkk;
    } else {
        rot.ca = akk / den;
        rot.cg = -ajj / den;
    }
    return true;
}

// Applies the rotation of pair (j, kk) to K, M and the eigenvectors X.
void Rotate(Mat<double> k, Mat<double> m, Mat<double> x, int n, int j, int kk, Rotation rot) {
    const double ca = rot.ca, cg = rot.cg;
    const double kjj = k(j, j), kkk = k(kk, kk), kjk = k(j, kk);
    const double mjj = m(j, j), mkk = m(kk, kk), mjk = m(j, kk);
    if (n != 2) {
        RotateUpper(k, n, j, kk, rot);
        RotateUpper(m, n, j, kk, rot);
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

// One sweep over the pairs, row by row, rotating every pair whose coupling
// in K or M reaches the threshold eps; false on a negative discriminant.
bool Sweep(Mat<double> k, Mat<double> m, Mat<double> x, int n, double eps) {
    for (int j = 1; j < n; ++j) {
        for (int kk = j + 1; kk <= n; ++kk) {
            if (Coupling(k, j, kk) < eps && Coupling(m, j, kk) < eps) continue;
            Rotation rot;
            if (!RotationFor(k, m, j, kk, rot)) return false;
            Rotate(k, m, x, n, j, kk, rot);
        }
    }
    return true;
}

// Converged: every eigenvalue moved by at most RTOL relative to the previous
// sweep, and no pair is coupled by RTOL or more.
bool Converged(Mat<const double> k, Mat<const double> m, int n, const double* eigv, const double* previousEigv) {
    for (int i = 0; i < n; ++i)
        if (std::fabs(eigv[i] - previousEigv[i]) > RTOL * previousEigv[i]) return false;
    const double eps2 = RTOL * RTOL;
    for (int kk = 2; kk <= n; ++kk)
        for (int j = 1; j < kk; ++j)
            if (!(Coupling(k, j, kk) < eps2 && Coupling(m, j, kk) < eps2)) return false;
    return true;
}

// K and M made symmetric again; the eigenvectors M-normalised.
void SymmetrizeAndNormalize(Mat<double> k, Mat<double> m, Mat<double> x, int n) {
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
}

// Ascending order; of equal values the one at the larger position comes
// first. invorder marks the positions taken while sorting, then receives the
// inverse permutation.
void SortAscending(double* eigv, double* eigvCopy, int* order, int* invorder, int n) {
    for (int i = 0; i < n; ++i) {
        eigvCopy[i] = eigv[i];
        invorder[i] = 0;
    }
    for (int kk = 1; kk <= n; ++kk) {
        double emin = std::numeric_limits<double>::infinity();
        int pos = 0;
        for (int i = 1; i <= n; ++i) {
            if (invorder[i - 1] != 0) continue;
            if (pos == 0) pos = i;
            if (eigvCopy[i - 1] <= emin) {
                emin = eigvCopy[i - 1];
                pos = i;
            }
        }
        order[kk - 1] = pos;
        eigv[kk - 1] = eigvCopy[pos - 1];
        eigvCopy[pos - 1] = SENTINEL;
        invorder[pos - 1] = 1;
    }
    for (int kk = 1; kk <= n; ++kk) invorder[order[kk - 1] - 1] = kk;
}

// Column kk of X takes the eigenvector found at position order(kk): each
// cycle of the permutation is followed once, visited entries of order marked
// by their sign.
void PermuteColumns(Mat<double> x, int n, int* order, double* columnBuffer) {
    for (int s = 1; s <= n; ++s) {
        if (order[s - 1] < 0) continue;
        if (order[s - 1] == s) {
            order[s - 1] = -s;
            continue;
        }
        const double* xs = x.col(s);
        for (int i = 0; i < n; ++i) columnBuffer[i] = xs[i];
        int c = s;
        for (;;) {
            const int from = order[c - 1];
            order[c - 1] = -from;
            double* xc = x.col(c);
            if (from == s) {
                for (int i = 0; i < n; ++i) xc[i] = columnBuffer[i];
                break;
            }
            const double* xf = x.col(from);
            for (int i = 0; i < n; ++i) xc[i] = xf[i];
            c = from;
        }
    }
    for (int i = 0; i < n; ++i) order[i] = -order[i];
}

}  // namespace

void JacobiGeneralized(Mat<double> k, Mat<double> m, Mat<double> x, double* eigv, double* eigvCopy,
                       double* columnBuffer, double* previousEigv, int* order, int* invorder, int n, int& ierr,
                       int& sweeps) {
    ierr = 0;
    sweeps = 0;
    // Start: the diagonal ratios, X the identity.
    if (!Estimates(k, m, n, eigv, previousEigv)) {
        ierr = 1;
        return;
    }
    SetIdentity(x, n);
    if (n == 1) {
        order[0] = invorder[0] = 1;
        return;
    }

    // Sweeps with the threshold (0.01^s)^2 until converged or NSMAX sweeps.
    double p = 1.0;
    for (int sweep = 1;; ++sweep) {
        sweeps = sweep;
        p *= 0.01;
        if (!Sweep(k, m, x, n, p * p)) {
            ierr = 2;
            return;
        }
        if (!Estimates(k, m, n, eigv, nullptr)) {
            ierr = 3;
            return;
        }
        if (Converged(k, m, n, eigv, previousEigv)) break;
        for (int i = 0; i < n; ++i) previousEigv[i] = eigv[i];
        if (sweep >= NSMAX) break;
    }

    // Finish: symmetric matrices, M-normalised eigenvectors in ascending order.
    SymmetrizeAndNormalize(k, m, x, n);
    SortAscending(eigv, eigvCopy, order, invorder, n);
    PermuteColumns(x, n, order, columnBuffer);
}
