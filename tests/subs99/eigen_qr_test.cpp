// Real general eigenvalues: balancing, Hessenberg reduction, QR iteration.
#include <limits>

#include "tests/subs99/numerics_test.h"
#include "tests/subs99/shaft_model.h"

namespace {
using C = std::complex<double>;
const double PI = 3.14159265358979323846;

TEST(RealEigenvalues, TriangularMatricesComeOutInIsolationOrder) {
    // Upper triangular: each last row isolates at once, in place.
    Dense up = Dense::Rows({{3, 1, 2, 5, 1}, {0, -1, 4, 1, 2}, {0, 0, 4, 3, 3}, {0, 0, 0, 1, 7}, {0, 0, 0, 0, 5}});
    Spectrum s = Eigenvalues(up);
    EXPECT_EQ(s.ierr, 0);
    EXPECT_EQ(s.wr, (std::vector<double>{3, -1, 4, 1, 5}));
    EXPECT_EQ(s.wi, (std::vector<double>(5, 0.0)));

    // Lower triangular: row 1 is the first isolated row and is exchanged with
    // the last, which reverses the order.
    Spectrum lo = Eigenvalues(Dense::Rows({{1, 0, 0}, {4, 2, 0}, {5, 6, 3}}));
    EXPECT_EQ(lo.wr, (std::vector<double>{3, 2, 1}));

    // A diagonal matrix keeps its order (not sorted).
    Spectrum dg = Eigenvalues(Dense::Rows({{2, 0, 0, 0}, {0, -7, 0, 0}, {0, 0, 9, 0}, {0, 0, 0, 1}}));
    EXPECT_EQ(dg.wr, (std::vector<double>{2, -7, 9, 1}));
}

TEST(RealEigenvalues, RotationGivesOnePairPositiveImaginaryPartFirst) {
    Spectrum s = Eigenvalues(Dense::Rows({{0, 1}, {-1, 0}}));
    EXPECT_EQ(s.ierr, 0);
    EXPECT_EQ(s.wr, (std::vector<double>{0, 0}));
    EXPECT_EQ(s.wi, (std::vector<double>{1, -1}));
}

TEST(RealEigenvalues, OrderAboveTheLeadingDimensionIsRefused) {
    std::vector<double> a(9, 1.0), wr(4, 42.0), wi(4, 42.0);
    static EigenWork work;
    int ierr = 0;
    RealEigenvalues(Mat<double>(a.data(), 3), 4, wr.data(), wi.data(), work, ierr, 2.0, 1.49e-8);
    EXPECT_EQ(ierr, 40);
    EXPECT_EQ(wr, std::vector<double>(4, 42.0));
    EXPECT_EQ(a, std::vector<double>(9, 1.0));
}

TEST(RealEigenvalues, CompanionMatricesOfChosenPolynomials) {
    const std::vector<std::vector<C>> rootSets = {
        {C(1), C(2), C(3), C(-4), C(0.5, 2), C(0.5, -2), C(-1, 1), C(-1, -1)},
        {C(10), C(-0.1), C(3, 7), C(3, -7), C(0, 1.5), C(0, -1.5), C(-2, 0.25), C(-2, -0.25), C(6)},
    };
    for (const auto& roots : rootSets) {
        // Coefficients of prod (x - r), highest first, in long double.
        std::vector<std::complex<long double>> c{1.0L};
        for (C r : roots) {
            c.push_back(0.0L);
            for (size_t i = c.size() - 1; i > 0; --i) c[i] -= std::complex<long double>(r) * c[i - 1];
        }
        const int n = static_cast<int>(roots.size());
        Dense a(n);
        for (int i = 2; i <= n; ++i) a(i, i - 1) = 1.0;
        for (int i = 1; i <= n; ++i) a(i, n) = -static_cast<double>(c[n - i + 1].real());
        Spectrum s = Eigenvalues(a);
        EXPECT_EQ(s.ierr, 0);
        double big = 0.0;
        for (C r : roots) big = std::max(big, std::abs(r));
        EXPECT_LT(SpectrumDistance(s, roots), 1e-9 * big);
    }
}

// Checks that complex eigenvalues come as consecutive conjugate pairs with
// the positive imaginary part first.
void ExpectConjugatePairs(const Spectrum& s) {
    for (size_t i = 0; i < s.wi.size(); ++i) {
        if (s.wi[i] == 0.0) continue;
        ASSERT_GT(s.wi[i], 0.0) << i;
        ASSERT_LT(i + 1, s.wi.size());
        EXPECT_EQ(s.wi[i + 1], -s.wi[i]);
        EXPECT_EQ(s.wr[i + 1], s.wr[i]);
        ++i;
    }
}

TEST(RealEigenvalues, SimilarityTransformOfChosenBlocks) {
    // B = blocks [[a, b], [-b, a]] (eigenvalues a +- ib) and real values;
    // A = S B S^-1 with S = H (I + N): H a reflection, N strictly upper.
    const std::vector<std::pair<double, double>> pairs = {{-0.5, 30.0}, {-2.0, 3.0}, {0.1, 0.5}, {-10.0, 100.0}};
    const std::vector<double> reals = {4.0, -7.0, 0.0};
    const int n = static_cast<int>(2 * pairs.size() + reals.size());
    Dense b(n);
    std::vector<C> expect;
    int p = 1;
    for (auto [re, im] : pairs) {
        b(p, p) = b(p + 1, p + 1) = re;
        b(p, p + 1) = im;
        b(p + 1, p) = -im;
        expect.push_back(C(re, im));
        expect.push_back(C(re, -im));
        p += 2;
    }
    for (double r : reals) {
        b(p, p) = r;
        expect.push_back(C(r));
        ++p;
    }
    Dense u = Dense::Identity(n), uinv = Dense::Identity(n);
    for (int j = 2; j <= n; ++j)
        for (int i = 1; i < j; ++i) u(i, j) = 0.3 * std::sin(1.0 + i * j);
    for (int j = 1; j <= n; ++j)  // inverse of the unit upper triangle, column by column
        for (int i = j - 1; i >= 1; --i) {
            double s = 0.0;
            for (int k = i + 1; k <= j; ++k) s += u(i, k) * uinv(k, j);
            uinv(i, j) = -s;
        }
    Dense h = Dense::Identity(n);
    std::vector<double> v(n);
    double vv = 0.0;
    for (int i = 0; i < n; ++i) {
        v[i] = std::cos(0.7 * i) + 0.2;
        vv += v[i] * v[i];
    }
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) h(i, j) -= 2.0 * v[i - 1] * v[j - 1] / vv;
    const Dense a = Multiply(Multiply(h, Multiply(u, Multiply(b, uinv))), h);
    Spectrum s = Eigenvalues(a);
    EXPECT_EQ(s.ierr, 0);
    EXPECT_LT(SpectrumDistance(s, expect), 1e-10 * 100.0);
    ExpectConjugatePairs(s);
}

