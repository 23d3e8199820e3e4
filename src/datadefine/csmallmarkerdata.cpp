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
