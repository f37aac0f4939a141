// The analysis run: speed range set-up, passes, the speed-table interval
// during sweeps in both directions, and the refusal of a run that cannot be
// analysed.
#include <gtest/gtest.h>

#include <vector>

#include "driver/speed_range.h"
#include "tests/support/models.h"
#include "tests/support/session.h"

using namespace korvo_test;

namespace {

void Range(int mainopt, int sub, float s1, float s2, float d, const std::vector<float>& table = {}) {
    ResetModel();
    UniformShaft(3, 2.0f, 20.0f);
    OPTS.MAINOPT = mainopt;
    OPTS.STABOPT = mainopt == 4 ? sub : 0;
    OPTS.PLOTOPT = mainopt == 5 ? sub : 1;
    OPTS.SPEED1 = s1;
    OPTS.SPEED2 = s2;
    OPTS.DSPEED = d;
    MODEL.NSPEED = table.empty() ? 1 : static_cast<int>(table.size());
    for (size_t j = 0; j < table.size(); ++j) MODEL.SPEED(static_cast<int>(j) + 1) = table[j];
}

}  // namespace

TEST(SpeedRange, SetUpInItsOrder) {
    const std::vector<float> t3 = {1000.0f, 2500.0f, 4000.0f}, t2 = {1000.0f, 4000.0f};
    const struct {
        int mainopt, sub;  // STABOPT of option 4, PLOTOPT of option 5
        float s1, s2, d;
        std::vector<float> table;
        float e1, e2, ed;
        int nrest, ispan;  // ispan 0: not checked
    } cases[] = {
        {5, 1, 3000, 1000, 100, {}, 1000, 3000, 100, 21, 0},     // exchanged
        {5, 1, 3000, 1000, -100, {}, 3000, 1000, -100, 21, 0},   // swept downward
        {4, 1, 3000, 1000, -100, {500, 5000}, 1000, 3000, 100, 21, 0},  // stability: upward, same step
        {5, 1, 500, 5000, 100, t3, 1000, 4000, 100, 31, 1},      // clamped to the table
        {5, 1, 5000, 500, -100, t3, 4000, 1000, -100, 31, 2},    // downward: top down, bottom up
        {5, 1, 2500, 4000, 100, t3, 2500, 4000, 100, 16, 1},     // a table speed: the interval ending there
        {4, 2, 0, 9000, 0, t3, 1000, 4000, 3000.0f / 396, 397, 0},  // DSPEED 0: 1/396 of the width
        {4, 3, 1500, 3500, 2000, t2, 1500, 3500, 2000, 2, 0},    // option 3: both limits
        {4, 3, 1500, 6000, 4500, t2, 1500, 4000, 2500, 2, 0},    // clamped, the difference follows
        {1, 0, 2000, 100, -7, {}, 2000, 100, -7, 1, 0},          // undamped: one step at SPEED1
        {2, 0, 500, 500, 1, t2, 1000, 500, 1, 1, 0},             // raised to the table
        {5, 9, 2000, 0, 0, t2, 2000, 0, 0, 1, 0},                // orbit: one step at SPEED1
        {3, 0, 4500, 4500, 1, t2, 4500, 4000, 1, 1, 1},          // above the table: the end interval
        {5, 9, 4500, 0, 0, t3, 4500, 0, 0, 1, 2},
        {5, 11, 0, 99900, 100, {}, 0, 99900, 99900.0f / 396, 396, 0},  // report only: cut to 396
    };
    for (const auto& c : cases) {
        Range(c.mainopt, c.sub, c.s1, c.s2, c.d, c.table);
        const SpeedRangeSetUp r = SetUpSpeedRange();
        const std::string at = std::to_string(c.mainopt) + "/" + std::to_string(c.sub) + " from " + std::to_string(c.s1);
        EXPECT_EQ(r.REFUSAL, "") << at;
        EXPECT_FLOAT_EQ(r.SPEED1, c.e1) << at;
        if (c.mainopt >= 4 && c.sub != 9) {
            EXPECT_FLOAT_EQ(r.SPEED2, c.e2) << at;
            EXPECT_NEAR(r.DSPEED, c.ed, 1e-6 * std::fabs(c.ed)) << at;
        }
        EXPECT_NEAR(r.NREST, c.nrest, c.d == 0 ? 1 : 0) << at;  // 397 speeds, up to the rounding of the quotient
        EXPECT_EQ(r.NSTEPS, r.NREST) << at;
        EXPECT_EQ(r.SINGLESTEP, c.sub == 9 && c.mainopt == 5) << at;
        EXPECT_EQ(r.ISPAN, c.ispan ? c.ispan : r.ISPAN) << at;
        const bool single = c.mainopt <= 3 || c.sub == 9;
        EXPECT_EQ(r.ABOVETABLE, single && !c.table.empty() && c.s1 > c.table.back()) << at;
    }
}

