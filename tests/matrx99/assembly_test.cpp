// Assembly of the speed-independent matrices: the worked one-element values,
// the mass distributions, defaults, pedestal numbering, the model refusals,
// and natural frequencies of assembled rotors against beam theory.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/matrx99/femodel_fixture.h"

using namespace femodel_test;

namespace {

constexpr double kPi = 3.14159265358979323846;

void ExpectRel(double got, double want, double tol, const char* what) {
    EXPECT_NEAR(got, want, std::fabs(want) * tol) << what;
}

// One element: O.D 2, I.D 0, length 10, E 3.0E7, Rho 0.283, English units.
void OneElementModel(int massopt) {
    ResetModelAndOptions();
    UniformShaft(2, 2.0f, 0.0f, 10.0f, 3.0e7f, 0.283f);
    OPTS.MASSOPT = massopt;
}

}  // namespace

TEST(Assembly, WorkedOneElementValues) {
    OneElementModel(1);
    AssembleRotorMatrices();
    ExpectRel(MODEL.SHAFT(1, 5), 8.8907, 2e-5, "W");
    ExpectRel(MODEL.SHAFT(1, 4), 0.78540, 2e-5, "I");
    ExpectRel(SYS.STROT(1), 38.156, 2e-5, "H");
    ExpectRel(SYS.STROT(2), 38.156, 2e-5, "H");
    const double a = 2.8274e5, b = 1.4137e6, c = 9.4248e6, f = 4.7124e6;
    // Upper triangle of the element stiffness (local = global for element 1).
    const double k[8][8] = {
        {a, 0, 0, b, -a, 0, 0, b},  {0, a, -b, 0, 0, -a, -b, 0}, {0, 0, c, 0, 0, b, f, 0},
        {0, 0, 0, c, -b, 0, 0, f},  {0, 0, 0, 0, a, 0, 0, -b},   {0, 0, 0, 0, 0, a, b, 0},
        {0, 0, 0, 0, 0, 0, c, 0},   {0, 0, 0, 0, 0, 0, 0, c},
    };
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) {
            const double want = i <= j ? k[i - 1][j - 1] : k[j - 1][i - 1];
            if (want == 0.0)
                EXPECT_EQ(SYS.STIFF(i, j), 0.0f) << i << "," << j;
            else
                ExpectRel(SYS.STIFF(i, j), want, 5e-5, "stiffness entry");
        }
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) {
            if (i != j) {
                EXPECT_EQ(SYS.MASS(i, j), 0.0f);
                continue;
            }
            const bool rotation = (i - 1) % 4 >= 2;
            ExpectRel(SYS.MASS(i, i), rotation ? 0.098850 : 0.011516, 5e-5, "mass diagonal");
        }
    EXPECT_EQ(SYS.NDOF, 8);
    EXPECT_FLOAT_EQ(SYS.GRAV, 386.0f);
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) EXPECT_EQ(SYS.DAMP(i, j), 0.0f);
}

TEST(Assembly, TwoStationDistributions) {
    // (1/6 - 1/3 - 1/6): W/3 on the translation diagonals, W/6 coupling.
    OneElementModel(2);
    AssembleRotorMatrices();
    const double w = MODEL.SHAFT(1, 5) / 386.0;
    for (int r : {1, 2, 5, 6}) ExpectRel(SYS.MASS(r, r), w / 3, 1e-6, "W/3");
    for (auto [i, j] : std::initializer_list<std::pair<int, int>>{{1, 5}, {5, 1}, {2, 6}, {6, 2}})
        ExpectRel(SYS.MASS(i, j), w / 6, 1e-6, "W/6");
    EXPECT_EQ(SYS.MASS(1, 6), 0.0f);
    EXPECT_EQ(SYS.MASS(1, 2), 0.0f);
    ExpectRel(SYS.MASS(3, 3), 0.098850, 5e-5, "rotation");

    // Values other than 2 and 3 assemble the lumped distribution.
    for (int opt : {0, -1, 4, 1}) {
        OneElementModel(opt);
        AssembleRotorMatrices();
        for (int r : {1, 2, 5, 6}) ExpectRel(SYS.MASS(r, r), w / 2, 1e-6, "W/2");
        EXPECT_EQ(SYS.MASS(1, 5), 0.0f) << opt;
    }
}

