#pragma once
// The speed sweep of an analysis run: its passes, the speed steps of the
// analysis, what is written for each step, and the end-of-pass work.
#include "driver/speed_range.h"

// Runs the passes of the range with the analysis OPTS.MAINOPT on the system
// set up in SYS; OPTS.SPEED1, SPEED2 and DSPEED take the range, and SPEED1
// moves on with the passes.
void RunSweep(const SpeedRange& range);
