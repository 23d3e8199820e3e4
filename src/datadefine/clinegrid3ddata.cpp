#include "datadefine/clinegrid3ddata.h"

#include "datadefine/perwell.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CLineGrid3DData, "ILineGrid3DData")

namespace {

const char kTable[] = "s_linegrid3d_data";
const char kEmptyGridName[] = "三维地震测网数据名称不能为空！";
const char kTableMissing[] = "三维地震测网数据表为空！";
const char kSaveFailed[] = "保存数据库出错！";
const char kEmptyAreaName[] = "LineGrid3D区域名不能为空！";

// The loads given a grid take its name from their argument.
const ColumnTable<LineGrid3DRecord>& GridColumns() {
    static const ColumnTable<LineGrid3DRecord> columns{
        {"LineGrid3DName", &LineGrid3DRecord::LineGrid3DName, ColumnUse::Key},
        {"LineNo1", &LineGrid3DRecord::LineNo1},
        {"CDPNo1", &LineGrid3DRecord::CDPNo1},
        {"Xcoor1", &LineGrid3DRecord::Xcoor1},
        {"Ycoor1", &LineGrid3DRecord::Ycoor1},
        {"LineNo2", &LineGrid3DRecord::LineNo2},
        {"CDPNo2", &LineGrid3DRecord::CDPNo2},
        {"Xcoor2", &LineGrid3DRecord::Xcoor2},
        {"Ycoor2", &LineGrid3DRecord::Ycoor2},
        {"LineNo3", &LineGrid3DRecord::LineNo3},
        {"CDPNo3", &LineGrid3DRecord::CDPNo3},
        {"Xcoor3", &LineGrid3DRecord::Xcoor3},
        {"Ycoor3", &LineGrid3DRecord::Ycoor3},
    };
    return columns;
}

std::vector<ColumnShape> GridShapes() {
    return ShapesOf({}, GridColumns());
}
const MappedTable g_mapped(kTable, &GridShapes);

// The project's register of survey grids, kept by the programs that load
// seismic data; the existence test reads its names and nothing here writes it.
std::vector<ColumnShape> RegisteredGridShapes() {
    return {{"LineGrid3DName", ColumnKind::Text}};
}
const MappedTable g_registered("b_LineGrid3D_data", &RegisteredGridShapes);

NameList GridNamesOf(const std::vector<LineGrid3DRecord>& records) {
    return KeysOf(records, &LineGrid3DRecord::LineGrid3DName);
}

}  // namespace

int CLineGrid3DData::GetGridNames(NameList& names) {
    return ListNames("select LineGrid3DName from s_linegrid3d_data", "LineGrid3DName", names);
}

int CLineGrid3DData::LoadGridData(const char* grid, LineGrid3DRecord& record) {
    return LoadNamedRecord("select * from s_linegrid3d_data where LineGrid3DName=" + Quoted(grid),
                           GridColumns(), record,
                           [&] { record.LineGrid3DName = TextOrEmpty(grid); });
}

int CLineGrid3DData::LoadAllGridsData(std::vector<LineGrid3DRecord>& records) {
    return LoadRecords("select * from s_linegrid3d_data ", GridColumns(), records);
}

// A grid counts as existing once it is registered, whether or not its
// reference points are stored here.
int CLineGrid3DData::IsGridDataExist(const char* grid) {
    return HasRows(kTable, "select LineGrid3DName from b_LineGrid3D_data where LineGrid3DName=" +
                               Quoted(grid));
}

int CLineGrid3DData::GetGridsWithData(const std::vector<LineGrid3DRecord>& records,
                                      NameList& names) {
    return ListNamesInTable(
        kTable,
        "select LineGrid3DName from  s_linegrid3d_data where LineGrid3DName in (" +
            InList(GridNamesOf(records)) + ")",
        "LineGrid3DName", names);
}

int CLineGrid3DData::SaveGridData(const LineGrid3DRecord& record) {
    if (HoldsZeroByte(record.LineGrid3DName)) return RefuseZeroByteName();
    if (record.LineGrid3DName.empty()) return Refuse(kEmptyGridName);
    const Statement sql =
        "delete from s_linegrid3d_data where LineGrid3DName=" + Quoted(record.LineGrid3DName);
    return WriteOrTell(kTable, kTableMissing, kSaveFailed, [&](CDbManage& session) {
        session.ExecuteSQL(sql);
        InsertRecord(session, GridColumns(), record);
        return session.SaveData() ? 1 : 0;
    });
}

int CLineGrid3DData::SaveGridsData(const char* project,
                                   const std::vector<LineGrid3DRecord>& records) {
    if (HoldsZeroByte(records, &LineGrid3DRecord::LineGrid3DName)) return RefuseZeroByteName();
    // Refused before the write begins, where the object's own delete would.
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    ILineGrid3DData& self = *this;
    return ReplaceThroughDelete(
        kTable, DeleteStep::InsideSession,
        [&] { return self.DeleteGridsData(project, GridNamesOf(records)); },
        [&](CDbManage& session) { InsertRecords(session, GridColumns(), records); });
}

int CLineGrid3DData::DeleteGridData(const char* grid) {
    if (IsEmptyText(grid)) return Refuse(kEmptyAreaName);
    return RunDelete(kTable, "delete from s_linegrid3d_data where LineGrid3DName=" + Quoted(grid));
}

int CLineGrid3DData::DeleteGridsData(const char* project, const NameList& grids) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(
        kTable, "delete from  s_linegrid3d_data where LineGrid3DName in (" + InList(grids) + ")");
}

// The table holds no project: every grid goes.
int CLineGrid3DData::DeleteAllGridsData(const char* project) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(kTable, "delete from  s_linegrid3d_data");
}
