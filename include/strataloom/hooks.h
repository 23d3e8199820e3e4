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
// application's title, "Strataloom". The texts are UTF-8 (Chinese, as the
// application shows them); type is MB_OK or MB_YESNO. The module calls it on
// the thread of the operation, which waits for the answer; a question answered
// IDNO changes nothing.
typedef int (*MessageBoxHandler)(const char* text, const char* caption, unsigned int type);

// The types of the two entry points, for hosts that look them up with dlsym.
typedef IDataFactory* (*CreateDataFactoryObjectFunc)();
typedef void (*DeleteDataFactoryFunc)(IDataFactory* factory);

// A new data factory, owned by the caller until DeleteDataFactory; null only
// when memory runs out. Any number of factories may exist at once.
STRATALOOM_EXPORT IDataFactory* CreateDataFactoryObject();
// Destroys a factory made by CreateDataFactoryObject; null does nothing. The
// data objects it made stay usable.
STRATALOOM_EXPORT void DeleteDataFactory(IDataFactory* factory);

// Installs the host's message box; returns the previous handler. A null handler
// restores the default, which writes "caption: text" to standard error and
// answers IDOK to MB_OK and IDNO to MB_YESNO without waiting. The handler is
// the module's for the whole process: install it once, before the first
// operation.
STRATALOOM_EXPORT MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // extern "C"
