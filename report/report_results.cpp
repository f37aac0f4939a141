// Result sections of the run report for the stability analysis and the
// steady-state unbalance response.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/model_texts.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "report/report_sections.h"

namespace {

// A numbered row of two values: the eigenvalues at the onset of instability,
// the self-excited mode.
constexpr FormatText<int32_t, float, float> NUMBERED_PAIR = "(10X,I3,2(3X,G14.7))";

// One eigenvalue record read back from unit 11 or 12: the speed and the
// values of the plotted modes.
struct EigenRecord {
    float speed = 0.0f;
    float v[MAXROWS] = {};
};

void ReadEigenRecord(int unit, int np, EigenRecord& rec) {
    BeginRead(unit, FREE);
    ReadReal(rec.speed);
    for (int m = 0; m < np; ++m) ReadReal(rec.v[m]);
    EndRead();
}

void WriteEigenRecord(const EigenRecord& rec, int np) {
    BeginWrite(UNIT_REPORT, FREE);
    WriteReal(rec.speed);
    for (int m = 0; m < np; ++m) WriteReal(rec.v[m]);
    EndWrite();
}

// One eigenvalue file copied into the report under its heading, record by
// record, then an empty record.
void CopyEigenvalueFile(int unit, int np, const char* heading, const char* underline) {
    Write(UNIT_REPORT, FREE, heading);
    Write(UNIT_REPORT, FREE, underline);
    EigenRecord rec;
    for (int i = 1; i <= RUN.NSTEPS; ++i) {
        ReadEigenRecord(unit, np, rec);
        WriteEigenRecord(rec, np);
    }
    Write(UNIT_REPORT, FREE);
}

// The speed tables of the sweep, read back from the eigenvalue files record
// by record while they are written, so that a sweep of any length fits.
void WriteSweepTables() {
    const int np = PlottedModeCount(OPTS);
    const int nsteps = RUN.NSTEPS;
    RewindUnit(UNIT_EIG_REAL);
    RewindUnit(UNIT_EIG_IMAG);
    if (OPTS.STABOPT == 1) {
        CopyEigenvalueFile(UNIT_EIG_REAL, np, " REAL PART OF THE EIGENVALUES", " ----------------------------");
        CopyEigenvalueFile(UNIT_EIG_IMAG, np, " IMAGINARY PART OF THE EIGENVALUES (RAD/SEC)",
                           " -------------------------------------------");
        return;
    }
    EigenRecord re, im;
    Write(UNIT_REPORT,
          "(/,/,5X,' Eigenvalues as a function of rotor speed',/,6X,39('-'),/,5X,' Rotor Speed   Real "
          "Part        Imaginary Part',/,5X,'    [RPM]     (Damping Part)    (Harmonic Part)',/,6X,"
          "45('-'),/,/)");
    const int mode = RES.UNSTMODE >= 1 && RES.UNSTMODE <= np ? RES.UNSTMODE : 1;
    for (int i = 1; i <= nsteps; ++i) {
        ReadEigenRecord(UNIT_EIG_REAL, np, re);
        ReadEigenRecord(UNIT_EIG_IMAG, np, im);
        Write(UNIT_REPORT, "(7X,F8.1,2(3X,G14.7))", re.speed, re.v[mode - 1], im.v[mode - 1]);
    }
}

// The threshold speed (or the lowest speed, already unstable) with the
// whirl of its unstable mode.
void WriteThresholdLines() {
    if (RES.UNSTFIRST != 0) {
        Write(UNIT_REPORT,
              "(/,/,5X,' The System is Already Unstable at the Lowest Speed Examined',/,5X,"
              "' Lowest Speed    = ',F8.1,' RPM (Threshold at or Below)',/,5X,' Whirl Frequency = ',"
              "F8.1,' RPM',/,5X,' Whirl Ratio     = ',F8.4,/,/)",
              RES.THRSPD, RES.WHIRLRPM, RES.WHIRLRATIO);
    } else {
        Write(UNIT_REPORT,
              "(/,/,5X,' Threshold Speed = ',F8.1,' RPM +/-',F6.2,' RPM',/,5X,' Whirl Frequency = ',"
              "F8.1,' RPM',/,5X,' Whirl Ratio     = ',F8.4,/,/)",
              RES.THRSPD, OPTS.ACCUR, RES.WHIRLRPM, RES.WHIRLRATIO);
    }
}

// The eigenvalues at the threshold and the normalised self-excited mode.
void WriteOnsetEigenvaluesAndMode() {
    const int n = SYS.NDOF;
    Write(UNIT_REPORT,
          "(/,/,5X,' Eigenvalues at the onset of Instability',/,6X,40('-'),/,5X,'     No.     Real "
          "Part        Imaginary Part',/,5X,'             (Damping Part)   (Harmonic Part)',/,6X,"
          "45('-'),/,/)");
    for (int k = 1; k <= 2 * n && k <= MAXORDER; ++k)
        Write(UNIT_REPORT, NUMBERED_PAIR, k, RES.WRSAVE(k), RES.WISAVE(k));
    Write(UNIT_REPORT,
          "(/,/,5X,' Normalized Self-Excited Vibration Mode',/,6X,38('-'),/,5X,' Coordinate    "
          "Amplitude      Phase (DEG.)',/,6X,41('-'),/,/)");
    for (int k = 1; k <= n && k <= MAXDOF; ++k)
        Write(UNIT_REPORT, NUMBERED_PAIR, k, RES.MODEAMP(k), RES.MODEPHS(k) * 180.0f / PI);
}

// The energy per cycle of the bearings and the pedestals, their totals and
// the total of the system.
void WriteEnergyTables() {
    const int nsta = MODEL.NSTA;
    Write(UNIT_REPORT,
          "(/,5X,'ENERGY PER CYCLE AT THE ONSET OF INSTABILITY',/,5X,44('-'),/,/,5X,'Bearing',5X,"
          "'Rotor',8X,'Damping',10X,'Stiffness',10X,'Net',/,5X,'   No. ',5X,'Location',5X,'Part',"
          "13X,'Part',15X,'Energy',/,5X,69('-'),/)");
    float tb = 0.0f;
    for (int b = 1; b <= MODEL.NBRG; ++b) {
        const float net = RES.ENERGY(b) + RES.ENERGY(nsta + b);
        tb = tb + net;
        Write(UNIT_REPORT, "(2(8X,I3),4X,G14.7,2(5X,G14.7))", b, MODEL.BSTA(b), RES.ENERGY(b),
              RES.ENERGY(nsta + b), net);
    }
    Write(UNIT_REPORT, "(58X,17('-'),/,24X,'Energy/Cyc. of the Bearings Totals: ',4X,G14.7,/)", tb);
    float tp = 0.0f;
    if (MODEL.NPED != 0) {
        Write(UNIT_REPORT,
              "(/,5X,'Pedestal     Bearing      Net',/,5X,'   No.       Location     Energy',/,5X,"
              "30('-'),/)");
        for (int k = 1; k <= MODEL.NPED; ++k) {
            const float e = RES.ENERGY(2 * nsta + k);
            tp = tp + e;
            Write(UNIT_REPORT, "(2(8X,I3),5X,G14.7)", k, MODEL.PSTA(k), e);
        }
        Write(UNIT_REPORT, "(25X,15('-'),/,5X,'Energy/Cyc. of ',/,5X,'the Pedestals Totals: ',G14.7,/)", tp);
    }
    Write(UNIT_REPORT, "(/,/,5X,'TOTAL ENERGY/CYCLE OF THE SYSTEM :',G14.7,/,5X,47('*'),/,/)", tb + tp);
}

// The bearing coefficients at the threshold, bearings in the order of their
// stations.
void WriteOnsetBearingCoefficients() {
    Write(UNIT_REPORT, "(/,/,5X,' Bearing Coefficients at the Onset of Instability',/,6X,47('-'),/)");
    WriteUnitsHeading(UNIT_REPORT, BEARING_COEFFICIENT_HEADING, MODEL.IUNITS);
    const Array2<float, 198, 4>& k = RES.BRGSAVE;
    int b = 1;
    for (int s = 1; s <= MODEL.NSTA; ++s) {
        if (b <= MODEL.NBRG && MODEL.BSTA(b) == s) {
            Write(UNIT_REPORT, BEARING_COEFFICIENT_FIRST, b, RES.THRSPD, k(2 * s - 1, 1), k(2 * s - 1, 2),
                  k(2 * s - 1, 3), k(2 * s - 1, 4));
            Write(UNIT_REPORT, BEARING_COEFFICIENT_SECOND, k(2 * s, 1), k(2 * s, 2), k(2 * s, 3), k(2 * s, 4));
            Write(UNIT_REPORT, RULE_LINE);
            ++b;
        }
    }
}

// Column heading of a response table; metric models give micrometres.
void WriteResponseHeading() {
    if (MODEL.IUNITS == 2)
        Write(UNIT_REPORT,
              "(2X,'Speed',10X,'X-direction',18X,'Y-direction',/,15X,'AMPL.',5X,'PHASE',14X,'AMPL.',5X,"
              "'PHASE',/,3X,'RPM',9X,'MICRONS',4X,'DEG.',14X,'MICRONS',4X,'DEG.',/,1X,60('_'),/)");
    else
        Write(UNIT_REPORT,
              "(2X,'Speed',10X,'X-direction',18X,'Y-direction',/,15X,'AMPL.',5X,'PHASE',14X,'AMPL.',5X,"
              "'PHASE',/,3X,'RPM',9X,'MILS',7X,'DEG.',14X,'MILS',7X,'DEG.',/,1X,60('_'),/)");
}

// Step of the largest amplitude of location e in quantity q; equal values
// move the peak to the later step.
int PeakStep(int e, int q, int nsteps) {
    int best = 1;
    float top = std::fabs(RES.RESTAB(1, e, q));
    for (int i = 1; i <= nsteps; ++i) {
        const float v = std::fabs(RES.RESTAB(i, e, q));
        if (top <= v) {
            top = v;
            best = i;
        }
    }
    return best;
}

// The response table of location e and its peak lines, which name station or
// pedestal `number`.
void WriteResponseTable(int e, int number, bool pedestal, int nsteps) {
    WriteResponseHeading();
    for (int i = 1; i <= nsteps; ++i)
        Write(UNIT_REPORT, "(F8.1,5X,F9.3,1X,F6.1,12X,F9.3,1X,F6.1)", RES.RESTAB(i, e, 1), RES.RESTAB(i, e, 2),
              RES.RESTAB(i, e, 4), RES.RESTAB(i, e, 3), RES.RESTAB(i, e, 5));
    Write(UNIT_REPORT, "(1X,60('_'),/)");
    const int ix = PeakStep(e, 2, nsteps), iy = PeakStep(e, 3, nsteps);
    const bool metric = MODEL.IUNITS == 2;
    FormatText<int32_t, float, float, float, float, float, float> fmt = FREE;
    if (pedestal && metric)
        fmt = "(1X,'Max. Amplitudes of Pedestal ',I2,' Occured at :',/,F8.1,' RPM for X-direction with ',"
              "G9.2,' MICRONS ','and a Phase of ',F6.1,' DEG.',/,F8.1,' RPM for Y-direction with ',G9.2,"
              "' MICRONS ','and a Phase of ',F6.1,' DEG.',/,/)";
    else if (pedestal)
        fmt = "(1X,'Max. Amplitudes of Pedestal ',I2,' Occured at :',/,F8.1,' RPM for X-direction with ',"
              "G9.2,' MILS ','and a Phase of ',F6.1,' DEG.',/,F8.1,' RPM for Y-direction with ',G9.2,"
              "' MILS ','and a Phase of ',F6.1,' DEG.',/,/)";
    else if (metric)
        fmt = "(1X,'Max. Amplitudes of Station  ',I2,' Occured at :',/,F8.1,' RPM for X-direction with ',"
              "G9.2,' MICRONS ','and a Phase of ',F6.1,' DEG.',/,F8.1,' RPM for Y-direction with ',G9.2,"
              "' MICRONS ','and a Phase of ',F6.1,' DEG.',/,/)";
    else
        fmt = "(1X,'Max. Amplitudes of Station  ',I2,' Occured at :',/,F8.1,' RPM for X-direction with ',"
              "G9.2,' MILS ','and a Phase of ',F6.1,' DEG.',/,F8.1,' RPM for Y-direction with ',G9.2,"
              "' MILS ','and a Phase of ',F6.1,' DEG.',/,/)";
    Write(UNIT_REPORT, fmt, number, RES.RESTAB(ix, e, 1), RES.RESTAB(ix, e, 2), RES.RESTAB(ix, e, 4),
          RES.RESTAB(iy, e, 1), RES.RESTAB(iy, e, 3), RES.RESTAB(iy, e, 5));
}

}  // namespace

