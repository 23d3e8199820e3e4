#include "dbaccess/postgres/pgconnection.h"

#include <libpq-fe.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace {

// Type identifiers of the server's built-in types.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kFloat8 = 701,
    kNumeric = 1700,
};

void IgnoreNotice(void*, const char*) {}

unsigned long long BigEndian(const char* bytes, int size) {
    unsigned long long value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

double NumericValue(const char* bytes, int size, bool& integral) {
    integral = true;
    if (size < 8) return 0.0;
    const auto digits = static_cast<int16_t>(BigEndian(bytes, 2));
    const auto weight = static_cast<int16_t>(BigEndian(bytes + 2, 2));
    const auto sign = static_cast<uint16_t>(BigEndian(bytes + 4, 2));
    const auto scale = static_cast<uint16_t>(BigEndian(bytes + 6, 2));
    if (sign == 0xC000) {
        integral = false;
        return std::nan("");
    }
    double value = 0.0;
    for (int i = 0; i < digits && 8 + 2 * i + 2 <= size; ++i) {
        const double digit = static_cast<double>(BigEndian(bytes + 8 + 2 * i, 2));
        value += digit * std::pow(10000.0, weight - i);
    }
    integral = scale == 0;
    return sign == 0x4000 ? -value : value;
}

void DecodeBinary(Oid type, const char* bytes, int size, ResultSet& out) {
    switch (type) {
        case kBool:
            out.AddInteger(size > 0 && bytes[0] != 0);
            return;
        case kBytea:
            out.AddBlob(ByteArray::Copy(bytes, static_cast<std::size_t>(size)));
            return;
        case kInt2:
            out.AddInteger(static_cast<int16_t>(BigEndian(bytes, 2)));
            return;
        case kInt4:
            out.AddInteger(static_cast<int32_t>(BigEndian(bytes, 4)));
            return;
        case kOid:
            out.AddInteger(static_cast<uint32_t>(BigEndian(bytes, 4)));
            return;
        case kInt8:
            out.AddInteger(static_cast<long long>(BigEndian(bytes, 8)));
            return;
        case kFloat4: {
            const auto bits = static_cast<uint32_t>(BigEndian(bytes, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            out.AddReal(value);
            return;
        }
        case kFloat8: {
            const unsigned long long bits = BigEndian(bytes, 8);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            out.AddReal(value);
            return;
        }
        case kNumeric: {
            bool integral = false;
            const double value = NumericValue(bytes, size, integral);
            if (integral && std::fabs(value) < 9e15) {
                out.AddInteger(static_cast<long long>(value));
            } else {
                out.AddReal(value);
            }
            return;
        }
        default:
            out.AddText(bytes, static_cast<std::size_t>(size));  // text and its kin
    }
}

bool ReadResult(PGresult* result, ResultSet& out) {
    out.Clear();
    const int columns = PQnfields(result);
    const int rows = PQntuples(result);
    out.columns.reserve(columns);
    for (int c = 0; c < columns; ++c) out.columns.emplace_back(PQfname(result, c));
    out.Reserve(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (PQgetisnull(result, r, c)) {
                out.AddNull();
            } else {
                DecodeBinary(PQftype(result, c), PQgetvalue(result, r, c),
                             PQgetlength(result, r, c), out);
            }
        }
    }
    return true;
}

std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return true;
}

// Reads the literal that starts after the opening quote at pos; pos moves past
// its closing quote. False when the literal does not end.
bool ReadLiteral(const std::string& sql, std::size_t& pos, std::string& literal) {
    literal.clear();
    while (pos < sql.size()) {
        if (sql[pos] == '\'') {
            if (pos + 1 < sql.size() && sql[pos + 1] == '\'') {
                literal += '\'';
                pos += 2;
                continue;
            }
            ++pos;
            return true;
        }
        literal += sql[pos++];
    }
    return false;
}

// Whether lowered sql continues at pos with prefix; pos moves past it.
bool Consume(const std::string& lowered, std::size_t& pos, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    if (lowered.compare(pos, n, prefix) != 0) return false;
    pos += n;
    return true;
}

// A number as the server reads it in text form, bit-exact for doubles.
std::string NumberText(const Cell& cell, Oid type) {
    const bool integerTarget = type == kInt2 || type == kInt4 || type == kInt8;
    if (cell.kind == Cell::Kind::Integer) return std::to_string(cell.integer);
    if (integerTarget && std::isfinite(cell.real)) {
        return std::to_string(static_cast<long long>(cell.real));
    }
    if (std::isnan(cell.real)) return "NaN";
    if (std::isinf(cell.real)) return cell.real > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", cell.real);
    return buffer;
}

// Connects to another database of the same server as connect.
PgConn ConnectToDatabase(const std::string& connect, const std::string& database) {
    PgConnInfo options(PQconninfoParse(connect.c_str(), nullptr));
    if (!options) return nullptr;
    std::vector<const char*> keywords;
    std::vector<const char*> values;
    for (PQconninfoOption* option = options.get(); option->keyword; ++option) {
        if (!option->val || std::strcmp(option->keyword, "dbname") == 0) continue;
        keywords.push_back(option->keyword);
        values.push_back(option->val);
    }
    keywords.push_back("dbname");
    values.push_back(database.c_str());
    keywords.push_back(nullptr);
    values.push_back(nullptr);
    PgConn connection(PQconnectdbParams(keywords.data(), values.data(), 0));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK) return nullptr;
    PQsetNoticeProcessor(connection.get(), &IgnoreNotice, nullptr);
    return connection;
}

}  // namespace

