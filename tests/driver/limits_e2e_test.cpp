// Every analysis at the limits of the model tables, through the real program:
// 99 stations with 99 bearings and 99 coefficient speeds; 2*NSTA + NPED = 198
// with a pedestal under every bearing (66 + 66, the most result locations);
// the 97-file limit of the unbalance dialog; sweeps spanning several passes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/analyses/stability_models.h"
#include "tests/support/full_size_rotor.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<double>>;

// A file name: prefix and number.
std::string Name(const char* prefix, int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%s%d", prefix, n);
    return buf;
}

std::string Join(const Lines& lines) {
    std::string t;
    for (const auto& l : lines) t += l + "\n";
    return t;
}

// Rows of numbers after the first line holding `marker`.
Rows RowsAfter(const std::string& text, const std::string& marker) { return NumberLines(Join(LinesAfter(text, marker))); }

// The leading rows numbered 1, 2, ... of a table, each with `width` numbers.
Rows Numbered(const Rows& rows, std::size_t width) {
    Rows t;
    for (const auto& r : rows) {
        if (r.size() != width || r[0] != static_cast<double>(t.size() + 1)) break;
        t.push_back(r);
    }
    return t;
}

// The numbers of a file cut into records of `width` values.
Rows Records(const std::string& text, std::size_t width) {
    const std::vector<double> all = Numbers(text);
    Rows recs;
    for (std::size_t i = 0; i + width <= all.size(); i += width) recs.emplace_back(all.begin() + i, all.begin() + i + width);
    EXPECT_EQ(all.size() % width, 0u);
    return recs;
}

// One step of the eigenvalue files: whirl frequencies positive, ascending
// unless an unstable eigenvalue was moved to the first column.
void ExpectPlottedWhirls(const std::vector<double>& re, const std::vector<double>& im) {
    ASSERT_EQ(re.size(), im.size());
    EXPECT_EQ(re[0], im[0]);
    bool stable = true;
    for (std::size_t m = 1; m < re.size(); ++m) {
        EXPECT_TRUE(std::isfinite(re[m]));
        EXPECT_GT(im[m], 0.0);
        stable = stable && re[m] < 0.0;
    }
    for (std::size_t m = 2; stable && m < re.size(); ++m) EXPECT_LE(im[m - 1], im[m]) << re[0];
}

// Both eigenvalue problems at 3000 RPM: 396 natural frequencies, finite,
// ascending and below the Rayleigh bound; 792 damped eigenvalues in conjugate
// pairs whose sum is the trace.
void ExpectEigenvalueReport(const std::string& rep, const Rotor& r) {
    EXPECT_NE(rep.find(" Number of stations ............. = " + std::to_string(r.nsta)), std::string::npos);
    EXPECT_NE(rep.find(" Total Number of Degrees Of Freedom 396"), std::string::npos);
    std::vector<double> f;
    for (const auto& l : SplitLines(rep))
        if (l.find("FREQ. [RPM]") != std::string::npos)
            for (const auto& row : NumberLines(l.substr(l.find(']') + 1))) f.insert(f.end(), row.begin(), row.end());
    ASSERT_EQ(f.size(), 396u);
    for (std::size_t k = 0; k < f.size(); ++k) {
        ASSERT_TRUE(std::isfinite(f[k]) && f[k] > 0.0) << k;
        if (k > 0) {
            EXPECT_LE(f[k - 1], f[k]) << k;
        }
    }
    EXPECT_LE(f[0], r.FirstFrequencyBound(3000.0) * 1.0005);
    const Rows d = Numbered(RowsAfter(rep, "Imaginary Part          RPM"), 4);
    ASSERT_EQ(d.size(), 792u);
    double sumRe = 0.0, sumIm = 0.0, absIm = 0.0;
    for (const auto& row : d) {
        ASSERT_TRUE(std::isfinite(row[1]) && std::isfinite(row[2]));
        sumRe += row[1];
        sumIm += row[2];
        absIm += std::fabs(row[2]);
    }
    EXPECT_NEAR(sumRe, r.EigenvalueSum(), 1e-5 * std::fabs(r.EigenvalueSum()));
    EXPECT_LT(std::fabs(sumIm), 1e-6 * absIm);
}

// Main menu 3 at 3000 RPM (the model is read or re-read already).
Lines BothProblems(const char* modes, const char* report) {
    Lines in = {"3", "5", "Y"};
    if (modes) {
        for (const char* l : {"Y", "396", "Y"}) in.push_back(l);
        in.push_back(modes);
    } else {
        in.push_back("N");
    }
    for (const char* l : {"1", "3000", report, ""}) in.push_back(l);
    return in;
}

}  // namespace