void WriteStabilityResults() {
    Write(UNIT_REPORT, "(/,/,5X,' STABILITY ANALYSIS RESULTS',/,6X,26('-'),/,/)");
    if (RES.FOUND == 0 && OPTS.STABOPT != 1)
        Write(UNIT_REPORT,
              "(/,/,5X,'******* The System is Stable in the Speed Range',/,5X,'******* FROM ',F8.1,' TO ',"
              "F8.1,' RPM',/,/)",
              RES.SWEEP1, RES.SWEEP2);
    if (OPTS.STABOPT != 3) {
        WriteSweepTables();
        if (OPTS.STABOPT == 1) return;
    }
    if (RES.FOUND == 0) return;
    WriteThresholdLines();
    WriteOnsetEigenvaluesAndMode();
    WriteEnergyTables();
    WriteOnsetBearingCoefficients();
}

void WriteUnbalanceResults() {
    const int nsteps = std::min(std::max(RUN.NSTEPPASS, 1), MAXDOF);
    Write(UNIT_REPORT, "(/,/,1X,'Steady-state unbalance response :',/,1X,33('='),/)");
    Write(UNIT_REPORT,
          "(/,/,1X,'Initial speed ..... = ',F8.1,' RPM',/,1X,'Final speed ....... = ',F8.1,' RPM',/,1X,"
          "'Speed increment ... = ',F8.1,' RPM',/)",
          OPTS.SPEED1, OPTS.SPEED2, OPTS.DSPEED);
    Write(UNIT_REPORT, "(/,1X,'Total Number of Iterations = ',I5,/)", RUN.NSTEPS);
    const int nsta = std::min(MODEL.NSTA, MAXROWS);
    for (int s = 1; s <= nsta; ++s) {
        Write(UNIT_REPORT, "(1X,'Response of rotor station No.',I2,/)", s);
        WriteResponseTable(s, s, false, nsteps);
    }
    if (MODEL.NPED != 0) {
        Write(UNIT_REPORT, RULE_LINE);
        Write(UNIT_REPORT, FREE, " Pedestals motion ");
        Write(UNIT_REPORT, FREE, " ---------------- ");
        for (int k = 1; k <= MODEL.NPED && nsta + k <= MAXLOCATIONS; ++k) {
            Write(UNIT_REPORT, "(/,1X,'Response of Pedestal  ',I3,/,1X,'Located at Station No.',I3,/)", k,
                  MODEL.PSTA(k));
            WriteResponseTable(nsta + k, k, true, nsteps);
        }
    }
}
