// Cubic splines against closed forms: polynomials the end conditions must
// reproduce exactly, the coefficients at the knots, and the interval rule.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "subs99/spline.h"

namespace {

// Coefficient rows of interval i.
constexpr int A = 0, B = 99, C = 198, D = 297;

struct Fit {
    Array3<float, 99, 4, 8> y;
    Array2<float, 396, 16> coef;
    Array2<float, 99, 4> work;
    float s[99];
    std::vector<float> x;

    Fit() {
        y.clear();
        coef.clear();
    }
    // Fits the column y(., 1, 1) = f(x) over xs with end condition ec.
    template <class F>
    void one(const std::vector<float>& xs, int ec, F f) {
        x = xs;
        for (int j = 1; j <= static_cast<int>(xs.size()); ++j) y(j, 1, 1) = f(xs[j - 1]);
        FitSplineTables(1, static_cast<int>(xs.size()), ec, 1, x.data(), y.view(), coef.view(), s, work.view());
    }
    int n() const { return static_cast<int>(x.size()); }
    float at(float v, int column = 1) {
        const int i = StartInterval(x.data(), n(), v);
        return EvaluateSpline(coef.view(), column, i, v - x[i - 1]);
    }
    float k(int row, int i, int column = 1) { return coef(row + i, column); }
    // Second derivative at knot i, from the coefficients of the interval
    // that starts there (or, for the last knot, ends there).
    float second(int i) {
        if (i < n() || n() < 2) return 2.0f * k(B, i);
        const float h = x[n() - 1] - x[n() - 2];
        return 2.0f * k(B, n() - 1) + 6.0f * k(A, n() - 1) * h;
    }
};

const std::vector<float> kUneven = {-1.0f, 0.5f, 1.25f, 3.0f, 3.5f, 6.0f};

// Points strictly inside and at the ends of every interval.
std::vector<float> Probes(const std::vector<float>& xs) {
    std::vector<float> p;
    for (size_t i = 0; i + 1 < xs.size(); ++i)
        for (float t : {0.0f, 0.2f, 0.5f, 0.9f}) p.push_back(xs[i] + t * (xs[i + 1] - xs[i]));
    p.push_back(xs.back());
    return p;
}

TEST(Spline, StraightLineThroughTwoPointsUnderEveryEndCondition) {
    for (int ec : {0, 1, 2, 3}) {
        Fit f;
        f.one({1.0f, 4.0f}, ec, [](float v) { return 2.0f * v; });
        SCOPED_TRACE(ec);
        EXPECT_EQ(f.k(A, 1), 0.0f);
        EXPECT_EQ(f.k(B, 1), 0.0f);
        EXPECT_FLOAT_EQ(f.k(C, 1), 2.0f);
        EXPECT_EQ(f.k(D, 1), 2.0f);
        EXPECT_FLOAT_EQ(f.at(2.5f), 5.0f);
        EXPECT_FLOAT_EQ(f.at(4.0f), 8.0f);
    }
}

TEST(Spline, LinearDataStaysLinearUnderEveryEndCondition) {
    for (int ec : {1, 2, 3}) {
        Fit f;
        auto line = [](float v) { return 1.5f - 0.75f * v; };
        f.one(kUneven, ec, line);
        SCOPED_TRACE(ec);
        for (float v : Probes(kUneven)) EXPECT_NEAR(f.at(v), line(v), 2e-6f * (1.0f + std::fabs(line(v)))) << v;
    }
}

TEST(Spline, ParabolicEndsReproduceAParabola) {
    Fit f;
    auto parabola = [](float v) { return 3.0f * v * v - 2.0f * v + 1.0f; };
    f.one(kUneven, 2, parabola);
    for (float v : Probes(kUneven)) EXPECT_NEAR(f.at(v), parabola(v), 2e-5f * (1.0f + std::fabs(parabola(v)))) << v;
    for (int i = 1; i <= f.n(); ++i) EXPECT_NEAR(f.second(i), 6.0f, 1e-4f) << i;
}

TEST(Spline, ParabolicEndsMakeTheEndIntervalsParabolas) {
    Fit f;
    f.one(kUneven, 2, [](float v) { return std::sin(v); });
    EXPECT_EQ(f.k(A, 1), 0.0f);
    EXPECT_EQ(f.k(A, f.n() - 1), 0.0f);
    EXPECT_NE(f.k(A, 2), 0.0f);
}

TEST(Spline, CubicEndsReproduceACubic) {
    Fit f;
    auto cubic = [](float v) { return ((v - 2.0f) * v + 0.5f) * v + 3.0f; };
    f.one(kUneven, 3, cubic);
    for (float v : Probes(kUneven)) EXPECT_NEAR(f.at(v), cubic(v), 5e-5f * (1.0f + std::fabs(cubic(v)))) << v;
    // y'' = 6x - 4 at every knot, the ends included.
    for (int i = 1; i <= f.n(); ++i) EXPECT_NEAR(f.second(i), 6.0f * kUneven[i - 1] - 4.0f, 2e-4f) << i;
}

TEST(Spline, NaturalEndsWithThreePoints) {
    // One equation: S(2) = rhs / (2 (h1 + h2)), S(1) = S(3) = 0.
    Fit f;
    const std::vector<float> x = {0.0f, 1.0f, 3.0f};
    const std::vector<float> y = {0.0f, 2.0f, 1.0f};
    f.one(x, 1, [&](float v) { return v == 0.0f ? y[0] : v == 1.0f ? y[1] : y[2]; });
    const float rhs = 6.0f * ((1.0f - 2.0f) / 2.0f - (2.0f - 0.0f) / 1.0f);
    const float s2 = rhs / (2.0f * (1.0f + 2.0f));
    EXPECT_EQ(f.k(B, 1), 0.0f);
    EXPECT_FLOAT_EQ(f.k(B, 2), s2 / 2.0f);
    EXPECT_NEAR(f.second(3), 0.0f, 1e-6f);
}

TEST(Spline, KnotsReturnTheData) {
    for (int ec : {1, 2, 3}) {
        Fit f;
        auto g = [](float v) { return std::cos(v) * 40.0f + v; };
        f.one(kUneven, ec, g);
        SCOPED_TRACE(ec);
        for (int i = 1; i < f.n(); ++i) {
            EXPECT_EQ(EvaluateSpline(f.coef.view(), 1, i, 0.0f), g(kUneven[i - 1]));
            // The right end of each interval meets the next datum up to rounding.
            const float h = kUneven[i] - kUneven[i - 1];
            EXPECT_NEAR(EvaluateSpline(f.coef.view(), 1, i, h), g(kUneven[i]), 1e-4f);
        }
    }
}

TEST(Spline, TooFewPointsFallBackToNaturalEnds) {
    auto g = [](float v) { return v * v * v - v; };
    Fit natural, parabolic, cubic, zero;
    natural.one({0.0f, 1.0f, 2.5f}, 1, g);
    zero.one({0.0f, 1.0f, 2.5f}, 0, g);
    cubic.one({0.0f, 1.0f, 2.5f}, 3, g);
    for (int i = 1; i <= 2; ++i)
        for (int row : {A, B, C, D}) {
            EXPECT_EQ(cubic.k(row, i), natural.k(row, i));
            EXPECT_EQ(zero.k(row, i), natural.k(row, i));
        }
    Fit line2, par2;
    line2.one({0.0f, 2.0f}, 1, g);
    par2.one({0.0f, 2.0f}, 2, g);
    for (int row : {A, B, C, D}) EXPECT_EQ(par2.k(row, 1), line2.k(row, 1));
    // Three points are enough for parabolic ends: one parabola through them.
    parabolic.one({0.0f, 1.0f, 2.5f}, 2, [](float v) { return v * v; });
    EXPECT_EQ(parabolic.k(A, 1), 0.0f);
    EXPECT_NEAR(parabolic.at(1.7f), 1.7f * 1.7f, 1e-5f);
}

TEST(Spline, ColumnsOfSeveralGroups) {
    // Column ncols*(b-1)+m holds group b, column m.
    Fit f;
    f.x = {0.0f, 1.0f, 2.0f, 4.0f};
    for (int b = 1; b <= 2; ++b)
        for (int m = 1; m <= 3; ++m)
            for (int j = 1; j <= 4; ++j) f.y(j, b, m) = 10.0f * b + m + 0.5f * f.x[j - 1];
    FitSplineTables(2, 4, 1, 3, f.x.data(), f.y.view(), f.coef.view(), f.s, f.work.view());
    for (int b = 1; b <= 2; ++b)
        for (int m = 1; m <= 3; ++m) {
            const int col = 3 * (b - 1) + m;
            EXPECT_EQ(f.k(D, 1, col), 10.0f * b + m);
            EXPECT_NEAR(f.at(3.0f, col), 10.0f * b + m + 1.5f, 1e-5f);
        }
    EXPECT_EQ(f.k(D, 1, 7), 0.0f);  // nothing beyond the fitted columns
}

TEST(Spline, IntervalRule) {
    const float x[] = {100.0f, 200.0f, 300.0f, 400.0f};
    EXPECT_EQ(StartInterval(x, 4, 50.0f), 1);
    EXPECT_EQ(StartInterval(x, 4, 100.0f), 1);
    EXPECT_EQ(StartInterval(x, 4, 150.0f), 1);
    EXPECT_EQ(StartInterval(x, 4, 200.0f), 1);  // a table speed ends the lower interval
    EXPECT_EQ(StartInterval(x, 4, 200.5f), 2);
    EXPECT_EQ(StartInterval(x, 4, 400.0f), 3);
    EXPECT_EQ(StartInterval(x, 4, 900.0f), 3);
    EXPECT_EQ(StartInterval(x, 2, 900.0f), 1);

    int ispan = 1;
    AdvanceInterval(x, 4, 200.0f, ispan);
    EXPECT_EQ(ispan, 1);
    AdvanceInterval(x, 4, 350.0f, ispan);
    EXPECT_EQ(ispan, 3);
    AdvanceInterval(x, 4, 1000.0f, ispan);
    EXPECT_EQ(ispan, 3);  // never beyond the last interval
    AdvanceInterval(x, 4, 150.0f, ispan);
    EXPECT_EQ(ispan, 3);  // the rule only moves upward
}

}  // namespace
