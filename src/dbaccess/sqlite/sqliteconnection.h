// The embedded engine: a project database is one SQLite file.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include "dbaccess/connection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace strataloom::db {

class SqliteConnection final : public Connection {
  public:
    // Opens an existing project database; never creates or rewrites one.
    // Null, with the reason in error, when the file is missing, empty or not
    // a database.
    static std::unique_ptr<Connection> Open(const std::string& path, std::string& error);
    ~SqliteConnection() override;

    bool Query(const std::string& sql, ResultSet& out) override;
    int ProbeTable(const std::string& table, std::vector<std::string>& columns) override;
    bool Execute(const std::string& sql) override;
    bool Insert(const std::string& table, const std::vector<std::string>& columns,
                const std::vector<const std::vector<Cell>*>& rows) override;
    bool Revive() override;
    std::string Describe() const override;
    std::size_t LargestValue() const override;

  protected:
    bool Control(const std::string& sql) override;
    // Takes the write lock at once, so two writers never deadlock on upgrade.
    std::string BeginStatement() const override { return "BEGIN IMMEDIATE"; }

  private:
    SqliteConnection(sqlite3* handle, std::string path, dev_t device, ino_t inode);
    static int WaitForLock(void* self, int attempt);
    // Statements kept prepared for the life of the connection.
    sqlite3_stmt* Cached(const std::string& sql);
    // Records the engine's message for the failed call; false.
    bool Fail();
    // Fail, for a statement of an operation: see StatementFailed.
    bool FailStatement();

    struct StatementCloser {
        void operator()(sqlite3_stmt* statement) const;
    };
    sqlite3* handle_;
    std::string path_;
    dev_t device_;
    ino_t inode_;
    std::chrono::steady_clock::time_point lockWaitEnds_;
    std::chrono::milliseconds lockWaited_{0};
    std::map<std::string, std::unique_ptr<sqlite3_stmt, StatementCloser>> cache_;
};

}  // namespace strataloom::db
