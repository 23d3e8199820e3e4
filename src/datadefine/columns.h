// One column table per record type: which column of a table holds which
// field of the record, and as what kind of value. Reading a row into a record
// and writing a record into a new row are both derived from it, so a column
// can never be read by the loads and forgotten by the saves, or the reverse.
//
//   const ColumnTable<MarkerRecord>& MarkerColumns() {
//       static const ColumnTable<MarkerRecord> columns{
//           {"MarkerName", &MarkerRecord::MarkerName},
//           {"TopDepth", &MarkerRecord::TopDepth},
//           ...};
//       return columns;
//   }
//
// The kind follows from the member's type: std::string is text, int a 32-bit
// integer, double and float 64- and 32-bit reals, char one character, and a
// vector of doubles a value array. Text stored as raw bytes is marked with
// AsBytes. A column read or written in an unusual way says so with its use.
#pragma once

#include <initializer_list>
#include <string>
#include <variant>
#include <vector>

#include "dbaccess/cdbmanage.h"
#include "dbaccess/valuearray.h"

namespace strataloom {

// In the order of the member types of Column::Member, whose index gives the kind.
enum class ColumnKind { Text, Int32, Double, Float, Char, ValueArray, Bytes };

// How loads and saves treat a column.
enum class ColumnUse {
    LoadAndSave,
    // The record's key: the loads that are given the key take it from their
    // argument instead of reading it; the loads of many keys read it.
    Key,
    // Written by the saves, never read back by the loads.
    SaveOnly,
    // Read by the loads, never written by the saves.
    LoadOnly,
    // Loaded and saved, but a load goes on when it cannot be read: the field
    // keeps the value it had.
    Optional,
};

// A text member whose column holds bytes (any value, zero bytes included).
template <class Record>
struct AsBytes {
    std::string Record::*member;
};

// A column's name and kind, as the schema must declare it.
struct ColumnShape {
    std::string name;
    ColumnKind kind;
};

// The schema type a kind of column is declared with in the table definitions.
const char* SchemaType(ColumnKind kind);

template <class Record>
class Column {
  public:
    using Member =
        std::variant<std::string Record::*, int Record::*, double Record::*, float Record::*,
                     char Record::*, std::vector<double> Record::*, AsBytes<Record>>;

    Column(const char* name, Member member, ColumnUse use = ColumnUse::LoadAndSave)
        : name_(name), member_(member), use_(use) {}

    const char* Name() const { return name_; }
    ColumnUse Use() const { return use_; }
    ColumnKind Kind() const { return static_cast<ColumnKind>(member_.index()); }
    bool Loaded() const { return use_ != ColumnUse::SaveOnly; }
    bool Saved() const { return use_ != ColumnUse::LoadOnly; }

    // Reads the current row's value, in the field located for this column,
    // into the record's field; false when the column cannot be read (the
    // field may be left as it was).
    bool Read(CDbManage& session, const CDbManage::Field& field, Record& record) const {
        return std::visit([&](auto member) { return ReadMember(session, field, record, member); },
                          member_);
    }
    bool Read(CDbManage& session, Record& record) const {
        return Read(session, session.Locate(name_), record);
    }
    // Sets the column of the row started last from the record's field.
    void Write(CDbManage& session, const Record& record) const {
        std::visit([&](auto member) { WriteMember(session, record, member); }, member_);
    }

