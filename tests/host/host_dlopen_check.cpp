// A host built against the public headers alone: loads the module with
// dlopen and runs every well-header operation on a copy of the template.

#include "host/hostmodule.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_dlopen_check MODULE TEMPLATE\n");
        return 2;
    }
    const host::TemplateCopy copy(argv[2], "strataloom-host");
    const std::string& db = copy.Db();

    host::Checks check;
    host::Module module(argv[1]);
    if (!module.Loaded()) return 1;
    const bool hooks = module.QuietHooks();
    check(hooks, "host hooks found");
    check(module.Symbol("AppMessageBox") == nullptr, "internal symbols stay hidden");
    auto lastError =
        reinterpret_cast<StrataloomLastErrorFunc>(module.Symbol("StrataloomLastError"));
    check(lastError != nullptr, "the reason of a failure is exported");
    if (!hooks) return 1;

    check(module.Factory().CreateObject("iBasicWellData") == nullptr &&
              host::Module::BoxesShown() == 1,
          "unknown interface name shows a box");
    auto wells = module.Create<IBasicWellData>("IBasicWellData", db);
    module.DeleteFactory();  // objects outlive their factory
    check(wells != nullptr, "IBasicWellData created");
    if (!wells) return 1;

    BasicWellRecord a;
    a.WellName = "A";
    a.WellDepth = 1500.0;
    BasicWellRecord b = a;
    b.WellName = "B";
    check(wells->SaveWell("P", a) == 1, "SaveWell");
    check(wells->SaveWells("P", {a, b}) == 1, "SaveWells");
    NameList names;
    check(wells->GetWellNames("P", names) == 1 && names == NameList{"A", "B"}, "GetWellNames");
    BasicWellRecord loaded;
    check(wells->LoadWell("B", loaded) == 1 && loaded.WellDepth == 1500.0, "LoadWell");
    check(wells->LoadWell("None", loaded) == 0 && lastError &&
              std::string(lastError()).find("no row") != std::string::npos,
          "a failed LoadWell says why");
    std::vector<BasicWellRecord> all;
    check(wells->LoadProjectWells("P", all) == 1 && all.size() == 2, "LoadProjectWells");
    check(wells->IsWellExist("P", "A") == 1, "IsWellExist");
    NameList existing;
    check(wells->GetExistingWells("", {a}, existing) == 1 && existing == NameList{"A"},
          "GetExistingWells");
    check(wells->DeleteWell("P", "A") == 1 && wells->IsWellExist("P", "A") == 0, "DeleteWell");
    check(wells->DeleteWells("P", NameList{"B"}) == 1 && wells->IsWellExist("P", "B") == 0,
          "DeleteWells");
    check(wells->SaveWell("P", a) == 1 && wells->DeleteProjectWells("P") == 1 &&
              wells->IsWellExist("P", "A") == 0,
          "DeleteProjectWells");
    wells.reset();
    return check.Finish();
}
