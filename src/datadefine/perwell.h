// What the well-bore tables share. Each of them keeps a well's rows under the
// well's name and lists, tests, replaces and deletes them the same way. A data
// class describes its table with a small rows type; for a set of records whose
// columns follow one column table:
//
//   struct MarkerRows : RecordSetRows<MarkerRows, MarkerSet> {
//       static const WellTable& Table();                 // table name and shared statements
//       static const ColumnTable<MarkerRecord>& Columns();  // the record's columns
//   };
//
// derives from PerWellData<IInterface, Rows>, and writes each operation as a
// call of the helper that fits, with its own argument checks and statements.
// A table whose rows do not follow that shape gives its rows type a ReadRow
// (appends the current row to the set) and a WriteRows (AddNew + columns, per
// row) of its own. A class whose interface has the family's usual operations
// derives from PlainWellData (plainwelldata.h) instead, which writes them once.
#pragma once

#include <string>
#include <vector>

#include "datadefine/tabledata.h"

namespace strataloom {

extern const char kEmptyWellNameMessage[];     // the well name must not be empty
extern const char kEmptyProjectNameMessage[];  // the project name must not be empty

inline int RefuseEmptyWellName() {
    return Refuse(kEmptyWellNameMessage);
}
inline int RefuseEmptyProjectName() {
    return Refuse(kEmptyProjectNameMessage);
}

// The statements a well-bore table shares, built from its name. The heads
// carry the spacing most tables use ("delete from  T where ", two blanks); a
// table whose statements are spaced otherwise replaces the head concerned.
class WellTable {
  public:
    explicit WellTable(std::string table);

    const char* Name() const { return table_.c_str(); }
    // The column that names the well of a row.
    static constexpr const char* Key() { return "WellName"; }

    // The project's wells that have rows in the table, in well-name order.
    Statement WellsWithData(const char* project) const;
    // Deletes the rows of every well of the project, and no other rows.
    Statement DeleteProject(const char* project) const;
    Statement DeleteWell(const char* well) const;
    Statement DeleteWell(const std::string& well) const;
    Statement DeleteWells(const NameList& wells) const;
    // The well's rows; the existence test asks only whether there is one.
    Statement WellRows(const char* well) const;
    // One WellName per stored row of the given wells.
    Statement StoredWells(const NameList& wells) const;

    WellTable& DeleteWellHead(std::string head);
    WellTable& DeleteWellsHead(std::string head);
    WellTable& WellRowsHead(std::string head);
    WellTable& StoredWellsHead(std::string head);

  private:
    std::string table_;
    std::string deleteWellHead_;
    std::string deleteWellsHead_;
    std::string wellRowsHead_;
    std::string storedWellsHead_;
};

// "WellName='" + well + "'": how every statement names one well.
Statement WellIs(const char* well);
// The same for a name held whole: a zero byte in it stays there, and the
// session refuses the statement instead of naming another well.
Statement WellIs(const std::string& well);

// "exists( select w_well_data.wellname from w_well_data where
// w_well_data.ProjectName = '" + project + "' )": the condition by which the
// name lists of a project are gated. The sub-query is not correlated with the
// rows, so the project only decides whether anything is returned: whether it
// has a well at all.
Statement ProjectHasWells(const char* project);

template <class Sets>
NameList WellNamesOf(const Sets& sets) {
    NameList names;
    names.reserve(sets.size());
    for (const auto& set : sets) names.push_back(set.WellName);
    return names;
}

// The rows of a set of records that all follow one column table: each row is
// the set's well name followed by the record's columns.
template <class Derived, class SetT>
struct RecordSetRows {
    using Set = SetT;
    using Record = typename decltype(SetT::Records)::value_type;

    // Appends the current row to the set's records.
    static bool ReadRow(CDbManage& session, Set& set) {
        Record record;
        if (!Derived::Columns().Read(session, record)) return false;
        set.Records.push_back(std::move(record));
        return true;
    }

    // One new row per record, in the order of the records; leftUnset as in
    // ColumnTable::Write.
    static void WriteRows(CDbManage& session, const Set& set,
                          typename ColumnTable<Record>::LeftUnset leftUnset = nullptr) {
        InsertOwnedRecords(session, WellTable::Key(), set.WellName, Derived::Columns(), set.Records,
                           leftUnset);
    }

