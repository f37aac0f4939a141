#pragma once
// Result files written by the stability analysis at the end of a pass.

// The eigenvalue records of steps 1..nsteps of the pass: real parts to unit
// 11, imaginary parts to unit 12, each after the speed.
void WriteEigenvalueRecords(int nsteps);
