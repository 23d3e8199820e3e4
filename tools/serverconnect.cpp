#include "serverconnect.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <utility>
#include <vector>

namespace tool {

namespace {

bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

bool IsKeywordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::size_t SkipBlanks(const std::string& text, std::size_t pos) {
    while (pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos;
}

// The end of the value starting at pos: a quoted value ends after its closing
// quote, a bare one at the first blank; a backslash escapes the next character.
// npos when a quoted value is not closed.
std::size_t ValueEnd(const std::string& text, std::size_t pos) {
    const bool quoted = pos < text.size() && text[pos] == '\'';
    for (std::size_t i = quoted ? pos + 1 : pos; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (quoted && text[i] == '\'') {
            return i + 1;
        } else if (!quoted && IsBlank(text[i])) {
            return i;
        }
    }
    return quoted ? std::string::npos : text.size();
}

// The spans [begin, end) of every dbname value of a key=value string; false
// when the text is not such a string.
bool DatabaseValueSpans(const std::string& text,
                        std::vector<std::pair<std::size_t, std::size_t>>& spans) {
    std::size_t pos = SkipBlanks(text, 0);
    while (pos < text.size()) {
        const std::size_t keyStart = pos;
        while (pos < text.size() && IsKeywordChar(text[pos])) ++pos;
        const std::string key = text.substr(keyStart, pos - keyStart);
        pos = SkipBlanks(text, pos);
        if (key.empty() || pos >= text.size() || text[pos] != '=') return false;
        pos = SkipBlanks(text, pos + 1);
        const std::size_t end = ValueEnd(text, pos);
        if (end == std::string::npos) return false;
        if (key == "dbname") spans.emplace_back(pos, end);
        pos = SkipBlanks(text, end);
    }
    return true;
}

std::string UriDatabaseConnect(const std::string& server, std::size_t authority,
                               const std::string& name) {
    const std::size_t path = server.find('/', authority);
    const std::size_t query = server.find('?', authority);
    const std::string head = server.substr(0, std::min(path, query));
    const std::string tail = query == std::string::npos ? "" : server.substr(query);
    return head + "/" + name + tail;
}

}  // namespace

std::string ServerDatabaseConnect(const std::string& server, const std::string& name) {
    for (std::string_view scheme : {"postgresql://", "postgres://"}) {
        if (server.compare(0, scheme.size(), scheme) == 0) {
            return UriDatabaseConnect(server, scheme.size(), name);
        }
    }
    std::vector<std::pair<std::size_t, std::size_t>> spans;
    if (!DatabaseValueSpans(server, spans) || spans.empty()) {
        std::string connect = server;
        while (!connect.empty() && IsBlank(connect.back())) connect.pop_back();
        return connect + (connect.empty() ? "" : " ") + "dbname=" + name;
    }
    std::string connect = server;
    for (auto span = spans.rbegin(); span != spans.rend(); ++span) {
        connect.replace(span->first, span->second - span->first, name);
    }
    return connect;
}

}  // namespace tool
