#include "dbaccess/dialect.h"

#include <cctype>

namespace strataloom::db {

namespace {

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool IsBlank(char c) {
    return std::isspace(static_cast<unsigned char>(c)) != 0;
}

// Matches a whole word at pos, ignoring case; returns the position after it.
std::size_t MatchWord(const std::string& s, std::size_t pos, const char* word) {
    std::size_t i = pos;
    for (const char* w = word; *w; ++w, ++i) {
        if (i >= s.size() || std::tolower(static_cast<unsigned char>(s[i])) != *w) {
            return std::string::npos;
        }
    }
    if (i < s.size() && IsWordChar(s[i])) return std::string::npos;
    return i;
}

std::size_t SkipBlanks(const std::string& s, std::size_t pos) {
    while (pos < s.size() && IsBlank(s[pos])) ++pos;
    return pos;
}

// "first" blanks "middle" blanks "last": returns the end, or npos.
std::size_t MatchPhrase(const std::string& s, std::size_t pos, const char* first,
                        const char* middle, const char* last, std::size_t& lastStart) {
    std::size_t i = MatchWord(s, pos, first);
    if (i == std::string::npos || i >= s.size() || !IsBlank(s[i])) return std::string::npos;
    i = SkipBlanks(s, i);
    if (middle[0] == '*') {
        if (i >= s.size() || s[i] != '*') return std::string::npos;
        ++i;
    } else {
        i = MatchWord(s, i, middle);
        if (i == std::string::npos) return i;
    }
    if (i >= s.size() || !IsBlank(s[i])) return std::string::npos;
    lastStart = SkipBlanks(s, i);
    return MatchWord(s, lastStart, last);
}

// "in" blanks? "(" blanks? ")": returns the end, or npos.
std::size_t MatchEmptyInList(const std::string& s, std::size_t pos) {
    std::size_t i = MatchWord(s, pos, "in");
    if (i == std::string::npos) return i;
    i = SkipBlanks(s, i);
    if (i >= s.size() || s[i] != '(') return std::string::npos;
    i = SkipBlanks(s, i + 1);
    if (i >= s.size() || s[i] != ')') return std::string::npos;
    return i + 1;
}

// Position after the quoted text that starts at pos (a doubled quote stays inside).
std::size_t SkipQuoted(const std::string& s, std::size_t pos) {
    const char quote = s[pos];
    std::size_t i = pos + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

}  // namespace

std::string AdaptStatement(const std::string& sql) {
    std::string out;
    std::size_t copied = 0;  // sql[copied..] not yet in out
    std::size_t i = 0;
    auto replace = [&](std::size_t start, std::size_t end, const std::string& with) {
        out.append(sql, copied, start - copied);
        out += with;
        copied = end;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            i = SkipQuoted(sql, i);
            continue;
        }
        const bool wordStart = IsWordChar(c) && (i == 0 || !IsWordChar(sql[i - 1]));
        if (!wordStart) {
            ++i;
            continue;
        }
        std::size_t lastStart = 0;
        std::size_t end = MatchPhrase(sql, i, "delete", "*", "from", lastStart);
        if (end != std::string::npos) {
            replace(i, end, sql.substr(i, 6) + " " + sql.substr(lastStart, end - lastStart));
            i = end;
            continue;
        }
        end = MatchPhrase(sql, i, "select", "all", "distinct", lastStart);
        if (end != std::string::npos) {
            replace(i, end, sql.substr(i, 6) + " " + sql.substr(lastStart, end - lastStart));
            i = end;
            continue;
        }
        end = MatchEmptyInList(sql, i);
        if (end != std::string::npos) {
            replace(i, end, sql.substr(i, 2) + " (NULL)");
            i = end;
            continue;
        }
        while (i < sql.size() && IsWordChar(sql[i])) ++i;
    }
    if (copied == 0) return sql;
    out.append(sql, copied, std::string::npos);
    return out;
}

}  // namespace strataloom::db
