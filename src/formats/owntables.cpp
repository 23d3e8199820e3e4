#include "formats/owntables.h"

#include <libpq-fe.h>

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

OwnTables::OwnTables(std::string connect) : connect_(std::move(connect)) {}

OwnTables::~OwnTables() = default;

bool OwnTables::Open(std::string& reason) {
    if (db_) return true;
    // The file must be there: a project is made by create-project, not here.
    db_ = DirectConnection::Open(connect_, DirectConnection::Access::kWrite, reason);
    if (!db_) return false;
    for (const std::string& definition : OwnTableDefinitions()) {
        if (!db_->Run(definition)) {
            reason = "cannot make the table of LAS headers and depth units: " + db_->Failure();
            db_.reset();
            return false;
        }
    }
    return true;
}

bool OwnTables::Run(const std::string& sql, const std::vector<std::string>& parameters,
                    std::vector<Row>* rows) {
    if (!db_) {
        failure_ = "the project's own tables are not open";
        return false;
    }
    const auto keep = [rows](const DbRow& cells) {
        Row row;
        for (const Cell& cell : cells) row.push_back(cell.Text());
        rows->push_back(std::move(row));
        return true;
    };
    if (db_->Each(sql, parameters, rows ? DirectConnection::RowVisitor(keep) : nullptr))
        return true;
    failure_ = db_->Failure();
    return false;
}

}  // namespace strataloom::formats