TEST(RealEigenvalues, TridiagonalToeplitzMatrices) {
    // tridiag(a, d, c) has eigenvalues d + 2 sqrt(a c) cos(k pi/(n+1)),
    // complex for a c < 0. (Their condition grows like (c/a)^(n/2), which
    // balancing cannot reduce since row and column sums are already equal:
    // the cases stay near normal.)
    const int n = 24;
    struct Case {
        double a, d, c;
    };
    for (Case t : {Case{1.0, 3.0, 1.0}, Case{2.0, 0.0, -2.0}, Case{1.0, 3.0, 1.2}, Case{-1.1, 0.5, 1.0}}) {
        Dense m(n);
        for (int i = 1; i <= n; ++i) {
            m(i, i) = t.d;
            if (i < n) {
                m(i + 1, i) = t.a;
                m(i, i + 1) = t.c;
            }
        }
        std::vector<C> expect;
        const C root = std::sqrt(C(t.a * t.c));
        for (int k = 1; k <= n; ++k) expect.push_back(t.d + 2.0 * root * std::cos(k * PI / (n + 1)));
        Spectrum s = Eigenvalues(m);
        EXPECT_EQ(s.ierr, 0);
        EXPECT_LT(SpectrumDistance(s, expect), 1e-8 * (std::fabs(t.d) + std::abs(2.0 * root))) << t.a << " " << t.c;
        ExpectConjugatePairs(s);
    }
}

