// Keyboard entry of a whole model through the real program: the screens,
// the derived weights and moments, the size limit, the pedestal rule, the
// refusal of counts and stations that do not fit, and the unbalance section.
#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

const double PI = 3.14159265358979323846;

// Main menu option (1 waits for Enter after its note), data menu 1, input
// option 2 (keyboard).
Typed StartKeyboardEntry(int mainOption) {
    Typed t;
    t << mainOption;
    if (mainOption == 1) t << "";
    t << 1 << 2;
    return t;
}

// Constant coefficients for `n` bearings, the `more` answers, data menu 3
// (save as `name`), data menu 6 and main menu 8.
void Finish(Typed& t, int n, const std::string& name, std::initializer_list<const char*> more = {}) {
    t << "n";
    for (int i = 0; i < n; ++i) t << "1e5 0 10 0" << "0 1e5 0 10";
    for (const char* line : more) t << line;
    t << 3 << name << 6 << 8;
}

TEST(KeyboardEntry, SmallModelWithDerivedValuesAndUnbalance) {
    // Three stations, a disc, two bearings, a pedestal under the second
    // bearing and an added weight; the first element's weight is left to be
    // computed, the second's is negative and kept. Values that are not
    // finite numbers are refused and their row asked again.
    Typed t = StartKeyboardEntry(5);
    t << "Small rotor" << 3 << 1 << 2 << 1 << 1 << "nan 0.283" << "3e7 0.283" << "2 0 5 0 0" << "2 1 inf 0 -1"
      << "2 1 4 0 -1" << "2 10 0 1 0 0 0" << "1 0.5" << "3 0.5" << "3 10" << "1e6 1e6 10 10" << "2 1.5";
    Finish(t, 2, "small.dat", {"0 0", "-Inf 90", "0.5 90", "0 0"});  // and the unbalance
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Refused : the value is not a finite number\r\n"), 3);
    EXPECT_EQ(Count(s, "Material Properties :") + Count(s, "\n  #  2\r\n") + Count(s, " #  2 >"), 6);
    // The headings and column heads of every section in order (the row
    // prompts are checked with the refusals).
    EXPECT_TRUE(InOrder(
        s, {"Material Properties :", "     E             Rho", "    ** INPUT THE FOLLOWING IN THE ORDER SHOWN **",
            "         Shaft elements data :", "Element      O.D          I.D        Length   Inertia        Weight",
            "         Discs data :", "Disc  Node    O.D       I.D       Thickness  Weight    Polar     Transverse",
            "         Bearings data :", "Bearing  Node Location   Weight", "         Pedestals data :",
            "Pedestal  Node Location   Weight", "* Pedestals Stiffness and Damping Coefficients *",
            "Pedestal No.   Kxx          Kyy               Cxx          Cyy", "         Added  weights data :",
            "Added     Node", "  Weight    Location     Weight", "* Bearing properties speed dependent ? Y/N >",
            "Input Bearing Coeff. Stiffness [ S ] & Damping [ C ]",
            "Bearing # 1  Sxx          Sxy                    Cxx          Cxy",
            "             Syx          Syy                    Cyx          Cyy",
            "Bearing # 2  Sxx          Sxy                    Cxx          Cxy", "UNBALANCE DATA :",
            "Station    Amplitude [in-lb]    Phase [degrees]", " #  1 >", " #  2 >", " #  3 >",
            "                   D A T A    M E N U"}));
    // One constant data set: no speed is asked.
    EXPECT_EQ(Count(s, "SPEED(") + Count(s, "Data for speed #"), 0);

    const SavedModel m = ReadSavedModel(s.file("small.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(std::vector<int>({m.nsta, m.ndisc, m.nbrg, m.nped, m.ncm, m.iunits, m.ispare, m.nspeed}),
              std::vector<int>({3, 1, 2, 1, 1, 1, 0, 1}));
    // Element weight: cross-section area times length times density.
    EXPECT_TRUE(Near7(m.shaft[0][4], PI / 4 * 2 * 2 * 5 * 0.283));
    EXPECT_EQ(m.shaft[0][3], 0.0f);   // inertia left to the matrix set-up
    EXPECT_EQ(m.shaft[1][4], -1.0f);  // negative weight kept
    // The worked disc: solid, 10 across, 1 thick.
    const double w = PI / 4 * 10 * 10 * 1 * 0.283;
    EXPECT_NEAR(m.disc[0][3], 22.23, 0.005);
    EXPECT_TRUE(Near7(m.disc[0][3], w));
    EXPECT_TRUE(Near7(m.disc[0][4], 100 * w * 0.125));  // m r^2 / 2 in weight units
    EXPECT_TRUE(Near7(m.disc[0][5], 304 * w / 48));     // m (3 r^2 + h^2) / 12
    EXPECT_EQ(Stations(m), "2|1 3|3|2");
    EXPECT_TRUE(Near7(m.wwt[0], 1.5) && Near7(m.E, 3e7) && Near7(m.Rho, 0.283));
    // Typed as Sxx Sxy Cxx Cxy / Syx Syy Cyx Cyy, stored as S row by row then C.
    const std::vector<float> coef{1e5, 0, 0, 1e5, 10, 0, 0, 10};
    EXPECT_EQ(m.bcoef[0], std::vector<std::vector<float>>({coef, coef}));
    EXPECT_EQ(m.unbamp, std::vector<float>({0, 0.5, 0}));
    EXPECT_EQ(m.unbphs, std::vector<float>({0, 90, 0}));
}

// 2 NSTA + NPED may reach 198 but not 199; the refusal asks the title again.
TEST(KeyboardEntry, SizeLimitRefusedAndTitleAskedAgain) {
    Typed t = StartKeyboardEntry(2);
    t << "Too big" << 60 << 0 << 79 << 79 << "";     // 199: refused, Enter
    t << "Also too big" << 99 << 0 << 1 << 1 << "";  // 199: refused
    t << "Just fits" << 60 << 0 << 78 << 78;         // 198: accepted
    // 78 bearings cannot stand at 60 stations, nor 78 pedestals under 2
    // bearings: both counts are asked again.
    t << 2 << 78 << 0 << 0 << "3e7 0.283";
    for (int i = 1; i <= 59; ++i) t << "2 0 1 0 1";
    t << "1 0" << "60 0";
    Finish(t, 2, "big.dat");
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " ** MODEL EXCEEDING ACTUAL LIMITS OF THE CODE **") + Count(s, "[Ctrl -C] to STOP ....."), 4);
    EXPECT_EQ(Count(s, " Input title  .... "), 3);
    EXPECT_TRUE(InOrder(s, {" Number of pedestals........ NPED = ", " ** MODEL EXCEEDING ACTUAL LIMITS OF THE CODE **",
                            " Press <Enter> to Continue ...", "       [Ctrl -C] to STOP .....", " Input title  .... "}));
    EXPECT_EQ(Count(s, "at most one bearing per station"), 1);
    EXPECT_EQ(Count(s, "a pedestal stands under a bearing"), 2);  // 78 is typed twice
    EXPECT_EQ(Count(s, "UNBALANCE DATA"), 0) << "unbalance is asked under main-menu 5 only";
    EXPECT_EQ(Count(s, " Refused : the number of stations"), 0) << "99 stations pass the count check";
    // Without discs the disc headings stand alone; without pedestals or added
    // weights their sections write nothing.
    EXPECT_TRUE(HasBlock(s, "         Discs data :\nDisc  Node    O.D       I.D       Thickness  Weight    Polar     "
                            "Transverse\n\n         Bearings data :\n"));
    EXPECT_EQ(Count(s, "Added  weights data") + Count(s, "Pedestals data"), 0);
    const SavedModel m = ReadSavedModel(s.file("big.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(m.title, "Just fits");
    EXPECT_EQ(m.nsta, 60);
    EXPECT_EQ(Stations(m), "|1 60||");
}

// Counts outside their range are refused and asked again, and so are
// speeds that do not ascend. Stations outside 1..NSTA, or not above the row
// before (with room left for the rows after), are refused and the row is
// asked again. A pedestal off the bearings brings the rule's message and the
// whole pedestal section again; a pedestal may skip a bearing.
TEST(KeyboardEntry, CountsAndStationsOutOfRangeAskedAgain) {
    Typed t = StartKeyboardEntry(2);
    t << "Checks" << 1 << 100 << -3 << 4 << 100 << -1 << 2 << 3;  // stations, discs, bearings
    t << 4 << 2 << 100 << 1 << "3e7 0.283";                       // pedestals (more than bearings), added weights
    t << "2 0 2 0 1" << "2 0 2 0 1" << "2 0 2 0 0.2";
    t << "4 6 0 1 5 1 1" << "2 6 0 1 5 1 1";                   // disc 1 at 4 leaves no station for disc 2
    t << "2 6 0 1 5 1 1" << "3 8 0 1 9 2 2";                   // disc 2 not above disc 1
    t << "1 0.5" << "5 0.5" << "1 0.5" << "2 0.5" << "4 0.5";  // outside 1..4, not ascending
    t << "2 10" << "3 10" << "" << "1 10" << "4 12";           // station 3 has no bearing; 4 skips bearing 2
    t << "1e6 1e6 1 1" << "2e6 2e6 2 2" << "0 2" << "3 2";     // the added weight at 0, then 3
    t << "y" << 0 << 100 << 2 << 1000;                         // data sets, SPEED(1)
    for (int i = 0; i < 3; ++i) t << "1e5 0 1 0" << "0 1e5 0 1";
    t << 500 << 1000 << 2000;  // SPEED(2) must be above 1000
    for (int i = 0; i < 3; ++i) t << "3e5 0 1 0" << "0 4e5 0 1";
    t << 3 << "checks.dat" << 6 << 8;
    Session s = RunKorvo(t.text);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::pair<const char*, int> asked[] = {
        {" Number of stations......... NSTA = ", 4}, {" Refused : the number of stations must lie between 2 and 99", 3},
        {" Number of discs........... NDISC = ", 3}, {" Number of bearings......... NBRG = ", 1},
        {" Number of pedestals........ NPED = ", 2}, {" Number of extra weights..... NCM = ", 2},
        {"Number of data_sets ? (# of speeds) N =", 3}, {" SPEED( 2) [ RPM ] =", 3}, {" Data for speed #  2", 1},
        {"A pedestal is only allowed at a bearing location.", 1}};
    for (const auto& [text, times] : asked) EXPECT_EQ(Count(s, text), times) << text;
    EXPECT_TRUE(InOrder(s, {
        "# 1", " Refused : Disc No.  1 must stand at a station from  1 to  3", "# 1", "# 2",
        " Refused : Disc No.  2 must stand at a station from  3 to  4", "# 2", "   # 1.", "   # 2.",
        " Refused : Bearing No.  2 must stand at a station from  2 to  3", "   # 2.",
        " Refused : Bearing No.  2 must stand at a station from  2 to  3", "   # 2.", "   # 3.",
        "         Pedestals data :", "   # 1.", "   # 2.", "A pedestal is only allowed at a bearing location.",
        "Please check your model !", " Press <ENTER> to continue...", "       [CTRL -C] to STOP ....",
        "         Pedestals data :", "Pedestal  Node Location   Weight", "   # 1.", "   # 2.",
        "* Pedestals Stiffness and Damping Coefficients *", "# 1",
        " Refused : Added weight No.  1 must stand at a station from  1 to  4", "# 1"}));
    const SavedModel m = ReadSavedModel(s.file("checks.dat"));
    ASSERT_TRUE(m.complete);
    EXPECT_EQ(Stations(m), "2 3|1 2 4|1 4|3");
    EXPECT_TRUE(Near7(m.disc[1][0], 8) && Near7(m.pwt[1], 12) && Near7(m.pedc[1][0], 2e6));
    EXPECT_TRUE(Near7(m.shaft[2][4], 0.2));  // a weight typed other than 0 is kept
    EXPECT_EQ(m.speed, std::vector<float>({1000, 2000}));
    EXPECT_TRUE(Near7(m.bcoef[1][2][3], 4e5));  // Syy of bearing 3 at the second speed
}

}  // namespace
