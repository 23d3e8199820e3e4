#include "datadefine/cwelllistdata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CWellListData, "IWellListData")

namespace {

const char kTable[] = "b_welllist_data";
const char kEmptyListName[] = "井列表名称不能为空！";

}  // namespace

int CWellListData::GetWellListNames(NameList& names) {
    return Guarded([&] {
        CDbManage session(Connect());
        return strataloom::ReadNameList(
            session, "select Distinct WellListName from b_welllist_data order by WelllistName",
            "WellListName", names);
    });
}

int CWellListData::LoadWellList(const char* name, WellListSet& set) {
    return Guarded([&] {
        const std::string sql =
            "select * from b_welllist_data where WelllistName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (session.GetDataFromDB(sql.c_str()) != CDbManage::kRows) return 0;
        set.WellListName = strataloom::TextOrEmpty(name);
        while (session.Read()) {
            WellListRecord record;
            FieldReader read(session);
            if (!read("WellName", record.WellName)("WellNumber", record.WellNumber).Ok()) return 0;
            set.Records.push_back(std::move(record));
        }
        return 1;
    });
}

int CWellListData::SaveWellList(const WellListSet& set) {
    if (set.WellListName.empty()) return Refuse(kEmptyListName);
    return Atomic(ConnectString(), [&] {
        const std::string sql =
            "delete from  b_welllist_data where WellListName='" + SqlText(set.WellListName) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        for (const WellListRecord& record : set.Records) {
            RowWriter row(session);
            row("WellListName", set.WellListName)("WellName", record.WellName)("WellNumber",
                                                                               record.WellNumber);
        }
        return session.SaveData() ? 1 : 0;
    });
}

int CWellListData::DeleteWellList(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyListName);
    return Atomic(ConnectString(), [&] {
        const std::string sql =
            "delete from b_welllist_data where WellListName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        session.ExecuteSQL(sql.c_str());
        return 1;
    });
}

int CWellListData::IsWellListExist(const char* name) {
    return Guarded([&] {
        const std::string sql =
            "select WellListName from  b_welllist_data where WellListName='" + SqlText(name) + "'";
        CDbManage session(Connect());
        if (!OpenTable(session, kTable)) return 0;
        return session.GetDataFromDB(sql.c_str()) == CDbManage::kRows ? 1 : 0;
    });
}
