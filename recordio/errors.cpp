// The run-time error table and the run-time error report.
#include <string>

#include "recordio/internal.h"

namespace rio {
namespace {

struct ErrorRow {
    Err code;
    int number;
    const char* text;
};

// The one table of run-time errors.
constexpr ErrorRow kErrors[] = {
    {Err::InvalidInteger, 6101, "invalid integer"},
    {Err::IntegerRange, 6102, "integer out of range"},
    {Err::InvalidReal, 6103, "invalid real"},
    {Err::RealRange, 6104, "real out of range"},
    {Err::FormatSyntax, 6201, "invalid format specification"},
    {Err::ItemMismatch, 6202, "item does not suit its edit descriptor"},
    {Err::NoDataDescriptor, 6203, "no edit descriptor for the item"},
    {Err::FileNotFound, 6416, "file not found"},
    {Err::FileExists, 6417, "file already exists"},
    {Err::FileConnected, 6418, "file already connected to another unit"},
    {Err::OpenFailed, 6419, "cannot open file"},
    {Err::BadStatus, 6420, "invalid open status"},
    {Err::NotAFile, 6421, "not a regular file"},
    {Err::EndOfFile, 6501, "end of file"},
    {Err::ReadFailed, 6502, "read error"},
    {Err::WriteFailed, 6601, "write error"},
    {Err::ReadOnly, 6602, "file is read-only"},
    {Err::NotConnected, 6603, "unit not connected"},
    {Err::BadUnit, 6604, "invalid unit number"},
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
    std::string t = "\r\nrun-time error F";
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

void Raise(Err e, const char* kind, const std::string& unitName) {
    const ErrorRow& r = Row(e);
    std::string where = kind;
    where += '(';
    where += unitName;
    where += ')';
    throw RunTimeError(Report(r, where), r.number);
}

std::string ReportName(int unit) {
    if (unit == CONSOLE) return "CON";
    if (const Unit* u = FindUnit(unit)) return u->name;
    return std::to_string(unit);
}

}  // namespace rio