TEST(RealEigenvalues, BalancingUndoesAWideDiagonalScaling) {
    // A = D S D^-1 with S = H L H symmetric (H a reflection, L diagonal) and
    // D = diag(2^(6 i)): entries span 2^+-42, the eigenvalues are those of L.
    const int n = 8;
    const double lambda[n] = {-3.0, 1.0, 2.5, 4.0, -0.5, 7.0, 10.0, 0.125};
    std::vector<double> v(n);
    double vv = 0.0;
    for (int i = 0; i < n; ++i) {
        v[i] = 1.0 + 0.3 * i;
        vv += v[i] * v[i];
    }
    Dense h = Dense::Identity(n), l(n);
    for (int i = 1; i <= n; ++i) {
        l(i, i) = lambda[i - 1];
        for (int j = 1; j <= n; ++j) h(i, j) -= 2.0 * v[i - 1] * v[j - 1] / vv;
    }
    Dense a = Multiply(h, Multiply(l, h));
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) a(i, j) = std::ldexp(a(i, j), 6 * (i - j));
    Spectrum s = Eigenvalues(a);
    EXPECT_EQ(s.ierr, 0);
    std::vector<C> expect(lambda, lambda + n);
    EXPECT_LT(SpectrumDistance(s, expect), 1e-8 * 10.0);  // unbalanced: off by about 1e2
}

TEST(RealEigenvalues, CyclicPermutationNeedsTheExceptionalShifts) {
    // The standard shifts of a cyclic permutation are zero and the iteration
    // stalls until the exceptional shift; the eigenvalues are roots of unity.
    for (int n : {3, 4, 7}) {
        Dense a(n);
        for (int i = 2; i <= n; ++i) a(i, i - 1) = 1.0;
        a(1, n) = 1.0;
        Spectrum s = Eigenvalues(a);
        EXPECT_EQ(s.ierr, 0) << n;
        std::vector<C> expect;
        for (int k = 0; k < n; ++k) expect.push_back(std::polar(1.0, 2.0 * PI * k / n));
        EXPECT_LT(SpectrumDistance(s, expect), 1e-7) << n;
    }
}

TEST(RealEigenvalues, GivingUpReportsTheIndexAndKeepsLaterEigenvalues) {
    // Row 4 is isolated (eigenvalue 7); the NaN keeps the rest from
    // converging, so the iteration stops at eigenvalue 3 after 30 steps.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Dense a = Dense::Rows({{nan, 1, 0, 2}, {1, 1, 1, 0}, {0, 1, 1, 5}, {0, 0, 0, 7}});
    std::vector<double> wr(4, -1.0), wi(4, -1.0);
    static EigenWork work;
    int ierr = 0;
    RealEigenvalues(a.view(), 4, wr.data(), wi.data(), work, ierr, 2.0, 1.4901161193847656e-08);
    EXPECT_EQ(ierr, 3);
    EXPECT_EQ(wr[3], 7.0);
    EXPECT_EQ(wi[3], 0.0);
    EXPECT_EQ(wr[0], -1.0);  // not reached

    // An infinite entry: balancing leaves its row alone and the iteration
    // gives up instead of running on.
    Dense b = Dense::Rows({{1, 2, 3}, {4, 5, std::numeric_limits<double>::infinity()}, {7, 8, 9}});
    EXPECT_NE(Eigenvalues(b).ierr, 0);
}

