#pragma once
// Record I/O layer: every console line, report line and file record is written
// by the record formatter from a format text in edit-descriptor notation, and
// every number or text is read by the record reader.
//
// Low-level statements:   BeginWrite(unit, fmt); WriteReal(x); ...; EndWrite();
// Typed helper on top:    Write(unit, "(2X,'NSTA = ',I2)", nsta);
// Free format:            Write(CONSOLE, FREE, " done ...");
// Reading:                Read(CONSOLE, FREE, nsta);  Read(CONSOLE, "(A14)", name);
#include <cstdint>
#include <iosfwd>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "recordio/format_rules.h"
#include "recordio/text.h"

// The console unit: standard input and standard output.
constexpr int CONSOLE = 0;
// Format argument for free-format statements.
constexpr const char* FREE = nullptr;

// ---------------------------------------------------------------------------
// Run endings. Both are thrown and caught once, in main.

// A run-time error: the report is written to standard error, exit status 1.
struct RunTimeError : std::runtime_error {
    int number;  // the error number of the report
    explicit RunTimeError(const std::string& report, int num)
        : std::runtime_error(report), number(num) {}
};
// The stop of the main menu's exit: exit status 0.
struct ProgramStop {
    int status = 0;
};

// ---------------------------------------------------------------------------
// Output statements.
void BeginWrite(int unit, const char* fmt);  // fmt == FREE: free format
void WriteInteger(int32_t v);
void WriteShortInteger(int16_t v);
void WriteReal(float v);
void WriteText(const char* text, int len);     // text variable
void WriteLiteral(const char* text, int len);  // text constant; len < 0 writes nothing
void EndWrite();

// ---------------------------------------------------------------------------
// Input statements. In status mode every call returns the status (0 success,
// > 0 input error number, -1 end of file) and the caller abandons the statement
// at the first non-zero status; outside status mode an error ends the run.
void BeginRead(int unit, const char* fmt, bool statusMode = false);
int ReadInteger(int32_t& v);
int ReadReal(float& v);
int ReadText(char* text, int len);
int EndRead();

// ---------------------------------------------------------------------------
// Typed helpers: one call per statement, items dispatched on their type.
//
// The format text of a helper is checked when the program is compiled: a
// literal (or FREE) is parsed by the rules of format_rules.h and matched
// with the types of the items, taking format reversion into account; a
// malformed text or an item that does not suit its edit descriptor stops the
// compilation. A text chosen among literals while the program runs (an
// English or a metric variant) is held in a FormatText<Items...> variable or
// parameter, so each literal is checked where it is assigned. Only a text
// that is not known to the compiler (tests, fuzzing) goes as
// RuntimeFormat(text), checked when its statement runs. The low-level
// statements above take their format text unchecked; the program passes
// them FREE only.
struct RuntimeFormat {
    const char* text;
    explicit RuntimeFormat(const char* t) : text(t) {}
};

namespace recordio_detail {
template <class T>
struct IsText : std::false_type {};
template <int N>
struct IsText<Text<N>> : std::true_type {};

// The kind of an item or target (the descriptor it needs).
template <class T>
constexpr rio::ItemKind KindOf() {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, int16_t> || std::is_same_v<U, int32_t>) return rio::ItemKind::Integer;
    else if constexpr (std::is_same_v<U, float>) return rio::ItemKind::Real;
    else return rio::ItemKind::Text;
}

// Never defined: a failed check calls one of them, and the compiler names it
// in its error.
void FormatTextIsMalformed();
void ItemDoesNotSuitItsEditDescriptor();
void NoEditDescriptorForTheItem();
}  // namespace recordio_detail

// A format text for a statement with items of the types Items.
template <class... Items>
class FormatText {
public:
    consteval FormatText(const char* text) : text_(text) {
        constexpr rio::ItemKind kinds[sizeof...(Items) + 1] = {recordio_detail::KindOf<Items>()...};
        switch (rio::CheckStatement(text, kinds, sizeof...(Items))) {
            case rio::StatementFault::None: break;
            case rio::StatementFault::MalformedText: recordio_detail::FormatTextIsMalformed(); break;
            case rio::StatementFault::ItemDoesNotSuit: recordio_detail::ItemDoesNotSuitItsEditDescriptor(); break;
            case rio::StatementFault::NoDescriptorForItem: recordio_detail::NoEditDescriptorForTheItem(); break;
        }
    }
    FormatText(RuntimeFormat r) : text_(r.text) {}
    const char* text() const { return text_; }

private:
    const char* text_;
};

