#include "analyses/analyses.h"

// Placeholder until the real implementation lands.
void UndampedStep() {}
