#pragma once
// Options collected by the analysis dialogs for the driver, and the unit
// numbers of the program's files.
#include "recordio/text.h"
#include "subs99/arrays.h"

// Room for plotted station entries: 97 files of at most 99 entries each.
constexpr int MAXPLOTFILES = 97;
constexpr int MAXPLOTENTRIES = 97 * 99;

struct AnalysisOptions {
    int MAINOPT = 0;
    int MASSOPT = 1;
    float SPEED1 = 0.0f, SPEED2 = 0.0f, DSPEED = 0.0f;
    int STABOPT = 0;
    float ACCUR = 0.0f;
    int NITER = 0;
    int ENDCOND = 0;
    int SPLSTORE = 0;  // the fitted bearing coefficients are stored (2 NBRG files)
    int PLOTOPT = 0;
    int NTMARK = 0;
    int NPEDFILES = 0;
    int NORMFLAG = 0;
    int NPLOT = 0;
    int NFILES = 0;
    Vec<int, MAXPLOTFILES> NPERFILE;
    // Result files 1..NFILES (mode, station, orbit, animation files); under the
    // stability analysis entries 1 and 2 are the eigenvalue files.
    Vec<Text14, MAXPLOTFILES> PLOTFILE;
    // Pedestal response files: entry f of NPEDFILES.
    Vec<Text14, 99> PEDFILE;
    // Fitted bearing coefficients: entry b stiffness, NBRG + b damping.
    Vec<Text14, 198> BRGFILE;
    Vec<int, MAXPLOTENTRIES> ISTPLOT;  // station of each plotted entry
    Vec<int, MAXPLOTENTRIES> IPLANE;   // quantity code of each plotted entry
    Vec<int, 99> PEDPLANE;             // quantity code of pedestal i's entry
    Text14 OUTFILE;
};

extern AnalysisOptions OPTS;

// The quantity of the result table (2 amplitude x, 3 amplitude y, 4 phase x,
// 5 phase y) that the unbalance plot options 1, 2, 5 and 6 store for every
// plotted entry; 0 for the other options.
int PlotOptionQuantity(int plotopt);
// Bisection steps estimated to narrow a bracket of the given width down to
// the accuracy: trunc(ln(width/accuracy) / ln 2), the logarithm rounded to
// single precision; a quotient without a finite logarithm gives 999999
// (above) or -999999 (below), so that no conversion is undefined.
int BisectionIterations(float width, float accuracy);
// Plotted modes kept per stability step: NPLOT within 1..99 (the width of
// the result tables).
int PlottedModeCount(const AnalysisOptions& o);

// Unit numbers.
constexpr int UNIT_FIT_DATA = 1;   // curve-fitting data file (read)
constexpr int UNIT_FIT_OUT = 2;    // fitted-data file
constexpr int UNIT_MODEL = 8;      // model data file
constexpr int UNIT_REPORT = 9;     // run report
constexpr int UNIT_EIG_REAL = 11;  // stability: real parts against speed
constexpr int UNIT_EIG_IMAG = 12;  // stability: imaginary parts against speed
// Result file f (1-based, station files then pedestal files): unit 20 + f.
constexpr int ResultUnit(int f) { return 20 + f; }
// Bearing-coefficient files of bearing b, in a range of their own that can
// never reach the result-file units.
constexpr int BrgStiffUnit(int b) { return 1000 + b; }
constexpr int BrgDampUnit(int b) { return 1200 + b; }
