// Log interpretation results in the family suite: table w_interpret_data.
#include "datadefine/cinterpretdata.h"
#include "support/family.h"

namespace {

using testsupport::FieldVisitor;

void InterpretFields(InterpretRecord& r, FieldVisitor& v) {
    v(r.InterpretName)(r.InterpretResult)(r.TopDepth)(r.BottomDepth)(r.Remark);
    v(r.NeutronPorosity)(r.DensityPorosity)(r.EffectivePorosity)(r.AcousticPorosity);
    v(r.TotalPorosity)(r.FlushedZoneResistivity)(r.LowResistivity);
    v(r.TrueFormationResistivity)(r.DrillingFluidResistivity)(r.NaturalPotential);
    v(r.NaturalGamma)(r.CompensatedNeutron)(r.WellDiameter)(r.Permeability);
    v(r.OilEffectivePermeability)(r.GasEffectivePermeability)(r.WaterEffectivePermeability);
    v(r.AbsolutePermeability)(r.FormationEffPermeability)(r.CrossSectionIndex);
    v(r.Uranium)(r.Thorium)(r.Potassium)(r.ShalinessContent)(r.ArenaceousContent);
    v(r.SiltyContent)(r.CalcareousContent)(r.DolomiticContent)(r.GravelContent);
    v(r.SpecialMineral1)(r.SpecialMineral2)(r.SpecialMineral3)(r.OilSaturation);
    v(r.EffectiveWaterSaturation)(r.WaterSaturation)(r.IrresibleWaterSaturation);
    v(r.TotalWaterSaturation)(r.Montmorillonite)(r.Illite)(r.Kaolinite)(r.RockDensity);
    v(r.FormationVolumeDensity)(r.RockVelocity)(r.AcousticTimeDifference);
    v(r.BottomHoleTemperature)(r.ReservoirTemperatureGrad);
}

class Interpretations
    : public testsupport::ProjectLoadingMember<IInterpretData, InterpretSet, CInterpretData> {
  public:
    Interpretations()
        : ProjectLoadingMember("Interpretations", "IInterpretData", "w_interpret_data",
                               &InterpretFields) {}

    std::vector<std::string> Columns() const override {
        return {"InterpretName",
                "InterpretResult",
                "TopDepth",
                "BottomDepth",
                "Remark",
                "NeutronPorosity",
                "DensityPorosity",
                "EffectivePorosity",
                "AcousticPorosity",
                "TotalPorosity",
                "FlushedZoneResistivity",
                "LowResistivity",
                "TrueFormationResistivity",
                "DrillingFluidResistivity",
                "NaturalPotential",
                "NaturalGamma",
                "CompensatedNeutron",
                "WellDiameter",
                "Permeability",
                "OilEffectivePermeability",
                "GasEffectivePermeability",
                "WaterEffectivePermeability",
                "AbsolutePermeability",
                "FormationEffPermeability",
                "CrossSectionIndex",
                "Uranium",
                "Thorium",
                "Potassium",
                "ShalinessContent",
                "ArenaceousContent",
                "SiltyContent",
                "CalcareousContent",
                "DolomiticContent",
                "GravelContent",
                "SpecialMineral1",
                "SpecialMineral2",
                "SpecialMineral3",
                "OilSaturation",
                "EffectiveWaterSaturation",
                "WaterSaturation",
                "IrresibleWaterSaturation",
                "TotalWaterSaturation",
                "Montmorillonite",
                "Illite",
                "Kaolinite",
                "RockDensity",
                "FormationVolumeDensity",
                "RockVelocity",
                "AcousticTimeDifference",
                "BottomHoleTemperature",
                "ReservoirTemperatureGrad"};
    }

    std::map<std::string, std::vector<std::string>> Texts() const override {
        const std::string wellsWithData =
            "select w_well_data.wellname from w_well_data where w_well_data.ProjectName = 'P1' and "
            "exists( select w_interpret_data.wellname from w_interpret_data where "
            "w_well_data.wellname = w_interpret_data.wellname )  order by w_well_data.wellname ";
        const std::string table = "w_interpret_data";
        return {
            {"wells with data", {wellsWithData}},
            {"load well", {"select * from w_interpret_data where WellName='W1'"}},
            {"load project", {wellsWithData, "select * from w_interpret_data where WellName='W1'"}},
            {"stored wells",
             {table, "select WellName from  w_interpret_data where WellName in ('W1','W2')"}},
            {"save well",
             {table, "delete from  w_interpret_data where WellName='W1'",
              "SaveData w_interpret_data 1"}},
            {"save wells",
             {table, table, "delete from  w_interpret_data where WellName in ('W1')",
              "SaveData w_interpret_data 0"}},
            {"delete well", {table, "delete from  w_interpret_data where WellName='W9'"}},
            {"delete wells",
             {table, "delete from  w_interpret_data where WellName in ('W9','W8')"}},
            {"delete project",
             {table,
              "delete from w_interpret_data where exists( select w_well_data.wellname from "
              "w_well_data where w_well_data.wellname = w_interpret_data.wellname and  "
              "w_well_data.ProjectName = 'P9' )"}},
            {"exists", {table, "select * from  w_interpret_data where WellName='W1'"}},
        };
    }
};

}  // namespace

STRATALOOM_FAMILY_MEMBER(Interpretations, std::make_unique<Interpretations>())
