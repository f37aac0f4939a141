#pragma once
// Shared helpers of the front-end tests: typed answers, hand-written model
// files, a reader of saved model files and screen checks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace fe_test {

inline std::string S(int n) { return std::string(n, ' '); }
inline std::string Rep(int n, char c) { return std::string(n, c); }

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

// The screen lines with trailing blanks removed.
inline std::vector<std::string> ScreenLines(const Session& s) {
    std::vector<std::string> lines = s.outLines();
    for (std::string& l : lines) l = RightTrimmed(l);
    return lines;
}

inline int Count(const Session& s, const std::string& text) { return CountOccurrences(s.out, text); }

// The lines appear on the screen in this order (trailing blanks ignored).
inline ::testing::AssertionResult InOrder(const Session& s, const std::vector<std::string>& expected) {
    const std::vector<std::string> lines = ScreenLines(s);
    size_t at = 0;
    for (const std::string& e : expected) {
        while (at < lines.size() && lines[at] != RightTrimmed(e)) ++at;
        if (at++ == lines.size()) return ::testing::AssertionFailure() << "line not found in order: \"" << e << "\"";
    }
    return ::testing::AssertionSuccess();
}

// The screen holds the lines of `block` (joined by LF) one after the other,
// trailing blanks ignored.
inline ::testing::AssertionResult HasBlock(const Session& s, const std::string& block) {
    std::string text, want;
    for (const std::string& l : ScreenLines(s)) text += l + "\n";
    for (const std::string& l : SplitLines(block)) want += RightTrimmed(l) + "\n";
    if (!block.empty() && block.back() != '\n') want.pop_back();
    if (text.find(want) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "block not on the screen:\n" << block;
}

// Relative closeness for values printed with 7 significant digits.
inline ::testing::AssertionResult Near7(double got, double want) {
    if (std::fabs(got - want) <= 2e-6 * std::max(1.0, std::fabs(want))) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << got << " differs from " << want;
}

// The numbers of a model file after its title line, in file order.
inline std::vector<float> Numbers(const std::string& text) {
    std::string body = text.substr(text.find('\n') + 1);
    for (char& c : body)
        if (c == ',') c = ' ';
    std::istringstream in(body);
    std::vector<float> v;
    for (std::string tok; in >> tok;) v.push_back(std::strtof(tok.c_str(), nullptr));
    return v;
}

// A saved model file read back in the order of its records.
struct SavedModel {
    bool complete = false;  // every record present and nothing after the last
    std::string title;
    int nsta = 0, ndisc = 0, nbrg = 0, nped = 0, ncm = 0, iunits = 0, ispare = 0, nspeed = 0;
    std::vector<std::vector<float>> shaft, disc, pedc;   // rows of 5, 6 and 4 values
    std::vector<std::vector<std::vector<float>>> bcoef;  // [speed][bearing]: Sxx Sxy Syx Syy Cxx Cxy Cyx Cyy
    std::vector<int> dsta, bsta, psta, wsta;
    std::vector<float> bwt, pwt, wwt, speed, unbamp, unbphs;
    float E = 0, Rho = 0;
};

inline SavedModel ReadSavedModel(const std::string& text) {
    SavedModel m;
    m.title = RightTrimmed(text.substr(0, text.find_first_of("\r\n")));
    const std::vector<float> v = Numbers(text);
    size_t p = 0;
    bool ok = true;
    auto next = [&] {
        ok = ok && p < v.size();
        return ok ? v[p++] : 0.0f;
    };
    auto count = [&] { return static_cast<int>(std::lround(next())); };
    auto rows = [&](int n, int width) {
        std::vector<std::vector<float>> r(n, std::vector<float>(width));
        for (auto& row : r)
            for (float& x : row) x = next();
        return r;
    };
    for (int* c : {&m.nsta, &m.ndisc, &m.nbrg, &m.nped, &m.ncm, &m.iunits, &m.ispare}) *c = count();
    for (int c : {m.nsta - 1, m.ndisc, m.nbrg, m.nped, m.ncm})
        if (!ok || c < 0 || c > 99) return m;
    m.shaft = rows(m.nsta - 1, 5);
    for (int i = 0; i < m.ndisc; ++i) m.dsta.push_back(count()), m.disc.push_back(rows(1, 6)[0]);
    for (int i = 0; i < m.nbrg; ++i) m.bsta.push_back(count()), m.bwt.push_back(next());
    for (int i = 0; i < m.nped; ++i) m.psta.push_back(count()), m.pwt.push_back(next());
    m.pedc = rows(m.nped, 4);
    for (int i = 0; i < m.ncm; ++i) m.wsta.push_back(count()), m.wwt.push_back(next());
    m.E = next(), m.Rho = next(), m.nspeed = count();
    if (!ok || m.nspeed < 1 || m.nspeed > 99) return m;
    for (int j = 0; j < m.nspeed; ++j) m.speed.push_back(next()), m.bcoef.push_back(rows(m.nbrg, 8));
    for (int i = 0; i < m.nsta; ++i) next(), m.unbamp.push_back(next()), m.unbphs.push_back(next());
    m.complete = ok && p == v.size();
    return m;
}

// The stations of the discs, bearings, pedestals and added weights, as
// "2|1 3|3|2".
inline std::string Stations(const SavedModel& m) {
    std::string r;
    for (const auto* table : {&m.dsta, &m.bsta, &m.psta, &m.wsta}) {
        for (size_t i = 0; i < table->size(); ++i) r.append(i ? " " : "").append(std::to_string((*table)[i]));
        r += "|";
    }
    r.pop_back();
    return r;
}

// Two stations on two bearings, constant coefficients, no unbalance.
inline const char* kTinyModel =
    "TINY MODEL\r\n 2 0 2 0 0\r\n 1 0\r\n 1.0 0.0 10.0 0.0 0.0\r\n 1 0.0\r\n 2 0.0\r\n 3.0E7 0.283\r\n 1\r\n 0.0\r\n"
    " 1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\r\n 1.0E5 0.0 0.0 1.0E5 10.0 0.0 0.0 10.0\r\n 1 0.0 0.0\r\n 2 0.0 0.0\r\n";

// English units: discs, a pedestal under bearing 2, an added weight, three
// speeds and unbalance at stations 2 and 5 (station 3 has a phase but no
// amplitude). ISPARE is 3.
inline const char* kEnglishModel =
    "LISTING TEST ROTOR\r\n5 2 2 1 1\r\n1 3\r\n"
    "2.0 0.5 10.0 0.0 8.5\r\n2.0 0.5 10.0 0.0 8.5\r\n2.0 0.5 10.0 0.0 8.5\r\n2.0 0.5 10.0 0.0 8.5\r\n"
    "2 12.0 2.0 1.5 20.0 370.0 190.0\r\n4 8.0 0.0 1.0 12.5 100.0 50.0\r\n"
    "1 1.5\r\n5 1.5\r\n5 25.0\r\n2.0E5 3.0E5 15.0 20.0\r\n3 4.25\r\n3.0E7 0.283\r\n3\r\n"
    "1000.0\r\n1.0E5 0.0 0.0 1.0E5 10.0 0.5 -0.5 12.0\r\n1.0E5 0.0 0.0 1.0E5 10.0 0.5 -0.5 12.0\r\n"
    "5000.0\r\n1.0E5 2000.0 -2000.0 1.0E5 10.0 0.5 -0.5 12.0\r\n1.0E5 2000.0 -2000.0 1.0E5 10.0 0.5 -0.5 12.0\r\n"
    "10000.0\r\n1.0E5 4000.0 -4000.0 1.0E5 10.0 0.5 -0.5 12.0\r\n1.0E5 4000.0 -4000.0 1.0E5 10.0 0.5 -0.5 12.0\r\n"
    "1 0.0 0.0\r\n2 0.5 0.0\r\n3 0.0 45.0\r\n4 0.0 0.0\r\n5 0.25 90.0\r\n";

// Metric units: a disc, a pedestal under bearing 2, four speeds and
// unbalance; ISPARE is 0.
inline const char* kMetricModel =
    "METRIC TEST ROTOR\r\n4 1 2 1 0\r\n2 0\r\n"
    "50.0 0.0 200.0 0.0 0.0\r\n50.0 0.0 200.0 0.0 0.0\r\n50.0 0.0 200.0 0.0 0.0\r\n"
    "2 300.0 50.0 40.0 21.5 249000.0 127000.0\r\n1 2.0\r\n4 2.0\r\n4 30.0\r\n5000.0 6000.0 0.2 0.3\r\n"
    "21000.0 7.85E-6\r\n4\r\n"
    "1000.0\r\n10000.0 0.0 0.0 10000.0 0.1 0.0 0.0 0.1\r\n12000.0 0.0 0.0 12000.0 0.12 0.0 0.0 0.12\r\n"
    "3000.0\r\n10000.0 500.0 -500.0 10000.0 0.1 0.01 -0.01 0.1\r\n12000.0 600.0 -600.0 12000.0 0.12 0.01 -0.01 0.12\r\n"
    "6000.0\r\n10000.0 1000.0 -1000.0 10000.0 0.1 0.02 -0.02 0.1\r\n"
    "12000.0 1200.0 -1200.0 12000.0 0.12 0.02 -0.02 0.12\r\n"
    "9000.0\r\n10000.0 2000.0 -2000.0 10000.0 0.1 0.03 -0.03 0.1\r\n"
    "12000.0 2400.0 -2400.0 12000.0 0.12 0.03 -0.03 0.12\r\n"
    "1 0.0 0.0\r\n2 50.0 0.0\r\n3 0.0 -15.5\r\n4 10.0 180.0\r\n";

}  // namespace fe_test
