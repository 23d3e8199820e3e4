#include "datadefine/ctakecoredata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CTakeCoreData, "ITakeCoreData")

namespace {

const char kTable[] = "w_takecore_data";
const strataloom::MappedTable g_mapped(kTable, &TakeCoreRows::Shapes);

}  // namespace

const strataloom::WellTable& TakeCoreRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<TakeCoreRecord>& TakeCoreRows::Columns() {
    static const ColumnTable<TakeCoreRecord> columns{
        {"CoreName", &TakeCoreRecord::CoreName},
        {"TopDepth", &TakeCoreRecord::TopDepth},
        {"BottomDepth", &TakeCoreRecord::BottomDepth},
        {"CoreLength", &TakeCoreRecord::CoreLength},
        {"CoreDrill", &TakeCoreRecord::CoreDrill},
        {"GainRate", &TakeCoreRecord::GainRate},
        {"Color", &TakeCoreRecord::Color},
        {"LithName", &TakeCoreRecord::LithName},
        {"OilBearingClass", &TakeCoreRecord::OilBearingClass},
        {"LithDescription", &TakeCoreRecord::LithDescription},
        {"Remark", &TakeCoreRecord::Remark},
    };
    return columns;
}

// No order: the cores come as the database keeps them.
int CTakeCoreData::LoadWellData(const char* well, TakeCoreSet& set) {
    return LoadWell("select * from w_takecore_data where " + WellIs(well), well, set);
}
