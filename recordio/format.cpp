// The parsed forms of the format texts met while the program runs, each
// parsed once (format_rules.h holds the parser).
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "recordio/internal.h"

namespace rio {
namespace {

struct Parsed {
    std::string source;
    Format format;
};

struct Cache {
    // Parsed forms by text; they live for the whole run.
    std::unordered_map<std::string, std::unique_ptr<Parsed>> byText;
    // Fast path by the address of the text, checked against the stored text
    // in case a buffer is reused for another format text.
    std::unordered_map<const char*, const Parsed*> byAddress;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

}  // namespace

const Format& GetFormat(const char* fmt) {
    Cache& c = TheCache();
    auto a = c.byAddress.find(fmt);
    if (a != c.byAddress.end() && std::strcmp(a->second->source.c_str(), fmt) == 0) return a->second->format;
    std::string text(fmt);
    auto t = c.byText.find(text);
    if (t == c.byText.end()) {
        auto p = std::make_unique<Parsed>();
        p->source = text;
        p->format = ParseFormat(text);
        t = c.byText.emplace(std::move(text), std::move(p)).first;
    }
    c.byAddress[fmt] = t->second.get();
    return t->second->format;
}

}  // namespace rio
