// Fit and output of the curve-fitting tool: one spline fit of the tool's
// table, then the fitted curves at P + 1 equally spaced abscissae on unit 2.
#include "model/curve_fit_table.h"

#include "analyses/analyses.h"
#include "model/analysis_options.h"
#include "recordio/recordio.h"
#include "subs99/spline.h"

namespace {
// Coefficients and scratch of the fit, the tool's own.
Array2<float, 396, FIT_MAXCOLS> FITCOEF;
Array2<float, FIT_MAXROWS, 4> FITWORK;
Vec<float, FIT_MAXROWS> FITS;
}  // namespace

void RunCurveFit() {
    CurveFitTable& t = FITDATA;
    const int r = t.NROWS;
    const int c = t.NYCOLS;
    const float* x = t.X.data();
    if (r >= 2 && t.NPOINTS >= 1) {
        const Array2<float, FIT_MAXROWS, FIT_MAXCOLS>& y = t.Y;
        FitSplineTables(1, r, OPTS.ENDCOND, c, x, Mat3<const float>(y.a, FIT_MAXROWS, 1), FITCOEF.view(),
                        FITS.data(), FITWORK.view());

        const float x1 = t.X(1);
        const float xr = t.X(r);
        const float d = (xr - x1) / static_cast<float>(t.NPOINTS);
        float u = x1;
        int ispan = 1;
        for (long long p = 0; p <= t.NPOINTS; ++p) {
            // The last point is x(R) itself, whatever the rounding of the steps.
            if (p == t.NPOINTS) u = xr;
            AdvanceInterval(x, r, u, ispan);
            BeginWrite(UNIT_FIT_OUT, FREE);
            WriteReal(u);
            for (int m = 1; m <= c; ++m) WriteReal(EvaluateSpline(FITCOEF.view(), m, ispan, u - t.X(ispan)));
            EndWrite();
            u = u + d;
        }
    }
    CloseUnit(UNIT_FIT_OUT);
}
