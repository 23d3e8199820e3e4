// What every engine driver provides behind the session. The data classes
// never see this: they know CDbManage only.
#pragma once

#include <string>
#include <vector>

#include "dbaccess/cell.h"

namespace strataloom::db {

// One open connection to one database, shared by every session that the same
// thread opens on the same connection string.
class Connection {
  public:
    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs a statement and reads every row it yields.
    virtual bool Query(const std::string& sql, ResultSet& out) = 0;
    // 2 when the table does not exist, else 0 when it holds a row and 1 when
    // it is empty; columns receives the table's column names.
    virtual int ProbeTable(const std::string& table, std::vector<std::string>& columns) = 0;
    // Runs a statement that yields no rows.
    virtual bool Execute(const std::string& sql) = 0;
    // Inserts rows that all set the same columns, through one prepared
    // statement with bound parameters.
    virtual bool Insert(const std::string& table, const std::vector<std::string>& columns,
                        const std::vector<const std::vector<Cell>*>& rows) = 0;
    // False once the database behind the connection is no longer the one it
    // opened (file removed or replaced): the connection is then dropped.
    virtual bool StillValid() const = 0;
    // Transaction scopes nest: the outermost begins and commits; inner ones
    // join its transaction, and one that ends without committing dooms it, so
    // the outermost rolls everything back. (Inner savepoints would make the
    // embedded engine copy every page a replace touches, for nothing: no
    // operation goes on after a part of it failed.) A scope that could not
    // begin fails every write until it ends, so that nothing runs outside the
    // transaction it asked for.
    bool BeginScope();
    bool EndScope(bool commit);
    bool InScope() const { return depth_ > 0; }
    bool ScopeBroken() const { return brokenDepth_ > 0; }

    const std::string& LastError() const { return lastError_; }
    // Whether the running transaction lost a race with another writer (the
    // engine refused to serialise it); the whole operation may start over.
    bool LostRace() const { return lostRace_; }

  protected:
    Connection() = default;
    virtual bool Control(const std::string& sql) = 0;
    virtual std::string BeginStatement() const { return "BEGIN"; }
    void SetError(std::string text) { lastError_ = std::move(text); }
    void NoteLostRace() { lostRace_ = true; }

  private:
    int depth_ = 0;
    int brokenDepth_ = 0;
    bool lostRace_ = false;
    bool doomed_ = false;
    std::string lastError_;
};

// RAII scope on a connection: rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Connection& connection)
        : connection_(connection), active_(connection.BeginScope()) {}
    ~Transaction() {
        if (active_) connection_.EndScope(false);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Active() const { return active_; }
    bool Commit() {
        if (!active_) return false;
        active_ = false;
        return connection_.EndScope(true);
    }

  private:
    Connection& connection_;
    bool active_;
};

}  // namespace strataloom::db
