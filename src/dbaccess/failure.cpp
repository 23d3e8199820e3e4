#include "dbaccess/failure.h"

#include "dbaccess/sqltrace.h"

namespace strataloom::db {

namespace {

struct ThreadFailure {
    std::string reason;
    bool late = false;         // a statement failed after handing out rows
    int operations = 0;        // operations open on this thread, nested ones included
    unsigned long serial = 0;  // of the outermost operation, counted per thread
};

ThreadFailure& ThisThread() {
    thread_local ThreadFailure failure;
    return failure;
}

// The trace and the host read one line per reason.
std::string OneLine(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return text;
}

}  // namespace

const std::string& LastFailure() {
    return ThisThread().reason;
}

unsigned long CurrentOperation() {
    const ThreadFailure& failure = ThisThread();
    return failure.operations > 0 ? failure.serial : 0;
}

void NoteFailure(std::string reason) {
    ThisThread().reason = OneLine(std::move(reason));
}

void NoteLateFailure(std::string reason) {
    ThreadFailure& failure = ThisThread();
    failure.reason = OneLine(std::move(reason));
    failure.late = true;
}

std::string FailureText(const std::string& message, const std::string& where,
                        const std::string& statement) {
    std::string text = OneLine(message);
    if (!where.empty()) text += " [" + where + "]";
    if (!statement.empty()) text += " in: " + OneLine(statement);
    return text;
}

OperationRecord::OperationRecord() noexcept : outermost_(ThisThread().operations++ == 0) {
    if (!outermost_) return;
    ThisThread().reason.clear();
    ThisThread().late = false;
    ++ThisThread().serial;
}

OperationRecord::~OperationRecord() {
    --ThisThread().operations;
}

int OperationRecord::Finish(int result) noexcept {
    if (!outermost_ || finished_) return result;
    finished_ = true;
    ThreadFailure& failure = ThisThread();
    if (failure.late) {
        failure.late = false;
        result = 0;
    }
    if (result != 0) {
        failure.reason.clear();
        return result;
    }
    try {
        if (failure.reason.empty()) failure.reason = "the operation failed";
        // A comment line, so that the trace stays a list of statements.
        TraceStatement("-- failed: " + failure.reason);
    } catch (...) {
    }
    return result;
}

void OperationRecord::Restart() noexcept {
    if (!outermost_) return;
    ThisThread().reason.clear();
    ThisThread().late = false;
}

}  // namespace strataloom::db
