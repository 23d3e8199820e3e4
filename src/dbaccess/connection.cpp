#include "dbaccess/connection.h"

#include <cstring>

namespace strataloom::db {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

namespace {

bool SameIgnoringCase(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
}

}  // namespace

bool SameColumnName(const std::string& a, const char* b) {
    const std::size_t n = std::strlen(b);
    return a.size() == n && SameIgnoringCase(a.data(), b, n);
}

int FindColumn(const std::vector<std::string>& columns, const char* name) {
    const std::size_t n = std::strlen(name);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].size() == n && SameIgnoringCase(columns[i].data(), name, n)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool Connection::BeginScope() {
    if (brokenDepth_ > 0) {
        ++brokenDepth_;
        return false;
    }
    if (depth_ == 0) {
        if (!Control(BeginStatement())) {
            ++brokenDepth_;
            return false;
        }
        lostRace_ = false;
        doomed_ = false;
    }
    ++depth_;
    return true;
}

bool Connection::EndScope(bool commit) {
    if (brokenDepth_ > 0) {
        --brokenDepth_;
        return false;
    }
    if (depth_ == 0) return false;
    --depth_;
    if (!commit) doomed_ = true;
    if (depth_ > 0) return !doomed_;
    // A statement that lost a race was skipped: the transaction must not keep
    // the rest of its work.
    if (!doomed_ && !lostRace_ && Control("COMMIT")) return true;
    Control("ROLLBACK");
    return false;
}

}  // namespace strataloom::db
