// Steady-state unbalance response against closed forms.
#include <gtest/gtest.h>

#include <complex>

#include "analyses/analyses.h"
#include "tests/support/models.h"

namespace {

using namespace korvo_test;
using cd = std::complex<double>;

// Phase difference in degrees, wrapped into [-180, 180].
double PhaseDiff(double a, double b) { return std::remainder(a - b, 360.0); }

// Station s with mass m, stiffness k and damping c in x and y, and a stiff
// decoupled rotary part; no progress lines.
void SetStation(int s, double m, double k, double c) {
    const int r = 4 * (s - 1) + 1;
    for (int d = 0; d < 2; ++d) {
        SYS.MASS(r + d, r + d) = static_cast<float>(m);
        SYS.STIFF(r + d, r + d) = static_cast<float>(k);
        SYS.DAMP(r + d, r + d) = static_cast<float>(c);
        SYS.MASS(r + 2 + d, r + 2 + d) = 1.0f;
        SYS.STIFF(r + 2 + d, r + 2 + d) = 1.0e7f;
    }
    OPTS.PLOTOPT = 9;
}

void RunAt(double omega) {
    SYS.OMEGA = static_cast<float>(omega);
    RUN.SPDNOW = SYS.OMEGA * 30.0f / RUN.PI;
    UnbalanceStep();
}

// Amplitude (mils) and phase (degrees) of location e in x (quantities 2, 4)
// or y (3, 5) against the complex displacement z in inches.
void ExpectResponse(int e, bool y, cd z, double tol = 1e-4) {
    EXPECT_NEAR(RES.RESTAB(1, e, y ? 3 : 2), std::abs(z) * 1000.0, tol * std::abs(z) * 1000.0) << e << y;
    EXPECT_NEAR(PhaseDiff(RES.RESTAB(1, e, y ? 5 : 4), std::arg(z) * 180.0 / kPi), 0.0, 1e-2) << e << y;
    EXPECT_FLOAT_EQ(RES.RESTAB(1, e, 1), RUN.SPDNOW);
}

}  // namespace

TEST(UnbalanceResponse, DampedSingleDegreeOfFreedomBelowAtAndAboveResonance) {
    ResetModel();
    MODEL.NSTA = 1;
    SYS.NDOF = 4;
    const double m = 0.5, k = 2.0e5, c = 40.0, u = 0.25, phi = 30.0, wn = std::sqrt(k / m);
    SetStation(1, m, k, c);
    MODEL.UNBAMP(1) = static_cast<float>(u);
    MODEL.UNBPHS(1) = static_cast<float>(phi);
    for (double ratio : {0.5, 2.0, 1.0}) {  // resonance last
        const double w = ratio * wn;
        RunAt(w);
        // F = u w^2 / g, the y force 90 degrees behind x; x = F / (k - m w^2 + i c w).
        const cd x = w * w / 386.0 * u * std::polar(1.0, phi * kPi / 180.0) / cd(k - m * w * w, c * w);
        ExpectResponse(1, false, x);
        ExpectResponse(1, true, x * cd(0.0, -1.0));
    }
    // At resonance the response lags the force by 90 degrees: u w / (g c).
    EXPECT_NEAR(RES.RESTAB(1, 1, 4), phi - 90.0, 1e-2);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), u / 386.0 * wn / c * 1000.0, 1e-3);
}

TEST(UnbalanceResponse, ForceGrowsWithSpeedSquaredAndPhaseConventions) {
    ResetModel();
    MODEL.NSTA = 2;
    SYS.NDOF = 8;
    SetStation(1, 0.0, 1.0e4, 0.0);
    SetStation(2, 0.0, 1.0e4, 0.0);
    // 0.002 in of displacement at 100 rad/s, stored as 2.0 mils; phase 0: the
    // force (F, 0) in x and (0, -F) in y.
    MODEL.UNBAMP(1) = 0.772f;
    RunAt(100.0);
    ExpectResponse(1, false, 0.002);
    ExpectResponse(1, true, cd(0.0, -0.002));
    // No unbalance at station 2: zero response with phase 0, still stored.
    ExpectResponse(2, false, 0.0);
    ExpectResponse(2, true, 0.0);
    RunAt(200.0);
    ExpectResponse(1, false, 0.008);
    // Phase 180 stays +180, never -180.
    MODEL.UNBPHS(1) = 180.0f;
    RunAt(100.0);
    EXPECT_GT(RES.RESTAB(1, 1, 4), 179.99f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 5), 90.0f, 1e-3);
    // Metric: the same numbers in millimetres become micrometres.
    SYS.GRAV = 9810.0f;
    MODEL.UNBPHS(1) = 0.0f;
    MODEL.UNBAMP(1) = 0.772f * 9810.0f / 386.0f;
    RunAt(100.0);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), 2.0f, 1e-5);
}

TEST(UnbalanceResponse, PedestalMotionStoredAfterTheStations) {
    // Station 1 on a bearing spring to a pedestal on a spring and damper to
    // ground: two masses, solved by hand in each direction.
    ResetModel();
    MODEL.NSTA = MODEL.NPED = 1;
    SYS.NDOF = 6;
    SYS.PEDFLAG(1) = 1;
    const double m1 = 0.4, m2 = 0.2, kb = 1.0e5, kp = 5.0e4, cp = 30.0, u = 0.5, w = 350.0;
    SetStation(1, m1, kb, 0.0);
    for (int d = 0; d < 2; ++d) {
        SYS.MASS(5 + d, 5 + d) = static_cast<float>(m2);
        SYS.STIFF(1 + d, 5 + d) = SYS.STIFF(5 + d, 1 + d) = static_cast<float>(-kb);
        SYS.STIFF(5 + d, 5 + d) = static_cast<float>(kb + kp);
        SYS.DAMP(5 + d, 5 + d) = static_cast<float>(cp);
    }
    MODEL.UNBAMP(1) = static_cast<float>(u);
    RunAt(w);
    const double f = w * w / 386.0 * u;
    const cd a11(kb - m1 * w * w, 0.0), a12(-kb, 0.0), a22(kb + kp - m2 * w * w, cp * w), det = a11 * a22 - a12 * a12;
    ExpectResponse(1, false, f * a22 / det);
    ExpectResponse(2, false, -f * a12 / det);
    ExpectResponse(2, true, -f * a12 / det * cd(0.0, -1.0));
}
