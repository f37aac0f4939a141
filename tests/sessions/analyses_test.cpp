// The analyses through the real program against independent values: closed
// forms of beams, discs, rigid rotors and the cross-coupled whirl, the work of
// harmonic motion, equivalent models, and the speed sweeps. Numbers are read
// from the report and the result files.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <sstream>

#include "tests/support/session.h"

namespace {

using cd = std::complex<double>;
const double kPi = 3.14159265358979323846;
double Rpm(double radPerSec) { return radPerSec * 30.0 / kPi; }

// A model data file from its parts. With `speeds` above 1 the bearing
// coefficients are tabulated at 0, dspeed, 2 dspeed ..., the cross-coupled
// stiffness Sxy = -Syx growing by q1 Omega.
struct Model {
    int iunits = 1, speeds = 1;
    double dspeed = 50000, q1 = 0;
    std::vector<std::array<double, 5>> shaft;     // O.D, I.D, length, inertia, weight
    std::vector<std::array<double, 7>> discs;     // station, O.D, I.D, thickness, weight, polar, transverse
    std::vector<std::array<double, 9>> bearings;  // station, Sxx Sxy Syx Syy Cxx Cxy Cyx Cyy
    std::vector<std::array<double, 6>> pedestals; // station, weight, Kxx, Kyy, Cxx, Cyy
    double e = 3.0e7, rho = 0.283;
    std::vector<std::array<double, 2>> unbalance;  // per station: amplitude, phase
    std::string File() const {
        std::ostringstream f;
        f.precision(9);
        const size_t nsta = shaft.size() + 1;
        f << "MODEL\n" << nsta << " " << discs.size() << " " << bearings.size() << " " << pedestals.size() << " 0\n" << iunits << " 0\n";
        for (const auto& r : shaft) f << r[0] << " " << r[1] << " " << r[2] << " " << r[3] << " " << r[4] << "\n";
        for (const auto& d : discs) f << int(d[0]) << " " << d[1] << " " << d[2] << " " << d[3] << " " << d[4] << " " << d[5] << " " << d[6] << "\n";
        for (const auto& b : bearings) f << int(b[0]) << " 0\n";
        for (const auto& p : pedestals) f << int(p[0]) << " " << p[1] << "\n";
        for (const auto& p : pedestals) f << p[2] << " " << p[3] << " " << p[4] << " " << p[5] << "\n";
        f << e << " " << rho << "\n" << speeds << "\n";
        for (int j = 0; j < speeds; ++j) {
            f << dspeed * j << "\n";
            for (const auto& b : bearings)
                for (int m = 1; m <= 8; ++m) f << b[m] + (m == 2 || m == 3 ? (m == 2 ? 1 : -1) * q1 * dspeed * j * kPi / 30 : 0.0) << (m == 8 ? "\n" : " ");
        }
        for (size_t s = 1; s <= nsta; ++s)
            f << s << " " << (s <= unbalance.size() ? unbalance[s - 1][0] : 0.0) << " " << (s <= unbalance.size() ? unbalance[s - 1][1] : 0.0) << "\n";
        return f.str();
    }
};

// Runs a script on models m0.dat, m1.dat, ...
Session RunModels(const std::vector<Model>& models, const std::string& answers) {
    SessionSetup setup;
    for (size_t i = 0; i < models.size(); ++i) setup.files[Named("m", int(i)) + ".dat"] = models[i].File();
    Session s = RunKorvo(Script(answers), setup);
    EXPECT_EQ(s.status, 0) << s.err << s.out.substr(s.out.size() > 3000 ? s.out.size() - 3000 : 0);
    return s;
}

// Undamped natural frequencies of a report, RPM.
std::vector<double> Frequencies(const std::string& report) {
    std::vector<double> f;
    for (const std::string& l : SplitLines(report))
        if (l.rfind("  FREQ. [RPM]", 0) == 0)
            for (double v : Numbers(l.substr(13))) f.push_back(v);
    return f;
}

// Damped eigenvalues of a report: the rows numbered 1, 2, ... after the
// mass-distribution note (real part, imaginary part).
std::vector<cd> Eigenvalues(const std::string& report) {
    std::vector<cd> ev;
    const std::string tail = report.substr(report.find("MASS DISTRIBUTION USED"));
    for (const auto& r : NumberLines(tail))
        if (r.size() == 4 && r[0] == double(ev.size() + 1)) ev.emplace_back(r[1], r[2]);
    return ev;
}

// Largest distance of a wanted value from its nearest computed one,
// relative to the wanted value's modulus.
double WorstMatch(const std::vector<cd>& got, const std::vector<cd>& want) {
    double worst = 0;
    for (cd w : want) {
        double best = 1e300;
        for (cd g : got) best = std::min(best, std::abs(g - w));
        worst = std::max(worst, best / std::abs(w));
    }
    return worst;
}

// A uniform shaft of n elements of the given lengths on two bearings k at
// its ends (isotropic, undamped).
Model Beam(const std::vector<double>& lengths, double od, double k, double rho = 0.283) {
    Model m;
    m.rho = rho;
    for (double l : lengths) m.shaft.push_back({od, 0, l, 0, 0});
    m.bearings = {{1, k, 0, 0, k}, {double(lengths.size() + 1), k, 0, 0, k}};
    return m;
}

TEST(Analyses, BeamFrequenciesAndModeShapes) {
    // Pinned-pinned: Euler-Bernoulli with consistent mass (no rotary inertia),
    // the Rayleigh beam with the lumped distributions; elements of 1.5 and 2.5.
    std::vector<double> lengths;
    for (int e = 0; e < 20; ++e) lengths.push_back(e % 2 ? 2.5 : 1.5);
    const double L = 40, D = 2, base = std::sqrt(3.0e7 * kPi / 64 * 16 * 386.0 / (kPi / 4 * 4 * 0.283));
    std::string script;
    for (int opt = 1; opt <= 3; ++opt)
        script += "1||1|1|m0.dat|5|Y|Y|6|N|2|a" + std::to_string(opt) + "|3|b" + std::to_string(opt) + "|1|c" +
                  std::to_string(opt) + "|" + std::to_string(opt) + "|r" + std::to_string(opt) + "||";
    const Session s = RunModels({Beam(lengths, D, 1e10)}, script + "1||1|1|m0.dat|5|N|Y|4|Y|all|3|r||8");
    std::vector<double> z{0};
    for (double l : lengths) z.push_back(z.back() + l);
    for (int opt = 1; opt <= 3; ++opt) {
        const std::vector<double> f = Frequencies(s.file(Named("r", opt)));
        ASSERT_EQ(f.size(), 84u);
        for (size_t k = 1; k < f.size(); ++k) EXPECT_LE(f[k - 1], f[k]);
        for (int n = 1; n <= (opt == 3 ? 3 : 2); ++n) {
            const double kn = n * kPi / L, eb = Rpm(kn * kn * base);
            const double want = opt == 3 ? eb : eb / std::sqrt(1.0 + kn * kn * D * D / 16.0);
            for (int c : {2 * n - 2, 2 * n - 1}) EXPECT_NEAR(f[c], want, (opt == 3 ? 2e-3 : 5e-3) * want) << opt << " " << n;
        }
        // Modes dealt out 2, 3, 1 over the files; a record per station: z,
        // then each mode, sin(n pi z / L) with its largest value +1.
        const int halfWaves[6] = {1, 1, 2, 2, 3, 3}, counts[3] = {2, 3, 1};
        for (int file = 0, mode = 0; opt == 3 && file < 3; mode += counts[file++]) {
            const auto recs = Records(s.file(std::string(1, char('a' + file)) + std::to_string(opt)), counts[file] + 1);
            ASSERT_EQ(recs.size(), 21u);
            for (int k = 0; k < counts[file]; ++k) {
                const int n = halfWaves[mode + k];
                double peak = 0, biggest = -2;
                int at = 0;
                for (int st = 0; st < 21; ++st)
                    if (std::fabs(std::sin(n * kPi * z[st] / L)) > peak) peak = std::fabs(std::sin(n * kPi * z[st] / L)), at = st;
                const double sign = (recs[at][k + 1] > 0) == (std::sin(n * kPi * z[at] / L) > 0) ? 1 : -1;
                for (int st = 0; st < 21; ++st) {
                    EXPECT_EQ(recs[st][0], z[st]);
                    EXPECT_NEAR(recs[st][k + 1], sign * std::sin(n * kPi * z[st] / L) / peak, 5e-3) << "mode " << mode + k + 1 << " station " << st + 1;
                    biggest = std::max(biggest, recs[st][k + 1]);
                }
                EXPECT_EQ(biggest, 1.0);
            }
        }
    }
    // Not normalised (mass-normalised vectors): five values per record wrap
    // after four; the pinned ends stay at rest.
    const std::string all = s.file("all");
    EXPECT_EQ(SplitLines(all).size(), 42u);
    const auto v = Numbers(all);
    ASSERT_EQ(v.size(), 105u);
    for (int k = 1; k <= 4; ++k) {
        double biggest = 0;
        for (int st = 0; st < 21; ++st) biggest = std::max(biggest, std::fabs(v[5 * st + k]));
        EXPECT_GT(std::fabs(biggest - 1.0), 0.1);
        EXPECT_LT(std::fabs(v[k]) + std::fabs(v[100 + k]), 1e-3 * biggest);
    }
}

TEST(Analyses, FreeBeamAndDiscOnALightShaft) {
    // A free-free beam on soft springs and without bearings (a free rotor,
    // whose stiffness is only semi-definite), consistent mass: four
    // rigid-body modes at or near zero, then beta_n^2 sqrt(EI/(m L^4)),
    // without a warning; the first elastic mode has the ends at +-1 and the
    // centre at phi(L/2)/phi(0) of the mode function.
    const double base = std::sqrt(3.0e7 * kPi / 64 * 16 * 386.0 / (kPi / 4 * 4 * 0.283 * std::pow(40.0, 4)));
    const double beta[3] = {4.7300408, 7.8532046, 10.9956078};
    // A 100 lb disc (2000, 1000 lb-in^2) at mid-span of a massless 20 in
    // shaft on rigid bearings: translation sqrt(48 EI/L^3 g/W), tilt
    // sqrt(12 EI/L / It); spinning at 30000 RPM the tilt splits into
    // It w^2 -+ Ip Omega w - kt = 0.
    Model disc = Beam({10, 10}, 2, 1e10, 1e-6);
    disc.discs = {{2, 0, 0, 0, 100, 2000, 1000}};
    disc.speeds = 2;
    const double ei = 3.0e7 * kPi / 64 * 16, wt = std::sqrt(48 * ei / 8000 * 386 / 100), kt = 12 * ei / 20;
    const double it = 1000 / 386.0, ip = 2000 / 386.0, g = ip * 30000 * kPi / 30, root = std::sqrt(g * g + 4 * it * kt);
    Model free = Beam(std::vector<double>(20, 2.0), 2, 10);
    free.bearings.clear();
    const Session s = RunModels({Beam(std::vector<double>(20, 2.0), 2, 10), disc, free},
                                "1||1|1|m0.dat|5|Y|Y|5|Y|ff|3|rf||1||1|1|m1.dat|5|N|N|1|0|r1||1||1|1|m1.dat|5|N|N|3|0|r3||"
                                "1||1|1|m2.dat|5|N|N|3|rn||2|1|1|m1.dat|5|1|30000|rg||8");
    for (const char* r : {"rf", "rn"}) {
        const std::vector<double> f = Frequencies(s.file(r));
        ASSERT_EQ(f.size(), 84u) << r;  // asterisks are not numbers
        EXPECT_EQ(s.file(r).find("WARNING"), std::string::npos) << r;
        for (int k = 0; k < 4; ++k) EXPECT_TRUE(f[k] >= 0 && f[k] < 0.02 * Rpm(beta[0] * beta[0] * base)) << r << f[k];
        for (int n = 1; n <= 3; ++n)
            for (int c : {2 + 2 * n, 3 + 2 * n})
                EXPECT_NEAR(f[c], Rpm(beta[n - 1] * beta[n - 1] * base), (n < 3 ? 1e-3 : 2e-3) * f[c]) << r << n;
    }
    const auto shape = Records(s.file("ff"), 6);
    ASSERT_EQ(shape.size(), 21u);
    const double b = beta[0], sigma = (std::cosh(b) - std::cos(b)) / (std::sinh(b) - std::sin(b));
    auto phi = [&](double x) { return std::cosh(b * x) + std::cos(b * x) - sigma * (std::sinh(b * x) + std::sin(b * x)); };
    EXPECT_NEAR(std::fabs(shape[0][5]), 1.0, 1e-3);
    EXPECT_NEAR(shape[20][5], shape[0][5], 1e-3);
    EXPECT_NEAR(shape[10][5], phi(0.5) / phi(0.0) * shape[0][5], 3e-3);
    for (const char* r : {"r1", "r3"}) {  // lumped and consistent mass
        const std::vector<double> d = Frequencies(s.file(r));
        ASSERT_GE(d.size(), 4u);
        for (int c : {0, 1}) EXPECT_NEAR(d[c], Rpm(wt), 1e-3 * Rpm(wt)) << r;
        for (int c : {2, 3}) EXPECT_NEAR(d[c], Rpm(std::sqrt(kt / it)), 1e-3 * Rpm(std::sqrt(kt / it))) << r;
    }
    std::vector<double> w;
    for (cd e : Eigenvalues(s.file("rg")))
        if (e.imag() > 0) w.push_back(e.imag());
    std::sort(w.begin(), w.end());
    ASSERT_GE(w.size(), 4u);
    const double want[4] = {wt, wt, (root - g) / (2 * it), (root + g) / (2 * it)};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(w[k], want[k], 1e-4 * want[k]) << k;
}

// Two 100 lb discs at the ends of a short shaft on two equal bearings, with
// equal unbalance: both ends translate together, each half a single mass
// m = (100 + half the shaft's weight) / g on its bearing.
Model TwoDiscs(double kb, double cb, int iunits = 1) {
    const double in = iunits == 2 ? 25.4 : 1.0, lb = iunits == 2 ? 0.45359237 : 1.0;
    Model m;
    m.iunits = iunits;
    m.e = 3.0e7 * lb / (in * in);
    m.rho = 0.283 * lb / (in * in * in);
    m.shaft = {{4 * in, 0, 10 * in, 0, 0}};
    m.discs = {{1, 0, 0, 0, 100 * lb, 1250 * lb * in * in, 658 * lb * in * in}, {2, 0, 0, 0, 100 * lb, 1250 * lb * in * in, 658 * lb * in * in}};
    m.bearings = {{1, kb * lb / in, 0, 0, kb * lb / in, cb * lb / in, 0, 0, cb * lb / in}};
    m.bearings.push_back(m.bearings[0]);
    m.bearings[1][0] = 2;
    m.unbalance = {{0.25 * lb * in, 30}, {0.25 * lb * in, 30}};
    return m;
}
const double kHalfWeight = 100 + kPi / 4 * 16 * 10 * 0.283 / 2;  // lb

TEST(Analyses, UnbalanceResponseOfTwoDiscRotors) {
    // x = F / (k - m w^2 + i c w), F = u w^2/g at the unbalance phase; y
    // lags x by 90 degrees; mils (English) and micrometres (metric). On
    // pedestals of 20 lb (springs 5E4, dampers 30) the two masses.
    Model ped = TwoDiscs(1e5, 0);
    ped.pedestals = {{1, 20, 5e4, 5e4, 30, 30}, {2, 20, 5e4, 5e4, 30, 30}};
    Model zero = TwoDiscs(1e5, 0);
    zero.unbalance = {{0.25, 180}, {0.25, 180}};
    const std::string sweep = "|1000|5000|500|";
    const Session s = RunModels({TwoDiscs(1e5, 40), TwoDiscs(1e5, 40, 2), ped, zero},
                                "5|1|1|m0.dat|5|3" + sweep + "2|2|a0|2|1|1|5|5|7" + sweep + "2|2|p0|2|1|1|5|1|1|m1.dat|5|3" + sweep +
                                    "2|2|a1|2|1|1|5|1|1|m2.dat|5|3" + sweep + "Y|Y|pa|2|2|a2|2|1|1|5|1|1|m3.dat|5|7|1000|1000|1|1|1|p3|2|1|8");
    for (int model = 0; model < 3; ++model) {
        const double g = model == 1 ? 9810.0 : 386.0, scale = model == 1 ? 25.4 : 1.0, w1 = kHalfWeight * (model == 1 ? 0.45359237 : 1.0);
        SCOPED_TRACE(model);
        const auto amp = Records(s.file(Named("a", model)), 5);
        const auto peds = model == 2 ? Records(s.file("pa"), 5) : amp;
        const auto phase = model == 0 ? Records(s.file("p0"), 5) : amp;
        const double lb = model == 1 ? 0.45359237 : 1.0;
        ASSERT_EQ(amp.size(), 9u) << model;
        for (int i = 0; i < 9; ++i) {
            const double w = (1000 + 500 * i) * kPi / 30, k = 1e5 * lb / scale;
            const cd f = 0.25 * scale * lb * w * w / g * std::polar(1.0, 30 * kPi / 180);
            const double m = w1 / g, c = model == 2 ? 0.0 : 40.0 * lb / scale;
            cd x = f / cd(k - m * w * w, c * w), xp = 0;
            if (model == 2) {
                const cd a22(k + 5e4 - 20 / 386.0 * w * w, 30 * w);
                x = f / (k - m * w * w - k * k / a22);
                xp = k * x / a22;
            }
            ASSERT_EQ(amp[i].size(), 5u);
            EXPECT_EQ(amp[i][0], 1000 + 500 * i);
            for (int q : {1, 2, 3, 4}) EXPECT_NEAR(amp[i][q], std::abs(x) * 1000, 1e-4 * std::abs(x) * 1000) << model << " " << i;
            if (model == 0)
                for (int q : {1, 3}) {
                    EXPECT_NEAR(std::remainder(phase[i][q] - std::arg(x) * 180 / kPi, 360.0), 0.0, 1e-2) << i;
                    EXPECT_NEAR(std::remainder(phase[i][q + 1] - phase[i][q] + 90, 360.0), 0.0, 1e-2) << i;
                }
            for (int q = 1; model == 2 && q <= 4; ++q) EXPECT_NEAR(peds[i][q], std::abs(xp) * 1000, 1e-4 * std::abs(xp) * 1000) << i;
        }
    }
    // Phase 180 without damping below resonance: +180, never -180; y at +90.
    const auto p3 = NumberLines(s.file("p3"));
    ASSERT_EQ(p3.size(), 1u);
    EXPECT_NEAR(p3[0][1], 180.0, 1e-3);
    EXPECT_NEAR(p3[0][2], 90.0, 1e-3);
}

// Two 100 lb discs on a short stiff shaft on two equal bearings with direct
// stiffness K and damping C and a cross-coupling q = 25 Omega: the
// cylindrical whirl of each half (mass M) obeys M s^2 + C s + K - i q = 0,
// unstable from q = C w, w = sqrt(K/M).
TEST(Analyses, CrossCoupledRotorThresholdAndEnergy) {
    const double K = 1e5, C = 50, Q1 = 25, M = (20 + 100) / 386.0, w = std::sqrt(K / M), thr = Rpm(C * w / Q1);
    Model m;
    m.shaft = {{4, 0, 10, 12.566, 40}};
    m.discs = {{1, 10, 0, 2, 100, 1250, 658}, {2, 10, 0, 2, 100, 1250, 658}};
    m.bearings = {{1, K, 0, 0, K, C, 0, 0, C}, {2, K, 0, 0, K, C, 0, 0, C}};
    m.speeds = 5, m.dspeed = 5000, m.q1 = Q1;
    const Session s = RunModels({m}, "2|1|1|m0.dat|5|1|0|r0||4|5|2|4|re|im|1|1|N|2920|12000|20|1|r1||4|5|3|5000|15000|10|N|1|1|r3||8");
    // At rest: s = -C/2M +- i sqrt(K/M - (C/2M)^2).
    const double a = C / (2 * M);
    EXPECT_LT(WorstMatch(Eigenvalues(s.file("r0")), {cd(-a, std::sqrt(w * w - a * a))}), 1e-5);
    // Option 2 over 455 steps in two passes: the step at 10820 is stable, the
    // one at 10840 not; the threshold, the whirl and its ratio q1/C.
    const std::string r1 = s.file("r1");
    EXPECT_EQ(Records(s.file("re"), 5).size(), 455u);
    const double t = ValueAfter(r1, " Threshold Speed = ");
    EXPECT_TRUE(t >= 10820 && t <= 10840) << t;
    EXPECT_NEAR(t, thr, 2.0);
    EXPECT_NEAR(ValueAfter(r1, " Whirl Frequency = "), Rpm(w), 0.5);
    EXPECT_NEAR(ValueAfter(r1, " Whirl Ratio     = "), Q1 / C, 2e-4);
    EXPECT_NEAR(ValueAfter(s.file("r3"), " Threshold Speed = "), thr, 2.0 * 10000 / 512);
    // Energy per cycle of each bearing against the work of its forces,
    // -(K + i w C) z, on the harmonic motion z of the mode table at the
    // whirl frequency: pi Re(i conj(F) . z); the cross-coupling feeds what
    // the damping drains.
    const auto mode = NumberLines(r1.substr(r1.find("Normalized Self-Excited")));
    const auto energy = NumberLines(r1.substr(r1.find("Location     Part")));
    const auto coef = NumberLines(r1.substr(r1.find("Bearing Coefficients at the Onset")));
    const double wr = ValueAfter(r1, " Whirl Frequency = ") * kPi / 30;
    for (int b = 0; b < 2; ++b) {
        const int r = 4 * b;  // x and y of station b + 1
        const cd zx = std::polar(mode[r][1], mode[r][2] * kPi / 180), zy = std::polar(mode[r + 1][1], mode[r + 1][2] * kPi / 180);
        const double kxy = coef[2 * b][3], kyx = coef[2 * b + 1][0];
        auto work = [&](cd fx, cd fy) { return kPi * (cd(0, 1) * (std::conj(fx) * zx + std::conj(fy) * zy)).real(); };
        const double damp = work(-cd(0, wr) * C * zx, -cd(0, wr) * C * zy), stiff = work(-(K * zx + kxy * zy), -(kyx * zx + K * zy));
        ASSERT_EQ(energy[b].size(), 5u);
        EXPECT_NEAR(energy[b][2], damp, 1e-4 * std::fabs(damp));
        EXPECT_NEAR(energy[b][3], stiff, 6e-3 * std::fabs(stiff));  // three digits of the printed coefficients
        EXPECT_LT(energy[b][2], 0.0);
        EXPECT_LT(std::fabs(energy[b][4]), 0.01 * std::fabs(energy[b][2]));
        EXPECT_NEAR(kxy, Q1 * t * kPi / 30, 0.005 * Q1 * t * kPi / 30);
    }
}

TEST(Analyses, EquivalentModelsHaveTheSameEigenvalues) {
    // A shaft with a gyroscopic disc on two cross-coupled bearings at 4000
    // RPM; the bearing at station 5 on the ground, on a rigid pedestal, and
    // an undamped bearing Kb on a pedestal Kp of negligible mass against a
    // grounded bearing Kb (Kb + Kp)^-1 Kp (springs in series). The same rotor
    // in metric units has its frequencies raised by sqrt(9810/(386 x 25.4)).
    auto rotor = [](std::array<double, 8> b5, double pwt, double kpx, double kpy) {
        Model m = Beam(std::vector<double>(4, 10.0), 2, 0);
        m.speeds = 2;
        m.discs = {{3, 0, 0, 0, 50, 600, 300}};
        m.bearings[0] = {1, 2.0e5, 8.0e4, -8.0e4, 2.4e5, 40, 5, -3, 45};
        std::copy(b5.begin(), b5.end(), m.bearings[1].begin() + 1);
        if (pwt > 0) m.pedestals = {{5, pwt, kpx, kpy, 0, 0}};
        return m;
    };
    const double kb[2][2] = {{2.2e5, 6.0e4}, {-9.0e4, 2.0e5}}, kp[2] = {3.0e5, 4.0e5};
    const double s00 = kb[0][0] + kp[0], s11 = kb[1][1] + kp[1], det = s00 * s11 - kb[0][1] * kb[1][0];
    const double si[2][2] = {{s11 / det, -kb[0][1] / det}, {-kb[1][0] / det, s00 / det}};
    std::array<double, 8> keff{};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) keff[2 * i + j] = (kb[i][0] * si[0][j] + kb[i][1] * si[1][j]) * kp[j];
    const std::array<double, 8> b5 = {2.2e5, 6.0e4, -9.0e4, 2.0e5, 50, -4, 6, 35};
    Model english = TwoDiscs(2e5, 0), metric = TwoDiscs(2e5, 0, 2);
    english.pedestals = {{2, 30, 4e5, 6e5, 0, 0}};
    metric.pedestals = {{2, 30 * 0.45359237, 4e5 * 0.45359237 / 25.4, 6e5 * 0.45359237 / 25.4, 0, 0}};
    const Session s = RunModels({rotor(b5, 0, 0, 0), rotor(b5, 1, 1e9, 1e9), rotor(keff, 0, 0, 0),
                                 rotor({2.2e5, 6.0e4, -9.0e4, 2.0e5}, 1e-4, 3e5, 4e5), english, metric},
                                "2|1|1|m4.dat|5|1|r4||2|1|1|m5.dat|5|1|r5||2|1|1|m0.dat|5|1|4000|r0||2|1|1|m1.dat|5|1|4000|r1||"
                                "2|1|1|m2.dat|5|1|4000|r2||2|1|1|m3.dat|5|1|4000|r3||8");
    EXPECT_LT(WorstMatch(Eigenvalues(s.file("r1")), Eigenvalues(s.file("r0"))), 2e-3);
    EXPECT_LT(WorstMatch(Eigenvalues(s.file("r3")), Eigenvalues(s.file("r2"))), 1e-3);
    std::vector<double> e, m;
    for (cd v : Eigenvalues(s.file("r4"))) e.push_back(std::fabs(v.imag()));
    for (cd v : Eigenvalues(s.file("r5"))) m.push_back(std::fabs(v.imag()));
    std::sort(e.begin(), e.end());
    std::sort(m.begin(), m.end());
    ASSERT_EQ(e.size(), 20u);
    ASSERT_EQ(m.size(), 20u);
    const double ratio = std::sqrt(9810.0 / (386.0 * 25.4));
    for (size_t i = 0; i < e.size(); ++i) EXPECT_NEAR(m[i] / e[i], ratio, 2e-5) << i;
}

