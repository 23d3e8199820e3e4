#include "formats/csv.h"

#include <cctype>

#include "formats/text.h"

namespace strataloom::formats {

namespace {

char GuessDelimiter(std::string_view text) {
    const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
    std::size_t best = 0;
    char delimiter = ',';
    for (char candidate : {',', ';', '\t'}) {
        std::size_t count = 0;
        for (char c : first) count += c == candidate;
        if (count > best) {
            best = count;
            delimiter = candidate;
        }
    }
    return delimiter;
}

std::string NormalName(std::string_view name) {
    std::string normal;
    int depth = 0;
    for (char c : name) {
        if (c == '(' || c == '[') ++depth;
        if (depth == 0 && std::isalnum(static_cast<unsigned char>(c))) {
            normal += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if ((c == ')' || c == ']') && depth > 0) --depth;
    }
    return normal;
}

// Splits the text into records of fields; a quoted field may hold
// delimiters, line ends and doubled quotes.
class CsvReader {
  public:
    CsvReader(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}

    // The next record; false at the end. line is the line it starts on.
    bool Next(std::vector<std::string>& fields, int& line, Diagnostics& diagnostics) {
        fields.clear();
        if (pos_ >= text_.size()) return false;
        line = line_;
        std::string field;
        bool quoted = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (quoted) {
                if (c == '"' && pos_ < text_.size() && text_[pos_] == '"') {
                    field += '"';
                    ++pos_;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    if (c == '\n' || (c == '\r' && Peek() != '\n')) ++line_;
                    field += c;
                }
            } else if (c == '"' && Trim(field).empty()) {
                field.clear();
                quoted = true;
            } else if (c == delimiter_) {
                fields.push_back(std::string(Trim(field)));
                field.clear();
            } else if (c == '\n' || c == '\r') {
                if (c == '\r' && Peek() == '\n') ++pos_;
                ++line_;
                break;
            } else {
                field += c;
            }
        }
        if (quoted) {
            diagnostics.Fail(line, "a quoted field is not closed: expected '\"'");
            return false;
        }
        fields.push_back(std::string(Trim(field)));
        return true;
    }

  private:
    char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }

    std::string_view text_;
    char delimiter_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

bool IsBlankRecord(const std::vector<std::string>& fields) {
    for (const std::string& field : fields) {
        if (!field.empty()) return false;
    }
    return true;
}

}  // namespace

bool ParseCsv(std::string_view text, CsvTable& table, Diagnostics& diagnostics) {
    table = CsvTable();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::string recoded;
    if (!IsValidUtf8(text)) {
        diagnostics.Warn(0, "text is not UTF-8: read as Windows-1252");
        recoded = Cp1252ToUtf8(text);
        text = recoded;
    }
    CsvReader reader(text, GuessDelimiter(text));
    std::vector<std::string> fields;
    int line = 0;
    while (reader.Next(fields, line, diagnostics)) {
        if (IsBlankRecord(fields)) continue;
        if (table.header.empty()) {
            table.header = fields;
            continue;
        }
        table.rows.push_back(CsvRow{line, fields});
    }
    if (diagnostics.Failed()) return false;
    if (table.header.empty()) {
        diagnostics.Fail(0, "empty: expected a header row naming the columns");
        return false;
    }
    return true;
}

bool FindColumns(const CsvTable& table, const std::vector<CsvColumn>& wanted,
                 std::vector<int>& positions, Diagnostics& diagnostics) {
    positions.assign(wanted.size(), -1);
    std::vector<bool> used(table.header.size(), false);
    for (std::size_t w = 0; w < wanted.size(); ++w) {
        for (std::size_t h = 0; h < table.header.size(); ++h) {
            const std::string normal = NormalName(table.header[h]);
            bool match = false;
            for (const char* alias : wanted[w].aliases) match = match || normal == alias;
            if (!match) continue;
            if (positions[w] >= 0) {
                diagnostics.Fail(1, "two columns give the " + std::string(wanted[w].name) + ": '" +
                                        table.header[static_cast<std::size_t>(positions[w])] +
                                        "' and '" + table.header[h] + "'");
                return false;
            }
            positions[w] = static_cast<int>(h);
            used[h] = true;
        }
        if (positions[w] < 0 && wanted[w].required) {
            std::string names;
            for (const char* alias : wanted[w].aliases)
                names += (names.empty() ? "" : ", ") + std::string(alias);
            diagnostics.Fail(1, "no " + std::string(wanted[w].name) +
                                    " column: expected a header named one of " + names);
            return false;
        }
    }
    for (std::size_t h = 0; h < table.header.size(); ++h) {
        if (!used[h] && !table.header[h].empty()) {
            diagnostics.Warn(1, "column '" + table.header[h] + "' is not used");
        }
    }
    return true;
}

}  // namespace strataloom::formats
