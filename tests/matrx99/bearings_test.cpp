// Per-speed matrices: bearing blocks, reuse of constant blocks, the
// bearing-to-pedestal coupling, gyroscopic terms, spline coefficients at the
// table speeds, the coefficient records, and a bearing on a nearly rigid
// pedestal against the same bearing fixed to ground.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "driver/speed_range.h"
#include "recordio/recordio.h"
#include "subs99/spline.h"
#include "tests/matrx99/femodel_fixture.h"

using namespace femodel_test;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Three stations; a cross-coupled bearing at station 1, a disc at station 2,
// and a bearing at station 3 (on a pedestal when `pedestal`).
void ThreeStationRotor(bool pedestal) {
    ResetModelAndOptions();
    UniformShaft(3, 2.0f, 0.0f, 20.0f, 3.0e7f, 0.283f);
    AddBearing(1, 1.0e5f, 3.0e4f, -2.0e4f, 1.2e5f, 11.0f, 2.0f, -3.0f, 13.0f);
    AddBearing(3, 2.0e5f, 5.0e4f, -4.0e4f, 2.5e5f, 21.0f, 4.0f, -5.0f, 23.0f);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 4) = 40.0f;
    MODEL.DISC(1, 5) = 250.0f;
    MODEL.DISC(1, 6) = 130.0f;
    if (pedestal) {
        MODEL.NPED = 1;
        MODEL.PSTA(1) = 3;
        MODEL.PWT(1) = 60.0f;
        MODEL.PEDC(1, 1) = 7.0e5f;
        MODEL.PEDC(1, 2) = 9.0e5f;
        MODEL.PEDC(1, 3) = 31.0f;
        MODEL.PEDC(1, 4) = 37.0f;
    }
    OPTS.MASSOPT = 1;
    AssembleForSpeedSteps();
}

float Kb(int b, int i, int j) { return MODEL.BCOEF(1, b, 1 + 2 * i + j); }
float Cb(int b, int i, int j) { return MODEL.BCOEF(1, b, 5 + 2 * i + j); }

}  // namespace

TEST(BearingMatrices, ConstantBlocksAddedAtTheStationAndReused) {
    ThreeStationRotor(false);
    BuildSpeedMatrices(1000.0f);
    EXPECT_EQ(SYS.BRGDONE, 1);
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 1; ++j) {
            EXPECT_FLOAT_EQ(SYS.BRGBLK(1 + i, 1 + j), Kb(1, i, j));
            EXPECT_FLOAT_EQ(SYS.BRGBLK(1 + i, 3 + j), Cb(1, i, j));
            EXPECT_FLOAT_EQ(SYS.BRGBLK(5 + i, 1 + j), Kb(2, i, j));
            EXPECT_EQ(SYS.BRGBLK(3 + i, 1 + j), 0.0f);  // no bearing at station 2
            EXPECT_EQ(SYS.STIFF(1 + i, 1 + j), SYS.STIFF0(1 + i, 1 + j) + Kb(1, i, j));
            EXPECT_EQ(SYS.DAMP(1 + i, 1 + j), SYS.DAMP0(1 + i, 1 + j) + Cb(1, i, j));
            EXPECT_EQ(SYS.STIFF(9 + i, 9 + j), SYS.STIFF0(9 + i, 9 + j) + Kb(2, i, j));
            // The disc station has only its gyroscopic pair.
            EXPECT_EQ(SYS.STIFF(5 + i, 5 + j), SYS.STIFF0(5 + i, 5 + j));
        }
    EXPECT_FALSE(SYS.STIFF(1, 2) == SYS.STIFF(2, 1));  // cross-coupled: not symmetric

    // Constant coefficients are evaluated once per run; the matrices are
    // rebuilt from the base copies and do not accumulate.
    const float k11 = SYS.STIFF(1, 1);
    MODEL.BCOEF(1, 1, 1) = 9.0e9f;
    BuildSpeedMatrices(2000.0f);
    EXPECT_EQ(SYS.STIFF(1, 1), k11);
    EXPECT_FLOAT_EQ(SYS.BRGBLK(1, 1), 1.0e5f);
    SYS.BRGDONE = 0;  // a new run
    BuildSpeedMatrices(2000.0f);
    EXPECT_FLOAT_EQ(SYS.BRGBLK(1, 1), 9.0e9f);
}

