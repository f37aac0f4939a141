// Undamped and damped eigenvalue analyses of assembled rotors against closed
// forms: beams, a disc on a light shaft, the metric rotor, the pair order,
// cross-coupling, the whirl split and the damped single degree of freedom.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <vector>

#include "analyses/analyses.h"
#include "tests/support/models.h"

namespace {

using namespace korvo_test;
constexpr double kE = 3.0e7, kGrav = 386.0;

class Eigen : public ::testing::Test {
protected:
    void SetUp() override { ResetModel(); }
};

// Uniform steel shaft of nel elements on two isotropic bearings kb at its ends.
void Beam(int nel, float length, float od, float kb, float rho = 0.283f) {
    UniformShaft(nel + 1, od, length);
    MODEL.Rho = rho;
    AddBearing(1, {kb, 0, 0, kb});
    AddBearing(nel + 1, {kb, 0, 0, kb});
}

// The undamped analysis at rest with mass distribution opt.
void Undamped(int opt) {
    OPTS.MASSOPT = opt;
    PrepareStep(0.0f);
    UndampedStep();
}

void ExpectRel(double got, double want, double tol, const std::string& what) {
    EXPECT_NEAR(got, want, std::fabs(want) * tol) << what;
}

// A 100 lb disc (polar 2000, transverse 1000 lb-in^2) at the middle of a
// light 20 in shaft on very stiff bearings: translation sqrt(48 EI/(L^3 m)),
// tilt sqrt(12 EI/L / Id) under a central couple.
constexpr float kDiscL = 20.0f;
const double kEI = kE * kPi / 64.0 * 16.0;
const double kOmegaT = std::sqrt(48.0 * kEI / std::pow(kDiscL, 3.0) * kGrav / 100.0);
const double kTilt = 12.0 * kEI / kDiscL, kId = 1000.0 / kGrav, kIp = 2000.0 / kGrav;
void DiscOnLightShaft() {
    Beam(2, kDiscL, 2.0f, 1.0e10f, 1.0e-6f);
    AddDisc(2, 100.0f, 2000.0f, 1000.0f);
}

}  // namespace

TEST_F(Eigen, PinnedPinnedBeamFrequenciesAndShapes) {
    const float L = 40.0f, D = 2.0f;
    const double base = std::sqrt(kE * kPi / 64 * std::pow(D, 4) * kGrav / (kPi / 4 * D * D * 0.283));
    for (int opt : {1, 2, 3}) {
        ResetModel();
        Beam(20, L, D, 1.0e10f);
        Undamped(opt);
        EXPECT_EQ(RUN.JACOBIERR, 0);
        for (int n = 1; n <= 3; ++n) {
            // Consistent mass has no rotary inertia (Euler-Bernoulli beam); the
            // lumped distributions carry the shaft's (Rayleigh beam) and
            // converge more slowly.
            const double k = n * kPi / L, eb = Rpm(k * k * base);
            const double want = opt == 3 ? eb : eb / std::sqrt(1.0 + k * k * D * D / 16.0);
            if (opt == 3 || n <= 2)
                for (int c : {2 * n - 1, 2 * n}) ExpectRel(RES.CRIT(c), want, opt == 3 ? 2e-3 : 5e-3, "mode");
        }
        for (int k = 2; k <= SYS.NDOF; ++k) EXPECT_LE(RES.CRIT(k - 1), RES.CRIT(k));
    }
    // Normalised shapes: the largest x translation is +1, both members of a
    // pair show the curve sin(n pi z / L) with the same sign, in both rows.
    for (int n = 1; n <= 3; ++n)
        for (int c = 2 * n - 1; c <= 2 * n; ++c) {
            float mx = -2.0f;
            for (int s = 1; s <= 21; ++s) {
                const float x = RES.SHAPE(2 * s - 1, c);
                EXPECT_NEAR(std::fabs(x), std::fabs(std::sin(n * kPi * (s - 1) / 20.0)), 3e-3) << c << " " << s;
                EXPECT_EQ(RES.SHAPE(2 * s, c), x);
                EXPECT_NEAR(RES.SHAPE(2 * s - 1, 2 * n - 1), RES.SHAPE(2 * s - 1, 2 * n), 1e-4);
                mx = std::max(mx, x);
            }
            EXPECT_EQ(mx, 1.0f);
        }
    EXPECT_GT(RES.SHAPE(11, 1), 0.0f);
}

