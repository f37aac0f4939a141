// Stability and unbalance sections of the run report through the real
// program.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/analyses/stability_models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;
using Lines = std::vector<std::string>;
using R = CrossCoupledRotor;

// Stability option 2 over [from, to] step `step`, accuracy `accur`.
Session RunStability2(const std::string& from, const std::string& to, const std::string& step,
                      const std::string& accur = "1.0") {
    SessionSetup setup;
    setup.files["rotor.dat"] = R::Model();
    return RunKorvo(Script({"4", "1", "1", "rotor.dat", "5", "2", "4", "real.out", "imag.out", accur, "1", "N", from,
                            to, step, "1", "report.out", "", "8"}),
                    setup);
}

// Rows of the speed table "(7X,F8.1,2(3X,G14.7))" of the report.
std::vector<std::vector<double>> SpeedTable(const std::string& report) {
    std::vector<std::vector<double>> rows;
    for (const auto& l : LinesAfter(report, "(Damping Part)    (Harmonic Part)")) {
        if (l.find("Threshold") != std::string::npos || l.find("Eigenvalues at") != std::string::npos) break;
        std::string text = l + "\n";
        const auto nl = NumberLines(text);
        if (!nl.empty() && nl[0].size() == 3) rows.push_back(nl[0]);
    }
    return rows;
}

TEST(StabilityReport, Option2ThresholdOfCrossCoupledRotorFromFirstPrinciples) {
    const Session s = RunStability2("1000", "20000", "500");
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_EQ(CountOccurrences(rep, "STABILITY ANALYSIS RESULTS"), 1);
    EXPECT_EQ(rep.find("Stable in the Speed Range"), std::string::npos);
    const auto table = SpeedTable(rep);
    ASSERT_EQ(table.size(), 39u);
    EXPECT_DOUBLE_EQ(table[0][0], 1000.0);
    EXPECT_DOUBLE_EQ(table[38][0], 20000.0);
    EXPECT_LT(table[19][1], 0.0);  // 10500 RPM stable
    EXPECT_GT(table[20][1], 0.0);  // 11000 RPM unstable
    // 500 / 2^8 wide final bracket: within two accuracies of the closed form.
    EXPECT_NE(s.out.find("It Will Take About  8 More Iterations"), std::string::npos);
    EXPECT_EQ(CountOccurrences(s.out, "Searching for the Threshold Speed"), 1);
    const double thr = ValueAfter(rep, " Threshold Speed = ");
    EXPECT_NEAR(thr, R::ThresholdRpm(), 2.0);
    EXPECT_NE(rep.find("RPM +/-  1.00 RPM"), std::string::npos);
    EXPECT_NEAR(ValueAfter(rep, " Whirl Frequency = "), R::WhirlRad() * 30.0 / kPi, 0.5);
    EXPECT_NEAR(ValueAfter(rep, " Whirl Ratio     = "), R::Q1 / R::C, 2e-4);
    // At the threshold the cross-coupling feeds what the damping drains.
    const std::string energySection = rep.substr(rep.find("ENERGY PER CYCLE AT THE ONSET"));
    const auto energy = LinesAfter(energySection, "---------------------------------------------------------------------");
    ASSERT_GE(energy.size(), 2u);
    const auto b1 = NumberLines(energy[1] + "\n");
    ASSERT_EQ(b1.size(), 1u);
    ASSERT_EQ(b1[0].size(), 5u);
    EXPECT_EQ(b1[0][0], 1.0);
    EXPECT_LT(b1[0][2], 0.0);
    EXPECT_GT(b1[0][3], 0.0);
    EXPECT_LT(std::fabs(b1[0][4]), 0.01 * std::fabs(b1[0][2]));
    EXPECT_NE(rep.find("TOTAL ENERGY/CYCLE OF THE SYSTEM :"), std::string::npos);
    EXPECT_EQ(rep.find("Pedestal     Bearing      Net"), std::string::npos);
    // Onset coefficients: Sxy = Q1 * Omega at the threshold speed.
    const std::string onset = rep.substr(rep.find("Bearing Coefficients at the Onset"));
    const auto coef = LinesAfter(onset, " _____________________________________________________________________________");
    std::vector<std::vector<double>> c1;
    for (const auto& l : coef)
        if (c1.empty()) c1 = NumberLines(l + "\n");
    ASSERT_EQ(c1.size(), 1u);
    ASSERT_EQ(c1[0].size(), 6u);
    EXPECT_NEAR(c1[0][1], thr, 0.005 * thr);
    const double q = R::Q1 * thr * kPi / 30.0;
    EXPECT_NEAR(c1[0][3], q, 0.005 * q);
    // Onset eigenvalues: 2 NDOF rows; the mode has 8 coordinates.
    EXPECT_NE(rep.find("           16 "), std::string::npos);
}

