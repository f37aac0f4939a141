// Stability analysis: eigenvalue selection, exchange and detection, the
// bisection for the threshold speed, and the energy per cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "analyses/stability_internal.h"
#include "inputs99/analysis_options.h"
#include "inputs99/rotor_model.h"
#include "matrx99/system_matrices.h"

namespace {

using cd = std::complex<double>;
const double kPi = 3.14159265358979323846;

void StartRun() {
    RUN.PI = 4.0f * std::atan(1.0f);
    RUN.NSWEEP = 0;
    RUN.ITHR = 0;
    RUN.FOUND = 0;
    RUN.EVALMODE = 0;
    ResetStabilityRun();
}

// Plotted mode m of step i.
void SetMode(int i, int m, float re, float im) {
    RES.RESTAB(i, m, 2) = re;
    RES.RESTAB(i, m, 3) = im;
    RES.MODEIDX(i, m) = 2 * m - 1;
}

// Plotted mode 1 at step i with speed spd.
void SetStep(int i, float spd, float re, float im) {
    RES.RESTAB(i, 1, 1) = spd;
    SetMode(i, 1, re, im);
}

TEST(StabilitySelect, LowestWhirlFrequenciesAndNeverRealEigenvalues) {
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
    // 3 rad/s first; the two pairs at 10 rad/s in index order; the real
    // eigenvalues (however unstable) never.
    EXPECT_EQ(RES.MODEIDX(2, 1), 4);
    EXPECT_EQ(RES.MODEIDX(2, 2), 2);
    EXPECT_EQ(RES.MODEIDX(2, 3), 7);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 1), 1234.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 2), -2.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 3), 3.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 3, 2), -3.0f);

    // More plotted modes than complex pairs: no real eigenvalue stands in.
    OPTS.NPLOT = 5;
    StabilitySelect();
    for (int m = 1; m <= 5; ++m) EXPECT_GT(std::fabs(RES.RESTAB(2, m, 3)), 1.0f) << m;
}

TEST(StabilityDetection, UnstableModeFirstAndZeroRealPartCountsAsUnstable) {
    StartRun();
    OPTS.NPLOT = 3;
    for (int i = 1; i <= 4; ++i) {
        RES.RESTAB(i, 1, 1) = 1000.0f * i;
        SetMode(i, 1, -1.0f, 5.0f);
        SetMode(i, 2, -2.0f, 6.0f);
        SetMode(i, 3, -3.0f, 7.0f);
    }
    SetMode(2, 3, 0.0f, 7.0f);  // exactly zero: not exchanged, not first
    SetMode(3, 2, 0.5f, 6.0f);
    SetMode(3, 3, 0.7f, 7.0f);
    ExchangeUnstableFirst(4);
    EXPECT_FLOAT_EQ(RES.RESTAB(2, 1, 2), -1.0f);
    // Two unstable modes at step 3: the later one ends up first.
    EXPECT_FLOAT_EQ(RES.RESTAB(3, 1, 2), 0.7f);
    EXPECT_FLOAT_EQ(RES.RESTAB(3, 1, 3), 7.0f);
    EXPECT_EQ(RES.MODEIDX(3, 1), 5);
    EXPECT_FLOAT_EQ(RES.RESTAB(3, 3, 2), 0.5f);

    OPTS.STABOPT = 2;
    DetectInstability(4);
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.IUPPER, 3);
    EXPECT_EQ(RES.ILOWER, 2);
    EXPECT_FLOAT_EQ(RES.SLOW, 2000.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 3000.0f);
    EXPECT_FLOAT_EQ(RES.REHIGH, 0.7f);

    // Plotted mode 1 with a real part of exactly zero is unstable.
    StartRun();
    SetStep(1, 100.0f, -1.0f, 5.0f);
    SetStep(2, 200.0f, 0.0f, 5.0f);
    DetectInstability(2);
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.IUPPER, 2);
    EXPECT_EQ(RES.UNSTFIRST, 0);
}

