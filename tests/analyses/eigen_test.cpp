// Undamped and damped eigenvalue analyses against closed forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <sstream>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "inputs99/analysis_options.h"
#include "inputs99/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kGrav = 386.0;
constexpr double kE = 3.0e7;

class EigenTest : public ::testing::Test {
protected:
    std::istringstream in;
    std::ostringstream out;

    void SetUp() override {
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
        static RotorModel blank;
        MODEL = blank;
        SYS.MASS.clear();
        SYS.STIFF.clear();
        SYS.DAMP.clear();
        SYS.STIFF0.clear();
        SYS.DAMP0.clear();
        SYS.MINV.clear();
        SYS.PEDPOS.clear();
        SYS.PEDFLAG.clear();
        SYS.BRGDONE = 0;
        SYS.ISPAN = 1;
        RUN.PI = 4.0f * std::atan(1.0f);
        RUN.ISTEP = 1;
        RUN.NSWEEP = 1;
        RUN.SPDNOW = 0.0f;
        RUN.EVALMODE = 0;
        RUN.MASSSINGULAR = 0;
        RUN.JACOBIERR = 0;
        OPTS.MAINOPT = 3;
        OPTS.NORMFLAG = 1;
        OPTS.MASSOPT = 1;
    }
    void TearDown() override {
        SetConsoleStreams(nullptr, nullptr);
        ResetRecordIo();
    }

    // One station with its four degrees of freedom, filled directly.
    static void OneStation(int ndof = 4) {
        MODEL.NSTA = 1;
        SYS.NDOF = ndof;
    }

    // Uniform shaft of nel elements (length L, diameter D) on two isotropic
    // bearings of stiffness kb at its ends.
    static void Beam(int nel, float L, float D, float kb, float rho = 0.283f) {
        MODEL.TITLE = Text50("beam");
        MODEL.NSTA = nel + 1;
        MODEL.NBRG = 2;
        MODEL.BSTA(1) = 1;
        MODEL.BSTA(2) = nel + 1;
        for (int e = 1; e <= nel; ++e) {
            MODEL.SHAFT(e, 1) = D;
            MODEL.SHAFT(e, 3) = L / static_cast<float>(nel);
        }
        MODEL.E = static_cast<float>(kE);
        MODEL.Rho = rho;
        MODEL.IUNITS = 1;
        MODEL.NSPEED = 1;
        for (int b = 1; b <= 2; ++b) {
            MODEL.BCOEF(1, b, 1) = kb;
            MODEL.BCOEF(1, b, 4) = kb;
        }
    }

    // What the analysis run does before its speed step: assembly, base
    // copies, inverse mass matrix, the matrices of the speed.
    static void Prepare(float rpm) {
        AssembleRotorMatrices();
        SYS.NDOF = 4 * MODEL.NSTA + 2 * MODEL.NPED;
        const int n = SYS.NDOF;
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) {
                SYS.STIFF0(i, j) = SYS.STIFF(i, j);
                SYS.DAMP0(i, j) = SYS.DAMP(i, j);
            }
        SYS.BRGDONE = 0;
        SYS.ISPAN = 1;
        Invert();
        RUN.SPDNOW = rpm;
        BuildSpeedMatrices(rpm);
    }

    static void Invert() {
        const int n = SYS.NDOF;
        static int indx[396];
        static double vv[396];
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) SYS.MASSD(i, j) = SYS.MASS(i, j);
        InvertMatrix(SYS.MASSD.view(), SYS.MINV.view(), n, indx, vv);
    }

    // Imaginary parts > 0 of the stored damped eigenvalues, ascending.
    static std::vector<double> PositiveWhirl() {
        std::vector<double> w;
        const int n = SYS.NDOF;
        for (int i = 1; i <= n; ++i) {
            if (RES.RESTAB(i, 1, 3) > 0) w.push_back(RES.RESTAB(i, 1, 3));
            if (RES.RESTAB(i, 1, 5) > 0) w.push_back(RES.RESTAB(i, 1, 5));
        }
        std::sort(w.begin(), w.end());
        return w;
    }
};

