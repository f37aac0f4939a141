// Stability analysis: eigenvalue selection and detection, the
// bisection for the threshold speed, and the energy per cycle.
#include <gtest/gtest.h>

#include <complex>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/stability_internal.h"
#include "tests/support/models.h"

namespace {

using namespace korvo_test;
using cd = std::complex<double>;

void StartRun() {
    ResetModel();
    RUN.NSWEEP = RUN.ITHR = RUN.FOUND = 0;
    OPTS.NPLOT = 1;
    OPTS.ACCUR = 1.0f;
    ResetStabilityRun();
}

// Plotted mode m of step i (at speed spd when m = 1).
void SetMode(int i, int m, float re, float im, float spd = 0.0f) {
    if (m == 1) RES.RESTAB(i, 1, 1) = spd;
    RES.RESTAB(i, m, 2) = re;
    RES.RESTAB(i, m, 3) = im;
    RES.MODEIDX(i, m) = 2 * m - 1;
}

// Real parts of plotted mode 1 over steps at the speeds given; detection.
void Sweep(const std::vector<float>& speeds, const std::vector<float>& re) {
    for (size_t i = 0; i < speeds.size(); ++i) SetMode(static_cast<int>(i) + 1, 1, re[i], 5.0f, speeds[i]);
    DetectInstability(static_cast<int>(speeds.size()));
}

}  // namespace

TEST(Stability, SelectionNeverTakesRealEigenvalues) {
    StartRun();
    SYS.NDOF = 4;  // 8 eigenvalues
    OPTS.NPLOT = 3;
    RUN.ISTEP = 2;
    RUN.SPDNOW = 1234.0f;
    const float wr[8] = {50.0f, -1.0f, -1.0f, -2.0f, -2.0f, 9.0f, -3.0f, -3.0f};
    const float wi[8] = {0.0f, 10.0f, -10.0f, 3.0f, -3.0f, 1.0e-9f, 10.0f, -10.0f};
    for (int i = 1; i <= 8; ++i) {
        RES.WR(i) = wr[i - 1];
        RES.WI(i) = wi[i - 1];
    }
    StabilitySelect();
    // 3 rad/s first, the two pairs at 10 rad/s in index order; the real
    // eigenvalues (however unstable) never.
    EXPECT_EQ(RES.MODEIDX(2, 1), 4);
    EXPECT_EQ(RES.MODEIDX(2, 2), 2);
    EXPECT_EQ(RES.MODEIDX(2, 3), 7);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 1), 1234.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 2), -2.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 3), 3.0f);
    // More plotted modes than complex pairs: no real eigenvalue stands in.
    OPTS.NPLOT = 5;
    StabilitySelect();
    for (int m = 1; m <= 5; ++m) EXPECT_GT(std::fabs(RES.RESTAB(2, m, 3)), 1.0f) << m;
}

TEST(Stability, DetectionCountsAnExactZeroAsUnstable) {
    // Plotted mode 1 with a real part of exactly zero is unstable.
    StartRun();
    Sweep({100.0f, 200.0f, 300.0f}, {-1.0f, 0.0f, 1.0f});
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.ILOWER, 1);
    EXPECT_EQ(RES.IUPPER, 2);
    EXPECT_FLOAT_EQ(RES.SLOW, 100.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 200.0f);
    EXPECT_EQ(RES.UNSTFIRST, 0);
}

namespace {

// Forward whirl of m s^2 + c s + k - i q = 0 with q = q1 Omega, whose root
// with positive imaginary part the cross-coupling destabilises at q = c w,
// w = sqrt(k/m).
struct ClosedForm {
    double m = 0.3, c = 50.0, k = 1.0e5, q1;
    std::vector<float> trials;
    explicit ClosedForm(double thresholdRpm) : q1(c * std::sqrt(k / m) / (thresholdRpm * kPi / 30.0)) {}
    cd Root(float spd) const {
        const cd d = std::sqrt(cd(c * c - 4.0 * m * k, 4.0 * m * q1 * spd * kPi / 30.0));
        const cd r1 = (-c + d) / (2.0 * m), r2 = (-c - d) / (2.0 * m);
        return r1.imag() > 0 ? r1 : r2;
    }
    void Sweep(float s1, float ds, int n) {
        std::vector<float> sp, re;
        for (int i = 0; i < n; ++i) {
            sp.push_back(s1 + ds * i);
            re.push_back(static_cast<float>(Root(sp.back()).real()));
        }
        RES.SWEEP1 = s1;
        RES.SWEEP2 = sp.back();
        ::Sweep(sp, re);
    }
    bool Search() {
        return SearchThreshold([this](float spd) {
            trials.push_back(spd);
            const cd s = Root(spd);
            SetMode(1, 1, static_cast<float>(s.real()), static_cast<float>(s.imag()), spd);
            RES.WR(1) = static_cast<float>(s.real());
            RES.WI(1) = static_cast<float>(s.imag());
        });
    }
};

}  // namespace

