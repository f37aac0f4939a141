// The model listing of data menu 2: one table at a time, each followed by a
// pause, with headers in the units of the model.
#include "inputs99/front_end.h"
#include "model/analysis_options.h"
#include "model/model_texts.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

void ListShaft() {
    const RotorModel& m = MODEL;
    WriteUnitsHeading(CONSOLE, SHAFT_HEADING, m.IUNITS);
    const auto [length, weight] = WriteShaftRows(CONSOLE, m);
    Write(CONSOLE, "(33X,G10.3,2X,G10.3)", length, weight);
    PressEnterToContinue();
}

void ListDiscs() {
    const RotorModel& m = MODEL;
    WriteUnitsHeading(CONSOLE, DISC_HEADING, m.IUNITS);
    float weight = 0.0f;
    for (int i = 1; i <= m.NDISC; ++i) {
        Write(CONSOLE, DISC_ROW, i, m.DSTA(i), m.DISC(i, 1), m.DISC(i, 2),
              m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5), m.DISC(i, 6));
        weight += m.DISC(i, 4);
    }
    Write(CONSOLE, DISC_RULE);
    Write(CONSOLE, "(44X,G10.3)", weight);
    PressEnterToContinue();
}

// Rows 1..n of a table of weights at stations (bearings, pedestals), the
// rule and the sum of the weights.
void ListWeights(const Vec<int, 99>& sta, const Vec<float, 99>& wt, int n) {
    float weight = 0.0f;
    for (int i = 1; i <= n; ++i) {
        Write(CONSOLE, WEIGHT_ROW, i, sta(i), wt(i));
        weight += wt(i);
    }
    Write(CONSOLE, WEIGHT_RULE);
    Write(CONSOLE, "(24X,G10.3)", weight);
    PressEnterToContinue();
}

void ListBearings() {
    WriteUnitsHeading(CONSOLE, BEARING_HEADING, MODEL.IUNITS);
    ListWeights(MODEL.BSTA, MODEL.BWT, MODEL.NBRG);
}

void ListPedestals() {
    const RotorModel& m = MODEL;
    Write(CONSOLE, PEDESTAL_HEADING);
    ListWeights(m.PSTA, m.PWT, m.NPED);
    Write(CONSOLE,
          "(' Pedestal Dynamic Coefficients',/,2X,'Pedestal No.',10X,'Kxx',8X,'Kyy',20X,'Cxx',8X,'Cyy',/)");
    for (int i = 1; i <= m.NPED; ++i)
        Write(CONSOLE, PEDESTAL_COEFFICIENT_ROW, i, m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3),
              m.PEDC(i, 4));
    PressEnterToContinue();
}

void ListAddedWeights() {
    const RotorModel& m = MODEL;
    WriteUnitsHeading(CONSOLE, ADDED_WEIGHT_HEADING, m.IUNITS);
    float weight = 0.0f;
    for (int i = 1; i <= m.NCM; ++i) {
        Write(CONSOLE, ADDED_WEIGHT_ROW, i, m.WSTA(i), m.WWT(i));
        weight += m.WWT(i);
    }
    Write(CONSOLE, ADDED_WEIGHT_RULE);
    Write(CONSOLE, ADDED_WEIGHT_SUM, weight);
    PressEnterToContinue();
}

void ListBearingCoefficients() {
    const RotorModel& m = MODEL;
    WriteUnitsHeading(CONSOLE, BEARING_COEFFICIENT_HEADING, m.IUNITS);
    for (int i = 1; i <= m.NBRG; ++i) {
        for (int j = 1; j <= m.NSPEED; ++j) {
            if (j == 1)
                Write(CONSOLE, BEARING_COEFFICIENT_FIRST, i, m.SPEED(j), m.BCOEF(j, i, 1),
                      m.BCOEF(j, i, 2), m.BCOEF(j, i, 5), m.BCOEF(j, i, 6));
            else
                Write(CONSOLE, "(12X,G10.3,4X,G10.3,2X,G10.3,2X,2(2X,G10.3))", m.SPEED(j), m.BCOEF(j, i, 1),
                      m.BCOEF(j, i, 2), m.BCOEF(j, i, 5), m.BCOEF(j, i, 6));
            Write(CONSOLE, BEARING_COEFFICIENT_SECOND, m.BCOEF(j, i, 3), m.BCOEF(j, i, 4),
                  m.BCOEF(j, i, 7), m.BCOEF(j, i, 8));
            Write(CONSOLE, RULE_LINE);
        }
        PressEnterToContinue();
    }
}

void ListUnbalance() {
    const RotorModel& m = MODEL;
    WriteUnitsHeading(CONSOLE, UNBALANCE_HEADING, m.IUNITS);
    int n = 0;
    for (int i = 1; i <= m.NSTA; ++i) {
        if (m.UNBAMP(i) == 0.0f) continue;
        ++n;
        Write(CONSOLE, UNBALANCE_ROW, n, i, m.UNBAMP(i), m.UNBPHS(i));
    }
    PressEnterToContinue();
}

}  // namespace

void ListModel() {
    const RotorModel& m = MODEL;
    Write(CONSOLE, FREE);
    Write(CONSOLE, TITLE_LINE, m.TITLE);
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
