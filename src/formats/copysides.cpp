#include "formats/copysides.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "dbaccess/sqltext.h"

namespace strataloom::formats {

using strataloom::db::QuoteIdentifier;

// ---- checksums ----------------------------------------------------------

namespace {

constexpr std::uint64_t kPrime1 = 0x9E3779B97F4A7C15ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ULL;

std::uint64_t RotateLeft(std::uint64_t value, int bits) {
    return (value << bits) | (value >> (64 - bits));
}

std::uint64_t Avalanche(std::uint64_t value) {
    value ^= value >> 33;
    value *= 0xFF51AFD7ED558CCDULL;
    value ^= value >> 33;
    value *= 0xC4CEB9FE1A85EC53ULL;
    value ^= value >> 33;
    return value;
}

// Eight bytes a step: fast enough to check hundreds of megabytes of curves.
std::uint64_t HashBytes(const char* data, std::size_t size, std::uint64_t seed) {
    std::uint64_t hash = seed ^ (static_cast<std::uint64_t>(size) * kPrime1);
    std::size_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word;
        std::memcpy(&word, data + at, 8);
        hash = RotateLeft(hash ^ (word * kPrime2), 31) * kPrime1;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, data + at, size - at);
    hash ^= (tail + (size - at)) * kPrime3;
    return Avalanche(hash);
}

// A value's own checksum, kind included, so that text "1" is not the number 1.
std::uint64_t CellChecksum(const Cell& cell) {
    const auto seed = static_cast<std::uint64_t>(cell.kind) + 1;
    switch (cell.kind) {
        case CellKind::kNull:
            return Avalanche(seed);
        case CellKind::kInteger:
            return Avalanche(seed * kPrime3 ^ static_cast<std::uint64_t>(cell.integer) * kPrime2);
        case CellKind::kReal: {
            // Every NaN is one value, as is zero: the engines keep neither a
            // NaN's payload nor, on a project file, the sign of zero.
            const double real = std::isnan(cell.real) ? std::numeric_limits<double>::quiet_NaN()
                                : cell.real == 0.0    ? 0.0
                                                      : cell.real;
            std::uint64_t bits;
            std::memcpy(&bits, &real, 8);
            return Avalanche(seed * kPrime3 ^ bits * kPrime2);
        }
        case CellKind::kText:
        case CellKind::kBytes:
            return HashBytes(cell.data, cell.size, seed);
    }
    return 0;
}

}  // namespace

std::uint64_t RowChecksum(const CopyRow& row) {
    std::uint64_t hash = kPrime3;
    for (const Cell& cell : row) hash = RotateLeft(hash, 23) * kPrime1 + CellChecksum(cell);
    return Avalanche(hash);
}

std::uint64_t RowBytes(const CopyRow& row) {
    std::uint64_t bytes = 0;
    for (const Cell& cell : row) {
        bytes += cell.kind == CellKind::kText || cell.kind == CellKind::kBytes ? cell.size
                 : cell.kind == CellKind::kNull                                ? 0
                                                                               : 8;
    }
    return bytes;
}

std::string DescribeCell(const Cell& cell) {
    switch (cell.kind) {
        case CellKind::kNull:
            return "no value";
        case CellKind::kInteger:
            return "the whole number " + std::to_string(cell.integer);
        case CellKind::kReal: {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", cell.real);
            return std::string("the number ") + text;
        }
        case CellKind::kText:
            return "the text '" + std::string(cell.data, std::min<std::size_t>(cell.size, 40)) +
                   (cell.size > 40 ? "...'" : "'");
        case CellKind::kBytes:
            return std::to_string(cell.size) + " bytes";
    }
    return "a value";
}

