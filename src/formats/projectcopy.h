// Moving a whole project database between engines: every table of a project
// file into a new server database, or the other way, or between two of the
// same engine. The target is made new by the module, so every table has the
// module's own definition there; the rows are streamed table by table, and
// at the end both sides are read again and compared table by table (row
// count and a content checksum). A copy that fails, is interrupted or
// compares unequal leaves no target behind.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/hostcommands.h"
#include "formats/listing.h"

namespace strataloom::formats {

struct CopyProjectOptions {
    std::string source;  // a project file, a project folder or a server connection string
    // A new project folder (FOLDER/NAME, or FOLDER/NAME/NAME.mdb), or a server
    // connection string whose database name is new on that server.
    std::string target;
    // The folder of the template project database for a new project folder;
    // empty: the first of CommandIo::templateDirs that holds one.
    std::string templateDir;
    ListingFormat format = ListingFormat::kTable;
};

// What one table's copy carried, and what both sides held afterwards.
struct TableCopyResult {
    std::string table;
    std::uint64_t sourceRows = 0;
    std::uint64_t targetRows = 0;
    std::uint64_t sourceChecksum = 0;
    std::uint64_t targetChecksum = 0;
    std::uint64_t bytes = 0;  // the table data carried: value bytes, 8 per number
    bool Same() const { return sourceRows == targetRows && sourceChecksum == targetChecksum; }
};

// Copies options.source into the new options.target; the exit code (0 copied
// and compared equal, 1 failed and the target removed, 2 bad usage, 130
// stopped by SIGINT or SIGTERM and the target removed).
int RunCopyProject(IDataFactory& factory, const CopyProjectOptions& options, CommandIo& io);

// The command's entry for the host program's table.
FormatCommand CopyProjectCommand();

}  // namespace strataloom::formats
