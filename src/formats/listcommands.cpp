#include "formats/listcommands.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <sstream>

#include "formats/commandsupport.h"
#include "formats/las.h"
#include "formats/lasmapping.h"
#include "formats/projectlist.h"
#include "formats/schemadefinition.h"
#include "formats/text.h"
#include "formats/welldeletion.h"

namespace strataloom::formats {

namespace {

constexpr double kNoValue = -99999.0;  // a well header's "no value"

// ---- options --------------------------------------------------------------

struct ListOptions {
    std::string connect;
    std::string project;  // empty: the project the database is named after
    std::string well;
    std::string curve;
    std::string output;  // export-csv: "-" or empty for standard output
    std::vector<std::string> files;
    DepthRange depth;
    ListingFormat format = ListingFormat::kTable;
};

// Reads DB and the words named, with --format (listings), --project (where
// a project applies), -o and --depth (export-csv).
bool ParseList(const std::vector<std::string>& args, ListOptions& options, std::size_t least,
               std::size_t most, const char* expected, bool project, bool output,
               std::ostream& err) {
    std::string format;
    std::string depth;
    std::map<std::string, std::string*> named;
    if (output) {
        named = {{"-o", &options.output}, {"--output", &options.output}, {"--depth", &depth}};
    } else {
        named = {{"--format", &format}};
    }
    if (project) named["--project"] = &options.project;
    std::vector<std::string> positional;
    if (!SplitArgs(args, named, positional, err)) return false;
    if (!CountArgs(positional, least, most, expected, err)) return false;
    if (!ReadListingFormat(format, options.format, err)) return false;
    if (!ParseDepthRange(depth, options.depth, err)) return false;
    options.connect = positional[0];
    if (positional.size() > 1) options.well = positional[1];
    if (positional.size() > 2) options.curve = positional[2];
    options.files = positional;
    return true;
}

bool ParseDb(const std::vector<std::string>& args, ListOptions& options, std::ostream& err) {
    return ParseList(args, options, 1, 1, "DB", true, false, err);
}
bool ParseDbOnly(const std::vector<std::string>& args, ListOptions& options, std::ostream& err) {
    return ParseList(args, options, 1, 1, "DB", false, false, err);
}
bool ParseWell(const std::vector<std::string>& args, ListOptions& options, std::ostream& err) {
    return ParseList(args, options, 2, 2, "DB WELL", false, false, err);
}
bool ParseFiles(const std::vector<std::string>& args, ListOptions& options, std::ostream& err) {
    return ParseList(args, options, 1, kMany, "FILE...", false, false, err);
}
bool ParseExport(const std::vector<std::string>& args, ListOptions& options, std::ostream& err) {
    return ParseList(args, options, 2, 2, "DB WELL", false, true, err);
}
bool ParseDeleteWell(const std::vector<std::string>& args, ListOptions& options,
                     std::ostream& err) {
    return ParseList(args, options, 2, 2, "DB WELL", true, false, err);
}
bool ParseDeleteCurve(const std::vector<std::string>& args, ListOptions& options,
                      std::ostream& err) {
    return ParseList(args, options, 3, 3, "DB WELL CURVE", false, false, err);
}

// ---- what is stored ---------------------------------------------------------

// A load's outcome: 1 found; 0 with nothing stored; -1 after telling why the read failed.
int Loaded(int result, ProjectData& data, const std::string& what, CommandIo& io) {
    if (result) return 1;
    const std::string reason = io.failureReason ? io.failureReason() : "";
    if (NothingStored(reason)) return 0;
    io.err << "strataloom: " << data.Failure("cannot read " + what) << "\n";
    return -1;
}

// Whether the database knows the well at all: a header or any of its data.
// -1 after telling why a read failed.
int WellKnown(ProjectData& data, const std::string& well, CommandIo& io) {
    BasicWellRecord header;
    const int headed =
        Loaded(data.Wells().LoadWell(well.c_str(), header), data, "the header of well " + well, io);
    if (headed != 0) return headed;
    for (IDataBase* table :
         {static_cast<IDataBase*>(&data.Logs()), static_cast<IDataBase*>(&data.Markers()),
          static_cast<IDataBase*>(&data.Surveys())}) {
        int result = 0;
        if (auto* logs = dynamic_cast<ILogData*>(table)) {
            LogCurveSet set;
            result = logs->LoadWellData(well.c_str(), set);
        } else if (auto* markers = dynamic_cast<IMarkerData*>(table)) {
            result = markers->IsWellDataExist(well.c_str());
        } else if (auto* surveys = dynamic_cast<IDeviateData*>(table)) {
            result = surveys->IsWellDataExist(well.c_str());
        }
        const int known = Loaded(result, data, "the data of well " + well, io);
        if (known != 0) return known;
    }
    return 0;
}

// After a load found nothing: exit 0 when the well is known (it is empty),
// 1 when it is not or the check failed.
int NothingFor(ProjectData& data, const std::string& well, const std::string& connect,
               const std::string& what, ListingFormat format, const Listing& empty, CommandIo& io) {
    const int known = WellKnown(data, well, io);
    if (known < 0) return kExitFailure;
    if (known == 0) {
        io.err << "strataloom: there is no well " << well << " in " << connect << "\n";
        return kExitFailure;
    }
    if (format == ListingFormat::kTable) {
        io.out << "Well " << well << " has no " << what << "\n";
    } else {
        WriteListing(io.out, empty, format);
    }
    return kExitOk;
}

// ---- listings ---------------------------------------------------------------

// The database opened and the wells of the project (options' or the one the
// database is named after) loaded; null after telling why.
std::unique_ptr<ProjectData> OpenWithWells(IDataFactory& factory, const ListOptions& options,
                                           CommandIo& io, std::string& project,
                                           std::vector<BasicWellRecord>& wells) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return nullptr;
    project = ProjectOr(options.project, options.connect);
    if (Loaded(data->Wells().LoadProjectWells(project.c_str(), wells), *data,
               "the wells of project " + project, io) < 0) {
        return nullptr;
    }
    return data;
}

int RunInfo(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    std::string project;
    std::vector<BasicWellRecord> wells;
    auto data = OpenWithWells(factory, options, io, project, wells);
    if (!data) return kExitFailure;
    NameList withCurves, withMarkers, withSurveys;
    if (Loaded(data->Logs().GetWellNamesWithData(project.c_str(), withCurves), *data, "the curves",
               io) < 0 ||
        Loaded(data->Markers().GetWellNamesWithData(project.c_str(), withMarkers), *data,
               "the markers", io) < 0 ||
        Loaded(data->Surveys().GetWellNamesWithData(project.c_str(), withSurveys), *data,
               "the surveys", io) < 0) {
        return kExitFailure;
    }
    std::size_t curves = 0;
    for (const std::string& well : withCurves) {
        NameList names, depthNames;
        data->Logs().GetCurveNames(well.c_str(), names, depthNames);
        curves += names.size();
    }
    std::size_t markers = 0;
    for (const std::string& well : withMarkers) {
        NameList names;
        data->Markers().GetWellMarkerNames(well.c_str(), names);
        markers += names.size();
    }
    const bool header = data->Projects().IsProjectExist(project.c_str()) == 1;
    Listing listing{{"table", "rows", "what", "wells"}, {}};
    auto row = [&](const char* table, std::size_t rows, const std::string& what,
                   ListingCell wellsWith) {
        listing.rows.push_back({TextCell(table), CountCell(rows), TextCell(what), wellsWith});
    };
    row("b_project_data", header ? 1 : 0, "project header", MissingCell());
    row("w_well_data", wells.size(), "wells", CountCell(wells.size()));
    row("w_log_data", curves, "log curves", CountCell(withCurves.size()));
    row("w_marker_data", markers, "markers", CountCell(withMarkers.size()));
    row("w_deviate_well", withSurveys.size(), "deviation surveys, one per well",
        CountCell(withSurveys.size()));
    if (options.format == ListingFormat::kTable) {
        io.out << "Project database: " << data->Connect() << "\n";
        io.out << "Project: " << project << (header ? "" : " (no project header)") << "\n";
    }
    WriteListing(io.out, listing, options.format);
    return kExitOk;
}

int RunWells(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    std::string project;
    std::vector<BasicWellRecord> wells;
    if (!OpenWithWells(factory, options, io, project, wells)) return kExitFailure;
    std::sort(wells.begin(), wells.end(), [](const BasicWellRecord& a, const BasicWellRecord& b) {
        return a.WellName < b.WellName;
    });
    if (wells.empty() && options.format == ListingFormat::kTable) {
        io.out << "Project " << project << " has no wells\n";
        return kExitOk;
    }
    Listing listing{{"WellName", "WellType", "Well_EW", "Well_SN", "WellFlag", "WellSymbol", "Kb",
                     "Ekb", "WellDepth"},
                    {}};
    for (const BasicWellRecord& well : wells) {
        listing.rows.push_back(
            {TextCell(well.WellName), TextCell(well.WellType), NumberCell(well.Well_EW, kNoValue),
             NumberCell(well.Well_SN, kNoValue), TextCell(std::string(1, well.WellFlag)),
             NumberCell(well.WellSymbol), NumberCell(well.Kb, kNoValue),
             NumberCell(well.Ekb, kNoValue), NumberCell(well.WellDepth, kNoValue)});
    }
    WriteListing(io.out, listing, options.format);
    return kExitOk;
}

// A listing of one well's data: opens the database, loads with load (the
// module's result), and lists with fill; when nothing is stored, says
// whether the well is empty (exit 0) or unknown (exit 1).
int ListWell(IDataFactory& factory, const ListOptions& options, CommandIo& io,
             const std::string& what, Listing listing, const std::function<int(ProjectData&)>& load,
             const std::function<void(Listing&)>& fill) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    const int found = Loaded(load(*data), *data, "the " + what + " of well " + options.well, io);
    if (found < 0) return kExitFailure;
    if (found == 0) {
        return NothingFor(*data, options.well, data->Connect(), what, options.format, listing, io);
    }
    fill(listing);
    WriteListing(io.out, listing, options.format);
    return kExitOk;
}

