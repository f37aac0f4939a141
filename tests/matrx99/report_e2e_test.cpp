// The run report of the eigenvalue analyses through the real program: banner
// with date and time, model echo with the values that entered the analysis,
// optional tables, sums, unit headers, result tables and the closing list.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace {

// A session set-up that places one model file in the folder.
SessionSetup Files(const std::string& name, const std::string& text) {
    SessionSetup setup;
    setup.files[name] = text;
    return setup;
}

using S = std::string;

std::string Sp(int n) { return std::string(n, ' '); }
std::string Rep(int n, char c) { return std::string(n, c); }

std::string RStrip(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}
std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(' ');
    return a == std::string::npos ? "" : RStrip(s.substr(a));
}

// Integer in columns [pos, pos + len) of a line; -1 when it holds no number.
int Field(const std::string& line, size_t pos, size_t len) {
    if (line.size() < pos + len) return -1;
    const std::string f = Trim(line.substr(pos, len));
    if (f.empty() || f.find_first_not_of("0123456789") != std::string::npos) return -1;
    return std::stoi(f);
}
// I2 editing: one-digit values with a leading blank.
std::string I2(int v) { return v >= 0 && v < 10 ? S(" ") + std::to_string(v) : std::to_string(v); }

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> v = SplitLines(text);
    for (auto& l : v) l = RStrip(l);
    return v;
}

int Find(const std::vector<std::string>& v, const std::string& line, int from = 0) {
    for (int i = from; i < static_cast<int>(v.size()); ++i)
        if (v[i] == line) return i;
    return -1;
}
int Count(const std::vector<std::string>& v, const std::string& line) {
    int n = 0;
    for (const auto& l : v) n += l == line;
    return n;
}
int CountPrefix(const std::vector<std::string>& v, const std::string& prefix) {
    int n = 0;
    for (const auto& l : v) n += l.rfind(prefix, 0) == 0;
    return n;
}

std::vector<double> Numbers(const std::string& line) {
    std::vector<double> out;
    const char* p = line.c_str();
    while (*p) {
        char* end = nullptr;
        double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        out.push_back(v);
        p = end;
    }
    return out;
}

// English model: a disc entered without weight, two bearings with weights,
// a pedestal under bearing 2, an added weight, constant coefficients.
const char* kModelA =
    "REPORT MODEL A\n"
    "4 1 2 1 1\n"
    "1 0\n"
    "2.0 0.0 10.0 0.0 8.0\n"
    "2.0 0.0 10.0 0.0 8.0\n"
    "2.0 0.0 5.0 0.0 4.0\n"
    "2 10.0 0.0 1.0 0.0 0.0 0.0\n"
    "1 5.0\n"
    "4 3.0\n"
    "4 50.0\n"
    "1.0E6 2.0E6 10.0 20.0\n"
    "3 2.5\n"
    "3.0E7 0.283\n"
    "1\n"
    "0.0\n"
    "1.0E6 0.0 0.0 1.0E6 100.0 0.0 0.0 100.0\n"
    "2.0E6 1.0E5 -1.0E5 2.0E6 200.0 0.0 0.0 200.0\n"
    "1 0.0 0.0\n2 0.5 30.0\n3 0.0 0.0\n4 0.0 0.0\n";

// Metric model with a pedestal and coefficients at two speeds.
const char* kModelB =
    "METRIC MODEL B\n"
    "3 0 2 1 0\n"
    "2 0\n"
    "50.0 0.0 500.0 0.0 0.0\n"
    "50.0 0.0 500.0 0.0 0.0\n"
    "1 0.0\n"
    "3 0.0\n"
    "3 20.0\n"
    "1.0E4 1.0E4 1.0 1.0\n"
    "2.1E4 7.85E-6\n"
    "2\n"
    "1000.0\n"
    "1.0E4 0.0 0.0 1.0E4 2.0 0.0 0.0 2.0\n"
    "1.0E4 0.0 0.0 1.0E4 2.0 0.0 0.0 2.0\n"
    "5000.0\n"
    "2.0E4 0.0 0.0 2.0E4 3.0 0.0 0.0 3.0\n"
    "2.0E4 0.0 0.0 2.0E4 3.0 0.0 0.0 3.0\n"
    "1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";

