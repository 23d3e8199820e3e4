#include "formats/projectlist.h"

#include <algorithm>
#include <filesystem>
#include <memory>

#include "formats/directdb.h"
#include "formats/owntables.h"

namespace strataloom::formats {

namespace {

// One row per project named in either table: its name, 1 when it has a
// header, and how many distinct wells it has. Unquoted names, which the
// server folds to the lower case its tables are made with.
constexpr const char* kProjectCountQuery =
    "SELECT ProjectName, MAX(Header), COUNT(DISTINCT WellName) FROM ("
    "SELECT ProjectName, 1 AS Header, NULL AS WellName FROM b_project_data "
    "UNION ALL SELECT ProjectName, 0, WellName FROM w_well_data) AS named "
    "WHERE ProjectName IS NOT NULL AND ProjectName <> '' GROUP BY ProjectName";

}  // namespace

bool ListDatabaseProjects(const std::string& connect, std::vector<ProjectCount>& projects,
                          std::string& reason) {
    projects.clear();
    const std::string what = "cannot list the projects of " + ProjectFilePath(connect) + ": ";
    std::error_code error;
    if (!IsServerConnection(connect) &&
        !std::filesystem::is_regular_file(ProjectFilePath(connect), error)) {
        reason = what + "no such project file";
        return false;
    }
    // Opened to read: the listing cannot change the database.
    auto db = DirectConnection::Open(connect, DirectConnection::Access::kRead, reason);
    if (!db) {
        reason = what + reason;
        return false;
    }
    const bool listed = db->Each(kProjectCountQuery, {}, [&projects](const DbRow& row) {
        ProjectCount project;
        project.name = row[0].Text();
        project.header = row[1].Number() != 0;
        project.wells = static_cast<std::size_t>(row[2].Number());
        projects.push_back(std::move(project));
        return true;
    });
    if (!listed) {
        reason = what + db->Failure();
        projects.clear();
        return false;
    }
    std::sort(projects.begin(), projects.end(),
              [](const ProjectCount& a, const ProjectCount& b) { return a.name < b.name; });
    return true;
}

}  // namespace strataloom::formats
