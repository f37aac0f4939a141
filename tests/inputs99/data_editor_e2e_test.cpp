// The data editor through the real program: options that change nothing,
// the station-count cascade with and without new counts, the relocation
// prompts, the pedestal-at-bearing rule after every change that can break
// it, refused counts, and the save required before a run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/inputs99/entry_test_support.h"
#include "tests/support/session.h"

using namespace entry_test;

namespace {

const double PI = 3.14159265358979323846;

// Three stations, a disc at 2, bearings at 1 and 3, a pedestal under the
// bearing at 3, constant coefficients, no unbalance.
const char* const ROTOR =
    "Editor rotor\n"
    "3 1 2 1 0\n"
    "1 0\n"
    "2 0 5 0 4.4\n"
    "2 0 5 0 4.4\n"
    "2 10 0 1 22 270 140\n"
    "1 .5\n"
    "3 .5\n"
    "3 10\n"
    "1e6 1e6 10 10\n"
    "3e7 .283\n"
    "1\n"
    "0\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1 0 0\n"
    "2 0 0\n"
    "3 0 0\n";

// The same rotor with an added weight at station 3.
const char* const ROTOR_WEIGHT =
    "Weighted rotor\n"
    "3 1 2 1 1\n"
    "1 0\n"
    "2 0 5 0 4.4\n"
    "2 0 5 0 4.4\n"
    "2 10 0 1 22 270 140\n"
    "1 .5\n"
    "3 .5\n"
    "3 10\n"
    "1e6 1e6 10 10\n"
    "3 2.5\n"
    "3e7 .283\n"
    "1\n"
    "0\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1 0 0\n"
    "2 0 0\n"
    "3 0 0\n";

// Three bearings, one at every station, nothing else.
const char* const ROTOR_BEARINGS =
    "Bearing rotor\n"
    "3 0 3 0 0\n"
    "1 0\n"
    "2 0 5 0 4.4\n"
    "2 0 5 0 4.4\n"
    "1 .5\n"
    "2 .5\n"
    "3 .5\n"
    "3e7 .283\n"
    "1\n"
    "0\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1e5 0 0 1e5 10 0 0 10\n"
    "1 0 0\n"
    "2 0 0\n"
    "3 0 0\n";

const char* const EDITOR_TITLE = "                   E D I T O R   O P T I O N S";
const char* const DATA_MENU_TITLE = "                   D A T A    M E N U";

// Main menu option, file input of rotor.dat, data menu 4 (the editor).
Typed OpenEditor(int mainOption) {
    Typed t;
    t << mainOption;
    if (mainOption == 1) t << "";
    t << 1 << 1 << "rotor.dat" << 4;
    return t;
}

SessionSetup WithModel(const char* model = ROTOR) {
    SessionSetup setup;
    setup.files["rotor.dat"] = model;
    return setup;
}

// Leave the editor, save as out.dat, leave the program.
void ExitSaveAndStop(Typed& t) { t << 16 << 3 << "out.dat" << 6 << 8; }

TEST(DataEditor, SameStationCountChangesNothingAndSaveIsRequired) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 3;          // the current count
    t << 16 << 5 << "";          // run refused until saved
    t << 3 << "out.dat" << 6 << 8;
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        EDITOR_TITLE,
        " Number of stations ........ =  3",
        "  Change Number of Stations ? Y/N >",
        "  Enter Number of Stations ...",
        EDITOR_TITLE,
        DATA_MENU_TITLE,
        " Please Save Your Input Data First !",
        "Press <Enter> to continue ...",
        " Input Save Data Filename >",
    }));
    EXPECT_EQ(CountOccurrences(s.out, "SHOULD ALSO UPDATE"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "E D I T O R   O P T I O N S"), 2);
    EXPECT_EQ(CountOccurrences(s.out, "CHANGED DATA WAS NOT SAVED"), 0);  // saved before the exit
    SavedModel before = ReadSavedModel(ROTOR), after = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(before.complete);
    ASSERT_TRUE(after.complete);
    EXPECT_EQ(after.title, before.title);
    EXPECT_EQ(after.nsta, 3);
    EXPECT_EQ(after.shaft, before.shaft);
    EXPECT_EQ(after.disc, before.disc);
    EXPECT_EQ(after.dsta, before.dsta);
    EXPECT_EQ(after.bsta, before.bsta);
    EXPECT_EQ(after.psta, before.psta);
    EXPECT_EQ(after.pedc, before.pedc);
    EXPECT_EQ(after.bcoef, before.bcoef);
    EXPECT_EQ(after.unbamp, before.unbamp);
}

