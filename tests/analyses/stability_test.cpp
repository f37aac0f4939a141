// Stability analysis: eigenvalue selection, exchange and detection, the
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

TEST(Stability, DetectionWithExactZeroAcrossPassesAndAtTheLowestSpeed) {
    StartRun();
    OPTS.NPLOT = 3;
    OPTS.STABOPT = 2;
    for (int i = 1; i <= 4; ++i)
        for (int m = 1; m <= 3; ++m) SetMode(i, m, -1.0f * m, 4.0f + m, 1000.0f * i);
    SetMode(2, 3, 0.0f, 7.0f);  // exactly zero: not exchanged, not first
    SetMode(3, 2, 0.5f, 6.0f);
    SetMode(3, 3, 0.7f, 7.0f);  // two unstable modes at step 3: the later one ends up first
    ExchangeUnstableFirst(4);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 2), -1.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(3, 1, 2), 0.7f);
    EXPECT_EQ(RES.MODEIDX(3, 1), 5);
    EXPECT_FLOAT_EQ(RES.RESTAB(3, 3, 2), 0.5f);
    DetectInstability(4);
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.ILOWER, 2);
    EXPECT_EQ(RES.IUPPER, 3);
    EXPECT_FLOAT_EQ(RES.SLOW, 2000.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 3000.0f);
    EXPECT_FLOAT_EQ(RES.REHIGH, 0.7f);

    // Plotted mode 1 with a real part of exactly zero is unstable.
    StartRun();
    Sweep({100.0f, 200.0f}, {-1.0f, 0.0f});
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.IUPPER, 2);
    EXPECT_EQ(RES.UNSTFIRST, 0);

    // A pass that starts unstable brackets with the last step of the pass before.
    StartRun();
    Sweep({1000.0f, 1500.0f}, {-2.0f, -1.0f});
    EXPECT_EQ(RUN.FOUND, 0);
    Sweep({2000.0f, 2500.0f}, {1.0f, 2.0f});
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.UNSTFIRST, 0);
    EXPECT_FLOAT_EQ(RES.SLOW, 1500.0f);
    EXPECT_FLOAT_EQ(RES.TRIALRE, -1.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 2000.0f);

    // Unstable at the first step of the run: no stable lower bound.
    StartRun();
    Sweep({1000.0f}, {0.5f});
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.UNSTFIRST, 1);
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

// Work per cycle done on the motion by a 2 x 2 stiffness and damping block,
// by quadrature over one cycle of x = Re(zx e^(iwt)), y = Re(zy e^(iwt)).
void QuadratureWork(const float kb[2][2], const float cb[2][2], cd zx, cd zy, double w, double& stiff, double& damp) {
    const int n = 20000;
    stiff = damp = 0.0;
    for (int j = 0; j < n; ++j) {
        const double dt = 2.0 * kPi / w / n;
        const cd e = std::exp(cd(0.0, w * (j + 0.5) * dt));
        const double x = (zx * e).real(), y = (zy * e).real();
        const double vx = (cd(0.0, w) * zx * e).real(), vy = (cd(0.0, w) * zy * e).real();
        stiff -= ((kb[0][0] * x + kb[0][1] * y) * vx + (kb[1][0] * x + kb[1][1] * y) * vy) * dt;
        damp -= ((cb[0][0] * vx + cb[0][1] * vy) * vx + (cb[1][0] * vx + cb[1][1] * vy) * vy) * dt;
    }
}

// The bearing block of station s; the complex motion z of a degree of freedom.
void SetBearingBlock(int s, const float kb[2][2], const float cb[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            SYS.BRGBLK(2 * s - 1 + i, 1 + j) = kb[i][j];
            SYS.BRGBLK(2 * s - 1 + i, 3 + j) = cb[i][j];
        }
}
void Motion(int dof, cd z) { RES.SEVEC(dof) = ZDouble{z.real(), z.imag()}; }

// Energy of bearing b (damping part ENERGY(b), stiffness part ENERGY(NSTA + b))
// against the quadrature of the motion zx, zy.
void ExpectBearingWork(int b, const float kb[2][2], const float cb[2][2], cd zx, cd zy, double w) {
    double stiff, damp;
    QuadratureWork(kb, cb, zx, zy, w, stiff, damp);
    EXPECT_NEAR(RES.ENERGY(b), damp, 1e-4 * std::fabs(damp)) << b;
    EXPECT_NEAR(RES.ENERGY(MODEL.NSTA + b), stiff, 1e-4 * std::fabs(stiff) + 1e-3) << b;
}

}  // namespace

