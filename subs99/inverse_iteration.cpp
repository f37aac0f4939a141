// Complex eigenvector of a real matrix for one given eigenvalue, by inverse
// iteration with a fixed shift.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {
// Stands in for an exactly zero pivot of the shifted matrix, so that the
// solves stay finite (the eigenvalue was then exact and the solution is
// dominated by the matching eigenvector).
constexpr double TINY = 1.0e-20;
}  // namespace

void ComplexInverseIteration(Mat<double> a, int n, Mat<ZDouble> c, Mat<ZDouble> cl, ZDouble* b,
                             ZDouble* x, double lre, double lim, int* ipvt, int& itmax,
                             double tol) {
    int k = 0;
    const int limit = itmax;

    for (int i = 1; i <= n; ++i) a(i, i) -= lre;
    for (int j = 1; j <= n; ++j) {
        const double* aj = a.col(j);
        ZDouble* cj = c.col(j);
        for (int i = 0; i < n; ++i) cj[i] = ZDouble{aj[i], 0.0};
        cj[j - 1].im = -lim;
    }

    const int h = n / 2;
    for (int j = 0; j < h; ++j) {
        x[j] = ZDouble{0.1 * lim, 0.0};
        x[h + j] = ZDouble{0.1, 0.0};
    }
    if (n % 2 != 0) x[n - 1] = ZDouble{0.1, 0.0};

    int info = 0;
    ComplexLuFactor(c, n, ipvt, info);
    if (info > 0) {
        Write(CONSOLE, FREE, " MATRIX CA MAY BE SINGULAR");
        for (int i = 1; i <= n; ++i) {
            ZDouble& d = c(i, i);
            if (std::fabs(d.re) + std::fabs(d.im) == 0.0) d = ZDouble{TINY, 0.0};
        }
    }
    // The solves only read the factors: one copy serves every iteration.
    for (int j = 1; j <= n; ++j)
        std::memcpy(static_cast<void*>(cl.col(j)), c.col(j), sizeof(ZDouble) * n);

    for (;;) {
        for (int i = 0; i < n; ++i) b[i] = x[i];
        ComplexLuSolve(cl, n, ipvt, x, 0);

        // Entry of largest modulus; the last of equal moduli wins.
        double big = 0.0;
        int imax = 0;
        for (int i = 0; i < n; ++i) {
            const double mod = std::sqrt(x[i].re * x[i].re + x[i].im * x[i].im);
            if (mod >= big) {
                big = mod;
                imax = i;
            }
        }
        if (n > 0) {
            const ZDouble xi = x[imax];
            for (int i = 0; i < n; ++i) x[i] = ComplexQuotient(x[i], xi);
            x[imax] = ZDouble{1.0, 0.0};
        }

        ++k;
        if (k == 1) continue;
        bool converged = true;
        for (int i = 0; i < n; ++i) {
            const double dr = b[i].re - x[i].re;
            const double di = b[i].im - x[i].im;
            if (!(std::sqrt(dr * dr + di * di) <= tol)) {
                converged = false;
                break;
            }
        }
        if (converged) {
            itmax = 0;
            return;
        }
        if (k > limit) {
            Write(CONSOLE, FREE, " CONVERGENCE NOT ACHIEVED IN", static_cast<int32_t>(limit));
            return;
        }
    }
}
