// Sessions of the real program through the main menu, the data menu and the
// input options: exact screens, every refusal, Check Directory and the run
// endings.
#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

const std::string kChooseData = S(9) + "Choose Option < 1 -  6> ... ";
const std::string kPress = "Press <Enter> to continue ... ";
const std::string kMainTitle = S(30) + "M A I N    M E N U";

const std::string kMainMenu = kMainTitle + "\n" + S(30) + Rep(18, '-') + "\n\n\n" + S(9) +
                              "1.Solve the Undamped Eigenvalue Problem Only\n" + S(9) +
                              "2.Solve for Damped Eigenvalues Only\n" + S(9) +
                              "3.Solve Both Damped & Undamped Eigenvalue Problems\n" + S(9) +
                              "4.Perform a Stability Analysis of the system\n" + S(9) +
                              "5.Obtain the Steady-State Unbalance Response\n" + S(9) + "6.Active Control Simulation\n" +
                              S(9) + "7.Data Curve Fitting By Cubic Spline\n" + S(9) + "8.EXIT\n\n\n\n" + S(9) +
                              "Choose Option < 1 -  8> ... \n";
const std::string kDataMenu = S(19) + "D A T A    M E N U\n" + S(19) + Rep(17, '-') +
                              "\n\n\n 1. Input/Read Data\n\n 2. Print Data on the Screen\n\n 3. Save Data in a File\n\n"
                              " 4. Edit Data\n\n 5. Run Main Menu Option\n\n 6. Return to Main Menu\n\n\n\n" +
                              kChooseData + "\n";
const std::string kInputOptions = S(19) + "I N P U T     O P T I O N S\n" + S(19) + Rep(27, '-') +
                                  "\n\n\n\n 1. File Input\n\n 2. Keyboard Input\n\n 3. Check Directory\n\n"
                                  " 4. Return to Previous Menu\n\n\n\n\n" +
                                  S(9) + "Choose Option < 1 -  4> ... \n";

