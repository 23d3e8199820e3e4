// Pieces every data class builds its operations from.
#pragma once

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "dbaccess/cdbmanage.h"
#include "dbaccess/statement.h"
#include "strataloom/idatabase.h"

namespace strataloom {

// Statements are values: fixed text joined with the caller's values, each
// shown between single quotes in the statement's text and passed to the
// engine apart from it.
using db::Statement;

// A caller's text as a value of a statement; null is the empty text.
inline Statement Quoted(const char* text) {
    return Statement::Value(text);
}
inline Statement Quoted(const std::string& text) {
    return Statement::Value(text);
}

inline bool IsEmptyText(const char* text) {
    return !text || !*text;
}
inline const char* TextOrEmpty(const char* text) {
    return text ? text : "";
}

// Whether a name holds a zero byte. Engines and C texts end a name there:
// "A\0x" would name the well "A". Operations refuse such a name before any
// statement runs (the session refuses a statement holding one as well). A C
// text ends at its first zero byte and never holds one.
inline bool HoldsZeroByte(const char*) {
    return false;
}
inline bool HoldsZeroByte(const Statement& statement) {
    return statement.HoldsZeroByte();
}
inline bool HoldsZeroByte(const std::string& name) {
    return name.find('\0') != std::string::npos;
}
inline bool HoldsZeroByte(const NameList& names) {
    for (const std::string& name : names) {
        if (HoldsZeroByte(name)) return true;
    }
    return false;
}
// Whether the name field of any item holds one.
template <class Item>
bool HoldsZeroByte(const std::vector<Item>& items, std::string Item::*name) {
    for (const Item& item : items) {
        if (HoldsZeroByte(item.*name)) return true;
    }
    return false;
}
template <class... Names>
bool AnyHoldsZeroByte(const Names&... names) {
    return (HoldsZeroByte(names) || ...);
}

// Names for an "in (" ... ")" clause: each between single quotes, joined by
// "," with no blank.
inline Statement InList(const NameList& names) {
    return db::ValueList(names);
}

// Opens table for adding rows. Only a table that does not exist (result 2)
// stops the operation.
bool OpenTable(CDbManage& session, const char* table);
// The same for a whole table that names more tables the write touches.
bool OpenTable(CDbManage& session, const Statement& wholeTable);

// Whether a query that runs but yields no row fails the operation.
enum class NoRows { Fail, Succeed };

// Runs query and appends the text of column from each row. 0 when the query
// fails, or yields no row unless noRows says that is no failure, or a read
// fails; names appended before stay.
int ReadNameList(CDbManage& session, const Statement& query, const char* column, NameList& names,
                 NoRows noRows = NoRows::Fail);

// Runs query and calls readRow once per row, in order. 0 when the query fails
// or yields no row, or when readRow gives false; rows read before stay read.
template <class ReadRow>
int ForEachRow(CDbManage& session, const Statement& query, ReadRow&& readRow) {
    if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
    while (session.Read()) {
        if (!readRow()) return 0;
    }
    return 1;
}

// Which records of a batch to write when each write first deletes the rows of
// its key: the batch's rows are stored only when it is saved, so the delete
// run for a repeated key cannot remove the row queued for its earlier record.
// Keeps only the last record of each key, so that one row per key is stored.
template <class Record, class KeyOf>
std::vector<bool> LastOfEachKey(const std::vector<Record>& records, KeyOf&& keyOf) {
    std::map<std::decay_t<decltype(keyOf(records.front()))>, std::size_t> last;
    for (std::size_t i = 0; i < records.size(); ++i) last[keyOf(records[i])] = i;
    std::vector<bool> keep(records.size(), false);
    for (const auto& entry : last) keep[entry.second] = true;
    return keep;
}

}  // namespace strataloom
