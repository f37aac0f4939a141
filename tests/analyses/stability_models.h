#pragma once
// Model files and output helpers shared by the stability and unbalance
// end-to-end tests.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace korvo_test {

constexpr double kPi = 3.14159265358979323846;

// Two discs on a short stiff shaft on two equal bearings whose cross-coupled
// stiffness grows with speed, q = Q1 * Omega, with direct damping C and
// stiffness K. The cylindrical whirl of each half (mass M) obeys
// M s^2 + C s + K - i q = 0, unstable from q = C w with w = sqrt(K/M).
struct CrossCoupledRotor {
    static constexpr double K = 1.0e5, C = 50.0, Q1 = 25.0;
    static constexpr double SHAFTW = 40.0, DISCW = 100.0, GRAV = 386.0;
    static double Mass() { return (SHAFTW / 2 + DISCW) / GRAV; }
    static double WhirlRad() { return std::sqrt(K / Mass()); }
    static double ThresholdRpm() { return C * WhirlRad() / Q1 * 30.0 / kPi; }  // 10831.9

    static std::string Model(int iunits = 1) {
        std::ostringstream s;
        s << "CROSS-COUPLED TEST ROTOR\n2 2 2 0 0\n" << iunits << " 0\n";
        s << "4.0 0.0 10.0 12.566 " << SHAFTW << "\n";
        for (int d = 1; d <= 2; ++d) s << d << " 10.0 0.0 2.0 " << DISCW << " 1250.0 658.0\n";
        s << "1 0.0\n2 0.0\n3.0E7 0.283\n5\n";
        for (int j = 0; j < 5; ++j) {
            const double rpm = 5000.0 * j, q = Q1 * rpm * kPi / 30.0;
            char line[200];
            std::snprintf(line, sizeof line, "%.1f\n", rpm);
            s << line;
            std::snprintf(line, sizeof line, "1.0E5 %.4f %.4f 1.0E5 %.1f 0.0 0.0 %.1f\n", q, -q, C, C);
            s << line << line;
        }
        s << "1 0.0 0.0\n2 0.0 0.0\n";
        return s.str();
    }
};

// Three stations on two bearings, a disc with the unbalance at station 2,
// pedestals under one or both bearings; isotropic, so every response is a
// circular forward whirl (y lags x by 90 degrees).
inline std::string UnbalanceModel(int nped, int iunits = 1, bool damped = true, bool disc = true) {
    std::ostringstream s;
    s << "UNBALANCE TEST ROTOR\n3 " << (disc ? 1 : 0) << " 2 " << nped << " 0\n" << iunits << " 0\n";
    s << "2.0 0.0 10.0 0.7854 8.89\n2.0 0.0 10.0 0.7854 8.89\n";
    if (disc) s << "2 8.0 0.0 1.0 20.0 160.0 80.0\n";
    s << "1 0.0\n3 0.0\n";
    const char* pc = damped ? "2.0E5 2.0E5 20.0 20.0\n" : "2.0E5 2.0E5 0.0 0.0\n";
    if (nped == 2) s << "1 10.0\n3 10.0\n" << pc << pc;
    if (nped == 1) s << "3 10.0\n" << pc;
    s << "3.0E7 0.283\n1\n0.0\n";
    const char* bc = damped ? "1.0E5 0.0 0.0 1.0E5 30.0 0.0 0.0 30.0\n" : "1.0E5 0.0 0.0 1.0E5 0.0 0.0 0.0 0.0\n";
    s << bc << bc;
    s << "1 0.0 0.0\n2 0.1 0.0\n3 0.0 0.0\n";
    return s.str();
}

// Script lines joined with line feeds.
inline std::string Script(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// The numbers of each line of a file (lines without numbers skipped).
inline std::vector<std::vector<double>> NumberLines(const std::string& text) {
    std::vector<std::vector<double>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<double> row;
        const char* p = line.c_str();
        char* end = nullptr;
        for (;;) {
            const double v = std::strtod(p, &end);
            if (end == p) break;
            row.push_back(v);
            p = end;
        }
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

// All numbers of a text in order.
inline std::vector<double> Numbers(const std::string& text) {
    std::vector<double> all;
    for (const auto& r : NumberLines(text)) all.insert(all.end(), r.begin(), r.end());
    return all;
}

// The lines of text that follow the first line containing `marker`.
inline std::vector<std::string> LinesAfter(const std::string& text, const std::string& marker) {
    std::vector<std::string> out;
    std::istringstream in(text);
    std::string line;
    bool on = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (on) out.push_back(line);
        if (!on && line.find(marker) != std::string::npos) on = true;
    }
    return out;
}

// The number after `label` on the first line that holds it (NAN if none).
inline double ValueAfter(const std::string& text, const std::string& label) {
    const auto pos = text.find(label);
    if (pos == std::string::npos) return NAN;
    return std::strtod(text.c_str() + pos + label.size(), nullptr);
}

}  // namespace korvo_test
