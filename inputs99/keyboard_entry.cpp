// Keyboard entry of a whole rotor model, section by section, and the
// sections themselves, which the data editor re-enters one at a time or in
// a cascade after the number of stations changed.
//
// Beyond the screens of the entry, every count and every station typed is
// checked before it is used, so that no table is overrun and the model that
// results can always be assembled: counts lie within their tables, stations
// lie in 1..NSTA and ascend within each table, there are never more
// pedestals than bearings, and bearing speeds ascend.
#include <cmath>
#include <string>

#include "model/analysis_options.h"
#include "inputs99/entry_sections.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

void WaitForLine() { Read(CONSOLE, FREE); }

// Refusal of a count above the number of stations, for tables that hold at
// most one row per station (none when n fits).
Message PerStationRefusal(const char* what, const char* whats, int n) {
    Message msg = RangeRefusal(whats, n, 0, MAXROWS);
    if (!msg && n > MODEL.NSTA)
        msg = Message("(1X,' Refused : at most one ',A,' per station, and there are ',I*,' stations')", what,
                      MODEL.NSTA);
    return msg;
}

// After the size of the model has been accepted: discs and bearings need a
// station each, and every pedestal a bearing.
void FitCountsToStations() {
    if (Message msg = DiscCountRefusal(MODEL.NDISC)) {
        msg.Write(CONSOLE);
        MODEL.NDISC =
            AskCount("(2X,'Number of discs........... NDISC = ')", MODEL.NDISC, DiscCountRefusal);
    }
    if (Message msg = BearingCountRefusal(MODEL.NBRG)) {
        msg.Write(CONSOLE);
        MODEL.NBRG =
            AskCount("(2X,'Number of bearings......... NBRG = ')", MODEL.NBRG, BearingCountRefusal);
    }
    if (Message msg = PedestalCountRefusal(MODEL.NPED)) {
        msg.Write(CONSOLE);
        MODEL.NPED = AskCount("(2X,'Number of pedestals........ NPED = ')", MODEL.NPED,
                              PedestalCountRefusal);
    }
}

// Derived weights and moments: only values typed as exactly 0 are replaced.
void CompleteElement(int i) {
    const float od = MODEL.SHAFT(i, 1), id = MODEL.SHAFT(i, 2), length = MODEL.SHAFT(i, 3);
    if (MODEL.SHAFT(i, 5) == 0.0f) MODEL.SHAFT(i, 5) = AnnulusWeight(od, id, length, MODEL.Rho, Evaluation::Entry);
}

void CompleteDisc(int i) {
    const float od = MODEL.DISC(i, 1), id = MODEL.DISC(i, 2), thick = MODEL.DISC(i, 3);
    if (MODEL.DISC(i, 4) == 0.0f) MODEL.DISC(i, 4) = AnnulusWeight(od, id, thick, MODEL.Rho, Evaluation::Entry);
    const float weight = MODEL.DISC(i, 4);
    if (MODEL.DISC(i, 5) == 0.0f) MODEL.DISC(i, 5) = DiscPolarMoment(od, id, weight);
    if (MODEL.DISC(i, 6) == 0.0f) MODEL.DISC(i, 6) = DiscTransverseMoment(od, id, thick, weight, Evaluation::Entry);
}

// Writes the row prompt of row i of a station table with rowFmt and reads
// the station and the row's values until the station fits the table.
template <class... Values>
void ReadStationRow(StationTable t, FormatText<int32_t> rowFmt, int i, Values&... values) {
    for (;;) {
        const int32_t row = i;
        Write(CONSOLE, rowFmt, row);
        int32_t station = StationOf(t, i);
        if (!ReadFiniteAnswer(station, values...)) continue;
        if (station >= StationLow(t, i) && station <= StationHigh(t, i)) {
            StationOf(t, i) = station;
            return;
        }
        RefuseStation(t, i);
    }
}

void PedestalRuleRefusal() {
    Write(CONSOLE, "(/,/,' A pedestal is only allowed at a bearing ','location.',/,' Please check your model !',/)");
    Write(CONSOLE, FREE, " Press <ENTER> to continue...");
    Write(CONSOLE, FREE, "       [CTRL -C] to STOP ....");
    WaitForLine();
}

