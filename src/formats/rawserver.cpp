// The raw connection's server engine.
#include <libpq-fe.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dbaccess/sqltext.h"
#include "formats/directdb.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

using strataloom::db::QuoteIdentifier;

// The server's type numbers of the columns a project has.
enum ServerType : unsigned {
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kText = 25,
    kFloat4 = 700,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kNumeric = 1700,  // what sums and averages give; read as a number, never copied
};

ColumnClass ServerColumnClass(unsigned type) {
    switch (type) {
        case kInt2:
        case kInt4:
        case kInt8:
            return ColumnClass::kInteger;
        case kFloat4:
        case kFloat8:
            return ColumnClass::kReal;
        case kText:
        case kBpchar:
        case kVarchar:
            return ColumnClass::kText;
        case kBytea:
            return ColumnClass::kBytes;
        default:
            return ColumnClass::kOther;
    }
}

int TypeSize(unsigned type) {
    return type == kInt2 ? 2 : type == kInt4 || type == kFloat4 ? 4 : 8;
}

// The binary form of COPY: a signature, flags and an empty extension.
const char kCopySignature[] = "PGCOPY\n\377\r\n";
constexpr std::size_t kCopyHeaderSize = 11 + 4 + 4;
// Rows are sent to the server in pieces of about this size.
constexpr std::size_t kCopyChunk = 1 << 20;

