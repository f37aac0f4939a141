#pragma once
// Fixed-length, blank-padded text fields (titles, file names, answers).
#include <string>
#include <string_view>

// Comparison as if the shorter operand were extended with blanks.
bool TextEqual(const char* a, int alen, const char* b, int blen);

template <int N>
struct Text {
    char c[N];

    Text() { for (char& ch : c) ch = ' '; }
    Text(std::string_view s) { assign(s); }
    void assign(std::string_view s) {
        for (int i = 0; i < N; ++i) c[i] = i < static_cast<int>(s.size()) ? s[i] : ' ';
    }
    static constexpr int size() { return N; }
    bool blank() const {
        for (char ch : c)
            if (ch != ' ') return false;
        return true;
    }
    // The text without its trailing blanks.
    std::string trimmed() const {
        int n = N;
        while (n > 0 && c[n - 1] == ' ') --n;
        return std::string(c, c + n);
    }
    bool operator==(std::string_view s) const {
        return TextEqual(c, N, s.data(), static_cast<int>(s.size()));
    }
    template <int M>
    bool operator==(const Text<M>& o) const { return TextEqual(c, N, o.c, M); }
};

using Text1 = Text<1>;
using Text3 = Text<3>;
using Text14 = Text<14>;
using Text50 = Text<50>;
