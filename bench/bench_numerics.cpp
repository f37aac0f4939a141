// Times the numerical routines against LAPACK on the same matrices in the
// same run and prints, per case, the time ratio ours/LAPACK (single-threaded
// and default threads) and the largest relative difference of the results.
#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_common.h"
#include "subs99/numerics.h"
#include "bench/shaft_model.h"

namespace {

using bench::Timing;
using bench::TimeBest;

int g_defaultThreads = 1;

struct LapackTimes {
    Timing one, all;
};

void Keep(Timing& best, Timing t) {
    best.cpu = std::min(best.cpu, t.cpu);
    best.wall = std::min(best.wall, t.wall);
}

// Our routine, LAPACK on one thread and LAPACK on its default threads, in
// turn, reps times, keeping the best time of each: on a shared machine a
// change of load then affects all three alike.
void TimeInTurn(int reps, const std::function<void()>& prepare, const std::function<void()>& run,
                const std::function<void()>& prepareLapack, const std::function<void()>& runLapack,
                Timing& ours, LapackTimes& lp) {
    for (int r = 0; r < reps; ++r) {
        Keep(ours, TimeBest(1, prepare, run));
        openblas_set_num_threads(1);
        Keep(lp.one, TimeBest(1, prepareLapack, runLapack));
        openblas_set_num_threads(g_defaultThreads);
        Keep(lp.all, TimeBest(1, prepareLapack, runLapack));
        openblas_set_num_threads(1);
    }
}

// Single thread: processor times; default threads: wall times.
void Report(const std::string& name, Timing ours, LapackTimes lp, const char* lapackName,
            const std::string& diff) {
    std::printf("%-30s ours %8.2f ms | %-13s 1 thread %8.2f ms  ratio %5.2f | %d threads (wall) %8.2f ms  ratio %5.2f | %s\n",
                name.c_str(), ours.cpu * 1e3, lapackName, lp.one.cpu * 1e3, ours.cpu / lp.one.cpu, g_defaultThreads,
                lp.all.wall * 1e3, ours.wall / lp.all.wall, diff.c_str());
    std::fflush(stdout);
}

double NormOne(const std::vector<double>& a, int n, int ld) {
    double best = 0.0;
    for (int j = 0; j < n; ++j) {
        double s = 0.0;
        for (int i = 0; i < n; ++i) s += std::fabs(a[i + static_cast<size_t>(j) * ld]);
        best = std::max(best, s);
    }
    return best;
}

void BenchEigen(const std::string& name, const std::vector<double>& a0, int n, int ld, int reps) {
    std::vector<double> a(a0), wr(n), wi(n), wr2(n), wi2(n);
    static EigenWork work;
    int ierr = 0, info = 0, lwork = -1;
    double wq = 0.0, dummy = 0.0;
    const int one = 1;
    dgeev_("N", "N", &n, a.data(), &ld, wr2.data(), wi2.data(), &dummy, &one, &dummy, &one, &wq, &lwork, &info, 1, 1);
    lwork = static_cast<int>(wq);
    std::vector<double> lw(lwork);
    Timing ours;
    LapackTimes lp;
    TimeInTurn(
        reps, [&] { a = a0; },
        [&] { RealEigenvalues(Mat<double>(a.data(), ld), n, wr.data(), wi.data(), work, ierr, 2.0, 1.4901161193847656e-08); },
        [&] { a = a0; },
        [&] { dgeev_("N", "N", &n, a.data(), &ld, wr2.data(), wi2.data(), &dummy, &one, &dummy, &one, lw.data(), &lwork, &info, 1, 1); },
        ours, lp);
    const double norm = NormOne(a0, n, ld);
    const double dist = bench::EigenDistance(wr, wi, wr2, wi2);
    char buf[200];
    std::snprintf(buf, sizeof buf, "max |dlambda|/||A||_1 %.1e (IERR %d, INFO %d)", dist / norm, ierr, info);
    Report(name, ours, lp, "dgeev", buf);
}

void BenchJacobi(const std::string& name, const std::vector<double>& k0, const std::vector<double>& m0,
                 int n, int reps) {
    std::vector<double> k(k0), m(m0), x(k0.size()), eig(n), sorted(n), sw(n), d(n), w(n);
    std::vector<int> order(n), inv(n);
    int ierr = 0, sweeps = 0, info = 0, lwork = -1;
    const int itype = 1;
    double wq = 0.0;
    dsygv_(&itype, "V", "U", &n, k.data(), &n, m.data(), &n, w.data(), &wq, &lwork, &info, 1, 1);
    lwork = static_cast<int>(wq);
    std::vector<double> lw(lwork);
    Timing ours;
    LapackTimes lp;
    TimeInTurn(
        reps, [&] { k = k0; m = m0; },
        [&] { JacobiGeneralized(Mat<double>(k.data(), n), Mat<double>(m.data(), n), Mat<double>(x.data(), n), eig.data(), sorted.data(), sw.data(), d.data(), order.data(), inv.data(), n, ierr, sweeps); },
        [&] { k = k0; m = m0; },
        [&] { dsygv_(&itype, "V", "U", &n, k.data(), &n, m.data(), &n, w.data(), lw.data(), &lwork, &info, 1, 1); },
        ours, lp);
    double worst = 0.0;
    int at = 0;
    for (int i = 0; i < n; ++i) {
        const double dl = std::fabs(eig[i] - w[i]) / std::fabs(w[i]);
        if (dl > worst) worst = dl, at = i + 1;
    }
    char buf[200];
    std::snprintf(buf, sizeof buf, "max |dlambda|/|lambda| %.1e (eigenvalue %d of %d), %d sweeps (IERR %d, INFO %d)",
                  worst, at, n, sweeps, ierr, info);
    Report(name, ours, lp, "dsygv", buf);
}

void BenchInverse(const std::string& name, const std::vector<double>& a0, int n, int reps) {
    std::vector<double> a(a0), y(a0.size()), vv(n), b(a0);
    std::vector<int> indx(n), ipiv(n);
    int info = 0, lwork = -1;
    double wq = 0.0;
    dgetri_(&n, b.data(), &n, ipiv.data(), &wq, &lwork, &info);
    lwork = std::max(1, static_cast<int>(wq));
    std::vector<double> lw(lwork);
    Timing ours;
    LapackTimes lp;
    TimeInTurn(
        reps, [&] { a = a0; },
        [&] { InvertMatrix(Mat<double>(a.data(), n), Mat<double>(y.data(), n), n, indx.data(), vv.data()); },
        [&] { b = a0; },
        [&] {
            dgetrf_(&n, &n, b.data(), &n, ipiv.data(), &info);
            dgetri_(&n, b.data(), &n, ipiv.data(), lw.data(), &lwork, &info);
        },
        ours, lp);
    double worst = 0.0, big = 0.0;
    for (size_t i = 0; i < b.size(); ++i) {
        worst = std::max(worst, std::fabs(y[i] - b[i]));
        big = std::max(big, std::fabs(b[i]));
    }
    char buf[200];
    std::snprintf(buf, sizeof buf, "max |dY|/max|Y| %.1e (INFO %d)", worst / big, info);
    Report(name, ours, lp, "dgetrf+dgetri", buf);
}

void BenchComplex(const std::string& name, const std::vector<ZDouble>& a0, const std::vector<ZDouble>& b0,
                  int n, int ld, int reps) {
    std::vector<ZDouble> a(a0.size()), b(n);
    std::vector<int> ipvt(n), ipiv(n);
    std::vector<std::complex<double>> za(a0.size()), zb(n);
    int info = 0, linfo = 0;
    const int one = 1;
    Timing ours;
    LapackTimes lp;
    TimeInTurn(
        reps, [&] { a = a0; b = b0; },
        [&] {
            ComplexLuFactor(Mat<ZDouble>(a.data(), ld), n, ipvt.data(), info);
            ComplexLuSolve(Mat<const ZDouble>(a.data(), ld), n, ipvt.data(), b.data());
        },
        [&] {
            std::memcpy(static_cast<void*>(za.data()), a0.data(), sizeof(ZDouble) * a0.size());
            std::memcpy(static_cast<void*>(zb.data()), b0.data(), sizeof(ZDouble) * n);
        },
        [&] { zgesv_(&n, &one, za.data(), &ld, ipiv.data(), zb.data(), &n, &linfo); },
        ours, lp);
    double worst = 0.0, big = 0.0;
    for (int i = 0; i < n; ++i) {
        worst = std::max(worst, std::abs(std::complex<double>(b[i].re, b[i].im) - zb[i]));
        big = std::max(big, std::abs(zb[i]));
    }
    char buf[200];
    std::snprintf(buf, sizeof buf, "max |dx|/max|x| %.1e (INFO %d, %d)", worst / big, info, linfo);
    Report(name, ours, lp, "zgesv", buf);
}

ShaftDesign RotorDesign(int elements, int pedestals) {
    ShaftDesign s;
    s.elements = elements;
    s.length = 120.0;
    s.diameter = 5.0;
    s.lumped = false;
    s.kxx = 2.0e6;
    s.kyy = 3.0e6;
    s.cxx = 150.0;
    s.cyy = 200.0;
    s.pedestals = pedestals;
    s.discMass = 1.5;
    s.discIp = 40.0;
    s.discId = 20.0;
    s.spin = 8000.0 * 3.14159265358979 / 30.0;
    return s;
}

std::vector<double> RotorSystem(const ShaftMatrices& r, int ld) {
    const int nd = r.ndof;
    std::vector<double> mcopy = r.m, minv(r.m.size()), vv(nd);
    std::vector<int> indx(nd);
    InvertMatrix(Mat<double>(mcopy.data(), nd), Mat<double>(minv.data(), nd), nd, indx.data(), vv.data());
    return FirstOrderSystem(nd, minv, r.k, r.c, ld);
}

std::vector<ZDouble> DynamicStiffness(const ShaftMatrices& r, double omega, int ld) {
    const int nd = r.ndof;
    std::vector<ZDouble> z(static_cast<size_t>(ld) * nd);
    for (int j = 0; j < nd; ++j)
        for (int i = 0; i < nd; ++i) {
            const size_t p = i + static_cast<size_t>(j) * nd;
            z[i + static_cast<size_t>(j) * ld] = ZDouble{r.k[p] - omega * omega * r.m[p], omega * r.c[p]};
        }
    return z;
}
}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    g_defaultThreads = openblas_get_num_threads();
    openblas_set_num_threads(1);
    std::printf("OpenBLAS %s, core %s, default threads %d\n", openblas_get_config(), openblas_get_corename(),
                g_defaultThreads);
    const int reps = quick ? 1 : 5;

    // Rotor-like first-order systems of order 792 and 396 (leading dimension
    // 792, as in the program) and random matrices of the same orders.
    const ShaftMatrices big = BuildShaft(RotorDesign(98, 0));     // 396 dof
    const ShaftMatrices small = BuildShaft(RotorDesign(48, 1));   // 198 dof
    BenchEigen("RealEigenvalues rotor 792", RotorSystem(big, 792), 792, 792, reps);
    BenchEigen("RealEigenvalues rotor 396", RotorSystem(small, 792), 396, 792, reps);
    BenchEigen("RealEigenvalues random 792", RandomMatrix(792, 792, 1), 792, 792, reps);
    BenchEigen("RealEigenvalues random 396", RandomMatrix(396, 792, 2), 396, 792, reps);

    BenchJacobi("JacobiGeneralized rotor 396", big.k, big.m, 396, quick ? 1 : 3);

    BenchInverse("InvertMatrix rotor mass 396", big.m, 396, reps * 2);
    BenchInverse("InvertMatrix random 396", RandomMatrix(396, 396, 3), 396, reps * 2);

    {
        const std::vector<ZDouble> z = DynamicStiffness(big, 500.0, 792);
        std::vector<double> rb = RandomMatrix(2, 396, 4);
        std::vector<ZDouble> b(396);
        for (int i = 0; i < 396; ++i) b[i] = ZDouble{rb[i], rb[396 + i]};
        BenchComplex("ComplexLu rotor 396", z, b, 396, 792, reps * 2);
        std::vector<double> ra = RandomMatrix(792, 792, 5);
        std::vector<ZDouble> zr(static_cast<size_t>(792) * 396);
        for (int j = 0; j < 396; ++j)
            for (int i = 0; i < 396; ++i)
                zr[i + static_cast<size_t>(j) * 792] = ZDouble{ra[i + static_cast<size_t>(j) * 792], ra[396 + i + static_cast<size_t>(j) * 792]};
        BenchComplex("ComplexLu random 396", zr, b, 396, 792, reps * 2);
    }
    return 0;
}
