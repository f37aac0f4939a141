// Real LU factorisation, inversion and product.
#include "tests/subs99/numerics_test.h"
#include "tests/subs99/shaft_model.h"

namespace {

struct Lu {
    Dense a;
    std::vector<int> indx;
    std::vector<double> vv;
    double d = 0.0;
    explicit Lu(Dense m) : a(std::move(m)), indx(a.n), vv(a.n) {
        LuDecompose(a.view(), a.n, indx.data(), d, vv.data());
    }
    // Forward substitution with the interchanges (leading zeros of b
    // skipped), then back substitution, written out plainly.
    std::vector<double> Solve(std::vector<double> b) const {
        const int n = a.n;
        int first = 0;
        for (int i = 1; i <= n; ++i) {
            double s = b[indx[i - 1] - 1];
            b[indx[i - 1] - 1] = b[i - 1];
            if (first != 0)
                for (int j = first; j < i; ++j) s -= a(i, j) * b[j - 1];
            else if (s != 0.0)
                first = i;
            b[i - 1] = s;
        }
        for (int i = n; i >= 1; --i) {
            double s = b[i - 1];
            for (int j = i + 1; j <= n; ++j) s -= a(i, j) * b[j - 1];
            b[i - 1] = s / a(i, i);
        }
        return b;
    }
};

Dense RandomDense(int n, unsigned seed) {
    Dense d(n);
    d.v = RandomMatrix(n, n, seed);
    return d;
}

Dense Invert(Dense a) {
    Dense y(a.n, a.ld);
    std::vector<int> indx(a.n);
    std::vector<double> vv(a.n);
    InvertMatrix(a.view(), y.view(), a.n, indx.data(), vv.data());
    return y;
}

TEST(LuDecompose, IdentityNeedsNoInterchangeAndIsItsOwnInverse) {
    Lu lu(Dense::Identity(4));
    EXPECT_EQ(lu.d, 1.0);
    EXPECT_EQ(lu.indx, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(lu.a.v, Dense::Identity(4).v);
    EXPECT_EQ(Invert(Dense::Identity(4)).v, Dense::Identity(4).v);
}

TEST(LuDecompose, InterchangesRecordParityAndRows) {
    Lu swap2(Dense::Rows({{0, 1}, {1, 0}}));
    EXPECT_EQ(swap2.d, -1.0);
    EXPECT_EQ(swap2.indx, (std::vector<int>{2, 2}));
    EXPECT_EQ(swap2.a.v, Dense::Identity(2).v);

    // Rows 1 and 2 have the same scaled candidate 0.5 in column 1 (row 3 has
    // 0.25): the later row is the pivot.
    Lu tie(Dense::Rows({{2, 4, 0}, {4, 1, 8}, {0.25, 1, 1}}));
    EXPECT_EQ(tie.indx[0], 2);
    EXPECT_EQ(tie.d, tie.indx[1] == 2 ? -1.0 : 1.0);
}

TEST(LuDecompose, FactorsSolveWithLeadingZerosAndWithPivoting) {
    // Diagonally dominant: no interchanges, so the first two entries of the
    // right-hand side stay first and are skipped by the forward pass.
    Dense a = Dense::Rows({{4, 1, 0, 1}, {1, 5, 2, 0}, {0, 2, 6, 1}, {1, 0, 1, 3}});
    Lu lu(a);
    ASSERT_EQ(lu.indx, (std::vector<int>{1, 2, 3, 4}));
    const std::vector<double> b{0, 0, 1, 2};
    std::vector<double> x = lu.Solve(b);
    for (int i = 1; i <= 4; ++i) {
        double r = -b[i - 1];
        for (int j = 1; j <= 4; ++j) r += a(i, j) * x[j - 1];
        EXPECT_NEAR(r, 0.0, 1e-15);
    }

    // A random system needing interchanges, b with zero leading entries.
    const int n = 30;
    Dense g = RandomDense(n, 11);
    Lu lg(g);
    std::vector<double> bg(n, 0.0);
    for (int i = 10; i < n; ++i) bg[i] = i - 15.0;
    std::vector<double> xg = lg.Solve(bg);
    for (int i = 1; i <= n; ++i) {
        double r = -bg[i - 1];
        for (int j = 1; j <= n; ++j) r += g(i, j) * xg[j - 1];
        EXPECT_NEAR(r, 0.0, 1e-12);
    }
}

TEST(InvertMatrix, InverseTimesMatrixIsTheIdentity) {
    ShaftDesign s;
    s.elements = 12;
    s.lumped = false;
    ShaftMatrices shaft = BuildShaft(s);
    Dense mass(shaft.ndof);
    mass.v = shaft.m;
    for (const Dense& a : {RandomDense(57, 3), mass}) {
        const Dense y = Invert(a);
        const Dense p = Multiply(y, a);
        const double scale = MaxAbs(y) * MaxAbs(a);
        for (int i = 1; i <= a.n; ++i)
            for (int j = 1; j <= a.n; ++j) EXPECT_NEAR(p(i, j), i == j ? 1.0 : 0.0, 1e-13 * scale);
    }
}

TEST(InvertMatrix, AgreesExactlyWithColumnByColumnSolves) {
    // The inverse solves all columns at once; each column must be exactly what
    // a plain substitution gives for that column of the identity.
    const int n = 37;
    Dense a = RandomDense(n, 7);
    Dense y = Invert(a);
    Lu lu(a);
    for (int c = 1; c <= n; ++c) {
        std::vector<double> e(n, 0.0);
        e[c - 1] = 1.0;
        std::vector<double> x = lu.Solve(e);
        for (int i = 1; i <= n; ++i) ASSERT_EQ(y(i, c), x[i - 1]) << i << "," << c;
    }
}

TEST(InvertMatrix, LumpedMassInvertsToReciprocalsWithLeadingDimension) {
    Dense m(5, 9);
    const double diag[5] = {3.0, 0.7, 11.0, 2.5, 1e-3};
    for (int i = 1; i <= 5; ++i) m(i, i) = diag[i - 1];
    Dense y = Invert(m);
    for (int i = 1; i <= 5; ++i)
        for (int j = 1; j <= 5; ++j) EXPECT_EQ(y(i, j), i == j ? 1.0 / diag[i - 1] : 0.0);
}

TEST(MatrixProduct, MultipliesTheActiveBlock) {
    // Small integers: every product is exact, whatever the blocking.
    for (int n : {1, 4, 7, 9}) {
        const int ld = n + 3;
        std::vector<double> a(ld * n), b(ld * n), c(ld * n, -99.0);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) {
                a[i + j * ld] = (i * 7 + j * 3) % 11 - 5;
                b[i + j * ld] = (i * 5 + j * 2) % 9 - 4;
            }
        MatrixProduct(Mat<const double>(a.data(), ld), Mat<const double>(b.data(), ld),
                      Mat<double>(c.data(), ld), n);
        for (int j = 0; j < n; ++j) {
            for (int i = 0; i < n; ++i) {
                double s = 0;
                for (int k = 0; k < n; ++k) s += a[i + k * ld] * b[k + j * ld];
                EXPECT_EQ(c[i + j * ld], s);
            }
            for (int i = n; i < ld; ++i) EXPECT_EQ(c[i + j * ld], -99.0);  // outside the block
        }
    }
}

class LuSingular : public ConsoleTest {};

TEST_F(LuSingular, AllZeroRowPausesThenFactorsWithTinyPivot) {
    Input("\n");
    Lu lu(Dense::Rows({{1, 2}, {0, 0}}));
    EXPECT_NE(Output().find("Singular matrix.\r\n"), std::string::npos) << Output();
    EXPECT_EQ(lu.a(2, 2), 1.0e-20);
    std::vector<double> x = lu.Solve({1.0, 1.0});
    EXPECT_TRUE(std::isfinite(x[0]) && std::isfinite(x[1]));
    EXPECT_EQ(x[1], 1.0e20);
}

}  // namespace
