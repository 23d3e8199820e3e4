// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the text-curve, small-layer and
// lithology-marker interfaces on a copy of the template. With
// STRATALOOM_TEST_SERVER set, it also creates a database on that server with
// CreateSqlServerDatabase and runs them there.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "host/hostmodule.h"

namespace fs = std::filesystem;

namespace {

int g_boxes = 0;

int CountingBox(const char*, const char*, unsigned int) {
    ++g_boxes;
    return IDOK;
}

void* QuietWaitBegin(const char*) {
    return nullptr;
}
void QuietWaitEnd(void*) {}

TextCurveSet TextCurve(const char* well, const char* name) {
    TextCurveSet set;
    set.WellName = well;
    set.TextCurveName = name;
    TextRecord deep;
    deep.TopDepth = 1200.0;
    deep.BottomDepth = 1210.5;
    deep.TextDescription = "灰色泥岩";
    deep.Type = 2;
    TextRecord shallow;
    shallow.TopDepth = 1100.0;
    shallow.BottomDepth = 1105.0;
    shallow.Remark = "core";
    set.Records = {deep, shallow};
    return set;
}

SmallMarkerSet SmallLayers(const char* well) {
    SmallMarkerSet set;
    set.WellName = well;
    set.Records.resize(2);
    set.Records[0].SmallMarkerName = "S1";
    set.Records[0].TopDepth = 1500.25f;
    set.Records[0].SandEffHeight2 = 0.1f;
    set.Records[1].SmallMarkerName = "S2";
    set.Records[1].TopDepth = 1400.5f;
    return set;
}

LithMarkerSet Lithology(const char* well) {
    LithMarkerSet set;
    set.WellName = well;
    set.Records = {{"L2", 1300.5f, 1310.0f, "sandstone", "fine"},
                   {"L1", 1250.0f, 1260.0f, "mudstone", ""}};
    return set;
}

// What the per-well interfaces share, run once their wells W1 and W2 have
// rows (two each): existence, stored wells, and the deletes of a well, of
// wells and of the project P.
template <class Interface, class Set>
void RunUsualTail(Interface& object, Set (*sample)(const char*), const std::string& what,
                  host::Checks& check, const std::string& on) {
    NameList names;
    check(object.IsWellDataExist("W1") == 1, what + " IsWellDataExist" + on);
    check(object.GetWellsWithData({sample("W2")}, names) == 1 && names.size() == 2,
          what + " GetWellsWithData" + on);
    check(object.DeleteWellData("W1") == 1 && object.IsWellDataExist("W1") == 0,
          what + " DeleteWellData" + on);
    check(object.DeleteWellsData({"W2"}) == 1 && object.IsWellDataExist("W2") == 0,
          what + " DeleteWellsData" + on);
    check(object.SaveWellData(sample("W1")) == 1 && object.DeleteProjectData("P") == 1 &&
              object.IsWellDataExist("W1") == 0,
          what + " DeleteProjectData" + on);
}

void RunTextCurves(host::Module& module, host::Checks& check, const std::string& db,
                   const std::string& on) {
    auto texts = module.Create<ITextData>("ITextData", db);
    if (!texts) return check(false, "ITextData created" + on);
    NameList names;
    int type = -1;
    std::string name;
    TextCurveSet set;
    std::vector<TextCurveSet> sets;
    check(texts->SaveWellTextCurve("W1", "Lith%d", 3, TextCurve("W1", "Lith%d")) == 1 &&
              texts->SaveWellTextCurve("W2", "Lith%d", 3, TextCurve("W2", "Lith%d")) == 1,
          "text SaveWellTextCurve" + on);
    check(texts->GetTextType("Lith%d", type) == 1 && type == 0, "text GetTextType" + on);
    check(texts->AddTextCode("Oil", 5) == 1, "text AddTextCode" + on);
    check(texts->GetCodeTextCurveNames(names) == 1 && names.size() == 2,
          "text GetCodeTextCurveNames" + on);
    check(texts->GetTextCurveNameOfType(0, name) == 1 && !name.empty(),
          "text GetTextCurveNameOfType" + on);
    names.clear();
    check(texts->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          "text GetWellNamesWithData" + on);
    names.clear();
    check(texts->GetWellTextCurveNames("W1", names) == 1 && names == NameList{"Lith%d"},
          "text GetWellTextCurveNames" + on);
    names.clear();
    check(texts->GetWellTextCurveNamesOfTrack("W1", 5, names) == 1 && names == NameList{"Oil"},
          "text GetWellTextCurveNamesOfTrack" + on);
    names.clear();
    check(texts->GetWellTextCurveNamesOfType("W1", 0, names) == 1 && names == NameList{"Lith%d"},
          "text GetWellTextCurveNamesOfType" + on);
    sets.resize(2);
    sets[0].WellName = "W2";
    sets[1].WellName = "W1";
    check(texts->LoadTextCurveForWells("Lith%d", sets) == 1 && sets.size() == 2 &&
              sets[0].Records.size() == 2 && sets[1].Records.at(0).TopDepth == 1100.0,
          "text LoadTextCurveForWells" + on);
    check(texts->LoadWellTextCurve("W1", "Lith%d", set) == 1 && set.Records.size() == 2 &&
              set.Records[1].TextDescription == "灰色泥岩" && set.Records[0].Type == -1,
          "text LoadWellTextCurve" + on);
    sets.clear();
    check(texts->LoadWellTextCurvesOfType("W1", 0, sets) == 1 && sets.size() == 1,
          "text LoadWellTextCurvesOfType" + on);
    check(texts->IsWellTextCurveExist("W1", "Lith%d") == 1, "text IsWellTextCurveExist" + on);
    names.clear();
    check(texts->GetWellsWithTextCurve("Lith%d", 0, names) == 1 && names.size() == 2,
          "text GetWellsWithTextCurve" + on);
    check(texts->DeleteWellTextCurve("W1", "Lith%d") == 1 &&
              texts->IsWellTextCurveExist("W1", "Lith%d") == 0,
          "text DeleteWellTextCurve" + on);
    check(texts->DeleteTextCurve("Lith%d") == 1 &&
              texts->IsWellTextCurveExist("W2", "Lith%d") == 0 &&
              texts->GetTextType("Lith%d", type) == 1,
          "text DeleteTextCurve" + on);
    names.clear();
    check(texts->SaveWellTextCurve("W1", "Oil", 5, TextCurve("W1", "Oil")) == 1 &&
              texts->DeleteProjectData("P") == 1 && texts->GetWellNamesWithData("P", names) == 0,
          "text DeleteProjectData" + on);
    const int boxes = g_boxes;
    check(texts->SaveWellTextCurve("W1", "Oil", 5, TextCurveSet()) == 0 && g_boxes == boxes + 1,
          "text refuses a set without a well name" + on);
}

void RunSmallLayers(host::Module& module, host::Checks& check, const std::string& db,
                    const std::string& on) {
    auto layers = module.Create<ISmallMarkerData>("ISmallMarkerData", db);
    if (!layers) return check(false, "ISmallMarkerData created" + on);
    NameList names;
    SmallMarkerSet set;
    std::vector<SmallMarkerSet> sets;
    check(layers->SaveWellData(SmallLayers("W1")) == 1, "small layers SaveWellData" + on);
    check(layers->SaveWellsData("", {SmallLayers("W1"), SmallLayers("W2")}) == 1,
          "small layers SaveWellsData" + on);
    check(layers->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          "small layers GetWellNamesWithData" + on);
    names.clear();
    check(layers->GetSmallMarkerNames("P", names) == 1 && names.size() == 2,
          "small layers GetSmallMarkerNames" + on);
    names.clear();
    check(layers->GetWellSmallMarkerNames("W2", names) == 1 && names.size() == 2,
          "small layers GetWellSmallMarkerNames" + on);
    const auto s1 = [](const SmallMarkerRecord& r) { return r.SmallMarkerName == "S1"; };
    check(layers->LoadWellData("W1", set) == 1 && set.Records.size() == 2 &&
              std::find_if(set.Records.begin(), set.Records.end(), s1)->SandEffHeight2 == 0.1f,
          "small layers LoadWellData" + on);
    check(layers->LoadProjectData("P", sets) == 1 && sets.size() == 2 && sets[1].WellName == "W2",
          "small layers LoadProjectData" + on);
    RunUsualTail(*layers, &SmallLayers, "small layers", check, on);
}

void RunLithology(host::Module& module, host::Checks& check, const std::string& db,
                  const std::string& on) {
    auto liths = module.Create<ILithologyMarkerData>("ILithologyMarkerData", db);
    if (!liths) return check(false, "ILithologyMarkerData created" + on);
    NameList names;
    LithMarkerSet set;
    std::vector<LithMarkerSet> sets;
    check(liths->SaveWellData(Lithology("W1")) == 1, "lithology SaveWellData" + on);
    check(liths->SaveWellsData({Lithology("W1"), Lithology("W2")}) == 1,
          "lithology SaveWellsData" + on);
    check(liths->SaveProjectData("", {Lithology("W1"), Lithology("W2")}) == 1,
          "lithology SaveProjectData" + on);
    check(liths->GetWellNamesWithData("P", names) == 1 && names == NameList{"W1", "W2"},
          "lithology GetWellNamesWithData" + on);
    check(liths->LoadWellData("W1", set) == 1 && set.Records.size() == 2 &&
              set.Records[0].LithMarkerName == "L1" && set.Records[1].TopDepth == 1300.5f,
          "lithology LoadWellData" + on);
    check(liths->LoadWellsData({"W2", "W1"}, sets) == 1 && sets.size() == 2 &&
              sets[0].WellName == "W2",
          "lithology LoadWellsData" + on);
    sets.clear();
    check(liths->LoadProjectData("P", sets) == 1 && sets.size() == 2,
          "lithology LoadProjectData" + on);
    RunUsualTail(*liths, &Lithology, "lithology", check, on);
}

void RunFamily(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    auto wells = module.Create<IBasicWellData>("IBasicWellData", db);
    BasicWellRecord w1, w2;
    w1.WellName = "W1";
    w2.WellName = "W2";
    check(wells && wells->SaveWells("P", {w1, w2}) == 1, "wells SaveWells" + on);
    RunTextCurves(module, check, db, on);
    RunSmallLayers(module, check, db, on);
    RunLithology(module, check, db, on);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_family_a_check MODULE TEMPLATE\n");
        return 2;
    }
    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded()) return 1;
    reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
        module.Symbol("SetMessageBoxHandler"))(&CountingBox);
    reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
        module.Symbol("SetWaitDialogHandlers"))(&QuietWaitBegin, &QuietWaitEnd);

    const std::string id = std::to_string(::getpid());
    const fs::path dir = fs::temp_directory_path() / ("strataloom-family-a-" + id);
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "Family.mdb").string();
    fs::copy_file(argv[2], db);
    RunFamily(module, check, db, "");

    const char* server = std::getenv("STRATALOOM_TEST_SERVER");
    if (server && *server) {
        auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
        const std::string name = "strataloom_family_a" + id;
        check(projects && projects->CreateSqlServerDatabase(name.c_str(), server) == 1,
              "CreateSqlServerDatabase");
        RunFamily(module, check, std::string(server) + " dbname=" + name, " on the server");
    } else {
        std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
    }
    fs::remove_all(dir);
    return check.Finish();
}
