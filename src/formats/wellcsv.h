// Markers (tops) and deviation surveys from spreadsheet exports into a
// project database. A file is one save: every well it names gets its markers
// or survey replaced, or, when anything in the file cannot be read, none does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formats/diagnostics.h"
#include "formats/projectdata.h"

namespace strataloom::formats {

// Rows "well, marker, top, bottom[, description]" grouped into one set per
// well, wells in the order they first appear. Without a bottom column (or
// with an empty bottom) a marker's bottom is its top.
bool ReadMarkersCsv(std::string_view text, std::vector<MarkerSet>& sets, Diagnostics& diagnostics);

// One well's survey as the file gives it: Md, Inclination and Azimuth
// always, the other arrays when the file has their columns (else empty).
struct SurveyInput {
    DeviateRecord record;
    int line = 0;  // where the well's first station is
};

// Rows "well, md, inclination, azimuth[, xoffset, yoffset, tvd, xcoor,
// ycoor, tvdss]", one survey per well, md increasing within each well.
bool ReadSurveysCsv(std::string_view text, std::vector<SurveyInput>& surveys,
                    Diagnostics& diagnostics);

// Fills what the file left out: Xoffset, Yoffset and Tvd by minimum
// curvature, Xcoor and Ycoor as the offsets from the well's surface location
// (Well_EW, Well_SN), Tvdss as Tvd less the kelly bushing elevation Kb.
// header is null when the well has none; false when one is needed.
bool CompleteSurvey(SurveyInput& survey, const BasicWellRecord* header, Diagnostics& diagnostics);

struct CsvImportSummary {
    std::size_t wells = 0;
    std::size_t rows = 0;
};

bool ImportMarkersCsvFile(ProjectData& data, const std::string& path, CsvImportSummary& summary,
                          Diagnostics& diagnostics);
bool ImportSurveysCsvFile(ProjectData& data, const std::string& path, CsvImportSummary& summary,
                          Diagnostics& diagnostics);

}  // namespace strataloom::formats
