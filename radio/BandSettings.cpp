#include "radio/BandSettings.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"

#include <algorithm>

namespace tarn {

namespace vfo = layout::vfo;
using settings::EntryText;

namespace {

constexpr int PowerBit = 13;
constexpr int BandwidthBit = 12;
constexpr int SignallingShift = 1;  // bits 1-2
constexpr int BandLimitedBit = 12;  // of the second flags word
constexpr std::uint16_t EmptyBandFlags = (1u << PowerBit) | (1u << BandwidthBit) | (3u << SignallingShift);

// Where a band's single-byte fields and offset digits live.
struct BandBytes {
    int step;          // function settings data bytes
    int squelch;
    int displayMode;
    int direction;     // offset block data bytes
    int offsetDigits;  // six bytes
};
constexpr BandBytes BandA{1, 2, layout::functions::ChannelDisplayA, 0, 1};
constexpr BandBytes BandB{17, 34, layout::functions::ChannelDisplayB, 16, 17};

const BandBytes& bytesOf(Band band)
{
    return band == Band::A ? BandA : BandB;
}

std::vector<EntryText> fixedTexts(std::initializer_list<std::string_view> texts)
{
    std::vector<EntryText> entries;
    for (std::string_view t : texts)
        entries.push_back(EntryText{-1, std::string(t), -1});
    return entries;
}

std::vector<EntryText> strings(std::initializer_list<int> numbers)
{
    std::vector<EntryText> entries;
    for (int n : numbers)
        entries.push_back(EntryText{n, {}, -1});
    return entries;
}

std::vector<EntryText> stepTexts()
{
    std::vector<EntryText> entries;
    for (const StepInfo& step : Steps())
        entries.push_back(EntryText{-1, std::string(step.listItem), -1});
    return entries;
}

constexpr int SignallingLabel = 230;  // Tarn's own: the list is never shown

std::vector<BandField> makeBandFields()
{
    using enum BandFieldId;
    return {
        {Frequency, "frequency", 74, 74, 1026, 1027, 1069, 1070, false, 17, {}},
        {Power, "power", 22, 22, 1045, 1050, 1071, 1072, false, 31, strings({3, 2})},
        {TxTone, "txTone", 75, 75, 1046, 1051, 1073, 1074, false, 45, {}},
        {RxTone, "rxTone", 76, 76, 1047, 1052, 1075, 1076, false, 59, {}},
        {Bandwidth, "bandwidth", 24, 24, 1049, 1054, 1077, 1078, false, 73, strings({10, 11})},
        {BandLimited, "bandLimited", 53, 53, 1102, 1104, 1103, 1105, false, 87, strings({10, 11})},
        {OffsetDirection, "offsetDirection", 77, 77, 1040, 1042, 1079, 1080, false, 103, strings({45, 78, 79})},
        {Offset, "offset", 80, 80, 1041, 1043, 1083, 1084, false, 127, {}},
        {DisplayMode, "displayMode", 81, 81, 1033, 1038, 1081, 1082, false, 151, strings({82, 83, 84, 85})},
        {Squelch, "squelch", 86, 87, 1013, 1018, 1085, 1086, false, 178,
         fixedTexts({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})},
        {Step, "step", 88, 89, 1008, 1011, 1087, 1088, false, 202, stepTexts()},
        {Signalling, "signalling", SignallingLabel, SignallingLabel, 1048, 1053, 0, 0, true, 0,
         fixedTexts({"OFF", "DTMF", "2 Tone", "5 Tone"})},
    };
}

bool bitOf(std::uint16_t word, int bit)
{
    return (word >> bit) & 1u;
}

std::uint16_t withBits(std::uint16_t word, int shift, std::uint16_t mask, int value)
{
    return static_cast<std::uint16_t>((word & ~(mask << shift)) | ((static_cast<unsigned>(value) & mask) << shift));
}

// A code of one of the stored forms: no tone, CTCSS tenths, or DCS 0x2800 / 0xA800 plus a
// nine-bit code number.
bool IsToneCode(std::uint16_t code)
{
    return code == NoTone || code < 0x2800 || (code >= 0x2800 && code <= 0x29FF) || (code >= 0xA800 && code <= 0xA9FF);
}

std::uint16_t toneToStore(const std::string& text, bool valid, std::uint16_t stored, const std::string& offText)
{
    if (!valid)
        return NoTone;
    // No selection: what the list could not show stays, if it is a tone code at all.
    if (text.empty())
        return IsToneCode(stored) ? stored : NoTone;
    return ToneTextToCode(text, true, offText);
}

}  // namespace

const std::vector<BandField>& BandFields()
{
    static const std::vector<BandField> fields = makeBandFields();
    return fields;
}

bool AnyChannelInUse(const RadioImage& image)
{
    for (int i = 0; i < layout::ChannelCount; ++i)
        if (image.channelInUse(i))
            return true;
    return false;
}

std::string ToneEntryText(std::uint16_t code, const std::string& offText)
{
    std::string text;
    ToneCodeToText(code, true, text, offText);
    if (text == offText)
        return text;
    const auto& tones = ToneTexts();
    return std::find(tones.begin(), tones.end(), text) != tones.end() ? text : std::string();
}

int OffsetSelection(const std::uint8_t* offsetDigits, int stepIndex)
{
    const int index = OffsetToIndex(offsetDigits, stepIndex);
    if (index == -1)
        return 0;
    return index < 0 ? -1 : index;
}

BandSettings LoadBand(const RadioImage& image, Band band, const std::string& offText)
{
    const BandBytes& at = bytesOf(band);
    const auto functions = image.functionData();
    const auto offsets = image.offsetData();
    BandSettings value;
    value.step = functions[at.step] % StepCount;
    value.squelch = functions[at.squelch] % SquelchLevels;
    value.displayMode = functions[at.displayMode] % BandDisplayModes;
    value.offsetDirection = offsets[at.direction] % OffsetDirections;
    value.offset = OffsetSelection(offsets.data() + at.offsetDigits, value.step);
    if (!AnyChannelInUse(image))
        value.displayMode = SharedDisplayMode;

    const std::uint8_t* record = image.bandRecord(band).data();
    const std::uint32_t frequency = readLe32(record + vfo::RxFrequency);
    if (FrequencyToText(frequency, value.frequency)) {
        const std::uint16_t flags = readLe16(record + vfo::Flags);
        value.power = bitOf(flags, PowerBit);
        value.bandwidth = bitOf(flags, BandwidthBit);
        value.signalling = (flags >> SignallingShift) & 3;
        value.bandLimited = InTransmitWindows(frequency) ? bitOf(readLe16(record + vfo::Flags2), BandLimitedBit) : 0;
    }
    value.rxTone = ToneEntryText(readLe16(record + vfo::RxTone), offText);
    value.txTone = ToneEntryText(readLe16(record + vfo::TxTone), offText);
    return value;
}

bool StoreBand(RadioImage& image, Band band, BandSettings& value, const std::string& offText)
{
    const BandBytes& at = bytesOf(band);
    auto functions = image.functionData();
    auto offsets = image.offsetData();
    if (!AnyChannelInUse(image))
        value.displayMode = SharedDisplayMode;
    functions[at.step] = static_cast<std::uint8_t>(value.step);
    functions[at.squelch] = static_cast<std::uint8_t>(value.squelch);
    functions[at.displayMode] = static_cast<std::uint8_t>(value.displayMode);
    offsets[at.direction] = static_cast<std::uint8_t>(value.offsetDirection);
    // An offset list left without a selection stores no offset at all.
    IndexToOffset(std::max(value.offset, 0), value.step, offsets.data() + at.offsetDigits);

    std::uint8_t* record = image.bandRecord(band).data();
    bool set = false;
    if (value.frequency.empty()) {
        writeLe32(record + vfo::RxFrequency, NoFrequency);
    } else {
        std::string text = value.frequency;
        NormalizeTypedFrequency(text, value.step);
        // The edit takes only digits and one point, so the normalised text is DDD.DDDDD.
        const std::uint32_t word = TextToFrequency(text, true);
        set = word != NoFrequency;
        writeLe32(record + vfo::RxFrequency, word);
        if (set)
            writeLe32(record + vfo::TxFrequency, word);
    }

    writeLe16(record + vfo::RxTone, toneToStore(value.rxTone, set, readLe16(record + vfo::RxTone), offText));
    writeLe16(record + vfo::TxTone, toneToStore(value.txTone, set, readLe16(record + vfo::TxTone), offText));

    std::uint16_t flags = readLe16(record + vfo::Flags);
    std::uint16_t flags2 = readLe16(record + vfo::Flags2);
    bool cleared = false;
    if (set) {
        flags = withBits(flags, PowerBit, 1, value.power);
        flags = withBits(flags, BandwidthBit, 1, value.bandwidth);
        if (!InTransmitWindows(readLe32(record + vfo::RxFrequency))) {
            cleared = value.bandLimited != 0;
            value.bandLimited = 0;
        }
        flags2 = withBits(flags2, BandLimitedBit, 1, value.bandLimited);
        flags = withBits(flags, SignallingShift, 3, value.signalling);
    } else {
        flags |= EmptyBandFlags;
        flags2 = withBits(flags2, BandLimitedBit, 1, 0);
    }
    writeLe16(record + vfo::Flags, flags);
    writeLe16(record + vfo::Flags2, flags2);
    return cleared;
}

void ChangeStep(const RadioImage& image, Band band, BandSettings& value, int stepIndex)
{
    value.step = stepIndex;
    value.offset = OffsetSelection(image.offsetData().data() + bytesOf(band).offsetDigits, stepIndex);
}

void CoupleDisplayModes(const BandSettings& changed, BandSettings& other)
{
    if (changed.displayMode == SharedDisplayMode)
        other.displayMode = SharedDisplayMode;
    else if (other.displayMode == SharedDisplayMode)
        other.displayMode = changed.displayMode;
}

std::string BandFieldText(const BandSettings& value, BandFieldId id, const LanguageText& text)
{
    auto entry = [&](int index) {
        const auto& fields = BandFields();
        const auto it = std::find_if(fields.begin(), fields.end(), [id](const BandField& f) { return f.id == id; });
        if (index < 0 || index >= static_cast<int>(it->entries.size()))
            return std::string();
        return settings::EntryTextOf(it->entries[index], text);
    };
    switch (id) {
    case BandFieldId::Frequency: return value.frequency;
    case BandFieldId::TxTone: return value.txTone;
    case BandFieldId::RxTone: return value.rxTone;
    case BandFieldId::Offset: return OffsetItemText(value.offset, value.step);
    case BandFieldId::Power: return entry(value.power);
    case BandFieldId::Bandwidth: return entry(value.bandwidth);
    case BandFieldId::BandLimited: return entry(value.bandLimited);
    case BandFieldId::OffsetDirection: return entry(value.offsetDirection);
    case BandFieldId::DisplayMode: return entry(value.displayMode);
    case BandFieldId::Squelch: return entry(value.squelch);
    case BandFieldId::Step: return entry(value.step);
    case BandFieldId::Signalling: return entry(value.signalling);
    }
    return std::string();
}

}  // namespace tarn
