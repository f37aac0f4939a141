#pragma once
// Format texts in edit-descriptor notation: the parser that turns a text into
// a list of operations, and the format control that walks the list item by
// item. The same code runs in the record formatter and reader while the
// program runs, and in the compiler, where every literal format text of an
// output or input statement is parsed and matched with the types of its
// items (recordio.h). Hence everything here is constexpr, and texts are
// held as character vectors: not every compiler that builds the program can
// evaluate std::string at compile time.
#include <string_view>
#include <vector>

namespace rio {

// One operation of a parsed format text. A repeated data descriptor (nI3)
// and a group n( ... ) both become GroupBegin ... GroupEnd.
struct Op {
    enum Kind { Lit, Skip, Slash, I, F, G, A, GroupBegin, GroupEnd, End } kind = End;
    int n = 0;         // Skip: column count; GroupBegin: repeat count
    int w = 0;         // field width (A: 0 = the item's length)
    int d = 0;         // F, G: fraction or significant digits
    std::vector<char> text;  // Lit: the characters to write
};

constexpr bool IsDataDescriptor(Op::Kind k) { return k == Op::I || k == Op::F || k == Op::G || k == Op::A; }

struct Format {
    std::vector<Op> ops;          // ends with one End
    int reversion = 0;            // where processing restarts when items remain
    bool hasData = false;         // some data descriptor
    bool revertHasData = false;   // the part processed again on reversion has a data descriptor
    const char* error = nullptr;  // why the text is malformed; nullptr when it is sound
};

namespace format_detail {

constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }
constexpr char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

class Parser {
public:
    // keepText false: literals are checked but their characters not kept.
    constexpr Parser(Format& f, std::string_view s, bool keepText) : f_(f), s_(s), keepText_(keepText) {}

    constexpr void Run() {
        SkipBlanks();
        if (Peek() != '(') return Fail("specification must start with '('");
        ++i_;
        if (!List(0)) return;
        f_.ops.push_back(Op{});  // End
        f_.reversion = lastTopGroup_ < 0 ? 0 : lastTopGroup_;
        for (size_t k = 0; k < f_.ops.size(); ++k) {
            if (!IsDataDescriptor(f_.ops[k].kind)) continue;
            f_.hasData = true;
            if (static_cast<int>(k) >= f_.reversion) f_.revertHasData = true;
        }
    }

private:
    Format& f_;
    std::string_view s_;
    bool keepText_;
    size_t i_ = 0;
    int lastTopGroup_ = -1;  // index of the GroupBegin of the last top-level group

    static constexpr int MaxDepth = 15;  // group nesting (format control holds 16 levels)

    constexpr char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    constexpr void SkipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
    }
    constexpr void Fail(const char* why) {
        if (!f_.error) f_.error = why;
    }
    constexpr bool Number(int& v) {
        SkipBlanks();
        if (!IsDigit(Peek())) return false;
        v = 0;
        while (IsDigit(Peek())) {
            v = v * 10 + (Peek() - '0');
            if (v > 9999) {
                Fail("number too large");
                return false;
            }
            ++i_;
        }
        return true;
    }
    constexpr void Push(Op::Kind k, int n = 0) {
        Op op;
        op.kind = k;
        op.n = n;
        f_.ops.push_back(op);
    }

