#include "model/rotor_model.h"

RotorModel MODEL;

namespace {

bool CountInRange(int n, int low) { return n >= low && n <= MAXROWS; }

// Stations of one table: within 1..nsta and strictly ascending.
Message CheckStations(const Vec<int, 99>& sta, int count, int nsta, const char* what) {
    for (int i = 1; i <= count; ++i) {
        if (sta(i) < 1 || sta(i) > nsta)
            return Message("(1X,' ',A,' No.',I*,' is at station ',I*,', outside 1 to ',I*)", what, i, sta(i), nsta);
        if (i > 1 && sta(i) <= sta(i - 1))
            return Message("(1X,' ',A,' No.',I*,' (station ',I*,') is not in ascending station order')", what, i,
                           sta(i));
    }
    return {};
}

// The first pedestal that the walk over the bearings misses, NPED + 1 when
// every pedestal stands under its bearing.
int FirstPedestalAwayFromBearings(const RotorModel& m) {
    int k = 1;
    for (int b = 1; b <= m.NBRG && k <= m.NPED; ++b)
        if (m.PSTA(k) == m.BSTA(b)) ++k;
    return k;
}

}  // namespace

float AnnulusWeight(float od, float id, float length, float rho, Evaluation e) {
    const float area = od * od - id * id;  // times pi/4
    if (e == Evaluation::Entry) return area * length * PI * rho * 0.25f;
    return (PI / 4.0f) * area * length * rho;
}

float DiscPolarMoment(float od, float id, float weight) { return weight * (od * od + id * id) / 8.0f; }

float DiscTransverseMoment(float od, float id, float thickness, float weight, Evaluation e) {
    const float shape = 3.0f * (od * od + id * id) + 4.0f * thickness * thickness;  // divided by 48
    if (e == Evaluation::Entry) return shape * weight * 0.020833334f;
    return weight * shape / 48.0f;
}

Message ModelLimitViolation(const RotorModel& m) {
    struct Count {
        int value, low;
        const char* what;
    };
    const Count counts[] = {{m.NSTA, 2, "stations"},      {m.NDISC, 0, "discs"},
                            {m.NBRG, 0, "bearings"},      {m.NPED, 0, "pedestals"},
                            {m.NCM, 0, "added weights"}, {m.NSPEED, 1, "speeds"}};
    for (const Count& c : counts)
        if (!CountInRange(c.value, c.low))
            return Message("(1X,' The number of ',A,' (',I*,') must lie between ',I*,' and 99')", c.what, c.value,
                           c.low);
    if (2 * m.NSTA + m.NPED > 198)
        return Message("(1X,' 2 x stations + pedestals = ',I*,' exceeds 198, the limit of the code')",
                       2 * m.NSTA + m.NPED);
    if (m.NPED > m.NBRG)
        return Message("(1X,' There are more pedestals (',I*,') than bearings (',I*,')')", m.NPED, m.NBRG);
    return {};
}

Message ModelStationViolation(const RotorModel& m) {
    Message msg = CheckStations(m.DSTA, m.NDISC, m.NSTA, "Disc");
    if (!msg) msg = CheckStations(m.BSTA, m.NBRG, m.NSTA, "Bearing");
    if (!msg) msg = CheckStations(m.PSTA, m.NPED, m.NSTA, "Pedestal");
    if (!msg) msg = CheckStations(m.WSTA, m.NCM, m.NSTA, "Added weight");
    return msg;
}

int SpeedOutOfOrder(const RotorModel& m) {
    for (int j = 2; j <= m.NSPEED; ++j)
        if (!(m.SPEED(j) > m.SPEED(j - 1))) return j;
    return 0;
}

bool PedestalsAtBearings(const RotorModel& m) { return FirstPedestalAwayFromBearings(m) > m.NPED; }

Message ModelAnalysisRefusal() {
    const RotorModel& m = MODEL;
    if (Message msg = ModelLimitViolation(m)) return msg;
    for (int e = 1; e <= m.NSTA - 1; ++e) {
        if (!(m.SHAFT(e, 3) > 0.0f))
            return Message("(1X,' Shaft element No.',I*,' has a length that is not positive')", e);
    }
    if (const int j = SpeedOutOfOrder(m); j > 0)
        return Message("(1X,' Bearing speed No.',I*,' is not above speed No.',I*,': the speeds must ascend')", j,
                       j - 1);
    if (Message msg = ModelStationViolation(m)) return msg;
    if (const int k = FirstPedestalAwayFromBearings(m); k <= m.NPED)
        return Message("(1X,' Pedestal No.',I*,' (station ',I*,') does not stand at a bearing station')", k,
                       m.PSTA(k));
    return {};
}
