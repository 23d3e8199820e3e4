#include "formats/directdb.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

#include "formats/owntables.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

// ---- project file -----------------------------------------------------------

class FileConnection final : public DirectConnection {
  public:
    ~FileConnection() override { sqlite3_close_v2(handle_); }

    bool Open(const std::string& path, Access access, std::string& reason) {
        name_ = "project file " + path;
        access_ = access;
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error)) {
            reason = "there is no " + name_;
            return false;
        }
        const int flags = access == Access::kRead ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE;
        if (sqlite3_open_v2(path.c_str(), &handle_, flags, nullptr) != SQLITE_OK) {
            reason = "cannot open the " + name_ + ": " +
                     (handle_ ? sqlite3_errmsg(handle_) : "out of memory");
            return false;
        }
        // A host may be writing through the module: wait for its lock.
        sqlite3_busy_timeout(handle_, 10000);
        // The file is read only now: one that is no database says so here.
        if (!Run("SELECT count(*) FROM sqlite_master")) {
            reason = "cannot read the " + name_ + ": " + failure_;
            return false;
        }
        return true;
    }

    bool Each(const std::string& sql, const std::vector<std::string>& parameters,
              const RowVisitor& visit) override {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &prepared, nullptr) != SQLITE_OK) {
            return Failed(sql);
        }
        std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
        for (std::size_t i = 0; i < parameters.size(); ++i) {
            sqlite3_bind_text(prepared, static_cast<int>(i + 1), parameters[i].data(),
                              static_cast<int>(parameters[i].size()), SQLITE_STATIC);
        }
        int step = SQLITE_ROW;
        bool reading = true;
        DirectRow row;
        while (reading && (step = sqlite3_step(prepared)) == SQLITE_ROW) {
            if (!visit) continue;
            row.resize(static_cast<std::size_t>(sqlite3_column_count(prepared)));
            for (std::size_t c = 0; c < row.size(); ++c) ReadField(prepared, c, row[c]);
            reading = visit(row);
        }
        if (reading && step != SQLITE_DONE) return Failed(sql);
        return true;
    }

    const char* ColumnsQuery() const override {
        return "SELECT m.name, p.name FROM sqlite_master AS m, pragma_table_info(m.name) AS p "
               "WHERE m.type = 'table'";
    }

    std::string ByteLength(const std::string& column) const override {
        // length() of a byte array reads its size alone, not its content.
        return "CASE WHEN typeof(" + column + ") = 'blob' THEN length(" + column +
               ") ELSE length(CAST(" + column + " AS BLOB)) END";
    }

    bool Begin() override { return Run(access_ == Access::kWrite ? "BEGIN IMMEDIATE" : "BEGIN"); }

  private:
    static void ReadField(sqlite3_stmt* statement, std::size_t at, DirectValue& value) {
        const int column = static_cast<int>(at);
        value.bytes.clear();
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_NULL:
                value.kind = DirectValue::Kind::kNull;
                return;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                value.kind = DirectValue::Kind::kNumber;
                value.number = sqlite3_column_double(statement, column);
                value.bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                return;
            default: {
                // sqlite3_column_bytes after the fetch: a text's length in UTF-8.
                const int type = sqlite3_column_type(statement, column);
                value.kind =
                    type == SQLITE_BLOB ? DirectValue::Kind::kBytes : DirectValue::Kind::kText;
                const void* data = type == SQLITE_BLOB ? sqlite3_column_blob(statement, column)
                                                       : sqlite3_column_text(statement, column);
                if (data) {
                    value.bytes.assign(
                        static_cast<const char*>(data),
                        static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
                }
            }
        }
    }

    bool Failed(const std::string& sql) {
        failure_ = std::string(sqlite3_errmsg(handle_)) + " [" + name_ + "] in: " + sql;
        return false;
    }

    sqlite3* handle_ = nullptr;
    Access access_ = Access::kRead;
};

// ---- server database --------------------------------------------------------

// The server's type numbers of the columns read as numbers or bytes.
constexpr Oid kByteArrayType = 17;
bool IsNumberType(Oid type) {
    return type == 20 || type == 21 || type == 23 || type == 700 || type == 701 || type == 1700;
}

