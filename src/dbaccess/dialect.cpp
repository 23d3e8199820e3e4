#include "dbaccess/dialect.h"

#include <string>

namespace strataloom::db {

namespace {

// ASCII classes, without the locale: every statement passes through here.
char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsWordChar(char c) {
    const char lower = Lower(c);
    return (lower >= 'a' && lower <= 'z') || IsDigit(c) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}
bool IsBlank(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// Matches a whole word at pos, ignoring case; returns the position after it.
std::size_t MatchWord(const std::string& s, std::size_t pos, const char* word) {
    std::size_t i = pos;
    for (const char* w = word; *w; ++w, ++i) {
        if (i >= s.size() || Lower(s[i]) != *w) {
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

// Position after the quoted text that starts at pos (a doubled quote stays
// inside).
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

// Walks the statement once, outside quoted literals and identifiers, and
// rewrites the phrases of the dialect.
std::string Adapt(const std::string& sql) {
    std::string out;
    std::size_t copied = 0;  // sql[copied..] not yet in out
    auto replace = [&](std::size_t start, std::size_t end, const std::string& with) {
        out.append(sql, copied, start - copied);
        out += with;
        copied = end;
    };
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            i = SkipQuoted(sql, i);
            continue;
        }
        if (!IsWordChar(c)) {
            ++i;
            continue;
        }
        std::size_t wordEnd = i;
        while (wordEnd < sql.size() && IsWordChar(sql[wordEnd])) ++wordEnd;
        // Only "delete", "select" and "in" start a phrase the dialect rewrites.
        const std::size_t length = wordEnd - i;
        const char initial = Lower(c);
        std::size_t lastStart = 0;
        std::size_t end = std::string::npos;
        if (length == 6 && initial == 'd') {
            end = MatchPhrase(sql, i, "delete", "*", "from", lastStart);
        } else if (length == 6 && initial == 's') {
            end = MatchPhrase(sql, i, "select", "all", "distinct", lastStart);
        }
        if (end != std::string::npos) {
            replace(i, end, sql.substr(i, 6) + " " + sql.substr(lastStart, end - lastStart));
            i = end;
            continue;
        }
        if (length == 2 && initial == 'i' && Lower(sql[i + 1]) == 'n') {
            end = MatchEmptyInList(sql, i);
            if (end != std::string::npos) {
                replace(i, end, sql.substr(i, 2) + " (NULL)");
                i = end;
                continue;
            }
        }
        i = wordEnd;
    }
    if (copied == 0) return sql;
    out.append(sql, copied, std::string::npos);
    return out;
}

}  // namespace

std::string AdaptStatement(const std::string& sql) {
    return Adapt(sql);
}

}  // namespace strataloom::db
