#include "model/curve_fit_table.h"

CurveFitTable FITDATA;
