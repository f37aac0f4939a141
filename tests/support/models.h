#pragma once
// Shared by the finite-element, analysis and report tests: model files of the
// common test rotors, parsing of numeric output, and small models set up in
// the process.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "analyses/results.h"
#include "inputs99/analysis_options.h"
#include "inputs99/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace korvo_test {

constexpr double kPi = 3.14159265358979323846;
inline double Rpm(double radPerSec) { return radPerSec * 30.0 / kPi; }

// ---- Sessions and their output --------------------------------------------

// Script lines joined with line feeds.
inline std::string Script(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}

// Appends the script lines `more` to `to`.
inline void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

// The numbers of each line of a text (lines without numbers skipped).
inline std::vector<std::vector<double>> NumberLines(const std::string& text) {
    std::vector<std::vector<double>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<double> row;
        const char* p = line.c_str();
        char* end = nullptr;
        for (double v = std::strtod(p, &end); end != p; v = std::strtod(p, &end)) {
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

// The numbers of a text cut into records of `width` values (free-format
// records may wrap over lines).
inline std::vector<std::vector<double>> Chunks(const std::string& text, std::size_t width) {
    const std::vector<double> all = Numbers(text);
    std::vector<std::vector<double>> recs;
    for (std::size_t i = 0; i + width <= all.size(); i += width) recs.emplace_back(&all[i], &all[i] + width);
    if (all.size() % width != 0) recs.push_back({});  // a broken last record shows as an empty one
    return recs;
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

// The number after `label` at its first occurrence (NAN if none).
inline double ValueAfter(const std::string& text, const std::string& label) {
    const auto pos = text.find(label);
    if (pos == std::string::npos) return NAN;
    return std::strtod(text.c_str() + pos + label.size(), nullptr);
}

// The pieces of a text between occurrences of `mark` (the piece before the
// first one included): the console output of each run of a session.
inline std::vector<std::string> SplitAt(const std::string& text, const std::string& mark) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t p = text.find(mark); p != std::string::npos; p = text.find(mark, from)) {
        parts.push_back(text.substr(from, p - from));
        from = p + mark.size();
    }
    parts.push_back(text.substr(from));
    return parts;
}

// ---- Model files ------------------------------------------------------------

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

// ---- Models in the process ----------------------------------------------------

// Console output of the in-process tests (kept out of the test log).
inline std::ostringstream& Console() {
    static std::ostringstream out;
    return out;
}

// A blank model (English units, constant coefficients, steel) and options
// (lumped mass, normalised shapes), cleared matrices and the run constants.
inline void ResetModel() {
    static const RotorModel kModel{};
    static const AnalysisOptions kOptions{};
    static std::istringstream in;
    ResetRecordIo();
    Console().str("");
    SetConsoleStreams(&in, &Console());
    MODEL = kModel;
    OPTS = kOptions;
    MODEL.NSPEED = 1;
    MODEL.IUNITS = 1;
    MODEL.E = 3.0e7f;
    MODEL.Rho = 0.283f;
    OPTS.NCOLS = 8;
    OPTS.MASSOPT = 1;
    OPTS.NORMFLAG = 1;
    OPTS.MAINOPT = 3;
    for (auto* m : {&SYS.MASS, &SYS.STIFF, &SYS.DAMP, &SYS.STIFF0, &SYS.DAMP0}) m->clear();
    SYS.MINV.clear();
    SYS.PEDFLAG.clear();
    SYS.BRGDONE = 0;
    SYS.ISPAN = 1;
    SYS.GRAV = 386.0f;
    RUN.PI = 4.0f * std::atan(1.0f);
    RUN.AMPSCALE = 1000.0f;
    RUN.ISTEP = RUN.NSWEEP = 1;
    RUN.SPDNOW = 0.0f;
    RUN.EVALMODE = RUN.MASSSINGULAR = RUN.JACOBIERR = 0;
}

// nsta stations joined by equal elements of the given total length; weights
// and area moments left to the assembly.
inline void UniformShaft(int nsta, float od, float length, float id = 0.0f) {
    MODEL.NSTA = nsta;
    for (int i = 1; i < nsta; ++i) {
        MODEL.SHAFT(i, 1) = od;
        MODEL.SHAFT(i, 2) = id;
        MODEL.SHAFT(i, 3) = length / static_cast<float>(nsta - 1);
    }
}

// Bearing NBRG + 1 at station s with the coefficients Sxx Sxy Syx Syy Cxx Cxy
// Cyx Cyy of data set 1.
inline void AddBearing(int s, std::vector<float> c) {
    const int b = ++MODEL.NBRG;
    MODEL.BSTA(b) = s;
    c.resize(8, 0.0f);
    for (int m = 1; m <= 8; ++m) MODEL.BCOEF(1, b, m) = c[m - 1];
}

// Disc NDISC + 1 at station s: weight, polar and transverse mass moments.
inline void AddDisc(int s, float w, float ip, float it) {
    const int d = ++MODEL.NDISC;
    MODEL.DSTA(d) = s;
    MODEL.DISC(d, 4) = w;
    MODEL.DISC(d, 5) = ip;
    MODEL.DISC(d, 6) = it;
}

// Pedestal NPED + 1 at station s: weight, Kxx, Kyy, Cxx, Cyy.
inline void AddPedestal(int s, float w, float kx, float ky, float cx = 0.0f, float cy = 0.0f) {
    const int p = ++MODEL.NPED;
    MODEL.PSTA(p) = s;
    MODEL.PWT(p) = w;
    const float c[4] = {kx, ky, cx, cy};
    for (int m = 1; m <= 4; ++m) MODEL.PEDC(p, m) = c[m - 1];
}

// The matrices of one speed step as the analysis run builds them: assembly,
// base copies, the inverse mass matrix, then bearings and gyroscopic terms.
inline void PrepareStep(float rpm) {
    static int indx[396];
    static double vv[396];
    AssembleRotorMatrices();
    const int n = SYS.NDOF;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            SYS.STIFF0(i, j) = SYS.STIFF(i, j);
            SYS.DAMP0(i, j) = SYS.DAMP(i, j);
            SYS.MASSD(i, j) = SYS.MASS(i, j);
        }
    InvertMatrix(SYS.MASSD.view(), SYS.MINV.view(), n, indx, vv);
    SYS.BRGDONE = 0;
    RUN.SPDNOW = rpm;
    BuildSpeedMatrices(rpm);
}

}  // namespace korvo_test
