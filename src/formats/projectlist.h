// Every project a database holds, with its well count. The module's
// interfaces open one project at a time and have no way to list them, so the
// project headers (b_project_data) and the well headers (w_well_data) are
// read directly, read-only, through the engine's client library: the project
// file (never created here) or the server database of a connection string.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace strataloom::formats {

struct ProjectCount {
    std::string name;
    bool header = false;    // the project has a row in b_project_data
    std::size_t wells = 0;  // distinct well names in w_well_data
};

// The projects named in either table, sorted by name (by their bytes); a
// project with wells but no header is listed with header false. False with
// the reason (the database and the engine's message) when the database does
// not open or the tables cannot be read.
bool ListDatabaseProjects(const std::string& connect, std::vector<ProjectCount>& projects,
                          std::string& reason);

}  // namespace strataloom::formats
