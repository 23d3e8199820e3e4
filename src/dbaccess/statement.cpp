#include "dbaccess/statement.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

bool HoldsZero(const char* text, std::size_t size) {
    return size > 0 && std::memchr(text, '\0', size) != nullptr;
}

bool HoldsZero(const std::string& text) {
    return HoldsZero(text.data(), text.size());
}

bool IsWordChar(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return std::isalnum(byte) || c == '_' || byte >= 0x80;
}

}  // namespace

void MarkerPositions::push_back(std::size_t at) {
    if (size_ < kInPlace) {
        inPlace_[size_] = at;
    } else {
        more_.push_back(at);
    }
    ++size_;
}

void MarkerPositions::ShiftBy(std::size_t offset) {
    for (std::size_t i = 0; i < size_ && i < kInPlace; ++i) inPlace_[i] += offset;
    for (std::size_t& at : more_) at += offset;
}

bool MarkerPositions::operator==(const MarkerPositions& other) const {
    if (size_ != other.size_) return false;
    for (std::size_t i = 0; i < size_; ++i) {
        if ((*this)[i] != other[i]) return false;
    }
    return true;
}

Statement::Statement(const char* text) {
    if (text) AppendFixed(text, std::strlen(text));
}

Statement::Statement(std::string text)
    : text_(std::move(text)), sql_(text_), zeroByte_(HoldsZero(sql_)) {}

Statement Statement::Value(const char* text) {
    return Value(std::string(text ? text : ""));
}

Statement Statement::Value(const std::string& text) {
    return Value(std::string(text));
}

Statement Statement::Value(std::string&& text) {
    Statement value;
    value.text_.reserve(text.size() + 2);
    value.text_ += '\'';
    // Most values hold no quote: they go in as they are, without a copy.
    if (text.find('\'') == std::string::npos) {
        value.text_ += text;
    } else {
        value.text_ += SqlText(text);
    }
    value.text_ += '\'';
    value.sql_ = "?";
    value.zeroByte_ = HoldsZero(text);
    // Most statements compare two values: room for the second that joins.
    value.values_.reserve(2);
    value.markers_.push_back(0);
    value.values_.push_back(std::move(text));
    return value;
}

Statement Statement::Inline(const std::string& text) {
    return Statement("'" + SqlText(text) + "'");
}

Statement Statement::WholeTable(const std::string& table) {
    Statement whole(table);
    whole.kind_ = StatementKind::WholeTable;
    whole.tables_.push_back(table);
    return whole;
}

void Statement::AppendFixed(const char* text, std::size_t size) {
    text_.append(text, size);
    sql_.append(text, size);
    zeroByte_ = zeroByte_ || HoldsZero(text, size);
}

Statement& Statement::operator+=(const Statement& more) {
    const std::size_t offset = sql_.size();
    text_ += more.text_;
    sql_ += more.sql_;
    for (std::size_t i = 0; i < more.markers_.size(); ++i)
        markers_.push_back(offset + more.markers_[i]);
    values_.insert(values_.end(), more.values_.begin(), more.values_.end());
    for (const std::string& table : more.tables_) On(table);
    zeroByte_ = zeroByte_ || more.zeroByte_;
    return *this;
}

Statement& Statement::operator+=(Statement&& more) {
    // An empty statement becomes the one appended, when that changes
    // nothing but who holds the parts.
    if (text_.empty() && sql_.empty() && values_.empty() && tables_.empty() && arguments_.empty() &&
        kind_ == more.kind_ && more.arguments_.empty()) {
        *this = std::move(more);
        return *this;
    }
    const std::size_t offset = sql_.size();
    text_ += more.text_;
    sql_ += more.sql_;
    for (std::size_t i = 0; i < more.markers_.size(); ++i)
        markers_.push_back(offset + more.markers_[i]);
    for (std::string& value : more.values_) values_.push_back(std::move(value));
    for (const std::string& table : more.tables_) On(table);
    zeroByte_ = zeroByte_ || more.zeroByte_;
    return *this;
}

namespace {

// Fixed text goes before a value once per statement, and more text and values
// usually follow: room is made for them at once.
void InsertInFront(std::string& part, const char* text, std::size_t size) {
    constexpr std::size_t kRoomToFollow = 64;
    if (part.capacity() < part.size() + size) part.reserve(part.size() + size + kRoomToFollow);
    part.insert(0, text, size);
}

}  // namespace

Statement& Statement::Prepend(const char* text, std::size_t size) {
    InsertInFront(text_, text, size);
    InsertInFront(sql_, text, size);
    markers_.ShiftBy(size);
    zeroByte_ = zeroByte_ || HoldsZero(text, size);
    return *this;
}

Statement& Statement::operator+=(const char* more) {
    if (more) AppendFixed(more, std::strlen(more));
    return *this;
}

Statement& Statement::operator+=(const std::string& more) {
    AppendFixed(more.data(), more.size());
    return *this;
}

Statement& Statement::On(const std::string& table) {
    if (std::find(tables_.begin(), tables_.end(), table) == tables_.end()) {
        tables_.push_back(table);
    }
    return *this;
}

Statement Statement::Request(StatementKind kind, std::string text,
                             std::vector<std::string> arguments) {
    Statement request(std::move(text));
    request.kind_ = kind;
    request.arguments_ = std::move(arguments);
    for (const std::string& argument : request.arguments_) {
        request.zeroByte_ = request.zeroByte_ || HoldsZero(argument);
    }
    return request;
}

std::string Statement::NumberedSql() const {
    std::string numbered;
    numbered.reserve(sql_.size() + 2 * markers_.size());
    std::size_t copied = 0;
    for (std::size_t i = 0; i < markers_.size(); ++i) {
        numbered.append(sql_, copied, markers_[i] - copied);
        numbered += '$';
        numbered += std::to_string(i + 1);
        copied = markers_[i] + 1;
        // A number runs into a word that follows it: the literal it stands
        // for ended by itself.
        if (copied < sql_.size() && IsWordChar(sql_[copied])) numbered += ' ';
    }
    numbered.append(sql_, copied, std::string::npos);
    return numbered;
}

Statement operator+(Statement first, const Statement& second) {
    first += second;
    return first;
}

Statement operator+(Statement first, const char* second) {
    first += second;
    return first;
}

Statement operator+(Statement first, const std::string& second) {
    first += second;
    return first;
}

Statement operator+(const char* first, const Statement& second) {
    Statement joined(first);
    joined += second;
    return joined;
}

Statement operator+(const std::string& first, const Statement& second) {
    Statement joined(first);
    joined += second;
    return joined;
}

Statement operator+(Statement first, Statement&& second) {
    first += std::move(second);
    return first;
}

Statement operator+(const char* first, Statement&& second) {
    if (first) second.Prepend(first, std::strlen(first));
    return std::move(second);
}

Statement operator+(const std::string& first, Statement&& second) {
    second.Prepend(first.data(), first.size());
    return std::move(second);
}

Statement ValueList(const std::vector<std::string>& names) {
    const bool asValues = names.size() <= kMostListedValues;
    Statement list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) list += ",";
        list += asValues ? Statement::Value(names[i]) : Statement::Inline(names[i]);
    }
    return list;
}

}  // namespace strataloom::db