TEST(SpeedRange, RangesThatCannotBeSweptAreRefused) {
    const struct {
        int mainopt, sub;
        float s1, s2, d;
        std::vector<float> table;
        const char* says;
    } cases[] = {
        {5, 1, 1000, 3000, -100, {}, "wrong sign"},
        {4, 0, 1000, 3000, -100, {500, 5000}, ""},
        {5, 1, 5000, 6000, 100, {1000, 4000}, "outside"},  // above the table
        {5, 1, 900, 500, -100, {1000, 4000}, ""},          // below the table, downward
        {4, 3, 2000, 2000, 0, {1000, 4000}, ""},           // option 3 without a range
        {5, 1, 0, 1.0e6f, 1.0e-4f, {}, "not finite"},      // 1e10 steps do not fit an integer
        {5, 1, 0, 1.0e30f, 1.0e-30f, {}, ""},
    };
    for (const auto& c : cases) {
        Range(c.mainopt, c.sub, c.s1, c.s2, c.d, c.table);
        const std::string msg = SetUpSpeedRange().REFUSAL;
        EXPECT_TRUE(!msg.empty() && msg.find(c.says) != std::string::npos) << c.says << ": " << msg;
    }
}

namespace {

struct StepRecord {
    int pass, istep;
    float speed;
    int ispan;
};
std::vector<StepRecord> g_steps;
std::vector<int> g_passSteps;

void RecordingStep() {
    RUN.ISTEP += 1;
    RUN.NSWEEP += 1;
    g_steps.push_back({static_cast<int>(g_passSteps.size()) + 1, RUN.ISTEP, RUN.SPDNOW, SYS.ISPAN});
    AdvanceSpeed();
}
void RecordingEndOfPass() { g_passSteps.push_back(RUN.NSTEPPASS); }

void Sweep() {
    g_steps.clear();
    g_passSteps.clear();
    const SpeedRangeSetUp r = SetUpSpeedRange();
    ASSERT_EQ(r.REFUSAL, "");
    RUN.NSWEEP = 0;
    ApplySpeedRange(r);
    SetUpPass();
    RunPasses(RecordingStep, RecordingEndOfPass);
}

}  // namespace

TEST(Passes, ThousandStepsRunAsThreePasses) {
    Range(5, 1, 1000.0f, 100900.0f, 100.0f);
    Sweep();
    ASSERT_EQ(g_passSteps, (std::vector<int>{396, 396, 208}));
    ASSERT_EQ(g_steps.size(), 1000u);
    EXPECT_EQ(RUN.NSWEEP, 1000);
    EXPECT_EQ(RUN.NSTEPS, 1000);
    EXPECT_EQ(RUN.PASSFLAG, 1);
    EXPECT_FLOAT_EQ(g_steps[0].speed, 1000.0f);
    for (std::size_t i = 1; i < g_steps.size(); ++i) {
        // Each pass starts at the speed following the last step before it.
        EXPECT_EQ(g_steps[i].speed, g_steps[i - 1].speed + 100.0f) << i;
        EXPECT_EQ(g_steps[i].istep, g_steps[i].pass == g_steps[i - 1].pass ? g_steps[i - 1].istep + 1 : 1);
    }
    EXPECT_EQ(g_steps[396].pass, 2);
    EXPECT_EQ(g_steps[792].pass, 3);
}

