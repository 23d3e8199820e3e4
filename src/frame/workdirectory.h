// The application's work directory, as the application's import module
// (libQuernxml.so) names it. The module is loaded for each lookup and
// unloaded after it, so that a host may replace it or change what it answers
// between two operations.
#pragma once

#include <string>

namespace strataloom {

// Loads the import module from the directory this module was loaded from,
// else by name through the loader's search path, and asks it for the work
// directory (without a trailing "/"). False, with the reason, when the
// import module or its function cannot be found or it names no directory.
bool LookUpWorkDirectory(std::string& directory, std::string& reason);

}  // namespace strataloom
