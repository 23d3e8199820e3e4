// The host program's commands: each is one entry of a command table (name,
// one-line synopsis, help text, the arguments it takes, the function that runs
// it). A group of commands lives in a unit of its own and hands out its table;
// main lists the groups.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace tool {

// Exit codes of every command.
enum ExitCode { kSuccess = 0, kFailure = 1, kBadUsage = 2 };

// An option of a command: "--name VALUE" (or "--name=VALUE") when it has a
// value placeholder, a bare "--name" switch when the placeholder is null.
struct Option {
    const char* name;
    const char* value;
};

// The words a command accepts after its name. A command that reads its words
// itself takes them as given: nothing is checked before it runs.
struct Syntax {
    std::size_t minPositional = 0;
    std::size_t maxPositional = 0;
    std::vector<Option> options;
    bool wordsAsGiven = false;
};

// The words given, sorted by the command's syntax.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;  // switches hold an empty value

    bool Has(const std::string& option) const { return options.count(option) != 0; }
    std::string Value(const std::string& option, const std::string& fallback = "") const;
};

struct Command;

// One run of a command: the command, the words after its name, and the
// arguments sorted from them (empty for words taken as given).
struct Invocation {
    const Command& command;
    std::vector<std::string> words;
    Arguments args;

    // Writes one line saying what was wrong with the words given and returns kBadUsage.
    int BadUsage(const std::string& what) const;
};

struct Command {
    const char* name;
    const char* synopsis;  // the words after the program's name, one line: "demo [PARENT_DIR]"
    const char* help;      // what the command does, shown after the synopsis by "help NAME"
    Syntax syntax;
    int (*run)(const Invocation& invocation);
};

// A group's commands, in the order in which the help lists them.
using CommandTable = std::vector<Command>;

// Sorts the words by the syntax; on a word that does not fit, error says why.
bool ParseArguments(const std::vector<std::string>& words, const Syntax& syntax, Arguments& args,
                    std::string& error);

// Writes the one line of a usage error for the program or for a command
// (null: the program itself).
void PrintUsageError(const Command* command, const std::string& what);

}  // namespace tool
