#include "dbaccess/postgres/pgconnection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "dbaccess/dialect.h"
#include "dbaccess/failure.h"
#include "dbaccess/postgres/pgshared.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

using namespace pg;

namespace {

void IgnoreNotice(void*, const char*) {}

bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return true;
}

const char* OptionValue(const ServerOptions& options, const char* keyword) {
    for (const auto& [key, value] : options) {
        if (key == keyword) return value.c_str();
    }
    return nullptr;
}

void SetDefault(ServerOptions& options, const char* keyword, const std::string& value) {
    if (!OptionValue(options, keyword)) options.emplace_back(keyword, value);
}

// "database D on H:P", from what the options name.
std::string DescribeDatabase(const ServerOptions& options) {
    const char* database = OptionValue(options, "dbname");
    const char* user = OptionValue(options, "user");
    const char* host = OptionValue(options, "host");
    const char* port = OptionValue(options, "port");
    std::string text = "database ";
    text += database ? database : (user ? user : "(default)");
    text += " on ";
    text += host ? host : "the local server";
    if (port) text += std::string(":") + port;
    return text;
}

// A statement refused for its own text (syntax, a table or column that does
// not exist) may be passed over; lacking the right to write may not.
bool RefusedForItsText(const char* state) {
    return state && std::strncmp(state, "42", 2) == 0 && std::strcmp(state, "42501") != 0;
}

bool LostRaceState(const char* state) {
    // Serialisation refused, deadlock, or the writers' queue not reached in time.
    return state && (std::strcmp(state, "40001") == 0 || std::strcmp(state, "40P01") == 0 ||
                     std::strcmp(state, "55P03") == 0);
}

// The key of the writers' queue of a table, in the advisory locks of the
// database: a hash of the table's name under the module's own prefix.
long long WriterKey(const std::string& table) {
    unsigned long long hash = 1469598103934665603ull;
    for (char c : "strataloom:" + LowerAscii(table)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return static_cast<long long>(hash >> 1);
}

// Connects to another database of the same server.
PgConn ConnectToDatabase(ServerOptions options, const std::string& database) {
    for (auto& [key, value] : options) {
        if (key == "dbname") value = database;
    }
    SetDefault(options, "dbname", database);
    PgConn connection(ConnectWith(options));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) return nullptr;
    PQsetNoticeProcessor(connection.get(), &IgnoreNotice, nullptr);
    return connection;
}

std::atomic<unsigned long> g_roundTrips{0};

}  // namespace

