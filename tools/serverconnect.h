// Connection strings of databases on a server, as the host program prints
// and uses them.
#pragma once

#include <string>

namespace tool {

// The connection string of database name on the server that server reaches:
// in the URI form the path names the database; in the key=value form every
// dbname keyword takes the name, and one is added when there is none.
// Everything else stays as given.
std::string ServerDatabaseConnect(const std::string& server, const std::string& name);

}  // namespace tool
