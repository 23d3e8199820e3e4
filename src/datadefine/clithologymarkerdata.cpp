#include "datadefine/clithologymarkerdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CLithologyMarkerData, "ILithologyMarkerData")

namespace {

const char kTable[] = "w_lith_marker_data";
const strataloom::MappedTable g_mapped(kTable, &LithMarkerRows::Shapes);

}  // namespace

const strataloom::WellTable& LithMarkerRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<LithMarkerRecord>& LithMarkerRows::Columns() {
    static const ColumnTable<LithMarkerRecord> columns{
        {"LithMarkerName", &LithMarkerRecord::LithMarkerName},
        {"TopDepth", &LithMarkerRecord::TopDepth},
        {"BottomDepth", &LithMarkerRecord::BottomDepth},
        {"LithName", &LithMarkerRecord::LithName},
        {"LithDescription", &LithMarkerRecord::LithDescription},
    };
    return columns;
}

int CLithologyMarkerData::GetWellNamesWithData(const char* project, NameList& names) {
    return ListWellsWithData(project, names);
}

int CLithologyMarkerData::LoadWellData(const char* well, LithMarkerSet& set) {
    return LoadWell("select * from w_lith_marker_data where " + WellIs(well) + " order by TopDepth",
                    well, set);
}

int CLithologyMarkerData::LoadWellsData(const NameList& names, std::vector<LithMarkerSet>& sets) {
    ILithologyMarkerData& self = *this;
    return LoadEachWell(names, sets, [&](const char* well, LithMarkerSet& set) {
        return self.LoadWellData(well, set);
    });
}

// Every well of the project is loaded, not only those with intervals: the
// first well without any ends the load with 0.
int CLithologyMarkerData::LoadProjectData(const char* project, std::vector<LithMarkerSet>& sets) {
    ILithologyMarkerData& self = *this;
    const Statement sql = "select * from w_well_data where ProjectName=" + Quoted(project);
    return Read([&](CDbManage& session) {
        NameList wells;
        if (!ReadNameList(session, sql, "WellName", wells)) return 0;
        return self.LoadWellsData(wells, sets) ? 1 : 0;
    });
}

// The well name is not checked: an empty one is looked for like any other.
int CLithologyMarkerData::IsWellDataExist(const char* well) {
    return HasWellRows(well);
}

int CLithologyMarkerData::SaveWellData(const LithMarkerSet& set) {
    if (set.WellName == "") return strataloom::RefuseEmptyWellName();
    return ReplaceWell(set);
}

int CLithologyMarkerData::GetWellsWithData(const std::vector<LithMarkerSet>& sets,
                                           NameList& names) {
    return ListStoredWells(sets, names);
}

// The object's own DeleteWellsData runs before the session of the inserts
// opens; an empty vector deletes and stores nothing and gives the commit's 1.
int CLithologyMarkerData::SaveWellsData(const std::vector<LithMarkerSet>& sets) {
    return ReplaceWells(sets, strataloom::DeleteStep::BeforeSession);
}

// The object's own SaveWellsData, inside the transaction of this table check.
int CLithologyMarkerData::SaveProjectData(const char*, const std::vector<LithMarkerSet>& sets) {
    if (HoldsZeroByte(sets, &LithMarkerSet::WellName)) return strataloom::RefuseZeroByteName();
    ILithologyMarkerData& self = *this;
    return Write(kTable, [&](CDbManage&) { return self.SaveWellsData(sets) ? 1 : 0; });
}

// One blank after "from" here, where the deletes of the saves have two.
int CLithologyMarkerData::DeleteWellData(const char* well) {
    return RunDelete(kTable, "delete from w_lith_marker_data where " + WellIs(well));
}

// An empty list is sent as it is: the statement deletes nothing and 1 is returned.
int CLithologyMarkerData::DeleteWellsData(const NameList& names) {
    return DeleteWellsRows(names);
}

int CLithologyMarkerData::DeleteProjectData(const char* project) {
    return DeleteProjectRows(project);
}
