// tarn-cli: the command-line front of Tarn. Parses "tarn-cli COMMAND [options] [arguments]"
// and hands the invocation to the command; the commands live in their group files.
#include "cli/Commands.h"

#include "TarnVersion.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

using namespace tarn::cli;

namespace {

std::vector<Command> allCommands()
{
    std::vector<Command> commands;
    for (auto group : {fileCommands, radioCommands, printCommands, exchangeCommands, channelCommands}) {
        auto more = group();
        commands.insert(commands.end(), more.begin(), more.end());
    }
    return commands;
}

void printUsage(std::ostream& out, const std::vector<Command>& commands)
{
    out << "Usage: tarn-cli COMMAND [OPTIONS] [ARGUMENTS]\n\nCommands:\n";
    std::size_t width = 0;
    for (const Command& c : commands)
        width = std::max(width, c.name.size() + 1 + c.synopsis.size());
    for (const Command& c : commands) {
        std::string head = std::string(c.name) + " " + std::string(c.synopsis);
        head.resize(width, ' ');
        out << "  " << head << "  " << c.summary << "\n";
    }
    out << "\nRun 'tarn-cli COMMAND --help' for the options of a command, 'tarn-cli --version' for the\n"
           "version.\n"
           "Exit codes: 0 success; 2 usage error or a file that cannot be read or written; 3 no radio\n"
           "answered; 4 reading from the radio failed; 5 writing failed or was refused.\n"
           "verify, write: 6 the radio differs from the file; diff: 1 the files differ;\n"
           "write --dry-run: 1 the write would change something; channels: 1 the operation was\n"
           "refused (nothing was written); write to several radios: the highest of the radios'.\n";
}

void printCommandUsage(std::ostream& out, const Command& c)
{
    out << "Usage: tarn-cli " << c.name;
    if (!c.synopsis.empty())
        out << " " << c.synopsis;
    if (!c.options.empty())
        out << " [OPTIONS]";
    out << "\n\n" << c.summary << "\n";
    if (!c.options.empty()) {
        out << "\nOptions:\n";
        for (const CommandOption& o : c.options) {
            std::string head = std::string(o.name);
            if (!o.valueName.empty())
                head += " " + std::string(o.valueName);
            out << "  " << head << "\n      " << o.help << "\n";
        }
    }
}

const CommandOption* findOption(const Command& c, std::string_view name)
{
    for (const CommandOption& o : c.options)
        if (o.name == name)
            return &o;
    return nullptr;
}

}  // namespace

int main(int argc, char* argv[])
{
    const std::vector<Command> commands = allCommands();
    std::vector<std::string> args(argv + 1, argv + argc);

    if (args.empty()) {
        printUsage(std::cerr, commands);
        return ExitError;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printUsage(std::cout, commands);
        return ExitOk;
    }
    if (args[0] == "--version" || args[0] == "-V") {
        std::cout << "tarn-cli " TARN_VERSION "\n";
        return ExitOk;
    }

    const Command* command = nullptr;
    for (const Command& c : commands)
        if (c.name == args[0])
            command = &c;
    if (!command) {
        std::cerr << "tarn-cli: unknown command '" << args[0] << "'\n\n";
        printUsage(std::cerr, commands);
        return ExitError;
    }

    Invocation invocation{{}, {}, std::cout, std::cerr, {}};
    bool optionsEnded = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            invocation.arguments.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            printCommandUsage(std::cout, *command);
            return ExitOk;
        }
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const CommandOption* option = findOption(*command, name);
        if (!option) {
            std::cerr << "tarn-cli " << command->name << ": unknown option '" << name << "'\n\n";
            printCommandUsage(std::cerr, *command);
            return ExitError;
        }
        if (option->valueName.empty()) {
            if (equals != std::string::npos) {
                std::cerr << "tarn-cli " << command->name << ": option '" << name << "' takes no value\n";
                return ExitError;
            }
            invocation.options[name] = "";
        } else if (equals != std::string::npos) {
            invocation.options[name] = arg.substr(equals + 1);
            invocation.repeated[name].push_back(invocation.options[name]);
        } else if (i + 1 < args.size()) {
            invocation.options[name] = args[++i];
            invocation.repeated[name].push_back(invocation.options[name]);
        } else {
            std::cerr << "tarn-cli " << command->name << ": option '" << name << "' needs a value\n";
            return ExitError;
        }
    }

    const int count = static_cast<int>(invocation.arguments.size());
    if (count < command->minArguments || count > command->maxArguments) {
        std::cerr << "tarn-cli " << command->name << ": wrong number of arguments\n\n";
        printCommandUsage(std::cerr, *command);
        return ExitError;
    }
    return command->run(invocation);
}
