// The server engine: a project database shared by several hosts on a
// PostgreSQL server.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
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
// callerTimeout tells whether the string sets a connect_timeout of its own.
bool ServerConnectOptions(const std::string& connect, ServerOptions& options, std::string& error,
                          std::chrono::seconds* answerLimit = nullptr,
                          bool* callerTimeout = nullptr);

// Whether the client library reads text as a key=value connection string.
bool ParsesAsServerOptions(const std::string& connect);
// Appends to identity the options of a server connection string, as the
// client library reads them, in one order: two spellings of one connection
// give one identity. False when the string cannot be read.
bool ServerIdentity(const std::string& connect, std::string& identity);

// How often this process has waited for a server's answer: the round trips
// of every server connection, for measurements.
unsigned long ServerRoundTrips();

namespace pg {

// The column names of the answers read last: a connection's reads ask for
// the same few column lists again and again, and the rows of each share one.
class ColumnLists {
  public:
    std::shared_ptr<const std::vector<std::string>> Of(const PGresult* result);

  private:
    static constexpr std::size_t kKept = 8;
    std::vector<std::shared_ptr<const std::vector<std::string>>> recent_;
    std::size_t next_ = 0;  // the list to replace next
    std::size_t last_ = 0;  // the list found last
};

}  // namespace pg

class PgConnection final : public Connection {
  public:
    // Null, with the reason in error, when the server cannot be reached or
    // the database does not exist.
    static std::unique_ptr<Connection> Open(const std::string& connect, std::string& error);
    ~PgConnection() override;

    std::unique_ptr<Rows> Query(const Statement& statement) override;
    int ProbeTable(const Statement& wholeTable, std::shared_ptr<const TableShape>& shape) override;
    std::shared_ptr<const TableShape> KnownTable(const std::string& table) const override;
    bool Execute(const Statement& statement) override;
    bool ExecuteLater(const Statement& statement) override;
    std::unique_ptr<Rows> ListDatabase(const Statement& request) override;
    bool CreateDatabase(const std::string& name, const std::string& backupPath) override;
    bool InsertRow(const TableShape& table, const std::vector<int>& columns,
                   const std::vector<Value>& values) override;
    bool EndInserts() override;
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
    bool BeginReadTransaction() override;
    void EndReadTransaction() override;

  private:
    using Result = PgResult;

    // One statement of a round trip.
    struct Request {
        std::string sql;  // shaped: $1, $2... mark the parameters
        // The text where the connection keeps it for the statement's shape
        // (see EngineText); sql then stays empty.
        const std::string* shared = nullptr;
        std::vector<std::string> values;  // the parameters, in text form unless formats says
        // The parameters where a statement that outlives the round trip holds
        // them; values then stays empty.
        const std::vector<std::string>* borrowed = nullptr;
        std::vector<int> formats;  // per parameter: 0 text, 1 binary, kNullParameter; empty: text
        bool prepared = false;     // kept prepared on the connection under its text
        bool binaryResult = false;
        bool syncAfter = false;  // ends a segment: what follows runs whatever this did

        const std::vector<std::string>& Values() const { return borrowed ? *borrowed : values; }
        const std::string& Text() const { return shared ? *shared : sql; }
    };
    // The engine's text of a statement shape (its text with "?" markers),
    // made once: the dialect rewritten and the markers numbered.
    struct ShapeText {
        MarkerPositions markers;
        std::string sql;
    };
    // A statement of a write sent with the write's next round trip (see
    // ExecuteLater); context names it in a failure's reason.
    struct Queued {
        Request request;
        std::string context;
    };
    // What a round trip reads, in order: the answer to a request (its place),
    // to the statement of no request (kNoAnswer; a PREPARE names its text),
    // to the deferred BEGIN, or the end of a segment.
    static constexpr int kNoAnswer = -1;
    static constexpr int kSync = -2;
    static constexpr int kBeginAnswer = -3;
    static constexpr int kQueuedAnswer = -4;
    static constexpr int kLockAnswer = -5;
    // A parameter format that sends the parameter as NULL.
    static constexpr int kNullParameter = -1;
    struct Expect {
        int answer;
        const std::string* prepared;
    };
    // A statement kept prepared on the server.
    struct Prepared {
        std::string name;
        bool confirmed = false;  // the server accepted it
        std::uint64_t lastUse = 0;
    };
    // A binary COPY into a table, open while the rows of a save arrive.
    struct Copy {
        bool open = false;
        const TableShape* table = nullptr;
        std::vector<int> columns;
        std::string chunk;  // encoded rows not handed to the client library yet
    };

