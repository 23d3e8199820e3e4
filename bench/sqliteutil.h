// What the hand-written SQLite baselines share: handles that close
// themselves, prepared statements, and the column and parameter texts.
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>

namespace bench {

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

struct DatabaseCloser {
    void operator()(sqlite3* handle) const { sqlite3_close_v2(handle); }
};
using Database = std::unique_ptr<sqlite3, DatabaseCloser>;

inline std::string ColumnText(sqlite3_stmt* statement, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return text ? std::string(text,
                              static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
                : std::string();
}

inline void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
    sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

// Prepares sql for the whole run into statement.
inline bool Prepare(sqlite3* handle, const char* sql, Statement& statement) {
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v3(handle, sql, -1, SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    statement.reset(raw);
    return rc == SQLITE_OK;
}

}  // namespace bench
