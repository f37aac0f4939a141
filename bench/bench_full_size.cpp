// Every analysis of korvo on models at the size limit (system order 396),
// run as scripted sessions of the real program. The time of a speed step is
// the difference of two sweep lengths divided by the extra steps, so start-up,
// model input and dialogue drop out. Beside it, LAPACK (one thread) on the
// same matrices, which the benchmark rebuilds in its own process by running
// the same analysis at the same speed.
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "bench/bench_common.h"
#include "driver/analysis_run.h"
#include "inputs99/front_end.h"
#include "matrx99/system_matrices.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"
#include "subs99/spline.h"
#include "tests/support/full_size_rotor.h"
#include "tests/support/session.h"

namespace {

using korvo_test::Rotor;
using Lines = std::vector<std::string>;

std::string Script(const Lines& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\n";
    return s;
}
void Append(Lines& to, const Lines& more) { to.insert(to.end(), more.begin(), more.end()); }

constexpr float kSpeed = 3000.0f;  // speed of the single-step runs, RPM
constexpr const char* kFile = "big.dat";

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

// Main-menu option `opt`, the model read from its file, data-menu 5.
Lines Start(const char* opt) {
    Lines l = {opt};
    if (std::strcmp(opt, "1") == 0) l.push_back("");  // pause after the heading
    for (const char* a : {"1", "1", kFile, "5"}) l.push_back(a);
    return l;
}

// The sessions: model input only; the single-speed eigenvalue runs; sweeps of
// `steps` speed steps from kSpeed up in steps of 10 RPM.
std::string BaselineScript() { return Script({"2", "1", "1", kFile, "6", "8"}); }
std::string UndampedScript() {
    Lines l = Start("1");
    Append(l, {"Y", "N", "1", Num(kSpeed), "und.out", "", "8"});
    return Script(l);
}
std::string DampedScript() {
    Lines l = Start("2");
    Append(l, {"1", Num(kSpeed), "dmp.out", "", "8"});
    return Script(l);
}
std::string StabilityScript(int steps) {
    Lines l = Start("4");
    Append(l, {"1", "4", "re.txt", "im.txt", "1", "N", Num(kSpeed), Num(kSpeed + 10.0 * (steps - 1)), "10", "1",
               "stab.out", "", "8"});
    return Script(l);
}
// A stability sweep (option 2) from 0 to 2100 RPM in 8 steps and the
// threshold search to 10 RPM after it.
std::string SearchScript() {
    Lines l = Start("4");
    Append(l, {"2", "4", "re.txt", "im.txt", "10", "1", "N", "0", "2100", "300", "1", "stab.out", "", "8"});
    return Script(l);
}
std::string UnbalanceScript(int steps) {
    Lines l = Start("5");
    Append(l, {"11", Num(kSpeed), Num(kSpeed + 10.0 * (steps - 1)), "10", "1", "N", "1", "unb.out", "", "8"});
    return Script(l);
}

struct SessionTimes {
    double cpu = 1e30, wall = 1e30;
    long rssKb = 0;
};

// Best of `reps` sessions with the speed steps on `threads` threads; a
// session that fails stops the benchmark.
SessionTimes TimeSession(const std::string& model, const std::string& script, const char* report, int reps,
                         int threads = 1) {
    SessionTimes t;
    SessionSetup setup;
    setup.files[kFile] = model;
    setup.timeoutSeconds = 1800;
    setup.env["KORVO_THREADS"] = std::to_string(threads);
    for (int r = 0; r < reps; ++r) {
        const Session s = RunKorvo(script, setup);
        if (s.status != 0 || (report && s.file(report).empty()))
            throw std::runtime_error("session failed (status " + std::to_string(s.status) + "): " + s.err +
                                     s.out.substr(s.out.size() > 2000 ? s.out.size() - 2000 : 0));
        t.cpu = std::min(t.cpu, s.cpuSeconds);
        t.wall = std::min(t.wall, s.wallSeconds);
        t.rssKb = std::max(t.rssKb, s.maxRssKb);
    }
    return t;
}

// ---- The same analysis in this process, for the matrices --------------------

std::ostringstream g_screen;

// A step work space of this process, holding the system at kSpeed after
// RunInProcess.
StepWork g_work;

// Reads the model file and runs analysis `mainopt` at kSpeed with its console
// going to a string; MODEL and SYS then hold the system of the run, and
// g_work the system at kSpeed.
void RunInProcess(int mainopt) {
    std::istringstream in(std::string(kFile) + "\n\n\n\n");  // the name, then the end-of-run pause
    g_screen.str("");
    SetConsoleStreams(&in, &g_screen);
    FRONT.DATAFILE = Text14();
    FileInputDialog(false);
    CloseUnit(UNIT_MODEL);
    if (FRONT.HAVEDATA != 1) throw std::runtime_error("model not read: " + g_screen.str());
    OPTS.MAINOPT = mainopt;
    OPTS.MASSOPT = 1;
    OPTS.NORMFLAG = 1;
    OPTS.NFILES = 0;
    OPTS.NPEDFILES = 0;
    OPTS.STABOPT = 0;
    OPTS.PLOTOPT = 11;
    OPTS.ENDCOND = 1;
    OPTS.SPEED1 = OPTS.SPEED2 = kSpeed;
    OPTS.DSPEED = 10.0f;
    OPTS.OUTFILE = Text14("inproc.out");
    Text3 status("NEW");
    std::filesystem::remove("inproc.out");
    OpenUnit(UNIT_REPORT, OPTS.OUTFILE, status);
    RunAnalysis();
    SetConsoleStreams(nullptr, nullptr);
    const int ispan = MODEL.NSPEED > 1 ? StartInterval(MODEL.SPEED.data(), MODEL.NSPEED, kSpeed) : 1;
    BuildSpeedMatrices(kSpeed, ispan, g_work.at);
}

struct LapackCase {
    bench::Timing lapack;
    std::string detail;
};

// dgeev, eigenvalues only, of the first-order system matrix of the step.
LapackCase DampedLapack(int reps) {
    RunInProcess(2);
    FormFirstOrderSystem(g_work);
    const int n = 2 * SYS.NDOF;
    std::vector<double> a0(static_cast<size_t>(n) * n), a, wr(n), wi(n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) a0[(i - 1) + static_cast<size_t>(j - 1) * n] = g_work.SYSMAT(i, j);
    int lwork = -1, info = 0, one = 1;
    double wq = 0.0, dummy = 0.0;
    a = a0;
    dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &dummy, &one, &dummy, &one, &wq, &lwork, &info, 1, 1);
    lwork = static_cast<int>(wq);
    std::vector<double> work(static_cast<size_t>(lwork));
    LapackCase c;
    c.lapack = bench::TimeBest(reps, [&] { a = a0; }, [&] {
        dgeev_("N", "N", &n, a.data(), &n, wr.data(), wi.data(), &dummy, &one, &dummy, &one, work.data(), &lwork,
               &info, 1, 1);
    });
    // Our eigenvalues of the run against LAPACK's, relative to the largest modulus.
    std::vector<double> ours_r(n), ours_i(n);
    double top = 0.0;
    for (int i = 0; i < n; ++i) {
        const int row = i < n / 2 ? i + 1 : i + 1 - n / 2, q = i < n / 2 ? 2 : 4;
        ours_r[i] = RES.RESTAB(row, 1, q), ours_i[i] = RES.RESTAB(row, 1, q + 1);
        top = std::max(top, std::hypot(wr[i], wi[i]));
    }
    const double worst = bench::EigenDistance(ours_r, ours_i, wr, wi);
    c.detail = "info " + std::to_string(info) + ", eigenvalues of the run within " + Num(worst / top) +
               " of the largest (single precision results)";
    return c;
}

