#include "dbaccess/sqlite/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "dbaccess/dialect.h"
#include "dbaccess/failure.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

// Statements kept prepared per connection; the one used least recently goes
// first. Texts longer than kLongestKept (long in-lists) are prepared for one
// use only.
constexpr std::size_t kStatementCacheLimit = 64;
constexpr std::size_t kLongestKept = 2000;

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
};

// Looks at the file without opening it: a descriptor of our own on a project
// file, once closed, would drop the locks the engine holds on it.
bool IdentifyRegularFile(const std::string& path, FileIdentity& id, std::string* error = nullptr) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (error) *error = std::string("cannot open the project file: ") + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        if (error) *error = "not a project database: not a regular file";
        return false;
    }
    id.device = info.st_dev;
    id.inode = info.st_ino;
    id.size = info.st_size;
    return true;
}

bool Succeeds(sqlite3* handle, const char* sql) {
    return sqlite3_exec(handle, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The column's value of the current row: one call to the engine for the
// value, one for each part of it.
Value ColumnValue(sqlite3_stmt* statement, int column) {
    sqlite3_value* value = sqlite3_column_value(statement, column);
    switch (sqlite3_value_type(value)) {
        case SQLITE_INTEGER:
            return Value::Integer(sqlite3_value_int64(value));
        case SQLITE_FLOAT:
            return Value::Real(sqlite3_value_double(value));
        case SQLITE_TEXT: {
            auto text = reinterpret_cast<const char*>(sqlite3_value_text(value));
            return Value::Bytes(ValueKind::Text, text,
                                static_cast<std::size_t>(sqlite3_value_bytes(value)));
        }
        case SQLITE_BLOB: {
            auto data = static_cast<const char*>(sqlite3_value_blob(value));
            return Value::Bytes(ValueKind::Blob, data,
                                static_cast<std::size_t>(sqlite3_value_bytes(value)));
        }
        default:
            return Value();
    }
}

// Text and blob parameters point into memory that outlives the step. Lengths
// travel in 64 bits: the engine refuses what exceeds its limit instead of
// storing a truncated value.
int Bind(sqlite3_stmt* statement, int index, const Value& value) {
    switch (value.kind) {
        case ValueKind::Integer:
            return sqlite3_bind_int64(statement, index, value.integer);
        case ValueKind::Real:
            // The engine keeps no NaN as a number (it would store NULL, read
            // back as 0): the text "NaN" reads back as NaN.
            if (std::isnan(value.real)) {
                return sqlite3_bind_text(statement, index, "NaN", 3, SQLITE_STATIC);
            }
            return sqlite3_bind_double(statement, index, value.real);
        case ValueKind::Text:
            return sqlite3_bind_text64(statement, index, value.data, value.size, SQLITE_STATIC,
                                       SQLITE_UTF8);
        case ValueKind::Blob:
            return sqlite3_bind_blob64(statement, index, value.data, value.size, SQLITE_STATIC);
        case ValueKind::Null:
            break;
    }
    return sqlite3_bind_null(statement, index);
}

std::shared_ptr<const std::vector<std::string>> ColumnNames(sqlite3_stmt* statement) {
    auto names = std::make_shared<std::vector<std::string>>();
    const int count = sqlite3_column_count(statement);
    names->reserve(static_cast<std::size_t>(count));
    for (int c = 0; c < count; ++c) names->emplace_back(sqlite3_column_name(statement, c));
    return names;
}

int RepreparedCount(sqlite3_stmt* statement) {
    return sqlite3_stmt_status(statement, SQLITE_STMTSTATUS_REPREPARE, 0);
}

bool OnlyBlanks(const char* text) {
    while (text && *text) {
        if (!std::isspace(static_cast<unsigned char>(*text)) && *text != ';') return false;
        ++text;
    }
    return true;
}

}  // namespace

// The rows of a query, stepped as the session reads them. Before anything
// changes the database on the connection, the rows not read yet are read
// into memory and the statement is given back (Detach).
class SqliteRows final : public Rows {
  public:
    SqliteRows(SqliteConnection& owner, SqliteConnection::Lease lease,
               std::vector<std::string> values)
        : owner_(&owner), lease_(std::move(lease)), values_(std::move(values)) {
        columns_ = lease_.columns;
        owner_->readers_.push_back(this);
    }

    // Binds the statement's values, which the rows keep as long as the
    // engine may read them.
    bool Bind() { return owner_->BindValues(values_, lease_.handle); }
    ~SqliteRows() override { Release(); }

    bool Next() override {
        if (detached_) return detached_->Next();
        if (!lease_.handle) return false;
        const int step = sqlite3_step(lease_.handle);
        if (!stepped_) {
            stepped_ = true;
            owner_->FollowSchema(lease_);
            columns_ = lease_.columns;
        }
        if (onRow_) ++passed_;
        onRow_ = step == SQLITE_ROW;
        if (onRow_) return true;
        if (step != SQLITE_DONE) {
            failed_ = true;
            owner_->FailStatement();
        }
        Release();
        return false;
    }

    Value At(std::size_t column) const override {
        if (detached_) return detached_->At(column);
        if (!onRow_) return Value();
        return ColumnValue(lease_.handle, static_cast<int>(column));
    }

    std::shared_ptr<ByteArray> TakeBytes(std::size_t column) override {
        if (detached_) return detached_->TakeBytes(column);
        return Rows::TakeBytes(column);
    }
    std::shared_ptr<ByteArray> TakeHeldBytes(std::size_t column) override {
        return detached_ ? detached_->TakeHeldBytes(column) : nullptr;
    }

    std::size_t Count() override {
        Detach();
        return detached_->Count();
    }

    // Reads what is left (the current row included) into memory.
    void Detach() {
        if (detached_) return;
        ResultSet rest;
        rest.columns = *columns_;
        const bool current = onRow_;
        for (bool row = onRow_; row;) {
            for (std::size_t c = 0; c < rest.columns.size(); ++c) {
                rest.Add(ColumnValue(lease_.handle, static_cast<int>(c)));
            }
            const int step = sqlite3_step(lease_.handle);
            row = step == SQLITE_ROW;
            if (!row && step != SQLITE_DONE) {
                failed_ = true;
                owner_->FailStatement();
            }
        }
        Release();
        detached_ = std::make_unique<BufferedRows>(std::move(rest), passed_, current);
    }

  private:
    void Release() {
        if (!owner_) return;
        owner_->Forget(this);
        owner_->GiveBack(lease_);
        owner_ = nullptr;
    }

    SqliteConnection* owner_;
    SqliteConnection::Lease lease_;
    std::size_t passed_ = 0;  // rows stepped before the current one
    bool stepped_ = false;
    bool onRow_ = false;
    std::unique_ptr<BufferedRows> detached_;
    std::vector<std::string> values_;
};

std::unique_ptr<Connection> SqliteConnection::Open(const std::string& path, std::string& error) {
    const std::string where = "project file " + path;
    FileIdentity id;
    std::string reason;
    if (!IdentifyRegularFile(path, id, &reason)) {
        error = FailureText(reason, where);
        return nullptr;
    }
    // The engine would take an empty file for a new database and write one.
    if (id.size == 0) {
        error = FailureText("not a project database: the file is empty", where);
        return nullptr;
    }
    sqlite3* handle = nullptr;
    // A file the system lets us only read opens for reading.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        error =
            FailureText(handle ? sqlite3_errmsg(handle) : "cannot open the project file", where);
        sqlite3_close_v2(handle);
        return nullptr;
    }
    std::unique_ptr<SqliteConnection> connection(
        new SqliteConnection(handle, path, id.device, id.inode));
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_handler(handle, &SqliteConnection::WaitForLock, connection.get());
    // Reading the schema proves the file is a database before anything can
    // be written to it.
    if (!Succeeds(handle, "SELECT count(*) FROM sqlite_master")) {
        error =
            FailureText(std::string("not a project database: ") + sqlite3_errmsg(handle), where);
        return nullptr;
    }
    // The rollback journal, not a write-ahead log: once a write has
    // committed, the project file alone holds it and the journal is gone, so
    // a copy of the file taken between two calls is complete, a file copied
    // over it is what the next call sees, and a project on a read-only medium
    // can be read. A file left in write-ahead mode by an earlier version is
    // brought back as soon as no other connection has it open.
    Succeeds(handle, "PRAGMA journal_mode=DELETE");
    return connection;
}