double Rpm(double radPerSec) { return radPerSec * 30.0 / kPi; }

// ---------------------------------------------------------------------------
// Undamped analysis

TEST_F(EigenTest, PinnedPinnedBeamFrequenciesAndShapes) {
    const float L = 40.0f, D = 2.0f;
    const int nel = 20;
    Beam(nel, L, D, 1.0e10f);
    OPTS.MASSOPT = 3;  // consistent mass: Euler-Bernoulli beam without rotary inertia
    Prepare(0.0f);
    UndampedStep();
    EXPECT_EQ(RUN.JACOBIERR, 0);
    EXPECT_NE(out.str().find(" UNDAMPED EIGENVALUE PROBLEM ..."), std::string::npos);

    const double I = kPi / 64.0 * std::pow(D, 4.0);
    const double w = kPi / 4.0 * D * D * 0.283;  // weight per length
    const double base = std::sqrt(kE * I * kGrav / w);
    for (int n = 1; n <= 3; ++n) {
        const double omega = std::pow(n * kPi / L, 2.0) * base;
        EXPECT_NEAR(RES.CRIT(2 * n - 1), Rpm(omega), 2e-3 * Rpm(omega)) << "mode " << n;
        EXPECT_NEAR(RES.CRIT(2 * n), Rpm(omega), 2e-3 * Rpm(omega)) << "mode " << n;
    }
    // Ascending order overall.
    for (int k = 2; k <= SYS.NDOF; ++k) EXPECT_LE(RES.CRIT(k - 1), RES.CRIT(k));

    // Normalised shapes: the largest x translation is +1, both members of a
    // pair show the same curve, and the curve is sin(n pi z / L).
    for (int n = 1; n <= 3; ++n) {
        for (int c = 2 * n - 1; c <= 2 * n; ++c) {
            float mx = -2.0f;
            for (int s = 1; s <= MODEL.NSTA; ++s) {
                const double z = (s - 1) * L / nel;
                const double expect = std::sin(n * kPi * z / L);
                const float x = RES.SHAPE(2 * s - 1, c);
                EXPECT_NEAR(std::fabs(x), std::fabs(expect), 3e-3) << "mode " << c << " station " << s;
                EXPECT_LE(std::fabs(x), 1.0f);
                mx = std::max(mx, x);
                EXPECT_EQ(RES.SHAPE(2 * s, c), x);  // single-plane mode: both rows alike
            }
            EXPECT_EQ(mx, 1.0f);
        }
        // The sign convention is the same for both members of the pair.
        for (int s = 1; s <= MODEL.NSTA; ++s)
            EXPECT_NEAR(RES.SHAPE(2 * s - 1, 2 * n - 1), RES.SHAPE(2 * s - 1, 2 * n), 1e-4);
    }
    // Mode 1 has its reference at midspan, so the curve is positive.
    EXPECT_GT(RES.SHAPE(2 * 6 - 1, 1), 0.0f);
}