// The format text parameter of a statement; its types follow from the items.
template <class... Items>
using FormatFor = FormatText<std::type_identity_t<Items>...>;

namespace recordio_detail {
template <class T>
void WriteItem(const T& v) {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, int16_t>) {
        WriteShortInteger(v);
    } else if constexpr (std::is_same_v<U, int32_t>) {
        WriteInteger(v);
    } else if constexpr (std::is_same_v<U, float>) {
        WriteReal(v);
    } else if constexpr (IsText<U>::value) {
        WriteText(v.c, U::size());
    } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        std::string_view s(v);
        WriteLiteral(s.data(), static_cast<int>(s.size()));
    } else {
        static_assert(sizeof(T) == 0, "output items are int32_t, int16_t, float, Text<N> or text constants");
    }
}

template <class T>
int ReadItem(T& v) {
    using U = std::remove_cvref_t<T>;
    if constexpr (std::is_same_v<U, int32_t>) {
        return ReadInteger(v);
    } else if constexpr (std::is_same_v<U, float>) {
        return ReadReal(v);
    } else if constexpr (IsText<U>::value) {
        return ReadText(v.c, U::size());
    } else {
        static_assert(sizeof(T) == 0, "input targets are int32_t, float or Text<N>");
    }
}
}  // namespace recordio_detail

template <class... Items>
void Write(int unit, FormatFor<Items...> fmt, const Items&... items) {
    BeginWrite(unit, fmt.text());
    (recordio_detail::WriteItem(items), ...);
    EndWrite();
}

template <class... Targets>
void Read(int unit, FormatFor<Targets...> fmt, Targets&... targets) {
    BeginRead(unit, fmt.text(), false);
    (recordio_detail::ReadItem(targets), ...);
    EndRead();
}

// Status-mode read: returns 0, a positive error number, or -1 at end of file.
template <class... Targets>
int ReadWithStatus(int unit, FormatFor<Targets...> fmt, Targets&... targets) {
    BeginRead(unit, fmt.text(), true);
    int st = 0;
    ((st == 0 ? (st = recordio_detail::ReadItem(targets)) : 0), ...);
    if (st != 0) return st;
    return EndRead();
}

// ---------------------------------------------------------------------------
// Units and files.

// Connects unit to the file name (14 characters, trailing blanks removed)
// with status "OLD" or "NEW". With errReturn the result is 0 on success and
// non-zero on failure; without it a failure ends the run.
int OpenUnit(int unit, const Text14& name, const Text3& status, bool errReturn = true);
// Non-zero results of OpenUnit: the run-time error number of the failure.
constexpr int OPEN_FILE_NOT_FOUND = 6416;  // "OLD": the file does not exist
constexpr int OPEN_FILE_EXISTS = 6417;     // "NEW": the file already exists
constexpr int OPEN_FILE_CONNECTED = 6418;  // the file is connected to another unit
// Disconnects the unit; disposition "KEEP" (default) or "DELETE".
void CloseUnit(int unit, const char* disposition = nullptr);
// Disconnects the unit and undoes its open: a file that the open created is
// removed, a file that it was to replace is left as it was.
void DiscardUnit(int unit);
void RewindUnit(int unit);
bool UnitIsOpen(int unit);
// False for a unit connected for reading only (an "OLD" open of a file that
// cannot be written) and for a file unit that is not connected.
bool UnitIsWritable(int unit);

// Command-line arguments, used in order for file names left blank.
void SetCommandLine(int argc, char** argv);

// Ends a pending console line, writes the message, reads one line and hands a
// non-blank line to the command interpreter.
void PauseForCommand(const char* message);
// Ends the run with status 0: message, all units closed, ProgramStop thrown.
[[noreturn]] void StopRun(const char* message);
// End of the process after a run-time error or a stop: pending console line
// ended, every unit closed (files kept).
void ShutDownUnits();

// Local date and time.
void GetDate(int16_t& year, int16_t& month, int16_t& day);
void GetTimeOfDay(int16_t& hour, int16_t& minute, int16_t& second, int16_t& hundredths);

// ---------------------------------------------------------------------------
// Test hooks: replace the console streams (standard input and output by
// default; nullptr restores them), and return every unit, the console state
// and the command-line list to their state at program start (files are
// closed and kept; the streams set by SetConsoleStreams stay in place).
void SetConsoleStreams(std::istream* in, std::ostream* out);
void ResetRecordIo();