SqliteConnection::SqliteConnection(sqlite3* handle, std::string path, dev_t device, ino_t inode)
    : handle_(handle), path_(std::move(path)), device_(device), inode_(inode), watch_(path_) {}

SqliteConnection::~SqliteConnection() {
    for (auto& [text, prepared] : cache_) sqlite3_finalize(prepared.handle);
    sqlite3_close_v2(handle_);
}

// Waits for another connection's lock in short random pauses up to the lock
// wait: writers polling the same file take their turns instead of one of
// them sleeping through every release.
int SqliteConnection::WaitForLock(void* self, int attempt) {
    auto* connection = static_cast<SqliteConnection*>(self);
    const auto now = std::chrono::steady_clock::now();
    if (attempt == 0) {
        connection->lockWaitEnds_ = now + Limits().lockWait;
        connection->lockWaited_ = std::chrono::milliseconds(0);
    }
    if (now >= connection->lockWaitEnds_) return 0;
    thread_local std::minstd_rand random(std::random_device{}());
    const int longest = 1000 * (attempt < 8 ? 2 + attempt : 10);
    std::uniform_int_distribution<int> pause(200, longest);
    const auto slept = std::chrono::microseconds(pause(random));
    std::this_thread::sleep_for(slept);
    connection->lockWaited_ += std::chrono::duration_cast<std::chrono::milliseconds>(slept);
    return 1;
}

