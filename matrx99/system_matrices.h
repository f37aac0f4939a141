#pragma once
// The finite-element system of the rotor: single-precision mass, stiffness
// and damping matrices (active block NDOF x NDOF), the per-station values of
// the set-up, the bearing blocks of the current speed, and the
// double-precision working matrices of the analyses.
#include <string>

#include "subs99/arrays.h"
#include "subs99/numerics.h"

struct SystemMatrices {
    Array2<float, 396, 396> MASS, STIFF, DAMP, WORK;
    Array2<float, 396, 396> STIFF0, DAMP0;  // without bearing and gyroscopic terms
    int NDOF = 0;
    float GRAV = 386.0f;
    Vec<float, 99> STDW, STIP, STIT, STBW, STWT, STROT;
    Vec<int, 99> PEDFLAG;  // per station: 1 when it carries a pedestal
    Vec<int, 99> PEDPOS;   // per pedestal: its x degree of freedom
    // Spline coefficients of the bearing coefficients: 8 columns per bearing.
    Array2<float, 396, 792> SPLCOEF;
    Array2<float, 198, 4> BRGBLK;  // rows 2s-1, 2s: stiffness (1-2), damping (3-4)
    int BRGDONE = 0;
    int ISPAN = 1;
    float OMEGA = 0.0f;

    // Double-precision working matrices of the analyses.
    Array2<double, 396, 396> MINV;   // inverse of MASS
    Array2<double, 396, 396> WORKD;  // symmetric stiffness / MINV*STIFF
    Array2<double, 396, 396> MINVC;  // MINV*DAMP
    Array2<double, 396, 396> MASSD;  // mass copy handed to the solvers
    Array2<double, 792, 792> SYSMAT; // first-order system matrix
    Array2<ZDouble, 396, 396> ZM;    // dynamic stiffness of the unbalance response
    Array2<ZDouble, 792, 792> CWORK;  // inverse iteration: the shifted matrix and its factors
};

extern SystemMatrices SYS;

// Speed-independent MASS, STIFF, DAMP and the per-station arrays from MODEL.
void AssembleRotorMatrices();
// Expands a with the two pedestal degrees of freedom after each pedestal
// station (from psta, MODEL.NSTA and MODEL.NPED): pedflag (per station) and
// pedpos (per pedestal) are filled, pedestal q gets v(q, 1), v(q, 2) on its
// diagonal; the result is the symmetric expansion of a's upper triangle.
// w is a scratch matrix of a's shape.
void InsertPedestalDofs(int ldv, int ld, const int* psta, int* pedflag, int* pedpos,
                        Mat<const float> v, Mat<float> a, Mat<float> w);
// STIFF and DAMP for the speed spdnow, from STIFF0/DAMP0, the bearing blocks
// (interval SYS.ISPAN of the speed table) and the gyroscopic terms.
void BuildSpeedMatrices(float spdnow);
// Empty when MODEL can be analysed, otherwise the message that refuses it.
std::string ModelAnalysisRefusal();
