#include "datadefine/csmallmarkerdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CSmallMarkerData, "ISmallMarkerData")

namespace {

const char kTable[] = "w_smallmarker_data";
const strataloom::MappedTable g_mapped(kTable, &SmallMarkerRows::Shapes);

}  // namespace

const strataloom::WellTable& SmallMarkerRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<SmallMarkerRecord>& SmallMarkerRows::Columns() {
    static const ColumnTable<SmallMarkerRecord> columns{
        {"SmallMarkerName", &SmallMarkerRecord::SmallMarkerName},
        {"MiddleMarkerName", &SmallMarkerRecord::MiddleMarkerName},
        {"MarkerName", &SmallMarkerRecord::MarkerName},
        {"TopDepth", &SmallMarkerRecord::TopDepth},
        {"BottomDepth", &SmallMarkerRecord::BottomDepth},
        {"SandHeight", &SmallMarkerRecord::SandHeight},
        {"SandHeightType", &SmallMarkerRecord::SandHeightType},
        {"SandEffTop", &SmallMarkerRecord::SandEffTop},
        {"SandEffHeight1", &SmallMarkerRecord::SandEffHeight1},
        {"SandEffHeight2", &SmallMarkerRecord::SandEffHeight2},
        {"DcjsConclusion", &SmallMarkerRecord::DcjsConclusion},
        {"SmallMarkerDescription", &SmallMarkerRecord::SmallMarkerDescription},
    };
    return columns;
}

int CSmallMarkerData::GetWellNamesWithData(const char* project, NameList& names) {
    return ListWellsWithData(project, names);
}

int CSmallMarkerData::GetSmallMarkerNames(const char* project, NameList& names) {
    return ListNames(
        "select distinct w_smallmarker_data.SmallMarkerName from w_smallmarker_data where " +
            ProjectHasWells(project),
        "SmallMarkerName", names);
}

int CSmallMarkerData::GetWellSmallMarkerNames(const char* well, NameList& names) {
    return ListNames("select SmallMarkerName from w_smallmarker_data where " + WellIs(well),
                     "SmallMarkerName", names);
}

// Rows come in the order the database keeps them: the statement sorts nothing.
int CSmallMarkerData::LoadWellData(const char* well, SmallMarkerSet& set) {
    return LoadWell("select * from w_smallmarker_data where " + WellIs(well), well, set);
}

// Only the wells that have small layers are loaded, each through the
// object's own load. A listing that cannot run fails the load: a broken table
// must not look like a project without small layers.
int CSmallMarkerData::LoadProjectData(const char* project, std::vector<SmallMarkerSet>& sets) {
    NameList wells;
    if (!ListNamesIfAny(Table().WellsWithData(project), WellTable::Key(), wells)) return 0;
    ISmallMarkerData& self = *this;
    return LoadEachWell(wells, sets, [&](const char* well, SmallMarkerSet& set) {
        return self.LoadWellData(well, set);
    });
}

int CSmallMarkerData::IsWellDataExist(const char* well) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return HasWellRows(well);
}

int CSmallMarkerData::SaveWellData(const SmallMarkerSet& set) {
    if (set.WellName == "") return strataloom::RefuseEmptyWellName();
    return ReplaceWell(set);
}

int CSmallMarkerData::GetWellsWithData(const std::vector<SmallMarkerSet>& sets, NameList& names) {
    return ListStoredWells(sets, names);
}

int CSmallMarkerData::SaveWellsData(const char*, const std::vector<SmallMarkerSet>& sets) {
    if (sets.empty()) return 0;
    return ReplaceWells(sets);
}

int CSmallMarkerData::DeleteWellData(const char* well) {
    if (IsEmptyText(well)) return strataloom::RefuseEmptyWellName();
    return DeleteWellRows(well);
}

int CSmallMarkerData::DeleteWellsData(const NameList& names) {
    if (names.empty()) return 0;
    return DeleteWellsRows(names);
}

int CSmallMarkerData::DeleteProjectData(const char* project) {
    if (IsEmptyText(project)) return strataloom::RefuseEmptyProjectName();
    return DeleteProjectRows(project);
}