TEST(StabilityDetection, BracketAcrossPassesAndUnstableLowestSpeed) {
    StartRun();
    OPTS.NPLOT = 1;
    SetStep(1, 1000.0f, -2.0f, 5.0f);
    SetStep(2, 1500.0f, -1.0f, 5.0f);
    DetectInstability(2);
    EXPECT_EQ(RUN.FOUND, 0);
    // The next pass starts unstable: the lower bound is the step before it.
    SetStep(1, 2000.0f, 1.0f, 6.0f);
    SetStep(2, 2500.0f, 2.0f, 6.0f);
    DetectInstability(2);
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.UNSTFIRST, 0);
    EXPECT_FLOAT_EQ(RES.SLOW, 1500.0f);
    EXPECT_FLOAT_EQ(RES.TRIALRE, -1.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 2000.0f);

    StartRun();
    SetStep(1, 1000.0f, 0.5f, 5.0f);
    DetectInstability(1);
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(RES.UNSTFIRST, 1);
}

// Forward whirl of m s^2 + c s + k - i q = 0 with q = q1 * Omega: the root
// with positive imaginary part that the cross-coupling destabilises.
cd ForwardRoot(double m, double c, double k, double q) {
    const cd disc = std::sqrt(cd(c * c - 4.0 * m * k, 4.0 * m * q));
    const cd r1 = (-c + disc) / (2.0 * m), r2 = (-c - disc) / (2.0 * m);
    return r1.imag() > 0 ? r1 : r2;
}

struct SearchCase {
    double m = 0.3, c = 50.0, k = 1.0e5, q1 = 25.0;  // q in lb/in per rad/s
    std::vector<float> trials;
    // Threshold: at s = i w, w = sqrt(k/m) and q = c w.
    double Threshold() const { return c * std::sqrt(k / m) / q1 * 30.0 / kPi; }
    void Eval(float spd, float& re, float& im) const {
        const cd s = ForwardRoot(m, c, k, q1 * spd * kPi / 30.0);
        re = static_cast<float>(s.real());
        im = static_cast<float>(s.imag());
    }
    std::function<void(float)> Step() {
        return [this](float spd) {
            trials.push_back(spd);
            float re, im;
            Eval(spd, re, im);
            SetStep(1, spd, re, im);
            RES.WR(1) = re;
            RES.WI(1) = im;
        };
    }
    // Detection over a sweep s1, s1 + ds, ... (n steps).
    void Sweep(float s1, float ds, int n) {
        for (int i = 1; i <= n; ++i) {
            float re, im;
            const float spd = s1 + ds * (i - 1);
            Eval(spd, re, im);
            SetStep(i, spd, re, im);
        }
        RES.SWEEP1 = s1;
        RES.SWEEP2 = s1 + ds * (n - 1);
        DetectInstability(n);
    }
};