std::unique_ptr<Connection> PgConnection::Open(const std::string& connect) {
    PGconn* handle = PQconnectdb(connect.c_str());
    if (!handle) return nullptr;
    if (PQstatus(handle) != CONNECTION_OK || PQsetClientEncoding(handle, "UTF8") != 0) {
        PQfinish(handle);
        return nullptr;
    }
    PQsetNoticeProcessor(handle, &IgnoreNotice, nullptr);
    return std::unique_ptr<Connection>(new PgConnection(handle, connect));
}

PgConnection::PgConnection(pg_conn* handle, std::string connect)
    : handle_(handle), connect_(std::move(connect)) {}

PgConnection::~PgConnection() {
    PQfinish(handle_);
}

bool PgConnection::StillValid() const {
    return PQstatus(handle_) == CONNECTION_OK;
}

bool PgConnection::Succeeded(const Result& result) {
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return true;
    SetError(result ? PQresultErrorMessage(result.get()) : PQerrorMessage(handle_));
    const char* state = result ? PQresultErrorField(result.get(), PG_DIAG_SQLSTATE) : nullptr;
    if (state && (std::strcmp(state, "40001") == 0 || std::strcmp(state, "40P01") == 0)) {
        NoteLostRace();
    }
    return false;
}

PgConnection::Result PgConnection::RunOnce(const std::string& sql, bool binaryResult) {
    return Result(PQexecParams(handle_, sql.c_str(), 0, nullptr, nullptr, nullptr, nullptr,
                               binaryResult ? 1 : 0));
}

PgConnection::Result PgConnection::Run(const std::string& sql, bool binaryResult) {
    if (!InScope()) return RunOnce(sql, binaryResult);
    const std::string savepoint = "strataloom_stmt" + std::to_string(++savepoints_);
    RunOnce("SAVEPOINT " + savepoint, false);
    Result result = RunOnce(sql, binaryResult);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
        RunOnce("RELEASE SAVEPOINT " + savepoint, false);
    } else {
        RunOnce("ROLLBACK TO SAVEPOINT " + savepoint, false);
        RunOnce("RELEASE SAVEPOINT " + savepoint, false);
    }
    --savepoints_;
    return result;
}

bool PgConnection::Control(const std::string& sql) {
    return Succeeded(RunOnce(sql, false));
}

bool PgConnection::Query(const std::string& sql, ResultSet& out) {
    bool handled = false;
    const bool listed = AnswerDatabaseList(sql, out, handled);
    if (handled) return listed;
    Result result = Run(sql, true);
    if (!Succeeded(result)) {
        out.Clear();
        return false;
    }
    return ReadResult(result.get(), out);
}

// "select * from sysdatabases where name='N'" asks whether database N exists;
// the server keeps that list in pg_database.
bool PgConnection::AnswerDatabaseList(const std::string& sql, ResultSet& out, bool& handled) {
    const std::string lowered = LowerAscii(sql);
    std::size_t pos = 0;
    if (!Consume(lowered, pos, "select * from sysdatabases where name='")) return false;
    std::string name;
    if (!ReadLiteral(sql, pos, name) || pos != sql.size()) return false;
    handled = true;
    const char* values[] = {name.c_str()};
    Result result(PQexecParams(handle_,
                               "SELECT datname AS name FROM pg_catalog.pg_database "
                               "WHERE datname = $1",
                               1, nullptr, values, nullptr, nullptr, 1));
    if (!Succeeded(result)) return false;
    return ReadResult(result.get(), out);
}

int PgConnection::ProbeTable(const std::string& table, std::vector<std::string>& columns) {
    const std::string name = QuoteIdentifier(LowerAscii(table));
    Result shape = Run("SELECT * FROM " + name + " LIMIT 0", true);
    if (!Succeeded(shape)) return 2;
    columns.clear();
    for (int c = 0; c < PQnfields(shape.get()); ++c) columns.emplace_back(PQfname(shape.get(), c));
    Result any = Run("SELECT 1 FROM " + name + " LIMIT 1", true);
    if (!Succeeded(any)) return 2;
    return PQntuples(any.get()) > 0 ? 0 : 1;
}

bool PgConnection::Execute(const std::string& sql) {
    if (ScopeBroken()) return false;
    bool handled = false;
    const bool restored = RestoreDatabase(sql, handled);
    if (handled) return restored;
    return Succeeded(Run(sql, false));
}

