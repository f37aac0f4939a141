// Result files of the unbalance response: station and pedestal response
// against speed, orbits at one speed, and the animation file.
#include <algorithm>
#include <cmath>

#include "analyses/results.h"
#include "analyses/analyses.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// Points of an orbit without timing marks.
constexpr int ORBIT_POINTS = 101;

int Locations() { return std::min(MODEL.NSTA + MODEL.NPED, MAXLOCATIONS); }

// RESTAB(step, e, q) for a location and quantity of the model; a plotted
// entry naming anything else reads as zero instead of leaving the table.
float Value(int step, int e, int q) {
    if (e < 1 || e > Locations() || q < 2 || q > 5) return 0.0f;
    return RES.RESTAB(step, e, q);
}

// The values of one plotted entry: location e, plane code `plane` (used by
// the options that store planes separately).
void WriteEntry(int step, int e, int plane) {
    switch (OPTS.PLOTOPT) {
        case 3:
            WriteReal(Value(step, e, 2));
            WriteReal(Value(step, e, 3));
            break;
        case 7:
            WriteReal(Value(step, e, 4));
            WriteReal(Value(step, e, 5));
            break;
        case 4:
        case 8:
            WriteReal(Value(step, e, plane));
            break;
        default:
            WriteReal(Value(step, e, PlotOptionQuantity(OPTS.PLOTOPT)));
            break;
    }
}

void WriteResponseFiles(int nsteps) {
    const int nsta = MODEL.NSTA;
    for (int i = 1; i <= nsteps; ++i) {
        int j = 0;
        for (int g = 1; g <= OPTS.NFILES; ++g) {
            BeginWrite(ResultUnit(g), FREE);
            WriteReal(RES.RESTAB(i, 1, 1));
            for (int c = 0; c < OPTS.NPERFILE(g) && j < MAXPLOTENTRIES; ++c) {
                ++j;
                WriteEntry(i, OPTS.ISTPLOT(j), OPTS.IPLANE(j));
            }
            EndWrite();
        }
        for (int f = 1; f <= OPTS.NPEDFILES; ++f) {
            BeginWrite(ResultUnit(OPTS.NFILES + f), FREE);
            WriteReal(RES.RESTAB(i, 1, 1));
            if (OPTS.NPEDFILES == 1) {
                for (int k = 1; k <= MODEL.NPED; ++k) WriteEntry(i, nsta + k, OPTS.PEDPLANE(1));
            } else if (f <= MODEL.NPED) {
                WriteEntry(i, nsta + f, OPTS.PEDPLANE(f));
            }
            EndWrite();
        }
    }
}

// One orbit file per plotted station and pedestal at the single speed.
void WriteOrbitFiles() {
    const float pi = PI;
    const int marks = std::clamp(OPTS.NTMARK, 0, ORBIT_POINTS);
    int spacing, npts;
    if (marks == 0) {
        spacing = ORBIT_POINTS + 1;
        npts = ORBIT_POINTS;
    } else {
        spacing = ORBIT_POINTS / marks;
        npts = spacing * marks;
    }
    const float v = OPTS.SPEED1 * (1.0f / 30.0f);
    const float dt = v != 0.0f ? (pi / v) * 2.0f / static_cast<float>(npts - 1) : 0.0f;
    // At standstill the orbit still covers one revolution of the angle.
    const float dtheta = 2.0f * pi / static_cast<float>(npts - 1);
    for (int f = 1; f <= OPTS.NFILES + OPTS.NPEDFILES; ++f) {
        const int e = f <= OPTS.NFILES ? OPTS.ISTPLOT(std::min(f, MAXPLOTENTRIES)) : MODEL.NSTA + f - OPTS.NFILES;
        const float ax = Value(1, e, 2), ay = Value(1, e, 3);
        const float fx = Value(1, e, 4) * pi / 180.0f, fy = Value(1, e, 5) * pi / 180.0f;
        const int unit = ResultUnit(f);
        for (int n = 1; n <= npts; ++n) {
            const float theta = v != 0.0f ? static_cast<float>(n - 1) * dt * v : static_cast<float>(n - 1) * dtheta;
            const float x = ax * std::sin(theta + fx), y = ay * std::sin(theta + fy);
            BeginWrite(unit, FREE);
            WriteReal(x);
            WriteReal(y);
            if ((n - 1) % spacing == 0) WriteInteger((n - 1) / spacing);
            EndWrite();
        }
    }
}

void WriteAnimationFile(int nsteps) {
    const int unit = ResultUnit(1);
    const int nsta = std::min(MODEL.NSTA, MAXROWS);
    // The header belongs to the first pass of the run only.
    if (RUN.PASS == 1) {
        float length = 0.0f;
        for (int i = 1; i <= nsta - 1; ++i) length = length + MODEL.SHAFT(i, 3);
        Write(unit, "(2X,'TITLE: ',A50)", MODEL.TITLE);
        Write(unit, "(2X,'NUMBER OF STEPS',/,2X,I2,/,2X,'NUMBER OF STATIONS',/,2X,I2)", RUN.NSTEPS, MODEL.NSTA);
        Write(unit, "(2X,'ROTOR LENGTH (Inches)',/,2X,F10.2)", length);
        Write(unit, "(2X,'LENGTH OF SHAFT ELEMENTS:',/,2X,'Element No.         Length (Inches)')");
        for (int i = 1; i <= nsta - 1; ++i) Write(unit, "(10X,I2,12X,F10.2)", i, MODEL.SHAFT(i, 3));
    }
    for (int i = 1; i <= nsteps; ++i) {
        BeginWrite(unit, FREE);
        WriteReal(RES.RESTAB(i, 1, 1));
        for (int s = 1; s <= nsta; ++s) {
            WriteReal(RES.RESTAB(i, s, 2));
            WriteReal(RES.RESTAB(i, s, 4));
            WriteReal(RES.RESTAB(i, s, 3));
            WriteReal(RES.RESTAB(i, s, 5));
        }
        EndWrite();
    }
}

}  // namespace

void WriteUnbalanceFiles(int nsteps) {
    if (OPTS.PLOTOPT >= 1 && OPTS.PLOTOPT <= 8)
        WriteResponseFiles(nsteps);
    else if (OPTS.PLOTOPT == 9)
        WriteOrbitFiles();
    else if (OPTS.PLOTOPT == 10)
        WriteAnimationFile(nsteps);
}
