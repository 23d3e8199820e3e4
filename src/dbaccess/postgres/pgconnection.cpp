#include "dbaccess/postgres/pgconnection.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dbaccess/failure.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

// Type identifiers of the server's built-in types.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700,
};

using Clock = std::chrono::steady_clock;

// The largest bytea the server stores: 1 GiB less its length word.
constexpr std::size_t kLargestServerValue = 0x3fffffff - 4;

void IgnoreNotice(void*, const char*) {}

unsigned long long BigEndian(const char* bytes, int size) {
    unsigned long long value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

double NumericValue(const char* bytes, int size, bool& integral) {
    integral = true;
    if (size < 8) return 0.0;
    const auto digits = static_cast<int16_t>(BigEndian(bytes, 2));
    const auto weight = static_cast<int16_t>(BigEndian(bytes + 2, 2));
    const auto sign = static_cast<uint16_t>(BigEndian(bytes + 4, 2));
    const auto scale = static_cast<uint16_t>(BigEndian(bytes + 6, 2));
    if (sign == 0xC000) {
        integral = false;
        return std::nan("");
    }
    double value = 0.0;
    for (int i = 0; i < digits && 8 + 2 * i + 2 <= size; ++i) {
        const double digit = static_cast<double>(BigEndian(bytes + 8 + 2 * i, 2));
        value += digit * std::pow(10000.0, weight - i);
    }
    integral = scale == 0;
    return sign == 0x4000 ? -value : value;
}

void DecodeBinary(Oid type, const char* bytes, int size, ResultSet& out) {
    switch (type) {
        case kBool:
            out.AddInteger(size > 0 && bytes[0] != 0);
            return;
        case kBytea:
            out.AddBlob(ByteArray::Copy(bytes, static_cast<std::size_t>(size)));
            return;
        case kInt2:
            out.AddInteger(static_cast<int16_t>(BigEndian(bytes, 2)));
            return;
        case kInt4:
            out.AddInteger(static_cast<int32_t>(BigEndian(bytes, 4)));
            return;
        case kOid:
            out.AddInteger(static_cast<uint32_t>(BigEndian(bytes, 4)));
            return;
        case kInt8:
            out.AddInteger(static_cast<long long>(BigEndian(bytes, 8)));
            return;
        case kFloat4: {
            const auto bits = static_cast<uint32_t>(BigEndian(bytes, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            out.AddReal(value);
            return;
        }
        case kFloat8: {
            const unsigned long long bits = BigEndian(bytes, 8);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            out.AddReal(value);
            return;
        }
        case kNumeric: {
            bool integral = false;
            const double value = NumericValue(bytes, size, integral);
            if (integral && std::fabs(value) < 9e15) {
                out.AddInteger(static_cast<long long>(value));
            } else {
                out.AddReal(value);
            }
            return;
        }
        default:
            out.AddText(bytes, static_cast<std::size_t>(size));  // text and its kin
    }
}

bool ReadResult(PGresult* result, ResultSet& out) {
    out.Clear();
    const int columns = PQnfields(result);
    const int rows = PQntuples(result);
    out.columns.reserve(columns);
    for (int c = 0; c < columns; ++c) out.columns.emplace_back(PQfname(result, c));
    out.Reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c)) {
                out.AddNull();
            } else {
                DecodeBinary(PQftype(result, c), PQgetvalue(result, r, c),
                             PQgetlength(result, r, c), out);
            }
        }
    }
    return true;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return true;
}

// Reads the literal that starts after the opening quote at pos; pos moves past
// its closing quote. False when the literal does not end.
bool ReadLiteral(const std::string& sql, std::size_t& pos, std::string& literal) {
    literal.clear();
    while (pos < sql.size()) {
        if (sql[pos] == '\'') {
            if (pos + 1 < sql.size() && sql[pos + 1] == '\'') {
                literal += '\'';
                pos += 2;
                continue;
            }
            ++pos;
            return true;
        }
        literal += sql[pos++];
    }
    return false;
}

// Whether lowered sql continues at pos with prefix; pos moves past it.
bool Consume(const std::string& lowered, std::size_t& pos, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    if (lowered.compare(pos, n, prefix) != 0) return false;
    pos += n;
    return true;
}

