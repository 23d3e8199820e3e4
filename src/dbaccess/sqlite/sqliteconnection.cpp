#include "dbaccess/sqlite/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>

#include "dbaccess/failure.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

constexpr std::size_t kStatementCacheLimit = 64;

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

void ReadColumn(sqlite3_stmt* statement, int column, ResultSet& out) {
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            out.AddInteger(sqlite3_column_int64(statement, column));
            return;
        case SQLITE_FLOAT:
            out.AddReal(sqlite3_column_double(statement, column));
            return;
        case SQLITE_TEXT: {
            auto text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            out.AddText(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            return;
        }
        case SQLITE_BLOB: {
            const void* data = sqlite3_column_blob(statement, column);
            const int size = sqlite3_column_bytes(statement, column);
            out.AddBlob(ByteArray::Copy(data, static_cast<std::size_t>(size)));
            return;
        }
        default:
            out.AddNull();
    }
}

// Text and blob parameters point into the caller's cells, which outlive the
// step. Lengths travel in 64 bits: the engine refuses what exceeds its limit
// instead of storing a truncated value.
int Bind(sqlite3_stmt* statement, int index, const Cell& cell) {
    switch (cell.kind) {
        case Cell::Kind::Integer:
            return sqlite3_bind_int64(statement, index, cell.integer);
        case Cell::Kind::Real:
            // The engine keeps no NaN as a number (it would store NULL, read
            // back as 0): the text "NaN" reads back as NaN.
            if (std::isnan(cell.real)) {
                return sqlite3_bind_text(statement, index, "NaN", 3, SQLITE_STATIC);
            }
            return sqlite3_bind_double(statement, index, cell.real);
        case Cell::Kind::Text:
            return sqlite3_bind_text64(statement, index, cell.text.data(), cell.text.size(),
                                       SQLITE_STATIC, SQLITE_UTF8);
        case Cell::Kind::Blob:
            return sqlite3_bind_blob64(statement, index, cell.blob->Data(), cell.blob->size,
                                       SQLITE_STATIC);
        case Cell::Kind::Null:
            break;
    }
    return sqlite3_bind_null(statement, index);
}

}  // namespace

void SqliteConnection::StatementCloser::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

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
    : handle_(handle), path_(std::move(path)), device_(device), inode_(inode) {}

SqliteConnection::~SqliteConnection() {
    cache_.clear();
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
    FileIdentity id;
    return IdentifyRegularFile(path_, id) && id.device == device_ && id.inode == inode_;
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

sqlite3_stmt* SqliteConnection::Cached(const std::string& sql) {
    auto found = cache_.find(sql);
    if (found != cache_.end()) {
        sqlite3_reset(found->second.get());
        sqlite3_clear_bindings(found->second.get());
        return found->second.get();
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v3(handle_, sql.c_str(), static_cast<int>(sql.size()),
                           SQLITE_PREPARE_PERSISTENT, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        FailStatement();
        return nullptr;
    }
    if (cache_.size() >= kStatementCacheLimit) cache_.clear();
    cache_.emplace(sql, std::unique_ptr<sqlite3_stmt, StatementCloser>(statement));
    return statement;
}

bool SqliteConnection::Query(const std::string& sql, ResultSet& out) {
    out.Clear();
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(handle_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr) !=
        SQLITE_OK) {
        return FailStatement();
    }
    std::unique_ptr<sqlite3_stmt, StatementCloser> statement(raw);
    if (!raw) return true;  // blank text: ran, no row
    const int columns = sqlite3_column_count(raw);
    out.columns.reserve(columns);
    for (int c = 0; c < columns; ++c) out.columns.emplace_back(sqlite3_column_name(raw, c));
    for (;;) {
        const int step = sqlite3_step(raw);
        if (step == SQLITE_DONE) return true;
        if (step != SQLITE_ROW) {
            out.Clear();
            return FailStatement();
        }
        for (int c = 0; c < columns; ++c) ReadColumn(raw, c, out);
    }
}

int SqliteConnection::ProbeTable(const std::string& table, std::vector<std::string>& columns) {
    const std::string name = QuoteIdentifier(table);
    sqlite3_stmt* shape = Cached("SELECT * FROM " + name + " LIMIT 0");
    if (!shape) return 2;
    columns.clear();
    const int count = sqlite3_column_count(shape);
    for (int c = 0; c < count; ++c) columns.emplace_back(sqlite3_column_name(shape, c));
    sqlite3_stmt* any = Cached("SELECT 1 FROM " + name + " LIMIT 1");
    if (!any) return 2;
    const int step = sqlite3_step(any);
    if (step == SQLITE_ROW || step == SQLITE_DONE) {
        sqlite3_reset(any);
        return step == SQLITE_ROW ? 0 : 1;
    }
    FailStatement();
    sqlite3_reset(any);
    return 2;
}

bool SqliteConnection::Execute(const std::string& sql) {
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    if (sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        return FailStatement();
    }
    return true;
}

bool SqliteConnection::Control(const std::string& sql) {
    if (sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Fail();
    return true;
}

bool SqliteConnection::Insert(const std::string& table, const std::vector<std::string>& columns,
                              const std::vector<const std::vector<Cell>*>& rows) {
    if (ScopeBroken()) {
        SetError("the write transaction could not begin");
        return false;
    }
    std::string sql = "INSERT INTO " + QuoteIdentifier(table) + " (";
    std::string values;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c) {
            sql += ',';
            values += ',';
        }
        sql += QuoteIdentifier(columns[c]);
        values += '?';
    }
    sql += ") VALUES (" + values + ")";
    if (columns.empty()) sql = "INSERT INTO " + QuoteIdentifier(table) + " DEFAULT VALUES";
    sqlite3_stmt* statement = Cached(sql);
    if (!statement) return false;
    for (const std::vector<Cell>* row : rows) {
        sqlite3_reset(statement);
        for (std::size_t c = 0; c < row->size(); ++c) {
            if (Bind(statement, static_cast<int>(c + 1), (*row)[c]) != SQLITE_OK) {
                FailStatement();
                sqlite3_clear_bindings(statement);
                return false;
            }
        }
        if (sqlite3_step(statement) != SQLITE_DONE) {
            FailStatement();
            sqlite3_reset(statement);
            sqlite3_clear_bindings(statement);
            return false;
        }
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return true;
}

}  // namespace strataloom::db