namespace pg {

// Connects with the options as libpq's keyword and value lists.
PGconn* ConnectWith(const ServerOptions& options) {
    std::vector<const char*> keywords, values;
    for (const auto& [key, value] : options) {
        keywords.push_back(key.c_str());
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(keywords.data(), values.data(), 0);
}

// The server's own words, and its code for them.
std::string ServerMessage(const PGresult* result) {
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    std::string text = primary ? primary : PQresultErrorMessage(result);
    if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) {
        text += std::string(": ") + detail;
    }
    if (state) text += std::string(" (SQLSTATE ") + state + ")";
    return text;
}

void CountRoundTrip() {
    g_roundTrips.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace pg

unsigned long ServerRoundTrips() {
    return g_roundTrips.load(std::memory_order_relaxed);
}

bool ParsesAsServerOptions(const std::string& connect) {
    char* message = nullptr;
    PgConnInfo parsed(PQconninfoParse(connect.c_str(), &message));
    PQfreemem(message);
    return parsed != nullptr;
}

bool ServerIdentity(const std::string& connect, std::string& identity) {
    char* message = nullptr;
    PgConnInfo parsed(PQconninfoParse(connect.c_str(), &message));
    PQfreemem(message);
    if (!parsed) return false;
    // The library lists its options in one order of its own, whatever the spelling.
    for (PQconninfoOption* option = parsed.get(); option->keyword; ++option) {
        if (!option->val) continue;
        identity += option->keyword;
        identity += '=';
        identity += option->val;
        identity += '\n';
    }
    return true;
}

bool ServerConnectOptions(const std::string& connect, ServerOptions& options, std::string& error,
                          std::chrono::seconds* answerLimit, bool* callerTimeout) {
    char* message = nullptr;
    PgConnInfo parsed(PQconninfoParse(connect.c_str(), &message));
    if (!parsed) {
        error = message ? message : "the connection string cannot be read";
        PQfreemem(message);
        return false;
    }
    options.clear();
    for (PQconninfoOption* option = parsed.get(); option->keyword; ++option) {
        if (option->val && std::strcmp(option->keyword, "client_encoding") != 0) {
            options.emplace_back(option->keyword, option->val);
        }
    }
    // Statement text is built in UTF-8.
    options.emplace_back("client_encoding", "UTF8");
    // A server that takes the connection but never answers must not hold
    // the host: the caller's own timeout bounds every wait, else the
    // module's bound connecting and answering.
    const SessionLimits limits = Limits();
    const char* own = OptionValue(options, "connect_timeout");
    const int ownSeconds = own ? std::atoi(own) : 0;
    if (callerTimeout) *callerTimeout = ownSeconds > 0;
    if (answerLimit) {
        *answerLimit =
            ownSeconds > 0 ? std::chrono::seconds(std::max(ownSeconds, 2)) : limits.answerTimeout;
    }
    SetDefault(options, "connect_timeout", std::to_string(limits.connectTimeout.count()));
    // Over a network, a link that died is noticed by the system within
    // seconds instead of minutes (Unix sockets ignore these).
    SetDefault(options, "keepalives_idle", "10");
    SetDefault(options, "keepalives_interval", "5");
    SetDefault(options, "keepalives_count", "3");
    SetDefault(options, "tcp_user_timeout", "10000");
    return true;
}

std::unique_ptr<Connection> PgConnection::Open(const std::string& connect, std::string& error) {
    ServerOptions options;
    std::chrono::seconds answerLimit{0};
    bool callerTimeout = false;
    if (!ServerConnectOptions(connect, options, error, &answerLimit, &callerTimeout)) {
        error = FailureText(error, "server connection string");
        return nullptr;
    }
    std::unique_ptr<PgConnection> connection(
        new PgConnection(std::move(options), answerLimit, callerTimeout));
    if (!connection->Connect()) {
        error = FailureText(connection->LastError(), connection->Describe());
        return nullptr;
    }
    return connection;
}

PgConnection::PgConnection(ServerOptions options, std::chrono::seconds answerLimit,
                           bool callerTimeout)
    : options_(std::move(options)),
      description_(DescribeDatabase(options_)),
      answerLimit_(answerLimit),
      callerTimeout_(callerTimeout) {}

PgConnection::~PgConnection() {
    if (copy_.open) FinishCopy("the connection closed");
    ReleaseWriterLock();
}

bool PgConnection::Connect() {
    prepared_.clear();
    unprepare_.clear();
    tables_.clear();
    pendingBegin_.clear();
    pendingLocks_.clear();
    queued_.clear();
    queuedFailure_.clear();
    deferred_ = 0;
    inTransaction_ = false;
    copy_ = Copy();
    fresh_ = false;
    handle_.reset(ConnectWith(options_));
    if (!handle_ || PQstatus(handle_.get()) != CONNECTION_OK) {
        SetError(handle_ ? PQerrorMessage(handle_.get()) : "out of memory");
        handle_.reset();
        return false;
    }
    PQsetNoticeProcessor(handle_.get(), &IgnoreNotice, nullptr);
    // Every wait for the server goes through RoundTrip, which bounds it.
    PQsetnonblocking(handle_.get(), 1);
    PrepareWaiter();
    // Quotes are doubled in every literal the module builds; a backslash must
    // stay a plain character whatever the server, database, role or
    // connection string set, or it could end a literal early. A caller who
    // set a timeout of their own has lock waits bounded by it too; otherwise
    // a wait for a lock another session holds lasts as long as that session
    // works (see AwaitSocket).
    std::vector<Request> setup(2);
    setup[0].sql = "SET standard_conforming_strings = on";
    if (callerTimeout_) {
        const long long lockWait = std::max<long long>(
            1000, std::chrono::duration_cast<std::chrono::milliseconds>(answerLimit_).count() / 2);
        setup[1].sql = "SET lock_timeout = " + std::to_string(lockWait);
    } else {
        setup[1].sql = "SET lock_timeout = 0";
    }
    std::vector<Result> answers;
    RoundTrip(setup, answers);
    if (!handle_ || !Succeeded(answers[0]) || !Succeeded(answers[1])) {
        handle_.reset();
        return false;
    }
    const char* conforming = PQparameterStatus(handle_.get(), "standard_conforming_strings");
    if (!conforming || std::strcmp(conforming, "on") != 0) {
        SetError("the server keeps backslashes as escapes in quoted text");
        handle_.reset();
        return false;
    }
    return true;
}

bool PgConnection::Revive() {
    if (!handle_ || PQstatus(handle_.get()) != CONNECTION_OK) return false;
    // A connection idle for a while is looked at first: what the server said
    // meanwhile is read, and a restart's farewell or a closed socket shows
    // here, before any statement. One that answered moments ago is taken up
    // without that read: a break since fails the operation's first round
    // trip, which then runs again on a new connection (see RoundTrip).
    if (CoarseNow() - lastHeard_ >= QuietRevive() &&
        (PQconsumeInput(handle_.get()) == 0 || PQstatus(handle_.get()) != CONNECTION_OK)) {
        return false;
    }
    fresh_ = true;
    return true;
}

std::size_t PgConnection::LargestValue() const {
    return kLargestServerValue;
}

bool PgConnection::Succeeded(const Result& result) {
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
    if (!result) {
        // Skipped after an earlier failure, or the link failed: LastError says why.
        if (LastError().empty()) SetError("the statement did not run");
        return false;
    }
    SetError(ServerMessage(result.get()));
    const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
    if (LostRaceState(state)) NoteLostRace();
    // A statement kept prepared whose table changed its columns is prepared anew.
    if (state && std::strcmp(state, "0A000") == 0) {
        for (auto& [text, prepared] : prepared_) unprepare_.push_back(prepared.name);
        prepared_.clear();
        tables_.clear();
    }
    return false;
}

bool PgConnection::StatementSucceeded(const Result& result) {
    if (Succeeded(result)) return true;
    const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    StatementFailed(!RefusedForItsText(state));
    return false;
}

// Statements of one shape differ in their values only: the rewrite of the
// dialect and the numbering of the markers are done once per shape. A shape
// whose markers stand elsewhere (a "?" inside a quoted literal is no marker)
// is rewritten on its own.
const std::string& PgConnection::EngineText(const Statement& statement) {
    // Enough for every statement a host repeats; a flood of one-off texts
    // (long in-lists) starts the cache afresh.
    constexpr std::size_t kKeptShapes = 512;
    auto found = shapes_.find(statement.Sql());
    if (found != shapes_.end() && found->second.markers == statement.Markers()) {
        return found->second.sql;
    }
    // The host's dialect is rewritten outside quoted text; markers are not quoted.
    ShapeText text{statement.Markers(), AdaptStatement(statement.NumberedSql())};
    if (found != shapes_.end()) {
        found->second = std::move(text);
        return found->second.sql;
    }
    if (shapes_.size() >= kKeptShapes) shapes_.clear();
    return shapes_.emplace(statement.Sql(), std::move(text)).first->second.sql;
}

PgConnection::Request PgConnection::StatementRequest(const Statement& statement, bool binaryResult,
                                                     Parameters parameters) {
    Request request;
    // A request kept beyond the call holds copies: the texts kept per shape
    // may be let go meanwhile.
    if (parameters == Parameters::Borrowed) {
        request.shared = &EngineText(statement);
        request.borrowed = &statement.Values();
    } else {
        request.sql = EngineText(statement);
        request.values = statement.Values();
    }
    request.prepared = request.Text().size() <= kLongestPrepared;
    request.binaryResult = binaryResult;
    return request;
}

PgConnection::Result PgConnection::RunOne(Request request) {
    Result answer;
    RoundTrip(&request, 1, &answer);
    return answer;
}

PgConnection::Result PgConnection::Run(Request request) {
    if (!InScope()) return RunOne(std::move(request));
    // SAVEPOINT, the statement, RELEASE: one round trip; a failure rolls
    // back to the savepoint in a second.
    Request requests[3];
    requests[0].sql = kSavepoint;
    requests[1] = std::move(request);
    requests[2].sql = kReleaseSavepoint;
    Result answers[3];
    RoundTrip(requests, 3, answers);
    Result result = std::move(answers[1]);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK && handle_ &&
        Succeeded(answers[0])) {
        const std::string error = LastError();
        std::vector<Request> undo(2);
        undo[0].sql = kRollbackToSavepoint;
        undo[1].sql = kReleaseSavepoint;
        std::vector<Result> ignored;
        RoundTrip(undo, ignored);
        SetError(error);
    }
    return result;
}

bool PgConnection::Control(const std::string& sql) {
    if (copy_.open) FinishCopy("the save was abandoned");
    Request request;
    request.sql = sql;
    Result result = RunOne(std::move(request));
    if (sql == "COMMIT" || sql == "ROLLBACK") inTransaction_ = false;
    if (!Succeeded(result)) return false;
    // A transaction the server had already aborted answers COMMIT with ROLLBACK.
    if (sql == "COMMIT" && std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0) {
        SetError("the server rolled the transaction back");
        return false;
    }
    return true;
}

// The snapshot's BEGIN goes out with its first statement, and its COMMIT
// without waiting: its answer is read with the next round trip. A read
// costs no round trip beyond its statements.
bool PgConnection::BeginReadTransaction() {
    if (!handle_) return false;
    pendingBegin_ = ReadBeginStatement();
    return true;
}

void PgConnection::EndReadTransaction() {
    if (!pendingBegin_.empty()) {
        pendingBegin_.clear();  // no statement ran: nothing began
        return;
    }
    if (!handle_ || !inTransaction_) return;
    inTransaction_ = false;
    PGconn* c = handle_.get();
    const bool sent =
        (PQpipelineStatus(c) == PQ_PIPELINE_ON || PQenterPipelineMode(c) == 1) &&
        PQsendQueryParams(c, "COMMIT", 0, nullptr, nullptr, nullptr, nullptr, 0) == 1 &&
        PQpipelineSync(c) == 1 && Flush(Clock::now() + answerLimit_);
    if (sent) {
        ++deferred_;
    } else if (handle_) {
        Abandon(PQerrorMessage(c));
    }
}

bool PgConnection::BeginWrite() {
    beginPending_ = true;
    return true;
}

// Writers of the same table queue on the table's advisory lock, taken outside
// the transaction before it begins: the transaction's snapshot then comes
// after the commit of the writer ahead, so the server has no cause to refuse
// it. A write's first statement (its table check) names every table the
// write touches; their locks are taken in one fixed order (by key), so that
// two writers of the same tables never hold one each. The BEGIN goes out
// with that statement, and the locks too, in a segment of their own before
// it: the whole start of a write costs one round trip. A table a later
// statement adds is queued on then, inside the transaction: should that ever
// cross another writer, the server refuses one of them and its operation
// starts over.
bool PgConnection::EnsureBegun(const std::vector<std::string>& tables) {
    const auto taken = [&](const std::vector<long long>& held, long long key) {
        return std::find(held.begin(), held.end(), key) != held.end();
    };
    std::vector<long long> keys;
    for (const std::string& table : tables) {
        const long long key = WriterKey(table);
        if (!taken(writerKeys_, key) && !taken(pendingLocks_, key) && !taken(keys, key)) {
            keys.push_back(key);
        }
    }
    // Until the BEGIN goes out, a table named meanwhile joins its locks.
    const bool beginning = beginPending_ || (!inTransaction_ && pendingBegin_ == BeginStatement());
    if (!beginning && (keys.empty() || !inTransaction_)) return true;
    beginPending_ = false;
    if (beginning) {
        pendingLocks_.insert(pendingLocks_.end(), keys.begin(), keys.end());
        std::sort(pendingLocks_.begin(), pendingLocks_.end());
        pendingBegin_ = BeginStatement();
        return true;
    }
    std::sort(keys.begin(), keys.end());
    const std::string lock = LockStatement(keys);
    if (RunControl(lock)) {
        writerKeys_.insert(writerKeys_.end(), keys.begin(), keys.end());
        return true;
    }
    Doom();
    return false;
}

std::string PgConnection::LockStatement(const std::vector<long long>& keys) {
    std::string lock = "SELECT ";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i) lock += ", ";
        lock += "pg_advisory_lock(" + std::to_string(keys[i]) + ")";
    }
    return lock;
}

