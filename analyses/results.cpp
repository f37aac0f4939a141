#include "analyses/results.h"

RunState RUN;
Results RES;
