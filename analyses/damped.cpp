// Damped eigenvalue analysis: the first-order system of M x'' + C x' + K x = 0
// (velocities first, displacements second) and its complex eigenvalues.
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "matrx99/system_matrices.h"

namespace {

// Radix and precision handed to the QR eigensolver.
constexpr double QR_RADIX = 2.0;
const double QR_MACHEP = std::ldexp(1.0, -26);

}  // namespace

void FormFirstOrderSystem(StepWork& w) {
    const int n = SYS.NDOF;
    Mat<double> s = w.SYSMAT.view();
    // The upper half is -[MINV DAMP, MINV STIFF]. The lower right block,
    // zero in the end, holds STIFF and then DAMP in double for the products.
    const Mat<double> coef(&s(n + 1, n + 1), s.ld);
    const Mat<double> minvDamp(&s(1, 1), s.ld), minvStiff(&s(1, n + 1), s.ld);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) coef(i, j) = w.at.STIFF(i, j);
    MatrixProduct(SYS.MINV.view(), coef, minvStiff, n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) coef(i, j) = w.at.DAMP(i, j);
    MatrixProduct(SYS.MINV.view(), coef, minvDamp, n);
    for (int j = 1; j <= 2 * n; ++j) {
        for (int i = 1; i <= n; ++i) s(i, j) = -s(i, j);
        for (int i = n + 1; i <= 2 * n; ++i) s(i, j) = 0.0;
    }
    // The lower half: the velocities are the derivatives of the displacements.
    for (int i = 1; i <= n; ++i) s(n + i, i) = 1.0;
}

bool SolveEigenvalues(StepWork& w) {
    const int n2 = 2 * SYS.NDOF;
    for (int i = 1; i <= n2; ++i) w.WRD(i) = w.WID(i) = 0.0;
    int ierr = 0;
    RealEigenvalues(w.SYSMAT.view(), n2, w.WRD.data(), w.WID.data(), w.QRWORK, ierr, QR_RADIX, QR_MACHEP);
    for (int i = 1; i <= n2; ++i) {
        w.WR(i) = static_cast<float>(w.WRD(i));
        w.WI(i) = static_cast<float>(w.WID(i));
    }
    return ierr != 0;
}

bool DampedStep(float speed, int ispan, int step, StepWork& w) {
    const int n = SYS.NDOF;
    if (n < 1 || n > MAXDOF) return false;
    BuildSpeedMatrices(speed, ispan, w.at);
    FormFirstOrderSystem(w);
    const bool failed = SolveEigenvalues(w);
    // One row per eigenvalue pair i and NDOF + i at the step (always 1 here).
    if (step < 1 || step > MAXROWS) return failed;
    for (int i = 1; i <= n; ++i) {
        RES.RESTAB(i, step, 1) = speed;
        RES.RESTAB(i, step, 2) = w.WR(i);
        RES.RESTAB(i, step, 3) = w.WI(i);
        RES.RESTAB(i, step, 4) = w.WR(n + i);
        RES.RESTAB(i, step, 5) = w.WI(n + i);
    }
    return failed;
}
