// The base of every data class that owns tables: the session idioms every
// operation is written from, so that no class repeats the open-session /
// check-table / run / commit sequence. A class states its statements and
// calls the helper that fits:
//
//   int CWellListData::DeleteWellList(const char* name) {
//       if (IsEmptyText(name)) return Refuse(kEmptyListName);
//       return RunDelete(kTable, "delete from b_welllist_data where WellListName='" + ... + "'");
//   }
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "datadefine/columns.h"
#include "datadefine/datahelpers.h"
#include "datadefine/dataobject.h"

namespace strataloom {

// Whether an operation opens its table by name first: only a table that does
// not exist stops it then.
enum class TableCheck { Run, Skip };

// Where a save that first runs the object's own delete runs it: inside its
// open session (the usual order) or before it opens one.
enum class DeleteStep { InsideSession, BeforeSession };

// Appends a new row to the table the session opened, from the record.
template <class Record>
void InsertRecord(CDbManage& session, const ColumnTable<Record>& columns, const Record& record) {
    session.AddNew();
    columns.Write(session, record);
}

// Appends one new row per record, in the order of the records.
template <class Record>
void InsertRecords(CDbManage& session, const ColumnTable<Record>& columns,
                   const std::vector<Record>& records) {
    for (const Record& record : records) InsertRecord(session, columns, record);
}

// The key of every record (a line, a grid...), in order, repeats kept.
template <class Record>
NameList KeysOf(const std::vector<Record>& records, std::string Record::*key) {
    NameList names;
    names.reserve(records.size());
    for (const Record& record : records) names.push_back(record.*key);
    return names;
}

// Appends one new row per record, each naming its owner (a well, a list...)
// in keyColumn before the record's own columns; leftUnset as in ColumnTable::Write.
template <class Record>
void InsertOwnedRecords(CDbManage& session, const char* keyColumn, const std::string& owner,
                        const ColumnTable<Record>& columns, const std::vector<Record>& records,
                        typename ColumnTable<Record>::LeftUnset leftUnset = nullptr) {
    for (const Record& record : records) {
        session.AddNew();
        session.SetFieldValue(keyColumn, owner);
        columns.Write(session, record, leftUnset);
    }
}

// The statement, declared to work on table (when one is named).
inline Statement OnTable(Statement statement, const char* table) {
    if (table) statement.On(table);
    return statement;
}

// The helpers that take a statement refuse one holding a zero byte before
// any statement runs: only a caller's name can have brought it in.
template <class Interface>
class TableData : public DataObject<Interface> {
  protected:
    // Runs a reading operation on one session of its own.
    template <class Body>
    int Read(Body&& body, ReadStatements statements = ReadStatements::Several) {
        return Guarded(
            [&] {
                CDbManage session(this->Connect());
                return body(session);
            },
            statements);
    }

    // The same for an operation that reads with one statement (a table check
    // aside): it needs no snapshot of its own.
    template <class Body>
    int ReadOne(Body&& body) {
        return Read(std::forward<Body>(body), ReadStatements::One);
    }

    // Runs a writing operation on one session inside one transaction, after
    // the table check when a table is named. Everything it did stays only
    // when it returns 1.
    template <class Body>
    int Write(const char* table, Body&& body) {
        return WriteChecked(table ? Statement::WholeTable(table) : Statement(),
                            std::forward<Body>(body));
    }

    // The same after the table check of tableCheck (a whole table, which may
    // name the other tables the write touches; none when empty).
    template <class Body>
    int WriteChecked(const Statement& tableCheck, Body&& body) {
        return Atomic(this->ConnectString(), [&] {
            CDbManage session(this->Connect());
            if (!tableCheck.Empty() && !OpenTable(session, tableCheck)) return 0;
            return body(session);
        });
    }

    // A write whose failure the user is told of in a box, shown only once the
    // transaction has ended, so that no lock waits on the user: tableMissing
    // when the table check stopped it (no box when null), failed otherwise.
    template <class Body>
    int WriteOrTell(const char* table, const char* tableMissing, const char* failed, Body&& body) {
        bool opened = true;
        const int saved = Atomic(this->ConnectString(), [&] {
            CDbManage session(this->Connect());
            opened = OpenTable(session, table);  // an attempt that starts over checks anew
            return opened ? body(session) : 0;
        });
        if (saved) return saved;
        // The engine's reason, noted by the write, goes before the box's own text.
        const std::string engine = db::LastFailure();
        if (!opened) return tableMissing ? Refuse(tableMissing, engine) : 0;
        return Refuse(failed, engine.empty() ? engine : "the save failed: " + engine);
    }

