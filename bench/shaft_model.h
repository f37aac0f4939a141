#pragma once
// A simple rotor for exercising the eigenvalue and equation solvers: a
// uniform Euler-Bernoulli shaft with four degrees of freedom per node (x, y,
// rotation about x, rotation about y), an optional disc, bearings at both ends
// (on the ground or on pedestals with two degrees of freedom each) and the
// gyroscopic coupling of the spinning shaft and disc. Matrices are dense,
// column-major with leading dimension ndof.
#include <cmath>
#include <random>
#include <vector>

struct ShaftDesign {
    int elements = 20;
    double length = 40.0;      // in
    double diameter = 2.0;     // in
    double youngs = 30.0e6;    // lb/in^2
    double density = 0.283 / 386.0;  // lb s^2/in^4
    bool lumped = true;        // lumped or consistent mass
    double kxx = 1.0e8, kyy = 1.0e8;  // bearing stiffness, lb/in
    double cxx = 0.0, cyy = 0.0;      // bearing damping, lb s/in
    int pedestals = 0;         // 0, 1 (first bearing) or 2 (both)
    double pedMass = 0.2, pedStiff = 5.0e6, pedDamp = 50.0;
    double discMass = 0.0, discIp = 0.0, discId = 0.0;  // disc at the middle node
    double spin = 0.0;         // rad/s
};

struct ShaftMatrices {
    int ndof = 0;
    std::vector<double> k, m, c;  // stiffness, mass, damping + gyroscopic
    double& K(int i, int j) { return k[(i - 1) + static_cast<size_t>(j - 1) * ndof]; }
    double& M(int i, int j) { return m[(i - 1) + static_cast<size_t>(j - 1) * ndof]; }
    double& C(int i, int j) { return c[(i - 1) + static_cast<size_t>(j - 1) * ndof]; }
};

