#pragma once
#include <cmath>

// |a| with the sign of b; b = 0 (also -0) counts as positive.
inline double SignOf(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }
