// The analysis run: speed range set-up, passes, the speed-table interval
// during sweeps in both directions, and the refusal of a run that cannot be
// analysed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "driver/analysis_run.h"
#include "driver/speed_range.h"
#include "inputs99/front_end.h"
#include "recordio/recordio.h"
#include "tests/matrx99/femodel_fixture.h"
#include "tests/support/session.h"

using namespace femodel_test;

namespace {

void Range(int mainopt, float s1, float s2, float d) {
    ResetModelAndOptions();
    UniformShaft(3, 2.0f, 0.0f, 20.0f, 3.0e7f, 0.283f);
    OPTS.MAINOPT = mainopt;
    OPTS.PLOTOPT = 1;
    OPTS.SPEED1 = s1;
    OPTS.SPEED2 = s2;
    OPTS.DSPEED = d;
}

void Table(std::initializer_list<float> speeds) {
    MODEL.NSPEED = 0;
    for (float v : speeds) MODEL.SPEED(++MODEL.NSPEED) = v;
}

void ExpectRange(const SpeedRangeSetUp& r, float s1, float s2, float d, int nrest) {
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_FLOAT_EQ(r.SPEED1, s1);
    EXPECT_FLOAT_EQ(r.SPEED2, s2);
    EXPECT_FLOAT_EQ(r.DSPEED, d);
    EXPECT_EQ(r.NREST, nrest);
    EXPECT_EQ(r.NSTEPS, nrest);
}

}  // namespace

TEST(SpeedRange, ReversedRangeAndDownwardSweep) {
    Range(5, 3000.0f, 1000.0f, 100.0f);
    ExpectRange(SetUpSpeedRange(), 1000.0f, 3000.0f, 100.0f, 21);
    Range(5, 3000.0f, 1000.0f, -100.0f);
    ExpectRange(SetUpSpeedRange(), 3000.0f, 1000.0f, -100.0f, 21);
    // The stability analysis looks for the lowest unstable speed: a range
    // typed downward is swept upward with the same step.
    Range(4, 3000.0f, 1000.0f, -100.0f);
    OPTS.STABOPT = 1;
    Table({500.0f, 5000.0f});
    ExpectRange(SetUpSpeedRange(), 1000.0f, 3000.0f, 100.0f, 21);
}

TEST(SpeedRange, SpeedTableClampsTheRange) {
    Range(5, 500.0f, 5000.0f, 100.0f);
    Table({1000.0f, 2500.0f, 4000.0f});
    SpeedRangeSetUp r = SetUpSpeedRange();
    ExpectRange(r, 1000.0f, 4000.0f, 100.0f, 31);
    EXPECT_EQ(r.ISPAN, 1);
    // Downward: the start comes down to the top of the table, the end up to
    // its bottom.
    Range(5, 5000.0f, 500.0f, -100.0f);
    Table({1000.0f, 2500.0f, 4000.0f});
    r = SetUpSpeedRange();
    ExpectRange(r, 4000.0f, 1000.0f, -100.0f, 31);
    EXPECT_EQ(r.ISPAN, 2);
    // A start at a table speed: the interval that ends there.
    Range(5, 2500.0f, 4000.0f, 100.0f);
    Table({1000.0f, 2500.0f, 4000.0f});
    EXPECT_EQ(SetUpSpeedRange().ISPAN, 1);

    // With DSPEED = 0 the range is cut into steps of 1/396 of its width.
    Range(4, 0.0f, 9000.0f, 0.0f);
    OPTS.STABOPT = 2;
    Table({1000.0f, 2500.0f, 4000.0f});
    r = SetUpSpeedRange();
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_FLOAT_EQ(r.SPEED1, 1000.0f);
    EXPECT_FLOAT_EQ(r.SPEED2, 4000.0f);
    EXPECT_NEAR(r.DSPEED, 3000.0 / 396.0, 1e-5);
    EXPECT_GE(r.NREST, 396);  // 397 speeds, up to the rounding of the quotient
    EXPECT_LE(r.NREST, 397);
}

TEST(SpeedRange, StabilityOption3EvaluatesBothLimits) {
    Range(4, 1500.0f, 3500.0f, 2000.0f);
    OPTS.STABOPT = 3;
    Table({1000.0f, 4000.0f});
    ExpectRange(SetUpSpeedRange(), 1500.0f, 3500.0f, 2000.0f, 2);
    // Upper limit above the table: clamped, and the difference follows.
    Range(4, 1500.0f, 6000.0f, 4500.0f);
    OPTS.STABOPT = 3;
    Table({1000.0f, 4000.0f});
    ExpectRange(SetUpSpeedRange(), 1500.0f, 4000.0f, 2500.0f, 2);
    Range(4, 2000.0f, 2000.0f, 0.0f);
    OPTS.STABOPT = 3;
    Table({1000.0f, 4000.0f});
    EXPECT_NE(SetUpSpeedRange().REFUSAL, "");
}

