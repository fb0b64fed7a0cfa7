#include "radio/SettingsTable.h"

#include <algorithm>

namespace tarn::settings {

namespace {

EntryText str(int n)
{
    return EntryText{n, {}, -1};
}

EntryText fixed(std::string text)
{
    return EntryText{-1, std::move(text), -1};
}

std::vector<EntryText> strings(std::initializer_list<int> numbers)
{
    std::vector<EntryText> entries;
    for (int n : numbers)
        entries.push_back(str(n));
    return entries;
}

// Decimal texts first, first + step, ... up to last, after the given leading entries.
std::vector<EntryText> numbers(std::vector<EntryText> entries, int first, int last, int step = 1)
{
    for (int v = first; v <= last; v += step)
        entries.push_back(fixed(std::to_string(v)));
    return entries;
}

// Language strings of Tarn's own for the hidden fields, whose template texts are never shown.
enum HiddenWords {
    TopKeyLabel = 225,
    RxBacklightLabel,
    TxBacklightLabel,
    CallRingLabel,
    RingTimeLabel,
    SignallingLabel,
    HiddenTextLabel,
    UndefinedWord,
    AlarmWord,
    BlueWord,
    OrangeWord,
    PurpleWord,
};

std::vector<Field> makeFields()
{
    using enum Rule;
    namespace fn = layout::functions;
    const Section G = Section::General;
    const Section H = Section::Hidden;
    const Block F = Block::Functions;
    const std::vector<EntryText> offOneToTen = numbers({str(45)}, 1, 10);
    const std::vector<EntryText> colours = {str(6), str(BlueWord), str(OrangeWord), str(PurpleWord)};

    return {
        // key, section, block, byte, rule, label, entries
        {"startupText", G, Block::StartupText, layout::startup::Text, StartupText, 136, {}},
        {"voicePrompt", G, F, fn::VoicePrompt, List, 46, strings({47, 48, 49})},
        {"timeOut", G, F, fn::TimeOut, List, 43, numbers({}, 15, 600, 15)},
        {"timeOutAlert", G, F, fn::TimeOutAlert, List, 44, offOneToTen},
        {"menu", G, F, fn::Menu, BitZeroCheck, 55, {}},
        {"startupDisplay", G, F, fn::StartupDisplay, List, 50, strings({51, 52})},
        {"powerSave", G, F, fn::PowerSave, Check, 56, {}},
        {"autoLock", G, F, fn::AutoLock, Check, 58, {}},
        {"keyLock", G, F, fn::KeyLock, Check, 114, {}},
        {"beep", G, F, fn::Beep, Check, 57, {}},
        {"stopwatch", G, F, fn::Stopwatch, Check, 59, {}},
        {"tdr", G, F, fn::Tdr, InvertedCheck, 141, {}},
        {"vox", G, F, fn::Vox, List, 60, offOneToTen},
        {"scanMode", G, F, fn::ScanMode, List, 61, strings({62, 13, 63})},
        {"backlight", G, F, fn::Backlight, List, 64, strings({45, 125})},
        {"endTone", G, F, fn::EndTone, List, 65, strings({47, 66, 67, 68})},
        {"modePassword", G, F, fn::ModePassword, Digits, 69, {}},
        {"resetPassword", G, F, fn::ResetPassword, Digits, 70, {}},
        {"priority", G, F, fn::Priority, List, 71, numbers({str(6)}, 1, 128)},
        {"pttMode", G, F, fn::PttMode, List, 137, strings({6, 138, 139, 140})},
        {"pttId", G, F, fn::PttId, List, 127, numbers({str(45)}, 1, 30)},
        {"localId", G, F, fn::LocalId, DtmfId, 128, {}},
        {"dtmfSideTone", G, F, fn::DtmfSideTone, List, 129, {str(45), str(130), str(131), EntryText{130, "+", 131}}},

        {"topKey", H, F, fn::TopKey, List, TopKeyLabel, {str(UndefinedWord), str(AlarmWord)}},
        {"rxBacklight", H, F, fn::RxBacklight, List, RxBacklightLabel, colours},
        {"txBacklight", H, F, fn::TxBacklight, List, TxBacklightLabel, colours},
        {"callRing", H, F, fn::CallRing, Check, CallRingLabel, {}},
        {"ringTime", H, F, fn::RingTime, List, RingTimeLabel, numbers({}, 0, 10)},
        {"hiddenText", H, Block::Offsets, layout::offsets::HiddenText, HiddenText, HiddenTextLabel, {}},

        {"sideKey", Section::Keys, F, fn::SideKey, List, 35, {str(39), str(40), str(41), fixed("SOS-CH"), str(42)}},
    };
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

const std::uint8_t* fieldBytes(const RadioImage& image, const Field& field)
{
    switch (field.block) {
    case Block::Functions:
        return image.functionData().data() + field.byte;
    case Block::Offsets:
        return image.offsetData().data() + field.byte;
    case Block::StartupText:
        return image.startupTextData().data() + field.byte;
    }
    return nullptr;
}

std::uint8_t* fieldBytes(RadioImage& image, const Field& field)
{
    return const_cast<std::uint8_t*>(fieldBytes(static_cast<const RadioImage&>(image), field));
}

}  // namespace

std::string EntryTextOf(const EntryText& entry, const LanguageText& text)
{
    std::string result;
    if (entry.string >= 0)
        result += text(entry.string);
    result += entry.fixed;
    if (entry.second >= 0)
        result += text(entry.second);
    return result;
}

const std::vector<Field>& Fields()
{
    static const std::vector<Field> fields = makeFields();
    return fields;
}

const Field* FindField(std::string_view key)
{
    const auto& fields = Fields();
    const auto it = std::find_if(fields.begin(), fields.end(), [key](const Field& f) { return f.key == key; });
    return it == fields.end() ? nullptr : &*it;
}

bool IsCheckRule(Rule rule)
{
    return rule == Rule::Check || rule == Rule::InvertedCheck || rule == Rule::BitZeroCheck;
}

bool IsTextRule(Rule rule)
{
    return rule == Rule::Digits || rule == Rule::DtmfId || rule == Rule::StartupText || rule == Rule::HiddenText;
}

int EntryCount(const Field& field)
{
    if (field.rule == Rule::List)
        return static_cast<int>(field.entries.size());
    return IsCheckRule(field.rule) ? 2 : 0;
}

FieldValue LoadField(const RadioImage& image, const Field& field)
{
    const std::uint8_t* p = fieldBytes(image, field);
    FieldValue value;
    switch (field.rule) {
    case Rule::List:
        value.index = p[0] % EntryCount(field);
        break;
    case Rule::Check:
    case Rule::BitZeroCheck:
        value.index = p[0] & 1;
        break;
    case Rule::InvertedCheck:
        value.index = (p[0] & 1) ? 0 : 1;
        break;
    case Rule::Digits:
        value.text = DigitsToText(p);
        break;
    case Rule::DtmfId:
        value.text = DtmfToText(p);
        break;
    case Rule::StartupText:
        value.text = StartupBytesToText(p);
        break;
    case Rule::HiddenText:
        value.text = HiddenBytesToText(p);
        break;
    }
    return value;
}

bool StoreField(RadioImage& image, const Field& field, FieldValue& value)
{
    std::uint8_t* p = fieldBytes(image, field);
    const bool checked = value.index == 1;
    switch (field.rule) {
    case Rule::List:
        p[0] = static_cast<std::uint8_t>(value.index);
        break;
    case Rule::Check:
        p[0] = checked ? 1 : 0;
        break;
    case Rule::InvertedCheck:
        p[0] = checked ? 0 : 1;
        break;
    case Rule::BitZeroCheck:
        p[0] = static_cast<std::uint8_t>((p[0] & 0xFE) | (checked ? 1 : 0));
        break;
    case Rule::Digits:
        return TextToDigits(value.text, p);
    case Rule::DtmfId:
        TextToDtmf(value.text, p);
        break;
    case Rule::StartupText:
        TextToStartupBytes(value.text, p);
        break;
    case Rule::HiddenText:
        TextToHiddenBytes(value.text, p);
        break;
    }
    return false;
}

std::string DigitsToText(const std::uint8_t* bytes)
{
    std::string text;
    for (int p = 0; p < TextLength && bytes[p] <= 9; ++p)
        text += static_cast<char>('0' + bytes[p]);
    return text;
}

bool TextToDigits(std::string& text, std::uint8_t* bytes)
{
    const int typed = std::min(static_cast<int>(text.size()), TextLength);
    for (int p = 0; p < typed; ++p)
        bytes[p] = static_cast<std::uint8_t>(text[p] - '0');
    for (int p = typed; p < TextLength; ++p) {
        bytes[p] = 0;
        text += '0';
    }
    return typed < TextLength;
}

int DtmfCode(char c)
{
    if (isDigit(c))
        return c - '0';
    switch (c) {
    case '*': return 11;
    case '#': return 12;
    case 'A': case 'a': return 13;
    case 'B': case 'b': return 14;
    case 'C': case 'c': return 15;
    case 'D': case 'd': return 16;
    default: return -1;
    }
}

char DtmfCharacter(int code)
{
    static constexpr char Characters[] = "0123456789:*#ABCD";
    return code >= 0 && code <= 16 ? Characters[code] : '\0';
}

std::string DtmfToText(const std::uint8_t* bytes)
{
    std::string text;
    for (int p = 0; p < TextLength && bytes[p] <= 16; ++p)
        text += DtmfCharacter(bytes[p]);
    return text;
}

void TextToDtmf(const std::string& text, std::uint8_t* bytes)
{
    for (int p = 0; p < TextLength; ++p) {
        const int code = p < static_cast<int>(text.size()) ? DtmfCode(text[p]) : -1;
        bytes[p] = code < 0 ? 0xFF : static_cast<std::uint8_t>(code);
    }
}

std::string StartupBytesToText(const std::uint8_t* bytes)
{
    std::string text;
    for (int p = 0; p < TextLength && bytes[p] != 0xFF && bytes[p] != 0; ++p)
        text += static_cast<char>(bytes[p]);
    return text;
}

void TextToStartupBytes(const std::string& text, std::uint8_t* bytes)
{
    std::fill_n(bytes, TextLength, 0xFF);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), TextLength), bytes);
}

