// Complex inverse iteration for one eigenvector.
#include "tests/subs99/numerics_test.h"
#include "tests/subs99/shaft_model.h"

namespace {
using C = std::complex<double>;

struct Iteration {
    Dense a;
    int n;
    std::vector<ZDouble> c, b, x;
    std::vector<int> ipvt;
    int itmax;
    Iteration(Dense m, double lre, double lim, int limit, double tol = 1.0e-4)
        : a(std::move(m)), n(a.n), c(static_cast<size_t>(a.ld) * n), b(n), x(n), ipvt(n), itmax(limit) {
        ComplexInverseIteration(a.view(), n, Mat<ZDouble>(c.data(), a.ld), b.data(), x.data(), lre, lim, ipvt.data(),
                                itmax, tol);
    }
    C X(int i) const { return C(x[i - 1].re, x[i - 1].im); }
};

class InverseIteration : public ConsoleTest {};

TEST_F(InverseIteration, StartVectorThatIsAnEigenvectorConvergesAtTheSecondSolve) {
    // e2 = (0, 0.1) up to scale is the start vector for a real shift (the
    // velocity half is zero) and an eigenvector of eigenvalue 1.
    Iteration it(Dense::Rows({{3, 0}, {5, 1}}), 1.01, 0.0, 200);
    EXPECT_EQ(it.itmax, 0);
    EXPECT_EQ(it.X(1), C(0.0));
    EXPECT_EQ(it.X(2), C(1.0));
    // The diagonal stays shifted.
    EXPECT_DOUBLE_EQ(it.a(1, 1), 3.0 - 1.01);
    EXPECT_EQ(Output(), "");
}

TEST_F(InverseIteration, ExactEigenvalueWarnsAndStillGivesTheEigenvector) {
    Dense a(4);
    const double diag[4] = {5, 6, 2, 7};
    for (int i = 1; i <= 4; ++i) a(i, i) = diag[i - 1];
    Iteration it(a, 2.0, 0.0, 200);
    EXPECT_NE(Output().find(" MATRIX CA MAY BE SINGULAR"), std::string::npos) << Output();
    EXPECT_EQ(it.itmax, 0);
    for (int i = 1; i <= 4; ++i) {
        ASSERT_TRUE(std::isfinite(it.X(i).real()) && std::isfinite(it.X(i).imag()));
        EXPECT_NEAR(std::abs(it.X(i) - C(i == 3 ? 1.0 : 0.0)), 0.0, 1e-15);
    }
}

TEST_F(InverseIteration, EqualModuliNormaliseOnTheLaterEntryAndNonConvergenceIsReported) {
    // diag(2, 0) shifted by 1 + i: every solve gives two entries of equal
    // modulus, turned by a quarter; normalising on entry 2 gives (-i, 1) and
    // then (-1, 1), which never settles.
    Iteration it(Dense::Rows({{2, 0}, {0, 0}}), 1.0, 1.0, 1);
    EXPECT_EQ(it.itmax, 1);  // unchanged: not converged
    EXPECT_EQ(it.X(1), C(-1.0, 0.0));
    EXPECT_EQ(it.X(2), C(1.0, 0.0));
    const std::string out = Output();
    const size_t at = out.find(" CONVERGENCE NOT ACHIEVED IN");
    ASSERT_NE(at, std::string::npos) << out;
    EXPECT_NE(out.find('1', at + 28), std::string::npos) << out;
}

TEST_F(InverseIteration, DampedShaftModeHasASmallResidual) {
    // First-order system of a damped, spinning shaft; the eigenvalue from the
    // QR solver, perturbed slightly as a computed eigenvalue would be.
    ShaftDesign design;
    design.elements = 8;
    design.lumped = true;
    design.kxx = 1e6;
    design.kyy = 2e6;
    design.cxx = 100;
    design.cyy = 150;
    design.spin = 1000;
    design.discMass = 0.5;
    design.discIp = 2.0;
    design.discId = 1.0;
    const ShaftMatrices sh = BuildShaft(design);
    const int nd = sh.ndof;
    std::vector<double> minv(static_cast<size_t>(nd) * nd, 0.0);
    for (int i = 0; i < nd; ++i) minv[i + static_cast<size_t>(i) * nd] = 1.0 / sh.m[i + static_cast<size_t>(i) * nd];
    Dense a(2 * nd, 2 * nd + 3);
    a.v = FirstOrderSystem(nd, minv, sh.k, sh.c, a.ld);
    Spectrum s = Eigenvalues(a);
    ASSERT_EQ(s.ierr, 0);
    // The lowest positive whirl frequency.
    int pick = -1;
    for (int i = 0; i < 2 * nd; ++i)
        if (s.wi[i] > 0.0 && (pick < 0 || s.wi[i] < s.wi[pick])) pick = i;
    ASSERT_GE(pick, 0);
    const C lambda(s.wr[pick] * (1 + 1e-9), s.wi[pick] * (1 - 1e-9));
    Iteration it(a, lambda.real(), lambda.imag(), 200, 1e-8);
    EXPECT_EQ(it.itmax, 0);
    // A is returned shifted by the real part: undo it for the residual.
    double worst = 0.0, scale = 0.0;
    for (int i = 1; i <= 2 * nd; ++i) {
        C r = -lambda * it.X(i);
        for (int j = 1; j <= 2 * nd; ++j) {
            const double aij = it.a(i, j) + (i == j ? lambda.real() : 0.0);
            r += aij * it.X(j);
            scale = std::max(scale, std::fabs(aij));
        }
        worst = std::max(worst, std::abs(r));
    }
    EXPECT_LT(worst, 1e-9 * scale);
    // The velocity half is lambda times the displacement half.
    for (int i = 1; i <= nd; ++i) EXPECT_LT(std::abs(it.X(i) - lambda * it.X(nd + i)), 1e-9 * std::abs(lambda));
    double biggest = 0.0;
    for (int i = 1; i <= 2 * nd; ++i) biggest = std::max(biggest, std::abs(it.X(i)));
    EXPECT_EQ(biggest, 1.0);
}

}  // namespace
