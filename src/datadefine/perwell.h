// What the well-bore tables share. Each of them keeps a well's rows under the
// well's name and lists, tests, replaces and deletes them the same way. A data
// class describes its table with a small rows type:
//
//   struct MarkerRows {
//       using Set = MarkerSet;                  // WellName + the well's rows
//       static const WellTable& Table();        // table name and shared statements
//       static bool ReadRow(CDbManage&, Set&);  // appends the current row to the set
//       static void WriteRows(CDbManage&, const Set&);  // AddNew + columns, per row
//   };
//
// derives from PerWellData<IInterface, Rows>, and writes each operation as a
// call of the helper that fits, with its own argument checks and statements.
#pragma once

#include <string>
#include <vector>

#include "datadefine/datahelpers.h"
#include "datadefine/dataobject.h"

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

    // The project's wells that have rows in the table, in well-name order.
    std::string WellsWithData(const char* project) const;
    // Deletes the rows of every well of the project, and no other rows.
    std::string DeleteProject(const char* project) const;
    std::string DeleteWell(const char* well) const;
    std::string DeleteWells(const NameList& wells) const;
    // The well's rows; the existence test asks only whether there is one.
    std::string WellRows(const char* well) const;
    // One WellName per stored row of the given wells.
    std::string StoredWells(const NameList& wells) const;

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
std::string WellIs(const char* well);

template <class Sets>
NameList WellNamesOf(const Sets& sets) {
    NameList names;
    names.reserve(sets.size());
    for (const auto& set : sets) names.push_back(set.WellName);
    return names;
}

// Runs query and calls readRow once per row, in order. 0 when the query fails
// or yields no row, or when readRow gives false; rows read before stay read.
template <class ReadRow>
int ForEachRow(CDbManage& session, const std::string& query, ReadRow&& readRow) {
    if (session.GetDataFromDB(query.c_str()) != CDbManage::kRows) return 0;
    while (session.Read()) {
        if (!readRow()) return 0;
    }
    return 1;
}

enum class TableCheck { Run, Skip };

// Where a multi-well save runs its own delete: inside its open session (the
// usual order) or before it opens one.
enum class DeleteStep { InsideSession, BeforeSession };

// The per-well operations, for a data class whose table Rows describes.
template <class Interface, class Rows>
class PerWellData : public DataObject<Interface> {
  protected:
    using Set = typename Rows::Set;

    static const WellTable& Table() { return Rows::Table(); }

    int ListWellsWithData(const char* project, NameList& names) {
        return ListNames(Table().WellsWithData(project), "WellName", names);
    }

    int ListNames(const std::string& query, const char* column, NameList& names) {
        return Guarded([&] {
            CDbManage session(this->Connect());
            return ReadNameList(session, query, column, names);
        });
    }

    // Loads the rows query selects into set. The set takes the well's name
    // once the query has rows; records present on entry stay in front.
    int LoadWell(const std::string& query, const char* well, Set& set) {
        return Guarded([&] {
            CDbManage session(this->Connect());
            if (session.GetDataFromDB(query.c_str()) != CDbManage::kRows) return 0;
            set.WellName = TextOrEmpty(well);
            while (session.Read()) {
                if (!Rows::ReadRow(session, set)) return 0;
            }
            return 1;
        });
    }

    // 1 when the well has at least one row.
    int HasWellRows(const char* well) {
        return Guarded([&] {
            CDbManage session(this->Connect());
            if (!OpenTable(session, Table().Name())) return 0;
            return session.GetDataFromDB(Table().WellRows(well).c_str()) == CDbManage::kRows ? 1
                                                                                             : 0;
        });
    }

    // Appends one name per stored row of the wells of sets.
    int ListStoredWells(const std::vector<Set>& sets, NameList& names) {
        return Guarded([&] {
            CDbManage session(this->Connect());
            if (!OpenTable(session, Table().Name())) return 0;
            return ReadNameList(session, Table().StoredWells(WellNamesOf(sets)), "WellName", names);
        });
    }

    // Replaces the well's rows by the set's; the result is the commit's.
    int ReplaceWell(const Set& set) {
        return Atomic(this->ConnectString(), [&] {
            CDbManage session(this->Connect());
            if (!OpenTable(session, Table().Name())) return 0;
            session.ExecuteSQL(Table().DeleteWell(set.WellName.c_str()).c_str());
            Rows::WriteRows(session, set);
            return session.SaveData() ? 1 : 0;
        });
    }

    // Replaces the rows of every well of sets: the object's own
    // DeleteWellsData removes them, then all rows go in with one commit.
    int ReplaceWells(const std::vector<Set>& sets, DeleteStep step = DeleteStep::InsideSession) {
        return Atomic(this->ConnectString(), [&] {
            Interface& self = *this;
            if (step == DeleteStep::BeforeSession && !self.DeleteWellsData(WellNamesOf(sets))) {
                return 0;
            }
            CDbManage session(this->Connect());
            if (!OpenTable(session, Table().Name())) return 0;
            if (step == DeleteStep::InsideSession && !self.DeleteWellsData(WellNamesOf(sets))) {
                return 0;
            }
            for (const Set& set : sets) Rows::WriteRows(session, set);
            return session.SaveData() ? 1 : 0;
        });
    }

    // Runs one delete statement; its own result is not looked at.
    int DeleteRows(const std::string& statement, TableCheck check = TableCheck::Run) {
        return Atomic(this->ConnectString(), [&] {
            CDbManage session(this->Connect());
            if (check == TableCheck::Run && !OpenTable(session, Table().Name())) return 0;
            session.ExecuteSQL(statement.c_str());
            return 1;
        });
    }
};

}  // namespace strataloom
