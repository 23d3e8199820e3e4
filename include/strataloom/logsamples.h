// Log curves for callers that mark a missing sample with NaN, as numpy and
// pandas do, rather than with the well's null value.
#pragma once

#include "strataloom/ilogdata.h"

extern "C" {

// Loads as logs->LoadWellData does, with every sample equal to the null value
// of its row read as NaN in each curve that is not a depth curve (depth
// curves keep their values as stored). The module's own data objects replace
// the samples as they copy them from the database, so this costs about what
// LoadWellData does; any other ILogData loads, then the set is passed over.
STRATALOOM_EXPORT int StrataloomLoadWellDataNullsAsNaN(ILogData* logs, const char* well,
                                                       LogCurveSet* set);

// Every sample equal to set->NullValue becomes NaN, in each curve that is not
// its own depth curve.
STRATALOOM_EXPORT void StrataloomNullsToNaN(LogCurveSet* set);
}
