// The exchange commands of tarn-cli: "diff" compares two configuration files by meaning,
// "export-csv" and "import-csv" carry channels to and from other radio tools, "export" and
// "import" turn a configuration into its readable YAML text form and back.
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "exchange/TextForm.h"
#include "exchange/ChannelCsv.h"
#include "radio/ConfigFile.h"
#include "radio/ImageDiff.h"
#include "radio/RadioImage.h"

namespace tarn::cli {

namespace {

const CommandOption IntoOption{"--into", "OUT.tw",
    "Save the result as OUT.tw instead of changing FILE.tw."};
const CommandOption SkipBadOption{"--skip-bad", "",
    "Import the good rows even when some rows cannot be taken (they are still listed)."};
const CommandOption BaseOption{"--base", "FILE.tw",
    "Take everything the text form does not cover from FILE.tw (default: a new configuration)."};

int runDiff(const Invocation& call)
{
    CliLanguage language;
    if (!loadLanguage(call, "diff", language))
        return ExitError;
    RadioImage first;
    RadioImage second;
    if (!loadFile(call, "diff", call.arguments[0], first) || !loadFile(call, "diff", call.arguments[1], second))
        return ExitError;
    const DiffWords words{language.function(), "in " + call.arguments[0], "in " + call.arguments[1]};
    const std::vector<std::string> lines = DescribeDifferences(first, second, words);
    for (const std::string& line : lines)
        call.out << line << "\n";
    return lines.empty() ? ExitOk : ExitFailed;
}

int runExportCsv(const Invocation& call)
{
    RadioImage image;
    if (!loadFile(call, "export-csv", call.arguments[0], image))
        return ExitError;
    const std::string out = call.arguments.size() > 1 ? call.arguments[1] : std::string();
    if (!sendOutput(call, "export-csv", out, ExportChannelsCsv(image)))
        return ExitError;
    // Beside the CSV on standard output the count would spoil it.
    if (!isStandardOutput(out))
        call.out << "Channels exported: " << ProgrammedChannelCount(image) << " to " << out << "\n";
    return ExitOk;
}

int runImportCsv(const Invocation& call)
{
    const std::string& path = call.arguments[0];
    const std::string& csvPath = call.arguments[1];
    RadioImage image;
    std::string text;
    if (!loadFile(call, "import-csv", path, image, true) || !readInput(call, "import-csv", csvPath, text))
        return ExitError;

    const CsvImportResult result = ImportChannelsCsv(text, image, call.has(SkipBadOption.name));
    for (const CsvProblem& problem : result.problems)
        call.err << csvPath << ":" << problem.line << ": " << problem.reason << "\n";
    if (!result.problems.empty() && !call.has(SkipBadOption.name)) {
        call.err << "tarn-cli import-csv: nothing was imported (--skip-bad imports the good rows)\n";
        return ExitFailed;
    }
    const std::string target = call.has(IntoOption.name) ? call.value(IntoOption.name) : path;
    if (!saveFile(call, "import-csv", target, image))
        return ExitError;
    call.out << "Channels imported: " << (result.applied ? result.channels.size() : 0) << " into " << target << "\n";
    return ExitOk;
}

int runExport(const Invocation& call)
{
    CliLanguage language;
    if (!loadLanguage(call, "export", language))
        return ExitError;
    RadioImage image;
    if (!loadFile(call, "export", call.arguments[0], image))
        return ExitError;
    const std::string out = call.arguments.size() > 1 ? call.arguments[1] : std::string();
    const LanguageText comments = language.function();
    return sendOutput(call, "export", out, ExportTextForm(image, &comments)) ? ExitOk : ExitError;
}

int runImport(const Invocation& call)
{
    const std::string& textPath = call.arguments[0];
    const std::string& target = call.arguments[1];
    RadioImage image;
    if (call.has(BaseOption.name) && !loadFile(call, "import", call.value(BaseOption.name), image, true))
        return ExitError;
    std::string text;
    if (!readInput(call, "import", textPath, text))
        return ExitError;
    const TextFormResult result = ImportTextForm(text, image);
    if (!result.ok) {
        call.err << (textPath == "-" ? std::string("<stdin>") : textPath) << ": " << result.error
                 << "\ntarn-cli import: nothing was written\n";
        return ExitError;
    }
    return saveFile(call, "import", target, image) ? ExitOk : ExitError;
}

}  // namespace

std::vector<Command> exchangeCommands()
{
    return {
        {"diff", "A.tw B.tw",
         "List the differences between two configuration files by channel and setting. Exit 0 when "
         "equal, 1 when they differ.",
         2, 2, {LangOption},
         [](const Invocation& c) { return guarded(c, "diff", runDiff); }},
        {"export-csv", "FILE.tw [OUT.csv]",
         "Write the programmed channels as CSV in the columns other radio tools use (to standard "
         "output without OUT.csv).",
         1, 2, {},
         [](const Invocation& c) { return guarded(c, "export-csv", runExportCsv); }},
        {"import-csv", "FILE.tw IN.csv",
         "Read channels from CSV (\"-\" for standard input) into FILE.tw; rows that cannot be taken are "
         "listed with their line. All or nothing unless --skip-bad.",
         2, 2, {IntoOption, SkipBadOption},
         [](const Invocation& c) { return guarded(c, "import-csv", runImportCsv); }},
        {"export", "FILE.tw [OUT.yaml]",
         "Write the whole configuration in its readable YAML text form (to standard output without "
         "OUT.yaml); the comments show each choice in the language of --lang.",
         1, 2, {LangOption},
         [](const Invocation& c) { return guarded(c, "export", runExport); }},
        {"import", "IN.yaml OUT.tw",
         "Make a configuration file from the YAML text form (\"-\" for standard input); bytes the text "
         "does not cover come from --base.",
         2, 2, {BaseOption},
         [](const Invocation& c) { return guarded(c, "import", runImport); }},
    };
}

}  // namespace tarn::cli
