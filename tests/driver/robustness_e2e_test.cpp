// Whole-program robustness: seeded random answer scripts (menu numbers, yes
// and no, names of files present and new, numbers, letters, blank lines)
// against the real binary. Every session must end by itself within its time
// limit, with exit status 0 and nothing on standard error, or with status 1
// and exactly one run-time error report there (so no sanitizer report), and
// it must leave no file outside its folder and no file in it that the
// script did not name.
#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/session.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSessions = 40;
constexpr int kTimeLimitSeconds = 60;

const std::vector<std::string> kModels = {"simple.dat", "stability.dat", "pedestal.dat", "metric.dat"};
const char* const kFitData = "0 1 2\n1 2 3\n2 5 1\n3 10 0\n4 17 2\n5 26 5\n";

// Deterministic choices (the same scripts in every build and run).
class Dice {
public:
    explicit Dice(uint32_t seed) : rng_(seed) {}
    int Below(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
    template <class T>
    const T& Pick(const std::vector<T>& v) { return v[static_cast<size_t>(Below(static_cast<int>(v.size())))]; }

private:
    std::mt19937 rng_;
};

// One answer line. Numbers stay small enough that a speed sweep has at most
// about a thousand steps, so every session is quick even under the sanitizers.
std::string Answer(Dice& d) {
    static const std::vector<std::string> numbers = {"0",   "-1",  "2.5", "12",     "16",         "100",
                                                     "500", "1000", "99", "3e7 0.283", "1e5 0 10 0", "2 1.5",
                                                     "1 0.5", "1000 2000 100"};
    static const std::vector<std::string> yesNo = {"y", "n", "Y", "N", "yes", "x"};
    static const std::vector<std::string> names = {"simple.dat", "stability.dat", "pedestal.dat", "metric.dat",
                                                   "fit.txt",    "out.dat",       "rep.out",      "r.out",
                                                   "i.out",      "m1.out"};
    static const std::vector<std::string> letters = {"abc", "q", "dir", "DATA", "1.5.3"};
    static const std::vector<std::string> special = {"/", "3*2", ",,", "  7  ", "4,5"};
    // Most prompts read numbers, and a word typed there ends the session,
    // so numbers are the most frequent answers.
    const int r = d.Below(100);
    if (r < 62) return std::to_string(1 + d.Below(d.Below(4) == 0 ? 16 : 8));  // menu numbers
    if (r < 80) return d.Pick(numbers);
    if (r < 85) return d.Pick(yesNo);
    if (r < 90) return d.Pick(names);
    if (r < 91) return d.Pick(letters);
    if (r < 98) return "";
    return d.Pick(special);
}

struct Script {
    std::vector<std::string> lines;
    std::string text() const {
        std::string t;
        for (const auto& l : lines) t += l + "\n";
        return t;
    }
};

// Pieces of plausible dialogue from the data menu back to it: reading a
// model, listing it, saving it, the editor, Check Directory, running the
// analysis of the main option, the curve fit, and the exit.
std::vector<std::string> Piece(Dice& d, int mainOpt) {
    // From the main menu back into the data menu of the main option.
    std::vector<std::string> back = {std::to_string(mainOpt)};
    if (mainOpt == 1) back.push_back("");
    auto then = [&](std::vector<std::string> v) {
        v.insert(v.end(), back.begin(), back.end());
        return v;
    };
    const std::string report = d.Pick(std::vector<std::string>{"rep.out", "r.out", "out.dat", "simple.dat"});
    switch (d.Below(13)) {
        case 0: return {"1", "1", d.Pick(kModels)};
        case 1: return {"2", "", "", "", "", "", "", ""};
        case 2: return {"3", d.Pick(std::vector<std::string>{"out.dat", "simple.dat", "m1.out"}), "Y"};
        case 3: return {"4", std::to_string(1 + d.Below(16)), "16"};
        case 4: return {"1", "3", d.Below(2) ? "" : "dir"};
        case 5: return then({"6"});
        case 6: return then({"6", "7", "1", "fit.txt", "3", "fit.out", "Y", "10"});
        case 7: return {"6", "8", "N"};
        default:
            switch (mainOpt) {
                case 1: return then({"5", "N", "N", "1", report, ""});
                case 2: return then({"5", "1", report, ""});
                case 3: return then({"5", "Y", "N", "2", report, ""});
                case 4:
                    return then({"5", "1", "2", "r.out", "i.out", "1", "N", "1000", "12000", "500", "1", report, ""});
                default: return then({"5", "11", "1000", "5000", "500", "1", report, ""});
            }
    }
}

// A script: a main option and a model, then pieces of dialogue and random
// answers; every answer of a piece may be replaced by a random one. Some
// scripts are random from the first line.
Script MakeScript(uint32_t seed) {
    Dice d(seed);
    Script s;
    const int mainOpt = 1 + d.Below(5);
    if (d.Below(6) != 0) {
        s.lines.push_back(std::to_string(mainOpt));
        if (mainOpt == 1) s.lines.push_back("");
        for (const std::string& l : {std::string("1"), std::string("1"), d.Pick(kModels)}) s.lines.push_back(l);
    }
    const int pieces = 2 + d.Below(8);
    for (int p = 0; p < pieces; ++p) {
        for (const std::string& l : Piece(d, mainOpt)) s.lines.push_back(d.Below(100) < 6 ? Answer(d) : l);
        for (int k = d.Below(3); k > 0; --k) s.lines.push_back(Answer(d));
    }
    return s;
}

// The only thing allowed on standard error: one run-time error report,
// "\r\nrun-time error F6101: READ(CON)\r\n- text\r\n" (MATH without a unit).
bool IsRunTimeErrorReport(const std::string& err) {
    const std::string head = "\r\nrun-time error ";
    if (err.rfind(head, 0) != 0) return false;
    size_t i = head.size();
    if (i + 5 > err.size() || (err[i] != 'F' && err[i] != 'M')) return false;
    for (size_t k = 1; k <= 4; ++k)
        if (!std::isdigit(static_cast<unsigned char>(err[i + k]))) return false;
    i += 5;
    if (err.compare(i, 2, ": ") != 0) return false;
    i += 2;
    const size_t kind = i;
    while (i < err.size() && std::isupper(static_cast<unsigned char>(err[i]))) ++i;
    if (i == kind) return false;
    if (i < err.size() && err[i] == '(') {
        const size_t close = err.find(")\r\n", i);
        if (close == std::string::npos || err.find_first_of("\r\n", i) < close) return false;
        i = close + 1;
    }
    if (err.compare(i, 4, "\r\n- ") != 0) return false;
    i += 4;
    const size_t end = err.find_first_of("\r\n", i);
    return end != std::string::npos && end > i && err.compare(end, std::string::npos, "\r\n") == 0;
}

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(Robustness, RandomAnswerScriptsEndCleanly) {
    // The sessions get their own temporary area, so anything written beside
    // a session folder shows; commands typed at a pause go to a program that
    // does nothing.
    std::random_device rd;
    const fs::path area = fs::temp_directory_path() / ("korvo-robust-" + std::to_string(rd()));
    fs::create_directories(area);
    std::map<std::string, std::string> examples;
    for (const auto& m : kModels) examples[m] = Slurp(ExamplePath(m));
    {
        ScopedEnv tmp("TMPDIR", area.string());
        ScopedEnv shell("COMSPEC", "/bin/true");

        int stops = 0, errors = 0, runs = 0;
        double slowest = 0.0;
        for (int k = 0; k < kSessions; ++k) {
            const Script script = MakeScript(20240 + static_cast<uint32_t>(k));
            SessionSetup setup;
            setup.examples = kModels;
            setup.files["fit.txt"] = kFitData;
            setup.timeoutSeconds = kTimeLimitSeconds;
            const auto t0 = std::chrono::steady_clock::now();
            Session s = RunKorvo(script.text(), setup);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            slowest = std::max(slowest, seconds);
            SCOPED_TRACE("session " + std::to_string(k) + ":\n" + script.text());

            ASSERT_FALSE(s.timedOut) << "no end within " << kTimeLimitSeconds << " s";
            if (s.status == 0) {
                ++stops;
                EXPECT_EQ(s.err, "");
                EXPECT_NE(s.out.find(" done ..."), std::string::npos);
            } else {
                ++errors;
                EXPECT_EQ(s.status, 1) << s.err;
                EXPECT_TRUE(IsRunTimeErrorReport(s.err)) << s.err;
            }
            runs += CountOccurrences(s.out, "***    END OF RUN    ***") > 0 ? 1 : 0;

            // Nothing beside the session folder; in it only the files placed
            // there and files the script named.
            std::set<std::string> allowed = {"fit.txt"};
            allowed.insert(kModels.begin(), kModels.end());
            for (const auto& l : script.lines) allowed.insert(l.substr(0, 14));
            for (const auto& e : fs::directory_iterator(area))
                EXPECT_EQ(e.path(), s.dir) << "written outside the session folder";
            for (const auto& e : fs::directory_iterator(s.dir))
                EXPECT_TRUE(allowed.count(e.path().filename().string())) << "unexpected file " << e.path();
        }
        RecordProperty("stops", stops);
        RecordProperty("runtime_errors", errors);
        RecordProperty("sessions_with_a_run", runs);
        std::cout << "robustness: " << kSessions << " sessions, " << stops << " stops, " << errors
                  << " run-time errors, " << runs << " with an analysis run, slowest " << slowest << " s\n";
        // The scripts reach both endings and the analyses.
        EXPECT_GT(stops, 0);
        EXPECT_GT(errors, 0);
        EXPECT_GT(runs, 0);
    }
    for (const auto& m : kModels) EXPECT_EQ(Slurp(ExamplePath(m)), examples[m]) << m << " changed";
    std::error_code ec;
    fs::remove_all(area, ec);
}

}  // namespace
