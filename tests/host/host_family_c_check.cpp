// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the perforation, drilling-core and
// sidewall-core interfaces on a copy of the template and, with
// STRATALOOM_TEST_SERVER set, on a database it creates on that server with
// CreateSqlServerDatabase.
#include "host/wellfamily.h"

namespace {

ShotSet Shots(const char* well) {
    ShotSet set;
    set.WellName = well;
    ShotRecord deep;
    deep.ShotDate = "2020-03-01";
    deep.TopDepth = 2100.5;
    deep.BottomDepth = 2104.0;
    deep.XH = 2;
    deep.Density = 16;
    deep.ShotRate = 0.75f;
    deep.WJYMD = 1.5f;
    deep.GunType = "gun";
    ShotRecord shallow = deep;
    shallow.ShotDate.clear();
    shallow.TopDepth = 1800.25;
    shallow.XH = 1;
    set.Records = {deep, shallow};
    return set;
}

// As saved, but in ascending top depth: an empty date reads back empty.
bool ShotsLoaded(const ShotSet& set) {
    return set.Records.size() == 2 && set.Records[0].TopDepth == 1800.25 &&
           set.Records[0].ShotDate.empty() && set.Records[1].ShotDate == "2020-03-01" &&
           set.Records[1].ShotRate == 0.75f && set.Records[1].WJYMD == 1.5f &&
           set.Records[1].Density == 16 && set.Records[1].GunType == "gun";
}

TakeCoreSet TakeCores(const char* well) {
    TakeCoreSet set;
    set.WellName = well;
    TakeCoreRecord core;
    core.CoreName = "core 1";
    core.TopDepth = 1500.0;
    core.BottomDepth = 1509.0;
    core.CoreLength = 8.1;
    core.CoreDrill = 9.0;
    core.GainRate = 0.9;
    core.Color = -16777216;
    core.LithName = "sandstone";
    TakeCoreRecord second = core;
    second.CoreName = "core 2";
    second.TopDepth = 1509.0;
    set.Records = {core, second};
    return set;
}

bool TakeCoresLoaded(const TakeCoreSet& set) {
    return set.Records.size() == 2 && set.Records[0].CoreName == "core 1" &&
           set.Records[0].GainRate == 0.9 && set.Records[0].Color == -16777216 &&
           set.Records[1].LithName == "sandstone";
}

LateralCoreSet LateralCores(const char* well) {
    LateralCoreSet set;
    set.WellName = well;
    LateralCoreRecord sample;
    sample.LateralCoreName = "s1";
    sample.Depth = 1620.75;
    sample.Color = 255;
    sample.Remark = "fluorescent";
    LateralCoreRecord second = sample;
    second.LateralCoreName = "s2";
    set.Records = {sample, second};
    return set;
}

bool LateralCoresLoaded(const LateralCoreSet& set) {
    return set.Records.size() == 2 && set.Records[0].LateralCoreName == "s1" &&
           set.Records[0].Depth == 1620.75 && set.Records[0].Color == 255 &&
           set.Records[1].Remark == "fluorescent";
}

void RunFamily(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    host::RunUsualOperations<IShotData>(module, check, db, "IShotData", "perforations", on, &Shots,
                                        &ShotsLoaded);
    host::RunUsualOperations<ITakeCoreData>(module, check, db, "ITakeCoreData", "drilling cores",
                                            on, &TakeCores, &TakeCoresLoaded);
    host::RunUsualOperations<ILateralCoreData>(module, check, db, "ILateralCoreData",
                                               "sidewall cores", on, &LateralCores,
                                               &LateralCoresLoaded);
}

}  // namespace

int main(int argc, char** argv) {
    return host::RunOnTemplateAndServer(argc, argv, "family_c", &RunFamily);
}
