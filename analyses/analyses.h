#pragma once
// Work of the analyses at a speed step and at the end of a pass.

// Undamped eigenvalue analysis at the current step (main-menu 1 and 3).
void UndampedStep();
// Damped eigenvalues at the current step (main-menu 2, 3 and 4); for 4 it
// prints the stability progress lines first and hands over to the selection.
void DampedStep();
// Stability: progress lines before the eigenvalues, selection and storage
// after them, and the end-of-pass work (detection, search, mode, energy).
void StabilityProgress();
void StabilitySelect();
void StabilityEndOfPass();
// Unbalance response at the current step and at the end of a pass.
void UnbalanceStep();
void UnbalanceEndOfPass();
// End of the pass of the eigenvalue analyses (main-menu 1 to 3).
void EigenEndOfPass();
// Mode-shape files of the undamped results.
void WriteModeShapeFiles();
// Curve-fitting tool: fit and output after its dialog (main-menu 7).
void RunCurveFit();
