// Sessions of the real program through the main menu, the data menu and the
// input options: exact screens, refusals, Check Directory and the run endings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/session.h"

namespace {

std::string S(int n) { return std::string(n, ' '); }
std::string Rep(int n, char c) { return std::string(n, c); }

// A small valid model file (two stations on two bearings).
const char* kTinyModel =
    "TINY MODEL\r\n"
    " 2 0 2 0 0\r\n"
    " 1 0\r\n"
    " 1.0 0.0 10.0 0.0 0.0\r\n"
    " 1 0.0\r\n"
    " 2 0.0\r\n"
    " 3.0E7 0.283\r\n"
    " 1\r\n"
    " 0.0\r\n"
    " 1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\r\n"
    " 1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\r\n"
    " 1 0.0 0.0\r\n"
    " 2 0.0 0.0\r\n";

// Index of the first line equal to `line` at or after `from`, or -1.
int Find(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
        if (lines[i] == line) return i;
    return -1;
}

// The lines from `at` on must equal `expected`.
void ExpectBlock(const std::vector<std::string>& lines, int at, const std::vector<std::string>& expected) {
    ASSERT_GE(at, 0);
    ASSERT_LE(at + expected.size(), lines.size());
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(lines[at + k], expected[k]) << "line " << at + k;
}

const std::string kChooseMain = S(9) + "Choose Option < 1 -  8> ... ";
const std::string kChooseData = S(9) + "Choose Option < 1 -  6> ... ";
const std::string kChooseInput = S(9) + "Choose Option < 1 -  4> ... ";
const std::string kPress = "Press <Enter> to continue ... ";

const std::vector<std::string> kMainMenu = {
    S(19) + "           M A I N    M E N U",
    S(19) + "           ------------------",
    "",
    "",
    S(9) + "1.Solve the Undamped Eigenvalue Problem Only",
    S(9) + "2.Solve for Damped Eigenvalues Only",
    S(9) + "3.Solve Both Damped & Undamped Eigenvalue Problems",
    S(9) + "4.Perform a Stability Analysis of the system",
    S(9) + "5.Obtain the Steady-State Unbalance Response",
    S(9) + "6.Active Control Simulation",
    S(9) + "7.Data Curve Fitting By Cubic Spline",
    S(9) + "8.EXIT",
    "",
    "",
    "",
    kChooseMain,
};

const std::vector<std::string> kDataMenu = {
    S(19) + "D A T A    M E N U",
    S(19) + Rep(17, '-'),
    "",
    "",
    " 1. Input/Read Data",
    "",
    " 2. Print Data on the Screen",
    "",
    " 3. Save Data in a File",
    "",
    " 4. Edit Data",
    "",
    " 5. Run Main Menu Option",
    "",
    " 6. Return to Main Menu",
    "",
    "",
    "",
    kChooseData,
};

const std::vector<std::string> kInputOptions = {
    S(19) + "I N P U T     O P T I O N S",
    S(19) + "---------------------------",
    "",
    "",
    "",
    " 1. File Input",
    "",
    " 2. Keyboard Input",
    "",
    " 3. Check Directory",
    "",
    " 4. Return to Previous Menu",
    "",
    "",
    "",
    "",
    kChooseInput,
};

TEST(MenusE2E, BannerAndMainMenuThenExit) {
    Session s = RunKorvo("8\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, "");
    std::vector<std::string> expected(6, "");
    expected.push_back(S(19) + Rep(45, '^'));
    expected.push_back(S(19) + "R O T O R   D Y N A M I C S   A N A L Y S I S");
    expected.push_back(S(19) + Rep(45, 'v'));
    for (int i = 0; i < 5; ++i) expected.push_back("");
    expected.insert(expected.end(), kMainMenu.begin(), kMainMenu.end());
    expected.push_back(" done ...");
    EXPECT_EQ(s.outLines(), expected);
    // Every line ends in CR LF; the answer is typed on the line below the prompt.
    EXPECT_EQ(s.out.substr(0, 2), "\r\n");
    EXPECT_NE(s.out.find(kChooseMain + "\r\n done ...\r\n"), std::string::npos);
}

TEST(MenusE2E, DataMenuInputOptionsAndBackWithoutBanner) {
    // Main 2, data 1, input options 4, data 6, main menu again, exit.
    Session s = RunKorvo("2\n1\n4\n6\n8\n");
    EXPECT_EQ(s.status, 0);
    const auto lines = s.outLines();
    int at = Find(lines, S(19) + "Damped Eigenvalue Problem");
    ASSERT_GE(at, 0);
    // The option text, its two empty lines, then the data menu after five.
    ExpectBlock(lines, at + 1, {"", "", "", "", "", "", ""});
    ExpectBlock(lines, at + 8, kDataMenu);
    int in = Find(lines, kInputOptions[0]);
    ASSERT_GT(in, at);
    ExpectBlock(lines, in - 5, {"", "", "", "", ""});
    ExpectBlock(lines, in, kInputOptions);
    EXPECT_EQ(CountOccurrences(s.out, "D A T A    M E N U"), 2);
    EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 2);
    EXPECT_EQ(CountOccurrences(s.out, "R O T O R   D Y N A M I C S"), 1) << "banner only once per call";
}

TEST(MenusE2E, EveryRefusalWithoutAModel) {
    // Main 1 (its note waits for Enter), then data 2, 3, 4, 5 without a model.
    Session s = RunKorvo("1\n\n2\n\n3\n\n4\n\n5\n\n6\n8\n");
    EXPECT_EQ(s.status, 0);
    const auto lines = s.outLines();
    int at = Find(lines, S(19) + "The Symmetric Part Of The Stiffness Matrix");
    ExpectBlock(lines, at,
                {S(19) + "The Symmetric Part Of The Stiffness Matrix", S(19) + "Is Considered When Solving the Undamped",
                 S(19) + "  Eigenvalue Problem By Jacobi Method", "", "", kPress});
    int from = at;
    for (const char* text : {" *** THERE IS NO DATA TO PRINT ! ****", " *** THERE IS NO DATA TO SAVE ! ***",
                             " *** THERE IS NO DATA TO EDIT ! ***"}) {
        int k = Find(lines, text, from);
        ASSERT_GT(k, from) << text;
        ExpectBlock(lines, k - 3, {kChooseData, "\a", "\a", text, "    CHOOSE OPTION 1 OF NEXT MENU", kPress});
        from = k;
    }
    int k = Find(lines, " CANNOT RUN MAIN MENU OPTION WITHOUT DATA !", from);
    ASSERT_GT(k, from);
    ExpectBlock(lines, k - 3, {kChooseData, "\a", "\a", " CANNOT RUN MAIN MENU OPTION WITHOUT DATA !", kPress});
    // After each refusal the data menu comes back: once at the start, once
    // after each of the four refusals.
    EXPECT_EQ(CountOccurrences(s.out, "D A T A    M E N U"), 5);
}

TEST(MenusE2E, CheckDirectoryRunsTheTypedCommand) {
    SessionSetup setup;
    setup.files["marker-for-ls.txt"] = "x\r\n";
    Session s = RunKorvo("3\n1\n3\nls\n3\n\n4\n6\n8\n", setup);
    EXPECT_EQ(s.status, 0);
    const auto lines = s.outLines();
    int at = Find(lines, " Type DIR [directory name] <Enter>");
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at - 1], kChooseInput);
    EXPECT_EQ(lines[at + 1], " Press <enter> when done ...");
    int listed = Find(lines, "marker-for-ls.txt", at);
    EXPECT_GT(listed, at + 1) << "the command's output follows the pause";
    // A blank line at the second pause runs nothing and shows the menu again.
    EXPECT_EQ(CountOccurrences(s.out, " Press <enter> when done ..."), 2);
    EXPECT_EQ(CountOccurrences(s.out, "marker-for-ls.txt"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "I N P U T     O P T I O N S"), 3);
}

