// The hooks through which the host shows the module's wait window: a modeless
// window with a line of text, up while a long operation runs (the restore of a
// new server database, in CreateSqlServerDatabase).
#pragma once

#include "strataloom/idatabase.h"

extern "C" {

// Shows a modeless wait window with text and returns a handle for closing it.
typedef void* (*WaitDialogBeginHandler)(const char* text);
// Closes the window that the begin handler returned handle for. Called once
// per begin, on the same thread, also when the operation fails; the outcome's
// message box is shown before the window closes.
typedef void (*WaitDialogEndHandler)(void* handle);

// Installs the host's wait window. A null handler restores its default: the
// begin default writes the text to standard error, the end default does nothing.
// The pair is replaced together, so an end always belongs to its begin.
STRATALOOM_EXPORT void SetWaitDialogHandlers(WaitDialogBeginHandler begin,
                                             WaitDialogEndHandler end);

}  // extern "C"
