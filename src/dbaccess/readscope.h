// One snapshot per reading operation. While a read scope is open on a thread,
// the first statement each connection runs for it begins a read transaction
// there, so an operation that runs several statements (a curve, then its
// depth curve; a project's wells one after the other) sees one state of the
// database whatever other hosts commit meanwhile. The outermost scope ends
// them; scopes opened by operations that the operation calls join it.
#pragma once

#include <memory>

namespace strataloom::db {
class Connection;

// Called by a session before it runs a statement on connection.
void JoinReadScope(const std::shared_ptr<Connection>& connection);

}  // namespace strataloom::db

// How many statements an operation reads with. One (a table check aside,
// which only decides whether the statement runs) is a snapshot by itself:
// unless an outer operation's scope is open, no read transaction is begun
// for it, and the engine runs the statement as it would alone.
enum class ReadStatements { Several, One };

class DbReadScope {
  public:
    explicit DbReadScope(ReadStatements statements = ReadStatements::Several) noexcept;
    ~DbReadScope();
    DbReadScope(const DbReadScope&) = delete;
    DbReadScope& operator=(const DbReadScope&) = delete;

  private:
    bool counted_;
};
