#include "dbaccess/connectionregistry.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>
#include <vector>

#include "dbaccess/failure.h"
#include "dbaccess/postgres/pgconnection.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqlite/sqliteconnection.h"

namespace strataloom::db {

namespace {

using Clock = std::chrono::steady_clock;

// Enough for a host that works on a few projects at once; beyond it the
// connection used least recently and by no session is closed.
constexpr std::size_t kKeptConnections = 8;

// Bumped in a child process as it is forked: the connections kept before
// belong to the parent, whose server session or file lock they share.
std::atomic<unsigned> g_processGeneration{0};

struct Entry {
    std::string identity;  // see ConnectionIdentity
    std::shared_ptr<Connection> connection;
    Clock::time_point lastUse;
    unsigned generation = 0;
};

// Connections a child inherited: never used and never closed there, since
// closing would end the parent's server session or touch its project file.
void SetAsideInherited(std::vector<Entry>& entries) {
    static auto* inherited = new std::vector<std::shared_ptr<Connection>>;  // kept for good
    const unsigned now = g_processGeneration.load(std::memory_order_relaxed);
    for (auto it = entries.begin(); it != entries.end();) {
        if (it->generation == now) {
            ++it;
            continue;
        }
        inherited->push_back(std::move(it->connection));
        it = entries.erase(it);
    }
}

// A connection is in use while anything besides the registry holds it: a
// session, a write scope or a read snapshot. Only the owning thread takes new
// holders, and only under the registry's mutex.
bool Idle(const Entry& entry) {
    return entry.connection.use_count() == 1;
}

class ThreadRegistry;

// Closes connections that have been idle too long. The module runs no
// thread of its own otherwise: this one exists only while a connection is
// kept, and is joined before the module goes away.
class IdleCloser {
  public:
    static IdleCloser& Instance() {
        static IdleCloser closer;
        return closer;
    }
    ~IdleCloser();
    void Register(ThreadRegistry* registry);
    void Unregister(ThreadRegistry* registry);
    // A connection is kept: make sure it will be closed once idle.
    void Watch();

    // Around a fork: every registry is held still while the process is
    // copied; the child then has no closer thread and sets aside what it
    // inherited.
    void BeforeFork();
    void AfterForkInParent();
    void AfterForkInChild();

  private:
    IdleCloser();
    void Run();
    // Closes what has been idle too long; false when nothing is kept any more.
    bool CloseIdle(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<ThreadRegistry*> registries_;
    std::thread thread_;
    bool running_ = false;
    bool stopping_ = false;
    bool watched_ = false;  // Watch was called since the closer last looked
};

class ThreadRegistry {
  public:
    ThreadRegistry() { IdleCloser::Instance().Register(this); }
    ~ThreadRegistry() {
        IdleCloser::Instance().Unregister(this);
        std::vector<Entry> closing;
        {
            std::lock_guard<std::mutex> lock(mutex);
            closing.swap(entries);
        }
    }

