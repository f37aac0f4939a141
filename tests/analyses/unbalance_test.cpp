// Steady-state unbalance response against closed forms.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "inputs99/analysis_options.h"
#include "inputs99/rotor_model.h"
#include "matrx99/system_matrices.h"

namespace {

using cd = std::complex<double>;
const double kPi = 3.14159265358979323846;

double PhaseDeg(cd z) { return std::arg(z) * 180.0 / kPi; }

// Difference of two phases in degrees, wrapped into (-180, 180].
double PhaseDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

void ClearSystem(int n) {
    SYS.NDOF = n;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) SYS.MASS(i, j) = SYS.STIFF(i, j) = SYS.DAMP(i, j) = 0.0f;
    for (int s = 1; s <= 99; ++s) {
        SYS.PEDFLAG(s) = 0;
        MODEL.UNBAMP(s) = 0.0f;
        MODEL.UNBPHS(s) = 0.0f;
    }
    RUN.PI = 4.0f * std::atan(1.0f);
    RUN.AMPSCALE = 1000.0f;
    RUN.ISTEP = 1;
    RUN.NSWEEP = 1;
    SYS.GRAV = 386.0f;
    OPTS.PLOTOPT = 9;  // no progress lines
}

// Station s with mass m, stiffness k and damping c in x and y, and a small
// decoupled rotary part.
void SetStation(int s, double m, double k, double c) {
    const int r = 4 * (s - 1) + 1;
    for (int d = 0; d < 2; ++d) {
        SYS.MASS(r + d, r + d) = static_cast<float>(m);
        SYS.STIFF(r + d, r + d) = static_cast<float>(k);
        SYS.DAMP(r + d, r + d) = static_cast<float>(c);
        SYS.MASS(r + 2 + d, r + 2 + d) = 1.0f;
        SYS.STIFF(r + 2 + d, r + 2 + d) = 1.0e7f;
    }
}

void RunAt(float omega) {
    SYS.OMEGA = omega;
    RUN.SPDNOW = omega * 30.0f / RUN.PI;
    UnbalanceStep();
}

TEST(UnbalanceResponse, DampedSingleDegreeOfFreedomBelowAtAndAboveResonance) {
    ClearSystem(4);
    MODEL.NSTA = 1;
    MODEL.NPED = 0;
    const double m = 0.5, k = 2.0e5, c = 40.0, u = 0.25, phi = 30.0;
    SetStation(1, m, k, c);
    MODEL.UNBAMP(1) = static_cast<float>(u);
    MODEL.UNBPHS(1) = static_cast<float>(phi);
    const double wn = std::sqrt(k / m);
    for (double ratio : {0.5, 1.0, 2.0}) {
        const double w = ratio * wn;
        RunAt(static_cast<float>(w));
        const double f = w * w / 386.0 * u;
        const cd h = 1.0 / cd(k - m * w * w, c * w);
        const cd x = f * std::polar(1.0, phi * kPi / 180.0) * h;
        const cd y = f * std::polar(1.0, (phi - 90.0) * kPi / 180.0) * h;
        EXPECT_NEAR(RES.RESTAB(1, 1, 2), std::abs(x) * 1000.0, 1e-4 * std::abs(x) * 1000.0) << ratio;
        EXPECT_NEAR(RES.RESTAB(1, 1, 3), std::abs(y) * 1000.0, 1e-4 * std::abs(y) * 1000.0) << ratio;
        EXPECT_NEAR(PhaseDiff(RES.RESTAB(1, 1, 4), PhaseDeg(x)), 0.0, 1e-2) << ratio;
        EXPECT_NEAR(PhaseDiff(RES.RESTAB(1, 1, 5), PhaseDeg(y)), 0.0, 1e-2) << ratio;
        EXPECT_FLOAT_EQ(RES.RESTAB(1, 1, 1), RUN.SPDNOW);
    }
    // At resonance the response lags the force by 90 degrees.
    RunAt(static_cast<float>(wn));
    EXPECT_NEAR(RES.RESTAB(1, 1, 4), phi - 90.0, 1e-2);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), u / 386.0 * wn / c * 1000.0, 1e-3);
}

