// The configuration file commands of tarn-cli: "new" writes a default image to a file,
// "info" shows what a configuration file holds.
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <iomanip>
#include <algorithm>
#include <sstream>

namespace tarn::cli {

namespace {

std::string frequencyText(std::uint32_t word)
{
    std::string text;
    return FrequencyToText(word, text) ? text : std::string("-");
}

// Rows of cells, each column as wide as its widest cell, two blanks between columns.
std::string tableText(const std::vector<std::vector<std::string>>& rows)
{
    std::vector<int> widths;
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (widths.size() <= c)
                widths.push_back(0);
            widths[c] = std::max(widths[c], displayWidth(row[c]));
        }
    std::string text;
    for (const auto& row : rows) {
        std::string line = "  ";
        for (std::size_t c = 0; c < row.size(); ++c)
            line += c + 1 < row.size() ? padded(row[c], widths[c] + 2) : row[c];
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        text += line + "\n";
    }
    return text;
}

int runNew(const Invocation& call)
{
    const std::string path = withTwExtension(call.arguments[0]);
    const RadioImage image;
    const FileResult result = saveConfiguration(path, image);
    if (result.outcome != FileOutcome::Saved) {
        call.err << "tarn-cli new: cannot write " << path << ": " << result.reason << "\n";
        return ExitError;
    }
    call.out << "Wrote a new configuration to " << path << "\n";
    return ExitOk;
}

int runInfo(const Invocation& call)
{
    CliLanguage language;
    std::string error;
    if (!language.load(call, &error)) {
        call.err << "tarn-cli info: " << error << "\n";
        return ExitError;
    }
    const std::string& path = call.arguments[0];
    RadioImage image;
    const FileResult result = loadConfiguration(path, image);
    if (result.outcome == FileOutcome::CannotOpen) {
        call.err << "tarn-cli info: cannot open " << path << ": " << result.reason << "\n";
        return ExitError;
    }
    if (result.outcome == FileOutcome::NotTarnFile) {
        call.err << "tarn-cli info: " << path << " is not a Tarn configuration file (it does not begin with \""
                 << ConfigMagic << "\")\n";
        return ExitError;
    }

    std::ostream& out = call.out;
    out << "File: " << path << "\n";
    out << "Port number: " << image.portNumber() << "\n";

    static const char* const limitNames[] = {"Receive range 1", "Receive range 2", "Transmit range 1", "Transmit range 2"};
    out << "Band limits (MHz):\n";
    for (int range = 0; range < 4; ++range) {
        out << "  " << std::left << std::setw(18) << (std::string(limitNames[range]) + ":") << std::right
            << image.bandLimitMHz(2 * range) << " - " << image.bandLimitMHz(2 * range + 1) << "\n";
    }

    // The rows as the channel page shows them; a missing frequency shows as "-".
    const ChannelWords words = ChannelWords::fromLanguage(language.function());
    const std::string missing = frequencyText(NoFrequency);
    std::vector<std::vector<std::string>> rows(1);
    for (int header : ChannelColumnHeaders)
        rows.back().push_back(language.text(header));
    for (int i = 0; i < layout::ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        ChannelRow row = ChannelRowTexts(image, i, words);
        for (int column : {ColRxFrequency, ColTxFrequency})
            if (row[column].empty())
                row[column] = missing;
        rows.emplace_back(row.begin(), row.end());
    }
    const int inUse = static_cast<int>(rows.size()) - 1;
    out << "Channels in use: " << inUse << "\n";
    if (inUse > 0)
        out << tableText(rows);

    for (Band band : {Band::A, Band::B}) {
        const ConstSlot16 record = image.bandRecord(band);
        out << (band == Band::A ? "A band" : "B band") << ": receive "
            << frequencyText(readLe32(record.data() + layout::vfo::RxFrequency)) << ", transmit "
            << frequencyText(readLe32(record.data() + layout::vfo::TxFrequency)) << "\n";
    }
    return ExitOk;
}

}  // namespace

std::vector<Command> fileCommands()
{
    return {
        {"new", "FILE", "Write a configuration file holding a new default image (\".tw\" is appended "
                        "unless the name contains \".tw\").",
         1, 1, {}, runNew},
        {"info", "FILE", "Show the port number, band limits, channels in use and band frequencies of a "
                         "configuration file.",
         1, 1, {LangOption}, runInfo},
    };
}

}  // namespace tarn::cli
