#pragma once
// The run report on unit 9 and the closing messages of a run.

// Writes the whole report from the first record of unit 9: banner, model
// echo as analysed, mass-distribution note, warnings, and the results of the
// analysis OPTS.MAINOPT.
void WriteRunReport();
// After the last pass of a run with a report: on the console the model file
// and every file of the run (the eigenvalue or result files, the fitted
// stiffness then damping coefficients of every bearing, the pedestal files,
// the report), the end of the run; then unit 9 is closed, the bell rung and
// Enter awaited.
void WriteClosingMessages();