TEST(StabilitySearch, ThresholdOfCrossCoupledRotorFromFirstPrinciples) {
    StartRun();
    OPTS.NPLOT = 1;
    SYS.NDOF = 1;
    OPTS.ACCUR = 1.0f;
    RES.SWEPT = 2;
    SearchCase sc;
    const double thr = sc.Threshold();  // 11026.7 RPM
    sc.Sweep(1000.0f, 500.0f, 39);
    ASSERT_EQ(RUN.FOUND, 1);
    EXPECT_FLOAT_EQ(RES.SLOW, 11000.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 11500.0f);
    ASSERT_TRUE(SearchThreshold(sc.Step()));
    EXPECT_EQ(OPTS.NITER, 8);
    EXPECT_EQ(static_cast<int>(sc.trials.size()), 8);
    EXPECT_FLOAT_EQ(sc.trials.front(), 11250.0f);
    // The final bracket holds the threshold and is 500/2^8 wide; the
    // reported speed is one of its ends.
    EXPECT_LE(RES.SLOW, thr);
    EXPECT_GE(RES.SHIGH, thr);
    EXPECT_NEAR(RES.SHIGH - RES.SLOW, 500.0 / 256.0, 1e-3);
    EXPECT_NEAR(RES.THRSPD, thr, 2.0 * OPTS.ACCUR);
    EXPECT_FLOAT_EQ(RES.THRSPD, sc.trials.back());
    // Whirl at the threshold: w = sqrt(k/m), ratio q1/c.
    EXPECT_NEAR(RES.WHIRLRPM, std::sqrt(sc.k / sc.m) * 30.0 / kPi, 0.05);
    EXPECT_NEAR(RES.WHIRLRATIO, sc.q1 / sc.c, 1e-3);

    // With enough iterations the bracket narrows below ACCUR.
    StartRun();
    RES.SWEPT = 0;
    OPTS.NITER = 30;
    SearchCase sc2;
    sc2.Sweep(1000.0f, 19000.0f, 2);
    ASSERT_TRUE(SearchThreshold(sc2.Step()));
    EXPECT_LT(RES.SHIGH - RES.SLOW, OPTS.ACCUR);
    EXPECT_NEAR(RES.THRSPD, thr, OPTS.ACCUR);
}

TEST(StabilitySearch, BracketFrom6000To6500) {
    StartRun();
    OPTS.NPLOT = 1;
    OPTS.ACCUR = 1.0f;
    RES.SWEPT = 2;
    SearchCase sc;
    sc.q1 = sc.c * std::sqrt(sc.k / sc.m) / (6321.7 * kPi / 30.0);  // threshold 6321.7
    sc.Sweep(1000.0f, 500.0f, 19);
    EXPECT_FLOAT_EQ(RES.SLOW, 6000.0f);
    EXPECT_FLOAT_EQ(RES.SHIGH, 6500.0f);
    ASSERT_TRUE(SearchThreshold(sc.Step()));
    EXPECT_EQ(OPTS.NITER, 8);
    const std::vector<float> expect = {6250.0f, 6375.0f, 6312.5f, 6343.75f, 6328.125f, 6320.3125f, 6324.21875f, 6322.265625f};
    ASSERT_EQ(sc.trials.size(), expect.size());
    for (std::size_t i = 0; i < expect.size(); ++i) EXPECT_FLOAT_EQ(sc.trials[i], expect[i]) << i;
}

TEST(StabilitySearch, ExactZeroStopsAndFirstIterationStopsEvaluateTheReportedSpeed) {
    // A trial with a real part of exactly zero is the threshold at once.
    StartRun();
    OPTS.ACCUR = 1.0f;
    OPTS.NITER = 8;
    RES.SWEPT = 0;
    SetStep(1, 6000.0f, -1.0f, 5.0f);
    SetStep(2, 6500.0f, 2.0f, 5.0f);
    DetectInstability(2);
    std::vector<float> trials;
    auto zeroAt6250 = [&](float spd) {
        trials.push_back(spd);
        SetStep(1, spd, spd >= 6250.0f ? 0.0f : -1.0f, 5.0f);
    };
    ASSERT_TRUE(SearchThreshold(zeroAt6250));
    EXPECT_EQ(trials, std::vector<float>({6250.0f}));
    EXPECT_FLOAT_EQ(RES.THRSPD, 6250.0f);

    // The upper bracket exactly zero: a threshold (not a stable result), and
    // the search stops in its first iteration after one step at the speed it
    // reports.
    StartRun();
    SetStep(1, 6000.0f, -1.0f, 5.0f);
    SetStep(2, 6500.0f, 0.0f, 5.0f);
    DetectInstability(2);
    trials.clear();
    ASSERT_TRUE(SearchThreshold(zeroAt6250));
    EXPECT_EQ(RUN.FOUND, 1);
    EXPECT_EQ(trials, std::vector<float>({6000.0f}));
    EXPECT_FLOAT_EQ(RES.THRSPD, 6000.0f);

    // Unstable at the lowest speed: no bisection, one step there.
    StartRun();
    SetStep(1, 6000.0f, 1.0f, 5.0f);
    SetStep(2, 6500.0f, 2.0f, 5.0f);
    DetectInstability(2);
    trials.clear();
    ASSERT_TRUE(SearchThreshold(zeroAt6250));
    EXPECT_EQ(trials, std::vector<float>({6000.0f}));
    EXPECT_FLOAT_EQ(RES.THRSPD, 6000.0f);
    EXPECT_EQ(RES.UNSTFIRST, 1);

    // Nothing unstable: no search.
    StartRun();
    SetStep(1, 6000.0f, -1.0f, 5.0f);
    DetectInstability(1);
    trials.clear();
    EXPECT_FALSE(SearchThreshold(zeroAt6250));
    EXPECT_TRUE(trials.empty());
}