// zgesv of the dynamic stiffness of the step with one right-hand side.
LapackCase UnbalanceLapack(int reps) {
    RunInProcess(5);
    const int n = SYS.NDOF;
    const float om = g_work.at.OMEGA;
    std::vector<std::complex<double>> z0(static_cast<size_t>(n) * n), z, b0(n), b;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j)
            z0[(j - 1) + static_cast<size_t>(i - 1) * n] = {g_work.at.STIFF(j, i) - SYS.MASS(j, i) * om * om, om * g_work.at.DAMP(j, i)};
    for (int i = 0; i < n; ++i) b0[i] = {1.0, 0.5};
    std::vector<int> ipiv(n);
    int info = 0, one = 1;
    LapackCase c;
    c.lapack = bench::TimeBest(reps, [&] { z = z0, b = b0; }, [&] {
        zgesv_(&n, &one, z.data(), &n, ipiv.data(), b.data(), &n, &info);
    });
    c.detail = "info " + std::to_string(info);
    return c;
}

// dsygv, eigenvalues and vectors, of the symmetric stiffness and the mass.
LapackCase UndampedLapack(int reps) {
    RunInProcess(1);
    const int n = SYS.NDOF;
    std::vector<double> k0(static_cast<size_t>(n) * n), m0(k0.size()), k, m, w(n);
    for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) {
            const size_t at = (i - 1) + static_cast<size_t>(j - 1) * n;
            k0[at] = (static_cast<double>(g_work.at.STIFF(i, j)) + static_cast<double>(g_work.at.STIFF(j, i))) * 0.5;
            m0[at] = SYS.MASS(i, j);
        }
    int itype = 1, lwork = -1, info = 0;
    double wq = 0.0;
    k = k0, m = m0;
    dsygv_(&itype, "V", "U", &n, k.data(), &n, m.data(), &n, w.data(), &wq, &lwork, &info, 1, 1);
    lwork = static_cast<int>(wq);
    std::vector<double> work(static_cast<size_t>(lwork));
    LapackCase c;
    c.lapack = bench::TimeBest(reps, [&] { k = k0, m = m0; }, [&] {
        dsygv_(&itype, "V", "U", &n, k.data(), &n, m.data(), &n, w.data(), work.data(), &lwork, &info, 1, 1);
    });
    // Lowest natural frequency of the run (report) against LAPACK's.
    c.detail = "info " + std::to_string(info) + ", lowest frequency " +
               Num(std::sqrt(std::max(w[0], 0.0)) * 30.0 / 3.14159265358979) + " RPM";
    return c;
}

