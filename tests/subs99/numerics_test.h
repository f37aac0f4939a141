#pragma once
// Helpers of the numerical-routine tests: dense column-major matrices as
// vectors, console capture for the routines that write messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "recordio/recordio.h"
#include "subs99/numerics.h"

// Square matrix of order n with leading dimension ld, 1-based access.
struct Dense {
    int n = 0, ld = 0;
    std::vector<double> v;
    Dense() = default;
    Dense(int order, int lead = 0) : n(order), ld(lead > 0 ? lead : order), v(static_cast<size_t>(ld) * n, 0.0) {}
    // Rows given in reading order.
    static Dense Rows(std::initializer_list<std::initializer_list<double>> rows) {
        Dense d(static_cast<int>(rows.size()));
        int i = 1;
        for (auto& r : rows) {
            int j = 1;
            for (double x : r) d(i, j++) = x;
            ++i;
        }
        return d;
    }
    static Dense Identity(int order) {
        Dense d(order);
        for (int i = 1; i <= order; ++i) d(i, i) = 1.0;
        return d;
    }
    double& operator()(int i, int j) { return v[(i - 1) + static_cast<size_t>(j - 1) * ld]; }
    double operator()(int i, int j) const { return v[(i - 1) + static_cast<size_t>(j - 1) * ld]; }
    Mat<double> view() { return Mat<double>(v.data(), ld); }
};

inline Dense Multiply(const Dense& a, const Dense& b) {
    Dense c(a.n);
    for (int j = 1; j <= a.n; ++j)
        for (int k = 1; k <= a.n; ++k)
            for (int i = 1; i <= a.n; ++i) c(i, j) += a(i, k) * b(k, j);
    return c;
}

inline double MaxAbs(const Dense& a) {
    double m = 0.0;
    for (int j = 1; j <= a.n; ++j)
        for (int i = 1; i <= a.n; ++i) m = std::max(m, std::fabs(a(i, j)));
    return m;
}

// Eigenvalues returned by RealEigenvalues.
struct Spectrum {
    std::vector<double> wr, wi;
    int ierr = -1;
};

inline Spectrum Eigenvalues(Dense a, double machep = 1.4901161193847656e-08) {
    Spectrum s;
    s.wr.assign(a.n, 0.0);
    s.wi.assign(a.n, 0.0);
    static EigenWork work;
    RealEigenvalues(a.view(), a.n, s.wr.data(), s.wi.data(), work, s.ierr, 2.0, machep);
    return s;
}

// Largest distance between the computed eigenvalues and the expected ones,
// each computed value matched with its nearest unused expected value.
inline double SpectrumDistance(const Spectrum& s, std::vector<std::complex<double>> expected) {
    double worst = 0.0;
    for (size_t i = 0; i < s.wr.size(); ++i) {
        const std::complex<double> z(s.wr[i], s.wi[i]);
        size_t best = 0;
        for (size_t j = 1; j < expected.size(); ++j)
            if (std::abs(expected[j] - z) < std::abs(expected[best] - z)) best = j;
        worst = std::max(worst, std::abs(expected[best] - z));
        expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(best));
    }
    return worst;
}

// Replaces the console by string streams for the routines that write
// messages or pause.
class ConsoleTest : public ::testing::Test {
protected:
    std::istringstream in;
    std::ostringstream out;
    void SetUp() override {
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
    }
    [[gnu::noinline]] void Input(const std::string& s) {
        in.str(s);
        in.clear();
    }
    std::string Output() { return out.str(); }
};
