// Steady-state unbalance response: the complex dynamic stiffness at each
// speed solved for the displacements under the unbalance forces.
#include <algorithm>
#include <cmath>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "matrx99/system_matrices.h"
#include "model/rotor_model.h"
#include "subs99/numerics.h"

namespace {


// Amplitude (scaled) and phase in degrees of one complex displacement.
void StoreComponent(int step, int e, int qamp, int qphs, const ZDouble& z) {
    const float re = ToFloat(z.re), im = ToFloat(z.im);
    RES.RESTAB(step, e, qamp) = std::sqrt(re * re + im * im) * AMPSCALE;
    float phase = 0.0f;
    // Phases stay in (-180, 180]: a negative real part with an imaginary
    // part of zero (either sign) or one that rounds to -180 gives +180.
    if (re != 0.0f || im != 0.0f) phase = std::atan2(im == 0.0f ? 0.0f : im, re) * 57.29578f;
    if (phase <= -180.0f) phase = phase + 360.0f;
    RES.RESTAB(step, e, qphs) = phase;
}

}  // namespace

bool UnbalanceStep(float speed, int ispan, int step, StepWork& w) {
    const int n = SYS.NDOF;
    if (n < 1 || n > MAXDOF) return false;
    BuildSpeedMatrices(speed, ispan, w.at);
    const int nsta = std::min(MODEL.NSTA, MAXROWS);
    const float om = w.at.OMEGA;

    // Unbalance forces per station block; the y force lags x by 90 degrees.
    for (int i = 1; i <= n; ++i) w.FUNB(i) = ZDouble{};
    for (int s = 1, r = 1; s <= nsta && r + 3 <= n; ++s) {
        const float f = om * om / SYS.GRAV * MODEL.UNBAMP(s);
        const float phi = MODEL.UNBPHS(s) * PI * (1.0f / 180.0f);
        const float c = std::cos(phi), sn = std::sin(phi);
        w.FUNB(r) = ZDouble{f * c, f * sn};
        w.FUNB(r + 1) = ZDouble{f * sn, -f * c};
        r += SYS.PEDFLAG(s) == 1 ? 6 : 4;
    }

    // The dynamic stiffness, factored and solved for the displacements.
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            w.ZM(j, i) = ZDouble{w.at.STIFF(j, i) - SYS.MASS(j, i) * om * om, om * w.at.DAMP(j, i)};
    int info = 0;
    ComplexLuFactor(w.ZM.view(), n, w.ZMPIVOT.data(), info);
    ComplexLuSolve(w.ZM.view(), n, w.ZMPIVOT.data(), w.FUNB.data());

    // Amplitude and phase of x and y of every station and pedestal.
    if (step < 1 || step > MAXSTEPS) return info > 0;
    int k = 0;
    for (int s = 1, r = 1; s <= nsta && r + 1 <= n; ++s) {
        RES.RESTAB(step, s, 1) = speed;
        StoreComponent(step, s, 2, 4, w.FUNB(r));
        StoreComponent(step, s, 3, 5, w.FUNB(r + 1));
        r += 4;
        if (SYS.PEDFLAG(s) == 1) {
            ++k;
            const int e = nsta + k;
            if (e <= MAXLOCATIONS && r + 1 <= n) {
                RES.RESTAB(step, e, 1) = speed;
                StoreComponent(step, e, 2, 4, w.FUNB(r));
                StoreComponent(step, e, 3, 5, w.FUNB(r + 1));
            }
            r += 2;
        }
    }
    return info > 0;
}