inline ShaftMatrices BuildShaft(const ShaftDesign& s) {
    const int nodes = s.elements + 1;
    ShaftMatrices r;
    r.ndof = 4 * nodes + 2 * s.pedestals;
    const size_t nn = static_cast<size_t>(r.ndof) * r.ndof;
    r.k.assign(nn, 0.0);
    r.m.assign(nn, 0.0);
    r.c.assign(nn, 0.0);

    const double pi = 3.14159265358979323846;
    const double area = pi * s.diameter * s.diameter / 4.0;
    const double inertia = pi * std::pow(s.diameter, 4) / 64.0;
    const double le = s.length / s.elements;
    const double ei = s.youngs * inertia;
    const double me = s.density * area * le;

    const double ke[4][4] = {{12.0, 6.0 * le, -12.0, 6.0 * le},
                             {6.0 * le, 4.0 * le * le, -6.0 * le, 2.0 * le * le},
                             {-12.0, -6.0 * le, 12.0, -6.0 * le},
                             {6.0 * le, 2.0 * le * le, -6.0 * le, 4.0 * le * le}};
    const double mc[4][4] = {{156.0, 22.0 * le, 54.0, -13.0 * le},
                             {22.0 * le, 4.0 * le * le, 13.0 * le, -3.0 * le * le},
                             {54.0, 13.0 * le, 156.0, -22.0 * le},
                             {-13.0 * le, -3.0 * le * le, -22.0 * le, 4.0 * le * le}};
    auto dof = [](int node, int which) { return 4 * (node - 1) + which; };  // 1 x, 2 y, 3 rx, 4 ry

    for (int e = 1; e <= s.elements; ++e) {
        // Plane x-z uses (x, ry); plane y-z uses (y, -rx).
        const int p1[4] = {dof(e, 1), dof(e, 4), dof(e + 1, 1), dof(e + 1, 4)};
        const int p2[4] = {dof(e, 2), dof(e, 3), dof(e + 1, 2), dof(e + 1, 3)};
        const double sg2[4] = {1.0, -1.0, 1.0, -1.0};
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b) {
                const double kab = ei / (le * le * le) * ke[a][b];
                r.K(p1[a], p1[b]) += kab;
                r.K(p2[a], p2[b]) += sg2[a] * sg2[b] * kab;
                if (!s.lumped) {
                    const double mab = me / 420.0 * mc[a][b];
                    r.M(p1[a], p1[b]) += mab;
                    r.M(p2[a], p2[b]) += sg2[a] * sg2[b] * mab;
                }
            }
        if (s.lumped) {
            for (int node : {e, e + 1}) {
                r.M(dof(node, 1), dof(node, 1)) += me / 2.0;
                r.M(dof(node, 2), dof(node, 2)) += me / 2.0;
                r.M(dof(node, 3), dof(node, 3)) += me * le * le / 48.0;
                r.M(dof(node, 4), dof(node, 4)) += me * le * le / 48.0;
            }
        }
        // Gyroscopic coupling of the polar inertia, lumped at the element ends.
        const double ip = s.density * 2.0 * inertia * le / 2.0;
        for (int node : {e, e + 1}) {
            r.C(dof(node, 3), dof(node, 4)) += s.spin * ip;
            r.C(dof(node, 4), dof(node, 3)) -= s.spin * ip;
        }
    }
    if (s.discMass > 0.0) {
        const int nd = nodes / 2 + 1;
        r.M(dof(nd, 1), dof(nd, 1)) += s.discMass;
        r.M(dof(nd, 2), dof(nd, 2)) += s.discMass;
        r.M(dof(nd, 3), dof(nd, 3)) += s.discId;
        r.M(dof(nd, 4), dof(nd, 4)) += s.discId;
        r.C(dof(nd, 3), dof(nd, 4)) += s.spin * s.discIp;
        r.C(dof(nd, 4), dof(nd, 3)) -= s.spin * s.discIp;
    }
    // Bearings at both ends, on the ground or on a pedestal.
    for (int b = 0; b < 2; ++b) {
        const int node = b == 0 ? 1 : nodes;
        const int sx = dof(node, 1), sy = dof(node, 2);
        if (b < s.pedestals) {
            const int px = 4 * nodes + 2 * b + 1, py = px + 1;
            const int sh[2] = {sx, sy}, pd[2] = {px, py};
            const double kb[2] = {s.kxx, s.kyy}, cb[2] = {s.cxx, s.cyy};
            for (int d = 0; d < 2; ++d) {
                r.K(sh[d], sh[d]) += kb[d];
                r.K(pd[d], pd[d]) += kb[d] + s.pedStiff;
                r.K(sh[d], pd[d]) -= kb[d];
                r.K(pd[d], sh[d]) -= kb[d];
                r.C(sh[d], sh[d]) += cb[d];
                r.C(pd[d], pd[d]) += cb[d] + s.pedDamp;
                r.C(sh[d], pd[d]) -= cb[d];
                r.C(pd[d], sh[d]) -= cb[d];
                r.M(pd[d], pd[d]) += s.pedMass;
            }
        } else {
            r.K(sx, sx) += s.kxx;
            r.K(sy, sy) += s.kyy;
            r.C(sx, sx) += s.cxx;
            r.C(sy, sy) += s.cyy;
        }
    }
    return r;
}

// First-order system [[-Minv C, -Minv K], [I, 0]] (velocities first) of
// order 2 ndof, leading dimension ld >= 2 ndof, from a given inverse mass.
inline std::vector<double> FirstOrderSystem(int ndof, const std::vector<double>& minv,
                                            const std::vector<double>& k,
                                            const std::vector<double>& c, int ld) {
    const int n = 2 * ndof;
    std::vector<double> a(static_cast<size_t>(ld) * n, 0.0);
    auto A = [&](int i, int j) -> double& { return a[(i - 1) + static_cast<size_t>(j - 1) * ld]; };
    auto at = [ndof](const std::vector<double>& v, int i, int j) {
        return v[(i - 1) + static_cast<size_t>(j - 1) * ndof];
    };
    for (int j = 1; j <= ndof; ++j)
        for (int i = 1; i <= ndof; ++i) {
            double sc = 0.0, sk = 0.0;
            for (int p = 1; p <= ndof; ++p) {
                sc += at(minv, i, p) * at(c, p, j);
                sk += at(minv, i, p) * at(k, p, j);
            }
            A(i, j) = -sc;
            A(i, ndof + j) = -sk;
        }
    for (int i = 1; i <= ndof; ++i) A(ndof + i, i) = 1.0;
    return a;
}

// Dense matrix of order n with entries uniform in [-1, 1].
inline std::vector<double> RandomMatrix(int n, int ld, unsigned seed) {
    std::mt19937_64 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> a(static_cast<size_t>(ld) * n, 0.0);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) a[i + static_cast<size_t>(j) * ld] = u(gen);
    return a;
}
