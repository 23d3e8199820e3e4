// A host built against the public headers alone: loads the module with
// dlopen and runs every operation of the text-curve, small-layer and
// lithology-marker interfaces on a copy of the template. With
// STRATALOOM_TEST_SERVER set, it also creates a database on that server with
// CreateSqlServerDatabase and runs them there.
#include <algorithm>

#include "host/wellfamily.h"

namespace {

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
    const int boxes = host::Module::BoxesShown();
    check(texts->SaveWellTextCurve("W1", "Oil", 5, TextCurveSet()) == 0 &&
              host::Module::BoxesShown() == boxes + 1,
          "text refuses a set without a well name" + on);
}

// In the order the database keeps them: found by name.
bool SmallLayersLoaded(const SmallMarkerSet& set) {
    const auto s1 = [](const SmallMarkerRecord& r) { return r.SmallMarkerName == "S1"; };
    const auto found = std::find_if(set.Records.begin(), set.Records.end(), s1);
    return set.Records.size() == 2 && found != set.Records.end() && found->SandEffHeight2 == 0.1f;
}

void RunSmallLayers(host::Module& module, host::Checks& check, const std::string& db,
                    const std::string& on) {
    auto layers = module.Create<ISmallMarkerData>("ISmallMarkerData", db);
    if (!layers) return check(false, "ISmallMarkerData created" + on);
    host::RunUsualSavesAndLoads(*layers, &SmallLayers, &SmallLayersLoaded, "small layers", check,
                                on);
    NameList names;
    check(layers->GetSmallMarkerNames("P", names) == 1 && names.size() == 2,
          "small layers GetSmallMarkerNames" + on);
    names.clear();
    check(layers->GetWellSmallMarkerNames("W2", names) == 1 && names.size() == 2,
          "small layers GetWellSmallMarkerNames" + on);
    host::RunUsualTail(*layers, &SmallLayers, "small layers", check, on);
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
    host::RunUsualTail(*liths, &Lithology, "lithology", check, on);
}

void RunFamily(host::Module& module, host::Checks& check, const std::string& db,
               const std::string& on) {
    check(host::SaveProjectWells(module, db, "P", {"W1", "W2"}), "wells SaveWells" + on);
    RunTextCurves(module, check, db, on);
    RunSmallLayers(module, check, db, on);
    RunLithology(module, check, db, on);
}

}  // namespace

int main(int argc, char** argv) {
    return host::RunOnTemplateAndServer(argc, argv, "family_a", &RunFamily);
}