TEST(Passes, IntervalContainsEverySpeedInBothDirections) {
    for (float d : {125.0f, -125.0f}) {
        Range(5, 1, d > 0 ? 1000.0f : 3500.0f, d > 0 ? 3500.0f : 1000.0f, d, {1000.0f, 2000.0f, 2500.0f, 3500.0f});
        Sweep();
        ASSERT_EQ(g_steps.size(), 21u) << d;
        for (const StepRecord& s : g_steps) {
            EXPECT_LE(MODEL.SPEED(s.ispan), s.speed) << d << " at " << s.speed;
            EXPECT_GE(MODEL.SPEED(s.ispan + 1), s.speed) << d << " at " << s.speed;
            // A table speed is evaluated at the end of the interval below it.
            for (int k = 2; k <= 4; ++k) EXPECT_TRUE(s.speed != MODEL.SPEED(k) || s.ispan == k - 1) << d << " at " << s.speed;
        }
    }
}

TEST(RunRefusal, NothingIsComputedOrLeftBehindAndTheFrontEndComesBack) {
    // A model with a zero-length element, then a sound model with an
    // increment of the wrong sign: each refused with its reason, the report
    // it created removed, the result file it was to replace untouched, the
    // main menu shown again. A single step above the speed table is not
    // refused: it runs with a warning that names the table.
    std::string bad = UnbalanceModel(0);
    bad.replace(bad.rfind("2.0 0.0 10.0"), 12, "2.0 0.0 0.0 ");
    SessionSetup setup;
    setup.files = {{"bad.dat", bad}, {"good.dat", UnbalanceModel(0)}, {"amp.txt", "kept\r\n"}};
    setup.examples = {"stability.dat"};
    const Session s = RunKorvo(Script({"1", "", "1", "1", "bad.dat", "5", "N", "N", "1", "bad.out", "", "5", "1", "1",
                                       "good.dat", "5", "3", "1000", "3000", "-100", "1", "1", "amp.txt", "2", "1",
                                       "Y", "", "1", "", "1", "1", "stability.dat", "5", "N", "N", "3", "25000",
                                       "above.out", "", "8"}),
                               setup);
    EXPECT_EQ(s.status, 0) << s.err;
    const std::vector<std::string> part = SplitAt(s.out, "Press <Enter> to continue");
    ASSERT_GE(part.size(), 5u);
    EXPECT_NE(part[1].find("Shaft element No.2 has a length that is not positive"), std::string::npos) << part[1];
    EXPECT_NE(part[2].find("wrong sign"), std::string::npos) << part[2];
    EXPECT_EQ(CountOccurrences(s.out, "M A I N    M E N U"), 4);
    EXPECT_EQ(CountOccurrences(s.out, "UNDAMPED EIGENVALUE PROBLEM"), 1);
    EXPECT_EQ(s.out.find("Iteration No."), std::string::npos);
    EXPECT_FALSE(s.exists("bad.out"));
    EXPECT_EQ(s.file("amp.txt"), "kept\r\n");
    const std::string warning[2] = {"WARNING: The bearing coefficients are extrapolated beyond their speed table\r\n ",
                                    "(  1000.0 to 20000.0 RPM) to the speed of the run, 25000.0 RPM.\r\n"};
    EXPECT_EQ(CountOccurrences(s.out, " " + warning[0] + warning[1]), 1);
    EXPECT_EQ(CountOccurrences(s.file("above.out"), "  " + warning[0] + " " + warning[1]), 1);
    EXPECT_GT(CountOccurrences(s.file("above.out"), "  FREQ. [RPM]"), 0);
}
