#pragma once
// Result sections of the run report for the stability analysis and the
// steady-state unbalance response (report_results.cpp).

void WriteStabilityResults();
void WriteUnbalanceResults();