TEST(UnbalanceResponse, ForceGrowsWithSpeedSquaredAndPhaseConventions) {
    ClearSystem(8);
    MODEL.NSTA = 2;
    MODEL.NPED = 0;
    SetStation(1, 0.0, 1.0e4, 0.0);
    SetStation(2, 0.0, 1.0e4, 0.0);
    // 0.002 in of displacement at 100 rad/s, stored as 2.0 mils.
    MODEL.UNBAMP(1) = 0.772f;
    RunAt(100.0f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), 2.0f, 1e-5);
    EXPECT_NEAR(RES.RESTAB(1, 1, 3), 2.0f, 1e-5);
    // Phase 0: force (F, 0) in x and (0, -F) in y.
    EXPECT_NEAR(RES.RESTAB(1, 1, 4), 0.0f, 1e-4);
    EXPECT_NEAR(RES.RESTAB(1, 1, 5), -90.0f, 1e-4);
    // Station 2 has no unbalance: zero response with phase 0, still stored.
    EXPECT_EQ(RES.RESTAB(1, 2, 2), 0.0f);
    EXPECT_EQ(RES.RESTAB(1, 2, 4), 0.0f);
    EXPECT_EQ(RES.RESTAB(1, 2, 5), 0.0f);
    EXPECT_FLOAT_EQ(RES.RESTAB(1, 2, 1), RUN.SPDNOW);
    RunAt(200.0f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), 8.0f, 4e-5);
    // Phase 180 stays +180, never -180.
    MODEL.UNBPHS(1) = 180.0f;
    RunAt(100.0f);
    EXPECT_GT(RES.RESTAB(1, 1, 4), 179.99f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 5), 90.0f, 1e-3);
    // Metric: the same numbers in millimetres become micrometres.
    SYS.GRAV = 9810.0f;
    MODEL.UNBPHS(1) = 0.0f;
    MODEL.UNBAMP(1) = 0.772f * 9810.0f / 386.0f;
    RunAt(100.0f);
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), 2.0f, 1e-5);
}

TEST(UnbalanceResponse, PedestalMotionStoredAfterTheStations) {
    // Station 1 on a bearing spring to a pedestal on a spring and damper to
    // ground: two masses, solved by hand in each direction.
    ClearSystem(6);
    MODEL.NSTA = 1;
    MODEL.NPED = 1;
    SYS.PEDFLAG(1) = 1;
    const double m1 = 0.4, m2 = 0.2, kb = 1.0e5, kp = 5.0e4, cp = 30.0, u = 0.5;
    for (int d = 0; d < 2; ++d) {
        SYS.MASS(1 + d, 1 + d) = static_cast<float>(m1);
        SYS.MASS(5 + d, 5 + d) = static_cast<float>(m2);
        SYS.STIFF(1 + d, 1 + d) = static_cast<float>(kb);
        SYS.STIFF(1 + d, 5 + d) = SYS.STIFF(5 + d, 1 + d) = static_cast<float>(-kb);
        SYS.STIFF(5 + d, 5 + d) = static_cast<float>(kb + kp);
        SYS.DAMP(5 + d, 5 + d) = static_cast<float>(cp);
        SYS.MASS(3 + d, 3 + d) = 1.0f;
        SYS.STIFF(3 + d, 3 + d) = 1.0e7f;
    }
    MODEL.UNBAMP(1) = static_cast<float>(u);
    const double w = 350.0;
    RunAt(static_cast<float>(w));
    const double f = w * w / 386.0 * u;
    const cd a11(kb - m1 * w * w, 0.0), a12(-kb, 0.0), a22(kb + kp - m2 * w * w, cp * w);
    const cd det = a11 * a22 - a12 * a12;
    const cd xs = f * a22 / det, xp = -f * a12 / det;
    EXPECT_NEAR(RES.RESTAB(1, 1, 2), std::abs(xs) * 1000.0, 1e-4 * std::abs(xs) * 1000.0);
    EXPECT_NEAR(RES.RESTAB(1, 2, 2), std::abs(xp) * 1000.0, 1e-4 * std::abs(xp) * 1000.0);
    EXPECT_NEAR(PhaseDiff(RES.RESTAB(1, 2, 4), PhaseDeg(xp)), 0.0, 1e-2);
    EXPECT_NEAR(PhaseDiff(RES.RESTAB(1, 2, 5), PhaseDeg(xp) - 90.0), 0.0, 1e-2);
    EXPECT_FLOAT_EQ(RES.RESTAB(1, 2, 1), RUN.SPDNOW);
}

}  // namespace