TEST(Analyses, UndampedAnalysisUsesTheSymmetricStiffness) {
    // Bearings [[1E5, 3E4], [-1E4, 6E4]] under the two discs: the
    // cylindrical whirl frequencies are those of [[1E5, 1E4], [1E4, 6E4]] / m.
    Model m = TwoDiscs(1e5, 0);
    for (auto& b : m.bearings) b[2] = 3e4, b[3] = -1e4, b[4] = 6e4;
    const Session s = RunModels({m}, "1||1|1|m0.dat|5|N|N|1|r||8");
    const std::vector<double> f = Frequencies(s.file("r"));
    const double mass = kHalfWeight / 386.0, mid = 1.6e5 / 2, half = std::sqrt(0.4e5 * 0.4e5 / 4 + 1e4 * 1e4);
    for (double want : {Rpm(std::sqrt((mid - half) / mass)), Rpm(std::sqrt((mid + half) / mass))}) {
        double best = 1e30;
        for (double v : f) best = std::min(best, std::fabs(v - want));
        EXPECT_LT(best, 1e-3 * want);
    }
}

// The "Iteration No." lines of each run of a console: count, first and last
// speed.
std::vector<std::array<double, 3>> Sweeps(const std::string& console) {
    std::vector<std::array<double, 3>> runs;
    for (const std::string& l : SplitLines(console)) {
        if (l.rfind(" Iteration No.", 0) != 0) continue;
        const double v = ValueAfter(l, "Rotor Speed =");
        if (ValueAfter(l, "Iteration No.") == 1) runs.push_back({0, v, v});
        runs.back()[0] += 1, runs.back()[2] = v;
    }
    return runs;
}

