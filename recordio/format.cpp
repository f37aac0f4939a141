// Parsing of format specifications into operation lists, with a cache so
// that each specification is parsed once.
#include <cctype>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "recordio/internal.h"

namespace rio {
namespace {

Op MakeOp(Op::Kind k) {
    Op op{};
    op.kind = k;
    return op;
}

class Parser {
public:
    explicit Parser(Format& f) : f_(f), s_(f.source) {}

    void Run() {
        SkipBlanks();
        if (Peek() != '(') return Fail("specification must start with '('");
        ++i_;
        if (!List(0)) return;
        f_.ops.push_back(MakeOp(Op::End));
        for (const Op& op : f_.ops)
            if (op.kind == Op::I || op.kind == Op::F || op.kind == Op::G || op.kind == Op::A)
                f_.hasData = true;
        f_.reversion = lastTopGroup_ < 0 ? 0 : lastTopGroup_;
        for (size_t k = f_.reversion; k < f_.ops.size(); ++k) {
            const Op::Kind kind = f_.ops[k].kind;
            if (kind == Op::I || kind == Op::F || kind == Op::G || kind == Op::A) f_.revertHasData = true;
        }
    }

private:
    Format& f_;
    const std::string& s_;
    size_t i_ = 0;
    int lastTopGroup_ = -1;

    char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void SkipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    void Fail(const char* why) {
        if (f_.error.empty()) f_.error = why;
    }
    bool Number(int& v) {
        SkipBlanks();
        if (!std::isdigit(static_cast<unsigned char>(Peek()))) return false;
        v = 0;
        while (std::isdigit(static_cast<unsigned char>(Peek()))) {
            v = v * 10 + (Peek() - '0');
            if (v > 9999) {
                Fail("number too large");
                return false;
            }
            ++i_;
        }
        return true;
    }

    // Parses items up to and including the closing parenthesis.
    bool List(int depth) {
        if (depth >= FormatMachine::MaxDepth - 1) {
            Fail("groups nested too deeply");
            return false;
        }
        for (;;) {
            SkipBlanks();
            const char c = Peek();
            if (c == '\0') {
                Fail("missing ')'");
                return false;
            }
            if (c == ',') {
                ++i_;
                continue;
            }
            if (c == ')') {
                ++i_;
                return true;
            }
            if (!Item(depth)) return false;
        }
    }

    bool Literal(char quote) {
        ++i_;
        std::string text;
        for (;;) {
            if (i_ >= s_.size()) {
                Fail("unterminated literal");
                return false;
            }
            const char c = s_[i_++];
            if (c == quote) {
                if (Peek() == quote) {
                    text += quote;
                    ++i_;
                    continue;
                }
                break;
            }
            text += c;
        }
        Op op = MakeOp(Op::Lit);
        op.text = std::move(text);
        f_.ops.push_back(std::move(op));
        return true;
    }

    bool Group(int depth, int repeat) {
        ++i_;  // '('
        const int begin = static_cast<int>(f_.ops.size());
        Op b = MakeOp(Op::GroupBegin);
        b.n = repeat;
        f_.ops.push_back(b);
        if (!List(depth + 1)) return false;
        Op e = MakeOp(Op::GroupEnd);
        e.jump = begin;
        f_.ops.push_back(e);
        if (depth == 0) lastTopGroup_ = begin;
        return true;
    }

    bool Item(int depth) {
        const char c = Peek();
        if (c == '\'' || c == '"') return Literal(c);
        if (c == '/') {
            ++i_;
            f_.ops.push_back(MakeOp(Op::Slash));
            return true;
        }
        int repeat = 1;
        bool counted = Number(repeat);
        if (counted && repeat < 1) {
            Fail("repeat count must be positive");
            return false;
        }
        SkipBlanks();
        const char d = static_cast<char>(std::toupper(static_cast<unsigned char>(Peek())));
        if (d == '(') return Group(depth, repeat);
        if (d == 'X') {
            ++i_;
            Op op = MakeOp(Op::Skip);
            op.n = repeat;
            f_.ops.push_back(op);
            return true;
        }
        if (d == '/') {
            ++i_;
            for (int k = 0; k < repeat; ++k) f_.ops.push_back(MakeOp(Op::Slash));
            return true;
        }
        Op op = MakeOp(Op::End);
        switch (d) {
            case 'I': op.kind = Op::I; break;
            case 'F': op.kind = Op::F; break;
            case 'G': op.kind = Op::G; break;
            case 'A': op.kind = Op::A; break;
            default:
                Fail("unknown edit descriptor");
                return false;
        }
        ++i_;
        int w = 0;
        const bool hasWidth = Number(w);
        if (op.kind != Op::A && (!hasWidth || w < 1)) {
            Fail("field width missing");
            return false;
        }
        op.w = w;
        SkipBlanks();
        if (op.kind == Op::F || op.kind == Op::G) {
            if (Peek() != '.') {
                Fail("'.d' missing");
                return false;
            }
            ++i_;
            if (!Number(op.d)) {
                Fail("'.d' missing");
                return false;
            }
        }
        if (repeat == 1) {
            f_.ops.push_back(op);
        } else {
            const int begin = static_cast<int>(f_.ops.size());
            Op b = MakeOp(Op::GroupBegin);
            b.n = repeat;
            f_.ops.push_back(b);
            f_.ops.push_back(op);
            Op e = MakeOp(Op::GroupEnd);
            e.jump = begin;
            f_.ops.push_back(e);
        }
        return true;
    }
};

struct Cache {
    // Parsed forms by text; they live for the whole run.
    std::unordered_map<std::string, std::unique_ptr<Format>> byText;
    // Fast path by the address of the text, checked against the stored text
    // in case a buffer is reused for another specification.
    std::unordered_map<const char*, const Format*> byAddress;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

const Format& GetFormat(const char* fmt) {
    Cache& c = TheCache();
    auto a = c.byAddress.find(fmt);
    if (a != c.byAddress.end() && std::strcmp(a->second->source.c_str(), fmt) == 0) return *a->second;
    std::string text(fmt);
    auto t = c.byText.find(text);
    if (t == c.byText.end()) {
        auto f = std::make_unique<Format>();
        f->source = text;
        Parser(*f).Run();
        t = c.byText.emplace(std::move(text), std::move(f)).first;
    }
    c.byAddress[fmt] = t->second.get();
    return *t->second;
}

}  // namespace rio
