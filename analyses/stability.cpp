// Stability analysis: the damped eigenvalues against speed, the threshold
// speed of instability by bisection, the self-excited mode at that speed and
// the energy per cycle that each bearing and pedestal exchanges with it.
#include <algorithm>
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/result_files.h"
#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {

// Whirl frequencies at or below this are real eigenvalues (2**-26).
constexpr float REAL_LIMIT = 1.4901161e-08f;
constexpr float REMOVED = 1.0e20f;
// Upper bound on the bisection iterations: single-precision speeds stop
// changing long before it, and a zero accuracy must not loop for ever.
constexpr int MAX_SEARCH = 100;

// The state of the threshold search of a run.
struct Search {
    // The last step of the pass before, the lower bound of an instability
    // found at the start of a pass.
    int prevValid = 0;
    float prevSpeed = 0.0f, prevRe = 0.0f, prevIm = 0.0f;
    int swept = 0;  // 2 when the search follows a stored sweep, else 0
    int ithr = 0;   // iteration of the search
    // Bracket speeds, trial speed, the plotted-mode-1 eigenvalue at the upper
    // bracket speed and at the last trial, the width of the bracket.
    float slow = 0, shigh = 0, strial = 0, rehigh = 0, imhigh = 0;
    float trialRe = 0, trialIm = 0, swidth = 0;
    // The real part at the lower bracket speed (once a trial has narrowed
    // the bracket), for telling which way the next trials are likely to go.
    float relow = 0;
    // The work space of the last computed trial, null before the first.
    StepWork* trialWork = nullptr;
};
Search SEARCH;

// The self-excited mode: the eigenvector, the shifted matrix and its factors,
// the previous iterate and the pivots of the inverse iteration; the motion
// at every station relative to its pedestal.
Vec<ZDouble, 792> SEVEC;
Array2<ZDouble, 792, 792> CWORK;
ZDouble IIWORK[792];
int IIPIVOT[792];
Vec<float, 99> RELAX, RELAY, RELDPH;


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

// The NPLOT eigenvalues of lowest positive whirl frequency of the step, each
// with its conjugate partner removed from the choice, into row `step`.
void SelectPlottedModes(float speed, int step, StepWork& w) {
    if (step < 1 || step > MAXSTEPS) return;
    const int n2 = std::min(2 * SYS.NDOF, MAXORDER);
    for (int i = 1; i <= n2; ++i) w.WHIRL(i) = std::fabs(w.WI(i));
    const int np = PlottedModeCount(OPTS);
    int previous = 1;
    for (int m = 1; m <= np; ++m) {
        int idx = 1;
        float best = REMOVED;
        bool found = false;
        for (int i = 1; i <= n2; ++i) {
            if (w.WHIRL(i) > REAL_LIMIT && w.WHIRL(i) < best) {
                best = w.WHIRL(i);
                idx = i;
                found = true;
            }
        }
        // With every complex eigenvalue taken, the last one selected stands
        // in, so that a real eigenvalue never becomes a plotted mode.
        if (!found && m > 1) idx = previous;
        w.WHIRL(idx) = REMOVED;
        if (idx + 1 <= n2) w.WHIRL(idx + 1) = REMOVED;
        RES.MODEIDX(step, m) = idx;
        RES.RESTAB(step, m, 2) = w.WR(idx);
        RES.RESTAB(step, m, 3) = w.WI(idx);
        previous = idx;
    }
    RES.RESTAB(step, 1, 1) = speed;
}