TEST(BearingMatrices, BearingOnAPedestalActsOnTheRelativeMotion) {
    ThreeStationRotor(true);
    ASSERT_EQ(SYS.NDOF, 14);
    ASSERT_EQ(SYS.PEDPOS(1), 13);
    BuildSpeedMatrices(500.0f);
    const int r = 9, p = 13;
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 1; ++j) {
            const float k = Kb(2, i, j), c = Cb(2, i, j);
            EXPECT_EQ(SYS.STIFF(r + i, r + j), SYS.STIFF0(r + i, r + j) + k);
            EXPECT_EQ(SYS.STIFF(p + i, r + j), -k) << i << j;
            EXPECT_EQ(SYS.STIFF(r + i, p + j), -k) << i << j;  // -Kb, not its transpose
            EXPECT_EQ(SYS.DAMP(p + i, r + j), -c);
            EXPECT_EQ(SYS.DAMP(r + i, p + j), -c);
            const float kp = i == j ? MODEL.PEDC(1, 1 + i) : 0.0f;
            const float cp = i == j ? MODEL.PEDC(1, 3 + i) : 0.0f;
            EXPECT_EQ(SYS.STIFF(p + i, p + j), kp + k);
            EXPECT_EQ(SYS.DAMP(p + i, p + j), cp + c);
        }
    // The pedestal rows hold nothing else.
    for (int j = 1; j <= 8; ++j) EXPECT_EQ(SYS.STIFF(p, j), 0.0f);

    // Sxy = Syx gives a symmetric stiffness matrix.
    MODEL.BCOEF(1, 2, 3) = MODEL.BCOEF(1, 2, 2);
    MODEL.BCOEF(1, 1, 3) = MODEL.BCOEF(1, 1, 2);
    SYS.BRGDONE = 0;
    BuildSpeedMatrices(500.0f);
    for (int j = 1; j <= 14; ++j)
        for (int i = 1; i <= 14; ++i) EXPECT_EQ(SYS.STIFF(i, j), SYS.STIFF(j, i));
}

TEST(BearingMatrices, GyroscopicTermsProportionalToSpeed) {
    ThreeStationRotor(true);
    const int r = 5;  // station 2, before the pedestal
    BuildSpeedMatrices(0.0f);
    EXPECT_EQ(SYS.OMEGA, 0.0f);
    EXPECT_EQ(SYS.DAMP(r + 2, r + 3), 0.0f);
    EXPECT_EQ(SYS.DAMP(r + 3, r + 2), 0.0f);

    BuildSpeedMatrices(3000.0f);
    EXPECT_NEAR(SYS.OMEGA, 100.0 * kPi, 1e-4);
    const double g = 250.0 / 386.0 * 100.0 * kPi;
    EXPECT_NEAR(SYS.DAMP(r + 2, r + 3), g, g * 1e-6);
    EXPECT_EQ(SYS.DAMP(r + 3, r + 2), -SYS.DAMP(r + 2, r + 3));
    const float g3000 = SYS.DAMP(r + 2, r + 3);
    BuildSpeedMatrices(6000.0f);
    EXPECT_NEAR(SYS.DAMP(r + 2, r + 3), 2.0 * g3000, g * 1e-6);
    BuildSpeedMatrices(-3000.0f);
    EXPECT_NEAR(SYS.DAMP(r + 2, r + 3), -g, g * 1e-6);
    // No disc at the bearing stations: no gyroscopic pair there.
    EXPECT_EQ(SYS.DAMP(3, 4), 0.0f);
    EXPECT_EQ(SYS.DAMP(11, 12), 0.0f);
}

