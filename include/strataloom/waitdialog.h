// The hooks through which the host shows the module's wait window.
#pragma once

#include "strataloom/idatabase.h"

extern "C" {

// Shows a modeless wait window with text and returns a handle for closing it.
typedef void* (*WaitDialogBeginHandler)(const char* text);
// Closes the window that the begin handler returned handle for.
typedef void (*WaitDialogEndHandler)(void* handle);

// Installs the host's wait window. A null handler restores its default: the
// begin default writes the text to standard error, the end default does nothing.
STRATALOOM_EXPORT void SetWaitDialogHandlers(WaitDialogBeginHandler begin,
                                             WaitDialogEndHandler end);

}  // extern "C"
