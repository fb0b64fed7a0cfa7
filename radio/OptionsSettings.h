// Everything the optional functions page holds, as one value: the general fields of the
// settings table and the two bands, loaded and stored together, with the notices a store
// raises; and the texts every setting shows, for tarn-cli info, the printout and diffs.
#pragma once

#include "radio/BandSettings.h"
#include "radio/SettingsTable.h"

#include <array>
#include <string>
#include <vector>

namespace tarn {

struct OptionsValues {
    // Parallel to settings::Fields(); only the general and hidden fields are loaded and
    // stored here (the side key belongs to the key page).
    std::vector<settings::FieldValue> fields;
    std::array<BandSettings, 2> bands;  // A, B

    BandSettings& band(Band b) { return bands[b == Band::A ? 0 : 1]; }
    const BandSettings& band(Band b) const { return bands[b == Band::A ? 0 : 1]; }
    bool operator==(const OptionsValues&) const = default;
};

bool IsOptionsPageField(const settings::Field& field);

OptionsValues LoadOptions(const RadioImage& image, const std::string& offText);

struct StoreNotices {
    bool passwordPadded = false;    // language string 115
    bool bandLimitCleared = false;  // language string 126
};
StoreNotices StoreOptions(RadioImage& image, OptionsValues& values, const std::string& offText);
// The settings notice: language string 115 and/or 126, "" when there is nothing to say.
std::string NoticeText(const StoreNotices& notices, const LanguageText& text);

// One setting as the pages show it.
struct SettingText {
    std::string key;    // "timeOut", "bandA.frequency", "sideKey"
    settings::Section section;
    std::string label;  // UTF-8
    std::string value;  // UTF-8, "" for an empty text or no selection
};
// Every setting of the image, in the pages' order: the general settings, the hidden ones,
// the A band, the B band, the side key.
std::vector<SettingText> SettingsTexts(const RadioImage& image, const LanguageText& text);

}  // namespace tarn
