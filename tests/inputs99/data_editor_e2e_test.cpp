// The data editor through the real program: the station-count cascade with
// and without new counts, the relocation prompts, the pedestal-at-bearing
// rule after every change that can break it, refused counts, and the save
// required before a run.
#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

const double PI = 3.14159265358979323846;
const std::string kCoefficients = "1e5 0 0 1e5 10 0 0 10\n";

// Three stations, a disc at 2, bearings at 1 and 3, a pedestal under the
// bearing at 3, constant coefficients, no unbalance.
const std::string kRotor = "Editor rotor\n3 1 2 1 0\n1 0\n2 0 5 0 4.4\n2 0 5 0 4.4\n2 10 0 1 22 270 140\n1 .5\n3 .5\n"
                           "3 10\n1e6 1e6 10 10\n3e7 .283\n1\n0\n" +
                           kCoefficients + kCoefficients + "1 0 0\n2 0 0\n3 0 0\n";

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

SessionSetup WithModel(const std::string& model = kRotor) {
    SessionSetup setup;
    setup.files["rotor.dat"] = model;
    return setup;
}

// Leave the editor, save as out.dat, leave the program.
void ExitSaveAndStop(Typed& t) { t << 16 << 3 << "out.dat" << 6 << 8; }

// The same station count changes nothing; option 8 moving the pedestal off
// the bearings brings the rule's message and the pedestal section until the
// rule holds. A run is refused until the model is saved, and leaving the
// program asks about the changed data (another answer asks again; only the
// first character of the answer counts).
TEST(DataEditor, PedestalRuleSaveBeforeRunAndChangedDataAtExit) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 3;                      // the current count
    t << 8 << 4 << 2 << "" << "3 12";        // station 4 does not exist; station 2 has no bearing
    t << 16 << 5 << "" << 6 << 8;            // run refused, then the exit
    Session s = RunKorvo(t.text + "x\nyes\nout.dat\n6\n8\n", WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(s, {
        " Number of stations ........ =  3", "  Enter Number of Stations ...", EDITOR_TITLE,
        " Refused : Pedestal No.  1 must stand at a station from  1 to  3", " Old location of Pedestal No.  1 is  3",
        "A pedestal is only allowed at a bearing location.", "Please check your model !",
        " Press <ENTER> to continue...", "       [CTRL -C] to STOP ....", "         Pedestals data :", "   # 1.",
        EDITOR_TITLE, DATA_MENU_TITLE, " Please Save Your Input Data First !", "Press <Enter> to continue ...",
        "CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >", "CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >",
        " Input Save Data Filename >", DATA_MENU_TITLE, " done ..."}));
    EXPECT_EQ(Count(s, "SHOULD ALSO UPDATE"), 0);
    EXPECT_EQ(Count(s, "A pedestal is only allowed") + Count(s, "CHANGED DATA WAS NOT SAVED"), 1 + 2);
    std::string edited = kRotor;
    edited.replace(edited.find("\n3 10\n"), 6, "\n3 12\n");
    EXPECT_EQ(Numbers(s.file("out.dat")), Numbers(edited));

    // Answering N ends the run without saving.
    Session n = RunKorvo(t.text + "No way\n", WithModel());
    EXPECT_EQ(n.status, 0);
    EXPECT_NE(n.out.find("CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >\r\n done ...\r\n"), std::string::npos);
    EXPECT_FALSE(n.exists("out.dat"));
}

