// The exported reason for the last failure on the calling thread.
#include "strataloom/lasterror.h"

#include "dbaccess/failure.h"

extern "C" STRATALOOM_EXPORT const char* StrataloomLastError(void) {
    return strataloom::db::LastFailure().c_str();
}
