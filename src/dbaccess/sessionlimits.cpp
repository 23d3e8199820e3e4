#include "dbaccess/sessionlimits.h"

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

}  // namespace

SessionLimits Limits() {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    return Current();
}

ScopedLimits::ScopedLimits(const SessionLimits& limits) {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    previous_ = Current();
    Current() = limits;
}

ScopedLimits::~ScopedLimits() {
    std::lock_guard<std::mutex> lock(LimitsMutex());
    Current() = previous_;
}

}  // namespace strataloom::db