TEST(Stability, BisectionAgainstTheClosedFormRoot) {
    // The sweep 1000, 1500, ... first turns unstable at 6500: the bracket is
    // 6000 to 6500, NITER = trunc(ln 500 / ln 2) = 8 trials, 6250 first, then
    // the midpoint of the half that holds the threshold.
    StartRun();
    SYS.NDOF = 1;
    RES.SWEPT = 2;
    ClosedForm cf(6321.7);
    cf.Sweep(1000.0f, 500.0f, 19);
    EXPECT_FLOAT_EQ(RES.SLOW, 6000.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 6500.0f);
    ASSERT_TRUE(cf.Search());
    EXPECT_EQ(OPTS.NITER, 8);
    EXPECT_EQ(cf.trials, (std::vector<float>{6250.0f, 6375.0f, 6312.5f, 6343.75f, 6328.125f, 6320.3125f, 6324.21875f,
                                             6322.265625f}));
    // The final bracket, 500/2^8 wide, holds the threshold; the reported
    // speed is its last trial, with the whirl w = sqrt(k/m) and ratio q1/c.
    EXPECT_LE(RES.SLOW, 6321.7);
    EXPECT_GE(RES.SHIGH, 6321.7);
    EXPECT_NEAR(RES.SHIGH - RES.SLOW, 500.0 / 256.0, 1e-3);
    EXPECT_FLOAT_EQ(RES.THRSPD, cf.trials.back());
    EXPECT_NEAR(RES.THRSPD, 6321.7, 2.0 * OPTS.ACCUR);
    EXPECT_NEAR(RES.WHIRLRPM, Rpm(std::sqrt(cf.k / cf.m)), 0.05);
    EXPECT_NEAR(RES.WHIRLRATIO, cf.q1 / cf.c, 1e-3);

    // Given enough iterations the bracket narrows below ACCUR.
    StartRun();
    RES.SWEPT = 0;
    OPTS.NITER = 30;
    ClosedForm wide(11026.7);
    wide.Sweep(1000.0f, 19000.0f, 2);
    ASSERT_TRUE(wide.Search());
    EXPECT_LT(RES.SHIGH - RES.SLOW, OPTS.ACCUR);
    EXPECT_NEAR(RES.THRSPD, 11026.7, OPTS.ACCUR);
}

TEST(Stability, SearchStopsAtExactZeroAndComputesTheReportedSpeed) {
    struct Case {
        float re1, re2;              // real parts at 6000 and 6500
        std::vector<float> trials;   // speeds computed by the search
        bool found;
    };
    const Case cases[] = {
        {-1.0f, 2.0f, {6250.0f}, true},  // the first trial exactly zero: the threshold at once
        {-1.0f, 0.0f, {6000.0f}, true},  // the upper bracket exactly zero: a threshold, one step at it
        {1.0f, 2.0f, {6000.0f}, true},   // unstable at the lowest speed: no bisection, one step there
        {-1.0f, -2.0f, {}, false},       // nothing unstable: no search
    };
    for (const Case& c : cases) {
        StartRun();
        OPTS.NITER = 8;
        RES.SWEPT = 0;
        Sweep({6000.0f, 6500.0f}, {c.re1, c.re2});
        std::vector<float> trials;
        EXPECT_EQ(SearchThreshold([&](float spd) {
                      trials.push_back(spd);
                      SetMode(1, 1, spd >= 6250.0f ? 0.0f : -1.0f, 5.0f, spd);
                  }),
                  c.found);
        EXPECT_EQ(trials, c.trials) << c.re1 << " " << c.re2;
        EXPECT_FLOAT_EQ(RES.THRSPD, c.found ? c.trials.back() : RES.THRSPD);
    }
}

namespace {

// Work per cycle of the forces -K z and -i w C z of a bearing block on the
// harmonic motion Re(z e^(i w t)): pi Re(i conj(F) . z).
double Work(const float k[2][2], cd scale, cd zx, cd zy) {
    auto m = [&](int i, int j) { return static_cast<double>(k[i][j]); };
    const cd fx = -scale * (m(0, 0) * zx + m(0, 1) * zy), fy = -scale * (m(1, 0) * zx + m(1, 1) * zy);
    return kPi * (cd(0.0, 1.0) * (std::conj(fx) * zx + std::conj(fy) * zy)).real();
}

}  // namespace

