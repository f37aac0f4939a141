#include "tests/support/session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return {};
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Spit(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

fs::path MakeTempDir() {
    std::random_device rd;
    for (int tries = 0; tries < 100; ++tries) {
        fs::path p = fs::temp_directory_path() / ("korvo-e2e-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(p, ec)) return p;
    }
    throw std::runtime_error("cannot create a temporary folder");
}

}  // namespace

std::string Session::file(const std::string& name) const { return Slurp(dir / name); }
bool Session::exists(const std::string& name) const { return fs::exists(dir / name); }
std::vector<std::string> Session::outLines() const { return SplitLines(out); }

Session::~Session() {
    if (!dir.empty()) {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
}

fs::path ExamplePath(const std::string& name) { return fs::path(KORVO_SOURCE_DIR) / "examples" / name; }

Session RunKorvo(const std::string& input, const SessionSetup& setup) {
    Session s;
    s.dir = MakeTempDir();
    for (const auto& [name, text] : setup.files) Spit(s.dir / name, text);
    for (const auto& name : setup.examples) fs::copy_file(ExamplePath(name), s.dir / name);
    const fs::path inPath = s.dir / ".stdin", outPath = s.dir / ".stdout", errPath = s.dir / ".stderr";
    Spit(inPath, input);

    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        if (chdir(s.dir.c_str()) != 0) _exit(127);
        int in = open(inPath.c_str(), O_RDONLY);
        int out = setup.stdoutFd >= 0 ? setup.stdoutFd : open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        if (setup.fileSizeLimit > 0) {
            signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead
            const rlimit r{static_cast<rlim_t>(setup.fileSizeLimit), static_cast<rlim_t>(setup.fileSizeLimit)};
            if (setrlimit(RLIMIT_FSIZE, &r) != 0) _exit(127);
        }
        std::vector<std::string> args{KORVO_EXE};
        args.insert(args.end(), setup.args.begin(), setup.args.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(KORVO_EXE, argv.data());
        _exit(127);
    }
    if (setup.stdoutFd >= 0) close(setup.stdoutFd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(setup.timeoutSeconds);
    int wstatus = 0;
    rusage usage{};
    for (;;) {
        pid_t r = wait4(pid, &wstatus, WNOHANG, &usage);
        if (r == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            wait4(pid, &wstatus, 0, &usage);
            s.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    s.status = (!s.timedOut && WIFEXITED(wstatus)) ? WEXITSTATUS(wstatus) : -1;
    s.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    s.maxRssKb = usage.ru_maxrss;
    s.out = Slurp(outPath);
    s.err = Slurp(errPath);
    fs::remove(inPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return s;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string cur;
    for (char c : text) {
        if (c == '\n') {
            if (!cur.empty() && cur.back() == '\r') cur.pop_back();
            lines.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) lines.push_back(cur);
    return lines;
}

int CountOccurrences(const std::string& hay, const std::string& needle) {
    if (needle.empty()) return 0;
    int n = 0;
    for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + needle.size())) ++n;
    return n;
}
