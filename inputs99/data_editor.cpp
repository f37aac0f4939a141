#include "inputs99/front_end.h"

// Placeholder until the real implementation lands.
void DataEditor() {}
