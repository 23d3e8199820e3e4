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

class DbReadScope {
  public:
    DbReadScope() noexcept;
    ~DbReadScope();
    DbReadScope(const DbReadScope&) = delete;
    DbReadScope& operator=(const DbReadScope&) = delete;
};
