#pragma once
// Warnings about the results of a run, written on the console by the sweep
// and repeated in the run report. Each writes its lines to the given unit, or
// nothing when there is nothing to report.

// The single step of the run lies above the bearing speed table
// (RUN.ABOVETABLE): its coefficients are extrapolated; the table's range.
void WriteSpeedTableWarning(int unit);
// The undamped solution returned a non-zero error code (RES.JACOBIERR): the
// code and the ascending mode numbers whose results are not reliable.
void WriteUndampedWarning(int unit);
// The mass matrix was singular (SYS.MASSSINGULAR): the damped results of the
// run are not meaningful.
void WriteMassWarning(int unit);
