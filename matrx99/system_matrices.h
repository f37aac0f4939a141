#pragma once
// The finite-element system of the rotor. RotorSystem is what the set-up of
// a run builds once from the model (the speed-independent matrices, the
// per-station values, the bearing splines, the inverse mass matrix); during
// the speed steps it is only read. SpeedMatrices is the system at one speed,
// written by BuildSpeedMatrices into the work space of a step.
#include "model/constants.h"
#include "subs99/arrays.h"

struct RotorSystem {
    int NDOF = 0;
    float GRAV = 386.0f;
    Array2<float, 396, 396> MASS;
    Array2<float, 396, 396> STIFF0, DAMP0;  // without bearing and gyroscopic terms
    Vec<float, 99> STDW, STIP, STIT, STBW, STWT, STROT;
    Vec<int, 99> PEDFLAG;  // per station: 1 when it carries a pedestal
    Vec<int, 99> PEDPOS;   // per pedestal: its x degree of freedom
    // Spline coefficients of the bearing coefficients: 8 columns per bearing.
    Array2<float, 396, 792> SPLCOEF;
    // Inverse of MASS, for the damped analyses; MASSSINGULAR when MASS had a
    // row of zeros (a degree of freedom without mass).
    Array2<double, 396, 396> MINV;
    int MASSSINGULAR = 0;
};

extern RotorSystem SYS;

// The system at one rotor speed.
struct SpeedMatrices {
    float OMEGA = 0.0f;            // spin speed, rad/s
    Array2<float, 198, 4> BRGBLK;  // rows 2s-1, 2s: stiffness (1-2), damping (3-4)
    Array2<float, 396, 396> STIFF, DAMP;
};

// Number of bearing coefficients: Sxx Sxy Syx Syy Cxx Cxy Cyx Cyy.
constexpr int BRGCOEFS = 8;

// Run set-up, in this order. FitBearingSplines: SPLCOEF from the speed table
// of MODEL (when NSPEED > 1) with the end condition endcond.
// AssembleRotorMatrices: NDOF, GRAV, MASS, STIFF0, DAMP0 and the per-station
// arrays from MODEL and the mass distribution OPTS.MASSOPT; computed element
// weights and area moments go back into MODEL.SHAFT. InvertMassMatrix: MINV
// and MASSSINGULAR.
void FitBearingSplines(int endcond);
void AssembleRotorMatrices();
void InvertMassMatrix();
// Expands a with the two pedestal degrees of freedom after each pedestal
// station (from psta, MODEL.NSTA and MODEL.NPED): pedflag (per station) and
// pedpos (per pedestal) are filled, pedestal q gets v(q, 1), v(q, 2) on its
// diagonal; the result is the symmetric expansion of a's upper triangle.
// w is a scratch matrix of a's shape.
void InsertPedestalDofs(int ldv, int ld, const int* psta, int* pedflag, int* pedpos,
                        Mat<const float> v, Mat<float> a, Mat<float> w);

// The system at the rotor speed `speed` (RPM): OMEGA, the bearing blocks
// (the coefficients of data set 1, or the splines on interval `ispan` of the
// speed table), and STIFF and DAMP rebuilt from STIFF0 and DAMP0 with the
// bearings, the discs' gyroscopic coupling and the bearing-to-pedestal terms.
// Reads MODEL and SYS only, so steps at different speeds may run side by
// side, each with its own `at`.
void BuildSpeedMatrices(float speed, int ispan, SpeedMatrices& at);
