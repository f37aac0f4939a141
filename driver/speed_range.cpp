// The speed range of an analysis run: the range of the dialog put in order
// and fitted to the bearing speed table, its number of steps, and the
// refusal of a range that cannot be swept.
#include "driver/speed_range.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "subs99/spline.h"

namespace {

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