// A number as the server reads it in text form, bit-exact for doubles.
std::string NumberText(const Cell& cell, Oid type) {
    const bool integerTarget = type == kInt2 || type == kInt4 || type == kInt8;
    if (cell.kind == Cell::Kind::Integer) return std::to_string(cell.integer);
    if (integerTarget && std::isfinite(cell.real)) {
        return std::to_string(static_cast<long long>(cell.real));
    }
    if (std::isnan(cell.real)) return "NaN";
    if (std::isinf(cell.real)) return cell.real > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", cell.real);
    return buffer;
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

// The table a statement works on: the word after the first "from", "into"
// or "update" outside quoted text; empty when there is none.
std::string FirstTable(const std::string& sql) {
    std::string previous;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const std::size_t end = sql.find(c, i + 1);
            if (end == std::string::npos) return std::string();
            i = end + 1;
            previous.clear();
            continue;
        }
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < sql.size() &&
               (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_')) {
            ++end;
        }
        std::string word = LowerAscii(sql.substr(i, end - i));
        if (previous == "from" || previous == "into" || previous == "update") return word;
        previous = std::move(word);
        i = end;
    }
    return std::string();
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
    std::vector<const char*> keywords, values;
    for (const auto& [key, value] : options) {
        keywords.push_back(key.c_str());
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    PgConn connection(PQconnectdbParams(keywords.data(), values.data(), 0));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) return nullptr;
    PQsetNoticeProcessor(connection.get(), &IgnoreNotice, nullptr);
    return connection;
}

}  // namespace

bool ServerConnectOptions(const std::string& connect, ServerOptions& options, std::string& error,
                          std::chrono::seconds* answerLimit) {
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
    if (!ServerConnectOptions(connect, options, error, &answerLimit)) {
        error = FailureText(error, "server connection string");
        return nullptr;
    }
    std::unique_ptr<PgConnection> connection(new PgConnection(std::move(options), answerLimit));
    if (!connection->Connect()) {
        error = FailureText(connection->LastError(), connection->Describe());
        return nullptr;
    }
    return connection;
}

PgConnection::PgConnection(ServerOptions options, std::chrono::seconds answerLimit)
    : options_(std::move(options)),
      description_(DescribeDatabase(options_)),
      answerLimit_(answerLimit) {}

PgConnection::~PgConnection() {
    ReleaseWriterLock();
}

bool PgConnection::Connect() {
    prepared_.clear();
    savepoints_ = 0;
    std::vector<const char*> keywords, values;
    for (const auto& [key, value] : options_) {
        keywords.push_back(key.c_str());
        values.push_back(value.c_str());
    }
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    handle_.reset(PQconnectdbParams(keywords.data(), values.data(), 0));
    if (!handle_ || PQstatus(handle_.get()) != CONNECTION_OK) {
        SetError(handle_ ? PQerrorMessage(handle_.get()) : "out of memory");
        handle_.reset();
        return false;
    }
    PQsetNoticeProcessor(handle_.get(), &IgnoreNotice, nullptr);
    // Every wait for the server goes through Await, which bounds it.
    PQsetnonblocking(handle_.get(), 1);
    // Quotes are doubled in every literal the module builds; a backslash must
    // stay a plain character whatever the server, database, role or
    // connection string set, or it could end a literal early. Waiting for
    // the writers' queue gives up before the wait for an answer does.
    const long long lockWait = std::max<long long>(
        1000, std::chrono::duration_cast<std::chrono::milliseconds>(answerLimit_).count() / 2);
    const std::string setup =
        "SET standard_conforming_strings = on; SET lock_timeout = " + std::to_string(lockWait);
    if (!Succeeded(Exchange([&](PGconn* c) { return PQsendQuery(c, setup.c_str()); }))) {
        handle_.reset();
        return false;
    }
    const char* conforming =
        handle_ ? PQparameterStatus(handle_.get(), "standard_conforming_strings") : nullptr;
    if (!conforming || std::strcmp(conforming, "on") != 0) {
        SetError("the server keeps backslashes as escapes in quoted text");
        handle_.reset();
        return false;
    }
    return true;
}

template <class Send>
PgConnection::Result PgConnection::Exchange(Send&& send) {
    const bool first = fresh_;
    fresh_ = false;
    for (int attempt = 0;; ++attempt) {
        if (!handle_) return nullptr;
        const bool noTransaction = PQtransactionStatus(handle_.get()) == PQTRANS_IDLE;
        Result result;
        if (send(handle_.get()) == 1) {
            result = Await();
        } else {
            SetError(PQerrorMessage(handle_.get()));
        }
        // A kept connection that broke while idle fails the first request of
        // the next operation: nothing of the operation has run yet, so it
        // runs on a new connection instead.
        const bool broken = handle_ && PQstatus(handle_.get()) == CONNECTION_BAD;
        if (broken && first && attempt == 0 && noTransaction) {
            if (!Connect()) return nullptr;
            continue;
        }
        if (broken) Abandon(LastError());
        return result;
    }
}

