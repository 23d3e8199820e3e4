// The raw connection's project file engine.
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "dbaccess/sqltext.h"
#include "formats/directdb.h"

namespace strataloom::formats {

namespace {

using strataloom::db::QuoteIdentifier;

// The class of a declared type by the engine's own rules of affinity.
ColumnClass FileColumnClass(std::string declared) {
    for (char& c : declared) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto has = [&declared](const char* part) {
        return declared.find(part) != std::string::npos;
    };
    if (has("INT")) return ColumnClass::kInteger;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return ColumnClass::kText;
    if (declared.empty() || has("BLOB")) return ColumnClass::kBytes;
    if (has("REAL") || has("FLOA") || has("DOUB")) return ColumnClass::kReal;
    return ColumnClass::kOther;
}

// The class of a result column: its table column's, none for an expression.
ColumnClass ResultColumnClass(sqlite3_stmt* statement, int column) {
    const char* declared = sqlite3_column_decltype(statement, column);
    return declared ? FileColumnClass(declared) : ColumnClass::kOther;
}

// The value as the column keeps it: NaN is stored as the text "NaN" in a
// number column (the engine keeps no NaN as a number), and bytes stored as
// text are bytes all the same.
Cell ReadCell(sqlite3_stmt* statement, int column, ColumnClass kind) {
    Cell cell;
    switch (sqlite3_column_type(statement, column)) {
        case SQLITE_INTEGER:
            cell.kind = CellKind::kInteger;
            cell.integer = sqlite3_column_int64(statement, column);
            if (kind == ColumnClass::kReal && std::llabs(cell.integer) <= (1LL << 53)) {
                cell.kind = CellKind::kReal;
                cell.real = static_cast<double>(cell.integer);
            }
            break;
        case SQLITE_FLOAT:
            cell.kind = CellKind::kReal;
            cell.real = sqlite3_column_double(statement, column);
            break;
        case SQLITE_TEXT:
            cell.data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
            cell.size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
            cell.kind = kind == ColumnClass::kBytes ? CellKind::kBytes : CellKind::kText;
            if (kind == ColumnClass::kReal && cell.size == 3 &&
                std::memcmp(cell.data, "NaN", 3) == 0) {
                cell.kind = CellKind::kReal;
                cell.real = std::numeric_limits<double>::quiet_NaN();
            }
            break;
        case SQLITE_BLOB:
            cell.kind = CellKind::kBytes;
            cell.data = static_cast<const char*>(sqlite3_column_blob(statement, column));
            cell.size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
            if (!cell.data) cell.data = "";
            break;
        default:
            break;
    }
    return cell;
}

int Bind(sqlite3_stmt* statement, int index, const Cell& cell) {
    switch (cell.kind) {
        case CellKind::kInteger:
            return sqlite3_bind_int64(statement, index, cell.integer);
        case CellKind::kReal:
            if (std::isnan(cell.real)) {
                return sqlite3_bind_text(statement, index, "NaN", 3, SQLITE_STATIC);
            }
            return sqlite3_bind_double(statement, index, cell.real);
        case CellKind::kText:
            return sqlite3_bind_text64(statement, index, cell.data, cell.size, SQLITE_STATIC,
                                       SQLITE_UTF8);
        case CellKind::kBytes:
            return sqlite3_bind_blob64(statement, index, cell.data, cell.size, SQLITE_STATIC);
        case CellKind::kNull:
            break;
    }
    return sqlite3_bind_null(statement, index);
}

struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using FileStatement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

class FileConnection final : public DirectConnection {
  public:
    ~FileConnection() override {
        insert_.reset();
        // A write not committed is rolled back by closing.
        sqlite3_close_v2(handle_);
    }

    bool Open(const std::string& path, Access access, std::string& reason) {
        name_ = "project file " + path;
        access_ = access;
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            reason = "there is no " + name_;
            return false;
        }
        const int flags = access == Access::kRead ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        if (sqlite3_open_v2(path.c_str(), &handle_, flags, nullptr) != SQLITE_OK) {
            reason = "cannot open the " + name_ + ": " +
                     (handle_ ? sqlite3_errmsg(handle_) : "out of memory");
            return false;
        }
        // Hosts may be writing through the module: wait for their locks.
        sqlite3_busy_timeout(handle_, 60000);
        // The file is read only now: one that is no database says so here.
        if (!Run("SELECT count(*) FROM sqlite_master")) {
            reason = "cannot read the " + name_ + ": " + failure_;
            return false;
        }
        return true;
    }

