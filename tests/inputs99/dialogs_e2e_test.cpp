// The analysis option dialogs through the real program: what each path
// asks, what it refuses and asks again, and which files exist afterwards.
#include "tests/inputs99/front_end_support.h"

namespace {

using namespace fe_test;

// Three stations, two bearings, coefficients at two speeds, unbalance at
// station 2.
const char* kSpeedTableModel =
    "Dialog test rotor\n3 0 2 0 0\n1 0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n1 0.0\n3 0.0\n3.0E7 0.283\n2\n"
    "1000.0\n1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n"
    "9000.0\n2.0E5 0.0 0.0 2.0E5 20.0 0.0 0.0 20.0\n2.0E5 0.0 0.0 2.0E5 20.0 0.0 0.0 20.0\n1 0.0 0.0\n2 0.01 0.0\n"
    "3 0.0 0.0\n";

// Four stations, bearings with pedestals at stations 1 and 4, constant
// coefficients, unbalance at station 2.
const char* kPedestalModel =
    "Pedestal rotor\n4 0 2 2 0\n1 0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n1 0.0\n4 0.0\n"
    "1 5.0\n4 5.0\n1.0E6 1.0E6 10.0 10.0\n1.0E6 1.0E6 10.0 10.0\n3.0E7 0.283\n1\n0.0\n"
    "1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\n1 0.0 0.0\n2 0.01 0.0\n3 0.0 0.0\n"
    "4 0.0 0.0\n";

struct DialogPath {
    int mainopt;
    const char* model;
    std::string answers;                             // after data-menu 5, '|' between lines
    std::vector<std::pair<std::string, int>> shown;  // a screen text and how often it appears
    std::vector<std::string> files;                  // files that exist afterwards
};

TEST(AnalysisDialogs, EveryPathAsksRefusesAndOpensItsFiles) {
    // Plot option 9 stops at the limit of 97 files, whether more stations
    // were wanted or exactly 97 (timing marks outside 0..101 and station
    // numbers outside 1..3 asked again with the range).
    std::vector<std::string> orbitFiles;
    for (int k = 1; k <= 97; ++k) orbitFiles.push_back(std::string(1, 'o').append(std::to_string(k)).append(".dat"));
    auto orbits = [&](int nplot) {
        std::string a = "9|3000|-1|102|4|" + std::to_string(nplot);
        for (const std::string& f : orbitFiles) a.append("|").append(f);
        for (int k = 1; k <= 97; ++k) a += "|2";
        return a + "|1";
    };
    const std::vector<std::pair<std::string, int>> orbitShown = {
        {" Input Number of Timing Marks ... ", 3}, {" The Number of Timing Marks Must Be From 0 to 101 !", 2},
        {"Input Starting Speed", 0}, {"Three types of ends condition", 0}, {"  Only One Rotor Station per File", 1},
        {"Number of Stations to Store in File", 0}, {" Input Name for File         97", 1},
        {" Input Name for File         98", 0}, {" Total Number of Files Exceeds the Limit", 1},
        {" No More Stations Will be Stored in this Run", 1}, {" Input Node Location of Station         97 > ", 1},
        {" Input Node Location of Station         98", 0}, {"Input Filename to Store OUTPUT Data", 0}};
    const std::vector<DialogPath> paths = {
        // Normalise: another answer asked again; modes outside 1..NDOF (12);
        // a file count of 0 and a blank name; a mass distribution above 3;
        // the rotor speed of the speed-dependent model.
        {1, kSpeedTableModel, "x|Y|Y|0|999|3|N|2|m1.dat|0|1||m2.dat|5|1|3000|modes.out",
         {{"  Normalize the Mode Shapes ? Y/N > ", 2}, {" How many modes to plot ? ... ", 3},
          {" How many modes to store in file          1 ---> ", 1}, {" How many modes to store in file          2 ---> ", 2},
          {" Input Filename No.          2", 2}, {" How many modes to store in file          3", 0},
          {"CHOOSE AMONG THE FOLLOWING THE MASS DISTRIBUTION :", 2}, {" At What Rotor Speed Solve the E.V. Problem?", 1},
          {"Input Filename to Store OUTPUT Data ... ", 1}},
         {"m1.dat", "m2.dat", "modes.out"}},
        // Damped with constant coefficients: the mass and the report only.
        {2, kTinyModel, "2|damped.out",
         {{"  Damped Eigenvalues Solver", 1}, {"Normalize the Mode Shapes", 0}, {"Bearing Parameters Are Speed Dependent", 0}},
         {"damped.out"}},
        // Stability option 3: an upper speed not above the lower one, an
        // accuracy not positive and values that are not numbers asked again;
        // ln 8000 / ln 2 = 12.97 at 1 RPM, 9 iterations at 10 RPM; no speed
        // table question.
        {4, kSpeedTableModel, "3|NaN|1000|500|9000|0|-5|inf|10|Y|1|N|2|1|stab.out",
         {{" Input Lower Speed [RPM] ... ", 2}, {" Input Upper Speed [RPM] ... ", 2}, {" Desired Accuracy [RPM] = ", 5},
          {" Refused : the value is not a finite number", 2},
          {"Between   1000.0 and   9000.0 RPM", 2}, {"It Will Take About  9 Iterations to Locate It", 1},
          {"With an Accuracy of   10.000 RPM", 1}, {"It Will Take About 12 Iterations to Locate It", 1},
          {"Store The Fitted Coefficients", 0}, {"Input Starting Speed", 0}, {"How many modes to plot", 0},
          {"Bearing Parameters Are Speed Dependent", 0}},
         {"stab.out"}},
        // Stability option 1: eigenvalues to plot outside 1..10, an existing
        // file overwritten, another answer back at the end condition, the
        // fitted coefficients of both bearings, a zero speed increment.
        {4, kSpeedTableModel, "1|11|0|3|re.dat|Y|im.dat|1|x|3|Y|k1.dat|c1.dat|k2.dat|c2.dat|1000|5000|0|500|1|stab1.out",
         {{" How many modes to plot ? ... ", 3}, {"Already Exists ! Overwrite it ? Y/N >", 1},
          {"Three types of ends condition could be used:", 1}, {"Choose Option < 1 -  3>", 3},
          {"Store The Fitted Coefficients for Plotting? Y/N> ", 2}, {"of Bearing No. 2 > ", 2},
          {"  Input Speed Increment [rpm].. ", 2}, {"Input Speed Range Data for Unbalance Response", 0},
          {"Desired Accuracy", 0}, {"Bearing Parameters Are Speed Dependent", 0}},
         {"re.dat", "im.dat", "k1.dat", "c1.dat", "k2.dat", "c2.dat", "stab1.out"}},
        // Stability with constant coefficients is refused.
        {4, kTinyModel, "|6",
         {{" CANNOT SOLVE FOR STABILITY ANALYSIS ", 1}, {" WITH CONSTANT BEARING COEFFICIENTS !", 1},
          {"The Options Are :", 0}, {"D A T A    M E N U", 3}},
         {}},
        // Unbalance option 3 opens no report: stations to plot negative,
        // stations per file outside 1..99, station numbers outside 1..3.
        {5, kSpeedTableModel, "3|1000|5000|1000|1|N|-1|2|0|100|2|u1.dat|0|2|4|3|1",
         {{"There are: 97 Files available for storage", 1}, {" Number of Stations to Store in File          1 > ", 3},
          {" Number of Stations to Store in File          2", 0}, {"Stations to store in : u1.dat", 1},
          {" Input Node Location of Station          1 > ", 2}, {" Input Node Location of Station          2 > ", 2},
          {"Which Plane", 0}, {"Plot Pedestals Response", 0}, {"Input Filename to Store OUTPUT Data", 0}},
         {"u1.dat"}},
        // Unbalance option 11: the report and no result file.
        {5, kSpeedTableModel, "11|1000|5000|1000|1|N|1|unb.out",
         {{"TOTAL NUMBER OF ROTOR STATIONS TO PLOT", 0}, {"Input Filename to Store OUTPUT Data ... ", 1}},
         {"unb.out"}},
        {5, kSpeedTableModel, orbits(100), orbitShown, orbitFiles},
        {5, kSpeedTableModel, orbits(97), orbitShown, orbitFiles},
        // Orbits of three stations: a file each, below the limit; a name
        // longer than the 14-character field is cut, and the console says so.
        {5, kSpeedTableModel, "9|3000|0|3|a.dat|b.dat|orbit_station_3.dat|1|2|3|1",
         {{"Total Number of Files Exceeds the Limit", 0}, {"Stations to store in : ", 3},
          {" File name longer than 14 characters: orbit_station_ is used\r\n", 1}, {"longer than", 1}},
         {"a.dat", "b.dat", "orbit_station_"}},
        // Two pedestal files named for their bearing stations: another
        // answer at the pedestal question, plane 3 and a blank name asked
        // again; two files fewer for the stations.
        {5, kPedestalModel, "4|1000|5000|1000|x|Y|N|p1.dat|3|1||p2.dat|2|1|1|s1.dat|1|0|2|1",
         {{" Plot Pedestals Response ? Y/N > ", 2}, {"Input Filename to Store Data for Pedestal  1", 1},
          {"Input Filename to Store Data for Pedestal  2", 1}, {"Located at Bearing Station No.  1", 1},
          {"Located at Bearing Station No.  4", 1}, {" Which Plane ? (X=1 , Y=2) Input 1 or 2 > ", 3},
          {" The Plane Must Be 1 (X) or 2 (Y) !", 2},
          {" Which Plane  ? (X=1 , Y=2) Input 1 or 2 > ", 2}, {"There are: 95 Files available for storage", 1},
          {"Input Filename to Store OUTPUT Data", 0}},
         {"p1.dat", "p2.dat", "s1.dat"}},
        // The animation file.
        {5, kSpeedTableModel, "10|1000|5000|1000|1|N|anim.dat|1",
         {{" Input Filename to Store Results for Animation > ", 1}, {"TOTAL NUMBER OF ROTOR STATIONS", 0}},
         {"anim.dat"}},
        // No unbalance data: the editor is entered.
        {5, kTinyModel, "3||16|6|8|N",
         {{" Must Input Unbalance Data !", 1}, {"E D I T O R   O P T I O N S", 1}, {"Input Starting Speed", 0}},
         {}},
    };
    for (const DialogPath& p : paths) {
        SessionSetup setup;
        setup.files["rotor.dat"] = p.model;
        setup.files["re.dat"] = "";
        // The main option (1 has a pause), the model, data menu 5, the
        // answers, the end-of-run pause (skipped by the menu choice when
        // there is none) and the exit.
        std::string input = std::to_string(p.mainopt) + (p.mainopt == 1 ? "\n\n" : "\n") + "1\n1\nrotor.dat\n5\n";
        for (char c : p.answers) input += c == '|' ? '\n' : c;
        Session s = RunKorvo(input + "\n\n\n8\n", setup);
        const std::string path = "main " + std::to_string(p.mainopt) + ": " + p.answers.substr(0, 40);
        EXPECT_EQ(s.status, 0) << path << s.err;
        for (const auto& [text, times] : p.shown) EXPECT_EQ(Count(s, text), times) << path << text;
        for (const std::string& f : p.files) EXPECT_TRUE(s.exists(f)) << path << f;
    }
}

}  // namespace
