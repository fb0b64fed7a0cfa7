// The value codecs: frequency words (packed BCD, 10 Hz), tone codes (CTCSS / DCS), steps
// and repeater offsets, with their texts, the typed-frequency clean-up and the pick lists.
// Free functions without state; the pages and the printout call them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

inline constexpr std::uint32_t NoFrequency = 0xFFFFFFFFu;
inline constexpr std::uint16_t NoTone = 0xFFFF;

// Programmed when each of the four lowest nibbles is 0-9; the upper four are not examined.
bool IsBcdFrequency(std::uint32_t word);
// A frequency word in MHz, two ways that may differ in the last bit of the double; each
// keeps the results of the rule that uses it. Neither tests whether the word is programmed.
// The shown text, the transmit windows and the sort: digits added one after another, each
// multiplied by its power of ten (0.1, 0.01, ...).
double FrequencyToMHz(std::uint32_t word);
// The band-limit comparisons: the digits summed in one expression, each divided by its power
// of ten, so a frequency on a limit stays on the same side as the radio puts it.
double frequencyWordMHz(std::uint32_t word);
// "%.5f" of the frequency; false and an empty text when the word is not programmed.
bool FrequencyToText(std::uint32_t word, std::string& text);
// Cleans a typed frequency in place: range replacement, ".0" for three characters,
// five fraction digits rounded down to the step's grid (stepIndex 0-7) or to the
// nearest lower point of the 2.5 kHz or 6.25 kHz grid (any other stepIndex).
void NormalizeFrequencyText(std::string& text, int stepIndex);
// A typed frequency as it is kept: leading zeros dropped (they would shift the point out of
// its place), then NormalizeFrequencyText. An empty text stays empty.
void NormalizeTypedFrequency(std::string& text, int stepIndex);
// False for a text that NormalizeFrequencyText would not turn into DDD.DDDDD honestly: a
// text in the 100-600 MHz range must be three digits, optionally a point and digits only
// ("145.1.5", "145,5" and "145x5" are not frequencies). Out-of-range texts are true: the
// range rule replaces them as a whole.
bool IsFrequencyText(const std::string& text);
// 0xFFFFFFFF when valid is false, the text is empty, or it is not a frequency text (see
// IsFrequencyText); otherwise the packed word of the normalised text.
std::uint32_t TextToFrequency(const std::string& text, bool valid);
// True when the word lies in one of the three transmit windows.
bool InTransmitWindows(std::uint32_t word);

// 0xFFFF gives offText when valid, "" when not; other codes by the tone table.
void ToneCodeToText(std::uint16_t code, bool valid, std::string& text, const std::string& offText);
std::uint16_t ToneTextToCode(const std::string& text, bool valid, const std::string& offText);
// A DCS tone text is a prefix and the code's three octal digits: "DN023" normal, "DI023"
// inverted polarity.
inline constexpr std::string_view DcsNormalPrefix = "DN";
inline constexpr std::string_view DcsInvertedPrefix = "DI";
// The 260 tone texts after the off text: 50 CTCSS, 105 "DN" codes, 105 "DI" codes.
const std::array<std::string_view, 260>& ToneTexts();
// The 261 items of every tone list: offText, then ToneTexts().
std::vector<std::string> ToneListItems(const std::string& offText);

// The frequency steps, index 0-7.
struct StepInfo {
    int grid;                // in 10 Hz units
    std::string_view printed;   // "2.5", "5", "6.25", ...
    std::string_view listItem;  // "2.5KHZ", "5KHZ", ...
};
const std::array<StepInfo, 8>& Steps();

// Offset digits: six bytes, 10 Hz resolution.
std::int32_t OffsetValue(const std::uint8_t* offsetDigits);
// The texts FillOffsetList puts into a list for a step: 70 x (100000 / grid) items.
std::vector<std::string> OffsetListItems(int stepIndex);
// Item k of that list and the number of items, computed without building the list.
int OffsetItemCount(int stepIndex);
std::string OffsetItemText(int index, int stepIndex);
int OffsetToIndex(const std::uint8_t* offsetDigits, int stepIndex);
void IndexToOffset(int index, int stepIndex, std::uint8_t* offsetDigits);

}  // namespace tarn
