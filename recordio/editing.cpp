// Editing of single values: the digit string of a real, and the I, F, G, A
// and free-format fields built from it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "recordio/internal.h"

namespace rio {
namespace {

// A real as 0.d1d2...d17 x 10^n (d1 != 0), from its exact double value.
struct Digits {
    bool neg = false;
    bool zero = false;
    char d[17] = {};
    int n = 0;
};

Digits Expand(float v) {
    Digits g;
    const double x = v;  // exact widening
    if (x == 0.0) {
        g.zero = true;
        std::fill(g.d, g.d + 17, '0');
        return g;
    }
    g.neg = std::signbit(x);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.16e", std::fabs(x));  // d.dddddddddddddddde+XX
    g.d[0] = buf[0];
    for (int i = 1; i < 17; ++i) g.d[i] = buf[i + 1];
    g.n = std::atoi(buf + 19) + 1;
    return g;
}

// The digit string rounded to s significant positions, of which at most 7
// come from the value; later positions read as "0".
struct Rounded {
    std::string digits;  // leading significant digits; empty when zero
    int n = 0;
    bool zero = false;

    char At(int pos) const {  // 1-based digit position, '0' outside the string
        return pos >= 1 && pos <= static_cast<int>(digits.size()) ? digits[pos - 1] : '0';
    }
};

Rounded Round(const Digits& g, int s) {
    Rounded r;
    r.n = g.n;
    if (g.zero || s < 0) {
        r.zero = true;
        r.n = 0;
        return r;
    }
    const int k = std::min(s, 7);
    if (k == 0) {
        if (g.d[0] >= '5') {
            r.digits.assign(1, '1');
            r.n = g.n + 1;
        } else {
            r.zero = true;
            r.n = 0;
        }
        return r;
    }
    r.digits.assign(g.d, g.d + k);
    if (g.d[k] >= '5') {
        int i = k - 1;
        while (i >= 0 && r.digits[i] == '9') r.digits[i--] = '0';
        if (i < 0) {
            r.digits.assign(1, '1');
            ++r.n;
        } else {
            ++r.digits[i];
        }
    }
    return r;
}

std::string Fit(const std::string& t, int w) {
    if (static_cast<int>(t.size()) > w) return std::string(std::max(w, 0), '*');
    return std::string(w - t.size(), ' ') + t;
}

std::string ExponentText(int e) {
    std::string t(1, e < 0 ? '-' : '+');
    const int a = std::abs(e);
    if (a < 10) t += '0';
    return t + std::to_string(a);
}

}  // namespace

std::string EditInteger(int64_t v, int w) { return Fit(std::to_string(v), w); }

std::string EditFixed(float v, int w, int d) {
    if (!std::isfinite(v)) return std::string(std::max(w, 0), '*');
    const Digits g = Expand(v);
    const Rounded r = Round(g, g.n + d);
    std::string t;
    if (!r.zero && g.neg) t += '-';
    const int n = r.zero ? 0 : r.n;
    for (int j = 1; j <= n; ++j) t += r.At(j);
    if (n <= 0 && d == 0) t += '0';
    t += '.';
    for (int j = 1; j <= d; ++j) t += r.At(n + j);
    return Fit(t, w);
}

std::string EditGeneral(float v, int w, int d) {
    if (!std::isfinite(v)) return std::string(std::max(w, 0), '*');
    const Digits g = Expand(v);
    const Rounded r = Round(g, d);
    std::string t;
    if (!r.zero && g.neg) t += '-';
    if (g.zero || (g.n >= 0 && g.n <= d)) {
        // Fixed form, chosen on the exponent before rounding.
        const int n = r.zero ? 0 : r.n;
        const int frac = std::max(d - n, 0);
        for (int j = 1; j <= n; ++j) t += r.At(j);
        t += '.';
        for (int j = 1; j <= frac; ++j) t += r.At(n + j);
        t += "    ";
    } else {
        t += '.';
        for (int j = 1; j <= d; ++j) t += r.At(j);
        t += 'E';
        t += ExponentText(r.n);
    }
    return Fit(t, w);
}

std::string EditText(const char* text, int len, int w) {
    len = std::max(len, 0);
    if (w <= 0) w = len;
    if (w > len) return std::string(w - len, ' ') + std::string(text, text + len);
    return std::string(text, text + w);
}

std::string FreeInteger(int64_t v) { return Fit(std::to_string(v), 11); }

std::string FreeReal(float v) {
    if (std::isnan(v)) return Fit("NaN", 15);
    if (std::isinf(v)) return Fit(v < 0 ? "-Inf" : "Inf", 15);
    const Digits g = Expand(v);
    std::string t;
    if (!g.zero && g.n >= 1 && g.n <= 7) {
        const Rounded r = Round(g, g.n + 6);
        if (g.neg) t += '-';
        for (int j = 1; j <= r.n; ++j) t += r.At(j);
        t += '.';
        for (int j = 1; j <= 6; ++j) t += r.At(r.n + j);
    } else {
        const Rounded r = Round(g, 7);
        if (!r.zero && g.neg) t += '-';
        t += r.At(1);
        t += '.';
        for (int j = 2; j <= 7; ++j) t += r.At(j);
        t += 'E';
        t += ExponentText(r.zero ? 0 : r.n - 1);
    }
    return Fit(t, 15);
}

}  // namespace rio
