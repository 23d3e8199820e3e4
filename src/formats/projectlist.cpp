#include "formats/projectlist.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <memory>

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

ProjectCount CountRow(const char* name, const char* header, const char* wells) {
    ProjectCount project;
    project.name = name ? name : "";
    project.header = header && std::string(header) != "0";
    project.wells = wells ? std::stoul(wells) : 0;
    return project;
}

bool ListFileProjects(const std::string& path, std::vector<ProjectCount>& projects,
                      std::string& reason) {
    const std::string what = "cannot list the projects of " + path + ": ";
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        reason = what + "no such project file";
        return false;
    }
    sqlite3* handle = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READONLY, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close_v2);
    if (opened != SQLITE_OK) {
        reason = what + (handle ? sqlite3_errmsg(handle) : "out of memory");
        return false;
    }
    // A writer of the module may hold the file for a moment.
    sqlite3_busy_timeout(handle, 60000);
    sqlite3_stmt* prepared = nullptr;
    if (sqlite3_prepare_v2(handle, kProjectCountQuery, -1, &prepared, nullptr) != SQLITE_OK) {
        reason = what + sqlite3_errmsg(handle);
        return false;
    }
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(prepared)) == SQLITE_ROW) {
        auto text = [&](int column) {
            return reinterpret_cast<const char*>(sqlite3_column_text(prepared, column));
        };
        projects.push_back(CountRow(text(0), text(1), text(2)));
    }
    if (step != SQLITE_DONE) {
        reason = what + sqlite3_errmsg(handle);
        return false;
    }
    return true;
}

// Runs sql on the server connection; null after setting reason.
std::unique_ptr<PGresult, void (*)(PGresult*)> ServerRun(PGconn* connection, const char* sql,
                                                         ExecStatusType expected,
                                                         const std::string& what,
                                                         std::string& reason) {
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(connection, sql), PQclear);
    if (!result || PQresultStatus(result.get()) != expected) {
        reason = what + PQerrorMessage(connection);
        while (!reason.empty() && reason.back() == '\n') reason.pop_back();
        result.reset();
    }
    return result;
}

bool ListServerProjects(const std::string& connect, std::vector<ProjectCount>& projects,
                        std::string& reason) {
    const std::string what = "cannot list the projects of " + connect + ": ";
    std::unique_ptr<PGconn, void (*)(PGconn*)> connection(PQconnectdb(connect.c_str()), PQfinish);
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK ||
        PQsetClientEncoding(connection.get(), "UTF8") != 0) {
        reason = what + (connection ? PQerrorMessage(connection.get()) : "out of memory");
        while (!reason.empty() && reason.back() == '\n') reason.pop_back();
        return false;
    }
    // A read-only transaction: the listing cannot change the database; it
    // ends with the connection.
    if (!ServerRun(connection.get(), "START TRANSACTION READ ONLY", PGRES_COMMAND_OK, what,
                   reason)) {
        return false;
    }
    auto result = ServerRun(connection.get(), kProjectCountQuery, PGRES_TUPLES_OK, what, reason);
    if (!result) return false;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        projects.push_back(CountRow(PQgetvalue(result.get(), row, 0),
                                    PQgetvalue(result.get(), row, 1),
                                    PQgetvalue(result.get(), row, 2)));
    }
    return true;
}

}  // namespace

bool ListDatabaseProjects(const std::string& connect, std::vector<ProjectCount>& projects,
                          std::string& reason) {
    projects.clear();
    const bool listed = IsServerConnection(connect)
                            ? ListServerProjects(connect, projects, reason)
                            : ListFileProjects(ProjectFilePath(connect), projects, reason);
    if (!listed) {
        projects.clear();
        return false;
    }
    std::sort(projects.begin(), projects.end(),
              [](const ProjectCount& a, const ProjectCount& b) { return a.name < b.name; });
    return true;
}

}  // namespace strataloom::formats
