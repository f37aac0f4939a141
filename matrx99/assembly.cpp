// Speed-independent system matrices: Euler-Bernoulli shaft elements, discs,
// point weights, the three mass distributions and the pedestal degrees of
// freedom; and the inverse of the mass matrix.
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "subs99/numerics.h"

RotorSystem SYS;

namespace {

// A table value above this is used as entered; at or below it the value is
// computed from the geometry.
constexpr float kEntryThreshold = 1.0e-6f;

// Half-element rotary inertia of every shaft element (weight x length^2).
Vec<float, 99> HALFROT;
// Scratch of the pedestal insertion and the values it inserts.
Array2<float, 396, 396> WORK;
Array2<float, 99, 2> PEDVALUES;
// Double copy of MASS, factored by the inversion, and its pivots and scales.
Array2<double, 396, 396> MASSD;
Vec<int, 396> INDX;
Vec<double, 396> VV;

// Adds the symmetric 8 x 8 element matrix given by its upper triangle to the
// global matrix g at rows and columns off+1 .. off+8.
void AddElementMatrix(Mat<float> g, int off, const float (&upper)[8][8]) {
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const float v = i <= j ? upper[i][j] : upper[j][i];
            if (v != 0.0f) g(off + i + 1, off + j + 1) += v;
        }
}

// Shaft element properties; computed weights and area moments go back into
// SHAFT.
void ShaftElementProperties() {
    RotorModel& m = MODEL;
    HALFROT.clear();
    for (int e = 1; e <= m.NSTA - 1; ++e) {
        const float od = m.SHAFT(e, 1), id = m.SHAFT(e, 2), len = m.SHAFT(e, 3);
        if (m.SHAFT(e, 5) <= kEntryThreshold)
            m.SHAFT(e, 5) = AnnulusWeight(od, id, len, m.Rho, Evaluation::SetUp);
        if (m.SHAFT(e, 4) <= kEntryThreshold)
            m.SHAFT(e, 4) = (PI / 64.0f) * (od * od * od * od - id * id * id * id);
        const float w = m.SHAFT(e, 5);
        HALFROT(e) = (w / 2.0f) * ((3.0f * (od * od + id * id) + len * len) / 48.0f + len * len / 16.0f);
    }
}

// Disc weight and mass moments per station (pointer over the disc table).
void DiscStations() {
    const RotorModel& m = MODEL;
    SYS.STDW.clear();
    SYS.STIP.clear();
    SYS.STIT.clear();
    int k = 1;
    for (int s = 1; s <= m.NSTA; ++s) {
        if (k > m.NDISC || m.DSTA(k) != s) continue;
        const float od = m.DISC(k, 1), id = m.DISC(k, 2), t = m.DISC(k, 3);
        auto entered = [&](int c, auto computed) { return m.DISC(k, c) > kEntryThreshold ? m.DISC(k, c) : computed(); };
        const float dw = entered(4, [&] { return AnnulusWeight(od, id, t, m.Rho, Evaluation::SetUp); });
        SYS.STDW(s) = dw;
        SYS.STIP(s) = entered(5, [&] { return DiscPolarMoment(od, id, dw); });
        SYS.STIT(s) = entered(6, [&] { return DiscTransverseMoment(od, id, t, dw, Evaluation::SetUp); });
        ++k;
    }
}

void ElementStiffness(int e) {
    const RotorModel& m = MODEL;
    const float len = m.SHAFT(e, 3), ei = m.E * m.SHAFT(e, 4);
    const float a = 12.0f * ei / (len * len * len);
    const float b = 6.0f * ei / (len * len);
    const float c = 4.0f * ei / len;
    const float f = 2.0f * ei / len;
    const float k[8][8] = {
        {a, 0, 0, b, -a, 0, 0, b},   {0, a, -b, 0, 0, -a, -b, 0}, {0, 0, c, 0, 0, b, f, 0},
        {0, 0, 0, c, -b, 0, 0, f},   {0, 0, 0, 0, a, 0, 0, -b},   {0, 0, 0, 0, 0, a, b, 0},
        {0, 0, 0, 0, 0, 0, c, 0},    {0, 0, 0, 0, 0, 0, 0, c},
    };
    AddElementMatrix(SYS.STIFF0.view(), 4 * (e - 1), k);
}