// New station count, same counts of discs, bearings and pedestals: every
// location is asked again; under main-menu 1 there is no unbalance reminder.
TEST(DataEditor, CascadeKeepingCountsRelocatesEverything) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 4;
    t << "2 0 4 0 0" << "2 0 4 0 0" << "2 0 4 0 0";
    t << "x" << "n" << 3;           // discs: other answer asks again; keep; disc to 3
    t << "n" << 1 << 5 << 4;        // bearings: station 5 refused, then 4
    t << "n" << 4;                  // pedestal under the bearing at 4
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        "  SHOULD ALSO UPDATE THE FOLLOWING :",
        "         Shaft elements data :",
        "  #  3",
        " Number of discs ........... =  1",
        "  Change Number of Discs ? Y/N >",
        "  Change Number of Discs ? Y/N >",
        " Old location of Disc No.  1 is  2",
        " Input New Location ...",
        " Number of bearings ........ =  2",
        "  Change Number of Bearings ? Y/N >",
        " Old location of Bearing No.  1 is  1",
        " Old location of Bearing No.  2 is  3",
        " Refused : Bearing No.  2 must stand at a station from  2 to  4",
        " Old location of Bearing No.  2 is  3",
        " Number of pedestals ....... =  1",
        "  Change Number of Pedestals ? Y/N >",
        " Old location of Pedestal No.  1 is  3",
        EDITOR_TITLE,
    }));
    EXPECT_EQ(CountLines(lines, " Number of discs ........... =  1"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "Unbalance data should be updated"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "Discs data :"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "A pedestal is only allowed"), 0);
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 4);
    ASSERT_EQ(m.shaft.size(), 3u);
    EXPECT_TRUE(Near7(m.shaft[2][4], PI / 4 * 4 * 4 * 0.283));  // weight computed from the file's Rho
    EXPECT_EQ(m.dsta, (std::vector<int>{3}));
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 4}));
    EXPECT_EQ(m.psta, (std::vector<int>{4}));
    EXPECT_EQ(m.unbamp, (std::vector<double>{0, 0, 0, 0}));
}

// New station count and new counts: the tables are entered again with the
// sections of keyboard entry; under main-menu 5 the cascade ends with the
// unbalance reminder and its wait.
TEST(DataEditor, CascadeWithNewCountsUnderUnbalance) {
    Typed t = OpenEditor(5);
    t << 2 << "y" << 5;
    for (int i = 0; i < 4; ++i) t << "2 0 3 0 1";
    t << "y" << 2 << "2 8 0 1 0 0 0" << "4 8 0 1 0 0 0";
    t << "y" << 3 << "1 .5" << "3 .5" << "5 .5";
    t << "n";
    for (int i = 0; i < 3; ++i) t << "2e5 0 5 0" << "0 2e5 0 5";
    t << "y" << 2 << "3 10" << "5 10" << "1e6 1e6 1 1" << "2e6 2e6 2 2";
    t << "";  // the reminder's wait
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        "  SHOULD ALSO UPDATE THE FOLLOWING :",
        "         Shaft elements data :",
        " Number of discs ........... =  1",
        "  Change Number of Discs ? Y/N >",
        "  Enter Number of Discs ...",
        "         Discs data :",
        "# 2",
        " Number of bearings ........ =  2",
        "  Enter Number of Bearings ...",
        "         Bearings data :",
        "   # 3.",
        "* Bearing properties speed dependent ? Y/N >",
        "Bearing # 3  Sxx          Sxy                    Cxx          Cxy",
        " Number of pedestals ....... =  1",
        "  Enter Number of Pedestals ...",
        "         Pedestals data :",
        "* Pedestals Stiffness and Damping Coefficients *",
        "          2.",
        "  Unbalance data should be updated",
        "  Press <Return> to continue ...",
        EDITOR_TITLE,
    }));
    EXPECT_EQ(CountOccurrences(s.out, "Old location"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "Unbalance data should be updated"), 1);
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 5);
    EXPECT_EQ(m.ndisc, 2);
    EXPECT_EQ(m.nbrg, 3);
    EXPECT_EQ(m.nped, 2);
    EXPECT_EQ(m.dsta, (std::vector<int>{2, 4}));
    const double w = PI / 4 * 64 * 1 * 0.283;
    EXPECT_TRUE(Near7(m.disc[1][3], w));
    EXPECT_TRUE(Near7(m.disc[1][4], 64 * w * 0.125));
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(m.psta, (std::vector<int>{3, 5}));
    EXPECT_TRUE(Near7(m.pedc[1][0], 2e6));
    EXPECT_TRUE(Near7(m.bcoef[0][2][3], 2e5));  // Syy of bearing 3
    EXPECT_EQ(m.unbamp, (std::vector<double>{0, 0, 0, 0, 0}));
}