void ClearModel() {
    MODEL.TITLE = Text50();
    MODEL.NSTA = MODEL.NDISC = MODEL.NBRG = MODEL.NPED = MODEL.NCM = 0;
    MODEL.IUNITS = 1;
    MODEL.ISPARE = 0;
    MODEL.NSPEED = 1;
    MODEL.SHAFT.clear();
    MODEL.DSTA.clear();
    MODEL.DISC.clear();
    MODEL.BSTA.clear();
    MODEL.BWT.clear();
    MODEL.PSTA.clear();
    MODEL.PWT.clear();
    MODEL.PEDC.clear();
    MODEL.WSTA.clear();
    MODEL.WWT.clear();
    MODEL.SPEED.clear();
    MODEL.BCOEF.clear();
    MODEL.UNBAMP.clear();
    MODEL.UNBPHS.clear();
    MODEL.E = MODEL.Rho = 0.0f;
}

}  // namespace

// ---------------------------------------------------------------------------
// Counts and stations.

Message RangeRefusal(const char* what, int n, int low, int high) {
    if (n >= low && n <= high) return {};
    return Message("(1X,' Refused : the number of ',A,' must lie between ',I*,' and ',I*)", what, low, high);
}

Message DiscCountRefusal(int n) { return PerStationRefusal("disc", "discs", n); }
Message BearingCountRefusal(int n) { return PerStationRefusal("bearing", "bearings", n); }
Message AddedWeightCountRefusal(int n) { return PerStationRefusal("extra weight", "extra weights", n); }

Message PedestalCountRefusal(int n) {
    Message msg = RangeRefusal("pedestals", n, 0, MAXROWS);
    if (!msg && n > MODEL.NBRG)
        msg = Message("(1X,' Refused : a pedestal stands under a bearing, and there are ',I*,' bearings')",
                      MODEL.NBRG);
    return msg;
}

namespace {
// Writes a prompt with writePrompt and reads the count until refusal accepts it.
template <class WritePrompt>
int ReadCount(WritePrompt writePrompt, int current, const CountCheck& refusal) {
    int32_t n = current;
    for (;;) {
        writePrompt();
        Read(CONSOLE, FREE, n);
        const Message msg = refusal(n);
        if (!msg) return n;
        msg.Write(CONSOLE);
    }
}
}  // namespace

int AskCount(FormatText<> prompt, int current, const CountCheck& refusal) {
    return ReadCount([&] { Write(CONSOLE, prompt); }, current, refusal);
}

int AskCountFree(const char* prompt, int current, const CountCheck& refusal) {
    return ReadCount([&] { Write(CONSOLE, FREE, prompt); }, current, refusal);
}

int StationCount(StationTable t) {
    switch (t) {
        case StationTable::Disc: return MODEL.NDISC;
        case StationTable::Bearing: return MODEL.NBRG;
        case StationTable::Pedestal: return MODEL.NPED;
        default: return MODEL.NCM;
    }
}

int& StationOf(StationTable t, int i) {
    switch (t) {
        case StationTable::Disc: return MODEL.DSTA(i);
        case StationTable::Bearing: return MODEL.BSTA(i);
        case StationTable::Pedestal: return MODEL.PSTA(i);
        default: return MODEL.WSTA(i);
    }
}

int StationLow(StationTable t, int i) { return i == 1 ? 1 : StationOf(t, i - 1) + 1; }

int StationHigh(StationTable t, int i) { return MODEL.NSTA - (StationCount(t) - i); }

bool StationsInOrder(StationTable t) {
    const int n = StationCount(t);
    if (n < 0 || n > MAXROWS || n > MODEL.NSTA) return false;
    for (int i = 1; i <= n; ++i)
        if (StationOf(t, i) < StationLow(t, i) || StationOf(t, i) > MODEL.NSTA) return false;
    return true;
}

