// Eigenvalues of an upper Hessenberg matrix by the shifted double-step QR
// iteration, and the chain balancing - reduction - QR for a general matrix.
#include <algorithm>
#include <cmath>

#include "subs99/numerics.h"
#include "subs99/sign.h"

namespace {

// Largest number of iterations for one eigenvalue.
constexpr int MAXITS = 30;

// The shift of a double step: x and y the diagonal entries of the trailing
// 2 x 2 block, w the product of its off-diagonal entries.
struct Shift {
    double x, y, w;
};

// Sum of |a(i,j)| over the Hessenberg part (i <= j + 1).
double HessenbergNorm(Mat<const double> a, int n) {
    double norm = 0.0;
    for (int j = 1; j <= n; ++j) {
        const double* cj = a.col(j);
        for (int i = 1; i <= std::min(n, j + 1); ++i) norm += std::fabs(cj[i - 1]);
    }
    return norm;
}

// Eigenvalues isolated by balancing are the diagonal entries outside
// low .. igh.
void StoreIsolatedRoots(Mat<const double> a, int n, int low, int igh, double* wr, double* wi) {
    for (int i = 1; i <= n; ++i) {
        if (i >= low && i <= igh) continue;
        wr[i - 1] = a(i, i);
        wi[i - 1] = 0.0;
    }
}

// The row l (low < l <= en) of the last negligible subdiagonal entry
// a(l,l-1) at or above row en, or low when there is none: the active block
// is rows l .. en.
int SplitRow(Mat<const double> a, int low, int en, double norm, double machep) {
    for (int ll = en; ll >= low + 1; --ll) {
        double s = std::fabs(a(ll - 1, ll - 1)) + std::fabs(a(ll, ll));
        if (s == 0.0) s = norm;
        if (std::fabs(a(ll, ll - 1)) <= machep * s) return ll;
    }
    return low;
}

// The two roots of the trailing 2 x 2 block (rows na = en-1 and en), plus the
// accumulated shift t.
void StoreRootPair(Shift sh, double t, int en, double* wr, double* wi) {
    const int na = en - 1;
    const double p = (sh.y - sh.x) / 2.0;
    const double q = p * p + sh.w;
    double z = std::sqrt(std::fabs(q));
    const double x = sh.x + t;
    if (q >= 0.0) {  // a real pair
        z = p + SignOf(z, p);
        wr[na - 1] = x + z;
        wr[en - 1] = wr[na - 1];
        if (z != 0.0) wr[en - 1] = x - sh.w / z;
        wi[na - 1] = 0.0;
        wi[en - 1] = 0.0;
    } else {  // a complex pair
        wr[na - 1] = x + p;
        wr[en - 1] = x + p;
        wi[na - 1] = z;
        wi[en - 1] = -z;
    }
}

// After 10 and 20 iterations: the diagonal is shifted by x (added to t) and
// the next double step uses a shift made from the last subdiagonal entries.
void ExceptionalShift(Mat<double> a, int low, int en, double& t, Shift& sh) {
    const int na = en - 1;
    t += sh.x;
    for (int i = low; i <= en; ++i) a(i, i) -= sh.x;
    const double s = std::fabs(a(en, na)) + std::fabs(a(na, en - 2));
    sh.x = 0.75 * s;
    sh.y = sh.x;
    sh.w = -0.4375 * s * s;
}

// The row m (l <= m <= en-2) where the double step starts: the first, going
// up from en-2, below two consecutive small subdiagonal entries, or l. p, q
// and r receive the first column of the shifted double step there, scaled.
int DoubleStepStart(Mat<const double> a, int l, int en, Shift sh, double machep, double& p, double& q, double& r) {
    int m = en - 2;
    for (;; --m) {
        const double zz = a(m, m);
        r = sh.x - zz;
        double s = sh.y - zz;
        p = (r * s - sh.w) / a(m + 1, m) + a(m, m + 1);
        q = a(m + 1, m + 1) - zz - r - s;
        r = a(m + 2, m + 1);
        s = std::fabs(p) + std::fabs(q) + std::fabs(r);
        p /= s;
        q /= s;
        r /= s;
        if (m == l) break;
        if (std::fabs(a(m, m - 1)) * (std::fabs(q) + std::fabs(r)) <=
            machep * std::fabs(p) * (std::fabs(a(m - 1, m - 1)) + std::fabs(zz) + std::fabs(a(m + 1, m + 1))))
            break;
    }
    return m;
}

// Zeroes a(i,i-2) and a(i,i-3) below the double step's start: the step keeps
// the Hessenberg form except for the bulge it chases down.
void ClearBelowSubdiagonal(Mat<double> a, int m, int en) {
    for (int i = m + 2; i <= en; ++i) {
        a(i, i - 2) = 0.0;
        if (i != m + 2) a(i, i - 3) = 0.0;
    }
}

// Householder reflection of rows k .. k+2 (two rows at the last step) over
// columns k .. en, then of columns k .. k+2 over rows l .. min(en, k+3).
void Reflect(Mat<double> a, int l, int k, int en, bool notlast, double x, double y, double zz, double q, double r) {
    const int jmax = std::min(en, k + 3);
    if (notlast) {
        for (int j = k; j <= en; ++j) {
            double* cj = a.col(j) + (k - 1);
            double pp = cj[0] + q * cj[1];
            pp = pp + r * cj[2];
            cj[2] -= pp * zz;
            cj[1] -= pp * y;
            cj[0] -= pp * x;
        }
        double* ck0 = a.col(k);
        double* ck1 = a.col(k + 1);
        double* ck2 = a.col(k + 2);
        for (int i = l - 1; i < jmax; ++i) {
            double pp = x * ck0[i] + y * ck1[i];
            pp = pp + zz * ck2[i];
            ck2[i] -= pp * r;
            ck1[i] -= pp * q;
            ck0[i] -= pp;
        }
    } else {
        for (int j = k; j <= en; ++j) {
            double* cj = a.col(j) + (k - 1);
            const double pp = cj[0] + q * cj[1];
            cj[1] -= pp * y;
            cj[0] -= pp * x;
        }
        double* ck0 = a.col(k);
        double* ck1 = a.col(k + 1);
        for (int i = l - 1; i < jmax; ++i) {
            const double pp = x * ck0[i] + y * ck1[i];
            ck1[i] -= pp * q;
            ck0[i] -= pp;
        }
    }
}

// One double QR step on rows l .. en and columns m .. en, starting from the
// column p, q, r of DoubleStepStart and chasing the bulge down to row en.
void DoubleQrStep(Mat<double> a, int l, int m, int en, double p, double q, double r) {
    const int na = en - 1;
    for (int k = m; k <= na; ++k) {
        const bool notlast = k != na;
        double x = 0.0;
        if (k != m) {
            p = a(k, k - 1);
            q = a(k + 1, k - 1);
            r = notlast ? a(k + 2, k - 1) : 0.0;
            x = std::fabs(p) + std::fabs(q) + std::fabs(r);
            if (x == 0.0) continue;
            p /= x;
            q /= x;
            r /= x;
        }
        const double s = SignOf(std::sqrt(p * p + q * q + r * r), p);
        if (s == 0.0) continue;
        if (k != m) {
            a(k, k - 1) = -s * x;
        } else if (l != m) {
            a(k, k - 1) = -a(k, k - 1);
        }
        p += s;
        x = p / s;
        const double y = q / s;
        const double zz = r / s;
        q /= p;
        r /= p;
        Reflect(a, l, k, en, notlast, x, y, zz, q, r);
    }
}

}  // namespace

