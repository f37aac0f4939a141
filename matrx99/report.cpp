#include "matrx99/report.h"

// Placeholder until the real implementation lands.
void WriteRunReport() {}
