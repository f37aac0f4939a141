#pragma once
// LAPACK and OpenBLAS entry points and the timing helpers of the benchmarks.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <complex>
#include <cstddef>
#include <functional>
#include <vector>

#include <time.h>

extern "C" {
void dgeev_(const char* jobvl, const char* jobvr, const int* n, double* a, const int* lda,
            double* wr, double* wi, double* vl, const int* ldvl, double* vr, const int* ldvr,
            double* work, const int* lwork, int* info, size_t, size_t);
void dsygv_(const int* itype, const char* jobz, const char* uplo, const int* n, double* a,
            const int* lda, double* b, const int* ldb, double* w, double* work, const int* lwork,
            int* info, size_t, size_t);
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work,
             const int* lwork, int* info);
void zgesv_(const int* n, const int* nrhs, std::complex<double>* a, const int* lda, int* ipiv,
            std::complex<double>* b, const int* ldb, int* info);
void openblas_set_num_threads(int);
int openblas_get_num_threads();
char* openblas_get_corename();
char* openblas_get_config();
}

namespace bench {

using Clock = std::chrono::steady_clock;

struct Timing {
    double cpu = 1e30, wall = 1e30;  // best of the runs
};

inline double ThreadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Best processor time of this thread and best wall time of reps runs;
// prepare() runs before each run, untimed. On a shared machine the processor
// time of a single-threaded run is the steadier figure.
inline Timing TimeBest(int reps, const std::function<void()>& prepare, const std::function<void()>& run) {
    Timing t;
    for (int r = 0; r < reps; ++r) {
        prepare();
        const double c0 = ThreadCpuSeconds();
        const auto t0 = Clock::now();
        run();
        const auto t1 = Clock::now();
        const double c1 = ThreadCpuSeconds();
        t.cpu = std::min(t.cpu, c1 - c0);
        t.wall = std::min(t.wall, std::chrono::duration<double>(t1 - t0).count());
    }
    return t;
}

// Largest distance from each of our eigenvalues to its nearest unused LAPACK
// eigenvalue.
inline double EigenDistance(const std::vector<double>& wr1, const std::vector<double>& wi1,
                            const std::vector<double>& wr2, const std::vector<double>& wi2) {
    const size_t n = wr1.size();
    std::vector<char> used(n, 0);
    double worst = 0.0;
    for (size_t i = 0; i < n; ++i) {
        double best = 1e300;
        size_t bj = 0;
        for (size_t j = 0; j < n; ++j) {
            if (used[j]) continue;
            const double d = std::hypot(wr1[i] - wr2[j], wi1[i] - wi2[j]);
            if (d < best) {
                best = d;
                bj = j;
            }
        }
        used[bj] = 1;
        worst = std::max(worst, best);
    }
    return worst;
}

}  // namespace bench
