#include "datadefine/cstructuredata.h"

#include "datadefine/perwell.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CStructureData, "IStructureData")

namespace {

const char kTable[] = "s_structure_data";
const char kEmptyMarkerName[] = "层名称不能为空！";

// The loads given a marker take its name from their argument. The project is
// written beside these columns, from whichever source each save names.
const ColumnTable<StructureRecord>& SurfaceColumns() {
    static const ColumnTable<StructureRecord> columns{
        {"MarkerName", &StructureRecord::MarkerName, ColumnUse::Key},
        {"Xcoor", &StructureRecord::Xcoor},
        {"Ycoor", &StructureRecord::Ycoor},
        {"Depth", &StructureRecord::Depth},
    };
    return columns;
}

std::vector<ColumnShape> SurfaceShapes() {
    return ShapesOf({{"ProjectName", ColumnKind::Text}}, SurfaceColumns());
}
const MappedTable g_mapped(kTable, &SurfaceShapes);

void InsertSurface(CDbManage& session, const std::string& project, const StructureRecord& surface) {
    session.AddNew();
    session.SetFieldValue("ProjectName", project);
    SurfaceColumns().Write(session, surface);
}

NameList MarkerNamesOf(const std::vector<StructureRecord>& records) {
    return KeysOf(records, &StructureRecord::MarkerName);
}

}  // namespace

int CStructureData::GetStructureMarkerNames(const char* project, NameList& names) {
    return ListNames(
        "select distinct s_structure_data.markername from s_structure_data where ProjectName = " +
            Quoted(project),
        "MarkerName", names);
}

int CStructureData::LoadStructureData(const char* marker, StructureRecord& record) {
    return LoadNamedRecord("select * from s_structure_data where MarkerName=" + Quoted(marker),
                           SurfaceColumns(), record,
                           [&] { record.MarkerName = TextOrEmpty(marker); });
}

int CStructureData::LoadProjectStructureData(const char* project,
                                             std::vector<StructureRecord>& records) {
    const Statement sql = "select * from s_structure_data where ProjectName=" + Quoted(project);
    IStructureData& self = *this;
    return Read([&](CDbManage& session) {
        return ForEachRow(session, sql, [&] {
            std::string marker;
            if (!session.GetFieldValue("MarkerName", marker)) return false;
            // Each surface is loaded by its marker alone, then named as the
            // project's, so that saving the loaded records keeps it there.
            StructureRecord surface;
            if (!self.LoadStructureData(marker.c_str(), surface)) return false;
            surface.ProjectName = TextOrEmpty(project);
            records.push_back(std::move(surface));
            return true;
        });
    });
}

int CStructureData::IsStructureDataExist(const char* project, const char* marker) {
    return HasRows(kTable, "select * from  s_structure_data where MarkerName=" + Quoted(marker) +
                               " and ProjectName=" + Quoted(project));
}

int CStructureData::SaveStructureData(const char* project, const StructureRecord& record) {
    if (record.MarkerName.empty()) return Refuse(kEmptyMarkerName);
    // The marker leaves every other project: it has one surface.
    return Replace(
        kTable, "delete from  s_structure_data where MarkerName=" + Quoted(record.MarkerName),
        [&](CDbManage& session) { InsertSurface(session, TextOrEmpty(project), record); });
}

int CStructureData::GetStructuresWithData(const char*, const std::vector<StructureRecord>& records,
                                          NameList& names) {
    return ListNamesInTable(kTable,
                            "select MarkerName from  s_structure_data where MarkerName in (" +
                                InList(MarkerNamesOf(records)) + ")",
                            "MarkerName", names);
}

int CStructureData::SaveStructuresData(const char*, const std::vector<StructureRecord>& records) {
    if (HoldsZeroByte(records, &StructureRecord::MarkerName)) return RefuseZeroByteName();
    IStructureData& self = *this;
    return ReplaceThroughDelete(
        kTable, DeleteStep::BeforeSession,
        [&] { return self.DeleteStructuresData(MarkerNamesOf(records)); },
        [&](CDbManage& session) {
            for (const StructureRecord& record : records) {
                InsertSurface(session, record.ProjectName, record);
            }
        });
}

int CStructureData::DeleteStructureData(const char* marker) {
    if (IsEmptyText(marker)) return Refuse(kEmptyMarkerName);
    return RunDelete(kTable, "delete from s_structure_data where MarkerName=" + Quoted(marker));
}

// An empty list is sent as it is: the statement deletes nothing.
int CStructureData::DeleteStructuresData(NameList markers) {
    return RunDelete(kTable,
                     "delete from  s_structure_data where MarkerName in (" + InList(markers) + ")");
}

int CStructureData::DeleteProjectStructureData(const char* project) {
    if (IsEmptyText(project)) return RefuseEmptyProjectName();
    return RunDelete(kTable,
                     "delete from s_structure_data where exists( select "
                     "w_marker_data.markername from w_marker_data where "
                     "w_marker_data.markername = s_structure_data.markername and  "
                     "s_structure_data.ProjectName = " +
                         Quoted(project) + " )",
                     TableCheck::Skip);
}
