#include "matrx99/system_matrices.h"

// Placeholder until the real implementation lands.
void BuildSpeedMatrices(float) {}
