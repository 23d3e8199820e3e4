// The formats library's one raw connection to a project database, a project
// file or a server database, for what the module's interfaces cannot ask:
// which tables and columns the database holds, rows of wells whatever their
// project (or of wells without a header at all), the library's own tables,
// and whole tables streamed from one database into another. Rows arrive one
// at a time as typed cells, so a large table is never held whole, and value
// arrays and images arrive as their bytes.
//
// Opened to read, the connection cannot change the database: the project
// file is opened read-only, the server session is read-only. A project file
// that is not there is an error, never a new file. Every failure names the
// database and the statement.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace strataloom::formats {

// What a column keeps, whatever the engine calls it.
enum class ColumnClass { kInteger, kReal, kText, kBytes, kOther };

struct DbColumn {
    std::string name;  // as the engine names it
    ColumnClass kind = ColumnClass::kOther;
    unsigned type = 0;  // the server's type of the column; 0 on a project file
};

struct DbTable {
    std::string name;  // as the engine names it
    std::vector<DbColumn> columns;
};

enum class CellKind : unsigned char { kNull, kInteger, kReal, kText, kBytes };

// One value of a row; text and bytes point into the connection's memory,
// valid while the row is handed on.
struct Cell {
    CellKind kind = CellKind::kNull;
    long long integer = 0;
    double real = 0.0;
    const char* data = nullptr;
    std::size_t size = 0;

    bool IsNull() const { return kind == CellKind::kNull; }
    // A number's value (0 for text, bytes and no value).
    double Number() const {
        return kind == CellKind::kReal      ? real
               : kind == CellKind::kInteger ? static_cast<double>(integer)
                                            : 0.0;
    }
    // Text and bytes as they are, a number as text, no value as "".
    std::string Text() const;
};

using DbRow = std::vector<Cell>;

// A text naming a cell's value for a failure reason.
std::string DescribeCell(const Cell& cell);

class DirectConnection {
  public:
    enum class Access { kRead, kWrite };
    // Table names and column names, both in lower case.
    using TableColumns = std::map<std::string, std::set<std::string>>;
    // Called with each row in turn; false stops the rows.
    using RowVisitor = std::function<bool(const DbRow&)>;

    virtual ~DirectConnection() = default;

    // The database of the connection string (a project file or a server
    // database); null with the reason when it cannot be opened.
    static std::unique_ptr<DirectConnection> Open(const std::string& connect, Access access,
                                                  std::string& reason);

    // Runs one statement, "?" marking each parameter (passed as text), and
    // hands its rows to visit (none: the rows are dropped); visit may stop
    // them early. False with the reason in Failure().
    virtual bool Each(const std::string& sql, const std::vector<std::string>& parameters,
                      const RowVisitor& visit) = 0;
    bool Run(const std::string& sql, const std::vector<std::string>& parameters = {}) {
        return Each(sql, parameters, nullptr);
    }

    // Every table of the database with its columns, by name, internal
    // tables of the engine left out.
    virtual bool Tables(std::vector<DbTable>& tables) = 0;
    // The same with names in lower case, as names are compared.
    bool Tables(TableColumns& tables);
    // The expression that gives the byte length of a byte-array column.
    virtual std::string ByteLength(const std::string& column) const = 0;

    // One view of the database for everything run until Commit or Rollback.
    // With write access the file is locked for writing from the start, so
    // what was read is still so when it is changed.
    virtual bool Begin() = 0;
    bool Commit() { return Run("COMMIT"); }
    void Rollback() { Run("ROLLBACK"); }

    // ---- whole tables, as a copy moves them ----

    // Streams the columns of table, in the order given, to visit; false
    // also when visit stopped.
    virtual bool ReadTable(const std::string& table, const std::vector<DbColumn>& columns,
                           const RowVisitor& visit) = 0;
    // One transaction for filling tables with WriteRow, as fast as the
    // engine takes rows.
    virtual bool BeginFilling() = 0;
    virtual bool StartTable(const std::string& table, const std::vector<DbColumn>& columns) = 0;
    // A row of the columns of StartTable.
    virtual bool WriteRow(const DbRow& row) = 0;
    virtual bool FinishTable() = 0;

    // How reasons name the database: "project file PATH", "server database
    // NAME on HOST".
    const std::string& Name() const { return name_; }
    const std::string& Failure() const { return failure_; }

  protected:
    std::string name_;
    std::string failure_;
};

// An engine's connection once its Open(where, access, reason) succeeded;
// null with the reason.
template <class Engine>
std::unique_ptr<DirectConnection> OpenedConnection(const std::string& where,
                                                   DirectConnection::Access access,
                                                   std::string& reason) {
    auto engine = std::make_unique<Engine>();
    if (!engine->Open(where, access, reason)) return nullptr;
    return engine;
}

// Opens each engine; defined where the engines are.
std::unique_ptr<DirectConnection> OpenProjectFile(const std::string& path,
                                                  DirectConnection::Access access,
                                                  std::string& reason);
std::unique_ptr<DirectConnection> OpenServerDatabase(const std::string& connect,
                                                     DirectConnection::Access access,
                                                     std::string& reason);

// sql with each "?" numbered as the server numbers parameters: $1, $2...
std::string NumberedParameters(const std::string& sql);

// The column names, quoted and joined by commas.
std::string JoinedColumns(const std::vector<DbColumn>& columns);

}  // namespace strataloom::formats
