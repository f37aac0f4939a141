#include "model/model_texts.h"

void WriteUnitsHeading(int unit, const UnitsHeading& heading, int iunits) {
    if (iunits == 1) Write(unit, heading.english);
    if (iunits == 2) Write(unit, heading.metric);
}