// Option 8: a pedestal moved off the bearings brings the rule's message,
// the wait and the pedestal section until the rule holds. Leaving the
// program unsaved asks about the changed data.
TEST(DataEditor, PedestalMovedOffBearingAskedAgain) {
    Typed t = OpenEditor(1);
    t << 8 << 4 << 2;  // station 4 does not exist; station 2 has no bearing
    t << "" << "3 12";
    t << 16 << 6 << 8 << "n";
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        " Old location of Pedestal No.  1 is  3",
        " Input New Location ...",
        " Refused : Pedestal No.  1 must stand at a station from  1 to  3",
        " Old location of Pedestal No.  1 is  3",
        "A pedestal is only allowed at a bearing location.",
        "Please check your model !",
        " Press <ENTER> to continue...",
        "       [CTRL -C] to STOP ....",
        "         Pedestals data :",
        "Pedestal  Node Location   Weight",
        "   # 1.",
        EDITOR_TITLE,
        "CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >",
        " done ...",
    }));
    EXPECT_EQ(CountLines(lines, "A pedestal is only allowed at a bearing location."), 1);
    EXPECT_EQ(CountOccurrences(s.out, "Pedestals data :"), 1);
}

// Counts typed in the editor that the model cannot hold are refused, and a
// changed count is followed by the checks it calls for: bearings and discs
// located again when out of order, the pedestal rule after bearing and
// pedestal changes. Option 13 offers the material screen.
TEST(DataEditor, RefusedCountsAndChecksAfterCountChanges) {
    Typed t = OpenEditor(2);
    t << 5 << 0 << 4 << 1;       // fewer than the pedestals, more than the stations, then 1
    t << "" << "1 10";           // the pedestal at 3 lost its bearing: rule, section 5
    t << 7 << 2 << 1;            // more pedestals than bearings, then the same count
    t << 5 << 2;                 // the second bearing comes back at its old station 3
    t << 7 << 2 << "" << "1 10" << "3 11";  // the new pedestal row is not at a bearing
    t << 2 << "y" << 99 << 3;    // 2 x 99 + 2 pedestals exceeds 198; then the current count
    t << 3 << 4 << 2 << 1 << 3;  // discs: more than the stations; the new disc is located
    t << 13 << "3.1e7 0.3";
    t << 1 << "x" << "y" << "Edited rotor";
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_EQ(CountOccurrences(s.out, "every pedestal needs a bearing"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "at most one bearing per station"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "a pedestal stands under a bearing"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "2 x stations + pedestals would exceed 198"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "at most one disc per station"), 1);
    EXPECT_EQ(CountLines(lines, "A pedestal is only allowed at a bearing location."), 2);
    EXPECT_EQ(CountOccurrences(s.out, "SHOULD ALSO UPDATE"), 0);
    EXPECT_TRUE(InOrder(lines, {
        " Number of discs ........... =  1",
        "  Input New Number of Discs ...",
        "  Input New Number of Discs ...",
        " The discs are not at ascending stations: please locate them again",
        " Old location of Disc No.  1 is  2",
        " Old location of Disc No.  2 is  0",
        "Material Properties :",
        " Current title is : Editor rotor",
        " Change the title ? Y/N >",
        " Current title is : Editor rotor",
        " Change the title ? Y/N >",
        "  Input New Title ...",
    }));
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.title, "Edited rotor");
    EXPECT_EQ(m.nsta, 3);
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 3}));
    EXPECT_EQ(m.psta, (std::vector<int>{1, 3}));
    EXPECT_EQ(m.pwt, (std::vector<double>{10, 11}));
    EXPECT_EQ(m.dsta, (std::vector<int>{1, 3}));
    EXPECT_TRUE(Near7(m.E, 3.1e7));
    EXPECT_TRUE(Near7(m.Rho, 0.3));
}