void Row(const char* what, double korvo, const char* lapackName, double lapack, const char* target, long rssKb,
         const std::string& detail) {
    std::printf("  %-26s %9.4f s   %-6s %9.4f s   ratio %5.2f  %-9s  peak RSS %5.1f MB  %s\n", what, korvo,
                lapackName, lapack, korvo / lapack, target, static_cast<double>(rssKb) / 1024.0, detail.c_str());
    std::fflush(stdout);
}

struct ModelSessions {
    SessionTimes base, d1, dn, u1, un, und, dmp;
};

int Reps(bool quick) { return quick ? 1 : 3; }
int SweepDamped(bool quick) { return quick ? 3 : 6; }
int SweepUnbalance(bool quick) { return quick ? 21 : 101; }

// The sessions of one model. The peak resident size of a child counts the
// pages it had before it started korvo, so every session runs before this
// process holds model or matrices.
ModelSessions RunSessions(const Rotor& r, bool quick) {
    const int reps = Reps(quick);
    const std::string model = r.File();
    ModelSessions m;
    m.base = TimeSession(model, BaselineScript(), nullptr, reps);
    m.d1 = TimeSession(model, StabilityScript(1), "stab.out", reps);
    m.dn = TimeSession(model, StabilityScript(SweepDamped(quick)), "stab.out", reps);
    m.u1 = TimeSession(model, UnbalanceScript(1), "unb.out", reps);
    m.un = TimeSession(model, UnbalanceScript(SweepUnbalance(quick)), "unb.out", reps);
    m.und = TimeSession(model, UndampedScript(), "und.out", reps);
    m.dmp = TimeSession(model, DampedScript(), "dmp.out", reps);
    return m;
}

void Report(const char* title, const Rotor& r, const ModelSessions& m, bool quick) {
    const int reps = Reps(quick);
    std::ofstream(kFile, std::ios::binary) << r.File();  // for the runs in this process
    const LapackCase ld = DampedLapack(reps + 2);
    const LapackCase lu = UnbalanceLapack(reps * 10);
    const LapackCase ls = UndampedLapack(reps + 2);

    std::printf("\n%s: %d stations, %d discs, %d bearings with %d tabulated speeds, %d pedestals; order %d\n", title,
                r.nsta, r.ndisc, r.nbrg, r.nspeed, r.nped, 4 * r.nsta + 2 * r.nped);
    std::printf("  korvo: processor time of the session (user + system); LAPACK: one thread, same matrices\n");
    const double dampedStep = (m.dn.cpu - m.d1.cpu) / (SweepDamped(quick) - 1);
    const double unbStep = (m.un.cpu - m.u1.cpu) / (SweepUnbalance(quick) - 1);
    std::printf("  model input and exit: %.4f s, peak RSS %.1f MB\n", m.base.cpu,
                static_cast<double>(m.base.rssKb) / 1024.0);
    Row("damped step (stability)", dampedStep, "dgeev", ld.lapack.cpu, "<= 1.5", m.dn.rssKb, ld.detail);
    Row("damped run (main 2)", m.dmp.cpu - m.base.cpu, "dgeev", ld.lapack.cpu, "", m.dmp.rssKb,
        "whole run less input");
    Row("unbalance step", unbStep, "zgesv", lu.lapack.cpu, "<= 3", m.un.rssKb, lu.detail);
    Row("undamped run (main 1)", m.und.cpu - m.base.cpu, "dsygv", ls.lapack.cpu, "reported", m.und.rssKb,
        ls.detail + "; whole run less input");
}

