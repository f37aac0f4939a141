// Stability analysis: the damped eigenvalues against speed, the threshold
// speed of instability by bisection, the self-excited mode at that speed and
// the energy per cycle that each bearing and pedestal exchanges with it.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "analyses/stability_internal.h"
#include "driver/analysis_run.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "report/report.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"
#include "subs99/spline.h"

namespace {

// Whirl frequencies at or below this are real eigenvalues (2**-26).
constexpr float REAL_LIMIT = 1.4901161e-08f;
constexpr float REMOVED = 1.0e20f;
// Upper bound on the bisection iterations: single-precision speeds stop
// changing long before it, and a zero accuracy must not loop for ever.
constexpr int MAX_SEARCH = 100;

// The step before the first step of a pass (the last step of the pass
// before), the lower bound of an instability found at the start of a pass.
struct StepMemory {
    int valid = 0;
    float speed = 0.0f, re = 0.0f, im = 0.0f;
};
StepMemory PREVSTEP;

// Work vectors of the inverse iteration: the previous iterate, the pivots.
ZDouble IIWORK[792];
int IIPIVOT[792];

// A double of the vector as a single-precision value, infinite beyond range.
float ToFloat(double v) {
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}

// Phase in degrees of (re, im), 0 for the origin.
float PhaseDegrees(float re, float im) {
    if (re == 0.0f && im == 0.0f) return 0.0f;
    return std::atan2(im, re) * 57.29578f;
}

void WriteStableMessage(float from, float to) {
    Write(CONSOLE,
          "(/,/,5X,'******* THE SYSTEM IS STABLE IN THE SPEED RANGE',/,5X,'******* FROM ',F8.1,"
          "' TO ',F8.1,' RPM',/,/)",
          from, to);
}

// Iterations needed to narrow the bracket width d down to ACCUR; limited to a
// range an integer holds when the accuracy is zero or negative.
int SearchIterations(float d) {
    const float ratio = d / OPTS.ACCUR;
    const float lg = std::log(ratio);
    const float q = lg / std::log(2.0f);
    if (!(q > -1000.0f)) return 0;
    if (!(q < 1000.0f)) return 1000;
    return static_cast<int>(q);
}

// One step of the search at speed: a one-step pass of the driver.
void ComputeTrialStep(float speed) {
    RUN.NSTEPPASS = 1;
    RUN.ISTEP = 0;
    RUN.SPDNOW = speed;
    SYS.ISPAN = MODEL.NSPEED > 1 ? StartInterval(MODEL.SPEED.data(), MODEL.NSPEED, speed) : 1;
    RunSpeedStep();
    ExchangeUnstableFirst(1);
}

// The eigenvalue records of steps 1..nsteps to units 11 and 12.
void WriteEigenvalueRecords(int nsteps) {
    const int np = PlottedModeCount();
    for (int i = 1; i <= nsteps; ++i) {
        BeginWrite(UNIT_EIG_REAL, FREE);
        WriteReal(RES.RESTAB(i, 1, 1));
        for (int m = 1; m <= np; ++m) WriteReal(RES.RESTAB(i, m, 2));
        EndWrite();
        BeginWrite(UNIT_EIG_IMAG, FREE);
        WriteReal(RES.RESTAB(i, 1, 1));
        for (int m = 1; m <= np; ++m) WriteReal(RES.RESTAB(i, m, 3));
        EndWrite();
    }
}

// The eigenvalue of the last computed step that belongs to the unstable
// mode: its plotted mode 1 when that is unstable; after a stable last trial
// (where plotted mode 1 is merely the lowest whirl frequency) the eigenvalue
// nearest to the unstable one at the upper bracket speed.
int SelfExcitedIndex() {
    const int n2 = std::min(2 * SYS.NDOF, MAXORDER);
    int k = RES.MODEIDX(1, 1);
    if (k < 1 || k > n2) k = 1;
    if (RES.RESTAB(1, 1, 2) >= 0.0f) return k;
    float best = HUGE_VALF;
    for (int i = 1; i <= n2; ++i) {
        if (!(RES.WI(i) > REAL_LIMIT)) continue;
        const float dr = RES.WR(i) - RES.REHIGH, di = RES.WI(i) - RES.IMHIGH;
        const float d = dr * dr + di * di;
        if (d < best) {
            best = d;
            k = i;
        }
    }
    return k;
}

// Self-excited mode by inverse iteration on the first-order system of the
// last computed step, shifted by its plotted-mode-1 eigenvalue.
void EvaluateSelfExcitedMode() {
    const int n2 = 2 * SYS.NDOF;
    RUN.EVALMODE = 1;
    DampedStep();
    RUN.EVALMODE = 0;
    Write(CONSOLE, FREE);
    Write(CONSOLE, FREE, " Evaluating the Self-Excited Vibration Mode");
    Write(CONSOLE, FREE, " Please Wait...");
    int k = SelfExcitedIndex();
    int itmax = 200;
    ComplexInverseIteration(SYS.SYSMAT.view(), n2, SYS.CWORK.view(), IIWORK, RES.SEVEC.data(), RES.WR(k), RES.WI(k),
                            IIPIVOT, itmax, 1.0e-4);
    ModeShapeFromVector();
}

}  // namespace

