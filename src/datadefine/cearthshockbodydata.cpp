#include "datadefine/cearthshockbodydata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CEarthShockBodyData, "IEarthShockBodyData")

namespace {

const char kTable[] = "b_earthshockbody_data";
// A body is fixed by exactly this many reference points.
constexpr std::size_t kBodyPoints = 3;

// A value that cannot be read keeps the previous point's.
const ColumnTable<EarthShockBodyRecord>& PointColumns() {
    static const ColumnTable<EarthShockBodyRecord> columns{
        {"LineNumber", &EarthShockBodyRecord::LineNumber, ColumnUse::Optional},
        {"CDPNumber", &EarthShockBodyRecord::CDPNumber, ColumnUse::Optional},
        {"X", &EarthShockBodyRecord::X, ColumnUse::Optional},
        {"Y", &EarthShockBodyRecord::Y, ColumnUse::Optional},
    };
    return columns;
}

std::vector<ColumnShape> PointShapes() {
    return ShapesOf({}, PointColumns());
}
const MappedTable g_mapped(kTable, &PointShapes);

}  // namespace

int CEarthShockBodyData::LoadBodyPoints(std::vector<EarthShockBodyRecord>& points) {
    return Read([&](CDbManage& session) {
        EarthShockBodyRecord point;
        return ForEachRow(session, "select * from b_earthshockbody_data", [&] {
            PointColumns().Read(session, point);
            points.push_back(point);
            return true;
        });
    });
}

// Adds the points to whatever the table holds: a caller replacing the body
// deletes it first.
int CEarthShockBodyData::SaveBodyPoints(const std::vector<EarthShockBodyRecord>& points) {
    if (points.size() != kBodyPoints)
        return Decline("a seismic body is saved as exactly three points");
    return Write(kTable, [&](CDbManage& session) {
        InsertRecords(session, PointColumns(), points);
        return session.SaveData() ? 1 : 0;
    });
}

int CEarthShockBodyData::DeleteBodyPoints() {
    return RunReportedDelete(kTable, "delete from b_earthshockbody_data");
}
