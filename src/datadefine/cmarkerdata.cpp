#include "datadefine/cmarkerdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CMarkerData, "IMarkerData")

namespace {

const char kTable[] = "w_marker_data";
const strataloom::MappedTable g_mapped(kTable, &MarkerRows::Shapes);

}  // namespace

const strataloom::WellTable& MarkerRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<MarkerRecord>& MarkerRows::Columns() {
    static const ColumnTable<MarkerRecord> columns{
        {"MarkerName", &MarkerRecord::MarkerName},
        {"TopDepth", &MarkerRecord::TopDepth},
        {"BottomDepth", &MarkerRecord::BottomDepth},
        {"Description", &MarkerRecord::Description},
    };
    return columns;
}

int CMarkerData::GetMarkerNames(const char* project, NameList& names) {
    return ListNames("select distinct w_marker_data.MarkerName from w_marker_data where " +
                         ProjectHasWells(project),
                     "MarkerName", names);
}

int CMarkerData::GetWellMarkerNames(const char* well, NameList& names) {
    return ListNames("select MarkerName from w_marker_data where " + WellIs(well), "MarkerName",
                     names);
}

int CMarkerData::LoadMarkersByName(const char* project, const char* marker,
                                   std::vector<MarkerSet>& sets) {
    // No blank between the closing quote and "and".
    const Statement sql =
        "select distinct * from w_marker_data where w_marker_data.MarkerName = " + Quoted(marker) +
        "and " + ProjectHasWells(project);
    return Read([&](CDbManage& session) {
        // One set per row: a well with several picks of the marker gives several sets.
        return ForEachRow(session, sql, [&] {
            MarkerSet set;
            if (!session.GetFieldValue("WellName", set.WellName)) return false;
            if (!MarkerRows::ReadRow(session, set)) return false;
            sets.push_back(std::move(set));
            return true;
        });
    });
}

int CMarkerData::LoadWellData(const char* well, MarkerSet& set) {
    return LoadWell("select * from w_marker_data where " + WellIs(well) + " order by TopDepth",
                    well, set);
}

int CMarkerData::LoadAllWellsData(const char*, std::vector<MarkerSet>& sets) {
    return Read([&](CDbManage& session) {
        const std::string sql = "select * from w_marker_data order by WellName, TopDepth";
        if (session.GetDataFromDB(sql) != CDbManage::kRows) return 0;
        sets.reserve(sets.size() + 100);
        // Rows arrive grouped by well: a new set starts where the well name changes.
        while (session.Read()) {
            MarkerRecord record;
            std::string well;
            if (!MarkerRows::Columns().Read(session, record) ||
                !session.GetFieldValue("WellName", well)) {
                return 0;
            }
            if (sets.empty() || sets.back().WellName != well) {
                sets.emplace_back();
                sets.back().WellName = well;
            }
            sets.back().Records.push_back(std::move(record));
        }
        return 1;
    });
}