namespace {

// Four speeds with coefficients that vary non-linearly with speed.
float TableCoef(int j, int b, int m) {
    const float v = static_cast<float>(j);
    return static_cast<float>(b * 1000 + m * 100) * (1.0f + 0.3f * v + 0.05f * v * v * v);
}

void SpeedTableRotor() {
    ThreeStationRotor(false);
    MODEL.NSPEED = 4;
    const float sp[4] = {1000.0f, 2000.0f, 3500.0f, 4000.0f};
    for (int j = 1; j <= 4; ++j) {
        MODEL.SPEED(j) = sp[j - 1];
        for (int b = 1; b <= 2; ++b)
            for (int m = 1; m <= 8; ++m) MODEL.BCOEF(j, b, m) = TableCoef(j, b, m);
    }
    static Vec<float, 99> s;
    static Array2<float, 396, 4> work;
    FitSplineTables(2, 4, 1, 8, MODEL.SPEED.data(), MODEL.BCOEF.view(), SYS.SPLCOEF.view(), s.data(),
                    work.view());
}

void ExpectBlocksOfSet(int j, double tol) {
    for (int b = 1; b <= 2; ++b) {
        const int s = b == 1 ? 1 : 3;
        for (int i = 0; i <= 1; ++i)
            for (int k = 0; k <= 1; ++k) {
                const float ks = MODEL.BCOEF(j, b, 1 + 2 * i + k), cs = MODEL.BCOEF(j, b, 5 + 2 * i + k);
                EXPECT_NEAR(SYS.BRGBLK(2 * s - 1 + i, 1 + k), ks, std::fabs(ks) * tol) << "set " << j;
                EXPECT_NEAR(SYS.BRGBLK(2 * s - 1 + i, 3 + k), cs, std::fabs(cs) * tol) << "set " << j;
            }
    }
}

}  // namespace

TEST(BearingMatrices, SplineCoefficientsAtTheTableSpeeds) {
    SpeedTableRotor();
    // Upward: every table speed is met in the interval that ends there
    // (the first one at the start of its interval, exactly).
    SYS.ISPAN = StartInterval(MODEL.SPEED.data(), 4, 1000.0f);
    EXPECT_EQ(SYS.ISPAN, 1);
    BuildSpeedMatrices(1000.0f);
    ExpectBlocksOfSet(1, 0.0);
    for (int j = 2; j <= 4; ++j) {
        AdvanceSweepInterval(MODEL.SPEED(j), 500.0f, SYS.ISPAN);
        EXPECT_EQ(SYS.ISPAN, j - 1);
        BuildSpeedMatrices(MODEL.SPEED(j));
        ExpectBlocksOfSet(j, 2e-5);
    }
    // Downward from the top: the interval that contains each speed.
    SYS.ISPAN = StartInterval(MODEL.SPEED.data(), 4, 4000.0f);
    EXPECT_EQ(SYS.ISPAN, 3);
    const int want[7] = {3, 2, 2, 2, 1, 1, 1};
    for (int step = 0; step < 7; ++step) {
        const float v = 4000.0f - 500.0f * step;
        if (step > 0) AdvanceSweepInterval(v, -500.0f, SYS.ISPAN);
        EXPECT_EQ(SYS.ISPAN, want[step]) << v;
        EXPECT_LE(MODEL.SPEED(SYS.ISPAN), v);
        EXPECT_GE(MODEL.SPEED(SYS.ISPAN + 1), v);
    }
    BuildSpeedMatrices(2000.0f);  // end of interval 1
    ExpectBlocksOfSet(2, 2e-5);
}

