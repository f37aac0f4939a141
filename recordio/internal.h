#pragma once
// Internal state shared by the parts of the record I/O layer: the unit table,
// the console, the error table and the parsed format specifications.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "recordio/recordio.h"

namespace rio {

// ---------------------------------------------------------------------------
// Errors. Every run-time error of the layer is one row of the table in
// errors.cpp (number, "F" or "M", text).
enum class Err : int {
    InvalidInteger,
    IntegerRange,
    InvalidReal,
    RealRange,
    FormatSyntax,
    ItemMismatch,
    NoDataDescriptor,
    FileNotFound,
    FileExists,
    FileConnected,
    OpenFailed,
    BadStatus,
    NotAFile,
    EndOfFile,
    ReadFailed,
    WriteFailed,
    ReadOnly,
    NotConnected,
    BadUnit,
    ZeroNegativePower,  // numeric services
    Count
};

int ErrNumber(Err e);
const char* ErrText(Err e);
// Builds the report for a statement kind ("READ", "WRITE", ...) on a unit
// name and throws it.
[[noreturn]] void Raise(Err e, const char* kind, const std::string& unitName);
[[noreturn]] void RaiseMath(Err e);
// Unit name used in reports: file name, "CON", or the unit number.
std::string ReportName(int unit);

// ---------------------------------------------------------------------------
// Units.
enum class LastOp { None, Read, Write };

struct Unit {
    int number = 0;
    std::string name;             // file name as given, trailing blanks removed
    std::filesystem::path path;   // absolute path, for the connection check
    std::FILE* fp = nullptr;
    bool readOnly = false;
    bool regular = true;   // a regular file (not a device): cut at the first write
    bool written = false;  // written since the open or the last rewind
    LastOp last = LastOp::None;
    // An existing file opened for writing is not overwritten in place: the
    // first write moves the unit to a temporary file beside it (`temp`), which
    // takes the file's place at the close if every write succeeded.
    bool replaceAtClose = false;
    std::filesystem::path target;  // the file that the temporary file replaces
    std::filesystem::path temp;    // non-empty once the unit writes there
    bool failed = false;           // a write failed: the old file is kept
    bool created = false;          // the open created the file ("NEW")
};

// The connected file unit, or nullptr.
Unit* FindUnit(int unit);

// Console.
std::istream& ConIn();
std::ostream& ConOut();
extern bool linePending;
// Ends a pending console line with CR LF; clear selects whether the pending
// bit is cleared (close, reads) or kept (pause, stop).
void EndPendingLine(bool clear);
// Sends the console output on; standard output that cannot be written (a
// closed pipe, a full disk) ends the run with a write error.
void FlushConsole();

// Record transfer. ReadRecord returns false at end of file.
bool ReadRecord(int unit, const char* kind, std::string& line);
void WriteRecord(int unit, const std::string& rec);

// ---------------------------------------------------------------------------
// Parsed format specification, flattened into a list of operations.
struct Op {
    enum Kind { Lit, Skip, Slash, I, F, G, A, GroupBegin, GroupEnd, End } kind;
    int n = 0;   // skip count, repeat count
    int w = 0;   // field width (A: 0 = the item's length)
    int d = 0;   // fraction digits
    int jump = 0;  // GroupEnd: index of its GroupBegin
    std::string text;  // literal text
};

struct Format {
    std::string source;
    std::vector<Op> ops;
    int reversion = 0;   // where processing restarts when items remain
    bool hasData = false;
    bool revertHasData = false;  // the part processed again on reversion has data
    std::string error;   // non-empty: the format text is malformed
};

// Parses once and caches; the result lives for the whole run.
const Format& GetFormat(const char* fmt);

// Format control: walks the operations until the next data descriptor.
struct FormatMachine {
    static constexpr int MaxDepth = 16;
    const Format* f = nullptr;
    int pc = 0;
    int depth = 0;
    int begin[MaxDepth] = {};
    int left[MaxDepth] = {};

    void Start(const Format* fmt) {
        f = fmt;
        pc = 0;
        depth = 0;
    }
};

// Runs format control until the next data descriptor and returns it. With
// wantItem false (the list is exhausted) it stops at the next data
// descriptor or the closing parenthesis and returns nullptr. The actions
// object receives Literal(text), Skip(n), Slash() and Fail(err).
template <class Actions>
const Op* Advance(FormatMachine& m, bool wantItem, Actions& act) {
    const std::vector<Op>& ops = m.f->ops;
    for (;;) {
        const Op& op = ops[m.pc];
        switch (op.kind) {
            case Op::Lit:
                act.Literal(op.text);
                ++m.pc;
                break;
            case Op::Skip:
                act.Skip(op.n);
                ++m.pc;
                break;
            case Op::Slash:
                act.Slash();
                ++m.pc;
                break;
            case Op::GroupBegin:
                m.begin[m.depth] = m.pc;
                m.left[m.depth] = op.n;
                ++m.depth;
                ++m.pc;
                break;
            case Op::GroupEnd:
                if (--m.left[m.depth - 1] > 0) {
                    m.pc = m.begin[m.depth - 1] + 1;
                } else {
                    --m.depth;
                    ++m.pc;
                }
                break;
            case Op::End:
                if (!wantItem) return nullptr;
                if (!m.f->hasData || !m.f->revertHasData) act.Fail(Err::NoDataDescriptor);
                // Items remain: the record ends and the format text is
                // processed again from its last top-level group.
                act.Slash();
                m.pc = m.f->reversion;
                m.depth = 0;
                break;
            default:
                if (!wantItem) return nullptr;
                ++m.pc;
                return &op;
        }
    }
}

// ---------------------------------------------------------------------------
// Editing of single values into field texts.
std::string EditInteger(int64_t v, int w);
std::string EditFixed(float v, int w, int d);
std::string EditGeneral(float v, int w, int d);
std::string EditText(const char* text, int len, int w);
std::string FreeInteger(int64_t v);  // 11 columns
std::string FreeReal(float v);       // 15 columns

// Abandon any active statement of the formatter or the reader.
void ResetWriter();
void ResetReader();
// Closes every file unit, keeping the files. With report, a unit whose
// pending output cannot be completed ends the run once all are closed;
// otherwise such errors are ignored.
void CloseAllUnits(bool report = false);

}  // namespace rio