// Minimal English model: shaft and two damped bearings only.
const char* kModelC =
    "MINIMAL MODEL C\n"
    "3 0 2 0 0\n"
    "1 0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "2.0 0.0 10.0 0.0 0.0\n"
    "1 0.0\n"
    "3 0.0\n"
    "3.0E7 0.283\n"
    "1\n"
    "0.0\n"
    "1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n"
    "1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n"
    "1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";

struct Clock {
    int year, month, day, secs;
};
Clock Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec};
}

// The file names listed between the heading and the end-of-run line.
std::vector<std::string> ClosingList(const Session& s) {
    const std::vector<std::string> out = Lines(s.out);
    std::vector<std::string> names;
    int i = 0;
    while (i < static_cast<int>(out.size()) && Trim(out[i]) != "OUTPUT FILE(S) GENERATED") ++i;
    if (i + 1 >= static_cast<int>(out.size()) || Trim(out[i + 1]) != Rep(24, '_')) return {"<no heading>"};
    for (i += 2; i < static_cast<int>(out.size()) && Trim(out[i]) != "***    END OF RUN    ***"; ++i)
        if (!Trim(out[i]).empty()) names.push_back(Trim(out[i]));
    return names;
}

TEST(ReportE2E, EnglishModelUndampedWithEveryTable) {
    const Clock before = Now();
    Session s = RunKorvo("1\n\n1\n1\nmodela.dat\n5\nY\nN\n1\nrep.out\n\n8\n", Files("modela.dat", kModelA));
    const Clock after = Now();
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> r = Lines(s.file("rep.out"));
    ASSERT_GT(r.size(), 100u);

    // Banner.
    const std::vector<std::string> banner = {
        "",
        "  V A R N H O L T",
        "  QUENDEL",
        "",
        "",
        Sp(14) + "R O T O R    D Y N A M I C S   A N A L Y S I S",
        "",
        "",
        "",
        "",
    };
    for (size_t i = 0; i < banner.size(); ++i) EXPECT_EQ(r[i], banner[i]) << "line " << i + 1;
    // "RUN ON: mm-dd-yyyy" and "AT: hh:mm:ss", two-digit fields with a
    // leading blank instead of a zero.
    ASSERT_EQ(r[10].size(), 63u) << r[10];
    ASSERT_EQ(r[11].size(), 61u) << r[11];
    const int mo = Field(r[10], 53, 2), dd = Field(r[10], 56, 2), yy = Field(r[10], 59, 4);
    EXPECT_EQ(r[10], Sp(45) + "RUN ON: " + I2(mo) + "-" + I2(dd) + "-" + std::to_string(yy));
    EXPECT_TRUE((yy == before.year && mo == before.month && dd == before.day) ||
                (yy == after.year && mo == after.month && dd == after.day));
    const int hh = Field(r[11], 53, 2), mi = Field(r[11], 56, 2), ss = Field(r[11], 59, 2);
    EXPECT_EQ(r[11], Sp(49) + "AT: " + I2(hh) + ":" + I2(mi) + ":" + I2(ss));
    const int secs = hh * 3600 + mi * 60 + ss;
    if (before.secs <= after.secs) {
        EXPECT_GE(secs, before.secs);
        EXPECT_LE(secs, after.secs);
    }
    EXPECT_EQ(r[12], "");
    EXPECT_EQ(r[13], "");
    EXPECT_EQ(r[14], "");
    EXPECT_EQ(r[15], "");
    EXPECT_EQ(r[16], Sp(14) + "Developed by Tormalen");
    EXPECT_EQ(r[17], Sp(14) + "Last Change Made on December 22, 1995");
    EXPECT_EQ(r[18], Sp(2) + Rep(78, '_'));
    EXPECT_EQ(r[19], "");
    EXPECT_EQ(r[20], "  TITLE : REPORT MODEL A");
    EXPECT_EQ(r[21], "  =======");

    // Counts.
    int c = Find(r, "  Number of stations ............. =  4");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 1], "  Number of discs ................ =  1");
    EXPECT_EQ(r[c + 2], "  Number of bearings ............. =  2");
    EXPECT_EQ(r[c + 3], "  Number of Pedestals ............ =  1");
    EXPECT_EQ(r[c + 4], "  Number of Extra Weights......... =  1");
    EXPECT_GE(Find(r, "  Total Number of Degrees Of Freedom  18"), 0);

    // Shaft table: rows with the material repeated, the sums.
    c = Find(r, " Shaft element data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 2], S(" Element") + Sp(6) + "O.D." + Sp(7) + "I.D." + Sp(4) + "Length" + Sp(5) + "Weight" + Sp(3) +
                            "Mod. of Elas." + Sp(2) + "Density");
    EXPECT_EQ(r[c + 3], Sp(4) + "No." + Sp(7) + "IN." + Sp(8) + "IN." + Sp(7) + "IN." + Sp(7) + "LB" + Sp(6) +
                            "LB/IN**2" + Sp(7) + "LB/IN**3");
    EXPECT_EQ(r[c + 6], "     1       2.00       .000       10.0       8.00       .300E+08   .283");
    EXPECT_EQ(r[c + 8], "     3       2.00       .000       5.00       4.00       .300E+08   .283");
    EXPECT_EQ(r[c + 9], Sp(33) + Rep(10, '_') + Sp(2) + Rep(10, '_'));
    EXPECT_EQ(r[c + 10], Sp(27) + "SUM:" + Sp(4) + "25.0" + Sp(8) + "20.0");

    // Disc table: the weight and moments computed by the set-up.
    c = Find(r, " Discs data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], S(" No.") + Sp(3) + "No." + Sp(6) + "IN." + Sp(6) + "IN." + Sp(6) + "IN." + Sp(7) + "LB" +
                            Sp(8) + "LB-IN**2" + Sp(5) + "LB-IN**2");
    EXPECT_EQ(r[c + 6], "  1     2    10.0       .000       1.00       22.2       278.       141.");
    EXPECT_EQ(r[c + 7], Sp(44) + Rep(10, '_'));
    EXPECT_EQ(r[c + 8], Sp(38) + "SUM:" + Sp(4) + "22.2");

    // Bearings and pedestals, the pedestal coefficients.
    c = Find(r, " Bearing data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 7], "    2            4        3.00");
    EXPECT_EQ(r[c + 9], Sp(18) + "SUM:" + Sp(4) + "8.00");
    c = Find(r, " Pedestal data:");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 6], "    1            4        50.0");
    EXPECT_EQ(r[c + 8], Sp(18) + "SUM:" + Sp(4) + "50.0");
    c = Find(r, " Pedestal Dynamic Coefficients");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 4], Sp(11) + " 1." + Sp(5) + "  .100E+07" + Sp(2) + "  .200E+07" + Sp(12) + "  10.0" + Sp(6) +
                            "  20.0");

    // Added weight: the sum line has no label.
    c = Find(r, " Added Weight Data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 6], "   1          3        2.50");
    EXPECT_EQ(r[c + 7], Sp(21) + Rep(10, '_'));
    EXPECT_EQ(r[c + 8], Sp(23) + "2.50");

    // Bearing coefficients, one set: number on the first line, then a rule.
    c = Find(r, " Bearing coefficients :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], S("   No.") + Sp(4) + "RPM" + Sp(15) + "LB/IN." + Sp(26) + "LB-SEC/IN.");
    EXPECT_EQ(r[c + 6], "    1     .000          .100E+07    .000                100.        .000");
    EXPECT_EQ(r[c + 7], Sp(24) + ".000        .100E+07            .000        100.");
    EXPECT_EQ(r[c + 8], Sp(8) + Rep(70, '_'));
    EXPECT_EQ(r[c + 10], Sp(23) + "-.100E+06    .200E+07            .000        200.");

    // Mass note, no unbalance table outside the unbalance response.
    c = Find(r, "  MASS DISTRIBUTION USED");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 1], "  ----------------------");
    EXPECT_EQ(r[c + 3], "  Lumped Mass distribution");
    EXPECT_EQ(Find(r, " Unbalance    Station    Amplitude    Phase angle"), -1);

    // Undamped results: 9 pairs of 4 station rows, frequencies ascending.
    EXPECT_EQ(Count(r, " Eigenvalue problem solution :"), 1);
    EXPECT_EQ(CountPrefix(r, "  MODE "), 9);
    EXPECT_EQ(Find(r, S("  MODE") + Sp(21) + "No. 1" + Sp(30) + "No. 2"), c + 10);
    std::vector<double> freq;
    for (int i = 0; i < static_cast<int>(r.size()); ++i) {
        if (r[i].rfind("  FREQ. [RPM]", 0) != 0) continue;
        const std::vector<double> f = Numbers(r[i]);
        ASSERT_EQ(f.size(), 2u);
        freq.insert(freq.end(), f.begin(), f.end());
        EXPECT_EQ(r[i + 1], S("  Stat. No.") + Sp(10) + "X-dir" + Sp(8) + "Y-dir" + Sp(18) + "X-dir" + Sp(8) + "Y-dir");
        for (int st = 1; st <= 4; ++st) EXPECT_EQ(Numbers(r[i + 2 + st]).size(), 5u);
    }
    ASSERT_EQ(freq.size(), 18u);
    for (size_t k = 1; k < freq.size(); ++k) EXPECT_LE(freq[k - 1], freq[k] * (1 + 1e-3));
    EXPECT_EQ(Find(r, Sp(8) + Rep(70, '_'), Find(r, "  MASS DISTRIBUTION USED")), -1);  // no rule after option 1

    // Closing: the model file, only the report generated, end of run.
    EXPECT_NE(s.out.find("DATA FILE USED IN THIS RUN: modela.dat"), std::string::npos);
    EXPECT_EQ(ClosingList(s), std::vector<std::string>{"rep.out"});
    EXPECT_NE(s.out.find("\a"), std::string::npos);
}