TEST(Analyses, SpeedRangesAndPasses) {
    // Exchanged, downward, clamped to the speed table 1000..9000 in both
    // directions, the two speeds of stability option 3 (clamped), a stability
    // range typed downward (swept upward with the same step), a summary
    // cut to 396 steps; refused: a wrong sign (its result file was to replace
    // "kept"), a range above the table, an element of length 0, the first
    // and the last (their reports were created): files created are removed,
    // replaced ones stay as they were. A single speed above the table runs on the end interval, with a
    // warning on the console and in the report.
    const std::string u = "5|1|1|unbalance.dat|5|3|", t = "5|1|1|speeds.dat|5|3|";
    SessionSetup setup;
    for (const char* f : {"unbalance.dat", "speeds.dat"}) setup.files[f] = SourceFile(std::string("tests/data/") + f);
    setup.files["kept"] = "kept\r\n";
    setup.files["zero.dat"] = setup.files["unbalance.dat"];
    setup.files["zero.dat"].replace(setup.files["zero.dat"].find("2.0 0.0 10.0 0.7854"), 19, "2.0 0.0 0.0 0.7854 ");
    std::string& last = setup.files["last.dat"] = setup.files["unbalance.dat"];  // the last element of length 0
    last.replace(last.rfind("2.0 0.0 10.0 0.7854"), 19, "2.0 0.0 0.0 0.7854 ");
    const Session s = RunKorvo(Script(u + "3000|1000|100|N|0|1|" + u + "3000|1000|-100|N|0|1|" + t + "500|10000|500|1|N|0|1|" + t +
                                      "10000|500|-500|1|N|0|1|" +
                                      "4|1|1|speeds.dat|5|3|500|12000|100|N|1|1|o3||" +
                                      "4|1|1|speeds.dat|5|1|4|rd|id|1|N|9000|1000|-1000|1|o4||" + "5|1|1|unbalance.dat|5|11|0|99900|100|1|o11||" +
                                      u + "1000|3000|-100|N|1|1|kept|1|1|Y||" + t + "9500|12000|500|1|N|0|1||3|5|Y|N|1|9500|o1||" +
                                      "5|1|1|zero.dat|5|11|1000|2000|500|1|o2||" + "5|1|1|last.dat|5|11|1000|2000|500|1|o7||8"),
                               setup);
    ASSERT_EQ(s.status, 0) << s.err;
    const std::vector<std::array<double, 3>> want = {{21, 1000, 3000}, {21, 3000, 1000}, {17, 1000, 9000}, {17, 9000, 1000},
                                                     {2, 1000, 9000}, {9, 1000, 9000}, {396, 0, 99900.0 * 395 / 396}};
    const auto got = Sweeps(s.out);
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i][0], want[i][0]) << i;
        EXPECT_EQ(got[i][1], want[i][1]) << i;
        EXPECT_NEAR(got[i][2], want[i][2], i == 6 ? 2.0 : 0.05) << i;
    }
    EXPECT_EQ(CountOccurrences(s.out, " RPM: it has the wrong sign"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " RPM lies outside the bearing"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " Shaft element No.1 has a length that is not positive"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " Shaft element No.2 has a length that is not positive"), 1);
    EXPECT_EQ(CountOccurrences(s.out, " The analysis is not run."), 4);
    EXPECT_EQ(s.file("kept"), "kept\r\n");
    EXPECT_FALSE(s.exists("o2") || s.exists("o7"));
    const std::string w1 = "WARNING: The bearing coefficients are extrapolated beyond their speed table\r\n",
                      w2 = "(  1000.0 to  9000.0 RPM) to the speed of the run,  9500.0 RPM.\r\n";
    EXPECT_EQ(CountOccurrences(s.out, "\n " + w1 + " " + w2), 1);  // one column less on the console
    EXPECT_EQ(CountOccurrences(s.file("o1"), "\n  " + w1 + "  " + w2), 1);
    EXPECT_EQ(Frequencies(s.file("o1")).size(), 12u);
}

