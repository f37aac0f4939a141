// The record reader: free-format input of numbers, formatted text input,
// status mode.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "recordio/internal.h"

namespace rio {
namespace {

struct ReadStatement {
    bool active = false;
    int unit = CONSOLE;
    bool free = true;
    bool statusMode = false;
    FormatMachine m;
    std::string rec;
    size_t pos = 0;
    bool haveRecord = false;  // rec is the current record
    bool anyRecord = false;   // at least one record read by this statement
    // free format
    bool afterValue = false;  // a value ended and its comma is not yet seen
    bool ended = false;       // a slash ended the statement
    int repeatLeft = 0;
    bool repeatNull = false;
    bool repeatQuoted = false;
    std::string repeatValue;
    int lastStatus = 0;  // status mode: the status of an abandoned statement
};

ReadStatement R;

// Ends the item call that met an error or the end of file.
struct Failure {
    Err err;
};

void NextRecord() {
    if (!ReadRecord(R.unit, "READ", R.rec)) throw Failure{Err::EndOfFile};
    R.pos = 0;
    R.haveRecord = true;
    R.anyRecord = true;
}

template <class F>
int Guard(F body) {
    if (!R.active) return R.lastStatus;
    try {
        body();
        return 0;
    } catch (const Failure& f) {
        R.active = false;
        if (R.unit == CONSOLE) linePending = false;
        if (R.statusMode) return R.lastStatus = f.err == Err::EndOfFile ? -1 : ErrNumber(f.err);
        Raise(f.err, "READ", ReportName(R.unit));
    }
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsQuote(char c) { return c == '\'' || c == '"'; }

enum class Tok { Value, Null, Slash };

// Reads a quoted text starting at the current position (the quote).
std::string QuotedText() {
    const char q = R.rec[R.pos++];
    std::string t;
    while (R.pos < R.rec.size()) {
        const char c = R.rec[R.pos++];
        if (c == q) {
            if (R.pos < R.rec.size() && R.rec[R.pos] == q) {
                t += q;
                ++R.pos;
                continue;
            }
            break;
        }
        t += c;
    }
    return t;
}

// The next free-format value. quoted tells that it was given in quotes.
Tok NextToken(std::string& tok, bool& quoted) {
    quoted = false;
    if (R.repeatLeft > 0) {
        --R.repeatLeft;
        if (R.repeatNull) return Tok::Null;
        tok = R.repeatValue;
        quoted = R.repeatQuoted;
        return Tok::Value;
    }
    for (;;) {
        if (!R.haveRecord) NextRecord();
        while (R.pos < R.rec.size() && IsBlank(R.rec[R.pos])) ++R.pos;
        if (R.pos >= R.rec.size()) {  // the end of a record is a blank
            R.haveRecord = false;
            continue;
        }
        const char c = R.rec[R.pos];
        if (c == ',') {
            ++R.pos;
            if (R.afterValue) {
                R.afterValue = false;
                continue;
            }
            return Tok::Null;
        }
        if (c == '/') {
            ++R.pos;
            R.ended = true;
            return Tok::Slash;
        }
        R.afterValue = true;
        if (IsQuote(c)) {
            tok = QuotedText();
            quoted = true;
            return Tok::Value;
        }
        const size_t start = R.pos;
        while (R.pos < R.rec.size() && !IsBlank(R.rec[R.pos]) && R.rec[R.pos] != ',' && R.rec[R.pos] != '/')
            ++R.pos;
        tok = R.rec.substr(start, R.pos - start);
        // r*v and r*
        const size_t star = tok.find('*');
        if (star != std::string::npos && star > 0 &&
            std::all_of(tok.begin(), tok.begin() + star, [](char ch) { return std::isdigit(static_cast<unsigned char>(ch)); })) {
            long r = 0;
            for (size_t k = 0; k < star; ++k) {
                r = r * 10 + (tok[k] - '0');
                if (r > 1000000000L) throw Failure{Err::IntegerRange};
            }
            if (r < 1) throw Failure{Err::InvalidInteger};
            std::string rest = tok.substr(star + 1);
            R.repeatLeft = static_cast<int>(r) - 1;
            if (rest.empty()) {
                R.repeatNull = true;
                return Tok::Null;
            }
            R.repeatNull = false;
            quoted = IsQuote(rest[0]);
            if (quoted) {  // r*'text': the text between the quotes
                rest.erase(0, 1);
                if (!rest.empty() && IsQuote(rest.back())) rest.pop_back();
            }
            R.repeatValue = tok = rest;
            R.repeatQuoted = quoted;
            return Tok::Value;
        }
        return Tok::Value;
    }
}

bool ParseInteger(const std::string& t, int32_t& v, Err& e) {
    size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    if (i >= t.size()) {
        e = Err::InvalidInteger;
        return false;
    }
    int64_t a = 0;
    for (; i < t.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(t[i]))) {
            e = Err::InvalidInteger;
            return false;
        }
        a = a * 10 + (t[i] - '0');
        if (a > 2147483648LL) {
            e = Err::IntegerRange;
            return false;
        }
    }
    if (neg) a = -a;
    if (a > 2147483647LL) {
        e = Err::IntegerRange;
        return false;
    }
    v = static_cast<int32_t>(a);
    return true;
}

bool EqualNoCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

bool ParseReal(const std::string& t, float& v, Err& e) {
    e = Err::InvalidReal;
    size_t i = 0;
    bool neg = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) neg = t[i++] == '-';
    const std::string body = t.substr(i);
    if (EqualNoCase(body, "nan")) {
        v = std::nanf("");
        return true;
    }
    if (EqualNoCase(body, "inf") || EqualNoCase(body, "infinity")) {
        v = neg ? -INFINITY : INFINITY;
        return true;
    }
    std::string norm = neg ? "-" : "";
    int digits = 0;
    for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i, ++digits) norm += t[i];
    if (i < t.size() && t[i] == '.') {
        norm += t[i++];
        for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i, ++digits) norm += t[i];
    }
    if (digits == 0) return false;
    if (i < t.size()) {
        const char x = t[i];
        if (x != 'e' && x != 'E' && x != 'd' && x != 'D') return false;
        norm += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) norm += t[i++];
        int expDigits = 0;
        for (; i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])); ++i, ++expDigits) norm += t[i];
        if (expDigits == 0 || i != t.size()) return false;
    }
    errno = 0;
    const float f = std::strtof(norm.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(f)) {
        e = Err::RealRange;
        return false;
    }
    v = f;
    return true;
}

