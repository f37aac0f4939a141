#include "tests/support/session.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Spit(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// Replaces every `label` followed by text of the shape `shape` ('9' a digit,
// '_' a digit or a blank, anything else itself) with label + mask.
void Mask(std::string& text, const std::string& label, const std::string& shape, const std::string& mask) {
    for (size_t p = text.find(label); p != std::string::npos; p = text.find(label, p + 1)) {
        const size_t at = p + label.size();
        bool fits = at + shape.size() <= text.size();
        for (size_t i = 0; fits && i < shape.size(); ++i) {
            const char c = text[at + i];
            const bool digit = c >= '0' && c <= '9';
            fits = shape[i] == '9' ? digit : shape[i] == '_' ? digit || c == ' ' : c == shape[i];
        }
        if (fits) text.replace(at, shape.size(), mask);
    }
}

}  // namespace

std::string Session::file(const std::string& name) const { return Slurp(dir / name); }
bool Session::exists(const std::string& name) const { return fs::exists(dir / name); }
Session::~Session() {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir.parent_path(), ec);
}

fs::path SourcePath(const std::string& relative) { return fs::path(KORVO_SOURCE_DIR) / relative; }
std::string SourceFile(const std::string& relative) { return Slurp(SourcePath(relative)); }

// The run's folder "work" lies in a temporary folder of its own, which also
// holds standard input and error; standard output comes through a pipe.
Session RunKorvo(const std::string& input, const SessionSetup& setup) {
    Session s;
    std::string tmpl = (fs::temp_directory_path() / "korvo-e2e-XXXXXX").string();
    int pipefd[2];
    if (!mkdtemp(tmpl.data()) || pipe(pipefd) != 0) throw std::runtime_error("cannot set up a session");
    const fs::path base = tmpl;
    s.dir = base / "work";
    fs::create_directory(s.dir);
    for (const auto& [name, text] : setup.files) Spit(s.dir / name, text);
    Spit(base / "stdin", input);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int in = open((base / "stdin").c_str(), O_RDONLY);
        const int err = open((base / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || err < 0 || chdir(s.dir.c_str()) != 0) _exit(127);
        dup2(in, 0);
        dup2(pipefd[1], 1);
        dup2(err, 2);
        close(pipefd[0]);
        unsetenv("COMSPEC");  // a command typed at a pause goes to the shell
        for (const auto& [name, value] : setup.env) setenv(name.c_str(), value.c_str(), 1);
        if (setup.fileSizeLimit > 0) {
            // korvo itself ignores SIGXFSZ, so a write beyond the limit fails
            // with EFBIG as on a full disk.
            signal(SIGXFSZ, SIG_DFL);
            rlimit r{static_cast<rlim_t>(setup.fileSizeLimit), RLIM_INFINITY};
            getrlimit(RLIMIT_FSIZE, &r);
            r.rlim_cur = static_cast<rlim_t>(setup.fileSizeLimit);
            setrlimit(RLIMIT_FSIZE, &r);
        }
        execl(KORVO_EXE, KORVO_EXE, nullptr);
        _exit(127);
    }
    close(pipefd[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(setup.timeoutSeconds);
    bool timedOut = false;
    char buf[65536];
    for (;;) {
        pollfd p{pipefd[0], POLLIN, 0};
        if (poll(&p, 1, 100) > 0) {
            const ssize_t n = read(pipefd[0], buf, sizeof buf);
            if (n <= 0) break;
            s.out.append(buf, static_cast<size_t>(n));
            if (setup.stdoutBytes >= 0 && s.out.size() >= static_cast<size_t>(setup.stdoutBytes)) break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            timedOut = true;
            break;
        }
    }
    close(pipefd[0]);
    int wstatus = 0;
    rusage usage{};
    wait4(pid, &wstatus, 0, &usage);
    s.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    s.status = (!timedOut && WIFEXITED(wstatus)) ? WEXITSTATUS(wstatus) : -1;
    s.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
    s.maxRssKb = usage.ru_maxrss;
    s.err = Slurp(base / "stderr");
    return s;
}

std::string Script(const std::string& answers) {
    std::string s = answers;
    for (char& c : s)
        if (c == '|') c = '\n';
    return s + "\n";
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l.back() == '\r') l.pop_back();
        lines.push_back(l);
    }
    return lines;
}

int CountOccurrences(const std::string& hay, const std::string& needle) {
    int n = 0;
    for (size_t p = hay.find(needle); !needle.empty() && p != std::string::npos; p = hay.find(needle, p + needle.size())) ++n;
    return n;
}

std::vector<std::vector<double>> NumberLines(const std::string& text) {
    std::vector<std::vector<double>> rows;
    for (const std::string& line : SplitLines(text)) {
        std::vector<double> row;
        const char* p = line.c_str();
        char* end = nullptr;
        for (double v = std::strtod(p, &end); end != p; v = std::strtod(p, &end)) row.push_back(v), p = end;
        if (!row.empty()) rows.push_back(row);
    }
    return rows;
}

std::vector<double> Numbers(const std::string& text) {
    std::vector<double> all;
    for (const auto& r : NumberLines(text)) all.insert(all.end(), r.begin(), r.end());
    return all;
}

std::vector<std::vector<double>> Records(const std::string& text, size_t width) {
    const std::vector<double> v = Numbers(text);
    std::vector<std::vector<double>> r;
    for (size_t i = 0; i + width <= v.size(); i += width) r.emplace_back(v.begin() + long(i), v.begin() + long(i + width));
    EXPECT_EQ(v.size() % width, 0u) << "a record is cut short";
    return r;
}

double ValueAfter(const std::string& text, const std::string& label) {
    const size_t p = text.find(label);
    return p == std::string::npos ? NAN : std::strtod(text.c_str() + p + label.size(), nullptr);
}

std::string MaskDateAndTime(std::string text) {
    Mask(text, "RUN ON: ", "_9-_9-9999", "mm-dd-yyyy");
    Mask(text, "AT: ", "_9:_9:_9", "hh:mm:ss");
    return text;
}

void ExpectSameAsExpected(const std::string& name, const std::string& text) {
    const std::string masked = MaskDateAndTime(text);
    const fs::path path = SourcePath("tests/expected/" + name);
    if (const char* r = std::getenv("KORVO_REGENERATE"); r && std::string(r) == "1") {
        fs::create_directories(path.parent_path());
        Spit(path, masked);
        return;
    }
    ASSERT_TRUE(fs::exists(path)) << "no expected file " << path << " (see the README: KORVO_REGENERATE)";
    const std::string want = Slurp(path);
    if (masked == want) return;
    const std::vector<std::string> a = SplitLines(masked), b = SplitLines(want);
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    ADD_FAILURE() << name << " differs from the expected file at line " << i + 1 << ":\n  got:      \""
                  << (i < a.size() ? a[i] : "<end>") << "\"\n  expected: \"" << (i < b.size() ? b[i] : "<end>")
                  << "\"";
}