int PlottedModeCount() { return std::clamp(OPTS.NPLOT, 1, MAXROWS); }

void ResetStabilityRun() {
    PREVSTEP = StepMemory{};
    RES.UNSTFIRST = 0;
    RES.SWEPT = 0;
    RES.UNSTMODE = 1;
    RES.ILOWER = RES.IUPPER = 0;
}

void StabilityProgress() {
    if (RUN.EVALMODE != 0) return;
    if (RUN.NSWEEP == 1 && RUN.ITHR == 0 && OPTS.STABOPT != 3)
        Write(CONSOLE, "(/,/,2X,'TOTAL NUMBER OF ITERATIONS =',I5,/)", RUN.NSTEPS);
    if (RUN.ITHR == 1) Write(CONSOLE, "(/,/,5X,'Searching for the Threshold Speed',/,/)");
    const int number = RUN.ITHR > 0 ? RUN.ITHR : RUN.NSWEEP;
    Write(CONSOLE, "(2X,'Iteration No.',I4,'  Rotor Speed =',F9.1,' RPM ... ')", number, RUN.SPDNOW);
}

void StabilitySelect() {
    if (RUN.EVALMODE != 0) return;
    const int step = RUN.ISTEP;
    if (step < 1 || step > MAXDOF) return;
    const int n2 = std::min(2 * SYS.NDOF, MAXORDER);
    static float a[MAXORDER + 1];
    for (int i = 1; i <= n2; ++i) a[i] = std::fabs(RES.WI(i));
    const int np = PlottedModeCount();
    int previous = 1;
    for (int m = 1; m <= np; ++m) {
        int idx = 1;
        float best = REMOVED;
        bool found = false;
        for (int i = 1; i <= n2; ++i) {
            if (a[i] > REAL_LIMIT && a[i] < best) {
                best = a[i];
                idx = i;
                found = true;
            }
        }
        // With every complex eigenvalue taken, the last one selected stands
        // in, so that a real eigenvalue never becomes a plotted mode.
        if (!found && m > 1) idx = previous;
        a[idx] = REMOVED;
        if (idx + 1 <= n2) a[idx + 1] = REMOVED;
        RES.MODEIDX(step, m) = idx;
        RES.RESTAB(step, m, 2) = RES.WR(idx);
        RES.RESTAB(step, m, 3) = RES.WI(idx);
        previous = idx;
    }
    RES.RESTAB(step, 1, 1) = RUN.SPDNOW;
}

void ExchangeUnstableFirst(int nsteps) {
    const int np = PlottedModeCount();
    for (int i = 1; i <= nsteps; ++i) {
        for (int m = 2; m <= np; ++m) {
            if (RES.RESTAB(i, m, 2) > 0.0f) {
                std::swap(RES.RESTAB(i, m, 2), RES.RESTAB(i, 1, 2));
                std::swap(RES.RESTAB(i, m, 3), RES.RESTAB(i, 1, 3));
                std::swap(RES.MODEIDX(i, m), RES.MODEIDX(i, 1));
            }
        }
    }
}

void RememberLastStep(int nsteps) {
    if (nsteps < 1) return;
    PREVSTEP.valid = 1;
    PREVSTEP.speed = RES.RESTAB(nsteps, 1, 1);
    PREVSTEP.re = RES.RESTAB(nsteps, 1, 2);
    PREVSTEP.im = RES.RESTAB(nsteps, 1, 3);
}

void DetectInstability(int nsteps) {
    for (int i = 1; i <= nsteps; ++i) {
        if (!(RES.RESTAB(i, 1, 2) >= 0.0f)) continue;
        RUN.FOUND = 1;
        RES.UNSTMODE = 1;
        RES.IUPPER = i;
        RES.ILOWER = i - 1;
        RES.SHIGH = RES.RESTAB(i, 1, 1);
        RES.REHIGH = RES.RESTAB(i, 1, 2);
        RES.IMHIGH = RES.RESTAB(i, 1, 3);
        if (i > 1) {
            RES.SLOW = RES.RESTAB(i - 1, 1, 1);
            RES.TRIALRE = RES.RESTAB(i - 1, 1, 2);
            RES.TRIALIM = RES.RESTAB(i - 1, 1, 3);
        } else if (PREVSTEP.valid) {
            RES.SLOW = PREVSTEP.speed;
            RES.TRIALRE = PREVSTEP.re;
            RES.TRIALIM = PREVSTEP.im;
        } else {
            // Unstable from the lowest speed examined: no stable lower bound.
            RES.UNSTFIRST = 1;
            RES.SLOW = RES.SHIGH;
            RES.TRIALRE = RES.REHIGH;
            RES.TRIALIM = RES.IMHIGH;
        }
        break;
    }
    RememberLastStep(nsteps);
}

