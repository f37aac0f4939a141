// The speed-dependent part of the system: the splines of the bearing
// coefficients over the speed table, the bearing blocks at a speed, the
// discs' gyroscopic coupling and the bearing-to-pedestal terms.
#include <cstring>

#include "matrx99/system_matrices.h"
#include "model/rotor_model.h"
#include "subs99/spline.h"

namespace {

// Second derivatives and tridiagonal system of the spline fit.
Vec<float, 99> SPLS;
Array2<float, 396, 4> SPLWORK;

// The bearing blocks of every station at the speed, from the coefficients of
// data set 1 or the splines on interval ispan (kept inside the table).
void FillBearingBlocks(float speed, int ispan, Array2<float, 198, 4>& brgblk) {
    const RotorModel& m = MODEL;
    brgblk.clear();
    if (m.NSPEED > 1) {
        if (ispan < 1) ispan = 1;
        if (ispan > m.NSPEED - 1) ispan = m.NSPEED - 1;
    }
    const float dx = m.NSPEED > 1 ? speed - m.SPEED(ispan) : 0.0f;
    int b = 1;
    for (int s = 1; s <= m.NSTA && b <= m.NBRG; ++s) {
        if (m.BSTA(b) != s) continue;
        float c[BRGCOEFS + 1];
        for (int k = 1; k <= BRGCOEFS; ++k)
            c[k] = m.NSPEED > 1 ? EvaluateSpline(SYS.SPLCOEF.view(), BRGCOEFS * (b - 1) + k, ispan, dx)
                                : m.BCOEF(1, b, k);
        brgblk(2 * s - 1, 1) = c[1];
        brgblk(2 * s - 1, 2) = c[2];
        brgblk(2 * s, 1) = c[3];
        brgblk(2 * s, 2) = c[4];
        brgblk(2 * s - 1, 3) = c[5];
        brgblk(2 * s - 1, 4) = c[6];
        brgblk(2 * s, 3) = c[7];
        brgblk(2 * s, 4) = c[8];
        ++b;
    }
}

// Active block of a base matrix copied into the per-speed matrix.
void CopyActiveBlock(const Array2<float, 396, 396>& from, Array2<float, 396, 396>& to, int n) {
    for (int j = 1; j <= n; ++j) std::memcpy(&to(1, j), &from(1, j), sizeof(float) * static_cast<std::size_t>(n));
}

}  // namespace

void FitBearingSplines(int endcond) {
    if (MODEL.NSPEED == 1) return;
    FitSplineTables(MODEL.NBRG, MODEL.NSPEED, endcond, BRGCOEFS, MODEL.SPEED.data(), MODEL.BCOEF.view(),
                    SYS.SPLCOEF.view(), SPLS.data(), SPLWORK.view());
}

void BuildSpeedMatrices(float speed, int ispan, SpeedMatrices& at) {
    const RotorModel& m = MODEL;
    at.OMEGA = PI * speed * (1.0f / 30.0f);
    FillBearingBlocks(speed, ispan, at.BRGBLK);

    const int n = SYS.NDOF;
    CopyActiveBlock(SYS.STIFF0, at.STIFF, n);
    CopyActiveBlock(SYS.DAMP0, at.DAMP, n);

    int q = 0;  // pedestal stations before s
    for (int s = 1; s <= m.NSTA; ++s) {
        const int r = 4 * (s - 1) + 2 * q + 1;
        for (int i = 0; i <= 1; ++i)
            for (int j = 0; j <= 1; ++j) {
                at.STIFF(r + i, r + j) += at.BRGBLK(2 * s - 1 + i, 1 + j);
                at.DAMP(r + i, r + j) += at.BRGBLK(2 * s - 1 + i, 3 + j);
            }
        const float g = SYS.STIP(s) / SYS.GRAV * at.OMEGA;
        at.DAMP(r + 2, r + 3) = g;
        at.DAMP(r + 3, r + 2) = -g;
        if (SYS.PEDFLAG(s) == 1) {
            // The bearing acts on the displacement relative to the pedestal:
            // both off-diagonal blocks are -Kb (and -Cb), not transposes.
            const int p = r + 4;
            for (int i = 0; i <= 1; ++i)
                for (int j = 0; j <= 1; ++j) {
                    const float kb = at.BRGBLK(2 * s - 1 + i, 1 + j);
                    const float cb = at.BRGBLK(2 * s - 1 + i, 3 + j);
                    at.STIFF(p + i, r + j) -= kb;
                    at.STIFF(r + i, p + j) -= kb;
                    at.STIFF(p + i, p + j) += kb;
                    at.DAMP(p + i, r + j) -= cb;
                    at.DAMP(r + i, p + j) -= cb;
                    at.DAMP(p + i, p + j) += cb;
                }
            ++q;
        }
    }
}