// Puts an unstable plotted mode first at steps 1..nsteps of the pass.
void ExchangeUnstableFirst(int nsteps) {
    const int np = PlottedModeCount(OPTS);
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

// Remembers the last step of the pass as the lower bound of a later pass.
void RememberLastStep(int nsteps) {
    if (nsteps < 1) return;
    SEARCH.prevValid = 1;
    SEARCH.prevSpeed = RES.RESTAB(nsteps, 1, 1);
    SEARCH.prevRe = RES.RESTAB(nsteps, 1, 2);
    SEARCH.prevIm = RES.RESTAB(nsteps, 1, 3);
}

// The first step of the pass whose plotted mode 1 has a real part that is
// not negative, and the bracket around it.
void DetectInstability(int nsteps) {
    Search& s = SEARCH;
    for (int i = 1; i <= nsteps; ++i) {
        if (!(RES.RESTAB(i, 1, 2) >= 0.0f)) continue;
        RES.FOUND = 1;
        RES.UNSTMODE = 1;
        s.shigh = RES.RESTAB(i, 1, 1);
        s.rehigh = RES.RESTAB(i, 1, 2);
        s.imhigh = RES.RESTAB(i, 1, 3);
        if (i > 1) {
            s.slow = RES.RESTAB(i - 1, 1, 1);
            s.trialRe = RES.RESTAB(i - 1, 1, 2);
            s.trialIm = RES.RESTAB(i - 1, 1, 3);
        } else if (s.prevValid) {
            s.slow = s.prevSpeed;
            s.trialRe = s.prevRe;
            s.trialIm = s.prevIm;
        } else {
            // Unstable from the lowest speed examined: no stable lower bound.
            RES.UNSTFIRST = 1;
            s.slow = s.shigh;
            s.trialRe = s.rehigh;
            s.trialIm = s.imhigh;
        }
        break;
    }
    RememberLastStep(nsteps);
}

// The next trial speed of the bisection: halfway across the bracket.
float Halfway(float slow, float shigh) {
    float width = shigh - slow;
    width = width * 0.5f;
    return slow + width;
}

// The trial of iteration ITHR: its speed computed as a one-step pass, with
// the unstable mode put first. A trial of the bisection gives its bracket,
// from which the trials after it can be told in advance.
void ComputeTrial(const TrialStep& trial, float speed, bool bisection = false) {
    const TrialBracket bracket{SEARCH.slow, SEARCH.shigh, SEARCH.relow, SEARCH.rehigh};
    SEARCH.trialWork = &trial(speed, SEARCH.ithr, bisection ? &bracket : nullptr);
    ExchangeUnstableFirst(1);
}

// The trial eigenvalue of the current iteration: the plotted-mode-1
// eigenvalue of the last computed trial (of the lower bracket step in the
// first iteration).
void TakeTrialEigenvalue() {
    Search& s = SEARCH;
    if (s.ithr == 1) return;
    s.trialRe = RES.RESTAB(1, 1, 2);
    s.trialIm = RES.RESTAB(1, 1, 3);
}

// The trial speed becomes the lower end of the bracket when it is stable,
// else the upper end with its eigenvalue; swidth is the bracket left.
void NarrowBracket() {
    Search& s = SEARCH;
    if (s.trialRe < 0.0f) {
        s.swidth = s.shigh - s.strial;
        s.slow = s.strial;
        s.relow = s.trialRe;
    } else {
        s.swidth = s.strial - s.slow;
        s.shigh = s.strial;
        s.rehigh = s.trialRe;
        s.imhigh = s.trialIm;
    }
}

// Bisection from the bracket of the detection. False when the first
// iteration finds no change of sign across the bracket (then stable).
bool Bisect(const TrialStep& trial) {
    Search& s = SEARCH;
    s.strial = s.slow;
    if (s.swept == 2) {
        OPTS.NITER = BisectionIterations(s.shigh - s.slow, OPTS.ACCUR);
        Write(CONSOLE,
              "(/,/,5X,'It Will Take About',I3,' More Iterations',/,5X,'to Obtain The Threshold "
              "Speed at an Accuracy',/,5X,'of ',F8.3,' RPM',/,/)",
              OPTS.NITER, OPTS.ACCUR);
    }
    const int limit = std::min(OPTS.NITER, MAX_SEARCH);
    for (;;) {
        s.ithr = s.ithr + 1;
        TakeTrialEigenvalue();
        if (s.ithr == 1 && (!(s.trialRe < 0.0f) || s.rehigh < 0.0f)) {
            if (s.swept == 2)
                WriteStableMessage(s.slow, s.shigh);
            else
                WriteStableMessage(RES.SWEEP1, RES.SWEEP2);
            return false;
        }
        NarrowBracket();
        if (s.ithr >= limit + 1 || std::fabs(s.swidth) < OPTS.ACCUR || s.rehigh == 0.0f) break;
        s.strial = Halfway(s.slow, s.shigh);
        ComputeTrial(trial, s.strial, true);
    }
    // A search that stopped before its first trial evaluates the speed it
    // reports, so that mode, energy and onset eigenvalues belong to it.
    if (s.ithr == 1) ComputeTrial(trial, s.strial);
    return true;
}

// The threshold search: true when a threshold (or an unstable lowest speed)
// was located; the last trial is then at THRSPD.
bool SearchThreshold(const TrialStep& trial) {
    Search& s = SEARCH;
    // No instability in the range.
    if (RES.FOUND == 0) {
        WriteStableMessage(RES.SWEEP1, RES.SWEEP2);
        return false;
    }
    if (RES.UNSTFIRST != 0) {
        // Nothing to bisect: the threshold lies at or below the lowest speed.
        Write(CONSOLE,
              "(/,/,5X,'******* THE SYSTEM IS ALREADY UNSTABLE AT THE LOWEST',/,5X,"
              "'******* SPEED EXAMINED: ',F8.1,' RPM',/,/)",
              s.shigh);
        s.strial = s.shigh;
        ComputeTrial(trial, s.strial);
    } else if (!Bisect(trial)) {
        RES.FOUND = 0;
        return false;
    }
    // The threshold and the whirl of its unstable mode.
    RES.THRSPD = s.strial;
    RES.WHIRLRPM = s.imhigh / PI * 30.0f;
    RES.WHIRLRATIO = s.strial != 0.0f ? RES.WHIRLRPM / s.strial : 0.0f;
    return true;
}

// The eigenvalue of the last computed step that belongs to the unstable
// mode: its plotted mode 1 when that is unstable; after a stable last trial
// (where plotted mode 1 is merely the lowest whirl frequency) the eigenvalue
// nearest to the unstable one at the upper bracket speed.
int SelfExcitedIndex(const StepWork& last) {
    const int n2 = std::min(2 * SYS.NDOF, MAXORDER);
    int k = RES.MODEIDX(1, 1);
    if (k < 1 || k > n2) k = 1;
    if (RES.RESTAB(1, 1, 2) >= 0.0f) return k;
    float best = HUGE_VALF;
    for (int i = 1; i <= n2; ++i) {
        if (!(last.WI(i) > REAL_LIMIT)) continue;
        const float dr = last.WR(i) - SEARCH.rehigh, di = last.WI(i) - SEARCH.imhigh;
        const float d = dr * dr + di * di;
        if (d < best) {
            best = d;
            k = i;
        }
    }
    return k;
}

// MODEAMP and MODEPHS from the velocity half of SEVEC.
void ModeShapeFromVector() {
    const float toRadians = PI * (1.0f / 180.0f);
    for (int i = 1; i <= SYS.NDOF; ++i) {
        const float re = ToFloat(SEVEC(i).re), im = ToFloat(SEVEC(i).im);
        RES.MODEAMP(i) = std::sqrt(re * re + im * im);
        RES.MODEPHS(i) = PhaseDegrees(re, im) * toRadians;
    }
}

// Self-excited mode by inverse iteration on the first-order system of the
// last computed step, shifted by its plotted-mode-1 eigenvalue.
void EvaluateSelfExcitedMode(StepWork& last) {
    const int n2 = 2 * SYS.NDOF;
    FormFirstOrderSystem(last);
    Write(CONSOLE, FREE);
    Write(CONSOLE, FREE, " Evaluating the Self-Excited Vibration Mode");
    Write(CONSOLE, FREE, " Please Wait...");
    const int k = SelfExcitedIndex(last);
    int itmax = 200;
    ComplexInverseIteration(last.SYSMAT.view(), n2, CWORK.view(), IIWORK, SEVEC.data(), last.WR(k), last.WI(k),
                            IIPIVOT, itmax, 1.0e-4);
    ModeShapeFromVector();
}

// Motion at the bearings relative to their pedestals and the energy per
// cycle of every bearing and pedestal, from MODEAMP and MODEPHS and the
// bearing blocks of the threshold.
void BearingMotionAndEnergy(const Array2<float, 198, 4>& brgblk) {
    const int nsta = MODEL.NSTA;
    const float omega = SEARCH.imhigh;
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
                RES.ENERGY(2 * nsta + k) = -(cxx * omega * PI * bx * bx) - (cyy * omega * PI * by * by);
            }
        }
        RELAX(s) = std::sqrt(std::max(0.0f, ax * ax - 2.0f * ax * bx * std::cos(fx - px) + bx * bx));
        RELAY(s) = std::sqrt(std::max(0.0f, ay * ay - 2.0f * ay * by * std::cos(fy - py) + by * by));
        RELDPH(s) = std::atan2(ax * std::sin(fx) - bx * std::sin(px), ax * std::cos(fx) - bx * std::cos(px)) -
                    std::atan2(ay * std::sin(fy) - by * std::sin(py), ay * std::cos(fy) - by * std::cos(py));
        r += ped ? 6 : 4;
    }
    // Bearings in ascending station order.
    int b = 1;
    r = 1;
    for (int s = 1; s <= nsta && r + 1 <= MAXDOF; ++s) {
        const bool ped = SYS.PEDFLAG(s) == 1;
        if (b <= MODEL.NBRG && MODEL.BSTA(b) == s) {
            const float cxx = brgblk(2 * s - 1, 3), cxy = brgblk(2 * s - 1, 4);
            const float cyx = brgblk(2 * s, 3), cyy = brgblk(2 * s, 4);
            const float sxy = brgblk(2 * s - 1, 2), syx = brgblk(2 * s, 1);
            const float cs = (cxy + cyx) * 0.5f, ks = (sxy - syx) * 0.5f;
            float x, y, delta;
            if (ped) {
                x = RELAX(s);
                y = RELAY(s);
                delta = RELDPH(s);
            } else {
                x = RES.MODEAMP(r);
                y = RES.MODEAMP(r + 1);
                delta = RES.MODEPHS(r) - RES.MODEPHS(r + 1);
            }
            RES.ENERGY(b) = -(2.0f * x * y * cs * std::cos(delta) + cyy * y * y + cxx * x * x) * omega * PI;
            RES.ENERGY(nsta + b) = 2.0f * x * y * ks * PI * std::sin(delta);
            ++b;
        }
        r += ped ? 6 : 4;
    }
}

}  // namespace

