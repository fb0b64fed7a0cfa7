#include "radio/ImageDiff.h"

#include "radio/Bytes.h"
#include "radio/BandLimits.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/OptionsSettings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <utility>

namespace tarn {

using namespace layout;

namespace {

// A named value of the image over some bits of some bytes.
struct Field {
    std::string label;
    std::vector<std::pair<int, std::uint8_t>> bits;  // image offset, mask
    // The shown text of the value in `image`, which is side 0 (first) or 1 (second).
    std::function<std::string(const RadioImage& image, int side)> text;
};

int offsetIn(const RadioImage& image, const std::uint8_t* p)
{
    return static_cast<int>(p - image.data());
}

void addBytes(Field& field, int offset, int length)
{
    for (int k = 0; k < length; ++k)
        field.bits.push_back({offset + k, 0xFF});
}

// Bit `bit` of the little-endian 16-bit word at `offset`.
void addWordBit(Field& field, int offset, int bit)
{
    field.bits.push_back({offset + bit / 8, static_cast<std::uint8_t>(1u << (bit % 8))});
}

std::string hexBytes(const RadioImage& image, const Field& field)
{
    std::string text;
    for (const auto& [offset, mask] : field.bits) {
        char byte[8];
        std::snprintf(byte, sizeof byte, "%02X", image.data()[offset] & mask);
        text += text.empty() ? "0x" : " ";
        text += byte;
    }
    return text;
}

// The channel rows of an image as the channel page shows them.
std::vector<ChannelRow> channelRows(const RadioImage& image, const ChannelWords& words)
{
    std::vector<ChannelRow> rows;
    rows.reserve(ChannelCount);
    for (int i = 0; i < ChannelCount; ++i)
        rows.push_back(ChannelRowTexts(image, i, words));
    return rows;
}

// The channel columns held in whole bytes, and where.
struct ChannelBytes {
    ChannelColumn column;
    bool extension;  // the name lives in the extension slot
    int offset;
    int length;
};

const ChannelBytes ChannelByteFields[] = {
    {ColRxFrequency, false, channel::RxFrequency, 4},
    {ColTxFrequency, false, channel::TxFrequency, 4},
    {ColRxTone, false, channel::RxTone, 2},
    {ColTxTone, false, channel::TxTone, 2},
    {ColName, true, extension::Name, extension::NameLength},
};

std::string orDash(const std::string& text)
{
    return text.empty() ? std::string("-") : text;
}

// Where an image byte lies, for the lines of bytes no field covers.
std::string placeOf(int offset)
{
    for (int r = 0; r < RegionCount; ++r) {
        const RegionId id = static_cast<RegionId>(r);
        const int start = regionOffset(id);
        if (offset < start || offset >= start + Regions[id].length)
            continue;
        std::string place(Regions[id].name);
        const int within = offset - start;
        if (Regions[id].records == 0)
            return place + " byte " + std::to_string(within);
        const int size = Regions[id].shape.size;
        const int record = within / size;
        const int inRecord = within % size;
        if (Regions[id].records > 1)
            place += " record " + std::to_string(record + 1);
        if (inRecord < Regions[id].shape.dataOffset)
            return place + " header byte " + std::to_string(inRecord);
        return place + " data byte " + std::to_string(inRecord - Regions[id].shape.dataOffset);
    }
    return "byte " + std::to_string(offset);
}

std::vector<Field> channelFields(const RadioImage& layoutImage, const DiffWords& words,
                                 const std::vector<ChannelRow>* rows)
{
    std::vector<Field> fields;

    for (int i = 0; i < ChannelCount; ++i) {
        const std::string channel = words.text(1) + " " + std::to_string(i + 1) + " ";
        auto add = [&](ChannelColumn column, Field field) {
            field.label = channel + words.text(ChannelColumnHeaders[column]);
            field.text = [rows, i, column](const RadioImage&, int side) {
                return orDash(rows[side][static_cast<std::size_t>(i)][column]);
            };
            fields.push_back(std::move(field));
        };
        const int slot = offsetIn(layoutImage, layoutImage.channelSlot(i).data());
        const int name = offsetIn(layoutImage, layoutImage.extensionSlot(i).data());
        for (const ChannelBytes& c : ChannelByteFields) {
            Field field;
            addBytes(field, (c.extension ? name : slot) + c.offset, c.length);
            add(c.column, std::move(field));
        }
        // The choice columns, in the order of the page.
        for (int column = ColPower; column <= ColChoice9; ++column) {
            for (const ChoiceColumn& choice : ChoiceColumns) {
                if (choice.column != column)
                    continue;
                Field field;
                addWordBit(field, slot + choice.word, choice.bit);
                add(static_cast<ChannelColumn>(column), std::move(field));
            }
        }
    }
    return fields;
}

// The bands' transmit frequencies, the band limits and the port number: what no page shows.
std::vector<Field> imageFields(const DiffWords& words)
{
    std::vector<Field> fields;
    // A band's transmit frequency follows its VFO frequency when the page stores it; a radio
    // or a file may still hold another one.
    for (const auto& [bandName, bandOffset] : {std::pair{72, vfo::BandA}, std::pair{73, vfo::BandB}}) {
        const int offset = dataOffset(Vfo) + bandOffset + vfo::TxFrequency;
        Field field{words.text(bandName) + " " + words.text(ChannelColumnHeaders[ColTxFrequency]), {},
                    [offset](const RadioImage& image, int) {
                        std::string text;
                        return FrequencyToText(readLe32(image.data() + offset), text) ? text : std::string("-");
                    }};
        addBytes(field, offset, 4);
        fields.push_back(std::move(field));
    }
    for (const LimitRange& range : LimitRanges) {
        for (const int k : {static_cast<int>(range.low), static_cast<int>(range.high)}) {
            Field field{"Band limit, " + std::string(range.name) + (k == range.low ? " lowest" : " highest") + " MHz", {},
                        [k](const RadioImage& image, int) { return std::to_string(image.bandLimitMHz(k)); }};
            addBytes(field, dataOffset(BandLimits) + 2 * k, 2);
            fields.push_back(std::move(field));
        }
    }
    Field port{"Port number", {}, [](const RadioImage& image, int) { return std::to_string(image.portNumber()); }};
    addBytes(port, regionOffset(PortNumber), Regions[PortNumber].length);
    fields.push_back(std::move(port));
    return fields;
}

// What a setting line calls a setting: the band's name before a band group's label.
std::string settingLabel(const SettingText& setting, const DiffWords& words)
{
    const std::string quoted = "\"" + setting.label + "\"";
    if (setting.section == settings::Section::BandA)
        return words.text(72) + " " + quoted;
    if (setting.section == settings::Section::BandB)
        return words.text(73) + " " + quoted;
    return words.text(176) + " " + quoted;
}

bool sameValues(const std::vector<SettingText>& a, const std::vector<SettingText>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const SettingText& x, const SettingText& y) { return x.value == y.value; });
}

