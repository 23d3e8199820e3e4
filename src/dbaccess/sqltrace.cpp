#include "dbaccess/sqltrace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "dbaccess/failure.h"

extern char** environ;

namespace strataloom::db {

namespace {

std::mutex& TraceMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const TraceListener>& Listener() {
    static std::shared_ptr<const TraceListener> listener;
    return listener;
}

// Whether a listener is installed: most statements run with none, and need
// not take the lock to learn it.
std::atomic<bool> g_listening{false};

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

constexpr char kTraceVariable[] = "STRATALOOM_SQL_TRACE";

// The trace variable as the environment held it when last looked up, and
// what tells whether the environment changed since: setting or removing a
// variable either moves the list of variables, or changes the entry found,
// or (for a variable added at the end) the entry before the list's end.
struct TraceLookup {
    char** list = nullptr;
    std::size_t count = 0;        // entries in the list
    std::size_t at = 0;           // where the variable was found
    const char* entry = nullptr;  // the entry found, or the list's last one
    const char* value = nullptr;  // null: not set
    bool looked = false;
};

bool StillHolds(const TraceLookup& lookup) {
    if (!lookup.looked || environ != lookup.list || !environ) return false;
    if (lookup.value) return environ[lookup.at] == lookup.entry;
    if (environ[lookup.count] != nullptr) return false;
    return lookup.count == 0 || environ[lookup.count - 1] == lookup.entry;
}

void LookUp(TraceLookup& lookup) {
    lookup = TraceLookup();
    lookup.looked = true;
    lookup.list = environ;
    if (!environ) return;
    constexpr std::size_t kLength = sizeof kTraceVariable - 1;
    std::size_t i = 0;
    for (; environ[i]; ++i) {
        const char* entry = environ[i];
        if (std::strncmp(entry, kTraceVariable, kLength) == 0 && entry[kLength] == '=') {
            lookup.at = i;
            lookup.entry = entry;
            lookup.value = entry + kLength + 1;
            return;
        }
    }
    lookup.count = i;
    lookup.entry = i > 0 ? environ[i - 1] : nullptr;
}

// The trace file named by the environment, looked at once per operation: the
// statements of one operation go to one file, and a host may name another
// between operations. The environment is searched again only when it
// changed.
const char* TracePath() {
    thread_local unsigned long operation = 0;
    thread_local const char* path = nullptr;
    thread_local TraceLookup lookup;
    const unsigned long current = CurrentOperation();
    if (current == 0 || current != operation) {
        operation = current;
        if (!StillHolds(lookup)) LookUp(lookup);
        path = lookup.value;
    }
    return path;
}

}  // namespace

void SetTraceListener(TraceListener listener) {
    std::lock_guard<std::mutex> lock(TraceMutex());
    if (listener) {
        Listener() = std::make_shared<const TraceListener>(std::move(listener));
    } else {
        Listener().reset();
    }
    g_listening.store(Listener() != nullptr, std::memory_order_release);
}

void TraceStatement(const char* text) {
    const char* path = TracePath();
    if (g_listening.load(std::memory_order_acquire) || (path && *path)) {
        TraceStatement(std::string(text ? text : ""));
    }
}

void TraceStatement(const std::string& text) {
    const char* path = TracePath();
    std::shared_ptr<const TraceListener> listener;
    if (g_listening.load(std::memory_order_acquire)) {
        std::lock_guard<std::mutex> lock(TraceMutex());
        listener = Listener();
    }
    // Called without the lock: a listener may wait for statements that
    // other threads run meanwhile.
    if (listener) (*listener)(text);
    if (!path || !*path) return;
    std::lock_guard<std::mutex> lock(TraceMutex());
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "a"));
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::fputc('\n', file.get());
}

}  // namespace strataloom::db