bool SearchThreshold(const std::function<void(float)>& computeStep) {
    if (RUN.FOUND == 0) {
        WriteStableMessage(RES.SWEEP1, RES.SWEEP2);
        return false;
    }
    if (RES.UNSTFIRST != 0) {
        // Nothing to bisect: the threshold lies at or below the lowest speed.
        Write(CONSOLE,
              "(/,/,5X,'******* THE SYSTEM IS ALREADY UNSTABLE AT THE LOWEST',/,5X,"
              "'******* SPEED EXAMINED: ',F8.1,' RPM',/,/)",
              RES.SHIGH);
        RES.STRIAL = RES.SHIGH;
        computeStep(RES.STRIAL);
    } else {
        RES.STRIAL = RES.SLOW;
        if (RES.SWEPT == 2) {
            OPTS.NITER = SearchIterations(RES.SHIGH - RES.SLOW);
            Write(CONSOLE,
                  "(/,/,5X,'It Will Take About',I3,' More Iterations',/,5X,'to Obtain The Threshold "
                  "Speed at an Accuracy',/,5X,'of ',F8.3,' RPM',/,/)",
                  OPTS.NITER, OPTS.ACCUR);
        }
        const int limit = std::min(OPTS.NITER, MAX_SEARCH);
        for (;;) {
            RUN.ITHR = RUN.ITHR + 1;
            float tre = RES.TRIALRE, tim = RES.TRIALIM;
            if (RUN.ITHR > 1) {
                tre = RES.RESTAB(1, 1, 2);
                tim = RES.RESTAB(1, 1, 3);
                RES.TRIALRE = tre;
                RES.TRIALIM = tim;
            }
            if (RUN.ITHR == 1 && (!(tre < 0.0f) || RES.REHIGH < 0.0f)) {
                if (RES.SWEPT == 2)
                    WriteStableMessage(RES.SLOW, RES.SHIGH);
                else
                    WriteStableMessage(RES.SWEEP1, RES.SWEEP2);
                RUN.FOUND = 0;
                return false;
            }
            if (tre < 0.0f) {
                RES.SWIDTH = RES.SHIGH - RES.STRIAL;
                RES.SLOW = RES.STRIAL;
            } else {
                RES.SWIDTH = RES.STRIAL - RES.SLOW;
                RES.SHIGH = RES.STRIAL;
                RES.REHIGH = tre;
                RES.IMHIGH = tim;
            }
            if (RUN.ITHR >= limit + 1 || std::fabs(RES.SWIDTH) < OPTS.ACCUR || RES.REHIGH == 0.0f) break;
            RES.SWIDTH = RES.SWIDTH * 0.5f;
            RES.STRIAL = RES.SLOW + RES.SWIDTH;
            computeStep(RES.STRIAL);
        }
        // A search that stopped before its first trial evaluates the speed it
        // reports, so that mode, energy and onset eigenvalues belong to it.
        if (RUN.ITHR == 1) computeStep(RES.STRIAL);
    }
    RES.THRSPD = RES.STRIAL;
    RES.WHIRLRPM = RES.IMHIGH / RUN.PI * 30.0f;
    RES.WHIRLRATIO = RES.STRIAL != 0.0f ? RES.WHIRLRPM / RES.STRIAL : 0.0f;
    return true;
}

void ModeShapeFromVector() {
    const float toRadians = RUN.PI * (1.0f / 180.0f);
    for (int i = 1; i <= SYS.NDOF; ++i) {
        const float re = ToFloat(RES.SEVEC(i).re), im = ToFloat(RES.SEVEC(i).im);
        RES.MODEAMP(i) = std::sqrt(re * re + im * im);
        RES.MODEPHS(i) = PhaseDegrees(re, im) * toRadians;
    }
}