TEST(ReportE2E, MetricModelBothProblemsAtASpeed) {
    Session s = RunKorvo("3\n1\n1\nmodelb.dat\n5\nN\nN\n2\n3000\nrepb.out\n\n8\n",
                         Files("modelb.dat", kModelB));
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> r = Lines(s.file("repb.out"));
    ASSERT_GT(r.size(), 50u);

    // Metric headers; pedestal weights keep their single heading.
    int c = Find(r, " Shaft element data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], Sp(4) + "No." + Sp(7) + "MM." + Sp(8) + "MM." + Sp(7) + "MM." + Sp(7) + "KG" + Sp(6) +
                            "KG/MM**2" + Sp(7) + "KG/MM**3");
    c = Find(r, " Bearing data :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], "   No.       No.          KG");
    c = Find(r, " Pedestal data:");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], "   No.       No.          LB");
    c = Find(r, " Bearing coefficients :");
    ASSERT_GE(c, 0);
    EXPECT_EQ(r[c + 3], S("   No.") + Sp(4) + "RPM" + Sp(15) + "KG/MM." + Sp(26) + "KG-SEC/MM.");
    EXPECT_EQ(Find(r, " Discs data :"), -1);
    EXPECT_EQ(Find(r, " Added Weight Data :"), -1);

    // Two data sets per bearing: only the first carries the bearing number,
    // each is followed by a rule.
    EXPECT_EQ(r[c + 6], "    1     .100E+04      .100E+05    .000                2.00        .000");
    EXPECT_EQ(r[c + 8], Sp(8) + Rep(70, '_'));
    EXPECT_EQ(r[c + 9], Sp(10) + ".500E+04      .200E+05    .000                3.00        .000");
    EXPECT_EQ(r[c + 11], Sp(8) + Rep(70, '_'));
    EXPECT_EQ(r[c + 12], "    2     .100E+04      .100E+05    .000                2.00        .000");

    EXPECT_EQ(r[Find(r, "  MASS DISTRIBUTION USED") + 3], "  [1/6 - 2/3 - 1/6] Distribution");

    // Undamped table, the rule, then the damped rows under the one heading,
    // with the spin speed because the coefficients depend on speed.
    EXPECT_EQ(Count(r, " Eigenvalue problem solution :"), 1);
    const int spin = Find(r, " Spin speed =    3000.00 RPM");
    ASSERT_GT(spin, 0);
    int lastMode = -1;
    for (int i = 0; i < spin; ++i)
        if (r[i].rfind("  MODE ", 0) == 0) lastMode = i;
    ASSERT_GT(lastMode, 0);
    EXPECT_EQ(r[lastMode + 7], Sp(8) + Rep(70, '_'));  // blank line + heading + 3 stations, then the rule
    EXPECT_EQ(r[lastMode + 8], " Spin speed =    3000.00 RPM");
    EXPECT_EQ(r[spin + 1], S(" ") + Rep(27, '_'));
    EXPECT_EQ(r[spin + 3], " Mode No.     Real Part     Imaginary Part          RPM");
    EXPECT_EQ(CountPrefix(r, "  MODE "), 7);
    // 2 NDOF = 28 eigenvalue rows numbered 1..28.
    for (int i = 1; i <= 28; ++i) {
        const std::vector<double> v = Numbers(r[spin + 4 + i]);
        ASSERT_EQ(v.size(), 4u) << r[spin + 4 + i];
        EXPECT_EQ(v[0], i);
    }
    EXPECT_EQ(r[spin + 33], "");

    EXPECT_EQ(ClosingList(s), std::vector<std::string>{"repb.out"});
}