std::string WithoutTrailingNewlines(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

class ServerConnection final : public DirectConnection {
  public:
    ~ServerConnection() override { PQfinish(connection_); }

    bool Open(const std::string& connect, Access access, std::string& reason) {
        access_ = access;
        connection_ = PQconnectdb(connect.c_str());
        if (!connection_ || PQstatus(connection_) != CONNECTION_OK ||
            PQsetClientEncoding(connection_, "UTF8") != 0) {
            reason = "cannot open the server database: " +
                     (connection_ ? WithoutTrailingNewlines(PQerrorMessage(connection_))
                                  : std::string("out of memory"));
            return false;
        }
        name_ = std::string("server database ") + PQdb(connection_) + " on " + PQhost(connection_);
        // Reading only: the server refuses every change in this session.
        const char* mode = access == Access::kRead
                               ? "SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"
                               : "SET client_min_messages TO warning";
        if (!Run(mode)) {
            reason = "cannot use the " + name_ + ": " + failure_;
            return false;
        }
        return true;
    }

    bool Each(const std::string& sql, const std::vector<std::string>& parameters,
              const RowVisitor& visit) override {
        std::vector<const char*> values;
        for (const std::string& parameter : parameters) values.push_back(parameter.c_str());
        if (!PQsendQueryParams(connection_, NumberedParameters(sql).c_str(),
                               static_cast<int>(values.size()), nullptr, values.data(), nullptr,
                               nullptr, 0)) {
            failure_ = WithoutTrailingNewlines(PQerrorMessage(connection_));
            return Failed(sql);
        }
        // Rows one by one; should the mode be refused, they come in one result.
        PQsetSingleRowMode(connection_);
        // Every result is taken, also after visit stopped or a failure, so
        // that the connection is ready for the next statement.
        bool reading = static_cast<bool>(visit);
        bool ok = true;
        DirectRow row;
        while (PGresult* result = PQgetResult(connection_)) {
            const ExecStatusType status = PQresultStatus(result);
            if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
                for (int r = 0; reading && r < PQntuples(result); ++r) {
                    ReadRow(result, r, row);
                    reading = visit(row);
                }
            } else if (status != PGRES_COMMAND_OK && ok) {
                failure_ = WithoutTrailingNewlines(PQresultErrorMessage(result));
                ok = false;
            }
            PQclear(result);
        }
        return ok || Failed(sql);
    }

    const char* ColumnsQuery() const override {
        return "SELECT table_name, column_name FROM information_schema.columns "
               "WHERE table_schema = current_schema()";
    }

    std::string ByteLength(const std::string& column) const override {
        return "octet_length(" + column + ")";
    }

    bool Begin() override {
        // One snapshot for every read; a change is refused at its commit when
        // another session changed what it read meanwhile.
        return Run(access_ == Access::kWrite ? "BEGIN ISOLATION LEVEL SERIALIZABLE"
                                             : "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }

  private:
    static void ReadRow(const PGresult* result, int at, DirectRow& row) {
        row.resize(static_cast<std::size_t>(PQnfields(result)));
        for (std::size_t c = 0; c < row.size(); ++c) {
            const int column = static_cast<int>(c);
            DirectValue& value = row[c];
            value.bytes.clear();
            if (PQgetisnull(result, at, column)) {
                value.kind = DirectValue::Kind::kNull;
                continue;
            }
            const char* text = PQgetvalue(result, at, column);
            const Oid type = PQftype(result, column);
            if (type == kByteArrayType) {
                value.kind = DirectValue::Kind::kBytes;
                std::size_t length = 0;
                unsigned char* bytes =
                    PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
                if (bytes) value.bytes.assign(reinterpret_cast<const char*>(bytes), length);
                PQfreemem(bytes);
            } else if (IsNumberType(type)) {
                value.kind = DirectValue::Kind::kNumber;
                value.bytes = text;
                // NaN and Infinity are no finite numbers; strtod reads them.
                if (!ParseNumber(text, value.number)) value.number = std::strtod(text, nullptr);
            } else {
                value.kind = DirectValue::Kind::kText;
                value.bytes.assign(text, static_cast<std::size_t>(PQgetlength(result, at, column)));
            }
        }
    }

    bool Failed(const std::string& sql) {
        failure_ += " [" + name_ + "] in: " + sql;
        return false;
    }

    PGconn* connection_ = nullptr;
    Access access_ = Access::kRead;
};

}  // namespace

std::string NumberedParameters(const std::string& sql) {
    std::string out;
    int number = 0;
    for (char c : sql) {
        if (c == '?') {
            out += "$" + std::to_string(++number);
        } else {
            out += c;
        }
    }
    return out;
}

bool DirectConnection::Tables(TableColumns& tables) {
    return Each(ColumnsQuery(), {}, [&](const DirectRow& row) {
        tables[LowerName(row[0].bytes)].insert(LowerName(row[1].bytes));
        return true;
    });
}

std::unique_ptr<DirectConnection> DirectConnection::Open(const std::string& connect, Access access,
                                                         std::string& reason) {
    if (IsServerConnection(connect)) {
        auto server = std::make_unique<ServerConnection>();
        if (!server->Open(connect, access, reason)) return nullptr;
        return server;
    }
    auto file = std::make_unique<FileConnection>();
    if (!file->Open(ProjectFilePath(connect), access, reason)) return nullptr;
    return file;
}

}  // namespace strataloom::formats
