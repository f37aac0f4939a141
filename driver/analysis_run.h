#pragma once
// The analysis run of main-menu options 1 to 5.

// One analysis run for OPTS.MAINOPT 1 to 5: refused with a message when the
// model or the speed range cannot be analysed; otherwise the system is set
// up, the speed range swept, the report written and the run's files closed.
void RunAnalysis();
