// The embedded engine: a project database is one SQLite file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dbaccess/connection.h"
#include "dbaccess/sqlite/pathwatch.h"

struct sqlite3;
struct sqlite3_stmt;

namespace strataloom::db {

class SqliteRows;

class SqliteConnection final : public Connection {
  public:
    // Opens an existing project database; never creates or rewrites one.
    // Null, with the reason in error, when the file is missing, empty or not
    // a database.
    static std::unique_ptr<Connection> Open(const std::string& path, std::string& error);
    ~SqliteConnection() override;

    std::unique_ptr<Rows> Query(const Statement& statement) override;
    int ProbeTable(const Statement& wholeTable, std::shared_ptr<const TableShape>& shape) override;
    std::shared_ptr<const TableShape> KnownTable(const std::string& table) const override;
    bool Execute(const Statement& statement) override;
    bool InsertRow(const TableShape& table, const std::vector<int>& columns,
                   const std::vector<Value>& values) override;
    bool Revive() override;
    std::string Describe() const override;
    std::size_t LargestValue() const override;

  protected:
    bool Control(const std::string& sql) override;
    // Takes the write lock at once, so two writers never deadlock on upgrade.
    std::string BeginStatement() const override { return "BEGIN IMMEDIATE"; }

  private:
    friend class SqliteRows;

    // A statement kept prepared for the life of the connection, by its text.
    struct Prepared {
        sqlite3_stmt* handle = nullptr;
        std::shared_ptr<const std::vector<std::string>> columns;
        int reprepared = 0;  // the engine's re-prepare count when columns were read
        bool inUse = false;
        std::uint64_t lastUse = 0;
    };
    // A prepared statement lent to one use: one kept in the cache, or one
    // prepared for this use alone (a text in use already, or too long to keep).
    struct Lease {
        sqlite3_stmt* handle = nullptr;
        Prepared* kept = nullptr;
        std::shared_ptr<const std::vector<std::string>> columns;
        int reprepared = 0;  // as in Prepared
    };
    // What the table check keeps of a table.
    struct TableEntry {
        std::string shapeSql;  // no row, only the columns
        std::string anySql;    // whether the table holds a row
        std::shared_ptr<const TableShape> shape;
        int reprepared = -1;  // the engine's re-prepare count of anySql when shape was read
    };
    // The insert statement last used, for the next row of the same shape.
    struct LastInsert {
        const TableShape* table = nullptr;
        std::vector<int> columns;
        Prepared* prepared = nullptr;
    };

    SqliteConnection(sqlite3* handle, std::string path, dev_t device, ino_t inode);
    static int WaitForLock(void* self, int attempt);
    // Lends the statement of text: false (with the failure noted) when it
    // cannot be prepared; a blank text lends no statement. tail receives
    // whether text holds more than one statement.
    bool Lend(const std::string& text, Lease& lease, bool* tail = nullptr);
    // Binds the statement's values to the markers of the statement lent;
    // false, with the reason, when they do not match or the engine refuses one.
    bool BindValues(const std::vector<std::string>& values, sqlite3_stmt* handle);
    void GiveBack(Lease& lease);
    // Reads the columns of a lent statement anew once its first step
    // prepared it again (the schema changed): "*" may stand for others now.
    void FollowSchema(Lease& lease);
    // Makes room for one more kept statement.
    void Evict();
    // Readers still stepping a statement keep their rows in memory instead:
    // a statement that changes the database must not change what they read.
    void DetachReaders();
    void Forget(SqliteRows* reader);
    // Runs a lent statement that yields no rows and gives it back.
    bool Step(Lease& lease);
    // Drops a kept statement (to be prepared again).
    void Discard(const std::string& text);
    sqlite3_stmt* InsertStatement(const TableShape& table, const std::vector<int>& columns);
    // Records the engine's message for the failed call; false.
    bool Fail();
    // Fail, for a statement of an operation: see StatementFailed.
    bool FailStatement();

    sqlite3* handle_;
    std::string path_;
    dev_t device_;
    ino_t inode_;
    PathWatch watch_;  // whether inode_ may still be the file at path_
    std::chrono::steady_clock::time_point lockWaitEnds_;
    std::chrono::milliseconds lockWaited_{0};
    std::unordered_map<std::string, Prepared> cache_;
    std::uint64_t uses_ = 0;
    std::unordered_map<std::string, TableEntry> tables_;
    LastInsert lastInsert_;
    Lease oneOff_;  // an insert too long to keep, for the row in hand
    std::vector<SqliteRows*> readers_;
};

}  // namespace strataloom::db
