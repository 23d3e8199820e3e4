#include "datadefine/clinecoor2ddata.h"

#include "datadefine/perwell.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CLineCoor2DData, "ILineCoor2DData")

namespace {

const char kTable[] = "s_linecoor2d_data";
const char kEmptyLineName[] = "测线名称不能为空！";
const char kEmptyProjectOrLineName[] = "工区名称\\测网名称不能为空！";

// The loads given a line take its name from their argument.
const ColumnTable<LineCoor2DRecord>& PointColumns() {
    static const ColumnTable<LineCoor2DRecord> columns{
        {"LineName", &LineCoor2DRecord::LineName, ColumnUse::Key},
        {"CDP", &LineCoor2DRecord::CDP},
        {"XCoor", &LineCoor2DRecord::XCoor},
        {"YCoor", &LineCoor2DRecord::YCoor},
        {"Elevation", &LineCoor2DRecord::Elevation},
    };
    return columns;
}

std::vector<ColumnShape> PointShapes() {
    return ShapesOf({}, PointColumns());
}
const MappedTable g_mapped(kTable, &PointShapes);

Statement LineRows(const char* line) {
    return "select * from s_linecoor2d_data where LineName=" + Quoted(line);
}

}  // namespace

int CLineCoor2DData::GetLineNames(const char*, NameList& names) {
    return ListNames("select distinct LineName from s_linecoor2d_data", "LineName", names);
}

int CLineCoor2DData::LoadLineData(const char* line, std::vector<LineCoor2DRecord>& records) {
    LineCoor2DRecord keyed;
    keyed.LineName = TextOrEmpty(line);
    return LoadKeyedRecords(LineRows(line), PointColumns(), keyed, records);
}

int CLineCoor2DData::LoadLinePoint(const char* line, LineCoor2DRecord& record) {
    return LoadNamedRecord(LineRows(line), PointColumns(), record,
                           [&] { record.LineName = TextOrEmpty(line); });
}

int CLineCoor2DData::LoadAllLinesData(const char*, std::vector<LineCoor2DRecord>& records) {
    return LoadRecords("select * from s_linecoor2d_data", PointColumns(), records);
}

int CLineCoor2DData::IsLineDataExist(const char*, const char* line) {
    return HasRows(kTable,
                   "select LineName from  s_linecoor2d_data where LineName=" + Quoted(line));
}

int CLineCoor2DData::SaveLinePoint(const char*, const LineCoor2DRecord& record) {
    if (record.LineName.empty()) return Refuse(kEmptyLineName);
    // The line becomes this one point.
    return Replace(kTable,
                   "delete from  s_linecoor2d_data where LineName=" + Quoted(record.LineName),
                   [&](CDbManage& session) { InsertRecord(session, PointColumns(), record); });
}

int CLineCoor2DData::GetLinesWithData(const char*, const std::vector<LineCoor2DRecord>& records,
                                      NameList& names) {
    return ListNamesInTable(kTable,
                            "select LineName from  s_linecoor2d_data where LineName in (" +
                                InList(KeysOf(records, &LineCoor2DRecord::LineName)) + ")",
                            "LineName", names);
}

int CLineCoor2DData::SaveLinesData(const char* project,
                                   const std::vector<LineCoor2DRecord>& records) {
    if (HoldsZeroByte(records, &LineCoor2DRecord::LineName)) return RefuseZeroByteName();
    // Refused before the write begins, where the object's own delete would.
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    ILineCoor2DData& self = *this;
    return ReplaceThroughDelete(
        kTable, DeleteStep::InsideSession,
        [&] { return self.DeleteLinesData(project, KeysOf(records, &LineCoor2DRecord::LineName)); },
        [&](CDbManage& session) { InsertRecords(session, PointColumns(), records); });
}

int CLineCoor2DData::DeleteLineData(const char* project, const char* line) {
    if (IsEmptyText(project) || IsEmptyText(line)) return Refuse(kEmptyProjectOrLineName);
    return RunDelete(kTable, "delete from s_linecoor2d_data where LineName=" + Quoted(line));
}

// An empty list is sent as it is: whatever the engine makes of it, 1.
int CLineCoor2DData::DeleteLinesData(const char* project, const NameList& lines) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(kTable,
                     "delete from  s_linecoor2d_data where LineName in (" + InList(lines) + ")");
}

// The table holds no project: every line goes.
int CLineCoor2DData::DeleteAllLinesData(const char* project) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(kTable, "delete from  s_linecoor2d_data");
}
