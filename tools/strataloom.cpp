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

// Why the module's last operation on this thread failed, when it can tell.
StrataloomLastErrorFunc g_lastError = nullptr;

void ReportFailure(const std::string& what) {
    const char* reason = g_lastError ? g_lastError() : nullptr;
    std::cerr << "strataloom: " << what;
    if (reason && *reason) std::cerr << ": " << reason;
    std::cerr << "\n";
}

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
    g_lastError =
        reinterpret_cast<StrataloomLastErrorFunc>(dlsym(module.handle, "StrataloomLastError"));
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

// Options after the positional arguments: "--template DIR", "--server CONNECTION".
struct Options {
    std::vector<std::string> positional;
    std::string templateDir = STRATALOOM_DEFAULT_TEMPLATE_DIR;
    std::string server;
};

bool ParseOptions(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if ((args[i] == "--template" || args[i] == "--server") && i + 1 < args.size()) {
            (args[i] == "--template" ? options.templateDir : options.server) = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            std::cerr << "strataloom: unknown option " << args[i] << "\n";
            return false;
        } else {
            options.positional.push_back(args[i]);
        }
    }
    return true;
}

// The connection string of database `name` on the server of `server`.
std::string ServerDatabaseConnect(const std::string& server, const std::string& name) {
    for (const char* scheme : {"postgresql://", "postgres://"}) {
        if (server.rfind(scheme, 0) != 0) continue;
        const std::size_t authority = std::char_traits<char>::length(scheme);
        const std::size_t path = server.find('/', authority);
        const std::size_t query = server.find('?', authority);
        const std::string head = server.substr(0, std::min(path, query));
        const std::string tail = query == std::string::npos ? "" : server.substr(query);
        return head + "/" + name + tail;
    }
    return server + " dbname=" + name;  // a later keyword overrides an earlier one
}

// Creates the project's storage, a directory with a database file or a
// database on a server, and saves its header. Returns the new database's
// connection string, or empty on failure.
std::string CreateProject(IDataFactory& factory, const std::string& parent, const std::string& name,
                          const Options& options) {
    auto projects = CreateData<IBasicProjectData>(factory, "IBasicProjectData", "");
    if (!projects) return "";
    std::string connect;
    if (!options.server.empty()) {
        // An existing database of that name is used as it is.
        projects->CreateSqlServerDatabase(name.c_str(), options.server.c_str());
        connect = ServerDatabaseConnect(options.server, name);
    } else {
        if (!projects->CreateProjectFiles(name.c_str(), parent.c_str(),
                                          options.templateDir.c_str())) {
            ReportFailure("the project could not be created");
            return "";
        }
        connect = (fs::path(parent) / name / (name + ".mdb")).string();
    }
    projects->SetConnectString(connect.c_str());
    BasicProjectRecord header;
    header.ProjectName = name;
    header.Description = "created by the strataloom host program";
    if (!projects->SaveProject(header)) {
        ReportFailure("the project header could not be saved in " + connect);
        return "";
    }
    return connect;
}

int RunCreateProject(IDataFactory& factory, const Options& options) {
    const bool onServer = !options.server.empty();
    if (options.positional.size() != (onServer ? 1u : 2u)) return 2;
    const std::string name = options.positional.back();
    const std::string parent = onServer ? "" : options.positional.front();
    const std::string connect = CreateProject(factory, parent, name, options);
    if (connect.empty()) return 1;
    std::printf("Project %s: %s\n", name.c_str(), connect.c_str());
    return 0;
}

// Makes a project "Demo" (under PARENT, or on the server), stores a few wells
// and prints what reads back.
int RunDemo(IDataFactory& factory, const Options& options) {
    const fs::path parent = options.positional.empty()
                                ? fs::temp_directory_path() / "strataloom-demo"
                                : fs::path(options.positional[0]);
    if (options.server.empty()) {
        std::error_code error;
        fs::remove_all(parent / "Demo", error);
        fs::create_directories(parent, error);
    }
    const std::string connect = CreateProject(factory, parent.string(), "Demo", options);
    if (connect.empty()) return 1;
    auto wells = CreateData<IBasicWellData>(factory, "IBasicWellData", connect);
    const std::vector<BasicWellRecord> stored = {
        DemoWell("Well-1", "oil", 20512345.0, 4412345.0, 2850.0),
        DemoWell("Well-2", "gas", 20513210.5, 4413002.25, 3120.0),
        DemoWell("Well-3", "water", 20511890.0, 4411876.0, 1985.5)};
    std::vector<BasicWellRecord> loaded;
    if (!wells || !wells->SaveWells("Demo", stored) || !wells->LoadProjectWells("Demo", loaded)) {
        ReportFailure("the demo wells could not be stored and read back");
        return 1;
    }
    std::printf("Project database: %s\n", connect.c_str());
    PrintWells(loaded);
    return 0;
}

void Usage() {
    std::cerr << "usage: strataloom demo [PARENT_DIR] [--server CONNECTION]\n"
                 "       strataloom create-project PARENT_DIR NAME [--template DIR]\n"
                 "       strataloom create-project NAME --server CONNECTION\n"
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
    Options options;
    if ((command != "demo" && command != "create-project") ||
        !ParseOptions(std::vector<std::string>(argv + 2, argv + argc), options)) {
        Usage();
        return 2;
    }
    Module module;
    if (!LoadModule(module)) return 1;
    IDataFactory* factory = module.create();
    if (!factory) return 1;
    const int status =
        command == "demo" ? RunDemo(*factory, options) : RunCreateProject(*factory, options);
    module.destroy(factory);
    if (status == 2) Usage();
    return status;
}
