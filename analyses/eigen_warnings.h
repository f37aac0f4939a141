#pragma once
// Warnings of the eigenvalue analyses that the run report repeats: a failed
// undamped (Jacobi) solution and a singular mass matrix. Each writes its
// lines to the given unit, or nothing when there is nothing to report.

// The undamped solution returned a non-zero error code (RUN.JACOBIERR): the
// code and the ascending mode numbers whose results are not reliable.
void WriteUndampedWarning(int unit);
// The mass matrix was singular when it was inverted (RUN.MASSSINGULAR): the
// damped results of the run are not meaningful.
void WriteMassWarning(int unit);
