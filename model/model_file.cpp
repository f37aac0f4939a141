// The model data file: the records of a model, written and read on a
// connected unit. Writer and reader are exact mirrors.
#include <cmath>
#include <initializer_list>
#include <string>

#include "model/analysis_options.h"
#include "model/model_file.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

void WriteModel(int u, const RotorModel& m) {
    Write(u, "(A50)", m.TITLE);
    Write(u, FREE, m.NSTA, m.NDISC, m.NBRG, m.NPED, m.NCM);
    Write(u, FREE, m.IUNITS, m.ISPARE);
    for (int i = 1; i <= m.NSTA - 1; ++i)
        Write(u, FREE, m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 4), m.SHAFT(i, 5));
    for (int i = 1; i <= m.NDISC; ++i)
        Write(u, FREE, m.DSTA(i), m.DISC(i, 1), m.DISC(i, 2), m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5),
              m.DISC(i, 6));
    for (int i = 1; i <= m.NBRG; ++i) Write(u, FREE, m.BSTA(i), m.BWT(i));
    for (int i = 1; i <= m.NPED; ++i) Write(u, FREE, m.PSTA(i), m.PWT(i));
    for (int i = 1; i <= m.NPED; ++i) Write(u, FREE, m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3), m.PEDC(i, 4));
    for (int i = 1; i <= m.NCM; ++i) Write(u, FREE, m.WSTA(i), m.WWT(i));
    Write(u, FREE, m.E, m.Rho);
    Write(u, FREE, m.NSPEED);
    for (int j = 1; j <= m.NSPEED; ++j) {
        Write(u, FREE, m.SPEED(j));
        for (int i = 1; i <= m.NBRG; ++i)
            Write(u, FREE, m.BCOEF(j, i, 1), m.BCOEF(j, i, 2), m.BCOEF(j, i, 3), m.BCOEF(j, i, 4),
                  m.BCOEF(j, i, 5), m.BCOEF(j, i, 6), m.BCOEF(j, i, 7), m.BCOEF(j, i, 8));
    }
    for (int i = 1; i <= m.NSTA; ++i) {
        const int32_t station = i;
        Write(u, FREE, station, m.UNBAMP(i), m.UNBPHS(i));
    }
}

namespace {

// Speeds of speed-dependent coefficients must rise strictly: the
// coefficients are fitted by splines over them.
std::string SpeedViolation(const RotorModel& m) {
    if (m.NSPEED < 2) return {};
    for (int j = 2; j <= m.NSPEED; ++j)
        if (!(m.SPEED(j) > m.SPEED(j - 1)))
            return " Speed No." + std::to_string(j) + " is not above the speed before it";
    return {};
}

// The first record, in file order, that holds a value that is not a finite
// number (up to the coefficient records, or to the end with unbalance), as
// the refusal names it; "" when there is none.
std::string NonFiniteRecord(const RotorModel& m, bool unbalance) {
    auto finite = [](std::initializer_list<float> v) {
        for (float x : v)
            if (!std::isfinite(x)) return false;
        return true;
    };
    auto at = [](const char* what, int i) { return std::string(what) + std::to_string(i); };
    std::string where;
    for (int i = 1; i <= m.NSTA - 1 && where.empty(); ++i)
        if (!finite({m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 4), m.SHAFT(i, 5)}))
            where = at("shaft element ", i);
    for (int i = 1; i <= m.NDISC && where.empty(); ++i)
        if (!finite({m.DISC(i, 1), m.DISC(i, 2), m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5), m.DISC(i, 6)}))
            where = at("disc ", i);
    for (int i = 1; i <= m.NBRG && where.empty(); ++i)
        if (!finite({m.BWT(i)})) where = at("bearing ", i);
    for (int i = 1; i <= m.NPED && where.empty(); ++i)
        if (!finite({m.PWT(i)})) where = at("pedestal ", i);
    for (int i = 1; i <= m.NPED && where.empty(); ++i)
        if (!finite({m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3), m.PEDC(i, 4)}))
            where = at("the coefficients of pedestal ", i);
    for (int i = 1; i <= m.NCM && where.empty(); ++i)
        if (!finite({m.WWT(i)})) where = at("added weight ", i);
    if (where.empty() && !finite({m.E, m.Rho})) where = "the material";
    for (int j = 1; j <= m.NSPEED && where.empty(); ++j) {
        if (!finite({m.SPEED(j)})) where = at("speed ", j);
        for (int i = 1; i <= m.NBRG && where.empty(); ++i)
            for (int c = 1; c <= 8 && where.empty(); ++c)
                if (!finite({m.BCOEF(j, i, c)})) where = at("bearing ", i) + at(" at speed ", j);
    }
    for (int i = 1; unbalance && i <= m.NSTA && where.empty(); ++i)
        if (!finite({m.UNBAMP(i), m.UNBPHS(i)})) where = at("the unbalance of station ", i);
    if (where.empty()) return {};
    return " Not a finite number in the record of " + where;
}

}  // namespace