TEST(MenusE2E, BannerAndMainMenuThenExit) {
    Session s = RunKorvo("8\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_EQ(s.err, "");
    std::string screen;
    for (const std::string& l : s.outLines()) screen += l + "\n";
    EXPECT_EQ(screen, "\n\n\n\n\n\n" + S(19) + Rep(45, '^') + "\n" + S(19) +
                          "R O T O R   D Y N A M I C S   A N A L Y S I S\n" + S(19) + Rep(45, 'v') + "\n\n\n\n\n\n" +
                          kMainMenu + " done ...\n");
    // Every line ends in CR LF; the answer is typed on the line below the prompt.
    EXPECT_EQ(s.out.substr(0, 2), "\r\n");
    EXPECT_NE(s.out.find("Choose Option < 1 -  8> ... \r\n done ...\r\n"), std::string::npos);
}

TEST(MenusE2E, NavigationWithoutBannerAndActiveControl) {
    // Main 0 and 9 (asked again), 6, data 1, input options 4 (back), data 1,
    // file input, data 5.
    SessionSetup setup;
    setup.files["tiny.dat"] = kTinyModel;
    Session s = RunKorvo("0\n9\n6\n1\n4\n1\n1\ntiny.dat\n5\n8\n", setup);
    EXPECT_EQ(s.status, 0);
    // The option text, seven empty lines, the data menu; five empty lines
    // before the input options; the answer, then the main menu at once.
    EXPECT_TRUE(HasBlock(s, S(19) + "Active Control Simulation\n\n\n\n\n\n\n\n" + kDataMenu));
    EXPECT_TRUE(HasBlock(s, kChooseData + "\n\n\n\n\n\n" + kInputOptions));
    EXPECT_TRUE(HasBlock(s, kChooseData + "\n ACTIVE CONTROL IS NOT AVAILABLE NOW\n\n\n\n\n\n" + kMainTitle));
    EXPECT_EQ(Count(s, "I N P U T     O P T I O N S"), 2);
    EXPECT_EQ(Count(s, "M A I N    M E N U"), 2);
    EXPECT_EQ(Count(s, "Choose Option < 1 -  8> ... "), 4);
    EXPECT_EQ(Count(s, "R O T O R   D Y N A M I C S"), 1) << "banner only once per call";
    EXPECT_EQ(s.out.find("Please Save"), std::string::npos) << "a model read from a file needs no save";
}

TEST(MenusE2E, EveryRefusalWithoutAModel) {
    // Main 1 (its note waits for Enter), then data 2, 3, 4, 5 without a model.
    Session s = RunKorvo("1\n\n2\n\n3\n\n4\n\n5\n\n6\n8\n");
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(HasBlock(s, S(19) + "The Symmetric Part Of The Stiffness Matrix\n" + S(19) +
                                "Is Considered When Solving the Undamped\n" + S(19) +
                                "  Eigenvalue Problem By Jacobi Method\n\n\n" + kPress));
    for (const char* text :
         {" *** THERE IS NO DATA TO PRINT ! ****\n    CHOOSE OPTION 1 OF NEXT MENU\n",
          " *** THERE IS NO DATA TO SAVE ! ***\n    CHOOSE OPTION 1 OF NEXT MENU\n",
          " *** THERE IS NO DATA TO EDIT ! ***\n    CHOOSE OPTION 1 OF NEXT MENU\n",
          " CANNOT RUN MAIN MENU OPTION WITHOUT DATA !\n"})
        EXPECT_TRUE(HasBlock(s, kChooseData + "\n\a\n\a\n" + text + kPress));
    // The data menu comes back after each of the four refusals.
    EXPECT_EQ(Count(s, "D A T A    M E N U"), 5);
}

TEST(MenusE2E, CheckDirectoryRunsTheTypedCommand) {
    SessionSetup setup;
    setup.files["marker-for-ls.txt"] = "x\r\n";
    // ls at the first pause, a blank line at the second: nothing is run.
    Session s = RunKorvo("3\n1\n3\nls\n3\n\n4\n6\n8\n", setup);
    EXPECT_EQ(s.status, 0);
    EXPECT_TRUE(HasBlock(s, S(9) + "Choose Option < 1 -  4> ... \n Type DIR [directory name] <Enter>\n"
                                   " Press <enter> when done ...\n"));
    EXPECT_TRUE(InOrder(s, {" Press <enter> when done ...", "marker-for-ls.txt"})) << "the output follows the pause";
    EXPECT_EQ(Count(s, " Press <enter> when done ..."), 2);
    EXPECT_EQ(Count(s, "marker-for-ls.txt"), 1);
    EXPECT_EQ(Count(s, "I N P U T     O P T I O N S"), 3);
}

TEST(MenusE2E, TypedModelMustBeSavedBeforeARun) {
    // Keyboard entry under main 6, data 5 (refused), save, data 5 (answered),
    // exit without a question.
    Typed t;
    t << 6 << 1 << 2 << "TYPED" << 2 << 0 << 2 << 0 << 0 << "3.0E7 0.283" << "1.0 0.0 10.0 0.0 2.0" << "1 0.0"
      << "2 0.0" << "n";
    for (int b = 0; b < 2; ++b) t << "1.0E5 0.0 10.0 0.0" << "0.0 1.0E5 0.0 10.0";
    t << 5 << "" << 3 << "typed.dat" << 5 << 8;
    Session s = RunKorvo(t.text);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_TRUE(HasBlock(s, kChooseData + "\n\a\n Please Save Your Input Data First !\n" + kPress));
    EXPECT_EQ(Count(s, " Please Save Your Input Data First !"), 1);
    EXPECT_EQ(Count(s, " ACTIVE CONTROL IS NOT AVAILABLE NOW"), 1);
    EXPECT_EQ(s.out.find("CHANGED DATA WAS NOT SAVED"), std::string::npos);
    EXPECT_EQ(SplitLines(s.file("typed.dat"))[0], "TYPED" + S(45));
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
