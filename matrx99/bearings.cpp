// The speed-dependent part of the system: bearing blocks at the current
// speed (constant data set or splines over the speed table), their plot
// records, the discs' gyroscopic coupling and the bearing-to-pedestal terms.
#include <cmath>
#include <cstring>

#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"
#include "subs99/spline.h"

namespace {

constexpr int kBrgCoefs = 8;  // Sxx Sxy Syx Syy Cxx Cxy Cyx Cyy

// Fills BRGBLK for the speed spdnow and writes the coefficient records.
void FillBearingBlocks(float spdnow) {
    const RotorModel& m = MODEL;
    SYS.BRGDONE = 1;
    SYS.BRGBLK.clear();
    int ispan = SYS.ISPAN;
    if (m.NSPEED > 1) {
        if (ispan < 1) ispan = 1;
        if (ispan > m.NSPEED - 1) ispan = m.NSPEED - 1;
    }
    const float dx = m.NSPEED > 1 ? spdnow - m.SPEED(ispan) : 0.0f;
    int b = 1;
    for (int s = 1; s <= m.NSTA && b <= m.NBRG; ++s) {
        if (m.BSTA(b) != s) continue;
        float c[kBrgCoefs + 1];
        for (int k = 1; k <= kBrgCoefs; ++k)
            c[k] = m.NSPEED > 1 ? EvaluateSpline(SYS.SPLCOEF.view(), kBrgCoefs * (b - 1) + k, ispan, dx)
                                : m.BCOEF(1, b, k);
        SYS.BRGBLK(2 * s - 1, 1) = c[1];
        SYS.BRGBLK(2 * s - 1, 2) = c[2];
        SYS.BRGBLK(2 * s, 1) = c[3];
        SYS.BRGBLK(2 * s, 2) = c[4];
        SYS.BRGBLK(2 * s - 1, 3) = c[5];
        SYS.BRGBLK(2 * s - 1, 4) = c[6];
        SYS.BRGBLK(2 * s, 3) = c[7];
        SYS.BRGBLK(2 * s, 4) = c[8];
        // Records go only to coefficient files opened for this run.
        if (OPTS.SPLSTORE == 1) {
            if (UnitIsOpen(BrgStiffUnit(b)))
                Write(BrgStiffUnit(b), "(5(G10.3,2X))", spdnow, c[1], c[2], c[3], c[4]);
            if (UnitIsOpen(BrgDampUnit(b)))
                Write(BrgDampUnit(b), "(5(G10.3,2X))", spdnow, c[5], c[6], c[7], c[8]);
        }
        ++b;
    }
}

// Active block of a base matrix copied into the per-speed matrix.
void CopyActiveBlock(const Array2<float, 396, 396>& from, Array2<float, 396, 396>& to, int n) {
    for (int j = 1; j <= n; ++j) std::memcpy(&to(1, j), &from(1, j), sizeof(float) * static_cast<std::size_t>(n));
}

}  // namespace

void BuildSpeedMatrices(float spdnow) {
    const RotorModel& m = MODEL;
    const float pi = 4.0f * std::atan(1.0f);
    SYS.OMEGA = pi * spdnow * (1.0f / 30.0f);
    if (m.NSPEED > 1 || SYS.BRGDONE == 0) FillBearingBlocks(spdnow);

    const int n = SYS.NDOF;
    CopyActiveBlock(SYS.STIFF0, SYS.STIFF, n);
    CopyActiveBlock(SYS.DAMP0, SYS.DAMP, n);

    int q = 0;  // pedestal stations before s
    for (int s = 1; s <= m.NSTA; ++s) {
        const int r = 4 * (s - 1) + 2 * q + 1;
        for (int i = 0; i <= 1; ++i)
            for (int j = 0; j <= 1; ++j) {
                SYS.STIFF(r + i, r + j) += SYS.BRGBLK(2 * s - 1 + i, 1 + j);
                SYS.DAMP(r + i, r + j) += SYS.BRGBLK(2 * s - 1 + i, 3 + j);
            }
        const float g = SYS.STIP(s) / SYS.GRAV * SYS.OMEGA;
        SYS.DAMP(r + 2, r + 3) = g;
        SYS.DAMP(r + 3, r + 2) = -g;
        if (SYS.PEDFLAG(s) == 1) {
            // The bearing acts on the displacement relative to the pedestal:
            // both off-diagonal blocks are -Kb (and -Cb), not transposes.
            const int p = r + 4;
            for (int i = 0; i <= 1; ++i)
                for (int j = 0; j <= 1; ++j) {
                    const float kb = SYS.BRGBLK(2 * s - 1 + i, 1 + j);
                    const float cb = SYS.BRGBLK(2 * s - 1 + i, 3 + j);
                    SYS.STIFF(p + i, r + j) -= kb;
                    SYS.STIFF(r + i, p + j) -= kb;
                    SYS.STIFF(p + i, p + j) += kb;
                    SYS.DAMP(p + i, r + j) -= cb;
                    SYS.DAMP(r + i, p + j) -= cb;
                    SYS.DAMP(p + i, p + j) += cb;
                }
            ++q;
        }
    }
}
