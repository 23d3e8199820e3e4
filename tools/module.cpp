#include "module.h"

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace fs = std::filesystem;

namespace tool {

namespace {

// The failure reason of the module's last failed operation on this thread;
// modules before it was exported do not have it.
typedef const char* (*LastErrorFunc)(void);

std::atomic<int> g_boxes{0};
// The text of the last box, for a failure whose module tells no reason.
thread_local std::string g_lastBox;

// The module's boxes never wait on the command line: OK, and No to questions,
// so no answer changes data unasked. They are not printed: the module's
// failure reason says in English what a box says in the application's
// language, and quotes it.
int KeepBox(const char* text, const char* caption, unsigned int type) {
    ++g_boxes;
    g_lastBox =
        (caption && *caption ? std::string(caption) + ": " : std::string()) + (text ? text : "");
    return (type & 0xF) == MB_YESNO ? IDNO : IDOK;
}

// The wait window is one line on standard error; nothing to close.
void* PrintWaiting(const char*) {
    std::cerr << "strataloom: the module is at work, please wait\n";
    return nullptr;
}

void EndWaiting(void*) {}

// The places relative to the program's folder: the layout of the build tree,
// then the one of the configured install when that differs.
std::vector<std::string> BesideProgram(const std::vector<std::string>& relatives,
                                       const std::string& leaf) {
    std::vector<std::string> places;
    for (const std::string& relative : relatives) {
        fs::path path = fs::path(ProgramDirectory()) / relative;
        if (!leaf.empty()) path /= leaf;
        std::string place = path.lexically_normal().string();
        while (place.size() > 1 && place.back() == '/') place.pop_back();
        if (std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(place);
        }
    }
    return places;
}

std::string Joined(const std::vector<std::string>& places) {
    std::string text;
    for (const std::string& place : places) text += (text.empty() ? "" : ", ") + place;
    return text;
}

}  // namespace

std::string ProgramDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string(".") : program.parent_path().string();
}

std::string ModuleFileName() {
    return STRATALOOM_MODULE_FILE;
}

std::string NamedModule() {
    const char* named = std::getenv("STRATALOOM_MODULE");
    return named ? named : "";
}

std::vector<std::string> ModuleCandidates() {
    if (!NamedModule().empty()) return {NamedModule()};
    return BesideProgram({"../lib", STRATALOOM_BIN_TO_LIB}, STRATALOOM_MODULE_FILE);
}

std::vector<std::string> TemplateDirCandidates() {
    const std::string data = STRATALOOM_BIN_TO_DATA;
    return BesideProgram({"../share/strataloom/template", data + "/template"}, "");
}

Module::~Module() {
    if (factory_ && destroy_) destroy_(factory_);
    if (handle_) dlclose(handle_);
}

bool Module::Load() {
    const std::vector<std::string> candidates = ModuleCandidates();
    path_ = NamedModule();
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (path_.empty() && fs::exists(candidate, error)) path_ = candidate;
    }
    if (path_.empty()) {
        std::cerr << "strataloom: the module " << STRATALOOM_MODULE_FILE
                  << " is in none of: " << Joined(candidates)
                  << "; set STRATALOOM_MODULE to its path\n";
        return false;
    }
    handle_ = dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        std::cerr << "strataloom: cannot load the module: " << dlerror() << "\n";
        return false;
    }
    const auto create =
        reinterpret_cast<CreateDataFactoryObjectFunc>(Symbol("CreateDataFactoryObject"));
    destroy_ = reinterpret_cast<DeleteDataFactoryFunc>(Symbol("DeleteDataFactory"));
    const auto setBox =
        reinterpret_cast<MessageBoxHandler (*)(MessageBoxHandler)>(Symbol("SetMessageBoxHandler"));
    const auto setWait = reinterpret_cast<void (*)(WaitDialogBeginHandler, WaitDialogEndHandler)>(
        Symbol("SetWaitDialogHandlers"));
    if (!create || !destroy_ || !setBox || !setWait) {
        std::cerr << "strataloom: " << path_ << " is not a data module\n";
        return false;
    }
    setBox(&KeepBox);
    setWait(&PrintWaiting, &EndWaiting);
    factory_ = create();
    if (!factory_) {
        std::cerr << "strataloom: the module made no data factory\n";
        PrintFailureReason();
        return false;
    }
    return true;
}

std::string Module::Version() const {
    const auto version = reinterpret_cast<StrataloomVersionFunc>(Symbol("StrataloomVersion"));
    const char* text = version ? version() : nullptr;
    return text ? text : "";
}

int Module::BoxesShown() const {
    return g_boxes.load();
}

std::string Module::FailureReason() const {
    const auto lastError = reinterpret_cast<LastErrorFunc>(Symbol("StrataloomLastError"));
    const char* reason = lastError ? lastError() : nullptr;
    if (reason && *reason) return reason;
    return g_lastBox.empty() ? "" : "the module said \"" + g_lastBox + "\"";
}

void Module::PrintFailureReason() const {
    const std::string reason = FailureReason();
    if (!reason.empty()) std::cerr << "strataloom: reason: " << reason << "\n";
}

void* Module::Symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

}  // namespace tool
