// The model data file on unit 8: the save dialog, the file input dialog and
// the automatic re-read after a run. Writer and reader are exact mirrors.
#include <cmath>
#include <initializer_list>
#include <string>

#include "inputs99/analysis_options.h"
#include "inputs99/front_end.h"
#include "inputs99/model_file.h"
#include "inputs99/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// A model being read lands here first and becomes MODEL only once the whole
// file has been read and checked.
RotorModel SCRATCH;

void WriteModel(const RotorModel& m) {
    const int u = UNIT_MODEL;
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

namespace {

void RefuseModelFile(const Text14& name, const std::string& reason) {
    CloseUnit(UNIT_MODEL);
    Beep(2);
    const std::string file = name.trimmed();
    Write(CONSOLE, FREE, " *** MODEL FILE ", file.c_str(), " IS REFUSED ***");
    Write(CONSOLE, FREE, reason.c_str());
    if (FRONT.HAVEDATA == 1)
        Write(CONSOLE, FREE, " The model in memory is unchanged.");
    else
        Write(CONSOLE, FREE, " No model is in memory.");
    PressEnterToContinue();
}

}  // namespace

void SaveModelDialog() {
    Write(CONSOLE, FREE);
    Text14 name;
    do {
        Write(CONSOLE, FREE, " Input Save Data Filename > ");
        ReadFileName(name);
    } while (name.blank());
    FRONT.FSTAT = Text3("NEW");
    OpenFileChecked(UNIT_MODEL, name, FRONT.FSTAT);
    RewindUnit(UNIT_MODEL);
    WriteModel(MODEL);
    // The file is complete: the close puts it on the disk (in the place of
    // the file it overwrites), and a write that fails is reported here.
    CloseUnit(UNIT_MODEL);
    FRONT.DATAFILE = name;
    FRONT.SAVED = 1;
}

void FileInputDialog(bool reread) {
    // The typed name becomes DATAFILE only once a model has been read from it.
    Text14 name = FRONT.DATAFILE;
    bool askName = !reread;
    for (;;) {
        if (askName) {
            FRONT.FSTAT = Text3("OLD");
            do {
                Write(CONSOLE, "(2X,'Input the name of your data_file  ....  ')");
                ReadFileName(name);
            } while (name.blank());
        }
        if (OpenUnit(UNIT_MODEL, name, Text3("OLD"), true) == 0) break;
        PauseForCommand(" File not found. Press <Enter> to continue...");
        Write(CONSOLE, FREE);
        Write(CONSOLE, FREE, " Try Another Filename ? Y/N > ");
        AskYesNo();
        if (!(FRONT.ANS == "Y")) {
            // Also ends an automatic re-read: the data menu is shown, without
            // a model if none was in memory.
            FRONT.REREAD = 0;
            return;
        }
        askName = true;
    }
    RewindUnit(UNIT_MODEL);
    SCRATCH = MODEL;  // values a record leaves empty keep the model's values
    if (std::string reason = ReadModel(UNIT_MODEL, SCRATCH); !reason.empty()) {
        FRONT.REREAD = 0;
        RefuseModelFile(name, reason);
        return;
    }
    MODEL = SCRATCH;
    FRONT.HAVEUNB = 0;
    for (int i = 1; i <= MODEL.NSTA; ++i)
        if (MODEL.UNBAMP(i) != 0.0f) FRONT.HAVEUNB = 1;
    FRONT.DATAFILE = name;
    FRONT.REREAD = 0;
    FRONT.HAVEDATA = 1;
}
