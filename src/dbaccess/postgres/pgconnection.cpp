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
    kText = 25,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kNumeric = 1700,
};

using Clock = std::chrono::steady_clock;

// The largest bytea the server stores: 1 GiB less its length word.
constexpr std::size_t kLargestServerValue = 0x3fffffff - 4;

// Statements kept prepared per connection; the one used least recently goes
// first. Longer texts (long in-lists) run as they stand.
constexpr std::size_t kPreparedLimit = 128;
constexpr std::size_t kLongestPrepared = 2000;

// The savepoint every statement of a write runs under.
const char kSavepoint[] = "SAVEPOINT strataloom_stmt";
const char kReleaseSavepoint[] = "RELEASE SAVEPOINT strataloom_stmt";
const char kRollbackToSavepoint[] = "ROLLBACK TO SAVEPOINT strataloom_stmt";

// Rows of a COPY are handed to the client library in pieces of about this size.
constexpr std::size_t kCopyChunk = 256 * 1024;

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

// A value of a binary result as the session reads it; text and bytes point
// into the result.
Value DecodeBinary(Oid type, const char* bytes, int size) {
    switch (type) {
        case kBool:
            return Value::Integer(size > 0 && bytes[0] != 0);
        case kBytea:
            return Value::Bytes(ValueKind::Blob, bytes, static_cast<std::size_t>(size));
        case kInt2:
            return Value::Integer(static_cast<int16_t>(BigEndian(bytes, 2)));
        case kInt4:
            return Value::Integer(static_cast<int32_t>(BigEndian(bytes, 4)));
        case kOid:
            return Value::Integer(static_cast<uint32_t>(BigEndian(bytes, 4)));
        case kInt8:
            return Value::Integer(static_cast<long long>(BigEndian(bytes, 8)));
        case kFloat4: {
            const auto bits = static_cast<uint32_t>(BigEndian(bytes, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return Value::Real(value);
        }
        case kFloat8: {
            const unsigned long long bits = BigEndian(bytes, 8);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return Value::Real(value);
        }
        case kNumeric: {
            bool integral = false;
            const double value = NumericValue(bytes, size, integral);
            if (integral && std::fabs(value) < 9e15) {
                return Value::Integer(static_cast<long long>(value));
            }
            return Value::Real(value);
        }
        default:  // text and its kin
            return Value::Bytes(ValueKind::Text, bytes, static_cast<std::size_t>(size));
    }
}

// The rows of a server's answer, read where the client library holds them.
class PgRows final : public Rows {
  public:
    explicit PgRows(PgResult result) : result_(std::move(result)) {
        auto names = std::make_shared<std::vector<std::string>>();
        const int columns = PQnfields(result_.get());
        names->reserve(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c) names->emplace_back(PQfname(result_.get(), c));
        columns_ = std::move(names);
        rows_ = PQntuples(result_.get());
    }
    bool Next() override {
        if (row_ < rows_) ++row_;
        return row_ < rows_;
    }
    Value At(std::size_t column) const override {
        const int c = static_cast<int>(column);
        if (row_ < 0 || row_ >= rows_ || PQgetisnull(result_.get(), row_, c)) return Value();
        return DecodeBinary(PQftype(result_.get(), c), PQgetvalue(result_.get(), row_, c),
                            PQgetlength(result_.get(), row_, c));
    }
    std::size_t Count() override { return static_cast<std::size_t>(rows_); }

  private:
    PgResult result_;
    int rows_ = 0;
    int row_ = -1;
};

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

// A number as the server reads it in text form, bit-exact for doubles.
std::string NumberText(const Value& value, Oid type) {
    const bool integerTarget = type == kInt2 || type == kInt4 || type == kInt8;
    if (value.kind == ValueKind::Integer) return std::to_string(value.integer);
    if (integerTarget && std::isfinite(value.real)) {
        return std::to_string(static_cast<long long>(value.real));
    }
    if (std::isnan(value.real)) return "NaN";
    if (std::isinf(value.real)) return value.real > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value.real);
    return buffer;
}

void PutBigEndian(std::string& out, unsigned long long value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

// A whole number for an integer column of size bytes, as the text form
// would give it (a real cut toward zero); false when it does not fit.
bool IntegerFor(const Value& value, int size, long long& whole) {
    if (value.kind == ValueKind::Integer) {
        whole = value.integer;
    } else if (std::isfinite(value.real) && std::fabs(value.real) < 9.2e18) {
        whole = static_cast<long long>(value.real);
    } else {
        return false;
    }
    const long long limit = size == 8 ? 0 : (1LL << (8 * size - 1));
    return size == 8 || (whole >= -limit && whole < limit);
}

// Whether COPY's binary form carries a value for a column of type type as
// it is (a text for a number column does not: such a row goes through an
// insert statement, whose text form the server converts as it always did).
bool CopyForm(const Value& value, Oid type) {
    const bool number = value.kind == ValueKind::Integer || value.kind == ValueKind::Real;
    switch (value.kind == ValueKind::Null ? 0u : type) {
        case 0:
            return true;
        case kText:
        case kVarchar:
        case kBpchar:
            return value.kind == ValueKind::Text;
        case kBytea:
            return (value.kind == ValueKind::Text || value.kind == ValueKind::Blob) &&
                   value.size <= 0x7fffffffu;
        case kFloat8:
        case kFloat4:
            return number;
        case kInt2:
        case kInt4:
        case kInt8: {
            long long whole = 0;
            return number && IntegerFor(value, type == kInt2 ? 2 : type == kInt4 ? 4 : 8, whole);
        }
        default:
            return false;
    }
}

// Appends a value CopyForm accepted in the binary form of COPY: its length,
// then for numbers their bytes. True when the value's own bytes must follow.
bool EncodeCopyValue(const Value& value, Oid type, std::string& out) {
    if (value.kind == ValueKind::Null) {
        PutBigEndian(out, 0xffffffffu, 4);
        return false;
    }
    const double real =
        value.kind == ValueKind::Integer ? static_cast<double>(value.integer) : value.real;
    switch (type) {
        case kFloat8: {
            unsigned long long bits;
            std::memcpy(&bits, &real, sizeof bits);
            PutBigEndian(out, 8, 4);
            PutBigEndian(out, bits, 8);
            return false;
        }
        case kFloat4: {
            const auto single = static_cast<float>(real);
            std::uint32_t bits;
            std::memcpy(&bits, &single, sizeof bits);
            PutBigEndian(out, 4, 4);
            PutBigEndian(out, bits, 4);
            return false;
        }
        case kInt2:
        case kInt4:
        case kInt8: {
            const int size = type == kInt2 ? 2 : type == kInt4 ? 4 : 8;
            long long whole = 0;
            IntegerFor(value, size, whole);
            PutBigEndian(out, static_cast<unsigned long long>(size), 4);
            PutBigEndian(out, static_cast<unsigned long long>(whole), size);
            return false;
        }
        default:
            PutBigEndian(out, value.size, 4);
            return true;
    }
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

bool PgConnection::Silence() {
    Abandon("no answer from the server for " + std::to_string(answerLimit_.count()) + " s");
    return false;
}

// Waits for the socket. A server silent for the answer limit is asked on a
// connection of its own whether it is still at work on this connection's
// statement (running it, or waiting for a lock another session holds): then
// the wait goes on; a server that does not answer that either is given up.
// A timeout the caller's connection string sets is kept to the letter.
bool PgConnection::AwaitSocket(short events, Clock::time_point& deadline) {
    for (;;) {
        if (WaitForSocket(events, deadline)) return true;
        if (!handle_ || PQstatus(handle_.get()) != CONNECTION_OK) return Silence();
        if (callerTimeout_ || !ServerWorking()) return Silence();
        deadline = Clock::now() + answerLimit_;
    }
}

bool PgConnection::ServerWorking() const {
    const int backend = PQbackendPID(handle_.get());
    if (backend <= 0) return false;
    ServerOptions options = options_;
    const auto checkLimit =
        std::min<std::chrono::seconds>(Limits().connectTimeout, std::chrono::seconds(5));
    for (auto& [key, value] : options) {
        if (key == "connect_timeout")
            value = std::to_string(std::max<long long>(checkLimit.count(), 2));
    }
    PgConn check(ConnectWith(options));
    if (!check || PQstatus(check.get()) != CONNECTION_OK) return false;
    const std::string pid = std::to_string(backend);
    const char* values[] = {pid.c_str()};
    PGconn* c = check.get();
    if (PQsendQueryParams(c, "SELECT state FROM pg_catalog.pg_stat_activity WHERE pid = $1", 1,
                          nullptr, values, nullptr, nullptr, 0) != 1) {
        return false;
    }
    // The check is bounded too: a server that took the connection may still stall.
    const auto until = Clock::now() + checkLimit;
    pollfd watched{PQsocket(c), POLLIN, 0};
    while (PQisBusy(c)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
        if (left <= 0 || ::poll(&watched, 1, static_cast<int>(left)) < 0 ||
            PQconsumeInput(c) == 0) {
            return false;
        }
    }
    PgResult state(PQgetResult(c));
    const bool active = state && PQresultStatus(state.get()) == PGRES_TUPLES_OK &&
                        PQntuples(state.get()) == 1 &&
                        std::strcmp(PQgetvalue(state.get(), 0, 0), "active") == 0;
    while (PgResult(PQgetResult(c))) {
    }
    return active;
}

// Hands everything sent to the server; reads what it says meanwhile, so that
// neither side waits for the other with full buffers.
bool PgConnection::Flush(Clock::time_point deadline) {
    PGconn* c = handle_.get();
    for (;;) {
        const int flushed = PQflush(c);
        if (flushed == 0) return true;
        if (flushed < 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
        if (!AwaitSocket(POLLOUT | POLLIN, deadline)) return false;
        if (PQconsumeInput(c) == 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
    }
}

// Waits for the next result of the pipeline; null at the end of a statement's results.
namespace {

bool AwaitResult(PGconn* c, PgResult& next, const std::function<bool()>& wait) {
    while (PQisBusy(c)) {
        if (!wait()) return false;
        if (PQconsumeInput(c) == 0) return false;
    }
    next.reset(PQgetResult(c));
    return true;
}

// A copy no statement of the round trip asked for: the connection's answers
// are no longer the ones it awaits, and reading on would never end.
bool IsCopyState(ExecStatusType status) {
    return status == PGRES_COPY_IN || status == PGRES_COPY_OUT || status == PGRES_COPY_BOTH;
}

}  // namespace

bool PgConnection::ReadAnswer(Result& answer, Clock::time_point& deadline) {
    PGconn* c = handle_.get();
    auto wait = [&] {
        if (!AwaitSocket(POLLIN, deadline)) return false;
        deadline = Clock::now() + answerLimit_;
        return true;
    };
    answer.reset();
    for (;;) {
        Result next;
        if (!AwaitResult(c, next, wait)) {
            if (handle_) SetError(PQerrorMessage(c));
            answer.reset();
            return false;
        }
        if (!next) return true;
        const ExecStatusType status = PQresultStatus(next.get());
        if (IsCopyState(status) || PQstatus(c) != CONNECTION_OK) {
            answer.reset();
            return OutOfStep("the server answered with a copy no statement asked for");
        }
        if (status == PGRES_PIPELINE_ABORTED) {
            answer.reset();
            continue;
        }
        // The first failure is the answer; else the last result.
        const ExecStatusType kept = answer ? PQresultStatus(answer.get()) : PGRES_COMMAND_OK;
        if (!answer || kept == PGRES_COMMAND_OK || kept == PGRES_TUPLES_OK) {
            answer = std::move(next);
        }
    }
}

bool PgConnection::ReadSync(Clock::time_point& deadline) {
    PGconn* c = handle_.get();
    auto wait = [&] {
        if (!AwaitSocket(POLLIN, deadline)) return false;
        deadline = Clock::now() + answerLimit_;
        return true;
    };
    bool endOfResults = false;
    for (;;) {
        Result next;
        if (!AwaitResult(c, next, wait)) {
            if (handle_) SetError(PQerrorMessage(c));
            return false;
        }
        if (next && PQresultStatus(next.get()) == PGRES_PIPELINE_SYNC) return true;
        // Two ends of results in a row with nothing to wait for: the end of
        // the segment will not come.
        if (!next && endOfResults) return OutOfStep("the server's answers ended before their end");
        if (next && (IsCopyState(PQresultStatus(next.get())) || PQstatus(c) != CONNECTION_OK)) {
            return OutOfStep("the server answered with a copy no statement asked for");
        }
        endOfResults = !next;
    }
}

// Closes a connection whose answers no longer follow what was sent.
bool PgConnection::OutOfStep(const std::string& reason) {
    Abandon(reason);
    return false;
}

bool PgConnection::ReadDeferred(Clock::time_point& deadline) {
    while (deferred_ > 0) {
        if (!ReadSync(deadline)) return false;
        --deferred_;
    }
    return true;
}

bool PgConnection::Send(const Request& request, std::vector<Expect>& expected, int answer) {
    PGconn* c = handle_.get();
    const std::size_t count = request.values.size();
    std::vector<const char*> values(count);
    std::vector<int> lengths(count), formats(count, 0);
    for (std::size_t p = 0; p < count; ++p) {
        const int format = p < request.formats.size() ? request.formats[p] : 0;
        values[p] = format == kNullParameter ? nullptr : request.values[p].data();
        lengths[p] = static_cast<int>(request.values[p].size());
        formats[p] = format == 1 ? 1 : 0;
    }
    const int resultFormat = request.binaryResult ? 1 : 0;
    int sent = 0;
    if (!request.prepared) {
        sent = PQsendQueryParams(c, request.sql.c_str(), static_cast<int>(count), nullptr,
                                 values.data(), lengths.data(), formats.data(), resultFormat);
    } else {
        Prepared& prepared = prepared_[request.sql];
        prepared.lastUse = ++uses_;
        if (prepared.name.empty()) {
            prepared.name = "strataloom_" + std::to_string(uses_);
            if (PQsendPrepare(c, prepared.name.c_str(), request.sql.c_str(), 0, nullptr) != 1) {
                prepared_.erase(request.sql);
                return false;
            }
            expected.push_back(Expect{kNoAnswer, &request.sql});
        }
        sent = PQsendQueryPrepared(c, prepared.name.c_str(), static_cast<int>(count), values.data(),
                                   lengths.data(), formats.data(), resultFormat);
    }
    if (sent != 1) return false;
    expected.push_back(Expect{answer, nullptr});
    if (request.syncAfter) {
        if (PQpipelineSync(c) != 1) return false;
        expected.push_back(Expect{kSync, nullptr});
    }
    return true;
}

void PgConnection::TrimPrepared() {
    while (prepared_.size() > kPreparedLimit) {
        auto oldest = prepared_.begin();
        for (auto it = prepared_.begin(); it != prepared_.end(); ++it) {
            if (it->second.lastUse < oldest->second.lastUse) oldest = it;
        }
        if (oldest->second.confirmed) unprepare_.push_back(oldest->second.name);
        prepared_.erase(oldest);
    }
}

void PgConnection::RoundTrip(const std::vector<Request>& requests, std::vector<Result>& answers) {
    g_roundTrips.fetch_add(1, std::memory_order_relaxed);
    answers.clear();
    answers.resize(requests.size());
    const bool first = fresh_;
    fresh_ = false;
    TrimPrepared();
    for (int attempt = 0;; ++attempt) {
        if (!handle_) return;
        PGconn* c = handle_.get();
        const bool idle = !inTransaction_;
        // Statements kept prepared no more, each in a segment of its own (it
        // may fail in an aborted transaction, and nothing else with it); then
        // the deferred BEGIN, in the segment of the first statement.
        std::vector<Request> before;
        for (const std::string& name : unprepare_) {
            Request request;
            request.sql = "DEALLOCATE " + name;
            request.syncAfter = true;
            before.push_back(std::move(request));
        }
        unprepare_.clear();
        const std::string begin = std::move(pendingBegin_);
        pendingBegin_.clear();
        if (!begin.empty()) {
            Request request;
            request.sql = begin;
            before.push_back(std::move(request));
            inTransaction_ = true;
        }
        std::vector<Expect> expected;
        bool sent = PQpipelineStatus(c) == PQ_PIPELINE_ON || PQenterPipelineMode(c) == 1;
        for (std::size_t i = 0; sent && i < before.size(); ++i) {
            const bool isBegin = !begin.empty() && i + 1 == before.size();
            sent = Send(before[i], expected, isBegin ? kBeginAnswer : kNoAnswer);
        }
        for (std::size_t i = 0; sent && i < requests.size(); ++i) {
            sent = Send(requests[i], expected, static_cast<int>(i));
        }
        if (sent && (expected.empty() || expected.back().answer != kSync)) {
            sent = PQpipelineSync(c) == 1;
            expected.push_back(Expect{kSync, nullptr});
        }
        if (!sent) SetError(PQerrorMessage(c));
        auto deadline = Clock::now() + answerLimit_;
        bool read = sent && Flush(deadline) && ReadDeferred(deadline);
        Result beginResult;
        Result refused;  // a PREPARE's failure: the answer of its execution
        for (std::size_t e = 0; read && e < expected.size(); ++e) {
            const Expect& expect = expected[e];
            if (expect.answer == kSync) {
                read = ReadSync(deadline);
                continue;
            }
            Result answer;
            read = ReadAnswer(answer, deadline);
            if (!expect.prepared && refused) {
                if (!answer) answer = std::move(refused);
                refused.reset();
            }
            if (expect.answer >= 0) {
                answers[static_cast<std::size_t>(expect.answer)] = std::move(answer);
            } else if (expect.answer == kBeginAnswer) {
                beginResult = std::move(answer);
            } else if (expect.prepared) {
                // A statement the server did not prepare is prepared anew next time.
                const bool accepted = answer && PQresultStatus(answer.get()) == PGRES_COMMAND_OK;
                auto found = prepared_.find(*expect.prepared);
                if (found != prepared_.end()) {
                    if (accepted) {
                        found->second.confirmed = true;
                    } else {
                        prepared_.erase(found);
                    }
                }
                if (!accepted) refused = std::move(answer);
            }
        }
        // A kept connection that broke while idle fails the first request of
        // the next operation: nothing of the operation has run yet, so it
        // runs on a new connection instead.
        const bool broken = handle_ && PQstatus(c) == CONNECTION_BAD;
        if (broken && first && attempt == 0 && idle) {
            if (!Connect()) return;
            pendingBegin_ = begin;
            answers.clear();
            answers.resize(requests.size());
            continue;
        }
        if (handle_ && (broken || !read)) Abandon(LastError());
        if (read && !begin.empty() && !Succeeded(beginResult)) BeginFailed(begin);
        return;
    }
}

// The transaction sent with a round trip did not begin: its statements did
// not run. A write's scope then fails every write until it ends.
void PgConnection::BeginFailed(const std::string& begin) {
    inTransaction_ = false;
    if (begin != BeginStatement()) return;
    const std::string error = LastError();
    ReleaseWriterLock();
    BreakScope();
    SetError(error);
}

void PgConnection::Abandon(const std::string& reason) {
    SetError(reason);
    // The server drops the session, its transaction and its locks with it.
    handle_.reset();
    writerKeys_.clear();
    inTransaction_ = false;
    deferred_ = 0;
    pendingBegin_.clear();
    copy_ = Copy();
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

PgConnection::Request PgConnection::StatementRequest(const Statement& statement,
                                                     bool binaryResult) const {
    Request request;
    // The host's dialect is rewritten outside quoted text; markers are not quoted.
    request.sql = AdaptStatement(statement.NumberedSql());
    request.prepared = request.sql.size() <= kLongestPrepared;
    request.values = statement.Values();
    request.binaryResult = binaryResult;
    return request;
}

PgConnection::Result PgConnection::RunOne(Request request) {
    std::vector<Request> requests;
    requests.push_back(std::move(request));
    std::vector<Result> answers;
    RoundTrip(requests, answers);
    return std::move(answers[0]);
}

PgConnection::Result PgConnection::Run(Request request) {
    if (!InScope()) return RunOne(std::move(request));
    // SAVEPOINT, the statement, RELEASE: one round trip; a failure rolls
    // back to the savepoint in a second.
    std::vector<Request> requests(3);
    requests[0].sql = kSavepoint;
    requests[1] = std::move(request);
    requests[2].sql = kReleaseSavepoint;
    std::vector<Result> answers;
    RoundTrip(requests, answers);
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
// with that statement. A table a later statement adds is queued on then,
// inside the transaction: should that ever cross another writer, the server
// refuses one of them and its operation starts over.
bool PgConnection::EnsureBegun(const std::vector<std::string>& tables) {
    std::vector<long long> keys;
    for (const std::string& table : tables) {
        const long long key = WriterKey(table);
        if (std::find(writerKeys_.begin(), writerKeys_.end(), key) == writerKeys_.end() &&
            std::find(keys.begin(), keys.end(), key) == keys.end()) {
            keys.push_back(key);
        }
    }
    if (!beginPending_ && (keys.empty() || !inTransaction_)) return true;
    const bool beginning = beginPending_;
    beginPending_ = false;
    std::sort(keys.begin(), keys.end());
    if (keys.empty()) {
        pendingBegin_ = BeginStatement();
        return true;
    }
    std::string lock = "SELECT ";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (i) lock += ", ";
        lock += "pg_advisory_lock(" + std::to_string(keys[i]) + ")";
    }
    if (RunControl(lock)) {
        writerKeys_.insert(writerKeys_.end(), keys.begin(), keys.end());
        if (beginning) pendingBegin_ = BeginStatement();
        return true;
    }
    if (beginning) {
        ReleaseWriterLock();
        BreakScope();
    } else {
        Doom();
    }
    return false;
}

void PgConnection::ReleaseWriterLock() {
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
    // A connection given up took its transaction with it; its reason stands.
    if (!handle_) return false;
    if (!pendingBegin_.empty()) {
        pendingBegin_.clear();  // the BEGIN never went out
        ReleaseWriterLock();
        return commit;
    }
    bool committed = commit && RunControl("COMMIT");
    if (!committed && handle_) Control("ROLLBACK");
    ReleaseWriterLock();
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
    return std::make_unique<PgRows>(std::move(result));
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
    return std::make_unique<PgRows>(std::move(result));
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

// The rows of a save go to the server by COPY in its binary form: no
// statement per row, and value arrays as the bytes they are.
bool PgConnection::StartCopy(const TableShape& table, const std::vector<int>& columns) {
    // COPY runs outside pipeline mode, after every answer still due.
    if (!pendingBegin_.empty()) {
        std::vector<Result> none;
        RoundTrip({}, none);
        if (!handle_) return false;
    }
    PGconn* c = handle_.get();
    auto deadline = Clock::now() + answerLimit_;
    if (!ReadDeferred(deadline)) return false;
    if (PQpipelineStatus(c) != PQ_PIPELINE_OFF && PQexitPipelineMode(c) != 1) {
        SetError(PQerrorMessage(c));
        return false;
    }
    std::string sql = "COPY " + QuoteIdentifier(LowerAscii(table.name)) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) sql += ',';
        sql += QuoteIdentifier(table.columns[static_cast<std::size_t>(columns[i])]);
    }
    sql += ") FROM STDIN (FORMAT binary)";
    g_roundTrips.fetch_add(1, std::memory_order_relaxed);
    if (PQsendQuery(c, sql.c_str()) != 1 || !Flush(deadline)) {
        if (handle_) SetError(PQerrorMessage(c));
        return false;
    }
    Result started;
    auto wait = [&] { return AwaitSocket(POLLIN, deadline); };
    if (!AwaitResult(c, started, wait) || !started ||
        PQresultStatus(started.get()) != PGRES_COPY_IN) {
        if (!handle_) return false;
        Succeeded(started);
        // The statement's results end with a null.
        Result rest;
        while (AwaitResult(c, rest, wait) && rest) {
        }
        return false;
    }
    copy_.open = true;
    copy_.table = &table;
    copy_.columns = columns;
    copy_.chunk.assign("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
    return true;
}

bool PgConnection::PutCopy(const char* data, std::size_t size) {
    PGconn* c = handle_.get();
    auto deadline = Clock::now() + answerLimit_;
    while (size > 0) {
        const int piece = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
        const int put = PQputCopyData(c, data, piece);
        if (put < 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
        if (put == 0) {
            // The client library's buffer is full: let the server take some.
            if (!AwaitSocket(POLLOUT, deadline)) return false;
            if (PQflush(c) < 0) {
                SetError(PQerrorMessage(c));
                return false;
            }
            continue;
        }
        data += piece;
        size -= static_cast<std::size_t>(piece);
        // The client library keeps what the socket did not take in a buffer
        // of its own, which would grow to the size of the whole save: the
        // piece goes out before the next one is put.
        if (!Flush(deadline)) return false;
        deadline = Clock::now() + answerLimit_;
    }
    return true;
}

// Ends the COPY: with abandon null it stores the rows, else the server
// throws them away with that reason. False when the rows were not stored.
bool PgConnection::FinishCopy(const char* abandon) {
    copy_.open = false;
    if (!handle_) return false;
    PGconn* c = handle_.get();
    bool put = true;
    if (!abandon) {
        PutBigEndian(copy_.chunk, 0xffff, 2);  // the trailer
        put = PutCopy(copy_.chunk.data(), copy_.chunk.size());
    }
    copy_.chunk.clear();
    copy_.chunk.shrink_to_fit();
    if (!handle_) return false;
    auto deadline = Clock::now() + answerLimit_;
    int ended;
    while ((ended = PQputCopyEnd(c, put ? abandon : "the rows could not be sent")) == 0) {
        if (!AwaitSocket(POLLOUT, deadline)) return false;
    }
    if (ended < 0 || !Flush(deadline)) {
        if (handle_) Abandon(PQerrorMessage(c));
        return false;
    }
    g_roundTrips.fetch_add(1, std::memory_order_relaxed);
    Result answer;
    if (!ReadAnswer(answer, deadline)) {
        if (handle_) Abandon(LastError());
        return false;
    }
    if (abandon || !put) return false;
    return StatementSucceeded(answer);
}

bool PgConnection::InsertRow(const TableShape& table, const std::vector<int>& columns,
                             const std::vector<Value>& values) {
    if (copy_.open && (copy_.table != &table || copy_.columns != columns) && !FinishCopy(nullptr)) {
        return false;
    }
    if (!CopyCarries(table, columns, values)) {
        if (copy_.open && !FinishCopy(nullptr)) return false;
        return Ready({table.name}) && InsertByStatement(table, columns, values);
    }
    if (!copy_.open) {
        if (!Ready({table.name})) return false;
        if (!StartCopy(table, columns)) {
            StatementFailed(true);
            return false;
        }
    }
    std::string& chunk = copy_.chunk;
    PutBigEndian(chunk, columns.size(), 2);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& value = values[i];
        if (!EncodeCopyValue(value, table.types[static_cast<std::size_t>(columns[i])], chunk)) {
            continue;  // the value is whole in the chunk
        }
        // Text and bytes follow their length: large ones go to the client
        // library where they lie, small ones join the chunk.
        if (value.size < kCopyChunk) {
            chunk.append(value.data ? value.data : "", value.size);
            continue;
        }
        if (!PutCopy(chunk.data(), chunk.size()) || !PutCopy(value.data, value.size)) return false;
        chunk.clear();
    }
    if (chunk.size() >= kCopyChunk) {
        if (!PutCopy(chunk.data(), chunk.size())) return false;
        chunk.clear();
    }
    return true;
}

bool PgConnection::EndInserts() {
    if (!copy_.open) return true;
    return FinishCopy(nullptr);
}

bool PgConnection::CopyCarries(const TableShape& table, const std::vector<int>& columns,
                               const std::vector<Value>& values) const {
    if (table.types.size() != table.columns.size()) return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!CopyForm(values[i], table.types[static_cast<std::size_t>(columns[i])])) return false;
    }
    return true;
}

// A row the COPY form does not carry goes through an insert statement, each
// value in the text form the server converts (byte arrays in binary form).
bool PgConnection::InsertByStatement(const TableShape& table, const std::vector<int>& columns,
                                     const std::vector<Value>& values) {
    Request request;
    request.sql = "INSERT INTO " + QuoteIdentifier(LowerAscii(table.name));
    if (columns.empty()) {
        request.sql += " DEFAULT VALUES";
    } else {
        std::string marks;
        request.sql += " (";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c) {
                request.sql += ',';
                marks += ',';
            }
            request.sql += QuoteIdentifier(table.columns[static_cast<std::size_t>(columns[c])]);
            marks += '$' + std::to_string(c + 1);
        }
        request.sql += ") VALUES (" + marks + ")";
    }
    request.prepared = true;
    for (std::size_t p = 0; p < values.size(); ++p) {
        const Value& value = values[p];
        const Oid type =
            p < columns.size() && static_cast<std::size_t>(columns[p]) < table.types.size()
                ? table.types[static_cast<std::size_t>(columns[p])]
                : 0;
        int format = 0;
        std::string text;
        if (value.kind == ValueKind::Null) {
            format = kNullParameter;
        } else if ((value.kind == ValueKind::Blob || value.kind == ValueKind::Text) &&
                   type == kBytea) {
            text.assign(value.data ? value.data : "", value.size);
            format = 1;
        } else if (value.kind == ValueKind::Blob || value.kind == ValueKind::Text) {
            text.assign(value.data ? value.data : "", value.size);
            if (text.find('\0') != std::string::npos) {
                SetError("text holds a zero byte");
                StatementFailed(true);
                return false;
            }
        } else {
            text = NumberText(value, type);
        }
        request.values.push_back(std::move(text));
        request.formats.push_back(format);
    }
    return StatementSucceeded(RunOne(std::move(request)));
}

}  // namespace strataloom::db
