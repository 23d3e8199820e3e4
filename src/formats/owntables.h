// The tables the formats library keeps in a project database beside the
// module's: the depth unit of each project and the LAS header items of each
// imported run of a well. The module knows nothing of them, so they are
// reached through the library's raw connection on the same database (the
// embedded file or the server database of the connection string). A project
// made before these tables existed gets them on first use.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace strataloom::formats {

class DirectConnection;

// Whether a connection string names a server database rather than a project
// file, by the module's rule.
bool IsServerConnection(const std::string& connect);
// The project file a connection string names (after "sqlite:", or the whole).
std::string ProjectFilePath(const std::string& connect);

// The statements that make the tables when a database lacks them: the
// definitions that close schema/tables.sql (so new projects have them from
// the start), each made only when missing.
const std::vector<std::string>& OwnTableDefinitions();

class OwnTables {
  public:
    using Row = std::vector<std::string>;

    explicit OwnTables(std::string connect);
    ~OwnTables();
    OwnTables(const OwnTables&) = delete;
    OwnTables& operator=(const OwnTables&) = delete;

    // Connects and makes the tables that are missing; false with a reason.
    bool Open(std::string& reason);

    // Runs one statement, "?" marking each parameter (all passed as text);
    // rows, when given, receive every row of the answer as text.
    bool Run(const std::string& sql, const std::vector<std::string>& parameters,
             std::vector<Row>* rows = nullptr);
    // The reason for the last failure.
    const std::string& Failure() const { return failure_; }

    // One transaction: everything run between Begin and Commit lands
    // together or, when Commit is not reached, not at all.
    bool Begin() { return Run("BEGIN", {}); }
    bool Commit() { return Run("COMMIT", {}); }
    void Rollback() { Run("ROLLBACK", {}); }

  private:
    std::string connect_;
    std::unique_ptr<DirectConnection> db_;
    std::string failure_;
};

// Rolls back a transaction of OwnTables unless it was committed.
class OwnTransaction {
  public:
    explicit OwnTransaction(OwnTables& tables) : tables_(tables), open_(tables.Begin()) {}
    ~OwnTransaction() {
        if (open_) tables_.Rollback();
    }
    OwnTransaction(const OwnTransaction&) = delete;
    OwnTransaction& operator=(const OwnTransaction&) = delete;
    bool Open() const { return open_; }
    bool Commit() {
        const bool committed = open_ && tables_.Commit();
        if (committed) open_ = false;
        return committed;
    }

  private:
    OwnTables& tables_;
    bool open_;
};

}  // namespace strataloom::formats
