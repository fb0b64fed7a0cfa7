#include "radio/BandSettings.h"

#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"

#include <algorithm>

namespace tarn {

namespace vfo = layout::vfo;
namespace fn = layout::functions;
using settings::EntryText;

namespace {

// A band without a frequency stores every setting bit of its flags word set.
constexpr std::uint16_t EmptyBandFlags = (1u << vfo::PowerBit) | (1u << vfo::BandwidthBit)
    | (vfo::SignallingMask << vfo::SignallingShift);

// Where a band's single-byte fields and offset digits live.
struct BandBytes {
    int step;          // function settings data bytes
    int squelch;
    int displayMode;
    int direction;     // offset block data bytes
    int offsetDigits;  // six bytes
};
constexpr BandBytes BandA{fn::StepA, fn::SquelchA, fn::ChannelDisplayA, layout::offsets::DirectionA,
                          layout::offsets::DigitsA};
constexpr BandBytes BandB{fn::StepB, fn::SquelchB, fn::ChannelDisplayB, layout::offsets::DirectionB,
                          layout::offsets::DigitsB};

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
        // id, key, label A, label B, hidden, entries
        {Frequency, "frequency", 74, 74, false, {}},
        {Power, "power", 22, 22, false, strings({3, 2})},
        {TxTone, "txTone", 75, 75, false, {}},
        {RxTone, "rxTone", 76, 76, false, {}},
        {Bandwidth, "bandwidth", 24, 24, false, strings({10, 11})},
        {BandLimited, "bandLimited", 53, 53, false, strings({10, 11})},
        {OffsetDirection, "offsetDirection", 77, 77, false, strings({45, 78, 79})},
        {Offset, "offset", 80, 80, false, {}},
        {DisplayMode, "displayMode", 81, 81, false, strings({82, 83, 84, 85})},
        {Squelch, "squelch", 86, 87, false, fixedTexts({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"})},
        {Step, "step", 88, 89, false, stepTexts()},
        {Signalling, "signalling", SignallingLabel, SignallingLabel, true, fixedTexts({"OFF", "DTMF", "2 Tone", "5 Tone"})},
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

std::string BandSettingKey(Band band, std::string_view key)
{
    return (band == Band::A ? "bandA." : "bandB.") + std::string(key);
}

const BandField& FindBandField(BandFieldId id)
{
    // The table's rows are in the order of the ids.
    return BandFields()[static_cast<std::size_t>(id)];
}

int* BandSelection(BandSettings& value, BandFieldId id)
{
    return const_cast<int*>(BandSelection(static_cast<const BandSettings&>(value), id));
}

const int* BandSelection(const BandSettings& value, BandFieldId id)
{
    switch (id) {
    case BandFieldId::Power: return &value.power;
    case BandFieldId::Bandwidth: return &value.bandwidth;
    case BandFieldId::BandLimited: return &value.bandLimited;
    case BandFieldId::Signalling: return &value.signalling;
    case BandFieldId::OffsetDirection: return &value.offsetDirection;
    case BandFieldId::Offset: return &value.offset;
    case BandFieldId::DisplayMode: return &value.displayMode;
    case BandFieldId::Squelch: return &value.squelch;
    case BandFieldId::Step: return &value.step;
    case BandFieldId::Frequency:
    case BandFieldId::TxTone:
    case BandFieldId::RxTone:
        break;
    }
    return nullptr;
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
        value.power = bitOf(flags, vfo::PowerBit);
        value.bandwidth = bitOf(flags, vfo::BandwidthBit);
        value.signalling = static_cast<int>((flags >> vfo::SignallingShift) & vfo::SignallingMask);
        value.bandLimited = InTransmitWindows(frequency) ? bitOf(readLe16(record + vfo::Flags2), vfo::BandLimitedBit) : 0;
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
        flags = withBits(flags, vfo::PowerBit, 1, value.power);
        flags = withBits(flags, vfo::BandwidthBit, 1, value.bandwidth);
        if (!InTransmitWindows(readLe32(record + vfo::RxFrequency))) {
            cleared = value.bandLimited != 0;
            value.bandLimited = 0;
        }
        flags2 = withBits(flags2, vfo::BandLimitedBit, 1, value.bandLimited);
        flags = withBits(flags, vfo::SignallingShift, vfo::SignallingMask, value.signalling);
    } else {
        flags |= EmptyBandFlags;
        flags2 = withBits(flags2, vfo::BandLimitedBit, 1, 0);
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
        const BandField& field = FindBandField(id);
        if (index < 0 || index >= static_cast<int>(field.entries.size()))
            return std::string();
        return settings::EntryTextOf(field.entries[index], text);
    };
    switch (id) {
    case BandFieldId::Frequency: return value.frequency;
    case BandFieldId::TxTone: return value.txTone;
    case BandFieldId::RxTone: return value.rxTone;
    case BandFieldId::Offset: return OffsetItemText(value.offset, value.step);
    default: return entry(*BandSelection(value, id));
    }
}

bool BandFieldFromText(BandSettings& value, BandFieldId id, const std::string& shown, const LanguageText& text)
{
    switch (id) {
    case BandFieldId::Frequency:
        if (!IsAcceptableFrequencyText(shown))
            return false;
        value.frequency = shown;
        return true;
    case BandFieldId::TxTone:
    case BandFieldId::RxTone: {
        const auto& tones = ToneTexts();
        if (shown != text(strings::Off) && std::find(tones.begin(), tones.end(), shown) == tones.end())
            return false;
        (id == BandFieldId::TxTone ? value.txTone : value.rxTone) = shown;
        return true;
    }
    case BandFieldId::Offset:
        for (int k = 0; k < OffsetItemCount(value.step); ++k)
            if (OffsetItemText(k, value.step) == shown) {
                value.offset = k;
                return true;
            }
        return false;
    default: {
        const BandField& field = FindBandField(id);
        for (std::size_t k = 0; k < field.entries.size(); ++k)
            if (settings::EntryTextOf(field.entries[k], text) == shown) {
                *BandSelection(value, id) = static_cast<int>(k);
                return true;
            }
        return false;
    }
    }
}

}  // namespace tarn
