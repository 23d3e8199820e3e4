// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the perforation, drilling-core and
// sidewall-core interfaces on a copy of the template and, with
// STRATALOOM_TEST_SERVER set, on a database it creates on that server with
// CreateSqlServerDatabase.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

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

// Every operation of one member on wells W1 and W2 of project P.
template <class Interface, class Set>
void RunMember(host::Module& module, host::Checks& check, const std::string& db,
               const char* interfaceName, Set (*make)(const char*), bool (*loaded)(const Set&),
               const std::string& on) {
    const std::string what = std::string(interfaceName) + " ";
    auto object = module.Create<Interface>(interfaceName, db);
    if (!object) return check(false, what + "created" + on);
    NameList names;
    Set set;
    std::vector<Set> sets;
    check(object->SaveWellData(make("W1")) == 1, what + "SaveWellData" + on);
    check(object->SaveWellsData("", {make("W1"), make("W2")}) == 1, what + "SaveWellsData" + on);
    check(object->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          what + "GetWellNamesWithData" + on);
    check(object->LoadWellData("W1", set) == 1 && set.WellName == "W1" && loaded(set),
          what + "LoadWellData" + on);
    check(object->LoadProjectData("P", sets) == 1 && sets.size() == 2 && sets[1].WellName == "W2" &&
              loaded(sets[1]),
          what + "LoadProjectData" + on);
    check(object->IsWellDataExist("W1") == 1, what + "IsWellDataExist" + on);
    names.clear();
    check(object->GetWellsWithData({make("W2"), make("W3")}, names) == 1 &&
              names == NameList{"W2", "W2"},
          what + "GetWellsWithData" + on);
    check(object->DeleteWellData("W1") == 1 && object->IsWellDataExist("W1") == 0,
          what + "DeleteWellData" + on);
    check(object->DeleteWellsData({"W2"}) == 1 && object->IsWellDataExist("W2") == 0,
          what + "DeleteWellsData" + on);
    check(object->SaveWellData(make("W1")) == 1 && object->DeleteProjectData("P") == 1 &&
              object->IsWellDataExist("W1") == 0,
          what + "DeleteProjectData" + on);
    const int boxes = host::Module::BoxesShown();
    check(object->SaveWellData(make("")) == 0 && host::Module::BoxesShown() == boxes + 1,
          what + "empty well name shown to the user" + on);
}

void RunFamily(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    RunMember<IShotData>(module, check, db, "IShotData", &Shots, &ShotsLoaded, on);
    RunMember<ITakeCoreData>(module, check, db, "ITakeCoreData", &TakeCores, &TakeCoresLoaded, on);
    RunMember<ILateralCoreData>(module, check, db, "ILateralCoreData", &LateralCores,
                                &LateralCoresLoaded, on);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_family_c_check MODULE TEMPLATE\n");
        return 2;
    }
    const std::string id = std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / ("strataloom-family-c-" + id);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "Family.mdb").string();
    fs::copy_file(argv[2], db);

    host::Checks check;
    {
        host::Module module(argv[1]);
        if (!module.Loaded()) return 1;
        check(module.QuietHooks(), "host hooks found");
        RunFamily(module, check, db, "");

        const char* server = std::getenv("STRATALOOM_TEST_SERVER");
        if (server && *server) {
            auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
            const std::string name = "strataloom_family_c" + id;
            check(projects && projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
                  "CreateSqlServerDatabase");
            RunFamily(module, check, std::string(server) + " dbname=" + name, " on the server");
        } else {
            std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
        }
    }
    fs::remove_all(dir);
    return check.Finish();
}
