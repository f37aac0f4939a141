// The record formatter: output statements, formatted and free-format.
#include <algorithm>
#include <string>

#include "recordio/internal.h"

namespace rio {
namespace {

enum class Kind { Integer, Real, Text };

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
    void Literal(const std::string& t) {
        if (W.pos > W.rec.size()) W.rec.append(W.pos - W.rec.size(), ' ');
        W.rec.append(t);
        W.pos = W.rec.size();
    }
    void Skip(int n) { W.pos += static_cast<size_t>(n); }
    void Slash() {
        WriteRecord(W.unit, W.rec);
        W.rec.clear();
        W.pos = 0;
    }
    [[noreturn]] void Fail(Err e) { rio::Fail(e); }
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

void FormattedItem(Kind kind, int64_t iv, float rv, const char* text, int len) {
    Out out;
    const Op* op = Advance(W.m, true, out);
    std::string field;
    switch (op->kind) {
        case Op::I:
            if (kind != Kind::Integer) Fail(Err::ItemMismatch);
            field = EditInteger(iv, op->w);
            break;
        case Op::F:
            if (kind != Kind::Real) Fail(Err::ItemMismatch);
            field = EditFixed(rv, op->w, op->d);
            break;
        case Op::G:
            if (kind != Kind::Real) Fail(Err::ItemMismatch);
            field = EditGeneral(rv, op->w, op->d);
            break;
        case Op::A:
            if (kind != Kind::Text) Fail(Err::ItemMismatch);
            field = EditText(text, len, op->w);
            break;
        default:
            Fail(Err::ItemMismatch);
    }
    out.Literal(field);
}

void Item(Kind kind, int64_t iv, float rv, const char* text, int len) {
    if (!W.active) return;
    if (!W.free) return FormattedItem(kind, iv, rv, text, len);
    switch (kind) {
        case Kind::Integer: FreeNumber(FreeInteger(iv)); break;
        case Kind::Real: FreeNumber(FreeReal(rv)); break;
        case Kind::Text: FreeText(text, len); break;
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
        if (!f.error.empty()) Fail(Err::FormatSyntax);
        W.m.Start(&f);
    }
    W.active = true;
}

void WriteInteger(int32_t v) { Item(Kind::Integer, v, 0.0f, nullptr, 0); }
void WriteShortInteger(int16_t v) { Item(Kind::Integer, v, 0.0f, nullptr, 0); }
void WriteReal(float v) { Item(Kind::Real, 0, v, nullptr, 0); }
void WriteText(const char* text, int len) { Item(Kind::Text, 0, 0.0f, text, len); }
void WriteLiteral(const char* text, int len) { Item(Kind::Text, 0, 0.0f, text, len < 0 ? 0 : len); }

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
