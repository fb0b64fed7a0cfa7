// The channel row rules: the eleven texts a channel list row shows for a channel's two
// 16-byte slots, the bytes those texts store back, and the clean-up of typed cell texts.
// Plain functions over the image; the channel page only moves texts in and out of its list.
#pragma once

#include "radio/RadioImage.h"

#include <array>
#include <cstdint>
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
};

// The bit a choice cell stores: 0 for any of the four bit-0 words whatever the column,
// 1 for every other text.
bool ChoiceBitFromText(const std::string& text, const ChannelWords& words);

// The row texts of channel i. A programmed channel whose band-limited option is set while
// its transmit frequency lies outside the transmit windows has the option cleared in the
// image, silently.
ChannelRow ShowChannelRow(RadioImage& image, int i, const ChannelWords& words);

// Writes the row texts into channel i. Returns true when the band-limited option had to be
// cleared (column 8 then shows the bit-0 word).
bool StoreChannelRow(RadioImage& image, int i, ChannelRow& row, const ChannelWords& words);

// How a committed frequency cell changes its row.
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

// The name cell keeps at most six letters or digits: one filter step, as applied after
// each change of the text (repeat until the text no longer changes).
inline constexpr int NameTextMax = 6;
std::string FilterNameStep(const std::string& text);
std::string FilterNameText(std::string text);

}  // namespace tarn