TEST(SpeedRange, SingleSpeedRuns) {
    // The undamped problem is solved at SPEED1 only.
    Range(1, 2000.0f, 100.0f, -7.0f);
    SpeedRangeSetUp r = SetUpSpeedRange();
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_FLOAT_EQ(r.SPEED1, 2000.0f);
    EXPECT_EQ(r.NREST, 1);
    EXPECT_EQ(r.NSTEPS, 1);
    // A speed below the table is raised to it; one above it is refused.
    Range(2, 500.0f, 500.0f, 1.0f);
    Table({1000.0f, 4000.0f});
    r = SetUpSpeedRange();
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_FLOAT_EQ(r.SPEED1, 1000.0f);
    Range(3, 4500.0f, 4500.0f, 1.0f);
    Table({1000.0f, 4000.0f});
    EXPECT_NE(SetUpSpeedRange().REFUSAL, "");
    // The orbit is one step at SPEED1, whatever SPEED2 and DSPEED hold.
    Range(5, 2000.0f, 0.0f, 0.0f);
    OPTS.PLOTOPT = 9;
    Table({1000.0f, 4000.0f});
    r = SetUpSpeedRange();
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_TRUE(r.SINGLESTEP);
    EXPECT_EQ(r.NREST, 1);
    EXPECT_FLOAT_EQ(r.SPEED1, 2000.0f);
}

TEST(SpeedRange, ReportOnlyUnbalanceIsCutTo396Steps) {
    Range(5, 0.0f, 99900.0f, 100.0f);
    OPTS.PLOTOPT = 11;
    SpeedRangeSetUp r = SetUpSpeedRange();
    EXPECT_EQ(r.REFUSAL, "");
    EXPECT_EQ(r.NREST, 396);
    EXPECT_NEAR(r.DSPEED, 99900.0 / 396.0, 1e-3);
}

TEST(SpeedRange, RangesThatCannotBeSweptAreRefused) {
    Range(5, 1000.0f, 3000.0f, -100.0f);  // increment of the wrong sign
    EXPECT_NE(SetUpSpeedRange().REFUSAL.find("wrong sign"), std::string::npos);
    Range(4, 1000.0f, 3000.0f, -100.0f);
    Table({500.0f, 5000.0f});
    EXPECT_NE(SetUpSpeedRange().REFUSAL, "");
    Range(5, 5000.0f, 6000.0f, 100.0f);  // above the table
    Table({1000.0f, 4000.0f});
    EXPECT_NE(SetUpSpeedRange().REFUSAL.find("outside"), std::string::npos);
    Range(5, 900.0f, 500.0f, -100.0f);  // below the table, downward
    Table({1000.0f, 4000.0f});
    EXPECT_NE(SetUpSpeedRange().REFUSAL, "");
    Range(5, 0.0f, 1.0e6f, 1.0e-4f);  // 1e10 steps do not fit an integer
    EXPECT_NE(SetUpSpeedRange().REFUSAL.find("not finite"), std::string::npos);
    Range(5, 0.0f, 1.0e30f, 1.0e-30f);
    EXPECT_NE(SetUpSpeedRange().REFUSAL, "");
}

// ---------------------------------------------------------------------------
// Passes and the interval during a sweep.

