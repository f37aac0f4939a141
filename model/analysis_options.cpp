#include "model/analysis_options.h"

#include <algorithm>
#include <cmath>

#include "model/constants.h"

AnalysisOptions OPTS;

int PlottedModeCount(const AnalysisOptions& o) { return std::clamp(o.NPLOT, 1, MAXROWS); }

int PlotOptionQuantity(int plotopt) {
    switch (plotopt) {
        case 1: return 2;
        case 2: return 3;
        case 5: return 4;
        case 6: return 5;
        default: return 0;
    }
}

int BisectionIterations(float width, float accuracy) {
    const float n = std::log(width / accuracy) / std::log(2.0f);
    if (!(n > -1.0e6f && n < 1.0e6f)) return n > 0.0f ? 999999 : -999999;
    return static_cast<int>(n);
}
