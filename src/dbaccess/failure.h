// Why an operation failed. Every step that can make an operation return 0
// notes its reason here (the engine's message, the project file or database,
// and the statement that was running); the operation that ends with 0 leaves
// the last reason noted for its host to read, the one that succeeds leaves
// the empty text. Reasons are kept per thread, as operations run on the
// caller's thread.
#pragma once

#include <string>

namespace strataloom::db {

// The reason for the last failure of an operation on this thread; empty
// after an operation that succeeded.
const std::string& LastFailure();

// Records why the call in hand failed; a later note replaces it.
void NoteFailure(std::string reason);

// Records why a statement failed after it had handed out rows: its reader
// took the failure for the end of the rows, so the operation running on
// this thread ends with 0 whatever it returns.
void NoteLateFailure(std::string reason);

// "message [where] in: statement", on one line.
std::string FailureText(const std::string& message, const std::string& where,
                        const std::string& statement = std::string());

// The reason of an operation that showed the user a box: why, in English,
// followed by the box's own text in quotes. Without why, the English of the
// box texts the data classes show; a text it does not know is quoted alone.
std::string BoxReason(const std::string& boxText, const std::string& why = std::string());

// A number for the outermost operation running on this thread; 0 when none
// runs. Two calls within one operation see the same number.
unsigned long CurrentOperation();

// Brackets one operation of a data object. Operations call each other
// through their interfaces: only the outermost one on the thread forgets the
// reason of the operation before and decides what is left at its end.
class OperationRecord {
  public:
    OperationRecord() noexcept;
    ~OperationRecord();
    OperationRecord(const OperationRecord&) = delete;
    OperationRecord& operator=(const OperationRecord&) = delete;

    // Ends the operation with result: success leaves the empty text; failure
    // keeps the last reason noted and writes it to the statement trace.
    int Finish(int result) noexcept;
    // An attempt that starts over forgets the failure of the attempt before.
    void Restart() noexcept;

  private:
    bool outermost_;
    bool finished_ = false;
};

}  // namespace strataloom::db
