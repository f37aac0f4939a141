#pragma once
// The texts of the model's tables that the listing on the screen and the
// model echo of the run report share: the headings, in their English (IUNITS
// 1) and metric (IUNITS 2) variants side by side, the rows, and the rules
// under the columns that are summed.
#include <cstdint>
#include <utility>

#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "recordio/text.h"

// A heading whose units follow the model's units.
struct UnitsHeading {
    FormatText<> english, metric;
};

// Writes the variant of the units iunits; nothing for other units.
void WriteUnitsHeading(int unit, const UnitsHeading& heading, int iunits);

inline constexpr FormatText<Text50> TITLE_LINE = "(/,2X,'TITLE : ',A50,/,2X,7('='),/)";

inline constexpr UnitsHeading SHAFT_HEADING = {
    "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,'Weight',3X,"
    "'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'IN.',8X,'IN.',7X,'IN.',7X,'LB',6X,'LB/IN**2',7X,'LB/IN**3',/,"
    "1X,78('_'),/)",
    "(/,1X,'Shaft element data :',/,1X,20('='),/,1X,'Element',6X,'O.D.',7X,'I.D.',4X,'Length',5X,'Weight',3X,"
    "'Mod. of Elas.',2X,'Density',/,4X,'No.',7X,'MM.',8X,'MM.',7X,'MM.',7X,'KG',6X,'KG/MM**2',7X,'KG/MM**3',/,"
    "1X,78('_'),/)"};
// Element, O.D., I.D., length, weight, E, Rho.
inline constexpr FormatText<int32_t, float, float, float, float, float, float> SHAFT_ROW = "(4X,I2,4X,6(2X,G9.3))";
inline constexpr FormatText<> SHAFT_RULE = "(33X,10('_'),2X,10('_'))";
// The rows of the shaft table of m and the rule under its summed columns;
// returns the sums of the lengths and of the weights.
std::pair<float, float> WriteShaftRows(int unit, const RotorModel& m);

inline constexpr UnitsHeading DISC_HEADING = {
    "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
    "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'IN.',6X,'IN.',6X,'IN.',7X,'LB',8X,"
    "'LB-IN**2',5X,'LB-IN**2',/,1X,78('_'),/)",
    "(/,1X,'Discs data :',/,1X,12('='),/,1X,'Disc',2X,'Station',2X,'O.D.',5X,'I.D.',4X,'Thickness',2X,"
    "'Weight',4X,'Polar Mom.',2X,'Trans. Mom.',/,1X,'No.',3X,'No.',6X,'MM.',6X,'MM.',6X,'MM.',7X,'KG',8X,"
    "'KG-MM**2',5X,'KG-MM**2',/,1X,78('_'),/)"};
// Disc, station, O.D., I.D., thickness, weight, polar and transverse moment.
inline constexpr FormatText<int32_t, int32_t, float, float, float, float, float, float> DISC_ROW =
    "(1X,I2,4X,I2,2X,G10.3,5(1X,G10.3))";
inline constexpr FormatText<> DISC_RULE = "(44X,10('_'))";

inline constexpr UnitsHeading BEARING_HEADING = {
    "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
    "'LB',/,1X,33('_'),/)",
    "(/,1X,'Bearing data :',/,1X,14('='),/,1X,'Bearing',4X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
    "'KG',/,1X,33('_'),/)"};
// The pedestal table has one heading whatever the units.
inline constexpr FormatText<> PEDESTAL_HEADING =
    "(/,1X,'Pedestal data:',/,1X,14('='),/,1X,'Pedestal',3X,'Station',6X,'Weight',/,3X,'No.',7X,'No.',10X,"
    "'LB',/,1X,33('_'),/)";
// Bearing or pedestal, station, weight.
inline constexpr FormatText<int32_t, int32_t, float> WEIGHT_ROW = "(3X,I2,11X,I2,6X,G10.3)";
inline constexpr FormatText<> WEIGHT_RULE = "(24X,10('_'))";
// Pedestal, Kxx, Kyy, Cxx, Cyy.
inline constexpr FormatText<int32_t, float, float, float, float> PEDESTAL_COEFFICIENT_ROW =
    "(11X,I2,'.',5X,2(G10.3,2X),10X,2(G10.3,2X))";

inline constexpr UnitsHeading ADDED_WEIGHT_HEADING = {
    "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,'No.',8X,"
    "'LB',/,1X,30('_'),/)",
    "(/,1X,'Added Weight Data :',/,1X,19('='),/,1X,'Weight',6X,'Station',4X,'Weight',/,2X,'No.',8X,'No.',8X,"
    "'KG',/,1X,30('_'),/)"};
// Added weight, station, weight.
inline constexpr FormatText<int32_t, int32_t, float> ADDED_WEIGHT_ROW = "(2X,I2,9X,I2,6X,G10.3)";
inline constexpr FormatText<> ADDED_WEIGHT_RULE = "(21X,10('_'))";
inline constexpr FormatText<float> ADDED_WEIGHT_SUM = "(21X,G10.3)";

inline constexpr UnitsHeading BEARING_COEFFICIENT_HEADING = {
    "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
    "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'LB/IN.',26X,'LB-SEC/IN.',/,1X,77('_'),/)",
    "(/,1X,'Bearing coefficients :',/,1X,22('='),/,1X,'Bearing',2X,'Speed',10X,'Stiffness Matrix',17X,"
    "'Damping Matrix',/,3X,'No.',4X,'RPM',15X,'KG/MM.',26X,'KG-SEC/MM.',/,1X,77('_'),/)"};
// A bearing's first line: bearing, speed, Sxx, Sxy, Cxx, Cxy; its second
// line: Syx, Syy, Cyx, Cyy.
inline constexpr FormatText<int32_t, float, float, float, float, float> BEARING_COEFFICIENT_FIRST =
    "(3X,I2,3X,G10.3,4X,G10.3,2X,G10.3,8X,2(2X,G10.3))";
inline constexpr FormatText<float, float, float, float> BEARING_COEFFICIENT_SECOND =
    "(22X,G10.3,2X,G10.3,8X,2(2X,G10.3))";

// The rule under each pair of bearing-coefficient lines, which also
// separates sections of the report.
inline constexpr FormatText<> RULE_LINE = "(8X,70('_'))";

inline constexpr UnitsHeading UNBALANCE_HEADING = {
    "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'IN-LB',12X,"
    "'DEG.',/,1X,48('_'),/)",
    "(/,1X,'Unbalance',4X,'Station',4X,'Amplitude',4X,'Phase angle',/,3X,'No.',8X,'No.',8X,'MM-KG',12X,"
    "'DEG.',/,1X,48('_'),/)"};
// Row, station, amplitude, phase.
inline constexpr FormatText<int32_t, int32_t, float, float> UNBALANCE_ROW = "(3X,I2,9X,I2,8X,G10.3,7X,G10.3)";