  private:
    template <class T>
    bool ReadMember(CDbManage& session, const CDbManage::Field& field, Record& record,
                    T Record::*member) const {
        return session.GetFieldValue(field, record.*member);
    }
    bool ReadMember(CDbManage& session, const CDbManage::Field& field, Record& record,
                    std::vector<double> Record::*member) const {
        return ReadDoubleArrayField(field, record.*member, session) != 0;
    }
    // Straight from the engine's bytes into the field: one copy, as raw code
    // makes. A value of another kind (a number) is read as its text.
    bool ReadMember(CDbManage& session, const CDbManage::Field& field, Record& record,
                    AsBytes<Record> bytes) const {
        std::string& text = record.*bytes.member;
        long size = 0;
        if (!session.GetActualSize(field, size)) return false;
        text.resize(static_cast<std::size_t>(size));
        if (size == 0 || session.CopyBytes(field, text.data(), text.size())) return true;
        DbVariant value;
        if (!session.GetFieldValue(field, value)) return false;
        const auto* data = reinterpret_cast<const char*>(value.Data());
        text.assign(data ? data : "", static_cast<std::size_t>(value.Size()));
        return true;
    }
    template <class T>
    void WriteMember(CDbManage& session, const Record& record, T Record::*member) const {
        session.SetFieldValue(name_, record.*member);
    }
    // The records a save writes are its arguments, kept by the caller until
    // the save returns: their samples are stored without a copy.
    void WriteMember(CDbManage& session, const Record& record,
                     std::vector<double> Record::*member) const {
        WriteDoubleArrayFieldInPlace(name_, record.*member, session);
    }
    void WriteMember(CDbManage& session, const Record& record, AsBytes<Record> bytes) const {
        const std::string& text = record.*bytes.member;
        session.SetFieldValue(name_, DbVariant::FromBytes(text.data(), text.size()));
    }

    const char* name_;
    Member member_;
    ColumnUse use_;
};

// Which fields of a record a read fills.
enum class KeyColumns {
    Read,  // every loaded column, the key columns included
    Skip,  // every loaded column but the key, which the caller already knows
};

// The columns of a record type, in the order the loads read and the saves
// write them.
template <class Record>
class ColumnTable {
  public:
    ColumnTable(std::initializer_list<Column<Record>> columns) : columns_(columns) {
        names_.reserve(columns_.size());
        for (const Column<Record>& column : columns_) names_.push_back(column.Name());
    }

    const std::vector<Column<Record>>& Columns() const { return columns_; }

    // Reads the current row into the record, column by column in table order;
    // false at the first column that cannot be read (optional ones aside), the
    // fields read before keeping their new values.
    // The columns are located once per kind of result (see LocateAll).
    bool Read(CDbManage& session, Record& record, KeyColumns keys = KeyColumns::Read) const {
        const std::vector<CDbManage::Field>& fields = session.LocateAll(names_);
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const Column<Record>& column = columns_[i];
            if (!column.Loaded()) continue;
            if (keys == KeyColumns::Skip && column.Use() == ColumnUse::Key) continue;
            if (!column.Read(session, fields[i], record) && column.Use() != ColumnUse::Optional) {
                return false;
            }
        }
        return true;
    }

    // Whether a save leaves a column of the new row unset (null) for this
    // record, as some saves do with an empty value.
    using LeftUnset = bool (*)(const Column<Record>& column, const Record& record);

    // Sets every saved column of the row started last, in table order, but
    // those leftUnset picks.
    void Write(CDbManage& session, const Record& record, LeftUnset leftUnset = nullptr) const {
        for (const Column<Record>& column : columns_) {
            if (!column.Saved() || (leftUnset && leftUnset(column, record))) continue;
            column.Write(session, record);
        }
    }

    // Name and kind of every column, for the schema check.
    void AppendShapes(std::vector<ColumnShape>& shapes) const {
        for (const Column<Record>& column : columns_) {
            shapes.push_back(ColumnShape{column.Name(), column.Kind()});
        }
    }

  private:
    std::vector<Column<Record>> columns_;
    std::vector<const char*> names_;  // the columns' names, in their order
};

// The columns a data class maps in one table: registered while the module
// loads, so that one check can hold every mapping against the schema.
class MappedTable {
  public:
    using Shapes = std::vector<ColumnShape> (*)();
    // shapes lists every column the class reads or writes in table, the
    // columns of its column tables and those it sets by hand alike.
    MappedTable(const char* table, Shapes shapes);

    const char* Table() const { return table_; }
    std::vector<ColumnShape> ColumnShapes() const { return shapes_(); }
    const MappedTable* Next() const { return next_; }

    static const MappedTable* First();

  private:
    const char* table_;
    Shapes shapes_;
    const MappedTable* next_;
};

// Shapes of columns set by hand beside a column table, followed by the
// table's own.
template <class... Records>
std::vector<ColumnShape> ShapesOf(std::initializer_list<ColumnShape> byHand,
                                  const ColumnTable<Records>&... tables) {
    std::vector<ColumnShape> shapes(byHand);
    (tables.AppendShapes(shapes), ...);
    return shapes;
}

}  // namespace strataloom
