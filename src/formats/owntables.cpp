#include "formats/owntables.h"

#include <libpq-fe.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "formats/directdb.h"
#include "formats/schemadefinition.h"

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

// The formats library's tables close the one definition of the tables
// (after kOwnTablesMark): new projects get them from there, and an older
// project gets the same statements, each made only when missing.
const std::vector<std::string>& OwnTableDefinitions() {
    static const std::vector<std::string> definitions = [] {
        static constexpr const char* kOwnTablesMark = "-- Tables of the formats library";
        const std::string schema = SchemaDefinitionText();
        const std::size_t mark = schema.find(kOwnTablesMark);
        std::vector<std::string> statements;
        if (mark == std::string::npos) return statements;
        std::istringstream lines(schema.substr(mark));
        std::string line, statement;
        while (std::getline(lines, line)) {
            if (StartsWith(line, "--")) continue;
            statement += statement.empty() ? line : "\n" + line;
            if (line.empty() || line.back() != ';') continue;
            statement.pop_back();
            for (const char* kind : {"CREATE TABLE ", "CREATE INDEX "}) {
                if (StartsWith(statement, kind))
                    statement.insert(std::strlen(kind), "IF NOT EXISTS ");
            }
            statements.push_back(statement);
            statement.clear();
        }
        return statements;
    }();
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
