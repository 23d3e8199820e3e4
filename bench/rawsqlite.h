// The baseline on the embedded engine: the SQLite C API used directly, one
// connection and prepared statements kept for the whole run.
#pragma once

#include <memory>
#include <string>

#include "workload.h"

namespace bench {

// Opens the project database file with the settings the module's connection
// uses (rollback journal, full synchronisation); null when it cannot.
std::unique_ptr<RawEngine> OpenRawSqlite(const std::string& path, std::string& error);

}  // namespace bench
