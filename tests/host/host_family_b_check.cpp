// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the interpretation-result and oil-test
// interfaces on a copy of the template and, with STRATALOOM_TEST_SERVER set,
// on a database it creates on that server with CreateSqlServerDatabase.
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "host/hostmodule.h"

namespace {

InterpretSet Interpretations(const char* well) {
    InterpretSet set;
    set.WellName = well;
    set.Records.resize(2);
    set.Records[0].InterpretName = "L1";
    set.Records[0].InterpretResult = "oil";
    set.Records[0].TopDepth = 1100.0;
    set.Records[0].BottomDepth = 1108.5;
    set.Records[0].IrresibleWaterSaturation = 0.35;
    set.Records[1].InterpretName = "L2";
    set.Records[1].InterpretResult = "water";
    set.Records[1].TopDepth = 1200.0;
    set.Records[1].ReservoirTemperatureGrad = 3.1;
    return set;
}

OilTestSet OilTests(const char* well) {
    OilTestSet set;
    set.WellName = well;
    set.Records.resize(2);
    set.Records[0].XH = "1";
    set.Records[0].TopDepth = 1500.5f;
    set.Records[0].BottomDepth = 1510.25f;
    set.Records[0].LayerNum = 3;
    set.Records[0].BeginDate = "2003-07-15";
    set.Records[0].UnitOilProduct = 12.5f;
    set.Records[1].XH = "2";
    set.Records[1].FinishDate = "2003-08-01";
    set.Records[1].Conclusion = "oil layer";
    return set;
}

// Every operation of a well-bore interface of the usual shape, on wells W1
// and W2 of project P. sameAsSaved tells whether a loaded set holds what
// makeSet gave for its well.
template <class Interface, class Set>
void RunMember(host::Module& module, host::Checks& check, const std::string& db,
               const char* interfaceName, const std::string& what, const std::string& on,
               Set (*makeSet)(const char*),
               const std::function<bool(const Set&, const Set&)>& sameAsSaved) {
    auto object = module.Create<Interface>(interfaceName, db);
    if (!object) return check(false, what + " created" + on);
    NameList names;
    Set set;
    std::vector<Set> sets;
    check(object->SaveWellData(makeSet("W1")) == 1, what + " SaveWellData" + on);
    check(object->SaveWellsData("", {makeSet("W1"), makeSet("W2")}) == 1,
          what + " SaveWellsData" + on);
    check(object->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          what + " GetWellNamesWithData" + on);
    check(object->LoadWellData("W1", set) == 1 && set.WellName == "W1" &&
              sameAsSaved(set, makeSet("W1")),
          what + " LoadWellData" + on);
    check(object->LoadProjectData("P", sets) == 1 && sets.size() == 2 && sets[1].WellName == "W2" &&
              sameAsSaved(sets[1], makeSet("W2")),
          what + " LoadProjectData" + on);
    check(object->IsWellDataExist("W1") == 1, what + " IsWellDataExist" + on);
    names.clear();
    check(object->GetWellsWithData({makeSet("W2")}, names) == 1 && names == NameList{"W2", "W2"},
          what + " GetWellsWithData" + on);
    check(object->DeleteWellData("W1") == 1 && object->IsWellDataExist("W1") == 0,
          what + " DeleteWellData" + on);
    check(object->DeleteWellsData({"W2"}) == 1 && object->IsWellDataExist("W2") == 0,
          what + " DeleteWellsData" + on);
    check(object->SaveWellData(makeSet("W1")) == 1 && object->DeleteProjectData("P") == 1 &&
              object->IsWellDataExist("W1") == 0,
          what + " DeleteProjectData" + on);
    const int boxes = host::Module::BoxesShown();
    check(object->SaveWellData(Set()) == 0 && host::Module::BoxesShown() == boxes + 1,
          what + " refuses a set without a well name" + on);
}

void RunAll(host::Module& module, host::Checks& check, const std::string& db,
            const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    RunMember<IInterpretData, InterpretSet>(
        module, check, db, "IInterpretData", "interpretations", on, &Interpretations,
        [](const InterpretSet& loaded, const InterpretSet& saved) {
            return loaded.Records.size() == 2 &&
                   loaded.Records[0].IrresibleWaterSaturation ==
                       saved.Records[0].IrresibleWaterSaturation &&
                   loaded.Records[1].ReservoirTemperatureGrad ==
                       saved.Records[1].ReservoirTemperatureGrad;
        });
    RunMember<IOilTestData, OilTestSet>(
        module, check, db, "IOilTestData", "oil tests", on, &OilTests,
        [](const OilTestSet& loaded, const OilTestSet& saved) {
            return loaded.Records.size() == 2 &&
                   loaded.Records[0].TopDepth == saved.Records[0].TopDepth &&
                   loaded.Records[0].LayerNum == 3 && loaded.Records[0].BeginDate == "2003-07-15" &&
                   loaded.Records[1].Conclusion == "oil layer";
        });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_family_b_check MODULE TEMPLATE\n");
        return 2;
    }
    const host::TemplateCopy copy(argv[2], "strataloom-family-b");

    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded()) return 1;
    check(module.QuietHooks(), "host hooks found");
    RunAll(module, check, copy.Db(), "");

    const char* server = std::getenv("STRATALOOM_TEST_SERVER");
    if (server && *server) {
        auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
        const std::string name = "strataloom_family_b" + std::to_string(::getpid());
        check(projects && projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
              "CreateSqlServerDatabase");
        RunAll(module, check, std::string(server) + " dbname=" + name, " on the server");
    } else {
        std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
    }
    return check.Finish();
}
