#include "datadefine/clateralcoredata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CLateralCoreData, "ILateralCoreData")

namespace {

const char kTable[] = "w_lateralcore_data";
const strataloom::MappedTable g_mapped(kTable, &LateralCoreRows::Shapes);

}  // namespace

const strataloom::WellTable& LateralCoreRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<LateralCoreRecord>& LateralCoreRows::Columns() {
    static const ColumnTable<LateralCoreRecord> columns{
        {"LateralCoreName", &LateralCoreRecord::LateralCoreName},
        {"Depth", &LateralCoreRecord::Depth},
        {"Color", &LateralCoreRecord::Color},
        {"LithName", &LateralCoreRecord::LithName},
        {"OilBearingClass", &LateralCoreRecord::OilBearingClass},
        {"LithDescription", &LateralCoreRecord::LithDescription},
        {"Remark", &LateralCoreRecord::Remark},
    };
    return columns;
}

// No order: the samples come as the database keeps them.
int CLateralCoreData::LoadWellData(const char* well, LateralCoreSet& set) {
    return LoadWell("select * from w_lateralcore_data where " + WellIs(well), well, set);
}