bool SqliteConnection::Revive() {
    // Most calls find nothing changed along the path, told by the watcher
    // without a walk of the path.
    if (watch_.Unchanged()) return true;
    const std::uint64_t before = watch_.BeforeLooking();
    FileIdentity id;
    if (!IdentifyRegularFile(path_, id) || id.device != device_ || id.inode != inode_) return false;
    watch_.Looked(before);
    return true;
}

std::string SqliteConnection::Describe() const {
    return "project file " + path_;
}

std::size_t SqliteConnection::LargestValue() const {
    return static_cast<std::size_t>(sqlite3_limit(handle_, SQLITE_LIMIT_LENGTH, -1));
}

bool SqliteConnection::Fail() {
    std::string message = sqlite3_errmsg(handle_);
    const int code = sqlite3_extended_errcode(handle_) & 0xff;
    if ((code == SQLITE_BUSY || code == SQLITE_LOCKED) && lockWaited_.count() > 0) {
        message += " (waited " + std::to_string(lockWaited_.count()) +
                   " ms for another connection's lock)";
    }
    SetError(std::move(message));
    return false;
}

bool SqliteConnection::FailStatement() {
    // A generic error is the statement's own (no such table, bad text);
    // every other code comes from the engine, the file or the medium.
    const bool engineLevel = (sqlite3_extended_errcode(handle_) & 0xff) != SQLITE_ERROR;
    Fail();
    StatementFailed(engineLevel);
    return false;
}

bool SqliteConnection::Lend(const std::string& text, Lease& lease, bool* tail) {
    lease = Lease();
    if (tail) *tail = false;
    auto found = cache_.find(text);
    if (found != cache_.end() && !found->second.inUse) {
        Prepared& prepared = found->second;
        prepared.inUse = true;
        prepared.lastUse = ++uses_;
        lease.handle = prepared.handle;
        lease.kept = &prepared;
        lease.columns = prepared.columns;
        lease.reprepared = prepared.reprepared;
        return true;
    }
    const bool keep = found == cache_.end() && text.size() <= kLongestKept;
    sqlite3_stmt* statement = nullptr;
    const char* rest = nullptr;
    // The host's dialect is rewritten once, when the statement is prepared.
    const std::string adapted = AdaptStatement(text);
    if (sqlite3_prepare_v3(handle_, adapted.c_str(), static_cast<int>(adapted.size()),
                           keep ? SQLITE_PREPARE_PERSISTENT : 0, &statement, &rest) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return FailStatement();
    }
    if (!statement) return true;  // blank text
    const bool single = OnlyBlanks(rest);
    if (tail) *tail = !single;
    lease.handle = statement;
    lease.columns = ColumnNames(statement);
    lease.reprepared = RepreparedCount(statement);
    if (!keep || !single) return true;
    if (cache_.size() >= kStatementCacheLimit) Evict();
    Prepared& prepared = cache_[text];
    prepared.handle = statement;
    prepared.columns = lease.columns;
    prepared.reprepared = lease.reprepared;
    prepared.inUse = true;
    prepared.lastUse = ++uses_;
    lease.kept = &prepared;
    return true;
}