// Stores a field of text into a target of length len.
void StoreText(char* text, int len, const std::string& field) {
    const int w = static_cast<int>(field.size());
    if (w >= len) {
        std::memcpy(text, field.data() + (w - len), static_cast<size_t>(len));
    } else {
        std::memcpy(text, field.data(), static_cast<size_t>(w));
        std::fill(text + w, text + len, ' ');
    }
}

// Format-control actions of a formatted input statement.
struct In {
    void Ensure() {
        if (!R.haveRecord) NextRecord();
    }
    void Literal(const std::vector<char>& t) {
        Ensure();
        R.pos += t.size();
    }
    void Skip(int n) {
        Ensure();
        R.pos += static_cast<size_t>(n);
    }
    void Slash() {
        Ensure();
        R.haveRecord = false;
    }
};

// The next w characters of the record, blank-padded.
std::string Field(int w) {
    std::string f(static_cast<size_t>(w), ' ');
    for (int k = 0; k < w && R.pos + k < R.rec.size(); ++k) f[k] = R.rec[R.pos + k];
    R.pos += static_cast<size_t>(w);
    return f;
}

// Formatted numeric field: blanks are ignored, an all-blank field is zero,
// and a real without a point takes d implied fraction digits.
std::string NumericField(const Op& op) {
    std::string f = Field(op.w), t;
    for (char c : f)
        if (!IsBlank(c)) t += c;
    return t.empty() ? "0" : t;
}

