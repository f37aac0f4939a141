// The analysis run: model check, splines, assembly, inverse mass matrix,
// speed range and passes, the speed steps and the closing of the run's files.
#include "driver/analysis_run.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "analyses/analyses.h"
#include "analyses/eigen_warnings.h"
#include "analyses/results.h"
#include "driver/speed_range.h"
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"
#include "subs99/spline.h"

namespace {

constexpr int kMaxSteps = 396;  // steps per pass (rows of the result tables)
constexpr int kBrgCoefs = 8;

// Scratch of the spline fit and of the inversion.
Vec<float, 99> SPLS;
Array2<float, 396, 4> SPLWORK;
Vec<int, 396> INDX;
Vec<double, 396> VV;

std::string RpmText(float v) {
    char buf[40];
    const double d = static_cast<double>(v);
    if (std::isfinite(d) && std::fabs(d) < 1.0e7 && (d == 0.0 || std::fabs(d) >= 0.05))
        std::snprintf(buf, sizeof buf, "%.1f", d);
    else
        std::snprintf(buf, sizeof buf, "%.6g", d);
    return buf;
}

// trunc(q) when q is finite and fits an integer.
bool TruncToInt(float q, int& n) {
    if (!std::isfinite(q) || q >= 2147483647.0f || q <= -2147483647.0f) return false;
    n = static_cast<int>(q);
    return true;
}

std::string TableText() {
    std::string t = "(";
    t += RpmText(MODEL.SPEED(1));
    t += " to ";
    t += RpmText(MODEL.SPEED(MODEL.NSPEED));
    t += " RPM)";
    return t;
}

// Refusal: bell, message lines, pause; the files opened for the run are
// discarded (those it created removed, those it was to replace untouched).
void RefuseRun(const std::string& msg) {
    Beep(2);
    std::size_t start = 0;
    for (;;) {
        const std::size_t nl = msg.find('\n', start);
        Write(CONSOLE, FREE, msg.substr(start, nl == std::string::npos ? std::string::npos : nl - start));
        if (nl == std::string::npos) break;
        start = nl + 1;
    }
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

// End condition of the fit: runs whose dialog asks none (the eigenvalue
// analyses, the orbit plot) and too short tables use the linear one.
int FitEndCondition() {
    int ec = OPTS.ENDCOND;
    const bool asked = OPTS.MAINOPT == 4 || (OPTS.MAINOPT == 5 && OPTS.PLOTOPT != 9);
    if (!asked || ec < 1 || ec > 3) ec = 1;
    if (ec == 2 && MODEL.NSPEED < 3) ec = 1;
    if (ec == 3 && MODEL.NSPEED < 4) ec = 1;
    return ec;
}

void CopyActive(const Array2<float, 396, 396>& from, Array2<float, 396, 396>& to, int n) {
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) to(i, j) = from(i, j);
}

void InvertMassMatrix() {
    const int n = SYS.NDOF;
    RUN.MASSSINGULAR = 0;
    for (int i = 1; i <= n; ++i) {
        bool zero = true;
        for (int j = 1; j <= n && zero; ++j) zero = SYS.MASS(i, j) == 0.0f;
        if (zero) RUN.MASSSINGULAR = 1;
    }
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) SYS.MASSD(i, j) = static_cast<double>(SYS.MASS(i, j));
    InvertMatrix(SYS.MASSD.view(), SYS.MINV.view(), n, INDX.data(), VV.data());
}

void EndOfPass() {
    switch (OPTS.MAINOPT) {
        case 1:
        case 2:
        case 3: EigenEndOfPass(); break;
        case 4: StabilityEndOfPass(); break;
        case 5: UnbalanceEndOfPass(); break;
        default: break;
    }
}

}  // namespace