// The smallest and largest value of curve that is not null; missing cells when none is.
std::pair<ListingCell, ListingCell> ValueRange(const LogCurveRecord& curve, double nullValue) {
    double low = 0.0, high = 0.0;
    bool any = false;
    for (double value : curve.CurveValue) {
        if (!std::isfinite(value) || value == nullValue) continue;
        low = any ? std::min(low, value) : value;
        high = any ? std::max(high, value) : value;
        any = true;
    }
    if (!any) return {MissingCell(), MissingCell()};
    return {NumberCell(low), NumberCell(high)};
}

int RunCurves(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    LogCurveSet set;
    return ListWell(
        factory, options, io, "curves",
        {{"Curve", "Unit", "DepthCurve", "Samples", "Min", "Max", "NullValue"}, {}},
        [&](ProjectData& data) { return data.Logs().LoadWellData(options.well.c_str(), set); },
        [&](Listing& listing) {
            for (const LogCurveRecord& curve : set.Records) {
                const bool linked = curve.DepthCurve >= 0 &&
                                    static_cast<std::size_t>(curve.DepthCurve) < set.Records.size();
                const auto [low, high] = ValueRange(curve, set.NullValue);
                listing.rows.push_back(
                    {TextCell(curve.CurveName), TextCell(curve.Measure),
                     linked ? TextCell(
                                  set.Records[static_cast<std::size_t>(curve.DepthCurve)].CurveName)
                            : MissingCell(),
                     CountCell(curve.CurveValue.size()), low, high, NumberCell(set.NullValue)});
            }
            if (options.format != ListingFormat::kTable) return;
            // People read the null value once, above the table.
            io.out << "Well " << set.WellName << ", null value " << FormatNumber(set.NullValue)
                   << "\n";
            listing.columns.pop_back();
            for (auto& row : listing.rows) row.pop_back();
        });
}

