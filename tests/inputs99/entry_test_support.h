#pragma once
// Helpers of the keyboard-entry and editor tests: typed answers built line
// by line, a reader of saved model files that follows the record layout of
// the model file, and screen checks that ignore trailing blanks.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace entry_test {

// Answers typed at the console, one line each.
struct Typed {
    std::string text;
    Typed& operator<<(const std::string& line) {
        text += line + "\n";
        return *this;
    }
    Typed& operator<<(int n) { return *this << std::to_string(n); }
};

inline std::string RightTrimmed(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

// The model of a saved model file, read in the order the records are
// written (title, counts, units, elements, discs, bearings, pedestals,
// pedestal coefficients, added weights, material, data sets, unbalance).
struct SavedModel {
    bool complete = false;
    std::string title;
    int nsta = 0, ndisc = 0, nbrg = 0, nped = 0, ncm = 0, iunits = 0, ispare = 0, nspeed = 0;
    std::vector<std::array<double, 5>> shaft;
    std::vector<int> dsta, bsta, psta, wsta;
    std::vector<std::array<double, 6>> disc;
    std::vector<double> bwt, pwt, wwt, speed, unbamp, unbphs;
    std::vector<std::array<double, 4>> pedc;
    std::vector<std::vector<std::array<double, 8>>> bcoef;  // [set][bearing]
    double E = 0, Rho = 0;
};

inline SavedModel ReadSavedModel(const std::string& text) {
    SavedModel m;
    std::vector<std::string> lines = SplitLines(text);
    if (lines.empty()) return m;
    m.title = RightTrimmed(lines[0]);
    std::vector<double> v;
    for (size_t k = 1; k < lines.size(); ++k) {
        std::istringstream in(lines[k]);
        std::string tok;
        while (in >> tok) v.push_back(std::strtod(tok.c_str(), nullptr));
    }
    size_t p = 0;
    bool ok = true;
    auto next = [&]() {
        if (p >= v.size()) {
            ok = false;
            return 0.0;
        }
        return v[p++];
    };
    auto nextInt = [&]() { return static_cast<int>(std::lround(next())); };
    m.nsta = nextInt(), m.ndisc = nextInt(), m.nbrg = nextInt(), m.nped = nextInt(), m.ncm = nextInt();
    m.iunits = nextInt(), m.ispare = nextInt();
    if (!ok || m.nsta < 0 || m.nsta > 99 || m.ndisc < 0 || m.ndisc > 99 || m.nbrg < 0 || m.nbrg > 99 ||
        m.nped < 0 || m.nped > 99 || m.ncm < 0 || m.ncm > 99)
        return m;
    for (int i = 1; i < m.nsta; ++i) {
        std::array<double, 5> row{};
        for (double& x : row) x = next();
        m.shaft.push_back(row);
    }
    for (int i = 0; i < m.ndisc; ++i) {
        m.dsta.push_back(nextInt());
        std::array<double, 6> row{};
        for (double& x : row) x = next();
        m.disc.push_back(row);
    }
    for (int i = 0; i < m.nbrg; ++i) m.bsta.push_back(nextInt()), m.bwt.push_back(next());
    for (int i = 0; i < m.nped; ++i) m.psta.push_back(nextInt()), m.pwt.push_back(next());
    for (int i = 0; i < m.nped; ++i) {
        std::array<double, 4> row{};
        for (double& x : row) x = next();
        m.pedc.push_back(row);
    }
    for (int i = 0; i < m.ncm; ++i) m.wsta.push_back(nextInt()), m.wwt.push_back(next());
    m.E = next(), m.Rho = next();
    m.nspeed = nextInt();
    if (!ok || m.nspeed < 1 || m.nspeed > 99) return m;
    for (int j = 0; j < m.nspeed; ++j) {
        m.speed.push_back(next());
        std::vector<std::array<double, 8>> set;
        for (int i = 0; i < m.nbrg; ++i) {
            std::array<double, 8> row{};
            for (double& x : row) x = next();
            set.push_back(row);
        }
        m.bcoef.push_back(set);
    }
    for (int i = 0; i < m.nsta; ++i) {
        next();  // station number
        m.unbamp.push_back(next());
        m.unbphs.push_back(next());
    }
    m.complete = ok && p == v.size();
    return m;
}

// The screen lines with trailing blanks removed.
inline std::vector<std::string> ScreenLines(const Session& s) {
    std::vector<std::string> lines = s.outLines();
    for (std::string& l : lines) l = RightTrimmed(l);
    return lines;
}

// Index of the first screen line at or after `from` equal to `line`
// (trailing blanks ignored), or -1.
inline int FindLine(const std::vector<std::string>& lines, const std::string& line, int from = 0) {
    const std::string want = RightTrimmed(line);
    for (int k = std::max(from, 0); k < static_cast<int>(lines.size()); ++k)
        if (lines[k] == want) return k;
    return -1;
}

inline int CountLines(const std::vector<std::string>& lines, const std::string& line) {
    const std::string want = RightTrimmed(line);
    int n = 0;
    for (const std::string& l : lines)
        if (l == want) ++n;
    return n;
}

// Checks that the lines appear on the screen in this order.
inline ::testing::AssertionResult InOrder(const std::vector<std::string>& lines,
                                          const std::vector<std::string>& expected) {
    int at = 0;
    for (const std::string& e : expected) {
        const int k = FindLine(lines, e, at);
        if (k < 0) return ::testing::AssertionFailure() << "line not found in order: \"" << e << "\"";
        at = k + 1;
    }
    return ::testing::AssertionSuccess();
}

// Relative closeness for values printed with 7 significant digits.
inline ::testing::AssertionResult Near7(double got, double want) {
    const double tol = 2e-6 * std::max(1.0, std::fabs(want));
    if (std::fabs(got - want) <= tol) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " differs from " << want;
}

}  // namespace entry_test
