#include "model/analysis_options.h"

AnalysisOptions OPTS;
