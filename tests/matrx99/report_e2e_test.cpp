// The run report through the real program: banner with date and time, the
// model echo with the values that entered the analysis, optional tables,
// sums, unit headers, the eigenvalue, stability and unbalance sections, the
// warnings and the closing list; and the example sessions.
#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;
using S = std::string;
using Lines = std::vector<std::string>;

S Sp(int n) { return S(n, ' '); }
S Rule(int n) { return S(n, '_'); }
S Trim(const S& s) {
    const size_t a = s.find_first_not_of(' '), b = s.find_last_not_of(' ');
    return a == S::npos ? "" : s.substr(a, b - a + 1);
}
// Report lines without trailing blanks.
Lines ReportLines(const S& text) {
    Lines v = SplitLines(text);
    for (auto& l : v) l = l.substr(0, l.find_last_not_of(' ') + 1);
    return v;
}
int Find(const Lines& v, const S& line, int from = 0) {
    for (int i = from; i < static_cast<int>(v.size()); ++i)
        if (v[i] == line) return i;
    return -1;
}
int CountPrefix(const Lines& v, const S& prefix) {
    int n = 0;
    for (const auto& l : v) n += l.rfind(prefix, 0) == 0;
    return n;
}
// The file names listed under "OUTPUT FILE(S) GENERATED" in a run's console output.
Lines ClosingList(const S& console) {
    Lines names;
    for (const auto& l : LinesAfter(console, "OUTPUT FILE(S) GENERATED")) {
        if (l.find("END OF RUN") != S::npos) break;
        if (!Trim(l).empty() && Trim(l) != Rule(24)) names.push_back(Trim(l));
    }
    return names;
}
// "RUN ON: mm-dd-yyyy" or "AT: hh:mm:ss" with I2 fields (a blank, not a zero,
// before one digit) for some second from t0 to t1.
bool Stamped(const S& line, std::time_t t0, std::time_t t1, bool date) {
    for (std::time_t t = t0; t <= t1; ++t) {
        std::tm tm{};
        localtime_r(&t, &tm);
        char b[100];
        if (date)
            std::snprintf(b, sizeof b, "%45sRUN ON: %2d-%2d-%d", "", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
        else
            std::snprintf(b, sizeof b, "%49sAT: %2d:%2d:%2d", "", tm.tm_hour, tm.tm_min, tm.tm_sec);
        if (line == b) return true;
    }
    return false;
}

// English model: a disc entered without weight, two bearings with weights,
// a pedestal under bearing 2, an added weight, constant coefficients, and
// unbalance at stations 2 and 4.
const char* kModelA =
    "REPORT MODEL A\n4 1 2 1 1\n1 0\n"
    "2.0 0.0 10.0 0.0 8.0\n2.0 0.0 10.0 0.0 8.0\n2.0 0.0 5.0 0.0 4.0\n"
    "2 10.0 0.0 1.0 0.0 0.0 0.0\n1 5.0\n4 3.0\n4 50.0\n1.0E6 2.0E6 10.0 20.0\n3 2.5\n3.0E7 0.283\n1\n0.0\n"
    "1.0E6 0.0 0.0 1.0E6 100.0 0.0 0.0 100.0\n2.0E6 1.0E5 -1.0E5 2.0E6 200.0 0.0 0.0 200.0\n"
    "1 0.0 0.0\n2 0.5 30.0\n3 0.0 0.0\n4 0.25 -45.0\n";
// Metric model with a pedestal and coefficients at two speeds.
const char* kModelB =
    "METRIC MODEL B\n3 0 2 1 0\n2 0\n50.0 0.0 500.0 0.0 0.0\n50.0 0.0 500.0 0.0 0.0\n1 0.0\n3 0.0\n3 20.0\n"
    "1.0E4 1.0E4 1.0 1.0\n2.1E4 7.85E-6\n2\n1000.0\n"
    "1.0E4 0.0 0.0 1.0E4 2.0 0.0 0.0 2.0\n1.0E4 0.0 0.0 1.0E4 2.0 0.0 0.0 2.0\n5000.0\n"
    "2.0E4 0.0 0.0 2.0E4 3.0 0.0 0.0 3.0\n2.0E4 0.0 0.0 2.0E4 3.0 0.0 0.0 3.0\n1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";
// Shaft and two damped bearings only; without bearings: a free rotor; with a
// massless shaft and a disc: mass only at the disc station.
const char* kModelC =
    "MINIMAL MODEL C\n3 0 2 0 0\n1 0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n1 0.0\n3 0.0\n3.0E7 0.283\n1\n0.0\n"
    "1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";
const char* kFreeRotor =
    "FREE ROTOR\n5 0 0 0 0\n1 0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n"
    "2.0 0.0 10.0 0.0 0.0\n3.0E7 0.283\n1\n0.0\n1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n4 0.0 0.0\n5 0.0 0.0\n";
const char* kSingularMass =
    "SINGULAR MASS\n3 1 2 0 0\n1 0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n2 10.0 0.0 1.0 100.0 2000.0 1000.0\n"
    "1 0.0\n3 0.0\n3.0E7 0.0\n1\n0.0\n"
    "1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";

TEST(ReportE2E, EigenvalueReportsOfSixRuns) {
    SessionSetup setup;
    setup.files = {{"a.dat", kModelA}, {"b.dat", kModelB}, {"c.dat", kModelC}, {"free.dat", kFreeRotor},
                   {"sing.dat", kSingularMass}};
    const std::time_t t0 = std::time(nullptr);
    const Session s = RunKorvo(
        Script({"1", "", "1", "1", "a.dat", "5", "Y", "Y", "3", "N", "2", "modes1.dat", "1", "modes2.dat", "1",
                "repa.out", "",                                                         // undamped, mode files
                "5", "5", "11", "1000", "3000", "1000", "1", "repu.out", "",              // unbalance table
                "1", "", "1", "1", "free.dat", "5", "N", "N", "1", "repe.out", "",        // free rotor
                "3", "1", "1", "b.dat", "5", "N", "N", "2", "3000", "repb.out", "",       // metric, both problems
                "2", "1", "1", "c.dat", "5", "3", "repc.out", "",                         // damped only
                "3", "1", "1", "sing.dat", "5", "N", "N", "1", "repd.out", "", "", "", "", "", "", "", "", "", "8"}),
        setup);
    const std::time_t t1 = std::time(nullptr);
    ASSERT_EQ(s.status, 0) << s.err;
    const Lines run = SplitAt(s.out, "***    END OF RUN    ***");
    ASSERT_EQ(run.size(), 7u);

    // Banner, date and time, title, counts, and the echo of what entered the
    // analysis: a disc weight and moments computed from the geometry, sums,
    // a sum line without a label for the added weights.
    const Lines a = ReportLines(s.file("repa.out"));
    ASSERT_GT(a.size(), 100u);
    EXPECT_EQ(a[1], "  V A R N H O L T");
    EXPECT_EQ(a[5], Sp(14) + "R O T O R    D Y N A M I C S   A N A L Y S I S");
    EXPECT_TRUE(Stamped(a[10], t0, t1, true)) << a[10];
    EXPECT_TRUE(Stamped(a[11], t0, t1, false)) << a[11];
    EXPECT_EQ(a[16], Sp(14) + "Developed by Tormalen");
    EXPECT_EQ(a[18], Sp(2) + Rule(78));
    EXPECT_EQ(a[20], "  TITLE : REPORT MODEL A");
    for (const S& line : {
             S("  Number of stations ............. =  4"), S("  Number of Pedestals ............ =  1"),
             S("  Number of Extra Weights......... =  1"),
             S("  Total Number of Degrees Of Freedom  18"),
             Sp(4) + "No." + Sp(7) + "IN." + Sp(8) + "IN." + Sp(7) + "IN." + Sp(7) + "LB" + Sp(6) + "LB/IN**2" + Sp(7) +
                 "LB/IN**3",
             S("     1       2.00       .000       10.0       8.00       .300E+08   .283"),
             Sp(27) + "SUM:" + Sp(4) + "25.0" + Sp(8) + "20.0",
             S("  1     2    10.0       .000       1.00       22.2       278.       141."),
             Sp(38) + "SUM:" + Sp(4) + "22.2",
             S("    2            4        3.00"),
             Sp(18) + "SUM:" + Sp(4) + "8.00",
             S("    1            4        50.0"),
             Sp(11) + " 1." + Sp(5) + "  .100E+07" + Sp(2) + "  .200E+07" + Sp(12) + "  10.0" + Sp(6) + "  20.0",
             S("   1          3        2.50"),
             Sp(23) + "2.50",
             S("   No.") + Sp(4) + "RPM" + Sp(15) + "LB/IN." + Sp(26) + "LB-SEC/IN.",
             S("    1     .000          .100E+07    .000                100.        .000"),
             Sp(23) + "-.100E+06    .200E+07            .000        200.",
             S("  Lumped Mass distribution"),
         })
        EXPECT_GE(Find(a, line), 0) << "missing: " << line;
    EXPECT_EQ(Find(a, " Unbalance    Station    Amplitude    Phase angle"), -1);
    // Undamped results: 9 pairs of 4 station rows, frequencies ascending, no
    // rule after them under option 1.
    EXPECT_EQ(CountPrefix(a, "  MODE "), 9);
    std::vector<double> freq;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].rfind("  FREQ. [RPM]", 0) != 0) continue;
        for (double f : Numbers(a[i].substr(13))) freq.push_back(f);
        for (int st = 1; st <= 4; ++st) EXPECT_EQ(Numbers(a[i + 2 + st]).size(), 5u) << a[i + 2 + st];
    }
    ASSERT_EQ(freq.size(), 18u);
    for (size_t k = 1; k < freq.size(); ++k) EXPECT_LE(freq[k - 1], freq[k] * (1 + 1e-3));
    EXPECT_EQ(Find(a, Sp(8) + Rule(70), Find(a, "  MASS DISTRIBUTION USED")), -1);
    EXPECT_NE(run[0].find("DATA FILE USED IN THIS RUN: a.dat"), S::npos);
    EXPECT_EQ(ClosingList(run[0]), (Lines{"modes1.dat", "modes2.dat", "repa.out"}));
    EXPECT_NE(run[1].substr(0, 20).find('\a'), S::npos);  // the bell after the end of the run

    // The unbalance table of the unbalance response: rows numbered, stations.
    const Lines u = ReportLines(s.file("repu.out"));
    const int ut = Find(u, S(" Unbalance") + Sp(4) + "Station" + Sp(4) + "Amplitude" + Sp(4) + "Phase angle");
    ASSERT_GT(ut, 0);
    EXPECT_EQ(u[ut + 1], S("   No.") + Sp(8) + "No." + Sp(8) + "IN-LB" + Sp(12) + "DEG.");
    EXPECT_EQ(u[ut + 4], S("    1") + Sp(10) + "2" + Sp(10) + ".500" + Sp(13) + "30.0");
    EXPECT_EQ(u[ut + 5], S("    2") + Sp(10) + "4" + Sp(10) + ".250" + Sp(12) + "-45.0");
    EXPECT_EQ(u[ut + 7], "  MASS DISTRIBUTION USED");
    EXPECT_EQ(ClosingList(run[1]), Lines{"repu.out"});

    // A free rotor: no bearing table, the coefficient header without rows; the
    // rigid-body modes come out at (nearly) zero frequency, without a warning.
    const Lines e = ReportLines(s.file("repe.out"));
    EXPECT_EQ(Find(e, " Bearing data :"), -1);
    const int ec = Find(e, " Bearing coefficients :");
    ASSERT_GT(ec, 0);
    EXPECT_EQ(e[ec + 4], S(" ") + Rule(77));
    EXPECT_EQ(e[ec + 7], "  MASS DISTRIBUTION USED");
    EXPECT_EQ(run[2].find("WARNING"), S::npos);
    EXPECT_GT(Find(e, " Eigenvalue problem solution :"), ec);
    std::vector<double> rigid;  // modes 1 to 4
    for (const S& l : e)
        if (l.rfind("  FREQ. [RPM]", 0) == 0 && rigid.size() < 4)
            for (double f : Numbers(l.substr(13))) rigid.push_back(f);
    ASSERT_EQ(rigid.size(), 4u);
    for (double f : rigid) EXPECT_TRUE(f >= 0.0 && f < 10.0) << f;
    EXPECT_EQ(CountPrefix(e, "  MODE "), 10);

    // Metric headers (pedestal weights stay 'LB'); two data sets per bearing,
    // the number on the first only, each with its rule; MAINOPT 3: the
    // undamped table, the rule, the damped rows under the one heading with
    // the spin speed of speed-dependent coefficients.
    const Lines b = ReportLines(s.file("repb.out"));
    for (const S& line : {
             Sp(4) + "No." + Sp(7) + "MM." + Sp(8) + "MM." + Sp(7) + "MM." + Sp(7) + "KG" + Sp(6) + "KG/MM**2" + Sp(7) +
                 "KG/MM**3",
             S("   No.       No.          KG"),
             S("   No.       No.          LB"),
             S("  [1/6 - 2/3 - 1/6] Distribution"),
         })
        EXPECT_GE(Find(b, line), 0) << "missing: " << line;
    EXPECT_EQ(Find(b, " Discs data :"), -1);
    EXPECT_EQ(Find(b, " Added Weight Data :"), -1);
    const int bc = Find(b, S("   No.") + Sp(4) + "RPM" + Sp(15) + "KG/MM." + Sp(26) + "KG-SEC/MM.");
    ASSERT_GT(bc, 0);
    EXPECT_EQ(b[bc + 3], "    1     .100E+04      .100E+05    .000                2.00        .000");
    EXPECT_EQ(b[bc + 5], Sp(8) + Rule(70));
    EXPECT_EQ(b[bc + 6], Sp(10) + ".500E+04      .200E+05    .000                3.00        .000");
    EXPECT_EQ(b[bc + 8], Sp(8) + Rule(70));
    EXPECT_EQ(b[bc + 9], "    2     .100E+04      .100E+05    .000                2.00        .000");
    EXPECT_EQ(CountPrefix(b, " Eigenvalue problem solution :"), 1);
    EXPECT_EQ(CountPrefix(b, "  MODE "), 7);
    const int spin = Find(b, " Spin speed =    3000.00 RPM");
    ASSERT_GT(spin, 0);
    EXPECT_EQ(b[spin - 1], Sp(8) + Rule(70));
    EXPECT_EQ(b[spin - 2].rfind("        3 ", 0), 0u) << b[spin - 2];  // last station row of the last mode
    EXPECT_EQ(b[spin + 3], " Mode No.     Real Part     Imaginary Part          RPM");
    for (int i = 1; i <= 28; ++i) EXPECT_EQ(Numbers(b[spin + 4 + i]).at(0), i);
    EXPECT_EQ(b[spin + 33], "");

    // Damped only, constant coefficients: weights computed from the geometry
    // (pi/4 * 4 * 10 * 0.283 = 8.89), no spin speed heading; the rows
    // (6X,I3,3(2X,G15.6)) with the RPM column im * 30/pi, decaying modes in
    // conjugate pairs.
    EXPECT_NE(run[4].find(" DAMPED EIGENVALUE PROBLEM ..."), S::npos);
    EXPECT_EQ(run[4].find(" UNDAMPED EIGENVALUE PROBLEM ..."), S::npos);
    const S craw = s.file("repc.out");
    const Lines c = ReportLines(craw), rawc = SplitLines(craw);
    for (const char* table : {" Discs data :", " Pedestal data:", " Added Weight Data :", " Spin speed ="})
        EXPECT_EQ(CountPrefix(c, table), 0) << table;
    EXPECT_GE(Find(c, "     1       2.00       .000       10.0       8.89       .300E+08   .283"), 0);
    EXPECT_GE(Find(c, Sp(27) + "SUM:" + Sp(4) + "20.0" + Sp(8) + "17.8"), 0);
    EXPECT_GE(Find(c, "  Consistent Mass distribution"), 0);
    const int h = Find(c, " Eigenvalue problem solution :");
    ASSERT_GT(h, 0);
    double sumIm = 0.0;
    for (int i = 1; i <= 24; ++i) {
        const S& line = rawc[h + 2 + i];
        ASSERT_EQ(line.size(), 60u) << line;
        EXPECT_EQ(line.substr(0, 6) + line.substr(9, 2) + line.substr(26, 2) + line.substr(43, 2), Sp(12)) << line;
        const std::vector<double> v = Numbers(line);
        ASSERT_EQ(v.size(), 4u) << line;
        EXPECT_EQ(v[0], i);
        EXPECT_LT(v[1], 0.0) << line;
        EXPECT_NEAR(v[3], v[2] * 30.0 / kPi, 2e-5 * std::fabs(v[3]) + 1e-6) << line;
        sumIm += v[2];
    }
    EXPECT_EQ(c[h + 27], "");
    EXPECT_NEAR(sumIm, 0.0, 1e-2);
    EXPECT_EQ(ClosingList(run[4]), Lines{"repc.out"});

    // A singular mass matrix (the eight degrees of freedom of the massless end
    // stations, one pause each), both problems: the undamped solver refuses the
    // massless freedoms, which no shift cures, and the damped results are said
    // not to be meaningful.
    EXPECT_EQ(CountOccurrences(run[5], "Singular matrix."), 8);
    const S text = "The damped eigenvalue results of this run are not meaningful.";
    EXPECT_NE(run[5].find(text), S::npos);
    const Lines d = ReportLines(s.file("repd.out"));
    const int dw = Find(d, "  " + text);
    ASSERT_GT(dw, 0);
    EXPECT_EQ(d[dw - 1], "  WARNING: The mass matrix is singular (a degree of freedom without mass).");
    EXPECT_EQ(d[dw - 3], "  WARNING: The undamped eigenvalue solution did not converge (error code 1).");
    EXPECT_EQ(d[dw - 2], "  Modes with unreliable results: 1-12");
    EXPECT_EQ(d[dw - 8], "  MASS DISTRIBUTION USED");
    EXPECT_EQ(Find(d, " Eigenvalue problem solution :"), dw + 3);
}