// 99 stations, a bearing at each with 99 coefficient speeds (SPLCOEF at 99 x 8
// columns): both eigenvalue problems with all 396 modes in one file, a
// stability sweep storing the coefficients of all 99 bearings, and the
// unbalance report of all 99 stations.
TEST(ModelLimits, NinetyNineStationsNinetyNineBearingsNinetyNineSpeeds) {
    const Rotor r{99, 5, 99, 0, 99};
    SessionSetup setup;
    setup.files["big.dat"] = r.File();
    setup.timeoutSeconds = 900;
    Lines in = BothProblems("modes.txt", "both.out");
    in.insert(in.begin() + 1, {"1", "1", "big.dat"});
    Append(in, {"4", "5", "1", "10", "re.txt", "im.txt", "1", "Y"});
    for (int b = 1; b <= 99; ++b) Append(in, {Name("k", b), Name("c", b)});
    Append(in, {"3000", "3100", "100", "1", "stab.out", ""});
    Append(in, {"5", "5", "11", "3000", "3200", "100", "1", "N", "1", "unb.out", "", "8"});
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;

    ExpectEigenvalueReport(s.file("both.out"), r);
    // Every mode of the system, normalised: largest translation +1.
    const Rows modes = Records(s.file("modes.txt"), 397);
    ASSERT_EQ(modes.size(), 99u);
    for (int j = 1; j <= 396; ++j) {
        double top = -2.0;
        for (int st = 0; st < 99; ++st) {
            EXPECT_LE(std::fabs(modes[st][j]), 1.0 + 1e-6) << j;
            top = std::max(top, modes[st][j]);
        }
        EXPECT_NEAR(top, 1.0, 1e-6) << j;
    }
    EXPECT_DOUBLE_EQ(modes[98][0], 294.0);

    // Ten lowest whirl frequencies at both speeds; coefficients of every
    // bearing from its own spline columns.
    const Rows re = Records(s.file("re.txt"), 11), im = Records(s.file("im.txt"), 11);
    ASSERT_EQ(re.size(), 2u);
    ASSERT_EQ(im.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_DOUBLE_EQ(im[i][0], 3000.0 + 100.0 * i);
        ExpectPlottedWhirls(re[i], im[i]);
    }
    for (int b = 1; b <= 99; ++b) {
        const Rows k = NumberLines(s.file(Name("k", b))), c = NumberLines(s.file(Name("c", b)));
        ASSERT_EQ(k.size(), 2u) << b;
        ASSERT_EQ(c.size(), 2u) << b;
        for (int i = 0; i < 2; ++i) {
            const double rpm = 3000.0 + 100.0 * i;
            ASSERT_EQ(k[i].size(), 5u);
            EXPECT_NEAR(k[i][1], Rotor::Sxx(b, rpm), 5e-3 * Rotor::Sxx(b, rpm)) << b;
            EXPECT_NEAR(k[i][2], r.Sxy(rpm), 5e-3 * r.Sxy(rpm)) << b;
            EXPECT_NEAR(k[i][3], -r.Sxy(rpm), 5e-3 * r.Sxy(rpm)) << b;
            ASSERT_EQ(c[i].size(), 5u);
            for (int m = 1; m <= 4; ++m) EXPECT_NEAR(c[i][m], m == 1 || m == 4 ? Rotor::Cxx(b) : 0.0, 1e-9) << b;
        }
    }
    const std::vector<double> table = Numbers(Join(LinesAfter(s.file("stab.out"), " REAL PART OF THE")));
    ASSERT_GE(table.size(), 22u);
    EXPECT_EQ(std::vector<double>(table.begin(), table.begin() + 22), Numbers(s.file("re.txt")));

    const std::string unb = s.file("unb.out");
    EXPECT_EQ(CountOccurrences(unb, "Response of rotor station No."), 99);
    EXPECT_NE(unb.find("Response of rotor station No.99"), std::string::npos);
    EXPECT_NE(unb.find(" Total Number of Iterations =     3"), std::string::npos);
    EXPECT_EQ(unb.find("Pedestals motion"), std::string::npos);
}

