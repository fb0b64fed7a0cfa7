#include "cli/CliFiles.h"

#include "radio/ConfigFile.h"
#include "radio/SafeFile.h"

#include <cerrno>
#include <exception>
#include <filesystem>
#include <iostream>
#include <new>
#include <ostream>
#include <system_error>

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

namespace {

void warnInPlace(const Invocation& call, std::string_view command, const std::string& path)
{
    call.err << "tarn-cli " << command << ": warning: " << path
             << " was overwritten in place, not atomically: its folder takes no new file\n";
}

}  // namespace

bool saveFile(const Invocation& call, std::string_view command, const std::string& path, const RadioImage& image)
{
    const FileResult saved = saveConfiguration(path, image);
    if (saved.outcome != FileOutcome::Saved) {
        call.err << "tarn-cli " << command << ": cannot write " << path << ": " << saved.reason << "\n";
        return false;
    }
    if (saved.inPlace)
        warnInPlace(call, command, path);
    return true;
}

bool readInput(const Invocation& call, std::string_view command, const std::string& path, std::string& text)
{
    if (path == "-") {
        // Read in pieces up to the bound, so an endless stream is refused, not swallowed.
        text.clear();
        char piece[65536];
        while (text.size() <= InputSizeLimit && std::cin.read(piece, sizeof piece).gcount() > 0)
            text.append(piece, static_cast<std::size_t>(std::cin.gcount()));
        if (text.size() > InputSizeLimit) {
            call.err << "tarn-cli " << command << ": cannot read standard input: " << inputTooLargeReason(text.size())
                     << "\n";
            return false;
        }
        if (std::cin.bad()) {
            call.err << "tarn-cli " << command << ": cannot read standard input\n";
            return false;
        }
        return true;
    }
    ReadResult read = readInputFile(path);
    if (!read.ok) {
        call.err << "tarn-cli " << command << ": cannot read " << path << ": " << read.reason << "\n";
        return false;
    }
    text = std::move(read.bytes);
    return true;
}

bool isStandardOutput(const std::string& path)
{
    if (path.empty() || path == "-")
        return true;
    std::error_code error;
    return std::filesystem::equivalent(path, "/dev/stdout", error) && !error;
}

bool sendOutput(const Invocation& call, std::string_view command, const std::string& path, std::string_view bytes)
{
    if (isStandardOutput(path)) {
        errno = 0;
        call.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        call.out.flush();
        if (!call.out) {
            const int error = errno;
            call.err << "tarn-cli " << command << ": cannot write to standard output"
                     << (error ? ": " + std::generic_category().message(error) : std::string()) << "\n";
            return false;
        }
        return true;
    }
    const WriteResult written = tarn::writeOutput(path, bytes);
    if (!written.written) {
        call.err << "tarn-cli " << command << ": cannot write " << path << ": " << written.reason << "\n";
        return false;
    }
    if (written.inPlace)
        warnInPlace(call, command, path);
    return true;
}

int guarded(const Invocation& call, std::string_view command, int (*run)(const Invocation&))
{
    try {
        return run(call);
    } catch (const std::bad_alloc&) {
        call.err << "tarn-cli " << command << ": " << std::generic_category().message(ENOMEM) << "\n";
    } catch (const std::exception& e) {
        call.err << "tarn-cli " << command << ": " << e.what() << "\n";
    }
    return ExitError;
}

}  // namespace tarn::cli
