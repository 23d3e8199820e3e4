#include "formats/hostcommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <initializer_list>
#include <map>
#include <memory>

#include "formats/commandsupport.h"
#include "formats/depthunit.h"
#include "formats/interrupt.h"
#include "formats/lasimport.h"
#include "formats/listcommands.h"
#include "formats/logplot.h"
#include "formats/projectcheck.h"
#include "formats/projectcopy.h"
#include "formats/projectdata.h"
#include "formats/text.h"
#include "formats/wellcsv.h"

namespace strataloom::formats {

namespace {

using ProgressStep = std::function<void(double, const char*)>;

// ---- arguments ----------------------------------------------------------

// "m" or "ft" (or another way of writing them) for an option; empty is allowed.
bool CheckUnitOption(const std::string& text, const char* option, std::ostream& err) {
    DepthUnit unit;
    if (text.empty() || ParseDepthUnit(text, unit)) return true;
    err << "strataloom: " << option << " takes m or ft, not " << text << "\n";
    return false;
}

bool ParseImportLas(const std::vector<std::string>& args, ImportLasOptions& options,
                    std::ostream& err) {
    std::vector<std::string> positional;
    if (!SplitArgs(
            args, {{"--project", &options.project}, {"--depth-unit", &options.depthUnit}},
            positional, err,
            {{"--replace", &options.replace}, {"--create-project", &options.createProject}})) {
        return false;
    }
    if (!CountArgs(positional, 2, kMany, "DB --project P FILE...", err)) return false;
    if (options.project.empty()) {
        err << "strataloom: expected --project P: the project new wells go to\n";
        return false;
    }
    if (!CheckUnitOption(options.depthUnit, "--depth-unit", err)) return false;
    if (!options.depthUnit.empty() && !options.createProject) {
        err << "strataloom: --depth-unit is chosen when a project is made: give --create-project\n";
        return false;
    }
    options.connect = positional[0];
    options.files.assign(positional.begin() + 1, positional.end());
    return true;
}

bool ParseExportLas(const std::vector<std::string>& args, ExportLasOptions& options,
                    std::ostream& err) {
    std::vector<std::string> positional;
    std::string depth;
    const std::map<std::string, std::string*> named = {{"-o", &options.output},
                                                       {"--output", &options.output},
                                                       {"--depth-curve", &options.depthCurve},
                                                       {"--depth", &depth},
                                                       {"--unit", &options.unit},
                                                       {"--project", &options.project}};
    if (!SplitArgs(args, named, positional, err)) return false;
    if (!CountArgs(positional, 2, 2, "DB WELL", err)) return false;
    if (!ParseDepthRange(depth, options.depth, err)) return false;
    if (!CheckUnitOption(options.unit, "--unit", err)) return false;
    options.connect = positional[0];
    options.well = positional[1];
    return true;
}

bool ParseImportCsv(const std::vector<std::string>& args, ImportCsvOptions& options,
                    std::ostream& err) {
    std::vector<std::string> positional;
    if (!SplitArgs(args, {{"--project", &options.project}, {"--unit", &options.unit}}, positional,
                   err, {{"--replace", &options.replace}})) {
        return false;
    }
    if (!CountArgs(positional, 2, kMany, "DB FILE.csv...", err)) return false;
    if (!CheckUnitOption(options.unit, "--unit", err)) return false;
    options.connect = positional[0];
    options.files.assign(positional.begin() + 1, positional.end());
    return true;
}

bool ParsePlot(const std::vector<std::string>& args, PlotCommandOptions& options,
               std::ostream& err) {
    std::vector<std::string> positional;
    std::string curves;
    std::string depth;
    std::string scales;
    const std::map<std::string, std::string*> named = {{"--curves", &curves},
                                                       {"-o", &options.output},
                                                       {"--output", &options.output},
                                                       {"--depth", &depth},
                                                       {"--scale", &scales}};
    if (!SplitArgs(args, named, positional, err)) return false;
    if (!CountArgs(positional, 2, 2, "DB WELL", err)) return false;
    if (!ParseDepthRange(depth, options.depth, err)) return false;
    if (!ParsePlotScales(SplitList(scales), options.scales, err)) return false;
    options.connect = positional[0];
    options.well = positional[1];
    options.curves = SplitList(curves);
    return true;
}

// ---- output -------------------------------------------------------------

void PrintDiagnostics(const Diagnostics& diagnostics, std::ostream& err) {
    for (const std::string& warning : diagnostics.Warnings()) err << warning << "\n";
    if (diagnostics.Failed()) err << diagnostics.Error() << "\n";
}

// How one file of an import went.
enum class FileOutcome { kImported, kFailed, kPartly };

// Runs import on every file with the progress bar, each file told how far
// it has come. A signal stops the run between files (import finishes the
// well in hand): the files imported are named and the code is 130.
int ImportEach(const std::vector<std::string>& files, CommandIo& io,
               const std::function<FileOutcome(const std::string&, const ProgressStep&)>& import) {
    InterruptGuard guard;
    std::vector<std::string> imported;
    bool allWhole = true;
    ProgressReporter* progress = io.progress;
    for (std::size_t i = 0; i < files.size() && !InterruptGuard::Requested(); ++i) {
        if (progress) progress->Show(i, files.size(), files[i]);
        const ProgressStep step = [&](double fraction, const char* phase) {
            if (progress) progress->Within(fraction, phase);
        };
        const FileOutcome outcome = import(files[i], step);
        if (progress) progress->Clear();
        if (outcome != FileOutcome::kFailed) imported.push_back(files[i]);
        allWhole = allWhole && outcome == FileOutcome::kImported;
    }
    if (InterruptGuard::Requested()) {
        std::string names;
        for (const std::string& file : imported) names += (names.empty() ? "" : ", ") + file;
        io.err << "strataloom: interrupted: " << imported.size() << " of " << files.size()
               << " files imported" << (names.empty() ? "" : " (" + names + ")")
               << "; the others changed nothing\n";
        return kExitInterrupted;
    }
    if (files.size() > 1) {
        io.out << imported.size() << " of " << files.size() << " files imported\n";
    }
    return imported.size() == files.size() && allWhole ? kExitOk : kExitFailure;
}

// ", 2 added, 1 replaced": the counts that are not 0.
std::string Counts(std::initializer_list<std::pair<std::size_t, const char*>> counts) {
    std::string text;
    for (const auto& [count, what] : counts) {
        if (count > 0) text += ", " + CountText(count) + " " + what;
    }
    return text;
}

void PrintChanges(const std::vector<std::string>& changes, std::ostream& out) {
    for (const std::string& change : changes) out << "  " << change << "\n";
}

// The depth unit of project (metres when it has none); false after telling why.
bool ProjectDepthUnit(ProjectData& data, const std::string& project, DepthUnit& unit,
                      CommandIo& io) {
    std::string reason;
    if (data.OpenOwnTables(reason) && LoadProjectDepthUnit(data.Own(), project, unit)) return true;
    io.err << "strataloom: the depth unit of project " << project
           << " cannot be read: " << (reason.empty() ? data.Own().Failure() : reason) << "\n";
    return false;
}

// The project the wells go to: known to the database, or made when asked.
bool PrepareProject(ProjectData& data, const ImportLasOptions& options, DepthUnit& unit,
                    CommandIo& io) {
    const std::string& project = options.project;
    if (data.Projects().IsProjectExist(project.c_str())) {
        return ProjectDepthUnit(data, project, unit, io);
    }
    if (!options.createProject) {
        io.err << "strataloom: project " << project << " is not in " << options.connect
               << ": give an existing project, or --create-project to make it\n";
        return false;
    }
    unit = DepthUnit::kMetre;
    if (!options.depthUnit.empty()) ParseDepthUnit(options.depthUnit, unit);
    std::string reason;
    if (!MakeProject(data, project, unit, "created by import-las", reason)) {
        io.err << "strataloom: " << reason << "\n";
        return false;
    }
    io.out << "Project " << project << " created, depths in " << DepthUnitName(unit) << "\n";
    return true;
}

// A file name made from a well name: what a file system takes without fuss.
std::string FileNameFor(const std::string& well) {
    std::string name;
    for (char c : well) {
        const bool plain = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ||
                           c == '.' || (static_cast<unsigned char>(c) & 0x80);
        name += plain ? c : '_';
    }
    return name.empty() || name[0] == '.' ? "well" + name : name;
}

// ---- help ---------------------------------------------------------------

const char kImportLasSynopsis[] =
    "import-las DB --project P [--replace] [--create-project [--depth-unit m|ft]] FILE...";
const char kImportLasHelp[] =
    "Imports LAS 1.2 and 2.0 files, one well each (named by WELL in ~W, else UWI,\n"
    "else the file name). P must be a project of the database; --create-project\n"
    "makes it (depths in metres, or as --depth-unit says). A well the database\n"
    "does not have yet gets a header in P from ~W and ~P: coordinates X and Y,\n"
    "Kb from EKB, EDF, EREF, KB or DF, Ekb (ground) from EGL or GL, total depth\n"
    "TD. Depths in the other unit than the project's are converted; curve values\n"
    "never are. The first curve is the depth curve of all the others.\n"
    "\n"
    "Nothing is lost without --replace: curves over other depths than the well's\n"
    "are kept beside them under a depth curve of their own (DEPT:1), and a curve\n"
    "that differs from the stored one of its name is kept as GR:1. With --replace\n"
    "the file's curves replace those of the same names, and curves left on a\n"
    "replaced depth curve are deleted. Every replacement and deletion is named.\n"
    "The whole header (~V, ~W, ~C, ~P, ~O) is kept for export-las.\n"
    "\n"
    "Each well lands whole or not at all; Ctrl-C finishes the well in hand,\n"
    "names the files imported and exits with 130. A bar shows progress on a\n"
    "terminal.\n";
const char kExportLasSynopsis[] =
    "export-las DB WELL [-o FILE] [--depth-curve NAME] [--depth FROM:TO] [--unit m|ft] "
    "[--project P]";
const char kExportLasHelp[] =
    "Writes the curves of WELL as a LAS 2.0 file (standard output without -o or\n"
    "with -o -): the curves of one depth curve, by default the one most curves\n"
    "use, with the header items they were imported with. Depths in the unit of\n"
    "the well's project (or of P), or as --unit says; with --depth, only the\n"
    "depth steps from FROM to TO, in the unit written. Every value is written so\n"
    "that it reads back exactly; nulls as the well's null value.\n";
const char kImportTopsSynopsis[] =
    "import-tops DB [--project P] [--replace] [--unit m|ft] FILE.csv...";
const char kImportTopsHelp[] =
    "Imports markers from CSV files whose header row names the columns, in any\n"
    "order: well, marker, top, and optionally bottom (the top when missing) and\n"
    "description. Picks are added, or updated by name; the well's other markers\n"
    "stay, unless --replace makes the file's picks the well's only ones. Rows of\n"
    "wells that P (or, without --project, the database) does not know are\n"
    "refused and named. Depths in feet or metres (--unit, or the unit in brackets\n"
    "in the heading: \"Top (ft)\") are converted into the project's unit. Each\n"
    "file is one save: a file with an unreadable row changes nothing.\n";
const char kImportDeviationSynopsis[] =
    "import-deviation DB [--project P] [--replace] [--unit m|ft] FILE.csv...";
const char kImportDeviationHelp[] =
    "Imports deviation surveys from CSV files whose header row names the columns,\n"
    "in any order: well, md, inclination, azimuth (degrees), optionally xoffset,\n"
    "yoffset, tvd, xcoor, ycoor, tvdss. Missing offsets and tvd are computed by\n"
    "minimum curvature from a vertical hole at md 0; xcoor and ycoor are the\n"
    "offsets from the well header's surface coordinates, tvdss is tvd less its\n"
    "kelly bushing elevation Kb. A well that has a survey keeps it unless\n"
    "--replace is given; rows of unknown wells are refused, depths converted,\n"
    "as for import-tops. Each file is one save.\n";
const char kPlotSynopsis[] =
    "plot DB WELL [--curves A,B,...] [--depth FROM:TO] [--scale CURVE=MIN:MAX,...] "
    "[-o FILE.svg]";
const char kPlotHelp[] =
    "Draws the curves of WELL (by default all but the depth curves) as depth\n"
    "tracks with the well's markers as named lines across every track, in a\n"
    "standalone SVG file (WELL.svg without -o; -o - writes to standard output)\n"
    "that any web browser opens. Resistivity curves (unit ohm.m, or family\n"
    "resistivity in the project's curve dictionary) get a logarithmic track;\n"
    "the other tracks span the 1st to the 99th percentile of their values, so\n"
    "that a few outliers do not flatten the curve. --scale CURVE=MIN:MAX sets a\n"
    "track's range (a log track's too); --depth FROM:TO draws those depths only.\n";

}  // namespace

// ---- commands -----------------------------------------------------------

int RunImportLas(IDataFactory& factory, const ImportLasOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    LasImportOptions import;
    import.replace = options.replace;
    if (!PrepareProject(*data, options, import.projectUnit, io)) return kExitFailure;
    return ImportEach(options.files, io, [&](const std::string& file, const ProgressStep& step) {
        Diagnostics diagnostics(file);
        LasImportSummary summary;
        import.progress = step;
        import.interrupted = &InterruptGuard::Requested;
        const bool ok = ImportLasFile(*data, options.project, file, summary, diagnostics, import);
        PrintDiagnostics(diagnostics, io.err);
        if (!ok) return FileOutcome::kFailed;
        io.out << file << ": well " << summary.well << ", " << Counted(summary.curves, "curve")
               << " x " << Counted(summary.rows, "depth step") << " imported"
               << (summary.headerCreated ? ", well header created" : "");
        if (summary.depthCurve != summary.curveNames.front()) {
            io.out << ", depth curve " << summary.depthCurve;
        }
        io.out << Counts({{summary.added, "added"},
                          {summary.replaced, "replaced"},
                          {summary.deleted, "deleted"},
                          {summary.unchanged, "unchanged"}});
        if (!summary.conversion.empty()) io.out << ", " << summary.conversion;
        if (!diagnostics.Warnings().empty()) {
            io.out << " (" << Counted(diagnostics.Warnings().size(), "warning") << ")";
        }
        io.out << "\n";
        PrintChanges(summary.changes, io.out);
        return FileOutcome::kImported;
    });
}

int RunExportLas(IDataFactory& factory, const ExportLasOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    LasExportOptions exported;
    exported.depthCurve = options.depthCurve;
    const std::string project = ProjectOr(options.project, options.connect);
    if (!ProjectDepthUnit(*data, project, exported.storedUnit, io)) return kExitFailure;
    // Without --project, the unit of the project that holds the well.
    if (options.project.empty()) {
        WellDepthUnit(data->Own(), data->Wells(), options.well, exported.storedUnit);
    }
    exported.writtenUnit = exported.storedUnit;
    if (!options.unit.empty()) ParseDepthUnit(options.unit, exported.writtenUnit);
    Diagnostics diagnostics(options.output.empty() ? options.well : options.output);
    std::string text;
    LasExportSummary summary;
    const bool ok = ExportLas(*data, options.well, exported, text, summary, diagnostics);
    PrintDiagnostics(diagnostics, io.err);
    if (!ok) return kExitFailure;
    // The file goes to standard output: the summary must not go with it.
    const std::string output = options.output.empty() ? "-" : options.output;
    std::ostream& report = SummaryStream(output, io);
    if (options.depth.given && !KeepLasDepths(text, options.depth, summary.rows, io)) {
        return kExitFailure;
    }
    if (!WriteOutput(output, text, io)) return kExitFailure;
    report << "Well " << options.well << ": " << Counted(summary.curves, "curve") << " x "
           << Counted(summary.rows, "depth step") << " of depth curve " << summary.depthCurve
           << " written to " << OutputName(output);
    if (exported.writtenUnit != exported.storedUnit) {
        report << ", depths converted from " << DepthUnitName(exported.storedUnit) << " to "
               << DepthUnitName(exported.writtenUnit);
    }
    report << "\n";
    return kExitOk;
}

namespace {

using CsvImport = bool (*)(ProjectData&, const std::string&, const CsvImportOptions&,
                           CsvImportSummary&, Diagnostics&);

// Tops and surveys alike: each file one save, its summary line and the
// changes it made named; a file with refused rows makes the exit code 1.
int RunCsvImport(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io,
                 CsvImport import, const char* what) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    CsvImportOptions csv;
    csv.project = options.project;
    csv.replace = options.replace;
    if (!ProjectDepthUnit(*data, ProjectOr(options.project, options.connect), csv.projectUnit,
                          io)) {
        return kExitFailure;
    }
    csv.fileUnitGiven = !options.unit.empty() && ParseDepthUnit(options.unit, csv.fileUnit);
    return ImportEach(options.files, io, [&](const std::string& file, const ProgressStep&) {
        Diagnostics diagnostics(file);
        CsvImportSummary summary;
        const bool ok = import(*data, file, csv, summary, diagnostics);
        PrintDiagnostics(diagnostics, io.err);
        if (!ok) return FileOutcome::kFailed;
        io.out << file << ": " << what << " of " << Counted(summary.wells, "well") << " imported ("
               << Counted(summary.rows, "row")
               << Counts({{summary.added, "added"},
                          {summary.updated, "updated"},
                          {summary.replaced, "replaced"},
                          {summary.deleted, "deleted"},
                          {summary.unchanged, "unchanged"},
                          {summary.kept, "kept as stored"},
                          {summary.refused, summary.refused == 1 ? "row refused" : "rows refused"}})
               << ")" << (summary.conversion.empty() ? "" : ", " + summary.conversion) << "\n";
        PrintChanges(summary.changes, io.out);
        return summary.refused > 0 ? FileOutcome::kPartly : FileOutcome::kImported;
    });
}

}  // namespace

