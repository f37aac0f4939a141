#pragma once
// Internal state shared by the parts of the record I/O layer: the unit table,
// the console, the error table and the parsed format texts.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "recordio/format_rules.h"
#include "recordio/recordio.h"

namespace rio {

// ---------------------------------------------------------------------------
// Errors. Every run-time error of the layer is one row of the table in
// errors.cpp (number, text).
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
    Count
};

int ErrNumber(Err e);
// Builds the report for a statement kind ("READ", "WRITE", ...) on a unit
// name and throws it.
[[noreturn]] void Raise(Err e, const char* kind, const std::string& unitName);
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
// Parsed format texts (format_rules.h), each parsed once and kept for the
// whole run.
const Format& GetFormat(const char* fmt);

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
// Every unit closed, the console state and the command-line names forgotten.
void ResetUnits();

}  // namespace rio
