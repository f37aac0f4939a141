// The run report on unit 9: banner, model echo as analysed, mass-distribution
// note, the results of the analysis, and after the last pass the closing
// messages on the console.
#include <cstdint>

#include "analyses/results.h"
#include "inputs99/front_end.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/model_texts.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "report/report.h"
#include "report/report_sections.h"
#include "report/warnings.h"

namespace {

constexpr int U = UNIT_REPORT;

// Heading of the eigenvalue results.
constexpr FormatText<> SOLUTION_HEADING = "(/,/,1X,'Eigenvalue problem solution :',/,1X,29('='),/)";

// Per-station value of the set-up; 0 for a station number outside the tables.
float AtStation(const Vec<float, 99>& v, int s) { return (s >= 1 && s <= MAXROWS) ? v(s) : 0.0f; }

void WriteBanner() {
    int16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, hundredths = 0;
    GetDate(year, month, day);
    GetTimeOfDay(hour, minute, second, hundredths);
    RewindUnit(U);
    Write(U, "(/,1X,' V A R N H O L T')");
    Write(U, "(2X,'QUENDEL')");
    Write(U, "(/,/,14X,'R O T O R    D Y N A M I C S','   A N A L Y S I S',/)");
    Write(U, "(/,/,/,45X,'RUN ON: ',I2,'-',I2,'-',I4,/,49X,'AT: ',I2,':',I2,':',I2,/,/)", month, day, year, hour,
          minute, second);
    Write(U, "(/,/,14X,'Developed by Tormalen',14X,/,14X,'Last Change Made on December 22, 1995')");
    Write(U, "(2X,78('_'))");
}

void WriteCounts() {
    Write(U, TITLE_LINE, MODEL.TITLE);
    Write(U,
          "(/,2X,'Number of stations ............. = ',I2,/,2X,'Number of discs ................ = ',I2,/,2X,"
          "'Number of bearings ............. = ',I2,/,2X,'Number of Pedestals ............ = ',I2,/,2X,"
          "'Number of Extra Weights......... = ',I2,/)",
          MODEL.NSTA, MODEL.NDISC, MODEL.NBRG, MODEL.NPED, MODEL.NCM);
    Write(U, "(/,2X,'Total Number of Degrees Of Freedom ',I3,/)", SYS.NDOF);
}

void WriteShaftTable() {
    WriteUnitsHeading(U, SHAFT_HEADING, MODEL.IUNITS);
    const auto [length, weight] = WriteShaftRows(U, MODEL);
    Write(U, "(27X,'SUM:',2X,G10.3,2X,G10.3)", length, weight);
}

void WriteDiscTable() {
    if (MODEL.NDISC == 0) return;
    WriteUnitsHeading(U, DISC_HEADING, MODEL.IUNITS);
    float sum = 0.0f;
    for (int i = 1; i <= MODEL.NDISC && i <= MAXROWS; ++i) {
        const int s = MODEL.DSTA(i);
        const float w = AtStation(SYS.STDW, s);
        Write(U, DISC_ROW, i, s, MODEL.DISC(i, 1), MODEL.DISC(i, 2), MODEL.DISC(i, 3), w, AtStation(SYS.STIP, s),
              AtStation(SYS.STIT, s));
        sum += w;
    }
    Write(U, DISC_RULE);
    Write(U, "(38X,'SUM:',2X,G10.3)", sum);
}

// Rows 1..n of a table of weights at stations (bearings, pedestals), the
// rule and the sum of the weights.
template <class WeightOf>
void WriteWeightRows(const Vec<int, 99>& sta, int n, WeightOf weightOf) {
    float sum = 0.0f;
    for (int i = 1; i <= n && i <= MAXROWS; ++i) {
        const float w = weightOf(i);
        Write(U, WEIGHT_ROW, i, sta(i), w);
        sum += w;
    }
    Write(U, WEIGHT_RULE);
    Write(U, "(18X,'SUM:',2X,G10.3)", sum);
}

void WriteBearingTable() {
    if (MODEL.NBRG == 0) return;
    WriteUnitsHeading(U, BEARING_HEADING, MODEL.IUNITS);
    WriteWeightRows(MODEL.BSTA, MODEL.NBRG, [](int i) { return AtStation(SYS.STBW, MODEL.BSTA(i)); });
}

void WritePedestalTables() {
    if (MODEL.NPED == 0) return;
    Write(U, PEDESTAL_HEADING);
    WriteWeightRows(MODEL.PSTA, MODEL.NPED, [](int i) { return MODEL.PWT(i); });
    Write(U,
          "(/,' Pedestal Dynamic Coefficients',/,1X,29('='),/,2X,'Pedestal No.',10X,'Kxx',8X,'Kyy',20X,'Cxx',8X,"
          "'Cyy',/)");
    for (int i = 1; i <= MODEL.NPED && i <= MAXROWS; ++i)
        Write(U, PEDESTAL_COEFFICIENT_ROW, i, MODEL.PEDC(i, 1), MODEL.PEDC(i, 2), MODEL.PEDC(i, 3), MODEL.PEDC(i, 4));
}

void WriteAddedWeightTable() {
    if (MODEL.NCM == 0) return;
    WriteUnitsHeading(U, ADDED_WEIGHT_HEADING, MODEL.IUNITS);
    float sum = 0.0f;
    for (int i = 1; i <= MODEL.NCM && i <= MAXROWS; ++i) {
        const float w = AtStation(SYS.STWT, MODEL.WSTA(i));
        Write(U, ADDED_WEIGHT_ROW, i, MODEL.WSTA(i), w);
        sum += w;
    }
    Write(U, ADDED_WEIGHT_RULE);
    Write(U, ADDED_WEIGHT_SUM, sum);
}

void WriteBearingCoefficients() {
    WriteUnitsHeading(U, BEARING_COEFFICIENT_HEADING, MODEL.IUNITS);
    const int nspeed = MODEL.NSPEED < MAXROWS ? MODEL.NSPEED : MAXROWS;
    for (int i = 1; i <= MODEL.NBRG && i <= MAXROWS; ++i) {
        for (int j = 1; j <= nspeed; ++j) {
            auto c = [&](int m) { return MODEL.BCOEF(j, i, m); };
            if (j == 1)
                Write(U, BEARING_COEFFICIENT_FIRST, i, MODEL.SPEED(j), c(1), c(2), c(5), c(6));
            else
                Write(U, "(8X,G10.3,4X,G10.3,2X,G10.3,8X,2(2X,G10.3))", MODEL.SPEED(j), c(1), c(2), c(5), c(6));
            Write(U, BEARING_COEFFICIENT_SECOND, c(3), c(4), c(7), c(8));
            Write(U, RULE_LINE);
        }
    }
}

void WriteUnbalanceTable() {
    if (OPTS.MAINOPT != 5) return;
    WriteUnitsHeading(U, UNBALANCE_HEADING, MODEL.IUNITS);
    int row = 0;
    for (int s = 1; s <= MODEL.NSTA && s <= MAXROWS; ++s) {
        if (MODEL.UNBAMP(s) == 0.0f) continue;  // -0.0 compares equal to 0
        ++row;
        Write(U, UNBALANCE_ROW, row, s, MODEL.UNBAMP(s), MODEL.UNBPHS(s));
    }
}

void WriteMassNote() {
    Write(U, FREE);
    Write(U, FREE, " MASS DISTRIBUTION USED");
    Write(U, FREE, " ----------------------");
    Write(U, FREE);
    if (OPTS.MASSOPT == 2) {
        Write(U, FREE, " [1/6 - 2/3 - 1/6] Distribution ");
    } else if (OPTS.MASSOPT == 3) {
        Write(U, FREE, " Consistent Mass distribution ");
    } else {
        Write(U, FREE, " Lumped Mass distribution");
    }
}

// Warnings about results that did not come out right, before the results.
void WriteWarnings() {
    const int opt = OPTS.MAINOPT;
    const bool undamped = (opt == 1 || opt == 3) && RES.JACOBIERR != 0;
    const bool singular = (opt >= 2 && opt <= 4) && SYS.MASSSINGULAR != 0;
    const bool above = RUN.ABOVETABLE != 0 && MODEL.NSPEED > 1;
    if (!undamped && !singular && !above) return;
    Write(U, FREE);
    WriteSpeedTableWarning(U);
    if (undamped) WriteUndampedWarning(U);
    if (singular) WriteMassWarning(U);
}

void WriteUndampedResults() {
    Write(U, SOLUTION_HEADING);
    const int npairs = (SYS.NDOF + 1) / 2;
    for (int p = 1; p <= npairs; ++p) {
        const int m = 2 * p - 1;
        Write(U,
              "(/,2X,'MODE ',20X,'No.',I2,30X,'No.',I2,/,2X,'FREQ. [RPM]',10X,G12.4,25X,G12.4,/,2X,'Stat. No.',"
              "10X,'X-dir',8X,'Y-dir',18X,'X-dir',8X,'Y-dir',/)",
              m, m + 1, RES.CRIT(m), RES.CRIT(m + 1));
        for (int s = 1; s <= MODEL.NSTA && s <= MAXROWS; ++s) {
            Write(U, "(7X,I2,8X,2(G11.4,2X),10X,2(G11.4,2X))", s, RES.SHAPE(2 * s - 1, m), RES.SHAPE(2 * s, m),
                  RES.SHAPE(2 * s - 1, m + 1), RES.SHAPE(2 * s, m + 1));
        }
    }
}

void WriteDampedResults(bool heading) {
    if (heading) Write(U, SOLUTION_HEADING);
    const int n = SYS.NDOF;
    const int nsteps = RUN.NSTEPPASS < 99 ? RUN.NSTEPPASS : 99;
    for (int step = 1; step <= nsteps; ++step) {
        if (MODEL.NSPEED > 1) {
            Write(U,
                  "(1X,'Spin speed = ',F10.2,' RPM',/,1X,27('_'),/,/,1X,'Mode No.',5X,'Real Part',5X,"
                  "'Imaginary Part          RPM',/)",
                  RES.RESTAB(1, step, 1));
        }
        for (int i = 1; i <= 2 * n; ++i) {
            const float re = i <= n ? RES.RESTAB(i, step, 2) : RES.RESTAB(i - n, step, 4);
            const float im = i <= n ? RES.RESTAB(i, step, 3) : RES.RESTAB(i - n, step, 5);
            Write(U, "(6X,I3,3(2X,G15.6))", i, re, im, im * 9.549296f);
        }
        Write(U, FREE);
    }
}

}  // namespace