// First-order form [[0, -M^-1 K], [I, 0]] of an undamped shaft at rest with
// lumped (diagonal) mass: eigenvalues are +-i omega, omega^2 those of
// K x = omega^2 M x.
TEST(RealEigenvalues, UndampedShaftAtRestMatchesTheJacobiFrequencies) {
    ShaftDesign design;  // 2 in x 40 in steel shaft, 20 elements, stiff bearings
    design.elements = 20;
    design.kxx = 1e8;
    design.kyy = 2e8;
    const ShaftMatrices shaft = BuildShaft(design);
    const int nd = shaft.ndof;
    const int n = 2 * nd;
    Dense a(n);
    for (int j = 1; j <= nd; ++j) {
        for (int i = 1; i <= nd; ++i)
            a(i, nd + j) = -shaft.k[(i - 1) + (j - 1) * nd] / shaft.m[(i - 1) + (i - 1) * nd];
        a(nd + j, j) = 1.0;
    }
    Spectrum s = Eigenvalues(a);
    ASSERT_EQ(s.ierr, 0);

    Dense k(nd), m(nd), x(nd);
    k.v = shaft.k;
    m.v = shaft.m;
    std::vector<double> eig(nd), sorted(nd), sw(nd), d(nd);
    std::vector<int> order(nd), inv(nd);
    int ierr = -1, sweeps = 0;
    JacobiGeneralized(k.view(), m.view(), x.view(), eig.data(), sorted.data(), sw.data(), d.data(), order.data(),
                      inv.data(), nd, ierr, sweeps);
    ASSERT_EQ(ierr, 0);

    // Real parts vanish to the level of the deflation tolerance 2^-26, for
    // the lowest modes as for the highest.
    std::vector<double> omega;
    for (int i = 0; i < n; ++i) {
        EXPECT_LT(std::fabs(s.wr[i]), 1e-8 * std::abs(C(s.wr[i], s.wi[i]))) << i;
        if (s.wi[i] > 0.0) omega.push_back(s.wi[i]);
    }
    ASSERT_EQ(static_cast<int>(omega.size()), nd);
    std::sort(omega.begin(), omega.end());
    for (int i = 0; i < nd; ++i) {
        const double ref = std::sqrt(eig[i]);
        EXPECT_NEAR(omega[i], ref, 1e-5 * ref) << "mode " << i + 1;
    }
    ExpectConjugatePairs(s);
}

}  // namespace

namespace {
// The reduction written out step by step (sums in the order igh down to m),
// against which the single-pass form must agree bit for bit.
void ReduceStepByStep(Dense& a, int low, int igh, std::vector<double>& ort) {
    const int n = a.n;
    for (int m = low + 1; m <= igh - 1; ++m) {
        double h = 0.0, scale = 0.0;
        ort[m - 1] = 0.0;
        for (int i = m; i <= igh; ++i) scale += std::fabs(a(i, m - 1));
        if (scale == 0.0) continue;
        for (int i = igh; i >= m; --i) {
            ort[i - 1] = a(i, m - 1) / scale;
            h += ort[i - 1] * ort[i - 1];
        }
        const double g = ort[m - 1] >= 0.0 ? -std::sqrt(h) : std::sqrt(h);
        h -= ort[m - 1] * g;
        ort[m - 1] -= g;
        for (int j = m; j <= n; ++j) {
            double f = 0.0;
            for (int i = igh; i >= m; --i) f += ort[i - 1] * a(i, j);
            f /= h;
            for (int i = m; i <= igh; ++i) a(i, j) -= f * ort[i - 1];
        }
        for (int i = 1; i <= igh; ++i) {
            double f = 0.0;
            for (int j = igh; j >= m; --j) f += ort[j - 1] * a(i, j);
            f /= h;
            for (int j = m; j <= igh; ++j) a(i, j) -= f * ort[j - 1];
        }
        ort[m - 1] *= scale;
        a(m, m - 1) = scale * g;
    }
}

TEST(ReduceToHessenberg, AgreesBitForBitWithTheStepByStepReduction) {
    struct Case {
        int n, low, igh;
    };
    for (Case c : {Case{1, 1, 1}, Case{3, 1, 3}, Case{29, 1, 29}, Case{40, 3, 35}, Case{61, 1, 61},
                   Case{173, 6, 160}, Case{800, 780, 792} /* igh at the work-space limit */}) {
        Dense a(c.n, c.n + 2);
        const std::vector<double> r = RandomMatrix(c.n, c.n + 2, 40 + c.n);
        a.v = r;
        if (c.n == 61)  // a column that is already reduced: that step is skipped
            for (int i = 12; i <= c.n; ++i) a(i, 10) = 0.0;
        if (c.n == 173)  // the same at the end of a block of steps
            for (int i = c.low + 65; i <= c.n; ++i) a(i, c.low + 64) = 0.0;
        Dense b = a;
        std::vector<double> ort1(c.n, 0.0), ort2(c.n, 0.0);
        static HessenbergWork work;
        ReduceToHessenberg(a.view(), c.n, c.low, c.igh, ort1.data(), work);
        ReduceStepByStep(b, c.low, c.igh, ort2);
        EXPECT_EQ(a.v, b.v) << c.n;
        for (int m = c.low + 1; m < c.igh; ++m) EXPECT_EQ(ort1[m - 1], ort2[m - 1]) << c.n;
    }
}
}  // namespace
