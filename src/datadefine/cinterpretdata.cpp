#include "datadefine/cinterpretdata.h"

using namespace strataloom;

STRATALOOM_REGISTER_CLASS(CInterpretData, "IInterpretData")

namespace {

const char kTable[] = "w_interpret_data";
const strataloom::MappedTable g_mapped(kTable, &InterpretRows::Shapes);

}  // namespace

const strataloom::WellTable& InterpretRows::Table() {
    static const strataloom::WellTable table(kTable);
    return table;
}

const ColumnTable<InterpretRecord>& InterpretRows::Columns() {
    using R = InterpretRecord;
    static const ColumnTable<InterpretRecord> columns{
        {"InterpretName", &R::InterpretName},
        {"InterpretResult", &R::InterpretResult},
        {"TopDepth", &R::TopDepth},
        {"BottomDepth", &R::BottomDepth},
        {"Remark", &R::Remark},
        {"NeutronPorosity", &R::NeutronPorosity},
        {"DensityPorosity", &R::DensityPorosity},
        {"EffectivePorosity", &R::EffectivePorosity},
        {"AcousticPorosity", &R::AcousticPorosity},
        {"TotalPorosity", &R::TotalPorosity},
        {"FlushedZoneResistivity", &R::FlushedZoneResistivity},
        {"LowResistivity", &R::LowResistivity},
        {"TrueFormationResistivity", &R::TrueFormationResistivity},
        {"DrillingFluidResistivity", &R::DrillingFluidResistivity},
        {"NaturalPotential", &R::NaturalPotential},
        {"NaturalGamma", &R::NaturalGamma},
        {"CompensatedNeutron", &R::CompensatedNeutron},
        {"WellDiameter", &R::WellDiameter},
        {"Permeability", &R::Permeability},
        {"OilEffectivePermeability", &R::OilEffectivePermeability},
        {"GasEffectivePermeability", &R::GasEffectivePermeability},
        {"WaterEffectivePermeability", &R::WaterEffectivePermeability},
        {"AbsolutePermeability", &R::AbsolutePermeability},
        {"FormationEffPermeability", &R::FormationEffPermeability},
        {"CrossSectionIndex", &R::CrossSectionIndex},
        {"Uranium", &R::Uranium},
        {"Thorium", &R::Thorium},
        {"Potassium", &R::Potassium},
        {"ShalinessContent", &R::ShalinessContent},
        {"ArenaceousContent", &R::ArenaceousContent},
        {"SiltyContent", &R::SiltyContent},
        {"CalcareousContent", &R::CalcareousContent},
        {"DolomiticContent", &R::DolomiticContent},
        {"GravelContent", &R::GravelContent},
        {"SpecialMineral1", &R::SpecialMineral1},
        {"SpecialMineral2", &R::SpecialMineral2},
        {"SpecialMineral3", &R::SpecialMineral3},
        {"OilSaturation", &R::OilSaturation},
        {"EffectiveWaterSaturation", &R::EffectiveWaterSaturation},
        {"WaterSaturation", &R::WaterSaturation},
        {"IrresibleWaterSaturation", &R::IrresibleWaterSaturation},
        {"TotalWaterSaturation", &R::TotalWaterSaturation},
        {"Montmorillonite", &R::Montmorillonite},
        {"Illite", &R::Illite},
        {"Kaolinite", &R::Kaolinite},
        {"RockDensity", &R::RockDensity},
        {"FormationVolumeDensity", &R::FormationVolumeDensity},
        {"RockVelocity", &R::RockVelocity},
        {"AcousticTimeDifference", &R::AcousticTimeDifference},
        {"BottomHoleTemperature", &R::BottomHoleTemperature},
        {"ReservoirTemperatureGrad", &R::ReservoirTemperatureGrad},
    };
    return columns;
}

// No order clause: a well's intervals come in the order the database holds them.
int CInterpretData::LoadWellData(const char* well, InterpretSet& set) {
    return LoadWell("select * from w_interpret_data where " + WellIs(well), well, set);
}
