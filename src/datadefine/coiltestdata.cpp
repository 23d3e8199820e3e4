#include "datadefine/coiltestdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(COilTestData, "IOilTestData")

namespace {

const char kTable[] = "w_oiltest_data";
const strataloom::MappedTable g_mapped(kTable, &OilTestRows::Shapes);

}  // namespace

const strataloom::WellTable& OilTestRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

// The dates are plain text both ways; the numbers but LayerNum are 32-bit reals.
const ColumnTable<OilTestRecord>& OilTestRows::Columns() {
    using R = OilTestRecord;
    static const ColumnTable<OilTestRecord> columns{
        {"XH", &R::XH},
        {"CW", &R::CW},
        {"JSXH", &R::JSXH},
        {"TopDepth", &R::TopDepth},
        {"BottomDepth", &R::BottomDepth},
        {"LayerNum", &R::LayerNum},
        {"Thickness", &R::Thickness},
        {"Builder", &R::Builder},
        {"Purpose", &R::Purpose},
        {"BeginDate", &R::BeginDate},
        {"FinishDate", &R::FinishDate},
        {"CSLB", &R::CSLB},
        {"Approach", &R::Approach},
        {"Method", &R::Method},
        {"YYBHFW", &R::YYBHFW},
        {"TYBHFW", &R::TYBHFW},
        {"JY", &R::JY},
        {"LY", &R::LY},
        {"JW", &R::JW},
        {"LW", &R::LW},
        {"UnitOilProduct", &R::UnitOilProduct},
        {"UnitGasProduct", &R::UnitGasProduct},
        {"UnitWaterProduct", &R::UnitWaterProduct},
        {"TotalOilProduct", &R::TotalOilProduct},
        {"TotalGasProduct", &R::TotalGasProduct},
        {"TotalWaterProduct", &R::TotalWaterProduct},
        {"MQRGJD", &R::MQRGJD},
        {"ProductTime", &R::ProductTime},
        {"ProductDepth", &R::ProductDepth},
        {"Conclusion", &R::Conclusion},
    };
    return columns;
}

// No order clause: a well's tests come in the order the database holds them.
int COilTestData::LoadWellData(const char* well, OilTestSet& set) {
    return LoadWell("select * from w_oiltest_data where " + WellIs(well), well, set);
}