void RefuseStation(StationTable t, int i) {
    FormatText<int32_t, int32_t, int32_t> fmt = FREE;
    switch (t) {
        case StationTable::Disc:
            fmt = "(2X,'Refused : Disc No.',I3,' must stand at a station from',I3,' to',I3)";
            break;
        case StationTable::Bearing:
            fmt = "(2X,'Refused : Bearing No.',I3,' must stand at a station from',I3,' to',I3)";
            break;
        case StationTable::Pedestal:
            fmt = "(2X,'Refused : Pedestal No.',I3,' must stand at a station from',I3,' to',I3)";
            break;
        default:
            fmt = "(2X,'Refused : Added weight No.',I3,' must stand at a station from',I3,' to',I3)";
            break;
    }
    const int32_t row = i, low = StationLow(t, i), high = StationHigh(t, i);
    Write(CONSOLE, fmt, row, low, high);
}

void RelocateRows(StationTable t, int first, int last) {
    FormatText<int32_t, int32_t> fmt = FREE;
    switch (t) {
        case StationTable::Disc:
            fmt = "(2X,'Old location of Disc No.',I3,' is',I3,/,2X,'Input New Location ... ')";
            break;
        case StationTable::Bearing:
            fmt = "(2X,'Old location of Bearing No.',I3,' is',I3,/,2X,'Input New Location ... ')";
            break;
        default:
            fmt = "(2X,'Old location of Pedestal No.',I3,' is',I3,/,2X,'Input New Location ... ')";
            break;
    }
    for (int i = first; i <= last; ++i) {
        for (;;) {
            const int32_t row = i;
            int32_t station = StationOf(t, i);
            Write(CONSOLE, fmt, row, station);
            Read(CONSOLE, FREE, station);
            if (station >= StationLow(t, i) && station <= StationHigh(t, i)) {
                StationOf(t, i) = station;
                break;
            }
            RefuseStation(t, i);
        }
    }
}

void EnsurePedestalRule() {
    if (PedestalsAtBearings(MODEL)) return;
    PedestalRuleRefusal();
    EnterPedestals();
}

void UpdateHaveUnbalance() {
    FRONT.HAVEUNB = 0;
    for (int i = 1; i <= MODEL.NSTA; ++i)
        if (MODEL.UNBAMP(i) != 0.0f) FRONT.HAVEUNB = 1;
}

// ---------------------------------------------------------------------------
// Sections.

void EnterMaterial() {
    do {
        Write(CONSOLE, "(' Material Properties :')");
        Write(CONSOLE, "(/,2X,'Modulus of',6X,'Weight',/,2X,'Elasticity',6X,'Density',/,6X,'E',13X,'Rho',/,2X)");
    } while (!ReadFiniteAnswer(MODEL.E, MODEL.Rho));
}

void EnterHeader() {
    for (;;) {
        Write(CONSOLE, "(2X,'Input title  .... ')");
        Read(CONSOLE, "(A50)", MODEL.TITLE);
        MODEL.NSTA = AskCount("(2X,'Number of stations......... NSTA = ')", MODEL.NSTA,
                              [](int n) { return RangeRefusal("stations", n, 2, MAXROWS); });
        MODEL.NDISC = AskCount("(2X,'Number of discs........... NDISC = ')", MODEL.NDISC,
                               [](int n) { return RangeRefusal("discs", n, 0, MAXROWS); });
        MODEL.NBRG = AskCount("(2X,'Number of bearings......... NBRG = ')", MODEL.NBRG,
                              [](int n) { return RangeRefusal("bearings", n, 0, MAXROWS); });
        MODEL.NPED = AskCount("(2X,'Number of pedestals........ NPED = ')", MODEL.NPED,
                              PedestalCountRefusal);
        if (2 * MODEL.NSTA + MODEL.NPED <= 2 * MAXROWS) break;
        Write(CONSOLE, FREE, " ** MODEL EXCEEDING ACTUAL LIMITS OF THE CODE **");
        Write(CONSOLE, FREE, " Press <Enter> to Continue ...");
        Write(CONSOLE, FREE, "       [Ctrl -C] to STOP .....");
        WaitForLine();
    }
    FitCountsToStations();
    MODEL.NCM =
        AskCount("(2X,'Number of extra weights..... NCM = ')", MODEL.NCM, AddedWeightCountRefusal);
    MODEL.IUNITS = 1;  // keyboard models are always in English units
    MODEL.ISPARE = 0;
    EnterMaterial();
    Write(CONSOLE, "(/,5X,'** INPUT THE FOLLOWING IN THE ORDER SHOWN **',/)");
    FRONT.SAVED = 0;
}

