// The database session: the one class the data classes talk to. It chooses an
// engine driver from the connection string and speaks the host application's
// SQL dialect on every engine.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dbaccess/cell.h"
#include "dbaccess/dbvariant.h"
#include "dbaccess/locatedfields.h"
#include "dbaccess/pendingrows.h"
#include "dbaccess/statement.h"

namespace strataloom::db {
class Connection;
struct TableShape;
}  // namespace strataloom::db

class CDbManage {
  public:
    // GetDataFromDB results.
    enum GetDataResult { kRows = 0, kNoRow = 1, kFailed = 2 };

    explicit CDbManage(const char* connect);
    ~CDbManage();
    CDbManage(const CDbManage&) = delete;
    CDbManage& operator=(const CDbManage&) = delete;

    // A select statement (the cursor stands on the first row; the rows are
    // read from the engine as Read moves on, not copied first), or a whole
    // table (Statement::WholeTable: the table is opened for AddNew; no rows
    // are fetched). 0: rows; 1: ran, no row; 2: failed. A statement holding
    // a zero byte is refused (2): no engine would run it as it stands. Inside
    // a reading operation every statement sees the state of the first. A
    // failure of the engine after the first row fails the operation that
    // runs it.
    int GetDataFromDB(const strataloom::db::Statement& statement);
    // The table check of a data class: GetDataFromDB(the whole table) !=
    // kFailed, the table opened for adding rows. Outside a write, a table the
    // connection knows already is taken as it is, with no statement run for
    // it. More tables the write will touch may be named: a server write
    // queues on all of them at once.
    bool CheckTable(const char* table);
    bool CheckTable(const strataloom::db::Statement& wholeTable);
    // The first call yields the first row, each later call the next one.
    bool Read();

    // A column of the current result, found once for all of its rows.
    using Field = strataloom::db::Field;
    Field Locate(const char* column) const;
    // The fields of names in the current result, in their order. The
    // connection keeps them per column list and names (told apart by their
    // addresses: names must be fixed texts, such as a column table's), so a
    // read that repeats matches no names. Valid until the next LocateAll or
    // GetDataFromDB.
    const std::vector<Field>& LocateAll(const std::vector<const char*>& names);

    // Columns are matched without regard to case. NULL reads as empty text or
    // zero. False when no row is current or the column does not exist.
    // A character is stored as text: 0 as the empty text, a byte above 127
    // as the character of that code, so that every value round-trips on
    // every engine.
    template <class T>
    bool GetFieldValue(const char* column, T& value) const {
        return GetFieldValue(Located(column), value);
    }
    bool GetFieldValue(const Field& field, char& value) const;
    bool GetFieldValue(const Field& field, int& value) const;
    bool GetFieldValue(const Field& field, float& value) const;
    bool GetFieldValue(const Field& field, double& value) const;
    bool GetFieldValue(const Field& field, std::string& value) const;
    bool GetFieldValue(const Field& field, DbVariant& value) const;
    long GetRecordCount() const;
    // Byte length of the current row's value; 0 for NULL.
    bool GetActualSize(const char* column, long& size) {
        return GetActualSize(Located(column), size);
    }
    bool GetActualSize(const Field& field, long& size);
    // The bytes of the current row's value, to keep (handed over without a
    // copy where the session holds them already); null for NULL or no such
    // column.
    std::shared_ptr<strataloom::db::ByteArray> TakeBytes(const char* column) {
        return TakeBytes(Located(column));
    }
    std::shared_ptr<strataloom::db::ByteArray> TakeBytes(const Field& field);
    // The same only where the session holds the bytes already; null otherwise.
    std::shared_ptr<strataloom::db::ByteArray> TakeHeldBytes(const char* column) {
        return TakeHeldBytes(Located(column));
    }
    std::shared_ptr<strataloom::db::ByteArray> TakeHeldBytes(const Field& field);
    // Copies the first size bytes of the current row's text or byte value
    // to out; false when it holds fewer, or is of another kind.
    bool CopyBytes(const char* column, void* out, std::size_t size) const {
        return CopyBytes(Located(column), out, size);
    }
    bool CopyBytes(const Field& field, void* out, std::size_t size) const;
    // The current row's text or byte value where the session holds it, read
    // in place: valid until the next Read. False for another kind.
    bool ViewBytes(const char* column, const char*& data, std::size_t& size) const {
        return ViewBytes(Located(column), data, size);
    }
    bool ViewBytes(const Field& field, const char*& data, std::size_t& size) const;

