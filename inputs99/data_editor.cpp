// The data editor: changes one item of the model in memory at a time, and
// after a change of the number of stations walks the user through every
// table that depends on it (the cascade).
//
// Counts typed here are held to the same limits as at keyboard entry, the
// stations typed to 1..NSTA in ascending order, and the pedestal-at-bearing
// rule is tested after every change that can break it.
#include <cstdint>

#include "model/analysis_options.h"
#include "inputs99/entry_sections.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

bool AnswerIs(const char* a) { return FRONT.ANS == a; }

// The counts as the editor shows them.
constexpr FormatText<int32_t> DISC_COUNT = "(2X,'Number of discs ........... = ',I2)";
constexpr FormatText<int32_t> BEARING_COUNT = "(2X,'Number of bearings ........ = ',I2)";
constexpr FormatText<int32_t> PEDESTAL_COUNT = "(2X,'Number of pedestals ....... = ',I2)";

// The size limit of the system matrices, on top of the count checks shared
// with keyboard entry.
Message SizeRefusal() {
    return Message("(1X,' Refused : 2 x stations + pedestals would exceed 198, the limit of the code')");
}

Message PedestalCountOrSizeRefusal(int n) {
    Message msg = PedestalCountRefusal(n);
    if (!msg && 2 * MODEL.NSTA + n > 2 * MAXROWS) msg = SizeRefusal();
    return msg;
}

Message StationCountRefusal(int n) {
    Message msg = RangeRefusal("stations", n, 2, MAXROWS);
    if (!msg && 2 * n + MODEL.NPED > 2 * MAXROWS) msg = SizeRefusal();
    return msg;
}

// A table whose count grew holds old rows that may not fit the stations:
// then every row of it is located again.
void RelocateIfOutOfOrder(StationTable t, const char* what) {
    if (StationsInOrder(t)) return;
    Write(CONSOLE, FREE, " The ", what, " are not at ascending stations: please locate them again");
    RelocateRows(t, 1, StationCount(t));
}

void EditTitle() {
    for (;;) {
        Write(CONSOLE, "(2X,'Current title is : ',A50,/,2X,'Change the title ? Y/N > ')", MODEL.TITLE);
        AskYesNo();
        if (AnswerIs("Y")) {
            Write(CONSOLE, FREE, "  Input New Title ... ");
            Read(CONSOLE, "(A50)", MODEL.TITLE);
            return;
        }
        if (AnswerIs("N")) return;
    }
}

void EditDiscCount() {
    Write(CONSOLE, DISC_COUNT, MODEL.NDISC);
    MODEL.NDISC = AskCountFree("  Input New Number of Discs ... ", MODEL.NDISC, DiscCountRefusal);
    RelocateIfOutOfOrder(StationTable::Disc, "discs");
}

void EditBearingCount() {
    Write(CONSOLE, BEARING_COUNT, MODEL.NBRG);
    MODEL.NBRG = AskCountFree("  Input New Number of Bearings ... ", MODEL.NBRG, [](int n) {
        Message msg = BearingCountRefusal(n);
        if (!msg && n < MODEL.NPED)
            msg = Message("(1X,' Refused : every pedestal needs a bearing; there are ',I*,' pedestals')", MODEL.NPED);
        return msg;
    });
    RelocateIfOutOfOrder(StationTable::Bearing, "bearings");
    EnsurePedestalRule();
}

void EditPedestalCount() {
    Write(CONSOLE, PEDESTAL_COUNT, MODEL.NPED);
    MODEL.NPED =
        AskCountFree("  Input New Number of Pedestals ... ", MODEL.NPED, PedestalCountOrSizeRefusal);
    EnsurePedestalRule();
}

// Cascade question on a count: "Y" asks the new count, "N" keeps the current
// one if it still fits; other answers ask the question again.
int AskChangedCount(const char* question, const char* enterPrompt, int current, const CountCheck& refusal) {
    for (;;) {
        Write(CONSOLE, FREE, question);
        AskYesNo();
        if (AnswerIs("Y")) return AskCountFree(enterPrompt, current, refusal);
        if (AnswerIs("N")) {
            const Message msg = refusal(current);
            if (!msg) return current;
            msg.Write(CONSOLE);
        }
    }
}

// The added weights are not part of the cascade; when they no longer fit
// the new stations they are entered again.
void RefitAddedWeights(bool rowsFollow) {
    if (StationsInOrder(StationTable::AddedWeight)) return;
    Write(CONSOLE, FREE, " The added weights do not fit the new stations: please enter them again");
    MODEL.NCM =
        AskCount("(2X,'Number of extra weights..... NCM = ')", MODEL.NCM, AddedWeightCountRefusal);
    if (!rowsFollow && MODEL.NCM != 0) EnterAddedWeights();
}

// A count of the cascade: shown, and asked again when the user wants to
// change it. True when it changed.
bool CascadeCount(FormatText<int32_t> shown, int& count, const char* question, const char* enterPrompt,
                  const CountCheck& refusal) {
    Write(CONSOLE, shown, count);
    const int n = AskChangedCount(question, enterPrompt, count, refusal);
    if (n == count) return false;
    count = n;
    return true;
}