// "RESTORE FILELISTONLY FROM DISK = 'B' RESTORE DATABASE N FROM DISK = 'B'
// WITH MOVE ..." creates database N and loads the backup script B into it, as
// one transaction; the placement of data files means nothing on this engine.
bool PgConnection::RestoreDatabase(const std::string& sql, bool& handled) {
    const std::string lowered = LowerAscii(sql);
    std::size_t pos = 0;
    if (!Consume(lowered, pos, "restore filelistonly from disk = '")) return false;
    handled = true;
    std::string backup, again;
    if (!ReadLiteral(sql, pos, backup) || !Consume(lowered, pos, " restore database ")) {
        return false;
    }
    const std::size_t nameEnd = sql.find(' ', pos);
    if (nameEnd == std::string::npos) return false;
    const std::string name = sql.substr(pos, nameEnd - pos);
    pos = nameEnd;
    if (!IsPlainIdentifier(name) || !Consume(lowered, pos, " from disk = '") ||
        !ReadLiteral(sql, pos, again) || !Consume(lowered, pos, " with move ")) {
        SetError("malformed restore statement");
        return false;
    }
    std::ifstream file(backup, std::ios::binary);
    std::stringstream script;
    script << file.rdbuf();
    if (!file || script.str().empty() || InScope()) {
        SetError("backup file cannot be read: " + backup);
        return false;
    }
    const std::string database = QuoteIdentifier(name);
    if (!Succeeded(RunOnce("CREATE DATABASE " + database +
                               " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'",
                           false))) {
        return false;
    }
    bool loaded = false;
    if (auto target = ConnectToDatabase(connect_, name)) {
        Result result(PQexec(target.get(), script.str().c_str()));
        loaded = PQresultStatus(result.get()) == PGRES_COMMAND_OK ||
                 PQresultStatus(result.get()) == PGRES_TUPLES_OK;
        if (!loaded) SetError(PQresultErrorMessage(result.get()));
    }
    if (!loaded) RunOnce("DROP DATABASE IF EXISTS " + database, false);
    return loaded;
}

const PgConnection::Prepared* PgConnection::PrepareInsert(const std::string& sql) {
    auto found = prepared_.find(sql);
    if (found != prepared_.end()) return &found->second;
    Prepared prepared;
    prepared.name = "strataloom_insert" + std::to_string(prepared_.size() + 1);
    if (!Succeeded(Result(PQprepare(handle_, prepared.name.c_str(), sql.c_str(), 0, nullptr)))) {
        return nullptr;
    }
    Result description(PQdescribePrepared(handle_, prepared.name.c_str()));
    if (!Succeeded(description)) return nullptr;
    for (int p = 0; p < PQnparams(description.get()); ++p) {
        prepared.parameterTypes.push_back(PQparamtype(description.get(), p));
    }
    return &prepared_.emplace(sql, std::move(prepared)).first->second;
}

bool PgConnection::Insert(const std::string& table, const std::vector<std::string>& columns,
                          const std::vector<const std::vector<Cell>*>& rows) {
    if (ScopeBroken()) return false;
    std::string sql = "INSERT INTO " + QuoteIdentifier(LowerAscii(table));
    if (columns.empty()) {
        sql += " DEFAULT VALUES";
    } else {
        std::string values;
        sql += " (";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c) {
                sql += ',';
                values += ',';
            }
            sql += QuoteIdentifier(columns[c]);
            values += '$' + std::to_string(c + 1);
        }
        sql += ") VALUES (" + values + ")";
    }
    const Prepared* prepared = PrepareInsert(sql);
    if (!prepared) return false;
    const std::size_t count = prepared->parameterTypes.size();
    std::vector<const char*> values(count);
    std::vector<int> lengths(count), formats(count);
    std::vector<std::string> texts(count);
    for (const std::vector<Cell>* row : rows) {
        for (std::size_t p = 0; p < count && p < row->size(); ++p) {
            const Cell& cell = (*row)[p];
            const Oid type = prepared->parameterTypes[p];
            formats[p] = 0;
            if (cell.kind == Cell::Kind::Null) {
                values[p] = nullptr;
            } else if (cell.kind == Cell::Kind::Blob && type == kBytea) {
                // Byte arrays travel in binary form: no text encoding either way.
                values[p] = cell.blob->Data();
                lengths[p] = static_cast<int>(cell.blob->size);
                formats[p] = 1;
            } else if (cell.kind == Cell::Kind::Text && type == kBytea) {
                values[p] = cell.text.data();
                lengths[p] = static_cast<int>(cell.text.size());
                formats[p] = 1;
            } else if (cell.kind == Cell::Kind::Blob || cell.kind == Cell::Kind::Text) {
                if (cell.kind == Cell::Kind::Blob) {
                    texts[p].assign(cell.blob->Data(), cell.blob->size);
                }
                const std::string& text = cell.kind == Cell::Kind::Text ? cell.text : texts[p];
                if (text.find('\0') != std::string::npos) {
                    SetError("text holds a zero byte");
                    return false;
                }
                values[p] = text.c_str();
            } else {
                texts[p] = NumberText(cell, type);
                values[p] = texts[p].c_str();
            }
        }
        Result result(PQexecPrepared(handle_, prepared->name.c_str(), static_cast<int>(count),
                                     values.data(), lengths.data(), formats.data(), 0));
        if (!Succeeded(result)) return false;
    }
    return true;
}

}  // namespace strataloom::db