void WriteClosingMessages() {
    Write(CONSOLE, "(/,/,10X,'DATA FILE USED IN THIS RUN: ',A14,/)", FRONT.DATAFILE);
    Write(CONSOLE, "(10X,'OUTPUT FILE(S) GENERATED',/,10X,24('_'),/,/)");
    auto list = [](const Text14& name) {
        if (!name.blank()) Write(CONSOLE, "(10X,A14)", name);
    };
    const int nresult = OPTS.MAINOPT == 4 ? 2 : OPTS.NFILES;
    for (int f = 1; f <= nresult && f <= OPTS.PLOTFILE.size(); ++f) list(OPTS.PLOTFILE(f));
    const int nsplfiles = OPTS.SPLSTORE == 1 ? 2 * MODEL.NBRG : 0;
    for (int f = 1; f <= nsplfiles && f <= OPTS.BRGFILE.size(); ++f) list(OPTS.BRGFILE(f));
    for (int f = 1; f <= OPTS.NPEDFILES && f <= OPTS.PEDFILE.size(); ++f) list(OPTS.PEDFILE(f));
    list(OPTS.OUTFILE);
    Write(CONSOLE, "(/,/,10X,'***    END OF RUN    ***',/,/)");
    CloseUnit(U, "KEEP");
    Beep(1);
    PressEnterToContinue();
}

void WriteRunReport() {
    WriteBanner();
    WriteCounts();
    WriteShaftTable();
    WriteDiscTable();
    WriteBearingTable();
    WritePedestalTables();
    WriteAddedWeightTable();
    WriteBearingCoefficients();
    WriteUnbalanceTable();
    WriteMassNote();
    WriteWarnings();

    switch (OPTS.MAINOPT) {
        case 1:
            WriteUndampedResults();
            break;
        case 2:
            WriteDampedResults(true);
            break;
        case 3:
            WriteUndampedResults();
            Write(U, RULE_LINE);
            WriteDampedResults(false);
            break;
        case 4:
            WriteStabilityResults();
            break;
        case 5:
            WriteUnbalanceResults();
            break;
        default:
            break;
    }
}