std::string ReadModel(int u, RotorModel& m) {
    Read(u, "(A50)", m.TITLE);
    Read(u, FREE, m.NSTA, m.NDISC, m.NBRG, m.NPED, m.NCM);
    {
        // The number of speeds comes later in the file.
        const int nspeed = m.NSPEED;
        m.NSPEED = 1;
        std::string msg = ModelLimitViolation(m);
        m.NSPEED = nspeed;
        if (!msg.empty()) return msg;
    }
    Read(u, FREE, m.IUNITS, m.ISPARE);
    for (int i = 1; i <= m.NSTA - 1; ++i)
        Read(u, FREE, m.SHAFT(i, 1), m.SHAFT(i, 2), m.SHAFT(i, 3), m.SHAFT(i, 4), m.SHAFT(i, 5));
    for (int i = 1; i <= m.NDISC; ++i)
        Read(u, FREE, m.DSTA(i), m.DISC(i, 1), m.DISC(i, 2), m.DISC(i, 3), m.DISC(i, 4), m.DISC(i, 5),
             m.DISC(i, 6));
    for (int i = 1; i <= m.NBRG; ++i) Read(u, FREE, m.BSTA(i), m.BWT(i));
    for (int i = 1; i <= m.NPED; ++i) Read(u, FREE, m.PSTA(i), m.PWT(i));
    for (int i = 1; i <= m.NPED; ++i) Read(u, FREE, m.PEDC(i, 1), m.PEDC(i, 2), m.PEDC(i, 3), m.PEDC(i, 4));
    for (int i = 1; i <= m.NCM; ++i) Read(u, FREE, m.WSTA(i), m.WWT(i));
    if (std::string msg = ModelStationViolation(m); !msg.empty()) return msg;
    if (!PedestalsAtBearings(m))
        return " A pedestal may only stand at a bearing, in the order of the bearings";
    Read(u, FREE, m.E, m.Rho);
    Read(u, FREE, m.NSPEED);
    if (std::string msg = ModelLimitViolation(m); !msg.empty()) return msg;
    for (int j = 1; j <= m.NSPEED; ++j) {
        Read(u, FREE, m.SPEED(j));
        for (int i = 1; i <= m.NBRG; ++i)
            Read(u, FREE, m.BCOEF(j, i, 1), m.BCOEF(j, i, 2), m.BCOEF(j, i, 3), m.BCOEF(j, i, 4),
                 m.BCOEF(j, i, 5), m.BCOEF(j, i, 6), m.BCOEF(j, i, 7), m.BCOEF(j, i, 8));
    }
    if (std::string msg = NonFiniteRecord(m, false); !msg.empty()) return msg;
    if (std::string msg = SpeedViolation(m); !msg.empty()) return msg;
    for (int i = 1; i <= m.NSTA; ++i) {
        int32_t station = 0;  // record k belongs to station k whatever it says
        Read(u, FREE, station, m.UNBAMP(i), m.UNBPHS(i));
    }
    return NonFiniteRecord(m, true);
}