int RunMarkers(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    MarkerSet set;
    return ListWell(
        factory, options, io, "markers", {{"Marker", "Top", "Bottom", "Description"}, {}},
        [&](ProjectData& data) { return data.Markers().LoadWellData(options.well.c_str(), set); },
        [&](Listing& listing) {
            std::stable_sort(set.Records.begin(), set.Records.end(),
                             [](const MarkerRecord& a, const MarkerRecord& b) {
                                 return a.TopDepth < b.TopDepth;
                             });
            for (const MarkerRecord& marker : set.Records) {
                listing.rows.push_back({TextCell(marker.MarkerName), NumberCell(marker.TopDepth),
                                        NumberCell(marker.BottomDepth),
                                        TextCell(marker.Description)});
            }
        });
}

int RunSurvey(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    DeviateRecord survey;
    return ListWell(
        factory, options, io, "deviation survey",
        {{"Md", "Inclination", "Azimuth", "Xoffset", "Yoffset", "Xcoor", "Ycoor", "Tvd", "Tvdss"},
         {}},
        [&](ProjectData& data) {
            return data.Surveys().LoadWellData(options.well.c_str(), survey);
        },
        [&](Listing& listing) {
            const std::vector<double>* columns[] = {
                &survey.Md,      &survey.Inclination, &survey.Azimuth,
                &survey.Xoffset, &survey.Yoffset,     &survey.Xcoor,
                &survey.Ycoor,   &survey.Tvd,         &survey.Tvdss};
            for (std::size_t i = 0; i < survey.Md.size(); ++i) {
                std::vector<ListingCell> row;
                for (const std::vector<double>* column : columns) {
                    row.push_back(i < column->size() ? NumberCell((*column)[i]) : MissingCell());
                }
                listing.rows.push_back(std::move(row));
            }
        });
}

