#include "inputs99/analysis_options.h"

AnalysisOptions OPTS;
