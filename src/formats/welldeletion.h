// Every row of one well in a project database: its header in a project and
// its rows in every table whose rows belong to a well, found and removed in
// one transaction, so that a well is deleted wholly or not at all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "formats/directdb.h"

namespace strataloom::formats {

// The rows of the well in one table.
struct WellTableRows {
    std::string table;
    std::uint64_t rows = 0;
};

class WellDeletion {
  public:
    // Opens the database for writing, begins the transaction and counts the
    // well's rows; false with the reason.
    bool Count(const std::string& connect, const std::string& project, const std::string& well,
               std::string& reason);

    // The tables that hold rows of the well, in the order of the tables'
    // definition, the header's table first.
    const std::vector<WellTableRows>& Found() const { return found_; }
    std::uint64_t Rows(const std::string& table) const;
    std::uint64_t TotalRows() const;
    // Headers of the well in other projects than the one counted.
    std::uint64_t HeadersElsewhere() const { return headersElsewhere_; }

    // Removes every row counted and commits; on false (with the reason)
    // nothing is removed.
    bool Delete(std::string& reason);

  private:
    // The condition on the well's rows of table, with its parameters.
    struct Scope {
        std::string table;
        std::string condition;
        std::vector<std::string> parameters;
    };

    bool CountRows(const Scope& scope, std::uint64_t& rows, std::string& reason);

    std::unique_ptr<DirectConnection> db_;
    std::vector<Scope> scopes_;  // those of the tables in found_
    std::vector<WellTableRows> found_;
    std::uint64_t headersElsewhere_ = 0;
};

}  // namespace strataloom::formats
