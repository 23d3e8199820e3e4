// Log interpretation results: table w_interpret_data, any number of
// interpreted depth intervals per well, each with a name, a conclusion, a
// remark and a fixed set of 46 petrophysical values.
#pragma once

#include "strataloom/idatabase.h"

// One interpreted interval of a well. Values are stored and returned as they
// are: the module applies no unit, range or null marker of its own, so each
// value is in whatever unit the interpretation wrote it.
struct InterpretRecord {
    std::string InterpretName;    // name of the interpretation (layer, run...)
    std::string InterpretResult;  // its conclusion (oil, water, dry...)
    double TopDepth = 0.0;        // top of the interval, in the well's depth unit
    double BottomDepth = 0.0;     // bottom of the interval
    std::string Remark;

    // Porosities.
    double NeutronPorosity = 0.0;
    double DensityPorosity = 0.0;
    double EffectivePorosity = 0.0;
    double AcousticPorosity = 0.0;
    double TotalPorosity = 0.0;
    // Resistivities of the flushed zone, shallow reading, true formation and mud.
    double FlushedZoneResistivity = 0.0;
    double LowResistivity = 0.0;
    double TrueFormationResistivity = 0.0;
    double DrillingFluidResistivity = 0.0;
    // Curve readings over the interval.
    double NaturalPotential = 0.0;    // spontaneous potential
    double NaturalGamma = 0.0;        // gamma ray
    double CompensatedNeutron = 0.0;  // compensated neutron
    double WellDiameter = 0.0;        // caliper
    // Permeabilities.
    double Permeability = 0.0;
    double OilEffectivePermeability = 0.0;
    double GasEffectivePermeability = 0.0;
    double WaterEffectivePermeability = 0.0;
    double AbsolutePermeability = 0.0;
    double FormationEffPermeability = 0.0;
    double CrossSectionIndex = 0.0;  // photoelectric cross-section index
    // Spectral gamma contents.
    double Uranium = 0.0;
    double Thorium = 0.0;
    double Potassium = 0.0;
    // Rock contents: shale, sand, silt, lime, dolomite, gravel and three
    // minerals the interpretation names itself.
    double ShalinessContent = 0.0;
    double ArenaceousContent = 0.0;
    double SiltyContent = 0.0;
    double CalcareousContent = 0.0;
    double DolomiticContent = 0.0;
    double GravelContent = 0.0;
    double SpecialMineral1 = 0.0;
    double SpecialMineral2 = 0.0;
    double SpecialMineral3 = 0.0;
    // Saturations.
    double OilSaturation = 0.0;
    double EffectiveWaterSaturation = 0.0;
    double WaterSaturation = 0.0;
    double IrresibleWaterSaturation = 0.0;  // irreducible water saturation (the column's spelling)
    double TotalWaterSaturation = 0.0;
    // Clay minerals.
    double Montmorillonite = 0.0;
    double Illite = 0.0;
    double Kaolinite = 0.0;
    // Densities, velocity and temperatures.
    double RockDensity = 0.0;
    double FormationVolumeDensity = 0.0;
    double RockVelocity = 0.0;
    double AcousticTimeDifference = 0.0;  // acoustic interval transit time
    double BottomHoleTemperature = 0.0;
    double ReservoirTemperatureGrad = 0.0;  // temperature gradient of the reservoir
};

// The interpretation results of one well.
struct InterpretSet {
    std::string WellName;
    std::vector<InterpretRecord> Records;
};

// Every operation returns 1 on success and 0 on failure. Lists and vectors
// given to fill are only appended to; what was appended before a failure
// stays. Empty names are refused with a message box where noted.
class IInterpretData : public IDataBase {
  public:
    // Appends the project's wells that have results, in well-name order.
    virtual int GetWellNamesWithData(const char* project, NameList& names) = 0;
    // Appends the well's intervals to the set's records, in the order the
    // database holds them, and names the set after the well; 0, the set
    // untouched, when the well has none.
    virtual int LoadWellData(const char* well, InterpretSet& set) = 0;
    // Appends one set per well of the project that has results, in
    // well-name order. A project without results appends nothing and gives 1;
    // the first well that cannot be loaded ends the load with 0.
    virtual int LoadProjectData(const char* project, std::vector<InterpretSet>& sets) = 0;
    // Appends the name of each given set's well once per stored interval.
    virtual int GetWellsWithData(const std::vector<InterpretSet>& sets, NameList& names) = 0;
    // Replaces the well's intervals by the set's (refuses an empty well name).
    virtual int SaveWellData(const InterpretSet& set) = 0;
    // Replaces the intervals of every well of the sets at once: either all
    // are stored or nothing changes. The first argument is not used; no sets
    // give 0.
    virtual int SaveWellsData(const char* unused, const std::vector<InterpretSet>& sets) = 0;
    // Deletes the well's intervals (refuses an empty well name).
    virtual int DeleteWellData(const char* well) = 0;
    // Deletes the intervals of the named wells; no names give 0.
    virtual int DeleteWellsData(const NameList& names) = 0;
    // Deletes the intervals of every well of the project, and no others
    // (refuses an empty project name).
    virtual int DeleteProjectData(const char* project) = 0;
    // 1 when the well has at least one interval (refuses an empty well name).
    virtual int IsWellDataExist(const char* well) = 0;
};
