#include "datadefine/cshotdata.h"

#include <cstring>

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CShotData, "IShotData")

namespace {

const char kTable[] = "w_shot_data";
const char kShotDate[] = "ShotDate";
const strataloom::MappedTable g_mapped(kTable, &ShotRows::Shapes);

// The single-well save stores an empty date as none: the column stays unset.
bool EmptyDateLeftUnset(const Column<ShotRecord>& column, const ShotRecord& record) {
    return record.ShotDate.empty() && std::strcmp(column.Name(), kShotDate) == 0;
}

}  // namespace

const strataloom::WellTable& ShotRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<ShotRecord>& ShotRows::Columns() {
    static const ColumnTable<ShotRecord> columns{
        {kShotDate, &ShotRecord::ShotDate},
        {"TopDepth", &ShotRecord::TopDepth},
        {"BottomDepth", &ShotRecord::BottomDepth},
        {"XH", &ShotRecord::XH},
        {"LayerNum", &ShotRecord::LayerNum},
        {"Thickness", &ShotRecord::Thickness},
        {"Method", &ShotRecord::Method},
        {"GunType", &ShotRecord::GunType},
        {"BulletType", &ShotRecord::BulletType},
        {"Density", &ShotRecord::Density},
        {"ShotRate", &ShotRecord::ShotRate},
        {"WJYMC", &ShotRecord::WJYMC},
        {"WJYMD", &ShotRecord::WJYMD},
        {"JSXH", &ShotRecord::JSXH},
        {"LayerType", &ShotRecord::LayerType},
        {"Description", &ShotRecord::Description},
    };
    return columns;
}

int CShotData::LoadWellData(const char* well, ShotSet& set) {
    return LoadWell("select * from w_shot_data where " + WellIs(well) + " order by TopDepth", well,
                    set);
}

// Unlike the multi-well save, which writes every date, an empty one included.
int CShotData::SaveWellData(const ShotSet& set) {
    if (set.WellName == "") return strataloom::RefuseEmptyWellName();
    return ReplaceWell(
        set, [&](CDbManage& session) { ShotRows::WriteRows(session, set, &EmptyDateLeftUnset); });
}