    void AddNew();
    // A value the save cannot store as given (a text holding a zero byte, a
    // column the table lacks) makes SaveData fail; so does a value larger
    // than the engine stores.
    void SetFieldValue(const char* column, const char* value);
    void SetFieldValue(const char* column, const std::string& value);
    void SetFieldValue(const char* column, char value);
    void SetFieldValue(const char* column, int value);
    void SetFieldValue(const char* column, float value);
    void SetFieldValue(const char* column, double value);
    void SetFieldValue(const char* column, const DbVariant& value);
    // Sets a byte-array column to size bytes at data, without a copy: they
    // must stay as they are until SaveData has run.
    void SetFieldBytesInPlace(const char* column, const void* data, std::size_t size);
    // From the next AddNew to SaveData, each row goes to the table as soon as
    // it is complete (when the next one starts, a statement of this session
    // runs, or SaveData runs) instead of waiting in memory. A statement of
    // another session on the connection meanwhile fails, and so does the
    // write. Only inside a write scope; elsewhere the rows wait.
    void StoreRowsAsAdded();
    // Stores every pending row in one transaction; true only when all were stored.
    bool SaveData();

    // A statement that yields no rows; one holding a zero byte is refused.
    // A statement the engine could not carry out for a reason of its own (a
    // project it cannot write, a full disk) also fails the write running on
    // the connection, whether or not its caller looks at the result.
    bool ExecuteSQL(const strataloom::db::Statement& statement);
    // The same for a statement whose result the write does not look at (the
    // delete before a save's rows): the server sends it with the write's next
    // round trip. A failure fails the write, with its reason.
    void ExecuteSQLWithRows(const strataloom::db::Statement& statement);

  private:
    // The row that SetFieldValue fills: the columns in the order set.
    struct RowInHand {
        std::vector<int> columns;                 // positions in the table's columns
        std::vector<strataloom::db::Cell> cells;  // cells[i] for columns[i]; more kept for reuse
        bool open = false;
    };
    Field Located(const char* column) const;
    // Lets go of the result of the statement run last.
    void ForgetResult();
    // The current row's value of a field; false, with the reason noted, when
    // there is none.
    bool CurrentValue(const Field& field, strataloom::db::Value& value) const;
    int TableColumn(const char* column);
    // The cell of column in the row in hand, cleared; null when refused.
    strataloom::db::Cell* CellFor(const char* column);
    void RefusePending(std::string reason);
    // Ends the row in hand: stored at once or packed with the pending rows.
    void EndRow();
    bool StoreRow(const std::vector<int>& columns,
                  const std::vector<strataloom::db::Value>& values);
    bool InsertPending();
    void StopStreaming();
    // Whether opening a table asks the engine whether the table holds a row.
    enum class TableRows { Asked, NotAsked };
    int Run(const strataloom::db::Statement& statement, TableRows tableRows);
    // Runs the statement of a read, as its kind asks.
    std::unique_ptr<strataloom::db::Rows> Query(const strataloom::db::Statement& statement);
    int OpenTable(const strataloom::db::Statement& table, TableRows tableRows);
    void AdoptTable(const std::string& table,
                    std::shared_ptr<const strataloom::db::TableShape> shape);
    // Acquires the connection on first use; false, with the reason noted,
    // when the database cannot be opened.
    bool Connected();
    bool RefuseZeroByte(const strataloom::db::Statement& statement);
    // A statement while the rows of a save are being stored fails, and the write with it.
    bool RefuseWhileStoring();
    // Traces the statement and makes it the one in hand; false, with the
    // reason noted, when it may not run.
    bool MayExecute(const strataloom::db::Statement& statement);
    // Notes why the statement in hand failed.
    void NoteStatementFailure(const std::string& message) const;

    std::string connect_;
    std::shared_ptr<strataloom::db::Connection> connection_;
    std::string statement_;  // the text run last, as failure reasons quote it
    std::unique_ptr<strataloom::db::Rows> rows_;
    bool onRow_ = false;
    bool readStarted_ = false;
    // The columns asked for last, by the address of the name: data classes
    // ask for the same few names row after row.
    struct ColumnMemo {
        const char* name = nullptr;
        int index = -1;
    };
    static constexpr int kMemoSize = 16;
    mutable ColumnMemo memo_[kMemoSize];
    mutable int memoNext_ = 0;
    strataloom::db::LocatedFields::Fields located_;  // what LocateAll answered last

    std::string tableName_;
    std::shared_ptr<const strataloom::db::TableShape> table_;
    ColumnMemo writeMemo_[kMemoSize];
    int writeMemoNext_ = 0;
    RowInHand row_;
    std::vector<strataloom::db::Value> values_;  // the row in hand as a driver binds it
    strataloom::db::PendingRows pending_;
    std::size_t rowsAdded_ = 0;  // since the last SaveData
    bool streamArmed_ = false;   // StoreRowsAsAdded was called
    bool streaming_ = false;
    bool streamed_ = false;  // a row went to the table before SaveData
    bool pendingFault_ = false;
    std::string pendingReason_;
};
