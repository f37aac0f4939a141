// The system matrices: the worked one-element values, the mass distributions,
// defaults, pedestal numbering, the refusals; the per-speed bearing, pedestal
// and gyroscopic terms, spline values at the table speeds, coefficient
// records, and bearings on pedestals against equivalent grounded bearings.
#include <gtest/gtest.h>

#include <algorithm>
#include <complex>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "analyses/analyses.h"
#include "subs99/spline.h"
#include "tests/support/models.h"

using namespace korvo_test;

namespace {

void ExpectRel(double got, double want, double tol, const std::string& what) {
    EXPECT_NEAR(got, want, std::fabs(want) * tol) << what;
}

// One element: O.D 2, I.D 0, length 10, steel, English units.
void OneElement(int massopt) {
    ResetModel();
    UniformShaft(2, 2.0f, 10.0f);
    OPTS.MASSOPT = massopt;
    AssembleRotorMatrices();
}

}  // namespace

TEST(Assembly, WorkedOneElementValuesAndMassDistributions) {
    OneElement(1);
    ExpectRel(MODEL.SHAFT(1, 5), 8.8907, 2e-5, "W");
    ExpectRel(MODEL.SHAFT(1, 4), 0.78540, 2e-5, "I");
    ExpectRel(SYS.STROT(1), 38.156, 2e-5, "H");
    EXPECT_EQ(SYS.NDOF, 8);
    EXPECT_FLOAT_EQ(SYS.GRAV, 386.0f);
    const double a = 2.8274e5, b = 1.4137e6, c = 9.4248e6, f = 4.7124e6;
    const double k[8][8] = {  // upper triangle of the element stiffness
        {a, 0, 0, b, -a, 0, 0, b}, {0, a, -b, 0, 0, -a, -b, 0}, {0, 0, c, 0, 0, b, f, 0}, {0, 0, 0, c, -b, 0, 0, f},
        {0, 0, 0, 0, a, 0, 0, -b}, {0, 0, 0, 0, 0, a, b, 0},    {0, 0, 0, 0, 0, 0, c, 0}, {0, 0, 0, 0, 0, 0, 0, c}};
    for (int i = 1; i <= 8; ++i)
        for (int j = 1; j <= 8; ++j) {
            const double ks = i <= j ? k[i - 1][j - 1] : k[j - 1][i - 1];
            const double ms = i != j ? 0.0 : (i - 1) % 4 >= 2 ? 0.098850 : 0.011516;
            EXPECT_NEAR(SYS.STIFF(i, j), ks, 5e-5 * std::fabs(ks)) << i << "," << j;
            EXPECT_NEAR(SYS.MASS(i, j), ms, 5e-5 * ms) << i << "," << j;
            EXPECT_EQ(SYS.DAMP(i, j), 0.0f);
        }
    const double w = MODEL.SHAFT(1, 5) / 386.0, len = 10.0;

    // (1/6 - 1/3 - 1/6): W/3 on the translation diagonals, W/6 between the stations.
    OneElement(2);
    for (int r : {1, 2, 5, 6}) ExpectRel(SYS.MASS(r, r), w / 3, 1e-6, "W/3");
    const int coupled[4][2] = {{1, 5}, {5, 1}, {2, 6}, {6, 2}};
    for (const auto& p : coupled) ExpectRel(SYS.MASS(p[0], p[1]), w / 6, 1e-6, "W/6");
    EXPECT_EQ(SYS.MASS(1, 6), 0.0f);
    ExpectRel(SYS.MASS(3, 3), 0.098850, 5e-5, "rotation");
    // Values other than 2 and 3 assemble the lumped distribution.
    for (int opt : {0, -1, 4}) {
        OneElement(opt);
        for (int r : {1, 2, 5, 6}) ExpectRel(SYS.MASS(r, r), w / 2, 1e-6, "W/2");
        EXPECT_EQ(SYS.MASS(1, 5), 0.0f) << opt;
    }

    // Consistent: W/420 times the element table, no rotary inertia of the shaft.
    OneElement(3);
    const struct {
        int i, j;
        double v;
    } consistent[] = {{1, 1, 156},           {1, 4, 22 * len},      {1, 5, 54},           {1, 8, -13 * len},
                      {2, 3, -22 * len},     {3, 7, -3 * len * len}, {4, 4, 4 * len * len}, {6, 7, 22 * len}};
    for (const auto& e : consistent) ExpectRel(SYS.MASS(e.i, e.j), e.v * w / 420, 1e-6, "consistent");
    ExpectRel(SYS.MASS(1, 1) + SYS.MASS(1, 5) + SYS.MASS(5, 1) + SYS.MASS(5, 5), w, 1e-6, "x carries the mass");
    // A disc adds its weight and (mended) its transverse mass moment.
    const float rot = SYS.MASS(7, 7), tr = SYS.MASS(5, 5);
    AddDisc(2, 50.0f, 300.0f, 160.0f);
    AssembleRotorMatrices();
    ExpectRel(SYS.MASS(7, 7) - rot, 160.0 / 386.0, 1e-5, "STIT on rotation x");
    ExpectRel(SYS.MASS(8, 8) - rot, 160.0 / 386.0, 1e-5, "STIT on rotation y");
    ExpectRel(SYS.MASS(5, 5) - tr, 50.0 / 386.0, 1e-5, "disc weight");
    ExpectRel(SYS.MASS(3, 3), 4 * len * len * w / 420, 1e-6, "no disc at station 1");
}

