#include "formats/hostcommands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>

#include "formats/commandsupport.h"
#include "formats/lasimport.h"
#include "formats/listcommands.h"
#include "formats/logplot.h"
#include "formats/projectdata.h"
#include "formats/text.h"
#include "formats/wellcsv.h"

namespace strataloom::formats {

namespace {

// ---- arguments ----------------------------------------------------------

bool ParseImportLas(const std::vector<std::string>& args, ImportLasOptions& options,
                    std::ostream& err) {
    std::vector<std::string> positional;
    if (!SplitArgs(args, {{"--project", &options.project}}, positional, err)) return false;
    if (!CountArgs(positional, 2, kMany, "DB --project P FILE...", err)) return false;
    if (options.project.empty()) {
        err << "strataloom: expected --project P: the project new wells go to\n";
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
                                                       {"--depth", &depth}};
    if (!SplitArgs(args, named, positional, err)) return false;
    if (!CountArgs(positional, 2, 2, "DB WELL", err)) return false;
    if (!ParseDepthRange(depth, options.depth, err)) return false;
    options.connect = positional[0];
    options.well = positional[1];
    return true;
}

bool ParseImportCsv(const std::vector<std::string>& args, ImportCsvOptions& options,
                    std::ostream& err) {
    std::vector<std::string> positional;
    if (!SplitArgs(args, {}, positional, err)) return false;
    if (!CountArgs(positional, 2, kMany, "DB FILE.csv...", err)) return false;
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

// Runs import on every file, with the progress bar when there are several;
// import prints the file's summary line and returns whether it succeeded.
int ImportEach(const std::vector<std::string>& files, CommandIo& io,
               const std::function<bool(const std::string&)>& import) {
    std::size_t imported = 0;
    ProgressReporter* progress = files.size() > 1 ? io.progress : nullptr;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (progress) progress->Show(i, files.size(), files[i]);
        const bool ok = import(files[i]);
        if (progress) progress->Clear();
        imported += ok;
    }
    if (files.size() > 1) {
        io.out << imported << " of " << files.size() << " files imported\n";
    }
    return imported == files.size() ? kExitOk : kExitFailure;
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

const char kImportLasSynopsis[] = "import-las DB --project P FILE...";
const char kImportLasHelp[] =
    "Imports LAS 1.2 and 2.0 files, one well each (named by WELL in ~W, else UWI,\n"
    "else the file name). A well the database does not have yet gets a header\n"
    "in project P, from ~W: coordinates X and Y, elevations EKB and EGL, total\n"
    "depth TD. The first curve becomes the depth curve of all the others; the\n"
    "file's curves replace the well's curves of the same names, all or nothing.\n"
    "One summary line per file; a bar shows progress on a terminal.\n";
const char kExportLasSynopsis[] =
    "export-las DB WELL [-o FILE] [--depth-curve NAME] [--depth FROM:TO]";
const char kExportLasHelp[] =
    "Writes the curves of WELL as a LAS 2.0 file (standard output without -o or\n"
    "with -o -): the curves of one depth curve, by default the one most curves\n"
    "use; with --depth, only the depth steps from FROM to TO. Every value is\n"
    "written so that it reads back exactly; nulls as the well's null value.\n";
const char kImportTopsSynopsis[] = "import-tops DB FILE.csv...";
const char kImportTopsHelp[] =
    "Imports markers from CSV files whose header row names the columns, in any\n"
    "order: well, marker, top, and optionally bottom (the top when missing) and\n"
    "description. Each file replaces the markers of every well it names, in one\n"
    "save: a file with an unreadable row changes nothing.\n";
const char kImportDeviationSynopsis[] = "import-deviation DB FILE.csv...";
const char kImportDeviationHelp[] =
    "Imports deviation surveys from CSV files whose header row names the columns,\n"
    "in any order: well, md, inclination, azimuth (degrees), optionally xoffset,\n"
    "yoffset, tvd, xcoor, ycoor, tvdss. Missing offsets and tvd are computed by\n"
    "minimum curvature from a vertical hole at md 0; xcoor and ycoor are the\n"
    "offsets from the well header's surface coordinates, tvdss is tvd less its\n"
    "kelly bushing elevation Kb. Each file replaces the surveys of every well it\n"
    "names, in one save.\n";
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
    return ImportEach(options.files, io, [&](const std::string& file) {
        Diagnostics diagnostics(file);
        LasImportSummary summary;
        const bool ok = ImportLasFile(*data, options.project, file, summary, diagnostics);
        PrintDiagnostics(diagnostics, io.err);
        if (ok) {
            io.out << file << ": well " << summary.well << ", " << Counted(summary.curves, "curve")
                   << " x " << Counted(summary.rows, "depth step") << " imported"
                   << (summary.headerCreated ? ", well header created" : "");
            if (!diagnostics.Warnings().empty()) {
                io.out << " (" << Counted(diagnostics.Warnings().size(), "warning") << ")";
            }
            io.out << "\n";
        }
        return ok;
    });
}

int RunExportLas(IDataFactory& factory, const ExportLasOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    Diagnostics diagnostics(options.output.empty() ? options.well : options.output);
    std::string text;
    LasExportSummary summary;
    const bool ok = ExportLas(*data, options.well, options.depthCurve, text, summary, diagnostics);
    PrintDiagnostics(diagnostics, io.err);
    if (!ok) return kExitFailure;
    // The file goes to standard output: the summary must not go with it.
    std::ostream& report = SummaryStream(options.output.empty() ? "-" : options.output, io);
    if (options.depth.given && !KeepLasDepths(text, options.depth, summary.rows, io)) {
        return kExitFailure;
    }
    if (!WriteOutput(options.output.empty() ? "-" : options.output, text, io)) return kExitFailure;
    report << "Well " << options.well << ": " << Counted(summary.curves, "curve") << " x "
           << Counted(summary.rows, "depth step") << " of depth curve " << summary.depthCurve
           << " written to " << OutputName(options.output.empty() ? "-" : options.output) << "\n";
    return kExitOk;
}

int RunImportTops(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    return ImportEach(options.files, io, [&](const std::string& file) {
        Diagnostics diagnostics(file);
        CsvImportSummary summary;
        const bool ok = ImportMarkersCsvFile(*data, file, summary, diagnostics);
        PrintDiagnostics(diagnostics, io.err);
        if (ok) {
            io.out << file << ": " << Counted(summary.rows, "marker") << " of "
                   << Counted(summary.wells, "well") << " imported\n";
        }
        return ok;
    });
}

int RunImportDeviation(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io) {
    auto data = OpenProject(factory, options.connect, io);
    if (!data) return kExitFailure;
    return ImportEach(options.files, io, [&](const std::string& file) {
        Diagnostics diagnostics(file);
        CsvImportSummary summary;
        const bool ok = ImportSurveysCsvFile(*data, file, summary, diagnostics);
        PrintDiagnostics(diagnostics, io.err);
        if (ok) {
            io.out << file << ": deviation surveys of " << Counted(summary.wells, "well")
                   << " imported (" << Counted(summary.rows, "station") << ")\n";
        }
        return ok;
    });
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