bool PgConnection::WaitForSocket(short events, Clock::time_point deadline) {
    pollfd watched{PQsocket(handle_.get()), events, 0};
    if (watched.fd < 0) return true;  // the next read reports the failure
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        const int ready = ::poll(&watched, 1, static_cast<int>(std::min<long long>(left, 1000)));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return true;  // the next read reports the failure
    }
}

PgConnection::Result PgConnection::Await() {
    PGconn* c = handle_.get();
    const auto silence = [&] {
        Abandon("no answer from the server for " + std::to_string(answerLimit_.count()) + " s");
        return Result();
    };
    auto deadline = Clock::now() + answerLimit_;
    for (;;) {
        const int flushed = PQflush(c);
        if (flushed == 0) break;
        if (flushed < 0) {
            SetError(PQerrorMessage(c));
            return nullptr;
        }
        if (!WaitForSocket(POLLOUT | POLLIN, deadline)) return silence();
        if (PQconsumeInput(c) == 0) {
            SetError(PQerrorMessage(c));
            return nullptr;
        }
        deadline = Clock::now() + answerLimit_;
    }
    // The first failure is the answer; else the last result.
    Result answer;
    for (;;) {
        while (PQisBusy(c)) {
            if (!WaitForSocket(POLLIN, deadline)) return silence();
            if (PQconsumeInput(c) == 0) {
                SetError(PQerrorMessage(c));
                return nullptr;
            }
            deadline = Clock::now() + answerLimit_;
        }
        Result next(PQgetResult(c));
        if (!next) break;
        const ExecStatusType status = answer ? PQresultStatus(answer.get()) : PGRES_COMMAND_OK;
        if (!answer || status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
            answer = std::move(next);
        }
    }
    if (!answer) SetError(PQerrorMessage(c));
    return answer;
}

void PgConnection::Abandon(const std::string& reason) {
    SetError(reason);
    // The server drops the session, its transaction and its locks with it.
    handle_.reset();
    holdsWriterLock_ = false;
}

bool PgConnection::Revive() {
    if (!handle_) return false;
    // Reads what the server said while the connection was idle: a restart's
    // farewell or a closed socket shows here, before any statement.
    if (PQconsumeInput(handle_.get()) == 0 || PQstatus(handle_.get()) != CONNECTION_OK) {
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
    if (!result) return false;  // Exchange said why
    SetError(ServerMessage(result.get()));
    if (LostRaceState(PQresultErrorField(result.get(), PG_DIAG_SQLSTATE))) NoteLostRace();
    return false;
}

bool PgConnection::StatementSucceeded(const Result& result) {
    if (Succeeded(result)) return true;
    const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    StatementFailed(!RefusedForItsText(state));
    return false;
}

PgConnection::Result PgConnection::RunOnce(const std::string& sql, bool binaryResult) {
    return Exchange([&](PGconn* c) {
        return PQsendQueryParams(c, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                                 binaryResult ? 1 : 0);
    });
}

PgConnection::Result PgConnection::Run(const std::string& sql, bool binaryResult) {
    if (!InScope()) return RunOnce(sql, binaryResult);
    const std::string savepoint = "strataloom_stmt" + std::to_string(++savepoints_);
    RunOnce("SAVEPOINT " + savepoint, false);
    Result result = RunOnce(sql, binaryResult);
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        RunOnce("RELEASE SAVEPOINT " + savepoint, false);
    } else if (handle_) {
        RunOnce("ROLLBACK TO SAVEPOINT " + savepoint, false);
        RunOnce("RELEASE SAVEPOINT " + savepoint, false);
    }
    --savepoints_;
    return result;
}

bool PgConnection::Control(const std::string& sql) {
    Result result = RunOnce(sql, false);
    if (!Succeeded(result)) return false;
    // A transaction the server had already aborted answers COMMIT with ROLLBACK.
    if (sql == "COMMIT" && std::strcmp(PQcmdStatus(result.get()), "COMMIT") != 0) {
        SetError("the server rolled the transaction back");
        return false;
    }
    return true;
}

bool PgConnection::BeginWrite() {
    beginPending_ = true;
    return true;
}

// Writers of the same table queue on the table's advisory lock, taken outside
// the transaction before it begins: the transaction's snapshot then comes
// after the commit of the writer ahead, so the server has no cause to refuse
// it. The lock waits for a statement that names its table; a write's first
// statement is its table check.
bool PgConnection::EnsureBegun(const std::string& table) {
    if (!beginPending_) return true;
    beginPending_ = false;
    const std::string lock = "SELECT pg_advisory_lock(" + std::to_string(WriterKey(table)) + ")";
    bool begun = false;
    if (RunControl(lock)) {
        holdsWriterLock_ = true;
        begun = RunControl(BeginStatement());
    }
    if (begun) return true;
    ReleaseWriterLock();
    BreakScope();
    return false;
}

