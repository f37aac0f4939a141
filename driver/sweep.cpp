// The speed sweep of an analysis run. The sweep owns the speeds and the
// order: it has the steps of a pass computed, on worker threads when there
// are several (driver/step_workers.h), and writes what each step returned
// (the bearing-coefficient records, the progress lines on the console and
// the messages) on its own thread in step order, so that every byte written
// is that of the one-step path; then it calls the end-of-pass work of the
// analysis, runs the threshold search with its trial steps, and has the
// report written.
#include "driver/sweep.h"

#include <algorithm>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "driver/step_workers.h"
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

// The work spaces of the steps. LAST holds the last computed step of the
// run: WORK, the work space of the worker that computed the last step of a
// pass, or that of the last trial of the threshold search (on one thread
// the trials are computed in LAST itself).
StepWork WORK;
UndampedWork UNDAMPED;
StepWork* LAST = &WORK;

// The workers of the run, while it lasts.
StepWorkers* WORKERS = nullptr;

// Trial speeds of the threshold search computed in advance on the workers
// (see ComputeTrialStep): the speed and the QR failure flag of each; trial k
// (from 1) is held by the workers' work space k.
struct AheadTrial {
    float speed = 0.0f;
    bool failed = false;
};
std::vector<AheadTrial> AHEAD;

// Steps of the unbalance response handed to a worker at a time: a step takes
// about a millisecond at full size, and consecutive steps share the cache
// lines of their result rows.
constexpr int UNBALANCE_CHUNK = 8;

// A step of a sweep pass: its speed and interval, whether its bearing
// coefficients are written, and what it returned.
struct PassStep {
    float speed = 0.0f;
    int ispan = 1;
    bool records = false;
    bool failed = false;
};

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

// The bearing coefficients of step `nsweep` of the run are stored at every
// step of coefficients that depend on speed, at the first step of the run of
// constant ones.
bool WritesRecords(int nsweep) { return OPTS.SPLSTORE == 1 && (MODEL.NSPEED > 1 || nsweep == 1); }

