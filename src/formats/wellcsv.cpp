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

bool ReadMarkersCsv(std::string_view text, std::vector<MarkerSet>& sets, Diagnostics& diagnostics) {
    CsvTable table;
    std::vector<int> at;
    if (!ReadTable(text, kMarkerColumns, table, at, diagnostics)) return false;
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
                    Diagnostics& diagnostics) {
    CsvTable table;
    std::vector<int> at;
    if (!ReadTable(text, kSurveyColumns, table, at, diagnostics)) return false;
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
    if (record.Tvdss.empty()) record.Tvdss = shifted(record.Tvd, -header->Kb);
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

bool ImportMarkersCsvFile(ProjectData& data, const std::string& path, CsvImportSummary& summary,
                          Diagnostics& diagnostics) {
    std::string text;
    if (!ReadCsvFile(path, text, diagnostics)) return false;
    std::vector<MarkerSet> sets;
    if (!ReadMarkersCsv(text, sets, diagnostics)) return false;
    if (!HasRows(sets, "markers", diagnostics)) return false;
    for (const MarkerSet& set : sets) {
        BasicWellRecord header;
        if (!data.Wells().LoadWell(set.WellName.c_str(), header)) {
            diagnostics.Warn(0, "well " + set.WellName + " has no header in the project database");
        }
        summary.rows += set.Records.size();
    }
    if (!data.Markers().SaveWellsData("", sets)) {
        diagnostics.Fail(0, data.Failure("the markers could not be saved"));
        return false;
    }
    summary.wells = sets.size();
    return true;
}

bool ImportSurveysCsvFile(ProjectData& data, const std::string& path, CsvImportSummary& summary,
                          Diagnostics& diagnostics) {
    std::string text;
    if (!ReadCsvFile(path, text, diagnostics)) return false;
    std::vector<SurveyInput> surveys;
    if (!ReadSurveysCsv(text, surveys, diagnostics)) return false;
    if (!HasRows(surveys, "stations", diagnostics)) return false;
    std::vector<DeviateRecord> records;
    for (SurveyInput& survey : surveys) {
        BasicWellRecord header;
        const bool hasHeader = data.Wells().LoadWell(survey.record.WellName.c_str(), header) == 1;
        if (!CompleteSurvey(survey, hasHeader ? &header : nullptr, diagnostics)) return false;
        summary.rows += survey.record.Md.size();
        records.push_back(std::move(survey.record));
    }
    if (!data.Surveys().SaveWellsData("", records)) {
        diagnostics.Fail(0, data.Failure("the deviation surveys could not be saved"));
        return false;
    }
    summary.wells = records.size();
    return true;
}

}  // namespace strataloom::formats