// Work per cycle done on the motion by a 2 x 2 stiffness and damping block,
// by quadrature over one cycle of x = X cos(wt + px), y = Y cos(wt + py).
void QuadratureWork(const float kb[2][2], const float cb[2][2], cd zx, cd zy, double w, double& stiff,
                    double& damp) {
    const int n = 20000;
    stiff = damp = 0.0;
    for (int j = 0; j < n; ++j) {
        const double t = (j + 0.5) / n * 2.0 * kPi / w, dt = 2.0 * kPi / w / n;
        const cd e = std::exp(cd(0.0, w * t));
        const double x = (zx * e).real(), y = (zy * e).real();
        const double vx = (cd(0.0, w) * zx * e).real(), vy = (cd(0.0, w) * zy * e).real();
        const double fsx = -(kb[0][0] * x + kb[0][1] * y), fsy = -(kb[1][0] * x + kb[1][1] * y);
        const double fdx = -(cb[0][0] * vx + cb[0][1] * vy), fdy = -(cb[1][0] * vx + cb[1][1] * vy);
        stiff += (fsx * vx + fsy * vy) * dt;
        damp += (fdx * vx + fdy * vy) * dt;
    }
}

void SetBearingBlock(int s, const float kb[2][2], const float cb[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            SYS.BRGBLK(2 * s - 1 + i, 1 + j) = kb[i][j];
            SYS.BRGBLK(2 * s - 1 + i, 3 + j) = cb[i][j];
        }
}

TEST(StabilityEnergy, CrossCouplingFeedsForwardWhirlAndDampingDrains) {
    StartRun();
    MODEL.NSTA = 2;
    MODEL.NBRG = 1;
    MODEL.BSTA(1) = 2;
    MODEL.NPED = 0;
    SYS.NDOF = 8;
    for (int s = 1; s <= 2; ++s) SYS.PEDFLAG(s) = 0;
    const float kb[2][2] = {{1.0e5f, 3000.0f}, {-2000.0f, 1.2e5f}};
    const float cb[2][2] = {{40.0f, 7.0f}, {3.0f, 60.0f}};
    SetBearingBlock(2, kb, cb);
    RES.IMHIGH = 500.0f;
    const double w = 500.0;
    for (int i = 1; i <= 8; ++i) RES.SEVEC(i) = ZDouble{0.0, 0.0};

    // Forward circular whirl at station 2 (y lags x by 90 degrees) and an
    // elliptic, tilted whirl: compare with the work integral of the forces.
    const cd cases[2][2] = {{cd(0.8, 0.0), cd(0.0, -0.8)}, {cd(0.3, 0.6), cd(-0.2, 0.1)}};
    for (const auto& c : cases) {
        RES.SEVEC(5) = ZDouble{c[0].real(), c[0].imag()};
        RES.SEVEC(6) = ZDouble{c[1].real(), c[1].imag()};
        ModeShapeFromVector();
        BearingMotionAndEnergy();
        double stiff, damp;
        QuadratureWork(kb, cb, c[0], c[1], w, stiff, damp);
        EXPECT_NEAR(RES.ENERGY(1), damp, 1e-4 * std::fabs(damp));
        EXPECT_NEAR(RES.ENERGY(MODEL.NSTA + 1), stiff, 1e-4 * std::fabs(stiff) + 1e-3);
    }
    // The forward whirl: Sxy - Syx > 0 feeds energy in, 2 k_s pi A^2.
    RES.SEVEC(5) = ZDouble{0.8, 0.0};
    RES.SEVEC(6) = ZDouble{0.0, -0.8};
    ModeShapeFromVector();
    BearingMotionAndEnergy();
    EXPECT_NEAR(RES.ENERGY(3), 2.0 * 2500.0 * kPi * 0.64, 0.5);
    EXPECT_NEAR(RES.ENERGY(1), -(40.0 + 60.0) * w * kPi * 0.64, 5.0);
    // Backward whirl: the same cross-coupling draws energy out.
    RES.SEVEC(6) = ZDouble{0.0, 0.8};
    ModeShapeFromVector();
    BearingMotionAndEnergy();
    EXPECT_LT(RES.ENERGY(3), 0.0f);
}

