// The data commands of the formats library (listing a project, LAS import and
// export, tops and surveys from spreadsheets, log plots), one entry each in
// the host program's table. The formats library reads the words itself; here
// they reach it with the loaded module's factory and its failure reason.
#include <iostream>
#include <sstream>
#include <string>

#include "command.h"
#include "formats/hostcommands.h"
#include "formats/progress.h"
#include "groups.h"
#include "module.h"

namespace tool {

namespace {

namespace formats = strataloom::formats;

// The first line of what the formats library said, without the program's name.
std::string UsageReason(const std::string& said) {
    std::string line = said.substr(0, said.find('\n'));
    const std::string prefix = "strataloom: ";
    if (line.compare(0, prefix.size(), prefix) == 0) line.erase(0, prefix.size());
    return line.empty() ? "bad arguments" : line;
}

int RunDataCommand(const Invocation& invocation) {
    const formats::FormatCommand* command = formats::FindFormatCommand(invocation.command.name);
    if (!command) return kFailure;
    std::ostringstream said;
    if (!command->parse(invocation.words, said))
        return invocation.BadUsage(UsageReason(said.str()));
    Module module;
    if (!module.Load()) return kFailure;
    formats::TerminalProgressBar bar(std::cerr, formats::StandardErrorIsTerminal());
    formats::CommandIo io{std::cout, std::cerr, &bar, [&module] { return module.FailureReason(); }};
    io.templateDirs = TemplateDirCandidates();
    return command->run(module.Factory(), invocation.words, io);
}

}  // namespace

CommandTable DataCommands() {
    CommandTable table;
    for (const formats::FormatCommand& command : formats::FormatCommands()) {
        Syntax words;
        words.wordsAsGiven = true;
        table.push_back({command.name, command.synopsis, command.help, words, &RunDataCommand});
    }
    return table;
}

}  // namespace tool
