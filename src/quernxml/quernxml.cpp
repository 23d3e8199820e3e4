// The least an import module must do for Strataloom's hosts: name the work
// directory, from STRATALOOM_WORK_DIR when it is set, else the current
// directory, and the initialisation file "Quernxml.ini" inside it.
#include "quernxml/quernxml.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <type_traits>

namespace {

std::string CurrentDirectory() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

// The directory without trailing separators ("/" itself stays "/").
std::string WithoutTrailingSeparator(std::string directory) {
    while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    return directory;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void GetWorkDirectoryAndInitFile(
    std::string& workDirectory, std::string& initFile) {
    // Called across a module boundary: nothing may be thrown back.
    try {
        const char* configured = std::getenv("STRATALOOM_WORK_DIR");
        workDirectory = WithoutTrailingSeparator(configured ? configured : CurrentDirectory());
        initFile = workDirectory.empty() ? std::string() : workDirectory + "/Quernxml.ini";
    } catch (...) {
        workDirectory.clear();
        initFile.clear();
    }
}

// The loader calls it through this type.
static_assert(
    std::is_same_v<decltype(&GetWorkDirectoryAndInitFile), GetWorkDirectoryAndInitFileFunc>);
