#include "dbaccess/sqlite/sqliteconnection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr std::size_t kStatementCacheLimit = 64;

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

bool IdentifyRegularFile(const std::string& path, FileIdentity& id) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    id.device = info.st_dev;
    id.inode = info.st_ino;
    return true;
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

// Text and blob parameters point into the caller's cells, which outlive the step.
int Bind(sqlite3_stmt* statement, int index, const Cell& cell) {
    switch (cell.kind) {
        case Cell::Kind::Integer:
            return sqlite3_bind_int64(statement, index, cell.integer);
        case Cell::Kind::Real:
            return sqlite3_bind_double(statement, index, cell.real);
        case Cell::Kind::Text:
            return sqlite3_bind_text(statement, index, cell.text.data(),
                                     static_cast<int>(cell.text.size()), SQLITE_STATIC);
        case Cell::Kind::Blob:
            return sqlite3_bind_blob(statement, index, cell.blob->Data(),
                                     static_cast<int>(cell.blob->size), SQLITE_STATIC);
        case Cell::Kind::Null:
            break;
    }
    return sqlite3_bind_null(statement, index);
}

}  // namespace

void SqliteConnection::StatementCloser::operator()(sqlite3_stmt* statement) const {
    sqlite3_finalize(statement);
}

std::unique_ptr<Connection> SqliteConnection::Open(const std::string& path) {
    FileIdentity id;
    if (!IdentifyRegularFile(path, id)) return nullptr;
    sqlite3* handle = nullptr;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &handle, flags, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(handle);
        return nullptr;
    }
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    // Readers and one writer in other threads or processes go on side by side.
    // A file that cannot take these settings (read-only, say) is still usable.
    sqlite3_exec(handle, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    return std::unique_ptr<Connection>(new SqliteConnection(handle, path, id.device, id.inode));
}

SqliteConnection::SqliteConnection(sqlite3* handle, std::string path, dev_t device, ino_t inode)
    : handle_(handle), path_(std::move(path)), device_(device), inode_(inode) {}

SqliteConnection::~SqliteConnection() {
    cache_.clear();
    sqlite3_close_v2(handle_);
}

bool SqliteConnection::StillValid() const {
    FileIdentity id;
    return IdentifyRegularFile(path_, id) && id.device == device_ && id.inode == inode_;
}

bool SqliteConnection::Fail() {
    SetError(sqlite3_errmsg(handle_));
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
        Fail();
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
        sqlite3_finalize(raw);
        return Fail();
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
            return Fail();
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
    sqlite3_reset(any);
    if (step == SQLITE_ROW) return 0;
    if (step == SQLITE_DONE) return 1;
    Fail();
    return 2;
}

bool SqliteConnection::Execute(const std::string& sql) {
    if (ScopeBroken()) return false;
    if (sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Fail();
    return true;
}

bool SqliteConnection::Control(const std::string& sql) {
    if (sqlite3_exec(handle_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return Fail();
    return true;
}

bool SqliteConnection::Insert(const std::string& table, const std::vector<std::string>& columns,
                              const std::vector<const std::vector<Cell>*>& rows) {
    if (ScopeBroken()) return false;
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
            if (Bind(statement, static_cast<int>(c + 1), (*row)[c]) != SQLITE_OK) return Fail();
        }
        if (sqlite3_step(statement) != SQLITE_DONE) {
            Fail();
            sqlite3_reset(statement);
            return false;
        }
    }
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return true;
}

}  // namespace strataloom::db
