// The run report on unit 9: banner, model echo as analysed, mass-distribution
// note, the results of the analysis, and after the last pass the closing
// messages on the console.
#include <cstdint>

#include "analyses/results.h"
#include "inputs99/front_end.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "report/report.h"
#include "report/report_sections.h"
#include "report/warnings.h"

namespace {

constexpr int U = UNIT_REPORT;

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
    Write(U, "(/,2X,'TITLE : ',A50,/,2X,7('='),/)", MODEL.TITLE);
    Write(U,
          "(/,2X,'Number of stations ............. = ',I2,/,2X,'Number of discs ................ = ',I2,/,2X,"
          "'Number of bearings ............. = ',I2,/,2X,'Number of Pedestals ............ = ',I2,/,2X,"
          "'Number of Extra Weights......... = ',I2,/)",
          MODEL.NSTA, MODEL.NDISC, MODEL.NBRG, MODEL.NPED, MODEL.NCM);
    Write(U, "(/,2X,'Total Number of Degrees Of Freedom ',I3,/)", SYS.NDOF);
}

void WriteShaftTable() {
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,"
              "'Weight',3X,'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'IN.',8X,'IN.',7X,'IN.',7X,'LB',6X,"
              "'LB/IN**2',7X,'LB/IN**3',/,1X,78('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,"
              "'Weight',3X,'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'MM.',8X,'MM.',7X,'MM.',7X,'KG',6X,"
              "'KG/MM**2',7X,'KG/MM**3',/,1X,78('_'),/)");
    }
    float length = 0.0f, weight = 0.0f;
    for (int e = 1; e <= MODEL.NSTA - 1 && e <= MAXROWS; ++e) {
        Write(U, "(4X,I2,4X,6(2X,G9.3))", e, MODEL.SHAFT(e, 1), MODEL.SHAFT(e, 2), MODEL.SHAFT(e, 3),
              MODEL.SHAFT(e, 5), MODEL.E, MODEL.Rho);
        length += MODEL.SHAFT(e, 3);
        weight += MODEL.SHAFT(e, 5);
    }
    Write(U, "(33X,10('_'),2X,10('_'))");
    Write(U, "(27X,'SUM:',2X,G10.3,2X,G10.3)", length, weight);
}

void WriteDiscTable() {
    if (MODEL.NDISC == 0) return;
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
              "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'IN.',6X,'IN.',6X,'IN.',7X,'LB',"
              "8X,'LB-IN**2',5X,'LB-IN**2',/,1X,78('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
              "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'MM.',6X,'MM.',6X,'MM.',7X,'KG',"
              "8X,'KG-MM**2',5X,'KG-MM**2',/,1X,78('_'),/)");
    }
    float sum = 0.0f;
    for (int i = 1; i <= MODEL.NDISC && i <= MAXROWS; ++i) {
        const int s = MODEL.DSTA(i);
        const float w = AtStation(SYS.STDW, s);
        Write(U, "(1X,I2,4X,I2,2X,G10.3,5(1X,G10.3))", i, s, MODEL.DISC(i, 1), MODEL.DISC(i, 2), MODEL.DISC(i, 3), w,
              AtStation(SYS.STIP, s), AtStation(SYS.STIT, s));
        sum += w;
    }
    Write(U, "(44X,10('_'))");
    Write(U, "(38X,'SUM:',2X,G10.3)", sum);
}

void WriteBearingTable() {
    if (MODEL.NBRG == 0) return;
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',"
              "10X,'LB',/,1X,33('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',"
              "10X,'KG',/,1X,33('_'),/)");
    }
    float sum = 0.0f;
    for (int i = 1; i <= MODEL.NBRG && i <= MAXROWS; ++i) {
        const float w = AtStation(SYS.STBW, MODEL.BSTA(i));
        Write(U, "(3X,I2,11X,I2,6X,G10.3)", i, MODEL.BSTA(i), w);
        sum += w;
    }
    Write(U, "(24X,10('_'))");
    Write(U, "(18X,'SUM:',2X,G10.3)", sum);
}

