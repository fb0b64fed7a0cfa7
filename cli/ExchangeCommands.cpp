// The exchange commands of tarn-cli: "diff" compares two configuration files by meaning,
// "export-csv" and "import-csv" carry channels to and from other radio tools (and take the
// stock channel sets "stock" lists), "import-tw" merges whole channels from another
// configuration, "export" and "import" turn a configuration into its readable YAML text form
// and back.
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "exchange/ChannelCsv.h"
#include "exchange/ChannelImport.h"
#include "exchange/TextForm.h"
#include "lang/ResourceLookup.h"
#include "radio/ConfigFile.h"
#include "radio/ImageDiff.h"
#include "radio/RadioImage.h"
#include "radio/SafeFile.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <memory>
#include <optional>

namespace tarn::cli {

namespace {

const CommandOption IntoOption{"--into", "OUT.tw",
    "Save the result as OUT.tw instead of changing FILE.tw."};
const CommandOption SkipBadOption{"--skip-bad", "",
    "Import the good rows even when some rows cannot be taken (they are still listed)."};
const CommandOption BaseOption{"--base", "FILE.tw",
    "Take everything the text form does not cover from FILE.tw (default: a new configuration)."};
const CommandOption StockOption{"--stock", "NAME",
    "Import the stock channel set NAME (see tarn-cli stock) instead of a CSV file."};
const CommandOption AtOption{"--at", "WHERE",
    "end: after the last programmed channel; N: from channel N on, replacing what is there; replace: "
    "instead of every channel. Without it import-csv puts each row on the channel its Location names "
    "(a file without channel numbers, and a stock set, go after the last programmed channel) and "
    "import-tw puts the channels at the end."};
const CommandOption OutOfBandOption{"--out-of-band", "WHAT",
    "What to do with a channel whose frequency the radio cannot use (outside the file's band limits "
    "or the transmit windows): keep (the default; each is listed), receive-only or skip."};
const CommandOption ChannelsOption{"--channels", "A-B",
    "Take only the channels A to B of OTHER.tw (default: all); empty ones are never taken."};

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

// The stock sets and lang.csv are looked up beside the installed program too, which needs
// the application object to know where the program is.
std::unique_ptr<QCoreApplication> appForLookup()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "tarn-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

// A channel number 1-128.
std::optional<int> channelNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int n = std::stoi(text);
    return n >= 1 && n <= layout::ChannelCount ? std::optional(n) : std::nullopt;
}

// What the options of an import ask for, checked before any file is touched.
struct ImportRequest {
    std::optional<Placement> placement;  // none: the command's default
    UnusableChoice unusable = UnusableChoice::AsIs;
};

bool parseImportOptions(const Invocation& call, std::string_view command, ImportRequest& request)
{
    if (call.has(AtOption.name)) {
        const std::string at = call.value(AtOption.name);
        const auto number = channelNumber(at);
        if (at == "end")
            request.placement = Placement{PlaceMode::AfterLast, 0};
        else if (at == "replace")
            request.placement = Placement{PlaceMode::ReplaceAll, 0};
        else if (number)
            request.placement = Placement{PlaceMode::FromChannel, *number - 1};
        else {
            call.err << "tarn-cli " << command << ": --at takes end, replace or a channel 1-128, not '" << at << "'\n";
            return false;
        }
    }
    if (call.has(OutOfBandOption.name)) {
        const std::string what = call.value(OutOfBandOption.name);
        if (what == "keep")
            request.unusable = UnusableChoice::AsIs;
        else if (what == "receive-only")
            request.unusable = UnusableChoice::ReceiveOnly;
        else if (what == "skip")
            request.unusable = UnusableChoice::Skip;
        else {
            call.err << "tarn-cli " << command << ": --out-of-band takes keep, receive-only or skip, not '" << what
                     << "'\n";
            return false;
        }
    }
    return true;
}

std::string rowsText(const std::vector<int>& rows)
{
    std::string text;
    for (int row : rows)
        text += (text.empty() ? "" : " ") + std::to_string(row + 1);
    return text;
}

// Plans the import, says what happens to every channel that does not simply arrive, puts
// them in and saves. `source` names the lines of the notes.
int importPlanned(const Invocation& call, std::string_view command, const std::string& path, RadioImage& image,
                  const IncomingChannels& incoming, const ImportChoices& choices, const std::string& source)
{
    CliLanguage language;
    if (!loadLanguage(call, command, language))
        return ExitError;
    const ImportPlan plan = PlanImport(image, incoming, choices);
    if (plan.refused()) {
        ChannelOutcome refused;
        refused.refusal = ChannelRefusal::PastLastChannel;
        refused.pastEnd = plan.pastEnd;
        call.out << ChannelRefusalText(refused, language.function()) << "\n";
        call.err << "tarn-cli " << command << ": nothing was imported\n";
        return ExitFailed;
    }
    for (std::size_t k = 0; k < plan.channels.size(); ++k) {
        const PlannedChannel& planned = plan.channels[k];
        const std::string note = ImportNoteText(planned, incoming.channels[k], language.function());
        if (note.empty())
            continue;
        call.out << source << ":" << incoming.channels[k].line << ": "
                 << (planned.row >= 0 ? "channel " + std::to_string(planned.row + 1)
                                            + (planned.name.name.empty() ? "" : " " + planned.name.name)
                                      : std::string("not imported"))
                 << ": " << note << "\n";
    }
    if (!plan.overwritten.empty())
        call.out << "Replaced programmed channels: " << rowsText(plan.overwritten) << "\n";
    ApplyImport(image, incoming, plan);
    const std::string target = call.has(IntoOption.name) ? call.value(IntoOption.name) : path;
    if (!saveFile(call, command, target, image))
        return ExitError;
    std::vector<int> rows;
    for (const PlannedChannel& planned : plan.channels)
        if (planned.row >= 0)
            rows.push_back(planned.row);
    std::sort(rows.begin(), rows.end());
    call.out << "Channels imported: " << plan.arriving << " into " << target;
    // Where they went, when that is one run of channels.
    if (!rows.empty() && rows.back() - rows.front() + 1 == static_cast<int>(rows.size()))
        call.out << " (channel" << (rows.size() > 1 ? "s " : " ") << rows.front() + 1
                 << (rows.size() > 1 ? "-" + std::to_string(rows.back() + 1) : std::string()) << ")";
    call.out << "\n";
    return ExitOk;
}

// A stock channel set's text, by name; false with the names there are.
bool readStockSet(const Invocation& call, std::string_view command, const std::string& name, std::string& text)
{
    initTarnResources();
    const QString path = findStockChannelSet(QString::fromStdString(name));
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        call.err << "tarn-cli " << command << ": there is no stock channel set '" << name << "'; there are:";
        for (const StockChannelSet& set : stockChannelSets())
            call.err << " " << set.name.toStdString();
        call.err << "\n";
        return false;
    }
    if (static_cast<std::uintmax_t>(file.size()) > InputSizeLimit) {
        call.err << "tarn-cli " << command << ": cannot read " << path.toStdString() << ": "
                 << inputTooLargeReason(static_cast<std::uintmax_t>(file.size())) << "\n";
        return false;
    }
    text = file.readAll().toStdString();
    return true;
}