int RunImportTops(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io) {
    return RunCsvImport(factory, options, io, &ImportMarkersCsvFile, "markers");
}

int RunImportDeviation(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io) {
    return RunCsvImport(factory, options, io, &ImportSurveysCsvFile, "deviation surveys");
}

int RunPlot(IDataFactory& factory, const PlotCommandOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    const std::string output =
        options.output.empty() ? FileNameFor(options.well) + ".svg" : options.output;
    Diagnostics diagnostics(output);
    LogCurveSet set;
    if (!data->Logs().LoadWellData(options.well.c_str(), set)) {
        io.err << "strataloom: "
               << data->Failure("well " + options.well + " has no curves in " + options.connect)
               << "\n";
        return kExitFailure;
    }
    MarkerSet markers;
    const bool hasMarkers = data->Markers().LoadWellData(options.well.c_str(), markers) == 1;
    PlotOptions plot;
    plot.curves = options.curves;
    plot.scales = options.scales;
    plot.from = options.depth.from;
    plot.to = options.depth.to;
    AddDictionaryFamilies(factory, data->Connect(), set, plot);
    std::string svg;
    PlotLayout layout;
    const bool ok =
        RenderLogPlot(set, hasMarkers ? &markers : nullptr, plot, svg, layout, diagnostics);
    PrintDiagnostics(diagnostics, io.err);
    if (!ok) return kExitFailure;
    if (!WriteOutput(output, svg, io)) return kExitFailure;
    SummaryStream(output, io) << "Plot of well " << options.well << " (depths "
                              << FormatNumber(layout.shallowest) << " to "
                              << FormatNumber(layout.deepest) << "): " << OutputName(output)
                              << "\n";
    return kExitOk;
}