namespace {

struct StepRecord {
    int pass;
    int istep;
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
    Range(5, 1000.0f, 100900.0f, 100.0f);
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
    EXPECT_NEAR(g_steps.back().speed, 100900.0f, 1.0f);
}

TEST(Passes, IntervalContainsEverySpeedInBothDirections) {
    for (float d : {125.0f, -125.0f}) {
        Range(5, d > 0 ? 1000.0f : 3500.0f, d > 0 ? 3500.0f : 1000.0f, d);
        Table({1000.0f, 2000.0f, 2500.0f, 3500.0f});
        Sweep();
        ASSERT_EQ(g_steps.size(), 21u) << d;
        for (const StepRecord& s : g_steps) {
            EXPECT_LE(MODEL.SPEED(s.ispan), s.speed) << d << " at " << s.speed;
            EXPECT_GE(MODEL.SPEED(s.ispan + 1), s.speed) << d << " at " << s.speed;
            // A table speed is evaluated at the end of the interval below it.
            for (int k = 2; k <= 4; ++k) {
                if (s.speed == MODEL.SPEED(k)) {
                    EXPECT_EQ(s.ispan, k - 1) << d << " at " << s.speed;
                }
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Refusal of the whole run.

namespace {

class RunRefusal : public ::testing::Test {
protected:
    std::istringstream in;
    std::ostringstream out;
    std::filesystem::path dir, oldCwd;
    void SetUp() override {
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("korvo-run-" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        std::filesystem::current_path(oldCwd);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

}  // namespace

TEST_F(RunRefusal, NothingIsComputedOrWritten) {
    Range(5, 1000.0f, 2000.0f, 100.0f);
    AddBearing(1, 1e5f, 0, 0, 1e5f);
    AddBearing(3, 1e5f, 0, 0, 1e5f);
    MODEL.SHAFT(2, 3) = 0.0f;
    OPTS.NFILES = 1;
    ASSERT_EQ(OpenUnit(UNIT_REPORT, Text14("report.out"), Text3("NEW")), 0);
    ASSERT_EQ(OpenUnit(ResultUnit(1), Text14("st1.dat"), Text3("NEW")), 0);
    ASSERT_EQ(OpenUnit(BrgStiffUnit(1), Text14("k1.dat"), Text3("NEW")), 0);
    in.str("\n");
    FRONT.REREAD = 0;
    SYS.NDOF = -7;
    RUN.NSWEEP = -7;
    RunAnalysis();
    const std::string console = out.str();
    EXPECT_NE(console.find("Shaft element No.2"), std::string::npos) << console;
    EXPECT_NE(console.find("Press <Enter> to continue"), std::string::npos) << console;
    EXPECT_EQ(FRONT.REREAD, 1);
    EXPECT_EQ(SYS.NDOF, -7);  // no assembly
    EXPECT_EQ(RUN.NSWEEP, -7);
    EXPECT_FALSE(UnitIsOpen(UNIT_REPORT));
    EXPECT_FALSE(UnitIsOpen(ResultUnit(1)));
    EXPECT_FALSE(UnitIsOpen(BrgStiffUnit(1)));
    for (const char* f : {"report.out", "st1.dat", "k1.dat"}) EXPECT_EQ(std::filesystem::file_size(f), 0u) << f;

    // A sound model with a range that cannot be swept is refused the same way.
    out.str("");
    in.clear();
    in.str("\n");
    MODEL.SHAFT(2, 3) = 10.0f;
    OPTS.DSPEED = -100.0f;
    FRONT.REREAD = 0;
    RunAnalysis();
    EXPECT_NE(out.str().find("wrong sign"), std::string::npos) << out.str();
    EXPECT_EQ(FRONT.REREAD, 1);
    EXPECT_EQ(SYS.NDOF, -7);
}

// ---------------------------------------------------------------------------
// Through the real program: a model with a zero-length element is refused at
// the run, and the front end comes back.

TEST(RunRefusalSession, ZeroLengthElementRefusedAndMainMenuShownAgain) {
    std::string model;
    // simple.dat with the length of element 2 set to zero.
    const std::vector<std::string> src = SplitLines(std::string(
        "BAD SHAFT\n"
        "           3           1           2           0           0\n"
        "           1           0\n"
        "        2.000000    0.000000E+00       10.000000    7.854000E-01\n"
        "         8.891000\n"
        "        2.000000    0.000000E+00    0.000000E+00    7.854000E-01\n"
        "         8.891000\n"
        "           2       12.000000        2.000000        1.500000       46.680000\n"
        "       863.500000      440.500000\n"
        "           1    0.000000E+00\n"
        "           3    0.000000E+00\n"
        "    3.000000E+07    2.830000E-01\n"
        "           1\n"
        "    0.000000E+00\n"
        "   500000.000000    0.000000E+00    0.000000E+00   500000.000000\n"
        "        50.000000    0.000000E+00    0.000000E+00       50.000000\n"
        "   500000.000000    0.000000E+00    0.000000E+00   500000.000000\n"
        "        50.000000    0.000000E+00    0.000000E+00       50.000000\n"
        "           1    0.000000E+00    0.000000E+00\n"
        "           2    0.000000E+00    0.000000E+00\n"
        "           3    0.000000E+00    0.000000E+00\n"));
    for (const std::string& l : src) model += l + "\r\n";
    SessionSetup setup;
    setup.files["bad.dat"] = model;
    // Main menu 1, data menu 1, file input, run: no normalisation, no mode
    // files, lumped mass, report bad.out; Enter after the refusal; exit.
    const Session s = RunKorvo("1\n\n1\n1\nbad.dat\n5\nN\nN\n1\nbad.out\n\n8\n", setup);
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_NE(s.out.find("Shaft element No.2 has a length that is not positive"), std::string::npos) << s.out;
    const std::size_t refusal = s.out.find("Shaft element No.2");
    EXPECT_NE(s.out.find("M A I N    M E N U", refusal), std::string::npos);
    EXPECT_EQ(s.out.find("UNDAMPED EIGENVALUE PROBLEM"), std::string::npos);
    EXPECT_TRUE(s.exists("bad.out"));
    EXPECT_EQ(s.file("bad.out"), "");
}
