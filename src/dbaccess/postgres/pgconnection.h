// The server engine: a project database shared by several hosts on a
// PostgreSQL server.
#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dbaccess/connection.h"
#include "dbaccess/postgres/pghandles.h"

namespace strataloom::db {

using ServerOptions = std::vector<std::pair<std::string, std::string>>;

// The keywords a connection is opened with: those of the caller's
// "postgresql://" URI or key=value string, the module's defaults for the
// timeouts it leaves unset, and UTF-8 as the client encoding; answerLimit
// receives how long the server may stay silent while an answer is awaited.
// False, with the reason in error, when the string cannot be read.
bool ServerConnectOptions(const std::string& connect, ServerOptions& options, std::string& error,
                          std::chrono::seconds* answerLimit = nullptr);

class PgConnection final : public Connection {
  public:
    // Null, with the reason in error, when the server cannot be reached or
    // the database does not exist.
    static std::unique_ptr<Connection> Open(const std::string& connect, std::string& error);
    ~PgConnection() override;

    bool Query(const std::string& sql, ResultSet& out) override;
    int ProbeTable(const std::string& table, std::vector<std::string>& columns) override;
    bool Execute(const std::string& sql) override;
    bool Insert(const std::string& table, const std::vector<std::string>& columns,
                const std::vector<const std::vector<Cell>*>& rows) override;
    bool Revive() override;
    std::string Describe() const override { return description_; }
    std::size_t LargestValue() const override;

  protected:
    bool Control(const std::string& sql) override;
    bool BeginWrite() override;
    bool FinishWrite(bool commit) override;
    // Serializable, so that two hosts replacing the same rows at once cannot
    // both keep theirs: should the writers' queue (see EnsureBegun) ever be
    // passed by, the later one fails and its operation starts over.
    std::string BeginStatement() const override { return "BEGIN ISOLATION LEVEL SERIALIZABLE"; }
    std::string ReadBeginStatement() const override {
        return "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY";
    }

  private:
    using Result = PgResult;
    struct Prepared {
        std::string name;
        std::vector<unsigned int> parameterTypes;
    };

    PgConnection(ServerOptions options, std::chrono::seconds answerLimit);
    // Connects (again) and sets the session up; false with LastError set.
    bool Connect();
    // Sends a request and waits for its whole answer; null when the link
    // broke or the server stayed silent too long (LastError says which).
    template <class Send>
    Result Exchange(Send&& send);
    Result Await();
    bool WaitForSocket(short events, std::chrono::steady_clock::time_point deadline);
    // Closes a connection that can no longer be trusted to answer.
    void Abandon(const std::string& reason);
    // Runs a statement; inside a transaction under its own savepoint, so a
    // failure does not abort the whole transaction.
    Result Run(const std::string& sql, bool binaryResult);
    Result RunOnce(const std::string& sql, bool binaryResult);
    bool Succeeded(const Result& result);
    // Succeeded, for a statement of an operation: see StatementFailed.
    bool StatementSucceeded(const Result& result);
    // Whether statements may run: the connection is alive, its write scope
    // not broken, and the write transaction begun (see EnsureBegun) on the
    // table named, or the table the statement works on.
    enum class TextIs { Table, Statement };
    bool Ready(const std::string& text, TextIs what);
    bool EnsureBegun(const std::string& table);
    void ReleaseWriterLock();
    const Prepared* PrepareInsert(const std::string& sql);
    bool AnswerDatabaseList(const std::string& sql, ResultSet& out, bool& handled);
    bool RestoreDatabase(const std::string& sql, bool& handled);

    ServerOptions options_;
    std::string description_;
    std::chrono::seconds answerLimit_;
    PgConn handle_;
    std::map<std::string, Prepared> prepared_;
    int savepoints_ = 0;
    bool fresh_ = false;         // no statement yet since an operation took it up
    bool beginPending_ = false;  // a write scope is open, its transaction not begun
    bool holdsWriterLock_ = false;
};

}  // namespace strataloom::db