TEST_F(Eigen, FreeFreeBeam) {
    // Without bearings (a free rotor: the stiffness is only semi-definite and
    // is solved with a shift) and on springs soft enough to leave the beam
    // free; consistent mass, 20 elements, against the continuum beam.
    const float L = 40.0f, D = 2.0f;
    const double base = std::sqrt(kE * kPi / 64 * std::pow(D, 4) * kGrav / (kPi / 4 * D * D * 0.283 * std::pow(L, 4)));
    const double beta[3] = {4.7300408, 7.8532046, 10.9956078};
    for (float kb : {0.0f, 10.0f}) {
        ResetModel();
        if (kb > 0.0f)
            Beam(20, L, D, kb);
        else
            UniformShaft(21, D, L);
        Undamped(3);
        EXPECT_EQ(RUN.JACOBIERR, 0) << kb;
        for (int k = 1; k <= 4; ++k)  // rigid-body modes: zero or tiny, never not a number
            EXPECT_TRUE(RES.CRIT(k) >= 0.0f && RES.CRIT(k) < 0.02 * Rpm(beta[0] * beta[0] * base)) << kb << " " << k;
        for (int n = 1; n <= 3; ++n)
            for (int c : {3 + 2 * n, 4 + 2 * n})
                ExpectRel(RES.CRIT(c), Rpm(beta[n - 1] * beta[n - 1] * base), n <= 2 ? 1e-3 : 2e-3, "mode");
        // First elastic mode: symmetric, the ends at +-1, the centre at
        // phi(L/2)/phi(0) of the free-free mode function.
        const double b = beta[0], sigma = (std::cosh(b) - std::cos(b)) / (std::sinh(b) - std::sin(b));
        auto phi = [&](double x) { return std::cosh(b * x) + std::cos(b * x) - sigma * (std::sinh(b * x) + std::sin(b * x)); };
        const float end1 = RES.SHAPE(1, 5);
        EXPECT_NEAR(std::fabs(end1), 1.0, 1e-3);
        EXPECT_NEAR(RES.SHAPE(41, 5), end1, 1e-3);
        EXPECT_NEAR(RES.SHAPE(21, 5), phi(0.5) / phi(0.0) * end1, 3e-3);
    }
}

TEST_F(Eigen, DiscOnLightShaft) {
    for (int opt : {1, 3}) {  // consistent mass too: the disc's transverse moment counts
        ResetModel();
        DiscOnLightShaft();
        Undamped(opt);
        ExpectRel(RES.CRIT(1), Rpm(kOmegaT), 1e-3, "translation");
        ExpectRel(RES.CRIT(2), Rpm(kOmegaT), 1e-3, "translation");
        ExpectRel(RES.CRIT(3), Rpm(std::sqrt(kTilt / kId)), 1e-3, "tilt");
        ExpectRel(RES.CRIT(4), Rpm(std::sqrt(kTilt / kId)), 1e-3, "tilt");
        // The translation mode moves the disc only.
        EXPECT_EQ(RES.SHAPE(3, 1), 1.0f);
        EXPECT_NEAR(RES.SHAPE(1, 1), 0.0f, 1e-4);
        EXPECT_NEAR(RES.SHAPE(5, 1), 0.0f, 1e-4);
    }
}

TEST_F(Eigen, MetricRotorHasTheSameFrequenciesInRpm) {
    // A disc on a light shaft with a bearing weight, an added weight and a
    // pedestal, in inches and pounds, then in millimetres and kilograms: the
    // ratio of the gravitational constants, sqrt(9810 / (386 x 25.4)).
    std::vector<float> crit[2];
    for (int units : {1, 2}) {
        const double in = units == 2 ? 25.4 : 1.0, lb = units == 2 ? 0.45359237 : 1.0;
        auto f = [](double v) { return static_cast<float>(v); };
        ResetModel();
        MODEL.IUNITS = units;
        UniformShaft(5, f(2.0 * in), f(40.0 * in));
        MODEL.E = f(kE * lb / (in * in));
        MODEL.Rho = f(1.0e-5 * lb / (in * in * in));
        AddDisc(3, f(100.0 * lb), f(400.0 * lb * in * in), f(200.0 * lb * in * in));
        AddBearing(1, {f(2.0e5 * lb / in), 0, 0, f(2.0e5 * lb / in)});
        AddBearing(5, {f(2.0e5 * lb / in), 0, 0, f(3.0e5 * lb / in)});
        MODEL.BWT(1) = f(2.0 * lb);
        MODEL.NCM = 1;
        MODEL.WSTA(1) = 2;
        MODEL.WWT(1) = f(5.0 * lb);
        AddPedestal(5, f(30.0 * lb), f(4.0e5 * lb / in), f(6.0e5 * lb / in));
        Undamped(1);
        for (int k = 1; k <= 8; ++k) crit[units - 1].push_back(RES.CRIT(k));
    }
    EXPECT_FLOAT_EQ(SYS.GRAV, 9810.0f);
    const double ratio = std::sqrt(9810.0 / (386.0 * 25.4));
    EXPECT_NEAR(ratio, 1.000286, 5e-7);
    for (int k = 0; k < 8; ++k) EXPECT_NEAR(crit[1][k] / crit[0][k], ratio, 2e-5) << "mode " << k + 1;
}

