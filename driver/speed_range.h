#pragma once
// Speed range, passes and the speed-table interval of the analysis run.
#include <string>

// The speed range of a run as derived from OPTS and the speed table of MODEL
// (nothing is changed until ApplySpeedRange).
struct SpeedRangeSetUp {
    float SPEED1 = 0.0f, SPEED2 = 0.0f, DSPEED = 0.0f;
    int NREST = 1;
    int NSTEPS = 1;
    int ISPAN = 1;
    bool SINGLESTEP = false;  // exactly one step and one pass
    bool ABOVETABLE = false;  // the single step lies above the speed table
    std::string REFUSAL;      // non-empty: the range cannot be swept
};

// Derives the speed range of OPTS.MAINOPT from OPTS.SPEED1, SPEED2, DSPEED,
// STABOPT, PLOTOPT and the speed table MODEL.SPEED(1..NSPEED).
SpeedRangeSetUp SetUpSpeedRange();
// Stores the range into OPTS, RUN and SYS.ISPAN.
void ApplySpeedRange(const SpeedRangeSetUp& range);
// Next pass of at most 396 steps from RUN.NREST, starting at OPTS.SPEED1.
void SetUpPass();
// Moves SPDNOW on by DSPEED and the interval with it (either direction).
void AdvanceSpeed();
// Interval of the speed table for speed v after a step of sign dspeed: the
// interval rule upward, its mirror image downward.
void AdvanceSweepInterval(float v, float dspeed, int& ispan);
// The passes of a run: the speed loop with step(), then endOfPass(), and a
// further pass while PASSFLAG = 2.
void RunPasses(void (*step)(), void (*endOfPass)());
