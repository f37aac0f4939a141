#pragma once
// Run state of the analysis run and the results of the analyses.
#include "subs99/arrays.h"
#include "subs99/numerics.h"

struct RunState {
    float PI = 3.14159265f;
    float AMPSCALE = 1000.0f;
    float SPDNOW = 0.0f;
    int NSTEPS = 0;
    int NREST = 1;
    int NSTEPPASS = 1;
    int PASSFLAG = 1;   // 1 last pass, 2 more passes follow
    int ISTEP = 0;
    int NSWEEP = 0;
    int ITHR = 0;
    int FOUND = 0;
    int NFOPEN = 0;
    int EVALMODE = 0;   // the self-excited mode evaluation is pending
    int MASSSINGULAR = 0;  // the mass matrix had an all-zero row
    int JACOBIERR = 0;     // error code of the undamped solution
    int ABOVETABLE = 0;    // the single step lies above the bearing speed table
};

// Result locations of the unbalance response: the stations, then the
// pedestals. A pedestal stands under a bearing, so NPED <= NSTA, and with
// 2*NSTA + NPED <= 198 there are at most 132 locations (66 + 66).
constexpr int MAXLOCATIONS = 132;

struct Results {
    // Undamped eigenvalue analysis.
    Vec<float, 396> EIGV;
    Vec<float, 396> CRIT;
    Array2<float, 198, 396> SHAPE;
    Array2<double, 396, 396> XVEC;
    // Damped eigenvalues of the last computed step.
    Vec<float, 792> WR, WI;
    Array3<float, 396, MAXLOCATIONS, 5> RESTAB;
    Array2<int, 396, 99> MODEIDX;
    // Stability search and threshold results.
    float SLOW = 0, SHIGH = 0, STRIAL = 0, REHIGH = 0, IMHIGH = 0;
    float TRIALRE = 0, TRIALIM = 0, SWIDTH = 0;
    float THRSPD = 0, WHIRLRPM = 0, WHIRLRATIO = 0;
    int UNSTMODE = 1, ILOWER = 0, IUPPER = 0, SWEPT = 0;
    float SWEEP1 = 0, SWEEP2 = 0;  // first and last speed of the stability sweep
    int UNSTFIRST = 0;             // the lowest speed examined was already unstable
    Vec<float, 792> WRSAVE;
    Vec<float, 297> ENERGY;  // bearings 1.., stiffness parts NSTA+b, pedestals 2*NSTA+k
    Vec<ZDouble, 792> SEVEC;
    Vec<float, 396> MODEAMP, MODEPHS;
    Vec<float, 99> RELAX, RELAY, RELDPH;
    // Unbalance forces, replaced by the complex displacements.
    Vec<ZDouble, 396> FUNB;
};

extern RunState RUN;
extern Results RES;
