// Damped eigenvalue analysis: the first-order system of M x'' + C x' + K x = 0
// (velocities first, displacements second) and its complex eigenvalues.
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/eigen_warnings.h"
#include "analyses/results.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {

// Double copy of STIFF or DAMP for the products with MINV.
Array2<double, 396, 396> COEFD;
double WRD[792], WID[792];
EigenWork QRWORK;  // balancing record and Hessenberg reduction work space

// Radix and precision handed to the QR eigensolver.
constexpr double QR_RADIX = 2.0;
const double QR_MACHEP = std::ldexp(1.0, -26);

}  // namespace

void WriteMassWarning(int unit) {
    if (RUN.MASSSINGULAR == 0) return;
    Write(unit, FREE, " WARNING: The mass matrix is singular (a degree of freedom without mass).");
    Write(unit, FREE, " The damped eigenvalue results of this run are not meaningful.");
}

void DampedStep() {
    const int n = SYS.NDOF;
    if (n < 1 || n > MAXDOF) return;
    const int n2 = 2 * n;
    const bool stability = OPTS.MAINOPT == 4;

    if (RUN.EVALMODE == 0) {
        // The mass warning once per run, on its first computed step.
        const bool first = RUN.NSWEEP <= 1;
        if (stability) {
            if (first) WriteMassWarning(CONSOLE);
            StabilityProgress();
        } else {
            Write(CONSOLE, FREE, " DAMPED EIGENVALUE PROBLEM ...");
            Write(CONSOLE, FREE);
            if (first) WriteMassWarning(CONSOLE);
        }
    }

    for (int j = 1; j <= n2; ++j)
        for (int i = 1; i <= n2; ++i) SYS.SYSMAT(i, j) = 0.0;

    // WORKD = MINV * STIFF, MINVC = MINV * DAMP.
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) COEFD(i, j) = SYS.STIFF(i, j);
    MatrixProduct(SYS.MINV.view(), COEFD.view(), SYS.WORKD.view(), n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) COEFD(i, j) = SYS.DAMP(i, j);
    MatrixProduct(SYS.MINV.view(), COEFD.view(), SYS.MINVC.view(), n);

    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            SYS.SYSMAT(j, i) = -SYS.MINVC(j, i);
            SYS.SYSMAT(j, n + i) = -SYS.WORKD(j, i);
        }
        SYS.SYSMAT(n + i, i) = 1.0;
    }

    // The self-excited mode evaluation continues with SYSMAT itself.
    if (RUN.EVALMODE != 0) return;

    for (int i = 0; i < n2; ++i) WRD[i] = WID[i] = 0.0;
    int ierr = 0;
    RealEigenvalues(SYS.SYSMAT.view(), n2, WRD, WID, QRWORK, ierr, QR_RADIX, QR_MACHEP);
    for (int i = 1; i <= n2; ++i) {
        RES.WR(i) = static_cast<float>(WRD[i - 1]);
        RES.WI(i) = static_cast<float>(WID[i - 1]);
    }
    if (ierr != 0) Write(CONSOLE, FREE, " Poor Performance Of the QR Algorithm");

    if (stability) {
        StabilitySelect();
        return;
    }
    // One row per eigenvalue pair i and NDOF + i at the step (always 1 here).
    const int step = RUN.ISTEP;
    if (step < 1 || step > 99) return;
    for (int i = 1; i <= n; ++i) {
        RES.RESTAB(i, step, 1) = RUN.SPDNOW;
        RES.RESTAB(i, step, 2) = RES.WR(i);
        RES.RESTAB(i, step, 3) = RES.WI(i);
        RES.RESTAB(i, step, 4) = RES.WR(n + i);
        RES.RESTAB(i, step, 5) = RES.WI(n + i);
    }
}