TEST_F(Eigen, IsotropicPairOrderAndUnnormalisedShapes) {
    // One station: x and y at 2 rad/s with different masses, the rotations a
    // second pair without any translation.
    MODEL.NSTA = 1;
    SYS.NDOF = 4;
    const float k[4] = {4.0f, 16.0f, 100.0f, 100.0f}, m[4] = {1.0f, 4.0f, 1.0f, 1.0f};
    for (int i = 1; i <= 4; ++i) {
        SYS.STIFF(i, i) = k[i - 1];
        SYS.MASS(i, i) = m[i - 1];
    }
    OPTS.NORMFLAG = 0;
    UndampedStep();
    EXPECT_FLOAT_EQ(RES.CRIT(1), static_cast<float>(Rpm(2.0)));
    EXPECT_FLOAT_EQ(RES.CRIT(2), static_cast<float>(Rpm(2.0)));
    EXPECT_FLOAT_EQ(RES.CRIT(3), static_cast<float>(Rpm(10.0)));
    // The member with the higher solver index (the x mode, M-normalised to
    // 1/sqrt(1)) comes first, the y mode (1/sqrt(4)) second; each shows its
    // curve in both rows. The rotation modes: no translation, nothing invented.
    const float want[2][4] = {{1.0f, 1.0f, 0.5f, 0.5f}, {1.0f, 1.0f, 1.0f, 1.0f}};
    for (int norm = 0; norm <= 1; ++norm) {
        OPTS.NORMFLAG = norm;
        UndampedStep();
        for (int c = 1; c <= 2; ++c)
            for (int r = 1; r <= 2; ++r) EXPECT_FLOAT_EQ(RES.SHAPE(r, c), want[norm][2 * (c - 1) + r - 1]) << norm;
        EXPECT_EQ(RES.SHAPE(1, 3), 0.0f);
        EXPECT_EQ(RES.SHAPE(2, 4), 0.0f);
    }
}

TEST_F(Eigen, CrossCoupledStiffnessEntersThroughItsSymmetricPart) {
    MODEL.NSTA = 1;
    SYS.NDOF = 4;
    SYS.STIFF(1, 1) = 100.0f;
    SYS.STIFF(1, 2) = 30.0f;
    SYS.STIFF(2, 1) = -10.0f;
    SYS.STIFF(2, 2) = 50.0f;
    SYS.STIFF(3, 3) = SYS.STIFF(4, 4) = 1.0e4f;
    for (int i = 1; i <= 4; ++i) SYS.MASS(i, i) = 1.0f;
    UndampedStep();
    // Symmetric part [[100, 10], [10, 50]]: 75 -+ sqrt(625 + 100); the input is left as it was.
    ExpectRel(RES.CRIT(1), Rpm(std::sqrt(75.0 - std::sqrt(725.0))), 1e-4, "lower");
    ExpectRel(RES.CRIT(2), Rpm(std::sqrt(75.0 + std::sqrt(725.0))), 1e-4, "upper");
    EXPECT_EQ(SYS.STIFF(1, 2), 30.0f);

}