TEST(Assembly, ConsistentMassAndDiscTransverseMoment) {
    OneElementModel(3);
    AssembleRotorMatrices();
    const double s = MODEL.SHAFT(1, 5) / 420.0 / 386.0, len = 10.0;
    ExpectRel(SYS.MASS(1, 1), 156 * s, 1e-6, "156");
    ExpectRel(SYS.MASS(1, 4), 22 * len * s, 1e-6, "22L");
    ExpectRel(SYS.MASS(1, 5), 54 * s, 1e-6, "54");
    ExpectRel(SYS.MASS(1, 8), -13 * len * s, 1e-6, "-13L");
    ExpectRel(SYS.MASS(2, 3), -22 * len * s, 1e-6, "-22L");
    ExpectRel(SYS.MASS(3, 7), -3 * len * len * s, 1e-6, "-3L^2");
    ExpectRel(SYS.MASS(4, 4), 4 * len * len * s, 1e-6, "4L^2");
    ExpectRel(SYS.MASS(6, 7), 22 * len * s, 1e-6, "22L");
    // The x translations carry the element's whole mass.
    const double total = SYS.MASS(1, 1) + SYS.MASS(1, 5) + SYS.MASS(5, 1) + SYS.MASS(5, 5);
    ExpectRel(total, MODEL.SHAFT(1, 5) / 386.0, 1e-6, "mass conservation");

    // A disc adds its weight and (mended) its transverse mass moment.
    const float rot = SYS.MASS(7, 7), tr = SYS.MASS(5, 5);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 4) = 50.0f;
    MODEL.DISC(1, 5) = 300.0f;
    MODEL.DISC(1, 6) = 160.0f;
    AssembleRotorMatrices();
    ExpectRel(SYS.MASS(7, 7) - rot, 160.0 / 386.0, 1e-5, "STIT on rotation x");
    ExpectRel(SYS.MASS(8, 8) - rot, 160.0 / 386.0, 1e-5, "STIT on rotation y");
    ExpectRel(SYS.MASS(5, 5) - tr, 50.0 / 386.0, 1e-5, "disc weight");
    ExpectRel(SYS.MASS(3, 3), 4 * len * len * s, 1e-6, "no disc at station 1");
}

TEST(Assembly, DefaultsAtTheEntryThreshold) {
    ResetModelAndOptions();
    UniformShaft(3, 2.0f, 1.0f, 20.0f, 3.0e7f, 0.283f);
    MODEL.SHAFT(1, 5) = 1.0e-6f;  // recomputed
    MODEL.SHAFT(1, 4) = 1.0e-6f;  // recomputed
    MODEL.SHAFT(2, 5) = 2.0e-6f;  // kept
    MODEL.SHAFT(2, 4) = 0.5f;     // kept
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 1) = 10.0f;
    MODEL.DISC(1, 2) = 2.0f;
    MODEL.DISC(1, 3) = 1.0f;
    MODEL.DISC(1, 4) = 1.0e-6f;
    MODEL.DISC(1, 5) = 1.0e-6f;
    MODEL.DISC(1, 6) = 0.0f;
    MODEL.NBRG = 1;
    MODEL.BSTA(1) = 1;
    MODEL.BWT(1) = 0.0f;  // no default: stays zero
    MODEL.NCM = 1;
    MODEL.WSTA(1) = 3;
    MODEL.WWT(1) = -2.0f;  // taken as it is
    OPTS.MASSOPT = 1;
    AssembleRotorMatrices();

    ExpectRel(MODEL.SHAFT(1, 5), kPi / 4 * 3 * 10 * 0.283, 1e-6, "element weight");
    ExpectRel(MODEL.SHAFT(1, 4), kPi / 64 * 15, 1e-6, "element inertia");
    EXPECT_FLOAT_EQ(MODEL.SHAFT(2, 5), 2.0e-6f);
    EXPECT_FLOAT_EQ(MODEL.SHAFT(2, 4), 0.5f);
    const double dw = kPi / 4 * 96 * 1 * 0.283;
    ExpectRel(SYS.STDW(2), dw, 1e-6, "disc weight");
    ExpectRel(SYS.STIP(2), dw * 104 / 8, 1e-6, "disc polar");
    ExpectRel(SYS.STIT(2), dw * (3 * 104 + 4) / 48, 1e-6, "disc transverse");
    EXPECT_EQ(SYS.STBW(1), 0.0f);
    EXPECT_EQ(SYS.STWT(3), -2.0f);
    ExpectRel(SYS.MASS(9, 9), (2.0e-6 / 2 - 2.0) / 386.0, 1e-6, "added weight");
    ExpectRel(SYS.MASS(5, 5), ((MODEL.SHAFT(1, 5) + 2.0e-6) / 2 + dw) / 386.0, 1e-6, "disc station");
}

