#pragma once
// The state of the analysis run that its end-of-pass work and the report
// read, and the results of the analyses.
#include "model/constants.h"
#include "subs99/arrays.h"

// Written by the sweep of the run (the driver) only.
struct RunState {
    int NSTEPS = 0;      // speed steps of the run
    int NSTEPPASS = 1;   // speed steps of the current pass
    int PASSFLAG = 1;    // 1 last pass, 2 more passes follow
    int PASS = 0;        // number of the current pass, from 1
    int ABOVETABLE = 0;  // the single step lies above the bearing speed table
};

// Result locations of the unbalance response: the stations, then the
// pedestals. A pedestal stands under a bearing, so NPED <= NSTA, and with
// 2*NSTA + NPED <= 198 there are at most 132 locations (66 + 66).
constexpr int MAXLOCATIONS = 132;

// Written by the step and end-of-pass work of the analyses. The steps of a
// sweep pass may run side by side on worker threads: step k writes only row
// k of RESTAB and MODEIDX (for main-menu 2 and 3, column k); every other
// field, and every row after the pass, is written on the sweep's thread.
struct Results {
    // Undamped eigenvalue analysis: natural frequencies in RPM (ascending),
    // the compact mode shapes (rows 2s-1 and 2s: x and y of station s), the
    // error code of the solution, and after an error the modes (ascending
    // numbers 1..NMODES) whose results fail the residual check.
    Vec<float, 396> CRIT;
    Array2<float, 198, 396> SHAPE;
    int JACOBIERR = 0;
    int NMODES = 0;
    Vec<int, 396> UNRELIABLE;
    // The per-step results of a pass: RESTAB in the layout of each analysis,
    // MODEIDX the index of each plotted eigenvalue of a stability step.
    Array3<float, 396, MAXLOCATIONS, 5> RESTAB;
    Array2<int, 396, 99> MODEIDX;
    // Stability: the instability found (FOUND), already at the lowest speed
    // examined (UNSTFIRST), the first and last speed of the sweep, the
    // threshold, the eigenvalues and bearing blocks at the threshold, the
    // self-excited mode (phases in radians) and the energy per cycle
    // (bearings 1.., their stiffness parts at NSTA + b, pedestals at
    // 2 NSTA + k).
    int FOUND = 0, UNSTFIRST = 0, UNSTMODE = 1;
    float SWEEP1 = 0, SWEEP2 = 0;
    float THRSPD = 0, WHIRLRPM = 0, WHIRLRATIO = 0;
    Vec<float, 792> WRSAVE, WISAVE;
    Array2<float, 198, 4> BRGSAVE;
    Vec<float, 396> MODEAMP, MODEPHS;
    Vec<float, 297> ENERGY;
};

extern RunState RUN;
extern Results RES;
