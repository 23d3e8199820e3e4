#include "dbaccess/readscope.h"

#include <algorithm>
#include <vector>

#include "dbaccess/connection.h"

namespace {

struct ThreadReads {
    int depth = 0;
    // Held until the scope ends, so no idle closer takes them meanwhile.
    std::vector<std::shared_ptr<strataloom::db::Connection>> joined;
};

ThreadReads& ThisThread() {
    thread_local ThreadReads reads;
    return reads;
}

}  // namespace

namespace strataloom::db {

void JoinReadScope(const std::shared_ptr<Connection>& connection) {
    ThreadReads& reads = ThisThread();
    if (reads.depth == 0 || !connection) return;
    if (std::find(reads.joined.begin(), reads.joined.end(), connection) != reads.joined.end()) {
        return;
    }
    // A write running on this connection already sees one state: its own.
    if (connection->InScope()) return;
    connection->BeginRead();
    reads.joined.push_back(connection);
}

}  // namespace strataloom::db

DbReadScope::DbReadScope(ReadStatements statements) noexcept
    : counted_(statements == ReadStatements::Several || ThisThread().depth > 0) {
    if (counted_) ++ThisThread().depth;
}

DbReadScope::~DbReadScope() {
    if (!counted_) return;
    ThreadReads& reads = ThisThread();
    if (--reads.depth > 0) return;
    for (const auto& connection : reads.joined) connection->EndRead();
    reads.joined.clear();
}