// The cascade after a change of NSTA. Returns true when it ended as a full
// entry, which leads to the data menu instead of the editor menu.
bool RunCascade() {
    EnterShaftElements();
    // Discs and bearings: entered anew with a new count, else located again.
    if (CascadeCount(DISC_COUNT, MODEL.NDISC, "  Change Number of Discs ? Y/N > ", "  Enter Number of Discs ... ",
                     DiscCountRefusal))
        EnterDiscs();
    else
        RelocateRows(StationTable::Disc, 1, MODEL.NDISC);
    if (CascadeCount(BEARING_COUNT, MODEL.NBRG, "  Change Number of Bearings ? Y/N > ",
                     "  Enter Number of Bearings ... ", BearingCountRefusal)) {
        EnterBearings();
        EnterBearingCoefficients();
    } else {
        RelocateRows(StationTable::Bearing, 1, MODEL.NBRG);
    }
    // The bearings may have moved: the pedestal step ends with the
    // pedestal-at-bearing rule holding in every branch. Without pedestals
    // the entry goes on as a full entry.
    if (!CascadeCount(PEDESTAL_COUNT, MODEL.NPED, "  Change Number of Pedestals ? Y/N > ",
                      "  Enter Number of Pedestals ... ", PedestalCountOrSizeRefusal)) {
        RelocateRows(StationTable::Pedestal, 1, MODEL.NPED);
        EnsurePedestalRule();
    } else if (MODEL.NPED == 0) {
        RefitAddedWeights(true);
        RunFullEntry(7);
        return true;
    } else {
        EnterPedestals();
        EnterPedestalCoefficients();
    }
    // Added weights that no longer fit, and the reminder of the unbalance.
    RefitAddedWeights(false);
    if (OPTS.MAINOPT == 5) {
        Write(CONSOLE, FREE, "  Unbalance data should be updated ");
        Write(CONSOLE, FREE, "  Press <Return> to continue ... ");
        Read(CONSOLE, FREE);
    }
    return false;
}

// Option 2. Returns true when the cascade ended in the data menu.
bool EditStationCount() {
    for (;;) {
        Write(CONSOLE, "(2X,'Number of stations ........ = ',I2)", MODEL.NSTA);
        Write(CONSOLE, FREE, "  Change Number of Stations ? Y/N > ");
        AskYesNo();
        if (AnswerIs("N")) return false;
        if (AnswerIs("Y")) break;
    }
    const int n = AskCountFree("  Enter Number of Stations ... ", MODEL.NSTA, StationCountRefusal);
    if (n == MODEL.NSTA) return false;
    const int old = MODEL.NSTA;
    MODEL.NSTA = n;
    // Stations beyond the old end carry no unbalance until it is entered.
    for (int i = old + 1; i <= n; ++i) {
        MODEL.UNBAMP(i) = 0.0f;
        MODEL.UNBPHS(i) = 0.0f;
    }
    UpdateHaveUnbalance();
    Write(CONSOLE, FREE, "  SHOULD ALSO UPDATE THE FOLLOWING :");
    return RunCascade();
}

// One change of editor option `option`. False when the editor is left:
// after a cascade that ended as a full entry, after the full entry of option
// 15, and at option 16.
bool EditItem(int option) {
    switch (option) {
        case 1: EditTitle(); return true;
        case 2: return !EditStationCount();
        case 3: EditDiscCount(); return true;
        case 4: RelocateRows(StationTable::Disc, 1, MODEL.NDISC); return true;
        case 5: EditBearingCount(); return true;
        case 6:
            RelocateRows(StationTable::Bearing, 1, MODEL.NBRG);
            EnsurePedestalRule();
            return true;
        case 7: EditPedestalCount(); return true;
        case 8:
            RelocateRows(StationTable::Pedestal, 1, MODEL.NPED);
            EnsurePedestalRule();
            return true;
        case 9: EnterShaftElements(); return true;
        case 10: EnterDiscs(); return true;
        case 11: EnterBearingCoefficients(); return true;
        case 12: EnterPedestalCoefficients(); return true;
        // The material screen of keyboard entry, so E and Rho can be
        // corrected without re-entering the whole model.
        case 13: EnterMaterial(); return true;
        case 14: EnterUnbalance(); return true;
        case 15: RunFullEntry(1); return false;
        default: return false;
    }
}

}  // namespace

void DataEditor() {
    do {
        FRONT.SAVED = 0;
        Write(CONSOLE,
              "(/,/,20X,'E D I T O R   O P T I O N S',/,20X,'---------------------------',/,1X,' 1. Title',/,1X,"
              "' 2. Number of Stations',/,1X,' 3. Number of Discs',/,1X,' 4. Disc Nodal Location',/,1X,"
              "' 5. Number of Bearings',/,1X,' 6. Bearing Nodal Location',/,1X,' 7. Number of Pedestals',/,1X,"
              "' 8. Pedestal Bearing Location',/,1X,' 9. Shaft element data',/,1X,'10. Disc data',/,1X,"
              "'11. Bearing Coefficients',/,1X,'12. Pedestal Coefficients',/,1X,'13. Material Properties',/,1X,"
              "'14. Unbalance Data',/,1X,'15. ALL of the above',/,1X,'16. Exit Editor',/,/)");
        ChooseOption(FRONT.EDITOPT, 1, 16);
    } while (EditItem(FRONT.EDITOPT));
}