std::uint64_t BigEndian(const char* bytes, int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

void PutBigEndian(std::string& out, std::uint64_t value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

struct ResultFree {
    void operator()(PGresult* result) const { PQclear(result); }
};
using ServerResult = std::unique_ptr<PGresult, ResultFree>;

struct CopyDataFree {
    void operator()(char* data) const { PQfreemem(data); }
};

const char* ClassName(ColumnClass kind) {
    switch (kind) {
        case ColumnClass::kInteger:
            return "whole numbers";
        case ColumnClass::kReal:
            return "numbers";
        case ColumnClass::kText:
            return "text";
        case ColumnClass::kBytes:
            return "bytes";
        case ColumnClass::kOther:
            break;
    }
    return "values of another type";
}

std::string Refused(const Cell& cell, const DbColumn& column) {
    return "column " + column.name + " keeps " + ClassName(column.kind) + " and cannot take " +
           DescribeCell(cell);
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
        if (!connection_ || PQstatus(connection_) != CONNECTION_OK) {
            reason = "cannot open the server database: " + Message();
            return false;
        }
        name_ = std::string("server database ") + PQdb(connection_) + " on " + PQhost(connection_);
        // Text travels as the module stores it, whatever the environment asks.
        if (PQsetClientEncoding(connection_, "UTF8") != 0) {
            reason = "the " + name_ + " cannot send UTF-8: " + Message();
            return false;
        }
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
            return Failed(nullptr, "in: " + sql);
        }
        // Rows one by one; should the mode be refused, they come in one result.
        PQsetSingleRowMode(connection_);
        // Every result is taken, also after visit stopped or a failure, so
        // that the connection is ready for the next statement.
        bool reading = static_cast<bool>(visit);
        bool ok = true;
        DbRow row;
        while (ServerResult result{PQgetResult(connection_)}) {
            const ExecStatusType status = PQresultStatus(result.get());
            if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
                for (int r = 0; reading && r < PQntuples(result.get()); ++r) {
                    ReadRow(result.get(), r, row);
                    reading = visit(row);
                }
            } else if (status != PGRES_COMMAND_OK && ok) {
                ok = Failed(result.get(), "in: " + sql);
            }
        }
        return ok;
    }

    bool Tables(std::vector<DbTable>& tables) override {
        return Each(
            "SELECT c.relname, a.attname, a.atttypid FROM pg_catalog.pg_class c"
            " JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid"
            " WHERE c.relkind IN ('r', 'p') AND c.relnamespace = "
            "current_schema()::regnamespace AND a.attnum > 0 AND NOT a.attisdropped"
            " ORDER BY c.relname COLLATE \"C\", a.attnum",
            {}, [&](const DbRow& row) {
                const std::string table = row[0].Text();
                if (tables.empty() || tables.back().name != table) tables.push_back({table, {}});
                DbColumn column;
                column.name = row[1].Text();
                column.type = static_cast<unsigned>(std::stoul(row[2].Text()));
                column.kind = ServerColumnClass(column.type);
                tables.back().columns.push_back(std::move(column));
                return true;
            });
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

    // COPY in the binary form streams the rows; each piece the server sends
    // is decoded where the client library holds it.
    bool ReadTable(const std::string& table, const std::vector<DbColumn>& columns,
                   const RowVisitor& visit) override {
        for (const DbColumn& column : columns) {
            if (column.kind == ColumnClass::kOther) return UnknownType(table, column);
        }
        const std::string sql = "COPY (SELECT " + JoinedColumns(columns) + " FROM " +
                                QuoteIdentifier(table) + ") TO STDOUT (FORMAT binary)";
        ServerResult start(PQexec(connection_, sql.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_OUT) return Failed(start.get(), "in: " + sql);
        bool stopped = false;
        const RowVisitor counted = [&](const DbRow& row) {
            stopped = !visit(row);
            return !stopped;
        };
        RowDecoder decoder(columns);
        char* piece = nullptr;
        int size;
        while ((size = PQgetCopyData(connection_, &piece, 0)) > 0) {
            std::unique_ptr<char, CopyDataFree> held(piece);
            // A stopped visit leaves the rest unread: the connection is
            // given up with the copy.
            if (!decoder.Take(piece, static_cast<std::size_t>(size), counted)) {
                if (!stopped) {
                    failure_ = "the server sent rows of " + table + " not understood [" + name_ +
                               "] in: " + sql;
                }
                return false;
            }
        }
        ServerResult end(PQgetResult(connection_));
        if (size == -2 || PQresultStatus(end.get()) != PGRES_COMMAND_OK) {
            return Failed(end.get(), "in: " + sql);
        }
        while (ServerResult(PQgetResult(connection_))) {
        }
        return true;
    }

    bool BeginFilling() override {
        // Long values are compressed with the server's fast method where it
        // has one: the default one takes several times longer than the copy
        // itself on curves, which hardly compress. Servers without it keep
        // their default.
        Run("SET default_toast_compression = 'lz4'");
        return Run("BEGIN");
    }

    bool StartTable(const std::string& table, const std::vector<DbColumn>& columns) override {
        for (const DbColumn& column : columns) {
            if (column.kind == ColumnClass::kOther) return UnknownType(table, column);
        }
        table_ = table;
        columns_ = columns;
        const std::string sql = "COPY " + QuoteIdentifier(table) + " (" + JoinedColumns(columns) +
                                ") FROM STDIN (FORMAT binary)";
        ServerResult start(PQexec(connection_, sql.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN) {
            return Failed(start.get(), "while writing " + table);
        }
        buffer_.assign(kCopySignature, 11);
        PutBigEndian(buffer_, 0, 4);
        PutBigEndian(buffer_, 0, 4);
        return true;
    }

    bool WriteRow(const DbRow& row) override {
        PutBigEndian(buffer_, row.size(), 2);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!Encode(row[c], columns_[c])) return false;
        }
        return buffer_.size() < kCopyChunk || Send();
    }

    bool FinishTable() override {
        PutBigEndian(buffer_, 0xffff, 2);
        if (!Send()) return false;
        if (PQputCopyEnd(connection_, nullptr) != 1) {
            return Failed(nullptr, "while writing " + table_);
        }
        bool ok = true;
        while (ServerResult result{PQgetResult(connection_)}) {
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
                ok = Failed(result.get(), "while writing " + table_);
            }
        }
        return ok;
    }

  private:
    // A row of a statement's answer in text, each value typed by its column.
    void ReadRow(const PGresult* result, int at, DbRow& row) {
        row.resize(static_cast<std::size_t>(PQnfields(result)));
        unescaped_.resize(row.size());
        for (std::size_t c = 0; c < row.size(); ++c) {
            const int column = static_cast<int>(c);
            Cell& cell = row[c];
            cell = Cell();
            if (PQgetisnull(result, at, column)) continue;
            const char* text = PQgetvalue(result, at, column);
            const auto type = static_cast<unsigned>(PQftype(result, column));
            switch (type == kNumeric ? ColumnClass::kReal : ServerColumnClass(type)) {
                case ColumnClass::kInteger:
                    cell.kind = CellKind::kInteger;
                    cell.integer = std::strtoll(text, nullptr, 10);
                    continue;
                case ColumnClass::kReal:
                    cell.kind = CellKind::kReal;
                    // NaN and Infinity are no finite numbers; strtod reads them.
                    if (!ParseNumber(text, cell.real)) cell.real = std::strtod(text, nullptr);
                    continue;
                case ColumnClass::kBytes: {
                    cell.kind = CellKind::kBytes;
                    std::size_t length = 0;
                    unsigned char* bytes =
                        PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &length);
                    unescaped_[c].assign(bytes ? reinterpret_cast<const char*>(bytes) : "",
                                         bytes ? length : 0);
                    PQfreemem(bytes);
                    cell.data = unescaped_[c].data();
                    cell.size = unescaped_[c].size();
                    continue;
                }
                case ColumnClass::kText:
                case ColumnClass::kOther:
                    break;
            }
            cell.kind = CellKind::kText;
            cell.data = text;
            cell.size = static_cast<std::size_t>(PQgetlength(result, at, column));
        }
    }

    // The rows of a binary COPY answer, which may begin or end anywhere in
    // the pieces the server sends: a row cut at the end of a piece is kept
    // until the rest comes.
    class RowDecoder {
      public:
        explicit RowDecoder(const std::vector<DbColumn>& columns)
            : columns_(columns), row_(columns.size()) {}

        // False when the data is not rows of the columns, or the sink stopped.
        bool Take(const char* piece, std::size_t size, const RowVisitor& sink) {
            const char* data = piece;
            if (!pending_.empty()) {
                pending_.append(piece, size);
                data = pending_.data();
                size = pending_.size();
            }
            std::size_t at = 0;
            if (!headerRead_) {
                if (size < kCopyHeaderSize) return Keep(data, size, 0);
                if (std::memcmp(data, kCopySignature, 11) != 0) return false;
                at = kCopyHeaderSize + BigEndian(data + 15, 4);
                headerRead_ = true;
            }
            while (at < size) {
                std::size_t used = 0;
                const int state = DecodeRow(data + at, size - at, used);
                if (state < 0) return false;
                if (state == 0) break;
                if (state == 2) return true;  // the end mark
                if (!sink(row_)) return false;
                at += used;
            }
            return Keep(data, size, at);
        }

      private:
        // 1: a whole row decoded (used: its bytes); 0: the row goes on in the
        // next piece; 2: the end mark; -1: not a row.
        int DecodeRow(const char* data, std::size_t size, std::size_t& used) {
            if (size < 2) return 0;
            const auto fields = static_cast<std::int16_t>(BigEndian(data, 2));
            if (fields == -1) return 2;
            if (static_cast<std::size_t>(fields) != columns_.size()) return -1;
            std::size_t at = 2;
            for (std::size_t c = 0; c < columns_.size(); ++c) {
                if (size - at < 4) return 0;
                const auto length = static_cast<std::int32_t>(BigEndian(data + at, 4));
                at += 4;
                Cell& cell = row_[c];
                cell = Cell();
                if (length < 0) continue;
                if (size - at < static_cast<std::size_t>(length)) return 0;
                if (!DecodeValue(columns_[c].type, data + at, length, cell)) return -1;
                at += static_cast<std::size_t>(length);
            }
            used = at;
            return 1;
        }

        static bool DecodeValue(unsigned type, const char* bytes, int size, Cell& cell) {
            switch (ServerColumnClass(type)) {
                case ColumnClass::kInteger: {
                    if (size != TypeSize(type)) return false;
                    const std::uint64_t bits = BigEndian(bytes, size);
                    cell.kind = CellKind::kInteger;
                    cell.integer = size == 2   ? static_cast<std::int16_t>(bits)
                                   : size == 4 ? static_cast<std::int32_t>(bits)
                                               : static_cast<long long>(bits);
                    return true;
                }
                case ColumnClass::kReal: {
                    if (size != TypeSize(type)) return false;
                    cell.kind = CellKind::kReal;
                    if (size == 4) {
                        const auto bits = static_cast<std::uint32_t>(BigEndian(bytes, 4));
                        float single;
                        std::memcpy(&single, &bits, 4);
                        cell.real = single;
                    } else {
                        const std::uint64_t bits = BigEndian(bytes, 8);
                        std::memcpy(&cell.real, &bits, 8);
                    }
                    return true;
                }
                case ColumnClass::kText:
                case ColumnClass::kBytes:
                    cell.kind = type == kBytea ? CellKind::kBytes : CellKind::kText;
                    cell.data = bytes;
                    cell.size = static_cast<std::size_t>(size);
                    return true;
                case ColumnClass::kOther:
                    break;
            }
            return false;
        }

        bool Keep(const char* data, std::size_t size, std::size_t from) {
            std::string rest(data + from, size - from);
            pending_.swap(rest);
            return true;
        }

        const std::vector<DbColumn>& columns_;
        DbRow row_;
        std::string pending_;
        bool headerRead_ = false;
    };

    // Appends one value in the binary form of its column's type; false (with
    // the reason) for a value the column cannot keep as it is.
    bool Encode(const Cell& cell, const DbColumn& column) {
        if (cell.kind == CellKind::kNull) {
            PutBigEndian(buffer_, 0xffffffffu, 4);
            return true;
        }
        switch (column.kind) {
            case ColumnClass::kInteger:
                return EncodeInteger(cell, column);
            case ColumnClass::kReal:
                return EncodeReal(cell, column);
            case ColumnClass::kText:
                if (cell.kind != CellKind::kText) break;
                return EncodeBytes(cell);
            case ColumnClass::kBytes:
                if (cell.kind != CellKind::kText && cell.kind != CellKind::kBytes) break;
                return EncodeBytes(cell);
            case ColumnClass::kOther:
                break;
        }
        failure_ = Refused(cell, column);
        return false;
    }

    bool EncodeInteger(const Cell& cell, const DbColumn& column) {
        const int size = TypeSize(column.type);
        const long long limit = size == 8 ? 0 : 1LL << (8 * size - 1);
        if (cell.kind != CellKind::kInteger ||
            (size < 8 && (cell.integer < -limit || cell.integer >= limit))) {
            failure_ = Refused(cell, column);
            return false;
        }
        PutBigEndian(buffer_, static_cast<std::uint64_t>(size), 4);
        PutBigEndian(buffer_, static_cast<std::uint64_t>(cell.integer), size);
        return true;
    }

    bool EncodeReal(const Cell& cell, const DbColumn& column) {
        double real = cell.real;
        if (cell.kind == CellKind::kInteger) real = static_cast<double>(cell.integer);
        const bool exact = cell.kind == CellKind::kReal || (cell.kind == CellKind::kInteger &&
                                                            std::llabs(cell.integer) <= 1LL << 53);
        const auto single = static_cast<float>(real);
        if (!exact || (column.type == kFloat4 && !std::isnan(real) && single != real)) {
            failure_ = Refused(cell, column);
            return false;
        }
        if (column.type == kFloat4) {
            std::uint32_t bits;
            std::memcpy(&bits, &single, 4);
            PutBigEndian(buffer_, 4, 4);
            PutBigEndian(buffer_, bits, 4);
        } else {
            std::uint64_t bits;
            std::memcpy(&bits, &real, 8);
            PutBigEndian(buffer_, 8, 4);
            PutBigEndian(buffer_, bits, 8);
        }
        return true;
    }

    bool EncodeBytes(const Cell& cell) {
        if (cell.size > 0x7fffffffu) {
            failure_ = "a value of " + std::to_string(cell.size) + " bytes is beyond the server's";
            return false;
        }
        PutBigEndian(buffer_, cell.size, 4);
        buffer_.append(cell.data, cell.size);
        return true;
    }

    bool Send() {
        if (PQputCopyData(connection_, buffer_.data(), static_cast<int>(buffer_.size())) != 1) {
            return Failed(nullptr, "while writing " + table_);
        }
        buffer_.clear();
        return true;
    }

    bool UnknownType(const std::string& table, const DbColumn& column) {
        failure_ = "column " + column.name + " of table " + table + " has a type (" +
                   std::to_string(column.type) + ") a project does not use [" + name_ + "]";
        return false;
    }

    std::string Message() const {
        return connection_ ? WithoutTrailingNewlines(PQerrorMessage(connection_))
                           : std::string("out of memory");
    }

    // The server's message on one line: what went wrong, then where ("COPY
    // w_well_data, line 1, column wellname"), the database and the statement.
    bool Failed(const PGresult* result, const std::string& what) {
        const char* primary =
            result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const char* context = result ? PQresultErrorField(result, PG_DIAG_CONTEXT) : nullptr;
        std::string message = primary ? primary : Message();
        if (context) message += std::string("; ") + context;
        for (char& c : message) {
            if (c == '\n' || c == '\t') c = ' ';
        }
        failure_ = WithoutTrailingNewlines(message) + " [" + name_ + "] " + what;
        return false;
    }

    PGconn* connection_ = nullptr;
    Access access_ = Access::kRead;
    std::vector<std::string> unescaped_;  // the bytes of a row's byte arrays
    std::string table_;
    std::vector<DbColumn> columns_;
    std::string buffer_;
};

}  // namespace

std::unique_ptr<DirectConnection> OpenServerDatabase(const std::string& connect,
                                                     DirectConnection::Access access,
                                                     std::string& reason) {
    return OpenedConnection<ServerConnection>(connect, access, reason);
}

}  // namespace strataloom::formats