void SqliteConnection::FollowSchema(Lease& lease) {
    const int reprepared = RepreparedCount(lease.handle);
    if (reprepared == lease.reprepared) return;
    lease.columns = ColumnNames(lease.handle);
    lease.reprepared = reprepared;
    if (lease.kept) {
        lease.kept->columns = lease.columns;
        lease.kept->reprepared = reprepared;
    }
}

void SqliteConnection::GiveBack(Lease& lease) {
    if (!lease.handle) return;
    sqlite3_reset(lease.handle);
    // Values are bound without a copy: none may point past their owner.
    sqlite3_clear_bindings(lease.handle);
    if (lease.kept) {
        // A statement prepared again after a change of the schema may name
        // other columns.
        lease.kept->inUse = false;
    } else {
        sqlite3_finalize(lease.handle);
    }
    lease = Lease();
}

void SqliteConnection::Evict() {
    auto oldest = cache_.end();
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->second.inUse) continue;
        if (oldest == cache_.end() || it->second.lastUse < oldest->second.lastUse) oldest = it;
    }
    if (oldest == cache_.end()) return;
    if (lastInsert_.prepared == &oldest->second) lastInsert_ = LastInsert();
    sqlite3_finalize(oldest->second.handle);
    cache_.erase(oldest);
}

void SqliteConnection::DetachReaders() {
    while (!readers_.empty()) readers_.back()->Detach();
}

void SqliteConnection::Forget(SqliteRows* reader) {
    for (std::size_t i = 0; i < readers_.size(); ++i) {
        if (readers_[i] == reader) {
            readers_[i] = readers_.back();
            readers_.pop_back();
            return;
        }
    }
}

bool SqliteConnection::BindValues(const std::vector<std::string>& values, sqlite3_stmt* handle) {
    const int markers = sqlite3_bind_parameter_count(handle);
    if (static_cast<std::size_t>(markers) != values.size()) {
        SetError("the statement has " + std::to_string(markers) + " markers for " +
                 std::to_string(values.size()) + " values");
        StatementFailed(false);
        return false;
    }
    for (std::size_t p = 0; p < values.size(); ++p) {
        // Not copied by the engine: the values outlive every step of the
        // statement, and the bindings are cleared when it is given back.
        if (sqlite3_bind_text64(handle, static_cast<int>(p + 1), values[p].data(), values[p].size(),
                                SQLITE_STATIC, SQLITE_UTF8) != SQLITE_OK) {
            return FailStatement();
        }
    }
    return true;
}

std::unique_ptr<Rows> SqliteConnection::Query(const Statement& statement) {
    Lease lease;
    if (!Lend(statement.Sql(), lease)) return nullptr;
    if (!lease.handle) return std::make_unique<BufferedRows>(ResultSet());  // blank: no row
    auto rows = std::make_unique<SqliteRows>(*this, std::move(lease), statement.Values());
    if (!rows->Bind()) return nullptr;
    return rows;
}

std::shared_ptr<const TableShape> SqliteConnection::KnownTable(const std::string& table) const {
    auto found = tables_.find(table);
    return found == tables_.end() ? nullptr : found->second.shape;
}

int SqliteConnection::ProbeTable(const Statement& wholeTable,
                                 std::shared_ptr<const TableShape>& shape) {
    const std::string& table = wholeTable.Text();
    TableEntry& entry = tables_[table];
    if (entry.anySql.empty()) {
        const std::string name = QuoteIdentifier(table);
        entry.shapeSql = "SELECT * FROM " + name + " LIMIT 0";
        entry.anySql = "SELECT 1 FROM " + name + " LIMIT 1";
    }
    Lease any;
    if (!Lend(entry.anySql, any)) {
        tables_.erase(table);
        return 2;
    }
    const int step = sqlite3_step(any.handle);
    const int reprepared = RepreparedCount(any.handle);
    GiveBack(any);
    if (step != SQLITE_ROW && step != SQLITE_DONE) {
        FailStatement();
        tables_.erase(table);
        return 2;
    }
    // The columns are read again when the schema changed since.
    if (!entry.shape || entry.reprepared != reprepared) {
        Discard(entry.shapeSql);
        Lease columns;
        if (!Lend(entry.shapeSql, columns)) {
            tables_.erase(table);
            return 2;
        }
        auto fresh = std::make_shared<TableShape>();
        fresh->name = table;
        fresh->columns = *columns.columns;
        GiveBack(columns);
        entry.shape = std::move(fresh);
        entry.reprepared = reprepared;
    }
    shape = entry.shape;
    return step == SQLITE_ROW ? 0 : 1;
}

