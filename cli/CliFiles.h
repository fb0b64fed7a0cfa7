// Loading and saving configuration files, the language table, inputs and outputs for the
// commands of tarn-cli, each failure said once in the same words on standard error.
#pragma once

#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "radio/RadioImage.h"

#include <string>
#include <string_view>

namespace tarn::cli {

// False with "tarn-cli COMMAND: reason" on call.err.
bool loadLanguage(const Invocation& call, std::string_view command, CliLanguage& language);

// Loads a configuration file as the window opens it, or with every byte (`whole`) where a
// new file is made from it.
bool loadFile(const Invocation& call, std::string_view command, const std::string& path, RadioImage& image,
              bool whole = false);

// A save in place (the folder takes no new file) is done with a warning line.
bool saveFile(const Invocation& call, std::string_view command, const std::string& path, const RadioImage& image);

// The whole of an input file, or of standard input for "-", checked before it is read: a
// folder, a device or a FIFO is refused at once, and so is anything over 16 MB.
bool readInput(const Invocation& call, std::string_view command, const std::string& path, std::string& text);

// Whether `path` names standard output: "", "-" or the very file standard output is.
bool isStandardOutput(const std::string& path);

// Bytes to standard output (see isStandardOutput), to a device or a FIFO as they come, or to
// a file through the safe writer; every write checked, a failure said with the system's
// reason, an overwrite in place with a warning line.
bool sendOutput(const Invocation& call, std::string_view command, const std::string& path, std::string_view bytes);

// Runs a command so that no exception ends tarn-cli: one that escapes is said with its
// reason, exit code 2.
int guarded(const Invocation& call, std::string_view command, int (*run)(const Invocation&));

}  // namespace tarn::cli
