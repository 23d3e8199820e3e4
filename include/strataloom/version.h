// The module's version. The macros give the version of the headers a host was
// compiled with; StrataloomVersion() gives the version of the module actually
// loaded, so a host can tell the two apart. Versions of one major number keep
// every interface, record and exported function as it is.
#pragma once

#include "strataloom/idatabase.h"

#define STRATALOOM_VERSION_MAJOR 0
#define STRATALOOM_VERSION_MINOR 1
#define STRATALOOM_VERSION_PATCH 0
// "MAJOR.MINOR.PATCH" of the three numbers above.
#define STRATALOOM_VERSION "0.1.0"

extern "C" {

typedef const char* (*StrataloomVersionFunc)(void);

// The loaded module's version, "MAJOR.MINOR.PATCH": static text, never null.
STRATALOOM_EXPORT const char* StrataloomVersion(void);

}  // extern "C"
