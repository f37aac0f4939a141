#pragma once
// The speed range of an analysis run and the interval rule of its sweep.
#include "model/message.h"

// The speed range of a run as derived from OPTS and the speed table of MODEL.
struct SpeedRange {
    float SPEED1 = 0.0f, SPEED2 = 0.0f, DSPEED = 0.0f;
    int NREST = 1;            // steps of the run
    int NSTEPS = 1;
    int ISPAN = 1;            // interval of the speed table at SPEED1
    bool ABOVETABLE = false;  // the single step lies above the speed table
    Message REFUSAL;          // the range cannot be swept
};

// Derives the speed range of OPTS.MAINOPT from OPTS.SPEED1, SPEED2, DSPEED,
// STABOPT, PLOTOPT and the speed table MODEL.SPEED(1..NSPEED); changes
// nothing.
SpeedRange SetUpSpeedRange();
// Interval of the speed table for speed v after a step of sign dspeed: the
// interval rule upward, its mirror image downward.
void AdvanceSweepInterval(float v, float dspeed, int& ispan);