void PgConnection::ReleaseWriterLock() {
    pendingLocks_.clear();
    if (writerKeys_.empty() || !handle_) return;
    writerKeys_.clear();
    // A lock that stays would stop every other writer: close the connection.
    Request unlock;
    unlock.sql = "SELECT pg_advisory_unlock_all()";
    if (!Succeeded(RunOne(std::move(unlock)))) Abandon(LastError());
}

bool PgConnection::FinishWrite(bool commit) {
    if (beginPending_) {
        beginPending_ = false;  // no statement ran: nothing to end
        return commit;
    }
    if (copy_.open) {
        FinishCopy("the save was abandoned");
        commit = false;
    }
    if (!commit) queued_.clear();
    // A connection given up took its transaction with it; its reason stands.
    if (!handle_) return false;
    if (!pendingBegin_.empty() && queued_.empty()) {
        pendingBegin_.clear();  // the BEGIN never went out
        ReleaseWriterLock();
        return commit;
    }
    if (commit && CommitAndUnlock()) return true;
    if (handle_ && inTransaction_) Control("ROLLBACK");
    ReleaseWriterLock();
    queuedFailure_.clear();
    return false;
}

// The statements still queued go first, in the COMMIT's segment: a failure
// among them leaves the COMMIT unrun and the transaction to roll back. The
// unlock has a segment of its own, so that it runs whatever the COMMIT did.
bool PgConnection::CommitAndUnlock() {
    const bool unlock = !writerKeys_.empty() || !pendingLocks_.empty();
    std::vector<Request> requests(unlock ? 2 : 1);
    requests[0].sql = "COMMIT";
    if (unlock) {
        requests[0].syncAfter = true;
        requests[1].sql = "SELECT pg_advisory_unlock_all()";
    }
    std::vector<Result> answers;
    RoundTrip(requests, answers);
    if (answers[0]) inTransaction_ = false;
    bool committed = Succeeded(answers[0]);
    // A transaction the server had already aborted answers COMMIT with ROLLBACK.
    if (committed && std::strcmp(PQcmdStatus(answers[0].get()), "COMMIT") != 0) {
        SetError("the server rolled the transaction back");
        committed = false;
    }
    if (unlock && answers[1] && PQresultStatus(answers[1].get()) == PGRES_TUPLES_OK) {
        writerKeys_.clear();
    }
    if (!committed) {
        NoteFailure(FailureText(LastError(), Describe(),
                                queuedFailure_.empty() ? "COMMIT" : queuedFailure_));
    }
    queuedFailure_.clear();
    return committed;
}

