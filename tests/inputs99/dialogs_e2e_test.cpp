// The analysis option dialogs through the real program: what each path
// asks, what it refuses and asks again, and which files exist afterwards.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "tests/support/session.h"

namespace {

// Three stations, two bearings, coefficients at two speeds, unbalance at
// station 2.
const char* kSpeedTableModel =
    "Dialog test rotor\n"
    "3 0 2 0 0\n"
    "1 0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "1 0.0\n"
    "3 0.0\n"
    "3.0E7 0.283\n"
    "2\n"
    "1000.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "9000.0\n"
    "2.0E5 0.0 0.0 2.0E5 20.0 0.0 0.0 20.0\n"
    "2.0E5 0.0 0.0 2.0E5 20.0 0.0 0.0 20.0\n"
    "1 0.0 0.0\n"
    "2 0.01 0.0\n"
    "3 0.0 0.0\n";

// Four stations, bearings with pedestals at stations 1 and 4, constant
// coefficients, unbalance at station 2.
const char* kPedestalModel =
    "Pedestal rotor\n"
    "4 0 2 2 0\n"
    "1 0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "1 0.0\n"
    "4 0.0\n"
    "1 5.0\n"
    "4 5.0\n"
    "1.0E6 1.0E6 10.0 10.0\n"
    "1.0E6 1.0E6 10.0 10.0\n"
    "3.0E7 0.283\n"
    "1\n"
    "0.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "1 0.0 0.0\n"
    "2 0.01 0.0\n"
    "3 0.0 0.0\n"
    "4 0.0 0.0\n";

// Constant coefficients and no unbalance at all.
const char* kPlainModel =
    "Plain rotor\n"
    "2 0 2 0 0\n"
    "1 0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "1 0.0\n"
    "2 0.0\n"
    "3.0E7 0.283\n"
    "1\n"
    "0.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "1 0.0 0.0\n"
    "2 0.0 0.0\n";

std::string Lines(std::initializer_list<std::string> lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// Main-menu option, the pause that option 1 has, and the model read from
// rotor.dat, ending at data-menu 5.
std::string Start(int mainopt) {
    std::string s = std::to_string(mainopt) + "\n";
    if (mainopt == 1) s += "\n";
    return s + Lines({"1", "1", "rotor.dat", "5"});
}

// After the dialog: an empty line for the end-of-run pause (skipped by the
// menu choice when there is none), then the exit.
const std::string kEnd = "\n\n8\n";

SessionSetup WithModel(const char* model) {
    SessionSetup setup;
    setup.files["rotor.dat"] = model;
    return setup;
}

int Count(const Session& s, const std::string& text) { return CountOccurrences(s.out, text); }

TEST(AnalysisDialogs, ModeShapeFilesWithRefusalsAndTheRotorSpeed) {
    Session s = RunKorvo(Start(1) +
                             Lines({"x", "Y",           // normalise: other answer asked again
                                    "Y",                // store mode shapes
                                    "0", "999", "3",    // modes outside 1..NDOF (12) asked again
                                    "N",                // one file per group
                                    "2", "m1.dat",      // file 1 with two modes
                                    "0", "1", "", "m2.dat",  // a count of 0 and a blank name asked again
                                    "5", "1",           // mass distribution above 3 asked again
                                    "3000",             // rotor speed of the speed-dependent model
                                    "modes.out"}) +
                             kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, "  Normalize the Mode Shapes ? Y/N > "), 2);
    EXPECT_EQ(Count(s, " How many modes to plot ? ... "), 3);
    EXPECT_EQ(Count(s, " How many modes to store in file          1 ---> "), 1);
    EXPECT_EQ(Count(s, " How many modes to store in file          2 ---> "), 2);
    EXPECT_EQ(Count(s, " Input Filename No.          2"), 2);
    EXPECT_EQ(Count(s, " How many modes to store in file          3"), 0);
    EXPECT_EQ(Count(s, "CHOOSE AMONG THE FOLLOWING THE MASS DISTRIBUTION :"), 2);
    EXPECT_EQ(Count(s, " At What Rotor Speed Solve the E.V. Problem?"), 1);
    EXPECT_EQ(Count(s, "Input Filename to Store OUTPUT Data ... "), 1);
    EXPECT_TRUE(s.exists("m1.dat"));
    EXPECT_TRUE(s.exists("m2.dat"));
    EXPECT_TRUE(s.exists("modes.out"));
}

TEST(AnalysisDialogs, DampedWithConstantCoefficientsAsksOnlyMassAndReport) {
    Session s = RunKorvo(Start(2) + Lines({"2", "damped.out"}) + kEnd, WithModel(kPlainModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, "  Damped Eigenvalues Solver"), 1);
    EXPECT_EQ(Count(s, "Normalize the Mode Shapes"), 0);
    EXPECT_EQ(Count(s, "Bearing Parameters Are Speed Dependent"), 0);
    EXPECT_TRUE(s.exists("damped.out"));
}

TEST(AnalysisDialogs, StabilityOption3EstimatesNineIterations) {
    Session s = RunKorvo(Start(4) + Lines({"3",                 // option 3
                                           "1000", "500", "9000",  // upper not above lower asked again
                                           "0", "-5", "10",     // accuracy not positive asked again
                                           "Y", "1",            // change the accuracy
                                           "N",                 // keep it
                                           "2",                 // end condition
                                           "1", "stab.out"}) +
                             kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Input Upper Speed [RPM] ... "), 2);
    EXPECT_EQ(Count(s, " Desired Accuracy [RPM] = "), 4);
    EXPECT_NE(s.out.find("Between   1000.0 and   9000.0 RPM"), std::string::npos);
    EXPECT_NE(s.out.find("It Will Take About  9 Iterations to Locate It"), std::string::npos);
    EXPECT_NE(s.out.find("With an Accuracy of   10.000 RPM"), std::string::npos);
    // 8000 / 1: ln 8000 / ln 2 = 12.97.
    EXPECT_NE(s.out.find("It Will Take About 12 Iterations to Locate It"), std::string::npos);
    EXPECT_EQ(Count(s, "Store The Fitted Coefficients"), 0);
    EXPECT_EQ(Count(s, "Input Starting Speed"), 0);
    EXPECT_EQ(Count(s, "How many modes to plot"), 0);
    EXPECT_EQ(Count(s, "Bearing Parameters Are Speed Dependent"), 0);
    EXPECT_TRUE(s.exists("stab.out"));
}

TEST(AnalysisDialogs, StabilityOption1FilesSplineStoreAndSpeedRange) {
    SessionSetup setup = WithModel(kSpeedTableModel);
    setup.files["re.dat"] = "";
    Session s = RunKorvo(Start(4) + Lines({"1",
                                           "11", "0", "3",        // eigenvalues to plot outside 1..10
                                           "re.dat", "Y",         // existing file: overwrite
                                           "im.dat",
                                           "1", "x",              // other answer: back to the choice
                                           "3", "Y",              // store the fitted coefficients
                                           "k1.dat", "c1.dat", "k2.dat", "c2.dat",
                                           "1000", "5000", "0", "500",  // zero increment asked again
                                           "1", "stab1.out"}) +
                             kEnd,
                         setup);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " How many modes to plot ? ... "), 3);
    EXPECT_EQ(Count(s, "Already Exists ! Overwrite it ? Y/N >"), 1);
    EXPECT_EQ(Count(s, "Three types of ends condition could be used:"), 1);
    EXPECT_EQ(Count(s, "Choose Option < 1 -  3>"), 3);  // option, end condition twice
    EXPECT_EQ(Count(s, "Store The Fitted Coefficients for Plotting? Y/N> "), 2);
    EXPECT_EQ(Count(s, "of Bearing No. 2 > "), 2);
    EXPECT_EQ(Count(s, "  Input Speed Increment [rpm].. "), 2);
    EXPECT_EQ(Count(s, "Input Speed Range Data for Unbalance Response"), 0);
    EXPECT_EQ(Count(s, "Desired Accuracy"), 0);
    EXPECT_EQ(Count(s, "Bearing Parameters Are Speed Dependent"), 0);
    for (const char* f : {"re.dat", "im.dat", "k1.dat", "c1.dat", "k2.dat", "c2.dat", "stab1.out"})
        EXPECT_TRUE(s.exists(f)) << f;
}