int runImportCsv(const Invocation& call)
{
    constexpr std::string_view command = "import-csv";
    const auto app = appForLookup();
    const std::string& path = call.arguments[0];
    const bool stock = call.has(StockOption.name);
    if (stock == (call.arguments.size() > 1)) {
        call.err << "tarn-cli " << command << ": give either IN.csv or --stock NAME\n";
        return ExitError;
    }
    ImportRequest request;
    if (!parseImportOptions(call, command, request))
        return ExitError;
    RadioImage image;
    std::string text;
    const std::string source = stock ? call.value(StockOption.name) : call.arguments[1];
    if (!loadFile(call, command, path, image, true))
        return ExitError;
    if (stock ? !readStockSet(call, command, source, text) : !readInput(call, command, source, text))
        return ExitError;

    ImportChoices choices;
    choices.unusable = request.unusable;
    // Without --at a file's rows go to the channels its Location column names, as they
    // always have; a stock set, or a file without channel numbers, goes after the last
    // programmed channel.
    const bool located = !request.placement && !stock && CsvHasLocations(text);
    choices.placement = request.placement.value_or(Placement{located ? PlaceMode::AtLocations : PlaceMode::AfterLast, 0});
    const IncomingChannels incoming = located ? ReadCsvChannelsAtLocations(text, image) : ReadCsvChannels(text);
    for (const CsvProblem& problem : incoming.problems)
        call.err << (source == "-" ? std::string("<stdin>") : source) << ":" << problem.line << ": " << problem.reason << "\n";
    if (!incoming.problems.empty() && !call.has(SkipBadOption.name)) {
        call.err << "tarn-cli " << command << ": nothing was imported (--skip-bad imports the good rows)\n";
        return ExitFailed;
    }
    return importPlanned(call, command, path, image, incoming, choices, source == "-" ? "<stdin>" : source);
}

