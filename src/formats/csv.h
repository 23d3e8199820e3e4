// Spreadsheet exports: a header row naming the columns, in any order, then
// one row per line. Fields are separated by commas, semicolons or tabs (the
// one the header row uses most) and may be quoted with '"'.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/diagnostics.h"

namespace strataloom::formats {

struct CsvRow {
    int line = 0;
    std::vector<std::string> fields;
};

struct CsvTable {
    std::vector<std::string> header;
    std::vector<CsvRow> rows;  // blank lines left out
};

// Text that is not UTF-8 is read as Windows-1252.
bool ParseCsv(std::string_view text, CsvTable& table, Diagnostics& diagnostics);

// A column the reader looks for: the names it goes by, compared after
// lowering case and dropping blanks, '_', '-' and units in brackets
// ("Top Depth (m)" matches "topdepth").
struct CsvColumn {
    const char* name;  // as messages call it
    std::vector<const char*> aliases;
    bool required = true;
};

// The position of each wanted column in the header (-1 when an optional one
// is missing). A missing required column or one named twice is an error; a
// header column nobody asked for gets a warning.
bool FindColumns(const CsvTable& table, const std::vector<CsvColumn>& wanted,
                 std::vector<int>& positions, Diagnostics& diagnostics);

}  // namespace strataloom::formats
