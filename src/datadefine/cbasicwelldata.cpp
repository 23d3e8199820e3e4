#include "datadefine/cbasicwelldata.h"

#include "datadefine/datahelpers.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CBasicWellData, "IBasicWellData")

namespace {

const char kTable[] = "w_well_data";
const char kEmptyWellName[] = "井名称不能为空！";
const char kEmptyProjectName[] = "工区名称不能为空！";
const char kEmptyProjectOrWellName[] = "工区名称\\井名称不能为空！";
// Every row carries the project the save was given; the record holds no project.
const char kProjectName[] = "ProjectName";

// The loads given a well take its name from their argument.
const ColumnTable<BasicWellRecord>& WellColumns() {
    static const ColumnTable<BasicWellRecord> columns{
        {"WellName", &BasicWellRecord::WellName, ColumnUse::Key},
        {"WellType", &BasicWellRecord::WellType},
        {"Well_EW", &BasicWellRecord::Well_EW},
        {"Well_SN", &BasicWellRecord::Well_SN},
        {"WellFlag", &BasicWellRecord::WellFlag},
        {"WellSymbol", &BasicWellRecord::WellSymbol},
        {"Kb", &BasicWellRecord::Kb},
        {"Ekb", &BasicWellRecord::Ekb},
        {"WellDepth", &BasicWellRecord::WellDepth},
    };
    return columns;
}

std::vector<ColumnShape> WellShapes() {
    return ShapesOf({{kProjectName, ColumnKind::Text}}, WellColumns());
}
const MappedTable g_mapped(kTable, &WellShapes);

void WriteWellRow(CDbManage& session, const char* project, const BasicWellRecord& record) {
    session.AddNew();
    session.SetFieldValue(kProjectName, TextOrEmpty(project));
    WellColumns().Write(session, record);
}

NameList WellNamesOf(const std::vector<BasicWellRecord>& records) {
    NameList names;
    names.reserve(records.size());
    for (const BasicWellRecord& record : records) names.push_back(record.WellName);
    return names;
}

}  // namespace

int CBasicWellData::GetWellNames(const char* project, NameList& names) {
    return ListNames("select WellName from w_well_data where ProjectName=" + Quoted(project) +
                         "order by WellName",
                     "WellName", names);
}

int CBasicWellData::LoadWell(const char* well, BasicWellRecord& record) {
    return LoadNamedRecord("select * from w_well_data where WellName=" + Quoted(well),
                           WellColumns(), record, [&] { record.WellName = TextOrEmpty(well); });
}

int CBasicWellData::LoadProjectWells(const char* project, std::vector<BasicWellRecord>& records) {
    return LoadRecords("select * from w_well_data where ProjectName=" + Quoted(project),
                       WellColumns(), records);
}

int CBasicWellData::IsWellExist(const char* project, const char* well) {
    return HasRows(kTable, "select WellName from  w_well_data where WellName=" + Quoted(well) +
                               " and ProjectName=" + Quoted(project));
}

int CBasicWellData::SaveWell(const char* project, const BasicWellRecord& record) {
    if (record.WellName.empty()) return Refuse(kEmptyWellName);
    return Replace(kTable, "delete from  w_well_data where WellName=" + Quoted(record.WellName),
                   [&](CDbManage& session) { WriteWellRow(session, project, record); });
}

int CBasicWellData::GetExistingWells(const char*, const std::vector<BasicWellRecord>& records,
                                     NameList& names) {
    return ListNamesInTable(kTable,
                            "select WellName from  w_well_data where WellName in (" +
                                InList(WellNamesOf(records)) + ")",
                            "WellName", names);
}

int CBasicWellData::SaveWells(const char* project, const std::vector<BasicWellRecord>& records) {
    if (HoldsZeroByte(records, &BasicWellRecord::WellName)) return RefuseZeroByteName();
    // DeleteWells would refuse the empty project inside the transaction, with
    // the project locked while the box waits: refuse it here instead.
    if (!records.empty() && IsEmptyText(project)) return Refuse(kEmptyProjectName);
    const NameList names = WellNamesOf(records);
    return Write(kTable, [&](CDbManage& session) {
        if (records.empty()) return 1;
        if (!DeleteWells(project, names)) return 0;
        // Well names are unique across projects, as SaveWell keeps them: a
        // well saved here also leaves any other project it was under.
        const Statement moved =
            "delete from  w_well_data where WellName in (" + InList(names) + ")";
        session.ExecuteSQL(moved);
        session.StoreRowsAsAdded();
        for (const BasicWellRecord& record : records) WriteWellRow(session, project, record);
        return session.SaveData() ? 1 : 0;
    });
}

int CBasicWellData::DeleteWell(const char* project, const char* well) {
    if (IsEmptyText(project) || IsEmptyText(well)) return Refuse(kEmptyProjectOrWellName);
    return RunDelete(kTable, "delete from w_well_data where WellName=" + Quoted(well) +
                                 " and ProjectName=" + Quoted(project));
}

int CBasicWellData::DeleteWells(const char* project, const NameList& names) {
    if (IsEmptyText(project)) return Refuse(kEmptyProjectName);
    if (names.empty()) return Succeed();
    return RunDelete(kTable, "delete from  w_well_data where WellName in (" + InList(names) +
                                 ") AND ProjectName=" + Quoted(project));
}

int CBasicWellData::DeleteProjectWells(const char* project) {
    if (IsEmptyText(project)) return Refuse(kEmptyProjectName);
    return RunDelete(kTable, "delete from  w_well_data where ProjectName=" + Quoted(project));
}