void ElementConsistentMass(int e) {
    const RotorModel& m = MODEL;
    const float len = m.SHAFT(e, 3), s = m.SHAFT(e, 5) / 420.0f;
    const float l1 = 22.0f * len * s, l2 = 13.0f * len * s;
    const float q4 = 4.0f * len * len * s, q3 = 3.0f * len * len * s;
    const float t1 = 156.0f * s, t2 = 54.0f * s;
    const float mm[8][8] = {
        {t1, 0, 0, l1, t2, 0, 0, -l2}, {0, t1, -l1, 0, 0, t2, l2, 0}, {0, 0, q4, 0, 0, -l2, -q3, 0},
        {0, 0, 0, q4, l2, 0, 0, -q3},  {0, 0, 0, 0, t1, 0, 0, -l1},   {0, 0, 0, 0, 0, t1, l1, 0},
        {0, 0, 0, 0, 0, 0, q4, 0},     {0, 0, 0, 0, 0, 0, 0, q4},
    };
    AddElementMatrix(SYS.MASS.view(), 4 * (e - 1), mm);
}

// Translational shaft mass of the lumped distributions: a share of each
// adjacent element on the diagonal, the (1/6 - 1/3 - 1/6) distribution also
// couples the two stations of an element.
void LumpedShaftMass(int massopt) {
    const RotorModel& m = MODEL;
    const int n = m.NSTA;
    const float share = massopt == 2 ? 3.0f : 2.0f;
    for (int s = 1; s <= n; ++s) {
        const int r = 4 * s - 3;
        float w;
        if (s == 1)
            w = m.SHAFT(1, 5) / share;
        else if (s == n)
            w = m.SHAFT(n - 1, 5) / share;
        else
            w = (m.SHAFT(s - 1, 5) + m.SHAFT(s, 5)) / share;
        if (n < 2) w = 0.0f;
        SYS.MASS(r, r) = w;
        SYS.MASS(r + 1, r + 1) = w;
    }
    if (massopt != 2) return;
    for (int s = 1; s <= n - 1; ++s) {
        const float c = m.SHAFT(s, 5) / 6.0f;
        SYS.MASS(4 * s - 3, 4 * s + 1) = c;
        SYS.MASS(4 * s + 1, 4 * s - 3) = c;
        SYS.MASS(4 * s - 2, 4 * s + 2) = c;
        SYS.MASS(4 * s + 2, 4 * s - 2) = c;
    }
}

// Bearing weights and added weights per station (pointers as for discs).
void PointWeights() {
    const RotorModel& m = MODEL;
    SYS.STBW.clear();
    SYS.STWT.clear();
    int kb = 1, kw = 1;
    for (int s = 1; s <= m.NSTA; ++s) {
        if (kb <= m.NBRG && m.BSTA(kb) == s) SYS.STBW(s) = m.BWT(kb++);
        if (kw <= m.NCM && m.WSTA(kw) == s) SYS.STWT(s) = m.WWT(kw++);
        const float w = SYS.STBW(s) + SYS.STDW(s) + SYS.STWT(s);
        SYS.MASS(4 * s - 3, 4 * s - 3) += w;
        SYS.MASS(4 * s - 2, 4 * s - 2) += w;
    }
}

// Lumped transverse rotary inertia of every station: its disc and the
// halves of its adjacent elements.
void StationRotaryInertia() {
    SYS.STROT.clear();
    for (int s = 1; s <= MODEL.NSTA; ++s) {
        float r = SYS.STIT(s);
        if (s > 1) r += HALFROT(s - 1);
        if (s < MODEL.NSTA) r += HALFROT(s);
        SYS.STROT(s) = r;
    }
}

// The rotation diagonals and, for the lumped distributions, the shaft's
// translational mass.
void StationRotationMass(int massopt) {
    if (massopt == 3) {
        // The shaft has no rotary inertia here, but the discs' transverse
        // mass moments belong on the rotation diagonals.
        for (int s = 1; s <= MODEL.NSTA; ++s) {
            SYS.MASS(4 * s - 1, 4 * s - 1) += SYS.STIT(s);
            SYS.MASS(4 * s, 4 * s) += SYS.STIT(s);
        }
        return;
    }
    for (int s = 1; s <= MODEL.NSTA; ++s) {
        SYS.MASS(4 * s - 1, 4 * s - 1) = SYS.STROT(s);
        SYS.MASS(4 * s, 4 * s) = SYS.STROT(s);
    }
    LumpedShaftMass(massopt);
}