// Rows of the speed table "(7X,F8.1,2(3X,G14.7))" of a stability report.
std::vector<std::vector<double>> SpeedTable(const S& report) {
    std::vector<std::vector<double>> rows;
    for (const auto& l : LinesAfter(report, "(Damping Part)    (Harmonic Part)")) {
        if (l.find("Threshold") != S::npos || l.find("Eigenvalues at") != S::npos) break;
        const auto n = Numbers(l);
        if (n.size() == 3) rows.push_back(n);
    }
    return rows;
}

TEST(ReportE2E, StabilityAndUnbalanceSections) {
    using R = CrossCoupledRotor;
    SessionSetup setup;
    setup.files = {{"rotor.dat", R::Model()}, {"unb.dat", UnbalanceModel(1, 1, false, false)},
                   {"unbm.dat", UnbalanceModel(1, 2, false, false)}};
    auto option2 = [](const char* n, const char* from, const char* to, const char* step) {
        return Lines{"4", "5", "2", "4", S("re") + n, S("im") + n, "1.0", "1", "N", from, to, step, "1",
                     S("rep") + n, ""};
    };
    // Option 2 over two passes (455 steps of 20 RPM: step 396 at 10820 is
    // stable, step 397 at 10840 unstable), a stable range, a range unstable
    // from its lowest speed; option 3; option 1 over two passes; plot option
    // 11 over -1000..1000 RPM in 11 steps on an undamped rotor without discs,
    // English and metric.
    Lines in = {"4", "1", "1", "rotor.dat", "6"};
    for (const Lines& run : {option2("1", "2920", "12000", "20"), option2("2", "1000", "5000", "500"),
                             option2("3", "12000", "15000", "500"),
                             Lines{"4", "5", "3", "5000", "15000", "10", "N", "1", "1", "rep4", ""},
                             Lines{"4", "5", "1", "2", "re5", "im5", "1", "Y", "k1", "c1", "k2", "c2", "1000", "5990", "10", "1",
                                   "rep5", ""},
                             Lines{"5", "1", "1", "unb.dat", "5", "11", "-1000", "1000", "200", "1", "rep6", ""},
                             Lines{"5", "1", "1", "unbm.dat", "5", "11", "-1000", "1000", "200", "1", "rep7", ""}})
        in.insert(in.end(), run.begin(), run.end());
    in.push_back("8");
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const Lines run = SplitAt(s.out, "***    END OF RUN    ***");
    ASSERT_EQ(run.size(), 8u);

    // Threshold against the closed form, the speed table of both passes in
    // one report, the whirl, the energy of the bearings: the cross-coupling
    // feeds what the damping drains; the onset coefficients Sxy = Q1 Omega.
    const S rep1 = s.file("rep1");
    EXPECT_EQ(CountOccurrences(rep1, "STABILITY ANALYSIS RESULTS"), 1);
    EXPECT_EQ(CountOccurrences(run[0], "Searching for the Threshold Speed"), 1);
    EXPECT_NE(run[0].find("It Will Take About  4 More Iterations"), S::npos);
    const auto table = SpeedTable(rep1);
    ASSERT_EQ(table.size(), 455u);
    for (int i : {0, 395, 396, 454}) EXPECT_EQ(table[i][0], 2920.0 + 20.0 * i);
    EXPECT_LT(table[395][1], 0.0);
    EXPECT_GT(table[396][1], 0.0);
    const double thr = ValueAfter(rep1, " Threshold Speed = ");
    EXPECT_TRUE(thr >= 10820.0 && thr <= 10840.0) << thr;
    EXPECT_NEAR(thr, R::ThresholdRpm(), 2.0);
    EXPECT_NE(rep1.find("RPM +/-  1.00 RPM"), S::npos);
    EXPECT_NEAR(ValueAfter(rep1, " Whirl Frequency = "), R::WhirlRad() * 30.0 / kPi, 0.5);
    EXPECT_NEAR(ValueAfter(rep1, " Whirl Ratio     = "), R::Q1 / R::C, 2e-4);
    EXPECT_NE(rep1.find("       16 "), S::npos);  // 2 NDOF onset eigenvalues
    const auto energy = NumberLines(S(rep1, rep1.find("Location     Part")));
    ASSERT_GE(energy.size(), 2u);
    ASSERT_EQ(energy[0].size(), 5u);
    EXPECT_EQ(energy[0][0], 1.0);
    EXPECT_LT(energy[0][2], 0.0);
    EXPECT_GT(energy[0][3], 0.0);
    EXPECT_LT(std::fabs(energy[0][4]), 0.01 * std::fabs(energy[0][2]));
    EXPECT_EQ(rep1.find("Pedestal     Bearing      Net"), S::npos);
    const auto onset = NumberLines(S(rep1, rep1.find("Bearing Coefficients at the Onset")));
    ASSERT_GE(onset.size(), 1u);
    ASSERT_EQ(onset[0].size(), 6u);
    EXPECT_NEAR(onset[0][1], thr, 0.005 * thr);
    EXPECT_NEAR(onset[0][3], R::Q1 * thr * kPi / 30.0, 0.005 * R::Q1 * thr * kPi / 30.0);

    // Stable: the range swept and its table, no threshold section.
    const S rep2 = s.file("rep2");
    EXPECT_NE(run[1].find("******* THE SYSTEM IS STABLE IN THE SPEED RANGE"), S::npos);
    EXPECT_NE(rep2.find("     ******* The System is Stable in the Speed Range\r\n     ******* FROM   1000.0 TO   5000.0 RPM"),
              S::npos);
    EXPECT_EQ(SpeedTable(rep2).size(), 9u);
    EXPECT_EQ(rep2.find("Threshold Speed"), S::npos);
    EXPECT_EQ(rep2.find("ENERGY PER CYCLE"), S::npos);

    // Unstable at the lowest speed: no search; the growing self-excited mode
    // takes energy from the bearings.
    const S rep3 = s.file("rep3");
    EXPECT_NE(run[2].find("ALREADY UNSTABLE AT THE LOWEST"), S::npos);
    EXPECT_EQ(run[2].find("Searching for the Threshold Speed"), S::npos);
    EXPECT_NE(rep3.find("Already Unstable at the Lowest Speed Examined"), S::npos);
    EXPECT_NEAR(ValueAfter(rep3, " Lowest Speed    = "), 12000.0, 0.05);
    EXPECT_GT(ValueAfter(rep3, "TOTAL ENERGY/CYCLE OF THE SYSTEM :"), 0.0);

    // Option 3: two speeds, ln(10000/10)/ln 2 = 9.97 gives 9 trials and a
    // final bracket of 10000/512; no speed table, no result files.
    const S rep4 = s.file("rep4");
    EXPECT_EQ(run[3].find("TOTAL NUMBER OF ITERATIONS"), S::npos);
    EXPECT_NE(run[3].find("It Will Take About  9 Iterations"), S::npos);
    EXPECT_EQ(CountOccurrences(run[3], "Iteration No."), 2 + 9);
    EXPECT_EQ(rep4.find("Eigenvalues as a function of rotor speed"), S::npos);
    EXPECT_NEAR(ValueAfter(rep4, " Threshold Speed = "), R::ThresholdRpm(), 2.0 * 10000.0 / 512.0);
    EXPECT_NE(rep4.find("RPM +/- 10.00 RPM"), S::npos);
    EXPECT_EQ(ClosingList(run[3]), Lines{"rep4"});

    // Option 1 over 500 steps: only the free-format tables, read back from
    // the eigenvalue files (396 records after the first pass, 104 after the
    // second), equal to their records; the plotted modes stable (below
    // 10832 RPM) in ascending whirl frequency, never real; one stiffness and
    // one damping record per bearing and step, three significant digits.
    const S rep5 = s.file("rep5");
    for (const char* absent : {"Threshold Speed", "Stable in the Speed Range", "Eigenvalues as a function"})
        EXPECT_EQ(rep5.find(absent), S::npos) << absent;
    const size_t re = rep5.find(" REAL PART OF THE EIGENVALUES"), im = rep5.find(" IMAGINARY PART OF THE EIGENVALUES");
    ASSERT_TRUE(re != S::npos && im != S::npos);
    const auto reRows = NumberLines(s.file("re5")), imRows = NumberLines(s.file("im5"));
    EXPECT_EQ(NumberLines(rep5.substr(re, im - re)), reRows);
    EXPECT_EQ(NumberLines(rep5.substr(im)), imRows);
    ASSERT_TRUE(reRows.size() == 500 && imRows.size() == 500);
    for (int i = 0; i < 500; ++i) {
        ASSERT_TRUE(reRows[i].size() == 3 && imRows[i].size() == 3) << i;
        EXPECT_EQ(reRows[i][0], 1000.0 + 10.0 * i);
        EXPECT_EQ(imRows[i][0], reRows[i][0]);
        EXPECT_TRUE(imRows[i][1] > 1.0 && imRows[i][1] <= imRows[i][2] && reRows[i][1] < 0.0) << i;
    }
    for (const char* name : {"k1", "k2", "c1", "c2"}) {
        const auto rows = NumberLines(s.file(name));
        ASSERT_EQ(rows.size(), 500u) << name;
        const size_t len = SplitLines(s.file(name))[0].size();  // 5 x (G10.3, 2X), the last blanks optional
        EXPECT_TRUE(len == 58u || len == 60u) << name << " " << len;
        for (int i : {0, 395, 396, 499}) {
            const double rpm = 1000.0 + 10.0 * i, q = R::Q1 * rpm * kPi / 30.0;
            const std::vector<double> want = name[0] == 'k' ? std::vector<double>{rpm, 1.0e5, q, -q, 1.0e5}
                                                            : std::vector<double>{rpm, 50.0, 0.0, 0.0, 50.0};
            ASSERT_EQ(rows[i].size(), 5u);
            for (int v = 0; v < 5; ++v) EXPECT_NEAR(rows[i][v], want[v], 0.005 * std::fabs(want[v]) + 1e-3) << name << i;
        }
    }
    EXPECT_EQ(ClosingList(run[4]), (Lines{"re5", "im5", "k1", "k2", "c1", "c2", "rep5"}));  // table order

    // Unbalance summary. The response at -W equals that at +W exactly, so
    // every peak is shared by steps 1 and 11 and is reported at step 11.
    const S rep6 = s.file("rep6"), rep7 = s.file("rep7");
    EXPECT_NE(rep6.find(" Initial speed ..... =  -1000.0 RPM\r\n Final speed ....... =   1000.0 RPM\r\n"
                        " Speed increment ... =    200.0 RPM"),
              S::npos);
    EXPECT_NE(rep6.find(" Total Number of Iterations =    11"), S::npos);
    EXPECT_EQ(CountOccurrences(rep6, "   RPM         MILS       DEG.              MILS       DEG."), 4);
    std::vector<std::vector<double>> st2;  // station 2: x and y equal (circular whirl)
    for (const auto& l : LinesAfter(rep6, "Response of rotor station No. 2"))
        if (Numbers(l).size() == 5 && st2.size() < 11) st2.push_back(Numbers(l));
    ASSERT_EQ(st2.size(), 11u);
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(st2[i][0], -1000.0 + 200.0 * i);
        EXPECT_EQ(st2[i][1], st2[10 - i][1]);
        EXPECT_EQ(st2[i][1], st2[i][3]);
    }
    EXPECT_EQ(st2[5][1], 0.0);  // no force at standstill
    for (const char* peak : {" Max. Amplitudes of Station   2 Occured at :\r\n  1000.0 RPM for X-direction with ",
                             "  1000.0 RPM for Y-direction with ", " MILS and a Phase of ", " Pedestals motion ",
                             " Response of Pedestal    1\r\n Located at Station No.  3",
                             " Max. Amplitudes of Pedestal  1 Occured at :"})
        EXPECT_NE(rep6.find(peak), S::npos) << peak;
    EXPECT_EQ(rep6.find(" -1000.0 RPM for X-direction"), S::npos);
    EXPECT_EQ(rep6.find("MICRONS"), S::npos);
    // Metric models report micrometres.
    EXPECT_EQ(CountOccurrences(rep7, "   RPM         MICRONS    DEG.              MICRONS    DEG."), 4);
    EXPECT_EQ(rep7.find("MILS"), S::npos);
    EXPECT_NE(rep7.find(" MICRONS and a Phase of "), S::npos);
}