void WriteStepRecords() {
    if (WritesRecords(SW.NSWEEP)) WriteBearingRecords(SW.SPDNOW, WORK.at.BRGBLK);
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

// What is written for a step of the stability sweep, after its coefficient
// records; the count of steps before the first one, except when only the two
// ends of the range are examined.
void WriteStabilityStep(int nsweep, float speed, bool failed) {
    if (nsweep == 1) {
        WriteMassWarning(CONSOLE);
        if (OPTS.STABOPT != 3) WriteTotalSteps();
    }
    WriteIterationLine(nsweep, speed);
    WriteQrFailure(failed);
}

// Likewise for a step of the unbalance response; the orbit's single step is
// not counted on the console.
void WriteUnbalanceStep(int nsweep, float speed, bool singular) {
    if (OPTS.PLOTOPT != 9) {
        if (nsweep == 1) WriteTotalSteps();
        WriteIterationLine(nsweep, speed);
    }
    if (singular) Write(CONSOLE, FREE, "MATRIX ZM MAY BE SINGULAR");
}

// A pass of the stability sweep or the unbalance response. The speeds and
// intervals of its steps are taken in turn as the one-step loop moves them
// on; the workers compute the steps, each keeping a copy of the bearing
// blocks that are written for it, and each step is written in step order.
void RunSweepPass(StepWorkers& workers) {
    const int n = std::max(RUN.NSTEPPASS, 1);
    const int before = SW.NSWEEP;
    const bool stability = OPTS.MAINOPT == 4;
    std::vector<PassStep> steps(static_cast<std::size_t>(n) + 1);
    bool records = false;
    for (int k = 1; k <= n; ++k) {
        PassStep& s = steps[static_cast<std::size_t>(k)];
        s.speed = SW.SPDNOW;
        s.ispan = SW.ISPAN;
        s.records = WritesRecords(before + k);
        records = records || s.records;
        AdvanceSpeed();
    }
    std::vector<Array2<float, 198, 4>> blocks(records ? steps.size() : 0);
    const auto compute = [&](int k, StepWork& w) {
        PassStep& s = steps[static_cast<std::size_t>(k)];
        s.failed = stability ? StabilityStep(s.speed, s.ispan, k, w) : UnbalanceStep(s.speed, s.ispan, k, w);
        if (s.records) blocks[static_cast<std::size_t>(k)] = w.at.BRGBLK;
    };
    const auto written = [&](int k) {
        const PassStep& s = steps[static_cast<std::size_t>(k)];
        if (s.records) WriteBearingRecords(s.speed, blocks[static_cast<std::size_t>(k)]);
        if (stability)
            WriteStabilityStep(before + k, s.speed, s.failed);
        else
            WriteUnbalanceStep(before + k, s.speed, s.failed);
    };
    AHEAD.clear();  // the pass overwrites the work spaces
    LAST = &workers.Run(n, stability ? 1 : UNBALANCE_CHUNK, compute, written);
    SW.ISTEP = n;
    SW.NSWEEP = before + n;
}

int IntervalOf(float speed) { return MODEL.NSPEED > 1 ? StartInterval(MODEL.SPEED.data(), MODEL.NSPEED, speed) : 1; }

// The work space that holds the step of a trial speed and its QR failure
// flag, its plotted modes not yet stored. With several workers a trial of the
// bisection is computed together with the trials that can follow it, one per
// worker, unless an earlier trial computed it so already; every step is the
// same whichever space computes it, so the search sees what it would on one
// thread.
StepWork& ComputeTrialStep(float speed, const TrialBracket* bracket, bool& failed) {
    const int threads = WORKERS ? WORKERS->Threads() : 1;
    if (threads > 1) {
        for (std::size_t k = 0; k < AHEAD.size(); ++k) {
            if (AHEAD[k].speed == speed) {
                failed = AHEAD[k].failed;
                return WORKERS->Space(static_cast<int>(k) + 1);
            }
        }
        AHEAD.assign(1, AheadTrial{speed, false});
        if (bracket)
            for (const float s : TrialSpeedsAhead(*bracket, speed, threads - 1)) AHEAD.push_back(AheadTrial{s, false});
        std::vector<int> spans;
        for (const AheadTrial& t : AHEAD) spans.push_back(IntervalOf(t.speed));
        WORKERS->RunEach(static_cast<int>(AHEAD.size()), [&](int k, StepWork& w) {
            AheadTrial& t = AHEAD[static_cast<std::size_t>(k - 1)];
            t.failed = StabilityStep(t.speed, spans[static_cast<std::size_t>(k - 1)], 0, w);
        });
        failed = AHEAD[0].failed;
        return WORKERS->Space(1);
    }
    failed = StabilityStep(speed, IntervalOf(speed), 0, *LAST);
    return *LAST;
}

// A trial speed of the threshold search: a one-step pass into row 1 with the
// interval of its speed and no coefficient records, numbered by the search's
// iteration (by the steps of the run before the bisection starts).
StepWork& StabilityTrialStep(float speed, int iteration, const TrialBracket* bracket) {
    SW.ISTEP = 1;
    SW.NSWEEP += 1;
    SW.SPDNOW = speed;
    SW.ISPAN = IntervalOf(speed);
    bool failed = false;
    StepWork& w = ComputeTrialStep(speed, bracket, failed);
    StorePlottedModes(speed, 1, w);
    LAST = &w;
    if (iteration == 1) Write(CONSOLE, "(/,/,5X,'Searching for the Threshold Speed',/,/)");
    WriteIterationLine(iteration > 0 ? iteration : SW.NSWEEP, speed);
    WriteQrFailure(failed);
    AdvanceSpeed();
    return w;
}

// The steps of a pass: the single step of the eigenvalue analyses, the
// steps of a sweep.
void RunPass(StepWorkers& workers) {
    if (OPTS.MAINOPT == 4 || OPTS.MAINOPT == 5) {
        RunSweepPass(workers);
        return;
    }
    SW.ISTEP += 1;
    SW.NSWEEP += 1;
    EigenvalueStep();
}

bool RunWritesReport() { return OPTS.MAINOPT != 5 || OPTS.PLOTOPT == 11; }

// The result files of the pass, the threshold search after the last pass of
// a stability sweep, and after the last pass the report.
void EndOfPass() {
    switch (OPTS.MAINOPT) {
        case 1:
        case 3: WriteModeShapeFiles(); break;
        case 4: StabilityEndOfPass(*LAST, StabilityTrialStep); break;
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

    // The workers live for the run; their work spaces go with them, however
    // the run ends.
    StepWorkers workers(SweepThreads(), WORK);
    struct Forget {
        ~Forget() {
            WORKERS = nullptr;
            AHEAD.clear();
            LAST = &WORK;
        }
    } forget;
    WORKERS = &workers;
    AHEAD.clear();
    LAST = &WORK;
    for (;;) {
        SetUpPass();
        RunPass(workers);
        EndOfPass();
        OPTS.SPEED1 = SW.SPDNOW;
        if (RUN.PASSFLAG != 2) break;
    }
}