TEST(StabilityReport, Option2SweepOverTwoPassesReportsOnceAndBracketsAcrossThePasses) {
    // 455 steps of 20 RPM from 2920: step 396 is 10820 (stable), step 397 is
    // 10840 (unstable), the first step of the second pass.
    const Session s = RunStability2("2920", "12000", "20");
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_EQ(CountOccurrences(rep, "STABILITY ANALYSIS RESULTS"), 1);
    EXPECT_EQ(CountOccurrences(s.out, "END OF RUN"), 1);
    const auto table = SpeedTable(rep);
    ASSERT_EQ(table.size(), 455u);
    for (int i : {0, 395, 396, 454}) EXPECT_DOUBLE_EQ(table[i][0], 2920.0 + 20.0 * i);
    EXPECT_NE(s.out.find("It Will Take About  4 More Iterations"), std::string::npos);
    const double thr = ValueAfter(rep, " Threshold Speed = ");
    EXPECT_GE(thr, 10820.0);
    EXPECT_LE(thr, 10840.0);
    EXPECT_NEAR(thr, R::ThresholdRpm(), 2.0);
}

TEST(StabilityReport, Option2StableRangeReportsTheRangeSweptWithItsTable) {
    const Session s = RunStability2("1000", "5000", "500");
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_NE(s.out.find("******* THE SYSTEM IS STABLE IN THE SPEED RANGE"), std::string::npos);
    EXPECT_NE(rep.find("     ******* The System is Stable in the Speed Range\r\n     ******* FROM   1000.0 TO   5000.0 RPM"),
              std::string::npos);
    EXPECT_EQ(SpeedTable(rep).size(), 9u);
    EXPECT_EQ(rep.find("Threshold Speed"), std::string::npos);
    EXPECT_EQ(rep.find("ENERGY PER CYCLE"), std::string::npos);
}

TEST(StabilityReport, Option2UnstableAtTheLowestSpeed) {
    const Session s = RunStability2("12000", "15000", "500");
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_NE(s.out.find("ALREADY UNSTABLE AT THE LOWEST"), std::string::npos);
    EXPECT_EQ(s.out.find("Searching for the Threshold Speed"), std::string::npos);
    EXPECT_NE(rep.find("Already Unstable at the Lowest Speed Examined"), std::string::npos);
    EXPECT_NEAR(ValueAfter(rep, " Lowest Speed    = "), 12000.0, 0.05);
    EXPECT_NE(rep.find("ENERGY PER CYCLE"), std::string::npos);
    // The self-excited mode grows: the bearings feed more than they drain.
    const double total = ValueAfter(rep, "TOTAL ENERGY/CYCLE OF THE SYSTEM :");
    EXPECT_GT(total, 0.0);
}

TEST(StabilityReport, Option3SearchesBetweenTheTwoSpeedsWithoutTable) {
    SessionSetup setup;
    setup.files["rotor.dat"] = R::Model();
    const Session s = RunKorvo(
        Script({"4", "1", "1", "rotor.dat", "5", "3", "5000", "15000", "10", "N", "1", "1", "report.out", "", "8"}),
        setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out.find("TOTAL NUMBER OF ITERATIONS"), std::string::npos);
    EXPECT_NE(s.out.find("It Will Take About  9 Iterations"), std::string::npos);
    const std::string rep = s.file("report.out");
    EXPECT_EQ(rep.find("Eigenvalues as a function of rotor speed"), std::string::npos);
    EXPECT_FALSE(s.exists("real.out"));
    // ln(10000/10)/ln 2 = 9.97: 9 trials, a final bracket of 10000/512.
    EXPECT_EQ(CountOccurrences(s.out, "Iteration No."), 2 + 9);
    EXPECT_NEAR(ValueAfter(rep, " Threshold Speed = "), R::ThresholdRpm(), 2.0 * 10000.0 / 512.0);
    EXPECT_NE(rep.find("RPM +/- 10.00 RPM"), std::string::npos);
}