TEST(ReportE2E, ExampleSessionsRunToTheEnd) {
    const struct {
        const char *script, *model;
        Lines files;  // of the last run that writes a report, the report last
    } examples[] = {
        {"undamped_simple.in", "simple.dat", {"simple_m12.txt", "simple_m34.txt", "simple_1.out"}},
        {"damped_metric.in", "metric.dat", {"metric_2.out"}},
        {"both_pedestal.in", "pedestal.dat", {"pedestal_3.out"}},
        {"both_stability.in", "stability.dat", {"stab_modes.txt", "stabil_3.out"}},
        {"stability_threshold.in", "stability.dat", {"stab_real.txt", "stab_imag.txt", "stabil_4.out"}},
        {"unbalance_simple.in", "simple.dat", {"unb_11.out"}},
    };
    for (const auto& e : examples) {
        std::ifstream in(ExamplePath(e.script), std::ios::binary);
        SessionSetup setup;
        setup.examples = {e.model};
        const Session s = RunKorvo(S(std::istreambuf_iterator<char>(in), {}), setup);
        EXPECT_EQ(s.status, 0) << e.script << "\n" << s.err;
        EXPECT_EQ(ClosingList(s.out), e.files) << e.script;
        EXPECT_GT(s.file(e.files.back()).size(), 1000u) << e.script;
    }
}

}  // namespace