TEST(AnalysisDialogs, StabilityIsRefusedWithConstantCoefficients) {
    Session s = RunKorvo(Lines({"4", "1", "1", "rotor.dat", "5", "", "6", "8"}), WithModel(kPlainModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " CANNOT SOLVE FOR STABILITY ANALYSIS "), 1);
    EXPECT_EQ(Count(s, " WITH CONSTANT BEARING COEFFICIENTS !"), 1);
    EXPECT_EQ(Count(s, "The Options Are :"), 0);
    EXPECT_EQ(Count(s, "D A T A    M E N U"), 3);  // before the read, after it, after the refusal
}

TEST(AnalysisDialogs, UnbalanceOption3OpensNoReport) {
    Session s = RunKorvo(Start(5) + Lines({"3",
                                           "1000", "5000", "1000",
                                           "1", "N",             // spline questions of the speed table
                                           "-1", "2",            // stations to plot: negative asked again
                                           "0", "100", "2",      // stations per file outside 1..99
                                           "u1.dat",
                                           "0", "2", "4", "3",   // station numbers outside 1..3
                                           "1"}) +
                             kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("There are: 97 Files available for storage"), std::string::npos);
    EXPECT_EQ(Count(s, " Number of Stations to Store in File          1 > "), 3);
    EXPECT_EQ(Count(s, " Number of Stations to Store in File          2"), 0);
    EXPECT_EQ(Count(s, "Stations to store in : u1.dat"), 1);
    EXPECT_EQ(Count(s, " Input Node Location of Station          1 > "), 2);
    EXPECT_EQ(Count(s, " Input Node Location of Station          2 > "), 2);
    EXPECT_EQ(Count(s, "Which Plane"), 0);
    EXPECT_EQ(Count(s, "Plot Pedestals Response"), 0);
    EXPECT_EQ(Count(s, "Input Filename to Store OUTPUT Data"), 0);
    EXPECT_TRUE(s.exists("u1.dat"));
}