const Op* FormattedTarget() {
    In in;
    const Op* op = Advance(R.m, true, in);
    if (op->kind == Op::End) throw Failure{Err::NoDataDescriptor};
    in.Ensure();
    return op;
}

}  // namespace

void ResetReader() { R = ReadStatement(); }

}  // namespace rio

using namespace rio;

void BeginRead(int unit, const char* fmt, bool statusMode) {
    R = ReadStatement();
    R.unit = unit;
    R.statusMode = statusMode;
    R.free = fmt == FREE;
    R.active = true;
    const int st = Guard([&] {
        if (unit < 0) throw Failure{Err::BadUnit};
        if (unit != CONSOLE && !FindUnit(unit)) throw Failure{Err::NotConnected};
        if (!R.free) {
            const Format& f = GetFormat(fmt);
            if (f.error) throw Failure{Err::FormatSyntax};
            R.m.Start(&f);
        }
    });
    if (st != 0) return;  // status mode: the next item call reports nothing more
    if (unit == CONSOLE) {
        EndPendingLine(true);
        FlushConsole();
    }
}

namespace {

// The next free-format value (false when the statement has run out of them)
// or the field of the next data descriptor, which must suit the item kind.
bool NextNumericText(ItemKind kind, std::string& t, const Op*& op) {
    op = nullptr;
    if (R.free) {
        if (R.ended) return false;
        bool quoted = false;
        if (NextToken(t, quoted) != Tok::Value) return false;
        if (quoted) throw Failure{kind == ItemKind::Integer ? Err::InvalidInteger : Err::InvalidReal};
        return true;
    }
    op = FormattedTarget();
    if (!Suits(op->kind, kind)) throw Failure{Err::ItemMismatch};
    t = NumericField(*op);
    return true;
}

}  // namespace

int ReadInteger(int32_t& v) {
    return Guard([&] {
        std::string t;
        const Op* op = nullptr;
        if (!NextNumericText(ItemKind::Integer, t, op)) return;
        Err e = Err::InvalidInteger;
        int32_t x = 0;
        if (!ParseInteger(t, x, e)) throw Failure{e};
        v = x;
    });
}

int ReadReal(float& v) {
    return Guard([&] {
        std::string t;
        const Op* op = nullptr;
        if (!NextNumericText(ItemKind::Real, t, op)) return;
        Err e = Err::InvalidReal;
        float x = 0.0f;
        if (!ParseReal(t, x, e)) throw Failure{e};
        // A formatted field without a point or exponent has d implied decimals.
        if (op && t.find_first_of(".eEdD") == std::string::npos && op->d > 0 && std::isfinite(x))
            x = static_cast<float>(x / std::pow(10.0, op->d));
        v = x;
    });
}

int ReadText(char* text, int len) {
    return Guard([&] {
        if (len <= 0) return;
        if (R.free) {
            if (R.ended) return;
            std::string tok;
            bool quoted = false;
            if (NextToken(tok, quoted) != Tok::Value) return;
            std::string f = tok.substr(0, static_cast<size_t>(len));
            f.resize(static_cast<size_t>(len), ' ');
            std::memcpy(text, f.data(), static_cast<size_t>(len));
            return;
        }
        const Op* op = FormattedTarget();
        if (!Suits(op->kind, ItemKind::Text)) throw Failure{Err::ItemMismatch};
        StoreText(text, len, Field(op->w > 0 ? op->w : len));
    });
}

int EndRead() {
    if (!R.active) return R.lastStatus;
    const int st = Guard([&] {
        if (!R.free) {
            In in;
            Advance(R.m, false, in);
        }
        // Every statement reads at least one record; a formatted statement
        // whose last action was "/" also consumes the record it moved to.
        if (!R.anyRecord || (!R.free && !R.haveRecord)) NextRecord();
    });
    if (R.unit == CONSOLE) linePending = false;
    R.active = false;
    return st;
}