bool PgConnection::Ready(const std::vector<std::string>& tables) {
    if (!handle_) return false;  // LastError says why it was given up
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    if (copy_.open && !FinishCopy(nullptr)) return false;
    if (!InScope()) return true;
    return EnsureBegun(tables);
}

std::unique_ptr<Rows> PgConnection::Query(const Statement& statement) {
    if (!Ready(statement.Tables())) return nullptr;
    Result result = Run(StatementRequest(statement, true));
    if (!StatementSucceeded(result)) return nullptr;
    return ServerRows(std::move(result), columnLists_);
}

// The server keeps its list of databases in pg_database.
std::unique_ptr<Rows> PgConnection::ListDatabase(const Statement& request) {
    if (!Ready({})) return nullptr;
    if (request.Arguments().size() != 1) {
        SetError("a database list names one database");
        return nullptr;
    }
    const std::string& name = request.Arguments().front();
    Request list;
    list.sql = "SELECT datname AS name FROM pg_catalog.pg_database WHERE datname = $1";
    list.values.push_back(name);
    list.binaryResult = true;
    Result result = RunOne(std::move(list));
    if (!StatementSucceeded(result)) return nullptr;
    return ServerRows(std::move(result), columnLists_);
}

std::shared_ptr<const TableShape> PgConnection::KnownTable(const std::string& table) const {
    auto found = tables_.find(table);
    return found == tables_.end() ? nullptr : found->second;
}

