#pragma once
// Warnings about the results of a run that the run report repeats: a single
// step above the speed table, a failed undamped (Jacobi) solution and a
// singular mass matrix. Each writes its lines to the given unit, or nothing
// when there is nothing to report.

// The single step of the run lies above the bearing speed table
// (RUN.ABOVETABLE): its coefficients are extrapolated; the table's range.
void WriteSpeedTableWarning(int unit);

// The undamped solution returned a non-zero error code (RUN.JACOBIERR): the
// code and the ascending mode numbers whose results are not reliable.
void WriteUndampedWarning(int unit);
// The mass matrix was singular when it was inverted (RUN.MASSSINGULAR): the
// damped results of the run are not meaningful.
void WriteMassWarning(int unit);
