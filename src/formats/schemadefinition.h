// The one definition of every table of a project database (schema/tables.sql),
// built into the library, so that a database can be compared with what it
// should hold whatever files are installed beside the program.
#pragma once

#include <string>
#include <vector>

namespace strataloom::formats {

struct DefinedColumn {
    std::string name;
    std::string type;  // as written: TEXT, INTEGER, REAL or BLOB
};

struct DefinedTable {
    std::string name;
    std::vector<DefinedColumn> columns;

    // Whether the table has the column, compared without regard to case as
    // both engines compare names that were not quoted.
    bool Has(const std::string& column) const;
    // Whether the table's rows belong to the well its first column names
    // (the well header's own table is not one of them).
    bool IsWellBoreTable() const;
};

// The table of well headers.
constexpr const char* kWellHeaderTable = "w_well_data";

// The tables of a definition text: each "CREATE TABLE name (" followed by
// one "  Name TYPE ..." line per column up to ");".
std::vector<DefinedTable> ParseTableDefinitions(const std::string& text);

// The definition text the library was built with (schema/tables.sql).
const char* SchemaDefinitionText();

// The tables of the definition the library was built with, in its order.
const std::vector<DefinedTable>& DefinedTables();

// text in lower case (ASCII letters only), as names are compared.
std::string LowerName(std::string text);

}  // namespace strataloom::formats
