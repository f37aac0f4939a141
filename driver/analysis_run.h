#pragma once
// The analysis run: matrices, speed range, passes and speed steps.

// One analysis run for OPTS.MAINOPT 1 to 5.
void RunAnalysis();
// One speed step at RUN.SPDNOW: ISTEP and NSWEEP advanced, speed matrices
// rebuilt, the step work of the analysis done.
void RunSpeedStep();
