#include "datadefine/cwelllistdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CWellListData, "IWellListData")

namespace {

const char kTable[] = "b_welllist_data";
const char kListName[] = "WellListName";  // every row names its list
const char kEmptyListName[] = "井列表名称不能为空！";

const ColumnTable<WellListRecord>& MemberColumns() {
    static const ColumnTable<WellListRecord> columns{
        {"WellName", &WellListRecord::WellName},
        {"WellNumber", &WellListRecord::WellNumber},
    };
    return columns;
}

std::vector<ColumnShape> ListShapes() {
    return ShapesOf({{kListName, ColumnKind::Text}}, MemberColumns());
}
const MappedTable g_mapped(kTable, &ListShapes);

}  // namespace

int CWellListData::GetWellListNames(NameList& names) {
    return ListNames("select Distinct WellListName from b_welllist_data order by WelllistName",
                     kListName, names);
}

int CWellListData::LoadWellList(const char* name, WellListSet& set) {
    return LoadOwnedRecords("select * from b_welllist_data where WelllistName=" + Quoted(name),
                            MemberColumns(), set.Records,
                            [&] { set.WellListName = TextOrEmpty(name); });
}

int CWellListData::SaveWellList(const WellListSet& set) {
    if (set.WellListName.empty()) return Refuse(kEmptyListName);
    return Replace(
        kTable, "delete from  b_welllist_data where WellListName=" + Quoted(set.WellListName),
        [&](CDbManage& session) {
            InsertOwnedRecords(session, kListName, set.WellListName, MemberColumns(), set.Records);
        });
}

int CWellListData::DeleteWellList(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyListName);
    return RunDelete(kTable, "delete from b_welllist_data where WellListName=" + Quoted(name));
}

int CWellListData::IsWellListExist(const char* name) {
    return HasRows(kTable,
                   "select WellListName from  b_welllist_data where WellListName=" + Quoted(name));
}
