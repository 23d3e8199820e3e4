// A connection of the formats library's own to a project database, for what
// the module's interfaces cannot ask: which tables and columns the database
// holds, the byte length and the bytes of value arrays, and rows of wells
// whatever their project (or of wells without a header at all). Rows arrive
// one at a time, so a large table is never held whole.
//
// Opened to read, the connection cannot change the database: the project
// file is opened read-only, the server session is read-only. A project file
// that is not there is an error, never a new file.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "formats/schemadefinition.h"

namespace strataloom::formats {

// One field of a row as stored.
struct DirectValue {
    enum class Kind { kNull, kNumber, kText, kBytes };
    Kind kind = Kind::kNull;
    double number = 0;  // a number's value
    std::string bytes;  // a text's or byte array's bytes; a number's text

    bool IsNull() const { return kind == Kind::kNull; }
};
using DirectRow = std::vector<DirectValue>;

class DirectConnection {
  public:
    enum class Access { kRead, kWrite };
    // Table names and column names, both in lower case.
    using TableColumns = std::map<std::string, std::set<std::string>>;
    // Called with each row in turn; false stops the rows.
    using RowVisitor = std::function<bool(const DirectRow&)>;

    virtual ~DirectConnection() = default;

    // The database of the connection string (a project file or a server
    // database); null with the reason when it cannot be opened.
    static std::unique_ptr<DirectConnection> Open(const std::string& connect, Access access,
                                                  std::string& reason);

    // Runs one statement, "?" marking each parameter (passed as text), and
    // hands its rows to visit (none: the rows are dropped). False with the
    // reason in Failure().
    virtual bool Each(const std::string& sql, const std::vector<std::string>& parameters,
                      const RowVisitor& visit) = 0;
    bool Run(const std::string& sql, const std::vector<std::string>& parameters = {}) {
        return Each(sql, parameters, nullptr);
    }

    // Every table of the database with its columns.
    bool Tables(TableColumns& tables);
    // The expression that gives the byte length of a byte-array column.
    virtual std::string ByteLength(const std::string& column) const = 0;

    // One view of the database for everything run until Commit or Rollback.
    // With write access the file is locked for writing from the start, so
    // what was read is still so when it is changed.
    virtual bool Begin() = 0;
    bool Commit() { return Run("COMMIT"); }
    void Rollback() { Run("ROLLBACK"); }

    // How reasons name the database: "project file PATH", "server database NAME".
    const std::string& Name() const { return name_; }
    const std::string& Failure() const { return failure_; }

  protected:
    // Rows of a table name and one of its column names, for every column.
    virtual const char* ColumnsQuery() const = 0;

    std::string name_;
    std::string failure_;
};

// sql with each "?" numbered as the server numbers parameters: $1, $2...
std::string NumberedParameters(const std::string& sql);

}  // namespace strataloom::formats
