// Undamped eigenvalue analysis: natural frequencies (RPM) and compact mode
// shapes from K x = lambda M x with the symmetric part of the stiffness.
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "subs99/numerics.h"

namespace {

// Shift of a free rotor, as a fraction of the mean stiffness-to-mass ratio.
constexpr double kShiftFraction = 1.0e-4;
// The single-precision stiffness carries round-off of about 1e-7 of that
// ratio; the rigid-body modes, whose motion spreads over the whole rotor, come
// out within a few 1e-10 of it on either side of zero. Shifted eigenvalues
// below zero by at most this fraction of the shift (1e-8 of the ratio) are
// zero.
constexpr double kShiftRoundOff = 1.0e-4;

// Symmetric part of the stiffness at (i, j), in double.
double SymmetricStiffness(const SpeedMatrices& at, int i, int j) {
    return (static_cast<double>(at.STIFF(i, j)) + static_cast<double>(at.STIFF(j, i))) * 0.5;
}

// Generalized Jacobi on the symmetric part of the stiffness plus sigma times
// the mass, and the mass; an early error return leaves untouched entries at
// zero (never selected).
int SolvePair(const SpeedMatrices& at, UndampedWork& u, int n, double sigma) {
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            const double m = SYS.MASS(i, j);
            double k = SymmetricStiffness(at, i, j);
            if (sigma != 0.0) k += sigma * m;
            u.K(i, j) = k;
            u.M(i, j) = m;
        }
    }
    for (int j = 1; j <= n; ++j) {
        u.EIGVD[j - 1] = 0.0;
        for (int i = 1; i <= n; ++i) u.X(i, j) = 0.0;
    }
    int ierr = 0, sweeps = 0;
    JacobiGeneralized(u.K.view(), u.M.view(), u.X.view(), u.EIGVD, u.SORTED, u.SWAPV, u.DPREV, u.ORDER, u.INVORDER,
                      n, ierr, sweeps);
    return ierr;
}

// Shift for a stiffness that is only positive semi-definite (a free rotor,
// whose rigid-body modes have zero frequency): kShiftFraction of the mean
// stiffness-to-mass ratio tr(K)/tr(M). That lies a thousand times above the
// round-off of K, so K + sigma M is positive definite, and far below the upper
// end of the spectrum, so the shifted pair is no worse conditioned than that
// of a rotor on bearings. Zero when the pair has no usable scale.
double FreeRotorShift(const SpeedMatrices& at, int n) {
    double tk = 0.0, tm = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double m = SYS.MASS(i, i);
        if (!(m > 0.0)) return 0.0;  // a massless freedom: no shift helps
        tk += at.STIFF(i, i);
        tm += m;
    }
    const double sigma = kShiftFraction * tk / tm;
    return std::isfinite(sigma) && sigma > 0.0 ? sigma : 0.0;
}

// The eigenpairs, solved again on the shifted pair when the stiffness
// diagonal is not positive, on entry or after a sweep (the stiffness is then
// at best semi-definite): the shifted pair has the same eigenvectors and
// eigenvalues raised by sigma. Returns the error code of the last solution.
int SolveEigenpairs(const SpeedMatrices& at, UndampedWork& u, int n) {
    int ierr = SolvePair(at, u, n, 0.0);
    if (ierr != 1 && ierr != 3) return ierr;
    const double sigma = FreeRotorShift(at, n);
    if (!(sigma > 0.0)) return ierr;
    ierr = SolvePair(at, u, n, sigma);
    // (A refusal on entry leaves the eigenvalues untouched at zero.)
    for (int i = 0; i < n && ierr != 1; ++i) {
        double ev = u.EIGVD[i] - sigma;
        // Round-off of the shift around a zero eigenvalue.
        if (ev < 0.0 && ev > -kShiftRoundOff * sigma) ev = 0.0;
        u.EIGVD[i] = ev;
    }
    return ierr;
}

// Station blocks: body(s, r) with x of station s at r, y at r + 1; pedestal
// degrees of freedom following a station are stepped over.
template <class Body>
void ForEachStation(Body&& body) {
    int r = 1, p = 1;
    for (int s = 1; s <= MODEL.NSTA; ++s) {
        body(s, r);
        r += 4;
        if (p <= MODEL.NPED && r == SYS.PEDPOS(p)) {
            r += 2;
            ++p;
        }
    }
}

// Every x translation of mode j divided by the x translation of largest
// magnitude (the last of equal ones), every y translation likewise; a mode
// without any translation has no reference and is left as it is.
void NormaliseModes(UndampedWork& u, int n) {
    for (int j = 1; j <= n; ++j) {
        double xmax = 0.0, ymax = 0.0;
        int ix = 1, iy = 1;
        ForEachStation([&](int, int r) {
            const double ax = std::fabs(u.X(r, j)), ay = std::fabs(u.X(r + 1, j));
            if (ax > xmax) xmax = ax;
            if (xmax == ax) ix = r;
            if (ay > ymax) ymax = ay;
            if (ymax == ay) iy = r + 1;
        });
        double nx = u.X(ix, j), ny = u.X(iy, j);
        if (nx == 0.0) nx = ny;
        if (ny == 0.0) ny = nx;
        if (nx == 0.0) continue;
        ForEachStation([&](int, int r) {
            u.X(r, j) /= nx;
            u.X(r + 1, j) /= ny;
        });
    }
}

