// The commands of tarn-cli: each command group lives in its own source file and hands
// its commands to main.cpp, which parses the command line and dispatches.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tarn::cli {

// Exit codes shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;  // the operation ran and failed
inline constexpr int ExitError = 2;   // usage error, or a file that cannot be read or written
inline constexpr int ExitNoRadio = 3;      // no radio answered on any port, or it failed identification
inline constexpr int ExitReadFailed = 4;   // reading from the radio failed
inline constexpr int ExitWriteFailed = 5;  // writing to the radio failed or the band-limit check refused it
inline constexpr int ExitDiffers = 6;      // verify: the radio does not hold the configuration

struct CommandOption {
    std::string_view name;  // with the dashes: "--port"
    std::string_view valueName;  // empty for a flag, else shown in the usage: "N"
    std::string_view help;
};

// One run of a command: its positional arguments and the options given to it.
struct Invocation {
    std::vector<std::string> arguments;
    std::map<std::string, std::string, std::less<>> options;  // flags map to ""
    std::ostream& out;
    std::ostream& err;

    bool has(std::string_view option) const { return options.find(option) != options.end(); }
    std::string value(std::string_view option, const std::string& fallback = {}) const
    {
        const auto it = options.find(option);
        return it == options.end() ? fallback : it->second;
    }
    // Every value an option was given, in order (value() is the last of them).
    std::vector<std::string> values(std::string_view option) const
    {
        const auto it = repeated.find(option);
        return it == repeated.end() ? std::vector<std::string>() : it->second;
    }

    std::map<std::string, std::vector<std::string>, std::less<>> repeated;
};

struct Command {
    std::string_view name;
    std::string_view synopsis;  // arguments as shown in the usage: "FILE"
    std::string_view summary;
    int minArguments;
    int maxArguments;
    std::vector<CommandOption> options;
    int (*run)(const Invocation&);
};

// Command groups, one per source file of the same name; each group's table names its verbs
// (tarn-cli --help lists them all, docs/cli.md describes them).
std::vector<Command> fileCommands();
std::vector<Command> radioCommands();
std::vector<Command> exchangeCommands();
std::vector<Command> printCommands();
std::vector<Command> channelCommands();

}  // namespace tarn::cli
