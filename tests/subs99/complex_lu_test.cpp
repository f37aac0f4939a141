// Complex vector kernels, factorisation and solve.
#include "tests/subs99/numerics_test.h"
#include "tests/subs99/shaft_model.h"

namespace {
using C = std::complex<double>;

ZDouble Z(double re, double im = 0.0) { return ZDouble{re, im}; }
C Cx(ZDouble z) { return C(z.re, z.im); }

struct ComplexDense {
    int n, ld;
    std::vector<ZDouble> v;
    ComplexDense(int order, int lead) : n(order), ld(lead), v(static_cast<size_t>(lead) * order) {}
    ZDouble& operator()(int i, int j) { return v[(i - 1) + static_cast<size_t>(j - 1) * ld]; }
    Mat<ZDouble> view() { return Mat<ZDouble>(v.data(), ld); }
};

TEST(ComplexKernels, MaxIndexTakesTheFirstLargestMeasure) {
    // Measure |re| + |im|: 3, 4, 4, 1.
    const std::vector<ZDouble> x{Z(1, 2), Z(-3, 1), Z(2, -2), Z(0, 1)};
    EXPECT_EQ(ComplexMaxIndex(4, x.data()), 2);
    EXPECT_EQ(ComplexMaxIndex(0, x.data()), 0);
    EXPECT_EQ(ComplexMaxIndex(1, x.data()), 1);
    EXPECT_EQ(ComplexMaxIndex(3, x.data() + 1), 1);
}

// Products formed one operation at a time (this helper is kept scalar, so
// the compiler cannot fuse its multiplications and additions).
[[gnu::optimize("no-tree-vectorize")]] ZDouble MulAdd(ZDouble y, ZDouble a, ZDouble x) {
    return Z(y.re + (a.re * x.re - a.im * x.im), y.im + (a.im * x.re + a.re * x.im));
}

TEST(ComplexKernels, RoundEveryOperationSeparately) {
    // No fused multiply-add: the vectorised kernels must give exactly the
    // separately rounded products and sums, on any target.
    const int n = 37;
    const std::vector<double> r = RandomMatrix(4 * n, 4 * n, 77);
    std::vector<ZDouble> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = Z(r[i], r[n + i]);
        y[i] = Z(r[2 * n + i], r[3 * n + i]);
    }
    const ZDouble a = Z(0.3711, -1.2377);
    std::vector<ZDouble> ya = y, xs = x;
    ComplexAxpy(n, a, x.data(), ya.data());
    ComplexScale(n, a, xs.data());
    for (int i = 0; i < n; ++i) {
        const ZDouble e = MulAdd(y[i], a, x[i]);
        EXPECT_EQ(ya[i].re, e.re) << i;
        EXPECT_EQ(ya[i].im, e.im) << i;
        const ZDouble s = MulAdd(Z(0.0), a, x[i]);
        EXPECT_EQ(xs[i].re, s.re) << i;
        EXPECT_EQ(xs[i].im, s.im) << i;
    }
    // a = 0 and n <= 0 leave y alone.
    std::vector<ZDouble> y0 = y;
    ComplexAxpy(n, Z(0, 0), x.data(), y0.data());
    ComplexAxpy(0, a, x.data(), y0.data());
    for (int i = 0; i < n; ++i) EXPECT_EQ(Cx(y0[i]), Cx(y[i]));
}

TEST(ComplexLuFactor, OrderOneAndZeroPivots) {
    ComplexDense one(1, 1);
    int ipvt[4] = {0, 0, 0, 0};
    int info = -1;
    one(1, 1) = Z(2, 1);
    ComplexLuFactor(one.view(), 1, ipvt, info);
    EXPECT_EQ(ipvt[0], 1);
    EXPECT_EQ(info, 0);
    one(1, 1) = Z(0, 0);
    ComplexLuFactor(one.view(), 1, ipvt, info);
    EXPECT_EQ(info, 1);

    // First column zero: INFO = 1, the later columns are still factored.
    ComplexDense a(3, 4);
    a(1, 2) = Z(1, 1);
    a(2, 2) = Z(4, 0);
    a(3, 2) = Z(2, 0);
    a(1, 3) = Z(1);
    a(2, 3) = Z(0, 1);
    a(3, 3) = Z(3);
    ComplexLuFactor(a.view(), 3, ipvt, info);
    EXPECT_EQ(info, 1);
    EXPECT_EQ(ipvt[0], 1);
    EXPECT_EQ(ipvt[1], 2);
    EXPECT_EQ(ipvt[2], 3);
    EXPECT_EQ(Cx(a(3, 2)), C(-0.5, 0.0));  // negated multiplier 2/4

    // Last pivot zero: INFO = N.
    ComplexDense s(2, 2);
    s(1, 1) = Z(1);
    s(2, 1) = Z(2);
    s(1, 2) = Z(2);
    s(2, 2) = Z(4);
    ComplexLuFactor(s.view(), 2, ipvt, info);
    EXPECT_EQ(info, 2);
}

TEST(ComplexLuFactor, EqualCandidatesTakeTheUpperRow) {
    // Measures in column 1: 1, 3, 3 (rows 2 and 3 tie).
    ComplexDense a(3, 3);
    a(1, 1) = Z(1);
    a(2, 1) = Z(1, -2);
    a(3, 1) = Z(-2, 1);
    a(1, 2) = a(2, 3) = a(3, 3) = Z(1);
    a(2, 2) = Z(0, 5);
    a(1, 3) = Z(2);
    int ipvt[3];
    int info = -1;
    ComplexLuFactor(a.view(), 3, ipvt, info);
    EXPECT_EQ(info, 0);
    EXPECT_EQ(ipvt[0], 2);
    EXPECT_EQ(Cx(a(1, 1)), C(1, -2));  // pivot exchanged into place
}

