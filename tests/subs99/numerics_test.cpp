// The numerical routines against closed forms, residuals and hand-worked
// factors. Every routine is called through the thin helpers of the first
// section, the only place that knows their argument lists.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#include "recordio/recordio.h"
#include "subs99/numerics.h"
#include "subs99/spline.h"

namespace {

using C = std::complex<double>;
using Z = ZDouble;
const double PI = 3.14159265358979323846;
C Cx(Z z) { return C(z.re, z.im); }

// ---- Calls -------------------------------------------------------------------

// Matrix of order n, leading dimension ld, 1-based, column-major.
template <class T>
struct M {
    int n = 0, ld = 0;
    std::vector<T> v;
    explicit M(int order, int lead = 0) : n(order), ld(lead ? lead : order), v(size_t(ld) * order) {}
    T& operator()(int i, int j) { return v[(i - 1) + size_t(j - 1) * ld]; }
    T operator()(int i, int j) const { return v[(i - 1) + size_t(j - 1) * ld]; }
    Mat<T> view() { return Mat<T>(v.data(), ld); }
};
using Dense = M<double>;
using Complex = M<Z>;

Dense Rows(std::initializer_list<std::initializer_list<double>> rows) {
    Dense d(int(rows.size()));
    int i = 0;
    for (auto& r : rows) {
        int j = 0;
        ++i;
        for (double x : r) d(i, ++j) = x;
    }
    return d;
}

Dense Diagonal(std::vector<double> v, int ld = 0) {
    Dense d(int(v.size()), ld);
    for (size_t i = 0; i < v.size(); ++i) d(int(i) + 1, int(i) + 1) = v[i];
    return d;
}

Dense Random(int n, unsigned seed, int ld = 0) {
    Dense d(n, ld);
    std::mt19937_64 g(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) d(i, j) = u(g);
    return d;
}

Dense Multiply(const Dense& a, const Dense& b) {
    Dense c(a.n);
    for (int j = 1; j <= a.n; ++j)
        for (int k = 1; k <= a.n; ++k)
            for (int i = 1; i <= a.n; ++i) c(i, j) += a(i, k) * b(k, j);
    return c;
}

struct Lu {
    Dense a;
    std::vector<int> indx;
    double d = 0.0;
    explicit Lu(Dense m) : a(std::move(m)), indx(a.n) {
        std::vector<double> vv(a.n);
        LuDecompose(a.view(), a.n, indx.data(), d, vv.data());
    }
    // Forward substitution with the interchanges (leading zeros of b
    // skipped), then back substitution, written out plainly.
    std::vector<double> Solve(std::vector<double> b) const {
        int first = 0;
        for (int i = 1; i <= a.n; ++i) {
            double s = b[indx[i - 1] - 1];
            b[indx[i - 1] - 1] = b[i - 1];
            if (first != 0)
                for (int j = first; j < i; ++j) s -= a(i, j) * b[j - 1];
            else if (s != 0.0)
                first = i;
            b[i - 1] = s;
        }
        for (int i = a.n; i >= 1; --i) {
            double s = b[i - 1];
            for (int j = i + 1; j <= a.n; ++j) s -= a(i, j) * b[j - 1];
            b[i - 1] = s / a(i, i);
        }
        return b;
    }
};

Dense Invert(Dense a) {
    Dense y(a.n, a.ld);
    std::vector<int> indx(a.n);
    std::vector<double> vv(a.n);
    InvertMatrix(a.view(), y.view(), a.n, indx.data(), vv.data());
    return y;
}

struct Jacobi {
    Dense k, m, x;
    std::vector<double> eig;
    std::vector<int> order, inv;
    int ierr = -1, sweeps = -1;
    Jacobi(Dense kk, Dense mm) : k(std::move(kk)), m(std::move(mm)), x(k.n, k.ld), eig(k.n), order(k.n), inv(k.n) {
        std::vector<double> sorted(k.n), swap(k.n), d(k.n);
        JacobiGeneralized(k.view(), m.view(), x.view(), eig.data(), sorted.data(), swap.data(), d.data(), order.data(),
                          inv.data(), k.n, ierr, sweeps);
    }
};

struct Spectrum {
    std::vector<double> wr, wi;
    int ierr = -1;
};

Spectrum Eigenvalues(Dense a, int n = -1) {
    n = n < 0 ? a.n : n;
    Spectrum s{std::vector<double>(n, 42.0), std::vector<double>(n, 42.0)};
    static EigenWork work;
    RealEigenvalues(a.view(), n, s.wr.data(), s.wi.data(), work, s.ierr, 2.0, 1.4901161193847656e-08);
    return s;
}

void Balance(Dense& a, int& low, int& igh) {
    std::vector<double> scale(a.n);
    BalanceMatrix(a.view(), a.n, low, igh, scale.data(), 2.0);
}

void Hessenberg(Dense& a, int low, int igh, std::vector<double>& ort) {
    static HessenbergWork work;
    ReduceToHessenberg(a.view(), a.n, low, igh, ort.data(), work);
}

int Factor(Complex& a, std::vector<int>& ipvt) {
    int info = -1;
    ipvt.assign(a.n, 0);
    ComplexLuFactor(a.view(), a.n, ipvt.data(), info);
    return info;
}

std::vector<Z> Solve(Complex& a, const std::vector<int>& ipvt, std::vector<Z> b) {
    ComplexLuSolve(Mat<const Z>(a.v.data(), a.ld), a.n, ipvt.data(), b.data());
    return b;
}

// Inverse iteration on a for the eigenvalue (lre, lim), its console kept.
struct Iteration {
    Dense a;
    std::vector<Z> x;
    int itmax;
    std::string console;
    Iteration(Dense m, double lre, double lim, int limit, double tol = 1.0e-4) : a(std::move(m)), x(a.n), itmax(limit) {
        std::istringstream in;
        std::ostringstream out;
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
        Complex c(a.n, a.ld);
        std::vector<Z> b(a.n);
        std::vector<int> ipvt(a.n);
        ComplexInverseIteration(a.view(), a.n, c.view(), b.data(), x.data(), lre, lim, ipvt.data(), itmax, tol);
        SetConsoleStreams(nullptr, nullptr);
        console = out.str();
    }
    C X(int i) const { return Cx(x[i - 1]); }
};

// Columns y = f(x) + 10 b + m - 11 of groups b and columns m, fitted under
// end condition ec.
struct Fit {
    std::vector<float> x;
    Array2<float, 396, 16> coef;
    Fit(std::vector<float> xs, int ec, float (*f)(float), int groups = 1, int ncols = 1) : x(std::move(xs)) {
        static Array3<float, 99, 4, 8> y;
        Array2<float, 99, 4> work;
        float s[99];
        coef.clear();
        for (int b = 1; b <= groups; ++b)
            for (int m = 1; m <= ncols; ++m)
                for (size_t j = 0; j < x.size(); ++j) y(int(j) + 1, b, m) = f(x[j]) + (10.0f * b + m - 11.0f);
        FitSplineTables(groups, int(x.size()), ec, ncols, x.data(), y.view(), coef.view(), s, work.view());
    }
    int n() const { return int(x.size()); }
    float At(float v, int column = 1) const {
        const int i = StartInterval(x.data(), n(), v);
        return EvaluateSpline(coef.view(), column, i, v - x[i - 1]);
    }
    float K(int row, int i, int column = 1) const { return coef(row + i, column); }  // row 0 A, 99 B, 198 C, 297 D
    float Second(int i) const {  // second derivative at knot i
        return i < n() ? 2.0f * K(99, i) : 2.0f * K(99, n() - 1) + 6.0f * K(0, n() - 1) * (x[n() - 1] - x[n() - 2]);
    }
};

// ---- Test matrices and checks ------------------------------------------------

// Fixed-fixed chain of n masses m on springs k, K x = lambda M x:
// lambda_j = (2k/m)(1 - cos(j pi/(n+1))).
double ChainEigenvalue(int j, int n, double k, double m) { return 2.0 * k / m * (1.0 - std::cos(j * PI / (n + 1))); }
Dense Chain(int n, double k) {
    Dense kk(n);
    for (int i = 1; i <= n; ++i) {
        kk(i, i) = 2.0 * k;
        if (i > 1) kk(i, i - 1) = kk(i - 1, i) = -k;
    }
    return kk;
}

// First-order form [[-C/m, -K/m], [I, 0]] of the chain with damping c and a
// skew coupling g between neighbours (velocities first).
Dense FirstOrderChain(int n, double k, double m, double c, double g, int ld) {
    const Dense kk = Chain(n, k);
    Dense a(2 * n, ld);
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) a(i, n + j) = -kk(i, j) / m;
        a(i, i) = -c / m;
        if (i < n) a(i, i + 1) = -g / m, a(i + 1, i) = g / m;
        a(n + i, i) = 1.0;
    }
    return a;
}