// Expands STIFF0, MASS and DAMP0 with the pedestals' degrees of freedom,
// each carrying its springs, its mass and its dampers to ground.
void InsertPedestals() {
    const RotorModel& m = MODEL;
    SYS.PEDPOS.clear();
    if (m.NPED == 0) {
        SYS.PEDFLAG.clear();
        return;
    }
    auto insert = [&](Array2<float, 396, 396>& a, auto valueX, auto valueY) {
        PEDVALUES.clear();
        for (int p = 1; p <= m.NPED; ++p) {
            PEDVALUES(p, 1) = valueX(p);
            PEDVALUES(p, 2) = valueY(p);
        }
        InsertPedestalDofs(99, 396, m.PSTA.data(), SYS.PEDFLAG.data(), SYS.PEDPOS.data(), PEDVALUES.view(),
                           a.view(), WORK.view());
    };
    insert(SYS.STIFF0, [&](int p) { return m.PEDC(p, 1); }, [&](int p) { return m.PEDC(p, 2); });
    const auto mass = [&](int p) { return m.PWT(p) / SYS.GRAV; };
    insert(SYS.MASS, mass, mass);
    insert(SYS.DAMP0, [&](int p) { return m.PEDC(p, 3); }, [&](int p) { return m.PEDC(p, 4); });
}

}  // namespace

void InsertPedestalDofs(int ldv, int ld, const int* psta, int* pedflag, int* pedpos,
                        Mat<const float> v, Mat<float> a, Mat<float> w) {
    (void)ldv;  // v carries its own leading dimension
    const int nsta = MODEL.NSTA, nped = MODEL.NPED;
    for (int j = 1; j <= ld; ++j)
        for (int i = 1; i <= ld; ++i) w(i, j) = 0.0f;

    int k = 1;
    for (int s = 1; s <= nsta; ++s) {
        pedflag[s - 1] = (k <= nped && psta[k - 1] == s) ? 1 : 0;
        if (pedflag[s - 1] == 1) ++k;
    }
    // Positions of the pedestal pairs, and the shift of each station's rows.
    int shift[99];
    int n = 0, q = 0;
    for (int s = 1; s <= nsta; ++s) {
        shift[s - 1] = 2 * q;
        n += 4;
        if (pedflag[s - 1] == 1) {
            pedpos[q] = n + 1;
            ++q;
            n += 2;
        }
    }
    const int nshaft = 4 * nsta;
    for (int j = 1; j <= nshaft; ++j) {
        const int nj = j + shift[(j - 1) / 4];
        for (int i = 1; i <= j; ++i) w(i + shift[(i - 1) / 4], nj) = a(i, j);
    }
    for (int p = 1; p <= q; ++p) {
        const int pos = pedpos[p - 1];
        w(pos, pos) = v(p, 1);
        w(pos + 1, pos + 1) = v(p, 2);
    }
    for (int j = 1; j <= ld; ++j)
        for (int i = j + 1; i <= ld; ++i) w(i, j) = w(j, i);
    for (int j = 1; j <= ld; ++j)
        for (int i = 1; i <= ld; ++i) a(i, j) = w(i, j);
}

void AssembleRotorMatrices() {
    const RotorModel& m = MODEL;
    SYS.GRAV = GravityConstant(m.IUNITS);
    SYS.NDOF = NumberOfDofs(m);
    // Distributions other than 2 and 3 are the lumped distribution 1.
    const int massopt = (OPTS.MASSOPT == 2 || OPTS.MASSOPT == 3) ? OPTS.MASSOPT : 1;

    // Element, disc and station properties in weight units.
    ShaftElementProperties();
    DiscStations();
    StationRotaryInertia();
    // The shaft: element stiffness, and the element mass when consistent.
    SYS.MASS.clear();
    SYS.STIFF0.clear();
    SYS.DAMP0.clear();
    for (int e = 1; e <= m.NSTA - 1; ++e) {
        ElementStiffness(e);
        if (massopt == 3) ElementConsistentMass(e);
    }
    // Rotary inertia and the lumped shaft mass of the distribution.
    StationRotationMass(massopt);
    // Discs, bearing weights and added weights at the stations.
    PointWeights();
    // Weights into masses.
    const int nshaft = 4 * m.NSTA;
    for (int j = 1; j <= nshaft; ++j)
        for (int i = 1; i <= nshaft; ++i) SYS.MASS(i, j) = SYS.MASS(i, j) / SYS.GRAV;
    // The pedestals' degrees of freedom with their springs, masses and dampers.
    InsertPedestals();
    // A degree of freedom without mass: a row of zeros.
    SYS.MASSSINGULAR = 0;
    for (int i = 1; i <= SYS.NDOF; ++i) {
        bool zero = true;
        for (int j = 1; j <= SYS.NDOF && zero; ++j) zero = SYS.MASS(i, j) == 0.0f;
        if (zero) SYS.MASSSINGULAR = 1;
    }
}


void InvertMassMatrix() {
    const int n = SYS.NDOF;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) MASSD(i, j) = static_cast<double>(SYS.MASS(i, j));
    InvertMatrix(MASSD.view(), SYS.MINV.view(), n, INDX.data(), VV.data());
}