TEST_F(EigenTest, FreeFreeBeamOnSoftSupports) {
    const float L = 40.0f, D = 2.0f;
    const int nel = 20;
    // Springs soft enough to leave the beam free; without them (or with
    // still softer ones) the solver stops on the rigid-body modes.
    Beam(nel, L, D, 10.0f);
    OPTS.MASSOPT = 3;
    Prepare(0.0f);
    UndampedStep();
    EXPECT_EQ(RUN.JACOBIERR, 0);

    const double I = kPi / 64.0 * std::pow(D, 4.0);
    const double w = kPi / 4.0 * D * D * 0.283;
    const double base = std::sqrt(kE * I * kGrav / (w * std::pow(L, 4.0)));
    const double beta1 = 4.7300408, beta2 = 7.8532046;
    // Four rigid-body modes (two planes, bounce and rock) lie far below.
    for (int k = 1; k <= 4; ++k) EXPECT_LT(RES.CRIT(k), 0.02 * Rpm(beta1 * beta1 * base));
    EXPECT_NEAR(RES.CRIT(5), Rpm(beta1 * beta1 * base), 2e-3 * Rpm(beta1 * beta1 * base));
    EXPECT_NEAR(RES.CRIT(6), Rpm(beta1 * beta1 * base), 2e-3 * Rpm(beta1 * beta1 * base));
    EXPECT_NEAR(RES.CRIT(7), Rpm(beta2 * beta2 * base), 2e-3 * Rpm(beta2 * beta2 * base));

    // First elastic mode: symmetric, ends at +-1 after normalisation, the
    // centre at phi(L/2)/phi(0) of the free-free mode function.
    const double b = beta1;
    const double sigma = (std::cosh(b) - std::cos(b)) / (std::sinh(b) - std::sin(b));
    auto phi = [&](double x) {
        return std::cosh(b * x) + std::cos(b * x) - sigma * (std::sinh(b * x) + std::sin(b * x));
    };
    const double ratio = phi(0.5) / phi(0.0);
    const float end1 = RES.SHAPE(1, 5), endN = RES.SHAPE(2 * MODEL.NSTA - 1, 5);
    EXPECT_NEAR(std::fabs(end1), 1.0, 1e-3);
    EXPECT_NEAR(end1, endN, 1e-3);
    EXPECT_NEAR(RES.SHAPE(2 * (nel / 2 + 1) - 1, 5), ratio * end1, 3e-3);
}

TEST_F(EigenTest, DiscOnLightShaft) {
    // Jeffcott rotor: a 100 lb disc at midspan of a light shaft, pinned ends.
    const float L = 20.0f, D = 2.0f;
    Beam(2, L, D, 1.0e10f, 1.0e-6f);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 1) = 10.0f;
    MODEL.DISC(1, 3) = 1.0f;
    MODEL.DISC(1, 4) = 100.0f;  // weight
    MODEL.DISC(1, 5) = 2000.0f;  // polar moment, LB-IN**2
    MODEL.DISC(1, 6) = 1000.0f;  // transverse moment
    OPTS.MASSOPT = 1;
    Prepare(0.0f);
    UndampedStep();

    const double EI = kE * kPi / 64.0 * std::pow(D, 4.0);
    const double omegaT = std::sqrt(48.0 * EI / std::pow(L, 3.0) * kGrav / 100.0);
    const double omegaR = std::sqrt(12.0 * EI / L * kGrav / 1000.0);  // tilt under a central couple
    EXPECT_NEAR(RES.CRIT(1), Rpm(omegaT), 1e-4 * Rpm(omegaT));
    EXPECT_NEAR(RES.CRIT(2), Rpm(omegaT), 1e-4 * Rpm(omegaT));
    EXPECT_NEAR(RES.CRIT(3), Rpm(omegaR), 1e-4 * Rpm(omegaR));
    EXPECT_NEAR(RES.CRIT(4), Rpm(omegaR), 1e-4 * Rpm(omegaR));
    // The translation mode moves the disc only: bearings stay at rest.
    EXPECT_EQ(RES.SHAPE(3, 1), 1.0f);
    EXPECT_NEAR(RES.SHAPE(1, 1), 0.0f, 1e-4);
    EXPECT_NEAR(RES.SHAPE(5, 1), 0.0f, 1e-4);
}

