// The host program's listings (info, wells, curves, markers, projects,
// survey, las-info, export-csv), each in the form --format asks for, and the
// commands that delete a well or a curve, each saying what it deletes.
#pragma once

#include <vector>

#include "formats/hostcommands.h"

namespace strataloom::formats {

// info, wells, curves, markers, projects, survey, las-info.
std::vector<FormatCommand> ListingCommands();
// export-csv, delete-well, delete-curve.
std::vector<FormatCommand> ChangingCommands();

}  // namespace strataloom::formats
