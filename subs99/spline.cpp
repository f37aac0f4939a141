#include "subs99/spline.h"

// Placeholder until the real implementation lands.
void FitSplineTables(int, int, int, int, const float*, Mat3<const float>, Mat<float>, float*, Mat<float>) {}
float EvaluateSpline(Mat<const float>, int, int, float) { return 0.0f; }
int StartInterval(const float*, int, float) { return 1; }
void AdvanceInterval(const float*, int, float, int&) {}
