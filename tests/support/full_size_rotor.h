#pragma once
// A rotor of any size up to the model limits, as a model data file: the
// limit sessions and the full-size benchmarks run it.
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>


namespace korvo_test {

constexpr double kPi = 3.14159265358979323846;

// A uniform 4 in shaft in elements of 3 in, 12 in discs spread along it with
// 0.01 in-lb unbalance, bearings spread from the first to the last station,
// a 50 lb pedestal (springs 5E5, dampers 20) under each of the first `nped`.
// The coefficients are tabulated at `nspeed` speeds from 0 to 9800 RPM and are
// linear in speed, so every spline reproduces them: Sxx = Syy = 1E5 + 1000 b
// + 10 rpm, Sxy = -Syx = q1 Omega, Cxx = Cyy = 10 + 0.1 b.
struct Rotor {
    int nsta, ndisc, nbrg, nped, nspeed;
    double q1 = 25.0;

    static constexpr double kShaftW = kPi / 4 * 16.0 * 3.0 * 0.283, kDiscW = kPi / 4 * 144.0 * 1.5 * 0.283;
    int Station(int b) const { return 1 + (b - 1) * (nsta - 1) / (nbrg - 1); }
    bool Disc(int s) const {
        for (int d = 1; d <= ndisc; ++d)
            if (s == d * nsta / (ndisc + 1)) return true;
        return false;
    }
    static double Sxx(int b, double rpm) { return 1.0e5 + 1000.0 * b + 10.0 * rpm; }
    double Sxy(double rpm) const { return q1 * rpm * kPi / 30.0; }
    static double Cxx(int b) { return 10.0 + 0.1 * b; }
    // Lumped weight of station s (half elements, disc).
    double Weight(int s) const { return (s == 1 || s == nsta ? 0.5 : 1.0) * kShaftW + (Disc(s) ? kDiscW : 0.0); }

    std::string File() const {
        std::ostringstream f;
        char line[200];
        f << "LIMITS ROTOR\n" << nsta << " " << ndisc << " " << nbrg << " " << nped << " 0\n1 0\n";
        for (int e = 1; e < nsta; ++e) f << "4.0 0.0 3.0 0.0 0.0\n";
        for (int s = 1; s <= nsta; ++s)
            if (Disc(s)) f << s << " 12.0 0.0 1.5 0.0 0.0 0.0\n";
        for (int b = 1; b <= nbrg; ++b) f << Station(b) << " 0.0\n";
        for (int p = 1; p <= nped; ++p) f << Station(p) << " 50.0\n";
        for (int p = 1; p <= nped; ++p) f << "5.0E5 5.0E5 20.0 20.0\n";
        f << "3.0E7 0.283\n" << nspeed << "\n";
        for (int j = 0; j < nspeed; ++j) {
            const double rpm = nspeed == 1 ? 0.0 : 9800.0 * j / (nspeed - 1);
            f << rpm << "\n";
            for (int b = 1; b <= nbrg; ++b) {
                std::snprintf(line, sizeof line, "%.1f %.4f %.4f %.1f %.2f 0.0 0.0 %.2f\n", Sxx(b, rpm), Sxy(rpm),
                              -Sxy(rpm), Sxx(b, rpm), Cxx(b), Cxx(b));
                f << line;
            }
        }
        for (int s = 1; s <= nsta; ++s) f << s << (Disc(s) ? " 0.01" : " 0.0") << " 0.0\n";
        return f.str();
    }

    // Sum of the damped eigenvalues: the trace of the first-order matrix,
    // -sum C(i,i)/M(i,i) with the lumped (diagonal) mass matrix.
    double EigenvalueSum() const {
        double t = 0.0;
        for (int b = 1; b <= nbrg; ++b) {
            t -= 2.0 * Cxx(b) * 386.0 / Weight(Station(b));
            if (b <= nped) t -= 2.0 * (20.0 + Cxx(b)) * 386.0 / 50.0;
        }
        return t;
    }
    // Rayleigh quotient of the rigid translation (shaft and pedestals), an
    // upper bound of the lowest natural frequency, in RPM.
    double FirstFrequencyBound(double rpm) const {
        double k = 0.0, w = 50.0 * nped;
        for (int b = 1; b <= nbrg; ++b) k += b <= nped ? 5.0e5 : Sxx(b, rpm);
        for (int s = 1; s <= nsta; ++s) w += Weight(s);
        return std::sqrt(k * 386.0 / w) * 30.0 / kPi;
    }
};

}  // namespace korvo_test
