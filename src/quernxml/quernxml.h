// The application's import module, libQuernxml.so: a library of its own that
// Strataloom loads by name at run time, only to learn the application's work
// directory (where the picture folder lives).
#pragma once

#include <string>

// The import module's file name, as the loader looks it up.
#define QUERNXML_MODULE_FILE "libQuernxml.so"
// The name under which it exports GetWorkDirectoryAndInitFile.
#define QUERNXML_WORK_DIRECTORY_FUNCTION "GetWorkDirectoryAndInitFile"

extern "C" {

// Fills the work directory (no trailing "/") and the application's
// initialisation file inside it. Both are left empty when no directory is
// known.
typedef void (*GetWorkDirectoryAndInitFileFunc)(std::string& workDirectory, std::string& initFile);

}  // extern "C"
