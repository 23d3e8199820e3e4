// Markers (tops) and deviation surveys from spreadsheet exports into a
// project database. A file is one save: the wells it names get what it
// holds for them, or, when anything in the file cannot be read or saved,
// none does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/depthunit.h"
#include "formats/diagnostics.h"
#include "formats/projectdata.h"

namespace strataloom::formats {

// Rows "well, marker, top, bottom[, description]" grouped into one set per
// well, wells in the order they first appear. Without a bottom column (or
// with an empty bottom) a marker's bottom is its top.
// unit, when given, receives what the heading of the top column gives in
// brackets ("ft" for "Top (ft)"), or nothing.
bool ReadMarkersCsv(std::string_view text, std::vector<MarkerSet>& sets, Diagnostics& diagnostics,
                    std::string* unit = nullptr);

// One well's survey as the file gives it: Md, Inclination and Azimuth
// always, the other arrays when the file has their columns (else empty).
struct SurveyInput {
    DeviateRecord record;
    int line = 0;  // where the well's first station is
};

// Rows "well, md, inclination, azimuth[, xoffset, yoffset, tvd, xcoor,
// ycoor, tvdss]", one survey per well, md increasing within each well.
// unit as for ReadMarkersCsv, from the md column.
bool ReadSurveysCsv(std::string_view text, std::vector<SurveyInput>& surveys,
                    Diagnostics& diagnostics, std::string* unit = nullptr);

// Fills what the file left out: Xoffset, Yoffset and Tvd by minimum
// curvature, Xcoor and Ycoor as the offsets from the well's surface location
// (Well_EW, Well_SN), Tvdss as Tvd less the kelly bushing elevation Kb.
// header is null when the well has none; false when one is needed.
bool CompleteSurvey(SurveyInput& survey, const BasicWellRecord* header, Diagnostics& diagnostics);

// How a file of tops or surveys goes into a project. A row of a well the
// project does not know is refused, named and counted; the other rows go in.
// Markers are added or updated by name; stored markers the file does not
// name stay, unless `replace` makes the file's markers the well's only ones.
// A well that has a survey keeps it unless the file's equals it or `replace`
// is given. Depths in feet or metres (the unit in brackets in the depth
// column's heading, "Top (ft)", or `fileUnit`) are converted into the unit
// of the well's project.
struct CsvImportOptions {
    std::string project;  // empty: a well of any project of the database is known
    bool replace = false;
    // The unit of `project`; without a project, of wells whose project has none.
    DepthUnit projectUnit = DepthUnit::kMetre;
    bool fileUnitGiven = false;
    DepthUnit fileUnit = DepthUnit::kMetre;
};

struct CsvImportSummary {
    std::size_t wells = 0;  // wells whose markers or survey were saved
    std::size_t rows = 0;   // rows saved
    std::size_t added = 0;
    std::size_t updated = 0;
    std::size_t unchanged = 0;
    std::size_t replaced = 0;
    std::size_t deleted = 0;
    std::size_t kept = 0;     // surveys kept as stored
    std::size_t refused = 0;  // rows of wells the project does not know
    // One line per marker updated, replaced or deleted, survey replaced or
    // kept, and well refused.
    std::vector<std::string> changes;
    std::string conversion;  // "depths converted from ft to m", or empty
};

bool ImportMarkersCsvFile(ProjectData& data, const std::string& path,
                          const CsvImportOptions& options, CsvImportSummary& summary,
                          Diagnostics& diagnostics);
bool ImportSurveysCsvFile(ProjectData& data, const std::string& path,
                          const CsvImportOptions& options, CsvImportSummary& summary,
                          Diagnostics& diagnostics);

}  // namespace strataloom::formats
