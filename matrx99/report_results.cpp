#include "matrx99/report.h"

// Placeholder until the real implementation lands.
void WriteStabilityResults() {}
void WriteUnbalanceResults() {}
