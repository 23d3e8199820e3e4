// What every engine driver provides behind the session. The data classes
// never see this: they know CDbManage only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "dbaccess/cell.h"
#include "dbaccess/locatedfields.h"
#include "dbaccess/statement.h"

namespace strataloom::db {

// A table as the table check found it: its columns, in order, and on the
// server their type identifiers.
struct TableShape {
    std::string name;
    std::vector<std::string> columns;
    std::vector<unsigned int> types;
};

// One open connection to one database, used by the sessions that one thread
// opens on one connection string: they share the transaction of a writing
// operation that is running, and the snapshot of a reading one.
class Connection {
  public:
    virtual ~Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Runs a statement (in the host's dialect, as the data class built it);
    // its rows are read one at a time. Null when it failed; so does a
    // statement whose values do not match the engine's markers.
    virtual std::unique_ptr<Rows> Query(const Statement& statement) = 0;
    // 2 when the table does not exist, else 0 when it holds a row and 1 when
    // it is empty; shape receives the table's columns. The whole table's
    // statement names every table the running write will touch.
    virtual int ProbeTable(const Statement& wholeTable,
                           std::shared_ptr<const TableShape>& shape) = 0;
    // The columns of a table this connection has probed before; null when it
    // has not. Answers the table check of a read without asking the engine:
    // a table dropped since makes the read's own statement fail instead.
    virtual std::shared_ptr<const TableShape> KnownTable(const std::string&) const {
        return nullptr;
    }
    // Runs a statement that yields no rows.
    virtual bool Execute(const Statement& statement) = 0;
    // The same for a statement of a write whose result the write does not
    // look at: a driver may send it with the write's next round trip, and
    // its failure then fails the write.
    virtual bool ExecuteLater(const Statement& statement) { return Execute(statement); }
    // Whether a server database exists (a DatabaseList request, its name the
    // argument): one row with its name, or none. An engine without such a
    // list runs the request's text as it stands.
    virtual std::unique_ptr<Rows> ListDatabase(const Statement& request) { return Query(request); }
    // Creates the server database name and loads the backup script at
    // backupPath into it, all or nothing.
    virtual bool CreateDatabase(const std::string& name, const std::string& backupPath);
    // Stores one row: values[i] in column columns[i] of the table. Rows that
    // set the same columns go through one prepared statement; a driver may
    // hold rows back until EndInserts. The values' bytes need to stay only
    // until the call returns.
    virtual bool InsertRow(const TableShape& table, const std::vector<int>& columns,
                           const std::vector<Value>& values) = 0;
    // Stores whatever InsertRow held back; false when a row failed.
    virtual bool EndInserts() { return true; }
    // Called when an idle connection is handed to a new operation. False when
    // it can no longer serve (the project file was replaced, the link to the
    // server broke and could not be made again): a new one is opened.
    virtual bool Revive() = 0;
    // The project file or database, as failure reasons name it.
    virtual std::string Describe() const = 0;
    // The largest value, in bytes, the engine stores in one column.
    virtual std::size_t LargestValue() const = 0;

    // Write scopes nest: the outermost begins and commits; inner ones join
    // its transaction, and one that ends without committing dooms it, so the
    // outermost rolls everything back. (Inner savepoints would make the
    // embedded engine copy every page a replace touches, for nothing: no
    // operation goes on after a part of it failed.) A scope is entered even
    // when its transaction could not begin: it then fails every write until
    // the outermost scope ends, so that nothing runs outside the transaction
    // it asked for, and the next operation starts afresh.
    bool BeginScope();
    bool EndScope(bool commit);
    bool InScope() const { return depth_ > 0; }
    bool ScopeBroken() const { return broken_; }
    // Fails the running write: the outermost scope rolls it back.
    void Doom();

    // A read snapshot: every statement until EndRead sees the database as it
    // was at the first. Not begun inside a write scope, which sees its own
    // transaction; a write scope that begins ends it first.
    bool BeginRead();
    void EndRead();
    bool Reading() const { return reading_; }

    // The rows of a save go to the table as they are added, the save having
    // promised that no other statement runs on the connection before it
    // ends (see CDbManage::StoreRowsAsAdded).
    void SetRowStream(bool on) { rowStream_ = on; }
    bool RowStream() const { return rowStream_; }

    const std::string& LastError() const { return lastError_; }
    // Where readers found their columns in this connection's results.
    LocatedFields& Located() { return located_; }
    // Whether the running transaction lost a race with another writer (the
    // engine refused to serialise it); the whole operation may start over.
    bool LostRace() const { return lostRace_; }

  protected:
    Connection() = default;
    // Runs a transaction control statement; false with LastError set.
    virtual bool Control(const std::string& sql) = 0;
    // Opens the transaction of an outermost write scope.
    virtual bool BeginWrite();
    // Commits it (or rolls it back when commit is false); true when committed.
    virtual bool FinishWrite(bool commit);
    virtual std::string BeginStatement() const { return "BEGIN"; }
    virtual std::string ReadBeginStatement() const { return "BEGIN"; }
    // Begins and ends the transaction of a read snapshot; a driver may send
    // them along with the statements around them.
    virtual bool BeginReadTransaction() { return Control(ReadBeginStatement()); }
    virtual void EndReadTransaction() {
        if (!Control("COMMIT")) Control("ROLLBACK");
    }

    // Control, with the reason noted when it fails.
    bool RunControl(const std::string& sql);
    void SetError(std::string text) { lastError_ = std::move(text); }
    // The write transaction could not begin after all: the scope fails
    // every write until the outermost one ends.
    void BreakScope() {
        if (depth_ > 0) broken_ = true;
    }
    void NoteLostRace() { lostRace_ = true; }
    // A statement failed. One the engine could not carry out for a reason of
    // its own (a file or medium it cannot write, a full disk, an I/O error, a
    // lost lock or link) fails the running write: only a statement refused
    // for its text (a table that does not exist, say) may be passed over.
    // A read snapshot ends with any failure: the engine may have ended it.
    void StatementFailed(bool engineLevel);

  private:
    int depth_ = 0;
    bool broken_ = false;
    bool lostRace_ = false;
    bool doomed_ = false;
    bool reading_ = false;
    bool rowStream_ = false;
    std::string lastError_;
    LocatedFields located_;
};

// RAII scope on a connection: rolls back unless committed.
class Transaction {
  public:
    explicit Transaction(Connection& connection)
        : connection_(connection), active_(connection.BeginScope()) {}
    // The scope is left on every path, also when its transaction never began.
    ~Transaction() {
        if (open_) connection_.EndScope(false);
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    bool Active() const { return active_; }
    bool Commit() {
        if (!open_) return false;
        open_ = false;
        return connection_.EndScope(active_);
    }

  private:
    Connection& connection_;
    bool active_;
    bool open_ = true;
};

}  // namespace strataloom::db