namespace {

std::string Joined(const std::vector<CopyColumn>& columns) {
    std::string list;
    for (const CopyColumn& column : columns) {
        list += (list.empty() ? "" : ", ") + QuoteIdentifier(column.name);
    }
    return list;
}

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

std::string Refused(const Cell& cell, const CopyColumn& column) {
    return "column " + column.name + " keeps " + ClassName(column.kind) + " and cannot take " +
           DescribeCell(cell);
}

// ---- project files ------------------------------------------------------

// The class of a declared type by the engine's own rules of affinity.
ColumnClass FileColumnClass(std::string declared) {
    for (char& c : declared) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const auto has = [&declared](const char* part) {
        return declared.find(part) != std::string::npos;
    };
    if (has("INT")) return ColumnClass::kInteger;
    if (has("CHAR") || has("CLOB") || has("TEXT")) return ColumnClass::kText;
    if (declared.empty() || has("BLOB")) return ColumnClass::kBytes;
    if (has("REAL") || has("FLOA") || has("DOUB")) return ColumnClass::kReal;
    return ColumnClass::kOther;
}

// RAII for a prepared statement.
struct StatementCloser {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using FileStatement = std::unique_ptr<sqlite3_stmt, StatementCloser>;

class FileSide final : public CopySide {
  public:
    ~FileSide() override {
        insert_.reset();
        // A write not committed is rolled back by closing.
        sqlite3_close_v2(handle_);
    }

    bool Open(const std::string& path, bool writable, std::string& reason) {
        const int flags = writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY;
        if (sqlite3_open_v2(path.c_str(), &handle_, flags, nullptr) != SQLITE_OK) {
            reason = "cannot open the project file " + path + ": " + sqlite3_errmsg(handle_);
            return false;
        }
        path_ = path;
        // Hosts may be writing: wait for their locks as the module does.
        sqlite3_busy_timeout(handle_, 60000);
        return true;
    }

    bool Tables(std::vector<CopyTable>& tables, std::string& reason) override {
        FileStatement names;
        if (!Prepare("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                     "'sqlite\\_%' ESCAPE '\\' ORDER BY name",
                     names, reason)) {
            return false;
        }
        int step;
        while ((step = sqlite3_step(names.get())) == SQLITE_ROW) {
            CopyTable table;
            table.name = reinterpret_cast<const char*>(sqlite3_column_text(names.get(), 0));
            tables.push_back(std::move(table));
        }
        if (step != SQLITE_DONE) return Failed("the list of tables", reason);
        for (CopyTable& table : tables) {
            FileStatement info;
            if (!Prepare("PRAGMA table_info(" + QuoteIdentifier(table.name) + ")", info, reason)) {
                return false;
            }
            while ((step = sqlite3_step(info.get())) == SQLITE_ROW) {
                CopyColumn column;
                column.name = reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 1));
                const auto* type = sqlite3_column_text(info.get(), 2);
                column.kind = FileColumnClass(type ? reinterpret_cast<const char*>(type) : "");
                table.columns.push_back(std::move(column));
            }
            if (step != SQLITE_DONE) return Failed("the columns of " + table.name, reason);
        }
        return true;
    }

    bool CountRows(const CopyTable& table, std::uint64_t& rows, std::string& reason) override {
        FileStatement count;
        if (!Prepare("SELECT count(*) FROM " + QuoteIdentifier(table.name), count, reason)) {
            return false;
        }
        if (sqlite3_step(count.get()) != SQLITE_ROW)
            return Failed("counting " + table.name, reason);
        rows = static_cast<std::uint64_t>(sqlite3_column_int64(count.get(), 0));
        return true;
    }

    bool BeginReading(std::string& reason) override { return Run("BEGIN", reason); }