void EnterShaftElements() {
    Write(CONSOLE, "(10X,'Shaft elements data :')");
    Write(CONSOLE, "(' Element',6X,'O.D',10X,'I.D',8X,'Length',3X,'Inertia',8X,'Weight')");
    for (int i = 1; i <= MODEL.NSTA - 1; ++i) {
        const int32_t row = i;
        do {
            Write(CONSOLE, "(3X,'#',I3,5X)", row);
        } while (!ReadFiniteAnswer(MODEL.SHAFT(i, 1), MODEL.SHAFT(i, 2), MODEL.SHAFT(i, 3), MODEL.SHAFT(i, 4),
                                   MODEL.SHAFT(i, 5)));
        CompleteElement(i);
    }
    FRONT.SAVED = 0;
}

void EnterDiscs() {
    Write(CONSOLE, "(/,10X,'Discs data :')");
    Write(CONSOLE, "(' Disc',2X,'Node',4X,'O.D',7X,'I.D',7X,'Thickness',2X,'Weight',4X,'Polar',5X,'Transverse')");
    for (int i = 1; i <= MODEL.NDISC; ++i) {
        ReadStationRow(StationTable::Disc, "(1X,'#',I2,5X)", i, MODEL.DISC(i, 1), MODEL.DISC(i, 2),
                       MODEL.DISC(i, 3), MODEL.DISC(i, 4), MODEL.DISC(i, 5), MODEL.DISC(i, 6));
        CompleteDisc(i);
    }
    FRONT.SAVED = 0;
}

void EnterBearings() {
    Write(CONSOLE, "(/,10X,'Bearings data :')");
    Write(CONSOLE, "(' Bearing',2X,'Node Location',3X,'Weight')");
    for (int i = 1; i <= MODEL.NBRG; ++i)
        ReadStationRow(StationTable::Bearing, "(4X,'#',I2,'.',11X)", i, MODEL.BWT(i));
    FRONT.SAVED = 0;
}

void EnterPedestals() {
    for (;;) {
        Write(CONSOLE, "(/,10X,'Pedestals data :')");
        Write(CONSOLE, "(' Pedestal',2X,'Node Location',3X,'Weight')");
        for (int i = 1; i <= MODEL.NPED; ++i)
            ReadStationRow(StationTable::Pedestal, "(4X,'#',I2,'.',12X)", i, MODEL.PWT(i));
        if (PedestalsAtBearings(MODEL)) break;
        PedestalRuleRefusal();
    }
    FRONT.SAVED = 0;
}

void EnterPedestalCoefficients() {
    Write(CONSOLE, "(/,' * Pedestals Stiffness and Damping Coefficients *',/)");
    Write(CONSOLE, "(' Pedestal No.',3X,'Kxx',10X,'Kyy',15X,'Cxx',10X,'Cyy')");
    for (int i = 1; i <= MODEL.NPED; ++i) {
        const int32_t row = i;
        do {
            Write(CONSOLE, "(10X,I2,'.',2X)", row);
        } while (!ReadFiniteAnswer(MODEL.PEDC(i, 1), MODEL.PEDC(i, 2), MODEL.PEDC(i, 3), MODEL.PEDC(i, 4)));
    }
    FRONT.SAVED = 0;
}

void EnterAddedWeights() {
    Write(CONSOLE, "(/,10X,'Added  weights data :')");
    Write(CONSOLE, "(' Added ',4X,'Node',/,'   Weight',4X,'Location',5X,'Weight')");
    for (int i = 1; i <= MODEL.NCM; ++i)
        ReadStationRow(StationTable::AddedWeight, "(1X,'#',I2,8X)", i, MODEL.WWT(i));
    FRONT.SAVED = 0;
}

