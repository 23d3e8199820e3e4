// Exported entry points and the hooks through which the host decides how the
// module's message boxes and wait windows look.
#pragma once

#include "strataloom/idatabase.h"

#ifndef MB_OK
#define MB_OK 0x0
#endif
#ifndef MB_YESNO
#define MB_YESNO 0x4
#endif
#ifndef IDOK
#define IDOK 1
#endif
#ifndef IDYES
#define IDYES 6
#endif
#ifndef IDNO
#define IDNO 7
#endif

extern "C" {

// Shows a modal box and returns the button pressed (IDOK, IDYES, IDNO).
// caption is null for the application's own box: the host then shows the
// application's title, "Strataloom".
typedef int (*MessageBoxHandler)(const char* text, const char* caption, unsigned int type);

typedef IDataFactory* (*CreateDataFactoryObjectFunc)();
typedef void (*DeleteDataFactoryFunc)(IDataFactory* factory);

STRATALOOM_EXPORT IDataFactory* CreateDataFactoryObject();
STRATALOOM_EXPORT void DeleteDataFactory(IDataFactory* factory);

// Installs the host's message box; returns the previous handler. A null handler
// restores the default, which writes "caption: text" to standard error and
// answers IDOK to MB_OK and IDNO to MB_YESNO without waiting.
STRATALOOM_EXPORT MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // extern "C"