SpeedRangeSetUp SetUpSpeedRange() {
    SpeedRangeSetUp r;
    const int mainopt = OPTS.MAINOPT;
    const int nspeed = MODEL.NSPEED;
    float s1 = OPTS.SPEED1, s2 = OPTS.SPEED2, d = OPTS.DSPEED;
    bool countOk = true;
    int nrest = 1;
    const bool single = mainopt >= 1 && mainopt <= 3;
    const bool orbit = mainopt == 5 && OPTS.PLOTOPT == 9;

    if (d != 0.0f) countOk = TruncToInt((s2 - s1) / d + 1.0f, nrest);
    if (s2 < s1 && d > 0.0f) {
        std::swap(s1, s2);
        countOk = TruncToInt((s2 - s1) / d + 1.0f, nrest);
    }
    // The threshold of instability is the lowest unstable speed, so a
    // stability range typed downward is swept upward with the same step.
    if (mainopt == 4 && s2 < s1 && d < 0.0f) {
        std::swap(s1, s2);
        d = -d;
        countOk = TruncToInt((s2 - s1) / d + 1.0f, nrest);
    }
    const bool wrongSign = (d < 0.0f && s2 > s1) || (d > 0.0f && s2 < s1);
    const float inS1 = s1, inS2 = s2;
    if (nspeed > 1) {
        const float lo = MODEL.SPEED(1), hi = MODEL.SPEED(nspeed);
        if (d < 0.0f && !single && !orbit) {
            // Downward: the start comes down into the table, the end up.
            if (s1 > hi) s1 = hi;
            if (s2 < lo) s2 = lo;
        } else {
            if (s1 < lo) s1 = lo;
            if (s2 > hi) s2 = hi;
        }
        if (d == 0.0f) d = (s2 - s1) * (1.0f / 396.0f);
        if (mainopt == 4 && OPTS.STABOPT == 3) d = s2 - s1;
        countOk = TruncToInt((s2 - s1) / d + 1.0f, nrest);
    }
    r.ISPAN = nspeed > 1 ? StartInterval(MODEL.SPEED.data(), nspeed, s1) : 1;
    if (nspeed > 1 && (r.ISPAN < 1 || r.ISPAN > nspeed - 1)) r.ISPAN = r.ISPAN < 1 ? 1 : nspeed - 1;

    if (single || orbit) {
        // One step at SPEED1, raised to the speed table but not lowered:
        // above it the coefficients are extrapolated with the end interval.
        r.SINGLESTEP = orbit;
        nrest = 1;
        r.ABOVETABLE = nspeed > 1 && s1 > MODEL.SPEED(nspeed);
    } else {
        if (wrongSign)
            r.REFUSAL = " The speed range " + RpmText(inS1) + " to " + RpmText(inS2) +
                        " RPM cannot be swept with\n the increment " + RpmText(d) +
                        " RPM: it has the wrong sign";
        else if (nspeed > 1 && ((d >= 0.0f && s1 > s2) || (d < 0.0f && s1 < s2)))
            r.REFUSAL = " The speed range " + RpmText(inS1) + " to " + RpmText(inS2) +
                        " RPM lies outside the bearing\n speed table " + TableText();
        else if (nspeed > 1 && d == 0.0f)
            r.REFUSAL = " The lower and the upper speed are both " + RpmText(s1) +
                        " RPM: there is no\n speed range to examine";
        else if (!countOk)
            r.REFUSAL = " The speed range " + RpmText(s1) + " to " + RpmText(s2) + " RPM with the increment " +
                        RpmText(d) + " RPM\n gives a number of steps that is not finite or too large";
        else if (nrest < 1)
            r.REFUSAL = " The speed range " + RpmText(s1) + " to " + RpmText(s2) + " RPM holds no speed step";
        if (mainopt == 5 && OPTS.PLOTOPT == 11 && nrest >= kMaxSteps) {
            nrest = kMaxSteps;
            d = (s2 - s1) * (1.0f / 396.0f);
        }
    }
    r.SPEED1 = s1;
    r.SPEED2 = s2;
    r.DSPEED = d;
    r.NREST = nrest;
    r.NSTEPS = nrest;
    return r;
}

void ApplySpeedRange(const SpeedRangeSetUp& range) {
    OPTS.SPEED1 = range.SPEED1;
    OPTS.SPEED2 = range.SPEED2;
    OPTS.DSPEED = range.DSPEED;
    SYS.ISPAN = range.ISPAN;
    RUN.NREST = range.NREST;
    RUN.NSTEPS = range.NSTEPS;
}

void SetUpPass() {
    if (RUN.NREST > kMaxSteps) {
        RUN.PASSFLAG = 2;
        RUN.NREST -= kMaxSteps;
        RUN.NSTEPPASS = kMaxSteps;
    } else {
        RUN.PASSFLAG = 1;
        RUN.NSTEPPASS = RUN.NREST;
    }
    RUN.ISTEP = 0;
    RUN.SPDNOW = OPTS.SPEED1;
}

