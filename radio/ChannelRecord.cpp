#include "radio/ChannelRecord.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"

#include <algorithm>
#include <cstdio>

namespace tarn {

namespace ch = layout::channel;
namespace ext = layout::extension;

namespace {

bool bitOf(std::uint16_t word, int bit)
{
    return (word >> bit) & 1u;
}

std::uint16_t withBit(std::uint16_t word, int bit, bool on)
{
    const auto mask = static_cast<std::uint16_t>(1u << bit);
    return on ? static_cast<std::uint16_t>(word | mask) : static_cast<std::uint16_t>(word & ~mask);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isUpper(char c) { return c >= 'A' && c <= 'Z'; }
bool isLower(char c) { return c >= 'a' && c <= 'z'; }

// The radio offers the band-limited option only where the channel may transmit.
bool bandLimitUnusable(std::uint16_t optionsB, std::uint32_t tx)
{
    return bitOf(optionsB, ch::BandLimitedBit) && !InTransmitWindows(tx);
}

constexpr long long TenHzPerMHz = 100000;

// A decimal MHz text ("145.50000", "0.6") in 10 Hz units; digits beyond the fifth decimal
// are dropped. An empty text is zero only where `emptyIsZero` (a bare sign: no offset).
std::optional<long long> tenHzOf(const std::string& text, bool emptyIsZero)
{
    if (text.empty())
        return emptyIsZero ? std::optional<long long>(0) : std::nullopt;
    long long whole = 0;
    long long fraction = 0;
    int decimals = 0;
    bool point = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (!isDigit(c) || (!point && whole > TenHzPerMHz)) {
            return std::nullopt;
        } else if (!point) {
            whole = whole * 10 + (c - '0');
        } else if (decimals < 5) {
            fraction = fraction * 10 + (c - '0');
            ++decimals;
        }
    }
    for (; decimals < 5; ++decimals)
        fraction *= 10;
    return whole * TenHzPerMHz + fraction;
}

}  // namespace

ChannelWords ChannelWords::fromLanguage(const LanguageText& text)
{
    auto word = [&text](int n) { return text ? text(n) : std::string(); };
    return {word(2), word(3), word(4), word(5), word(10), word(11), word(strings::Off), word(13)};
}

const std::string& ChannelWords::word(int n) const
{
    static const std::string none;
    switch (n) {
    case 2: return highPower;
    case 3: return lowPower;
    case 4: return choice6Bit0;
    case 5: return choice6Bit1;
    case 10: return optionOff;
    case 11: return optionOn;
    case 12: return offText;
    case 13: return choice9Bit1;
    default: return none;
    }
}

char NameCharacter(std::uint8_t code)
{
    if (code <= ext::NameLastDigit)
        return static_cast<char>('0' + code);
    if (code <= ext::NameLastLetter)
        return static_cast<char>('A' + code - ext::NameLastDigit - 1);
    return '\0';
}

std::uint8_t NameCode(char c)
{
    if (isDigit(c))
        return static_cast<std::uint8_t>(c - '0');
    if (isUpper(c))
        return static_cast<std::uint8_t>(c - 'A' + ext::NameLastDigit + 1);
    if (isLower(c))
        return static_cast<std::uint8_t>(c - 'a' + ext::NameLastDigit + 1);
    return ext::NameEnd;
}

std::string ChannelNameText(ConstSlot16 extension)
{
    std::string name;
    for (int k = 0; k < ext::NameLength; ++k) {
        const char c = NameCharacter(extension[ext::Name + k]);
        if (c == '\0')
            break;
        name += c;
    }
    return name;
}

void StoreChannelName(Slot16 extension, const std::string& text)
{
    bool ended = false;
    for (int k = 0; k < ext::NameLength; ++k) {
        const std::uint8_t code = ended || k >= static_cast<int>(text.size()) ? ext::NameEnd : NameCode(text[k]);
        ended = code == ext::NameEnd;
        extension[ext::Name + k] = code;
    }
}

bool ChoiceBitFromText(const std::string& text, const ChannelWords& words)
{
    return !(text == words.lowPower || text == words.choice6Bit0 || text == words.optionOff
             || text == words.offText);
}

ChannelRow ChannelRowTexts(const RadioImage& image, int i, const ChannelWords& words)
{
    ChannelRow row;
    const std::uint8_t* p = image.channelSlot(i).data();

    row[ColNumber] = std::to_string(i + 1);
    const bool valid = FrequencyToText(readLe32(p + ch::RxFrequency), row[ColRxFrequency]);
    const std::uint32_t tx = readLe32(p + ch::TxFrequency);
    FrequencyToText(tx, row[ColTxFrequency]);
    ToneCodeToText(readLe16(p + ch::RxTone), valid, row[ColRxTone], words.offText);
    ToneCodeToText(readLe16(p + ch::TxTone), valid, row[ColTxTone], words.offText);
    if (!valid)
        return row;

    const std::uint16_t b = readLe16(p + ch::OptionsB);
    for (const ChoiceColumn& choice : ChoiceColumns) {
        bool bit = bitOf(readLe16(p + choice.word), choice.bit);
        if (choice.column == ColBandLimited && bandLimitUnusable(b, tx))
            bit = false;
        row[choice.column] = words.choiceText(choice, bit);
    }
    row[ColName] = ChannelNameText(image.extensionSlot(i));
    return row;
}

bool ClearUnusableBandLimit(RadioImage& image, int i)
{
    if (!image.channelInUse(i))
        return false;
    std::uint8_t* p = image.channelSlot(i).data();
    const std::uint16_t b = readLe16(p + ch::OptionsB);
    if (!bandLimitUnusable(b, readLe32(p + ch::TxFrequency)))
        return false;
    writeLe16(p + ch::OptionsB, withBit(b, ch::BandLimitedBit, false));
    return true;
}

ChannelRow ShowChannelRow(RadioImage& image, int i, const ChannelWords& words)
{
    ClearUnusableBandLimit(image, i);
    return ChannelRowTexts(image, i, words);
}

bool StoreChannelRow(RadioImage& image, int i, ChannelRow& row, const ChannelWords& words)
{
    Slot16 slot = image.channelSlot(i);
    Slot16 name = image.extensionSlot(i);
    std::uint8_t* p = slot.data();
    bool adjusted = false;

    bool valid = true;
    const std::uint32_t rx = TextToFrequency(row[ColRxFrequency], valid);
    if (rx == NoFrequency)
        valid = false;
    const std::uint32_t tx = TextToFrequency(row[ColTxFrequency], valid);
    writeLe32(p + ch::RxFrequency, rx);
    writeLe32(p + ch::TxFrequency, tx);
    writeLe16(p + ch::RxTone, ToneTextToCode(row[ColRxTone], valid, words.offText));
    writeLe16(p + ch::TxTone, ToneTextToCode(row[ColTxTone], valid, words.offText));

    auto choice = [&](int column) { return valid ? ChoiceBitFromText(row[column], words) : true; };
    std::uint16_t a = readLe16(p + ch::OptionsA);
    std::uint16_t b = readLe16(p + ch::OptionsB);
    a = withBit(a, ch::PowerBit, choice(ColPower));
    a = withBit(a, ch::ChoiceBit14, choice(ColChoice6));
    a = withBit(a, ch::BandwidthBit, choice(ColBandwidth));
    b = withBit(b, ch::BandLimitedBit, choice(ColBandLimited));
    if (valid && bandLimitUnusable(b, tx)) {
        b = withBit(b, ch::BandLimitedBit, false);
        row[ColBandLimited] = words.optionOff;
        adjusted = true;
    }
    a = withBit(a, ch::ChoiceBit3, choice(ColChoice9));
    writeLe16(p + ch::OptionsA, a);
    writeLe16(p + ch::OptionsB, b);

    // An empty channel stores no name.
    StoreChannelName(name, valid ? row[ColName] : std::string());
    return adjusted;
}

bool IsColumnItem(int column, const std::string& text, const ChannelWords& words)
{
    if (column == ColRxTone || column == ColTxTone) {
        const auto& tones = ToneTexts();
        return text == words.offText || std::find(tones.begin(), tones.end(), text) != tones.end();
    }
    for (const ChoiceColumn& choice : ChoiceColumns)
        if (choice.column == column)
            return text == words.choiceText(choice, false) || text == words.choiceText(choice, true);
    return false;
}

bool StoreChannelCell(RadioImage& image, int i, int column, const std::string& text, const ChannelWords& words)
{
    std::uint8_t* p = image.channelSlot(i).data();
    if (column == ColRxTone || column == ColTxTone) {
        writeLe16(p + (column == ColRxTone ? ch::RxTone : ch::TxTone), ToneTextToCode(text, true, words.offText));
        return false;
    }
    for (const ChoiceColumn& choice : ChoiceColumns) {
        if (choice.column != column)
            continue;
        std::uint8_t* word = p + choice.word;
        writeLe16(word, withBit(readLe16(word), choice.bit, ChoiceBitFromText(text, words)));
        return column == ColBandLimited && ClearUnusableBandLimit(image, i);
    }
    return false;
}

void ApplyFrequencyEdit(ChannelRow& row, FrequencyEditMode mode, const ChannelWords& words)
{
    const int column = mode == FrequencyEditMode::Transmit ? ColTxFrequency : ColRxFrequency;
    std::string text = row[column].substr(0, 15);
    if (mode == FrequencyEditMode::Transmit) {
        if (const auto shifted = TransmitFromOffset(row[ColRxFrequency], text))
            text = *shifted;
    }
    NormalizeTypedFrequency(text, -1);

    switch (mode) {
    case FrequencyEditMode::ProgrammedReceive:
        if (text.empty()) {
            for (int c = ColRxFrequency; c <= ColName; ++c)
                row[c].clear();
        } else {
            row[ColRxFrequency] = text;
        }
        break;
    case FrequencyEditMode::Transmit:
        row[ColTxFrequency] = text;
        if (text.empty())
            row[ColTxTone] = words.offText;
        break;
    case FrequencyEditMode::NewChannel:
        row[ColRxFrequency] = text;
        row[ColTxFrequency] = text;
        row[ColRxTone] = words.offText;
        row[ColTxTone] = words.offText;
        row[ColPower] = words.highPower;
        row[ColChoice6] = words.choice6Bit1;
        row[ColBandwidth] = words.optionOff;
        row[ColBandLimited] = words.optionOff;
        row[ColChoice9] = words.offText;
        row[ColName].clear();
        break;
    }
}

bool IsAcceptableFrequencyText(const std::string& text)
{
    if (static_cast<int>(text.size()) > FrequencyTextMax)
        return false;
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (!isDigit(c))
            return false;
    }
    return points <= 1;
}

