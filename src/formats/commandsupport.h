// What the data commands share: reading their arguments, opening the
// project database a command names, and writing a result to a file or to
// standard output.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "formats/hostcommands.h"
#include "formats/listing.h"
#include "formats/projectdata.h"

namespace strataloom::formats {

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

// Splits args into positional ones, the values of the named options
// ("--name VALUE" or "--name=VALUE") and the flags ("--name"); false on an
// option it does not know. "-" alone is a positional argument (standard
// output or input).
bool SplitArgs(const std::vector<std::string>& args,
               const std::map<std::string, std::string*>& options,
               std::vector<std::string>& positional, std::ostream& err,
               const std::map<std::string, bool*>& flags = {});

// Whether between least and most positional arguments were given; else says
// what was expected.
bool CountArgs(const std::vector<std::string>& positional, std::size_t least, std::size_t most,
               const char* expected, std::ostream& err);

// "A, B ,C" as {"A", "B", "C"}.
std::vector<std::string> SplitList(const std::string& text);

// The value of --format (empty: the table); false with the reason otherwise.
bool ReadListingFormat(const std::string& text, ListingFormat& format, std::ostream& err);

// Reads --depth FROM:TO; empty text is every depth. False with the reason.
bool ParseDepthRange(const std::string& text, DepthRange& range, std::ostream& err);

// The connection string for what the user named as the database: a
// project folder stands for the project database in it (FOLDER/NAME.mdb,
// NAME being the folder's name); anything else is taken as given.
std::string ProjectConnect(const std::string& named);

// The project data objects on the database named, opened; null after
// telling why on io.err.
std::unique_ptr<ProjectData> OpenProject(IDataFactory& factory, const std::string& named,
                                         CommandIo& io);

// The project given, or the one the database is named after.
std::string ProjectOr(const std::string& project, const std::string& connect);

// Writes text to the file output names, or to io.out when output is "-";
// false after telling why.
bool WriteOutput(const std::string& output, const std::string& text, CommandIo& io);
// Where a command's summary goes: standard error when the result itself
// goes to standard output.
std::ostream& SummaryStream(const std::string& output, CommandIo& io);
// How the summary names where the result went.
std::string OutputName(const std::string& output);

// Keeps the depth steps of the LAS text that range holds (rows: how many);
// false after telling why.
bool KeepLasDepths(std::string& las, const DepthRange& range, std::size_t& rows, CommandIo& io);

// Reads --scale items CURVE=MIN:MAX; false with the reason.
bool ParsePlotScales(const std::vector<std::string>& items, std::vector<PlotScale>& scales,
                     std::ostream& err);

// Gives the plot the family of each curve of set that the project's curve
// dictionary knows, so that resistivity curves get a logarithmic track.
void AddDictionaryFamilies(IDataFactory& factory, const std::string& connect,
                           const LogCurveSet& set, PlotOptions& plot);

// Whether a load or test that returned 0 with this reason found nothing
// stored (rather than failing to read); a module that tells no reason is
// taken at its word that nothing is stored.
bool NothingStored(const std::string& reason);

template <class Options, bool (*Parse)(const std::vector<std::string>&, Options&, std::ostream&)>
bool ParseOnly(const std::vector<std::string>& args, std::ostream& err) {
    Options options;
    return Parse(args, options, err);
}

template <class Options, bool (*Parse)(const std::vector<std::string>&, Options&, std::ostream&),
          int (*Run)(IDataFactory&, const Options&, CommandIo&)>
int ParseAndRun(IDataFactory& factory, const std::vector<std::string>& args, CommandIo& io) {
    Options options;
    if (!Parse(args, options, io.err)) return kExitUsage;
    return Run(factory, options, io);
}

#define STRATALOOM_COMMAND(name, Options, Parse, Run, synopsis, help)                       \
    FormatCommand {                                                                         \
        name, synopsis, help, &ParseOnly<Options, Parse>, &ParseAndRun<Options, Parse, Run> \
    }

}  // namespace strataloom::formats
