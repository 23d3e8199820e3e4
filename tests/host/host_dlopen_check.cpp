// A host built against the public headers alone: loads the module with
// dlopen and runs every well-header operation on a copy of the template.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "strataloom/strataloom.h"

namespace fs = std::filesystem;

namespace {

int g_failures = 0;
int g_boxes = 0;

void Check(bool ok, const char* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++g_failures;
}

int CountingBox(const char*, const char*, unsigned int) {
    ++g_boxes;
    return IDOK;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_dlopen_check MODULE TEMPLATE\n");
        return 2;
    }
    const fs::path dir =
        fs::temp_directory_path() / ("strataloom-host-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string db = (dir / "Host.mdb").string();
    fs::copy_file(argv[2], db);

    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "dlopen: %s\n", dlerror());
        return 1;
    }
    auto create =
        reinterpret_cast<CreateDataFactoryObjectFunc>(dlsym(module, "CreateDataFactoryObject"));
    auto destroy = reinterpret_cast<DeleteDataFactoryFunc>(dlsym(module, "DeleteDataFactory"));
    auto setBox = reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
        dlsym(module, "SetMessageBoxHandler"));
    Check(create && destroy && setBox, "entry points found");
    Check(dlsym(module, "AppMessageBox") == nullptr, "internal symbols stay hidden");
    if (!create || !destroy || !setBox) return 1;
    setBox(&CountingBox);

    IDataFactory* factory = create();
    Check(factory->CreateObject("iBasicWellData") == nullptr && g_boxes == 1,
          "unknown interface name shows a box");
    std::unique_ptr<IBasicWellData> wells(
        dynamic_cast<IBasicWellData*>(factory->CreateObject("IBasicWellData")));
    destroy(factory);  // objects outlive their factory
    Check(wells != nullptr, "IBasicWellData created");
    if (!wells) return 1;
    wells->SetConnectString(db.c_str());

    BasicWellRecord a;
    a.WellName = "A";
    a.WellDepth = 1500.0;
    BasicWellRecord b = a;
    b.WellName = "B";
    Check(wells->SaveWell("P", a) == 1, "SaveWell");
    Check(wells->SaveWells("P", {a, b}) == 1, "SaveWells");
    NameList names;
    Check(wells->GetWellNames("P", names) == 1 && names == NameList{"A", "B"}, "GetWellNames");
    BasicWellRecord loaded;
    Check(wells->LoadWell("B", loaded) == 1 && loaded.WellDepth == 1500.0, "LoadWell");
    std::vector<BasicWellRecord> all;
    Check(wells->LoadProjectWells("P", all) == 1 && all.size() == 2, "LoadProjectWells");
    Check(wells->IsWellExist("P", "A") == 1, "IsWellExist");
    NameList existing;
    Check(wells->GetExistingWells("", {a}, existing) == 1 && existing == NameList{"A"},
          "GetExistingWells");
    Check(wells->DeleteWell("P", "A") == 1 && wells->IsWellExist("P", "A") == 0, "DeleteWell");
    Check(wells->DeleteWells("P", NameList{"B"}) == 1 && wells->IsWellExist("P", "B") == 0,
          "DeleteWells");
    Check(wells->SaveWell("P", a) == 1 && wells->DeleteProjectWells("P") == 1 &&
              wells->IsWellExist("P", "A") == 0,
          "DeleteProjectWells");
    wells.reset();
    dlclose(module);
    fs::remove_all(dir);
    std::printf("%d failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