TEST(ReportE2E, DampedOnlyWithConstantCoefficients) {
    Session s = RunKorvo("2\n1\n1\nmodelc.dat\n5\n3\nrepc.out\n\n8\n", Files("modelc.dat", kModelC));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find(" DAMPED EIGENVALUE PROBLEM ..."), std::string::npos);
    EXPECT_EQ(s.out.find(" UNDAMPED EIGENVALUE PROBLEM ..."), std::string::npos);
    const std::vector<std::string> r = Lines(s.file("repc.out"));
    const std::vector<std::string> raw = SplitLines(s.file("repc.out"));

    // Only the shaft, bearing and coefficient tables.
    EXPECT_EQ(Find(r, " Discs data :"), -1);
    EXPECT_EQ(Find(r, " Pedestal data:"), -1);
    EXPECT_EQ(Find(r, " Added Weight Data :"), -1);
    EXPECT_GE(Find(r, " Bearing data :"), 0);
    // Weights computed from the geometry: pi/4 * 4 * 10 * 0.283 = 8.89 each.
    int c = Find(r, " Shaft element data :");
    EXPECT_EQ(r[c + 6], "     1       2.00       .000       10.0       8.89       .300E+08   .283");
    EXPECT_EQ(r[c + 9], Sp(27) + "SUM:" + Sp(4) + "20.0" + Sp(8) + "17.8");
    EXPECT_EQ(r[Find(r, "  MASS DISTRIBUTION USED") + 3], "  Consistent Mass distribution");

    // Damped rows without a spin-speed heading, 2 NDOF = 24 of them; the
    // RPM column is the imaginary part times 30/pi; damped modes decay and
    // come in conjugate pairs.
    const int h = Find(r, " Eigenvalue problem solution :");
    ASSERT_GT(h, 0);
    EXPECT_EQ(Find(r, " Spin speed =", 0), -1);
    EXPECT_EQ(CountPrefix(r, "  MODE "), 0);
    double sumIm = 0.0;
    for (int i = 1; i <= 24; ++i) {
        const std::string& line = raw[h + 2 + i];
        // (6X,I3,3(2X,G15.6)): 60 columns, the fields in their places.
        ASSERT_EQ(line.size(), 60u) << line;
        EXPECT_EQ(line.substr(0, 6), Sp(6));
        for (int f = 0; f < 3; ++f) EXPECT_EQ(line.substr(9 + 17 * f, 2), Sp(2)) << line;
        const std::vector<double> v = Numbers(line);
        ASSERT_EQ(v.size(), 4u) << line;
        EXPECT_EQ(v[0], i);
        EXPECT_LT(v[1], 0.0) << line;
        EXPECT_NEAR(v[3], v[2] * 30.0 / M_PI, 2e-5 * std::fabs(v[3]) + 1e-6) << line;
        sumIm += v[2];
    }
    EXPECT_EQ(r[h + 27], "");
    EXPECT_NEAR(sumIm, 0.0, 1e-2);
    EXPECT_EQ(ClosingList(s), std::vector<std::string>{"repc.out"});
}

