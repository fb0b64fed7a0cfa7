#include "cli/CliFiles.h"

#include "radio/ConfigFile.h"

#include <ostream>

namespace tarn::cli {

bool loadLanguage(const Invocation& call, std::string_view command, CliLanguage& language)
{
    std::string error;
    if (language.load(call, &error))
        return true;
    call.err << "tarn-cli " << command << ": " << error << "\n";
    return false;
}

bool loadFile(const Invocation& call, std::string_view command, const std::string& path, RadioImage& image,
              bool whole)
{
    const FileResult loaded = whole ? loadWholeConfiguration(path, image) : loadConfiguration(path, image);
    if (loaded.outcome == FileOutcome::CannotOpen) {
        call.err << "tarn-cli " << command << ": cannot open " << path << ": " << loaded.reason << "\n";
        return false;
    }
    if (loaded.outcome == FileOutcome::NotTarnFile) {
        call.err << "tarn-cli " << command << ": " << path
                 << " is not a Tarn configuration file (it does not begin with \"" << ConfigMagic << "\")\n";
        return false;
    }
    return true;
}

bool saveFile(const Invocation& call, std::string_view command, const std::string& path, const RadioImage& image)
{
    const FileResult saved = saveConfiguration(path, image);
    if (saved.outcome != FileOutcome::Saved) {
        call.err << "tarn-cli " << command << ": cannot write " << path << ": " << saved.reason << "\n";
        return false;
    }
    return true;
}

}  // namespace tarn::cli
