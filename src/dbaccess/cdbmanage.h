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
    // are fetched). 0: rows; 1: ran, no row; 2: failed.
    int GetDataFromDB(const char* sql);
    // The first call yields the first row, each later call the next one.
    bool Read();
    // Columns are matched without regard to case. NULL reads as empty text or
    // zero. False when no row is current or the column does not exist.
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
    void SetFieldValue(const char* column, const char* value);
    void SetFieldValue(const char* column, const std::string& value);
    void SetFieldValue(const char* column, char value);
    void SetFieldValue(const char* column, int value);
    void SetFieldValue(const char* column, float value);
    void SetFieldValue(const char* column, double value);
    void SetFieldValue(const char* column, const DbVariant& value);
    // Stores every pending row in one transaction; true only when all were stored.
    bool SaveData();

    bool ExecuteSQL(const char* sql);

  private:
    struct PendingRow {
        std::vector<int> columns;  // positions in tableColumns_, in the order set
        std::vector<strataloom::db::Cell> values;
    };
    int CurrentColumn(const char* column) const;
    const strataloom::db::Slot* CurrentSlot(const char* column) const;
    void SetCell(const char* column, strataloom::db::Cell cell);
    bool InsertPending();
    int OpenTable(const std::string& table);

    std::string connect_;
    std::shared_ptr<strataloom::db::Connection> connection_;
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
};
