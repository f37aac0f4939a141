// Result and plot files of the stability analysis and the unbalance response
// through the real program.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/analyses/stability_models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;
using Lines = std::vector<std::string>;

// Numbers of a file cut into records of `width` values.
std::vector<std::vector<double>> Records(const std::string& text, std::size_t width) {
    const std::vector<double> all = Numbers(text);
    std::vector<std::vector<double>> recs;
    for (std::size_t i = 0; i + width <= all.size(); i += width) recs.emplace_back(all.begin() + i, all.begin() + i + width);
    EXPECT_EQ(all.size() % width, 0u);
    return recs;
}

double Wrap(double deg) {
    double d = std::fmod(deg, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

TEST(StabilityFiles, SweepOf500StepsWritesEveryEigenvalueAndCoefficientRecord) {
    SessionSetup setup;
    setup.files["rotor.dat"] = CrossCoupledRotor::Model();
    const Session s = RunKorvo(Script({"4", "1", "1", "rotor.dat", "5", "1", "2", "real.out", "imag.out", "1", "Y",
                                       "k1.out", "c1.out", "k2.out", "c2.out", "1000", "5990", "10", "1",
                                       "report.out", "", "8"}),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // 396 records after the first pass and 104 after the second, in order.
    const auto re = NumberLines(s.file("real.out")), im = NumberLines(s.file("imag.out"));
    ASSERT_EQ(re.size(), 500u);
    ASSERT_EQ(im.size(), 500u);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(re[i].size(), 3u) << i;
        ASSERT_EQ(im[i].size(), 3u) << i;
        EXPECT_DOUBLE_EQ(re[i][0], 1000.0 + 10.0 * i) << i;
        EXPECT_DOUBLE_EQ(im[i][0], re[i][0]);
        // Plotted modes in ascending whirl frequency, never real.
        EXPECT_GT(im[i][1], 1.0);
        EXPECT_LE(im[i][1], im[i][2]);
        EXPECT_LT(re[i][1], 0.0);  // stable below 10832 RPM
    }
    // One stiffness and one damping record per bearing and step, written with
    // 3 significant digits: speed, Sxx Sxy Syx Syy / Cxx Cxy Cyx Cyy.
    for (const char* name : {"k1.out", "k2.out", "c1.out", "c2.out"}) {
        const std::string text = s.file(name);
        const auto rows = NumberLines(text);
        ASSERT_EQ(rows.size(), 500u) << name;
        // 5 x (G10.3, 2X); the blanks of the last 2X may be left out.
        const std::size_t len = SplitLines(text)[0].size();
        EXPECT_TRUE(len == 58u || len == 60u) << name << " " << len;
        for (int i : {0, 395, 396, 499}) {
            const double rpm = 1000.0 + 10.0 * i, q = CrossCoupledRotor::Q1 * rpm * kPi / 30.0;
            ASSERT_EQ(rows[i].size(), 5u);
            EXPECT_NEAR(rows[i][0], rpm, 0.005 * rpm);
            if (name[0] == 'k') {
                EXPECT_NEAR(rows[i][1], 1.0e5, 1.0);
                EXPECT_NEAR(rows[i][2], q, 0.005 * q);
                EXPECT_NEAR(rows[i][3], -q, 0.005 * q);
            } else {
                EXPECT_NEAR(rows[i][1], 50.0, 0.05);
                EXPECT_NEAR(rows[i][2], 0.0, 1e-3);
                EXPECT_NEAR(rows[i][4], 50.0, 0.05);
            }
        }
    }
}

// An unbalance run of plot option `opt` from 1000 to 3000 RPM in 5 steps:
// stations 2 and 3 in one file, both pedestals in one file; planes for
// options 4 and 8: station 2 X, station 3 Y, pedestals Y.
Session RunResponse(int opt) {
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(2);
    const bool planes = opt == 4 || opt == 8;
    Lines in = {"5", "1", "1", "unb.dat", "5", std::to_string(opt), "1000", "3000", "500", "Y", "Y", "ped.out"};
    if (planes) in.push_back("2");
    for (const char* l : {"2", "2", "sta.out", "2"}) in.push_back(l);
    if (planes) in.push_back("1");
    in.push_back("3");
    if (planes) in.push_back("2");
    in.push_back("1");
    in.push_back("8");
    return RunKorvo(Script(in), setup);
}

TEST(UnbalanceFiles, StationAndPedestalFilesOfEachPlotOption) {
    // Reference: amplitudes (option 3) and phases (option 7) of stations 2, 3
    // and both pedestals.
    const Session a = RunResponse(3), p = RunResponse(7);
    ASSERT_EQ(a.status, 0) << a.err;
    ASSERT_EQ(p.status, 0) << p.err;
    const auto amp = Records(a.file("sta.out"), 5), phs = Records(p.file("sta.out"), 5);
    const auto pamp = Records(a.file("ped.out"), 5), pphs = Records(p.file("ped.out"), 5);
    ASSERT_EQ(amp.size(), 5u);
    ASSERT_EQ(phs.size(), 5u);
    ASSERT_EQ(pamp.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(amp[i][0], 1000.0 + 500.0 * i);
        EXPECT_DOUBLE_EQ(pphs[i][0], amp[i][0]);
        // Isotropic rotor: circular forward whirl everywhere.
        for (int c : {1, 3}) {
            EXPECT_GT(amp[i][c], 0.0);
            EXPECT_NEAR(amp[i][c + 1], amp[i][c], 1e-4 * amp[i][c]);
            EXPECT_NEAR(Wrap(phs[i][c + 1] - phs[i][c]), -90.0, 0.01);
            EXPECT_NEAR(pamp[i][c + 1], pamp[i][c], 1e-4 * pamp[i][c]);
            EXPECT_NEAR(Wrap(pphs[i][c + 1] - pphs[i][c]), -90.0, 0.01);
            EXPECT_GT(phs[i][c], -180.0);
            EXPECT_LE(phs[i][c], 180.0);
        }
    }
    // The single-quantity options against the reference columns: station x
    // (column 1), station y (2) of station 2, then station 3 (3, 4).
    struct Expect {
        int opt;
        bool phase;
        int sta2, sta3, ped;  // reference columns
    };
    const Expect cases[] = {{1, false, 1, 3, 1}, {2, false, 2, 4, 2}, {4, false, 1, 4, 2},
                            {5, true, 1, 3, 1},  {6, true, 2, 4, 2},  {8, true, 1, 4, 2}};
    for (const Expect& e : cases) {
        const Session s = RunResponse(e.opt);
        ASSERT_EQ(s.status, 0) << e.opt << s.err;
        const auto sta = NumberLines(s.file("sta.out")), ped = NumberLines(s.file("ped.out"));
        ASSERT_EQ(sta.size(), 5u) << e.opt;
        ASSERT_EQ(ped.size(), 5u) << e.opt;
        const auto& ref = e.phase ? phs : amp;
        const auto& pref = e.phase ? pphs : pamp;
        for (int i = 0; i < 5; ++i) {
            ASSERT_EQ(sta[i].size(), 3u) << e.opt;
            ASSERT_EQ(ped[i].size(), 3u) << e.opt;
            EXPECT_DOUBLE_EQ(sta[i][0], amp[i][0]);
            EXPECT_DOUBLE_EQ(sta[i][1], ref[i][e.sta2]) << e.opt;
            EXPECT_DOUBLE_EQ(sta[i][2], ref[i][e.sta3]) << e.opt;
            EXPECT_DOUBLE_EQ(ped[i][1], pref[i][e.ped]) << e.opt;
            EXPECT_DOUBLE_EQ(ped[i][2], pref[i][e.ped + 2]) << e.opt;
        }
    }
}

TEST(UnbalanceFiles, SeparatePedestalFilesAndLongSweepAppendingOverPasses) {
    // 1000 steps: passes of 396, 396 and 208 steps append to the same files;
    // one file per pedestal.
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(2);
    const Session s = RunKorvo(Script({"5", "1", "1", "unb.dat", "5", "1", "1000", "2998", "2", "Y", "N", "p1.out",
                                       "p2.out", "2", "1", "s1.out", "1", "s2.out", "2", "3", "1", "8"}),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    for (const char* name : {"s1.out", "s2.out", "p1.out", "p2.out"}) {
        const auto rows = NumberLines(s.file(name));
        ASSERT_EQ(rows.size(), 1000u) << name;
        for (int i : {0, 395, 396, 791, 792, 999}) {
            ASSERT_EQ(rows[i].size(), 2u);
            EXPECT_DOUBLE_EQ(rows[i][0], 1000.0 + 2.0 * i) << name << " " << i;
        }
    }
    // Amplitudes grow toward the first critical speed, far above the range.
    const auto s1 = NumberLines(s.file("s1.out"));
    EXPECT_GT(s1[999][1], s1[0][1]);
    EXPECT_EQ(s.file("p1.out"), s.file("p2.out"));  // symmetric rotor
}

struct Orbit {
    std::vector<std::vector<double>> pts;
};

Orbit RunOrbit(const std::string& speed, int ntmark) {
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(2);
    const Session s = RunKorvo(Script({"5", "1", "1", "unb.dat", "5", "9", speed, std::to_string(ntmark), "Y",
                                       "po1.out", "po2.out", "1", "orb.out", "2", "1", "8"}),
                               setup);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out.find("TOTAL NUMBER OF ITERATIONS"), std::string::npos);
    Orbit o;
    o.pts = NumberLines(s.file("orb.out"));
    EXPECT_EQ(NumberLines(s.file("po1.out")).size(), o.pts.size());
    EXPECT_EQ(NumberLines(s.file("po2.out")).size(), o.pts.size());
    return o;
}

TEST(UnbalanceFiles, OrbitPointCountsAndTimingMarks) {
    struct Case {
        int ntmark, npts, spacing;
    };
    for (const Case c : {Case{0, 101, 102}, Case{4, 100, 25}, Case{7, 98, 14}}) {
        const Orbit o = RunOrbit("3000", c.ntmark);
        ASSERT_EQ(static_cast<int>(o.pts.size()), c.npts) << c.ntmark;
        int marks = 0;
        for (int n = 1; n <= c.npts; ++n) {
            const auto& p = o.pts[n - 1];
            if ((n - 1) % c.spacing == 0) {
                ASSERT_EQ(p.size(), 3u) << n;
                EXPECT_EQ(p[2], (n - 1) / c.spacing);
                ++marks;
            } else {
                ASSERT_EQ(p.size(), 2u) << n;
            }
        }
        EXPECT_EQ(marks, c.ntmark == 0 ? 1 : c.ntmark);
        // One revolution of a circular whirl: constant radius, closed.
        const double r = std::hypot(o.pts[0][0], o.pts[0][1]);
        EXPECT_GT(r, 0.0);
        for (const auto& p : o.pts) EXPECT_NEAR(std::hypot(p[0], p[1]), r, 1e-3 * r);
        EXPECT_NEAR(o.pts.back()[0], o.pts.front()[0], 1e-4 * r);
        EXPECT_NEAR(o.pts.back()[1], o.pts.front()[1], 1e-4 * r);
    }
    // At standstill there is no unbalance force: every point at the origin.
    const Orbit z = RunOrbit("0", 4);
    ASSERT_EQ(z.pts.size(), 100u);
    for (const auto& p : z.pts) {
        EXPECT_EQ(p[0], 0.0);
        EXPECT_EQ(p[1], 0.0);
    }
}

TEST(UnbalanceFiles, AnimationHeaderAndRecords) {
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(2);
    const Session s = RunKorvo(
        Script({"5", "1", "1", "unb.dat", "5", "10", "1000", "3000", "500", "N", "anim.out", "1", "8"}), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::string text = s.file("anim.out");
    const auto lines = SplitLines(text);
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[0], "  TITLE: " + std::string("UNBALANCE TEST ROTOR") + std::string(30, ' '));
    EXPECT_EQ(lines[1], "  NUMBER OF STEPS");
    EXPECT_EQ(lines[2], "   5");
    EXPECT_EQ(lines[3], "  NUMBER OF STATIONS");
    EXPECT_EQ(lines[4], "   3");
    EXPECT_EQ(lines[5], "  ROTOR LENGTH (Inches)");
    EXPECT_EQ(lines[6], "       20.00");
    EXPECT_EQ(lines[7], "  LENGTH OF SHAFT ELEMENTS:");
    EXPECT_EQ(lines[8], "  Element No.         Length (Inches)");
    EXPECT_EQ(lines[9], "           1                 10.00");
    EXPECT_EQ(lines[10], "           2                 10.00");
    std::string body;
    for (std::size_t i = 11; i < lines.size(); ++i) body += lines[i] + "\n";
    // Per step: speed, then per station amplitude x, phase x, amplitude y,
    // phase y; no pedestals.
    const auto recs = Records(body, 13);
    ASSERT_EQ(recs.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_DOUBLE_EQ(recs[i][0], 1000.0 + 500.0 * i);
        for (int st = 0; st < 3; ++st) {
            EXPECT_NEAR(recs[i][1 + 4 * st], recs[i][3 + 4 * st], 1e-4 * recs[i][1 + 4 * st]);
            EXPECT_NEAR(Wrap(recs[i][4 + 4 * st] - recs[i][2 + 4 * st]), -90.0, 0.01);
        }
    }
}

}  // namespace
