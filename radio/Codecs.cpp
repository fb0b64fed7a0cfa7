#include "radio/Codecs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace tarn {

namespace {

// Conversions here must not depend on the process locale: a Qt program adopts the
// user's locale at start-up, and a decimal comma would break every frequency text.

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The start of a C number: leading blanks and one optional sign. Returns true for '-'.
bool skipBlanksAndSign(std::string_view text, std::size_t& i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return negative;
}

// The leading integer by the atoi rules (blanks, optional sign, digits; 0 without digits).
// Saturates instead of overflowing, so a long run of digits still counts as "too large".
long long leadingInteger(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);
    constexpr long long limit = std::numeric_limits<int>::max();
    long long value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > limit)
            value = limit + 1;
    }
    return negative ? -value : value;
}

// The leading decimal number by the atof rules (blanks, optional sign, number; 0 without one).
double leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    const bool negative = skipBlanksAndSign(text, i);
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        return 0.0;  // from_chars would take a second sign; atof does not
    double value = 0.0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), value);
    if (result.ec != std::errc())
        return 0.0;
    return negative ? -value : value;
}

std::string fixed(double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    return std::string(buffer, result.ptr);
}

int nibble(std::uint32_t word, int index)
{
    return static_cast<int>((word >> (4 * index)) & 0xF);
}

constexpr std::array<StepInfo, 8> StepTable{{
    {250, "2.5", "2.5KHZ"},
    {500, "5", "5KHZ"},
    {625, "6.25", "6.25KHZ"},
    {1000, "10", "10KHZ"},
    {1250, "12.5", "12.5KHZ"},
    {2500, "25", "25KHZ"},
    {5000, "50", "50KHZ"},
    {10000, "100", "100KHZ"},
}};

// The offset list grid in 10 Hz units: the step's; an unknown step index falls back to 125 kHz.
int offsetGrid(int stepIndex)
{
    return stepIndex >= 0 && stepIndex < static_cast<int>(StepTable.size()) ? StepTable[static_cast<std::size_t>(stepIndex)].grid
                                                                             : 12500;
}

// The CTCSS tones, ascending.
constexpr std::array<std::string_view, 50> CtcssTones{
    "67.0", "69.3", "71.9", "74.4", "77.0", "79.7", "82.5", "85.4", "88.5", "91.5",
    "94.8", "97.4", "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1",
};

// The DCS codes as the radio shows them (octal digits); each is listed twice in the tone
// texts, after "DN" for normal and after "DI" for inverted polarity.
constexpr std::array<std::string_view, 105> DcsCodes{
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053",
    "054", "065", "071", "072", "073", "074", "114", "115", "116", "122",
    "125", "131", "132", "134", "143", "145", "152", "155", "156", "162",
    "165", "172", "174", "205", "212", "223", "225", "226", "243", "244",
    "245", "246", "251", "252", "255", "261", "263", "265", "266", "271",
    "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432",
    "445", "446", "452", "454", "455", "462", "464", "465", "466", "503",
    "506", "516", "523", "526", "532", "546", "565", "606", "612", "624",
    "627", "631", "632", "645", "654", "662", "664", "703", "712", "723",
    "731", "732", "734", "743", "754",
};

// The tone texts after the off text: the CTCSS tones, then every DCS code with "DN", then
// every DCS code with "DI". Built once; the views point into the static texts.
const std::array<std::string_view, 260>& toneTable()
{
    static const std::array<std::string, 260> texts = [] {
        std::array<std::string, 260> t;
        std::size_t i = 0;
        for (std::string_view tone : CtcssTones)
            t[i++] = std::string(tone);
        for (std::string_view prefix : {DcsNormalPrefix, DcsInvertedPrefix})
            for (std::string_view code : DcsCodes)
                t[i++] = std::string(prefix) + std::string(code);
        return t;
    }();
    static const std::array<std::string_view, 260> views = [] {
        std::array<std::string_view, 260> v;
        for (std::size_t i = 0; i < v.size(); ++i)
            v[i] = texts[i];
        return v;
    }();
    return views;
}

struct TransmitWindow {
    double low;
    double high;
};
constexpr std::array<TransmitWindow, 3> TransmitWindows{{
    {144.0, 147.9975},
    {430.0, 449.9975},
    {470.0, 511.9975},
}};