// Largest distance of the computed eigenvalues from the wanted ones, each
// matched with its nearest unused one.
double Distance(const Spectrum& s, std::vector<C> want) {
    double worst = 0.0;
    for (size_t i = 0; i < s.wr.size(); ++i) {
        const C z(s.wr[i], s.wi[i]);
        auto best = std::min_element(want.begin(), want.end(), [&](C a, C b) { return std::abs(a - z) < std::abs(b - z); });
        worst = std::max(worst, std::abs(*best - z));
        want.erase(best);
    }
    return worst;
}

// Complex pairs are consecutive, positive imaginary part first.
void ExpectConjugatePairs(const Spectrum& s) {
    for (size_t i = 0; i < s.wi.size(); ++i)
        if (s.wi[i] != 0.0) {
            ASSERT_TRUE(s.wi[i] > 0.0 && i + 1 < s.wi.size()) << i;
            EXPECT_TRUE(s.wi[i + 1] == -s.wi[i] && s.wr[i + 1] == s.wr[i]) << i;
            ++i;
        }
}

// ---- LU factorisation, solve, inversion, product -----------------------------

TEST(Numerics, LuFactorsSolvesAndInverses) {
    Lu id(Diagonal({1, 1, 1}));
    EXPECT_EQ(id.d, 1.0);
    EXPECT_EQ(id.indx, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(id.a.v, Diagonal({1, 1, 1}).v);
    Lu swap(Rows({{0, 1}, {1, 0}}));
    EXPECT_EQ(swap.d, -1.0);
    EXPECT_EQ(swap.indx, (std::vector<int>{2, 2}));
    EXPECT_EQ(swap.a.v, Diagonal({1, 1}).v);
    EXPECT_EQ(Lu(Rows({{2, 4, 0}, {4, 1, 8}, {0.25, 1, 1}})).indx[0], 2);  // equal scaled candidates: the later row
    // A zero row: the pause, then the tiny pivot keeps the solution finite.
    std::istringstream in("\n");
    std::ostringstream out;
    ResetRecordIo();
    SetConsoleStreams(&in, &out);
    Lu sing(Rows({{1, 2}, {0, 0}}));
    SetConsoleStreams(nullptr, nullptr);
    EXPECT_EQ(out.str(), "Singular matrix.\r\n");
    EXPECT_EQ(sing.Solve({1.0, 1.0})[1], 1.0e20);
    // Residuals of solves (leading zeros of the right-hand side are skipped)
    // and inverses, of a diagonally dominant, a random and a chain matrix.
    for (const Dense& a : {Rows({{4, 1, 0, 1}, {1, 5, 2, 0}, {0, 2, 6, 1}, {1, 0, 1, 3}}), Random(30, 11), Chain(20, 3.0e5)}) {
        std::vector<double> b(a.n, 0.0);
        for (int i = a.n / 3; i < a.n; ++i) b[i] = i - 15.0;
        const std::vector<double> x = Lu(a).Solve(b);
        const Dense y = Invert(a), p = Multiply(y, a);
        double ymax = 0, amax = 0;
        for (double u : y.v) ymax = std::max(ymax, std::fabs(u));
        for (double u : a.v) amax = std::max(amax, std::fabs(u));
        for (int i = 1; i <= a.n; ++i) {
            double r = -b[i - 1];
            for (int j = 1; j <= a.n; ++j) r += a(i, j) * x[j - 1];
            EXPECT_NEAR(r, 0.0, 1e-10 * (1.0 + std::fabs(b[i - 1]))) << a.n;
            for (int j = 1; j <= a.n; ++j) EXPECT_NEAR(p(i, j), i == j, 1e-13 * ymax * amax) << a.n;
        }
    }
    // The inverse is exactly the column-by-column solution; a diagonal matrix
    // with a larger leading dimension inverts to its reciprocals.
    const Dense a = Random(37, 7), y = Invert(a);
    const Lu lu(a);
    for (int c = 1; c <= 37; ++c) {
        std::vector<double> e(37, 0.0);
        e[c - 1] = 1.0;
        const std::vector<double> x = lu.Solve(e);
        for (int i = 1; i <= 37; ++i) ASSERT_EQ(y(i, c), x[i - 1]) << i << "," << c;
    }
    EXPECT_EQ(Invert(Diagonal({3.0, 0.7, 11.0, 2.5, 1e-3}, 9)).v, Diagonal({1 / 3.0, 1 / 0.7, 1 / 11.0, 1 / 2.5, 1e3}, 9).v);
}

// ---- Generalized Jacobi --------------------------------------------------------

TEST(Numerics, JacobiOrdersErrorsAndKnownEigenvalues) {
    // Eigenvalues 3, 1, 2, 1: the later of two equal values first; unit
    // columns scaled by 1/sqrt(M(i,i)).
    Jacobi r(Diagonal({6, 1, 8, 3}), Diagonal({2, 1, 4, 3}));
    EXPECT_EQ(r.ierr + r.sweeps, 0 + 1);  // diagonal already: one sweep
    EXPECT_EQ(r.eig, (std::vector<double>{1, 1, 2, 3}));
    EXPECT_EQ(r.order, (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(r.inv, (std::vector<int>{4, 2, 3, 1}));
    const double scale[4] = {1 / std::sqrt(3.0), 1.0, 0.5, 1 / std::sqrt(2.0)};
    for (int j = 1; j <= 4; ++j)
        for (int i = 1; i <= 4; ++i) EXPECT_NEAR(r.x(i, j), i == r.order[j - 1] ? scale[j - 1] : 0.0, 1e-16);
    Jacobi one(Diagonal({6}), Diagonal({4}));
    EXPECT_EQ(one.eig[0] + one.x(1, 1), 2.5);  // 1.5, and an unscaled 1
    EXPECT_EQ(Jacobi(Diagonal({1, 2, 3}), Diagonal({1, 0, 1})).ierr, 1);                  // massless
    EXPECT_EQ(Jacobi(Rows({{2, -3}, {-3, 1}}), Rows({{1, -3}, {-3, 3}})).ierr, 2);        // no real rotation
    EXPECT_EQ(Jacobi(Rows({{1, 2}, {2, 1}}), Diagonal({1, 1})).ierr, 3);                  // eigenvalue -1
    // K = B' L B and M = B' B share the eigenvalues of L; only the upper
    // triangles are read (the lower ones are poisoned). Residuals, mass
    // orthonormality, both matrices symmetric again on return.
    const int n = 10;
    const Dense b = Random(n, 21);
    const double lambda[n] = {7, 0.5, 3, 12, 1, 9, 2, 0.25, 5, 30};
    Dense k0(n), m0(n), k(n, n + 5), m(n, n + 5);
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            for (int p = 1; p <= n; ++p) {
                const double bi = b(p, i) + (p == i ? 4.0 : 0.0), bj = b(p, j) + (p == j ? 4.0 : 0.0);
                k0(i, j) += bi * lambda[p - 1] * bj, m0(i, j) += bi * bj;
            }
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) k(i, j) = i <= j ? k0(i, j) : 1e30, m(i, j) = i <= j ? m0(i, j) : -1e30;
    Jacobi q(k, m);
    ASSERT_EQ(q.ierr, 0);
    std::vector<double> want(lambda, lambda + n);
    std::sort(want.begin(), want.end());
    for (int j = 1; j <= n; ++j) {
        EXPECT_NEAR(q.eig[j - 1], want[j - 1], 1e-10 * want[j - 1]);
        EXPECT_EQ(q.inv[q.order[j - 1] - 1], j);
        for (int c = 1; c <= n; ++c) {
            double kx = 0.0, mx = 0.0, xmx = 0.0;
            for (int p = 1; p <= n; ++p) kx += k0(j, p) * q.x(p, c), mx += m0(j, p) * q.x(p, c);
            for (int i = 1; i <= n; ++i)
                for (int p = 1; p <= n; ++p) xmx += q.x(i, j) * m0(i, p) * q.x(p, c);
            EXPECT_NEAR(kx, q.eig[c - 1] * mx, 1e-8 * 750.0);
            EXPECT_NEAR(xmx, j == c, 1e-9);
            EXPECT_TRUE(q.k(j, c) == q.k(c, j) && q.m(j, c) == q.m(c, j));
        }
    }
}

// ---- Hessenberg QR -------------------------------------------------------------

TEST(Numerics, QrWorkedCasesAndBalancing) {
    // Triangular and diagonal matrices: isolated in place, in isolation order.
    Spectrum up = Eigenvalues(Rows({{3, 1, 2, 5, 1}, {0, -1, 4, 1, 2}, {0, 0, 4, 3, 3}, {0, 0, 0, 1, 7}, {0, 0, 0, 0, 5}}));
    EXPECT_EQ(up.ierr, 0);
    EXPECT_EQ(up.wr, (std::vector<double>{3, -1, 4, 1, 5}));
    EXPECT_EQ(up.wi, std::vector<double>(5, 0.0));
    EXPECT_EQ(Eigenvalues(Rows({{1, 0, 0}, {4, 2, 0}, {5, 6, 3}})).wr, (std::vector<double>{3, 2, 1}));
    EXPECT_EQ(Eigenvalues(Diagonal({2, -7, 9, 1})).wr, (std::vector<double>{2, -7, 9, 1}));
    const Spectrum rot = Eigenvalues(Rows({{0, 1}, {-1, 0}}));
    EXPECT_EQ(rot.wr, (std::vector<double>{0, 0}));
    EXPECT_EQ(rot.wi, (std::vector<double>{1, -1}));
    const Spectrum big = Eigenvalues(Dense(3), 4);  // order above the leading dimension
    EXPECT_EQ(big.ierr, 40);
    EXPECT_EQ(big.wr, std::vector<double>(4, 42.0));
    // A NaN keeps the rest from converging: the index where the iteration
    // gave up after 30 steps; the isolated eigenvalue 7 kept.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Spectrum gave = Eigenvalues(Rows({{nan, 1, 0, 2}, {1, 1, 1, 0}, {0, 1, 1, 5}, {0, 0, 0, 7}}));
    EXPECT_EQ(gave.ierr, 3);
    EXPECT_EQ(gave.wr[3] + gave.wi[3] + gave.wr[0], 7.0 + 42.0);
    EXPECT_NE(Eigenvalues(Rows({{1, 2, 3}, {4, 5, std::numeric_limits<double>::infinity()}, {7, 8, 9}})).ierr, 0);
    // Rows and columns that isolate eigenvalues, one after the other: the
    // bounds of the rest.
    int low = 0, igh = 0;
    Dense rows = Rows({{1, 0, 0}, {4, 2, 0}, {5, 6, 3}}), cols = Rows({{1, 1, 1, 1}, {0, 2, 1, 1}, {0, 0, 3, 1}, {0, 0, 1, 4}});
    Balance(rows, low, igh);
    EXPECT_TRUE(low == 1 && igh == 1) << low << " " << igh;
    Balance(cols, low, igh);
    EXPECT_TRUE(low == 3 && igh == 4) << low << " " << igh;
    // Balancing ends when no power of 2 scales a row and its column by 5 %:
    // for every row, off-diagonal row and column sums within a factor 4.
    Dense a = Random(12, 5);
    for (int j = 1; j <= 12; ++j)
        for (int i = 1; i <= 12; ++i) a(i, j) = std::ldexp(a(i, j) + (i == j ? 3 : 0), 5 * (i - j));
    Balance(a, low, igh);
    EXPECT_TRUE(low == 1 && igh == 12);
    for (int i = 1; i <= 12; ++i) {
        double c = 0, r = 0;
        for (int j = 1; j <= 12; ++j) c += j == i ? 0 : std::fabs(a(j, i)), r += j == i ? 0 : std::fabs(a(i, j));
        EXPECT_TRUE(c < 4 * r && r < 4 * c) << i << ": " << c << " " << r;
    }
}

TEST(Numerics, QrAgainstClosedForms) {
    std::vector<std::tuple<Dense, std::vector<C>, double>> cases;
    // Companion matrices of chosen roots.
    for (std::vector<C> roots : {std::vector<C>{1, 2, 3, -4, C(0.5, 2), C(0.5, -2), C(-1, 1), C(-1, -1)},
                                 std::vector<C>{10, -0.1, C(3, 7), C(3, -7), C(0, 1.5), C(0, -1.5), C(-2, 0.25), C(-2, -0.25), 6}}) {
        std::vector<std::complex<long double>> c{1.0L};
        for (C r : roots) {
            c.push_back(0.0L);
            for (size_t i = c.size() - 1; i > 0; --i) c[i] -= std::complex<long double>(r) * c[i - 1];
        }
        const int n = int(roots.size());
        Dense a(n);
        for (int i = 1; i <= n; ++i) a(i, n) = -double(c[n - i + 1].real()), a(i % n + 1, i) += i < n;
        cases.emplace_back(a, roots, 1e-8);
    }
    // Tridiagonal Toeplitz tridiag(a, d, c): d + 2 sqrt(ac) cos(k pi/(n+1)).
    for (auto [a, d, c] : std::initializer_list<std::tuple<double, double, double>>{{1, 3, 1}, {2, 0, -2}, {1, 3, 1.2}, {-1.1, 0.5, 1}}) {
        Dense m(24);
        std::vector<C> want;
        for (int i = 1; i <= 24; ++i) {
            m(i, i) = d;
            if (i < 24) m(i + 1, i) = a, m(i, i + 1) = c;
            want.push_back(d + 2.0 * std::sqrt(C(a * c)) * std::cos(i * PI / 25));
        }
        cases.emplace_back(m, want, 5e-8);
    }
    // Cyclic permutations stall the standard shifts: roots of unity.
    for (int n : {3, 4, 7}) {
        Dense a(n);
        std::vector<C> want;
        for (int i = 1; i <= n; ++i) a(i % n + 1, i) = 1.0, want.push_back(std::polar(1.0, 2.0 * PI * i / n));
        cases.emplace_back(a, want, 1e-7);
    }
    // An undamped chain: +-i sqrt(lambda_j), real parts at the level of 2^-26.
    std::vector<C> chain;
    for (int j = 1; j <= 30; ++j) chain.push_back(C(0, std::sqrt(ChainEigenvalue(j, 30, 4.0e5, 0.02)))), chain.push_back(std::conj(chain.back()));
    cases.emplace_back(FirstOrderChain(30, 4.0e5, 0.02, 0.0, 0.0, 64), chain, 1e-7 * 8944);
    for (const auto& [a, want, tol] : cases) {
        const Spectrum s = Eigenvalues(a);
        EXPECT_EQ(s.ierr, 0) << a.n;
        EXPECT_LT(Distance(s, want), tol) << "order " << a.n;
        ExpectConjugatePairs(s);
    }
}

// The reduction written out step by step (sums from igh down to m), which the
// blocked form must match bit for bit.
void ReduceStepByStep(Dense& a, int low, int igh, std::vector<double>& ort) {
    for (int m = low + 1; m <= igh - 1; ++m) {
        double h = 0.0, scale = 0.0;
        ort[m - 1] = 0.0;
        for (int i = m; i <= igh; ++i) scale += std::fabs(a(i, m - 1));
        if (scale == 0.0) continue;
        for (int i = igh; i >= m; --i) ort[i - 1] = a(i, m - 1) / scale, h += ort[i - 1] * ort[i - 1];
        const double g = ort[m - 1] >= 0.0 ? -std::sqrt(h) : std::sqrt(h);
        h -= ort[m - 1] * g;
        ort[m - 1] -= g;
        for (int j = m; j <= a.n; ++j) {
            double f = 0.0;
            for (int i = igh; i >= m; --i) f += ort[i - 1] * a(i, j);
            for (int i = m; i <= igh; ++i) a(i, j) -= f / h * ort[i - 1];
        }
        for (int i = 1; i <= igh; ++i) {
            double f = 0.0;
            for (int j = igh; j >= m; --j) f += ort[j - 1] * a(i, j);
            for (int j = m; j <= igh; ++j) a(i, j) -= f / h * ort[j - 1];
        }
        ort[m - 1] *= scale;
        a(m, m - 1) = scale * g;
    }
}

TEST(Numerics, HessenbergReductionMatchesTheStepByStepForm) {
    // Orders up to igh at the limit of the work space.
    for (auto [n, low, igh] : std::initializer_list<std::tuple<int, int, int>>{
             {1, 1, 1}, {3, 1, 3}, {29, 1, 29}, {40, 3, 35}, {61, 1, 61}, {173, 6, 160}, {800, 780, 792}}) {
        Dense a = Random(n, 40u + n, n + 2);
        for (int i = 12; n == 61 && i <= n; ++i) a(i, 10) = 0.0;                     // a step with nothing to reduce
        for (int i = low + 65; n == 173 && i <= n; ++i) a(i, low + 64) = 0.0;        // the same at the end of a block
        Dense b = a;
        std::vector<double> o1(n, 0.0), o2(n, 0.0);
        Hessenberg(a, low, igh, o1);
        ReduceStepByStep(b, low, igh, o2);
        EXPECT_EQ(a.v, b.v) << n;
        for (int m = low + 1; m < igh; ++m) EXPECT_EQ(o1[m - 1], o2[m - 1]) << n;
    }
}

// ---- Complex solver ------------------------------------------------------------

// Products formed one operation at a time (kept scalar, so nothing is fused).
[[gnu::optimize("no-tree-vectorize")]] Z MulAdd(Z y, Z a, Z x) {
    return Z{y.re + (a.re * x.re - a.im * x.im), y.im + (a.im * x.re + a.re * x.im)};
}

TEST(Numerics, ComplexKernelsFactorsAndSolves) {
    const std::vector<Z> m{{1, 2}, {-3, 1}, {2, -2}, {0, 1}};  // measures 3, 4, 4, 1: the first largest
    EXPECT_EQ(std::vector<int>({ComplexMaxIndex(4, m.data()), ComplexMaxIndex(0, m.data()), ComplexMaxIndex(1, m.data()),
                                ComplexMaxIndex(3, m.data() + 1)}),
              std::vector<int>({2, 0, 1, 1}));
    // Every product and sum rounded separately; a = 0 and n <= 0 change
    // nothing.
    const int n = 37;
    const Dense r = Random(4 * n, 77);
    std::vector<Z> x(n), y(n);
    for (int i = 0; i < n; ++i) x[i] = Z{r.v[i], r.v[n + i]}, y[i] = Z{r.v[2 * n + i], r.v[3 * n + i]};
    const Z a{0.3711, -1.2377};
    std::vector<Z> ya = y, y0 = y, xs = x;
    ComplexAxpy(n, a, x.data(), ya.data());
    ComplexAxpy(n, Z{}, x.data(), y0.data());
    ComplexAxpy(0, a, x.data(), y0.data());
    ComplexScale(n, a, xs.data());
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(Cx(ya[i]), Cx(MulAdd(y[i], a, x[i]))) << i;
        EXPECT_EQ(Cx(xs[i]), Cx(MulAdd(Z{}, a, x[i]))) << i;
        EXPECT_EQ(Cx(y0[i]), Cx(y[i]));
    }
    // Factors worked by hand: order one; a zero first column (INFO 1, the
    // rest still factored, the multiplier negated); a zero last pivot; equal
    // pivot measures (the upper row).
    std::vector<int> ipvt;
    Complex one(1);
    one(1, 1) = Z{2, 1};
    EXPECT_EQ(Factor(one, ipvt) + ipvt[0], 1);
    one(1, 1) = Z{};
    EXPECT_EQ(Factor(one, ipvt), 1);
    Complex z(3, 4);
    z(1, 2) = {1, 1}, z(2, 2) = {4, 0}, z(3, 2) = {2, 0}, z(1, 3) = {1, 0}, z(2, 3) = {0, 1}, z(3, 3) = {3, 0};
    EXPECT_EQ(Factor(z, ipvt), 1);
    EXPECT_EQ(ipvt, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(Cx(z(3, 2)), C(-0.5, 0.0));
    Complex s(2);
    s(1, 1) = {1, 0}, s(2, 1) = {2, 0}, s(1, 2) = {2, 0}, s(2, 2) = {4, 0};
    EXPECT_EQ(Factor(s, ipvt), 2);
    Complex t(3);
    t(1, 1) = {1, 0}, t(2, 1) = {1, -2}, t(3, 1) = {-2, 1}, t(1, 2) = t(2, 3) = t(3, 3) = {1, 0}, t(2, 2) = {0, 5}, t(1, 3) = {2, 0};
    EXPECT_EQ(Factor(t, ipvt), 0);
    EXPECT_EQ(ipvt[0], 2);
    EXPECT_EQ(Cx(t(1, 1)), C(1, -2));
    // A diagonal system.
    Complex d(3, 5);
    d(1, 1) = {2, 0}, d(2, 2) = {0, 4}, d(3, 3) = {1, 1};
    Factor(d, ipvt);
    const std::vector<Z> xd = Solve(d, ipvt, {{4, 2}, {8, 0}, {2, 0}});
    EXPECT_EQ(std::vector<C>({Cx(xd[0]), Cx(xd[1]), Cx(xd[2])}), std::vector<C>({C(2, 1), C(0, -2), C(1, -1)}));
    // Residuals: the dynamic stiffness K - w^2 M + i w C of a damped chain
    // near a resonance, and a random matrix, leading dimension above the order.
    const Dense k = Chain(60, 2.0e6), rnd = Random(120, 9);
    for (int which = 0; which < 2; ++which) {
        Complex g(60, 67);
        const double w = std::sqrt(ChainEigenvalue(3, 60, 2.0e6, 0.05)) * 1.01;
        for (int j = 1; j <= 60; ++j)
            for (int i = 1; i <= 60; ++i)
                g(i, j) = which == 0 ? Z{k(i, j) - (i == j) * w * w * 0.05, (i == j) * 20.0 * w} : Z{rnd(i, j), rnd(60 + i, j)};
        Complex f = g;
        ASSERT_EQ(Factor(f, ipvt), 0);
        std::vector<Z> rhs(60);
        for (int i = 0; i < 60; ++i) rhs[i] = Z{std::cos(i), std::sin(2.0 * i)};
        const std::vector<Z> sol = Solve(f, ipvt, rhs);
        double worst = 0.0, scale = 0.0;
        for (int i = 1; i <= 60; ++i) {
            C res = -Cx(rhs[i - 1]);
            for (int j = 1; j <= 60; ++j) res += Cx(g(i, j)) * Cx(sol[j - 1]), scale = std::max(scale, std::abs(Cx(g(i, j)) * Cx(sol[j - 1])));
            worst = std::max(worst, std::abs(res));
        }
        EXPECT_LT(worst, 1e-12 * scale) << which;
    }
}

// The elimination written out step by step (each step updates every later
// column), which the panel form must match bit for bit.
int FactorStepByStep(Complex& a, std::vector<int>& ipvt) {
    const int n = a.n;
    int info = 0;
    ipvt.assign(n, n);
    for (int k = 1; k <= n - 1; ++k) {
        const int l = ComplexMaxIndex(n - k + 1, &a(k, k)) + k - 1;
        ipvt[k - 1] = l;
        if (std::fabs(a(l, k).re) + std::fabs(a(l, k).im) == 0.0) {
            info = k;
            continue;
        }
        if (l != k) std::swap(a(l, k), a(k, k));
        const Z rc = ComplexQuotient(Z{1.0, 0.0}, a(k, k));
        ComplexScale(n - k, Z{-rc.re, -rc.im}, &a(k + 1, k));
        for (int j = k + 1; j <= n; ++j) {
            const Z t = a(l, j);
            if (l != k) a(l, j) = a(k, j), a(k, j) = t;
            ComplexAxpy(n - k, t, &a(k + 1, k), &a(k + 1, j));
        }
    }
    return std::fabs(a(n, n).re) + std::fabs(a(n, n).im) == 0.0 ? n : info;
}

TEST(Numerics, ComplexFactorMatchesTheStepByStepElimination) {
    for (int n : {1, 2, 5, 33, 70, 101}) {
        Complex a(n, n + 3);
        const Dense r = Random(2 * n, 100u + n);
        for (int j = 1; j <= n; ++j)
            for (int i = 1; i <= n; ++i) a(i, j) = Z{r(i, j), r(n + i, j)};
        for (int i = 1; n == 70 && i <= n; ++i) a(i, 40) = Z{};   // a zero pivot inside a panel
        for (int j = 50; n == 70 && j <= 60; ++j) a(3, j) = Z{};  // and zeros in pivot rows
        Complex b = a;
        std::vector<int> p1, p2;
        EXPECT_EQ(Factor(a, p1), FactorStepByStep(b, p2)) << n;
        EXPECT_EQ(p1, p2) << n;
        for (size_t i = 0; i < a.v.size(); ++i) ASSERT_EQ(Cx(a.v[i]), Cx(b.v[i])) << n << " at " << i;
    }
}

// ---- Complex inverse iteration ---------------------------------------------------

TEST(Numerics, InverseIteration) {
    // The start vector (0, 0.1) is an eigenvector of eigenvalue 1: converged
    // at the second solve; the diagonal stays shifted.
    Iteration e(Rows({{3, 0}, {5, 1}}), 1.01, 0.0, 200);
    EXPECT_EQ(e.itmax, 0);
    EXPECT_EQ(e.X(1) + e.X(2) * 2.0, C(2.0));
    EXPECT_DOUBLE_EQ(e.a(1, 1), 3.0 - 1.01);
    EXPECT_EQ(e.console, "");
    // An exact eigenvalue: the warning, and still the eigenvector.
    Iteration s(Diagonal({5, 6, 2, 7}), 2.0, 0.0, 200);
    EXPECT_EQ(s.console, " MATRIX CA MAY BE SINGULAR");
    EXPECT_EQ(s.itmax, 0);
    for (int i = 1; i <= 4; ++i) EXPECT_NEAR(std::abs(s.X(i) - C(i == 3)), 0.0, 1e-15);
    // diag(2, 0) shifted by 1 + i: entries of equal modulus turned by a
    // quarter at each solve; normalised on the later one, never settling.
    Iteration q(Rows({{2, 0}, {0, 0}}), 1.0, 1.0, 1);
    EXPECT_EQ(q.itmax, 1);
    EXPECT_EQ(q.X(1) + q.X(2) * 3.0, C(2.0));  // (-1, 1)
    EXPECT_EQ(q.console, " CONVERGENCE NOT ACHIEVED IN          1");
    // A damped chain with skew coupling: its lowest whirl eigenvalue from the
    // QR solver, perturbed as a computed eigenvalue would be; the residual,
    // the velocity half lambda times the displacement half, largest entry 1.
    const int n = 12;
    const Dense a = FirstOrderChain(n, 1.0e6, 0.5, 40.0, 300.0, 2 * n + 3);
    const Spectrum sp = Eigenvalues(a);
    int pick = -1;
    for (int i = 0; i < 2 * n; ++i)
        if (sp.wi[i] > 0.0 && (pick < 0 || sp.wi[i] < sp.wi[pick])) pick = i;
    const C lambda(sp.wr[pick] * (1 + 1e-9), sp.wi[pick] * (1 - 1e-9));
    Iteration it(a, lambda.real(), lambda.imag(), 200, 1e-8);
    EXPECT_EQ(it.itmax, 0);
    double worst = 0.0, biggest = 0.0;
    for (int i = 1; i <= 2 * n; ++i) {
        C r = -lambda * it.X(i);
        for (int j = 1; j <= 2 * n; ++j) r += a(i, j) * it.X(j);
        worst = std::max(worst, std::abs(r)), biggest = std::max(biggest, std::abs(it.X(i)));
        EXPECT_LT(std::abs(it.X(std::min(i, n)) - lambda * it.X(n + std::min(i, n))), 1e-9 * std::abs(lambda));  // velocities
    }
    EXPECT_LT(worst, 1e-9 * 4.0e6);
    EXPECT_EQ(biggest, 1.0);
}

// ---- Cubic spline ----------------------------------------------------------------

TEST(Numerics, Splines) {
    // What each end condition reproduces at points inside and at the ends of
    // every interval, with the second derivatives at the knots.
    const std::vector<float> uneven = {-1.0f, 0.5f, 1.25f, 3.0f, 3.5f, 6.0f};
    const struct {
        std::vector<float> x;
        std::vector<int> ecs;
        float (*f)(float);
        float (*second)(float);  // nullptr: not checked
        float tol;
    } cases[] = {
        {{1.0f, 4.0f}, {0, 1, 2, 3}, [](float v) { return 2.0f * v; }, [](float) { return 0.0f; }, 2e-6f},
        {uneven, {1, 2, 3}, [](float v) { return 1.5f - 0.75f * v; }, nullptr, 2e-6f},
        {uneven, {2}, [](float v) { return 3.0f * v * v - 2.0f * v + 1.0f; }, [](float) { return 6.0f; }, 2e-5f},
        {uneven, {3}, [](float v) { return ((v - 2.0f) * v + 0.5f) * v + 3.0f; }, [](float v) { return 6.0f * v - 4.0f; }, 5e-5f},
        {{0.0f, 1.0f, 2.5f}, {2}, [](float v) { return v * v; }, [](float) { return 2.0f; }, 1e-5f},
    };
    for (const auto& c : cases)
        for (int ec : c.ecs) {
            const Fit f(c.x, ec, c.f);
            for (size_t i = 0; i + 1 < c.x.size(); ++i)
                for (float t : {0.0f, 0.2f, 0.5f, 0.9f, 1.0f}) {
                    const float v = c.x[i] + t * (c.x[i + 1] - c.x[i]);
                    EXPECT_NEAR(f.At(v), c.f(v), c.tol * (1.0f + std::fabs(c.f(v)))) << ec << " at " << v;
                }
            for (int i = 1; c.second && i <= f.n(); ++i) EXPECT_NEAR(f.Second(i), c.second(c.x[i - 1]), 2e-4f) << ec;
        }
    // The knots give the data exactly, the ends of intervals up to rounding;
    // parabolic ends make the first and last intervals parabolas.
    for (int ec : {1, 2, 3}) {
        const auto g = [](float v) { return std::cos(v) * 40.0f + v; };
        const Fit f(uneven, ec, g);
        for (int i = 1; i < f.n(); ++i) {
            EXPECT_EQ(f.K(297, i), g(uneven[i - 1]));
            EXPECT_NEAR(EvaluateSpline(f.coef.view(), 1, i, uneven[i] - uneven[i - 1]), g(uneven[i]), 1e-4f);
        }
        EXPECT_EQ(f.K(0, 1) == 0.0f && f.K(0, f.n() - 1) == 0.0f, ec == 2);
    }
    // Three points, natural ends: S(2) = rhs / (2 (h1 + h2)).
    const Fit three({0.0f, 1.0f, 3.0f}, 1, [](float v) { return v == 0.0f ? 0.0f : v == 1.0f ? 2.0f : 1.0f; });
    EXPECT_FLOAT_EQ(three.K(99, 2), 6.0f * ((1.0f - 2.0f) / 2.0f - 2.0f) / (2.0f * 3.0f) / 2.0f);
    EXPECT_EQ(three.K(99, 1), 0.0f);
    // Too few points for the end condition (and condition 0): natural ends.
    const auto c = [](float v) { return v * v * v - v; };
    const Fit natural({0.0f, 1.0f, 2.5f}, 1, c), zero({0.0f, 1.0f, 2.5f}, 0, c), cubic({0.0f, 1.0f, 2.5f}, 3, c);
    const Fit line({0.0f, 2.0f}, 1, c), par({0.0f, 2.0f}, 2, c);
    for (int row : {0, 99, 198, 297}) {
        EXPECT_TRUE(cubic.K(row, 1) == natural.K(row, 1) && cubic.K(row, 2) == natural.K(row, 2)) << row;
        EXPECT_TRUE(zero.K(row, 1) == natural.K(row, 1) && zero.K(row, 2) == natural.K(row, 2)) << row;
        EXPECT_EQ(par.K(row, 1), line.K(row, 1));
    }
    // Column ncols (b - 1) + m holds group b, column m; nothing beyond.
    const Fit groups({0.0f, 1.0f, 2.0f, 4.0f}, 1, [](float v) { return 0.5f * v; }, 2, 3);
    for (int col = 1; col <= 6; ++col) {
        const float base = 10.0f * ((col - 1) / 3 + 1) + (col - 1) % 3 + 1 - 11.0f;
        EXPECT_EQ(groups.K(297, 1, col), base);
        EXPECT_NEAR(groups.At(3.0f, col), base + 1.5f, 1e-5f);
    }
    EXPECT_EQ(groups.K(297, 1, 7), 0.0f);
    // The interval rule: a table speed ends the interval below it; advancing
    // only moves up, never past the last interval.
    const float x[] = {100.0f, 200.0f, 300.0f, 400.0f};
    for (auto [v, want] : std::initializer_list<std::pair<float, int>>{{50, 1}, {100, 1}, {150, 1}, {200, 1}, {200.5f, 2}, {400, 3}, {900, 3}})
        EXPECT_EQ(StartInterval(x, 4, v), want) << v;
    EXPECT_EQ(StartInterval(x, 2, 900.0f), 1);
    int ispan = 1;
    for (auto [v, want] : std::initializer_list<std::pair<float, int>>{{200, 1}, {350, 3}, {1000, 3}, {150, 3}}) {
        AdvanceInterval(x, 4, v, ispan);
        EXPECT_EQ(ispan, want) << v;
    }
}

}  // namespace
