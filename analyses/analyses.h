#pragma once
// The work of the analyses at a speed step and at the end of a pass.
//
// A step function computes one step at the rotor speed `speed` (RPM), with
// the interval `ispan` of the bearing speed table, in the work space `w`: it
// builds the system at that speed, solves it, and stores its results in its
// own row `step` of the result tables. It reads only data that stay constant
// during the run and writes nothing to the console or to a file; what the
// sweep writes for the step it finds in its result (the flags below) and in
// the work space (the bearing coefficients in w.at.BRGBLK).
#include <functional>
#include <vector>

#include "analyses/step_work.h"

// Undamped eigenvalue analysis (main-menu 1 and 3): the natural frequencies
// and mode shapes of the symmetric part of the stiffness, into RES.CRIT,
// SHAPE, JACOBIERR and UNRELIABLE. True when the solution returned an error.
bool UndampedStep(float speed, int ispan, StepWork& w, UndampedWork& u);
// Damped eigenvalues (main-menu 2 and 3): RESTAB(i, step, 1..5) holds the
// speed and eigenvalues i and NDOF + i. True when the QR iteration failed.
bool DampedStep(float speed, int ispan, int step, StepWork& w);
// The two halves of a damped step on the system w.at: the first-order system
// in w.SYSMAT; its eigenvalues in w.WR, w.WI (true when the QR iteration
// failed; w.SYSMAT is destroyed).
void FormFirstOrderSystem(StepWork& w);
bool SolveEigenvalues(StepWork& w);
// Stability (main-menu 4): the damped eigenvalues and the NPLOT lowest whirl
// frequencies among them in row `step` of RESTAB and MODEIDX. True when the
// QR iteration failed. With `step` 0 the eigenvalues stay in the work space
// alone; StorePlottedModes then stores them as StabilityStep would have.
bool StabilityStep(float speed, int ispan, int step, StepWork& w);
void StorePlottedModes(float speed, int step, StepWork& w);
// Unbalance response (main-menu 5): amplitudes and phases of every location
// in row `step` of RESTAB. True when the dynamic stiffness has a zero pivot.
bool UnbalanceStep(float speed, int ispan, int step, StepWork& w);

// End of a pass of the stability analysis: the unstable mode first, the
// detection of the instability and the eigenvalue files; after the last pass
// the threshold search, the self-excited mode and the energy per cycle. The
// search computes each trial speed with trial(speed, iteration, bracket), a
// one-step pass into row 1 that returns its work space; `last` holds the
// last computed step of the pass, used when no trial is made. A trial of the
// bisection gives its bracket (else null): TrialSpeedsAhead lists the first
// `count` trial speeds that can follow it, level by level, both outcomes of
// each trial (the likelier first, judged from the real parts relow and rehigh
// of the plotted mode 1 at the bracket ends), so that they can be computed in
// advance.
// StartStabilityRun forgets the search of an earlier run.
struct TrialBracket {
    float slow, shigh, relow, rehigh;
};
using TrialStep = std::function<StepWork&(float speed, int iteration, const TrialBracket* bracket)>;
std::vector<float> TrialSpeedsAhead(const TrialBracket& bracket, float speed, int count);
void StartStabilityRun();
void StabilityEndOfPass(StepWork& last, const TrialStep& trial);

// Result files: the bearing-coefficient records of a step from its bearing
// blocks, the mode shapes of the undamped results, the unbalance response of
// steps 1..nsteps of a pass.
void WriteBearingRecords(float speed, const Array2<float, 198, 4>& brgblk);
void WriteModeShapeFiles();
void WriteUnbalanceFiles(int nsteps);

// Curve-fitting tool: fit and output after its dialog (main-menu 7).
void RunCurveFit();