TEST(ReportE2E, ClosingListNamesTheResultFilesInOpenOrder) {
    Session s = RunKorvo("1\n\n1\n1\nmodelc.dat\n5\nY\nY\n3\nN\n2\nmodes1.dat\n1\nmodes2.dat\n1\nrep.out\n\n8\n",
                         Files("modelc.dat", kModelC));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(ClosingList(s), (std::vector<std::string>{"modes1.dat", "modes2.dat", "rep.out"}));
    EXPECT_TRUE(s.exists("modes1.dat"));
    EXPECT_TRUE(s.exists("modes2.dat"));
}


TEST(ReportE2E, UnbalanceTableUnderTheUnbalanceResponse) {
    // Unbalance at stations 2 and 4: rows 1 and 2 carry the station numbers.
    std::string model = kModelA;
    model.replace(model.find("4 0.0 0.0\n"), 10, "4 0.25 -45.0\n");
    Session s = RunKorvo("5\n1\n1\nmodelu.dat\n5\n11\n1000\n3000\n1000\n1\nrepu.out\n\n8\n",
                         Files("modelu.dat", model));
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> r = Lines(s.file("repu.out"));
    const int c = Find(r, S(" Unbalance") + Sp(4) + "Station" + Sp(4) + "Amplitude" + Sp(4) + "Phase angle");
    ASSERT_GT(c, 0);
    EXPECT_EQ(r[c + 1], S("   No.") + Sp(8) + "No." + Sp(8) + "IN-LB" + Sp(12) + "DEG.");
    EXPECT_EQ(r[c + 4], S("    1") + Sp(10) + "2" + Sp(10) + ".500" + Sp(13) + "30.0");
    EXPECT_EQ(r[c + 5], S("    2") + Sp(10) + "4" + Sp(10) + ".250" + Sp(12) + "-45.0");
    EXPECT_EQ(r[c + 6], "");
    EXPECT_EQ(r[c + 7], "  MASS DISTRIBUTION USED");
    EXPECT_EQ(ClosingList(s), std::vector<std::string>{"repu.out"});
}