    // Every column of the table: the well name, then the record's.
    static std::vector<ColumnShape> Shapes() {
        return ShapesOf({{WellTable::Key(), ColumnKind::Text}}, Derived::Columns());
    }
};

// The per-well operations, for a data class whose table Rows describes.
template <class Interface, class Rows>
class PerWellData : public TableData<Interface> {
  protected:
    using Set = typename Rows::Set;

    static const WellTable& Table() { return Rows::Table(); }

    int ListWellsWithData(const char* project, NameList& names) {
        return this->ListNames(Table().WellsWithData(project), WellTable::Key(), names);
    }

    // Loads the rows query selects into set. The set takes the well's name
    // once the query has rows; records present on entry stay in front.
    int LoadWell(const Statement& query, const char* well, Set& set) {
        if (HoldsZeroByte(query)) return RefuseZeroByteName();
        return this->ReadOne([&](CDbManage& session) {
            if (session.GetDataFromDB(query) != CDbManage::kRows) return 0;
            set.WellName = TextOrEmpty(well);
            while (session.Read()) {
                if (!Rows::ReadRow(session, set)) return 0;
            }
            return 1;
        });
    }

    // Loads each well of names into a set of its own through the object's
    // own loadWell, appending the sets in the order of the names; the first
    // well that fails ends the load with 0, the sets before it kept.
    template <class LoadOne>
    int LoadEachWell(const NameList& names, std::vector<Set>& sets, LoadOne&& loadOne) {
        if (HoldsZeroByte(names)) return RefuseZeroByteName();
        return Guarded([&] {
            for (const std::string& name : names) {
                Set set;
                if (!loadOne(name.c_str(), set)) return 0;
                sets.push_back(std::move(set));
            }
            return 1;
        });
    }

    // Loads every well of the project that has rows into a set of its own,
    // in well-name order, through the object's own LoadWellData. A project
    // without such wells loads nothing and succeeds; a name query that does
    // not run fails the load, which must not pass for an empty project.
    int LoadProjectWells(const char* project, std::vector<Set>& sets) {
        NameList wells;
        if (!this->ListNames(Table().WellsWithData(project), WellTable::Key(), wells,
                             NoRows::Succeed)) {
            return 0;
        }
        Interface& self = *this;
        return LoadEachWell(
            wells, sets, [&](const char* well, Set& set) { return self.LoadWellData(well, set); });
    }

    // 1 when the well has at least one row.
    int HasWellRows(const char* well) {
        return this->HasRows(Table().Name(), Table().WellRows(well));
    }

    // Appends one name per stored row of the wells of sets.
    int ListStoredWells(const std::vector<Set>& sets, NameList& names) {
        return this->ListNamesInTable(Table().Name(), Table().StoredWells(WellNamesOf(sets)),
                                      WellTable::Key(), names);
    }

    // Replaces the well's rows by the set's; the result is the commit's.
    int ReplaceWell(const Set& set) {
        return ReplaceWell(set, [&](CDbManage& session) { Rows::WriteRows(session, set); });
    }
    // The same, with the rows writeRows adds for the set.
    template <class WriteRows>
    int ReplaceWell(const Set& set, WriteRows&& writeRows) {
        if (HoldsZeroByte(set.WellName)) return RefuseZeroByteName();
        return this->Replace(Table().Name(), Table().DeleteWell(set.WellName), writeRows);
    }

    // Replaces the rows of every well of sets: the object's own
    // DeleteWellsData removes them, then all rows go in with one commit.
    int ReplaceWells(const std::vector<Set>& sets, DeleteStep step = DeleteStep::InsideSession) {
        if (HoldsZeroByte(sets, &Set::WellName)) return RefuseZeroByteName();
        Interface& self = *this;
        const NameList wells = WellNamesOf(sets);
        return this->ReplaceThroughDelete(
            Table().Name(), step, [&] { return self.DeleteWellsData(wells); },
            [&](CDbManage& session) {
                for (const Set& set : sets) Rows::WriteRows(session, set);
            });
    }

    int DeleteWellRows(const char* well, TableCheck check = TableCheck::Run) {
        return this->RunDelete(Table().Name(), Table().DeleteWell(well), check);
    }
    int DeleteWellsRows(const NameList& wells, TableCheck check = TableCheck::Run) {
        return this->RunDelete(Table().Name(), Table().DeleteWells(wells), check);
    }
    int DeleteProjectRows(const char* project, TableCheck check = TableCheck::Run) {
        return this->RunDelete(Table().Name(), Table().DeleteProject(project), check);
    }
};

}  // namespace strataloom