void AdvanceSweepInterval(float v, float dspeed, int& ispan) {
    const int n = MODEL.NSPEED;
    if (n <= 1) return;
    if (dspeed >= 0.0f) {
        AdvanceInterval(MODEL.SPEED.data(), n, v, ispan);
    } else {
        // Mirror image of the upward rule: a table speed belongs to the end
        // of the interval below it.
        while (ispan > 1 && MODEL.SPEED(ispan) >= v) --ispan;
    }
}

void AdvanceSpeed() {
    RUN.SPDNOW = RUN.SPDNOW + OPTS.DSPEED;
    AdvanceSweepInterval(RUN.SPDNOW, OPTS.DSPEED, SYS.ISPAN);
}

void RunPasses(void (*step)(), void (*endOfPass)()) {
    for (;;) {
        do {
            step();
        } while (RUN.ISTEP < RUN.NSTEPPASS);
        endOfPass();
        OPTS.SPEED1 = RUN.SPDNOW;
        if (RUN.PASSFLAG != 2) break;
        SetUpPass();
    }
}

void RunSpeedStep() {
    RUN.ISTEP += 1;
    RUN.NSWEEP += 1;
    BuildSpeedMatrices(RUN.SPDNOW);
    switch (OPTS.MAINOPT) {
        case 1: UndampedStep(); break;
        case 2: DampedStep(); break;
        case 3:
            UndampedStep();
            DampedStep();
            break;
        case 4: DampedStep(); break;
        case 5: UnbalanceStep(); break;
        default: break;
    }
    if (OPTS.MAINOPT == 4 || OPTS.MAINOPT == 5) AdvanceSpeed();
}

void RunAnalysis() {
    // A model or a speed range that cannot be analysed is refused before
    // anything is computed or written.
    std::string msg = ModelAnalysisRefusal();
    SpeedRangeSetUp range;
    if (msg.empty()) {
        range = SetUpSpeedRange();
        msg = range.REFUSAL;
    }
    if (!msg.empty()) {
        RefuseRun(msg);
        return;
    }

    if (MODEL.NSPEED != 1)
        FitSplineTables(MODEL.NBRG, MODEL.NSPEED, FitEndCondition(), kBrgCoefs, MODEL.SPEED.data(),
                        MODEL.BCOEF.view(), SYS.SPLCOEF.view(), SPLS.data(), SPLWORK.view());
    AssembleRotorMatrices();

    RUN.PI = 4.0f * std::atan(1.0f);
    SYS.GRAV = MODEL.IUNITS == 2 ? 9810.0f : 386.0f;
    RUN.AMPSCALE = 1000.0f;
    SYS.NDOF = 4 * MODEL.NSTA + 2 * MODEL.NPED;
    RUN.SPDNOW = OPTS.SPEED1;
    RUN.NSTEPS = 0;
    RUN.NREST = 1;
    RUN.NSTEPPASS = 1;
    RUN.PASSFLAG = 1;
    RUN.ISTEP = 0;
    RUN.NSWEEP = 0;
    RUN.ITHR = 0;
    SYS.BRGDONE = 0;
    RUN.FOUND = 0;
    RUN.EVALMODE = 0;
    RUN.MASSSINGULAR = 0;
    RUN.JACOBIERR = 0;
    RUN.ABOVETABLE = range.ABOVETABLE ? 1 : 0;
    RUN.NFOPEN = OPTS.MAINOPT == 4 ? OPTS.NSPLFILES + 2 : OPTS.NPEDFILES + OPTS.NFILES;

    const int n = SYS.NDOF;
    CopyActive(SYS.STIFF, SYS.STIFF0, n);
    CopyActive(SYS.DAMP, SYS.DAMP0, n);
    CopyActive(SYS.MASS, SYS.WORK, n);
    SYS.MINV.clear();
    if (OPTS.MAINOPT >= 2 && OPTS.MAINOPT <= 4) InvertMassMatrix();

    ApplySpeedRange(range);
    WriteSpeedTableWarning(CONSOLE);
    SetUpPass();
    RunPasses(RunSpeedStep, EndOfPass);

    CloseRunUnits();
    CloseUnit(UNIT_REPORT);
    FRONT.REREAD = 1;
}
