#include "dbaccess/sessionlimits.h"

#include <atomic>
#include <mutex>

namespace strataloom::db {

namespace {

std::mutex& LimitsMutex() {
    static std::mutex mutex;
    return mutex;
}

SessionLimits& Current() {
    static SessionLimits limits;
    return limits;
}

// SessionLimits::quietRevive, read once per server operation without the lock.
std::atomic<long long> g_quietRevive{SessionLimits().quietRevive.count()};

void Install(const SessionLimits& limits) {
    Current() = limits;
    g_quietRevive.store(limits.quietRevive.count(), std::memory_order_relaxed);
}

}  // namespace

std::chrono::milliseconds QuietRevive() {
    return std::chrono::milliseconds(g_quietRevive.load(std::memory_order_relaxed));
}

SessionLimits Limits() {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    return Current();
}

ScopedLimits::ScopedLimits(const SessionLimits& limits) {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    previous_ = Current();
    Install(limits);
}

ScopedLimits::~ScopedLimits() {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    Install(previous_);
}

}  // namespace strataloom::db
