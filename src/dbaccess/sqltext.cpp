#include "dbaccess/sqltext.h"

#include <cstring>

namespace strataloom {

namespace {

std::string Doubled(const char* text, std::size_t size, char quote) {
    std::string out;
    out.reserve(size + 2);
    for (std::size_t i = 0; i < size; ++i) {
        out += text[i];
        if (text[i] == quote) out += quote;
    }
    return out;
}

}  // namespace

std::string SqlText(const char* text) {
    if (!text) return std::string();
    return Doubled(text, std::strlen(text), '\'');
}

std::string SqlText(const std::string& text) {
    return Doubled(text.data(), text.size(), '\'');
}

namespace db {
std::string QuoteIdentifier(const std::string& name) {
    return '"' + Doubled(name.data(), name.size(), '"') + '"';
}
}  // namespace db

}  // namespace strataloom
