// Complex eigenvector of a real matrix for one given eigenvalue, by inverse
// iteration with a fixed shift.
#include <cmath>
#include <cstdint>

#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {
// Stands in for an exactly zero pivot of the shifted matrix, so that the
// solves stay finite (the eigenvalue was then exact and the solution is
// dominated by the matching eigenvector).
constexpr double TINY = 1.0e-20;
}  // namespace

void ComplexInverseIteration(Mat<double> a, int n, Mat<ZDouble> c, ZDouble* previous, ZDouble* x, double lambdaRe,
                             double lambdaIm, int* ipvt, int& itmax, double tol) {
    int k = 0;
    const int limit = itmax;

    // c = a - lambda I, factored once; a keeps the real shift.
    for (int i = 1; i <= n; ++i) a(i, i) -= lambdaRe;
    for (int j = 1; j <= n; ++j) {
        const double* aj = a.col(j);
        ZDouble* cj = c.col(j);
        for (int i = 0; i < n; ++i) cj[i] = ZDouble{aj[i], 0.0};
        cj[j - 1].im = -lambdaIm;
    }
    int info = 0;
    ComplexLuFactor(c, n, ipvt, info);
    if (info > 0) {
        Write(CONSOLE, FREE, " MATRIX CA MAY BE SINGULAR");
        for (int i = 1; i <= n; ++i) {
            ZDouble& d = c(i, i);
            if (std::fabs(d.re) + std::fabs(d.im) == 0.0) d = ZDouble{TINY, 0.0};
        }
    }

    // Start vector: 0.1 lambdaIm in the velocity half, 0.1 in the displacements.
    const int h = n / 2;
    for (int j = 0; j < h; ++j) {
        x[j] = ZDouble{0.1 * lambdaIm, 0.0};
        x[h + j] = ZDouble{0.1, 0.0};
    }
    if (n % 2 != 0) x[n - 1] = ZDouble{0.1, 0.0};

    for (;;) {
        // One solve, normalised to the entry of largest modulus (the last of
        // equal moduli).
        for (int i = 0; i < n; ++i) previous[i] = x[i];
        ComplexLuSolve(c, n, ipvt, x);
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

        // Converged when no entry moved by more than tol; at least two solves.
        ++k;
        if (k == 1) continue;
        bool converged = true;
        for (int i = 0; i < n; ++i) {
            const double dr = previous[i].re - x[i].re;
            const double di = previous[i].im - x[i].im;
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
