#pragma once
// Interpolating cubic splines over a table (single precision).
#include "subs99/arrays.h"

// Fits every column m = 1..ncols of every group b = 1..ngroups of y(j, b, m)
// over the abscissae x[0..n-1] with the end condition endcond (1 linear,
// 2 parabolic, 3 cubic). Column ncols*(b-1)+m of splcoef receives, for
// interval i, the coefficients A, B, C, D in rows i, 99+i, 198+i, 297+i.
// s: n scratch reals; work: at least n rows x 4 columns.
void FitSplineTables(int ngroups, int n, int endcond, int ncols, const float* x,
                     Mat3<const float> y, Mat<float> splcoef, float* s, Mat<float> work);

// Value of fitted column `column` on interval `interval` at dx = x - X(interval).
float EvaluateSpline(Mat<const float> splcoef, int column, int interval, float dx);

// Interval rule: the start interval for v is k-1 for the first k with
// x(k) >= v, at least 1 (and at most n-1).
int StartInterval(const float* x, int n, float v);
// After an increment: while x(ispan+1) < v and ispan < n-1, ispan += 1.
void AdvanceInterval(const float* x, int n, float v, int& ispan);