TEST(ReportE2E, FreeRotorWithoutBearingsWarnsOfTheUndampedSolution) {
    const char* model =
        "FREE ROTOR\n5 0 0 0 0\n1 0\n"
        "2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n"
        "3.0E7 0.283\n1\n0.0\n"
        "1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n4 0.0 0.0\n5 0.0 0.0\n";
    Session s = RunKorvo("1\n\n1\n1\nmodele.dat\n5\nN\nN\n1\nrepe.out\n\n8\n", Files("modele.dat", model));
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> r = Lines(s.file("repe.out"));
    // No bearing table; the coefficient header stands without rows.
    EXPECT_EQ(Find(r, " Bearing data :"), -1);
    const int c = Find(r, " Bearing coefficients :");
    ASSERT_GT(c, 0);
    EXPECT_EQ(r[c + 4], S(" ") + Rep(77, '_'));
    EXPECT_EQ(r[c + 5], "");
    EXPECT_EQ(r[c + 6], "");
    EXPECT_EQ(r[c + 7], "  MASS DISTRIBUTION USED");
    // The rigid-body modes stop the solver: said on the console and in the
    // report, before the results, which are still printed.
    const std::string warn = "WARNING: The undamped eigenvalue solution did not converge (error code ";
    EXPECT_NE(s.out.find(warn), std::string::npos) << s.out;
    const int w = Find(r, S("  ") + warn + "3).");
    ASSERT_GT(w, c);
    EXPECT_EQ(r[w + 1].rfind("  Modes with unreliable results: 1", 0), 0u) << r[w + 1];
    EXPECT_EQ(Find(r, " Eigenvalue problem solution :"), w + 4);
    EXPECT_EQ(CountPrefix(r, "  MODE "), 10);
}