TEST(AnalysisDialogs, UnbalanceOption11AsksTheReportAndOpensNoResultFile) {
    Session s = RunKorvo(Start(5) + Lines({"11", "1000", "5000", "1000", "1", "N", "1", "unb.out"}) + kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, "TOTAL NUMBER OF ROTOR STATIONS TO PLOT"), 0);
    EXPECT_EQ(Count(s, "Input Filename to Store OUTPUT Data ... "), 1);
    EXPECT_TRUE(s.exists("unb.out"));
}

TEST(AnalysisDialogs, OrbitsStopAtTheLimitOf97Files) {
    std::string in = Start(5) + Lines({"9", "3000", "-1", "102", "4", "100"});
    for (int k = 1; k <= 97; ++k) in += "o" + std::to_string(k) + ".dat\n";
    for (int k = 1; k <= 97; ++k) in += "2\n";
    Session s = RunKorvo(in + Lines({"1"}) + kEnd, WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Input Number of Timing Marks ... "), 3);
    EXPECT_EQ(Count(s, "Input Starting Speed"), 0);
    EXPECT_EQ(Count(s, "Three types of ends condition"), 0);
    EXPECT_EQ(Count(s, "  Only One Rotor Station per File"), 1);
    EXPECT_EQ(Count(s, "Number of Stations to Store in File"), 0);
    EXPECT_EQ(Count(s, " Input Name for File         97"), 1);
    EXPECT_EQ(Count(s, " Input Name for File         98"), 0);
    const size_t limit = s.out.find(" Total Number of Files Exceeds the Limit");
    ASSERT_NE(limit, std::string::npos);
    EXPECT_GT(limit, s.out.find(" Input Name for File         97"));
    EXPECT_NE(s.out.find(" No More Stations Will be Stored in this Run"), std::string::npos);
    EXPECT_EQ(Count(s, " Input Node Location of Station         97 > "), 1);
    EXPECT_EQ(Count(s, " Input Node Location of Station         98"), 0);
    EXPECT_EQ(Count(s, "Input Filename to Store OUTPUT Data"), 0);
    for (int k = 1; k <= 97; ++k) EXPECT_TRUE(s.exists("o" + std::to_string(k) + ".dat")) << k;
}

TEST(AnalysisDialogs, OrbitsOfThreeStationsHaveAFileEach) {
    Session s = RunKorvo(Start(5) + Lines({"9", "3000", "0", "3", "a.dat", "b.dat", "c.dat", "1", "2", "3", "1"}) +
                             kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, "Total Number of Files Exceeds the Limit"), 0);
    EXPECT_EQ(Count(s, "Stations to store in : "), 3);
    for (const char* f : {"a.dat", "b.dat", "c.dat"}) EXPECT_TRUE(s.exists(f)) << f;
}