// Far below the 10 Hz grid (0.00001 MHz) and far above the rounding of the digit sums,
// so grid values compare as the decimal texts would.
constexpr double WindowTolerance = 0.0000001;

}  // namespace

bool IsBcdFrequency(std::uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        if (nibble(word, i) > 9)
            return false;
    return true;
}

double FrequencyToMHz(std::uint32_t word)
{
    double value = nibble(word, 7) * 100 + nibble(word, 6) * 10 + nibble(word, 5);
    value += nibble(word, 4) * 0.1;
    value += nibble(word, 3) * 0.01;
    value += nibble(word, 2) * 0.001;
    value += nibble(word, 1) * 0.0001;
    value += nibble(word, 0) * 0.00001;
    return value;
}

double frequencyWordMHz(std::uint32_t word)
{
    auto digit = [word](int k) { return static_cast<double>(nibble(word, k)); };
    return 100 * digit(7) + 10 * digit(6) + digit(5) + digit(4) / 10 + digit(3) / 100
        + digit(2) / 1000 + digit(1) / 10000 + digit(0) / 100000;
}

bool FrequencyToText(std::uint32_t word, std::string& text)
{
    if (!IsBcdFrequency(word)) {
        text.clear();
        return false;
    }
    text = fixed(FrequencyToMHz(word), 5);
    return true;
}

void NormalizeFrequencyText(std::string& text, int stepIndex)
{
    const long long mhz = leadingInteger(text);
    if (mhz < 100) {
        text = "136.02500";
        return;
    }
    if (mhz > 600) {
        text = "400.02500";
        return;
    }
    if (text.size() == 3)
        text += ".0";

    std::string fraction = text.size() > 4 ? text.substr(4, 5) : std::string();
    fraction.resize(5, '0');
    const long long original = leadingInteger(fraction);
    long long f = original;
    if (stepIndex >= 0 && stepIndex < 8) {
        const int grid = StepTable[stepIndex].grid;
        if (f % grid != 0)
            f = f / grid * grid;
    } else if (f % 250 != 0 && f % 625 != 0) {
        f = std::max(f / 250 * 250, f / 625 * 625);
    }
    if (f != original) {
        const std::string digits = std::to_string(f);
        fraction = std::string(digits.size() < 5 ? 5 - digits.size() : 0, '0') + digits;
    }
    text = text.substr(0, 4) + fraction;
}

void NormalizeTypedFrequency(std::string& text, int stepIndex)
{
    if (text.empty())
        return;
    std::size_t zeros = 0;
    while (zeros + 1 < text.size() && text[zeros] == '0' && isDigit(text[zeros + 1]))
        ++zeros;
    text.erase(0, zeros);
    NormalizeFrequencyText(text, stepIndex);
}

bool IsFrequencyText(const std::string& text)
{
    if (text.empty())
        return false;
    const long long mhz = leadingInteger(text);
    if (mhz < 100 || mhz > 600)
        return true;  // replaced as a whole by the range rule
    // In range: three digits, then nothing or a point and digits only. Anything else
    // (a second point, a comma, a trailing blank) would be cut or packed silently.
    if (text.size() < 3 || !isDigit(text[0]) || !isDigit(text[1]) || !isDigit(text[2]))
        return false;
    if (text.size() == 3)
        return true;
    if (text[3] != '.')
        return false;
    for (std::size_t i = 4; i < text.size(); ++i)
        if (!isDigit(text[i]))
            return false;
    return true;
}

std::uint32_t TextToFrequency(const std::string& text, bool valid)
{
    if (!valid || text.empty() || !IsFrequencyText(text))
        return NoFrequency;
    std::string normalized = text;
    NormalizeFrequencyText(normalized, -1);
    if (normalized.size() < 9 || normalized[3] != '.')
        return NoFrequency;
    std::uint32_t word = 0;
    for (int position : {0, 1, 2, 4, 5, 6, 7, 8}) {
        const char c = normalized[position];
        if (!isDigit(c))
            return NoFrequency;
        word = (word << 4) | static_cast<std::uint32_t>(c - '0');
    }
    return word;
}

bool InTransmitWindows(std::uint32_t word)
{
    const double mhz = FrequencyToMHz(word);
    for (const TransmitWindow& window : TransmitWindows)
        if (mhz >= window.low - WindowTolerance && mhz <= window.high + WindowTolerance)
            return true;
    return false;
}