// Every project of the database, read from its project and well tables (the
// interfaces have no way to list projects); a project with wells but no
// header is listed too, its header marked missing.
int RunProjects(IDataFactory&, const ListOptions& options, CommandIo& io) {
    const std::string connect = ProjectConnect(options.connect);
    std::vector<ProjectCount> projects;
    std::string reason;
    if (!ListDatabaseProjects(connect, projects, reason)) {
        io.err << "strataloom: " << reason << "\n";
        return kExitFailure;
    }
    if (projects.empty() && options.format == ListingFormat::kTable) {
        io.out << "No projects in " << connect << "\n";
        return kExitOk;
    }
    Listing listing{{"Project", "Header", "Wells"}, {}};
    for (const ProjectCount& project : projects) {
        listing.rows.push_back({TextCell(project.name), TextCell(project.header ? "yes" : "no"),
                                CountCell(project.wells)});
    }
    WriteListing(io.out, listing, options.format);
    return kExitOk;
}

// ---- las-info -----------------------------------------------------------------

// The well an import would store the file under, and the header it would
// make for a well the database does not have yet.
template <class Row>
void DescribeImport(const std::string& file, const LasFile& las, Row& row) {
    Diagnostics quiet(file);  // the name's own warning is the import's to give
    const std::string well = LasWellName(las, file, quiet);
    // No project is named, so elevations and depths stay in the file's unit.
    const BasicWellRecord header = LasToWellHeader(las, well, DepthConversion());
    row("import", "WellName", "", TextCell(well), "the well the curves are stored under");
    row("import", "Well_EW", "", NumberCell(header.Well_EW, kNoValue), "surface x of a new header");
    row("import", "Well_SN", "", NumberCell(header.Well_SN, kNoValue), "surface y of a new header");
    row("import", "Kb", "", NumberCell(header.Kb, kNoValue), "kelly bushing elevation");
    row("import", "Ekb", "", NumberCell(header.Ekb, kNoValue), "ground elevation");
    row("import", "WellDepth", "", NumberCell(header.WellDepth, kNoValue), "total depth");
}

// What an import would read from a LAS file, one row per item: the well's
// items, each curve, the parameters, the depths, the well and header the
// import would make, and the warnings.
void DescribeLas(const std::string& file, const LasFile& las, const Diagnostics& diagnostics,
                 Listing& listing) {
    auto row = [&](const char* section, const std::string& mnemonic, const std::string& unit,
                   ListingCell value, const std::string& description) {
        listing.rows.push_back({TextCell(file), TextCell(section), TextCell(mnemonic),
                                TextCell(unit), std::move(value), TextCell(description)});
    };
    for (const LasItem& item : las.wellItems) {
        row("well", item.mnemonic, item.unit, TextCell(item.value), item.description);
    }
    const std::vector<double>& depths =
        las.curves.empty() ? std::vector<double>() : las.curves.front().values;
    for (const LasCurve& curve : las.curves) {
        row("curve", curve.header.mnemonic, curve.header.unit, CountCell(curve.values.size()),
            curve.header.description);
    }
    for (const LasItem& item : las.parameters) {
        row("parameter", item.mnemonic, item.unit, TextCell(item.value), item.description);
    }
    const std::string depthUnit = las.curves.empty() ? "" : las.curves.front().header.unit;
    if (!depths.empty()) {
        const auto [low, high] = std::minmax_element(depths.begin(), depths.end());
        row("depth", "from", depthUnit, NumberCell(*low), "shallowest depth step");
        row("depth", "to", depthUnit, NumberCell(*high), "deepest depth step");
        if (depths.size() > 1) {
            row("depth", "step", depthUnit, NumberCell(depths[1] - depths[0]), "first depth step");
        }
    }
    row("depth", "rows", "", CountCell(las.Rows()), "depth steps");
    if (!las.curves.empty()) DescribeImport(file, las, row);
    for (const std::string& warning : diagnostics.Warnings()) {
        row("warning", "", "", MissingCell(), warning);
    }
    if (diagnostics.Failed()) row("error", "", "", MissingCell(), diagnostics.Error());
}

