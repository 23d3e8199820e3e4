#include "formats/lasimport.h"

#include <algorithm>

#include "formats/las.h"
#include "formats/lasmapping.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

// Whether saving set would leave stored curves of the well (ones the set does
// not replace) on a depth curve whose depths the set changes.
bool DepthCurveStillUsed(ProjectData& data, const LogCurveSet& set, Diagnostics& diagnostics) {
    NameList names;
    NameList depthNames;
    if (!data.Logs().GetCurveNames(set.WellName.c_str(), names, depthNames)) return false;
    const LogCurveRecord& index = set.Records.front();
    std::vector<std::string> users;
    for (std::size_t i = 0; i < names.size() && i < depthNames.size(); ++i) {
        const bool replaced =
            std::any_of(set.Records.begin(), set.Records.end(),
                        [&](const LogCurveRecord& r) { return r.CurveName == names[i]; });
        if (depthNames[i] == index.CurveName && names[i] != index.CurveName && !replaced) {
            users.push_back(names[i]);
        }
    }
    if (users.empty()) return false;
    LogCurveSet stored;
    if (data.Logs().LoadCurve(set.WellName.c_str(), index.CurveName.c_str(), stored) &&
        !stored.Records.empty() && stored.Records.front().CurveValue == index.CurveValue) {
        return false;
    }
    std::string list;
    for (const std::string& name : users) list += (list.empty() ? "" : ", ") + name;
    diagnostics.Fail(0, "well " + set.WellName + " already has a depth curve " + index.CurveName +
                            " with other depths, used by " + list +
                            ", which this file does not hold; rename the file's index curve "
                            "or delete those curves first");
    return true;
}

}  // namespace

bool ImportLas(ProjectData& data, const std::string& project, std::string_view text,
               LasImportSummary& summary, Diagnostics& diagnostics) {
    summary = LasImportSummary();
    LasFile las;
    if (!ParseLas(text, las, diagnostics)) return false;
    if (las.curves.empty()) {
        diagnostics.Fail(0, "no curves: expected a ~C section naming at least the depth curve");
        return false;
    }
    if (las.Rows() < kLeastSamples) {
        diagnostics.Fail(0, std::to_string(las.Rows()) + " depth steps: expected at least " +
                                std::to_string(kLeastSamples) +
                                ", the least a curve needs to be stored");
        return false;
    }
    summary.well = LasWellName(las, diagnostics.File(), diagnostics);
    summary.curves = las.curves.size();
    summary.rows = las.Rows();
    const BasicWellRecord header = LasToWellHeader(las, summary.well);
    const LogCurveSet set = LasToCurves(las, summary.well);
    if (DepthCurveStillUsed(data, set, diagnostics)) return false;

    BasicWellRecord existing;
    if (data.Wells().LoadWell(summary.well.c_str(), existing)) {
        if (!data.Wells().IsWellExist(project.c_str(), summary.well.c_str())) {
            diagnostics.Warn(0, "well " + summary.well +
                                    " belongs to another project: its curves "
                                    "are imported, its header stays as it is");
        }
    } else {
        if (!data.Wells().SaveWell(project.c_str(), header)) {
            diagnostics.Fail(0, data.Failure("the header of well " + summary.well +
                                             " could not be saved in project " + project));
            return false;
        }
        summary.headerCreated = true;
    }
    if (!data.Logs().SaveCurves(set)) {
        const std::string failure =
            data.Failure("the curves of well " + summary.well + " could not be saved");
        // The header made for this file goes with it, so that nothing of the file stays.
        if (summary.headerCreated) data.Wells().DeleteWell(project.c_str(), summary.well.c_str());
        summary.headerCreated = false;
        diagnostics.Fail(0, failure);
        return false;
    }
    return true;
}

bool ImportLasFile(ProjectData& data, const std::string& project, const std::string& path,
                   LasImportSummary& summary, Diagnostics& diagnostics) {
    std::string text;
    std::string reason;
    if (!ReadWholeFile(path, text, reason)) {
        diagnostics.Fail(0, reason.substr(reason.find(": ") + 2));
        return false;
    }
    return ImportLas(data, project, text, summary, diagnostics);
}

bool ExportLas(ProjectData& data, const std::string& well, const std::string& depthCurve,
               std::string& text, LasExportSummary& summary, Diagnostics& diagnostics) {
    summary = LasExportSummary();
    LogCurveSet set;
    if (!data.Logs().LoadWellData(well.c_str(), set) || set.Records.empty()) {
        diagnostics.Fail(0, data.Failure("well " + well + " has no curves in " + data.Connect()));
        return false;
    }
    std::size_t depth = MainDepthCurve(set);
    if (!depthCurve.empty()) {
        depth = set.Records.size();
        for (std::size_t i = 0; i < set.Records.size(); ++i) {
            if (set.Records[i].CurveName == depthCurve && set.Records[i].DepthCurve == int(i)) {
                depth = i;
            }
        }
        if (depth == set.Records.size()) {
            diagnostics.Fail(0, "well " + well + " has no depth curve " + depthCurve);
            return false;
        }
    }
    if (depth == set.Records.size()) {
        diagnostics.Fail(0, "well " + well + " has no depth curve: no curve gives its own depths");
        return false;
    }
    if (set.Records[depth].CurveValue.empty()) {
        diagnostics.Fail(0, "the depth curve " + set.Records[depth].CurveName + " of well " + well +
                                " has no samples");
        return false;
    }
    for (std::size_t i = 0; i < set.Records.size(); ++i) {
        if (set.Records[i].DepthCurve != static_cast<int>(depth)) {
            diagnostics.Warn(0, "curve " + set.Records[i].CurveName +
                                    " does not take its depths from " +
                                    set.Records[depth].CurveName + ": left out");
        }
    }
    BasicWellRecord header;
    const bool hasHeader = data.Wells().LoadWell(well.c_str(), header) == 1;
    const LasFile las = CurvesToLas(set, depth, hasHeader ? &header : nullptr, diagnostics);
    text = WriteLas(las, &diagnostics);
    summary.depthCurve = set.Records[depth].CurveName;
    summary.curves = las.curves.size();
    summary.rows = las.Rows();
    return true;
}

}  // namespace strataloom::formats
