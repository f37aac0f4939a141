#include "model/analysis_options.h"

#include <algorithm>

#include "model/constants.h"

AnalysisOptions OPTS;

int PlottedModeCount(const AnalysisOptions& o) { return std::clamp(o.NPLOT, 1, MAXROWS); }
