// The record formatter: output statements, formatted and free-format.
#include <algorithm>
#include <string>
#include <vector>

#include "recordio/internal.h"

namespace rio {
namespace {

struct WriteStatement {
    bool active = false;
    int unit = CONSOLE;
    bool free = true;
    FormatMachine m;
    std::string rec;   // record under construction
    size_t pos = 0;    // formatted: next column (0-based)
    // free format
    bool first = true;       // no numeric item placed yet in this statement
    bool afterText = false;  // the previous item was a text
    int used = 0;            // columns used after the leading blank
};

WriteStatement W;

constexpr int kFreeColumns = 79;

[[noreturn]] void Fail(Err e) {
    W.active = false;
    Raise(e, "WRITE", ReportName(W.unit));
}

// Format-control actions of an output statement.
struct Out {
    void Literal(const std::vector<char>& t) { Place(t.data(), t.size()); }
    void Field(const std::string& t) { Place(t.data(), t.size()); }
    // Characters placed at the current column; skipped columns become blanks.
    void Place(const char* t, size_t n) {
        if (W.pos > W.rec.size()) W.rec.append(W.pos - W.rec.size(), ' ');
        if (n > 0) W.rec.append(t, n);
        W.pos = W.rec.size();
    }
    void Skip(int n) { W.pos += static_cast<size_t>(n); }
    void Slash() {
        WriteRecord(W.unit, W.rec);
        W.rec.clear();
        W.pos = 0;
    }
};

void FreeNewRecord() {
    WriteRecord(W.unit, W.rec);
    W.rec.assign(1, ' ');
    W.used = 0;
}

void FreeNumber(const std::string& field) {
    std::string t = field;
    if (!W.first && !W.afterText) t.insert(t.begin(), ' ');
    if (static_cast<int>(t.size()) >= kFreeColumns - W.used && W.used > 0) FreeNewRecord();
    W.rec += t;
    W.used += static_cast<int>(t.size());
    W.first = false;
    W.afterText = false;
}

void FreeText(const char* text, int len) {
    len = std::max(len, 0);
    int done = 0;
    while (len - done > kFreeColumns - W.used) {
        const int part = kFreeColumns - W.used;
        W.rec.append(text + done, text + done + part);
        done += part;
        FreeNewRecord();
    }
    W.rec.append(text + done, text + len);
    W.used += len - done;
    W.afterText = true;
}

void FormattedItem(ItemKind kind, int64_t iv, float rv, const char* text, int len) {
    Out out;
    const Op* op = Advance(W.m, true, out);
    if (op->kind == Op::End) Fail(Err::NoDataDescriptor);
    if (!Suits(op->kind, kind)) Fail(Err::ItemMismatch);
    std::string field;
    switch (op->kind) {
        case Op::I: field = EditInteger(iv, op->w); break;
        case Op::F: field = EditFixed(rv, op->w, op->d); break;
        case Op::G: field = EditGeneral(rv, op->w, op->d); break;
        default: field = EditText(text, len, op->w); break;
    }
    out.Field(field);
}

void Item(ItemKind kind, int64_t iv, float rv, const char* text, int len) {
    if (!W.active) return;
    if (!W.free) return FormattedItem(kind, iv, rv, text, len);
    switch (kind) {
        case ItemKind::Integer: FreeNumber(FreeInteger(iv)); break;
        case ItemKind::Real: FreeNumber(FreeReal(rv)); break;
        case ItemKind::Text: FreeText(text, len); break;
    }
}

}  // namespace

void ResetWriter() { W = WriteStatement(); }

}  // namespace rio

using namespace rio;

void BeginWrite(int unit, const char* fmt) {
    W = WriteStatement();
    W.unit = unit;
    if (unit < 0) Fail(Err::BadUnit);
    if (unit != CONSOLE) {
        const Unit* u = FindUnit(unit);
        if (!u) Fail(Err::NotConnected);
        if (u->readOnly) Fail(Err::ReadOnly);
    }
    W.free = fmt == FREE;
    if (W.free) {
        W.rec.assign(1, ' ');
    } else {
        const Format& f = GetFormat(fmt);
        if (f.error) Fail(Err::FormatSyntax);
        W.m.Start(&f);
    }
    W.active = true;
}

void WriteInteger(int32_t v) { Item(ItemKind::Integer, v, 0.0f, nullptr, 0); }
void WriteShortInteger(int16_t v) { Item(ItemKind::Integer, v, 0.0f, nullptr, 0); }
void WriteReal(float v) { Item(ItemKind::Real, 0, v, nullptr, 0); }
void WriteText(const char* text, int len) { Item(ItemKind::Text, 0, 0.0f, text, len); }
void WriteLiteral(const char* text, int len) { Item(ItemKind::Text, 0, 0.0f, text, len < 0 ? 0 : len); }

void EndWrite() {
    if (!W.active) return;
    if (!W.free) {
        Out out;
        Advance(W.m, false, out);
    }
    W.active = false;
    WriteRecord(W.unit, W.rec);
    W.rec.clear();
}
