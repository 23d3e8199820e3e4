#include "frame/hostutil.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>

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
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return std::string();
    std::string directory = program.parent_path().string();
    // Callers append "/" and a file name, so the root directory comes back empty.
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory == "/" ? std::string() : directory;
}

}  // namespace strataloom
