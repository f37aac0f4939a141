#pragma once
// Entry points of the record-reader fuzz targets, shared with their
// regression tests. Each takes the raw fuzz input, drives the reader through
// the public record I/O calls and returns an empty string, or a description
// of the invariant that broke. Crashes and undefined behaviour are left to
// the sanitizers.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/harness_common.h"
#include "recordio/recordio.h"

namespace fuzzh {

// The first input byte chooses the source and the mode; the rest is the text.
struct ReaderInput {
    bool fromFile = false;    // a file unit instead of the console
    bool statusMode = false;  // status mode: errors are returned, the loop goes on
    unsigned pattern = 0;     // picks the statement shapes
    std::string text;
};

inline ReaderInput SplitReaderInput(const uint8_t* data, size_t size) {
    ReaderInput in;
    if (size == 0) return in;
    in.fromFile = (data[0] & 1) != 0;
    in.statusMode = (data[0] & 2) != 0;
    in.pattern = data[0] >> 2;
    in.text.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    return in;
}

// The source of the statements: the console fed from a string, or unit 30
// connected to a file holding the text. Constructed inside a WorkIn.
class ReaderSource {
public:
    static constexpr int kFileUnit = 30;
    explicit ReaderSource(const ReaderInput& in) : unit_(in.fromFile ? kFileUnit : CONSOLE) {
        ResetRecordIo();
        if (in.fromFile) {
            std::ofstream("fuzz.txt", std::ios::binary) << in.text;
            con_.str("");
            ok_ = OpenUnit(kFileUnit, Text14("fuzz.txt"), Text3("OLD")) == 0;
        } else {
            con_.str(in.text);
        }
        SetConsoleStreams(&con_, &out_);
    }
    ~ReaderSource() {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
    }
    int unit() const { return unit_; }
    bool ok() const { return ok_; }
    ReaderSource(const ReaderSource&) = delete;
    ReaderSource& operator=(const ReaderSource&) = delete;

private:
    int unit_;
    bool ok_ = true;
    std::istringstream con_;
    std::ostringstream out_;
};

// A run-time error report must name the statement and the unit.
inline std::string CheckReport(const RunTimeError& e) {
    const std::string t = e.what();
    if (t.rfind("\r\nrun-time error F", 0) != 0 || t.find("READ(") == std::string::npos ||
        t.substr(t.size() - 2) != "\r\n")
        return "malformed run-time error report: " + t;
    return {};
}

// ---------------------------------------------------------------------------
// Free-format reader. Statements take the shapes of the program's numeric
// reads ('I' integer, 'R' real target), one after the other until the input
// ends. Every value read is then written again in free format by statements
// of the same shapes and read back: integers must come back exactly, reals to
// the 7 significant digits the writer keeps.

inline constexpr const char* kFreeShapes[] = {"I", "R", "IIIII", "II", "RRRRR", "IRRRRRR",
                                              "IR", "RRRR", "RR", "RRRRRRRR", "IRR", ""};
inline constexpr int kFreeShapeCount = sizeof(kFreeShapes) / sizeof(kFreeShapes[0]);

struct FreeStatement {
    const char* shape;
    std::vector<int32_t> ints;
    std::vector<float> reals;
};

// Runs one statement of the shape; targets start at values a read may leave
// unchanged. Returns the status (always 0 outside status mode).
inline int ReadShape(int unit, bool statusMode, FreeStatement& s) {
    const size_t n = std::strlen(s.shape);
    s.ints.assign(n, 0);
    s.reals.assign(n, 0.0f);
    for (size_t k = 0; k < n; ++k) {
        s.ints[k] = static_cast<int32_t>(7 * k + 1);
        s.reals[k] = 0.5f + static_cast<float>(k);
    }
    BeginRead(unit, FREE, statusMode);
    for (size_t k = 0; k < n; ++k) {
        const int st = s.shape[k] == 'I' ? ReadInteger(s.ints[k]) : ReadReal(s.reals[k]);
        if (st != 0) return st;
    }
    return EndRead();
}

inline std::string RunFreeFormatInput(const uint8_t* data, size_t size) {
    const ReaderInput in = SplitReaderInput(data, size);
    WorkIn work;
    std::vector<FreeStatement> done;
    std::string failure;
    {
        ReaderSource src(in);
        if (!src.ok()) return "cannot open the input file";
        try {
            for (unsigned k = 0;; ++k) {
                if (k > in.text.size() + 2) return "the statements do not reach the end of the input";
                FreeStatement s{kFreeShapes[(in.pattern + k * (in.pattern / 4 + 1)) % kFreeShapeCount], {}, {}};
                const int st = ReadShape(src.unit(), in.statusMode, s);
                if (st == -1) break;  // end of input in status mode
                if (st > 0) {
                    if (st < 6000) return "status " + std::to_string(st) + " is not an error number";
                    continue;
                }
                done.push_back(s);
            }
        } catch (const RunTimeError& e) {
            failure = CheckReport(e);
        }
    }
    if (!failure.empty()) return failure;
    if (in.statusMode && in.text.empty() && !done.empty()) return "a statement completed on empty input";

    // Write everything again to a file, as the model file is written, and
    // read it back.
    ResetRecordIo();
    constexpr int kCopyUnit = 31;
    std::error_code ec;
    fs::remove("copy.txt", ec);
    if (OpenUnit(kCopyUnit, Text14("copy.txt"), Text3("NEW")) != 0) return "cannot create the copy";
    std::string result;
    try {
        for (const FreeStatement& s : done) {
            BeginWrite(kCopyUnit, FREE);
            for (size_t k = 0; s.shape[k]; ++k)
                s.shape[k] == 'I' ? WriteInteger(s.ints[k]) : WriteReal(s.reals[k]);
            EndWrite();
        }
        RewindUnit(kCopyUnit);
        for (size_t j = 0; j < done.size() && result.empty(); ++j) {
            FreeStatement again{done[j].shape, {}, {}};
            ReadShape(kCopyUnit, false, again);
            for (size_t k = 0; again.shape[k]; ++k) {
                if (again.shape[k] == 'I' && again.ints[k] != done[j].ints[k])
                    result = "integer " + std::to_string(done[j].ints[k]) + " read back as " +
                             std::to_string(again.ints[k]);
                if (again.shape[k] == 'R' && !SameAfterFreeFormat(done[j].reals[k], again.reals[k]))
                    result = "real " + std::to_string(done[j].reals[k]) + " read back as " +
                             std::to_string(again.reals[k]);
            }
        }
    } catch (const RunTimeError& e) {
        result = std::string("free-format output not readable: ") + e.what();
    }
    ResetRecordIo();
    SetConsoleStreams(nullptr, nullptr);
    return result;
}

// ---------------------------------------------------------------------------
// A-format reader. Statements "(A1)", "(A14)", "(A50)" and a free-format
// read without targets (the press-Enter pause) follow one another until the
// input ends. Each must consume exactly one record and store its first w
// characters, blank-padded; the records are cut out of the input here
// independently (LF ends a record, a CR before it is dropped).

inline std::vector<std::string> RecordsOf(const std::string& text) {
    std::vector<std::string> recs;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string r = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!r.empty() && r.back() == '\r') r.pop_back();
        recs.push_back(r);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return recs;
}

