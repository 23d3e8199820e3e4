// What every data class shares: its connection string, its catalog entry, and
// the guards that keep exceptions inside the module and make writes atomic.
#pragma once

#include <new>
#include <string>

#include "dbaccess/dbwritescope.h"
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

// Refuses an argument: shows the message in the application's box, result 0.
// Checked before any transaction begins, so no lock is held while the box waits.
inline int Refuse(const char* message) noexcept {
    try {
        AppMessageBox(message, MB_OK);
    } catch (...) {
    }
    return 0;
}

// Runs a reading operation; an exception ends it with 0.
template <class Body>
int Guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return 0;
    }
}

// Waits a short, growing and random time, so that two writers that collided
// do not collide again at once.
void PauseBeforeRetry(int attempt);

// Runs a writing operation inside one transaction: everything it did stays
// only when it returns 1; on 0 or an exception every change is rolled back,
// the rows its deletes removed included. When the engine refused the
// transaction because another host wrote the same rows at the same time, the
// outermost operation starts over on the rows as they now are.
template <class Body>
int Atomic(const std::string& connect, Body&& body) noexcept {
    constexpr int kAttempts = 20;
    try {
        for (int attempt = 1;; ++attempt) {
            if (attempt > 1) PauseBeforeRetry(attempt);
            DbWriteScope scope(connect);
            const int result = body();
            // Without a database there was nothing to write; a database that
            // could not be locked for writing ran none of the writes.
            if (!scope.Active()) return scope.Broken() ? 0 : result;
            if (result != 0 && scope.Commit()) return result;
            if (!scope.Outermost() || !scope.LostRace() || attempt == kAttempts) return 0;
        }
    } catch (...) {
        return 0;
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