TEST(StabilityReport, Option1WritesOnlyTheFreeFormatTablesOfEveryStep) {
    SessionSetup setup;
    setup.files["rotor.dat"] = R::Model();
    // 476 steps: the tables are read back over two passes of the files.
    const Session s = RunKorvo(Script({"4", "1", "1", "rotor.dat", "5", "1", "3", "real.out", "imag.out", "1", "N",
                                       "1000", "20000", "40", "1", "report.out", "", "8"}),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_EQ(rep.find("Threshold Speed"), std::string::npos);
    EXPECT_EQ(rep.find("Stable in the Speed Range"), std::string::npos);
    EXPECT_EQ(rep.find("Eigenvalues as a function"), std::string::npos);
    const auto real = LinesAfter(rep, " ----------------------------");
    std::string block;
    for (const auto& l : real) {
        if (l.find("IMAGINARY") != std::string::npos) break;
        block += l + "\n";
    }
    const auto rows = NumberLines(block);
    ASSERT_EQ(rows.size(), 476u);
    EXPECT_EQ(rows[0].size(), 4u);
    EXPECT_DOUBLE_EQ(rows[475][0], 20000.0);
    // The rows are the records of the real-part file.
    EXPECT_EQ(NumberLines(s.file("real.out")), rows);
    const auto imag = LinesAfter(rep, " -------------------------------------------");
    std::string iblock;
    for (const auto& l : imag) iblock += l + "\n";
    EXPECT_EQ(NumberLines(iblock), NumberLines(s.file("imag.out")));
}

// Plot option 11 over -1000..1000 RPM in 11 steps on an undamped rotor
// without discs: the response at -W equals that at +W exactly, so every
// peak is shared by steps 1 and 11 and must be reported at step 11.
Session RunSummary(int iunits) {
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(1, iunits, false, false);
    return RunKorvo(
        Script({"5", "1", "1", "unb.dat", "5", "11", "-1000", "1000", "200", "1", "report.out", "", "8"}), setup);
}

TEST(UnbalanceReport, SummaryTablesAndPeaksAtTheLaterOfEqualSteps) {
    const Session s = RunSummary(1);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_NE(rep.find(" Initial speed ..... =  -1000.0 RPM\r\n Final speed ....... =   1000.0 RPM\r\n Speed increment ... =    200.0 RPM"),
              std::string::npos);
    EXPECT_NE(rep.find(" Total Number of Iterations =    11"), std::string::npos);
    EXPECT_EQ(CountOccurrences(rep, "   RPM         MILS       DEG.              MILS       DEG."), 4);
    EXPECT_EQ(rep.find("MICRONS"), std::string::npos);
    // Station 2 rows: 11 speeds; x and y amplitudes equal, y lags x by 90.
    const auto st2 = LinesAfter(rep, "Response of rotor station No. 2");
    std::vector<std::vector<double>> rows;
    for (std::size_t i = 0; i < st2.size() && rows.size() < 11; ++i) {
        const auto n = NumberLines(st2[i] + "\n");
        if (!n.empty() && n[0].size() == 5) rows.push_back(n[0]);
    }
    ASSERT_EQ(rows.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_DOUBLE_EQ(rows[i][0], -1000.0 + 200.0 * i);
        EXPECT_DOUBLE_EQ(rows[i][1], rows[10 - i][1]);
        EXPECT_DOUBLE_EQ(rows[i][1], rows[i][3]);
    }
    EXPECT_DOUBLE_EQ(rows[5][1], 0.0);  // no force at standstill
    EXPECT_NE(rep.find(" Max. Amplitudes of Station   2 Occured at :\r\n  1000.0 RPM for X-direction with "),
              std::string::npos);
    EXPECT_NE(rep.find(" MILS and a Phase of "), std::string::npos);
    EXPECT_NE(rep.find("  1000.0 RPM for Y-direction with "), std::string::npos);
    EXPECT_EQ(rep.find(" -1000.0 RPM for X-direction"), std::string::npos);
    // The pedestal section.
    EXPECT_NE(rep.find(" Pedestals motion "), std::string::npos);
    EXPECT_NE(rep.find(" Response of Pedestal    1\r\n Located at Station No.  3"), std::string::npos);
    EXPECT_NE(rep.find(" Max. Amplitudes of Pedestal  1 Occured at :"), std::string::npos);
    // No result files; the console lists only the report.
    EXPECT_NE(s.out.find("report.out"), std::string::npos);
}

TEST(UnbalanceReport, MetricModelsReportMicrometres) {
    const Session s = RunSummary(2);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string rep = s.file("report.out");
    EXPECT_EQ(CountOccurrences(rep, "   RPM         MICRONS    DEG.              MICRONS    DEG."), 4);
    EXPECT_EQ(rep.find("MILS"), std::string::npos);
    EXPECT_NE(rep.find(" MICRONS and a Phase of "), std::string::npos);
}

}  // namespace