bool StabilityStep(float speed, int ispan, int step, StepWork& w) {
    if (SYS.NDOF < 1 || SYS.NDOF > MAXDOF) return false;
    BuildSpeedMatrices(speed, ispan, w.at);
    FormFirstOrderSystem(w);
    const bool failed = SolveEigenvalues(w);
    SelectPlottedModes(speed, step, w);
    return failed;
}

void StorePlottedModes(float speed, int step, StepWork& w) {
    if (SYS.NDOF < 1 || SYS.NDOF > MAXDOF) return;
    SelectPlottedModes(speed, step, w);
}

std::vector<float> TrialSpeedsAhead(const TrialBracket& bracket, float speed, int count) {
    // Level by level: the bracket each outcome of a trial leaves (stable: the
    // upper part, unstable: the lower) and the trial halfway across it. The likelier outcome comes first: the real
    // part is taken as linear in speed across the bracket, so a trial below
    // the speed where that line crosses zero is likely stable.
    const float span = bracket.rehigh - bracket.relow;
    const float cross = span > 0.0f ? bracket.slow - bracket.relow / span * (bracket.shigh - bracket.slow) : bracket.shigh;
    struct Node {
        float slow, shigh, speed;
    };
    std::vector<Node> level{{bracket.slow, bracket.shigh, speed}};
    std::vector<float> ahead;
    while (static_cast<int>(ahead.size()) < count && !level.empty()) {
        std::vector<Node> next;
        for (const Node& n : level) {
            const Node stable{n.speed, n.shigh, Halfway(n.speed, n.shigh)};
            const Node unstable{n.slow, n.speed, Halfway(n.slow, n.speed)};
            const bool stableFirst = !(n.speed >= cross);
            next.push_back(stableFirst ? stable : unstable);
            next.push_back(stableFirst ? unstable : stable);
        }
        for (const Node& n : next)
            if (static_cast<int>(ahead.size()) < count) ahead.push_back(n.speed);
        level = std::move(next);
    }
    return ahead;
}

