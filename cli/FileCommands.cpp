// The configuration file commands of tarn-cli: "new" writes a default image to a file,
// "info" shows what a configuration file holds.
#include "cli/Commands.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <iomanip>
#include <sstream>

namespace tarn::cli {

namespace {

// Until the language table is wired in, the no-tone text is the English one.
const std::string OffText = "OFF";

std::string frequencyText(std::uint32_t word)
{
    std::string text;
    return FrequencyToText(word, text) ? text : std::string("-");
}

std::string toneText(std::uint16_t code)
{
    std::string text;
    ToneCodeToText(code, true, text, OffText);
    return text;
}

std::string channelName(ConstSlot16 extension)
{
    std::string name;
    for (int i = 0; i < layout::extension::NameLength; ++i) {
        const std::uint8_t c = extension[layout::extension::Name + i];
        if (c <= layout::extension::NameLastDigit)
            name += static_cast<char>('0' + c);
        else if (c <= layout::extension::NameLastLetter)
            name += static_cast<char>('A' + c - 10);
        else
            break;
    }
    return name;
}

int bit(std::uint16_t word, int n)
{
    return (word >> n) & 1;
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

    int inUse = 0;
    std::ostringstream rows;
    rows << std::left;
    for (int i = 0; i < layout::ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        ++inUse;
        const ConstSlot16 slot = image.channelSlot(i);
        const std::uint16_t a = readLe16(slot.data() + layout::channel::OptionsA);
        const std::uint16_t b = readLe16(slot.data() + layout::channel::OptionsB);
        rows << "  " << std::setw(5) << (i + 1)
             << std::setw(11) << frequencyText(readLe32(slot.data() + layout::channel::RxFrequency))
             << std::setw(11) << frequencyText(readLe32(slot.data() + layout::channel::TxFrequency))
             << std::setw(7) << toneText(readLe16(slot.data() + layout::channel::RxTone))
             << std::setw(7) << toneText(readLe16(slot.data() + layout::channel::TxTone))
             << std::setw(6) << bit(a, layout::channel::PowerBit) << std::setw(4) << bit(a, layout::channel::ChoiceBit14)
             << std::setw(3) << bit(a, layout::channel::BandwidthBit)
             << std::setw(4) << bit(b, layout::channel::BandLimitedBit) << std::setw(3) << bit(a, layout::channel::ChoiceBit3)
             << channelName(image.extensionSlot(i)) << "\n";
    }
    out << "Channels in use: " << inUse << "\n";
    if (inUse > 0) {
        out << "  Ch   Receive    Transmit   RxTone TxTone Power B14 BW Lim B3 Name\n";
        out << rows.str();
    }

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
         1, 1, {}, runInfo},
    };
}

}  // namespace tarn::cli
