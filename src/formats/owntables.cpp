#include "formats/owntables.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <filesystem>

#include "formats/directdb.h"

namespace strataloom::formats {

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

}  // namespace

// The module's rule: a server URI, or a key=value string the client library
// reads; a project file that exists is a file whatever its name holds.
std::string ProjectFilePath(const std::string& connect) {
    return StartsWith(connect, "sqlite:") ? connect.substr(7) : connect;
}

bool IsServerConnection(const std::string& connect) {
    if (StartsWith(connect, "postgresql://") || StartsWith(connect, "postgres://")) return true;
    const std::string path = ProjectFilePath(connect);
    std::error_code error;
    if (connect.find('=') == std::string::npos || std::filesystem::is_regular_file(path, error)) {
        return false;
    }
    char* message = nullptr;
    PQconninfoOption* parsed = PQconninfoParse(connect.c_str(), &message);
    PQfreemem(message);
    if (!parsed) return false;
    PQconninfoFree(parsed);
    return true;
}

const std::vector<std::string>& OwnTableDefinitions() {
    static const std::vector<std::string> definitions = {
        "CREATE TABLE IF NOT EXISTS b_project_unit (\n"
        "  ProjectName TEXT,\n"
        "  DepthUnit TEXT\n"
        ")",
        "CREATE TABLE IF NOT EXISTS w_las_header (\n"
        "  WellName TEXT,\n"
        "  DepthCurveName TEXT,\n"
        "  CurveName TEXT,\n"
        "  Section TEXT,\n"
        "  ItemOrder INTEGER,\n"
        "  Mnemonic TEXT,\n"
        "  Unit TEXT,\n"
        "  Value TEXT,\n"
        "  Description TEXT\n"
        ")",
        "CREATE INDEX IF NOT EXISTS ix_w_las_header_WellName ON w_las_header (WellName)",
    };
    return definitions;
}

class OwnTables::Engine {
  public:
    virtual ~Engine() = default;
    virtual bool Run(const std::string& sql, const std::vector<std::string>& parameters,
                     std::vector<Row>* rows, std::string& failure) = 0;
};

namespace {

class SqliteEngine final : public OwnTables::Engine {
  public:
    ~SqliteEngine() override { sqlite3_close_v2(handle_); }

    bool Open(const std::string& path, std::string& failure) {
        // The file must be there: a project is made by create-project, not here.
        if (sqlite3_open_v2(path.c_str(), &handle_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
            failure = "cannot open the project file " + path + ": " + sqlite3_errmsg(handle_);
            return false;
        }
        // The module writes through its own connection: wait for its lock.
        sqlite3_busy_timeout(handle_, 60000);
        return true;
    }

    bool Run(const std::string& sql, const std::vector<std::string>& parameters,
             std::vector<OwnTables::Row>* rows, std::string& failure) override {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            failure = sqlite3_errmsg(handle_) + std::string(" in: ") + sql;
            return false;
        }
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(),
                              static_cast<int>(parameters[i].size()), SQLITE_STATIC);
        }
        int step = SQLITE_ROW;
        while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!rows) continue;
            OwnTables::Row row;
            for (int c = 0; c < sqlite3_column_count(statement); ++c) {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                row.emplace_back(text ? text : "");
            }
            rows->push_back(std::move(row));
        }
        const bool ok = step == SQLITE_DONE;
        if (!ok) failure = sqlite3_errmsg(handle_) + std::string(" in: ") + sql;
        sqlite3_finalize(statement);
        return ok;
    }

  private:
    sqlite3* handle_ = nullptr;
};

class ServerEngine final : public OwnTables::Engine {
  public:
    ~ServerEngine() override { PQfinish(connection_); }

    bool Open(const std::string& connect, std::string& failure) {
        connection_ = PQconnectdb(connect.c_str());
        if (PQstatus(connection_) != CONNECTION_OK) {
            failure =
                "cannot open the server database: " + std::string(PQerrorMessage(connection_));
            return false;
        }
        PQclear(PQexec(connection_, "SET client_min_messages TO warning"));
        return true;
    }

    bool Run(const std::string& sql, const std::vector<std::string>& parameters,
             std::vector<OwnTables::Row>* rows, std::string& failure) override {
        std::vector<const char*> values;
        for (const std::string& parameter : parameters) values.push_back(parameter.c_str());
        PGresult* result = PQexecParams(connection_, NumberedParameters(sql).c_str(),
                                        static_cast<int>(values.size()), nullptr, values.data(),
                                        nullptr, nullptr, 0);
        const ExecStatusType status = PQresultStatus(result);
        const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
        if (!ok) failure = PQresultErrorMessage(result) + std::string("in: ") + sql;
        if (ok && rows) {
            for (int r = 0; r < PQntuples(result); ++r) {
                OwnTables::Row row;
                for (int c = 0; c < PQnfields(result); ++c)
                    row.emplace_back(PQgetvalue(result, r, c));
                rows->push_back(std::move(row));
            }
        }
        PQclear(result);
        return ok;
    }

  private:
    PGconn* connection_ = nullptr;
};

}  // namespace

OwnTables::OwnTables(std::string connect) : connect_(std::move(connect)) {}

OwnTables::~OwnTables() = default;

bool OwnTables::Open(std::string& reason) {
    if (engine_) return true;
    std::unique_ptr<Engine> engine;
    if (IsServerConnection(connect_)) {
        auto server = std::make_unique<ServerEngine>();
        if (!server->Open(connect_, reason)) return false;
        engine = std::move(server);
    } else {
        auto file = std::make_unique<SqliteEngine>();
        if (!file->Open(ProjectFilePath(connect_), reason)) {
            return false;
        }
        engine = std::move(file);
    }
    engine_ = std::move(engine);
    for (const std::string& definition : OwnTableDefinitions()) {
        if (!Run(definition, {})) {
            reason = "cannot make the table of LAS headers and depth units: " + failure_;
            engine_.reset();
            return false;
        }
    }
    return true;
}

bool OwnTables::Run(const std::string& sql, const std::vector<std::string>& parameters,
                    std::vector<Row>* rows) {
    if (!engine_) {
        failure_ = "the project's own tables are not open";
        return false;
    }
    return engine_->Run(sql, parameters, rows, failure_);
}

}  // namespace strataloom::formats
