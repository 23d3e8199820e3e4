#include "dbaccess/connectionregistry.h"

#include <algorithm>
#include <vector>

#include "dbaccess/postgres/pgconnection.h"
#include "dbaccess/sqlite/sqliteconnection.h"

namespace strataloom::db {

namespace {

// Enough for a host that works on a few projects at once; beyond it the
// connection used least recently and by no session is closed.
constexpr std::size_t kKeptConnections = 8;

struct Entry {
    std::string connect;
    std::shared_ptr<Connection> connection;
    unsigned long long lastUse = 0;
};

struct Registry {
    std::vector<Entry> entries;
    unsigned long long clock = 0;
};

Registry& ThisThread() {
    thread_local Registry registry;
    return registry;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::unique_ptr<Connection> OpenDriver(const std::string& connect) {
    if (IsServerConnectString(connect)) return PgConnection::Open(connect);
    std::string path = StartsWith(connect, "sqlite:") ? connect.substr(7) : connect;
    if (path.empty()) return nullptr;
    return SqliteConnection::Open(path);
}

void TrimIdle(Registry& registry) {
    auto& entries = registry.entries;
    while (entries.size() > kKeptConnections) {
        auto oldest = entries.end();
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->connection.use_count() > 1) continue;
            if (oldest == entries.end() || it->lastUse < oldest->lastUse) oldest = it;
        }
        if (oldest == entries.end()) return;
        entries.erase(oldest);
    }
}

}  // namespace

bool IsServerConnectString(const std::string& connect) {
    return StartsWith(connect, "postgresql://") || StartsWith(connect, "postgres://") ||
           connect.find("dbname=") != std::string::npos ||
           connect.find("host=") != std::string::npos;
}

std::shared_ptr<Connection> AcquireConnection(const std::string& connect) {
    Registry& registry = ThisThread();
    auto& entries = registry.entries;
    auto found = std::find_if(entries.begin(), entries.end(),
                              [&](const Entry& e) { return e.connect == connect; });
    if (found != entries.end()) {
        // A connection inside a running operation is kept whatever happens to
        // the file; an idle one is dropped when its database went away.
        if (found->connection.use_count() > 1 || found->connection->StillValid()) {
            found->lastUse = ++registry.clock;
            return found->connection;
        }
        entries.erase(found);
    }
    std::shared_ptr<Connection> opened = OpenDriver(connect);
    if (!opened) return nullptr;
    entries.push_back(Entry{connect, opened, ++registry.clock});
    TrimIdle(registry);
    return opened;
}

bool ThisThreadWriting() {
    const auto& entries = ThisThread().entries;
    return std::any_of(entries.begin(), entries.end(),
                       [](const Entry& e) { return e.connection->InScope(); });
}

void ReleaseIdleConnections() {
    auto& entries = ThisThread().entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const Entry& e) { return e.connection.use_count() == 1; }),
                  entries.end());
}

}  // namespace strataloom::db
