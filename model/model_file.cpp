// The model data file: the records of a model, written and read on a
// connected unit. Writer and reader are exact mirrors.
#include <cmath>
#include <initializer_list>

#include "model/model_file.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// The record layout of the file after the title, in file order, for the
// writer (M a const RotorModel, rec writing a record) and the reader (rec
// reading one). The reader checks the counts between the parts.

template <class M, class Record>
void CountRecord(M& m, Record rec) {
    rec(m.NSTA, m.NDISC, m.NBRG, m.NPED, m.NCM);
}

// Units, shaft elements, discs, bearings, pedestals, added weights.
template <class M, class Record>
void TableRecords(M& m, Record rec) {
    rec(m.IUNITS, m.ISPARE);
    for (int i = 1; i <= m.NSTA - 1; ++i)
        rec(m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 4), m.SHAFT(i, 5));
    for (int i = 1; i <= m.NDISC; ++i)
        rec(m.DSTA(i), m.DISC(i, 1), m.DISC(i, 2), m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5), m.DISC(i, 6));
    for (int i = 1; i <= m.NBRG; ++i) rec(m.BSTA(i), m.BWT(i));
    for (int i = 1; i <= m.NPED; ++i) rec(m.PSTA(i), m.PWT(i));
    for (int i = 1; i <= m.NPED; ++i) rec(m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3), m.PEDC(i, 4));
    for (int i = 1; i <= m.NCM; ++i) rec(m.WSTA(i), m.WWT(i));
}

// Material and the number of speeds.
template <class M, class Record>
void MaterialRecords(M& m, Record rec) {
    rec(m.E, m.Rho);
    rec(m.NSPEED);
}

// For each speed its record, then one record of coefficients per bearing.
template <class M, class Record>
void CoefficientRecords(M& m, Record rec) {
    for (int j = 1; j <= m.NSPEED; ++j) {
        rec(m.SPEED(j));
        for (int i = 1; i <= m.NBRG; ++i)
            rec(m.BCOEF(j, i, 1), m.BCOEF(j, i, 2), m.BCOEF(j, i, 3), m.BCOEF(j, i, 4), m.BCOEF(j, i, 5),
                m.BCOEF(j, i, 6), m.BCOEF(j, i, 7), m.BCOEF(j, i, 8));
    }
}

// One record per station: its number (read and ignored: record k belongs to
// station k whatever it says), amplitude and phase.
template <class M, class Record>
void UnbalanceRecords(M& m, Record rec) {
    for (int i = 1; i <= m.NSTA; ++i) {
        int32_t station = i;
        rec(station, m.UNBAMP(i), m.UNBPHS(i));
    }
}

}  // namespace

void WriteModel(int u, const RotorModel& m) {
    const auto rec = [u](const auto&... v) { Write(u, FREE, v...); };
    Write(u, "(A50)", m.TITLE);
    CountRecord(m, rec);
    TableRecords(m, rec);
    MaterialRecords(m, rec);
    CoefficientRecords(m, rec);
    UnbalanceRecords(m, rec);
}

namespace {

// The first record, in file order, that holds a value that is not a finite
// number (up to the coefficient records, or to the end with unbalance), as
// the refusal names it; no message when there is none.
Message NonFiniteRecord(const RotorModel& m, bool unbalance) {
    auto finite = [](std::initializer_list<float> v) {
        for (float x : v)
            if (!std::isfinite(x)) return false;
        return true;
    };
    auto at = [](const char* what, int i) {
        return Message("(1X,' Not a finite number in the record of ',A,I*)", what, i);
    };
    for (int i = 1; i <= m.NSTA - 1; ++i)
        if (!finite({m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 4), m.SHAFT(i, 5)}))
            return at("shaft element ", i);
    for (int i = 1; i <= m.NDISC; ++i)
        if (!finite({m.DISC(i, 1), m.DISC(i, 2), m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5), m.DISC(i, 6)}))
            return at("disc ", i);
    for (int i = 1; i <= m.NBRG; ++i)
        if (!finite({m.BWT(i)})) return at("bearing ", i);
    for (int i = 1; i <= m.NPED; ++i)
        if (!finite({m.PWT(i)})) return at("pedestal ", i);
    for (int i = 1; i <= m.NPED; ++i)
        if (!finite({m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3), m.PEDC(i, 4)}))
            return at("the coefficients of pedestal ", i);
    for (int i = 1; i <= m.NCM; ++i)
        if (!finite({m.WWT(i)})) return at("added weight ", i);
    if (!finite({m.E, m.Rho})) return Message("(1X,' Not a finite number in the record of the material')");
    for (int j = 1; j <= m.NSPEED; ++j) {
        if (!finite({m.SPEED(j)})) return at("speed ", j);
        for (int i = 1; i <= m.NBRG; ++i)
            for (int c = 1; c <= 8; ++c)
                if (!finite({m.BCOEF(j, i, c)}))
                    return Message("(1X,' Not a finite number in the record of bearing ',I*,' at speed ',I*)", i, j);
    }
    for (int i = 1; unbalance && i <= m.NSTA; ++i)
        if (!finite({m.UNBAMP(i), m.UNBPHS(i)})) return at("the unbalance of station ", i);
    return {};
}

}  // namespace

Message ReadModel(int u, RotorModel& m) {
    const auto rec = [u](auto&... v) { Read(u, FREE, v...); };
    Read(u, "(A50)", m.TITLE);
    CountRecord(m, rec);
    {
        // The number of speeds comes later in the file.
        const int nspeed = m.NSPEED;
        m.NSPEED = 1;
        Message msg = ModelLimitViolation(m);
        m.NSPEED = nspeed;
        if (msg) return msg;
    }
    TableRecords(m, rec);
    if (Message msg = ModelStationViolation(m)) return msg;
    if (!PedestalsAtBearings(m))
        return Message("(1X,' A pedestal may only stand at a bearing, in the order of the bearings')");
    MaterialRecords(m, rec);
    if (Message msg = ModelLimitViolation(m)) return msg;
    CoefficientRecords(m, rec);
    if (Message msg = NonFiniteRecord(m, false)) return msg;
    // The coefficients are fitted by splines over the speeds.
    if (const int j = SpeedOutOfOrder(m); j > 0)
        return Message("(1X,' Speed No.',I*,' is not above the speed before it')", j);
    UnbalanceRecords(m, rec);
    return NonFiniteRecord(m, true);
}
