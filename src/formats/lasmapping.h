// How a LAS file maps onto a well: its header from ~W (and ~P), its curves as
// one set whose index curve is the depth curve of every other; and back.
#pragma once

#include <string>

#include "formats/depthunit.h"
#include "formats/diagnostics.h"
#include "formats/las.h"
#include "formats/lasheaderstore.h"
#include "strataloom/ibasicwelldata.h"
#include "strataloom/ilogdata.h"

namespace strataloom::formats {

// The well a file speaks of: WELL of ~W, else UWI, else the file's name
// without its extension (with a warning).
std::string LasWellName(const LasFile& las, const std::string& path, Diagnostics& diagnostics);

// The unit of the file's depths: the index curve's, else STRT's. False
// when neither names metres or feet.
bool LasDepthUnit(const LasFile& las, DepthUnit& unit);

// From the unit of a file (when known) into the project's.
struct DepthConversion {
    bool fileUnitKnown = false;
    DepthUnit file = DepthUnit::kMetre;
    DepthUnit project = DepthUnit::kMetre;

    bool Converts() const { return fileUnitKnown && file != project; }
    // A depth of the file in the project's unit; unit, when it names one,
    // overrides the file's (an elevation item "EKB.F" in a metre file).
    double operator()(double depth, std::string_view unit = {}) const;
};

// The curves of the file as one set: the index curve (the first) designates
// itself and every other curve designates it; units go to Measure, NULL to
// NullValue. The samples are moved out of las; the index curve's depths are
// converted into the project's unit (its Measure then names that unit).
LogCurveSet LasToCurves(LasFile& las, const std::string& well,
                        const DepthConversion& depths = DepthConversion());

// A new well header from the file, items looked for in ~W, then in ~P; an
// item whose value is the file's NULL is missing, and the next one is taken:
// - Well_EW, Well_SN: X, XCOOR, XCOORD, X_COORD, XWELL, EASTING (and Y...)
// - Kb, the elevation of the depth reference (kelly bushing, drill floor):
//   EKB, EDF, EREF, KB, DF; failing those EPD + APD (the permanent datum's
//   elevation and the reference's height above it)
// - Ekb, the ground elevation: EGL, GL; failing those EPD when PDAT is GL
// - WellDepth: TD, TDD, TDL
// What the file lacks stays -99999 (no value), an elevation included.
// Elevations and depths are converted into the project's unit.
BasicWellRecord LasToWellHeader(const LasFile& las, const std::string& well,
                                const DepthConversion& depths);

// The curves of set that take their depths from its record `depth`, that one
// first, as a LAS file with depths in `unit` (stored in `stored`). run, when
// given, gives the items the file came with; header adds the well's
// coordinates and elevations that those items lack. Curves of another length
// than the depth curve are left out with a warning.
struct LasExportUnits {
    DepthUnit stored = DepthUnit::kMetre;
    DepthUnit written = DepthUnit::kMetre;
};
LasFile CurvesToLas(const LogCurveSet& set, std::size_t depth, const BasicWellRecord* header,
                    const RunHeader* run, const LasExportUnits& units, Diagnostics& diagnostics);

// The record of set to export by default: the depth curve that most curves
// use (the first of equals); set.Records.size() when there is none.
std::size_t MainDepthCurve(const LogCurveSet& set);

}  // namespace strataloom::formats