void EnterBearingCoefficients() {
    for (;;) {
        Write(CONSOLE, "(/,'** Bearing properties speed dependent ? Y/N > ')");
        AskYesNo();
        if (FRONT.ANS == "N") {
            MODEL.NSPEED = 1;
            break;
        }
        if (FRONT.ANS == "Y") {
            MODEL.NSPEED = AskCount("(/,' Number of data_sets ? (# of speeds) N = ')", MODEL.NSPEED,
                                    [](int n) { return RangeRefusal("data sets", n, 1, MAXROWS); });
            break;
        }
    }
    Write(CONSOLE, FREE, "Input Bearing Coeff. Stiffness [ S ] & Damping [ C ]");
    for (int j = 1; j <= MODEL.NSPEED; ++j) {
        const int32_t set = j;
        if (MODEL.NSPEED != 1) {
            Write(CONSOLE, "(/,2X,'Data for speed # ',I2)", set);
            for (;;) {
                Write(CONSOLE, "(/,2X,'SPEED(',I2,') [ RPM ] = ')", set);
                if (!ReadFiniteAnswer(MODEL.SPEED(j))) continue;
                // The coefficients are fitted by splines over the speeds.
                if (j == 1 || MODEL.SPEED(j) > MODEL.SPEED(j - 1)) break;
                Write(CONSOLE, "(2X,'Refused : the speed must be above SPEED(',I2,') =',F10.1,' RPM')", set - 1,
                      MODEL.SPEED(j - 1));
            }
        }
        for (int i = 1; i <= MODEL.NBRG; ++i) {
            const int32_t brg = i;
            do {
                Write(CONSOLE, "(/,' Bearing #',I2,2X,'Sxx',10X,'Sxy',20X,'Cxx',10X,'Cxy',/,14X)", brg);
            } while (!ReadFiniteAnswer(MODEL.BCOEF(j, i, 1), MODEL.BCOEF(j, i, 2), MODEL.BCOEF(j, i, 5),
                                       MODEL.BCOEF(j, i, 6)));
            do {
                Write(CONSOLE, "(14X,'Syx',10X,'Syy',20X,'Cyx',10X,'Cyy',/,14X)");
            } while (!ReadFiniteAnswer(MODEL.BCOEF(j, i, 3), MODEL.BCOEF(j, i, 4), MODEL.BCOEF(j, i, 7),
                                       MODEL.BCOEF(j, i, 8)));
        }
    }
    FRONT.SAVED = 0;
}

void EnterUnbalance() {
    Write(CONSOLE, "(' UNBALANCE DATA :',/)");
    Write(CONSOLE, "(' Station    Amplitude [in-lb]    Phase [degrees]')");
    for (int i = 1; i <= MODEL.NSTA; ++i) {
        const int32_t station = i;
        do {
            Write(CONSOLE, "(2X,'#',I3,' >',3X)", station);
        } while (!ReadFiniteAnswer(MODEL.UNBAMP(i), MODEL.UNBPHS(i)));
    }
    UpdateHaveUnbalance();
    FRONT.SAVED = 0;
}

void RunFullEntry(int first) {
    if (first <= 1) EnterHeader();
    if (first <= 2) EnterShaftElements();
    if (first <= 3) EnterDiscs();
    if (first <= 4) EnterBearings();
    if (first <= 6 && MODEL.NPED != 0) {
        EnterPedestals();
        EnterPedestalCoefficients();
    }
    if (MODEL.NCM != 0) EnterAddedWeights();
    EnterBearingCoefficients();
    FRONT.HAVEDATA = 1;
    if (OPTS.MAINOPT == 5)
        EnterUnbalance();
    else
        UpdateHaveUnbalance();
}

void KeyboardEntry() {
    // A new model: nothing of the one in memory is carried into it.
    ClearModel();
    RunFullEntry(1);
}
