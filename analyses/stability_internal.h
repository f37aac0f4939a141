#pragma once
// Pieces of the stability analysis, called in order by StabilityEndOfPass and
// open to the tests.
#include <functional>

// Plotted modes kept per speed step: NPLOT within 1..99 (the tables' width).
int PlottedModeCount();
// Forgets the bracket memory of an earlier run (first pass of a run).
void ResetStabilityRun();
// Puts an unstable plotted mode first at steps 1..nsteps of the pass.
void ExchangeUnstableFirst(int nsteps);
// Looks for the first step of the pass whose plotted mode 1 has a real part
// that is not negative and keeps the bracket around it; the last step of the
// pass is remembered as the lower bound of a later pass.
void DetectInstability(int nsteps);
// Remembers the last step of the pass without looking for an instability.
void RememberLastStep(int nsteps);
// Search set-up and bisection. computeStep(speed) computes one speed step at
// speed into step 1 of RESTAB and MODEIDX (selection and exchange included)
// and leaves WR, WI of that step. Returns true when a threshold (or an
// unstable lowest speed) was located; the last computed step is then at
// THRSPD.
bool SearchThreshold(const std::function<void(float)>& computeStep);
// MODEAMP and MODEPHS from the velocity half of SEVEC.
void ModeShapeFromVector();
// Motion at the bearings relative to their pedestals and the energy per
// cycle of every bearing and pedestal, from MODEAMP and MODEPHS.
void BearingMotionAndEnergy();