namespace {

class CoefficientRecords : public ::testing::Test {
protected:
    std::filesystem::path dir, oldCwd;
    void SetUp() override {
        ResetRecordIo();
        std::random_device rd;
        dir = std::filesystem::temp_directory_path() / ("korvo-fem-" + std::to_string(rd()));
        std::filesystem::create_directories(dir);
        oldCwd = std::filesystem::current_path();
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        ResetRecordIo();
        std::filesystem::current_path(oldCwd);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    static std::vector<std::vector<double>> Records(const std::string& name) {
        std::ifstream f(name, std::ios::binary);
        std::vector<std::vector<double>> recs;
        std::string line;
        while (std::getline(f, line)) {
            EXPECT_FALSE(line.empty());
            EXPECT_EQ(line.back(), '\r');
            std::istringstream is(line);
            std::vector<double> v;
            double x;
            while (is >> x) v.push_back(x);
            recs.push_back(v);
        }
        return recs;
    }
};

}  // namespace

TEST_F(CoefficientRecords, WrittenOnlyToOpenUnitsWhenStored) {
    ThreeStationRotor(false);
    OPTS.SPLSTORE = 1;
    ASSERT_EQ(OpenUnit(BrgStiffUnit(1), Text14("k1.dat"), Text3("NEW")), 0);
    ASSERT_EQ(OpenUnit(BrgDampUnit(2), Text14("c2.dat"), Text3("NEW")), 0);
    BuildSpeedMatrices(1500.0f);
    BuildSpeedMatrices(2500.0f);  // constant coefficients: once per run
    CloseUnit(BrgStiffUnit(1));
    CloseUnit(BrgDampUnit(2));
    auto k1 = Records("k1.dat");
    ASSERT_EQ(k1.size(), 1u);
    ASSERT_EQ(k1[0].size(), 5u);
    // G10.3 keeps three significant digits.
    const double want[5] = {1500.0, 1.0e5, 3.0e4, -2.0e4, 1.2e5};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(k1[0][i], want[i], std::fabs(want[i]) * 5e-3);
    auto c2 = Records("c2.dat");
    ASSERT_EQ(c2.size(), 1u);
    const double wantc[5] = {1500.0, 21.0, 4.0, -5.0, 23.0};
    for (int i = 0; i < 5; ++i) EXPECT_NEAR(c2[0][i], wantc[i], std::fabs(wantc[i]) * 5e-3);

    // Speed-dependent coefficients: one record per step; none without SPLSTORE.
    SpeedTableRotor();
    ASSERT_EQ(OpenUnit(BrgStiffUnit(2), Text14("k2.dat"), Text3("NEW")), 0);
    OPTS.SPLSTORE = 1;
    SYS.ISPAN = 1;
    BuildSpeedMatrices(1000.0f);
    BuildSpeedMatrices(1500.0f);
    OPTS.SPLSTORE = 0;
    BuildSpeedMatrices(1800.0f);
    CloseUnit(BrgStiffUnit(2));
    auto k2 = Records("k2.dat");
    ASSERT_EQ(k2.size(), 2u);
    EXPECT_NEAR(k2[0][0], 1000.0, 1e-9);
    EXPECT_NEAR(k2[1][0], 1500.0, 1e-9);
    EXPECT_NEAR(k2[0][1], TableCoef(1, 2, 1), TableCoef(1, 2, 1) * 5e-3);
}

namespace {

constexpr float kB5[8] = {2.2e5f, 6.0e4f, -9.0e4f, 2.0e5f, 50.0f, -4.0f, 6.0f, 35.0f};

// Shaft on two cross-coupled bearings with a gyroscopic disc; the bearing at
// station 5 (coefficients b5) optionally on a pedestal.
void CrossCoupledRotor(const float* b5, bool pedestal, float kpx, float kpy, float pwt) {
    ResetModelAndOptions();
    UniformShaft(5, 2.0f, 0.0f, 40.0f, 3.0e7f, 0.283f);
    AddBearing(1, 2.0e5f, 8.0e4f, -8.0e4f, 2.4e5f, 40.0f, 5.0f, -3.0f, 45.0f);
    AddBearing(5, b5[0], b5[1], b5[2], b5[3], b5[4], b5[5], b5[6], b5[7]);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 3;
    MODEL.DISC(1, 4) = 50.0f;
    MODEL.DISC(1, 5) = 600.0f;
    MODEL.DISC(1, 6) = 300.0f;
    if (pedestal) {
        MODEL.NPED = 1;
        MODEL.PSTA(1) = 5;
        MODEL.PWT(1) = pwt;
        MODEL.PEDC(1, 1) = kpx;
        MODEL.PEDC(1, 2) = kpy;
    }
    OPTS.MASSOPT = 1;
    AssembleForSpeedSteps();
    BuildSpeedMatrices(4000.0f);
}

// Largest distance of an eigenvalue of `want` from the nearest one of `got`,
// relative to its modulus.
double WorstRelativeMatch(const std::vector<std::complex<double>>& want,
                          const std::vector<std::complex<double>>& got) {
    double worst = 0;
    for (auto w : want) {
        double best = 1e300;
        for (auto g : got) best = std::min(best, std::abs(g - w));
        worst = std::max(worst, best / std::abs(w));
    }
    return worst;
}

// The station-row, pedestal-column blocks of bearing 2 (station 5, x at
// row 17, pedestal at 21) replaced by the transposed coupling.
void TransposeStationRowCoupling() {
    const int r = 17, p = 21;
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 1; ++j) {
            SYS.STIFF(r + i, p + j) = -SYS.BRGBLK(9 + j, 1 + i);
            SYS.DAMP(r + i, p + j) = -SYS.BRGBLK(9 + j, 3 + i);
        }
}

}  // namespace