TEST(Stability, EnergyPerCycleOfTheBearings) {
    StartRun();
    MODEL.NSTA = 2;
    MODEL.NBRG = 1;
    MODEL.BSTA(1) = 2;
    SYS.NDOF = 8;
    const float kb[2][2] = {{1.0e5f, 3000.0f}, {-2000.0f, 1.2e5f}}, cb[2][2] = {{40.0f, 7.0f}, {3.0f, 60.0f}};
    SetBearingBlock(2, kb, cb);
    const double w = 500.0;
    RES.IMHIGH = static_cast<float>(w);
    // A forward circular whirl at station 2 (y lags x by 90 degrees), an
    // elliptic tilted one, a backward one.
    const cd cases[3][2] = {{cd(0.8, 0.0), cd(0.0, -0.8)}, {cd(0.3, 0.6), cd(-0.2, 0.1)}, {cd(0.8, 0.0), cd(0.0, 0.8)}};
    for (const auto& c : cases) {
        for (int i = 1; i <= 8; ++i) Motion(i, 0.0);
        Motion(5, c[0]);
        Motion(6, c[1]);
        ModeShapeFromVector();
        BearingMotionAndEnergy();
        ExpectBearingWork(1, kb, cb, c[0], c[1], w);
    }
    // Backward: the cross-coupling draws energy out.
    EXPECT_LT(RES.ENERGY(3), 0.0f);
    // Forward: Sxy - Syx > 0 feeds 2 k_s pi A^2 in, k_s = (Sxy - Syx)/2; the
    // damping drains (Cxx + Cyy) w pi A^2.
    Motion(6, cd(0.0, -0.8));
    ModeShapeFromVector();
    BearingMotionAndEnergy();
    EXPECT_NEAR(RES.ENERGY(3), 2.0 * 2500.0 * kPi * 0.64, 0.5);
    EXPECT_NEAR(RES.ENERGY(1), -(40.0 + 60.0) * w * kPi * 0.64, 5.0);
}

TEST(Stability, EnergyOfABearingOnAPedestalUsesTheRelativeMotion) {
    StartRun();
    MODEL.NSTA = 2;
    MODEL.NBRG = 2;
    MODEL.BSTA(1) = 1;
    MODEL.BSTA(2) = 2;
    MODEL.NPED = 1;
    MODEL.PSTA(1) = 2;
    MODEL.PEDC(1, 3) = 15.0f;
    MODEL.PEDC(1, 4) = 25.0f;
    SYS.NDOF = 10;
    SYS.PEDFLAG(2) = 1;
    const float kb[2][2] = {{1.0e5f, 4000.0f}, {-4000.0f, 1.0e5f}}, cb[2][2] = {{30.0f, 5.0f}, {5.0f, 30.0f}};
    SetBearingBlock(1, kb, cb);
    SetBearingBlock(2, kb, cb);
    const double w = 400.0;
    RES.IMHIGH = static_cast<float>(w);
    const cd s1x(0.5, 0.0), s1y(0.0, -0.5), sx(1.0, 0.0), sy(0.1, -0.9), px(0.2, 0.3), py(-0.1, -0.25);
    const std::pair<int, cd> motion[] = {{1, s1x}, {2, s1y}, {5, sx}, {6, sy}, {9, px}, {10, py}};
    for (int i = 1; i <= 10; ++i) Motion(i, 0.0);
    for (const auto& [dof, z] : motion) Motion(dof, z);
    ModeShapeFromVector();
    BearingMotionAndEnergy();
    EXPECT_NEAR(RES.RELAX(2), std::abs(sx - px), 1e-5);
    EXPECT_NEAR(RES.RELAY(2), std::abs(sy - py), 1e-5);
    ExpectBearingWork(2, kb, cb, sx - px, sy - py, w);
    ExpectBearingWork(1, kb, cb, s1x, s1y, w);  // no pedestal: the absolute motion
    // The pedestal's dampers to ground act on its own motion.
    const double ped = -(15.0 * w * kPi * std::norm(px) + 25.0 * w * kPi * std::norm(py));
    EXPECT_NEAR(RES.ENERGY(2 * MODEL.NSTA + 1), ped, 1e-4 * std::fabs(ped));
}