template <int W>
std::string ReadAField(int unit, bool statusMode, int& st) {
    Text<W> t("#");  // must be replaced completely
    BeginRead(unit, W == 1 ? "(A1)" : W == 14 ? "(A14)" : "(A50)", statusMode);
    st = ReadText(t.c, W);
    if (st == 0) st = EndRead();
    return std::string(t.c, W);
}

inline std::string RunAFormatInput(const uint8_t* data, size_t size) {
    const ReaderInput in = SplitReaderInput(data, size);
    const std::vector<std::string> recs = RecordsOf(in.text);
    WorkIn work;
    ReaderSource src(in);
    if (!src.ok()) return "cannot open the input file";
    size_t next = 0;  // index of the record the next statement must read
    try {
        for (unsigned k = 0;; ++k) {
            if (k > in.text.size() + 2) return "the statements do not reach the end of the input";
            const int kind = static_cast<int>((in.pattern + k * (in.pattern / 4 + 1)) % 4);
            int st = 0;
            std::string got;
            int w = 0;
            switch (kind) {
                case 0: got = ReadAField<1>(src.unit(), in.statusMode, st), w = 1; break;
                case 1: got = ReadAField<14>(src.unit(), in.statusMode, st), w = 14; break;
                case 2: got = ReadAField<50>(src.unit(), in.statusMode, st), w = 50; break;
                default:
                    BeginRead(src.unit(), FREE, in.statusMode);
                    st = EndRead();
            }
            if (st == -1) {
                if (next != recs.size()) return "end of file reported with records left";
                return {};
            }
            if (st != 0) return "status " + std::to_string(st) + " from a text read";
            if (next >= recs.size()) return "a statement completed after the last record";
            if (w > 0) {
                std::string want = recs[next].substr(0, static_cast<size_t>(w));
                want.resize(static_cast<size_t>(w), ' ');
                if (got != want) return "record " + std::to_string(next + 1) + " read as \"" + got + "\"";
            }
            ++next;
        }
    } catch (const RunTimeError& e) {
        if (std::string f = CheckReport(e); !f.empty()) return f;
        if (std::string(e.what()).find("end of file") == std::string::npos)
            return std::string("text read failed: ") + e.what();
        if (next != recs.size()) return "end of file with records left";
    }
    return {};
}

}  // namespace fuzzh