void PgConnection::ReleaseWriterLock() {
    if (!holdsWriterLock_ || !handle_) return;
    holdsWriterLock_ = false;
    // A lock that stays would stop every other writer: close the connection.
    if (!Succeeded(RunOnce("SELECT pg_advisory_unlock_all()", false))) Abandon(LastError());
}

bool PgConnection::FinishWrite(bool commit) {
    if (beginPending_) {
        beginPending_ = false;  // no statement ran: nothing to end
        return commit;
    }
    // A connection given up took its transaction with it; its reason stands.
    if (!handle_) return false;
    bool committed = commit && RunControl("COMMIT");
    if (!committed && handle_) Control("ROLLBACK");
    ReleaseWriterLock();
    return committed;
}

bool PgConnection::Ready(const std::string& text, TextIs what) {
    if (!handle_) return false;  // LastError says why it was given up
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    if (!beginPending_) return true;
    return EnsureBegun(what == TextIs::Table ? text : FirstTable(text));
}

bool PgConnection::Query(const std::string& sql, ResultSet& out) {
    out.Clear();
    if (!Ready(sql, TextIs::Statement)) return false;
    bool handled = false;
    const bool listed = AnswerDatabaseList(sql, out, handled);
    if (handled) return listed;
    Result result = Run(sql, true);
    if (!StatementSucceeded(result)) {
        out.Clear();
        return false;
    }
    return ReadResult(result.get(), out);
}

// "select * from sysdatabases where name='N'" asks whether database N exists;
// the server keeps that list in pg_database.
bool PgConnection::AnswerDatabaseList(const std::string& sql, ResultSet& out, bool& handled) {
    const std::string lowered = LowerAscii(sql);
    std::size_t pos = 0;
    if (!Consume(lowered, pos, "select * from sysdatabases where name='")) return false;
    std::string name;
    if (!ReadLiteral(sql, pos, name) || pos != sql.size()) return false;
    handled = true;
    const char* values[] = {name.c_str()};
    Result result = Exchange([&](PGconn* c) {
        return PQsendQueryParams(c,
                                 "SELECT datname AS name FROM pg_catalog.pg_database "
                                 "WHERE datname = $1",
                                 1, nullptr, values, nullptr, nullptr, 1);
    });
    if (!StatementSucceeded(result)) return false;
    return ReadResult(result.get(), out);
}

int PgConnection::ProbeTable(const std::string& table, std::vector<std::string>& columns) {
    if (!Ready(table, TextIs::Table)) return 2;
    const std::string name = QuoteIdentifier(LowerAscii(table));
    Result shape = Run("SELECT * FROM " + name + " LIMIT 0", true);
    if (!StatementSucceeded(shape)) return 2;
    columns.clear();
    for (int c = 0; c < PQnfields(shape.get()); ++c) columns.emplace_back(PQfname(shape.get(), c));
    Result any = Run("SELECT 1 FROM " + name + " LIMIT 1", true);
    if (!StatementSucceeded(any)) return 2;
    return PQntuples(any.get()) > 0 ? 0 : 1;
}

bool PgConnection::Execute(const std::string& sql) {
    if (!Ready(sql, TextIs::Statement)) return false;
    bool handled = false;
    const bool restored = RestoreDatabase(sql, handled);
    if (handled) return restored;
    return StatementSucceeded(Run(sql, false));
}

