// Pieces every data class builds its operations from.
#pragma once

#include <string>

#include "dbaccess/cdbmanage.h"
#include "dbaccess/sqltext.h"
#include "strataloom/idatabase.h"

namespace strataloom {

inline bool IsEmptyText(const char* text) {
    return !text || !*text;
}
inline const char* TextOrEmpty(const char* text) {
    return text ? text : "";
}

// Names for an "in (" ... ")" clause: each between single quotes, joined by
// "," with no blank. Quotes inside a name are doubled.
std::string InList(const NameList& names);

// Opens table for adding rows. Only a table that does not exist (result 2)
// stops the operation.
bool OpenTable(CDbManage& session, const char* table);

// Runs query and appends the text of column from each row. 0 when the query
// fails or yields no row, or a read fails; names appended before stay.
int ReadNameList(CDbManage& session, const std::string& query, const char* column, NameList& names);

// Reads columns of the current row in order; after the first failed read the
// later ones are skipped, and the fields already read keep their values.
class FieldReader {
  public:
    explicit FieldReader(const CDbManage& session) : session_(session) {}
    template <class T>
    FieldReader& operator()(const char* column, T& value) {
        if (ok_) ok_ = session_.GetFieldValue(column, value);
        return *this;
    }
    bool Ok() const { return ok_; }

  private:
    const CDbManage& session_;
    bool ok_ = true;
};

// Sets the columns of a new row, in the order they are named.
class RowWriter {
  public:
    explicit RowWriter(CDbManage& session) : session_(session) { session_.AddNew(); }
    template <class T>
    RowWriter& operator()(const char* column, const T& value) {
        session_.SetFieldValue(column, value);
        return *this;
    }

  private:
    CDbManage& session_;
};

}  // namespace strataloom