    bool Each(const std::string& sql, const std::vector<std::string>& parameters,
              const RowVisitor& visit) override {
        FileStatement statement;
        if (!Prepare(sql, statement)) return false;
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            sqlite3_bind_text(statement.get(), static_cast<int>(i + 1), parameters[i].data(),
                              static_cast<int>(parameters[i].size()), SQLITE_STATIC);
        }
        if (!visit) return Step(statement.get(), sql, nullptr, visit);
        std::vector<ColumnClass> classes(
            static_cast<std::size_t>(sqlite3_column_count(statement.get())));
        for (std::size_t c = 0; c < classes.size(); ++c) {
            classes[c] = ResultColumnClass(statement.get(), static_cast<int>(c));
        }
        // Rows stopped by visit are no failure here.
        bool stopped = false;
        return Step(statement.get(), sql, &classes, visit, &stopped) || stopped;
    }

    bool Tables(std::vector<DbTable>& tables) override {
        const bool named = Each(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
            "'sqlite\\_%' ESCAPE '\\' ORDER BY name",
            {}, [&](const DbRow& row) {
                tables.push_back({row[0].Text(), {}});
                return true;
            });
        if (!named) return false;
        for (DbTable& table : tables) {
            const bool described = Each("PRAGMA table_info(" + QuoteIdentifier(table.name) + ")",
                                        {}, [&](const DbRow& row) {
                                            DbColumn column;
                                            column.name = row[1].Text();
                                            column.kind = FileColumnClass(row[2].Text());
                                            table.columns.push_back(std::move(column));
                                            return true;
                                        });
            if (!described) return false;
        }
        return true;
    }

    std::string ByteLength(const std::string& column) const override {
        // length() of a byte array reads its size alone, not its content.
        return "CASE WHEN typeof(" + column + ") = 'blob' THEN length(" + column +
               ") ELSE length(CAST(" + column + " AS BLOB)) END";
    }

    bool Begin() override { return Run(access_ == Access::kWrite ? "BEGIN IMMEDIATE" : "BEGIN"); }

    bool ReadTable(const std::string& table, const std::vector<DbColumn>& columns,
                   const RowVisitor& visit) override {
        const std::string sql =
            "SELECT " + JoinedColumns(columns) + " FROM " + QuoteIdentifier(table);
        FileStatement select;
        if (!Prepare(sql, select)) return false;
        std::vector<ColumnClass> classes;
        for (const DbColumn& column : columns) classes.push_back(column.kind);
        return Step(select.get(), sql, &classes, visit);
    }

    // Everything in one transaction: a copy that stops leaves the file as
    // the template made it, and no journal once it is closed.
    bool BeginFilling() override {
        return Run("PRAGMA cache_size = -65536") && Run("BEGIN IMMEDIATE");
    }

    bool StartTable(const std::string& table, const std::vector<DbColumn>& columns) override {
        std::string marks;
        for (std::size_t c = 0; c < columns.size(); ++c) marks += c ? ", ?" : "?";
        insertSql_ = "INSERT INTO " + QuoteIdentifier(table) + " (" + JoinedColumns(columns) +
                     ") VALUES (" + marks + ")";
        return Prepare(insertSql_, insert_);
    }

    bool WriteRow(const DbRow& row) override {
        sqlite3_stmt* insert = insert_.get();
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (Bind(insert, static_cast<int>(c + 1), row[c]) != SQLITE_OK) {
                return Failed(insertSql_);
            }
        }
        const int step = sqlite3_step(insert);
        sqlite3_reset(insert);
        return step == SQLITE_DONE || Failed(insertSql_);
    }

    bool FinishTable() override {
        insert_.reset();
        return true;
    }

  private:
    bool Prepare(const std::string& sql, FileStatement& statement) {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &prepared, nullptr) != SQLITE_OK) {
            return Failed(sql);
        }
        statement.reset(prepared);
        return true;
    }

    // Steps through the rows, each handed to visit as cells of the classes
    // given; without visit the rows are dropped. False also when visit
    // stopped (said in stopped, when given).
    bool Step(sqlite3_stmt* statement, const std::string& sql,
              const std::vector<ColumnClass>* classes, const RowVisitor& visit,
              bool* stopped = nullptr) {
        DbRow row(classes ? classes->size() : 0);
        int step;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!visit) continue;
            for (std::size_t c = 0; c < row.size(); ++c) {
                row[c] = ReadCell(statement, static_cast<int>(c), (*classes)[c]);
            }
            if (!visit(row)) {
                if (stopped) *stopped = true;
                return false;
            }
        }
        return step == SQLITE_DONE || Failed(sql);
    }

    bool Failed(const std::string& sql) {
        failure_ = std::string(sqlite3_errmsg(handle_)) + " [" + name_ + "] in: " + sql;
        return false;
    }

    sqlite3* handle_ = nullptr;
    Access access_ = Access::kRead;
    FileStatement insert_;
    std::string insertSql_;
};

}  // namespace

std::unique_ptr<DirectConnection> OpenProjectFile(const std::string& path,
                                                  DirectConnection::Access access,
                                                  std::string& reason) {
    return OpenedConnection<FileConnection>(path, access, reason);
}

}  // namespace strataloom::formats
