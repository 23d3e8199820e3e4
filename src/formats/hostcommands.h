// The host program's data commands: listing a project, LAS import and
// export, tops and deviation surveys from spreadsheets, and log plots. Each
// command is a function of the module's factory and its options, returning
// the program's exit code; the host program only loads the module and
// forwards its arguments. Results go to `out`, warnings and errors to `err`.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "formats/logplot.h"
#include "formats/progress.h"
#include "strataloom/idatabase.h"

namespace strataloom::formats {

// kExitInterrupted (130, interrupt.h) when a signal stopped an import.
enum ExitCode { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

struct CommandIo {
    std::ostream& out;
    std::ostream& err;
    // Shown while files are imported; null for none.
    ProgressReporter* progress = nullptr;
    // The module's reason for its last failure, when the host can tell it;
    // added to the message of every failed operation.
    std::function<std::string()> failureReason;
    // Where the template project database (Projects.mdb) is looked for when
    // a command makes a project folder, in order.
    std::vector<std::string> templateDirs = {};
};

// A depth interval given as FROM:TO (either may be left out: ":2000").
struct DepthRange {
    double from = -1e308;
    double to = 1e308;
    bool given = false;
    bool Holds(double depth) const { return depth >= from && depth <= to; }
};

struct ImportLasOptions {
    std::string connect;
    std::string project;
    std::vector<std::string> files;
    bool replace = false;        // the file's curves replace the stored ones of the same names
    bool createProject = false;  // a project the database does not know is made
    std::string depthUnit;       // "m" or "ft" for a project made here; empty: metres
};
struct ExportLasOptions {
    std::string connect;
    std::string well;
    std::string output;      // empty: standard output
    std::string depthCurve;  // empty: the depth curve most curves use
    DepthRange depth;        // the depth steps written, in the unit written
    std::string unit;        // "m" or "ft"; empty: the project's depth unit
    std::string project;     // empty: the project the database is named after
};
struct ImportCsvOptions {
    std::string connect;
    std::vector<std::string> files;
    std::string project;  // empty: wells of any project of the database are taken
    bool replace = false;
    std::string unit;  // depths of the files, "m" or "ft"; empty: as the header row says
};
struct PlotCommandOptions {
    std::string connect;
    std::string well;
    std::vector<std::string> curves;  // empty: every curve but the depth curves
    std::string output;  // empty: WELL.svg in the working directory; "-": standard output
    DepthRange depth;    // the depths drawn
    std::vector<PlotScale> scales;  // ranges given for tracks
};

int RunImportLas(IDataFactory& factory, const ImportLasOptions& options, CommandIo& io);
int RunExportLas(IDataFactory& factory, const ExportLasOptions& options, CommandIo& io);
int RunImportTops(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io);
int RunImportDeviation(IDataFactory& factory, const ImportCsvOptions& options, CommandIo& io);
int RunPlot(IDataFactory& factory, const PlotCommandOptions& options, CommandIo& io);

// One command as the host program's command table lists it. `parse` checks
// the arguments that follow the command's name without touching the module
// (false, with the reason on err, for bad usage); `run` parses and runs them.
struct FormatCommand {
    const char* name;
    const char* synopsis;  // one line, after the program's name
    const char* help;      // what --help prints after the synopsis
    bool (*parse)(const std::vector<std::string>& args, std::ostream& err);
    int (*run)(IDataFactory& factory, const std::vector<std::string>& args, CommandIo& io);
};

// The listings (listcommands.h), import-las, export-las, import-tops,
// import-deviation, plot, copy-project (projectcopy.h), then the commands
// that delete (listcommands.h).
const std::vector<FormatCommand>& FormatCommands();
// The command of that name, or null.
const FormatCommand* FindFormatCommand(const std::string& name);

// Whether args ask for the command's help ("--help" or "-h").
bool WantsHelp(const std::vector<std::string>& args);
// "usage: strataloom SYNOPSIS" and the help text.
void PrintHelp(const FormatCommand& command, std::ostream& out);
// The help on io.out when args ask for it (exit code 0), else command.run.
int RunFormatCommand(const FormatCommand& command, IDataFactory& factory,
                     const std::vector<std::string>& args, CommandIo& io);

}  // namespace strataloom::formats
