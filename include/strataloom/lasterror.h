// Why an operation failed. Operations answer 1 or 0; after a 0 the host asks
// here for the reason, for its log or its user.
#pragma once

#include "strataloom/idatabase.h"

extern "C" {

typedef const char* (*StrataloomLastErrorFunc)(void);

// The reason for the last failure of an operation on the calling thread: the
// engine's message with the project file or database and, where one was
// running, the statement (for a refused argument, the text of the message box
// shown); the empty text after an operation that succeeded. The text is the
// module's and stays valid until the thread's next operation. The same reason
// goes to the statement trace, as a line "-- failed: " + reason.
STRATALOOM_EXPORT const char* StrataloomLastError(void);

}  // extern "C"
