#include "command.h"

#include <iostream>

namespace tool {

namespace {

const Option* FindOption(const Syntax& syntax, const std::string& name) {
    for (const Option& option : syntax.options) {
        if (name == option.name) return &option;
    }
    return nullptr;
}

std::string PositionalCountError(const Syntax& syntax, std::size_t given) {
    if (given > syntax.maxPositional) {
        return syntax.maxPositional == 0
                   ? "takes no arguments"
                   : "takes at most " + std::to_string(syntax.maxPositional) + " argument" +
                         (syntax.maxPositional == 1 ? "" : "s") + ", " + std::to_string(given) +
                         " given";
    }
    return "needs at least " + std::to_string(syntax.minPositional) + " argument" +
           (syntax.minPositional == 1 ? "" : "s") + ", " + std::to_string(given) + " given";
}

}  // namespace

std::string Arguments::Value(const std::string& option, const std::string& fallback) const {
    const auto found = options.find(option);
    return found == options.end() ? fallback : found->second;
}

bool ParseArguments(const std::vector<std::string>& words, const Syntax& syntax, Arguments& args,
                    std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 2 || word[0] != '-') {
            args.positional.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const Option* option = FindOption(syntax, name);
        if (!option) {
            error = "unknown option " + name;
            return false;
        }
        if (args.Has(name)) {
            error = name + " is given twice";
            return false;
        }
        if (!option->value) {
            if (equals != std::string::npos) {
                error = name + " takes no value";
                return false;
            }
            args.options[name] = "";
        } else if (equals != std::string::npos) {
            args.options[name] = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            args.options[name] = words[++i];
        } else {
            error = name + " needs a value (" + option->value + ")";
            return false;
        }
    }
    if (args.positional.size() < syntax.minPositional ||
        args.positional.size() > syntax.maxPositional) {
        error = PositionalCountError(syntax, args.positional.size());
        return false;
    }
    return true;
}

void PrintUsageError(const Command* command, const std::string& what) {
    if (command) {
        std::cerr << "strataloom " << command->name << ": " << what << " (see 'strataloom help "
                  << command->name << "')\n";
    } else {
        std::cerr << "strataloom: " << what << " (see 'strataloom --help')\n";
    }
}

int Invocation::BadUsage(const std::string& what) const {
    PrintUsageError(&command, what);
    return kBadUsage;
}

}  // namespace tool