TEST(Assembly, TablesMatchedWithAForwardPointer) {
    // Used directly (without the refusal of the run), a disc out of order and
    // every later disc are ignored.
    ResetModelAndOptions();
    UniformShaft(4, 2.0f, 0.0f, 30.0f, 3.0e7f, 0.283f);
    MODEL.NDISC = 3;
    const int st[3] = {3, 2, 4};
    for (int k = 1; k <= 3; ++k) {
        MODEL.DSTA(k) = st[k - 1];
        MODEL.DISC(k, 4) = 10.0f * k;
        MODEL.DISC(k, 5) = 1.0f;
        MODEL.DISC(k, 6) = 1.0f;
    }
    AssembleRotorMatrices();
    EXPECT_FLOAT_EQ(SYS.STDW(3), 10.0f);
    EXPECT_EQ(SYS.STDW(2), 0.0f);
    EXPECT_EQ(SYS.STDW(4), 0.0f);
}

TEST(Assembly, PedestalNumberingWithSeveralPedestals) {
    ResetModelAndOptions();
    UniformShaft(5, 2.0f, 0.0f, 40.0f, 3.0e7f, 0.283f);
    AddBearing(1, 1e5f, 0, 0, 1e5f);
    AddBearing(3, 1e5f, 0, 0, 1e5f);
    AddBearing(5, 1e5f, 0, 0, 1e5f);
    MODEL.NPED = 2;
    MODEL.PSTA(1) = 3;
    MODEL.PSTA(2) = 5;
    const float pedc[2][4] = {{7e5f, 8e5f, 30.0f, 40.0f}, {5e5f, 6e5f, 10.0f, 20.0f}};
    for (int p = 1; p <= 2; ++p) {
        MODEL.PWT(p) = 100.0f * p;
        for (int m = 1; m <= 4; ++m) MODEL.PEDC(p, m) = pedc[p - 1][m - 1];
    }
    OPTS.MASSOPT = 2;
    AssembleRotorMatrices();

    EXPECT_EQ(SYS.NDOF, 24);
    const int flags[5] = {0, 0, 1, 0, 1};
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(SYS.PEDFLAG(s), flags[s - 1]) << s;
    EXPECT_EQ(SYS.PEDPOS(1), 13);
    EXPECT_EQ(SYS.PEDPOS(2), 23);  // last station: the last two degrees of freedom

    // Element 3 joins station 3 (rows 9-12) and station 4 (rows 15-18).
    const double len = 10.0, ei = 3.0e7 * kPi / 4;
    const double a = 12 * ei / (len * len * len);
    ExpectRel(SYS.STIFF(9, 15), -a, 1e-5, "x3-x4 after the first pedestal");
    ExpectRel(SYS.STIFF(15, 9), -a, 1e-5, "mirror");
    ExpectRel(SYS.STIFF(15, 15), 2 * a, 1e-5, "x4 between elements");
    ExpectRel(SYS.STIFF(19, 19), a, 1e-5, "x5 shifted by one pedestal");
    const double w = MODEL.SHAFT(3, 5) / 386.0;
    ExpectRel(SYS.MASS(9, 15), w / 6, 1e-6, "distributed coupling shifted");

    for (int p = 1; p <= 2; ++p) {
        const int pos = SYS.PEDPOS(p);
        ExpectRel(SYS.STIFF(pos, pos), pedc[p - 1][0], 1e-7, "Kxx");
        ExpectRel(SYS.STIFF(pos + 1, pos + 1), pedc[p - 1][1], 1e-7, "Kyy");
        ExpectRel(SYS.DAMP(pos, pos), pedc[p - 1][2], 1e-7, "Cxx");
        ExpectRel(SYS.DAMP(pos + 1, pos + 1), pedc[p - 1][3], 1e-7, "Cyy");
        ExpectRel(SYS.MASS(pos, pos), 100.0 * p / 386.0, 1e-6, "pedestal mass x");
        ExpectRel(SYS.MASS(pos + 1, pos + 1), 100.0 * p / 386.0, 1e-6, "pedestal mass y");
        // Nothing else in the pedestal rows and columns.
        for (int r : {pos, pos + 1})
            for (int j = 1; j <= 24; ++j) {
                if (j == r) continue;
                EXPECT_EQ(SYS.STIFF(r, j), 0.0f);
                EXPECT_EQ(SYS.STIFF(j, r), 0.0f);
                EXPECT_EQ(SYS.MASS(r, j), 0.0f);
                EXPECT_EQ(SYS.DAMP(j, r), 0.0f);
            }
    }
}

