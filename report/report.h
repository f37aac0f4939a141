#pragma once
// The run report on unit 9 and the closing messages of a run.

// Writes the whole report from the first record of unit 9; after the last
// pass also the closing messages on the console, and closes unit 9.
void WriteRunReport();
// Result sections of the stability analysis and the unbalance response.
void WriteStabilityResults();
void WriteUnbalanceResults();