const std::vector<FormatCommand>& FormatCommands() {
    static const std::vector<FormatCommand> commands = [] {
        // The listings first, then imports, exports and plots, then the
        // commands that change or take apart what is stored.
        std::vector<FormatCommand> all = ListingCommands();
        const std::vector<FormatCommand> transfers = {
            STRATALOOM_COMMAND("import-las", ImportLasOptions, ParseImportLas, RunImportLas,
                               kImportLasSynopsis, kImportLasHelp),
            STRATALOOM_COMMAND("export-las", ExportLasOptions, ParseExportLas, RunExportLas,
                               kExportLasSynopsis, kExportLasHelp),
            STRATALOOM_COMMAND("import-tops", ImportCsvOptions, ParseImportCsv, RunImportTops,
                               kImportTopsSynopsis, kImportTopsHelp),
            STRATALOOM_COMMAND("import-deviation", ImportCsvOptions, ParseImportCsv,
                               RunImportDeviation, kImportDeviationSynopsis, kImportDeviationHelp),
            STRATALOOM_COMMAND("plot", PlotCommandOptions, ParsePlot, RunPlot, kPlotSynopsis,
                               kPlotHelp),
        };
        all.insert(all.end(), transfers.begin(), transfers.end());
        const std::vector<FormatCommand> checks = CheckCommands();
        all.insert(all.end(), checks.begin(), checks.end());
        all.push_back(CopyProjectCommand());
        const std::vector<FormatCommand> changes = ChangingCommands();
        all.insert(all.end(), changes.begin(), changes.end());
        return all;
    }();
    return commands;
}

const FormatCommand* FindFormatCommand(const std::string& name) {
    for (const FormatCommand& command : FormatCommands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
}

void PrintHelp(const FormatCommand& command, std::ostream& out) {
    out << "usage: strataloom " << command.synopsis << "\n\n" << command.help;
}

int RunFormatCommand(const FormatCommand& command, IDataFactory& factory,
                     const std::vector<std::string>& args, CommandIo& io) {
    if (!WantsHelp(args)) return command.run(factory, args, io);
    PrintHelp(command, io.out);
    return kExitOk;
}

}  // namespace strataloom::formats
