#include "dbaccess/sqltrace.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>

namespace strataloom::db {

namespace {

std::mutex& TraceMutex() {
    static std::mutex mutex;
    return mutex;
}

TraceListener& Listener() {
    static TraceListener listener;
    return listener;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

void SetTraceListener(TraceListener listener) {
    std::lock_guard<std::mutex> lock(TraceMutex());
    Listener() = std::move(listener);
}

void TraceStatement(const std::string& text) {
    const char* path = std::getenv("STRATALOOM_SQL_TRACE");
    std::lock_guard<std::mutex> lock(TraceMutex());
    if (Listener()) Listener()(text);
    if (!path || !*path) return;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path, "a"));
    if (!file) return;
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::fputc('\n', file.get());
}

}  // namespace strataloom::db
