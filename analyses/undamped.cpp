// Undamped eigenvalue analysis: natural frequencies (RPM) and compact mode
// shapes from K x = lambda M x with the symmetric part of the stiffness.
#include <cmath>
#include <string>

#include "analyses/analyses.h"
#include "analyses/eigen_warnings.h"
#include "analyses/results.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {

// Work arrays of the Jacobi solver and the ordering.
double EIGVD[396], SORTED[396], SWAPV[396], DPREV[396];
int ORDER[396], INVORDER[396];
Vec<int, 396> SELECTED;  // selection position -> eigenpair index
Vec<float, 396> FREQCOPY;

// Modes (ascending order) whose results fail the residual check after a
// Jacobi error, and how many modes the last solution had.
Vec<int, 396> UNRELIABLE;
int NMODES = 0;

// Relative residual |K x - lambda M x| / (|K x| + |lambda| |M x|) of
// eigenpair j, with K the symmetric part of STIFF and M = MASS as they
// entered the solution. A zero or non-finite vector gives 1.
double Residual(int j, int n) {
    const double lambda = EIGVD[j - 1];
    double rr = 0.0, kk = 0.0, mm = 0.0, xx = 0.0;
    for (int i = 1; i <= n; ++i) {
        double kx = 0.0, mx = 0.0;
        for (int k = 1; k <= n; ++k) {
            const double x = RES.XVEC(k, j);
            kx += (static_cast<double>(SYS.STIFF(i, k)) + static_cast<double>(SYS.STIFF(k, i))) * 0.5 * x;
            mx += static_cast<double>(SYS.MASS(i, k)) * x;
        }
        const double r = kx - lambda * mx;
        rr += r * r;
        kk += kx * kx;
        mm += mx * mx;
        xx += RES.XVEC(i, j) * RES.XVEC(i, j);
    }
    const double scale = std::sqrt(kk) + std::fabs(lambda) * std::sqrt(mm);
    if (!(xx > 0.0) || !std::isfinite(xx) || !(scale > 0.0) || !std::isfinite(scale)) return 1.0;
    const double res = std::sqrt(rr) / scale;
    return std::isfinite(res) ? res : 1.0;
}

// Mode numbers as ranges: "1-4, 7, 9-12".
std::string ModeRanges() {
    std::string s;
    int k = 1;
    while (k <= NMODES) {
        if (!UNRELIABLE(k)) {
            ++k;
            continue;
        }
        int last = k;
        while (last < NMODES && UNRELIABLE(last + 1)) ++last;
        if (!s.empty()) s += ", ";
        s += std::to_string(k);
        if (last > k) {
            s += '-';
            s += std::to_string(last);
        }
        k = last + 1;
    }
    return s;
}

// Shift of a free rotor, as a fraction of the mean stiffness-to-mass ratio.
constexpr double kShiftFraction = 1.0e-4;
// The single-precision stiffness carries round-off of about 1e-7 of that
// ratio; the rigid-body modes, whose motion spreads over the whole rotor, come
// out within a few 1e-10 of it on either side of zero. Shifted eigenvalues
// below zero by at most this fraction of the shift (1e-8 of the ratio) are
// zero.
constexpr double kShiftRoundOff = 1.0e-4;

// The pair handed to the solver: the symmetric part of the stiffness plus
// sigma times the mass, and the mass, in double.
void LoadPair(int n, double sigma) {
    for (int j = 1; j <= n; ++j) {
        for (int i = 1; i <= n; ++i) {
            const double m = SYS.MASS(i, j);
            double k = (static_cast<double>(SYS.STIFF(i, j)) + static_cast<double>(SYS.STIFF(j, i))) * 0.5;
            if (sigma != 0.0) k += sigma * m;
            SYS.WORKD(i, j) = k;
            SYS.MASSD(i, j) = m;
        }
    }
}

// Generalized Jacobi on the pair; an early error return leaves untouched
// entries at zero (never selected).
int SolvePair(int n, double sigma) {
    LoadPair(n, sigma);
    for (int j = 1; j <= n; ++j) {
        EIGVD[j - 1] = 0.0;
        for (int i = 1; i <= n; ++i) RES.XVEC(i, j) = 0.0;
    }
    int ierr = 0, sweeps = 0;
    JacobiGeneralized(SYS.WORKD.view(), SYS.MASSD.view(), RES.XVEC.view(), EIGVD, SORTED, SWAPV, DPREV,
                      ORDER, INVORDER, n, ierr, sweeps);
    return ierr;
}

// Shift for a stiffness that is only positive semi-definite (a free rotor,
// whose rigid-body modes have zero frequency): kShiftFraction of the mean
// stiffness-to-mass ratio tr(K)/tr(M). That lies a thousand times above the
// round-off of K, so K + sigma M is positive definite, and far below the upper
// end of the spectrum, so the shifted pair is no worse conditioned than that
// of a rotor on bearings. Zero when the pair has no usable scale.
double FreeRotorShift(int n) {
    double tk = 0.0, tm = 0.0;
    for (int i = 1; i <= n; ++i) {
        const double m = SYS.MASS(i, i);
        if (!(m > 0.0)) return 0.0;  // a massless freedom: no shift helps
        tk += SYS.STIFF(i, i);
        tm += m;
    }
    const double sigma = kShiftFraction * tk / tm;
    return std::isfinite(sigma) && sigma > 0.0 ? sigma : 0.0;
}

}  // namespace

