#pragma once
// Constants of every run: the limits of the tables, pi, and the constants
// that depend on the units of the model.

constexpr int MAXROWS = 99;    // rows of every model table
constexpr int MAXDOF = 396;    // degrees of freedom of the system matrices
constexpr int MAXORDER = 792;  // order of the first-order system
constexpr int MAXSTEPS = 396;  // speed steps of one pass (rows of the result tables)

// 4 atan(1) in single precision.
constexpr float PI = 3.14159265f;

// Scale of the displacement amplitudes of the unbalance response: inches to
// mils, millimetres to micrometres.
constexpr float AMPSCALE = 1000.0f;

// The gravitational constant that turns weights into masses: in/s**2 for
// English units (IUNITS 1), mm/s**2 for metric units (IUNITS 2).
constexpr float GravityConstant(int iunits) { return iunits == 2 ? 9810.0f : 386.0f; }
