// All-or-nothing writes. A writing operation opens a scope first; every session
// that the same thread opens on the same connection string while it is open
// joins its transaction. The scope commits when the operation succeeds and
// rolls back otherwise; a scope opened inside one joins it, and its failure
// fails the whole operation.
#pragma once

#include <memory>
#include <string>

namespace strataloom::db {
class Connection;
class Transaction;
}  // namespace strataloom::db

class DbWriteScope {
  public:
    explicit DbWriteScope(const std::string& connect);
    ~DbWriteScope();
    DbWriteScope(const DbWriteScope&) = delete;
    DbWriteScope& operator=(const DbWriteScope&) = delete;

    // False when the database could not be opened or locked for writing.
    bool Active() const;
    // The database was opened but the transaction could not begin (its lock
    // held too long by another process, say): nothing may be written.
    bool Broken() const { return connection_ && !Active(); }
    bool Commit();
    // Whether this scope began the transaction rather than joining one.
    bool Outermost() const { return outermost_; }
    // Whether the engine refused the transaction because another writer
    // changed the same rows at the same time.
    bool LostRace() const;

  private:
    std::shared_ptr<strataloom::db::Connection> connection_;
    std::unique_ptr<strataloom::db::Transaction> transaction_;
    bool outermost_ = false;
};