void WriteUndampedWarning(int unit) {
    if (RUN.JACOBIERR == 0) return;
    std::string head = " WARNING: The undamped eigenvalue solution did not converge (error code ";
    head += std::to_string(RUN.JACOBIERR);
    head += ").";
    Write(unit, FREE, head);
    std::string list = ModeRanges();
    if (list.empty()) {
        Write(unit, FREE, " All modes pass the residual check; the results may still be used.");
        return;
    }
    // Wrapped so that no record exceeds the width of a free-format record.
    std::string line = " Modes with unreliable results: ";
    size_t pos = 0;
    while (pos < list.size()) {
        size_t take = list.size() - pos;
        if (line.size() + take > 76) {
            take = 76 - line.size();
            size_t comma = list.rfind(", ", pos + take);
            if (comma != std::string::npos && comma > pos) take = comma + 1 - pos;
        }
        line += list.substr(pos, take);
        pos += take;
        while (pos < list.size() && list[pos] == ' ') ++pos;
        Write(unit, FREE, line);
        line = "   ";
    }
}

void UndampedStep() {
    const int n = SYS.NDOF;
    if (n < 1 || n > MAXDOF) return;

    Write(CONSOLE, FREE, " UNDAMPED EIGENVALUE PROBLEM ...");
    Write(CONSOLE, FREE);

    int ierr = SolvePair(n, 0.0);
    // A stiffness diagonal that is not positive, on entry or after a sweep:
    // the stiffness is at best semi-definite. Solved again on the shifted
    // pair, which has the same eigenvectors and eigenvalues raised by sigma.
    if (ierr == 1 || ierr == 3) {
        const double sigma = FreeRotorShift(n);
        if (sigma > 0.0) {
            ierr = SolvePair(n, sigma);
            // (A refusal on entry leaves the eigenvalues untouched at zero.)
            for (int i = 0; i < n && ierr != 1; ++i) {
                double ev = EIGVD[i] - sigma;
                // Round-off of the shift around a zero eigenvalue.
                if (ev < 0.0 && ev > -kShiftRoundOff * sigma) ev = 0.0;
                EIGVD[i] = ev;
            }
        }
    }
    RUN.JACOBIERR = ierr;

    // Frequencies in RPM; a negative eigenvalue gives a frequency that is not
    // a number, which the ordering below never selects.
    for (int i = 1; i <= n; ++i) {
        const float ev = static_cast<float>(EIGVD[i - 1]);
        RES.EIGV(i) = std::sqrt(ev) / RUN.PI * 30.0f;
    }

    // Station blocks: x of station s at r, y at r + 1; pedestal degrees of
    // freedom following a station are stepped over.
    auto forEachStation = [&](auto&& body) {
        int r = 1, p = 1;
        for (int s = 1; s <= MODEL.NSTA; ++s) {
            body(s, r);
            r += 4;
            if (p <= MODEL.NPED && r == SYS.PEDPOS(p)) {
                r += 2;
                ++p;
            }
        }
    };

    if (OPTS.NORMFLAG == 1) {
        for (int j = 1; j <= n; ++j) {
            double xmax = 0.0, ymax = 0.0;
            int ix = 1, iy = 1;
            forEachStation([&](int, int r) {
                const double ax = std::fabs(RES.XVEC(r, j)), ay = std::fabs(RES.XVEC(r + 1, j));
                if (ax > xmax) xmax = ax;
                if (xmax == ax) ix = r;
                if (ay > ymax) ymax = ay;
                if (ymax == ay) iy = r + 1;
            });
            double nx = RES.XVEC(ix, j), ny = RES.XVEC(iy, j);
            if (nx == 0.0) nx = ny;
            if (ny == 0.0) ny = nx;
            // A mode without any translation has no reference: left as it is.
            if (nx == 0.0) continue;
            forEachStation([&](int, int r) {
                RES.XVEC(r, j) /= nx;
                RES.XVEC(r + 1, j) /= ny;
            });
        }
    }

    // Repeated selection of the largest remaining frequency (strictly greater,
    // so equal values keep the lower index first).
    for (int i = 1; i <= n; ++i) FREQCOPY(i) = RES.EIGV(i);
    for (int pos = 1; pos <= n; ++pos) {
        float best = 0.0f;
        int idx = 1;
        for (int i = 1; i <= n; ++i) {
            if (FREQCOPY(i) > best) {
                best = FREQCOPY(i);
                idx = i;
            }
        }
        SELECTED(pos) = idx;
        FREQCOPY(idx) = 0.0f;
    }

    for (int k = 1; k <= n; ++k) {
        const int j = SELECTED(n - k + 1);
        RES.CRIT(k) = RES.EIGV(j);
        forEachStation([&](int s, int r) {
            float xv = static_cast<float>(RES.XVEC(r, j));
            float yv = static_cast<float>(RES.XVEC(r + 1, j));
            if (xv == 0.0f) xv = yv;
            if (yv == 0.0f) yv = xv;
            RES.SHAPE(2 * s - 1, k) = xv;
            RES.SHAPE(2 * s, k) = yv;
        });
    }

    // After a solver error the results are kept; the modes that fail a
    // residual check against the original matrices are named.
    NMODES = n;
    UNRELIABLE.clear();
    if (ierr != 0) {
        for (int k = 1; k <= n; ++k) {
            const int j = SELECTED(n - k + 1);
            const bool bad = !(RES.CRIT(k) > 0.0f) || !std::isfinite(RES.CRIT(k)) || Residual(j, n) > 1.0e-3;
            UNRELIABLE(k) = bad ? 1 : 0;
        }
        WriteUndampedWarning(CONSOLE);
    }
}
