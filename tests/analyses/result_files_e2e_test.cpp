// Result and plot files of the unbalance response through the real program:
// station and pedestal files of every plot option, a sweep of three passes,
// orbits with their timing marks, the animation file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/models.h"
#include "tests/support/session.h"

namespace {

using namespace korvo_test;
using Lines = std::vector<std::string>;
using Rows = std::vector<std::vector<double>>;

double Wrap(double deg) { return std::remainder(deg, 360.0); }

TEST(UnbalanceFiles, EveryPlotOptionInOneSession) {
    // Plot options 1 to 8 from 1000 to 3000 RPM in 5 steps: stations 2 and 3
    // in one file, both pedestals in one file; the planes of options 4 and 8:
    // station 2 X, station 3 Y, pedestals Y. Then option 1 over 1000 steps
    // with one file per station and pedestal, orbits at 3000 RPM with 0, 4
    // and 7 timing marks and at standstill, the animation file.
    Lines in = {"5", "1", "1", "unb.dat", "5"};
    auto run = [&in](const Lines& answers) {
        in.insert(in.end(), answers.begin(), answers.end());
        for (const char* l : {"1", "5", "5"}) in.push_back(l);  // lumped mass; the next run
    };
    for (int opt = 1; opt <= 8; ++opt) {
        const bool planes = opt == 4 || opt == 8;
        const std::string n = std::to_string(opt);
        Lines a = {n, "1000", "3000", "500", "Y", "Y", "ped" + n};
        if (planes) a.push_back("2");
        for (const std::string& l : {std::string("2"), std::string("2"), "sta" + n, std::string("2")}) a.push_back(l);
        if (planes) a.push_back("1");
        a.push_back("3");
        if (planes) a.push_back("2");
        run(a);
    }
    run({"1", "1000", "2998", "2", "Y", "N", "p1", "p2", "2", "1", "s1", "1", "s2", "2", "3"});
    const char* marks[4][2] = {{"3000", "0"}, {"3000", "4"}, {"3000", "7"}, {"0", "4"}};
    for (int o = 0; o < 4; ++o) {
        const std::string n = std::to_string(o);
        run({"9", marks[o][0], marks[o][1], "Y", "po1" + n, "po2" + n, "1", "orb" + n, "2"});
    }
    run({"10", "1000", "3000", "500", "N", "anim"});
    in.pop_back();
    in.back() = "8";
    SessionSetup setup;
    setup.files["unb.dat"] = UnbalanceModel(2);
    const Session s = RunKorvo(Script(in), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    // The progress header of every sweep, none for the orbits.
    EXPECT_EQ(CountOccurrences(s.out, "TOTAL NUMBER OF ITERATIONS"), 10);

    // Reference: amplitudes (option 3) and phases (option 7) of stations 2, 3
    // and of both pedestals, x and y; the isotropic rotor whirls circularly
    // forward everywhere.
    const Rows amp = Chunks(s.file("sta3"), 5), phs = Chunks(s.file("sta7"), 5);
    const Rows pamp = Chunks(s.file("ped3"), 5), pphs = Chunks(s.file("ped7"), 5);
    ASSERT_TRUE(amp.size() == 5 && phs.size() == 5 && pamp.size() == 5 && pphs.size() == 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(amp[i][0], 1000.0 + 500.0 * i);
        EXPECT_EQ(pphs[i][0], amp[i][0]);
        for (int c : {1, 3}) {
            EXPECT_GT(amp[i][c], 0.0);
            EXPECT_NEAR(amp[i][c + 1], amp[i][c], 1e-4 * amp[i][c]);
            EXPECT_NEAR(pamp[i][c + 1], pamp[i][c], 1e-4 * pamp[i][c]);
            EXPECT_NEAR(Wrap(phs[i][c + 1] - phs[i][c]), -90.0, 0.01);
            EXPECT_NEAR(Wrap(pphs[i][c + 1] - pphs[i][c]), -90.0, 0.01);
            EXPECT_TRUE(phs[i][c] > -180.0 && phs[i][c] <= 180.0) << phs[i][c];
        }
    }
    // The single-quantity options against the reference columns (x, y of
    // station 2 in columns 1, 2; of station 3 in 3, 4).
    const struct {
        int opt;
        bool phase;
        int sta2, sta3, ped;
    } cases[] = {{1, false, 1, 3, 1}, {2, false, 2, 4, 2}, {4, false, 1, 4, 2},
                 {5, true, 1, 3, 1},  {6, true, 2, 4, 2},  {8, true, 1, 4, 2}};
    for (const auto& e : cases) {
        const Rows sta = NumberLines(s.file("sta" + std::to_string(e.opt)));
        const Rows ped = NumberLines(s.file("ped" + std::to_string(e.opt)));
        ASSERT_TRUE(sta.size() == 5 && ped.size() == 5) << e.opt;
        const Rows &ref = e.phase ? phs : amp, &pref = e.phase ? pphs : pamp;
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(sta[i], (std::vector<double>{amp[i][0], ref[i][e.sta2], ref[i][e.sta3]})) << e.opt;
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(ped[i], (std::vector<double>{amp[i][0], pref[i][e.ped], pref[i][e.ped + 2]})) << e.opt;
    }

    // 1000 steps: passes of 396, 396 and 208 append to the same files.
    for (const char* name : {"s1", "s2", "p1", "p2"}) {
        const Rows rows = NumberLines(s.file(name));
        ASSERT_EQ(rows.size(), 1000u) << name;
        for (int i : {0, 395, 396, 791, 792, 999}) EXPECT_EQ(rows[i], (std::vector<double>{1000.0 + 2.0 * i, rows[i].at(1)}));
    }
    EXPECT_GT(NumberLines(s.file("s1"))[999][1], NumberLines(s.file("s1"))[0][1]);  // toward the first critical
    EXPECT_EQ(s.file("p1"), s.file("p2"));                                          // symmetric rotor

    // Orbits: NPTS points, a mark every n_m points; one revolution of a
    // circle, closed. At standstill no force: every point at the origin.
    const int npts[4] = {101, 100, 98, 100}, spacing[4] = {102, 25, 14, 25};
    for (int o = 0; o < 4; ++o) {
        const std::string n = std::to_string(o);
        const Rows pts = NumberLines(s.file("orb" + n));
        ASSERT_EQ(static_cast<int>(pts.size()), npts[o]) << o;
        EXPECT_EQ(NumberLines(s.file("po1" + n)).size(), pts.size());
        EXPECT_EQ(NumberLines(s.file("po2" + n)).size(), pts.size());
        const double r = std::hypot(pts[0][0], pts[0][1]);
        EXPECT_EQ(r > 0.0, o < 3);
        for (int k = 0; k < npts[o]; ++k) {
            ASSERT_EQ(pts[k].size(), k % spacing[o] == 0 ? 3u : 2u) << o << " " << k;
            EXPECT_EQ(pts[k].back(), k % spacing[o] == 0 ? k / spacing[o] : pts[k].back());
            EXPECT_NEAR(std::hypot(pts[k][0], pts[k][1]), r, 1e-3 * r);
        }
        EXPECT_NEAR(pts.back()[0], pts.front()[0], 1e-4 * r);
        EXPECT_NEAR(pts.back()[1], pts.front()[1], 1e-4 * r);
    }

    // Animation: the header, then per step the speed and amplitude x, phase
    // x, amplitude y, phase y of every station; no pedestals.
    const Lines anim = SplitLines(s.file("anim"));
    const Lines head = {"  TITLE: UNBALANCE TEST ROTOR" + std::string(30, ' '), "  NUMBER OF STEPS", "   5",
                        "  NUMBER OF STATIONS", "   3", "  ROTOR LENGTH (Inches)", "       20.00",
                        "  LENGTH OF SHAFT ELEMENTS:", "  Element No.         Length (Inches)",
                        "           1                 10.00", "           2                 10.00"};
    ASSERT_GT(anim.size(), head.size());
    EXPECT_EQ(Lines(anim.begin(), anim.begin() + 11), head);
    std::string body;
    for (size_t i = 11; i < anim.size(); ++i) body += anim[i] + "\n";
    const Rows recs = Chunks(body, 13);
    ASSERT_EQ(recs.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(recs[i][0], 1000.0 + 500.0 * i);
        for (int st = 0; st < 3; ++st) {
            EXPECT_NEAR(recs[i][3 + 4 * st], recs[i][1 + 4 * st], 1e-4 * recs[i][1 + 4 * st]);
            EXPECT_NEAR(Wrap(recs[i][4 + 4 * st] - recs[i][2 + 4 * st]), -90.0, 0.01);
        }
    }
}

}  // namespace
