// The rows of a save: by COPY in the binary form, each value encoded as the
// column's type takes it, or by an INSERT where COPY cannot carry them.
#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

#include "dbaccess/failure.h"
#include "dbaccess/postgres/pgshared.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db {

namespace pg {

// A number as the server reads it in text form, bit-exact for doubles.
std::string NumberText(const Value& value, Oid type) {
    const bool integerTarget = type == kInt2 || type == kInt4 || type == kInt8;
    if (value.kind == ValueKind::Integer) return std::to_string(value.integer);
    if (integerTarget && std::isfinite(value.real)) {
        return std::to_string(static_cast<long long>(value.real));
    }
    if (std::isnan(value.real)) return "NaN";
    if (std::isinf(value.real)) return value.real > 0 ? "Infinity" : "-Infinity";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", value.real);
    return buffer;
}

namespace {

void PutBigEndian(std::string& out, unsigned long long value, int size) {
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xff);
    }
}

// A whole number for an integer column of size bytes, as the text form
// would give it (a real cut toward zero); false when it does not fit.
bool IntegerFor(const Value& value, int size, long long& whole) {
    if (value.kind == ValueKind::Integer) {
        whole = value.integer;
    } else if (std::isfinite(value.real) && std::fabs(value.real) < 9.2e18) {
        whole = static_cast<long long>(value.real);
    } else {
        return false;
    }
    const long long limit = size == 8 ? 0 : (1LL << (8 * size - 1));
    return size == 8 || (whole >= -limit && whole < limit);
}

}  // namespace

// Whether COPY's binary form carries a value for a column of type type as
// it is (a text for a number column does not: such a row goes through an
// insert statement, whose text form the server converts as it always did).
bool CopyForm(const Value& value, Oid type) {
    const bool number = value.kind == ValueKind::Integer || value.kind == ValueKind::Real;
    switch (value.kind == ValueKind::Null ? 0u : type) {
        case 0:
            return true;
        case kText:
        case kVarchar:
        case kBpchar:
            return value.kind == ValueKind::Text;
        case kBytea:
            return (value.kind == ValueKind::Text || value.kind == ValueKind::Blob) &&
                   value.size <= 0x7fffffffu;
        case kFloat8:
        case kFloat4:
            return number;
        case kInt2:
        case kInt4:
        case kInt8: {
            long long whole = 0;
            return number && IntegerFor(value, type == kInt2 ? 2 : type == kInt4 ? 4 : 8, whole);
        }
        default:
            return false;
    }
}

// Appends a value CopyForm accepted in the binary form of COPY: its length,
// then for numbers their bytes. True when the value's own bytes must follow.
bool EncodeCopyValue(const Value& value, Oid type, std::string& out) {
    if (value.kind == ValueKind::Null) {
        PutBigEndian(out, 0xffffffffu, 4);
        return false;
    }
    const double real =
        value.kind == ValueKind::Integer ? static_cast<double>(value.integer) : value.real;
    switch (type) {
        case kFloat8: {
            unsigned long long bits;
            std::memcpy(&bits, &real, sizeof bits);
            PutBigEndian(out, 8, 4);
            PutBigEndian(out, bits, 8);
            return false;
        }
        case kFloat4: {
            const auto single = static_cast<float>(real);
            std::uint32_t bits;
            std::memcpy(&bits, &single, sizeof bits);
            PutBigEndian(out, 4, 4);
            PutBigEndian(out, bits, 4);
            return false;
        }
        case kInt2:
        case kInt4:
        case kInt8: {
            const int size = type == kInt2 ? 2 : type == kInt4 ? 4 : 8;
            long long whole = 0;
            IntegerFor(value, size, whole);
            PutBigEndian(out, static_cast<unsigned long long>(size), 4);
            PutBigEndian(out, static_cast<unsigned long long>(whole), size);
            return false;
        }
        default:
            PutBigEndian(out, value.size, 4);
            return true;
    }
}

}  // namespace pg

using namespace pg;