// A stability sweep (option 1) of 40 steps at full size, its wall time on
// one thread and on every hardware thread, and the peak resident size on 1,
// 2 and 8 threads (8 steps). With t threads on t cores the ratio is
// s + (1 - s) / t for a serial share s of the one-thread run.
struct ThreadSessions {
    int all = 1;
    SessionTimes one, many, searchOne, searchMany;
    long rssKb2 = 0, rssKb8 = 0;
};
constexpr int kThreadSweep = 40;

ThreadSessions RunThreadSessions(const Rotor& r, bool quick) {
    const int reps = quick ? 1 : 2;
    ThreadSessions t;
    t.all = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const std::string model = r.File(), script = StabilityScript(kThreadSweep);
    t.one = TimeSession(model, script, "stab.out", reps, 1);
    t.many = TimeSession(model, script, "stab.out", reps, t.all);
    // The same rotor unstable from about 500 RPM, for the threshold search.
    Rotor unstable = r;
    unstable.q1 = 200.0;
    t.searchOne = TimeSession(unstable.File(), SearchScript(), "stab.out", reps, 1);
    t.searchMany = TimeSession(unstable.File(), SearchScript(), "stab.out", reps, t.all);
    t.rssKb2 = TimeSession(model, StabilityScript(8), "stab.out", 1, 2).rssKb;
    t.rssKb8 = TimeSession(model, StabilityScript(8), "stab.out", 1, 8).rssKb;
    return t;
}

void ReportThreads(const ThreadSessions& t) {
    const double ratio = t.many.wall / t.one.wall;
    std::printf("\nStability sweep of %d steps (option 1), full-size rotor, wall time of the session:\n",
                kThreadSweep);
    std::printf("  1 thread %8.3f s   %d threads %8.3f s   ratio %5.2f  (<= 0.6 on 2 cores)", t.one.wall, t.all,
                t.many.wall, ratio);
    // On a shared machine the ratio varies by a few hundredths from run to
    // run, and so does this estimate.
    if (t.all > 1) std::printf("   serial share %.2f", std::max(0.0, (ratio * t.all - 1.0) / (t.all - 1)));
    std::printf("\n  8 steps and the threshold search (4 trials): 1 thread %.3f s   %d threads %.3f s   ratio %5.2f",
                t.searchOne.wall, t.all, t.searchMany.wall, t.searchMany.wall / t.searchOne.wall);
    std::printf("\n  peak RSS: 1 thread %.1f MB, 2 threads %.1f MB (< 64 MiB), 8 threads %.1f MB\n",
                static_cast<double>(t.one.rssKb) / 1024.0, static_cast<double>(t.rssKb2) / 1024.0,
                static_cast<double>(t.rssKb8) / 1024.0);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    openblas_set_num_threads(1);
    std::printf("OpenBLAS %s, core %s\n", openblas_get_config(), openblas_get_corename());
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("korvo_bench_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    int status = 0;
    try {
        // 99 stations (no room for pedestals), and 90 stations with 18
        // pedestals: both at 2 NSTA + NPED = 198.
        const Rotor plain{99, 11, 50, 0, 20}, pedestals{90, 9, 30, 18, 20};
        const ModelSessions a = RunSessions(plain, quick), b = RunSessions(pedestals, quick);
        const ThreadSessions t = RunThreadSessions(plain, quick);
        Report("Full-size rotor", plain, a, quick);
        Report("Full-size rotor with pedestals", pedestals, b, quick);
        ReportThreads(t);
    } catch (const std::exception& e) {
        const std::string screen = g_screen.str();
        std::fprintf(stderr, "bench_full_size: %s\n%s\n", e.what(),
                     screen.substr(screen.size() > 1000 ? screen.size() - 1000 : 0).c_str());
        status = 1;
    }
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir);
    return status;
}
