// The frequency-mode (VFO) settings of the A and B band as a value per band: its record in
// the VFO block, its single-byte fields in the settings and offset blocks, and the rules
// that tie them together (empty band, transmit windows, display-mode coupling, no channel).
#pragma once

#include "radio/RadioImage.h"
#include "radio/SettingsTable.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// One band as the page's controls hold it. -1 is no selection; tone texts are the texts of
// the selected tone list entries ("" for none).
struct BandSettings {
    std::string frequency;  // "" when the band holds no frequency
    int power = -1;         // flags word
    int bandwidth = -1;     // flags word
    int bandLimited = -1;   // second flags word, only inside the transmit windows
    int signalling = -1;    // flags word (a hidden list)
    int offsetDirection = 0;
    int offset = -1;        // entry of the offset list for `step`
    int displayMode = 0;
    int squelch = 0;
    int step = 0;
    std::string rxTone;
    std::string txTone;
    bool operator==(const BandSettings&) const = default;
};

enum class BandFieldId {
    Frequency, Power, TxTone, RxTone, Bandwidth, BandLimited, OffsetDirection, Offset,
    DisplayMode, Squelch, Step, Signalling
};

inline constexpr int BandFieldCount = 12;
// The selection a list row of a band holds; nullptr for the frequency and tone rows,
// which hold texts.
int* BandSelection(BandSettings& value, BandFieldId id);
const int* BandSelection(const BandSettings& value, BandFieldId id);

// A band group's rows, in the page's order.
struct BandField {
    BandFieldId id;
    std::string_view key;  // stable ASCII name inside "bandA." / "bandB."
    int labelA;            // language string of the A group's label
    int labelB;
    bool hidden;  // the page keeps it in a control it never shows
    // Fixed entries (empty for the frequency, tone and offset rows, which the codecs give).
    std::vector<settings::EntryText> entries;
};
const std::vector<BandField>& BandFields();
// The row's stable key with its band: "bandA.frequency".
std::string BandSettingKey(Band band, std::string_view key);
const BandField& FindBandField(BandFieldId id);

inline constexpr int SharedDisplayMode = 3;  // the display mode both bands share
inline constexpr int BandDisplayModes = 4;
inline constexpr int SquelchLevels = 10;
inline constexpr int OffsetDirections = 3;
inline constexpr int StepCount = 8;
inline constexpr int SignallingModes = 4;

bool AnyChannelInUse(const RadioImage& image);

// The tone list entry showing a stored code: its text when the tone list holds it, "" when
// no entry matches.
std::string ToneEntryText(std::uint16_t code, const std::string& offText);
// The offset list selection for stored offset digits: OffsetToIndex, entry 0 for a value
// beyond the list, -1 (none) for a negative value such as erased memory gives.
int OffsetSelection(const std::uint8_t* offsetDigits, int stepIndex);

BandSettings LoadBand(const RadioImage& image, Band band, const std::string& offText);
// Writes the band into the image; the value's selections change where the rules change
// them (display mode without channels, band-limited option outside the windows). Returns
// true when a chosen band-limited option had to be cleared.
bool StoreBand(RadioImage& image, Band band, BandSettings& value, const std::string& offText);

// A new step: the offset selection is recomputed from the image's offset digits.
void ChangeStep(const RadioImage& image, Band band, BandSettings& value, int stepIndex);
// After a change of `changed`'s display mode: the shared mode is taken by both bands, and
// a band left on it follows the other out of it.
void CoupleDisplayModes(const BandSettings& changed, BandSettings& other);

// The text the page shows for one row of a band ("" for no selection).
std::string BandFieldText(const BandSettings& value, BandFieldId id, const LanguageText& text);

// The inverse, for a text form: sets row `id` of the band to the value that shows `shown`.
// False when no entry shows so (or the frequency is not one the edit box would take).
bool BandFieldFromText(BandSettings& value, BandFieldId id, const std::string& shown, const LanguageText& text);

}  // namespace tarn