int PgConnection::ProbeTable(const Statement& wholeTable,
                             std::shared_ptr<const TableShape>& shape) {
    const std::string& table = wholeTable.Text();
    if (!Ready(wholeTable.Tables())) return 2;
    const std::string name = QuoteIdentifier(LowerAscii(table));
    auto known = tables_.find(table);
    // The columns and their types once per connection; whether the table
    // holds a row every time. Both in one round trip.
    std::vector<Request> requests;
    if (InScope()) {
        requests.emplace_back();
        requests.back().sql = kSavepoint;
    }
    const std::size_t anyAt = requests.size();
    requests.emplace_back();
    requests.back().sql = "SELECT 1 FROM " + name + " LIMIT 1";
    requests.back().prepared = true;
    requests.back().binaryResult = true;
    const std::size_t shapeAt = requests.size();
    if (known == tables_.end()) {
        requests.emplace_back();
        requests.back().sql = "SELECT * FROM " + name + " LIMIT 0";
        requests.back().binaryResult = true;
    }
    if (InScope()) {
        requests.emplace_back();
        requests.back().sql = kReleaseSavepoint;
    }
    std::vector<Result> answers;
    RoundTrip(requests, answers);
    const bool found =
        Succeeded(answers[anyAt]) && (known != tables_.end() || Succeeded(answers[shapeAt]));
    if (!found) {
        const std::string error = LastError();
        const char* state =
            answers[anyAt] ? PQresultErrorField(answers[anyAt].get(), PG_DIAG_SQLSTATE) : nullptr;
        if (InScope() && handle_ && Succeeded(answers[0])) {
            std::vector<Request> undo(2);
            undo[0].sql = kRollbackToSavepoint;
            undo[1].sql = kReleaseSavepoint;
            std::vector<Result> ignored;
            RoundTrip(undo, ignored);
        }
        SetError(error);
        StatementFailed(!RefusedForItsText(state));
        return 2;
    }
    if (known == tables_.end()) {
        auto fresh = std::make_shared<TableShape>();
        fresh->name = table;
        const PGresult* columns = answers[shapeAt].get();
        for (int c = 0; c < PQnfields(columns); ++c) {
            fresh->columns.emplace_back(PQfname(columns, c));
            fresh->types.push_back(PQftype(columns, c));
        }
        known = tables_.emplace(table, std::move(fresh)).first;
    }
    shape = known->second;
    return PQntuples(answers[anyAt].get()) > 0 ? 0 : 1;
}

