// How long the sessions wait, how long they keep idle connections and how
// large a value they store. Fixed for the module; tests shorten them to reach
// the limits quickly.
#pragma once

#include <time.h>

#include <chrono>
#include <cstddef>

namespace strataloom::db {

struct SessionLimits {
    // How long a write waits for another process's lock on a project file
    // before it gives up.
    std::chrono::milliseconds lockWait{10000};
    // Connections that no operation used for this long are closed, so that a
    // project database is not held open by a host that has gone quiet.
    std::chrono::milliseconds idleLifetime{3000};
    // Server: how long connecting may take, and how long the server may stay
    // silent while an answer is awaited, when the connection string sets no
    // connect_timeout of its own. Together they keep an operation on a
    // server that accepts connections but never answers under 30 s.
    std::chrono::seconds connectTimeout{10};
    std::chrono::seconds answerTimeout{20};
    // Server: a kept connection that answered less than this long ago is
    // handed to the next operation without reading its socket first (a
    // system call per operation); a break meanwhile shows in the
    // operation's first round trip, which then runs on a new connection.
    std::chrono::milliseconds quietRevive{100};
    // The largest single value (text or value array) a save stores; each
    // engine may take less.
    std::size_t largestValue = static_cast<std::size_t>(0x7fffffff);
};

// The clock as the system keeps it between its ticks, a few milliseconds
// apart: close enough for limits of seconds, and cheaper to read than the
// exact time, which every wait of every round trip and every operation's
// connection would read.
inline std::chrono::steady_clock::time_point CoarseNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec)));
}

// The limits in force.
SessionLimits Limits();

// Limits().quietRevive, read without taking the limits' lock.
std::chrono::milliseconds QuietRevive();

// Replaces the limits while alive (tests only).
class ScopedLimits {
  public:
    explicit ScopedLimits(const SessionLimits& limits);
    ~ScopedLimits();
    ScopedLimits(const ScopedLimits&) = delete;
    ScopedLimits& operator=(const ScopedLimits&) = delete;

  private:
    SessionLimits previous_;
};

}  // namespace strataloom::db
