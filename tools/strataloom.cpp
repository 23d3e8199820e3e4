// The host program: loads the module at run time, as the application does,
// and drives it from the command line.
#include "strataloom/strataloom.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Module {
    void* handle = nullptr;
    CreateDataFactoryObjectFunc create = nullptr;
    DeleteDataFactoryFunc destroy = nullptr;
    ~Module() {
        if (handle) dlclose(handle);
    }
};

std::string ModulePath() {
    const char* path = std::getenv("STRATALOOM_MODULE");
    return path && *path ? path : STRATALOOM_DEFAULT_MODULE;
}

bool LoadModule(Module& module) {
    const std::string path = ModulePath();
    module.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module.handle) {
        std::cerr << "strataloom: cannot load " << path << ": " << dlerror() << "\n";
        return false;
    }
    module.create = reinterpret_cast<CreateDataFactoryObjectFunc>(
        dlsym(module.handle, "CreateDataFactoryObject"));
    module.destroy =
        reinterpret_cast<DeleteDataFactoryFunc>(dlsym(module.handle, "DeleteDataFactory"));
    if (!module.create || !module.destroy) {
        std::cerr << "strataloom: " << path << " is not a data module\n";
        return false;
    }
    return true;
}

template <class Interface>
std::unique_ptr<Interface> CreateData(IDataFactory& factory, const char* name,
                                      const std::string& connect) {
    std::unique_ptr<Interface> object(dynamic_cast<Interface*>(factory.CreateObject(name)));
    if (object) object->SetConnectString(connect.c_str());
    return object;
}

void PrintWells(const std::vector<BasicWellRecord>& wells) {
    std::printf("%-12s %-10s %12s %12s %4s %6s %8s %8s %10s\n", "WellName", "WellType", "Well_EW",
                "Well_SN", "Flag", "Symbol", "Kb", "Ekb", "WellDepth");
    for (const BasicWellRecord& w : wells) {
        std::printf("%-12s %-10s %12.2f %12.2f %4c %6d %8.2f %8.2f %10.2f\n", w.WellName.c_str(),
                    w.WellType.c_str(), w.Well_EW, w.Well_SN, w.WellFlag, w.WellSymbol, w.Kb, w.Ekb,
                    w.WellDepth);
    }
}

BasicWellRecord DemoWell(const char* name, const char* type, double ew, double sn, double depth) {
    BasicWellRecord well;
    well.WellName = name;
    well.WellType = type;
    well.Well_EW = ew;
    well.Well_SN = sn;
    well.WellSymbol = 3;
    well.Kb = 12.5;
    well.Ekb = 11.0;
    well.WellDepth = depth;
    return well;
}

// Makes DIR/Demo/Demo.mdb from the template, stores a few wells and prints
// what reads back.
int RunDemo(const std::vector<std::string>& args) {
    const fs::path parent =
        args.empty() ? fs::temp_directory_path() / "strataloom-demo" : fs::path(args[0]);
    const fs::path project = parent / "Demo";
    const fs::path database = project / "Demo.mdb";
    const fs::path templ = fs::path(STRATALOOM_DEFAULT_TEMPLATE_DIR) / "Projects.mdb";
    std::error_code error;
    fs::remove_all(project, error);
    fs::create_directories(project, error);
    if (!fs::copy_file(templ, database, error)) {
        std::cerr << "strataloom: cannot copy " << templ << ": " << error.message() << "\n";
        return 1;
    }
    Module module;
    if (!LoadModule(module)) return 1;
    IDataFactory* factory = module.create();
    int status = 1;
    {
        auto wells = CreateData<IBasicWellData>(*factory, "IBasicWellData", database.string());
        const std::vector<BasicWellRecord> stored = {
            DemoWell("Well-1", "oil", 20512345.0, 4412345.0, 2850.0),
            DemoWell("Well-2", "gas", 20513210.5, 4413002.25, 3120.0),
            DemoWell("Well-3", "water", 20511890.0, 4411876.0, 1985.5)};
        std::vector<BasicWellRecord> loaded;
        if (wells && wells->SaveWells("Demo", stored) && wells->LoadProjectWells("Demo", loaded)) {
            std::printf("Project database: %s\n", database.c_str());
            PrintWells(loaded);
            status = 0;
        } else {
            std::cerr << "strataloom: the demo wells could not be stored and read back\n";
        }
    }
    module.destroy(factory);
    return status;
}

void Usage() {
    std::cerr << "usage: strataloom demo [PARENT_DIR]\n"
                 "The module is " STRATALOOM_DEFAULT_MODULE
                 " unless STRATALOOM_MODULE names another.\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return 2;
    }
    const std::string command = argv[1];
    const std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "demo") return RunDemo(args);
    Usage();
    return 2;
}
