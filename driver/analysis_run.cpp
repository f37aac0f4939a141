// The analysis run: the refusal of a model or a speed range that cannot be
// analysed, the set-up of the system (splines, assembly, inverse mass
// matrix), the speed sweep, and the closing of the run's files.
#include "driver/analysis_run.h"

#include "driver/speed_range.h"
#include "driver/sweep.h"
#include "inputs99/front_end.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// Refusal: bell, message lines, pause; the files opened for the run are
// discarded (those it created removed, those it was to replace untouched).
void RefuseRun(const Message& msg) {
    Beep(2);
    msg.Write(CONSOLE);
    Write(CONSOLE, FREE, " The analysis is not run.");
    PressEnterToContinue();
    DiscardUnit(UNIT_EIG_REAL);
    DiscardUnit(UNIT_EIG_IMAG);
    for (int f = 1; f <= MAXPLOTFILES + MAXROWS; ++f) DiscardUnit(ResultUnit(f));
    for (int b = 1; b <= MAXROWS; ++b) {
        DiscardUnit(BrgStiffUnit(b));
        DiscardUnit(BrgDampUnit(b));
    }
    DiscardUnit(UNIT_REPORT);
    FRONT.REREAD = 1;
}

void CloseBearingUnits() {
    for (int b = 1; b <= MAXROWS; ++b) {
        if (UnitIsOpen(BrgStiffUnit(b))) CloseUnit(BrgStiffUnit(b));
        if (UnitIsOpen(BrgDampUnit(b))) CloseUnit(BrgDampUnit(b));
    }
}

// Result units of the run (the report excepted).
void CloseRunUnits() {
    if (OPTS.MAINOPT == 4) {
        CloseUnit(UNIT_EIG_REAL);
        CloseUnit(UNIT_EIG_IMAG);
    } else {
        const int nf = OPTS.NFILES + OPTS.NPEDFILES;
        for (int f = 1; f <= nf && f <= MAXPLOTFILES + MAXROWS; ++f) CloseUnit(ResultUnit(f));
    }
    CloseBearingUnits();
}

// End condition of the spline fit: runs whose dialog asks none (the
// eigenvalue analyses, the orbit plot) keep no stale answer and use the
// linear one.
int FitEndCondition() {
    const bool asked = OPTS.MAINOPT == 4 || (OPTS.MAINOPT == 5 && OPTS.PLOTOPT != 9);
    return asked ? OPTS.ENDCOND : 1;
}

}  // namespace

void RunAnalysis() {
    // A model or a speed range that cannot be analysed is refused before
    // anything is computed or written.
    Message msg = ModelAnalysisRefusal();
    SpeedRange range;
    if (!msg) {
        range = SetUpSpeedRange();
        msg = range.REFUSAL;
    }
    if (msg) {
        RefuseRun(msg);
        return;
    }

    // The system of the run: splines of the bearing coefficients, the
    // speed-independent matrices, the inverse mass matrix of the damped
    // analyses.
    FitBearingSplines(FitEndCondition());
    AssembleRotorMatrices();
    if (OPTS.MAINOPT >= 2 && OPTS.MAINOPT <= 4) InvertMassMatrix();

    RunSweep(range);

    CloseRunUnits();
    CloseUnit(UNIT_REPORT);
    FRONT.REREAD = 1;
}