TEST(MenusE2E, ActiveControlIsAnsweredAndShowsTheMainMenu) {
    SessionSetup setup;
    setup.files["tiny.dat"] = kTinyModel;
    Session s = RunKorvo("6\n1\n1\ntiny.dat\n5\n8\n", setup);
    EXPECT_EQ(s.status, 0);
    const auto lines = s.outLines();
    ExpectBlock(lines, Find(lines, S(19) + "Active Control Simulation"),
                {S(19) + "Active Control Simulation", "", "", "", "", "", "", "", kDataMenu[0]});
    int at = Find(lines, " ACTIVE CONTROL IS NOT AVAILABLE NOW");
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines[at - 1], kChooseData);
    // No pause: the main menu follows at once, without the banner.
    ExpectBlock(lines, at + 1, {"", "", "", "", "", kMainMenu[0]});
    EXPECT_EQ(CountOccurrences(s.out, "R O T O R   D Y N A M I C S"), 1);
    EXPECT_EQ(s.out.find("CANNOT RUN"), std::string::npos);
    EXPECT_EQ(s.out.find("Please Save"), std::string::npos) << "a model read from a file needs no save";
}

TEST(MenusE2E, TypedModelMustBeSavedBeforeARun) {
    // Keyboard entry of a two-station model under main-menu 6, then data 5
    // (refused), save, data 5 again (answered), exit without a question.
    const std::string typed =
        "TYPED\n2\n0\n2\n0\n0\n"  // title and counts
        "3.0E7 0.283\n"           // material
        "1.0 0.0 10.0 0.0 2.0\n"  // element
        "1 0.0\n2 0.0\n"          // bearings
        "n\n"                     // constant coefficients
        "1.0E5 0.0 10.0 0.0\n0.0 1.0E5 0.0 10.0\n"
        "1.0E5 0.0 10.0 0.0\n0.0 1.0E5 0.0 10.0\n";
    Session s = RunKorvo("6\n1\n2\n" + typed + "5\n\n3\ntyped.dat\n5\n8\n");
    EXPECT_EQ(s.status, 0) << s.err;
    const auto lines = s.outLines();
    int at = Find(lines, " Please Save Your Input Data First !");
    ASSERT_GE(at, 0);
    ExpectBlock(lines, at - 2, {kChooseData, "\a", " Please Save Your Input Data First !", kPress});
    EXPECT_EQ(CountOccurrences(s.out, " Please Save Your Input Data First !"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(s.out.find("CHANGED DATA WAS NOT SAVED"), std::string::npos)
        << "keyboard entry without the editor ends at once";
    EXPECT_EQ(SplitLines(s.file("typed.dat"))[0], "TYPED" + S(45));
}

TEST(MenusE2E, EditedModelAsksBeforeExit) {
    SessionSetup setup;
    setup.files["tiny.dat"] = kTinyModel;
    // Read, open the editor and leave it at once, then exit: the question is
    // asked, "x" repeats it, "y" saves and shows the data menu again; after
    // the save the exit ends at once.
    Session s = RunKorvo("6\n1\n1\ntiny.dat\n4\n16\n6\n8\nx\ny\nsaved.dat\n6\n8\n", setup);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(CountOccurrences(s.out, "CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >\r\n"), 2);
    EXPECT_NE(s.out.find(" Input Save Data Filename > "), std::string::npos);
    EXPECT_TRUE(s.exists("saved.dat"));
    EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 3);

    // Answering N ends the run without saving.
    Session n = RunKorvo("6\n1\n1\ntiny.dat\n4\n16\n6\n8\nn\n", setup);
    EXPECT_EQ(n.status, 0);
    EXPECT_NE(n.out.find("CHANGED DATA WAS NOT SAVED, SAVE DATA ? Y/N >\r\n done ...\r\n"), std::string::npos);
}

TEST(MenusE2E, LettersOrEndOfInputEndTheRunWithTheReport) {
    for (const char* input : {"abc\n", "", "2\n1\n", "1.5\n"}) {
        Session s = RunKorvo(input);
        EXPECT_EQ(s.status, 1) << "input: " << input;
        EXPECT_FALSE(s.timedOut);
        EXPECT_NE(s.err.find("run-time error F"), std::string::npos) << s.err;
        EXPECT_NE(s.err.find("READ(CON)"), std::string::npos) << s.err;
        EXPECT_EQ(s.out.find(" done ..."), std::string::npos);
    }
}

}  // namespace