bool IsAcceptableTransmitText(const std::string& text)
{
    if (!text.empty() && (text[0] == '+' || text[0] == '-'))
        return static_cast<int>(text.size()) <= FrequencyTextMax && IsAcceptableFrequencyText(text.substr(1));
    return IsAcceptableFrequencyText(text);
}

std::optional<std::string> TransmitFromOffset(const std::string& rxText, const std::string& typed)
{
    if (typed.empty() || (typed[0] != '+' && typed[0] != '-'))
        return std::nullopt;
    const auto offset = tenHzOf(typed.substr(1), true);
    const auto rx = tenHzOf(rxText, false);
    if (!offset || !rx)
        return std::nullopt;
    const long long tx = std::max(0LL, typed[0] == '+' ? *rx + *offset : *rx - *offset);
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%05lld", tx / TenHzPerMHz, tx % TenHzPerMHz);
    return std::string(text);
}

std::string FilterNameStep(const std::string& text)
{
    if (static_cast<int>(text.size()) > NameTextMax)
        return text.substr(0, NameTextMax);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const char c = text[k];
        if (!isDigit(c) && !isUpper(c) && !isLower(c))
            return text.substr(0, k) + text.substr(k + 1);
    }
    return text;
}

std::string FilterNameText(std::string text)
{
    for (;;) {
        std::string next = FilterNameStep(text);
        if (next == text)
            return text;
        text = std::move(next);
    }
}

}  // namespace tarn