// 66 stations, each on a bearing standing on a pedestal: 2*66 + 66 = 198, 396
// degrees of freedom and 132 result locations. Both eigenvalue problems, the
// threshold search with the energy of every bearing and pedestal, the
// unbalance report of every station and pedestal, and orbits filling the 97
// files with 31 stations and 66 pedestals.
TEST(ModelLimits, PedestalUnderEveryBearingAtTheDegreeOfFreedomLimit) {
    Rotor r{66, 4, 66, 66, 5};
    r.q1 = 200.0;  // unstable above about 1300 RPM
    SessionSetup setup;
    setup.files["ped.dat"] = r.File();
    setup.timeoutSeconds = 900;
    Lines in = BothProblems(nullptr, "both.out");
    in.insert(in.begin() + 1, {"1", "1", "ped.dat"});
    Append(in, {"4", "5", "2", "4", "re.txt", "im.txt", "800", "1", "N", "0", "2100", "2100", "1", "stab.out", ""});
    Append(in, {"5", "5", "11", "3000", "3200", "100", "1", "N", "1", "unb.out", ""});
    Append(in, {"5", "5", "9", "3000", "4", "Y"});
    for (int p = 1; p <= 66; ++p) in.push_back(Name("p", p));
    in.push_back("100");
    for (int f = 1; f <= 31; ++f) in.push_back(Name("o", f));
    for (int f = 1; f <= 31; ++f) in.push_back(std::to_string(2 * f));
    Append(in, {"1", "8"});
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;

    const std::string both = s.file("both.out");
    EXPECT_NE(both.find(" Number of Pedestals ............ = 66"), std::string::npos);
    ExpectEigenvalueReport(both, r);

    // Stable at 0 RPM, unstable at 2100; trunc(log2(2100/800)) = 1 trial, at
    // the midpoint, which is the threshold found.
    const std::string stab = s.file("stab.out");
    EXPECT_EQ(Records(s.file("re.txt"), 5).size(), 2u);
    EXPECT_DOUBLE_EQ(ValueAfter(stab, " Threshold Speed = "), 1050.0);
    EXPECT_EQ(Numbered(RowsAfter(stab, "Eigenvalues at the onset of Instability"), 3).size(), 792u);
    EXPECT_EQ(Numbered(RowsAfter(stab, "Normalized Self-Excited Vibration Mode"), 3).size(), 396u);
    const Rows energy = RowsAfter(stab, "ENERGY PER CYCLE AT THE ONSET");
    const Rows brg = Numbered(energy, 5);
    ASSERT_EQ(brg.size(), 66u);
    ASSERT_GT(energy.size(), 132u);
    double tb = 0.0, tp = 0.0, scale = 0.0;
    for (int b = 0; b < 66; ++b) {
        EXPECT_EQ(brg[b][1], r.Station(b + 1));
        EXPECT_NEAR(brg[b][4], brg[b][2] + brg[b][3], 1e-6 * (std::fabs(brg[b][2]) + std::fabs(brg[b][3])));
        tb += brg[b][4];
        const auto& p = energy[66 + b];
        ASSERT_EQ(p.size(), 3u);
        EXPECT_EQ(p[0], b + 1);
        EXPECT_EQ(p[1], r.Station(b + 1));
        tp += p[2];
        scale += std::fabs(brg[b][4]) + std::fabs(p[2]);
    }
    const double totalB = ValueAfter(stab, "Energy/Cyc. of the Bearings Totals: ");
    const double totalP = ValueAfter(stab, "the Pedestals Totals: ");
    EXPECT_NEAR(totalB, tb, 1e-5 * scale);
    EXPECT_NEAR(totalP, tp, 1e-5 * scale);
    EXPECT_NEAR(ValueAfter(stab, "TOTAL ENERGY/CYCLE OF THE SYSTEM :"), totalB + totalP, 1e-5 * scale);

    // Every pedestal has its table, the last ones beyond 99 locations too.
    const std::string unb = s.file("unb.out");
    EXPECT_EQ(CountOccurrences(unb, "Response of rotor station No."), 66);
    EXPECT_EQ(CountOccurrences(unb, "Response of Pedestal"), 66);
    const Rows last = RowsAfter(unb, "Response of Pedestal   66");
    ASSERT_GE(last.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(last[i].size(), 5u);
        EXPECT_DOUBLE_EQ(last[i][0], 3000.0 + 100.0 * i);
    }

    // 97 files: 31 stations (NPLOT cut from 100), 66 pedestals; orbits of 100
    // points with 4 timing marks, none of them at rest.
    EXPECT_NE(s.out.find("There are: 31 Files available for storage"), std::string::npos);
    EXPECT_NE(s.out.find(" Total Number of Files Exceeds the Limit"), std::string::npos);
    EXPECT_EQ(CountOccurrences(s.out, " Input Node Location of Station"), 31);
    for (int f = 1; f <= 97; ++f) {
        const std::string name = f <= 31 ? Name("o", f) : Name("p", f - 31);
        const Rows orbit = NumberLines(s.file(name));
        ASSERT_EQ(orbit.size(), 100u) << name;
        double top = 0.0;
        for (const auto& pt : orbit) top = std::max(top, std::fabs(pt[0]) + std::fabs(pt[1]));
        EXPECT_GT(top, 0.0) << name;
        EXPECT_EQ(orbit[75].size(), 3u) << name;
    }
    EXPECT_FALSE(s.exists("o32"));
}

