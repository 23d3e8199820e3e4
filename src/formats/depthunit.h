// Depth units of projects and files. A project keeps its depths, tops,
// surveys and elevations in one unit, metres unless chosen otherwise when the
// project is made; a file in the other unit is converted on import and can
// be written in either on export. Curve values are never converted.
#pragma once

#include <string>
#include <string_view>

#include "formats/owntables.h"
#include "strataloom/ibasicwelldata.h"

namespace strataloom::formats {

enum class DepthUnit { kMetre, kFoot };

// "m" or "ft", as the commands take and print them.
const char* DepthUnitName(DepthUnit unit);
// "M" or "FT", as a LAS file writes them.
const char* DepthUnitMnemonic(DepthUnit unit);
// Reads the ways files write the two units (M, METRE, METERS, F, FT, FEET,
// FOOT... in any case); false for anything else (empty, time, unknown).
bool ParseDepthUnit(std::string_view text, DepthUnit& unit);

// depth in unit `to`. Converted values are rounded to a millionth of the
// unit: conversion then gives the decimals a user expects (0.1524 m for
// 0.5 ft) and a value converted there and back reads as before.
double ConvertDepth(double depth, DepthUnit from, DepthUnit to);

// The project's depth unit: metres when the project has never been given one.
bool LoadProjectDepthUnit(OwnTables& tables, const std::string& project, DepthUnit& unit);
bool SaveProjectDepthUnit(OwnTables& tables, const std::string& project, DepthUnit unit);
// The depth unit of the project that holds well, looked for among the
// projects that were given one; false when none of them holds the well.
bool WellDepthUnit(OwnTables& tables, IBasicWellData& wells, const std::string& well,
                   DepthUnit& unit);

}  // namespace strataloom::formats