bool PgConnection::Execute(const Statement& statement) {
    if (!Ready(statement.Tables())) return false;
    return StatementSucceeded(Run(StatementRequest(statement, false)));
}

bool PgConnection::ExecuteLater(const Statement& statement) {
    if (!InScope()) return Execute(statement);
    if (!Ready(statement.Tables())) return false;
    queued_.push_back(
        Queued{StatementRequest(statement, false, Parameters::Copied), statement.Text()});
    return true;
}

// Creates the database and loads the backup script into it, as one
// transaction; a database that could not be loaded is dropped again.
bool PgConnection::CreateDatabase(const std::string& name, const std::string& backup) {
    if (!Ready({})) return false;
    if (!IsPlainIdentifier(name)) {
        SetError("not a database name: " + name);
        return false;
    }
    std::ifstream file(backup, std::ios::binary);
    std::stringstream script;
    script << file.rdbuf();
    if (!file || script.str().empty() || InScope()) {
        SetError("backup file cannot be read: " + backup);
        return false;
    }
    const std::string database = QuoteIdentifier(name);
    Request create;
    create.sql = "CREATE DATABASE " + database +
                 " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'";
    if (!Succeeded(RunOne(std::move(create)))) return false;
    bool loaded = false;
    if (auto target = ConnectToDatabase(options_, name)) {
        Result result(PQexec(target.get(), script.str().c_str()));
        loaded = PQresultStatus(result.get()) == PGRES_COMMAND_OK ||
                 PQresultStatus(result.get()) == PGRES_TUPLES_OK;
        if (!loaded) SetError(ServerMessage(result.get()));
    } else {
        SetError("the new database cannot be reached: " + name);
    }
    if (!loaded) {
        Request drop;
        drop.sql = "DROP DATABASE IF EXISTS " + database;
        RunOne(std::move(drop));
    }
    return loaded;
}

}  // namespace strataloom::db