// The natural spline through (x, y), evaluated at v.
double NaturalSpline(const std::vector<double>& x, const std::vector<double>& y, double v) {
    const int n = int(x.size());
    std::vector<double> h(n - 1), s(n, 0.0), d(n, 0.0), r(n, 0.0);
    for (int i = 0; i + 1 < n; ++i) h[i] = x[i + 1] - x[i];
    for (int i = 1; i + 1 < n; ++i) d[i] = 2 * (h[i - 1] + h[i]), r[i] = 6 * ((y[i + 1] - y[i]) / h[i] - (y[i] - y[i - 1]) / h[i - 1]);
    for (int i = 2; i + 1 < n; ++i) d[i] -= h[i - 1] * h[i - 1] / d[i - 1], r[i] -= h[i - 1] / d[i - 1] * r[i - 1];
    for (int i = n - 2; i >= 1; --i) s[i] = (r[i] - h[i] * s[i + 1]) / d[i];
    int i = 0;
    while (i + 2 < n && v > x[i + 1]) ++i;
    const double t = v - x[i];
    return y[i] + t * ((y[i + 1] - y[i]) / h[i] - h[i] * (2 * s[i] + s[i + 1]) / 6) + t * t * s[i] / 2 + t * t * t * (s[i + 1] - s[i]) / (6 * h[i]);
}

