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

std::vector<std::string> numberTexts(int first, int last)
{
    std::vector<std::string> texts;
    for (int v = first; v <= last; ++v)
        texts.push_back(std::to_string(v));
    return texts;
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
    const Section G = Section::General;
    const Section H = Section::Hidden;
    const Block F = Block::Functions;
    const std::vector<EntryText> offOneToTen = numbers({str(45)}, 1, 10);
    const std::vector<EntryText> colours = {str(6), str(BlueWord), str(OrangeWord), str(PurpleWord)};
    const std::vector<std::string> colourTemplate = {"关闭", "蓝色", "橙色", "紫色"};

    return {
        // key, section, block, byte, rule, label, control, label control, entries, template entries, x, y
        {"startupText", G, Block::StartupText, 0, StartupText, 136, 1096, 1095, {}, {}, 67, 22},
        {"voicePrompt", G, F, 12, List, 46, 1014, 1058, strings({47, 48, 49}), {}, 67, 50},
        {"timeOut", G, F, 6, List, 43, 1009, 1057, numbers({}, 15, 600, 15), {}, 67, 76},
        {"timeOutAlert", G, F, 22, List, 44, 1012, 1056, offOneToTen, {}, 67, 102},
        {"menu", G, F, 60, BitZeroCheck, 55, 1091, 0, {}, {}, 13, 135},
        {"startupDisplay", G, F, 26, List, 50, 1016, 1059, strings({51, 52}), {}, 67, 169},
        {"powerSave", G, F, 3, Check, 56, 1015, 0, {}, {}, 14, 187},
        {"autoLock", G, F, 33, Check, 58, 1021, 0, {}, {}, 14, 201},
        {"keyLock", G, F, 25, Check, 114, 1089, 0, {}, {}, 14, 215},
        {"beep", G, F, 13, Check, 57, 1020, 0, {}, {}, 14, 229},
        {"stopwatch", G, F, 36, Check, 59, 1022, 0, {}, {}, 14, 243},
        {"tdr", G, F, 32, InvertedCheck, 141, 1101, 0, {}, {}, 14, 257},
        {"vox", G, F, 7, List, 60, 1023, 1060, offOneToTen, {}, 180, 23},
        {"scanMode", G, F, 24, List, 61, 1025, 1061, strings({62, 13, 63}), {}, 180, 48},
        {"backlight", G, F, 29, List, 64, 1030, 1062, strings({45, 125}), {}, 180, 81},
        {"endTone", G, F, 5, List, 65, 1034, 1065, strings({47, 66, 67, 68}), {}, 180, 108},
        {"modePassword", G, F, 42, Digits, 69, 1024, 1063, {}, {}, 180, 135},
        {"resetPassword", G, F, 48, Digits, 70, 1044, 1064, {}, {}, 180, 161},
        {"priority", G, F, 62, List, 71, 1055, 1066, numbers({str(6)}, 1, 128), {}, 180, 187},
        {"pttMode", G, F, 14, List, 137, 1094, 1100, strings({6, 138, 139, 140}), {}, 226, 226},
        {"pttId", G, F, 19, List, 127, 1037, 1097, numbers({str(45)}, 1, 30), {}, 388, 238},
        {"localId", G, F, 54, DtmfId, 128, 1092, 1093, {}, {}, 226, 240},
        {"dtmfSideTone", G, F, 21, List, 129, 1019, 1098,
         {str(45), str(130), str(131), EntryText{130, "+", 131}}, {}, 226, 254},

        {"topKey", H, F, 28, List, TopKeyLabel, 1029, 0, {str(UndefinedWord), str(AlarmWord)},
         {"未定义", "报警"}},
        {"rxBacklight", H, F, 30, List, RxBacklightLabel, 1031, 0, colours, colourTemplate},
        {"txBacklight", H, F, 31, List, TxBacklightLabel, 1032, 0, colours, colourTemplate},
        {"callRing", H, F, 15, Check, CallRingLabel, 1036, 0, {}, {}},
        {"ringTime", H, F, 16, List, RingTimeLabel, 1039, 0, numbers({}, 0, 10), numberTexts(0, 10)},
        {"hiddenText", H, Block::Offsets, 23, HiddenText, HiddenTextLabel, 1099, 0, {}, {}},

        {"sideKey", Section::Keys, F, 27, List, 35, 1045, 1048,
         {str(39), str(40), str(41), fixed("SOS-CH"), str(42)}, {}, 37, 110},
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

}  // namespace tarn::settings
