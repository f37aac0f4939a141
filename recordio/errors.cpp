// The run-time error table and the run-time error report.
#include <string>

#include "recordio/internal.h"

namespace rio {
namespace {

struct ErrorRow {
    Err code;
    char letter;  // 'F' for statement errors, 'M' for numeric services
    int number;
    const char* text;
};

// The one table of run-time errors.
constexpr ErrorRow kErrors[] = {
    {Err::InvalidInteger, 'F', 6101, "invalid integer"},
    {Err::IntegerRange, 'F', 6102, "integer out of range"},
    {Err::InvalidReal, 'F', 6103, "invalid real"},
    {Err::RealRange, 'F', 6104, "real out of range"},
    {Err::FormatSyntax, 'F', 6201, "invalid format specification"},
    {Err::ItemMismatch, 'F', 6202, "item does not suit its edit descriptor"},
    {Err::NoDataDescriptor, 'F', 6203, "no edit descriptor for the item"},
    {Err::FileNotFound, 'F', 6416, "file not found"},
    {Err::FileExists, 'F', 6417, "file already exists"},
    {Err::FileConnected, 'F', 6418, "file already connected to another unit"},
    {Err::OpenFailed, 'F', 6419, "cannot open file"},
    {Err::BadStatus, 'F', 6420, "invalid open status"},
    {Err::NotAFile, 'F', 6421, "not a regular file"},
    {Err::EndOfFile, 'F', 6501, "end of file"},
    {Err::ReadFailed, 'F', 6502, "read error"},
    {Err::WriteFailed, 'F', 6601, "write error"},
    {Err::ReadOnly, 'F', 6602, "file is read-only"},
    {Err::NotConnected, 'F', 6603, "unit not connected"},
    {Err::BadUnit, 'F', 6604, "invalid unit number"},
    {Err::ZeroNegativePower, 'M', 6201, "zero raised to a negative power"},
};
static_assert(sizeof(kErrors) / sizeof(kErrors[0]) == static_cast<int>(Err::Count));

constexpr bool RowsInOrder() {
    for (int i = 0; i < static_cast<int>(Err::Count); ++i)
        if (static_cast<int>(kErrors[i].code) != i) return false;
    return true;
}
static_assert(RowsInOrder(), "error rows must follow the order of Err");

constexpr const ErrorRow& Row(Err e) { return kErrors[static_cast<int>(e)]; }
static_assert(Row(Err::FileNotFound).number == OPEN_FILE_NOT_FOUND);
static_assert(Row(Err::FileExists).number == OPEN_FILE_EXISTS);
static_assert(Row(Err::FileConnected).number == OPEN_FILE_CONNECTED);

std::string Report(const ErrorRow& r, const std::string& where) {
    std::string t = "\r\nrun-time error ";
    t += r.letter;
    t += std::to_string(r.number);
    t += ": ";
    t += where;
    t += "\r\n- ";
    t += r.text;
    t += "\r\n";
    return t;
}

}  // namespace

int ErrNumber(Err e) { return Row(e).number; }
const char* ErrText(Err e) { return Row(e).text; }

void Raise(Err e, const char* kind, const std::string& unitName) {
    const ErrorRow& r = Row(e);
    std::string where = kind;
    where += '(';
    where += unitName;
    where += ')';
    throw RunTimeError(Report(r, where), r.number);
}

void RaiseMath(Err e) {
    const ErrorRow& r = Row(e);
    throw RunTimeError(Report(r, "MATH"), r.number);
}

std::string ReportName(int unit) {
    if (unit == CONSOLE) return "CON";
    if (const Unit* u = FindUnit(unit)) return u->name;
    return std::to_string(unit);
}

}  // namespace rio