TEST(ReportE2E, SingularMassMatrixMakesTheDampedResultsMeaningless) {
    // Massless shaft: only the disc station has mass, so the eight degrees of
    // freedom of the end stations have all-zero mass rows (one pause each).
    const char* model =
        "SINGULAR MASS\n3 1 2 0 0\n1 0\n"
        "2.0 0.0 10.0 0.0 0.0\n2.0 0.0 10.0 0.0 0.0\n"
        "2 10.0 0.0 1.0 100.0 2000.0 1000.0\n"
        "1 0.0\n3 0.0\n3.0E7 0.0\n1\n0.0\n"
        "1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n1.0E5 0.0 0.0 1.0E5 50.0 0.0 0.0 50.0\n"
        "1 0.0 0.0\n2 0.0 0.0\n3 0.0 0.0\n";
    Session s = RunKorvo(S("2\n1\n1\nmodeld.dat\n5\n1\nrepd.out\n") + std::string(8, '\n') + "\n8\n",
                         Files("modeld.dat", model));
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(CountOccurrences(s.out, "Singular matrix."), 8);
    const std::string text = "The damped eigenvalue results of this run are not meaningful.";
    EXPECT_NE(s.out.find(text), std::string::npos);
    const std::vector<std::string> r = Lines(s.file("repd.out"));
    const int w = Find(r, S("  ") + text);
    ASSERT_GT(w, 0);
    EXPECT_EQ(r[w - 1], "  WARNING: The mass matrix is singular (a degree of freedom without mass).");
    EXPECT_EQ(r[w - 6], "  MASS DISTRIBUTION USED");
    EXPECT_EQ(Find(r, " Eigenvalue problem solution :"), w + 3);
}


TEST(ReportE2E, ExampleSessionsRunToTheEnd) {
    struct Example {
        const char* script;
        const char* model;
        std::vector<std::string> files;  // report last
    };
    const Example examples[] = {
        {"undamped_simple.in", "simple.dat", {"simple_m12.txt", "simple_m34.txt", "simple_1.out"}},
        {"damped_metric.in", "metric.dat", {"metric_2.out"}},
        {"both_pedestal.in", "pedestal.dat", {"pedestal_3.out"}},
        {"both_stability.in", "stability.dat", {"stab_modes.txt", "stabil_3.out"}},
    };
    for (const Example& e : examples) {
        std::ifstream in(ExamplePath(e.script), std::ios::binary);
        ASSERT_TRUE(in) << e.script;
        const std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        SessionSetup setup;
        setup.examples = {e.model};
        Session s = RunKorvo(script, setup);
        EXPECT_EQ(s.status, 0) << e.script << "\n" << s.err;
        EXPECT_EQ(ClosingList(s), e.files) << e.script;
        const std::vector<std::string> r = Lines(s.file(e.files.back()));
        EXPECT_EQ(Count(r, " Eigenvalue problem solution :"), 1) << e.script;
    }
}

}  // namespace
