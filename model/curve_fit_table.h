#pragma once
// The data table of the curve-fitting tool (main-menu 7): filled by its
// dialog in the front end, fitted and written by the tool's run. Kept apart
// from the rotor model, which the tool never touches.
#include "subs99/arrays.h"

constexpr int FIT_MAXROWS = 99;  // rows that can be fitted
constexpr int FIT_MAXCOLS = 4;   // ordinate columns that can be fitted

struct CurveFitTable {
    int NROWS = 0;    // R: rows of data
    int NYCOLS = 0;   // C: ordinate columns (0..4)
    int NPOINTS = 0;  // P: output intervals wanted (> R)
    Vec<float, FIT_MAXROWS> X;                // abscissae, strictly increasing
    Array2<float, FIT_MAXROWS, FIT_MAXCOLS> Y;  // ordinates y(r, m)
};

extern CurveFitTable FITDATA;