void WritePedestalTables() {
    if (MODEL.NPED == 0) return;
    Write(U,
          "(/,1X,'Pedestal data:',/,1X,14('='),/,1X,'Pedestal',3X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
          "'LB',/,1X,33('_'),/)");
    const int nped = MODEL.NPED < MAXROWS ? MODEL.NPED : MAXROWS;
    float sum = 0.0f;
    for (int i = 1; i <= nped; ++i) {
        Write(U, "(3X,I2,11X,I2,6X,G10.3)", i, MODEL.PSTA(i), MODEL.PWT(i));
        sum += MODEL.PWT(i);
    }
    Write(U, "(24X,10('_'))");
    Write(U, "(18X,'SUM:',2X,G10.3)", sum);
    Write(U,
          "(/,' Pedestal Dynamic Coefficients',/,1X,29('='),/,2X,'Pedestal No.',10X,'Kxx',8X,'Kyy',20X,'Cxx',8X,"
          "'Cyy',/)");
    for (int i = 1; i <= nped; ++i) {
        Write(U, "(11X,I2,'.',5X,2(G10.3,2X),10X,2(G10.3,2X))", i, MODEL.PEDC(i, 1), MODEL.PEDC(i, 2),
              MODEL.PEDC(i, 3), MODEL.PEDC(i, 4));
    }
}

void WriteAddedWeightTable() {
    if (MODEL.NCM == 0) return;
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,"
              "'No.',8X,'LB',/,1X,30('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,"
              "'No.',8X,'KG',/,1X,30('_'),/)");
    }
    float sum = 0.0f;
    for (int i = 1; i <= MODEL.NCM && i <= MAXROWS; ++i) {
        const float w = AtStation(SYS.STWT, MODEL.WSTA(i));
        Write(U, "(2X,I2,9X,I2,6X,G10.3)", i, MODEL.WSTA(i), w);
        sum += w;
    }
    Write(U, "(21X,10('_'))");
    Write(U, "(21X,G10.3)", sum);
}

void WriteBearingCoefficientHeader() {
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
              "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'LB/IN.',26X,'LB-SEC/IN.',/,1X,77('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
              "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'KG/MM.',26X,'KG-SEC/MM.',/,1X,77('_'),/)");
    }
}

void WriteBearingCoefficients() {
    WriteBearingCoefficientHeader();
    const int nspeed = MODEL.NSPEED < MAXROWS ? MODEL.NSPEED : MAXROWS;
    for (int i = 1; i <= MODEL.NBRG && i <= MAXROWS; ++i) {
        for (int j = 1; j <= nspeed; ++j) {
            auto c = [&](int m) { return MODEL.BCOEF(j, i, m); };
            if (j == 1) {
                Write(U, "(3X,I2,3X,G10.3,4X,G10.3,2X,G10.3,8X,2(2X,G10.3))", i, MODEL.SPEED(j), c(1), c(2), c(5),
                      c(6));
            } else {
                Write(U, "(8X,G10.3,4X,G10.3,2X,G10.3,8X,2(2X,G10.3))", MODEL.SPEED(j), c(1), c(2), c(5), c(6));
            }
            Write(U, "(22X,G10.3,2X,G10.3,8X,2(2X,G10.3))", c(3), c(4), c(7), c(8));
            Write(U, "(8X,70('_'))");
        }
    }
}

void WriteUnbalanceTable() {
    if (OPTS.MAINOPT != 5) return;
    if (MODEL.IUNITS == 1) {
        Write(U,
              "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'IN-LB',12X,"
              "'DEG.',/,1X,48('_'),/)");
    } else if (MODEL.IUNITS == 2) {
        Write(U,
              "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'MM-KG',12X,"
              "'DEG.',/,1X,48('_'),/)");
    }
    int row = 0;
    for (int s = 1; s <= MODEL.NSTA && s <= MAXROWS; ++s) {
        if (MODEL.UNBAMP(s) == 0.0f) continue;  // -0.0 compares equal to 0
        ++row;
        Write(U, "(3X,I2,9X,I2,8X,G10.3,7X,G10.3)", row, s, MODEL.UNBAMP(s), MODEL.UNBPHS(s));
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
    Write(U, "(/,/,1X,'Eigenvalue problem solution :',/,1X,29('='),/)");
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
    if (heading) Write(U, "(/,/,1X,'Eigenvalue problem solution :',/,1X,29('='),/)");
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
    for (int f = 1; f <= OPTS.NSPLFILES && f <= OPTS.BRGFILE.size(); ++f) list(OPTS.BRGFILE(f));
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
            Write(U, "(8X,70('_'))");
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
