#pragma once
// Runs the real korvo binary in a fresh temporary folder with a scripted
// standard input, and gives access to what it printed and wrote.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct Session {
    std::filesystem::path dir;  // the temporary working folder (kept until destruction)
    int status = -1;            // exit status; -1 when killed by a signal or timed out
    bool timedOut = false;
    std::string out;            // standard output, bytes as written
    std::string err;            // standard error
    double cpuSeconds = 0.0;    // user + system time of the run
    long maxRssKb = 0;          // peak resident size

    // Contents of a file of the working folder ("" when missing).
    std::string file(const std::string& name) const;
    bool exists(const std::string& name) const;
    // The lines of standard output with CR LF / LF split off.
    std::vector<std::string> outLines() const;

    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    Session(Session&&) = default;
    ~Session();
};

struct SessionSetup {
    std::map<std::string, std::string> files;     // files placed in the folder first
    std::vector<std::string> examples;            // files copied from examples/
    std::vector<std::string> args;                // command-line arguments
    int timeoutSeconds = 120;
    int stdoutFd = -1;       // standard output of korvo instead of Session::out (closed here once it started)
    long fileSizeLimit = 0;  // bytes korvo may write to one file, as on a full disk (0: no limit)
};

// Runs korvo with `input` as standard input.
Session RunKorvo(const std::string& input, const SessionSetup& setup = {});

// Splits text into lines at LF, removing a CR before each LF.
std::vector<std::string> SplitLines(const std::string& text);
// Path of a file in the source tree's examples/ folder.
std::filesystem::path ExamplePath(const std::string& name);
// Number of times `needle` occurs in `hay`.
int CountOccurrences(const std::string& hay, const std::string& needle);