void PrintLasSummary(const std::string& file, const LasFile& las, const Listing& listing,
                     std::size_t first, CommandIo& io) {
    Diagnostics quiet(file);
    io.out << file << ": LAS " << las.version << ", well " << LasWellName(las, file, quiet) << ", "
           << Counted(las.curves.size(), "curve") << " x " << Counted(las.Rows(), "depth step")
           << "\n";
    Listing part{{"Section", "Mnemonic", "Unit", "Value", "Description"}, {}};
    for (std::size_t i = first; i < listing.rows.size(); ++i) {
        part.rows.emplace_back(listing.rows[i].begin() + 1, listing.rows[i].end());
    }
    WriteListing(io.out, part, ListingFormat::kTable);
}

int RunLasInfo(IDataFactory&, const ListOptions& options, CommandIo& io) {
    Listing listing{{"File", "Section", "Mnemonic", "Unit", "Value", "Description"}, {}};
    bool allRead = true;
    for (const std::string& file : options.files) {
        LasFile las;
        Diagnostics diagnostics(file);
        const bool read = ReadLasFile(file, las, diagnostics);
        allRead = allRead && read;
        const std::size_t first = listing.rows.size();
        DescribeLas(file, las, diagnostics, listing);
        if (options.format != ListingFormat::kTable) continue;
        if (!read) {
            io.err << diagnostics.Error() << "\n";
            continue;
        }
        PrintLasSummary(file, las, listing, first, io);
    }
    if (options.format != ListingFormat::kTable) WriteListing(io.out, listing, options.format);
    return allRead ? kExitOk : kExitFailure;
}

// ---- export-csv and the deletes ---------------------------------------------

int RunExportCsv(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    LogCurveSet set;
    const int found = Loaded(data->Logs().LoadWellData(options.well.c_str(), set), *data,
                             "the curves of well " + options.well, io);
    if (found < 0) return kExitFailure;
    const std::size_t main = MainDepthCurve(set);
    const int depth = found && main < set.Records.size() ? static_cast<int>(main) : -1;
    if (depth < 0) {
        if (found == 0 && WellKnown(*data, options.well, io) == 0) {
            io.err << "strataloom: there is no well " << options.well << " in " << data->Connect()
                   << "\n";
        } else {
            io.err << "strataloom: well " << options.well << " has no curves to export\n";
        }
        return kExitFailure;
    }
    const LogCurveRecord& depths = set.Records[static_cast<std::size_t>(depth)];
    std::vector<const LogCurveRecord*> columns = {&depths};
    for (const LogCurveRecord& curve : set.Records) {
        if (curve.DepthCurve == depth && &curve != &depths &&
            curve.CurveValue.size() == depths.CurveValue.size()) {
            columns.push_back(&curve);
        }
    }
    std::ostringstream text;
    for (std::size_t c = 0; c < columns.size(); ++c)
        text << (c ? "," : "") << CsvField(columns[c]->CurveName);
    text << "\r\n";
    std::size_t rows = 0;
    for (std::size_t i = 0; i < depths.CurveValue.size(); ++i) {
        if (!options.depth.Holds(depths.CurveValue[i])) continue;
        ++rows;
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const double value = columns[c]->CurveValue[i];
            const bool null = !std::isfinite(value) || value == set.NullValue;
            text << (c ? "," : "") << (null ? "" : FormatNumber(value));
        }
        text << "\r\n";
    }
    const std::string output = options.output.empty() ? "-" : options.output;
    if (!WriteOutput(output, text.str(), io)) return kExitFailure;
    SummaryStream(output, io) << "Well " << options.well << ": "
                              << Counted(columns.size() - 1, "curve") << " x "
                              << Counted(rows, "depth step") << " of depth curve "
                              << depths.CurveName << " written to " << OutputName(output) << "\n";
    return kExitOk;
}

