// What every data class shares: its connection string, its catalog entry, and
// the guards that keep exceptions inside the module, make writes atomic and
// reads consistent, and record why an operation failed.
#pragma once

#include <exception>
#include <new>
#include <string>

#include "dbaccess/dbwritescope.h"
#include "dbaccess/failure.h"
#include "dbaccess/readscope.h"
#include "frame/classcatalog.h"
#include "frame/messagebox.h"
#include "strataloom/idatabase.h"

namespace strataloom {

// Base of every data class: implements the interface's SetConnectString.
template <class Interface>
class DataObject : public Interface {
  public:
    void SetConnectString(const char* text) override { connect_ = text ? text : ""; }

  protected:
    const char* Connect() const { return connect_.c_str(); }
    const std::string& ConnectString() const { return connect_; }

  private:
    std::string connect_;
};

// Every operation runs in one of the wrappers below (or ends through Refuse,
// Decline or Succeed): they keep exceptions inside the module, and leave the
// reason of a failure for StrataloomLastError, the empty text after success.

// Refuses an argument: shows the message in the application's box, result 0;
// the reason of the failure says why in English (the English of the box when
// why is empty) and quotes the box. Checked before any transaction begins,
// so no lock is held while the box waits.
inline int Refuse(const char* message, const std::string& why = std::string()) noexcept {
    db::OperationRecord record;
    try {
        const std::string reason = db::BoxReason(message ? message : "", why);
        AppMessageBox(message, MB_OK);
        db::NoteFailure(reason);
    } catch (...) {
    }
    return record.Finish(0);
}

// Ends an operation with 0 without a box (an argument the operation refuses
// silently), leaving reason as the reason of the failure.
inline int Decline(const char* reason) noexcept {
    db::OperationRecord record;
    try {
        db::NoteFailure(reason ? reason : "");
    } catch (...) {
    }
    return record.Finish(0);
}

// Refuses a name holding a zero byte (HoldsZeroByte), before any statement
// runs: 0 without a box, the reason noted.
inline int RefuseZeroByteName() noexcept {
    return Decline("a name holds a zero byte: the database would take it for the name before it");
}

// Ends an operation with 1 without running anything (nothing to do).
inline int Succeed() noexcept {
    db::OperationRecord record;
    return record.Finish(1);
}

// The reason an operation gives when an exception ended it.
void NoteException(std::exception_ptr caught) noexcept;

// Runs a reading operation; an exception ends it with 0. Every statement of
// the operation, and of the operations it calls, sees one state of the
// database: what other hosts commit meanwhile shows only to later operations.
template <class Body>
int Guarded(Body&& body, ReadStatements statements = ReadStatements::Several) noexcept {
    db::OperationRecord record;
    try {
        int result;
        {
            DbReadScope snapshot(statements);
            result = body();
        }
        return record.Finish(result);
    } catch (...) {
        NoteException(std::current_exception());
        return record.Finish(0);
    }
}

// Waits before an attempt that starts over: a growing, random time, so that
// writers that collided do not collide again at once.
void PauseBeforeRetry(int attempt);

// Runs a writing operation inside one transaction: everything it did stays
// only when it returns 1; on 0 or an exception every change is rolled back,
// the rows its deletes removed included, and so is the work of every
// statement the engine could not carry out (a delete on a project it cannot
// write fails the operation even though the operation does not look at its
// result). A database that cannot be locked for writing runs none of the
// operation. When the engine refused the transaction because another host
// wrote the same rows at the same time, the outermost operation starts over
// on the rows as they now are.
template <class Body>
int Atomic(const std::string& connect, Body&& body) noexcept {
    constexpr int kAttempts = 20;
    db::OperationRecord record;
    try {
        for (int attempt = 1;; ++attempt) {
            if (attempt > 1) {
                PauseBeforeRetry(attempt);
                record.Restart();
            }
            DbWriteScope scope(connect);
            if (scope.Broken()) return record.Finish(0);
            const int result = body();
            // Without a database there was nothing to write.
            if (!scope.Active()) return record.Finish(result);
            if (result != 0 && scope.Commit()) return record.Finish(result);
            if (!scope.Outermost() || !scope.LostRace() || attempt == kAttempts) {
                return record.Finish(0);
            }
        }
    } catch (...) {
        NoteException(std::current_exception());
        return record.Finish(0);
    }
}

}  // namespace strataloom

// Defines the class's catalog entry, its creator and its registrar, and its
// GetClassEntry.
#define STRATALOOM_REGISTER_CLASS(Class, InterfaceName)                           \
    namespace {                                                                   \
    IDataBase* Create##Class() {                                                  \
        return new (std::nothrow) Class();                                        \
    }                                                                             \
    ClassEntry g_entry##Class = {#Class, InterfaceName, &Create##Class, nullptr}; \
    const strataloom::ClassRegistrar g_registrar##Class(g_entry##Class);          \
    }                                                                             \
    ClassEntry* Class::GetClassEntry() {                                          \
        return &g_entry##Class;                                                   \
    }