// True when the settings pages show a difference for this byte alone: the value of
// `from` put into `into` changes what some setting shows. Settings are read through their
// own rules, so this is how a byte is matched to the setting lines that already name it.
bool shownBySettings(const RadioImage& into, const RadioImage& from, int offset, const std::vector<SettingText>& shown,
                     const LanguageText& text)
{
    RadioImage probe = into;
    probe.data()[offset] = from.data()[offset];
    return !sameValues(SettingsTexts(probe, text), shown);
}

bool inSettingsBlocks(int offset)
{
    for (RegionId id : {Vfo, FunctionSettings, Offsets, StartupText}) {
        const int start = regionOffset(id);
        if (offset >= start && offset < start + Regions[id].length)
            return true;
    }
    return false;
}

}  // namespace

bool IsWrittenFromImage(RegionId region, int dataByte)
{
    const Region& r = Regions[region];
    if (r.transfer != Transfer::ReadWrite || dataByte < 0 || dataByte >= r.chunksWritten * ChunkSize)
        return false;
    if (region == FunctionSettings && dataByte >= functions::RadioOwned
        && dataByte < functions::RadioOwned + functions::RadioOwnedLength)
        return false;
    if (region == StartupText && dataByte >= startup::ImageOwned)
        return false;
    return true;
}

RadioImage ImageAsWritten(const RadioImage& config, const RadioImage& radio)
{
    RadioImage written = radio;
    for (int r = 0; r < RegionCount; ++r) {
        const RegionId id = static_cast<RegionId>(r);
        for (int b = 0; b < Regions[id].records; ++b) {
            const int data = dataOffset(id, b);
            for (int k = 0; k < BlockDataSize; ++k)
                if (IsWrittenFromImage(id, k))
                    written.data()[data + k] = config.data()[data + k];
        }
    }
    return written;
}