TEST(Analyses, BearingCoefficientsFollowTheSplineInBothDirections) {
    // Sxx with a kink, tabulated at 1000, 2000, 2500 and 3500 RPM: every
    // step of an upward and a downward sweep records the spline value of the
    // interval that holds its speed (three digits).
    const std::vector<double> x = {1000, 2000, 2500, 3500}, y = {1e5, 2e5, 1e5, 3e5};
    std::string model = "KINK\n3 0 2 0 0\n1 0\n2 0 10 0 0\n2 0 10 0 0\n1 0\n3 0\n3e7 0.283\n4\n";
    for (int j = 0; j < 4; ++j) {
        char line[120];
        std::snprintf(line, sizeof line, "%g\n%g 0 0 1e5 1 0 0 1\n1e5 0 0 1e5 1 0 0 1\n", x[j], y[j]);
        model += line;
    }
    SessionSetup setup;
    setup.files["kink.dat"] = model + "1 0 0\n2 1 0\n3 0 0\n";
    const Session s = RunKorvo(Script("5|1|1|kink.dat|5|3|1000|3500|125|1|Y|ku|cu|k2|c2|0|1|5|5|3|3500|1000|-125|1|Y|kd|cd|k3|c3|0|1|8"), setup);
    ASSERT_EQ(s.status, 0) << s.err;
    for (const char* f : {"ku", "kd"}) {
        const auto rows = NumberLines(s.file(f));
        ASSERT_EQ(rows.size(), 21u) << f;
        for (int i = 0; i < 21; ++i) {
            const double v = f[1] == 'u' ? 1000 + 125 * i : 3500 - 125 * i, want = NaturalSpline(x, y, v);
            EXPECT_NEAR(rows[i][1], want, 0.005 * want) << f << " at " << v;
        }
    }
}

