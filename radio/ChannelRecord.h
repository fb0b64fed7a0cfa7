// The channel row rules: the eleven texts a channel list row shows for a channel's two
// 16-byte slots, the bytes those texts store back, the name code, and the clean-up of typed
// cell texts. Plain functions over the image; the channel page, tarn-cli info and the
// printout only move these texts.
#pragma once

#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tarn {

// Columns of the channel list.
enum ChannelColumn {
    ColNumber,
    ColRxFrequency,
    ColTxFrequency,
    ColRxTone,
    ColTxTone,
    ColPower,
    ColChoice6,
    ColBandwidth,
    ColBandLimited,
    ColChoice9,
    ColName,
    ChannelColumnCount
};

using ChannelRow = std::array<std::string, ChannelColumnCount>;  // UTF-8 texts

// The language strings of the column headers.
inline constexpr std::array<int, ChannelColumnCount> ChannelColumnHeaders{
    17, 18, 19, 20, 21, 22, 23, 24, 53, 25, 26};

// A choice column: the option word bit it shows and the language strings of its two words.
struct ChoiceColumn {
    int column;      // ChannelColumn
    int word;        // layout::channel::OptionsA or OptionsB
    int bit;
    int stringFor0;  // language string shown for bit 0
    int stringFor1;  // for bit 1
};
inline constexpr std::array<ChoiceColumn, 5> ChoiceColumns{{
    {ColPower, layout::channel::OptionsA, layout::channel::PowerBit, 3, 2},
    {ColChoice6, layout::channel::OptionsA, layout::channel::ChoiceBit14, 4, 5},
    {ColBandwidth, layout::channel::OptionsA, layout::channel::BandwidthBit, 10, 11},
    {ColBandLimited, layout::channel::OptionsB, layout::channel::BandLimitedBit, 10, 11},
    {ColChoice9, layout::channel::OptionsA, layout::channel::ChoiceBit3, 12, 13},
}};
// The text of "no tone" (0xFFFF), also the first entry of the tone list.
inline constexpr int ToneOffString = 12;

// The language strings the row rules show and recognise.
struct ChannelWords {
    std::string highPower;    // language string 2: power choice, bit 1
    std::string lowPower;     // 3: power choice, bit 0
    std::string choice6Bit0;  // 4
    std::string choice6Bit1;  // 5
    std::string optionOff;    // 10: bandwidth and band-limited choice, bit 0
    std::string optionOn;     // 11: bit 1
    std::string offText;      // 12: no tone; last choice, bit 0
    std::string choice9Bit1;  // 13

    // The words of the current language.
    static ChannelWords fromLanguage(const LanguageText& text);
    // The word of language string n (one of the eight above); empty for any other n.
    const std::string& word(int n) const;
    const std::string& choiceText(const ChoiceColumn& choice, bool bit) const
    {
        return word(bit ? choice.stringFor1 : choice.stringFor0);
    }
};

// The name code: one byte per character, 0-9 the digits, 10-35 the letters (lower-case
// letters store as upper-case). NameCharacter gives '\0' for a byte that ends the name;
// NameCode gives layout::extension::NameEnd for a character that cannot be stored.
char NameCharacter(std::uint8_t code);
std::uint8_t NameCode(char c);
// The name of an extension slot, up to its first byte that is not a character.
std::string ChannelNameText(ConstSlot16 extension);
// Stores `text` up to its first character that cannot be stored; the rest of the six
// bytes hold NameEnd.
void StoreChannelName(Slot16 extension, const std::string& text);

// The bit a choice cell stores: 0 for any of the four bit-0 words whatever the column,
// 1 for every other text.
bool ChoiceBitFromText(const std::string& text, const ChannelWords& words);

// The eleven texts the channel list shows for channel i; the image is not changed. The
// band-limited option shows its bit-0 word wherever the channel cannot transmit (its
// transmit frequency lies outside the transmit windows), as the radio does.
ChannelRow ChannelRowTexts(const RadioImage& image, int i, const ChannelWords& words);

// Clears the band-limited option of programmed channel i when its transmit frequency lies
// outside the transmit windows. True when the bit was cleared.
bool ClearUnusableBandLimit(RadioImage& image, int i);

// What the channel page does when it shows channel i: clears an unusable band-limited
// option silently, then gives the row texts.
ChannelRow ShowChannelRow(RadioImage& image, int i, const ChannelWords& words);

// Writes the row texts into channel i. Returns true when the band-limited option had to be
// cleared (column 8 then shows the bit-0 word).
bool StoreChannelRow(RadioImage& image, int i, ChannelRow& row, const ChannelWords& words);

// Whether `text` is one of the items of a choice column (its two words) or a tone column
// (the off text or a tone of the tone list).
bool IsColumnItem(int column, const std::string& text, const ChannelWords& words);
// Stores one choice or tone cell of channel i as StoreChannelRow stores it in a programmed
// channel, and nothing else: the frequencies, the other options and the name keep their
// bytes. True when the band-limited option had to be cleared.
bool StoreChannelCell(RadioImage& image, int i, int column, const std::string& text, const ChannelWords& words);

// How a committed frequency cell changes its row. A transmit frequency typed as a signed
// offset ("+0.6", "-5": MHz, the sign first) is the receive frequency plus or minus it, then
// cleaned up as any typed frequency.
enum class FrequencyEditMode {
    ProgrammedReceive = 0,  // column 1 of a programmed channel
    Transmit = 1,           // column 2
    NewChannel = 2          // column 1 typed into an empty row
};
void ApplyFrequencyEdit(ChannelRow& row, FrequencyEditMode mode, const ChannelWords& words);

// A frequency cell takes digits and one point, at most nine characters; anything else is
// refused while typing so that no stray character can reach the image.
inline constexpr int FrequencyTextMax = 9;
bool IsAcceptableFrequencyText(const std::string& text);
// The transmit frequency cell also takes a leading + or - (an offset from the receive
// frequency).
bool IsAcceptableTransmitText(const std::string& text);
// The transmit frequency text for a signed offset typed into the transmit cell, before the
// clean-up of a typed frequency; nothing when `typed` is not a sign followed by MHz or
// `rxText` is no frequency.
std::optional<std::string> TransmitFromOffset(const std::string& rxText, const std::string& typed);

// The name cell keeps at most six letters or digits: one filter step, as applied after
// each change of the text (repeat until the text no longer changes).
inline constexpr int NameTextMax = 6;
std::string FilterNameStep(const std::string& text);
std::string FilterNameText(std::string text);

}  // namespace tarn