void ToneCodeToText(std::uint16_t code, bool valid, std::string& text, const std::string& offText)
{
    if (code == NoTone) {
        text = valid ? offText : std::string();
        return;
    }
    const int high = code >> 8;
    if (high < 0x28) {
        text = fixed(code / 10.0, 1);
        return;
    }
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03o", code & 0x1FF);
    text = std::string(high < 0x80 ? DcsNormalPrefix : DcsInvertedPrefix) + digits;
}

std::uint16_t ToneTextToCode(const std::string& text, bool valid, const std::string& offText)
{
    if (!valid || text == offText)
        return NoTone;
    const char polarity = text.size() > 1 ? text[1] : '\0';
    if (polarity == 'N' || polarity == 'I') {
        // A digit missing at the end of the text counts as 0.
        auto digit = [&text](std::size_t i) { return i < text.size() ? text[i] - '0' : 0; };
        const int n = 64 * digit(2) + 8 * digit(3) + digit(4);
        return static_cast<std::uint16_t>((polarity == 'N' ? 0x2800 : 0xA800) + n);
    }
    const double tenths = leadingNumber(text) * 10.0;
    if (!std::isfinite(tenths) || std::fabs(tenths) > 1e9)
        return 0;
    return static_cast<std::uint16_t>(static_cast<long long>(tenths));
}

const std::array<std::string_view, 260>& ToneTexts()
{
    return toneTable();
}

std::vector<std::string> ToneListItems(const std::string& offText)
{
    std::vector<std::string> items;
    const auto& tones = toneTable();
    items.reserve(tones.size() + 1);
    items.push_back(offText);
    for (std::string_view tone : tones)
        items.emplace_back(tone);
    return items;
}

const std::array<StepInfo, 8>& Steps()
{
    return StepTable;
}

std::int32_t OffsetValue(const std::uint8_t* offsetDigits)
{
    auto digit = [offsetDigits](int i) { return static_cast<std::int32_t>(static_cast<std::int8_t>(offsetDigits[i])); };
    return digit(0) * 1000000 + digit(1) * 100000 + digit(2) * 10000 + digit(3) * 1000 + digit(4) * 100
        + (offsetDigits[5] >> 4) * 10 + (offsetDigits[5] & 0x0F);
}

std::vector<std::string> OffsetListItems(int stepIndex)
{
    const float grid = static_cast<float>(offsetGrid(stepIndex));
    std::vector<std::string> items;
    items.reserve(70 * (100000 / static_cast<int>(grid)) + 70);
    char buffer[16];
    for (int mhz = 0; mhz < 70; ++mhz) {
        for (float f = 0.0f; f < 100000.0f; f = std::trunc(f + grid)) {
            std::snprintf(buffer, sizeof buffer, "%02d.%05d0", mhz, static_cast<int>(f));
            items.emplace_back(buffer);
        }
    }
    return items;
}

int OffsetItemCount(int stepIndex)
{
    // Every grid divides 100 kHz, so each megahertz holds the same number of items.
    return 70 * (100000 / offsetGrid(stepIndex));
}

std::string OffsetItemText(int index, int stepIndex)
{
    const int grid = offsetGrid(stepIndex);
    const int perMHz = 100000 / grid;
    if (index < 0 || index >= 70 * perMHz)
        return std::string();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d.%05d0", index / perMHz, index % perMHz * grid);
    return buffer;
}

int OffsetToIndex(const std::uint8_t* offsetDigits, int stepIndex)
{
    const std::int32_t value = OffsetValue(offsetDigits);
    if (value > 6999999)
        return -1;
    return value / offsetGrid(stepIndex);
}

void IndexToOffset(int index, int stepIndex, std::uint8_t* offsetDigits)
{
    const std::int64_t value = static_cast<std::int64_t>(index) * offsetGrid(stepIndex);
    auto digit = [value](std::int64_t unit) { return static_cast<std::uint8_t>((value / unit) % 10); };
    offsetDigits[0] = static_cast<std::uint8_t>(value / 1000000);
    offsetDigits[1] = digit(100000);
    offsetDigits[2] = digit(10000);
    offsetDigits[3] = digit(1000);
    offsetDigits[4] = digit(100);
    offsetDigits[5] = static_cast<std::uint8_t>((digit(10) << 4) | digit(1));
}

}  // namespace tarn