TEST(Assembly, MassAndStiffnessSymmetric) {
    for (int opt = 1; opt <= 3; ++opt) {
        ResetModelAndOptions();
        UniformShaft(7, 3.0f, 1.0f, 60.0f, 3.0e7f, 0.283f);
        MODEL.SHAFT(3, 1) = 5.0f;
        MODEL.NDISC = 2;
        MODEL.DSTA(1) = 2;
        MODEL.DSTA(2) = 6;
        for (int k = 1; k <= 2; ++k) {
            MODEL.DISC(k, 1) = 12.0f;
            MODEL.DISC(k, 3) = 1.5f;
        }
        AddBearing(1, 1e6f, 2e5f, 2e5f, 1.5e6f, 50, 10, 10, 60);
        AddBearing(7, 1e6f, 0, 0, 1e6f, 50, 0, 0, 50);
        MODEL.NPED = 1;
        MODEL.PSTA(1) = 7;
        MODEL.PWT(1) = 80.0f;
        MODEL.PEDC(1, 1) = 4e6f;
        MODEL.PEDC(1, 2) = 5e6f;
        OPTS.MASSOPT = opt;
        AssembleRotorMatrices();
        for (int j = 1; j <= SYS.NDOF; ++j)
            for (int i = 1; i <= SYS.NDOF; ++i) {
                EXPECT_EQ(SYS.MASS(i, j), SYS.MASS(j, i)) << opt << ": " << i << "," << j;
                EXPECT_EQ(SYS.STIFF(i, j), SYS.STIFF(j, i)) << opt << ": " << i << "," << j;
            }
        // With symmetric bearings the per-speed stiffness stays symmetric.
        SYS.STIFF0 = SYS.STIFF;
        SYS.DAMP0 = SYS.DAMP;
        SYS.BRGDONE = 0;
        BuildSpeedMatrices(3000.0f);
        for (int j = 1; j <= SYS.NDOF; ++j)
            for (int i = 1; i <= SYS.NDOF; ++i) EXPECT_EQ(SYS.STIFF(i, j), SYS.STIFF(j, i));
    }
}

