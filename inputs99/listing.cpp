// The model listing of data menu 2: one table at a time, each followed by a
// pause, with headers in the units of the model.
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// Writes the English or the metric header; neither for another IUNITS.
void UnitsHeader(FormatText<> english, FormatText<> metric) {
    if (MODEL.IUNITS == 1) Write(CONSOLE, english);
    if (MODEL.IUNITS == 2) Write(CONSOLE, metric);
}

void ListShaft() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,'Weight',3X,"
        "'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'IN.',8X,'IN.',7X,'IN.',7X,'LB',6X,'LB/IN**2',7X,'LB/IN**3',/,"
        "1X,78('_'),/)",
        "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,'Weight',3X,"
        "'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'MM.',8X,'MM.',7X,'MM.',7X,'KG',6X,'KG/MM**2',7X,'KG/MM**3',/,"
        "1X,78('_'),/)");
    float length = 0.0f, weight = 0.0f;
    for (int i = 1; i <= m.NSTA - 1; ++i) {
        Write(CONSOLE, "(4X,I2,4X,6(2X,G9.3))", i, m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 5), m.E,
              m.Rho);
        length += m.SHAFT(i, 3);
        weight += m.SHAFT(i, 5);
    }
    Write(CONSOLE, "(33X,10('_'),2X,10('_'))");
    Write(CONSOLE, "(33X,G10.3,2X,G10.3)", length, weight);
    PressEnterToContinue();
}

void ListDiscs() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
        "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'IN.',6X,'IN.',6X,'IN.',7X,'LB',8X,"
        "'LB-IN**2',5X,'LB-IN**2',/,1X,78('_'),/)",
        "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
        "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'MM.',6X,'MM.',6X,'MM.',7X,'KG',8X,"
        "'KG-MM**2',5X,'KG-MM**2',/,1X,78('_'),/)");
    float weight = 0.0f;
    for (int i = 1; i <= m.NDISC; ++i) {
        Write(CONSOLE, "(1X,I2,4X,I2,2X,G10.3,5(1X,G10.3))", i, m.DSTA(i), m.DISC(i, 1), m.DISC(i, 2),
              m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5), m.DISC(i, 6));
        weight += m.DISC(i, 4);
    }
    Write(CONSOLE, "(44X,10('_'))");
    Write(CONSOLE, "(44X,G10.3)", weight);
    PressEnterToContinue();
}

void ListBearings() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
        "'LB',/,1X,33('_'),/)",
        "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
        "'KG',/,1X,33('_'),/)");
    float weight = 0.0f;
    for (int i = 1; i <= m.NBRG; ++i) {
        Write(CONSOLE, "(3X,I2,11X,I2,6X,G10.3)", i, m.BSTA(i), m.BWT(i));
        weight += m.BWT(i);
    }
    Write(CONSOLE, "(24X,10('_'))");
    Write(CONSOLE, "(24X,G10.3)", weight);
    PressEnterToContinue();
}

void ListPedestals() {
    const RotorModel& m = MODEL;
    // The pedestal table has one header whatever the units.
    Write(CONSOLE,
          "(/,1X,'Pedestal data:',/,1X,14('='),/,1X,'Pedestal',3X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
          "'LB',/,1X,33('_'),/)");
    float weight = 0.0f;
    for (int i = 1; i <= m.NPED; ++i) {
        Write(CONSOLE, "(3X,I2,11X,I2,6X,G10.3)", i, m.PSTA(i), m.PWT(i));
        weight += m.PWT(i);
    }
    Write(CONSOLE, "(24X,10('_'))");
    Write(CONSOLE, "(24X,G10.3)", weight);
    PressEnterToContinue();
    Write(CONSOLE,
          "(' Pedestal Dynamic Coefficients',/,2X,'Pedestal No.',10X,'Kxx',8X,'Kyy',20X,'Cxx',8X,'Cyy',/)");
    for (int i = 1; i <= m.NPED; ++i)
        Write(CONSOLE, "(11X,I2,'.',5X,2(G10.3,2X),10X,2(G10.3,2X))", i, m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3),
              m.PEDC(i, 4));
    PressEnterToContinue();
}

