// The speed sweep of an analysis run. The sweep owns the speeds and the
// order: it runs each step of the analysis at its speed, then writes what the
// step returned (the bearing-coefficient records, the progress lines on the
// console and the messages) in the order of the program's one-step path,
// calls the end-of-pass work of the analysis, runs the threshold search with
// its trial steps, and has the report written.
#include "driver/sweep.h"

#include <algorithm>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "report/report.h"
#include "report/warnings.h"
#include "subs99/spline.h"

namespace {

// The sweep's own state.
struct Sweep {
    float SPDNOW = 0.0f;  // speed of the current step, RPM
    int ISPAN = 1;        // interval of the speed table
    int NREST = 1;        // steps not yet in a pass
    int ISTEP = 0;        // step of the pass, from 1
    int NSWEEP = 0;       // steps computed in the run
};
Sweep SW;

// The work spaces of the steps.
StepWork WORK;
UndampedWork UNDAMPED;

void SetUpPass() {
    if (SW.NREST > MAXSTEPS) {
        RUN.PASSFLAG = 2;
        SW.NREST -= MAXSTEPS;
        RUN.NSTEPPASS = MAXSTEPS;
    } else {
        RUN.PASSFLAG = 1;
        RUN.NSTEPPASS = SW.NREST;
    }
    RUN.PASS += 1;
    SW.ISTEP = 0;
    SW.SPDNOW = OPTS.SPEED1;
}

// Moves the speed on by DSPEED and the interval with it (either direction).
void AdvanceSpeed() {
    SW.SPDNOW = SW.SPDNOW + OPTS.DSPEED;
    AdvanceSweepInterval(SW.SPDNOW, OPTS.DSPEED, SW.ISPAN);
}

// The bearing coefficients of the step, when they are stored: at every step
// of coefficients that depend on speed, at the first step of the run of
// constant ones.
void WriteStepRecords() {
    if (OPTS.SPLSTORE == 1 && (MODEL.NSPEED > 1 || SW.NSWEEP == 1)) WriteBearingRecords(SW.SPDNOW, WORK.at);
}

void WriteIterationLine(int number, float speed) {
    Write(CONSOLE, "(2X,'Iteration No.',I4,'  Rotor Speed =',F9.1,' RPM ... ')", number, speed);
}

void WriteTotalSteps() { Write(CONSOLE, "(/,/,2X,'TOTAL NUMBER OF ITERATIONS =',I5,/)", RUN.NSTEPS); }

void WriteQrFailure(bool failed) {
    if (failed) Write(CONSOLE, FREE, " Poor Performance Of the QR Algorithm");
}

// The single step of the eigenvalue analyses (main-menu 1 to 3): the
// undamped problem, then the damped one at the same speed.
void EigenvalueStep() {
    const int opt = OPTS.MAINOPT;
    if (opt == 1 || opt == 3) {
        const bool failed = UndampedStep(SW.SPDNOW, SW.ISPAN, WORK, UNDAMPED);
        WriteStepRecords();
        Write(CONSOLE, FREE, " UNDAMPED EIGENVALUE PROBLEM ...");
        Write(CONSOLE, FREE);
        if (failed) WriteUndampedWarning(CONSOLE);
    }
    if (opt == 2 || opt == 3) {
        const bool failed = DampedStep(SW.SPDNOW, SW.ISPAN, SW.ISTEP, WORK);
        if (opt == 2) WriteStepRecords();
        Write(CONSOLE, FREE, " DAMPED EIGENVALUE PROBLEM ...");
        Write(CONSOLE, FREE);
        if (SW.NSWEEP == 1) WriteMassWarning(CONSOLE);
        WriteQrFailure(failed);
    }
}

// A step of the stability sweep; the count of steps before the first one,
// except when only the two ends of the range are examined.
void StabilitySweepStep() {
    const bool failed = StabilityStep(SW.SPDNOW, SW.ISPAN, SW.ISTEP, WORK);
    WriteStepRecords();
    if (SW.NSWEEP == 1) {
        WriteMassWarning(CONSOLE);
        if (OPTS.STABOPT != 3) WriteTotalSteps();
    }
    WriteIterationLine(SW.NSWEEP, SW.SPDNOW);
    WriteQrFailure(failed);
}

// A trial speed of the threshold search: a one-step pass into row 1 with the
// interval of its speed and no coefficient records, numbered by the search's
// iteration (by the steps of the run before the bisection starts).
void StabilityTrialStep(float speed, int iteration) {
    SW.ISTEP = 1;
    SW.NSWEEP += 1;
    SW.SPDNOW = speed;
    SW.ISPAN = MODEL.NSPEED > 1 ? StartInterval(MODEL.SPEED.data(), MODEL.NSPEED, speed) : 1;
    const bool failed = StabilityStep(speed, SW.ISPAN, 1, WORK);
    if (iteration == 1) Write(CONSOLE, "(/,/,5X,'Searching for the Threshold Speed',/,/)");
    WriteIterationLine(iteration > 0 ? iteration : SW.NSWEEP, speed);
    WriteQrFailure(failed);
    AdvanceSpeed();
}

// A step of the unbalance response; the orbit's single step is not counted
// on the console.
void UnbalanceSweepStep() {
    const bool singular = UnbalanceStep(SW.SPDNOW, SW.ISPAN, SW.ISTEP, WORK);
    WriteStepRecords();
    if (OPTS.PLOTOPT != 9) {
        if (SW.NSWEEP == 1) WriteTotalSteps();
        WriteIterationLine(SW.NSWEEP, SW.SPDNOW);
    }
    if (singular) Write(CONSOLE, FREE, "MATRIX ZM MAY BE SINGULAR");
}

// One step of the pass at SW.SPDNOW; the sweeps move on to the next speed.
void RunSpeedStep() {
    SW.ISTEP += 1;
    SW.NSWEEP += 1;
    switch (OPTS.MAINOPT) {
        case 4:
            StabilitySweepStep();
            AdvanceSpeed();
            break;
        case 5:
            UnbalanceSweepStep();
            AdvanceSpeed();
            break;
        default:
            EigenvalueStep();
            break;
    }
}

bool RunWritesReport() { return OPTS.MAINOPT != 5 || OPTS.PLOTOPT == 11; }

// The result files of the pass, the threshold search after the last pass of
// a stability sweep, and after the last pass the report.
void EndOfPass() {
    switch (OPTS.MAINOPT) {
        case 1:
        case 3: WriteModeShapeFiles(); break;
        case 4: StabilityEndOfPass(WORK, StabilityTrialStep); break;
        case 5: WriteUnbalanceFiles(std::clamp(RUN.NSTEPPASS, 1, MAXSTEPS)); break;
        default: break;
    }
    if (RUN.PASSFLAG == 2 || !RunWritesReport()) return;
    WriteRunReport();
    WriteClosingMessages();
}

}  // namespace

void RunSweep(const SpeedRange& range) {
    OPTS.SPEED1 = range.SPEED1;
    OPTS.SPEED2 = range.SPEED2;
    OPTS.DSPEED = range.DSPEED;
    SW = Sweep{};
    SW.ISPAN = range.ISPAN;
    SW.NREST = range.NREST;
    RUN = RunState{};
    RUN.NSTEPS = range.NSTEPS;
    RUN.ABOVETABLE = range.ABOVETABLE ? 1 : 0;
    if (OPTS.MAINOPT == 4) StartStabilityRun();
    WriteSpeedTableWarning(CONSOLE);

    for (;;) {
        SetUpPass();
        do {
            RunSpeedStep();
        } while (SW.ISTEP < RUN.NSTEPPASS);
        EndOfPass();
        OPTS.SPEED1 = SW.SPDNOW;
        if (RUN.PASSFLAG != 2) break;
    }
}