// "RESTORE FILELISTONLY FROM DISK = 'B' RESTORE DATABASE N FROM DISK = 'B'
// WITH MOVE ..." creates database N and loads the backup script B into it, as
// one transaction; the placement of data files means nothing on this engine.
bool PgConnection::RestoreDatabase(const std::string& sql, bool& handled) {
    const std::string lowered = LowerAscii(sql);
    std::size_t pos = 0;
    if (!Consume(lowered, pos, "restore filelistonly from disk = '")) return false;
    handled = true;
    std::string backup, again;
    if (!ReadLiteral(sql, pos, backup) || !Consume(lowered, pos, " restore database ")) {
        SetError("malformed restore statement");
        return false;
    }
    const std::size_t nameEnd = sql.find(' ', pos);
    if (nameEnd == std::string::npos) {
        SetError("malformed restore statement");
        return false;
    }
    const std::string name = sql.substr(pos, nameEnd - pos);
    pos = nameEnd;
    if (!IsPlainIdentifier(name) || !Consume(lowered, pos, " from disk = '") ||
        !ReadLiteral(sql, pos, again) || !Consume(lowered, pos, " with move ")) {
        SetError("malformed restore statement");
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
    if (!Succeeded(RunOnce("CREATE DATABASE " + database +
                               " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'",
                           false))) {
        return false;
    }
    bool loaded = false;
    if (auto target = ConnectToDatabase(options_, name)) {
        Result result(PQexec(target.get(), script.str().c_str()));
        loaded = PQresultStatus(result.get()) == PGRES_COMMAND_OK ||
                 PQresultStatus(result.get()) == PGRES_TUPLES_OK;
        if (!loaded) SetError(ServerMessage(result.get()));
    } else {
        SetError("the new database cannot be reached: " + name);
    }
    if (!loaded) RunOnce("DROP DATABASE IF EXISTS " + database, false);
    return loaded;
}

const PgConnection::Prepared* PgConnection::PrepareInsert(const std::string& sql) {
    auto found = prepared_.find(sql);
    if (found != prepared_.end()) return &found->second;
    Prepared prepared;
    prepared.name = "strataloom_insert" + std::to_string(prepared_.size() + 1);
    const char* name = prepared.name.c_str();
    if (!Succeeded(
            Exchange([&](PGconn* c) { return PQsendPrepare(c, name, sql.c_str(), 0, nullptr); }))) {
        return nullptr;
    }
    Result description = Exchange([&](PGconn* c) { return PQsendDescribePrepared(c, name); });
    if (!Succeeded(description)) return nullptr;
    for (int p = 0; p < PQnparams(description.get()); ++p) {
        prepared.parameterTypes.push_back(PQparamtype(description.get(), p));
    }
    return &prepared_.emplace(sql, std::move(prepared)).first->second;
}

bool PgConnection::Insert(const std::string& table, const std::vector<std::string>& columns,
                          const std::vector<const std::vector<Cell>*>& rows) {
    if (!Ready(table, TextIs::Table)) return false;
    std::string sql = "INSERT INTO " + QuoteIdentifier(LowerAscii(table));
    if (columns.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string values;
        sql += " (";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c) {
                sql += ',';
                values += ',';
            }
            sql += QuoteIdentifier(columns[c]);
            values += '$' + std::to_string(c + 1);
        }
        sql += ") VALUES (" + values + ")";
    }
    const Prepared* prepared = PrepareInsert(sql);
    if (!prepared) {
        StatementFailed(true);
        return false;
    }
    const std::size_t count = prepared->parameterTypes.size();
    std::vector<const char*> values(count);
    std::vector<int> lengths(count), formats(count);
    std::vector<std::string> texts(count);
    for (const std::vector<Cell>* row : rows) {
        for (std::size_t p = 0; p < count && p < row->size(); ++p) {
            const Cell& cell = (*row)[p];
            const Oid type = prepared->parameterTypes[p];
            formats[p] = 0;
            if (cell.kind == Cell::Kind::Null) {
                values[p] = nullptr;
            } else if (cell.kind == Cell::Kind::Blob && type == kBytea) {
                // Byte arrays travel in binary form: no text encoding either way.
                values[p] = cell.blob->Data();
                lengths[p] = static_cast<int>(cell.blob->size);
                formats[p] = 1;
            } else if (cell.kind == Cell::Kind::Text && type == kBytea) {
                values[p] = cell.text.data();
                lengths[p] = static_cast<int>(cell.text.size());
                formats[p] = 1;
            } else if (cell.kind == Cell::Kind::Blob || cell.kind == Cell::Kind::Text) {
                if (cell.kind == Cell::Kind::Blob) {
                    texts[p].assign(cell.blob->Data(), cell.blob->size);
                }
                const std::string& text = cell.kind == Cell::Kind::Text ? cell.text : texts[p];
                if (text.find('\0') != std::string::npos) {
                    SetError("text holds a zero byte");
                    StatementFailed(true);
                    return false;
                }
                values[p] = text.c_str();
            } else {
                texts[p] = NumberText(cell, type);
                values[p] = texts[p].c_str();
            }
        }
        const char* name = prepared->name.c_str();
        Result result = Exchange([&](PGconn* c) {
            return PQsendQueryPrepared(c, name, static_cast<int>(count), values.data(),
                                       lengths.data(), formats.data(), 0);
        });
        if (!StatementSucceeded(result)) return false;
    }
    return true;
}

}  // namespace strataloom::db
