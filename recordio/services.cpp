// Pause with a command, stop, the reset and shutdown of the record layer,
// date and time, and the comparison of fixed-length texts.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
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
    // The command gets the default actions of SIGPIPE and SIGXFSZ, which
    // this program ignores.
    posix_spawnattr_t attr;
    sigset_t def;
    posix_spawnattr_init(&attr);
    sigemptyset(&def);
    sigaddset(&def, SIGPIPE);
    sigaddset(&def, SIGXFSZ);
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

void ShutDownUnits() {
    ResetWriter();
    ResetReader();
    EndPendingLine(true);
    ConOut().flush();
    CloseAllUnits();
}

void ResetRecordIo() {
    ResetWriter();
    ResetReader();
    ResetUnits();
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
// Comparison of fixed-length texts.

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