TEST(Assembly, DefaultsAtTheEntryThresholdAndTablesMatchedInOrder) {
    ResetModel();
    UniformShaft(3, 2.0f, 20.0f, 1.0f);
    MODEL.SHAFT(1, 5) = MODEL.SHAFT(1, 4) = 1.0e-6f;  // recomputed
    MODEL.SHAFT(2, 5) = 2.0e-6f;                      // kept
    MODEL.SHAFT(2, 4) = 0.5f;                         // kept
    AddDisc(2, 1.0e-6f, 1.0e-6f, 0.0f);               // all three computed
    MODEL.DISC(1, 1) = 10.0f;
    MODEL.DISC(1, 2) = 2.0f;
    MODEL.DISC(1, 3) = 1.0f;
    AddDisc(1, 10.0f, 1.0f, 1.0f);  // out of order: ignored, and so is every later disc
    AddDisc(3, 10.0f, 1.0f, 1.0f);
    AddBearing(1, {});  // bearing weight zero: no default
    MODEL.NCM = 1;
    MODEL.WSTA(1) = 3;
    MODEL.WWT(1) = -2.0f;  // taken as it is
    AssembleRotorMatrices();
    ExpectRel(MODEL.SHAFT(1, 5), kPi / 4 * 3 * 10 * 0.283, 1e-6, "element weight");
    ExpectRel(MODEL.SHAFT(1, 4), kPi / 64 * 15, 1e-6, "element inertia");
    EXPECT_FLOAT_EQ(MODEL.SHAFT(2, 5), 2.0e-6f);
    EXPECT_FLOAT_EQ(MODEL.SHAFT(2, 4), 0.5f);
    const double dw = kPi / 4 * 96 * 1 * 0.283;
    ExpectRel(SYS.STDW(2), dw, 1e-6, "disc weight");
    ExpectRel(SYS.STIP(2), dw * 104 / 8, 1e-6, "disc polar");
    ExpectRel(SYS.STIT(2), dw * (3 * 104 + 4) / 48, 1e-6, "disc transverse");
    EXPECT_EQ(SYS.STDW(1), 0.0f);
    EXPECT_EQ(SYS.STDW(3), 0.0f);
    EXPECT_EQ(SYS.STBW(1), 0.0f);
    EXPECT_EQ(SYS.STWT(3), -2.0f);
    ExpectRel(SYS.MASS(9, 9), (2.0e-6 / 2 - 2.0) / 386.0, 1e-6, "added weight");
    ExpectRel(SYS.MASS(5, 5), ((MODEL.SHAFT(1, 5) + 2.0e-6) / 2 + dw) / 386.0, 1e-6, "disc station");
}