// New station count, same counts of discs, bearings and pedestals: every
// location is asked again; under main-menu 1 there is no unbalance reminder.
// A cascade that removes the pedestals instead goes on as a full entry and
// ends in the data menu, not in the editor.
TEST(DataEditor, CascadeKeepingCountsRelocatesEverything) {
    Typed t = OpenEditor(1);
    t << 2 << "y" << 4 << "2 0 4 0 0" << "2 0 4 0 0" << "2 0 4 0 0";
    t << "x" << "n" << 3;     // discs: another answer asks again; keep; disc to 3
    t << "n" << 1 << 5 << 4;  // bearings: station 5 refused, then 4
    Session s = RunKorvo(t.text + "n\n4\n16\n3\nout.dat\n6\n8\n", WithModel());  // pedestal to 4
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(s, {
        "  SHOULD ALSO UPDATE THE FOLLOWING :", "         Shaft elements data :", "  #  3",
        " Number of discs ........... =  1", "  Change Number of Discs ? Y/N >", "  Change Number of Discs ? Y/N >",
        " Old location of Disc No.  1 is  2", " Input New Location ...", "  Change Number of Bearings ? Y/N >",
        " Old location of Bearing No.  1 is  1", " Old location of Bearing No.  2 is  3",
        " Refused : Bearing No.  2 must stand at a station from  2 to  4", " Old location of Bearing No.  2 is  3",
        "  Change Number of Pedestals ? Y/N >", " Old location of Pedestal No.  1 is  3", EDITOR_TITLE}));
    EXPECT_EQ(Count(s, " Number of discs ........... =  1"), 1);
    for (const char* absent : {"Unbalance data should be updated", "Discs data :", "A pedestal is only allowed"})
        EXPECT_EQ(s.out.find(absent), std::string::npos) << absent;
    SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_TRUE(Near7(m.shaft[2][4], PI / 4 * 4 * 4 * 0.283));  // weight computed from the file's Rho
    EXPECT_EQ(m.nsta, 4);
    EXPECT_EQ(Stations(m), "3|1 4|4|");
    EXPECT_EQ(m.unbamp, std::vector<float>(4, 0.0f));

    Session r = RunKorvo(t.text + "y\n0\nn\n3e5 0 1 0\n0 3e5 0 1\n3e5 0 1 0\n0 3e5 0 1\n3\nout.dat\n6\n8\n", WithModel());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(InOrder(r, {"* Bearing properties speed dependent ? Y/N >", DATA_MENU_TITLE}));
    EXPECT_EQ(r.out.find("E D I T O R", r.out.find("speed dependent ? Y/N >")), std::string::npos);
    m = ReadSavedModel(r.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(Stations(m), "3|1 4||");
    EXPECT_TRUE(Near7(m.bcoef[0][1][0], 3e5));
}

// New station count and new counts: the tables are entered again with the
// sections of keyboard entry; under main-menu 5 the cascade ends with the
// unbalance reminder and its wait.
TEST(DataEditor, CascadeWithNewCountsUnderUnbalance) {
    Typed t = OpenEditor(5);
    t << 2 << "y" << 5;
    for (int i = 0; i < 4; ++i) t << "2 0 3 0 1";
    t << "y" << 2 << "2 8 0 1 0 0 0" << "4 8 0 1 0 0 0" << "y" << 3 << "1 .5" << "3 .5" << "5 .5" << "n";
    for (int i = 0; i < 3; ++i) t << "2e5 0 5 0" << "0 2e5 0 5";
    t << "y" << 2 << "3 10" << "5 10" << "1e6 1e6 1 1" << "2e6 2e6 2 2" << "";  // the reminder's wait
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(s, {
        "  SHOULD ALSO UPDATE THE FOLLOWING :", "         Shaft elements data :", "  Enter Number of Discs ...",
        "         Discs data :", "# 2", "  Enter Number of Bearings ...", "         Bearings data :", "   # 3.",
        "* Bearing properties speed dependent ? Y/N >",
        "Bearing # 3  Sxx          Sxy                    Cxx          Cxy", "  Enter Number of Pedestals ...",
        "         Pedestals data :", "* Pedestals Stiffness and Damping Coefficients *", "          2.",
        "  Unbalance data should be updated", "  Press <Return> to continue ...", EDITOR_TITLE}));
    EXPECT_EQ(Count(s, "Old location") + Count(s, "Unbalance data should be updated"), 0 + 1);
    const SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(std::vector<int>({m.nsta, m.ndisc, m.nbrg, m.nped}), std::vector<int>({5, 2, 3, 2}));
    EXPECT_EQ(Stations(m), "2 4|1 3 5|3 5|");
    const double w = PI / 4 * 64 * 1 * 0.283;
    EXPECT_TRUE(Near7(m.disc[1][3], w));
    EXPECT_TRUE(Near7(m.disc[1][4], 64 * w * 0.125));
    EXPECT_TRUE(Near7(m.pedc[1][0], 2e6) && Near7(m.bcoef[0][2][3], 2e5));  // and Syy of bearing 3
    EXPECT_EQ(m.unbamp, std::vector<float>(5, 0.0f));
}