    PgConnection(ServerOptions options, std::chrono::seconds answerLimit, bool callerTimeout);
    // Connects (again) and sets the session up; false with LastError set.
    bool Connect();
    // Sends requests in pipeline mode, each with the statements that must go
    // before it (the deferred BEGIN), and reads every answer: one round trip.
    // answers[i] is the answer to requests[i], null when the server skipped
    // it after an earlier failure or the link failed (LastError says why).
    void RoundTrip(const std::vector<Request>& requests, std::vector<Result>& answers);
    void RoundTrip(const Request* requests, std::size_t count, Result* answers);
    bool Send(const Request& request, std::vector<Expect>& expected, int answer);
    // Whether the requests are one statement that needs nothing sent with it.
    bool StandsAlone(const Request* requests, std::size_t count) const;
    void BeginFailed(const std::string& begin);
    // The writers' queues sent with a round trip could not be taken: the
    // transaction begun after them is rolled back, and the write's scope
    // fails every write until it ends.
    void LockFailed(const std::string& lock, const std::vector<long long>& keys);
    // Checks the answers to the queued statements of a round trip: the first
    // failure fails the write, its reason noted.
    void CheckQueued(const std::vector<Result>& answers, const std::vector<Queued>& sent);
    // COMMIT, and the writers' queues let go, in one round trip.
    bool CommitAndUnlock();
    // Statements beyond the limit are deallocated with the next round trip.
    void TrimPrepared();
    bool Flush(std::chrono::steady_clock::time_point deadline);
    // Watches the socket of a new connection, and the timer that wakes its
    // waits (armed once).
    void PrepareWaiter();
    bool WaitForSocket(short events, std::chrono::steady_clock::time_point deadline);
    bool NextResult(Result& next, std::chrono::steady_clock::time_point& deadline);
    bool LinkBroke();
    // Reads the answer to one statement; the first failure, else the last result.
    bool ReadAnswer(Result& answer, std::chrono::steady_clock::time_point& deadline);
    bool ReadSync(std::chrono::steady_clock::time_point& deadline);
    // Reads the answers of the segments sent without waiting (a snapshot's COMMIT).
    bool ReadDeferred(std::chrono::steady_clock::time_point& deadline);
    bool Silence();
    bool AwaitSocket(short events, std::chrono::steady_clock::time_point& deadline);
    // Whether the server, asked on a connection of its own, is at work on
    // this connection's statement.
    bool ServerWorking() const;
    bool OutOfStep(const std::string& reason);
    // Closes a connection that can no longer be trusted to answer.
    void Abandon(const std::string& reason);
    // One statement of an operation, inside a write under a savepoint of its
    // own, so that a failure does not abort the whole transaction.
    Result Run(Request request);
    Result RunOne(Request request);
    // The request of a statement; its values are borrowed from the statement
    // unless the request is kept beyond the call (see ExecuteLater).
    enum class Parameters { Borrowed, Copied };
    Request StatementRequest(const Statement& statement, bool binaryResult,
                             Parameters parameters = Parameters::Borrowed);
    const std::string& EngineText(const Statement& statement);
    bool Succeeded(const Result& result);
    // Succeeded, for a statement of an operation: see StatementFailed.
    bool StatementSucceeded(const Result& result);
    // Whether statements may run: the connection is alive, its write scope
    // not broken, and inside a write the transaction begun (see EnsureBegun)
    // with the writers' queues of the tables named taken.
    bool Ready(const std::vector<std::string>& tables);
    bool EnsureBegun(const std::vector<std::string>& tables);
    static std::string LockStatement(const std::vector<long long>& keys);
    void ReleaseWriterLock();
    // The COPY of inserted rows.
    bool StartCopy(const TableShape& table, const std::vector<int>& columns);
    bool PutCopy(const char* data, std::size_t size);
    bool FinishCopy(const char* abandon);
    bool CopyCarries(const TableShape& table, const std::vector<int>& columns,
                     const std::vector<Value>& values) const;
    bool InsertByStatement(const TableShape& table, const std::vector<int>& columns,
                           const std::vector<Value>& values);
    // The insert statement of a row, its values as parameters: binary where
    // COPY's form carries them, else the text form the server converts.
    // False, with the reason set, for a value no statement stores.
    bool InsertRequest(const TableShape& table, const std::vector<int>& columns,
                       const std::vector<Value>& values, Request& request);

    ServerOptions options_;
    std::string description_;
    std::chrono::seconds answerLimit_;
    bool callerTimeout_ = false;
    PgConn handle_;
    Descriptor tick_;    // wakes a wait to look at its deadline (see WaitForSocket)
    Descriptor waiter_;  // watches the socket and the tick together
    int watchedSocket_ = -1;
    std::unordered_map<std::string, Prepared> prepared_;
    // The engine texts, by the statement's text with markers.
    std::unordered_map<std::string, ShapeText> shapes_;
    pg::ColumnLists columnLists_;
    std::vector<Expect> expectedSpare_;  // kept between round trips, so none allocates it
    std::chrono::steady_clock::time_point lastHeard_;  // the end of the last round trip
    std::vector<std::string> unprepare_;  // names to deallocate with the next round trip
    std::uint64_t uses_ = 0;
    std::map<std::string, std::shared_ptr<const TableShape>> tables_;
    std::string pendingBegin_;             // sent before the next statement
    int deferred_ = 0;                     // segments whose answers are still to be read
    bool inTransaction_ = false;           // a BEGIN went out, its end did not
    bool fresh_ = false;                   // no statement yet since an operation took it up
    bool beginPending_ = false;            // a write scope is open, its transaction not begun
    std::vector<long long> writerKeys_;    // the writers' queues this write holds
    std::vector<long long> pendingLocks_;  // queues to take before the deferred BEGIN
    std::vector<Queued> queued_;           // sent ahead of the next round trip's statements
    std::string queuedFailure_;            // the reason a queued statement failed
    Copy copy_;
};

}  // namespace strataloom::db
