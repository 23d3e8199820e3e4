// What the units of the server driver share: the server's type identifiers,
// the statements every write runs under, and the helpers that more than one
// unit calls. The driver is split by concern: the connection and its
// transactions (pgconnection.cpp), the pipeline of round trips
// (pgpipeline.cpp), the rows of a save by COPY and its binary codec
// (pgcopy.cpp), and the binary decoding of answers (pgdecode.cpp).
#pragma once

#include <libpq-fe.h>

#include <cctype>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "dbaccess/cell.h"
#include "dbaccess/postgres/pgconnection.h"
#include "dbaccess/postgres/pghandles.h"
#include "dbaccess/sessionlimits.h"

namespace strataloom::db::pg {

// Type identifiers of the server's built-in types.
enum : Oid {
    kBool = 16,
    kBytea = 17,
    kInt8 = 20,
    kInt2 = 21,
    kInt4 = 23,
    kOid = 26,
    kFloat4 = 700,
    kText = 25,
    kFloat8 = 701,
    kBpchar = 1042,
    kVarchar = 1043,
    kNumeric = 1700,
};

using Clock = std::chrono::steady_clock;

// The largest bytea the server stores: 1 GiB less its length word.
inline constexpr std::size_t kLargestServerValue = 0x3fffffff - 4;

// Statements kept prepared per connection; the one used least recently goes
// first. Longer texts (long in-lists) run as they stand.
inline constexpr std::size_t kPreparedLimit = 128;
inline constexpr std::size_t kLongestPrepared = 2000;

// The savepoint every statement of a write runs under.
inline constexpr char kSavepoint[] = "SAVEPOINT strataloom_stmt";
inline constexpr char kReleaseSavepoint[] = "RELEASE SAVEPOINT strataloom_stmt";
inline constexpr char kRollbackToSavepoint[] = "ROLLBACK TO SAVEPOINT strataloom_stmt";

// The statements a write holds for its next round trip before its rows turn
// to COPY. Measured on a marker save over a Unix socket: up to 16 rows the
// inserts cost less client CPU than COPY's own two round trips (75 against
// 79 us), at 32 as much, at 64 two thirds more.
inline constexpr std::size_t kInsertedRows = 16;

// Rows of a COPY are handed to the client library in pieces of about this size.
inline constexpr std::size_t kCopyChunk = 256 * 1024;

inline std::string LowerAscii(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Connects with the options as the client library's keyword and value lists.
PGconn* ConnectWith(const ServerOptions& options);
// The server's message for a failed result, with its detail.
std::string ServerMessage(const PGresult* result);
// Counts one wait for the server's answer (see ServerRoundTrips).
void CountRoundTrip();

// Waits (through wait) until the next result of the pipeline is in; next is
// null at the end of a statement's results. False when waiting or reading failed.
bool AwaitResult(PGconn* c, PgResult& next, const std::function<bool()>& wait);

// The rows of an answer received in binary form, decoded as they are read;
// their column names shared with an answer of the same columns before.
std::unique_ptr<Rows> ServerRows(PgResult result, ColumnLists& lists);

// Whether COPY can carry a value into a column of the type, and its binary form.
bool CopyForm(const Value& value, Oid type);
bool EncodeCopyValue(const Value& value, Oid type, std::string& out);
// A number as the server reads it in text form, bit-exact for doubles.
std::string NumberText(const Value& value, Oid type);

}  // namespace strataloom::db::pg