TEST(Assembly, ModelsThatCannotBeAnalysedAreRefused) {
    auto good = [] {
        ResetModelAndOptions();
        UniformShaft(5, 2.0f, 0.0f, 40.0f, 3.0e7f, 0.283f);
        AddBearing(1, 1e5f, 0, 0, 1e5f);
        AddBearing(4, 1e5f, 0, 0, 1e5f);
        MODEL.NPED = 1;
        MODEL.PSTA(1) = 4;
        MODEL.NDISC = 2;
        MODEL.DSTA(1) = 2;
        MODEL.DSTA(2) = 3;
        MODEL.NCM = 1;
        MODEL.WSTA(1) = 5;
        MODEL.NSPEED = 3;
        MODEL.SPEED(1) = 1000.0f;
        MODEL.SPEED(2) = 2000.0f;
        MODEL.SPEED(3) = 3000.0f;
    };
    good();
    EXPECT_EQ(ModelAnalysisRefusal(), "");

    good();
    MODEL.SHAFT(3, 3) = 0.0f;
    EXPECT_NE(ModelAnalysisRefusal().find("element No.3"), std::string::npos) << ModelAnalysisRefusal();
    good();
    MODEL.SHAFT(1, 3) = -1.0f;
    EXPECT_NE(ModelAnalysisRefusal(), "");
    good();
    MODEL.SPEED(3) = 2000.0f;  // repeated speed
    EXPECT_NE(ModelAnalysisRefusal().find("speed No.3"), std::string::npos) << ModelAnalysisRefusal();
    good();
    MODEL.SPEED(1) = 2500.0f;
    EXPECT_NE(ModelAnalysisRefusal(), "");
    good();
    MODEL.NSPEED = 1;  // constant coefficients: the speed table has no meaning
    MODEL.SPEED(1) = 2500.0f;
    EXPECT_EQ(ModelAnalysisRefusal(), "");
    good();
    MODEL.DSTA(2) = 1;  // out of order
    EXPECT_NE(ModelAnalysisRefusal().find("Disc No.2"), std::string::npos) << ModelAnalysisRefusal();
    good();
    MODEL.DSTA(2) = 2;  // repeated
    EXPECT_NE(ModelAnalysisRefusal(), "");
    good();
    MODEL.BSTA(2) = 6;  // outside the shaft
    EXPECT_NE(ModelAnalysisRefusal().find("Bearing No.2"), std::string::npos) << ModelAnalysisRefusal();
    good();
    MODEL.WSTA(1) = 0;
    EXPECT_NE(ModelAnalysisRefusal(), "");
    good();
    MODEL.PSTA(1) = 3;  // not at a bearing
    EXPECT_NE(ModelAnalysisRefusal().find("Pedestal No.1"), std::string::npos) << ModelAnalysisRefusal();
    good();
    MODEL.NSTA = 100;
    EXPECT_NE(ModelAnalysisRefusal(), "");
}

// ---------------------------------------------------------------------------
// Natural frequencies of assembled rotors against beam theory.

namespace {

// Uniform steel shaft: O.D 2 in, length 40 in, 20 elements.
constexpr float kOd = 2.0f, kLen = 40.0f, kE = 3.0e7f, kRho = 0.283f;
constexpr int kSta = 21;

double BeamScale() {  // sqrt(E I / (mu L^4)), rad/s
    const double i = kPi / 64 * std::pow(kOd, 4), mu = kRho * kPi / 4 * kOd * kOd / 386.0;
    return std::sqrt(kE * i / (mu * std::pow(kLen, 4)));
}

// Bending frequencies come in equal pairs (x and y planes): the lower
// member of pair n (n = 1, 2, ...) after `skip` rigid or other modes.
double Pair(const std::vector<double>& om, int skip, int n) {
    const double a = om[skip + 2 * (n - 1)], b = om[skip + 2 * (n - 1) + 1];
    EXPECT_NEAR(a, b, 1e-6 * b) << "pair " << n;
    return a;
}

}  // namespace

TEST(AssemblyPhysics, FreeFreeShaftAgainstEulerBernoulli) {
    ResetModelAndOptions();
    UniformShaft(kSta, kOd, 0.0f, kLen, kE, kRho);
    OPTS.MASSOPT = 3;
    AssembleRotorMatrices();
    // Four rigid-body modes; the shift keeps K + shift M positive definite.
    int ierr = -1;
    const std::vector<double> om = UndampedOmegas(1.0e5, &ierr);
    EXPECT_EQ(ierr, 0);
    for (int i = 0; i < 4; ++i) EXPECT_LT(om[i], 1.0) << i;
    const double beta[3] = {4.7300408, 7.8532046, 10.9956078};
    for (int n = 1; n <= 3; ++n) {
        const double want = beta[n - 1] * beta[n - 1] * BeamScale();
        ExpectRel(Pair(om, 4, n), want, 1e-3, "free-free bending frequency");
    }
}

TEST(AssemblyPhysics, ShaftOnVeryStiffBearingsIsPinnedPinned) {
    const double rg2 = kOd * kOd / 16.0;  // radius of gyration squared, I/A
    for (int opt : {3, 1, 2}) {
        ResetModelAndOptions();
        UniformShaft(kSta, kOd, 0.0f, kLen, kE, kRho);
        AddBearing(1, 1e9f, 0, 0, 1e9f);
        AddBearing(kSta, 1e9f, 0, 0, 1e9f);
        OPTS.MASSOPT = opt;
        AssembleForSpeedSteps();
        BuildSpeedMatrices(0.0f);
        const std::vector<double> om = UndampedOmegas();
        for (int n = 1; n <= 3; ++n) {
            const double k = n * kPi / kLen, eb = k * k * kLen * kLen * BeamScale();
            if (opt == 3) {
                // No rotary inertia: the Euler-Bernoulli beam.
                ExpectRel(Pair(om, 0, n), eb, 1e-3, "pinned-pinned, consistent mass");
            } else if (n <= 2) {
                // The lumped distributions carry the shaft's rotary inertia
                // (Rayleigh beam) and converge more slowly.
                ExpectRel(Pair(om, 0, n), eb / std::sqrt(1.0 + k * k * rg2), 5e-3, "pinned-pinned, lumped");
            }
        }
    }
}