    // Appends the text of column from each row of query; a query without
    // rows gives 0 unless noRows says that is no failure.
    int ListNames(const Statement& query, const char* column, NameList& names,
                  NoRows noRows = NoRows::Fail) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            return ReadNameList(session, query, column, names, noRows);
        });
    }

    // The same after the table check.
    int ListNamesInTable(const char* table, const Statement& query, const char* column,
                         NameList& names) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (!OpenTable(session, table)) return 0;
            return ReadNameList(session, query, column, names);
        });
    }

    // 1 when query yields a row; after the table check when a table is named.
    int HasRows(const char* table, const Statement& query) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (table && !OpenTable(session, table)) return 0;
            return session.GetDataFromDB(query) == CDbManage::kRows ? 1 : 0;
        });
    }

    // Runs one delete statement; its own result is not looked at.
    int RunDelete(const char* table, const Statement& statement,
                  TableCheck check = TableCheck::Run) {
        if (HoldsZeroByte(statement)) return RefuseZeroByteName();
        const Statement onTable = OnTable(statement, table);
        return Write(check == TableCheck::Run ? table : nullptr, [&](CDbManage& session) {
            session.ExecuteSQL(onTable);
            return 1;
        });
    }

    // Runs one delete statement whose own result is the operation's.
    int RunReportedDelete(const char* table, const Statement& statement,
                          TableCheck check = TableCheck::Run) {
        if (HoldsZeroByte(statement)) return RefuseZeroByteName();
        const Statement onTable = OnTable(statement, table);
        return Write(check == TableCheck::Run ? table : nullptr,
                     [&](CDbManage& session) { return session.ExecuteSQL(onTable) ? 1 : 0; });
    }

    // Replaces rows: the delete statement, then the rows writeRows adds, all
    // stored by one SaveData whose result is the operation's. The rows go to
    // the table as they are added: writeRows runs no statement between them.
    // The delete goes to the server with the rows; its failure fails the save.
    template <class WriteRows>
    int Replace(const char* table, const Statement& deleteStatement, WriteRows&& writeRows) {
        return Replace(table ? Statement::WholeTable(table) : Statement(), deleteStatement,
                       std::forward<WriteRows>(writeRows));
    }

    // The same after the table check of tableCheck, which names every table
    // the rows or the delete go to.
    template <class WriteRows>
    int Replace(const Statement& tableCheck, const Statement& deleteStatement,
                WriteRows&& writeRows) {
        if (HoldsZeroByte(deleteStatement)) return RefuseZeroByteName();
        Statement onTables = deleteStatement;
        for (const std::string& table : tableCheck.Tables()) onTables.On(table);
        return WriteChecked(tableCheck, [&](CDbManage& session) {
            session.ExecuteSQLWithRows(onTables);
            session.StoreRowsAsAdded();
            writeRows(session);
            return session.SaveData() ? 1 : 0;
        });
    }

    // Replaces rows through the object's own delete, called through its
    // interface: deleteOld removes the rows being replaced (its sessions join
    // this transaction), then writeRows adds the new ones, all stored by one
    // SaveData whose result is the operation's; they go to the table as they
    // are added. A delete that gives 0 ends the save with nothing changed.
    template <class DeleteOld, class WriteRows>
    int ReplaceThroughDelete(const char* table, DeleteStep step, DeleteOld&& deleteOld,
                             WriteRows&& writeRows) {
        const auto insertAll = [&](CDbManage& session) {
            if (step == DeleteStep::InsideSession && !deleteOld()) return 0;
            session.StoreRowsAsAdded();
            writeRows(session);
            return session.SaveData() ? 1 : 0;
        };
        if (step == DeleteStep::InsideSession) return Write(table, insertAll);
        return Atomic(this->ConnectString(),
                      [&] { return deleteOld() ? Write(table, insertAll) : 0; });
    }

    // Reads the first row of query into record, without stepping through the
    // rows: 0 when there is none or a column cannot be read.
    template <class Record>
    int LoadRecord(const Statement& query, const ColumnTable<Record>& columns, Record& record,
                   KeyColumns keys) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
            return columns.Read(session, record, keys) ? 1 : 0;
        });
    }

    // The same for a record the query selects by its key: nameRecord fills
    // the key in once the query has rows, and the other columns are read.
    template <class Record, class NameRecord>
    int LoadNamedRecord(const Statement& query, const ColumnTable<Record>& columns, Record& record,
                        NameRecord&& nameRecord) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
            nameRecord();
            return columns.Read(session, record, KeyColumns::Skip) ? 1 : 0;
        });
    }

    // Loads the rows query selects as the records of one owner: nameOwner
    // runs once the query has rows (the owner is named only then), and
    // records present on entry stay in front.
    template <class Record, class NameOwner>
    int LoadOwnedRecords(const Statement& query, const ColumnTable<Record>& columns,
                         std::vector<Record>& records, NameOwner&& nameOwner) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
            nameOwner();
            while (session.Read()) {
                Record record;
                if (!columns.Read(session, record)) return 0;
                records.push_back(std::move(record));
            }
            return 1;
        });
    }

    // Appends one record per row of query selected by its key: each a copy
    // of keyed, which holds the key, with the other columns read from the row.
    template <class Record>
    int LoadKeyedRecords(const Statement& query, const ColumnTable<Record>& columns,
                         const Record& keyed, std::vector<Record>& records) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            return ForEachRow(session, query, [&] {
                Record record = keyed;
                if (!columns.Read(session, record, KeyColumns::Skip)) return false;
                records.push_back(std::move(record));
                return true;
            });
        });
    }

    // Appends one record per row of query. 0 when the query fails or yields
    // no row, or a column cannot be read; records appended before stay.
    template <class Record>
    int LoadRecords(const Statement& query, const ColumnTable<Record>& columns,
                    std::vector<Record>& records) {
        return LoadRecordsInTable(nullptr, query, columns, records);
    }

    // The same after the table check when a table is named.
    template <class Record>
    int LoadRecordsInTable(const char* table, const Statement& query,
                           const ColumnTable<Record>& columns, std::vector<Record>& records) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return ReadOne([&](CDbManage& session) {
            if (table && !OpenTable(session, table)) return 0;
            return ForEachRow(session, query, [&] {
                Record record;
                if (!columns.Read(session, record)) return false;
                records.push_back(std::move(record));
                return true;
            });
        });
    }
};

}  // namespace strataloom