std::string HiddenBytesToText(const std::uint8_t* bytes)
{
    std::string text;
    for (int p = 0; p < TextLength && bytes[p] != 0; ++p)
        text += static_cast<char>(bytes[p]);
    return text;
}

void TextToHiddenBytes(const std::string& text, std::uint8_t* bytes)
{
    TextToStartupBytes(text, bytes);  // the same write: the characters, then 0xFF
}

bool IsAcceptableDigitText(const std::string& text)
{
    return text.size() <= TextLength && std::all_of(text.begin(), text.end(), isDigit);
}

bool IsAcceptableDtmfText(const std::string& text)
{
    return text.size() <= TextLength
        && std::all_of(text.begin(), text.end(), [](char c) { return DtmfCode(c) >= 0; });
}

bool IsAcceptableStartupText(const std::string& text, const std::string& before)
{
    if (text.size() > TextLength)
        return false;
    return std::all_of(text.begin(), text.end(), [&before](char c) {
        return (c >= 0x20 && c <= 0x7E) || before.find(c) != std::string::npos;
    });
}

std::string Latin1ToUtf8(const std::string& bytes)
{
    std::string utf8;
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}

std::string FieldValueText(const Field& field, const FieldValue& value, const LanguageText& text)
{
    if (IsTextRule(field.rule))
        return Latin1ToUtf8(value.text);
    if (IsCheckRule(field.rule))
        return text(value.index == 1 ? 11 : 10);
    if (value.index < 0 || value.index >= static_cast<int>(field.entries.size()))
        return std::string();
    return EntryTextOf(field.entries[value.index], text);
}

bool FieldValueFromText(const Field& field, const std::string& shown, const LanguageText& text, FieldValue& value)
{
    value = FieldValue{};
    switch (field.rule) {
    case Rule::Digits:
        value.text = shown;
        return IsAcceptableDigitText(shown);
    case Rule::DtmfId:
        value.text = shown;
        return IsAcceptableDtmfText(shown);
    case Rule::StartupText:
    case Rule::HiddenText:
        value.text = shown;
        return shown.size() <= TextLength && std::all_of(shown.begin(), shown.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x80;
        });
    case Rule::Check:
    case Rule::InvertedCheck:
    case Rule::BitZeroCheck:
        value.index = shown == text(11) ? 1 : shown == text(10) ? 0 : -1;
        return value.index >= 0;
    case Rule::List:
        for (std::size_t k = 0; k < field.entries.size(); ++k)
            if (EntryTextOf(field.entries[k], text) == shown) {
                value.index = static_cast<int>(k);
                return true;
            }
        return false;
    }
    return false;
}

}  // namespace tarn::settings