void BearingMotionAndEnergy() {
    const int nsta = MODEL.NSTA;
    const float pi = RUN.PI, omega = RES.IMHIGH;
    RES.ENERGY.clear();
    // Relative motion at every station, with the pedestal's own motion.
    int r = 1, k = 0;
    for (int s = 1; s <= nsta && r + 1 <= MAXDOF; ++s) {
        const float ax = RES.MODEAMP(r), ay = RES.MODEAMP(r + 1);
        const float fx = RES.MODEPHS(r), fy = RES.MODEPHS(r + 1);
        float bx = 0.0f, by = 0.0f, px = 0.0f, py = 0.0f;
        const bool ped = SYS.PEDFLAG(s) == 1 && r + 5 <= MAXDOF;
        if (ped) {
            ++k;
            bx = RES.MODEAMP(r + 4);
            by = RES.MODEAMP(r + 5);
            px = RES.MODEPHS(r + 4);
            py = RES.MODEPHS(r + 5);
            if (k <= MODEL.NPED) {
                const float cxx = MODEL.PEDC(k, 3), cyy = MODEL.PEDC(k, 4);
                RES.ENERGY(2 * nsta + k) = -(cxx * omega * pi * bx * bx) - (cyy * omega * pi * by * by);
            }
        }
        RES.RELAX(s) = std::sqrt(std::max(0.0f, ax * ax - 2.0f * ax * bx * std::cos(fx - px) + bx * bx));
        RES.RELAY(s) = std::sqrt(std::max(0.0f, ay * ay - 2.0f * ay * by * std::cos(fy - py) + by * by));
        RES.RELDPH(s) = std::atan2(ax * std::sin(fx) - bx * std::sin(px), ax * std::cos(fx) - bx * std::cos(px)) -
                        std::atan2(ay * std::sin(fy) - by * std::sin(py), ay * std::cos(fy) - by * std::cos(py));
        r += ped ? 6 : 4;
    }
    // Bearings in ascending station order.
    int b = 1;
    r = 1;
    for (int s = 1; s <= nsta && r + 1 <= MAXDOF; ++s) {
        const bool ped = SYS.PEDFLAG(s) == 1;
        if (b <= MODEL.NBRG && MODEL.BSTA(b) == s) {
            const float cxx = SYS.BRGBLK(2 * s - 1, 3), cxy = SYS.BRGBLK(2 * s - 1, 4);
            const float cyx = SYS.BRGBLK(2 * s, 3), cyy = SYS.BRGBLK(2 * s, 4);
            const float sxy = SYS.BRGBLK(2 * s - 1, 2), syx = SYS.BRGBLK(2 * s, 1);
            const float cs = (cxy + cyx) * 0.5f, ks = (sxy - syx) * 0.5f;
            float x, y, delta;
            if (ped) {
                x = RES.RELAX(s);
                y = RES.RELAY(s);
                delta = RES.RELDPH(s);
            } else {
                x = RES.MODEAMP(r);
                y = RES.MODEAMP(r + 1);
                delta = RES.MODEPHS(r) - RES.MODEPHS(r + 1);
            }
            RES.ENERGY(b) = -(2.0f * x * y * cs * std::cos(delta) + cyy * y * y + cxx * x * x) * omega * pi;
            RES.ENERGY(nsta + b) = 2.0f * x * y * ks * pi * std::sin(delta);
            ++b;
        }
        r += ped ? 6 : 4;
    }
}

void StabilityEndOfPass() {
    const int n = std::clamp(RUN.NSTEPPASS, 1, MAXDOF);
    if (RUN.NSWEEP == RUN.NSTEPPASS) {
        ResetStabilityRun();
        RES.SWEEP1 = RES.RESTAB(1, 1, 1);
    }
    RES.SWEEP2 = RES.RESTAB(n, 1, 1);
    ExchangeUnstableFirst(n);
    if (OPTS.STABOPT != 1 && RUN.ITHR == 0 && RUN.FOUND == 0)
        DetectInstability(n);
    else
        RememberLastStep(n);
    if (OPTS.STABOPT == 1 || OPTS.STABOPT == 2) {
        WriteEigenvalueRecords(n);
        OPTS.SPEED1 = RUN.SPDNOW;
    }
    if (RUN.PASSFLAG == 2) return;

    if (OPTS.STABOPT != 1) {
        RES.SWEPT = OPTS.STABOPT == 2 ? 2 : 0;
        OPTS.STABOPT = 3;
        OPTS.SPLSTORE = 0;
        if (SearchThreshold(ComputeTrialStep)) {
            EvaluateSelfExcitedMode();
            BearingMotionAndEnergy();
        }
        for (int i = 1; i <= std::min(2 * SYS.NDOF, MAXORDER); ++i) RES.WRSAVE(i) = RES.WR(i);
        if (RES.SWEPT == 2) OPTS.STABOPT = 2;
    }
    WriteRunReport();
}
