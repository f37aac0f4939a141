#pragma once
// Helpers of the finite-element tests: a fresh model and options, uniform
// shafts, and the eigenvalues of the assembled system computed straight from
// MASS, STIFF and DAMP with the double-precision solvers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "analyses/results.h"
#include "inputs99/analysis_options.h"
#include "inputs99/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "subs99/numerics.h"

namespace femodel_test {

inline void ResetModelAndOptions() {
    static const RotorModel kEmptyModel{};
    static const AnalysisOptions kEmptyOptions{};
    MODEL = kEmptyModel;
    OPTS = kEmptyOptions;
    MODEL.NSPEED = 1;
    MODEL.IUNITS = 1;
    OPTS.NCOLS = 8;
    SYS.BRGDONE = 0;
    SYS.ISPAN = 1;
}

// nsta stations, equal elements of the given total length; weights and area
// moments left to the assembly.
inline void UniformShaft(int nsta, float od, float id, float length, float e, float rho) {
    MODEL.NSTA = nsta;
    for (int i = 1; i < nsta; ++i) {
        MODEL.SHAFT(i, 1) = od;
        MODEL.SHAFT(i, 2) = id;
        MODEL.SHAFT(i, 3) = length / static_cast<float>(nsta - 1);
    }
    MODEL.E = e;
    MODEL.Rho = rho;
}

// Adds an isotropic bearing (stiffness k, damping c) at station s as bearing
// number NBRG + 1.
inline void AddBearing(int s, float kxx, float kxy, float kyx, float kyy, float cxx = 0, float cxy = 0,
                       float cyx = 0, float cyy = 0) {
    const int b = ++MODEL.NBRG;
    MODEL.BSTA(b) = s;
    const float c[8] = {kxx, kxy, kyx, kyy, cxx, cxy, cyx, cyy};
    for (int m = 1; m <= 8; ++m) MODEL.BCOEF(1, b, m) = c[m - 1];
}

// Assembly plus the base copies that the per-speed matrices start from.
inline void AssembleForSpeedSteps() {
    AssembleRotorMatrices();
    SYS.STIFF0 = SYS.STIFF;
    SYS.DAMP0 = SYS.DAMP;
    SYS.BRGDONE = 0;
}

struct Work {
    Array2<double, 396, 396> k, m, x, minv, mcopy;
    Array2<double, 792, 792> a;
    double eigv[396], sorted[396], swp[396], d[396], vv[396];
    double wr[792], wi[792], work[792];
    int order[396], invorder[396], indx[396];
};
inline Work& W() {
    static Work* w = new Work;
    return *w;
}

// Undamped natural frequencies in rad/s, ascending, of the symmetric part of
// STIFF with MASS. shift (in (rad/s)^2) is added as shift*M to K so that
// free rotors stay positive definite; it is taken off again.
inline std::vector<double> UndampedOmegas(double shift = 0.0, int* ierrOut = nullptr) {
    Work& w = W();
    const int n = SYS.NDOF;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            w.m(i, j) = SYS.MASS(i, j);
            w.k(i, j) = 0.5 * (static_cast<double>(SYS.STIFF(i, j)) + SYS.STIFF(j, i)) + shift * w.m(i, j);
        }
    int ierr = 0;
    JacobiGeneralized(w.k.view(), w.m.view(), w.x.view(), w.eigv, w.sorted, w.swp, w.d, w.order,
                      w.invorder, n, ierr);
    if (ierrOut) *ierrOut = ierr;
    std::vector<double> om;
    for (int i = 0; i < n; ++i) om.push_back(std::sqrt(std::max(0.0, w.eigv[i] - shift)));
    std::sort(om.begin(), om.end());
    return om;
}

// Eigenvalues of M x'' + C x' + K x = 0 from the first-order system.
inline std::vector<std::complex<double>> DampedEigenvalues() {
    Work& w = W();
    const int n = SYS.NDOF;
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) w.mcopy(i, j) = SYS.MASS(i, j);
    InvertMatrix(w.mcopy.view(), w.minv.view(), n, w.indx, w.vv);
    for (int j = 1; j <= 2 * n; ++j)
        for (int i = 1; i <= 2 * n; ++i) w.a(i, j) = 0.0;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            double mc = 0, mk = 0;
            for (int l = 1; l <= n; ++l) {
                mc += w.minv(i, l) * SYS.DAMP(l, j);
                mk += w.minv(i, l) * SYS.STIFF(l, j);
            }
            w.a(i, j) = -mc;
            w.a(i, n + j) = -mk;
        }
    for (int i = 1; i <= n; ++i) w.a(n + i, i) = 1.0;
    int ierr = 0;
    RealEigenvalues(w.a.view(), 2 * n, w.wr, w.wi, w.work, ierr, 2.0, 1.4901161e-08);
    EXPECT_EQ(ierr, 0);
    std::vector<std::complex<double>> ev;
    for (int i = 0; i < 2 * n; ++i) ev.emplace_back(w.wr[i], w.wi[i]);
    return ev;
}

}  // namespace femodel_test
