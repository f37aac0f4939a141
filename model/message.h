#pragma once
// Messages whose numbers stand in a sentence, such as the refusal " Shaft
// element No.7 has a length that is not positive": each number takes just
// the columns its text needs, as if it had been typed into the sentence.
//
// The format text of such a message is an ordinary one (recordio.h) in which
// the width of an integer field is written * ("I*") and that of a real field
// too ("F*.1"); the width is chosen from the value when the message is
// written. A real below 1 in magnitude keeps its 0 before the point ("0.5",
// "-0.5"), a tie goes to the even digit ("1000.25" gives "1000.2"), and a
// real too small for its decimals (below 0.05 with one decimal, zero
// excepted) or of 1.0E7 and more is written in exponent form with six
// significant digits (".100000E-05"). The text is checked with the types of its items when the
// program is compiled, like every format text, with the rule that its data
// descriptors take the items one each, in order (no repeat counts or groups
// around them).
//
// A check builds a Message and whoever reports it writes it; an empty
// Message means that nothing is wrong.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "recordio/recordio.h"

namespace message_detail {

// The format text with every width * read as 9, as the compiler checks it.
struct CheckedText {
    char text[512] = {};
    bool fits = false;
};
constexpr CheckedText AsChecked(const char* fitted) {
    CheckedText c;
    int n = 0;
    for (; fitted[n] != '\0'; ++n) {
        if (n + 1 >= static_cast<int>(sizeof c.text)) return c;
        c.text[n] = fitted[n] == '*' ? '9' : fitted[n];
    }
    c.fits = true;
    return c;
}

constexpr bool IsDataLetter(char c) {
    return c == 'I' || c == 'F' || c == 'G' || c == 'A' || c == 'i' || c == 'f' || c == 'g' || c == 'a';
}

// The data descriptors (I, F, G, A) of a format text, literals skipped.
constexpr int DataDescriptors(const char* t) {
    int count = 0;
    char quote = '\0';
    for (int i = 0; t[i] != '\0'; ++i) {
        const char c = t[i];
        if (quote != '\0') {
            if (c == quote) quote = '\0';
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (IsDataLetter(c)) {
            ++count;
        } else if (c == '(' && i > 0) {
            return -1;  // a group
        }
    }
    return count;
}

// Never defined: a failed check calls it, and the compiler names it.
void DataDescriptorsMustTakeOneItemEachInOrder();

}  // namespace message_detail

// The format text of a message with items of the types Items.
template <class... Items>
class FittedFormat {
public:
    consteval FittedFormat(const char* text) : text_(text) {
        const message_detail::CheckedText c = message_detail::AsChecked(text);
        if (!c.fits) recordio_detail::FormatTextIsMalformed();
        if (message_detail::DataDescriptors(text) != static_cast<int>(sizeof...(Items)))
            message_detail::DataDescriptorsMustTakeOneItemEachInOrder();
        constexpr rio::ItemKind kinds[sizeof...(Items) + 1] = {recordio_detail::KindOf<Items>()...};
        switch (rio::CheckStatement(c.text, kinds, sizeof...(Items))) {
            case rio::StatementFault::None: break;
            case rio::StatementFault::MalformedText: recordio_detail::FormatTextIsMalformed(); break;
            case rio::StatementFault::ItemDoesNotSuit: recordio_detail::ItemDoesNotSuitItsEditDescriptor(); break;
            case rio::StatementFault::NoDescriptorForItem: recordio_detail::NoEditDescriptorForTheItem(); break;
        }
    }
    const char* text() const { return text_; }

private:
    const char* text_;
};

template <class... Items>
using FittedFormatFor = FittedFormat<std::type_identity_t<Items>...>;

// Columns of the decimal digits of n, with its minus sign.
int NumberColumns(int64_t n);

// The widths of a fitted format text filled in for the items of one
// statement, item by item in order (message.cpp).
class FittedText {
public:
    explicit FittedText(const char* fitted);
    void Add(int32_t v);
    void Add(float v);
    void Add(std::string_view v);
    // The format text once every item has been added.
    const std::string& text() const { return out_; }
    // The value written for item k: a real whose sign and 0 went into the
    // text is written by its magnitude, a tie by the value next to it
    // towards zero.
    float Value(std::size_t k, float v) const;
    template <class T>
    const T& Value(std::size_t, const T& v) const { return v; }

private:
    // Copies the template up to the next data descriptor.
    void CopyToField();
    const char* in_;
    std::string out_;
    std::vector<std::pair<std::size_t, float>> written_;  // items written by another value
    std::size_t added_ = 0;
};

class Message {
public:
    Message() = default;
    template <class... Items>
    Message(FittedFormatFor<Items...> fmt, Items... items)
        : write_([text = fmt.text(), values = std::make_tuple(items...)](int unit) {
              std::apply([&](const auto&... v) { WriteAll(unit, text, std::index_sequence_for<Items...>{}, v...); },
                         values);
          }) {}

    explicit operator bool() const { return static_cast<bool>(write_); }
    void Write(int unit) const { write_(unit); }

private:
    template <std::size_t... K, class... Items>
    static void WriteAll(int unit, const char* text, std::index_sequence<K...>, const Items&... items) {
        FittedText f(text);
        (f.Add(items), ...);
        ::Write(unit, RuntimeFormat(f.text().c_str()), f.Value(K, items)...);
    }

    std::function<void(int)> write_;
};
