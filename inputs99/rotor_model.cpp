#include "inputs99/rotor_model.h"

RotorModel MODEL;

namespace {

bool CountInRange(int n, int low) { return n >= low && n <= MAXROWS; }

// Stations of one table: within 1..nsta and strictly ascending.
std::string CheckStations(const Vec<int, 99>& sta, int count, int nsta, const char* what) {
    for (int i = 1; i <= count; ++i) {
        if (sta(i) < 1 || sta(i) > nsta)
            return std::string(" ") + what + " No." + std::to_string(i) + " is at station " +
                   std::to_string(sta(i)) + ", outside 1 to " + std::to_string(nsta);
        if (i > 1 && sta(i) <= sta(i - 1))
            return std::string(" ") + what + " No." + std::to_string(i) + " (station " +
                   std::to_string(sta(i)) + ") is not in ascending station order";
    }
    return {};
}

}  // namespace

std::string ModelLimitViolation(const RotorModel& m) {
    if (!CountInRange(m.NSTA, 2)) return " The number of stations must lie between 2 and 99";
    if (!CountInRange(m.NDISC, 0)) return " The number of discs must lie between 0 and 99";
    if (!CountInRange(m.NBRG, 0)) return " The number of bearings must lie between 0 and 99";
    if (!CountInRange(m.NPED, 0)) return " The number of pedestals must lie between 0 and 99";
    if (!CountInRange(m.NCM, 0)) return " The number of added weights must lie between 0 and 99";
    if (!CountInRange(m.NSPEED, 1)) return " The number of speeds must lie between 1 and 99";
    if (2 * m.NSTA + m.NPED > 198)
        return " 2 x stations + pedestals exceeds 198, the limit of the code";
    if (m.NPED > m.NBRG) return " There are more pedestals than bearings";
    return {};
}

std::string ModelStationViolation(const RotorModel& m) {
    std::string msg = CheckStations(m.DSTA, m.NDISC, m.NSTA, "Disc");
    if (msg.empty()) msg = CheckStations(m.BSTA, m.NBRG, m.NSTA, "Bearing");
    if (msg.empty()) msg = CheckStations(m.PSTA, m.NPED, m.NSTA, "Pedestal");
    if (msg.empty()) msg = CheckStations(m.WSTA, m.NCM, m.NSTA, "Added weight");
    return msg;
}

bool PedestalsAtBearings(const RotorModel& m) {
    int k = 1;
    for (int b = 1; b <= m.NBRG && k <= m.NPED; ++b)
        if (m.PSTA(k) == m.BSTA(b)) ++k;
    return k > m.NPED;
}