bool SqliteConnection::Step(Lease& lease) {
    const int step = sqlite3_step(lease.handle);
    const bool done = step == SQLITE_DONE || step == SQLITE_ROW;
    if (!done) FailStatement();
    GiveBack(lease);
    return done;
}

void SqliteConnection::Discard(const std::string& text) {
    auto found = cache_.find(text);
    if (found == cache_.end() || found->second.inUse) return;
    if (lastInsert_.prepared == &found->second) lastInsert_ = LastInsert();
    sqlite3_finalize(found->second.handle);
    cache_.erase(found);
}

bool SqliteConnection::Execute(const Statement& statement) {
    DetachReaders();
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    Lease lease;
    bool tail = false;
    if (!Lend(statement.Sql(), lease, &tail)) return false;
    if (!lease.handle) return true;
    if (tail) {
        // Several statements in one text run one after the other; they carry no values.
        GiveBack(lease);
        if (!statement.Values().empty()) {
            SetError("a text of several statements carries no values");
            StatementFailed(false);
            return false;
        }
        const std::string adapted = AdaptStatement(statement.Sql());
        if (sqlite3_exec(handle_, adapted.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
            return FailStatement();
        }
        return true;
    }
    if (!BindValues(statement.Values(), lease.handle)) {
        GiveBack(lease);
        return false;
    }
    return Step(lease);
}

bool SqliteConnection::Control(const std::string& sql) {
    DetachReaders();
    Lease lease;
    if (!Lend(sql, lease)) return Fail();
    if (!lease.handle) return true;
    const int step = sqlite3_step(lease.handle);
    const bool done = step == SQLITE_DONE || step == SQLITE_ROW;
    if (!done) Fail();
    GiveBack(lease);
    return done;
}

sqlite3_stmt* SqliteConnection::InsertStatement(const TableShape& table,
                                                const std::vector<int>& columns) {
    if (lastInsert_.prepared && lastInsert_.table == &table && lastInsert_.columns == columns &&
        !lastInsert_.prepared->inUse) {
        lastInsert_.prepared->lastUse = ++uses_;
        return lastInsert_.prepared->handle;
    }
    std::string sql = "INSERT INTO " + QuoteIdentifier(table.name) + " (";
    std::string values;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c) {
            sql += ',';
            values += ',';
        }
        sql += QuoteIdentifier(table.columns[static_cast<std::size_t>(columns[c])]);
        values += '?';
    }
    sql += ") VALUES (" + values + ")";
    if (columns.empty()) sql = "INSERT INTO " + QuoteIdentifier(table.name) + " DEFAULT VALUES";
    Lease lease;
    if (!Lend(sql, lease) || !lease.handle) return nullptr;
    if (!lease.kept) {
        // Too long to keep: used for this row alone.
        lastInsert_ = LastInsert();
        oneOff_ = lease;
        return lease.handle;
    }
    lease.kept->inUse = false;  // kept by the cache; lastInsert_ only points to it
    lastInsert_.table = &table;
    lastInsert_.columns = columns;
    lastInsert_.prepared = lease.kept;
    return lease.kept->handle;
}

bool SqliteConnection::InsertRow(const TableShape& table, const std::vector<int>& columns,
                                 const std::vector<Value>& values) {
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    DetachReaders();
    sqlite3_stmt* statement = InsertStatement(table, columns);
    if (!statement) return false;
    bool stored = true;
    for (std::size_t c = 0; c < values.size() && stored; ++c) {
        stored = Bind(statement, static_cast<int>(c + 1), values[c]) == SQLITE_OK;
    }
    stored = stored && sqlite3_step(statement) == SQLITE_DONE;
    if (!stored) FailStatement();
    sqlite3_reset(statement);
    GiveBack(oneOff_);
    return stored;
}

}  // namespace strataloom::db