    // Items up to and including the closing parenthesis.
    constexpr bool List(int depth) {
        if (depth >= MaxDepth) {
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

    // 'text' or "text"; a doubled quote stands for one.
    constexpr bool Literal(char quote) {
        ++i_;
        Op op;
        op.kind = Op::Lit;
        for (;;) {
            if (i_ >= s_.size()) {
                Fail("unterminated literal");
                return false;
            }
            const char c = s_[i_++];
            if (c == quote) {
                if (Peek() != quote) break;
                ++i_;
            }
            if (keepText_) op.text.push_back(c);
        }
        f_.ops.push_back(op);
        return true;
    }

    constexpr bool Group(int depth, int repeat) {
        ++i_;  // '('
        const int begin = static_cast<int>(f_.ops.size());
        Push(Op::GroupBegin, repeat);
        if (!List(depth + 1)) return false;
        Push(Op::GroupEnd);
        if (depth == 0) lastTopGroup_ = begin;
        return true;
    }

    // Iw, Fw.d, Gw.d, A or Aw after its repeat count.
    constexpr bool DataDescriptor(char d, int repeat) {
        Op op;
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
        const bool hasWidth = Number(op.w);
        if (op.kind != Op::A && (!hasWidth || op.w < 1)) {
            Fail("field width missing");
            return false;
        }
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
        if (repeat != 1) Push(Op::GroupBegin, repeat);
        f_.ops.push_back(op);
        if (repeat != 1) Push(Op::GroupEnd);
        return true;
    }

    constexpr bool Item(int depth) {
        const char c = Peek();
        if (c == '\'' || c == '"') return Literal(c);
        if (c == '/') {
            ++i_;
            Push(Op::Slash);
            return true;
        }
        int repeat = 1;
        if (Number(repeat) && repeat < 1) {
            Fail("repeat count must be positive");
            return false;
        }
        SkipBlanks();
        const char d = Upper(Peek());
        if (d == '(') return Group(depth, repeat);
        if (d == 'X') {
            ++i_;
            Push(Op::Skip, repeat);
            return true;
        }
        if (d == '/') {
            ++i_;
            for (int k = 0; k < repeat; ++k) Push(Op::Slash);
            return true;
        }
        return DataDescriptor(d, repeat);
    }
};

}  // namespace format_detail

// Parses a format text; a malformed one comes back with `error` set. Without
// keepText the literals are left empty, which is all a check of a statement
// needs.
constexpr Format ParseFormat(std::string_view text, bool keepText = true) {
    Format f;
    // In the compiler, growing the list step by step is what costs most.
    if (!keepText) f.ops.reserve(text.size() + 1);
    format_detail::Parser(f, text, keepText).Run();
    return f;
}

// Format control: the position in the operation list and the open groups.
struct FormatMachine {
    static constexpr int MaxDepth = 16;
    const Format* f = nullptr;
    int pc = 0;
    int depth = 0;
    int begin[MaxDepth] = {};  // index of the GroupBegin of each open group
    int left[MaxDepth] = {};   // repetitions still to make of each open group

    constexpr void Start(const Format* fmt) {
        f = fmt;
        pc = 0;
        depth = 0;
    }
};

// Runs format control up to the next data descriptor and returns it; the
// literals, blank skips and record ends passed on the way go to the actions
// object (Literal(text), Skip(n), Slash()).
// With wantItem false (the item list is exhausted) it stops at the next data
// descriptor or at the closing parenthesis and returns nullptr.
// When an item remains at the closing parenthesis, the record ends and
// processing restarts at the last top-level group (or at the beginning); if
// that part has no data descriptor, the End operation is returned instead
// (no edit descriptor for the item).
template <class Actions>
constexpr const Op* Advance(FormatMachine& m, bool wantItem, Actions& act) {
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
                if (!m.f->revertHasData) return &op;
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

// The kinds of items, and which data descriptor takes which: I integers,
// F and G reals, A texts.
enum class ItemKind { Integer, Real, Text };

constexpr bool Suits(Op::Kind descriptor, ItemKind item) {
    switch (descriptor) {
        case Op::I: return item == ItemKind::Integer;
        case Op::F:
        case Op::G: return item == ItemKind::Real;
        case Op::A: return item == ItemKind::Text;
        default: return false;
    }
}

// What can be wrong with a statement's format text and items.
enum class StatementFault { None, MalformedText, ItemDoesNotSuit, NoDescriptorForItem };

// Checks a statement that passes items of the given kinds, in order, to a
// format text. A statement without format text (free format) takes items of
// every kind.
constexpr StatementFault CheckStatement(const char* text, const ItemKind* kinds, int count) {
    if (text == nullptr) return StatementFault::None;
    const Format f = ParseFormat(text, false);
    if (f.error) return StatementFault::MalformedText;
    struct NoActions {
        constexpr void Literal(const std::vector<char>&) {}
        constexpr void Skip(int) {}
        constexpr void Slash() {}
    } none;
    FormatMachine m;
    m.Start(&f);
    for (int k = 0; k < count; ++k) {
        const Op* op = Advance(m, true, none);
        if (op->kind == Op::End) return StatementFault::NoDescriptorForItem;
        if (!Suits(op->kind, kinds[k])) return StatementFault::ItemDoesNotSuit;
    }
    return StatementFault::None;
}

}  // namespace rio
