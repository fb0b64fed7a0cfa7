// The readable text form of a whole configuration, in YAML: every channel in use, the
// settings by their keys, both bands, the band limits and the port number, in the order of
// the pages. Reading it back starts from a base image: whatever the text does not cover
// (headers, filler, scratch, tail, unknown bits) and every value the text leaves as the
// base has it keeps the base's bytes, so export then import onto the same base gives the
// same image byte for byte.
#pragma once

#include "radio/RadioImage.h"
#include "radio/LanguageText.h"

#include <string>
#include <string_view>

namespace tarn {

// With `text` (language string n), each choice carries a comment with the text the page
// shows for it; the values themselves never depend on the language.
std::string ExportTextForm(const RadioImage& image, const LanguageText* text = nullptr);

struct TextFormResult {
    bool ok = false;
    std::string error;  // "line L, column C: what is wrong" when not ok
};

// Applies the text onto `image` (the base). On any error the image is left untouched.
TextFormResult ImportTextForm(std::string_view text, RadioImage& image);

// Whether `key` names a setting of the text form's "settings" or "keys" map.
bool IsSettingKey(std::string_view key);
// One setting named by its key, set from the text the text form holds for it (a number for a
// choice, true or false for a check, the text itself) by the same rules as an import. On an
// error ("localId: '12X' is not a text this setting holds") the image is left untouched.
TextFormResult ApplySettingText(std::string_view key, std::string_view value, RadioImage& image);

}  // namespace tarn
