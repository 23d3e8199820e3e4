// A statement as a value: what the data class built, not a text to be read
// back. It carries the text as the class wrote it (for the statement trace
// and failure reasons), the engine's text with a marker for each value, the
// values themselves, the tables it works on and what it asks for. The
// session and the engine drivers act on these parts; none of them parses the
// text to recover what the class already knew.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace strataloom::db {

// What a statement asks of the engine.
enum class StatementKind : unsigned char {
    Statement,     // any statement in the host's dialect
    WholeTable,    // a bare table name: the table opened for adding rows
    DatabaseList,  // whether a database of the given name exists on the server
    Restore,       // a new server database loaded from a backup script
};

// Where the markers stand in a statement's engine text, in order. Most
// statements carry one to three values: their positions are held in place,
// so that building a statement once per call allocates nothing for them.
class MarkerPositions {
  public:
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t operator[](std::size_t i) const {
        return i < kInPlace ? inPlace_[i] : more_[i - kInPlace];
    }
    void push_back(std::size_t at);
    // Moves every position by offset: text was put before them.
    void ShiftBy(std::size_t offset);
    bool operator==(const MarkerPositions& other) const;
    bool operator!=(const MarkerPositions& other) const { return !(*this == other); }

  private:
    static constexpr std::size_t kInPlace = 4;
    std::size_t inPlace_[kInPlace] = {};
    std::vector<std::size_t> more_;  // the positions beyond the first kInPlace
    std::size_t size_ = 0;
};

class Statement {
  public:
    Statement() = default;
    // Fixed text of the statement; it carries no value.
    Statement(const char* text);  // NOLINT: texts read as statements where a statement is due
    Statement(std::string text);  // NOLINT

    // A value compared with a column or listed: shown between single quotes
    // (inner quotes doubled) in the text, a marker in the engine's text.
    static Statement Value(const char* text);
    static Statement Value(const std::string& text);
    static Statement Value(std::string&& text);
    // A value that stays in the engine's text as a quoted literal, for the
    // few places where an engine takes no parameter (a long in-list).
    static Statement Inline(const std::string& text);
    // The table opened for adding rows, whole.
    static Statement WholeTable(const std::string& table);
    // A request the server answers by an operation of its own: text is what
    // the trace shows, arguments what the operation takes (DatabaseList:
    // the name; Restore: the name, then the backup script's path).
    static Statement Request(StatementKind kind, std::string text,
                             std::vector<std::string> arguments);

    Statement& operator+=(const Statement& more);
    Statement& operator+=(const char* more);
    Statement& operator+=(const std::string& more);
    // The same, taking over more's values instead of copying them.
    Statement& operator+=(Statement&& more);
    // Puts fixed text before the statement.
    Statement& Prepend(const char* text, std::size_t size);

    // Declares a table the statement reads or writes; the table of a whole
    // table is declared already.
    Statement& On(const std::string& table);

    // The statement as the data class wrote it, values in quotes.
    const std::string& Text() const { return text_; }
    // The engine's text: "?" wherever a value goes.
    const std::string& Sql() const { return sql_; }
    // Where the markers are in Sql(), one per value.
    const MarkerPositions& Markers() const { return markers_; }
    const std::vector<std::string>& Values() const { return values_; }
    const std::vector<std::string>& Tables() const { return tables_; }
    StatementKind Kind() const { return kind_; }
    const std::vector<std::string>& Arguments() const { return arguments_; }
    bool Empty() const { return text_.empty(); }
    // Whether any part holds a zero byte: no engine would run it as it stands.
    bool HoldsZeroByte() const { return zeroByte_; }

    // The engine's text with "$1", "$2"... for the markers.
    std::string NumberedSql() const;

  private:
    void AppendFixed(const char* text, std::size_t size);

    std::string text_;
    std::string sql_;
    MarkerPositions markers_;
    std::vector<std::string> values_;
    std::vector<std::string> tables_;
    std::vector<std::string> arguments_;
    StatementKind kind_ = StatementKind::Statement;
    // Whether a part holds a zero byte: each part is looked at once, as it
    // joins, rather than the whole statement at every check.
    bool zeroByte_ = false;
};

Statement operator+(Statement first, const Statement& second);
Statement operator+(Statement first, const char* second);
Statement operator+(Statement first, const std::string& second);
Statement operator+(const char* first, const Statement& second);
Statement operator+(const std::string& first, const Statement& second);
// Joins that take over a statement built for the purpose, its values
// moved rather than copied: most statements are built this way, once per
// call.
Statement operator+(Statement first, Statement&& second);
Statement operator+(const char* first, Statement&& second);
Statement operator+(const std::string& first, Statement&& second);

// The most values an in-list passes as parameters; a longer list goes in the
// text as quoted literals, so that each length does not become a statement
// of its own for the engine to prepare.
constexpr std::size_t kMostListedValues = 32;

// Names for an "in (" ... ")" clause: each between single quotes, joined by
// "," with no blank.
Statement ValueList(const std::vector<std::string>& names);

}  // namespace strataloom::db