TEST(Assembly, PedestalNumberingAndSymmetry) {
    const float pedc[2][4] = {{7e5f, 8e5f, 30.0f, 40.0f}, {5e5f, 6e5f, 10.0f, 20.0f}};
    for (int opt = 1; opt <= 3; ++opt) {
        ResetModel();
        UniformShaft(5, 2.0f, 40.0f);
        AddDisc(2, 30.0f, 200.0f, 100.0f);
        AddDisc(4, 20.0f, 150.0f, 80.0f);
        AddBearing(1, {1e6f, 2e5f, 2e5f, 1.5e6f, 50, 10, 10, 60});
        AddBearing(3, {1e5f, 3e4f, 3e4f, 1e5f, 5, 1, 1, 5});
        AddBearing(5, {1e5f, 0, 0, 1e5f});
        for (int p = 0; p < 2; ++p) AddPedestal(3 + 2 * p, 100.0f * (p + 1), pedc[p][0], pedc[p][1], pedc[p][2], pedc[p][3]);
        OPTS.MASSOPT = opt;
        PrepareStep(0.0f);
        ASSERT_EQ(SYS.NDOF, 24);
        for (int j = 1; j <= 24; ++j)
            for (int i = 1; i <= 24; ++i) {
                EXPECT_EQ(SYS.MASS(i, j), SYS.MASS(j, i)) << opt << ": " << i << "," << j;
                EXPECT_EQ(SYS.STIFF0(i, j), SYS.STIFF0(j, i)) << opt << ": " << i << "," << j;
            }
        // Bearings with Sxy = Syx, on pedestals too, keep the stiffness symmetric.
        BuildSpeedMatrices(3000.0f);
        for (int j = 1; j <= 24; ++j)
            for (int i = 1; i <= 24; ++i) EXPECT_EQ(SYS.STIFF(i, j), SYS.STIFF(j, i)) << opt << ": " << i << "," << j;
    }
    const int flags[5] = {0, 0, 1, 0, 1};
    for (int s = 1; s <= 5; ++s) EXPECT_EQ(SYS.PEDFLAG(s), flags[s - 1]) << s;
    EXPECT_EQ(SYS.PEDPOS(1), 13);
    EXPECT_EQ(SYS.PEDPOS(2), 23);  // last station: the last two degrees of freedom
    // Element 3 joins station 3 (rows 9-12) and station 4 (rows 15-18).
    const double a = 12 * 3.0e7 * kPi / 4 / 1000.0;
    ExpectRel(SYS.STIFF0(9, 15), -a, 1e-5, "x3-x4 after the first pedestal");
    ExpectRel(SYS.STIFF0(15, 15), 2 * a, 1e-5, "x4 between elements");
    ExpectRel(SYS.STIFF0(19, 19), a, 1e-5, "x5 shifted by one pedestal");
    OPTS.MASSOPT = 2;
    AssembleRotorMatrices();
    ExpectRel(SYS.MASS(9, 15), MODEL.SHAFT(3, 5) / 386.0 / 6, 1e-6, "distributed coupling shifted");
    for (int p = 1; p <= 2; ++p) {
        const int pos = SYS.PEDPOS(p);
        for (int d = 0; d <= 1; ++d) {
            const int r = pos + d;
            ExpectRel(SYS.STIFF(r, r), pedc[p - 1][d], 1e-7, "pedestal spring");
            ExpectRel(SYS.DAMP(r, r), pedc[p - 1][2 + d], 1e-7, "pedestal damper");
            ExpectRel(SYS.MASS(r, r), 100.0 * p / 386.0, 1e-6, "pedestal mass");
            for (int j = 1; j <= 24; ++j)  // nothing else in the pedestal rows
                EXPECT_TRUE(j == r || (SYS.STIFF(r, j) == 0 && SYS.MASS(r, j) == 0 && SYS.DAMP(j, r) == 0)) << r << "," << j;
        }
    }
}

