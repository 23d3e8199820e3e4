// The server engine: a project database shared by several hosts on a
// PostgreSQL server.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "dbaccess/connection.h"
#include "dbaccess/postgres/pghandles.h"

struct pg_conn;
struct pg_result;

namespace strataloom::db {

class PgConnection final : public Connection {
  public:
    // Connects with a "postgresql://" URI or a key=value connection string.
    // Null when the server cannot be reached or the database does not exist.
    static std::unique_ptr<Connection> Open(const std::string& connect);
    ~PgConnection() override;

    bool Query(const std::string& sql, ResultSet& out) override;
    int ProbeTable(const std::string& table, std::vector<std::string>& columns) override;
    bool Execute(const std::string& sql) override;
    bool Insert(const std::string& table, const std::vector<std::string>& columns,
                const std::vector<const std::vector<Cell>*>& rows) override;
    bool StillValid() const override;

  protected:
    bool Control(const std::string& sql) override;
    // Serializable, so that two hosts replacing the same rows at once cannot
    // both keep theirs: the later one fails and its operation starts over.
    std::string BeginStatement() const override { return "BEGIN ISOLATION LEVEL SERIALIZABLE"; }

  private:
    using Result = PgResult;
    struct Prepared {
        std::string name;
        std::vector<unsigned int> parameterTypes;
    };

    PgConnection(pg_conn* handle, std::string connect);
    // Runs a statement; inside a transaction under its own savepoint, so a
    // failure does not abort the whole transaction.
    Result Run(const std::string& sql, bool binaryResult);
    Result RunOnce(const std::string& sql, bool binaryResult);
    bool Succeeded(const Result& result);
    const Prepared* PrepareInsert(const std::string& sql);
    bool AnswerDatabaseList(const std::string& sql, ResultSet& out, bool& handled);
    bool RestoreDatabase(const std::string& sql, bool& handled);

    pg_conn* handle_;
    std::string connect_;
    std::map<std::string, Prepared> prepared_;
    int savepoints_ = 0;
};

}  // namespace strataloom::db