// The rows of a save go to the server by COPY in its binary form: no
// statement per row, and value arrays as the bytes they are.
bool PgConnection::StartCopy(const TableShape& table, const std::vector<int>& columns) {
    // COPY runs outside pipeline mode, after every answer still due.
    if (!pendingBegin_.empty() || !queued_.empty()) {
        std::vector<Result> none;
        RoundTrip({}, none);
        if (!handle_ || ScopeBroken() || !queuedFailure_.empty()) return false;
    }
    PGconn* c = handle_.get();
    auto deadline = Clock::now() + answerLimit_;
    if (!ReadDeferred(deadline)) return false;
    if (PQpipelineStatus(c) != PQ_PIPELINE_OFF && PQexitPipelineMode(c) != 1) {
        SetError(PQerrorMessage(c));
        return false;
    }
    std::string sql = "COPY " + QuoteIdentifier(LowerAscii(table.name)) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i) sql += ',';
        sql += QuoteIdentifier(table.columns[static_cast<std::size_t>(columns[i])]);
    }
    sql += ") FROM STDIN (FORMAT binary)";
    CountRoundTrip();
    if (PQsendQuery(c, sql.c_str()) != 1 || !Flush(deadline)) {
        if (handle_) SetError(PQerrorMessage(c));
        return false;
    }
    Result started;
    auto wait = [&] { return AwaitSocket(POLLIN, deadline); };
    if (!AwaitResult(c, started, wait) || !started ||
        PQresultStatus(started.get()) != PGRES_COPY_IN) {
        if (!handle_) return false;
        Succeeded(started);
        // The statement's results end with a null.
        Result rest;
        while (AwaitResult(c, rest, wait) && rest) {
        }
        return false;
    }
    copy_.open = true;
    copy_.table = &table;
    copy_.columns = columns;
    copy_.chunk.assign("PGCOPY\n\377\r\n\0\0\0\0\0\0\0\0\0", 19);
    return true;
}

bool PgConnection::PutCopy(const char* data, std::size_t size) {
    PGconn* c = handle_.get();
    auto deadline = Clock::now() + answerLimit_;
    while (size > 0) {
        const int piece = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
        const int put = PQputCopyData(c, data, piece);
        if (put < 0) {
            SetError(PQerrorMessage(c));
            return false;
        }
        if (put == 0) {
            // The client library's buffer is full: let the server take some.
            if (!AwaitSocket(POLLOUT, deadline)) return false;
            if (PQflush(c) < 0) {
                SetError(PQerrorMessage(c));
                return false;
            }
            continue;
        }
        data += piece;
        size -= static_cast<std::size_t>(piece);
        // The client library keeps what the socket did not take in a buffer
        // of its own, which would grow to the size of the whole save: the
        // piece goes out before the next one is put.
        if (!Flush(deadline)) return false;
        deadline = Clock::now() + answerLimit_;
    }
    return true;
}

// Ends the COPY: with abandon null it stores the rows, else the server
// throws them away with that reason. False when the rows were not stored.
bool PgConnection::FinishCopy(const char* abandon) {
    copy_.open = false;
    if (!handle_) return false;
    PGconn* c = handle_.get();
    bool put = true;
    if (!abandon) {
        PutBigEndian(copy_.chunk, 0xffff, 2);  // the trailer
        put = PutCopy(copy_.chunk.data(), copy_.chunk.size());
    }
    copy_.chunk.clear();
    copy_.chunk.shrink_to_fit();
    if (!handle_) return false;
    auto deadline = Clock::now() + answerLimit_;
    int ended;
    while ((ended = PQputCopyEnd(c, put ? abandon : "the rows could not be sent")) == 0) {
        if (!AwaitSocket(POLLOUT, deadline)) return false;
    }
    if (ended < 0 || !Flush(deadline)) {
        if (handle_) Abandon(PQerrorMessage(c));
        return false;
    }
    CountRoundTrip();
    Result answer;
    if (!ReadAnswer(answer, deadline)) {
        if (handle_) Abandon(LastError());
        return false;
    }
    if (abandon || !put) return false;
    return StatementSucceeded(answer);
}

