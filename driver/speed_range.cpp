// The speed range of an analysis run: the range of the dialog put in order
// and fitted to the bearing speed table, its number of steps, and the
// refusal of a range that cannot be swept.
#include "driver/speed_range.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "subs99/spline.h"

namespace {

// The range while it is set up: its ends, its increment and its steps.
struct Draft {
    float s1 = 0.0f, s2 = 0.0f, d = 0.0f;
    int nrest = 1;
    bool countOk = true;  // the steps are finite and fit an integer

    // trunc((s2 - s1)/d + 1), when that is finite and fits an integer.
    void CountSteps() {
        const float q = (s2 - s1) / d + 1.0f;
        countOk = std::isfinite(q) && q < 2147483647.0f && q > -2147483647.0f;
        if (countOk) nrest = static_cast<int>(q);
    }
};

// A range typed downward with a positive increment is swept upward; the
// threshold of instability is the lowest unstable speed, so a stability
// range typed downward is swept upward with the same step.
void PutInOrder(Draft& r) {
    if (r.s2 < r.s1 && r.d > 0.0f) {
        std::swap(r.s1, r.s2);
        r.CountSteps();
    }
    if (OPTS.MAINOPT == 4 && r.s2 < r.s1 && r.d < 0.0f) {
        std::swap(r.s1, r.s2);
        r.d = -r.d;
        r.CountSteps();
    }
}

// With speed-dependent coefficients the range is kept inside the speed
// table (a single step only raised into it), a range without an increment
// is cut into 396 steps, and stability option 3 examines the two ends only.
void FitToSpeedTable(Draft& r, bool singleStep) {
    const float lo = MODEL.SPEED(1), hi = MODEL.SPEED(MODEL.NSPEED);
    if (r.d < 0.0f && !singleStep) {
        // Downward: the start comes down into the table, the end up.
        if (r.s1 > hi) r.s1 = hi;
        if (r.s2 < lo) r.s2 = lo;
    } else {
        if (r.s1 < lo) r.s1 = lo;
        if (r.s2 > hi) r.s2 = hi;
    }
    if (r.d == 0.0f) r.d = (r.s2 - r.s1) * (1.0f / 396.0f);
    if (OPTS.MAINOPT == 4 && OPTS.STABOPT == 3) r.d = r.s2 - r.s1;
    r.CountSteps();
}

// Why a sweep cannot run over the range, if it cannot: an increment of the
// wrong sign for the range as typed (in1 to in2), a range outside the speed
// table, no range left, a number of steps out of reach, no step at all.
Message SweepRefusal(const Draft& r, bool wrongSign, float in1, float in2) {
    const int nspeed = MODEL.NSPEED;
    if (wrongSign)
        return Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM cannot be swept with',/,1X,"
                       "' the increment ',F*.1,' RPM: it has the wrong sign')",
                       in1, in2, r.d);
    if (nspeed > 1 && ((r.d >= 0.0f && r.s1 > r.s2) || (r.d < 0.0f && r.s1 < r.s2)))
        return Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM lies outside the bearing',/,1X,"
                       "' speed table (',F*.1,' to ',F*.1,' RPM)')",
                       in1, in2, MODEL.SPEED(1), MODEL.SPEED(nspeed));
    if (nspeed > 1 && r.d == 0.0f)
        return Message("(1X,' The lower and the upper speed are both ',F*.1,' RPM: there is no',/,1X,"
                       "' speed range to examine')",
                       r.s1);
    if (!r.countOk)
        return Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM with the increment ',F*.1,' RPM',/,"
                       "1X,' gives a number of steps that is not finite or too large')",
                       r.s1, r.s2, r.d);
    if (r.nrest < 1)
        return Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM holds no speed step')", r.s1, r.s2);
    return {};
}

}  // namespace

SpeedRange SetUpSpeedRange() {
    const int nspeed = MODEL.NSPEED;
    const bool single = OPTS.MAINOPT >= 1 && OPTS.MAINOPT <= 3;
    const bool orbit = OPTS.MAINOPT == 5 && OPTS.PLOTOPT == 9;
    // The range as typed, its steps, put in order.
    Draft r{OPTS.SPEED1, OPTS.SPEED2, OPTS.DSPEED};
    if (r.d != 0.0f) r.CountSteps();
    PutInOrder(r);
    const bool wrongSign = (r.d < 0.0f && r.s2 > r.s1) || (r.d > 0.0f && r.s2 < r.s1);
    const float in1 = r.s1, in2 = r.s2;
    // Inside the speed table.
    if (nspeed > 1) FitToSpeedTable(r, single || orbit);
    SpeedRange range;
    // The interval of the speed table at the first speed.
    if (nspeed > 1) range.ISPAN = std::clamp(StartInterval(MODEL.SPEED.data(), nspeed, r.s1), 1, nspeed - 1);
    if (single || orbit) {
        // One step at SPEED1, raised to the speed table but not lowered:
        // above it the coefficients are extrapolated with the end interval.
        r.nrest = 1;
        range.ABOVETABLE = nspeed > 1 && r.s1 > MODEL.SPEED(nspeed);
    } else {
        // The sweeps: refused when they cannot run; the summary of the
        // unbalance response holds at most 396 steps.
        range.REFUSAL = SweepRefusal(r, wrongSign, in1, in2);
        if (OPTS.MAINOPT == 5 && OPTS.PLOTOPT == 11 && r.nrest >= MAXSTEPS) {
            r.nrest = MAXSTEPS;
            r.d = (r.s2 - r.s1) * (1.0f / 396.0f);
        }
    }
    range.SPEED1 = r.s1;
    range.SPEED2 = r.s2;
    range.DSPEED = r.d;
    range.NREST = r.nrest;
    range.NSTEPS = r.nrest;
    return range;
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

