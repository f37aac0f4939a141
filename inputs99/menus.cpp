#include "inputs99/front_end.h"

// Placeholder until the real implementation lands.
FrontEndState FRONT;

void RunFrontEnd() {}