TEST(Assembly, ModelsThatCannotBeAnalysedAreRefused) {
    const std::pair<const char*, void (*)()> cases[] = {  // what the refusal names (nullptr: accepted)
        {nullptr, [] {}},
        {"Shaft element No.3", [] { MODEL.SHAFT(3, 3) = 0.0f; }},
        {"Shaft element No.1", [] { MODEL.SHAFT(1, 3) = -1.0f; }},
        {"speed No.3", [] { MODEL.SPEED(3) = 2000.0f; }},
        {nullptr, [] { MODEL.NSPEED = 1; MODEL.SPEED(1) = 2500.0f; }},  // constant coefficients: no table
        {"Disc No.2", [] { MODEL.DSTA(2) = 1; }},
        {"Disc No.2", [] { MODEL.DSTA(2) = 2; }},
        {"Bearing No.2", [] { MODEL.BSTA(2) = 6; }},
        {"Pedestal No.1", [] { MODEL.PSTA(1) = 3; }},
    };
    for (const auto& [says, change] : cases) {
        ResetModel();
        UniformShaft(5, 2.0f, 40.0f);
        AddBearing(1, {});
        AddBearing(4, {});
        AddPedestal(4, 10.0f, 1e5f, 1e5f);
        AddDisc(2, 1.0f, 1.0f, 1.0f);
        AddDisc(3, 1.0f, 1.0f, 1.0f);
        MODEL.NSPEED = 3;
        for (int j = 1; j <= 3; ++j) MODEL.SPEED(j) = 1000.0f * j;
        change();
        const std::string msg = ModelAnalysisRefusal();
        EXPECT_TRUE(says ? msg.find(says) != std::string::npos : msg.empty()) << (says ? says : "") << ": " << msg;
    }
}

// ---------------------------------------------------------------------------
// Per-speed matrices.

