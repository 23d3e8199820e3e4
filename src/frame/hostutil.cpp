#include "frame/hostutil.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

namespace fs = std::filesystem;

namespace {

void* DefaultBeginWaiting(const char* text) {
    std::fprintf(stderr, "%s\n", text ? text : "");
    return nullptr;
}

void DefaultEndWaiting(void*) {}

struct WaitHandlers {
    WaitDialogBeginHandler begin = &DefaultBeginWaiting;
    WaitDialogEndHandler end = &DefaultEndWaiting;
};

// The two handlers are installed together, so the end handler always belongs
// to the begin handler that was installed with it.
std::mutex g_waitMutex;
WaitHandlers g_wait;

WaitHandlers CurrentWaitHandlers() {
    std::lock_guard<std::mutex> lock(g_waitMutex);
    return g_wait;
}

}  // namespace

extern "C" STRATALOOM_EXPORT void SetWaitDialogHandlers(WaitDialogBeginHandler begin,
                                                        WaitDialogEndHandler end) {
    std::lock_guard<std::mutex> lock(g_waitMutex);
    g_wait.begin = begin ? begin : &DefaultBeginWaiting;
    g_wait.end = end ? end : &DefaultEndWaiting;
}

namespace strataloom {

void* BeginWaitingDlg(const char* text) {
    return CurrentWaitHandlers().begin(text);
}

void EndWaitingDlg(void* handle) {
    CurrentWaitHandlers().end(handle);
}

std::string GetCommandDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (error) return std::string();
    std::string directory = program.parent_path().string();
    // Callers append "/" and a file name, so the root directory comes back empty.
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory == "/" ? std::string() : directory;
}

}  // namespace strataloom

namespace strataloom {

namespace {

// A directory as the other places are given: absolute, normalised, without a
// trailing separator.
std::string PlainDirectory(const fs::path& directory) {
    std::string text = directory.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    return text;
}

}  // namespace

std::string GetModuleDirectory() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&GetModuleDirectory), &info) || !info.dli_fname ||
        !*info.dli_fname) {
        return std::string();
    }
    // The loader may name the module through a linked folder (/lib for
    // /usr/lib): the folders beside it are those of the real folder.
    std::error_code error;
    const fs::path module = fs::absolute(info.dli_fname, error);
    if (error) return std::string();
    const fs::path folder = fs::canonical(module.parent_path(), error);
    return error ? std::string() : PlainDirectory(folder);
}

std::vector<std::string> DataFilePlaces() {
    std::vector<std::string> places;
    const auto add = [&places](const std::string& place) {
        if (!place.empty() && std::find(places.begin(), places.end(), place) == places.end()) {
            places.push_back(place);
        }
    };
    add(GetCommandDirectory());
    const std::string module = GetModuleDirectory();
    add(module);
    if (!module.empty()) add(PlainDirectory(fs::path(module) / ".." / "share" / "strataloom"));
#ifdef STRATALOOM_LIB_TO_DATA
    // The install's layout, where the library folder may lie deeper (lib/x86_64-linux-gnu).
    if (!module.empty()) add(PlainDirectory(fs::path(module) / STRATALOOM_LIB_TO_DATA));
#endif
#ifdef STRATALOOM_INSTALLED_DATA_DIR
    add(PlainDirectory(STRATALOOM_INSTALLED_DATA_DIR));
#endif
    return places;
}

std::string FindDataFile(const std::string& fileName) {
    for (const std::string& place : DataFilePlaces()) {
        const std::string path = place + "/" + fileName;
        std::error_code error;
        if (fs::is_regular_file(path, error)) return path;
    }
    return std::string();
}

std::string MissingDataFileReason(const std::string& fileName,
                                  const std::vector<std::string>& places) {
    std::string text = fileName + " was not found; searched:";
    for (const std::string& place : places) text += " " + place + ";";
    if (!places.empty()) text.pop_back();
    return text;
}

std::string LocateDataFile(const std::string& fileName) {
    const std::string found = FindDataFile(fileName);
    if (!found.empty()) return found;
    return GetCommandDirectory() + "/" + fileName;
}

}  // namespace strataloom