namespace {

// A line of the list: what the field is called, its text in the first and in the second image.
using LineFormat = std::function<std::string(const std::string& label, const std::string& first,
                                             const std::string& second)>;

std::vector<std::string> describe(const RadioImage& first, const RadioImage& second, const DiffWords& words,
                                  const LineFormat& line)
{
    std::vector<std::string> lines;
    auto differ = [&](int offset, std::uint8_t mask) {
        return ((first.data()[offset] ^ second.data()[offset]) & mask) != 0;
    };

    const ChannelWords channel = ChannelWords::fromLanguage(words.text);
    const std::vector<ChannelRow> rows[2] = {channelRows(first, channel), channelRows(second, channel)};
    std::array<std::uint8_t, RadioImage::Size> covered{};
    // The end of the start-up text block is the radio's function settings seen a second
    // time; only the function settings block speaks for those bytes.
    const int overlap = Regions[FunctionSettings].baseAddress - Regions[StartupText].baseAddress;
    for (int k = overlap; k < BlockDataSize; ++k)
        covered[static_cast<std::size_t>(dataOffset(StartupText) + k)] = 0xFF;

    auto describe = [&](const std::vector<Field>& fields) {
        for (const Field& field : fields) {
            bool changed = false;
            for (const auto& [offset, mask] : field.bits) {
                covered[static_cast<std::size_t>(offset)] |= mask;
                changed = changed || differ(offset, mask);
            }
            if (!changed)
                continue;
            std::string a = field.text(first, 0);
            std::string b = field.text(second, 1);
            if (a == b) {  // the shown texts hide the difference: show the bits
                a = hexBytes(first, field);
                b = hexBytes(second, field);
            }
            lines.push_back(line(field.label, a, b));
        }
    };
    describe(channelFields(first, words, rows));

    // The settings, both bands and the side key, in the order of the pages.
    const std::vector<SettingText> settingsA = SettingsTexts(first, words.text);
    const std::vector<SettingText> settingsB = SettingsTexts(second, words.text);
    for (std::size_t k = 0; k < settingsA.size() && k < settingsB.size(); ++k) {
        if (settingsA[k].value != settingsB[k].value)
            lines.push_back(line(settingLabel(settingsA[k], words), orDash(settingsA[k].value),
                                 orDash(settingsB[k].value)));
    }
    describe(imageFields(words));

    for (int offset = 0; offset < ComparedLength; ++offset) {
        const auto mask = static_cast<std::uint8_t>(~covered[static_cast<std::size_t>(offset)]);
        if (!differ(offset, mask))
            continue;
        if (inSettingsBlocks(offset)
            && (shownBySettings(first, second, offset, settingsA, words.text)
                || shownBySettings(second, first, offset, settingsB, words.text)))
            continue;
        char a[8];
        char b[8];
        std::snprintf(a, sizeof a, "0x%02X", first.data()[offset] & mask);
        std::snprintf(b, sizeof b, "0x%02X", second.data()[offset] & mask);
        lines.push_back(line(placeOf(offset), a, b));
    }
    return lines;
}

}  // namespace

std::vector<std::string> DescribeDifferences(const RadioImage& first, const RadioImage& second,
                                             const DiffWords& words)
{
    return describe(first, second, words, [&words](const std::string& label, const std::string& a,
                                                   const std::string& b) {
        return label + ": " + a + " " + words.firstSide + ", " + b + " " + words.secondSide;
    });
}

std::vector<std::string> DescribeChanges(const RadioImage& before, const RadioImage& after, const LanguageText& text)
{
    return describe(before, after, DiffWords{text, {}, {}},
                    [](const std::string& label, const std::string& a, const std::string& b) {
                        return label + ": " + a + " -> " + b;
                    });
}

std::vector<ChunkPlace> ChangedChunks(const RadioImage& config, const RadioImage& radio)
{
    // What the radio will hold is compared with what it holds, chunk by chunk, in the order a
    // write sends them; the radio's own bytes are merged in first, so they never count.
    const RadioImage written = ImageAsWritten(config, radio);
    std::vector<ChunkPlace> chunks;
    for (RegionId region : TransferRegions) {
        for (int b = 0; b < Regions[region].records; ++b) {
            const int data = dataOffset(region, b);
            for (int k = 0; k < Regions[region].chunksWritten; ++k) {
                const int start = data + k * ChunkSize;
                if (!std::equal(written.data() + start, written.data() + start + ChunkSize, radio.data() + start))
                    chunks.push_back({region, b, k});
            }
        }
    }
    return chunks;
}

}  // namespace tarn
