// LAS files into a project database and out of it, through the module's
// public interfaces. Each file is one well and one save: a file that cannot
// be read or saved leaves the database as it was.
#pragma once

#include <string>
#include <string_view>

#include "formats/diagnostics.h"
#include "formats/projectdata.h"

namespace strataloom::formats {

// A curve needs this many samples: a curve without samples leaves nothing to
// store (its value column stays unset).
constexpr std::size_t kLeastSamples = 1;

struct LasImportSummary {
    std::string well;
    std::size_t curves = 0;
    std::size_t rows = 0;
    bool headerCreated = false;
};

// Imports the text of one LAS file into project. The well's header is made
// from the file when the database has no well of that name; the file's
// curves replace the well's curves of the same names, all or nothing. A file
// whose depth curve exists with other depths, still used by curves the file
// does not replace, is refused: saving it would give those curves wrong depths.
bool ImportLas(ProjectData& data, const std::string& project, std::string_view text,
               LasImportSummary& summary, Diagnostics& diagnostics);
// The same for the file at path; diagnostics name the file.
bool ImportLasFile(ProjectData& data, const std::string& project, const std::string& path,
                   LasImportSummary& summary, Diagnostics& diagnostics);

struct LasExportSummary {
    std::string depthCurve;
    std::size_t curves = 0;
    std::size_t rows = 0;
};

// The well's curves as LAS 2.0 text: the curves of depthCurve (by default
// the depth curve most curves use), with the well's null value and header.
bool ExportLas(ProjectData& data, const std::string& well, const std::string& depthCurve,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics);

}  // namespace strataloom::formats