TEST_F(EigenTest, IsotropicPairOrderAndUnnormalisedShapes) {
    // x and y with equal frequency 2 rad/s but different masses; the
    // rotations form a second pair without any translation.
    OneStation();
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
    // 1/sqrt(1)) comes first; the y mode (1/sqrt(4)) second. Either shows
    // its curve in both rows.
    EXPECT_FLOAT_EQ(RES.SHAPE(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(RES.SHAPE(2, 1), 1.0f);
    EXPECT_FLOAT_EQ(RES.SHAPE(1, 2), 0.5f);
    EXPECT_FLOAT_EQ(RES.SHAPE(2, 2), 0.5f);
    // Rotation modes: no translation, nothing to normalise, nothing invented.
    EXPECT_EQ(RES.SHAPE(1, 3), 0.0f);
    EXPECT_EQ(RES.SHAPE(2, 4), 0.0f);

    // Normalised, the y-only mode is scaled by its own reference value.
    OPTS.NORMFLAG = 1;
    UndampedStep();
    EXPECT_FLOAT_EQ(RES.SHAPE(1, 1), 1.0f);
    EXPECT_FLOAT_EQ(RES.SHAPE(1, 2), 1.0f);
    EXPECT_EQ(RES.SHAPE(1, 3), 0.0f);
    EXPECT_FALSE(std::isnan(RES.SHAPE(1, 4)));
}

TEST_F(EigenTest, CrossCoupledStiffnessEntersThroughItsSymmetricPart) {
    OneStation();
    SYS.STIFF(1, 1) = 100.0f;
    SYS.STIFF(1, 2) = 30.0f;
    SYS.STIFF(2, 1) = -10.0f;
    SYS.STIFF(2, 2) = 50.0f;
    SYS.STIFF(3, 3) = SYS.STIFF(4, 4) = 1.0e4f;
    for (int i = 1; i <= 4; ++i) SYS.MASS(i, i) = 1.0f;
    UndampedStep();
    // Symmetric part [[100, 10], [10, 50]]: 75 -+ sqrt(625 + 100).
    const double lo = 75.0 - std::sqrt(725.0), hi = 75.0 + std::sqrt(725.0);
    EXPECT_NEAR(RES.CRIT(1), Rpm(std::sqrt(lo)), 1e-4 * Rpm(std::sqrt(lo)));
    EXPECT_NEAR(RES.CRIT(2), Rpm(std::sqrt(hi)), 1e-4 * Rpm(std::sqrt(hi)));
    // The input stiffness is left as it was.
    EXPECT_EQ(SYS.STIFF(1, 2), 30.0f);

    // Through the bearings: Sxy = 3e5, Syx = -1e5 behaves as Sxy = Syx = 1e5.
    auto crit = [&](float sxy, float syx) {
        SetUp();
        Beam(4, 20.0f, 2.0f, 2.0e5f);
        MODEL.BCOEF(1, 1, 4) = 5.0e5f;
        MODEL.BCOEF(1, 1, 2) = sxy;
        MODEL.BCOEF(1, 1, 3) = syx;
        Prepare(0.0f);
        UndampedStep();
        std::vector<float> c;
        for (int k = 1; k <= SYS.NDOF; ++k) c.push_back(RES.CRIT(k));
        return c;
    };
    const std::vector<float> a = crit(3.0e5f, -1.0e5f), b = crit(1.0e5f, 1.0e5f);
    ASSERT_EQ(a.size(), b.size());
    for (size_t k = 0; k < a.size(); ++k) EXPECT_NEAR(a[k], b[k], 1e-4 * b[k]) << "mode " << k + 1;
}

TEST_F(EigenTest, SolverErrorIsReportedWithTheAffectedModes) {
    // A massless rotation: the solver refuses on entry. Nothing is invented:
    // the results stay finite and every mode is named.
    OneStation();
    for (int i = 1; i <= 4; ++i) {
        SYS.STIFF(i, i) = 10.0f;
        SYS.MASS(i, i) = i == 3 ? 0.0f : 1.0f;
    }
    UndampedStep();
    EXPECT_NE(RUN.JACOBIERR, 0);
    const std::string text = out.str();
    EXPECT_NE(text.find("WARNING: The undamped eigenvalue solution did not converge (error code 1)."),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Modes with unreliable results: 1-4"), std::string::npos) << text;
    for (int k = 1; k <= 4; ++k) {
        EXPECT_FALSE(std::isnan(RES.SHAPE(1, k)));
        EXPECT_FALSE(std::isnan(RES.SHAPE(2, k)));
    }

    // A free rotor: its rigid-body modes make the solver stop; whatever it
    // returns is kept and the rigid-body modes are among those named.
    SetUp();
    out.str("");
    Beam(10, 40.0f, 2.0f, 0.0f);
    MODEL.NBRG = 0;
    Prepare(0.0f);
    UndampedStep();
    if (RUN.JACOBIERR != 0) {
        EXPECT_NE(out.str().find("did not converge"), std::string::npos);
        EXPECT_NE(out.str().find("Modes with unreliable results: 1-"), std::string::npos) << out.str();
    } else {
        EXPECT_EQ(out.str().find("did not converge"), std::string::npos);
    }
}

// ---------------------------------------------------------------------------
// Damped analysis

TEST_F(EigenTest, UndampedRotorAtRestGivesImaginaryPairs) {
    Beam(10, 40.0f, 2.0f, 5.0e5f);
    OPTS.MASSOPT = 2;
    Prepare(0.0f);
    UndampedStep();
    DampedStep();
    EXPECT_NE(out.str().find(" DAMPED EIGENVALUE PROBLEM ..."), std::string::npos);
    const int n = SYS.NDOF;
    const std::vector<double> w = PositiveWhirl();
    ASSERT_EQ(static_cast<int>(w.size()), n);
    for (int k = 1; k <= n; ++k) {
        const double expect = RES.CRIT(k) * kPi / 30.0;
        EXPECT_NEAR(w[k - 1], expect, 1e-4 * expect) << "mode " << k;
    }
    double maxIm = 0.0;
    for (int i = 1; i <= n; ++i) {
        maxIm = std::max(maxIm, static_cast<double>(std::fabs(RES.RESTAB(i, 1, 3))));
        EXPECT_FLOAT_EQ(RES.RESTAB(i, 1, 1), 0.0f);
    }
    for (int i = 1; i <= n; ++i) {
        EXPECT_LT(std::fabs(RES.RESTAB(i, 1, 2)), 1e-5 * maxIm);
        EXPECT_LT(std::fabs(RES.RESTAB(i, 1, 4)), 1e-5 * maxIm);
    }
}

// Null vector of lambda^2 M + lambda C + K with component p set to 1.
std::vector<std::complex<double>> ModeVector(std::complex<double> lambda, int p) {
    const int n = SYS.NDOF;
    using C = std::complex<double>;
    auto a = [&](int i, int j) {
        return lambda * lambda * static_cast<double>(SYS.MASS(i, j)) + lambda * static_cast<double>(SYS.DAMP(i, j)) +
               static_cast<double>(SYS.STIFF(i, j));
    };
    // Drop equation p and unknown p; solve the rest by elimination.
    std::vector<int> idx;
    for (int i = 1; i <= n; ++i)
        if (i != p) idx.push_back(i);
    const int m = n - 1;
    std::vector<C> A(m * m), b(m);
    for (int r = 0; r < m; ++r) {
        for (int c = 0; c < m; ++c) A[r * m + c] = a(idx[r], idx[c]);
        b[r] = -a(idx[r], p);
    }
    for (int c = 0; c < m; ++c) {
        int piv = c;
        for (int r = c + 1; r < m; ++r)
            if (std::abs(A[r * m + c]) > std::abs(A[piv * m + c])) piv = r;
        for (int k = 0; k < m; ++k) std::swap(A[c * m + k], A[piv * m + k]);
        std::swap(b[c], b[piv]);
        for (int r = c + 1; r < m; ++r) {
            const C f = A[r * m + c] / A[c * m + c];
            for (int k = c; k < m; ++k) A[r * m + k] -= f * A[c * m + k];
            b[r] -= f * b[c];
        }
    }
    std::vector<C> y(m);
    for (int r = m - 1; r >= 0; --r) {
        C s = b[r];
        for (int k = r + 1; k < m; ++k) s -= A[r * m + k] * y[k];
        y[r] = s / A[r * m + r];
    }
    std::vector<C> x(n + 1);
    x[p] = 1.0;
    for (int r = 0; r < m; ++r) x[idx[r]] = y[r];
    return x;
}

TEST_F(EigenTest, GyroscopicDiscSplitsForwardAndBackwardWhirl) {
    const float L = 20.0f, D = 2.0f, rpm = 30000.0f;
    Beam(2, L, D, 1.0e10f, 1.0e-6f);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 1) = 10.0f;
    MODEL.DISC(1, 3) = 1.0f;
    MODEL.DISC(1, 4) = 100.0f;
    MODEL.DISC(1, 5) = 2000.0f;
    MODEL.DISC(1, 6) = 1000.0f;
    OPTS.MAINOPT = 2;
    Prepare(rpm);
    DampedStep();

    const double EI = kE * kPi / 64.0 * std::pow(D, 4.0);
    const double omegaT = std::sqrt(48.0 * EI / std::pow(L, 3.0) * kGrav / 100.0);
    const double kt = 12.0 * EI / L, Id = 1000.0 / kGrav, Ip = 2000.0 / kGrav;
    const double g = Ip * rpm * kPi / 30.0;
    // Id w^2 -+ g w - kt = 0: the forward branch rises, the backward one falls.
    const double fwd = (g + std::sqrt(g * g + 4.0 * Id * kt)) / (2.0 * Id);
    const double bwd = (-g + std::sqrt(g * g + 4.0 * Id * kt)) / (2.0 * Id);
    const std::vector<double> w = PositiveWhirl();
    ASSERT_GE(w.size(), 4u);
    // The translation of the centred disc does not feel the spin.
    EXPECT_NEAR(w[0], omegaT, 1e-4 * omegaT);
    EXPECT_NEAR(w[1], omegaT, 1e-4 * omegaT);
    EXPECT_NEAR(w[2], bwd, 1e-4 * bwd);
    EXPECT_NEAR(w[3], fwd, 1e-4 * fwd);
    EXPECT_GT(fwd, std::sqrt(kt / Id));

    // Direction: the disc axis (theta_y, -theta_x) turns with the spin (from
    // x toward y) on the upper branch and against it on the lower one, i.e.
    // theta_y = -i theta_x forward and +i theta_x backward.
    const int tx = 4 * 1 + 3, ty = tx + 1;  // rotations of station 2
    const auto vf = ModeVector({0.0, w[3]}, tx);
    const auto vb = ModeVector({0.0, w[2]}, tx);
    EXPECT_NEAR(vf[ty].real(), 0.0, 1e-3);
    EXPECT_NEAR(vf[ty].imag(), -1.0, 1e-3);
    EXPECT_NEAR(vb[ty].real(), 0.0, 1e-3);
    EXPECT_NEAR(vb[ty].imag(), 1.0, 1e-3);
}

TEST_F(EigenTest, DampedSingleDegreeOfFreedom) {
    // m x'' + c x' + k x = 0 with m = 2, c = 8, k = 800:
    // lambda = -c/2m -+ i sqrt(k/m - (c/2m)^2) = -2 -+ i sqrt(396).
    OneStation(1);
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

    // Pending mode evaluation: the system matrix is built, nothing solved.
    RES.WR(1) = 99.0f;
    RUN.EVALMODE = 1;
    out.str("");
    DampedStep();
    EXPECT_DOUBLE_EQ(SYS.SYSMAT(1, 1), -4.0);
    EXPECT_DOUBLE_EQ(SYS.SYSMAT(1, 2), -400.0);
    EXPECT_DOUBLE_EQ(SYS.SYSMAT(2, 1), 1.0);
    EXPECT_DOUBLE_EQ(SYS.SYSMAT(2, 2), 0.0);
    EXPECT_EQ(RES.WR(1), 99.0f);
    EXPECT_EQ(out.str(), "");
}

TEST_F(EigenTest, SingularMassIsAnnounced) {
    OneStation(1);
    SYS.MINV(1, 1) = 0.0;
    SYS.STIFF(1, 1) = 1.0f;
    OPTS.MAINOPT = 2;
    RUN.MASSSINGULAR = 1;
    DampedStep();
    EXPECT_NE(out.str().find("The damped eigenvalue results of this run are not meaningful."), std::string::npos);
    // Only on the first step of a run.
    out.str("");
    RUN.NSWEEP = 2;
    DampedStep();
    EXPECT_EQ(out.str().find("not meaningful"), std::string::npos);
}

}  // namespace