// Counts typed in the editor that the model cannot hold are refused, and a
// changed count is followed by the checks it calls for: bearings and discs
// located again when out of order, the pedestal rule after bearing and
// pedestal changes. Option 13 offers the material screen.
TEST(DataEditor, RefusedCountsAndChecksAfterCountChanges) {
    Typed t = OpenEditor(2);
    t << 5 << 0 << 4 << 1;                  // fewer than the pedestals, more than the stations, then 1
    t << "" << "1 10";                      // the pedestal at 3 lost its bearing: rule, section 5
    t << 7 << 2 << 1;                       // more pedestals than bearings, then the same count
    t << 5 << 2;                            // the second bearing comes back at its old station 3
    t << 7 << 2 << "" << "1 10" << "3 11";  // the new pedestal row is not at a bearing
    t << 2 << "y" << 99 << 3;               // 2 x 99 + 2 pedestals exceeds 198; then the current count
    t << 3 << 4 << 2 << 1 << 3;             // discs: more than the stations; the new disc is located
    t << 13 << "3.1e7 0.3" << 1 << "x" << "y" << "Edited rotor";
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel());
    ASSERT_EQ(s.status, 0) << s.err;
    for (const char* refusal : {"every pedestal needs a bearing", "at most one bearing per station",
                                "a pedestal stands under a bearing", "2 x stations + pedestals would exceed 198",
                                "at most one disc per station"})
        EXPECT_EQ(Count(s, refusal), 1) << refusal;
    EXPECT_EQ(Count(s, "A pedestal is only allowed at a bearing location."), 2);
    EXPECT_EQ(Count(s, "SHOULD ALSO UPDATE"), 0);
    EXPECT_TRUE(InOrder(s, {
        " Number of discs ........... =  1", "  Input New Number of Discs ...", "  Input New Number of Discs ...",
        " The discs are not at ascending stations: please locate them again", " Old location of Disc No.  1 is  2",
        " Old location of Disc No.  2 is  0", "Material Properties :", " Current title is : Editor rotor",
        " Change the title ? Y/N >", " Current title is : Editor rotor", " Change the title ? Y/N >",
        "  Input New Title ..."}));
    const SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.title, "Edited rotor");
    EXPECT_EQ(m.nsta, 3);
    EXPECT_EQ(Stations(m), "1 3|1 3|1 3|");
    EXPECT_EQ(m.pwt, std::vector<float>({10, 11}));
    EXPECT_TRUE(Near7(m.E, 3.1e7) && Near7(m.Rho, 0.3));
}

// Shrinking the stations: keeping a bearing count that no longer fits is
// refused and asked again; added weights are not part of the cascade and are
// entered again when they no longer fit.
TEST(DataEditor, CascadeShrinkingUnderBearingsAndAddedWeight) {
    const std::string model = "Shrink rotor\n3 1 3 1 1\n1 0\n2 0 5 0 4.4\n2 0 5 0 4.4\n2 10 0 1 22 270 140\n"
                              "1 .5\n2 .5\n3 .5\n3 10\n1e6 1e6 10 10\n3 2.5\n3e7 .283\n1\n0\n" +
                              kCoefficients + kCoefficients + kCoefficients + "1 0 0\n2 0 0\n3 0 0\n";
    Typed t = OpenEditor(1);
    t << 2 << "y" << 2 << "2 0 10 0 1" << "n" << 2;  // the disc stays at station 2
    t << "n" << "y" << 2 << "1 .5" << "2 .5";        // three bearings cannot stay at two stations
    t << "n" << "1e5 0 1 0" << "0 1e5 0 1" << "2e5 0 1 0" << "0 2e5 0 1";
    t << "n" << 2 << 1 << "1 2.5";  // the pedestal under the bearing at 2; the added weight at 1
    ExitSaveAndStop(t);
    Session s = RunKorvo(t.text, WithModel(model));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(s, {
        " Number of bearings ........ =  3", "  Change Number of Bearings ? Y/N >",
        " Refused : at most one bearing per station, and there are 2 stations", "  Change Number of Bearings ? Y/N >",
        "  Enter Number of Bearings ...", "         Bearings data :", " Old location of Pedestal No.  1 is  3",
        " The added weights do not fit the new stations: please enter them again",
        " Number of extra weights..... NCM =", "         Added  weights data :", "# 1", EDITOR_TITLE}));
    const SavedModel m = ReadSavedModel(s.file("out.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 2);
    EXPECT_EQ(Stations(m), "2|1 2|2|1");
    EXPECT_TRUE(Near7(m.bcoef[0][1][0], 2e5));
}

}  // namespace
