// Loading and saving configuration files and the language table for the commands of
// tarn-cli, each failure said once in the same words on standard error.
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

bool saveFile(const Invocation& call, std::string_view command, const std::string& path, const RadioImage& image);

}  // namespace tarn::cli