namespace {

// A 100 lb disc at mid-span of a nearly massless shaft on stiff bearings,
// with a bearing weight, an added weight and a pedestal under one bearing in
// the unit system given (1 English, 2 metric: mm, kg).
void DiscRotor(int units, float bearingK) {
    const double in = units == 2 ? 25.4 : 1.0, lb = units == 2 ? 0.45359237 : 1.0;
    ResetModelAndOptions();
    MODEL.IUNITS = units;
    UniformShaft(5, static_cast<float>(kOd * in), 0.0f, static_cast<float>(kLen * in),
                 static_cast<float>(kE * lb / (in * in)), static_cast<float>(1.0e-5 * lb / (in * in * in)));
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 3;
    MODEL.DISC(1, 4) = static_cast<float>(100.0 * lb);
    MODEL.DISC(1, 5) = static_cast<float>(400.0 * lb * in * in);
    MODEL.DISC(1, 6) = static_cast<float>(200.0 * lb * in * in);
    const float k = static_cast<float>(bearingK * lb / in);
    AddBearing(1, k, 0, 0, k);
    AddBearing(5, k, 0, 0, static_cast<float>(1.5 * k));
    MODEL.BWT(1) = static_cast<float>(2.0 * lb);
    MODEL.NCM = 1;
    MODEL.WSTA(1) = 2;
    MODEL.WWT(1) = static_cast<float>(5.0 * lb);
    MODEL.NPED = 1;
    MODEL.PSTA(1) = 5;
    MODEL.PWT(1) = static_cast<float>(30.0 * lb);
    MODEL.PEDC(1, 1) = static_cast<float>(2.0 * bearingK * lb / in);
    MODEL.PEDC(1, 2) = static_cast<float>(3.0 * bearingK * lb / in);
    OPTS.MASSOPT = 1;
    AssembleForSpeedSteps();
    BuildSpeedMatrices(0.0f);
}

}  // namespace

TEST(AssemblyPhysics, DiscOnLightShaft) {
    ResetModelAndOptions();
    UniformShaft(3, kOd, 0.0f, kLen, kE, 1.0e-5f);
    MODEL.NDISC = 1;
    MODEL.DSTA(1) = 2;
    MODEL.DISC(1, 4) = 100.0f;
    MODEL.DISC(1, 5) = 10.0f;
    MODEL.DISC(1, 6) = 5.0f;
    AddBearing(1, 1e9f, 0, 0, 1e9f);
    AddBearing(3, 1e9f, 0, 0, 1e9f);
    for (int opt : {1, 3}) {
        OPTS.MASSOPT = opt;
        AssembleForSpeedSteps();
        BuildSpeedMatrices(0.0f);
        const std::vector<double> om = UndampedOmegas();
        const double ei = kE * kPi / 64 * std::pow(kOd, 4), m = 100.0 / 386.0;
        ExpectRel(Pair(om, 0, 1), std::sqrt(48 * ei / (std::pow(kLen, 3) * m)), 1e-3, "disc on light shaft");
    }
}

TEST(AssemblyPhysics, MetricRotorHasTheSameFrequencies) {
    DiscRotor(1, 2.0e5f);
    const std::vector<double> eng = UndampedOmegas();
    DiscRotor(2, 2.0e5f);
    EXPECT_FLOAT_EQ(SYS.GRAV, 9810.0f);
    const std::vector<double> met = UndampedOmegas();
    ASSERT_EQ(eng.size(), met.size());
    const double ratio = std::sqrt(9810.0 / (386.0 * 25.4));
    EXPECT_NEAR(ratio, 1.000286, 5e-7);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(met[i] / eng[i], ratio, 2e-5) << "mode " << i + 1;
}