TEST(AnalysisDialogs, TwoPedestalFilesNamedForTheirBearingStations) {
    Session s = RunKorvo(Start(5) + Lines({"4",
                                           "1000", "5000", "1000",
                                           "x", "Y",            // plot pedestals
                                           "N",                 // one file per pedestal
                                           "p1.dat", "3", "1",  // plane 3 asked again
                                           "", "p2.dat", "2",   // a blank name is read again
                                           "1", "1", "s1.dat", "1", "0", "2",
                                           "1"}) +
                             kEnd,
                         WithModel(kPedestalModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Plot Pedestals Response ? Y/N > "), 2);
    EXPECT_EQ(Count(s, "Input Filename to Store Data for Pedestal  1"), 1);
    EXPECT_EQ(Count(s, "Input Filename to Store Data for Pedestal  2"), 1);
    const size_t p1 = s.out.find("Input Filename to Store Data for Pedestal  1");
    const size_t p2 = s.out.find("Input Filename to Store Data for Pedestal  2");
    EXPECT_NE(s.out.find("Located at Bearing Station No.  1", p1), std::string::npos);
    EXPECT_NE(s.out.find("Located at Bearing Station No.  4", p2), std::string::npos);
    EXPECT_EQ(Count(s, " Which Plane ? (X=1 , Y=2) Input 1 or 2 > "), 3);
    EXPECT_EQ(Count(s, " Which Plane  ? (X=1 , Y=2) Input 1 or 2 > "), 2);
    EXPECT_NE(s.out.find("There are: 95 Files available for storage"), std::string::npos);
    EXPECT_EQ(Count(s, "Input Filename to Store OUTPUT Data"), 0);
    for (const char* f : {"p1.dat", "p2.dat", "s1.dat"}) EXPECT_TRUE(s.exists(f)) << f;
}

TEST(AnalysisDialogs, AnimationAsksOneFile) {
    Session s = RunKorvo(Start(5) + Lines({"10", "1000", "5000", "1000", "1", "N", "anim.dat", "1"}) + kEnd,
                         WithModel(kSpeedTableModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Input Filename to Store Results for Animation > "), 1);
    EXPECT_EQ(Count(s, "TOTAL NUMBER OF ROTOR STATIONS"), 0);
    EXPECT_TRUE(s.exists("anim.dat"));
}

TEST(AnalysisDialogs, UnbalanceWithoutUnbalanceDataEntersTheEditor) {
    Session s = RunKorvo(Start(5) + Lines({"3", "", "16", "6", "8", "N"}), WithModel(kPlainModel));
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(Count(s, " Must Input Unbalance Data !"), 1);
    EXPECT_EQ(Count(s, "E D I T O R   O P T I O N S"), 1);
    EXPECT_EQ(Count(s, "Input Starting Speed"), 0);
}

}  // namespace
