// The database session: the one class the data classes talk to. It chooses an
// engine driver from the connection string and speaks the host application's
// SQL dialect on every engine.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbaccess/cell.h"
#include "dbaccess/dbvariant.h"

namespace strataloom::db {
class Connection;
}

class CDbManage {
  public:
    // GetDataFromDB results.
    enum GetDataResult { kRows = 0, kNoRow = 1, kFailed = 2 };

    explicit CDbManage(const char* connect);
    ~CDbManage();
    CDbManage(const CDbManage&) = delete;
    CDbManage& operator=(const CDbManage&) = delete;

    // A select statement (every row is read at once, the cursor stands on the
    // first), or a bare table name (the table is opened for AddNew; no rows
    // are fetched). 0: rows; 1: ran, no row; 2: failed. A text holding a zero
    // byte is refused (2): no engine would run it as it stands. Inside a
    // reading operation every statement sees the state of the first.
    int GetDataFromDB(const std::string& sql);
    int GetDataFromDB(const char* sql);
    // The first call yields the first row, each later call the next one.
    bool Read();
    // Columns are matched without regard to case. NULL reads as empty text or
    // zero. False when no row is current or the column does not exist.
    // A character is stored as text: 0 as the empty text, a byte above 127
    // as the character of that code, so that every value round-trips on
    // every engine.
    bool GetFieldValue(const char* column, char& value) const;
    bool GetFieldValue(const char* column, int& value) const;
    bool GetFieldValue(const char* column, float& value) const;
    bool GetFieldValue(const char* column, double& value) const;
    bool GetFieldValue(const char* column, std::string& value) const;
    bool GetFieldValue(const char* column, DbVariant& value) const;
    long GetRecordCount() const;
    // Byte length of the current row's value; 0 for NULL.
    bool GetActualSize(const char* column, long& size);
    // Hands over the bytes of the current row's value without copying them
    // (the value reads as NULL afterwards); null for NULL or no such column.
    std::shared_ptr<strataloom::db::ByteArray> TakeBytes(const char* column);

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
    // Stores every pending row in one transaction; true only when all were stored.
    bool SaveData();

    // A statement that yields no rows; a text holding a zero byte is refused.
    // A statement the engine could not carry out for a reason of its own (a
    // project it cannot write, a full disk) also fails the write running on
    // the connection, whether or not its caller looks at the result.
    bool ExecuteSQL(const std::string& sql);
    bool ExecuteSQL(const char* sql);

  private:
    struct PendingRow {
        std::vector<int> columns;  // positions in tableColumns_, in the order set
        std::vector<strataloom::db::Cell> values;
    };
    int CurrentColumn(const char* column) const;
    const strataloom::db::Slot* CurrentSlot(const char* column) const;
    void SetCell(const char* column, strataloom::db::Cell cell);
    void RefusePending(std::string reason);
    bool InsertPending();
    bool LargerThanTheEngineTakes() const;
    int OpenTable(const std::string& table);
    // Acquires the connection on first use; false, with the reason noted,
    // when the database cannot be opened.
    bool Connected();
    bool RefuseZeroByte(const std::string& text);
    // Notes why the statement in hand failed.
    void NoteStatementFailure(const std::string& message) const;

    std::string connect_;
    std::shared_ptr<strataloom::db::Connection> connection_;
    std::string statement_;  // the text run last, as failure reasons quote it
    strataloom::db::ResultSet result_;
    // The columns asked for last, by the address of the name: data classes
    // ask for the same few names row after row.
    struct ColumnMemo {
        const char* name = nullptr;
        int index = -1;
    };
    static constexpr int kMemoSize = 8;
    mutable ColumnMemo memo_[kMemoSize];
    mutable int memoNext_ = 0;
    std::size_t row_ = 0;
    bool readStarted_ = false;
    std::string table_;
    std::vector<std::string> tableColumns_;
    std::vector<PendingRow> pending_;
    bool pendingFault_ = false;
    std::string pendingReason_;
};