// A row goes as an insert statement, sent with the write's next round trip
// (its COMMIT, for a small save; the next statement, for rows made between
// statements), while few wait to be sent; the rows beyond them by COPY, which
// costs two round trips of its own but far less per row.
bool PgConnection::InsertRow(const TableShape& table, const std::vector<int>& columns,
                             const std::vector<Value>& values) {
    if (copy_.open && (copy_.table != &table || copy_.columns != columns) && !FinishCopy(nullptr)) {
        return false;
    }
    if (!copy_.open && InScope() && queued_.size() < kInsertedRows) {
        if (!Ready({table.name})) return false;
        Queued row;
        if (!InsertRequest(table, columns, values, row.request)) {
            StatementFailed(true);
            return false;
        }
        row.context = row.request.sql;
        queued_.push_back(std::move(row));
        return true;
    }
    if (!CopyCarries(table, columns, values)) {
        if (copy_.open && !FinishCopy(nullptr)) return false;
        return Ready({table.name}) && InsertByStatement(table, columns, values);
    }
    if (!copy_.open) {
        if (!Ready({table.name})) return false;
        if (!StartCopy(table, columns)) {
            StatementFailed(true);
            return false;
        }
    }
    std::string& chunk = copy_.chunk;
    PutBigEndian(chunk, columns.size(), 2);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Value& value = values[i];
        if (!EncodeCopyValue(value, table.types[static_cast<std::size_t>(columns[i])], chunk)) {
            continue;  // the value is whole in the chunk
        }
        // Text and bytes follow their length: large ones go to the client
        // library where they lie, small ones join the chunk.
        if (value.size < kCopyChunk) {
            chunk.append(value.data ? value.data : "", value.size);
            continue;
        }
        if (!PutCopy(chunk.data(), chunk.size()) || !PutCopy(value.data, value.size)) return false;
        chunk.clear();
    }
    if (chunk.size() >= kCopyChunk) {
        if (!PutCopy(chunk.data(), chunk.size())) return false;
        chunk.clear();
    }
    return true;
}

bool PgConnection::EndInserts() {
    if (!copy_.open) return true;
    return FinishCopy(nullptr);
}

bool PgConnection::CopyCarries(const TableShape& table, const std::vector<int>& columns,
                               const std::vector<Value>& values) const {
    if (table.types.size() != table.columns.size()) return false;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!CopyForm(values[i], table.types[static_cast<std::size_t>(columns[i])])) return false;
    }
    return true;
}

bool PgConnection::InsertRequest(const TableShape& table, const std::vector<int>& columns,
                                 const std::vector<Value>& values, Request& request) {
    request.sql = "INSERT INTO " + QuoteIdentifier(LowerAscii(table.name));
    if (columns.empty()) {
        request.sql += " DEFAULT VALUES";
    } else {
        std::string marks;
        request.sql += " (";
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c) {
                request.sql += ',';
                marks += ',';
            }
            request.sql += QuoteIdentifier(table.columns[static_cast<std::size_t>(columns[c])]);
            marks += '$' + std::to_string(c + 1);
        }
        request.sql += ") VALUES (" + marks + ")";
    }
    request.prepared = true;
    request.values.reserve(values.size());
    request.formats.reserve(values.size());
    for (std::size_t p = 0; p < values.size(); ++p) {
        const Value& value = values[p];
        const Oid type =
            p < columns.size() && static_cast<std::size_t>(columns[p]) < table.types.size()
                ? table.types[static_cast<std::size_t>(columns[p])]
                : 0;
        int format = 0;
        std::string text;
        if (value.kind == ValueKind::Null) {
            format = kNullParameter;
        } else if (type != 0 && CopyForm(value, type)) {
            // COPY's binary form of a value is its length, then the binary
            // parameter itself.
            if (EncodeCopyValue(value, type, text))
                text.append(value.data ? value.data : "", value.size);
            text.erase(0, 4);
            format = 1;
        } else if ((value.kind == ValueKind::Blob || value.kind == ValueKind::Text) &&
                   type == kBytea) {
            text.assign(value.data ? value.data : "", value.size);
            format = 1;
        } else if (value.kind == ValueKind::Blob || value.kind == ValueKind::Text) {
            text.assign(value.data ? value.data : "", value.size);
            if (text.find('\0') != std::string::npos) {
                SetError("text holds a zero byte");
                return false;
            }
        } else {
            text = NumberText(value, type);
        }
        request.values.push_back(std::move(text));
        request.formats.push_back(format);
    }
    return true;
}

// A row the COPY form does not carry goes through an insert statement at once.
bool PgConnection::InsertByStatement(const TableShape& table, const std::vector<int>& columns,
                                     const std::vector<Value>& values) {
    Request request;
    if (!InsertRequest(table, columns, values, request)) {
        StatementFailed(true);
        return false;
    }
    return StatementSucceeded(RunOne(std::move(request)));
}

}  // namespace strataloom::db