TEST_F(Eigen, UndampedRotorAtRestGivesImaginaryPairs) {
    Beam(10, 40.0f, 2.0f, 5.0e5f);
    Undamped(2);
    DampedStep();
    EXPECT_NE(Console().str().find(" DAMPED EIGENVALUE PROBLEM ..."), std::string::npos);
    // +-i omega with omega the undamped frequencies, real parts zero.
    std::vector<double> w;
    for (int i = 1; i <= 2 * SYS.NDOF; ++i) {
        EXPECT_LT(std::fabs(RES.WR(i)), 1e-5 * std::fabs(RES.WI(i)) + 1e-3) << i;
        if (RES.WI(i) > 0) w.push_back(RES.WI(i));
    }
    std::sort(w.begin(), w.end());
    ASSERT_EQ(static_cast<int>(w.size()), SYS.NDOF);
    for (int k = 1; k <= SYS.NDOF; ++k) ExpectRel(w[k - 1], RES.CRIT(k) * kPi / 30.0, 1e-4, "pair");
}

TEST_F(Eigen, GyroscopicDiscSplitsForwardAndBackwardWhirl) {
    const float rpm = 30000.0f;
    DiscOnLightShaft();
    OPTS.MAINOPT = 2;
    PrepareStep(rpm);
    DampedStep();
    std::vector<double> w;
    for (int i = 1; i <= 2 * SYS.NDOF; ++i)
        if (RES.WI(i) > 0) w.push_back(RES.WI(i));
    std::sort(w.begin(), w.end());
    ASSERT_GE(w.size(), 4u);
    // The centred disc translates without feeling the spin; its tilt obeys
    // Id w^2 -+ Ip Omega w - kt = 0: the forward branch rises, the backward one falls.
    const double g = kIp * rpm * kPi / 30.0, root = std::sqrt(g * g + 4.0 * kId * kTilt);
    ExpectRel(w[0], kOmegaT, 1e-4, "translation");
    ExpectRel(w[1], kOmegaT, 1e-4, "translation");
    ExpectRel(w[2], (root - g) / (2.0 * kId), 1e-4, "backward");
    ExpectRel(w[3], (root + g) / (2.0 * kId), 1e-4, "forward");
    // Direction: the disc axis turns with the spin (theta_y = -i theta_x) on
    // the upper branch and against it (+i) on the lower one. The solution of
    // the nearly singular (K - w^2 M + i w C) x = e is dominated by the mode.
    const int tx = 7, ty = 8;  // rotations of station 2
    for (int branch : {2, 3}) {
        for (int j = 1; j <= SYS.NDOF; ++j)
            for (int i = 1; i <= SYS.NDOF; ++i)
                SYS.ZM(i, j) = ZDouble{SYS.STIFF(i, j) - w[branch] * w[branch] * SYS.MASS(i, j), w[branch] * SYS.DAMP(i, j)};
        static int ipvt[396];
        static ZDouble x[396];
        int info = 0;
        ComplexLuFactor(SYS.ZM.view(), SYS.NDOF, ipvt, info);
        for (int i = 0; i < SYS.NDOF; ++i) x[i] = ZDouble{i + 1 == tx ? 1.0 : 0.0, 0.0};
        ComplexLuSolve(SYS.ZM.view(), SYS.NDOF, ipvt, x);
        const std::complex<double> ratio =
            std::complex<double>(x[ty - 1].re, x[ty - 1].im) / std::complex<double>(x[tx - 1].re, x[tx - 1].im);
        EXPECT_NEAR(ratio.real(), 0.0, 1e-3) << branch;
        EXPECT_NEAR(ratio.imag(), branch == 3 ? -1.0 : 1.0, 1e-3) << branch;
    }
}

TEST_F(Eigen, DampedSingleDegreeOfFreedom) {
    // m x'' + c x' + k x = 0 with m = 2, c = 8, k = 800: lambda = -c/2m -+
    // i sqrt(k/m - (c/2m)^2) = -2 -+ i sqrt(396), stored as one row.
    MODEL.NSTA = 1;
    SYS.NDOF = 1;
    SYS.MINV(1, 1) = 0.5;
    SYS.STIFF(1, 1) = 800.0f;
    SYS.DAMP(1, 1) = 8.0f;
    RUN.SPDNOW = 1234.0f;
    OPTS.MAINOPT = 2;
    DampedStep();
    EXPECT_FLOAT_EQ(RES.RESTAB(1, 1, 1), 1234.0f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), -2.0, 1e-5);
    EXPECT_NEAR(RES.RESTAB(1, 1, 4), -2.0, 1e-5);
    EXPECT_NEAR(std::fabs(RES.RESTAB(1, 1, 3)), std::sqrt(396.0), 1e-5);
    EXPECT_NEAR(RES.RESTAB(1, 1, 3), -RES.RESTAB(1, 1, 5), 1e-5);
}
