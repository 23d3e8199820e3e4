// A host built against an installed module, linked to it: checks the version,
// makes a project from the installed template, stores and reads back a well,
// and sees the server backup taken from the installed data folder although
// the program itself lies elsewhere.
// Usage: install_host DATA_DIR WORK_DIR
#include <strataloom/strataloom.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) ++g_failures;
}

int QuietBox(const char*, const char*, unsigned int) {
    return IDOK;
}
void* QuietWait(const char*) {
    return nullptr;
}
void QuietEnd(void*) {}

template <class Interface>
std::unique_ptr<Interface> Create(IDataFactory& factory, const char* name,
                                  const std::string& connect) {
    std::unique_ptr<Interface> object(dynamic_cast<Interface*>(factory.CreateObject(name)));
    if (object) object->SetConnectString(connect.c_str());
    return object;
}

// The backup file named by the restore statement in the statement trace.
std::string RestoredBackup(const std::string& trace) {
    std::ifstream file(trace);
    const std::string marker = "FROM DISK = '";
    for (std::string line; std::getline(file, line);) {
        const std::size_t start = line.find(marker);
        if (start == std::string::npos) continue;
        const std::size_t from = start + marker.size();
        return line.substr(from, line.find('\'', from) - from);
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: install_host DATA_DIR WORK_DIR\n");
        return 2;
    }
    const std::string data = argv[1];
    const std::string work = argv[2];
    SetMessageBoxHandler(&QuietBox);
    SetWaitDialogHandlers(&QuietWait, &QuietEnd);
    Check(std::string(StrataloomVersion()) == STRATALOOM_VERSION,
          std::string("module version ") + StrataloomVersion() + " is that of the headers");

    IDataFactory* factory = CreateDataFactoryObject();
    auto projects = Create<IBasicProjectData>(*factory, "IBasicProjectData", "");
    Check(projects && projects->CreateProjectFiles("Installed", work.c_str(),
                                                   (data + "/template").c_str()) == 1,
          "project made from the installed template");
    const std::string database = work + "/Installed/Installed.mdb";
    auto wells = Create<IBasicWellData>(*factory, "IBasicWellData", database);
    DeleteDataFactory(factory);
    BasicWellRecord well;
    well.WellName = "W-1";
    well.WellDepth = 2850.0;
    BasicWellRecord loaded;
    Check(wells && wells->SaveWell("Installed", well) == 1 && wells->LoadWell("W-1", loaded) == 1 &&
              loaded.WellDepth == 2850.0,
          "a well stored and read back");

    const std::string trace = work + "/statements.log";
    setenv("STRATALOOM_SQL_TRACE", trace.c_str(), 1);
    projects->CreateSqlServerDatabase("Probe", "host=/nonexistent-strataloom-server port=1");
    unsetenv("STRATALOOM_SQL_TRACE");
    const std::string backup = RestoredBackup(trace);
    std::error_code error;
    Check(fs::equivalent(backup, data + "/welltrove.bak", error),
          "the server backup is taken from the installed data folder: " + backup);

    std::printf("%d failed\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}