TEST(ComplexLuSolve, DiagonalAndDenseSystems) {
    ComplexDense d(3, 5);
    d(1, 1) = Z(2);
    d(2, 2) = Z(0, 4);
    d(3, 3) = Z(1, 1);
    int ipvt[3];
    int info = -1;
    ComplexLuFactor(d.view(), 3, ipvt, info);
    std::vector<ZDouble> b{Z(4, 2), Z(8), Z(2)};
    ComplexLuSolve(d.view(), 3, ipvt, b.data());
    EXPECT_EQ(Cx(b[0]), C(2, 1));
    EXPECT_EQ(Cx(b[1]), C(0, -2));
    EXPECT_EQ(Cx(b[2]), C(1, -1));

    // Dynamic stiffness of a damped shaft (leading dimension above the order)
    // and a random matrix: residual of A x = b.
    ShaftDesign design;
    design.elements = 15;
    design.lumped = false;
    design.cxx = 200;
    design.cyy = 300;
    design.pedestals = 2;
    design.spin = 900;
    const ShaftMatrices sh = BuildShaft(design);
    const int n = sh.ndof;
    const double w = 1500.0;
    const std::vector<double> rnd = RandomMatrix(2 * n, 2 * n, 9);
    for (int which = 0; which < 2; ++which) {
        ComplexDense a(n, n + 7);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) {
                const size_t p = (i - 1) + static_cast<size_t>(j - 1) * n;
                const size_t q = (i - 1) + static_cast<size_t>(j - 1) * 2 * n;
                a(i, j) = which == 0 ? Z(sh.k[p] - w * w * sh.m[p], w * sh.c[p]) : Z(rnd[q], rnd[q + n]);
            }
        ComplexDense f = a;
        std::vector<int> piv(n);
        ComplexLuFactor(f.view(), n, piv.data(), info);
        EXPECT_EQ(info, 0);
        std::vector<ZDouble> x(n);
        for (int i = 0; i < n; ++i) x[i] = Z(std::cos(i), std::sin(2.0 * i));
        const std::vector<ZDouble> rhs = x;
        ComplexLuSolve(f.view(), n, piv.data(), x.data());
        double worst = 0.0, scale = 0.0;
        for (int i = 1; i <= n; ++i) {
            C r = -Cx(rhs[i - 1]);
            for (int j = 1; j <= n; ++j) {
                r += Cx(a(i, j)) * Cx(x[j - 1]);
                scale = std::max(scale, std::abs(Cx(a(i, j))) * std::abs(Cx(x[j - 1])));
            }
            worst = std::max(worst, std::abs(r));
        }
        EXPECT_LT(worst, 1e-12 * scale) << which;
    }
}

}  // namespace

namespace {
// The elimination written out step by step (each step updates all later
// columns), against which the panel form must agree bit for bit.
void FactorStepByStep(ComplexDense& a, std::vector<int>& ipvt, int& info) {
    const int n = a.n;
    info = 0;
    for (int k = 1; k <= n - 1; ++k) {
        const int l = ComplexMaxIndex(n - k + 1, &a(k, k)) + k - 1;
        ipvt[k - 1] = l;
        if (std::fabs(a(l, k).re) + std::fabs(a(l, k).im) == 0.0) {
            info = k;
            continue;
        }
        if (l != k) std::swap(a(l, k), a(k, k));
        const ZDouble r = ComplexQuotient(Z(1.0), a(k, k));
        ComplexScale(n - k, Z(-r.re, -r.im), &a(k + 1, k));
        for (int j = k + 1; j <= n; ++j) {
            const ZDouble t = a(l, j);
            if (l != k) {
                a(l, j) = a(k, j);
                a(k, j) = t;
            }
            ComplexAxpy(n - k, t, &a(k + 1, k), &a(k + 1, j));
        }
    }
    ipvt[n - 1] = n;
    if (std::fabs(a(n, n).re) + std::fabs(a(n, n).im) == 0.0) info = n;
}

TEST(ComplexLuFactor, AgreesBitForBitWithTheStepByStepElimination) {
    for (int n : {1, 2, 5, 33, 70, 101}) {
        ComplexDense a(n, n + 3);
        const std::vector<double> r = RandomMatrix(2 * n, 2 * n, 100 + n);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i)
                a(i, j) = Z(r[(i - 1) + (j - 1) * 2 * n], r[(n + i - 1) + (j - 1) * 2 * n]);
        if (n == 70) {  // a zero pivot inside a panel and zeros in pivot rows
            for (int i = 1; i <= n; ++i) a(i, 40) = Z(0.0);
            for (int j = 50; j <= 60; ++j) a(3, j) = Z(0.0);
        }
        ComplexDense b = a;
        std::vector<int> p1(n), p2(n);
        int info1 = -1, info2 = -1;
        ComplexLuFactor(a.view(), n, p1.data(), info1);
        FactorStepByStep(b, p2, info2);
        EXPECT_EQ(info1, info2) << n;
        EXPECT_EQ(p1, p2) << n;
        for (size_t i = 0; i < a.v.size(); ++i) {
            ASSERT_EQ(a.v[i].re, b.v[i].re) << n << " at " << i;
            ASSERT_EQ(a.v[i].im, b.v[i].im) << n << " at " << i;
        }
    }
}
}  // namespace