// A cascade that removes the pedestals goes on as a full entry and ends in
// the data menu, not in the editor.
TEST(DataEditor, CascadeWithoutPedestalsEndsInDataMenu) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 4;
    t << "2 0 4 0 1" << "2 0 4 0 1" << "2 0 4 0 1";
    t << "n" << 3 << "n" << 1 << 4;
    t << "y" << 0;
    t << "n" << "3e5 0 1 0" << "0 3e5 0 1" << "3e5 0 1 0" << "0 3e5 0 1";
    t << 3 << "out.dat" << 6 << 8;
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    const int question = FindLine(lines, "* Bearing properties speed dependent ? Y/N >");
    ASSERT_GE(question, 0);
    EXPECT_GT(FindLine(lines, DATA_MENU_TITLE, question), question);
    EXPECT_EQ(FindLine(lines, EDITOR_TITLE, question), -1);
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 4);
    EXPECT_EQ(m.nped, 0);
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 4}));
    EXPECT_TRUE(Near7(m.bcoef[0][1][0], 3e5));
}

// Added weights are not part of the cascade; when the stations shrink under
// them they are entered again.
TEST(DataEditor, CascadeShrinkingUnderAddedWeight) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 2 << "2 0 4 0 1";
    t << "n" << 2;           // the disc stays at station 2
    t << "n" << 1 << 2;      // the bearings at both ends
    t << "n" << 2;           // the pedestal under the bearing at 2
    t << 1 << "1 2.5";       // the added weight at station 1
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel(ROTOR_WEIGHT));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(ScreenLines(s), {
        " Old location of Pedestal No.  1 is  3",
        " The added weights do not fit the new stations: please enter them again",
        " Number of extra weights..... NCM =",
        "         Added  weights data :",
        "# 1",
        EDITOR_TITLE,
    }));
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 2);
    EXPECT_EQ(m.dsta, (std::vector<int>{2}));
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 2}));
    EXPECT_EQ(m.psta, (std::vector<int>{2}));
    EXPECT_EQ(m.wsta, (std::vector<int>{1}));
    EXPECT_EQ(m.unbamp.size(), 2u);
}

// Keeping a count that no longer fits the new stations is refused and the
// question is asked again.
TEST(DataEditor, CascadeRefusesKeepingTooManyBearings) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 2 << "2 0 10 0 1";
    t << "n";                               // no discs
    t << "n" << "y" << 2 << "1 .5" << "2 .5";  // three bearings cannot stay at two stations
    t << "n" << "1e5 0 1 0" << "0 1e5 0 1" << "2e5 0 1 0" << "0 2e5 0 1";
    t << "n";                               // no pedestals
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel(ROTOR_BEARINGS));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(ScreenLines(s), {
        " Number of bearings ........ =  3",
        "  Change Number of Bearings ? Y/N >",
        " Refused : at most one bearing per station, and there are 2 stations",
        "  Change Number of Bearings ? Y/N >",
        "  Enter Number of Bearings ...",
        "         Bearings data :",
        " Number of pedestals ....... =  0",
        EDITOR_TITLE,
    }));
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 2);
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 2}));
    EXPECT_TRUE(Near7(m.bcoef[0][1][0], 2e5));
}

}  // namespace
