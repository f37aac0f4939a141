// Every analysis at the limits of the model tables, one session per limit
// model: 99 stations with 99 bearings and 99 coefficient speeds; 2 NSTA +
// NPED = 198 with a pedestal under every bearing (66 + 66, the most result
// locations) and the 97 result files; sweeps over several passes; the same
// bytes whatever the number of threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "tests/support/full_size_rotor.h"
#include "tests/support/session.h"

namespace {

using korvo_test::Rotor;
using Rows = std::vector<std::vector<double>>;

std::string Names(const char* prefix, int first, int last) {
    std::string s;
    for (int k = first; k <= last; ++k) s.append(Named(prefix, k)).append("|");
    return s;
}

// The numbered rows 1, 2, ... of `width` numbers after the first `marker`.
Rows Numbered(const std::string& text, const std::string& marker, size_t width) {
    Rows t;
    for (const auto& r : NumberLines(text.substr(text.find(marker))))
        if (r.size() == width && r[0] == double(t.size() + 1)) t.push_back(r);
    return t;
}

// Both eigenvalue problems at 3000 RPM: all 396 natural frequencies finite,
// ascending, the lowest below the Rayleigh quotient of the rigid
// translation; 792 damped eigenvalues whose sum is the trace.
void ExpectEigenvalueReport(const std::string& rep, const Rotor& r) {
    std::vector<double> f;
    for (const std::string& l : SplitLines(rep))
        if (l.rfind("  FREQ. [RPM]", 0) == 0)
            for (double v : Numbers(l.substr(13))) f.push_back(v);
    ASSERT_EQ(f.size(), 396u);
    for (size_t k = 0; k < f.size(); ++k) ASSERT_TRUE(std::isfinite(f[k]) && f[k] > 0 && (k == 0 || f[k - 1] <= f[k])) << k;
    EXPECT_LE(f[0], r.FirstFrequencyBound(3000.0) * 1.0005);
    const Rows d = Numbered(rep, "Imaginary Part          RPM", 4);
    ASSERT_EQ(d.size(), 792u);
    double re = 0, im = 0, absIm = 0;
    for (const auto& row : d) re += row[1], im += row[2], absIm += std::fabs(row[2]);
    EXPECT_NEAR(re, r.EigenvalueSum(), 1e-5 * std::fabs(r.EigenvalueSum()));
    EXPECT_LT(std::fabs(im), 1e-6 * absIm);
}

// One step of the eigenvalue files: speed first, then the whirl frequencies,
// positive and ascending unless an unstable eigenvalue moved to the front.
void ExpectPlottedWhirls(const std::vector<double>& re, const std::vector<double>& im) {
    ASSERT_EQ(re.size(), im.size());
    EXPECT_EQ(re[0], im[0]);
    bool stable = true;
    for (size_t m = 1; m < re.size(); ++m) {
        EXPECT_GT(im[m], 0.0);
        stable = stable && re[m] < 0;
    }
    for (size_t m = 2; stable && m < re.size(); ++m) EXPECT_LE(im[m - 1], im[m]) << re[0];
}

TEST(Limits, NinetyNineStationsBearingsAndSpeeds) {
    // All 396 modes in one file, a stability sweep storing the coefficients
    // of all 99 bearings, the unbalance summary of all 99 stations.
    const Rotor r{99, 5, 99, 0, 99};
    SessionSetup setup;
    setup.files["big.dat"] = r.File();
    setup.timeoutSeconds = 1200;
    std::string bearings;
    for (int b = 1; b <= 99; ++b) bearings += Named("k", b) + "|" + Named("c", b) + "|";
    const Session s = RunKorvo(Script("3|1|1|big.dat|5|Y|Y|396|Y|modes.txt|1|3000|both.out||4|5|1|10|re.txt|im.txt|1|Y|" + bearings +
                                      "3000|3100|100|1|stab.out||5|5|11|3000|3200|100|1|N|1|unb.out||8"),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    ExpectEigenvalueReport(s.file("both.out"), r);
    const Rows modes = Records(s.file("modes.txt"), 397);
    ASSERT_EQ(modes.size(), 99u);
    EXPECT_EQ(modes[98][0], 294.0);
    for (int j = 1; j <= 396; ++j) {
        double top = -2;
        for (int st = 0; st < 99; ++st) {
            top = std::max(top, modes[st][j]);
            EXPECT_LE(std::fabs(modes[st][j]), 1.0 + 1e-6);
        }
        EXPECT_EQ(top, 1.0) << j;
    }
    const Rows re = Records(s.file("re.txt"), 11), im = Records(s.file("im.txt"), 11);
    ASSERT_TRUE(re.size() == 2 && im.size() == 2);
    for (int i = 0; i < 2; ++i) ExpectPlottedWhirls(re[i], im[i]);
    for (int b = 1; b <= 99; ++b) {  // every bearing from its own spline columns
        const Rows k = NumberLines(s.file(Named("k", b))), c = NumberLines(s.file(Named("c", b)));
        ASSERT_TRUE(k.size() == 2 && c.size() == 2) << b;
        for (int i = 0; i < 2; ++i) {
            const double rpm = 3000 + 100 * i, sxx = Rotor::Sxx(b, rpm), sxy = r.Sxy(rpm), cxx = Rotor::Cxx(b);
            const std::vector<double> kw = {rpm, sxx, sxy, -sxy, sxx}, cw = {rpm, cxx, 0, 0, cxx};
            for (int m = 1; m <= 4; ++m) {
                EXPECT_NEAR(k[i][m], kw[m], 5e-3 * std::fabs(kw[m])) << b;
                EXPECT_NEAR(c[i][m], cw[m], 5e-3 * std::fabs(cw[m])) << b;
            }
        }
    }
    const std::vector<double> table = Numbers(s.file("stab.out").substr(s.file("stab.out").find(" REAL PART OF THE")));
    ASSERT_GE(table.size(), 22u);
    EXPECT_EQ(std::vector<double>(table.begin(), table.begin() + 22), Numbers(s.file("re.txt")));
    const std::string unb = s.file("unb.out");
    EXPECT_EQ(CountOccurrences(unb, "Response of rotor station No."), 99);
    EXPECT_EQ(CountOccurrences(unb, "Response of rotor station No.99"), 1);
    EXPECT_EQ(CountOccurrences(unb, " Total Number of Iterations =     3"), 1);
}

TEST(Limits, PedestalUnderEveryBearingAndTheFileLimit) {
    // 66 stations, each on a bearing on a pedestal: 198, 396 degrees of
    // freedom, 132 result locations. Both problems, the threshold search with
    // the energy of every bearing and pedestal, the summary of every station
    // and pedestal, and orbits filling the 97 files (31 stations, 66 pedestals):
    // the limit is said when the last name reaches it.
    Rotor r{66, 4, 66, 66, 5};
    r.q1 = 200.0;  // unstable above about 1300 RPM
    SessionSetup setup;
    setup.files["ped.dat"] = r.File();
    setup.timeoutSeconds = 1200;
    std::string orbits = "5|5|9|3000|4|Y|" + Names("p", 1, 66) + "31|" + Names("o", 1, 31);
    for (int f = 1; f <= 31; ++f) orbits += std::to_string(2 * f) + "|";
    const Session s = RunKorvo(Script("3|1|1|ped.dat|5|Y|N|1|3000|both.out||4|5|2|4|re.txt|im.txt|800|1|N|0|2100|2100|1|stab.out||"
                                      "5|5|11|3000|3200|100|1|N|1|unb.out||" + orbits + "1|8"),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(CountOccurrences(s.file("both.out"), " Number of Pedestals ............ = 66"), 1);
    ExpectEigenvalueReport(s.file("both.out"), r);
    // Stable at 0, unstable at 2100 RPM: trunc(log2(2100/800)) = 1 trial, at
    // the midpoint, which is the threshold found; the energy totals.
    const std::string stab = s.file("stab.out");
    EXPECT_EQ(ValueAfter(stab, " Threshold Speed = "), 1050.0);
    EXPECT_EQ(Numbered(stab, "Eigenvalues at the onset", 3).size(), 792u);
    EXPECT_EQ(Numbered(stab, "Normalized Self-Excited", 3).size(), 396u);
    const Rows energy = NumberLines(stab.substr(stab.find("ENERGY PER CYCLE AT THE ONSET")));
    ASSERT_GT(energy.size(), 132u);
    double tb = 0, tp = 0, scale = 0;
    for (int b = 0; b < 66; ++b) {
        const auto &brg = energy[b], &ped = energy[66 + b];
        ASSERT_TRUE(brg.size() == 5 && ped.size() == 3) << b;
        EXPECT_TRUE(brg[0] == b + 1 && brg[1] == r.Station(b + 1) && ped[0] == b + 1 && ped[1] == r.Station(b + 1));
        EXPECT_NEAR(brg[4], brg[2] + brg[3], 1e-6 * (std::fabs(brg[2]) + std::fabs(brg[3])));
        tb += brg[4], tp += ped[2], scale += std::fabs(brg[4]) + std::fabs(ped[2]);
    }
    const double totalB = ValueAfter(stab, "Energy/Cyc. of the Bearings Totals: "), totalP = ValueAfter(stab, "the Pedestals Totals: ");
    EXPECT_NEAR(totalB, tb, 1e-5 * scale);
    EXPECT_NEAR(totalP, tp, 1e-5 * scale);
    EXPECT_NEAR(ValueAfter(stab, "TOTAL ENERGY/CYCLE OF THE SYSTEM :"), totalB + totalP, 1e-5 * scale);
    // Every pedestal has its table, the last ones beyond location 99 too.
    const std::string unb = s.file("unb.out");
    EXPECT_EQ(CountOccurrences(unb, "Response of rotor station No."), 66);
    EXPECT_EQ(CountOccurrences(unb, "Response of Pedestal"), 66);
    const Rows last = NumberLines(unb.substr(unb.find("Response of Pedestal   66")));
    ASSERT_GE(last.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(last[i][0], 3000.0 + 100.0 * i);
    // 97 files of 100 points (4 timing marks at points 1, 26, 51 and 76).
    EXPECT_EQ(CountOccurrences(s.out, "There are: 31 Files available for storage"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " Total Number of Files Exceeds the Limit"), 1);
    for (int f = 1; f <= 97; ++f) {
        const Rows orbit = NumberLines(s.file(f <= 31 ? Named("o", f) : Named("p", f - 31)));
        ASSERT_EQ(orbit.size(), 100u) << f;
        double top = 0;
        for (size_t k = 0; k < orbit.size(); ++k) {
            top = std::max(top, std::fabs(orbit[k][0]) + std::fabs(orbit[k][1]));
            EXPECT_EQ(orbit[k].size(), k % 25 == 0 ? 3u : 2u);
        }
        EXPECT_GT(top, 0.0) << f;
    }
    EXPECT_FALSE(s.exists("o32"));
}

TEST(Limits, SweepsOverSeveralPasses) {
    // Unbalance sweeps of 396, 397 (396 + 1) and 1000 (396 + 396 + 208)
    // steps, each pass starting at the speed after the last step before it;
    // a stability sweep of 397 steps over all 98 intervals of a 99-speed
    // table, whose report holds the whole sweep as read back.
    SessionSetup setup;
    setup.files["unb.dat"] = SourceFile("tests/data/unbalance.dat");
    setup.files["sp99.dat"] = Rotor{3, 1, 2, 0, 99}.File();
    const struct {
        int opt, steps;
        const char* last;
    } sweeps[] = {{1, 396, "1395"}, {3, 397, "1396"}, {1, 1000, "1999"}};
    std::string script = "5|1|1|unb.dat|";
    for (const auto& w : sweeps)
        script += (w.steps == 396 ? "5|" : "5|5|") + std::to_string(w.opt) + "|1000|" + w.last + "|1|N|1|1|s" +
                  std::to_string(w.steps) + "|2|1|";
    script += "4|1|1|sp99.dat|5|1|3|re.txt|im.txt|1|Y|k1|c1|k2|c2|200|9704|24|1|rep.out||8";
    const Session s = RunKorvo(Script(script), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    for (const auto& w : sweeps) {
        const Rows rec = Records(s.file(Named("s", w.steps)), w.opt == 3 ? 3 : 2);
        ASSERT_EQ(rec.size(), size_t(w.steps));
        for (int i = 0; i < w.steps; ++i) {
            ASSERT_EQ(rec[i][0], 1000.0 + i) << w.steps;
            EXPECT_GT(rec[i][1], 0.0);
        }
    }
    EXPECT_EQ(CountOccurrences(s.out, "Iteration No.1000  Rotor Speed =   1999.0 RPM"), 1);
    const Rows re = NumberLines(s.file("re.txt")), im = NumberLines(s.file("im.txt")), k1 = NumberLines(s.file("k1"));
    ASSERT_TRUE(re.size() == 397 && im.size() == 397 && k1.size() == 397);
    const Rotor r{3, 1, 2, 0, 99};
    for (int i = 0; i < 397; ++i) {
        const double rpm = 200.0 + 24.0 * i;
        ASSERT_EQ(re[i].size(), 4u);
        EXPECT_EQ(re[i][0], rpm);
        ExpectPlottedWhirls(re[i], im[i]);
        EXPECT_NEAR(k1[i][1], Rotor::Sxx(1, rpm), 5e-3 * Rotor::Sxx(1, rpm)) << i;
        EXPECT_NEAR(k1[i][2], r.Sxy(rpm), 5e-3 * r.Sxy(rpm) + 1) << i;
    }
    const std::string rep = s.file("rep.out");
    const Rows rre = NumberLines(rep.substr(rep.find(" REAL PART OF THE EIGENVALUES")));
    const Rows rim = NumberLines(rep.substr(rep.find(" IMAGINARY PART OF THE")));
    ASSERT_GE(rre.size(), 2 * 397u);
    for (int i = 0; i < 397; ++i) {
        EXPECT_EQ(rre[i], re[i]) << i;
        EXPECT_EQ(rim[i], im[i]) << i;
    }
}

// Bearing-coefficient file names <prefix>k<b> and <prefix>c<b> of nbrg bearings.
std::string CoefficientFiles(const char* prefix, int nbrg) {
    std::string s;
    for (int b = 1; b <= nbrg; ++b) s += std::string(prefix) + "k" + std::to_string(b) + "|" + prefix + "c" + std::to_string(b) + "|";
    return s;
}

// Runs the script on the model with one thread and with four: the console
// and every file written (n of them besides the model) are the same bytes.
void ExpectSameBytesOnFourThreads(const Rotor& model, const std::string& script, int searches, int n) {
    SessionSetup setup;
    setup.files["m.dat"] = model.File();
    setup.timeoutSeconds = 1200;
    setup.env["KORVO_THREADS"] = "1";
    const Session one = RunKorvo(Script(script), setup);
    setup.env["KORVO_THREADS"] = "4";
    const Session four = RunKorvo(Script(script), setup);
    ASSERT_TRUE(one.status == 0 && four.status == 0) << one.err << four.err;
    EXPECT_EQ(CountOccurrences(one.out, "Searching for the Threshold Speed"), searches);
    EXPECT_TRUE(one.out == four.out);
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(one.dir)) {
        const std::string name = e.path().filename().string();
        if (name == "m.dat") continue;
        ++files;
        EXPECT_TRUE(four.exists(name) && MaskDateAndTime(one.file(name)) == MaskDateAndTime(four.file(name))) << name;
    }
    EXPECT_EQ(files, n);
}

}  // namespace

// The sweeps that run on worker threads, with coefficient records at every
// step and the threshold search. At full size with 18 pedestals: a stability
// sweep of 8 steps and its search, an unbalance sweep of 400 steps in two
// passes.
TEST(Threads, FullSizeSameBytesOnOneThreadAndOnFour) {
    Rotor full{90, 9, 30, 18, 20};
    full.q1 = 200.0;  // unstable from about 500 RPM
    ExpectSameBytesOnFourThreads(full,
                                 "4|1|1|m.dat|5|2|4|re|im|10|1|Y|" + CoefficientFiles("s", 30) +
                                     "0|2100|300|1|stab.out||5|5|1|0|3990|10|1|Y|" + CoefficientFiles("u", 30) +
                                     "Y|Y|ped|1|1|s1|3|1|8",
                                 1, 125);
}

// A small pedestal rotor with speed-dependent coefficients: a stability sweep
// of 491 steps in two passes and its search, the search between two speeds,
// an unbalance sweep of 981 steps in three passes. The thread-sanitizer
// build runs this one.
TEST(Threads, PedestalRotorSameBytesOnOneThreadAndOnFour) {
    Rotor small{10, 2, 4, 2, 5};
    small.q1 = 200.0;
    ExpectSameBytesOnFourThreads(small,
                                 "4|1|1|m.dat|5|2|4|re|im|1|1|Y|" + CoefficientFiles("s", 4) +
                                     "0|9800|20|1|stab.out||4|5|3|0|2000|5|N|1|1|rep3||5|5|1|0|9800|10|1|Y|" +
                                     CoefficientFiles("u", 4) + "Y|Y|ped|1|1|s1|3|3|8",
                                 2, 22);
}
