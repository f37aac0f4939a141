#pragma once
// The work space of a speed step: everything a step of an analysis writes
// apart from its own row of the result tables. A step reads MODEL, OPTS and
// SYS, which stay constant during the run, so steps at different speeds can
// run side by side, each in a work space of its own.
#include <cfloat>
#include <cmath>

#include "matrx99/system_matrices.h"
#include "subs99/numerics.h"

// A double of a solution as a single-precision value, infinite beyond range.
inline float ToFloat(double v) {
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}

struct StepWork {
    SpeedMatrices at;  // the system at the step's speed
    // Damped eigenvalues: the first-order system (destroyed by the solver),
    // its eigenvalues in the solver's order, and the solver's work space.
    Array2<double, 792, 792> SYSMAT;
    Vec<double, 792> WRD, WID;
    Vec<float, 792> WR, WI;
    EigenWork QRWORK;
    Vec<float, 792> WHIRL;  // stability: whirl frequencies still to be selected
    // Unbalance response: the dynamic stiffness and its factors, the forces
    // and then the displacements, the pivot rows.
    Array2<ZDouble, 396, 396> ZM;
    Vec<ZDouble, 396> FUNB;
    Vec<int, 396> ZMPIVOT;
};

// The work space of the undamped eigenvalue analysis, which runs one step
// per run: the pair handed to the generalized Jacobi solver, its
// eigenvectors and eigenvalues, the solver's work arrays and the ordering.
struct UndampedWork {
    Array2<double, 396, 396> K, M, X;
    double EIGVD[396], SORTED[396], SWAPV[396], DPREV[396];
    int ORDER[396], INVORDER[396];
    Vec<float, 396> EIGV;      // natural frequencies in the solver's order
    Vec<float, 396> FREQCOPY;  // copy consumed by the ordering
    Vec<int, 396> SELECTED;    // selection position -> eigenpair index
};
