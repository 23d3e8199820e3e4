#include "dbaccess/sqltrace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

#include "dbaccess/failure.h"

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

// The trace file named by the environment, read once per operation: the
// statements of one operation go to one file, and a host may name another
// between operations.
const char* TracePath() {
    thread_local unsigned long operation = 0;
    thread_local const char* path = nullptr;
    const unsigned long current = CurrentOperation();
    if (current == 0 || current != operation) {
        operation = current;
        path = std::getenv("STRATALOOM_SQL_TRACE");
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