    std::mutex mutex;
    std::vector<Entry> entries;
};

ThreadRegistry& ThisThread() {
    thread_local ThreadRegistry registry;
    return registry;
}

IdleCloser::IdleCloser() {
    pthread_atfork([] { Instance().BeforeFork(); }, [] { Instance().AfterForkInParent(); },
                   [] { Instance().AfterForkInChild(); });
}

void IdleCloser::BeforeFork() {
    mutex_.lock();
    for (ThreadRegistry* registry : registries_) registry->mutex.lock();
}

void IdleCloser::AfterForkInParent() {
    for (auto it = registries_.rbegin(); it != registries_.rend(); ++it) (*it)->mutex.unlock();
    mutex_.unlock();
}

void IdleCloser::AfterForkInChild() {
    g_processGeneration.fetch_add(1, std::memory_order_relaxed);
    for (auto it = registries_.rbegin(); it != registries_.rend(); ++it) {
        SetAsideInherited((*it)->entries);
        (*it)->mutex.unlock();
    }
    // The closer thread was not copied: its handle is let go without a join.
    if (thread_.joinable()) new std::thread(std::move(thread_));
    running_ = false;
    watched_ = false;
    mutex_.unlock();
}

IdleCloser::~IdleCloser() {
    std::unique_lock<std::mutex> lock(mutex_);
    stopping_ = true;
    wake_.notify_all();
    lock.unlock();
    if (thread_.joinable()) thread_.join();
}

void IdleCloser::Register(ThreadRegistry* registry) {
    std::lock_guard<std::mutex> lock(mutex_);
    registries_.push_back(registry);
}

void IdleCloser::Unregister(ThreadRegistry* registry) {
    std::lock_guard<std::mutex> lock(mutex_);
    registries_.erase(std::remove(registries_.begin(), registries_.end(), registry),
                      registries_.end());
}

void IdleCloser::Watch() {
    std::lock_guard<std::mutex> lock(mutex_);
    watched_ = true;
    if (running_ || stopping_) return;
    // A closer that found nothing left to watch has ended, or is ending.
    if (thread_.joinable()) thread_.join();
    running_ = true;
    thread_ = std::thread(&IdleCloser::Run, this);
}

void IdleCloser::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        watched_ = false;
        const auto lifetime = Limits().idleLifetime;
        const auto tick = std::clamp<Clock::duration>(lifetime / 4, std::chrono::milliseconds(20),
                                                      std::chrono::seconds(1));
        wake_.wait_for(lock, tick);
        if (stopping_) break;
        // A connection kept while the closer looked elsewhere called Watch.
        if (!CloseIdle(lock) && !watched_) break;
    }
    running_ = false;
}

bool IdleCloser::CloseIdle(std::unique_lock<std::mutex>& lock) {
    const auto now = Clock::now();
    const auto lifetime = Limits().idleLifetime;
    std::vector<Entry> closing;
    bool kept = false;
    for (ThreadRegistry* registry : registries_) {
        std::lock_guard<std::mutex> guard(registry->mutex);
        auto& entries = registry->entries;
        SetAsideInherited(entries);
        for (auto it = entries.begin(); it != entries.end();) {
            if (!Idle(*it)) {
                // Idle time counts from the end of the last use.
                it->lastUse = now;
            } else if (now - it->lastUse >= lifetime) {
                closing.push_back(std::move(*it));
                it = entries.erase(it);
                continue;
            }
            kept = true;
            ++it;
        }
    }
    // Closing may talk to a server: done without holding any lock.
    lock.unlock();
    closing.clear();
    lock.lock();
    return kept;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

// A database that could not be opened is not tried again by the same
// operation: its write scope and each of its sessions would otherwise wait
// for an unreachable server in turn.
struct FailedOpen {
    unsigned long operation = 0;
    std::string connect;
    std::string reason;
};

FailedOpen& LastFailedOpen() {
    thread_local FailedOpen failed;
    return failed;
}

bool StartsWith(const std::string& text, const char* prefix);

// The project file a connection string names: the text after "sqlite:", or the whole.
std::string FilePath(const std::string& connect) {
    return StartsWith(connect, "sqlite:") ? connect.substr(7) : connect;
}

bool IsExistingFile(const std::string& path) {
    std::error_code error;
    return !path.empty() && std::filesystem::is_regular_file(path, error);
}

std::unique_ptr<Connection> OpenDriver(const std::string& connect, std::string& error) {
    if (IsServerConnectString(connect)) return PgConnection::Open(connect, error);
    const std::string path = FilePath(connect);
    if (path.empty()) {
        error = "no project file or database named: the connection string is empty";
        return nullptr;
    }
    return SqliteConnection::Open(path, error);
}

// What makes two connection strings one connection: the server's options as
// its client library reads them, in one order; or the project file's path
// with its links and dots resolved.
std::string ConnectionIdentity(const std::string& connect) {
    if (IsServerConnectString(connect)) {
        std::string identity = "server:";
        if (!ServerIdentity(connect, identity)) return "server:" + connect;
        return identity;
    }
    const std::string path = FilePath(connect);
    if (path.empty()) return "file:";
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(path, error);
    return "file:" + (error ? path : resolved.string());
}

// The identities of the connection strings this thread used last: each
// string is resolved once, not on every call.
const std::string& CachedIdentity(const std::string& connect) {
    struct Known {
        std::string connect;
        std::string identity;
    };
    constexpr std::size_t kKnown = 16;
    thread_local std::vector<Known> known;
    for (const Known& entry : known) {
        if (entry.connect == connect) return entry.identity;
    }
    if (known.size() == kKnown) known.erase(known.begin());
    known.push_back(Known{connect, ConnectionIdentity(connect)});
    return known.back().identity;
}

// Takes out the connection used least recently by no session, while more
// than kKeptConnections are kept.
void TrimIdle(std::vector<Entry>& entries, std::vector<Entry>& closing) {
    while (entries.size() > kKeptConnections) {
        auto oldest = entries.end();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (!Idle(*it)) continue;
            if (oldest == entries.end() || it->lastUse < oldest->lastUse) oldest = it;
        }
        if (oldest == entries.end()) return;
        closing.push_back(std::move(*oldest));
        entries.erase(oldest);
    }
}

}  // namespace