TEST(Analyses, CurveFitsReproduceWhatTheirEndConditionsAllow) {
    // Lines under end condition 1 (two rows, and 120 rows of which 99 are
    // fitted), lines m x + m of four columns under condition 3, a parabola
    // on uneven rows under condition 2: P + 1 equally spaced points.
    std::string hundred;
    for (int r = 1; r <= 120; ++r) hundred += std::to_string(r) + " " + std::to_string(3 * r) + "\n";
    const struct {
        std::string data, answers;
        size_t records, width;
        double x0, dx;
        double (*f)(int, double);
    } fits[] = {
        {"2.0 1.0\n6.0 -3.0\n", "1|d|2|f|N|8", 9, 2, 2.0, 0.5, [](int, double x) { return 3.0 - x; }},
        {"0 1 2 3 4 777\n1 2 4 6 8 777\n2.5 3.5 7 10.5 14 777\n4 5 10 15 20 777\n", "3|d|6|f|N|8", 9, 5, 0.0, 0.5,
         [](int m, double x) { return m * x + m; }},
        {"-2, 6\n-0.5, 2.625\n0.25, 1.78125\n1, 1.5\n3, 3.5\n", "2|d|2|f|N|20", 21, 2, -2.0, 0.25,
         [](int, double x) { return 0.5 * x * x - x + 2.0; }},
        {hundred, "1|d|2|f|N|196", 197, 2, 1.0, 0.5, [](int, double x) { return 3.0 * x; }},
    };
    for (const auto& c : fits) {
        SessionSetup setup;
        setup.files["d"] = c.data;
        const Session s = RunKorvo(Script("7|" + c.answers + "|8"), setup);
        const std::vector<double> v = Numbers(s.file("f"));
        ASSERT_EQ(v.size(), c.records * c.width) << c.answers;
        for (size_t i = 0; i < c.records; ++i) {
            const double x = v[i * c.width];
            EXPECT_NEAR(x, c.x0 + c.dx * double(i), 2e-6 * (1 + std::fabs(x))) << c.answers;
            for (size_t m = 1; m < c.width; ++m) EXPECT_NEAR(v[i * c.width + m], c.f(int(m), x), 2e-5 * (1 + std::fabs(c.f(int(m), x)))) << c.answers;
        }
    }
}

}  // namespace