namespace {

// A scratch folder as the working directory for the files a test writes.
struct ScratchFolder {
    std::filesystem::path old = std::filesystem::current_path(), dir;
    ScratchFolder() : dir(std::filesystem::temp_directory_path() / ("korvo-fem-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
    }
    ~ScratchFolder() {
        ResetRecordIo();
        std::filesystem::current_path(old);
        std::filesystem::remove_all(dir);
    }
    static std::string Read(const char* name) {
        std::ifstream f(name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

// Three stations; cross-coupled bearings at stations 1 and 3, the second on a
// pedestal; a disc at station 2.
void ThreeStationRotor() {
    ResetModel();
    UniformShaft(3, 2.0f, 20.0f);
    AddBearing(1, {1.0e5f, 3.0e4f, -2.0e4f, 1.2e5f, 11.0f, 2.0f, -3.0f, 13.0f});
    AddBearing(3, {2.0e5f, 5.0e4f, -4.0e4f, 2.5e5f, 21.0f, 4.0f, -5.0f, 23.0f});
    AddDisc(2, 40.0f, 250.0f, 130.0f);
    AddPedestal(3, 60.0f, 7.0e5f, 9.0e5f, 31.0f, 37.0f);
}

float Kb(int b, int i, int j) { return MODEL.BCOEF(1, b, 1 + 2 * i + j); }
float Cb(int b, int i, int j) { return MODEL.BCOEF(1, b, 5 + 2 * i + j); }

}  // namespace

TEST(SpeedMatrices, BearingBlocksPedestalCouplingGyroscopicTermsAndRecords) {
    ScratchFolder scratch;
    ThreeStationRotor();
    OPTS.SPLSTORE = 1;  // records only to the units opened for them
    ASSERT_EQ(OpenUnit(BrgStiffUnit(1), Text14("k1.dat"), Text3("NEW")), 0);
    ASSERT_EQ(OpenUnit(BrgDampUnit(2), Text14("c2.dat"), Text3("NEW")), 0);
    PrepareStep(0.0f);
    ASSERT_EQ(SYS.NDOF, 14);
    const int r = 9, p = 13;  // station 3 and its pedestal
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 1; ++j) {
            EXPECT_FLOAT_EQ(SYS.BRGBLK(1 + i, 1 + j), Kb(1, i, j));
            EXPECT_FLOAT_EQ(SYS.BRGBLK(1 + i, 3 + j), Cb(1, i, j));
            EXPECT_FLOAT_EQ(SYS.BRGBLK(5 + i, 3 + j), Cb(2, i, j));
            EXPECT_EQ(SYS.BRGBLK(3 + i, 1 + j), 0.0f);  // no bearing at station 2
            EXPECT_EQ(SYS.STIFF(1 + i, 1 + j), SYS.STIFF0(1 + i, 1 + j) + Kb(1, i, j));
            EXPECT_EQ(SYS.DAMP(1 + i, 1 + j), SYS.DAMP0(1 + i, 1 + j) + Cb(1, i, j));
            EXPECT_EQ(SYS.STIFF(5 + i, 5 + j), SYS.STIFF0(5 + i, 5 + j));
            // The bearing on the pedestal acts on the relative motion: -Kb in
            // both coupling blocks (not its transpose in the station rows).
            const float k = Kb(2, i, j), c = Cb(2, i, j);
            EXPECT_EQ(SYS.STIFF(r + i, r + j), SYS.STIFF0(r + i, r + j) + k);
            EXPECT_EQ(SYS.STIFF(p + i, r + j), -k);
            EXPECT_EQ(SYS.STIFF(r + i, p + j), -k);
            EXPECT_EQ(SYS.DAMP(p + i, r + j), -c);
            EXPECT_EQ(SYS.DAMP(r + i, p + j), -c);
            EXPECT_EQ(SYS.STIFF(p + i, p + j), (i == j ? MODEL.PEDC(1, 1 + i) : 0.0f) + k);
            EXPECT_EQ(SYS.DAMP(p + i, p + j), (i == j ? MODEL.PEDC(1, 3 + i) : 0.0f) + c);
        }
    for (int j = 1; j <= 8; ++j) EXPECT_EQ(SYS.STIFF(p, j), 0.0f);

    // Gyroscopic pair at the disc only: zero at rest, proportional to speed.
    EXPECT_EQ(SYS.DAMP(7, 8), 0.0f);
    const double g = 250.0 / 386.0 * 100.0 * kPi;
    for (float rpm : {3000.0f, 6000.0f, -3000.0f}) {
        BuildSpeedMatrices(rpm);
        EXPECT_NEAR(SYS.OMEGA, kPi * rpm / 30, 1e-3);
        EXPECT_NEAR(SYS.DAMP(7, 8), g * rpm / 3000, g * 1e-6) << rpm;
        EXPECT_EQ(SYS.DAMP(8, 7), -SYS.DAMP(7, 8));
        EXPECT_EQ(SYS.DAMP(3, 4), 0.0f);
        EXPECT_EQ(SYS.DAMP(11, 12), 0.0f);
    }
    // Constant coefficients are evaluated (and recorded) once per run; the
    // matrices are rebuilt from the base copies and do not accumulate.
    const float k11 = SYS.STIFF(1, 1);
    MODEL.BCOEF(1, 1, 1) = 9.0e9f;
    BuildSpeedMatrices(0.0f);
    EXPECT_EQ(SYS.STIFF(1, 1), k11);
    CloseUnit(BrgStiffUnit(1));
    CloseUnit(BrgDampUnit(2));
    SYS.BRGDONE = 0;  // a new run
    BuildSpeedMatrices(2000.0f);
    EXPECT_FLOAT_EQ(SYS.BRGBLK(1, 1), 9.0e9f);
    // G10.3: three significant digits; records end in CR LF.
    const std::string k1 = ScratchFolder::Read("k1.dat"), c2 = ScratchFolder::Read("c2.dat");
    EXPECT_EQ(NumberLines(k1), (std::vector<std::vector<double>>{{0.0, 1.0e5, 3.0e4, -2.0e4, 1.2e5}}));
    EXPECT_EQ(NumberLines(c2), (std::vector<std::vector<double>>{{0.0, 21.0, 4.0, -5.0, 23.0}}));
    EXPECT_TRUE(k1.ends_with("\r\n"));
}

TEST(SpeedMatrices, SplineValuesAtTheTableSpeeds) {
    // Coefficients non-linear in speed at four speeds. Upward, every table
    // speed is met in the interval that ends there (the first one at the
    // start of its interval, exactly).
    ThreeStationRotor();
    MODEL.NSPEED = 4;
    const float sp[4] = {1000.0f, 2000.0f, 3500.0f, 4000.0f};
    for (int j = 1; j <= 4; ++j) {
        MODEL.SPEED(j) = sp[j - 1];
        for (int m = 1; m <= 16; ++m)
            MODEL.BCOEF(j, (m + 7) / 8, (m - 1) % 8 + 1) = (1000.0f + 100.0f * m) * (1.0f + 0.3f * j + 0.05f * j * j * j);
    }
    static Vec<float, 99> s;
    static Array2<float, 396, 4> work;
    FitSplineTables(2, 4, 1, 8, MODEL.SPEED.data(), MODEL.BCOEF.view(), SYS.SPLCOEF.view(), s.data(), work.view());
    PrepareStep(1000.0f);
    for (int j = 1; j <= 4; ++j) {
        SYS.ISPAN = std::max(1, j - 1);
        BuildSpeedMatrices(MODEL.SPEED(j));
        for (int b = 1; b <= 2; ++b)
            for (int i = 0; i <= 1; ++i)
                for (int k = 0; k <= 3; ++k) {
                    const float want = MODEL.BCOEF(j, b, (k < 2 ? 1 : 3) + 2 * i + k);
                    EXPECT_NEAR(SYS.BRGBLK(4 * b - 3 + i, 1 + k), want, std::fabs(want) * (j == 1 ? 0 : 2e-5)) << j;
                }
    }
}

namespace {

// Shaft on two cross-coupled bearings with a gyroscopic disc at 4000 RPM; the
// bearing at station 5 (coefficients b5) on a pedestal when pwt > 0.
void CoupledRotor(const std::vector<float>& b5, float pwt, float kpx = 0, float kpy = 0) {
    ResetModel();
    UniformShaft(5, 2.0f, 40.0f);
    AddBearing(1, {2.0e5f, 8.0e4f, -8.0e4f, 2.4e5f, 40.0f, 5.0f, -3.0f, 45.0f});
    AddBearing(5, b5);
    AddDisc(3, 50.0f, 600.0f, 300.0f);
    if (pwt > 0) AddPedestal(5, pwt, kpx, kpy);
    PrepareStep(4000.0f);
}

// The damped eigenvalues of the current matrices.
std::vector<std::complex<double>> Eigenvalues() {
    OPTS.MAINOPT = 2;
    DampedStep();
    std::vector<std::complex<double>> ev;
    for (int i = 1; i <= 2 * SYS.NDOF; ++i) ev.emplace_back(RES.WR(i), RES.WI(i));
    return ev;
}

// Largest distance of an eigenvalue of `want` from the nearest one of the
// current matrices, relative to its modulus.
double WorstMatch(const std::vector<std::complex<double>>& want) {
    const auto got = Eigenvalues();
    double worst = 0;
    for (auto w : want) {
        double best = 1e300;
        for (auto g : got) best = std::min(best, std::abs(g - w));
        worst = std::max(worst, best / std::abs(w));
    }
    return worst;
}

}  // namespace

TEST(SpeedMatrices, BearingsOnPedestalsAgainstGroundedBearings) {
    // A nearly rigid pedestal: the rotor of the same bearing fixed to ground.
    const std::vector<float> b5 = {2.2e5f, 6.0e4f, -9.0e4f, 2.0e5f, 50.0f, -4.0f, 6.0f, 35.0f};
    CoupledRotor(b5, 0);
    const auto grounded = Eigenvalues();
    ASSERT_EQ(grounded.size(), 40u);
    CoupledRotor(b5, 1.0f, 1.0e9f, 1.0e9f);
    ASSERT_EQ(SYS.NDOF, 22);
    EXPECT_LT(WorstMatch(grounded), 2e-3);

    // An undamped bearing Kb on a pedestal Kp of negligible mass supports the
    // shaft like a grounded bearing Kb (Kb + Kp)^-1 Kp (springs in series).
    const double kb[2][2] = {{2.2e5, 6.0e4}, {-9.0e4, 2.0e5}}, kp[2] = {3.0e5, 4.0e5};
    const double s[2][2] = {{kb[0][0] + kp[0], kb[0][1]}, {kb[1][0], kb[1][1] + kp[1]}};
    const double det = s[0][0] * s[1][1] - s[0][1] * s[1][0];
    const double si[2][2] = {{s[1][1] / det, -s[0][1] / det}, {-s[1][0] / det, s[0][0] / det}};
    std::vector<float> keff(8, 0.0f);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            keff[2 * i + j] = static_cast<float>((kb[i][0] * si[0][j] + kb[i][1] * si[1][j]) * kp[j]);
    CoupledRotor(keff, 0);
    const auto series = Eigenvalues();
    CoupledRotor({2.2e5f, 6.0e4f, -9.0e4f, 2.0e5f}, 1.0e-4f, 3.0e5f, 4.0e5f);
    EXPECT_LT(WorstMatch(series), 1e-3);
    // The transposed coupling in the station rows is a different rotor.
    for (int i = 0; i <= 1; ++i)
        for (int j = 0; j <= 1; ++j) SYS.STIFF(17 + i, 21 + j) = -SYS.BRGBLK(9 + j, 1 + i);
    EXPECT_GT(WorstMatch(series), 1e-2);
}
