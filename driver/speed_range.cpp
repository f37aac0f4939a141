// The speed range of an analysis run: the range of the dialog put in order
// and fitted to the bearing speed table, its number of steps, and the
// refusal of a range that cannot be swept.
#include "driver/speed_range.h"

#include <cmath>
#include <utility>

#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "subs99/spline.h"

namespace {

// trunc(q) when q is finite and fits an integer.
bool TruncToInt(float q, int& n) {
    if (!std::isfinite(q) || q >= 2147483647.0f || q <= -2147483647.0f) return false;
    n = static_cast<int>(q);
    return true;
}

}  // namespace

SpeedRange SetUpSpeedRange() {
    SpeedRange r;
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
        nrest = 1;
        r.ABOVETABLE = nspeed > 1 && s1 > MODEL.SPEED(nspeed);
    } else {
        if (wrongSign)
            r.REFUSAL = Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM cannot be swept with',/,1X,"
                                "' the increment ',F*.1,' RPM: it has the wrong sign')",
                                inS1, inS2, d);
        else if (nspeed > 1 && ((d >= 0.0f && s1 > s2) || (d < 0.0f && s1 < s2)))
            r.REFUSAL = Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM lies outside the bearing',/,1X,"
                                "' speed table (',F*.1,' to ',F*.1,' RPM)')",
                                inS1, inS2, MODEL.SPEED(1), MODEL.SPEED(nspeed));
        else if (nspeed > 1 && d == 0.0f)
            r.REFUSAL = Message("(1X,' The lower and the upper speed are both ',F*.1,' RPM: there is no',/,1X,"
                                "' speed range to examine')",
                                s1);
        else if (!countOk)
            r.REFUSAL = Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM with the increment ',F*.1,' RPM',/,"
                                "1X,' gives a number of steps that is not finite or too large')",
                                s1, s2, d);
        else if (nrest < 1)
            r.REFUSAL = Message("(1X,' The speed range ',F*.1,' to ',F*.1,' RPM holds no speed step')", s1, s2);
        if (mainopt == 5 && OPTS.PLOTOPT == 11 && nrest >= MAXSTEPS) {
            nrest = MAXSTEPS;
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

