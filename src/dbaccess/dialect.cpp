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
// inside); closed tells whether its closing quote was found.
std::size_t SkipQuoted(const std::string& s, std::size_t pos, bool* closed = nullptr) {
    const char quote = s[pos];
    std::size_t i = pos + 1;
    while (i < s.size()) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote) {
                i += 2;
                continue;
            }
            if (closed) *closed = true;
            return i + 1;
        }
        ++i;
    }
    if (closed) *closed = false;
    return i;
}

// Whether the statement's first word allows parameters: a select, delete or
// update. Definitions (a trigger's condition, a column default) take none.
bool TakesParameters(const std::string& s) {
    std::size_t i = SkipBlanks(s, 0);
    while (i < s.size() && s[i] == '(') i = SkipBlanks(s, i + 1);
    for (const char* word : {"select", "delete", "update"}) {
        if (MatchWord(s, i, word) != std::string::npos) return true;
    }
    return false;
}

// The text of a literal that starts at pos, its doubled quotes made single.
std::string LiteralValue(const std::string& s, std::size_t pos, std::size_t end) {
    std::string value;
    value.reserve(end - pos);
    for (std::size_t i = pos + 1; i + 1 < end; ++i) {
        value += s[i];
        if (s[i] == '\'' && i + 2 < end && s[i + 1] == '\'') ++i;
    }
    return value;
}

// The last token met, as far as the choice of parameters needs it.
enum class Token { None, Name, In, Operator, OpenList, ListMember, ListComma, Other };

// Walks the statement once: rewrites the dialect, and with markers turns the
// literals compared with a column into parameters. False when more than
// kMostParameters literals would become parameters.
bool Walk(const std::string& sql, Markers markers, StatementShape& shape) {
    shape.text.clear();
    shape.values.clear();
    std::string& out = shape.text;
    std::size_t copied = 0;  // sql[copied..] not yet in out
    auto replace = [&](std::size_t start, std::size_t end, const std::string& with) {
        out.append(sql, copied, start - copied);
        out += with;
        copied = end;
    };
    const bool parameters = markers != Markers::None && TakesParameters(sql);
    Token last = Token::None;
    Token beforeOperator = Token::None;
    bool inList = false;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '\'') {
            bool closed = false;
            const std::size_t end = SkipQuoted(sql, i, &closed);
            const bool compared = last == Token::Operator && beforeOperator == Token::Name;
            const bool member = inList && (last == Token::OpenList || last == Token::ListComma);
            if (parameters && closed && (compared || member)) {
                if (shape.values.size() == kMostParameters) return false;
                shape.values.push_back(LiteralValue(sql, i, end));
                std::string marker = markers == Markers::Question
                                         ? std::string("?")
                                         : "$" + std::to_string(shape.values.size());
                // A literal ends itself; a marker runs into a word that follows it.
                if (end < sql.size() && (IsWordChar(sql[end]) || sql[end] == '\'')) marker += ' ';
                replace(i, end, marker);
            }
            last = member ? Token::ListMember : Token::Other;
            i = end;
            continue;
        }
        if (c == '"') {
            i = SkipQuoted(sql, i);
            last = Token::Name;
            continue;
        }
        if (IsWordChar(c)) {
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
                last = Token::Other;
                continue;
            }
            const bool in = length == 2 && initial == 'i' && Lower(sql[i + 1]) == 'n';
            if (in) {
                end = MatchEmptyInList(sql, i);
                if (end != std::string::npos) {
                    replace(i, end, sql.substr(i, 2) + " (NULL)");
                    i = end;
                    last = Token::Other;
                    continue;
                }
            }
            last = in && last == Token::Name ? Token::In : IsDigit(c) ? Token::Other : Token::Name;
            inList = false;
            i = wordEnd;
            continue;
        }
        ++i;
        if (c == '.' && last == Token::Name) continue;  // a qualified name goes on
        if (c == '=' || c == '<' || c == '>' || c == '!') {
            if (last != Token::Operator) beforeOperator = last;
            last = Token::Operator;
            continue;
        }
        if (c == '(' && last == Token::In) {
            inList = true;
            last = Token::OpenList;
            continue;
        }
        if (c == ',' && inList && last == Token::ListMember) {
            last = Token::ListComma;
            continue;
        }
        inList = false;
        last = Token::Other;
    }
    if (copied == 0) {
        out = sql;
    } else {
        out.append(sql, copied, std::string::npos);
    }
    return true;
}

}  // namespace

std::string AdaptStatement(const std::string& sql) {
    StatementShape shape;
    Walk(sql, Markers::None, shape);
    return std::move(shape.text);
}

void ShapeStatement(const std::string& sql, Markers markers, StatementShape& shape) {
    if (!Walk(sql, markers, shape)) Walk(sql, Markers::None, shape);
}

}  // namespace strataloom::db
