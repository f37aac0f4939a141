#pragma once
// Interpolating cubic splines over a table (single precision).
#include "subs99/arrays.h"

// FitSplineTables: fits column m = 1 .. ncols of every group b = 1 .. ngroups
// of y as a function of x with interpolating cubic splines.
//   ngroups  (in) number of groups of columns.
//   n        (in) number of abscissae; nothing is fitted for n < 2.
//   endcond  (in) end condition: 1 linear (natural spline), 2 parabolic
//            (n >= 3), 3 cubic (n >= 4); with fewer points, or any other
//            value, the natural spline.
//   ncols    (in) columns per group.
//   x        (in) float array, dimension n: strictly increasing abscissae.
//   y        (in) the ordinates: y(j, b, m) of abscissa j, group b, column m.
//   splcoef  (out) coefficients: column ncols (b-1) + m holds, for interval i
//            (1 .. n-1), the cubic's A, B, C, D in rows i, 99+i, 198+i,
//            297+i; needs n <= 99.
//   secondDerivative (work) float array, dimension n: the spline's second
//            derivatives at the abscissae.
//   system   (work) at least n-2 rows x 4 columns: the tridiagonal system of
//            the second derivatives (sub-diagonal, diagonal, super-diagonal,
//            right-hand side).
void FitSplineTables(int ngroups, int n, int endcond, int ncols, const float* x, Mat3<const float> y,
                     Mat<float> splcoef, float* secondDerivative, Mat<float> system);

// Value of fitted column `column` on interval `interval` at dx = x - X(interval):
// ((A dx + B) dx + C) dx + D.
float EvaluateSpline(Mat<const float> splcoef, int column, int interval, float dx);

// Interval rule: the start interval for v is k-1 for the first k with
// x(k) >= v, at least 1 (and at most n-1).
int StartInterval(const float* x, int n, float v);
// After an increment: while x(ispan+1) < v and ispan < n-1, ispan += 1.
void AdvanceInterval(const float* x, int n, float v, int& ispan);
