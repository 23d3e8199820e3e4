#include "frame/workdirectory.h"

#include <dlfcn.h>

#include <memory>

#include "quernxml/quernxml.h"

namespace strataloom {

namespace {

struct ModuleCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

std::string LoaderMessage() {
    const char* message = dlerror();
    return message ? message : "unknown loader error";
}

// The directory the code of this module was loaded from; empty when the
// loader cannot tell.
std::string ThisModuleDirectory() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&LookUpWorkDirectory), &info) || !info.dli_fname) {
        return std::string();
    }
    const std::string path = info.dli_fname;
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Beside this module first, so that a host gets the import module installed
// with it; then wherever the loader finds one.
ModuleHandle LoadImportModule(std::string& reason) {
    const std::string beside = ThisModuleDirectory();
    if (!beside.empty()) {
        const std::string path = beside + "/" + QUERNXML_MODULE_FILE;
        if (void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return ModuleHandle(handle);
    }
    void* handle = dlopen(QUERNXML_MODULE_FILE, RTLD_NOW | RTLD_LOCAL);
    if (!handle) reason = "import module " QUERNXML_MODULE_FILE " not found: " + LoaderMessage();
    return ModuleHandle(handle);
}

}  // namespace

bool LookUpWorkDirectory(std::string& directory, std::string& reason) {
    const ModuleHandle module = LoadImportModule(reason);
    if (!module) return false;
    const auto lookUp = reinterpret_cast<GetWorkDirectoryAndInitFileFunc>(
        dlsym(module.get(), QUERNXML_WORK_DIRECTORY_FUNCTION));
    if (!lookUp) {
        reason = "import module " QUERNXML_MODULE_FILE " has no " QUERNXML_WORK_DIRECTORY_FUNCTION
                 ": " +
                 LoaderMessage();
        return false;
    }
    std::string workDirectory;
    std::string initFile;
    lookUp(workDirectory, initFile);
    if (workDirectory.empty()) {
        reason = "import module " QUERNXML_MODULE_FILE " names no work directory";
        return false;
    }
    directory = std::move(workDirectory);
    return true;
}

}  // namespace strataloom
