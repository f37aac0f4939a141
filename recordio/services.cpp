// Pause with a command, stop, date and time, numeric services and the text
// operations.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <ostream>
#include <string>

#include "recordio/internal.h"

extern char** environ;

namespace rio {
namespace {

constexpr size_t kPauseLine = 128;

// Starts a program with arguments and waits for it; false if it could not
// be started.
bool RunAndWait(const char* program, char* const argv[]) {
    pid_t pid = 0;
    // The command gets the default action of SIGPIPE, which this program
    // ignores.
    posix_spawnattr_t attr;
    sigset_t def;
    posix_spawnattr_init(&attr);
    sigemptyset(&def);
    sigaddset(&def, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &def);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    const int rc = posix_spawnp(&pid, program, nullptr, &attr, argv, environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return true;
}

// Hands a command line to the command interpreter: COMSPEC with "/c" where it
// is set and can be started, otherwise the POSIX shell.
void RunCommand(const std::string& command) {
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzz inputs never reach the command interpreter.
    (void)command;
    return;
#endif
    std::fflush(stdout);
    std::string cmd = command;
    char slashC[] = "/c";
    if (const char* comspec = std::getenv("COMSPEC"); comspec && *comspec) {
        std::string prog = comspec;
        char* argv[] = {prog.data(), slashC, cmd.data(), nullptr};
        if (RunAndWait(prog.c_str(), argv)) return;
    }
    char sh[] = "/bin/sh";
    char dashC[] = "-c";
    char* argv[] = {sh, dashC, cmd.data(), nullptr};
    RunAndWait(sh, argv);
}

void WriteRaw(const char* message, const char* fallback) {
    std::ostream& out = ConOut();
    out << (message ? message : fallback) << "\r\n";
    FlushConsole();
}

}  // namespace
}  // namespace rio

using namespace rio;

void PauseForCommand(const char* message) {
    ResetWriter();
    EndPendingLine(false);
    WriteRaw(message, "Pause - Please enter a blank line (to continue) or a DOS command.");
    std::string line;
    if (!ReadRecord(CONSOLE, "READ", line)) Raise(Err::EndOfFile, "READ", "CON");
    if (line.size() > kPauseLine) line.resize(kPauseLine);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const bool blank = std::all_of(line.begin(), line.end(), [](char c) { return c == ' ' || c == '\t'; });
    if (!blank) {
        FlushConsole();
        RunCommand(line);
    }
}

void StopRun(const char* message) {
    ResetWriter();
    ResetReader();
    EndPendingLine(false);
    WriteRaw(message, "Stop - Program terminated.");
    // Output that cannot be completed is reported instead of the stop.
    CloseAllUnits(true);
    throw ProgramStop{};
}

void GetDate(int16_t& year, int16_t& month, int16_t& day) {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    year = static_cast<int16_t>(tm.tm_year + 1900);
    month = static_cast<int16_t>(tm.tm_mon + 1);
    day = static_cast<int16_t>(tm.tm_mday);
}

void GetTimeOfDay(int16_t& hour, int16_t& minute, int16_t& second, int16_t& hundredths) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm tm{};
    localtime_r(&t, &tm);
    hour = static_cast<int16_t>(tm.tm_hour);
    minute = static_cast<int16_t>(tm.tm_min);
    second = static_cast<int16_t>(std::min(tm.tm_sec, 59));
    hundredths = static_cast<int16_t>((ms < 0 ? ms + 1000 : ms) / 10);
}

// ---------------------------------------------------------------------------
// Numeric services.

float ComplexAbs(ComplexF z) {
    const float x = std::fabs(z.re), y = std::fabs(z.im);
    if (std::isnan(x) || std::isnan(y)) return std::nanf("");
    if (std::isinf(x) || std::isinf(y)) return INFINITY;
    const float a = std::max(x, y), b = std::min(x, y);
    if (a == 0.0f) return 0.0f;
    const float q = b / a;
    return a * std::sqrt(1.0f + q * q);
}

ComplexF ComplexDivide(ComplexF a, ComplexF b) {
    // Scaled by the larger part of the divisor to avoid overflow.
    ComplexF c;
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const float r = b.im / b.re;
        const float den = b.re + r * b.im;
        c.re = (a.re + a.im * r) / den;
        c.im = (a.im - a.re * r) / den;
    } else {
        const float r = b.re / b.im;
        const float den = b.im + r * b.re;
        c.re = (a.re * r + a.im) / den;
        c.im = (a.im * r - a.re) / den;
    }
    return c;
}

ComplexF RealByComplexDivide(float x, ComplexF b) { return ComplexDivide(ComplexF{x, 0.0f}, b); }

float PowerRealInteger(float x, int n) {
    if (n == 0) return 1.0f;
    if (x == 0.0f && n < 0) RaiseMath(Err::ZeroNegativePower);
    unsigned long long k = n < 0 ? 0ULL - static_cast<unsigned long long>(static_cast<long long>(n))
                                 : static_cast<unsigned long long>(n);
    float result = 1.0f, base = x;
    while (k) {
        if (k & 1ULL) result *= base;
        k >>= 1;
        if (k) base *= base;
    }
    return n < 0 ? 1.0f / result : result;
}

float PowerRealReal(float x, float y) { return std::pow(x, y); }

float Sign(float a, float b) { return b >= 0.0f ? std::fabs(a) : -std::fabs(a); }

// ---------------------------------------------------------------------------
// Text operations.

void AssignText(char* dest, int dfirst, int dlast, const char* source, int sfirst, int slast) {
    const int dn = dlast - dfirst + 1;
    const int sn = std::max(slast - sfirst + 1, 0);
    if (dn <= 0) return;
    char* d = dest + (dfirst - 1);
    const char* s = source + (sfirst - 1);
    const int copy = std::min(dn, sn);
    std::memmove(d, s, static_cast<size_t>(copy));
    std::fill(d + copy, d + dn, ' ');
}

bool TextEqual(const char* a, int alen, const char* b, int blen) {
    alen = std::max(alen, 0);
    blen = std::max(blen, 0);
    const int n = std::max(alen, blen);
    for (int i = 0; i < n; ++i) {
        const char ca = i < alen ? a[i] : ' ';
        const char cb = i < blen ? b[i] : ' ';
        if (ca != cb) return false;
    }
    return true;
}

bool TextNotEqual(const char* a, int alen, const char* b, int blen) { return !TextEqual(a, alen, b, blen); }
