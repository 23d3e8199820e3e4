#include "datadefine/caoidata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CAOIData, "IAOIData")

namespace {

const char kTable[] = "b_aoi_data";
const char kGlobalArea[] = "Global";
const char kEmptyAreaName[] = "AOI区域名不能为空！";
const char kTableMissing[] = "AOI区域表为空！";
const char kSaveFailed[] = "保存数据库出错！";

// The loads given an area take its name from their argument. The saves write
// the project they are given, never the record's.
const ColumnTable<AOIRecord>& AreaColumns() {
    static const ColumnTable<AOIRecord> columns{
        {"AOIName", &AOIRecord::AOIName, ColumnUse::Key},
        {"ProjectName", &AOIRecord::ProjectName, ColumnUse::LoadOnly},
        {"Xmin", &AOIRecord::Xmin},
        {"Xmax", &AOIRecord::Xmax},
        {"Ymin", &AOIRecord::Ymin},
        {"Ymax", &AOIRecord::Ymax},
    };
    return columns;
}

std::vector<ColumnShape> AreaShapes() {
    return ShapesOf({}, AreaColumns());
}
const MappedTable g_mapped(kTable, &AreaShapes);

void WriteAreaRow(CDbManage& session, const char* project, const AOIRecord& area) {
    session.AddNew();
    session.SetFieldValue("ProjectName", TextOrEmpty(project));
    AreaColumns().Write(session, area);
}

// The project's whole extent; map X is east-west, Y south-north.
AOIRecord GlobalArea(const BasicProjectRecord& header) {
    AOIRecord area;
    area.AOIName = kGlobalArea;
    area.Xmin = header.EWmin;
    area.Xmax = header.EWmax;
    area.Ymin = header.SNmin;
    area.Ymax = header.SNmax;
    return area;
}

}  // namespace

int CAOIData::LoadAOI(const char* name, AOIRecord& record) {
    return LoadNamedRecord("select * from b_aoi_data where AOIName=" + Quoted(name), AreaColumns(),
                           record, [&] { record.AOIName = TextOrEmpty(name); });
}

int CAOIData::GetAOINames(const char*, NameList& names) {
    return ListNames("select AOIName from b_aoi_data", "AOIName", names);
}

int CAOIData::LoadProjectAOIs(const char* project, std::vector<AOIRecord>& records) {
    return LoadRecords("select * from b_aoi_data where ProjectName=" + Quoted(project),
                       AreaColumns(), records);
}

int CAOIData::IsAOIExist(const char* name) {
    return HasRows(kTable, "select AOIName from b_aoi_data where AOIName=" + Quoted(name));
}

int CAOIData::SaveGlobalAOI(const char* project, const BasicProjectRecord& header) {
    if (HoldsZeroByte(header.ProjectName)) return RefuseZeroByteName();
    // A missing table is reported by the result alone.
    return WriteOrTell(kTable, nullptr, kSaveFailed, [&](CDbManage& session) {
        WriteAreaRow(session, project, GlobalArea(header));
        return session.SaveData() ? 1 : 0;
    });
}

int CAOIData::SaveAOI(const char* project, const AOIRecord& record) {
    if (HoldsZeroByte(record.AOIName)) return RefuseZeroByteName();
    if (record.AOIName.empty()) return Refuse(kEmptyAreaName);
    const Statement sql = "delete from b_aoi_data where AOIName=" + Quoted(record.AOIName);
    return WriteOrTell(kTable, kTableMissing, kSaveFailed, [&](CDbManage& session) {
        // Areas are addressed by name alone: the name leaves any other project.
        session.ExecuteSQL(sql);
        WriteAreaRow(session, project, record);
        return session.SaveData() ? 1 : 0;
    });
}

int CAOIData::DeleteAOI(const char* name) {
    if (IsEmptyText(name)) return Refuse(kEmptyAreaName);
    return RunDelete(kTable, "delete from b_aoi_data where AOIName=" + Quoted(name));
}
