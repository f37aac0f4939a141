// Steady-state unbalance response: the complex dynamic stiffness at each
// speed solved for the displacements under the unbalance forces.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "analyses/unbalance_files.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "report/report.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/numerics.h"

namespace {

int ZMPIVOT[MAXDOF];

float ToFloat(double v) {
    if (v > FLT_MAX) return HUGE_VALF;
    if (v < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(v);
}

// Amplitude (scaled) and phase in degrees of one complex displacement.
void StoreComponent(int step, int e, int qamp, int qphs, const ZDouble& z) {
    const float re = ToFloat(z.re), im = ToFloat(z.im);
    RES.RESTAB(step, e, qamp) = std::sqrt(re * re + im * im) * RUN.AMPSCALE;
    float phase = 0.0f;
    // Phases stay in (-180, 180]: a negative real part with an imaginary
    // part of zero (either sign) or one that rounds to -180 gives +180.
    if (re != 0.0f || im != 0.0f) phase = std::atan2(im == 0.0f ? 0.0f : im, re) * 57.29578f;
    if (phase <= -180.0f) phase = phase + 360.0f;
    RES.RESTAB(step, e, qphs) = phase;
}

}  // namespace

void UnbalanceStep() {
    if (OPTS.PLOTOPT != 9) {
        if (RUN.NSWEEP == 1) Write(CONSOLE, "(/,/,2X,'TOTAL NUMBER OF ITERATIONS =',I5,/)", RUN.NSTEPS);
        Write(CONSOLE, "(2X,'Iteration No.',I4,'  Rotor Speed =',F9.1,' RPM ... ')", RUN.NSWEEP, RUN.SPDNOW);
    }
    const int n = SYS.NDOF;
    const int step = RUN.ISTEP;
    if (n < 1 || n > MAXDOF) return;
    const int nsta = std::min(MODEL.NSTA, MAXROWS);
    const float om = SYS.OMEGA;

    // Unbalance forces per station block; the y force lags x by 90 degrees.
    for (int i = 1; i <= n; ++i) RES.FUNB(i) = ZDouble{};
    for (int s = 1, r = 1; s <= nsta && r + 3 <= n; ++s) {
        const float f = om * om / SYS.GRAV * MODEL.UNBAMP(s);
        const float phi = MODEL.UNBPHS(s) * RUN.PI * (1.0f / 180.0f);
        const float c = std::cos(phi), sn = std::sin(phi);
        RES.FUNB(r) = ZDouble{f * c, f * sn};
        RES.FUNB(r + 1) = ZDouble{f * sn, -f * c};
        r += SYS.PEDFLAG(s) == 1 ? 6 : 4;
    }

    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            SYS.ZM(j, i) = ZDouble{SYS.STIFF(j, i) - SYS.MASS(j, i) * om * om, om * SYS.DAMP(j, i)};
    int info = 0;
    ComplexLuFactor(SYS.ZM.view(), n, ZMPIVOT, info);
    if (info > 0) Write(CONSOLE, FREE, "MATRIX ZM MAY BE SINGULAR");
    ComplexLuSolve(SYS.ZM.view(), n, ZMPIVOT, RES.FUNB.data());

    if (step < 1 || step > MAXDOF) return;
    int k = 0;
    for (int s = 1, r = 1; s <= nsta && r + 1 <= n; ++s) {
        RES.RESTAB(step, s, 1) = RUN.SPDNOW;
        StoreComponent(step, s, 2, 4, RES.FUNB(r));
        StoreComponent(step, s, 3, 5, RES.FUNB(r + 1));
        r += 4;
        if (SYS.PEDFLAG(s) == 1) {
            ++k;
            const int e = nsta + k;
            if (e <= MAXLOCATIONS && r + 1 <= n) {
                RES.RESTAB(step, e, 1) = RUN.SPDNOW;
                StoreComponent(step, e, 2, 4, RES.FUNB(r));
                StoreComponent(step, e, 3, 5, RES.FUNB(r + 1));
            }
            r += 2;
        }
    }
}

void UnbalanceEndOfPass() {
    const int nsteps = std::clamp(RUN.NSTEPPASS, 1, MAXDOF);
    WriteUnbalanceFiles(nsteps);
    if (OPTS.PLOTOPT == 11) WriteRunReport();
}