int RunDeleteWell(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    const std::string project = ProjectOr(options.project, options.connect);
    WellDeletion deletion;
    std::string reason;
    if (!deletion.Count(data->Connect(), project, options.well, reason)) {
        io.err << "strataloom: cannot delete well " << options.well << ": " << reason << "\n";
        return kExitFailure;
    }
    const bool header = deletion.Rows(kWellHeaderTable) > 0;
    if (!header && deletion.HeadersElsewhere() > 0) {
        // Deleting the data alone would leave a header without its well.
        io.err << "strataloom: the header of well " << options.well << " is not in project "
               << project << ": nothing deleted; give the well's project with --project\n";
        return kExitFailure;
    }
    if (deletion.TotalRows() == 0) {
        io.err << "strataloom: there is no well " << options.well << " in " << data->Connect()
               << "\n";
        return kExitFailure;
    }
    io.out << "Deleting well " << options.well << ": "
           << (header ? "its header in project " + project + ", " : "")
           << Counted(deletion.Rows("w_log_data"), "curve") << ", "
           << Counted(deletion.Rows("w_marker_data"), "marker") << ", "
           << (deletion.Rows("w_deviate_well") > 0 ? "its deviation survey" : "no deviation survey")
           << "\n";
    for (const WellTableRows& found : deletion.Found()) {
        io.out << "  " << found.table << ": " << Counted(found.rows, "row") << "\n";
    }
    if (!deletion.Delete(reason)) {
        io.err << "strataloom: the well " << options.well
               << " was not deleted, nothing was: " << reason << "\n";
        return kExitFailure;
    }
    io.out << "Well " << options.well << " deleted: " << Counted(deletion.TotalRows(), "row")
           << " from " << Counted(deletion.Found().size(), "table") << "\n";
    if (deletion.Rows("w_pic_data") > 0) {
        io.out << "Its picture files in the project's pic folder are kept\n";
    }
    return kExitOk;
}

int RunDeleteCurve(IDataFactory& factory, const ListOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    LogCurveSet set;
    const int found = Loaded(data->Logs().LoadWellData(options.well.c_str(), set), *data,
                             "the curves of well " + options.well, io);
    if (found < 0) return kExitFailure;
    const auto curve =
        std::find_if(set.Records.begin(), set.Records.end(),
                     [&](const LogCurveRecord& c) { return c.CurveName == options.curve; });
    if (curve == set.Records.end()) {
        io.err << "strataloom: well " << options.well << " has no curve " << options.curve << "\n";
        return kExitFailure;
    }
    const int index = static_cast<int>(curve - set.Records.begin());
    std::size_t served = 0;
    for (const LogCurveRecord& other : set.Records)
        served += &other != &*curve && other.DepthCurve == index;
    if (served > 0) {
        io.err << "strataloom: curve " << options.curve << " is the depth curve of "
               << Counted(served, "other curve") << " of well " << options.well
               << ": delete those first\n";
        return kExitFailure;
    }
    io.out << "Deleting curve " << options.curve << " of well " << options.well << " ("
           << Counted(curve->CurveValue.size(), "sample") << ")\n";
    if (!data->Logs().DeleteCurve(options.well.c_str(), options.curve.c_str())) {
        io.err << "strataloom: " << data->Failure("the curve " + options.curve + " was not deleted")
               << "\n";
        return kExitFailure;
    }
    io.out << "Curve " << options.curve << " of well " << options.well << " deleted\n";
    return kExitOk;
}

// ---- help -------------------------------------------------------------------

const char kFormatHelp[] =
    "--format table (the default), csv or json: csv and json carry every field\n"
    "as stored, a field without a value empty (csv) or null (json). DB is the\n"
    "project database (FOLDER/NAME.mdb or a server connection string) or the\n"
    "project folder.\n";

