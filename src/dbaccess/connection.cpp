#include "dbaccess/connection.h"

#include <cstring>

#include "dbaccess/failure.h"

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

bool Connection::CreateDatabase(const std::string&, const std::string&) {
    SetError("a server database cannot be created on a project file");
    return false;
}

bool Connection::BeginScope() {
    if (depth_ == 0) {
        // A write sees its own transaction, not a snapshot taken before it.
        EndRead();
        lostRace_ = false;
        doomed_ = false;
        broken_ = !BeginWrite();
    }
    ++depth_;
    return !broken_;
}

bool Connection::EndScope(bool commit) {
    if (depth_ == 0) return false;
    --depth_;
    if (!commit) doomed_ = true;
    if (depth_ > 0) return !doomed_ && !broken_;
    if (broken_) {
        broken_ = false;
        return false;
    }
    // A statement that lost a race was skipped: the transaction must not keep
    // the rest of its work.
    return FinishWrite(!doomed_ && !lostRace_);
}

void Connection::Doom() {
    if (depth_ > 0) doomed_ = true;
}

bool Connection::BeginWrite() {
    return RunControl(BeginStatement());
}

bool Connection::FinishWrite(bool commit) {
    if (commit && RunControl("COMMIT")) return true;
    Control("ROLLBACK");
    return false;
}

bool Connection::BeginRead() {
    if (depth_ > 0 || reading_) return false;
    reading_ = BeginReadTransaction();
    return reading_;
}

void Connection::EndRead() {
    if (!reading_) return;
    reading_ = false;
    EndReadTransaction();
}

bool Connection::RunControl(const std::string& sql) {
    if (Control(sql)) return true;
    NoteFailure(FailureText(lastError_, Describe(), sql));
    return false;
}

void Connection::StatementFailed(bool engineLevel) {
    if (engineLevel) Doom();
    EndRead();
}

}  // namespace strataloom::db