TEST(StabilityEnergy, BearingOnPedestalUsesRelativeMotion) {
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
    SYS.PEDFLAG(1) = 0;
    SYS.PEDFLAG(2) = 1;
    const float kb[2][2] = {{1.0e5f, 4000.0f}, {-4000.0f, 1.0e5f}};
    const float cb[2][2] = {{30.0f, 5.0f}, {5.0f, 30.0f}};
    SetBearingBlock(1, kb, cb);
    SetBearingBlock(2, kb, cb);
    const double w = 400.0;
    RES.IMHIGH = 400.0f;
    for (int i = 1; i <= 10; ++i) RES.SEVEC(i) = ZDouble{0.0, 0.0};
    const cd sx(1.0, 0.0), sy(0.1, -0.9), px(0.2, 0.3), py(-0.1, -0.25);
    RES.SEVEC(1) = ZDouble{0.5, 0.0};
    RES.SEVEC(2) = ZDouble{0.0, -0.5};
    RES.SEVEC(5) = ZDouble{sx.real(), sx.imag()};
    RES.SEVEC(6) = ZDouble{sy.real(), sy.imag()};
    RES.SEVEC(9) = ZDouble{px.real(), px.imag()};
    RES.SEVEC(10) = ZDouble{py.real(), py.imag()};
    ModeShapeFromVector();
    BearingMotionAndEnergy();
    EXPECT_NEAR(RES.RELAX(2), std::abs(sx - px), 1e-5);
    EXPECT_NEAR(RES.RELAY(2), std::abs(sy - py), 1e-5);
    double stiff, damp;
    QuadratureWork(kb, cb, sx - px, sy - py, w, stiff, damp);
    EXPECT_NEAR(RES.ENERGY(2), damp, 1e-4 * std::fabs(damp));
    EXPECT_NEAR(RES.ENERGY(MODEL.NSTA + 2), stiff, 1e-4 * std::fabs(stiff));
    // The pedestal's dampers to ground act on its own motion.
    const double ped = -(15.0 * w * kPi * std::norm(px) + 25.0 * w * kPi * std::norm(py));
    EXPECT_NEAR(RES.ENERGY(2 * MODEL.NSTA + 1), ped, 1e-4 * std::fabs(ped));
    // The bearing without a pedestal uses the absolute motion of station 1.
    QuadratureWork(kb, cb, cd(0.5, 0.0), cd(0.0, -0.5), w, stiff, damp);
    EXPECT_NEAR(RES.ENERGY(1), damp, 1e-4 * std::fabs(damp));
    EXPECT_NEAR(RES.ENERGY(MODEL.NSTA + 1), stiff, 1e-4 * std::fabs(stiff));
}

}  // namespace
