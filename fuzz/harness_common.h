#pragma once
// Shared pieces of the fuzz harnesses: a scratch folder that the harness
// works in (file names are relative to the current directory), and the
// tolerance of a real written in free format and read back.
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

namespace fuzzh {

namespace fs = std::filesystem;

// One scratch folder per process, removed at exit. While a WorkIn object
// lives the process works in it; the old current directory is restored after.
inline const fs::path& ScratchDir() {
    struct Dir {
        fs::path p;
        Dir() {
            p = fs::temp_directory_path() / ("korvo-fuzz-" + std::to_string(getpid()));
            fs::create_directories(p);
        }
        ~Dir() {
            std::error_code ec;
            fs::remove_all(p, ec);
        }
    };
    static Dir d;
    return d.p;
}

class WorkIn {
public:
    WorkIn() : old_(fs::current_path()) { fs::current_path(ScratchDir()); }
    ~WorkIn() {
        std::error_code ec;
        fs::current_path(old_, ec);
    }
    WorkIn(const WorkIn&) = delete;
    WorkIn& operator=(const WorkIn&) = delete;

private:
    fs::path old_;
};

// Removes every file of the scratch folder.
inline void ClearScratch() {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(ScratchDir(), ec)) fs::remove_all(e.path(), ec);
}

// A real written in free format keeps 7 significant digits, which is less
// than a single-precision value may carry: the value read back lies within
// half a unit of the 7th digit of the original, plus the rounding of the read.
inline bool SameAfterFreeFormat(float wrote, float read) {
    if (std::isnan(wrote)) return std::isnan(read);
    if (std::isinf(wrote)) return read == wrote;
    const double a = wrote, b = read;
    const double tol = 6.0e-7 * std::fabs(a) + std::numeric_limits<float>::denorm_min();
    return std::fabs(a - b) <= tol;
}

}  // namespace fuzzh
