// LAS files into a project database and out of it, through the module's
// public interfaces. Each file is one well. A file that cannot be read or
// saved leaves the database as it was.
//
// Re-imports never lose data unless asked to. A file's curves form a run on
// the file's depth curve; in a well that has curves already:
// - a run whose depths equal those of a stored depth curve joins it; a run
//   on other depths is kept beside the stored ones under a depth curve of
//   its own (DEPT:1 when DEPT is taken), so each run keeps its own samples;
// - a curve equal to the stored curve of the same name (same depth curve,
//   unit and values) is left as it is; one that differs is kept beside it
//   under a free name (GR:1), and the summary names both;
// - with `replace`, the file's curves replace the stored ones of the same
//   names instead, and curves of a depth curve the file replaces with other
//   depths, which the file does not hold, are deleted (they would be on
//   wrong depths). Every replaced and deleted curve is named.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/depthunit.h"
#include "formats/diagnostics.h"
#include "formats/projectdata.h"

namespace strataloom::formats {

// A curve needs this many samples: a curve without samples leaves nothing to
// store (its value column stays unset).
constexpr std::size_t kLeastSamples = 1;

struct LasImportOptions {
    bool replace = false;
    DepthUnit projectUnit = DepthUnit::kMetre;
    // Told how far reading (phase "reading") and saving have come, 0 to 1.
    std::function<void(double done, const char* phase)> progress;
    // Asked once the file is read, before anything is written: true stops
    // the import there, and the file changes nothing.
    bool (*interrupted)() = nullptr;
};

struct LasImportSummary {
    std::string well;
    std::string depthCurve;               // the run the file's curves belong to
    std::vector<std::string> curveNames;  // the file's curves, as the reader named them
    std::size_t curves = 0;
    std::size_t rows = 0;
    bool headerCreated = false;
    std::size_t added = 0;
    std::size_t unchanged = 0;
    std::size_t replaced = 0;
    std::size_t deleted = 0;
    // One line per curve replaced, deleted or kept apart under another name.
    std::vector<std::string> changes;
    std::string conversion;  // "depths converted from ft to m", or empty
};

// Imports the text of one LAS file into project by the rules above. The
// well's header is made from the file when the database has no well of that
// name. Nothing of the file stays when a step fails: what was written is
// undone.
bool ImportLas(ProjectData& data, const std::string& project, std::string_view text,
               LasImportSummary& summary, Diagnostics& diagnostics,
               const LasImportOptions& options = {});
// The same for the file at path; diagnostics name the file.
bool ImportLasFile(ProjectData& data, const std::string& project, const std::string& path,
                   LasImportSummary& summary, Diagnostics& diagnostics,
                   const LasImportOptions& options = {});

struct LasExportOptions {
    std::string depthCurve;  // empty: the depth curve most curves use
    DepthUnit storedUnit = DepthUnit::kMetre;
    DepthUnit writtenUnit = DepthUnit::kMetre;
};

struct LasExportSummary {
    std::string depthCurve;
    std::size_t curves = 0;
    std::size_t rows = 0;
};

// The well's curves as LAS 2.0 text: the curves of one depth curve, with the
// well's null value, the header items the run was imported with and the
// well header's values they lack.
bool ExportLas(ProjectData& data, const std::string& well, const LasExportOptions& options,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics);
bool ExportLas(ProjectData& data, const std::string& well, const std::string& depthCurve,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics);

// "2,732": counts as the summaries print them.
std::string CountText(std::size_t count);

}  // namespace strataloom::formats
