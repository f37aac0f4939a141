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
    EXPECT_EQ(ComplexMaxIndex(4, x.data(), 1), 2);
    EXPECT_EQ(ComplexMaxIndex(0, x.data(), 1), 0);
    EXPECT_EQ(ComplexMaxIndex(1, x.data(), 1), 1);
    EXPECT_EQ(ComplexMaxIndex(2, x.data(), 2), 2);  // elements 1 and 3
    // A negative stride starts from the far end: logical order 4, 3, 2, 1.
    EXPECT_EQ(ComplexMaxIndex(4, x.data(), -1), 2);
}

TEST(ComplexKernels, ScaleAxpyAndDotFollowComplexArithmetic) {
    const int n = 11;  // not a multiple of 4 or 5
    std::vector<ZDouble> x(n), y(n);
    for (int i = 0; i < n; ++i) {
        x[i] = Z(i - 3.0, 2.0 * i);
        y[i] = Z(1.0, -i);
    }
    const ZDouble a = Z(2, -3);
    std::vector<ZDouble> ys = y;
    ComplexAxpy(n, a, x.data(), 1, ys.data(), 1);
    for (int i = 0; i < n; ++i) EXPECT_EQ(Cx(ys[i]), Cx(y[i]) + Cx(a) * Cx(x[i]));
    // Negative strides pair element i of x with element n+1-i of y.
    std::vector<ZDouble> yr = y;
    ComplexAxpy(n, a, x.data(), 1, yr.data(), -1);
    for (int i = 0; i < n; ++i) EXPECT_EQ(Cx(yr[n - 1 - i]), Cx(y[n - 1 - i]) + Cx(a) * Cx(x[i]));
    // a = 0 and n <= 0 leave y alone.
    std::vector<ZDouble> y0 = y;
    ComplexAxpy(n, Z(0, 0), x.data(), 1, y0.data(), 1);
    ComplexAxpy(0, a, x.data(), 1, y0.data(), 1);
    for (int i = 0; i < n; ++i) EXPECT_EQ(Cx(y0[i]), Cx(y[i]));

    std::vector<ZDouble> xs = x;
    ComplexScale(n, a, xs.data(), 1);
    for (int i = 0; i < n; ++i) EXPECT_EQ(Cx(xs[i]), Cx(a) * Cx(x[i]));

    C dot = 0.0;
    for (int i = 0; i < n; ++i) dot += Cx(x[i]) * Cx(y[i]);  // not conjugated
    EXPECT_EQ(Cx(ComplexDot(n, x.data(), 1, y.data(), 1)), dot);
    EXPECT_EQ(Cx(ComplexDot(0, x.data(), 1, y.data(), 1)), C(0.0));
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
    ComplexLuSolve(d.view(), 3, ipvt, b.data(), 0);
    EXPECT_EQ(Cx(b[0]), C(2, 1));
    EXPECT_EQ(Cx(b[1]), C(0, -2));
    EXPECT_EQ(Cx(b[2]), C(1, -1));
    std::vector<ZDouble> keep{Z(4, 2), Z(8), Z(2)};
    ComplexLuSolve(d.view(), 3, ipvt, keep.data(), 1);  // any other job: no change
    EXPECT_EQ(Cx(keep[1]), C(8));

    // Dynamic stiffness of a damped shaft (leading dimension above the order)
    // and a random matrix: residual of A x = b.
    ShaftSpec spec;
    spec.elements = 15;
    spec.lumped = false;
    spec.cxx = 200;
    spec.cyy = 300;
    spec.pedestals = 2;
    spec.spin = 900;
    const ShaftMatrices sh = BuildShaft(spec);
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
        ComplexLuSolve(f.view(), n, piv.data(), x.data(), 0);
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