    bool Read(const std::string& table, const std::vector<CopyColumn>& columns, const RowSink& sink,
              std::string& reason) override {
        FileStatement select;
        if (!Prepare("SELECT " + Joined(columns) + " FROM " + QuoteIdentifier(table), select,
                     reason)) {
            return false;
        }
        CopyRow row(columns.size());
        int step;
        while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
            for (std::size_t c = 0; c < columns.size(); ++c) {
                row[c] = ReadCell(select.get(), static_cast<int>(c), columns[c].kind);
            }
            if (!sink(row)) return false;
        }
        return step == SQLITE_DONE || Failed("reading " + table, reason);
    }

    // Everything in one transaction: a copy that stops leaves the file as
    // the template made it, and no journal once it is closed.
    bool BeginWriting(std::string& reason) override {
        return Run("PRAGMA cache_size = -65536", reason) && Run("BEGIN IMMEDIATE", reason);
    }

    bool StartTable(const std::string& table, const std::vector<CopyColumn>& columns,
                    std::string& reason) override {
        std::string marks;
        for (std::size_t c = 0; c < columns.size(); ++c) marks += c ? ", ?" : "?";
        table_ = table;
        return Prepare("INSERT INTO " + QuoteIdentifier(table) + " (" + Joined(columns) +
                           ") VALUES (" + marks + ")",
                       insert_, reason);
    }

    bool Write(const CopyRow& row, std::string& reason) override {
        sqlite3_stmt* insert = insert_.get();
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (Bind(insert, static_cast<int>(c + 1), row[c]) != SQLITE_OK) {
                return Failed("writing " + table_, reason);
            }
        }
        const int step = sqlite3_step(insert);
        sqlite3_reset(insert);
        return step == SQLITE_DONE || Failed("writing " + table_, reason);
    }

    bool FinishTable(std::string&) override {
        insert_.reset();
        return true;
    }

    bool CommitWriting(std::string& reason) override { return Run("COMMIT", reason); }

  private:
    // The value as the column keeps it: NaN is stored as the text "NaN" in
    // a number column (the engine keeps no NaN as a number), and bytes
    // stored as text are bytes all the same.
    static Cell ReadCell(sqlite3_stmt* statement, int column, ColumnClass kind) {
        Cell cell;
        switch (sqlite3_column_type(statement, column)) {
            case SQLITE_INTEGER:
                cell.kind = CellKind::kInteger;
                cell.integer = sqlite3_column_int64(statement, column);
                if (kind == ColumnClass::kReal && std::llabs(cell.integer) <= (1LL << 53)) {
                    cell.kind = CellKind::kReal;
                    cell.real = static_cast<double>(cell.integer);
                }
                break;
            case SQLITE_FLOAT:
                cell.kind = CellKind::kReal;
                cell.real = sqlite3_column_double(statement, column);
                break;
            case SQLITE_TEXT:
                cell.data = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
                cell.size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
                cell.kind = kind == ColumnClass::kBytes ? CellKind::kBytes : CellKind::kText;
                if (kind == ColumnClass::kReal && cell.size == 3 &&
                    std::memcmp(cell.data, "NaN", 3) == 0) {
                    cell.kind = CellKind::kReal;
                    cell.real = std::numeric_limits<double>::quiet_NaN();
                }
                break;
            case SQLITE_BLOB:
                cell.kind = CellKind::kBytes;
                cell.data = static_cast<const char*>(sqlite3_column_blob(statement, column));
                cell.size = static_cast<std::size_t>(sqlite3_column_bytes(statement, column));
                if (!cell.data) cell.data = "";
                break;
            default:
                break;
        }
        return cell;
    }

    static int Bind(sqlite3_stmt* statement, int index, const Cell& cell) {
        switch (cell.kind) {
            case CellKind::kInteger:
                return sqlite3_bind_int64(statement, index, cell.integer);
            case CellKind::kReal:
                if (std::isnan(cell.real)) {
                    return sqlite3_bind_text(statement, index, "NaN", 3, SQLITE_STATIC);
                }
                return sqlite3_bind_double(statement, index, cell.real);
            case CellKind::kText:
                return sqlite3_bind_text64(statement, index, cell.data, cell.size, SQLITE_STATIC,
                                           SQLITE_UTF8);
            case CellKind::kBytes:
                return sqlite3_bind_blob64(statement, index, cell.data, cell.size, SQLITE_STATIC);
            case CellKind::kNull:
                break;
        }
        return sqlite3_bind_null(statement, index);
    }

    bool Prepare(const std::string& sql, FileStatement& statement, std::string& reason) {
        sqlite3_stmt* prepared = nullptr;
        if (sqlite3_prepare_v2(handle_, sql.c_str(), -1, &prepared, nullptr) != SQLITE_OK) {
            reason =
                sqlite3_errmsg(handle_) + std::string(" [project file ") + path_ + "] in: " + sql;
            return false;
        }
        statement.reset(prepared);
        return true;
    }

    bool Run(const char* sql, std::string& reason) {
        if (sqlite3_exec(handle_, sql, nullptr, nullptr, nullptr) == SQLITE_OK) return true;
        reason = sqlite3_errmsg(handle_) + std::string(" [project file ") + path_ + "] in: " + sql;
        return false;
    }

    bool Failed(const std::string& what, std::string& reason) {
        reason =
            sqlite3_errmsg(handle_) + std::string(" [project file ") + path_ + "] while " + what;
        return false;
    }

    sqlite3* handle_ = nullptr;
    std::string path_;
    FileStatement insert_;
    std::string table_;
};

