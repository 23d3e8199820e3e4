#include "formats/wellcsv.h"

#include <cmath>
#include <map>

#include "formats/csv.h"
#include "formats/lasimport.h"
#include "formats/mincurve.h"
#include "formats/text.h"

namespace strataloom::formats {

namespace {

constexpr double kNoValue = -99999.0;  // a well header's "no value"

const std::string& Field(const CsvRow& row, int position) {
    static const std::string empty;
    return position >= 0 && static_cast<std::size_t>(position) < row.fields.size()
               ? row.fields[static_cast<std::size_t>(position)]
               : empty;
}

bool ReadNumber(const CsvRow& row, int position, const char* what, double& value,
                Diagnostics& diagnostics) {
    if (ParseNumber(Field(row, position), value)) return true;
    diagnostics.Fail(row.line, "expected a number for the " + std::string(what) + ", found '" +
                                   Field(row, position) + "'");
    return false;
}

bool ReadWell(const CsvRow& row, int position, std::string& well, Diagnostics& diagnostics) {
    well = Field(row, position);
    if (!well.empty()) return true;
    diagnostics.Fail(row.line, "expected a well name");
    return false;
}

// Rows with more fields than the header row are not what the header describes.
bool CheckWidths(const CsvTable& table, Diagnostics& diagnostics) {
    for (const CsvRow& row : table.rows) {
        for (std::size_t i = table.header.size(); i < row.fields.size(); ++i) {
            if (!row.fields[i].empty()) {
                diagnostics.Fail(row.line, "expected at most " +
                                               std::to_string(table.header.size()) +
                                               " fields, as in the header row, found " +
                                               std::to_string(row.fields.size()));
                return false;
            }
        }
    }
    return true;
}

bool ReadTable(std::string_view text, const std::vector<CsvColumn>& columns, CsvTable& table,
               std::vector<int>& positions, Diagnostics& diagnostics) {
    return ParseCsv(text, table, diagnostics) &&
           FindColumns(table, columns, positions, diagnostics) && CheckWidths(table, diagnostics);
}

// What the heading of column gives in brackets: "ft" for "Top (ft)".
std::string BracketText(const CsvTable& table, int column) {
    if (column < 0 || static_cast<std::size_t>(column) >= table.header.size()) return "";
    const std::string& heading = table.header[static_cast<std::size_t>(column)];
    const std::size_t open = heading.find_first_of("([");
    const std::size_t close = heading.find_first_of(")]", open);
    if (open == std::string::npos || close == std::string::npos) return "";
    return std::string(Trim(std::string_view(heading).substr(open + 1, close - open - 1)));
}

const CsvColumn kWellColumn{"well", {"well", "wellname"}};

enum MarkerColumn { kMarkerWell, kMarkerName, kMarkerTop, kMarkerBottom, kMarkerDescription };
const std::vector<CsvColumn> kMarkerColumns = {
    kWellColumn,
    {"marker", {"marker", "markername", "topname", "formation", "horizon"}},
    {"top depth", {"top", "topdepth", "topmd"}},
    {"bottom depth", {"bottom", "bottomdepth", "bottommd", "base", "basedepth"}, false},
    {"description", {"description", "desc", "comment", "remark", "remarks"}, false}};

enum SurveyColumn {
    kSurveyWell,
    kSurveyMd,
    kSurveyInclination,
    kSurveyAzimuth,
    kSurveyXoffset,
    kSurveyYoffset,
    kSurveyTvd,
    kSurveyXcoor,
    kSurveyYcoor,
    kSurveyTvdss,
};
const std::vector<CsvColumn> kSurveyColumns = {kWellColumn,
                                               {"md", {"md", "measureddepth", "depth", "dept"}},
                                               {"inclination", {"inclination", "inc", "incl"}},
                                               {"azimuth", {"azimuth", "azi", "azim", "az"}},
                                               {"xoffset", {"xoffset", "dx", "eastoffset"}, false},
                                               {"yoffset", {"yoffset", "dy", "northoffset"}, false},
                                               {"tvd", {"tvd"}, false},
                                               {"xcoor", {"xcoor", "x", "easting"}, false},
                                               {"ycoor", {"ycoor", "y", "northing"}, false},
                                               {"tvdss", {"tvdss"}, false}};

std::vector<double>* SurveyArray(DeviateRecord& record, int column) {
    switch (column) {
        case kSurveyXoffset:
            return &record.Xoffset;
        case kSurveyYoffset:
            return &record.Yoffset;
        case kSurveyTvd:
            return &record.Tvd;
        case kSurveyXcoor:
            return &record.Xcoor;
        case kSurveyYcoor:
            return &record.Ycoor;
        case kSurveyTvdss:
            return &record.Tvdss;
        default:
            return nullptr;
    }
}

bool ReadStation(const CsvRow& row, const std::vector<int>& at, SurveyInput& survey,
                 Diagnostics& diagnostics) {
    DeviateRecord& record = survey.record;
    double md = 0.0;
    double inclination = 0.0;
    double azimuth = 0.0;
    if (!ReadNumber(row, at[kSurveyMd], "md", md, diagnostics) ||
        !ReadNumber(row, at[kSurveyInclination], "inclination", inclination, diagnostics) ||
        !ReadNumber(row, at[kSurveyAzimuth], "azimuth", azimuth, diagnostics)) {
        return false;
    }
    if (md < 0.0 || (!record.Md.empty() && md <= record.Md.back())) {
        diagnostics.Fail(row.line, "expected md deeper than the station before in well " +
                                       record.WellName + ", found " + FormatNumber(md));
        return false;
    }
    if (inclination < 0.0 || inclination > 180.0) {
        diagnostics.Fail(row.line, "expected an inclination from 0 to 180 degrees, found " +
                                       FormatNumber(inclination));
        return false;
    }
    record.Md.push_back(md);
    record.Inclination.push_back(inclination);
    record.Azimuth.push_back(azimuth - 360.0 * std::floor(azimuth / 360.0));
    for (int column = kSurveyXoffset; column <= kSurveyTvdss; ++column) {
        if (at[static_cast<std::size_t>(column)] < 0) continue;
        double value = 0.0;
        if (!ReadNumber(row, at[static_cast<std::size_t>(column)],
                        kSurveyColumns[static_cast<std::size_t>(column)].name, value,
                        diagnostics)) {
            return false;
        }
        SurveyArray(record, column)->push_back(value);
    }
    return true;
}

bool NeedsHeader(const DeviateRecord& record) {
    return record.Xcoor.empty() || record.Ycoor.empty() || record.Tvdss.empty();
}

template <class Set>
Set& SetOfWell(std::vector<Set>& sets, std::map<std::string, std::size_t>& index,
               const std::string& well) {
    const auto [place, added] = index.emplace(well, sets.size());
    if (added) sets.emplace_back();
    return sets[place->second];
}

}  // namespace

bool ReadMarkersCsv(std::string_view text, std::vector<MarkerSet>& sets, Diagnostics& diagnostics,
                    std::string* unit) {
    CsvTable table;
    std::vector<int> at;
    if (!ReadTable(text, kMarkerColumns, table, at, diagnostics)) return false;
    if (unit) *unit = BracketText(table, at[kMarkerTop]);
    std::map<std::string, std::size_t> index;
    for (const CsvRow& row : table.rows) {
        std::string well;
        MarkerRecord marker;
        if (!ReadWell(row, at[kMarkerWell], well, diagnostics)) return false;
        marker.MarkerName = Field(row, at[kMarkerName]);
        if (marker.MarkerName.empty()) {
            diagnostics.Fail(row.line, "expected a marker name");
            return false;
        }
        if (!ReadNumber(row, at[kMarkerTop], "top depth", marker.TopDepth, diagnostics)) {
            return false;
        }
        marker.BottomDepth = marker.TopDepth;
        if (!Field(row, at[kMarkerBottom]).empty() &&
            !ReadNumber(row, at[kMarkerBottom], "bottom depth", marker.BottomDepth, diagnostics)) {
            return false;
        }
        if (marker.BottomDepth < marker.TopDepth) {
            diagnostics.Warn(row.line, "marker " + marker.MarkerName + " of well " + well +
                                           " has its bottom above its top");
        }
        marker.Description = Field(row, at[kMarkerDescription]);
        MarkerSet& set = SetOfWell(sets, index, well);
        set.WellName = well;
        set.Records.push_back(std::move(marker));
    }
    return true;
}

bool ReadSurveysCsv(std::string_view text, std::vector<SurveyInput>& surveys,
                    Diagnostics& diagnostics, std::string* unit) {
    CsvTable table;
    std::vector<int> at;
    if (!ReadTable(text, kSurveyColumns, table, at, diagnostics)) return false;
    if (unit) *unit = BracketText(table, at[kSurveyMd]);
    std::map<std::string, std::size_t> index;
    for (const CsvRow& row : table.rows) {
        std::string well;
        if (!ReadWell(row, at[kSurveyWell], well, diagnostics)) return false;
        SurveyInput& survey = SetOfWell(surveys, index, well);
        if (survey.line == 0) {
            survey.line = row.line;
            survey.record.WellName = well;
        }
        if (!ReadStation(row, at, survey, diagnostics)) return false;
    }
    for (const SurveyInput& survey : surveys) {
        if (survey.record.Md.size() < kLeastSamples) {
            diagnostics.Fail(survey.line, "well " + survey.record.WellName + " has " +
                                              std::to_string(survey.record.Md.size()) +
                                              " stations: expected at least " +
                                              std::to_string(kLeastSamples) +
                                              ", the least a survey needs to be stored");
            return false;
        }
    }
    return true;
}

bool CompleteSurvey(SurveyInput& survey, const BasicWellRecord* header, Diagnostics& diagnostics) {
    DeviateRecord& record = survey.record;
    const std::string& well = record.WellName;
    if (NeedsHeader(record) && !header) {
        diagnostics.Fail(survey.line, "well " + well +
                                          " has no header in the project database: its surface "
                                          "location and kelly bushing place the survey");
        return false;
    }
    if ((record.Xcoor.empty() && header->Well_EW == kNoValue) ||
        (record.Ycoor.empty() && header->Well_SN == kNoValue)) {
        diagnostics.Fail(survey.line, "well " + well +
                                          " has no surface coordinates in its header: expected "
                                          "Well_EW and Well_SN, or xcoor and ycoor columns");
        return false;
    }
    if (record.Xoffset.empty() || record.Yoffset.empty() || record.Tvd.empty()) {
        WellPath path = MinimumCurvature(record.Md, record.Inclination, record.Azimuth);
        if (record.Xoffset.empty()) record.Xoffset = std::move(path.xoffset);
        if (record.Yoffset.empty()) record.Yoffset = std::move(path.yoffset);
        if (record.Tvd.empty()) record.Tvd = std::move(path.tvd);
    }
    auto shifted = [](const std::vector<double>& values, double by) {
        std::vector<double> out(values);
        for (double& value : out) value += by;
        return out;
    };
    if (record.Xcoor.empty()) record.Xcoor = shifted(record.Xoffset, header->Well_EW);
    if (record.Ycoor.empty()) record.Ycoor = shifted(record.Yoffset, header->Well_SN);
    if (record.Tvdss.empty()) {
        if (header->Kb == kNoValue) {
            diagnostics.Fail(survey.line, "well " + well +
                                              " has no kelly bushing elevation Kb in its header: "
                                              "expected one, or a tvdss column");
            return false;
        }
        record.Tvdss = shifted(record.Tvd, -header->Kb);
    }
    return true;
}

namespace {

// Reads the file at path into text; a file that cannot be read fails the import.
bool ReadCsvFile(const std::string& path, std::string& text, Diagnostics& diagnostics) {
    std::string reason;
    if (ReadWholeFile(path, text, reason)) return true;
    diagnostics.Fail(0, reason.substr(reason.find(": ") + 2));
    return false;
}

// A file whose header row has nothing under it imports nothing: that fails.
template <class Rows>
bool HasRows(const Rows& rows, const char* what, Diagnostics& diagnostics) {
    if (!rows.empty()) return true;
    diagnostics.Fail(0, std::string("no ") + what + ": expected rows under the header row");
    return false;
}

}  // namespace

namespace {

// The unit of the file's depths: --unit, else the heading's; when neither
// tells, each well's depths are taken to be in its project's unit.
struct FileUnit {
    bool known = false;
    DepthUnit unit = DepthUnit::kMetre;
};

FileUnit FileDepthUnit(const CsvImportOptions& options, const std::string& heading) {
    FileUnit file;
    file.unit = options.fileUnit;
    file.known = options.fileUnitGiven || ParseDepthUnit(heading, file.unit);
    return file;
}

// The unit of the well's project: --project's, else that of the project
// holding the well.
DepthUnit WellUnit(ProjectData& data, const CsvImportOptions& options, const std::string& well) {
    DepthUnit unit = options.projectUnit;
    if (options.project.empty()) WellDepthUnit(data.Own(), data.Wells(), well, unit);
    return unit;
}

// The unit to convert the well's depths from into `to`, said in the summary.
DepthUnit ConvertFrom(const FileUnit& file, DepthUnit to, CsvImportSummary& summary) {
    if (!file.known || file.unit == to) return to;
    summary.conversion = std::string("depths converted from ") + DepthUnitName(file.unit) + " to " +
                         DepthUnitName(to);
    return file.unit;
}

void ConvertAll(std::vector<double>& values, DepthUnit from, DepthUnit to) {
    for (double& value : values) value = ConvertDepth(value, from, to);
}

// Whether the project knows the well; a well it does not know is named and
// its rows counted as refused.
bool KnownWell(ProjectData& data, const CsvImportOptions& options, const std::string& well,
               std::size_t rows, CsvImportSummary& summary) {
    BasicWellRecord header;
    const bool known = options.project.empty()
                           ? data.Wells().LoadWell(well.c_str(), header) == 1
                           : data.Wells().IsWellExist(options.project.c_str(), well.c_str()) == 1;
    if (!known) {
        summary.refused += rows;
        summary.changes.push_back("well " + well + ": " + CountText(rows) + " rows refused, " +
                                  (options.project.empty()
                                       ? std::string("the database has no such well")
                                       : "project " + options.project + " has no such well"));
    }
    return known;
}

bool SameMarker(const MarkerRecord& a, const MarkerRecord& b) {
    return a.TopDepth == b.TopDepth && a.BottomDepth == b.BottomDepth &&
           a.Description == b.Description;
}

std::string MarkerDepths(const MarkerRecord& marker) {
    return FormatNumber(marker.TopDepth) +
           (marker.BottomDepth != marker.TopDepth ? "-" + FormatNumber(marker.BottomDepth) : "");
}

// The well's markers after the file: picks added or updated by name, or,
// with replace, the file's picks alone.
MarkerSet MergeMarkers(const MarkerSet& stored, const MarkerSet& file, bool replace,
                       CsvImportSummary& summary) {
    MarkerSet merged;
    merged.WellName = file.WellName;
    std::vector<bool> named(stored.Records.size(), false);
    if (!replace) merged.Records = stored.Records;
    for (const MarkerRecord& marker : file.Records) {
        std::size_t found = stored.Records.size();
        for (std::size_t i = 0; i < stored.Records.size() && found == stored.Records.size(); ++i) {
            if (!named[i] && stored.Records[i].MarkerName == marker.MarkerName) found = i;
        }
        if (found == stored.Records.size()) {
            ++summary.added;
            merged.Records.push_back(marker);
            continue;
        }
        named[found] = true;
        const MarkerRecord& before = stored.Records[found];
        if (SameMarker(before, marker)) {
            ++summary.unchanged;
        } else {
            ++summary.updated;
            summary.changes.push_back("well " + file.WellName + ", marker " + marker.MarkerName +
                                      ": " + MarkerDepths(before) + " updated to " +
                                      MarkerDepths(marker));
        }
        if (replace) {
            merged.Records.push_back(marker);
        } else {
            merged.Records[found] = marker;
        }
    }
    for (std::size_t i = 0; replace && i < stored.Records.size(); ++i) {
        if (named[i]) continue;
        ++summary.deleted;
        summary.changes.push_back("well " + file.WellName + ", marker " +
                                  stored.Records[i].MarkerName + " at " +
                                  MarkerDepths(stored.Records[i]) + ": deleted (--replace)");
    }
    return merged;
}

bool SameSurvey(const DeviateRecord& a, const DeviateRecord& b) {
    return a.Md == b.Md && a.Inclination == b.Inclination && a.Azimuth == b.Azimuth;
}

}  // namespace

bool ImportMarkersCsvFile(ProjectData& data, const std::string& path,
                          const CsvImportOptions& options, CsvImportSummary& summary,
                          Diagnostics& diagnostics) {
    std::string text;
    if (!ReadCsvFile(path, text, diagnostics)) return false;
    std::vector<MarkerSet> sets;
    std::string heading;
    if (!ReadMarkersCsv(text, sets, diagnostics, &heading)) return false;
    if (!HasRows(sets, "markers", diagnostics)) return false;
    const FileUnit file = FileDepthUnit(options, heading);
    std::vector<MarkerSet> merged;
    for (MarkerSet& set : sets) {
        if (!KnownWell(data, options, set.WellName, set.Records.size(), summary)) continue;
        const DepthUnit to = WellUnit(data, options, set.WellName);
        const DepthUnit from = ConvertFrom(file, to, summary);
        for (MarkerRecord& marker : set.Records) {
            marker.TopDepth = ConvertDepth(marker.TopDepth, from, to);
            marker.BottomDepth = ConvertDepth(marker.BottomDepth, from, to);
        }
        MarkerSet stored;
        data.Markers().LoadWellData(set.WellName.c_str(), stored);
        merged.push_back(MergeMarkers(stored, set, options.replace, summary));
        summary.rows += set.Records.size();
    }
    // One save for the whole file: all of its wells, or none.
    if (!merged.empty() && !data.Markers().SaveWellsData("", merged)) {
        diagnostics.Fail(0, data.Failure("the markers could not be saved"));
        return false;
    }
    summary.wells = merged.size();
    return true;
}

bool ImportSurveysCsvFile(ProjectData& data, const std::string& path,
                          const CsvImportOptions& options, CsvImportSummary& summary,
                          Diagnostics& diagnostics) {
    std::string text;
    if (!ReadCsvFile(path, text, diagnostics)) return false;
    std::vector<SurveyInput> surveys;
    std::string heading;
    if (!ReadSurveysCsv(text, surveys, diagnostics, &heading)) return false;
    if (!HasRows(surveys, "stations", diagnostics)) return false;
    const FileUnit file = FileDepthUnit(options, heading);
    std::vector<DeviateRecord> records;
    for (SurveyInput& survey : surveys) {
        DeviateRecord& record = survey.record;
        if (!KnownWell(data, options, record.WellName, record.Md.size(), summary)) continue;
        const DepthUnit to = WellUnit(data, options, record.WellName);
        const DepthUnit from = ConvertFrom(file, to, summary);
        // Lengths along and across the hole; map coordinates stay as given.
        for (std::vector<double>* values :
             {&record.Md, &record.Xoffset, &record.Yoffset, &record.Tvd, &record.Tvdss}) {
            ConvertAll(*values, from, to);
        }
        BasicWellRecord header;
        const bool hasHeader = data.Wells().LoadWell(record.WellName.c_str(), header) == 1;
        if (!CompleteSurvey(survey, hasHeader ? &header : nullptr, diagnostics)) return false;
        DeviateRecord stored;
        const bool hasSurvey =
            data.Surveys().LoadWellData(record.WellName.c_str(), stored) == 1 && !stored.Md.empty();
        const std::string well = "well " + record.WellName + ": ";
        if (hasSurvey && SameSurvey(stored, record)) {
            ++summary.unchanged;
            continue;
        }
        if (hasSurvey && !options.replace) {
            ++summary.kept;
            summary.changes.push_back(well + "the survey of " + CountText(stored.Md.size()) +
                                      " stations is kept; the file's " +
                                      CountText(record.Md.size()) +
                                      " stations are not imported (--replace replaces it)");
            continue;
        }
        if (hasSurvey) {
            ++summary.replaced;
            summary.changes.push_back(well + "survey of " + CountText(stored.Md.size()) +
                                      " stations replaced by " + CountText(record.Md.size()));
        } else {
            ++summary.added;
        }
        summary.rows += record.Md.size();
        records.push_back(std::move(record));
    }
    if (!records.empty() && !data.Surveys().SaveWellsData("", records)) {
        diagnostics.Fail(0, data.Failure("the deviation surveys could not be saved"));
        return false;
    }
    summary.wells = records.size();
    return true;
}

}  // namespace strataloom::formats
