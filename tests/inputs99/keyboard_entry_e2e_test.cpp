// Keyboard entry of a whole model through the real program: the screens,
// the derived weights and moments, the size limit, the pedestal rule, the
// refusal of counts and stations that do not fit, and the unbalance section.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "tests/inputs99/entry_test_support.h"
#include "tests/support/session.h"

using namespace entry_test;

namespace {

const double PI = 3.14159265358979323846;

// Main menu option, then data menu 1 and input option 2 (keyboard).
Typed StartKeyboardEntry(int mainOption) {
    Typed t;
    t << mainOption;
    if (mainOption == 1) t << "";  // the note on the undamped problem waits for Enter
    t << 1 << 2;
    return t;
}

// Data menu 3 (save as `name`), data menu 6, main menu 8.
void SaveAndExit(Typed& t, const std::string& name) { t << 3 << name << 6 << 8; }

// Constant coefficients for `n` bearings.
void ConstantCoefficients(Typed& t, int n) {
    t << "n";
    for (int i = 0; i < n; ++i) t << "1e5 0 10 0" << "0 1e5 0 10";
}

// Three stations, a disc, two bearings, a pedestal under the second bearing
// and an added weight.
void SmallModel(Typed& t) {
    t << "Small rotor" << 3 << 1 << 2 << 1 << 1 << "3e7 0.283";
    t << "2 0 5 0 0"    // weight 0: computed
      << "2 1 4 0 -1";  // negative weight: kept
    t << "2 10 0 1 0 0 0";
    t << "1 0.5" << "3 0.5";
    t << "3 10" << "1e6 1e6 10 10";
    t << "2 1.5";
    ConstantCoefficients(t, 2);
}

TEST(KeyboardEntry, SmallModelTypedInSavedWithDerivedValues) {
    Typed t = StartKeyboardEntry(1);
    SmallModel(t);
    SaveAndExit(t, "small.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);

    EXPECT_TRUE(InOrder(lines, {
        " Input title  .... ",
        " Number of stations......... NSTA = ",
        " Number of discs........... NDISC = ",
        " Number of bearings......... NBRG = ",
        " Number of pedestals........ NPED = ",
        " Number of extra weights..... NCM = ",
        "Material Properties :",
        " Modulus of      Weight",
        " Elasticity      Density",
        "     E             Rho",
        "    ** INPUT THE FOLLOWING IN THE ORDER SHOWN **",
        "         Shaft elements data :",
        "Element      O.D          I.D        Length   Inertia        Weight",
        "  #  1",
        "  #  2",
        "         Discs data :",
        "Disc  Node    O.D       I.D       Thickness  Weight    Polar     Transverse",
        "# 1",
        "         Bearings data :",
        "Bearing  Node Location   Weight",
        "   # 1.",
        "   # 2.",
        "         Pedestals data :",
        "Pedestal  Node Location   Weight",
        "   # 1.",
        "* Pedestals Stiffness and Damping Coefficients *",
        "Pedestal No.   Kxx          Kyy               Cxx          Cyy",
        "          1.",
        "         Added  weights data :",
        "Added     Node",
        "  Weight    Location     Weight",
        "# 1",
        "* Bearing properties speed dependent ? Y/N >",
        "Input Bearing Coeff. Stiffness [ S ] & Damping [ C ]",
        "Bearing # 1  Sxx          Sxy                    Cxx          Cxy",
        "             Syx          Syy                    Cyx          Cyy",
        "Bearing # 2  Sxx          Sxy                    Cxx          Cxy",
        "                   D A T A    M E N U",
    }));
    // One constant data set: no speed is asked; under main-menu 1 no
    // unbalance either.
    EXPECT_EQ(CountOccurrences(s.out, "SPEED("), 0);
    EXPECT_EQ(CountOccurrences(s.out, "Data for speed #"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "UNBALANCE DATA"), 0);

    SavedModel m = ReadSavedModel(s.file("small.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.title, "Small rotor");
    EXPECT_EQ(m.nsta, 3);
    EXPECT_EQ(m.ndisc, 1);
    EXPECT_EQ(m.nbrg, 2);
    EXPECT_EQ(m.nped, 1);
    EXPECT_EQ(m.ncm, 1);
    EXPECT_EQ(m.iunits, 1);
    EXPECT_EQ(m.ispare, 0);
    // Element weight: cross-section area times length times density.
    EXPECT_TRUE(Near7(m.shaft[0][4], PI / 4 * 2 * 2 * 5 * 0.283));
    EXPECT_EQ(m.shaft[0][3], 0.0);  // inertia left to the matrix set-up
    EXPECT_EQ(m.shaft[1][4], -1.0);
    // The worked disc: solid, 10 across, 1 thick.
    const double w = PI / 4 * 10 * 10 * 1 * 0.283;
    EXPECT_NEAR(m.disc[0][3], 22.23, 0.005);
    EXPECT_TRUE(Near7(m.disc[0][3], w));
    EXPECT_TRUE(Near7(m.disc[0][4], 100 * w * 0.125));  // m r^2 / 2 in weight units
    EXPECT_TRUE(Near7(m.disc[0][5], 304 * w / 48));     // m (3 r^2 + h^2) / 12
    EXPECT_EQ(m.dsta[0], 2);
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 3}));
    EXPECT_EQ(m.psta, (std::vector<int>{3}));
    EXPECT_EQ(m.wsta, (std::vector<int>{2}));
    EXPECT_TRUE(Near7(m.wwt[0], 1.5));
    EXPECT_TRUE(Near7(m.E, 3e7));
    EXPECT_TRUE(Near7(m.Rho, 0.283));
    EXPECT_EQ(m.nspeed, 1);
    // Typed as Sxx Sxy Cxx Cxy / Syx Syy Cyx Cyy, stored as S row by row then C.
    const std::array<double, 8> coef{1e5, 0, 0, 1e5, 10, 0, 0, 10};
    for (int b = 0; b < 2; ++b)
        for (int k = 0; k < 8; ++k) EXPECT_TRUE(Near7(m.bcoef[0][b][k], coef[k])) << b << " " << k;
    EXPECT_EQ(m.unbamp, (std::vector<double>{0, 0, 0}));
}

TEST(KeyboardEntry, UnbalanceAskedOnlyUnderMainOption5) {
    Typed t = StartKeyboardEntry(5);
    SmallModel(t);
    t << "0 0" << "0.5 90" << "0 0";
    SaveAndExit(t, "unb.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(InOrder(ScreenLines(s), {
        "* Bearing properties speed dependent ? Y/N >",
        "UNBALANCE DATA :",
        "Station    Amplitude [in-lb]    Phase [degrees]",
        " #  1 >",
        " #  2 >",
        " #  3 >",
        "                   D A T A    M E N U",
    }));
    SavedModel m = ReadSavedModel(s.file("unb.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.unbamp, (std::vector<double>{0, 0.5, 0}));
    EXPECT_EQ(m.unbphs, (std::vector<double>{0, 90, 0}));
}

// 2 NSTA + NPED may reach 198 but not 199; the refusal asks the title again.
TEST(KeyboardEntry, SizeLimitRefusedAndTitleAskedAgain) {
    Typed t = StartKeyboardEntry(2);
    t << "Too big" << 60 << 0 << 79 << 79 << "";  // 199: refused, Enter
    t << "Also too big" << 99 << 0 << 1 << 1 << "";  // 199: refused
    t << "Just fits" << 60 << 0 << 78 << 78;         // 198: accepted
    // Accepted, but 78 bearings cannot stand at 60 stations, nor 78
    // pedestals under 2 bearings: both counts are asked again.
    t << 2 << 78 << 0;
    t << 0 << "3e7 0.283";
    for (int i = 1; i <= 59; ++i) t << "2 0 1 0 1";
    t << "1 0" << "60 0";
    ConstantCoefficients(t, 2);
    SaveAndExit(t, "big.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_EQ(CountLines(lines, " ** MODEL EXCEEDING ACTUAL LIMITS OF THE CODE **"), 2);
    EXPECT_EQ(CountLines(lines, "       [Ctrl -C] to STOP ....."), 2);
    EXPECT_EQ(CountLines(lines, " Input title  .... "), 3);
    EXPECT_TRUE(InOrder(lines, {
        " Number of pedestals........ NPED = ",
        " ** MODEL EXCEEDING ACTUAL LIMITS OF THE CODE **",
        " Press <Enter> to Continue ...",
        "       [Ctrl -C] to STOP .....",
        " Input title  .... ",
    }));
    EXPECT_EQ(CountOccurrences(s.out, "at most one bearing per station"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "a pedestal stands under a bearing"), 2);  // 78 is typed twice
    SavedModel m = ReadSavedModel(s.file("big.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.title, "Just fits");
    EXPECT_EQ(m.nsta, 60);
    EXPECT_EQ(m.nbrg, 2);
    EXPECT_EQ(m.nped, 0);
    EXPECT_EQ(m.shaft.size(), 59u);
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 60}));
}

// Counts outside their range are refused and asked again; so are speeds
// that do not ascend. 99 stations without pedestals are within the limit.
TEST(KeyboardEntry, CountsOutOfRangeAskedAgain) {
    Typed t = StartKeyboardEntry(2);
    t << "Long shaft";
    t << 1 << 100 << -3 << 99;  // stations
    t << 100 << -1 << 0;        // discs
    t << 2;                     // bearings
    t << 3 << 0;                // pedestals: more than bearings
    t << 100 << 0;              // added weights
    t << "3e7 0.283";
    for (int i = 1; i <= 98; ++i) t << "1 0 1 0 0.2";
    t << "1 0" << "99 0";
    t << "y" << 0 << 100 << 2;                // data sets
    t << 1000;                                // SPEED(1)
    t << "1e5 0 1 0" << "0 1e5 0 1" << "2e5 0 1 0" << "0 2e5 0 1";
    t << 500 << 1000 << 2000;                 // SPEED(2): must be above 1000
    t << "3e5 0 1 0" << "0 3e5 0 1" << "4e5 0 1 0" << "0 4e5 0 1";
    SaveAndExit(t, "long.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_EQ(CountLines(lines, " Number of stations......... NSTA = "), 4);
    EXPECT_EQ(CountOccurrences(s.out, " Refused : the number of stations must lie between 2 and 99"), 3);
    EXPECT_EQ(CountLines(lines, " Number of discs........... NDISC = "), 3);
    EXPECT_EQ(CountLines(lines, " Number of pedestals........ NPED = "), 2);
    EXPECT_EQ(CountLines(lines, " Number of extra weights..... NCM = "), 2);
    EXPECT_EQ(CountLines(lines, "Number of data_sets ? (# of speeds) N ="), 3);
    EXPECT_EQ(CountLines(lines, " SPEED( 2) [ RPM ] ="), 3);
    EXPECT_EQ(CountLines(lines, " Data for speed #  2"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "MODEL EXCEEDING"), 0);
    SavedModel m = ReadSavedModel(s.file("long.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.nsta, 99);
    EXPECT_EQ(m.ndisc, 0);
    EXPECT_EQ(m.nped, 0);
    EXPECT_EQ(m.ncm, 0);
    EXPECT_EQ(m.nspeed, 2);
    EXPECT_EQ(m.speed, (std::vector<double>{1000, 2000}));
    EXPECT_TRUE(Near7(m.bcoef[1][1][3], 4e5));  // Syy of bearing 2 at the second speed
    // A weight typed other than 0 is kept.
    EXPECT_TRUE(Near7(m.shaft[97][4], 0.2));
}

// Stations outside 1..NSTA, or not above the row before (with room left for
// the rows after), are refused and the row is asked again.
TEST(KeyboardEntry, StationsOutOfOrderAskedAgain) {
    Typed t = StartKeyboardEntry(2);
    t << "Stations" << 4 << 2 << 2 << 0 << 1 << "3e7 0.283";
    for (int i = 1; i <= 3; ++i) t << "2 0 2 0 1";
    t << "4 6 0 1 5 1 1"    // disc 1 at 4 leaves no station for disc 2
      << "2 6 0 1 5 1 1"
      << "2 6 0 1 5 1 1"    // disc 2 not above disc 1
      << "3 8 0 1 9 2 2";
    t << "1 0.5" << "5 0.5" << "1 0.5" << "4 0.5";  // outside 1..4, not ascending
    t << "0 2" << "3 2";                            // added weight
    ConstantCoefficients(t, 2);
    SaveAndExit(t, "sta.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        "# 1",
        " Refused : Disc No.  1 must stand at a station from  1 to  3",
        "# 1",
        "# 2",
        " Refused : Disc No.  2 must stand at a station from  3 to  4",
        "# 2",
        "   # 1.",
        "   # 2.",
        " Refused : Bearing No.  2 must stand at a station from  2 to  4",
        "   # 2.",
        " Refused : Bearing No.  2 must stand at a station from  2 to  4",
        "   # 2.",
        "# 1",
        " Refused : Added weight No.  1 must stand at a station from  1 to  4",
        "# 1",
    }));
    SavedModel m = ReadSavedModel(s.file("sta.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.dsta, (std::vector<int>{2, 3}));
    EXPECT_TRUE(Near7(m.disc[1][0], 8));
    EXPECT_EQ(m.bsta, (std::vector<int>{1, 4}));
    EXPECT_EQ(m.wsta, (std::vector<int>{3}));
}

// A pedestal off the bearings is refused with the rule's message and the
// pedestal rows are asked again; so are pedestals in reverse bearing order.
TEST(KeyboardEntry, PedestalOffBearingRefused) {
    Typed t = StartKeyboardEntry(2);
    t << "Pedestals" << 4 << 0 << 3 << 2 << 0 << "3e7 0.283";
    for (int i = 1; i <= 3; ++i) t << "2 0 2 0 1";
    t << "1 0.5" << "2 0.5" << "4 0.5";
    t << "2 10" << "3 10" << "";  // station 3 has no bearing: refused, Enter
    t << "1 10" << "4 12";        // skips bearing 2: allowed
    t << "1e6 1e6 1 1" << "2e6 2e6 2 2";
    ConstantCoefficients(t, 3);
    SaveAndExit(t, "ped.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    EXPECT_TRUE(InOrder(lines, {
        "         Pedestals data :",
        "   # 1.",
        "   # 2.",
        "",
        "",
        "A pedestal is only allowed at a bearing location.",
        "Please check your model !",
        "",
        " Press <ENTER> to continue...",
        "       [CTRL -C] to STOP ....",
        "         Pedestals data :",
        "Pedestal  Node Location   Weight",
        "   # 1.",
        "   # 2.",
        "* Pedestals Stiffness and Damping Coefficients *",
    }));
    EXPECT_EQ(CountLines(lines, "A pedestal is only allowed at a bearing location."), 1);
    SavedModel m = ReadSavedModel(s.file("ped.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.psta, (std::vector<int>{1, 4}));
    EXPECT_TRUE(Near7(m.pwt[1], 12));
    EXPECT_TRUE(Near7(m.pedc[1][0], 2e6));
}

// No discs: the disc headings stand alone; no added weights: their section
// writes nothing.
TEST(KeyboardEntry, EmptyOptionalTables) {
    Typed t = StartKeyboardEntry(2);
    t << "Bare shaft" << 2 << 0 << 2 << 0 << 0 << "3e7 0.283" << "2 0 10 0 0" << "1 0" << "2 0";
    ConstantCoefficients(t, 2);
    SaveAndExit(t, "bare.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> lines = ScreenLines(s);
    const int discs = FindLine(lines, "         Discs data :");
    ASSERT_GE(discs, 0);
    EXPECT_EQ(lines[discs + 1], "Disc  Node    O.D       I.D       Thickness  Weight    Polar     Transverse");
    EXPECT_EQ(lines[discs + 2], "");
    EXPECT_EQ(lines[discs + 3], "         Bearings data :");
    EXPECT_EQ(CountOccurrences(s.out, "Added  weights data"), 0);
    EXPECT_EQ(CountOccurrences(s.out, "Pedestals data"), 0);
    SavedModel m = ReadSavedModel(s.file("bare.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_TRUE(Near7(m.shaft[0][4], PI / 4 * 4 * 10 * 0.283));
}

}  // namespace