TEST(BearingPhysics, NearlyRigidPedestalApproachesTheGroundedBearing) {
    CrossCoupledRotor(kB5, false, 0, 0, 0);
    const auto grounded = DampedEigenvalues();
    ASSERT_EQ(grounded.size(), 40u);
    CrossCoupledRotor(kB5, true, 1.0e9f, 1.0e9f, 1.0f);
    ASSERT_EQ(SYS.NDOF, 22);
    EXPECT_LT(WorstRelativeMatch(grounded, DampedEigenvalues()), 2e-3);
}

TEST(BearingPhysics, BearingInSeriesWithAMasslessPedestal) {
    // An undamped cross-coupled bearing Kb on a pedestal Kp of negligible
    // mass supports the shaft like a grounded bearing of stiffness
    // Kb (Kb + Kp)^-1 Kp (the pedestal in static equilibrium).
    const double kb[2][2] = {{2.2e5, 6.0e4}, {-9.0e4, 2.0e5}}, kp[2] = {3.0e5, 4.0e5};
    const double s[2][2] = {{kb[0][0] + kp[0], kb[0][1]}, {kb[1][0], kb[1][1] + kp[1]}};
    const double det = s[0][0] * s[1][1] - s[0][1] * s[1][0];
    const double si[2][2] = {{s[1][1] / det, -s[0][1] / det}, {-s[1][0] / det, s[0][0] / det}};
    float keff[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            double v = 0;
            for (int l = 0; l < 2; ++l) v += kb[i][l] * si[l][j] * kp[j];
            keff[2 * i + j] = static_cast<float>(v);
        }
    CrossCoupledRotor(keff, false, 0, 0, 0);
    const auto series = DampedEigenvalues();

    const float b5[8] = {2.2e5f, 6.0e4f, -9.0e4f, 2.0e5f, 0, 0, 0, 0};
    CrossCoupledRotor(b5, true, 3.0e5f, 4.0e5f, 1.0e-4f);
    EXPECT_LT(WorstRelativeMatch(series, DampedEigenvalues()), 1e-3);
    // The transposed station-row coupling is a different rotor.
    TransposeStationRowCoupling();
    EXPECT_GT(WorstRelativeMatch(series, DampedEigenvalues()), 1e-2);
}