// Long sweeps on small models: unbalance sweeps of 396, 397 (396 + 1) and 1000
// (396 + 396 + 208) steps, the 97 orbit files of NPLOT 100, and a stability
// sweep of 397 steps across all 98 intervals of a 99-speed table.
TEST(ModelLimits, SweepsOverSeveralPassesAndTheFileLimit) {
    Rotor r{3, 1, 2, 0, 99};
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(0);
    setup.files["sp99.dat"] = r.File();
    struct Sweep {
        int opt, steps;
        const char* last;
        const char* file;
    };
    const Sweep sweeps[] = {{1, 396, "1395", "s396"}, {3, 397, "1396", "s397"}, {1, 1000, "1999", "s1000"}};
    Lines in = {"5", "1", "1", "unb.dat"};  // later runs: main menu 5, data menu 5
    for (const Sweep& w : sweeps) {
        if (w.steps != 396) in.push_back("5");
        Append(in, {"5", std::to_string(w.opt), "1000", w.last, "1", "1", "1", w.file, "2", "1"});
    }
    Append(in, {"5", "5", "9", "3000", "0", "100"});
    for (int f = 1; f <= 97; ++f) in.push_back(Name("o", f));
    for (int f = 1; f <= 97; ++f) in.push_back(std::to_string(f % 3 + 1));
    Append(in, {"1", "4", "1", "1", "sp99.dat", "5", "1", "3", "re.txt", "im.txt", "1", "Y", "k1", "c1", "k2", "c2",
                "200", "9704", "24", "1", "rep.out", "", "8"});
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;

    for (const Sweep& w : sweeps) {
        const Rows rec = Records(s.file(w.file), w.opt == 3 ? 3 : 2);
        ASSERT_EQ(rec.size(), static_cast<std::size_t>(w.steps)) << w.file;
        for (int i = 0; i < w.steps; ++i) {
            ASSERT_DOUBLE_EQ(rec[i][0], 1000.0 + i) << w.file << " " << i;
            EXPECT_GT(rec[i][1], 0.0);
        }
    }
    EXPECT_NE(s.out.find("Iteration No.1000  Rotor Speed =   1999.0 RPM"), std::string::npos);

    EXPECT_NE(s.out.find("There are: 97 Files available for storage"), std::string::npos);
    EXPECT_NE(s.out.find(" Total Number of Files Exceeds the Limit"), std::string::npos);
    EXPECT_EQ(CountOccurrences(s.out, " Input Node Location of Station"), 3 + 97);
    for (int f = 1; f <= 97; ++f) EXPECT_EQ(NumberLines(s.file(Name("o", f))).size(), 101u) << f;
    EXPECT_FALSE(s.exists("o98"));

    // 397 eigenvalue records (passes of 396 and 1); the coefficients at every
    // step from the interval holding its speed; the report's tables hold the
    // whole sweep.
    const Rows re = NumberLines(s.file("re.txt")), im = NumberLines(s.file("im.txt"));
    ASSERT_EQ(re.size(), 397u);
    ASSERT_EQ(im.size(), 397u);
    const Rows k1 = NumberLines(s.file("k1")), k2 = NumberLines(s.file("k2")), c2 = NumberLines(s.file("c2"));
    ASSERT_EQ(k1.size(), 397u);
    ASSERT_EQ(k2.size(), 397u);
    ASSERT_EQ(c2.size(), 397u);
    for (int i = 0; i < 397; ++i) {
        const double rpm = 200.0 + 24.0 * i;
        ASSERT_EQ(re[i].size(), 4u);
        ASSERT_DOUBLE_EQ(re[i][0], rpm) << i;
        EXPECT_DOUBLE_EQ(im[i][0], rpm);
        ExpectPlottedWhirls(re[i], im[i]);
        EXPECT_NEAR(k1[i][0], rpm, 5e-3 * rpm) << i;
        EXPECT_NEAR(k1[i][1], Rotor::Sxx(1, rpm), 5e-3 * Rotor::Sxx(1, rpm)) << i;
        EXPECT_NEAR(k2[i][4], Rotor::Sxx(2, rpm), 5e-3 * Rotor::Sxx(2, rpm)) << i;
        EXPECT_NEAR(k2[i][2], r.Sxy(rpm), 5e-3 * r.Sxy(rpm)) << i;
        EXPECT_NEAR(c2[i][1], Rotor::Cxx(2), 1e-9) << i;
    }
    const std::string rep = s.file("rep.out");
    const Rows rre = RowsAfter(rep, " REAL PART OF THE EIGENVALUES"), rim = RowsAfter(rep, " IMAGINARY PART OF THE");
    ASSERT_GE(rre.size(), 397u + 397u);
    ASSERT_GE(rim.size(), 397u);
    for (int i = 0; i < 397; ++i) {
        EXPECT_EQ(rre[i], re[i]) << i;
        EXPECT_EQ(rim[i], im[i]) << i;
    }
}
