// Generalized Jacobi eigensolver.
#include "tests/subs99/numerics_test.h"
#include "tests/subs99/shaft_model.h"

namespace {

struct JacobiRun {
    Dense k, m, x;
    std::vector<double> eigv, sorted, swap, d;
    std::vector<int> order, invorder;
    int ierr = -1, sweeps = -1;
    JacobiRun(Dense kk, Dense mm)
        : k(std::move(kk)), m(std::move(mm)), x(k.n, k.ld), eigv(k.n, -1.0), sorted(k.n), swap(k.n),
          d(k.n), order(k.n, -1), invorder(k.n, -1) {
        JacobiGeneralized(k.view(), m.view(), x.view(), eigv.data(), sorted.data(), swap.data(), d.data(),
                          order.data(), invorder.data(), k.n, ierr, sweeps);
    }
};

Dense Diagonal(std::initializer_list<double> v) {
    Dense d(static_cast<int>(v.size()));
    int i = 1;
    for (double x : v) d(i, i) = x, ++i;
    return d;
}

TEST(JacobiGeneralized, DiagonalPairIsSortedWithTheLaterOfEqualValuesFirst) {
    // Eigenvalues 3, 1, 2, 1 at positions 1 .. 4.
    JacobiRun r(Diagonal({6, 1, 8, 3}), Diagonal({2, 1, 4, 3}));
    EXPECT_EQ(r.ierr, 0);
    EXPECT_EQ(r.sweeps, 1);
    EXPECT_EQ(r.eigv, (std::vector<double>{1, 1, 2, 3}));
    EXPECT_EQ(r.order, (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(r.invorder, (std::vector<int>{4, 2, 3, 1}));
    // Unit columns scaled by 1/sqrt(M(i,i)), permuted like the eigenvalues.
    const double scale[4] = {1 / std::sqrt(3.0), 1.0, 0.5, 1 / std::sqrt(2.0)};
    const int row[4] = {4, 2, 3, 1};
    for (int j = 1; j <= 4; ++j)
        for (int i = 1; i <= 4; ++i) EXPECT_NEAR(r.x(i, j), i == row[j - 1] ? scale[j - 1] : 0.0, 1e-16);
}

TEST(JacobiGeneralized, OrderOneAndErrorCodes) {
    JacobiRun one(Diagonal({6}), Diagonal({4}));
    EXPECT_EQ(one.ierr, 0);
    EXPECT_EQ(one.eigv[0], 1.5);
    EXPECT_EQ(one.x(1, 1), 1.0);  // not scaled

    // A massless degree of freedom.
    JacobiRun massless(Diagonal({1, 2, 3}), Diagonal({1, 0, 1}));
    EXPECT_EQ(massless.ierr, 1);
    EXPECT_EQ(massless.x(1, 1), 0.0);  // X not set yet

    // An indefinite pair: the rotation has no real solution.
    JacobiRun complexPair(Dense::Rows({{2, -3}, {-3, 1}}), Dense::Rows({{1, -3}, {-3, 3}}));
    EXPECT_EQ(complexPair.ierr, 2);

    // Indefinite stiffness with a positive diagonal: eigenvalues 3 and -1.
    JacobiRun indefinite(Dense::Rows({{1, 2}, {2, 1}}), Dense::Identity(2));
    EXPECT_EQ(indefinite.ierr, 3);
}

TEST(JacobiGeneralized, PairWithKnownEigenvalues) {
    // K = B' L B and M = B' B share the eigenvalues of the diagonal L.
    const int n = 10;
    Dense b(n);
    b.v = RandomMatrix(n, n, 21);
    for (int i = 1; i <= n; ++i) b(i, i) += 4.0;
    const double lambda[n] = {7, 0.5, 3, 12, 1, 9, 2, 0.25, 5, 30};
    Dense k(n), m(n);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            for (int p = 1; p <= n; ++p) {
                k(i, j) += b(p, i) * lambda[p - 1] * b(p, j);
                m(i, j) += b(p, i) * b(p, j);
            }
    JacobiRun r(k, m);
    ASSERT_EQ(r.ierr, 0);
    std::vector<double> expect(lambda, lambda + n);
    std::sort(expect.begin(), expect.end());
    for (int j = 0; j < n; ++j) EXPECT_NEAR(r.eigv[j], expect[j], 1e-10 * expect[j]);
}

TEST(JacobiGeneralized, ShaftModesHaveSmallResidualsAndAreMassOrthonormal) {
    ShaftDesign s;
    s.elements = 10;
    s.lumped = false;
    s.kxx = 2e6;
    s.kyy = 5e6;
    s.pedestals = 1;
    const ShaftMatrices shaft = BuildShaft(s);
    const int n = shaft.ndof;
    Dense k(n, n + 5), m(n, n + 5);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            // Only the upper triangles are read: poison the lower ones.
            k(i, j) = i <= j ? shaft.k[(i - 1) + (j - 1) * n] : 1e30;
            m(i, j) = i <= j ? shaft.m[(i - 1) + (j - 1) * n] : -1e30;
        }
    JacobiRun r(k, m);
    ASSERT_EQ(r.ierr, 0);
    for (int j = 1; j < n; ++j) EXPECT_LE(r.eigv[j - 1], r.eigv[j]);
    for (int i = 1; i <= n; ++i) EXPECT_EQ(r.invorder[r.order[i - 1] - 1], i);

    double worstResidual = 0.0, worstOrtho = 0.0;
    for (int c = 1; c <= n; ++c) {
        double rn = 0.0, kn = 0.0;
        for (int i = 1; i <= n; ++i) {
            double kx = 0.0, mx = 0.0;
            for (int p = 1; p <= n; ++p) {
                kx += shaft.k[(i - 1) + (p - 1) * n] * r.x(p, c);
                mx += shaft.m[(i - 1) + (p - 1) * n] * r.x(p, c);
            }
            rn = std::max(rn, std::fabs(kx - r.eigv[c - 1] * mx));
            kn = std::max(kn, std::fabs(kx));
        }
        worstResidual = std::max(worstResidual, rn / kn);
        for (int c2 = 1; c2 <= n; ++c2) {
            double xmx = 0.0;
            for (int i = 1; i <= n; ++i)
                for (int p = 1; p <= n; ++p) xmx += r.x(i, c) * shaft.m[(i - 1) + (p - 1) * n] * r.x(p, c2);
            worstOrtho = std::max(worstOrtho, std::fabs(xmx - (c == c2 ? 1.0 : 0.0)));
        }
    }
    EXPECT_LT(worstResidual, 1e-6);
    EXPECT_LT(worstOrtho, 1e-6);
    // On return both matrices are symmetric again.
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            EXPECT_EQ(r.k(i, j), r.k(j, i));
            EXPECT_EQ(r.m(i, j), r.m(j, i));
        }
}

}  // namespace
