// Commands that make projects: create-project and demo. Neither ever deletes
// or overwrites a folder or a database that it did not make in the same run.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "command.h"
#include "groups.h"
#include "module.h"
#include "serverconnect.h"

namespace fs = std::filesystem;

namespace tool {

namespace {

const char kTemplateFile[] = "Projects.mdb";
const char kDemoProject[] = "Demo";
const int kDemoNamesTried = 99;

// Where new projects go: folders under a parent directory, or databases on a server.
struct ProjectPlace {
    std::string parent;
    std::string server;
    std::string templateDir;

    bool OnServer() const { return !server.empty(); }
    std::string Connect(const std::string& name) const {
        return OnServer() ? ServerDatabaseConnect(server, name)
                          : (fs::path(parent) / name / (name + ".mdb")).string();
    }
    std::string Describe(const std::string& name) const {
        return OnServer() ? "database " + name + " on the server"
                          : (fs::path(parent) / name).string();
    }
};

enum class Storage { kCreated, kExists, kFailed };

// Takes the server of --server; kBadUsage (with the line said) when it is
// empty or comes with --template, which only folders use; else 0.
int ReadServerOption(const Invocation& invocation, ProjectPlace& place) {
    const Arguments& args = invocation.args;
    place.server = args.Value("--server");
    if (args.Has("--server") && place.server.empty()) {
        return invocation.BadUsage("--server needs a connection string");
    }
    if (place.OnServer() && args.Has("--template")) {
        return invocation.BadUsage("--template is for project directories, not with --server");
    }
    return kSuccess;
}

// The template folder given, or the first one beside the program that holds
// the template; empty (and the places said) when there is none.
std::string TemplateDir(const Arguments& args) {
    if (args.Has("--template")) return args.Value("--template");
    const std::vector<std::string> candidates = TemplateDirCandidates();
    std::string searched;
    for (const std::string& dir : candidates) {
        std::error_code error;
        if (fs::is_regular_file(fs::path(dir) / kTemplateFile, error)) return dir;
        searched += (searched.empty() ? "" : ", ") + dir;
    }
    std::cerr << "strataloom: the template project database " << kTemplateFile
              << " is in none of: " << searched << "; give its folder with --template DIR\n";
    return "";
}

Storage CreateStorage(Module& module, IBasicProjectData& projects, const ProjectPlace& place,
                      const std::string& name) {
    if (place.OnServer()) {
        const int boxes = module.BoxesShown();
        if (projects.CreateSqlServerDatabase(name.c_str(), place.server.c_str())) {
            return Storage::kCreated;
        }
        // A database of that name is there already: the module says so by its
        // result alone, without a box.
        if (module.BoxesShown() == boxes) return Storage::kExists;
    } else {
        // Only a name that is one folder can name an existing project; the
        // module says what is wrong with any other.
        std::error_code error;
        const bool oneFolder = !name.empty() && name != "." && name != ".." &&
                               name.find_first_of("/\\") == std::string::npos;
        if (oneFolder && fs::exists(fs::symlink_status(fs::path(place.parent) / name, error))) {
            return Storage::kExists;
        }
        if (projects.CreateProjectFiles(name.c_str(), place.parent.c_str(),
                                        place.templateDir.c_str())) {
            return Storage::kCreated;
        }
    }
    module.PrintFailureReason();
    return Storage::kFailed;
}

// Saves the header of a project this run has just made. A project folder whose
// header cannot be saved is removed again: it holds nothing of the user's.
bool SaveNewProjectHeader(Module& module, const ProjectPlace& place, const std::string& name) {
    const std::string connect = place.Connect(name);
    auto projects = module.Create<IBasicProjectData>("IBasicProjectData", connect);
    BasicProjectRecord header;
    header.ProjectName = name;
    header.Description = "created by the strataloom host program";
    if (projects && projects->SaveProject(header)) return true;
    if (projects) module.PrintFailureReason();
    std::cerr << "strataloom: the project header could not be saved in " << connect << "\n";
    if (!place.OnServer()) {
        std::error_code error;
        fs::remove_all(fs::path(place.parent) / name, error);
    } else {
        std::cerr << "strataloom: the new database " << name << " stays on the server\n";
    }
    return false;
}

// Makes project name at the place: its storage, then its header.
Storage CreateProject(Module& module, const ProjectPlace& place, const std::string& name) {
    auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
    if (!projects) return Storage::kFailed;
    const Storage storage = CreateStorage(module, *projects, place, name);
    if (storage != Storage::kCreated) return storage;
    return SaveNewProjectHeader(module, place, name) ? Storage::kCreated : Storage::kFailed;
}

int RunCreateProject(const Invocation& invocation) {
    const Arguments& args = invocation.args;
    ProjectPlace place;
    if (const int usage = ReadServerOption(invocation, place)) return usage;
    if (place.OnServer() && args.positional.size() != 1) {
        return invocation.BadUsage("with --server give only the project NAME");
    }
    if (!place.OnServer() && args.positional.size() != 2) {
        return invocation.BadUsage("give PARENT_DIR and NAME, or NAME with --server CONNECTION");
    }
    const std::string name = args.positional.back();
    if (!place.OnServer()) {
        place.parent = args.positional.front();
        place.templateDir = TemplateDir(args);
        if (place.templateDir.empty()) return kFailure;
    }
    Module module;
    if (!module.Load()) return kFailure;
    const Storage storage = CreateProject(module, place, name);
    if (storage == Storage::kExists) {
        std::cerr << "strataloom: the project " << place.Describe(name)
                  << " exists already; it was left as it is\n";
    }
    if (storage != Storage::kCreated) return kFailure;
    std::printf("Project %s: %s\n", name.c_str(), place.Connect(name).c_str());
    return kSuccess;
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

// Makes a fresh demo project: "Demo", or the first of "Demo2", "Demo3"...
// that is not there yet. Empty when none could be made.
std::string CreateDemoProject(Module& module, const ProjectPlace& place) {
    for (int n = 1; n <= kDemoNamesTried; ++n) {
        const std::string name = n == 1 ? kDemoProject : kDemoProject + std::to_string(n);
        const Storage storage = CreateProject(module, place, name);
        if (storage == Storage::kFailed) return "";
        if (storage == Storage::kCreated) {
            if (n > 1) {
                std::printf("%s exists and was left as it is; the demo project is %s\n",
                            place.Describe(kDemoProject).c_str(), place.Describe(name).c_str());
            }
            return name;
        }
    }
    std::cerr << "strataloom: " << place.Describe(kDemoProject) << " to "
              << place.Describe(kDemoProject + std::to_string(kDemoNamesTried))
              << " exist already; give another place\n";
    return "";
}

// Makes a demo project, stores a few wells in it and prints what reads back.
int RunDemo(const Invocation& invocation) {
    const Arguments& args = invocation.args;
    ProjectPlace place;
    if (const int usage = ReadServerOption(invocation, place)) return usage;
    if (place.OnServer() && !args.positional.empty()) {
        return invocation.BadUsage("with --server there is no PARENT_DIR");
    }
    if (!place.OnServer()) {
        place.parent = args.positional.empty()
                           ? (fs::temp_directory_path() / "strataloom-demo").string()
                           : args.positional[0];
        place.templateDir = TemplateDir(args);
        if (place.templateDir.empty()) return kFailure;
        std::error_code error;
        fs::create_directories(place.parent, error);
        if (error) {
            std::cerr << "strataloom: cannot make " << place.parent << ": " << error.message()
                      << "\n";
            return kFailure;
        }
    }
    Module module;
    if (!module.Load()) return kFailure;
    const std::string name = CreateDemoProject(module, place);
    if (name.empty()) return kFailure;
    const std::string connect = place.Connect(name);
    auto wells = module.Create<IBasicWellData>("IBasicWellData", connect);
    const std::vector<BasicWellRecord> stored = {
        DemoWell("Well-1", "oil", 20512345.0, 4412345.0, 2850.0),
        DemoWell("Well-2", "gas", 20513210.5, 4413002.25, 3120.0),
        DemoWell("Well-3", "water", 20511890.0, 4411876.0, 1985.5)};
    std::vector<BasicWellRecord> loaded;
    if (!wells || !wells->SaveWells(name.c_str(), stored) ||
        !wells->LoadProjectWells(name.c_str(), loaded)) {
        if (wells) module.PrintFailureReason();
        std::cerr << "strataloom: the demo wells could not be stored and read back in " << connect
                  << "\n";
        return kFailure;
    }
    std::printf("Project database: %s\n", connect.c_str());
    PrintWells(loaded);
    return kSuccess;
}

}  // namespace

CommandTable ProjectCommands() {
    return {
        {"create-project",
         "create-project PARENT_DIR NAME [--template DIR] | NAME --server CONNECTION",
         "Makes the project NAME and saves its header. On a directory: the folder\n"
         "PARENT_DIR/NAME holding NAME.mdb, a copy of the template project database\n"
         "DIR/Projects.mdb (by default the template installed with the program). On a\n"
         "server: the database NAME, restored from the server backup welltrove.bak,\n"
         "through CONNECTION, a connection string of the server's maintenance database.\n"
         "Prints the new project's connection string. A folder or database of that\n"
         "name that is there already is left as it is, and the command fails.\n",
         Syntax{1, 2, {{"--template", "DIR"}, {"--server", "CONNECTION"}}}, &RunCreateProject},
        {"demo", "demo [PARENT_DIR] [--template DIR] | --server CONNECTION",
         "Makes the project Demo under PARENT_DIR (by default strataloom-demo in the\n"
         "temporary folder) or on the server, stores three wells through the module and\n"
         "prints what reads back. When Demo is there already it is left as it is and the\n"
         "demo makes Demo2 (or the next free name) instead, and says so.\n",
         Syntax{0, 1, {{"--template", "DIR"}, {"--server", "CONNECTION"}}}, &RunDemo},
    };
}

}  // namespace tool