TEST(Stability, EnergyPerCycleOfBearingsAndPedestals) {
    // Bearing 1 at station 1 on the ground, bearing 2 at station 2 on a
    // pedestal (degrees of freedom 9, 10) with dampers to ground.
    StartRun();
    MODEL.NSTA = MODEL.NBRG = 2;
    MODEL.BSTA(1) = 1;
    MODEL.BSTA(2) = MODEL.PSTA(1) = 2;
    MODEL.NPED = 1;
    MODEL.PEDC(1, 3) = 15.0f;
    MODEL.PEDC(1, 4) = 25.0f;
    SYS.NDOF = 10;
    SYS.PEDFLAG(2) = 1;
    const float kb[2][2][2] = {{{1.0e5f, 3000.0f}, {-2000.0f, 1.2e5f}}, {{1.0e5f, 4000.0f}, {-4000.0f, 1.0e5f}}};
    const float cb[2][2][2] = {{{40.0f, 7.0f}, {3.0f, 60.0f}}, {{30.0f, 5.0f}, {5.0f, 30.0f}}};
    for (int b = 0; b < 2; ++b)
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) {
                SYS.BRGBLK(2 * b + 1 + i, 1 + j) = kb[b][i][j];
                SYS.BRGBLK(2 * b + 1 + i, 3 + j) = cb[b][i][j];
            }
    const double w = 500.0;
    RES.IMHIGH = static_cast<float>(w);
    const cd sx(1.0, 0.0), sy(0.1, -0.9), px(0.2, 0.3), py(-0.1, -0.25);
    // Station 1 in an elliptic tilted whirl, a backward and a forward circular
    // one (y lags x by 90 degrees); station 2 and its pedestal in motion.
    const cd station1[3][2] = {{cd(0.3, 0.6), cd(-0.2, 0.1)}, {cd(0.8, 0.0), cd(0.0, 0.8)}, {cd(0.8, 0.0), cd(0.0, -0.8)}};
    for (const auto& z : station1) {
        const std::pair<int, cd> motion[] = {{1, z[0]}, {2, z[1]}, {5, sx}, {6, sy}, {9, px}, {10, py}};
        for (int i = 1; i <= 10; ++i) RES.SEVEC(i) = ZDouble{};
        for (const auto& [dof, v] : motion) RES.SEVEC(dof) = ZDouble{v.real(), v.imag()};
        ModeShapeFromVector();
        BearingMotionAndEnergy();
        // Damping parts ENERGY(b), stiffness parts ENERGY(NSTA + b); the
        // bearing on the pedestal works on the relative motion.
        const cd rel[2][2] = {{z[0], z[1]}, {sx - px, sy - py}};
        for (int b = 0; b < 2; ++b) {
            const double damp = Work(cb[b], cd(0.0, w), rel[b][0], rel[b][1]), stiff = Work(kb[b], 1.0, rel[b][0], rel[b][1]);
            EXPECT_NEAR(RES.ENERGY(1 + b), damp, 1e-4 * std::fabs(damp)) << b;
            EXPECT_NEAR(RES.ENERGY(3 + b), stiff, 1e-4 * std::fabs(stiff) + 1e-3) << b;
        }
        EXPECT_NEAR(RES.RELAX(2), std::abs(sx - px), 1e-5);
        EXPECT_NEAR(RES.RELAY(2), std::abs(sy - py), 1e-5);
        // The pedestal's dampers to ground act on its own motion.
        const double ped = -(15.0 * std::norm(px) + 25.0 * std::norm(py)) * w * kPi;
        EXPECT_NEAR(RES.ENERGY(5), ped, 1e-4 * std::fabs(ped));
        // Backward whirl: the cross-coupling draws energy out.
        EXPECT_TRUE(z[1].imag() < 0 || RES.ENERGY(3) < 0.0f) << RES.ENERGY(3);
    }
    // Forward whirl: Sxy - Syx > 0 feeds 2 k_s pi A^2 in, k_s = (Sxy - Syx)/2;
    // the damping drains (Cxx + Cyy) w pi A^2.
    EXPECT_NEAR(RES.ENERGY(3), 2.0 * 2500.0 * kPi * 0.64, 0.5);
    EXPECT_NEAR(RES.ENERGY(1), -(40.0 + 60.0) * w * kPi * 0.64, 5.0);
}