int runImportTw(const Invocation& call)
{
    constexpr std::string_view command = "import-tw";
    const auto app = appForLookup();
    const std::string& path = call.arguments[0];
    const std::string& otherPath = call.arguments[1];
    ImportRequest request;
    if (!parseImportOptions(call, command, request))
        return ExitError;
    std::vector<int> rows = RowRange(0, layout::ChannelCount - 1);
    if (call.has(ChannelsOption.name)) {
        const std::string range = call.value(ChannelsOption.name);
        const auto dash = range.find('-');
        const auto first = channelNumber(range.substr(0, dash));
        const auto last = dash == std::string::npos ? first : channelNumber(range.substr(dash + 1));
        if (!first || !last || *last < *first) {
            call.err << "tarn-cli " << command << ": --channels takes a channel or a range of channels (1-128, A-B), not '"
                     << range << "'\n";
            return ExitError;
        }
        rows = RowRange(*first - 1, *last - 1);
    }
    RadioImage image;
    RadioImage other;
    if (!loadFile(call, command, path, image, true) || !loadFile(call, command, otherPath, other, true))
        return ExitError;
    ImportChoices choices;
    choices.unusable = request.unusable;
    choices.placement = request.placement.value_or(Placement{PlaceMode::AfterLast, 0});
    const IncomingChannels incoming = ChannelsOfConfiguration(other, rows);
    if (incoming.channels.empty()) {
        call.err << "tarn-cli " << command << ": " << otherPath << " has no programmed channel there; nothing was imported\n";
        return ExitFailed;
    }
    return importPlanned(call, command, path, image, incoming, choices, otherPath);
}

int runStock(const Invocation& call)
{
    const auto app = appForLookup();
    initTarnResources();
    if (!call.arguments.empty()) {
        std::string text;
        if (!readStockSet(call, "stock", call.arguments[0], text))
            return ExitError;
        const StockSetHead head = ReadStockSetHead(text);
        call.out << head.title << "\n";
        for (const std::string& note : head.notes)
            call.out << (note.empty() ? "" : "  ") << note << "\n";
        call.out << "\n" << ReadCsvChannels(text).channels.size() << " channels; "
                 << "tarn-cli import-csv FILE.tw --stock " << call.arguments[0] << " imports them\n";
        return ExitOk;
    }
    const QList<StockChannelSet> sets = stockChannelSets();
    std::size_t width = 0;
    for (const StockChannelSet& set : sets)
        width = std::max(width, static_cast<std::size_t>(set.name.size()));
    for (const StockChannelSet& set : sets) {
        QFile file(set.path);
        const bool readable = file.open(QIODevice::ReadOnly) && static_cast<std::uintmax_t>(file.size()) <= InputSizeLimit;
        const std::string text = readable ? file.readAll().toStdString() : std::string();
        std::string name = set.name.toStdString();
        name.resize(width + 2, ' ');
        const std::string count = std::to_string(ReadCsvChannels(text).channels.size());
        call.out << name << std::string(count.size() < 3 ? 3 - count.size() : 0, ' ') << count << "  "
                 << ReadStockSetHead(text).title << "\n";
    }
    if (sets.isEmpty())
        call.err << "tarn-cli stock: no stock channel sets were found\n";
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
        {"import-csv", "FILE.tw [IN.csv]",
         "Read channels from CSV (\"-\" for standard input, or a stock set with --stock) into FILE.tw; "
         "rows that cannot be taken are listed with their line, every name that had to change and "
         "every frequency the radio cannot use with its channel. All or nothing unless --skip-bad.",
         1, 2, {IntoOption, SkipBadOption, StockOption, AtOption, OutOfBandOption, LangOption},
         [](const Invocation& c) { return guarded(c, "import-csv", runImportCsv); }},
        {"import-tw", "FILE.tw OTHER.tw",
         "Copy the programmed channels of another configuration (or a backup) into FILE.tw, every "
         "byte of each, after the last programmed channel unless --at says otherwise.",
         2, 2, {IntoOption, ChannelsOption, AtOption, OutOfBandOption, LangOption},
         [](const Invocation& c) { return guarded(c, "import-tw", runImportTw); }},
        {"stock", "[NAME]",
         "List the stock channel sets (name, channels, what they are), or show what set NAME is, where "
         "its frequencies come from and its legal notes.",
         0, 1, {},
         [](const Invocation& c) { return guarded(c, "stock", runStock); }},
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