void ListAddedWeights() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,'No.',8X,"
        "'LB',/,1X,30('_'),/)",
        "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,'No.',8X,"
        "'KG',/,1X,30('_'),/)");
    float weight = 0.0f;
    for (int i = 1; i <= m.NCM; ++i) {
        Write(CONSOLE, "(2X,I2,9X,I2,6X,G10.3)", i, m.WSTA(i), m.WWT(i));
        weight += m.WWT(i);
    }
    Write(CONSOLE, "(21X,10('_'))");
    Write(CONSOLE, "(21X,G10.3)", weight);
    PressEnterToContinue();
}

void ListBearingCoefficients() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
        "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'LB/IN.',26X,'LB-SEC/IN.',/,1X,77('_'),/)",
        "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
        "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'KG/MM.',26X,'KG-SEC/MM.',/,1X,77('_'),/)");
    for (int i = 1; i <= m.NBRG; ++i) {
        for (int j = 1; j <= m.NSPEED; ++j) {
            if (j == 1)
                Write(CONSOLE, "(3X,I2,3X,G10.3,4X,G10.3,2X,G10.3,8X,2(2X,G10.3))", i, m.SPEED(j), m.BCOEF(j, i, 1),
                      m.BCOEF(j, i, 2), m.BCOEF(j, i, 5), m.BCOEF(j, i, 6));
            else
                Write(CONSOLE, "(12X,G10.3,4X,G10.3,2X,G10.3,2X,2(2X,G10.3))", m.SPEED(j), m.BCOEF(j, i, 1),
                      m.BCOEF(j, i, 2), m.BCOEF(j, i, 5), m.BCOEF(j, i, 6));
            Write(CONSOLE, "(22X,G10.3,2X,G10.3,8X,2(2X,G10.3))", m.BCOEF(j, i, 3), m.BCOEF(j, i, 4),
                  m.BCOEF(j, i, 7), m.BCOEF(j, i, 8));
            Write(CONSOLE, "(8X,70('_'))");
        }
        PressEnterToContinue();
    }
}

void ListUnbalance() {
    const RotorModel& m = MODEL;
    UnitsHeader(
        "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'IN-LB',12X,"
        "'DEG.',/,1X,48('_'),/)",
        "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'MM-KG',12X,"
        "'DEG.',/,1X,48('_'),/)");
    int n = 0;
    for (int i = 1; i <= m.NSTA; ++i) {
        if (m.UNBAMP(i) == 0.0f) continue;
        ++n;
        Write(CONSOLE, "(3X,I2,9X,I2,8X,G10.3,7X,G10.3)", n, i, m.UNBAMP(i), m.UNBPHS(i));
    }
    PressEnterToContinue();
}

}  // namespace

void ListModel() {
    const RotorModel& m = MODEL;
    Write(CONSOLE, FREE);
    Write(CONSOLE, "(/,2X,'TITLE : ',A50,/,2X,7('='),/)", m.TITLE);
    Write(CONSOLE,
          "(/,2X,'Number of stations ............. = ',I2,/,2X,'Number of discs ................ = ',I2,/,2X,"
          "'Number of bearings ............. = ',I2,/,2X,'Number of Pedestals ............ = ',I2,/,2X,"
          "'Number of Added Weights......... = ',I2,/)",
          m.NSTA, m.NDISC, m.NBRG, m.NPED, m.NCM);
    PressEnterToContinue();
    ListShaft();
    if (m.NDISC != 0) ListDiscs();
    if (m.NBRG != 0) ListBearings();
    if (m.NPED != 0) ListPedestals();
    if (m.NCM != 0) ListAddedWeights();
    ListBearingCoefficients();
    if (OPTS.MAINOPT == 5) ListUnbalance();
}
