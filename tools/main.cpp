// The host program: loads the module at run time, as the application does,
// and drives it from the command line, one command per run.
#include <cstdio>
#include <string>
#include <vector>

#include "command.h"
#include "groups.h"
#include "module.h"
#include "strataloom/version.h"

namespace tool {

namespace {

CommandTable ProgramCommands();

// Every command, group after group, in the order the help lists them.
const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (const CommandTable& group : {ProjectCommands(), DataCommands(), ProgramCommands()}) {
            all.insert(all.end(), group.begin(), group.end());
        }
        return all;
    }();
    return commands;
}

const Command* FindCommand(const std::string& name) {
    for (const Command& command : AllCommands()) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

void PrintOverview() {
    std::printf("usage: strataloom COMMAND [ARGUMENTS]\n\nCommands:\n");
    for (const Command& command : AllCommands()) std::printf("  strataloom %s\n", command.synopsis);
    std::printf(
        "\n'strataloom help COMMAND' or 'strataloom COMMAND --help' tells what a command takes.\n"
        "The module is %s in the library folder beside the program's folder,\n"
        "unless STRATALOOM_MODULE names another.\n"
        "Exit codes: 0 success, 1 failure (with the module's reason), 2 bad usage.\n",
        ModuleFileName().c_str());
}

void PrintCommandHelp(const Command& command) {
    std::printf("usage: strataloom %s\n\n%s", command.synopsis, command.help);
}

int RunHelp(const Invocation& invocation) {
    if (invocation.args.positional.empty()) {
        PrintOverview();
        return kSuccess;
    }
    const Command* command = FindCommand(invocation.args.positional[0]);
    if (!command) return invocation.BadUsage("unknown command " + invocation.args.positional[0]);
    PrintCommandHelp(*command);
    return kSuccess;
}

int RunVersion(const Invocation&) {
    std::printf("strataloom program %s\n", STRATALOOM_VERSION);
    Module module;
    if (!module.Load()) return kFailure;
    const std::string version = module.Version();
    std::printf("module %s %s\n", module.Path().c_str(),
                version.empty() ? "(tells no version)" : version.c_str());
    return kSuccess;
}

CommandTable ProgramCommands() {
    return {
        {"help", "help [COMMAND]",
         "Without COMMAND (or as --help, -h) lists the commands; with it, tells what\n"
         "COMMAND takes and does, as COMMAND --help does.\n",
         Syntax{0, 1, {}}, &RunHelp},
        {"version", "version",
         "Prints the version the program was built with, then the module's path and\n"
         "the version the module reports.\n",
         Syntax{0, 0, {}}, &RunVersion},
    };
}

bool AsksForHelp(const std::vector<std::string>& words) {
    for (const std::string& word : words) {
        if (word == "--") return false;
        if (word == "--help" || word == "-h") return true;
    }
    return false;
}

int Run(const std::vector<std::string>& words) {
    if (words.empty()) {
        PrintUsageError(nullptr, "no command given");
        return kBadUsage;
    }
    std::string name = words[0];
    if (name == "--help" || name == "-h") name = "help";
    if (name == "--version") name = "version";
    const Command* command = FindCommand(name);
    if (!command) {
        PrintUsageError(nullptr, (name[0] == '-' ? "unknown option " : "unknown command ") + name);
        return kBadUsage;
    }
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    if (AsksForHelp(rest)) {
        PrintCommandHelp(*command);
        return kSuccess;
    }
    Invocation invocation{*command, rest, {}};
    std::string error;
    if (!command->syntax.wordsAsGiven &&
        !ParseArguments(rest, command->syntax, invocation.args, error)) {
        return invocation.BadUsage(error);
    }
    return command->run(invocation);
}

}  // namespace

}  // namespace tool

int main(int argc, char** argv) {
    return tool::Run(std::vector<std::string>(argv + 1, argv + argc));
}