// Repeated selection of the largest remaining frequency (strictly greater,
// so equal values keep the lower index first): SELECTED(pos) is the
// eigenpair of selection position pos, so descending.
void OrderFrequencies(UndampedWork& u, int n) {
    for (int i = 1; i <= n; ++i) u.FREQCOPY(i) = u.EIGV(i);
    for (int pos = 1; pos <= n; ++pos) {
        float best = 0.0f;
        int idx = 1;
        for (int i = 1; i <= n; ++i) {
            if (u.FREQCOPY(i) > best) {
                best = u.FREQCOPY(i);
                idx = i;
            }
        }
        u.SELECTED(pos) = idx;
        u.FREQCOPY(idx) = 0.0f;
    }
}

// CRIT ascending and the compact shapes of the same eigenpairs; a zero x
// translation shows the y translation and the other way round.
void StoreFrequenciesAndShapes(const UndampedWork& u, int n) {
    for (int k = 1; k <= n; ++k) {
        const int j = u.SELECTED(n - k + 1);
        RES.CRIT(k) = u.EIGV(j);
        ForEachStation([&](int s, int r) {
            float xv = static_cast<float>(u.X(r, j));
            float yv = static_cast<float>(u.X(r + 1, j));
            if (xv == 0.0f) xv = yv;
            if (yv == 0.0f) yv = xv;
            RES.SHAPE(2 * s - 1, k) = xv;
            RES.SHAPE(2 * s, k) = yv;
        });
    }
}

// Relative residual |K x - lambda M x| / (|K x| + |lambda| |M x|) of
// eigenpair j, with K the symmetric part of STIFF and M = MASS as they
// entered the solution. A zero or non-finite vector gives 1.
double Residual(const SpeedMatrices& at, const UndampedWork& u, int j, int n) {
    const double lambda = u.EIGVD[j - 1];
    double rr = 0.0, kk = 0.0, mm = 0.0, xx = 0.0;
    for (int i = 1; i <= n; ++i) {
        double kx = 0.0, mx = 0.0;
        for (int k = 1; k <= n; ++k) {
            const double x = u.X(k, j);
            kx += SymmetricStiffness(at, i, k) * x;
            mx += static_cast<double>(SYS.MASS(i, k)) * x;
        }
        const double r = kx - lambda * mx;
        rr += r * r;
        kk += kx * kx;
        mm += mx * mx;
        xx += u.X(i, j) * u.X(i, j);
    }
    const double scale = std::sqrt(kk) + std::fabs(lambda) * std::sqrt(mm);
    if (!(xx > 0.0) || !std::isfinite(xx) || !(scale > 0.0) || !std::isfinite(scale)) return 1.0;
    const double res = std::sqrt(rr) / scale;
    return std::isfinite(res) ? res : 1.0;
}

// After a solver error the results are kept; the modes that fail a residual
// check against the original matrices are marked.
void MarkUnreliableModes(const SpeedMatrices& at, const UndampedWork& u, int n, int ierr) {
    RES.NMODES = n;
    RES.UNRELIABLE.clear();
    if (ierr == 0) return;
    for (int k = 1; k <= n; ++k) {
        const int j = u.SELECTED(n - k + 1);
        const bool bad = !(RES.CRIT(k) > 0.0f) || !std::isfinite(RES.CRIT(k)) || Residual(at, u, j, n) > 1.0e-3;
        RES.UNRELIABLE(k) = bad ? 1 : 0;
    }
}

}  // namespace

bool UndampedStep(float speed, int ispan, StepWork& w, UndampedWork& u) {
    const int n = SYS.NDOF;
    if (n < 1 || n > MAXDOF) return false;
    BuildSpeedMatrices(speed, ispan, w.at);

    // The eigenpairs of the symmetric stiffness and the mass.
    const int ierr = SolveEigenpairs(w.at, u, n);
    RES.JACOBIERR = ierr;
    // Frequencies in RPM; a negative eigenvalue gives a frequency that is not
    // a number, which the ordering never selects.
    for (int i = 1; i <= n; ++i) u.EIGV(i) = std::sqrt(static_cast<float>(u.EIGVD[i - 1])) / PI * 30.0f;
    // Mode shapes normalised to their largest translation, when asked.
    if (OPTS.NORMFLAG == 1) NormaliseModes(u, n);
    // Ascending frequencies with their shapes.
    OrderFrequencies(u, n);
    StoreFrequenciesAndShapes(u, n);
    // The modes that a failed solution leaves unreliable.
    MarkUnreliableModes(w.at, u, n, ierr);
    return ierr != 0;
}
