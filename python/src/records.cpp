// The fields of each record, in the order of the record (and of its table's
// columns), under their own names.
#include "records.h"

namespace strataloom::python {

const FieldTable<BasicProjectRecord>& ProjectFields() {
    static const FieldTable<BasicProjectRecord> fields{
        {"ProjectName", &BasicProjectRecord::ProjectName},
        {"Description", &BasicProjectRecord::Description},
        {"AutoCalcMinMax", &BasicProjectRecord::AutoCalcMinMax},
        {"SNmin", &BasicProjectRecord::SNmin},
        {"SNmax", &BasicProjectRecord::SNmax},
        {"EWmin", &BasicProjectRecord::EWmin},
        {"EWmax", &BasicProjectRecord::EWmax},
        {"EllipsoidID", &BasicProjectRecord::EllipsoidID},
        {"EllipsoidDescription", &BasicProjectRecord::EllipsoidDescription},
        {"SemiMajor", &BasicProjectRecord::SemiMajor},
        {"Flattering", &BasicProjectRecord::Flattering},
        {"ProjectionType", &BasicProjectRecord::ProjectionType},
        {"ProjectionDescription", &BasicProjectRecord::ProjectionDescription},
        {"CentralMeridian", &BasicProjectRecord::CentralMeridian},
        {"OriginLatitude", &BasicProjectRecord::OriginLatitude},
        {"FalseEasting", &BasicProjectRecord::FalseEasting},
        {"FalseNorthing", &BasicProjectRecord::FalseNorthing},
        {"StdParallel1", &BasicProjectRecord::StdParallel1},
        {"StdParallel2", &BasicProjectRecord::StdParallel2},
        {"ScaleFactor", &BasicProjectRecord::ScaleFactor},
        {"Azimuth", &BasicProjectRecord::Azimuth},
        {"ZoneType", &BasicProjectRecord::ZoneType},
        {"indexZone", &BasicProjectRecord::indexZone},
        {"CooridnateType", &BasicProjectRecord::CooridnateType}};
    return fields;
}

const FieldTable<BasicWellRecord>& WellFields() {
    static const FieldTable<BasicWellRecord> fields{{"WellName", &BasicWellRecord::WellName},
                                                    {"WellType", &BasicWellRecord::WellType},
                                                    {"Well_SN", &BasicWellRecord::Well_SN},
                                                    {"Well_EW", &BasicWellRecord::Well_EW},
                                                    {"WellFlag", &BasicWellRecord::WellFlag},
                                                    {"WellSymbol", &BasicWellRecord::WellSymbol},
                                                    {"Kb", &BasicWellRecord::Kb},
                                                    {"Ekb", &BasicWellRecord::Ekb},
                                                    {"WellDepth", &BasicWellRecord::WellDepth}};
    return fields;
}

const FieldTable<MarkerRecord>& MarkerFields() {
    static const FieldTable<MarkerRecord> fields{{"MarkerName", &MarkerRecord::MarkerName},
                                                 {"TopDepth", &MarkerRecord::TopDepth},
                                                 {"BottomDepth", &MarkerRecord::BottomDepth},
                                                 {"Description", &MarkerRecord::Description}};
    return fields;
}

const FieldTable<SmallMarkerRecord>& SmallMarkerFields() {
    static const FieldTable<SmallMarkerRecord> fields{
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
        {"SmallMarkerDescription", &SmallMarkerRecord::SmallMarkerDescription}};
    return fields;
}

const FieldTable<LithMarkerRecord>& LithMarkerFields() {
    static const FieldTable<LithMarkerRecord> fields{
        {"LithMarkerName", &LithMarkerRecord::LithMarkerName},
        {"TopDepth", &LithMarkerRecord::TopDepth},
        {"BottomDepth", &LithMarkerRecord::BottomDepth},
        {"LithName", &LithMarkerRecord::LithName},
        {"LithDescription", &LithMarkerRecord::LithDescription}};
    return fields;
}

const FieldTable<InterpretRecord>& InterpretFields() {
    static const FieldTable<InterpretRecord> fields{
        {"InterpretName", &InterpretRecord::InterpretName},
        {"InterpretResult", &InterpretRecord::InterpretResult},
        {"TopDepth", &InterpretRecord::TopDepth},
        {"BottomDepth", &InterpretRecord::BottomDepth},
        {"Remark", &InterpretRecord::Remark},
        {"NeutronPorosity", &InterpretRecord::NeutronPorosity},
        {"DensityPorosity", &InterpretRecord::DensityPorosity},
        {"EffectivePorosity", &InterpretRecord::EffectivePorosity},
        {"AcousticPorosity", &InterpretRecord::AcousticPorosity},
        {"TotalPorosity", &InterpretRecord::TotalPorosity},
        {"FlushedZoneResistivity", &InterpretRecord::FlushedZoneResistivity},
        {"LowResistivity", &InterpretRecord::LowResistivity},
        {"TrueFormationResistivity", &InterpretRecord::TrueFormationResistivity},
        {"DrillingFluidResistivity", &InterpretRecord::DrillingFluidResistivity},
        {"NaturalPotential", &InterpretRecord::NaturalPotential},
        {"NaturalGamma", &InterpretRecord::NaturalGamma},
        {"CompensatedNeutron", &InterpretRecord::CompensatedNeutron},
        {"WellDiameter", &InterpretRecord::WellDiameter},
        {"Permeability", &InterpretRecord::Permeability},
        {"OilEffectivePermeability", &InterpretRecord::OilEffectivePermeability},
        {"GasEffectivePermeability", &InterpretRecord::GasEffectivePermeability},
        {"WaterEffectivePermeability", &InterpretRecord::WaterEffectivePermeability},
        {"AbsolutePermeability", &InterpretRecord::AbsolutePermeability},
        {"FormationEffPermeability", &InterpretRecord::FormationEffPermeability},
        {"CrossSectionIndex", &InterpretRecord::CrossSectionIndex},
        {"Uranium", &InterpretRecord::Uranium},
        {"Thorium", &InterpretRecord::Thorium},
        {"Potassium", &InterpretRecord::Potassium},
        {"ShalinessContent", &InterpretRecord::ShalinessContent},
        {"ArenaceousContent", &InterpretRecord::ArenaceousContent},
        {"SiltyContent", &InterpretRecord::SiltyContent},
        {"CalcareousContent", &InterpretRecord::CalcareousContent},
        {"DolomiticContent", &InterpretRecord::DolomiticContent},
        {"GravelContent", &InterpretRecord::GravelContent},
        {"SpecialMineral1", &InterpretRecord::SpecialMineral1},
        {"SpecialMineral2", &InterpretRecord::SpecialMineral2},
        {"SpecialMineral3", &InterpretRecord::SpecialMineral3},
        {"OilSaturation", &InterpretRecord::OilSaturation},
        {"EffectiveWaterSaturation", &InterpretRecord::EffectiveWaterSaturation},
        {"WaterSaturation", &InterpretRecord::WaterSaturation},
        {"IrresibleWaterSaturation", &InterpretRecord::IrresibleWaterSaturation},
        {"TotalWaterSaturation", &InterpretRecord::TotalWaterSaturation},
        {"Montmorillonite", &InterpretRecord::Montmorillonite},
        {"Illite", &InterpretRecord::Illite},
        {"Kaolinite", &InterpretRecord::Kaolinite},
        {"RockDensity", &InterpretRecord::RockDensity},
        {"FormationVolumeDensity", &InterpretRecord::FormationVolumeDensity},
        {"RockVelocity", &InterpretRecord::RockVelocity},
        {"AcousticTimeDifference", &InterpretRecord::AcousticTimeDifference},
        {"BottomHoleTemperature", &InterpretRecord::BottomHoleTemperature},
        {"ReservoirTemperatureGrad", &InterpretRecord::ReservoirTemperatureGrad}};
    return fields;
}

const FieldTable<OilTestRecord>& OilTestFields() {
    static const FieldTable<OilTestRecord> fields{
        {"XH", &OilTestRecord::XH},
        {"CW", &OilTestRecord::CW},
        {"JSXH", &OilTestRecord::JSXH},
        {"TopDepth", &OilTestRecord::TopDepth},
        {"BottomDepth", &OilTestRecord::BottomDepth},
        {"LayerNum", &OilTestRecord::LayerNum},
        {"Thickness", &OilTestRecord::Thickness},
        {"Builder", &OilTestRecord::Builder},
        {"Purpose", &OilTestRecord::Purpose},
        {"BeginDate", &OilTestRecord::BeginDate},
        {"FinishDate", &OilTestRecord::FinishDate},
        {"CSLB", &OilTestRecord::CSLB},
        {"Approach", &OilTestRecord::Approach},
        {"Method", &OilTestRecord::Method},
        {"YYBHFW", &OilTestRecord::YYBHFW},
        {"TYBHFW", &OilTestRecord::TYBHFW},
        {"JY", &OilTestRecord::JY},
        {"LY", &OilTestRecord::LY},
        {"JW", &OilTestRecord::JW},
        {"LW", &OilTestRecord::LW},
        {"UnitOilProduct", &OilTestRecord::UnitOilProduct},
        {"UnitGasProduct", &OilTestRecord::UnitGasProduct},
        {"UnitWaterProduct", &OilTestRecord::UnitWaterProduct},
        {"TotalOilProduct", &OilTestRecord::TotalOilProduct},
        {"TotalGasProduct", &OilTestRecord::TotalGasProduct},
        {"TotalWaterProduct", &OilTestRecord::TotalWaterProduct},
        {"MQRGJD", &OilTestRecord::MQRGJD},
        {"ProductTime", &OilTestRecord::ProductTime},
        {"ProductDepth", &OilTestRecord::ProductDepth},
        {"Conclusion", &OilTestRecord::Conclusion}};
    return fields;
}

const FieldTable<ShotRecord>& ShotFields() {
    static const FieldTable<ShotRecord> fields{{"ShotDate", &ShotRecord::ShotDate},
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
                                               {"Description", &ShotRecord::Description}};
    return fields;
}

const FieldTable<TakeCoreRecord>& TakeCoreFields() {
    static const FieldTable<TakeCoreRecord> fields{
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
        {"Remark", &TakeCoreRecord::Remark}};
    return fields;
}

const FieldTable<LateralCoreRecord>& LateralCoreFields() {
    static const FieldTable<LateralCoreRecord> fields{
        {"LateralCoreName", &LateralCoreRecord::LateralCoreName},
        {"Depth", &LateralCoreRecord::Depth},
        {"Color", &LateralCoreRecord::Color},
        {"LithName", &LateralCoreRecord::LithName},
        {"OilBearingClass", &LateralCoreRecord::OilBearingClass},
        {"LithDescription", &LateralCoreRecord::LithDescription},
        {"Remark", &LateralCoreRecord::Remark}};
    return fields;
}

}  // namespace strataloom::python
