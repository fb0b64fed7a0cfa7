// The radio's general settings and its side key as data: one row per byte-bound field
// (a stable key, block and named data byte, rule, label, entries) and the walks of the
// fields that need their own. The pages build their controls from these rows (and place
// them by their own layout, keyed by the same keys); tarn-cli info, the printout and the
// text form read the same rows, so no other file ties a settings byte to a rule.
#pragma once

#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

namespace settings {

// The block a field's data byte lives in.
enum class Block { Functions, Offsets, StartupText };

enum class Rule {
    List,           // byte = entry index, loaded as the byte modulo the number of entries
    Check,          // checked when the byte is odd, stored as 1 or 0
    InvertedCheck,  // checked when the byte is even, stored as 0 (checked) or 1
    BitZeroCheck,   // bit 0 only is read and written; bits 1-7 stay as they were
    Digits,         // six digit bytes (a password)
    DtmfId,         // six DTMF character codes (the local ID)
    StartupText,    // up to six characters, ending at 0xFF or zero
    HiddenText,     // up to six characters, ending at zero
};

// Where a field is shown: the optional functions page (visible or hidden), one of its
// band groups, or the key settings page.
enum class Section { General, Hidden, BandA, BandB, Keys };

// One text of a list entry: language string `string` (if >= 0), then `fixed`, then
// language string `second` (if >= 0).
struct EntryText {
    int string = -1;
    std::string fixed;
    int second = -1;
};
std::string EntryTextOf(const EntryText& entry, const LanguageText& text);

inline constexpr int TextLength = layout::TextFieldLength;  // every text field holds at most six characters

struct Field {
    std::string_view key;  // stable ASCII name: the text form, the printout and the pages' layout use it
    Section section;
    Block block;
    int byte;  // first data byte in the block, as the layout names it
    Rule rule;
    int label;  // language string of the label (hidden fields: Tarn's own)
    std::vector<EntryText> entries;  // list entries in index order, as the page shows them
};

// Every field, in the order of the pages: the visible general settings, the hidden ones,
// then the side key.
const std::vector<Field>& Fields();
const Field* FindField(std::string_view key);
// List entries, or 2 for a check box, or 0 for a text field.
int EntryCount(const Field& field);
bool IsCheckRule(Rule rule);
bool IsTextRule(Rule rule);

// A field's value as its control holds it: the selection (list), 0/1 (check box) or the
// text. Texts of the two text fields hold raw bytes, one char per byte.
struct FieldValue {
    int index = -1;
    std::string text;
    bool operator==(const FieldValue&) const = default;
};

FieldValue LoadField(const RadioImage& image, const Field& field);
// Writes the value into the image. Returns true when a password had to be padded with
// zeros; the value's text then shows the padding.
bool StoreField(RadioImage& image, const Field& field, FieldValue& value);

// The walks.
std::string DigitsToText(const std::uint8_t* bytes);          // stops before a byte above 9
bool TextToDigits(std::string& text, std::uint8_t* bytes);    // true when padded
int DtmfCode(char c);     // 0-9, 11 "*", 12 "#", 13-16 "A"-"D" (or "a"-"d"); -1 for none
char DtmfCharacter(int code);  // 10 gives ":"; 0 for a code above 16
std::string DtmfToText(const std::uint8_t* bytes);            // stops at a byte above 16
void TextToDtmf(const std::string& text, std::uint8_t* bytes);  // 0xFF after the text
std::string StartupBytesToText(const std::uint8_t* bytes);
void TextToStartupBytes(const std::string& text, std::uint8_t* bytes);
std::string HiddenBytesToText(const std::uint8_t* bytes);
void TextToHiddenBytes(const std::string& text, std::uint8_t* bytes);

// What the edit boxes accept while typing.
bool IsAcceptableDigitText(const std::string& text);
bool IsAcceptableDtmfText(const std::string& text);
// Printable ASCII only (the radio shows one byte per character), at most six; characters
// that were already there (loaded from the image) may stay.
bool IsAcceptableStartupText(const std::string& text, const std::string& before);

// The text the page shows for a field's value: the entry, "ON"/"OFF" words for a check
// box, the text itself (UTF-8) for a text field.
std::string FieldValueText(const Field& field, const FieldValue& value, const LanguageText& text);

// The inverse, for a text form: the value whose shown text is `shown` (an entry's text, the
// ON/OFF word, or a text the field's edit box would accept). False when no value shows so.
bool FieldValueFromText(const Field& field, const std::string& shown, const LanguageText& text, FieldValue& value);

// Raw bytes (one char per byte) as UTF-8, reading bytes above 0x7F as Latin-1.
std::string Latin1ToUtf8(const std::string& bytes);

}  // namespace settings
}  // namespace tarn