// ---- server databases ---------------------------------------------------

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

class ServerSide final : public CopySide {
  public:
    ~ServerSide() override { PQfinish(connection_); }

    bool Open(const std::string& connect, std::string& reason) {
        connection_ = PQconnectdb(connect.c_str());
        if (PQstatus(connection_) != CONNECTION_OK) {
            reason = "cannot reach the server database: " + Message();
            return false;
        }
        database_ = PQdb(connection_);
        // Text travels as the module stores it, whatever the environment asks.
        if (PQsetClientEncoding(connection_, "UTF8") != 0) {
            reason = "the server database cannot send UTF-8: " + Message();
            return false;
        }
        return Run("SET client_min_messages TO warning", reason);
    }

    bool Tables(std::vector<CopyTable>& tables, std::string& reason) override {
        ServerResult result(
            PQexec(connection_,
                   "SELECT c.relname, a.attname, a.atttypid FROM pg_catalog.pg_class c"
                   " JOIN pg_catalog.pg_attribute a ON a.attrelid = c.oid"
                   " WHERE c.relkind IN ('r', 'p') AND c.relnamespace = "
                   "'public'::regnamespace AND a.attnum > 0 AND NOT a.attisdropped"
                   " ORDER BY c.relname COLLATE \"C\", a.attnum"));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            return Failed("the list of tables", result.get(), reason);
        }
        for (int r = 0; r < PQntuples(result.get()); ++r) {
            const std::string table = PQgetvalue(result.get(), r, 0);
            if (tables.empty() || tables.back().name != table) tables.push_back({table, {}});
            CopyColumn column;
            column.name = PQgetvalue(result.get(), r, 1);
            column.type = static_cast<unsigned>(std::stoul(PQgetvalue(result.get(), r, 2)));
            column.kind = ServerColumnClass(column.type);
            tables.back().columns.push_back(std::move(column));
        }
        return true;
    }

    bool CountRows(const CopyTable& table, std::uint64_t& rows, std::string& reason) override {
        const std::string sql = "SELECT count(*) FROM " + QuoteIdentifier(table.name);
        ServerResult result(PQexec(connection_, sql.c_str()));
        if (PQresultStatus(result.get()) != PGRES_TUPLES_OK) {
            return Failed("counting " + table.name, result.get(), reason);
        }
        rows = std::stoull(PQgetvalue(result.get(), 0, 0));
        return true;
    }

    bool BeginReading(std::string& reason) override {
        return Run("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", reason);
    }

    // COPY in the binary form streams the rows; each piece the server sends
    // is decoded where the client library holds it.
    bool Read(const std::string& table, const std::vector<CopyColumn>& columns, const RowSink& sink,
              std::string& reason) override {
        for (const CopyColumn& column : columns) {
            if (column.kind == ColumnClass::kOther) return UnknownType(table, column, reason);
        }
        const std::string sql = "COPY (SELECT " + Joined(columns) + " FROM " +
                                QuoteIdentifier(table) + ") TO STDOUT (FORMAT binary)";
        ServerResult start(PQexec(connection_, sql.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_OUT) {
            return Failed("reading " + table, start.get(), reason);
        }
        RowDecoder decoder(columns);
        char* piece = nullptr;
        int size;
        while ((size = PQgetCopyData(connection_, &piece, 0)) > 0) {
            std::unique_ptr<char, CopyDataFree> held(piece);
            // A stopped sink leaves the rest unread: the connection is
            // given up with the copy.
            if (!decoder.Take(piece, static_cast<std::size_t>(size), sink)) {
                if (reason.empty()) reason = "the server sent rows of " + table + " not understood";
                return false;
            }
        }
        ServerResult end(PQgetResult(connection_));
        if (size == -2 || PQresultStatus(end.get()) != PGRES_COMMAND_OK) {
            return Failed("reading " + table, end.get(), reason);
        }
        while (ServerResult(PQgetResult(connection_))) {
        }
        return true;
    }

    bool BeginWriting(std::string& reason) override {
        // Long values are compressed with the server's fast method where it
        // has one: the default one takes several times longer than the copy
        // itself on curves, which hardly compress. Servers without it keep
        // their default.
        std::string ignored;
        Run("SET default_toast_compression = 'lz4'", ignored);
        return Run("BEGIN", reason);
    }

    bool StartTable(const std::string& table, const std::vector<CopyColumn>& columns,
                    std::string& reason) override {
        for (const CopyColumn& column : columns) {
            if (column.kind == ColumnClass::kOther) return UnknownType(table, column, reason);
        }
        table_ = table;
        columns_ = columns;
        const std::string sql = "COPY " + QuoteIdentifier(table) + " (" + Joined(columns) +
                                ") FROM STDIN (FORMAT binary)";
        ServerResult start(PQexec(connection_, sql.c_str()));
        if (PQresultStatus(start.get()) != PGRES_COPY_IN) {
            return Failed("writing " + table, start.get(), reason);
        }
        buffer_.assign(kCopySignature, 11);
        PutBigEndian(buffer_, 0, 4);
        PutBigEndian(buffer_, 0, 4);
        return true;
    }

    bool Write(const CopyRow& row, std::string& reason) override {
        PutBigEndian(buffer_, row.size(), 2);
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (!Encode(row[c], columns_[c], reason)) return false;
        }
        return buffer_.size() < kCopyChunk || Send(reason);
    }

    bool FinishTable(std::string& reason) override {
        PutBigEndian(buffer_, 0xffff, 2);
        if (!Send(reason)) return false;
        if (PQputCopyEnd(connection_, nullptr) != 1) {
            reason = "writing " + table_ + ": " + Message();
            return false;
        }
        bool ok = true;
        while (ServerResult result{PQgetResult(connection_)}) {
            if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
                ok = Failed("writing " + table_, result.get(), reason);
            }
        }
        return ok;
    }

    bool CommitWriting(std::string& reason) override { return Run("COMMIT", reason); }

  private:
    // The rows of a binary COPY answer, which may begin or end anywhere in
    // the pieces the server sends: a row cut at the end of a piece is kept
    // until the rest comes.
    class RowDecoder {
      public:
        explicit RowDecoder(const std::vector<CopyColumn>& columns)
            : columns_(columns), row_(columns.size()) {}

        // False when the data is not rows of the columns, or the sink stopped.
        bool Take(const char* piece, std::size_t size, const RowSink& sink) {
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

        const std::vector<CopyColumn>& columns_;
        CopyRow row_;
        std::string pending_;
        bool headerRead_ = false;
    };

    // Appends one value in the binary form of its column's type; false (with
    // the reason) for a value the column cannot keep as it is.
    bool Encode(const Cell& cell, const CopyColumn& column, std::string& reason) {
        if (cell.kind == CellKind::kNull) {
            PutBigEndian(buffer_, 0xffffffffu, 4);
            return true;
        }
        switch (column.kind) {
            case ColumnClass::kInteger:
                return EncodeInteger(cell, column, reason);
            case ColumnClass::kReal:
                return EncodeReal(cell, column, reason);
            case ColumnClass::kText:
                if (cell.kind != CellKind::kText) break;
                return EncodeBytes(cell, reason);
            case ColumnClass::kBytes:
                if (cell.kind != CellKind::kText && cell.kind != CellKind::kBytes) break;
                return EncodeBytes(cell, reason);
            case ColumnClass::kOther:
                break;
        }
        reason = Refused(cell, column);
        return false;
    }

    bool EncodeInteger(const Cell& cell, const CopyColumn& column, std::string& reason) {
        const int size = TypeSize(column.type);
        const long long limit = size == 8 ? 0 : 1LL << (8 * size - 1);
        if (cell.kind != CellKind::kInteger ||
            (size < 8 && (cell.integer < -limit || cell.integer >= limit))) {
            reason = Refused(cell, column);
            return false;
        }
        PutBigEndian(buffer_, static_cast<std::uint64_t>(size), 4);
        PutBigEndian(buffer_, static_cast<std::uint64_t>(cell.integer), size);
        return true;
    }

    bool EncodeReal(const Cell& cell, const CopyColumn& column, std::string& reason) {
        double real = cell.real;
        if (cell.kind == CellKind::kInteger) real = static_cast<double>(cell.integer);
        const bool exact = cell.kind == CellKind::kReal || (cell.kind == CellKind::kInteger &&
                                                            std::llabs(cell.integer) <= 1LL << 53);
        const auto single = static_cast<float>(real);
        if (!exact || (column.type == kFloat4 && !std::isnan(real) && single != real)) {
            reason = Refused(cell, column);
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

    bool EncodeBytes(const Cell& cell, std::string& reason) {
        if (cell.size > 0x7fffffffu) {
            reason = "a value of " + std::to_string(cell.size) + " bytes is beyond the server's";
            return false;
        }
        PutBigEndian(buffer_, cell.size, 4);
        buffer_.append(cell.data, cell.size);
        return true;
    }

    bool Send(std::string& reason) {
        if (PQputCopyData(connection_, buffer_.data(), static_cast<int>(buffer_.size())) != 1) {
            reason = "writing " + table_ + ": " + Message();
            return false;
        }
        buffer_.clear();
        return true;
    }

    bool UnknownType(const std::string& table, const CopyColumn& column, std::string& reason) {
        reason = "column " + column.name + " of table " + table + " has a type (" +
                 std::to_string(column.type) + ") a project does not use";
        return false;
    }

    std::string Message() const {
        std::string message = PQerrorMessage(connection_);
        while (!message.empty() && message.back() == '\n') message.pop_back();
        return message + " [database " + database_ + "]";
    }

    bool Run(const char* sql, std::string& reason) {
        ServerResult result(PQexec(connection_, sql));
        if (PQresultStatus(result.get()) == PGRES_COMMAND_OK) return true;
        return Failed(std::string("running ") + sql, result.get(), reason);
    }

    // The server's message on one line: what went wrong, then where ("COPY
    // w_well_data, line 1, column wellname").
    bool Failed(const std::string& what, const PGresult* result, std::string& reason) {
        const char* primary =
            result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
        const char* context = result ? PQresultErrorField(result, PG_DIAG_CONTEXT) : nullptr;
        std::string message = primary ? primary : PQerrorMessage(connection_);
        if (context) message += std::string("; ") + context;
        for (char& c : message) {
            if (c == '\n' || c == '\t') c = ' ';
        }
        while (!message.empty() && message.back() == ' ') message.pop_back();
        reason = message + " [database " + database_ + "] while " + what;
        return false;
    }

    PGconn* connection_ = nullptr;
    std::string database_;
    std::string table_;
    std::vector<CopyColumn> columns_;
    std::string buffer_;
};

}  // namespace

std::unique_ptr<CopySide> OpenFileSide(const std::string& path, bool writable,
                                       std::string& reason) {
    auto side = std::make_unique<FileSide>();
    if (!side->Open(path, writable, reason)) return nullptr;
    return side;
}

std::unique_ptr<CopySide> OpenServerSide(const std::string& connect, std::string& reason) {
    auto side = std::make_unique<ServerSide>();
    if (!side->Open(connect, reason)) return nullptr;
    return side;
}

}  // namespace strataloom::formats