// A URI of the server, or a key=value string its client library reads; a
// project file that exists is a file whatever its name holds.
bool IsServerConnectString(const std::string& connect) {
    if (StartsWith(connect, "postgresql://") || StartsWith(connect, "postgres://")) return true;
    if (connect.find('=') == std::string::npos || IsExistingFile(FilePath(connect))) return false;
    return ParsesAsServerOptions(connect);
}

std::shared_ptr<Connection> AcquireConnection(const std::string& connect, std::string* error) {
    ThreadRegistry& registry = ThisThread();
    const std::string& identity = CachedIdentity(connect);
    std::vector<Entry> closing;  // closed after the lock is let go
    {
        std::lock_guard<std::mutex> lock(registry.mutex);
        auto& entries = registry.entries;
        SetAsideInherited(entries);
        auto found = std::find_if(entries.begin(), entries.end(),
                                  [&](const Entry& e) { return e.identity == identity; });
        if (found != entries.end()) {
            // A connection inside a running operation is kept whatever
            // happens; an idle one is checked before a new operation relies
            // on it.
            if (!Idle(*found) || found->connection->Revive()) {
                found->lastUse = CoarseNow();
                return found->connection;
            }
            closing.push_back(std::move(*found));
            entries.erase(found);
        }
    }
    FailedOpen& failed = LastFailedOpen();
    const unsigned long operation = CurrentOperation();
    if (operation != 0 && failed.operation == operation && failed.connect == identity) {
        if (error) *error = failed.reason;
        return nullptr;
    }
    // Opening may wait for a server: the closer must not wait on this thread.
    std::string reason;
    std::shared_ptr<Connection> opened = OpenDriver(connect, reason);
    if (!opened) {
        failed = FailedOpen{operation, identity, reason};
        if (error) *error = reason;
        return nullptr;
    }
    {
        std::lock_guard<std::mutex> lock(registry.mutex);
        registry.entries.push_back(Entry{identity, opened, Clock::now(),
                                         g_processGeneration.load(std::memory_order_relaxed)});
        TrimIdle(registry.entries, closing);
    }
    IdleCloser::Instance().Watch();
    return opened;
}

bool ThisThreadWriting() {
    ThreadRegistry& registry = ThisThread();
    std::lock_guard<std::mutex> lock(registry.mutex);
    SetAsideInherited(registry.entries);
    return std::any_of(registry.entries.begin(), registry.entries.end(),
                       [](const Entry& e) { return e.connection->InScope(); });
}

void ReleaseIdleConnections() {
    ThreadRegistry& registry = ThisThread();
    std::vector<Entry> closing;
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto& entries = registry.entries;
    SetAsideInherited(entries);
    for (auto it = entries.begin(); it != entries.end();) {
        if (Idle(*it)) {
            closing.push_back(std::move(*it));
            it = entries.erase(it);
        } else {
            ++it;
        }
    }
}

}  // namespace strataloom::db
