// What a host compiled against the public headers alone needs to drive the
// module: loading it with dlopen, answering its boxes and wait windows
// without a user, data objects from its factory, a copy of the template,
// well headers for the well-bore checks, the server part, and a tally of
// checks.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "strataloom/strataloom.h"

namespace host {

namespace detail {
// The host's side of the module's boxes: each is counted and its text kept,
// and it is answered with the answer set last.
struct BoxTally {
    int shown = 0;
    int answer = IDOK;
    std::string lastText;
};
inline BoxTally g_boxes;
inline int AnsweringBox(const char* text, const char*, unsigned int) {
    ++g_boxes.shown;
    g_boxes.lastText = text ? text : "";
    return g_boxes.answer;
}
inline void* NoWaitWindow(const char*) {
    return nullptr;
}
inline void EndNoWaitWindow(void*) {}
}  // namespace detail

class Module {
  public:
    explicit Module(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {
        if (!handle_) {
            std::fprintf(stderr, "dlopen: %s\n", dlerror());
            return;
        }
        create_ = reinterpret_cast<CreateDataFactoryObjectFunc>(
            dlsym(handle_, "CreateDataFactoryObject"));
        destroy_ = reinterpret_cast<DeleteDataFactoryFunc>(dlsym(handle_, "DeleteDataFactory"));
        if (create_) factory_ = create_();
    }
    ~Module() {
        if (factory_ && destroy_) destroy_(factory_);
        if (handle_) dlclose(handle_);
    }
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    bool Loaded() const { return factory_ != nullptr && destroy_ != nullptr; }
    void* Symbol(const char* name) const { return dlsym(handle_, name); }
    IDataFactory& Factory() { return *factory_; }
    void DeleteFactory() {
        destroy_(factory_);
        factory_ = nullptr;
    }

    // Answers the module's boxes itself (OK until AnswerBoxesWith says
    // otherwise), counting them, and shows no wait window, so that a check
    // runs without a user. False without the hooks.
    bool QuietHooks() {
        auto setBox = reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(
            Symbol("SetMessageBoxHandler"));
        auto setWait = reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
            Symbol("SetWaitDialogHandlers"));
        if (!setBox || !setWait) return false;
        setBox(&detail::AnsweringBox);
        setWait(&detail::NoWaitWindow, &detail::EndNoWaitWindow);
        return true;
    }
    // Boxes shown since QuietHooks or the last ForgetBoxes, and the text of
    // the last one.
    static int BoxesShown() { return detail::g_boxes.shown; }
    static const std::string& LastBoxText() { return detail::g_boxes.lastText; }
    static void ForgetBoxes() { detail::g_boxes.shown = 0; }
    // The answer of the boxes to come: IDYES or IDNO for the module's questions.
    static void AnswerBoxesWith(int answer) { detail::g_boxes.answer = answer; }

    template <class Interface>
    std::unique_ptr<Interface> Create(const char* name, const std::string& connect) {
        std::unique_ptr<Interface> object(dynamic_cast<Interface*>(factory_->CreateObject(name)));
        if (object) object->SetConnectString(connect.c_str());
        return object;
    }

  private:
    void* handle_;
    CreateDataFactoryObjectFunc create_ = nullptr;
    DeleteDataFactoryFunc destroy_ = nullptr;
    IDataFactory* factory_ = nullptr;
};

// A directory of its own under the system's temporary folder, named after
// the check and the process, removed with it.
class ScratchDir {
  public:
    explicit ScratchDir(const std::string& name)
        : path_(std::filesystem::temp_directory_path() /
                (name + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A copy of the template database in a scratch directory of its own.
class TemplateCopy {
  public:
    TemplateCopy(const char* templatePath, const std::string& name)
        : dir_(name), db_((dir_.Path() / "Host.mdb").string()) {
        std::filesystem::copy_file(templatePath, db_);
    }

    const std::string& Db() const { return db_; }

  private:
    ScratchDir dir_;
    std::string db_;
};

// Stores well headers of the given names in the project, as the well-bore
// checks need them for their project operations.
inline bool SaveProjectWells(Module& module, const std::string& db, const char* project,
                             const NameList& names) {
    auto wells = module.Create<IBasicWellData>("IBasicWellData", db);
    std::vector<BasicWellRecord> records(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) records[i].WellName = names[i];
    return wells && wells->SaveWells(project, records) == 1;
}

class Checks {
  public:
    void operator()(bool ok, const std::string& what) {
        std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
        if (!ok) ++failures_;
    }
    int Finish() const {
        std::printf("%d failed\n", failures_);
        return failures_ == 0 ? 0 : 1;
    }

  private:
    int failures_ = 0;
};

// With STRATALOOM_TEST_SERVER set, makes a database of the check's name on
// that server with CreateSqlServerDatabase and calls run with its connection
// string; otherwise says that the server part is skipped.
template <class Run>
void OnTestServer(Module& module, Checks& check, const std::string& name, Run&& run) {
    const char* server = std::getenv("STRATALOOM_TEST_SERVER");
    if (!server || !*server) {
        std::printf("skip server part: STRATALOOM_TEST_SERVER is not set\n");
        return;
    }
    auto projects = module.Create<IBasicProjectData>("IBasicProjectData", "");
    const std::string database = name + std::to_string(::getpid());
    check(projects && projects->CreateSqlServerDatabase(database.c_str(), server) == 1,
          "CreateSqlServerDatabase");
    run(std::string(server) + " dbname=" + database);
}

// What a check runs on one database: on is "" on the template copy and
// " on the server" on the server database, to tell their checks apart.
using Run = void (*)(Module& module, Checks& check, const std::string& db, const std::string& on);

// The whole of a check that runs on a copy of the template (its second
// argument) and, where the test server is set, on a database of its own
// there; name names the check, its scratch directory and its database.
inline int RunOnTemplateAndServer(int argc, char** argv, const std::string& name, Run run) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: host_%s_check MODULE TEMPLATE\n", name.c_str());
        return 2;
    }
    const TemplateCopy copy(argv[2], "strataloom-" + name);
    Checks check;
    Module module(argv[1]);
    if (!module.Loaded()) return 1;
    check(module.QuietHooks(), "host hooks found");
    run(module, check, copy.Db(), "");
    OnTestServer(module, check, "strataloom_" + name,
                 [&](const std::string& server) { run(module, check, server, " on the server"); });
    return check.Finish();
}

}  // namespace host
