// The configuration file commands of tarn-cli: "new" writes a default image to a file,
// "info" shows what a configuration file holds.
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "radio/BandLimits.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/ConfigFile.h"
#include "radio/OptionsSettings.h"
#include "radio/RadioImage.h"

#include <cctype>
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

// A value as text for a terminal: the control characters the radio's text fields may hold
// (C0, DEL and the C1 range of their Latin-1 bytes) become \xNN of their byte and a
// backslash is doubled, so a line feed stays on its line and an escape byte cannot steer
// the terminal.
std::string escapedText(const std::string& utf8)
{
    static const char hex[] = "0123456789ABCDEF";
    auto escape = [](std::string& out, unsigned char byte) {
        out += "\\x";
        out += hex[byte >> 4];
        out += hex[byte & 0x0F];
    };
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c < 0x20 || c == 0x7F) {
            escape(out, c);
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080-U+009F
            escape(out, next);
            ++i;
        } else if (c == '\\') {
            out += "\\\\";
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Every setting as the optional functions and key pages show it, label = value, under the
// pages' own headings: the general settings (the hidden ones last), the A band, the B band,
// the side key.
void printSettings(std::ostream& out, const RadioImage& image, const CliLanguage& language)
{
    const LanguageText text = language.function();
    settings::Section section = settings::Section::Keys;
    bool first = true;
    for (const SettingText& setting : SettingsTexts(image, text)) {
        const bool general = setting.section == settings::Section::General || setting.section == settings::Section::Hidden;
        const bool sameHeading = !first && (setting.section == section
                                            || (general && section == settings::Section::General));
        if (!sameHeading) {
            static const int headings[] = {27, 27, 72, 73, 28};
            out << text(headings[static_cast<int>(setting.section)]) << ":\n";
            section = general ? settings::Section::General : setting.section;
        }
        first = false;
        // Labels that end in a colon on the page ("PF1 (side key): ") lose it before the "=".
        std::string label = setting.label;
        for (std::string_view end : {" ", ":", "\xEF\xBC\x9A"})  // blank, colon, full-width colon
            while (label.size() >= end.size() && label.compare(label.size() - end.size(), end.size(), end) == 0)
                label.erase(label.size() - end.size());
        out << "  " << label << " = " << escapedText(setting.value) << "\n";
    }
}

int runNew(const Invocation& call)
{
    const std::string path = withTwExtension(call.arguments[0]);
    const RadioImage image;
    if (!saveFile(call, "new", path, image))
        return ExitError;
    call.out << "Wrote a new configuration to " << path << "\n";
    return ExitOk;
}

int runInfo(const Invocation& call)
{
    CliLanguage language;
    if (!loadLanguage(call, "info", language))
        return ExitError;
    const std::string& path = call.arguments[0];
    RadioImage image;
    if (!loadFile(call, "info", path, image))
        return ExitError;

    std::ostream& out = call.out;
    out << "File: " << path << "\n";
    out << "Port number: " << image.portNumber() << "\n";

    out << "Band limits (MHz):\n";
    for (const LimitRange& range : LimitRanges) {
        std::string name(range.name);
        name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
        out << "  " << std::left << std::setw(18) << (name + ":") << std::right << image.bandLimitMHz(range.low)
            << " - " << image.bandLimitMHz(range.high) << "\n";
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
    printSettings(out, image, language);
    return ExitOk;
}

}  // namespace

std::vector<Command> fileCommands()
{
    return {
        {"new", "FILE", "Write a configuration file holding a new default image (\".tw\" is appended "
                        "unless the name contains \".tw\").",
         1, 1, {}, runNew},
        {"info", "FILE", "Show the port number, band limits, channels in use, band frequencies, general "
                         "settings, both bands and the side key of a configuration file.",
         1, 1, {LangOption}, runInfo},
    };
}

}  // namespace tarn::cli
