#include "model/model_texts.h"

void WriteUnitsHeading(int unit, const UnitsHeading& heading, int iunits) {
    if (iunits == 1) Write(unit, heading.english);
    if (iunits == 2) Write(unit, heading.metric);
}

std::pair<float, float> WriteShaftRows(int unit, const RotorModel& m) {
    float length = 0.0f, weight = 0.0f;
    for (int e = 1; e <= m.NSTA - 1 && e <= MAXROWS; ++e) {
        Write(unit, SHAFT_ROW, e, m.SHAFT(e, 1), m.SHAFT(e, 2), m.SHAFT(e, 3), m.SHAFT(e, 5), m.E, m.Rho);
        length += m.SHAFT(e, 3);
        weight += m.SHAFT(e, 5);
    }
    Write(unit, SHAFT_RULE);
    return {length, weight};
}