void StartStabilityRun() {
    SEARCH = Search{};
    RES.FOUND = 0;
    RES.UNSTFIRST = 0;
    RES.UNSTMODE = 1;
}

void StabilityEndOfPass(StepWork& last, const TrialStep& trial) {
    const int n = std::clamp(RUN.NSTEPPASS, 1, MAXSTEPS);
    if (RUN.PASS == 1) RES.SWEEP1 = RES.RESTAB(1, 1, 1);
    RES.SWEEP2 = RES.RESTAB(n, 1, 1);
    ExchangeUnstableFirst(n);
    if (OPTS.STABOPT != 1 && RES.FOUND == 0)
        DetectInstability(n);
    else
        RememberLastStep(n);
    if (OPTS.STABOPT == 1 || OPTS.STABOPT == 2) WriteEigenvalueRecords(n);
    if (RUN.PASSFLAG == 2 || OPTS.STABOPT == 1) return;

    SEARCH.swept = OPTS.STABOPT == 2 ? 2 : 0;
    SEARCH.trialWork = nullptr;
    const bool found = SearchThreshold(trial);
    StepWork& w = SEARCH.trialWork ? *SEARCH.trialWork : last;
    if (found) {
        EvaluateSelfExcitedMode(w);
        BearingMotionAndEnergy(w.at.BRGBLK);
    }
    // The eigenvalues and bearing blocks of the threshold (the last step).
    for (int i = 1; i <= std::min(2 * SYS.NDOF, MAXORDER); ++i) {
        RES.WRSAVE(i) = w.WR(i);
        RES.WISAVE(i) = w.WI(i);
    }
    RES.BRGSAVE = w.at.BRGBLK;
}
