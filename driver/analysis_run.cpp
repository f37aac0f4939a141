#include "driver/analysis_run.h"

// Placeholder until the real implementation lands.
void RunAnalysis() {}
void RunSpeedStep() {}
