#include "model/rotor_model.h"

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
    struct Count {
        int value, low;
        const char* what;
    };
    const Count counts[] = {{m.NSTA, 2, "stations"},      {m.NDISC, 0, "discs"},
                            {m.NBRG, 0, "bearings"},      {m.NPED, 0, "pedestals"},
                            {m.NCM, 0, "added weights"}, {m.NSPEED, 1, "speeds"}};
    for (const Count& c : counts)
        if (!CountInRange(c.value, c.low))
            return std::string(" The number of ") + c.what + " (" + std::to_string(c.value) +
                   ") must lie between " + std::to_string(c.low) + " and 99";
    if (2 * m.NSTA + m.NPED > 198)
        return " 2 x stations + pedestals = " + std::to_string(2 * m.NSTA + m.NPED) +
               " exceeds 198, the limit of the code";
    if (m.NPED > m.NBRG)
        return " There are more pedestals (" + std::to_string(m.NPED) + ") than bearings (" +
               std::to_string(m.NBRG) + ")";
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

std::string ModelAnalysisRefusal() {
    const RotorModel& m = MODEL;
    std::string msg = ModelLimitViolation(m);
    if (!msg.empty()) return msg;
    for (int e = 1; e <= m.NSTA - 1; ++e) {
        if (!(m.SHAFT(e, 3) > 0.0f))
            return " Shaft element No." + std::to_string(e) + " has a length that is not positive";
    }
    if (m.NSPEED > 1) {
        for (int j = 2; j <= m.NSPEED; ++j)
            if (!(m.SPEED(j) > m.SPEED(j - 1)))
                return " Bearing speed No." + std::to_string(j) + " is not above speed No." +
                       std::to_string(j - 1) + ": the speeds must ascend";
    }
    msg = ModelStationViolation(m);
    if (!msg.empty()) return msg;
    if (!PedestalsAtBearings(m)) {
        // Name the first pedestal that the walk over the bearings misses.
        int k = 1;
        for (int b = 1; b <= m.NBRG && k <= m.NPED; ++b)
            if (m.PSTA(k) == m.BSTA(b)) ++k;
        return " Pedestal No." + std::to_string(k) + " (station " + std::to_string(m.PSTA(k)) +
               ") does not stand at a bearing station";
    }
    return {};
}
