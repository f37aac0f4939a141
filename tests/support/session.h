#pragma once
// Runs the real korvo binary in a fresh temporary folder on a scripted
// standard input, and compares what it printed and wrote with expected files.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

struct Session {
    std::filesystem::path dir;  // working folder of the run (removed with the session)
    int status = -1;            // exit status; -1 when killed by a signal or timed out
    std::string out, err;       // standard output and error, bytes as written
    double cpuSeconds = 0.0;    // user + system time of the run
    long maxRssKb = 0;          // peak resident size
    double wallSeconds = 0.0;   // from the start of the run to its end

    std::string file(const std::string& name) const;  // "" when missing
    bool exists(const std::string& name) const;

    Session() = default;
    Session(const Session&) = delete;
    Session(Session&&) = default;
    ~Session();
};

struct SessionSetup {
    std::map<std::string, std::string> files;  // placed in the folder first
    long fileSizeLimit = 0;                    // > 0: writes beyond it fail as on a full disk
    long stdoutBytes = -1;                     // >= 0: the reader of standard output goes away after that many bytes
    int timeoutSeconds = 300;
    std::map<std::string, std::string> env;    // set in korvo's environment
};

// Runs korvo with `input` as standard input.
Session RunKorvo(const std::string& input, const SessionSetup& setup = {});

// Answers joined into a script: '|' ends an answer line.
std::string Script(const std::string& answers);
// Splits text into lines at LF, a CR before the LF removed.
std::vector<std::string> SplitLines(const std::string& text);
// A name and a number: "m" 2 gives "m2".
inline std::string Named(const char* prefix, int n) { return std::string(prefix).append(std::to_string(n)); }
// Number of times `needle` occurs in `hay`.
int CountOccurrences(const std::string& hay, const std::string& needle);
// The numbers of each line of a text (lines without numbers skipped).
std::vector<std::vector<double>> NumberLines(const std::string& text);
// All numbers of a text in order.
std::vector<double> Numbers(const std::string& text);
// The numbers of a text cut into records of `width` values (a free-format
// record of more than four reals goes on over a second line).
std::vector<std::vector<double>> Records(const std::string& text, size_t width);
// The number after the first occurrence of `label` (NaN when missing).
double ValueAfter(const std::string& text, const std::string& label);
// Path and contents of a file of the source tree.
std::filesystem::path SourcePath(const std::string& relative);
std::string SourceFile(const std::string& relative);

// The text with the date and time of a report banner masked.
std::string MaskDateAndTime(std::string text);
// Compares text with tests/expected/<name>; the date and time of a report
// banner are masked. With KORVO_REGENERATE=1 in the environment the expected
// file is written instead (see the README).
void ExpectSameAsExpected(const std::string& name, const std::string& text);