void HessenbergQr(Mat<double> a, int n, int low, int igh, double* wr, double* wi, int& ierr, double machep) {
    ierr = 0;
    const double norm = HessenbergNorm(a, n);
    StoreIsolatedRoots(a, n, low, igh, wr, wi);

    // Eigenvalues are found from the bottom of the active block (row en) up.
    int en = igh;
    double t = 0.0;  // the shift accumulated by the exceptional shifts
    while (en >= low) {
        for (int its = 0;; ++its) {
            // A negligible subdiagonal entry splits off the block l .. en.
            const int l = SplitRow(a, low, en, norm, machep);
            Shift sh{a(en, en), 0.0, 0.0};
            if (l == en) {  // one real root
                wr[en - 1] = sh.x + t;
                wi[en - 1] = 0.0;
                en -= 1;
                break;
            }
            sh.y = a(en - 1, en - 1);
            sh.w = a(en, en - 1) * a(en - 1, en);
            if (l == en - 1) {  // a pair of roots
                StoreRootPair(sh, t, en, wr, wi);
                en -= 2;
                break;
            }
            if (its == MAXITS) {  // no convergence: give up at en
                ierr = en;
                return;
            }
            if (its == 10 || its == 20) ExceptionalShift(a, low, en, t, sh);  // out of a cycle
            // One double QR step on the block.
            double p, q, r;
            const int m = DoubleStepStart(a, l, en, sh, machep, p, q, r);
            ClearBelowSubdiagonal(a, m, en);
            DoubleQrStep(a, l, m, en, p, q, r);
        }
    }
}

void RealEigenvalues(Mat<double> a, int n, double* wr, double* wi, EigenWork& work, int& ierr, double radix,
                     double machep) {
    if (n > a.ld || n > MAXEIGORDER) {
        ierr = 10 * n;
        return;
    }
    ierr = 0;
    if (n < 1) return;
    int low = 1, igh = n;
    BalanceMatrix(a, n, low, igh, work.scaleOrt, radix);
    ReduceToHessenberg(a, n, low, igh, work.scaleOrt, work.hessenberg);
    HessenbergQr(a, n, low, igh, wr, wi, ierr, machep);
}