std::string WithFormat(const char* help) {
    return std::string(help) + kFormatHelp;
}

const std::string kInfoHelp = WithFormat(
    "Counts the rows of project P in each table: its header, wells, log curves,\n"
    "markers and deviation surveys. P defaults to the project the database is\n"
    "named after (Field for .../Field/Field.mdb or the server database Field).\n");
const std::string kWellsHelp = WithFormat(
    "Lists the wells of project P with their headers, by name. P defaults to the\n"
    "project the database is named after.\n");
const std::string kCurvesHelp = WithFormat(
    "Lists the log curves of WELL: unit, depth curve, number of samples and the\n"
    "smallest and largest value that is not the well's null value. A well that\n"
    "is not in the database, or a read that fails, exits with 1.\n");
const std::string kMarkersHelp = WithFormat("Lists the markers of WELL by top depth.\n");
const std::string kSurveyHelp = WithFormat(
    "Lists the deviation survey of WELL, one station per row: measured depth,\n"
    "inclination, azimuth, offsets, map coordinates, tvd and tvdss.\n");
const std::string kProjectsHelp = WithFormat(
    "Lists every project of the database with its well count: each project\n"
    "named in its project headers or its well headers. Header is no for a\n"
    "project that has wells but no project header. The database is only read.\n");
const std::string kLasInfoHelp =
    "Tells what import-las would read from each LAS file, without importing:\n"
    "the well items, the curves with units and sample counts, the parameters,\n"
    "the depth range and step, the well the curves would be stored under and\n"
    "the header made for a new well, and the warnings. Exits with 1 when a\n"
    "file cannot be read.\n--format table (the default), csv or json.\n";

const std::vector<FormatCommand>& Listings() {
    static const std::vector<FormatCommand> commands = {
        STRATALOOM_COMMAND("info", ListOptions, ParseDb, RunInfo,
                           "info DB [--project P] [--format F]", kInfoHelp.c_str()),
        STRATALOOM_COMMAND("wells", ListOptions, ParseDb, RunWells,
                           "wells DB [--project P] [--format F]", kWellsHelp.c_str()),
        STRATALOOM_COMMAND("curves", ListOptions, ParseWell, RunCurves,
                           "curves DB WELL [--format F]", kCurvesHelp.c_str()),
        STRATALOOM_COMMAND("markers", ListOptions, ParseWell, RunMarkers,
                           "markers DB WELL [--format F]", kMarkersHelp.c_str()),
        STRATALOOM_COMMAND("survey", ListOptions, ParseWell, RunSurvey,
                           "survey DB WELL [--format F]", kSurveyHelp.c_str()),
        STRATALOOM_COMMAND("projects", ListOptions, ParseDbOnly, RunProjects,
                           "projects DB [--format F]", kProjectsHelp.c_str()),
        STRATALOOM_COMMAND("las-info", ListOptions, ParseFiles, RunLasInfo,
                           "las-info FILE... [--format F]", kLasInfoHelp.c_str()),
    };
    return commands;
}

}  // namespace

std::vector<FormatCommand> ListingCommands() {
    return Listings();
}

std::vector<FormatCommand> ChangingCommands() {
    return {
        STRATALOOM_COMMAND(
            "export-csv", ListOptions, ParseExport, RunExportCsv,
            "export-csv DB WELL [-o FILE] [--depth FROM:TO]",
            "Writes the curves of WELL as CSV (standard output without -o or with -o -):\n"
            "the depth curve most curves use first, then its curves, one column each,\n"
            "one row per depth step; nulls as empty fields.\n"),
        STRATALOOM_COMMAND(
            "delete-well", ListOptions, ParseDeleteWell, RunDeleteWell,
            "delete-well DB WELL [--project P]",
            "Deletes WELL wholly, in one transaction: its header in project P (by\n"
            "default the project the database is named after) and its rows in every\n"
            "table of well data, and says how many rows of each table it deletes\n"
            "before it does. Picture files are kept.\n"),
        STRATALOOM_COMMAND("delete-curve", ListOptions, ParseDeleteCurve, RunDeleteCurve,
                           "delete-curve DB WELL CURVE",
                           "Deletes the curve CURVE of WELL and says so. A depth curve that other\n"
                           "curves still use is not deleted.\n"),
    };
}

}  // namespace strataloom::formats
