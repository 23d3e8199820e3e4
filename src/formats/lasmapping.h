// How a LAS file maps onto a well: its header from ~W (and ~P), its curves as
// one set whose index curve is the depth curve of every other; and back.
#pragma once

#include <string>

#include "formats/diagnostics.h"
#include "formats/las.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/ilogdata.h"

namespace strataloom::formats {

// The well a file speaks of: WELL of ~W, else UWI, else the file's name
// without its extension (with a warning).
std::string LasWellName(const LasFile& las, const std::string& path, Diagnostics& diagnostics);

// The curves of the file as one set: the index curve (the first) designates
// itself and every other curve designates it; units go to Measure, NULL to
// NullValue. The samples are moved out of las.
LogCurveSet LasToCurves(LasFile& las, const std::string& well);

// A new well header from the file: surface coordinates (X/Y, XCOOR/YCOOR,
// EASTING/NORTHING), kelly bushing elevation (EKB or KB) into Kb, ground
// elevation (EGL or GL) into Ekb, each elevation raised by EPD when the file
// gives that datum, and total depth (TD, TDD) into WellDepth. Items are
// looked for in ~W, then in ~P.
BasicWellRecord LasToWellHeader(const LasFile& las, const std::string& well);

// The curves of set that take their depths from its record `depth`, that one
// first, as a LAS file; header, when given, adds the well's coordinates and
// elevations. Curves of another length than the depth curve are left out
// with a warning.
LasFile CurvesToLas(const LogCurveSet& set, std::size_t depth, const BasicWellRecord* header,
                    Diagnostics& diagnostics);

// The record of set to export by default: the depth curve that most curves
// use (the first of equals); set.Records.size() when there is none.
std::size_t MainDepthCurve(const LogCurveSet& set);

}  // namespace strataloom::formats
