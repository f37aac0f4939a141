// The widths of the numbers of a message, filled into its format text.
#include "model/message.h"

#include <cmath>
#include <cstdlib>

namespace {

// Integer digits of |v| under F editing with d decimals: the formatter keeps
// at most 7 significant digits and rounds half up, so a carry can add a
// digit (9.96 with one decimal prints 10.0).
int FixedIntegerDigits(float v, int d) {
    const double a = std::fabs(static_cast<double>(v));
    if (!(a > 0.0) || !std::isfinite(a)) return 0;
    int n = 0;  // a = 0.d1d2... x 10^n
    while (a >= std::pow(10.0, n)) ++n;
    while (a < std::pow(10.0, n - 1)) --n;
    const int kept = n + d < 7 ? n + d : 7;
    if (kept <= 0) return 0;
    // Exact for a single-precision value and a small power of ten.
    const bool carry = std::floor(a * std::pow(10.0, kept - n) + 0.5) >= std::pow(10.0, kept);
    if (carry) return n + 1;
    return n > 0 ? n : 0;
}

}  // namespace

int NumberColumns(int64_t n) {
    int w = n < 0 ? 2 : 1;
    for (int64_t a = n < 0 ? -n : n; a >= 10; a /= 10) ++w;
    return w;
}

FittedText::FittedText(const char* fitted) : in_(fitted) { CopyToField(); }

void FittedText::CopyToField() {
    char quote = '\0';
    for (; *in_ != '\0'; ++in_) {
        const char c = *in_;
        if (quote != '\0') {
            if (c == quote) quote = '\0';
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (message_detail::IsDataLetter(c)) {
            return;
        }
        out_ += c;
    }
}

void FittedText::Add(int32_t v) {
    out_ += *in_++;
    if (*in_ == '*') {
        ++in_;
        out_ += std::to_string(NumberColumns(v));
    }
    ++added_;
    CopyToField();
}

void FittedText::Add(float v) {
    const char descriptor = *in_++;
    if (*in_ != '*') {
        out_ += descriptor;
        ++added_;
        CopyToField();
        return;
    }
    ++in_;  // the width; ".d" follows
    const int d = std::atoi(in_ + 1);
    const float a = std::fabs(v);
    if ((a > 0.0f && a < 0.5f * std::pow(10.0f, -static_cast<float>(d))) || !(a < 1.0e7f)) {
        // Too small or too large for its decimals: exponent form, six
        // significant digits (".123457E-05").
        out_ += 'G';
        out_ += std::to_string((v < 0.0f ? 1 : 0) + 11);
        out_ += ".6";
        while (*in_ != '\0' && *in_ != ',' && *in_ != ')') ++in_;
        ++added_;
        CopyToField();
        return;
    }
    // An exact tie at d decimals goes to the even digit, as in a sentence's
    // number; the formatter itself rounds ties up.
    float written = v;
    const double scaled = std::fabs(static_cast<double>(v)) * std::pow(10.0, d);
    if (scaled - std::floor(scaled) == 0.5 && std::fmod(std::floor(scaled), 2.0) == 0.0)
        written = std::nextafter(v, 0.0f);
    const int digits = FixedIntegerDigits(written, d);
    if (digits == 0 && std::isfinite(v)) {
        // The 0 before the point, and the sign before it, as literals.
        out_ += std::signbit(v) ? "'-0'," : "'0',";
        written = std::fabs(written);
        out_ += descriptor;
        out_ += std::to_string(1 + d);
    } else {
        out_ += descriptor;
        out_ += std::to_string((v < 0.0f ? 1 : 0) + (std::isfinite(v) ? digits : 1) + 1 + d);
    }
    if (written != v || std::signbit(written) != std::signbit(v)) written_.emplace_back(added_, written);
    ++added_;
    CopyToField();
}

void FittedText::Add(std::string_view) {
    out_ += *in_++;
    ++added_;
    CopyToField();
}

float FittedText::Value(std::size_t k, float v) const {
    for (const auto& [item, written] : written_)
        if (item == k) return written;
    return v;
}
