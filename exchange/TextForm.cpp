#include "exchange/TextForm.h"

#include "radio/BandLimits.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "exchange/ExchangeRules.h"
#include "radio/OptionsSettings.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <map>
#include <sstream>
#include <set>
#include <vector>

namespace tarn {

using namespace layout;

namespace {

// The keys of a channel, in the order of the channel page's columns.
struct ChannelKey {
    const char* key;
    ChannelColumn column;
};
const ChannelKey ChannelKeys[] = {
    {"receive", ColRxFrequency}, {"transmit", ColTxFrequency},   {"receive tone", ColRxTone},
    {"transmit tone", ColTxTone}, {"power", ColPower},           {"scan add", ColChoice6},
    {"narrow", ColBandwidth},     {"band option", ColBandLimited}, {"busy lock", ColChoice9},
    {"name", ColName},
};

// An error at a place of the text.
struct TextError {
    YAML::Mark mark;
    std::string what;
};

[[noreturn]] void fail(const YAML::Node& node, const std::string& what)
{
    throw TextError{node.Mark(), what};
}

std::string scalar(const YAML::Node& node, const std::string& key)
{
    if (!node.IsScalar())
        fail(node, key + ": a single value is expected");
    return node.Scalar();
}

int integer(const YAML::Node& node, const std::string& key, int low, int high)
{
    const std::string text = scalar(node, key);
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    const bool digits = text.size() > start && text.size() <= 11
        && std::all_of(text.begin() + static_cast<long>(start), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const long long value = digits ? std::stoll(text) : static_cast<long long>(low) - 1;
    if (value < low || value > high)
        fail(node, key + ": '" + text + "' is not a whole number from " + std::to_string(low) + " to "
                       + std::to_string(high));
    return static_cast<int>(value);
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The two words a choice column shows, bit 0 first.
std::pair<std::string, std::string> choiceWords(ChannelColumn column)
{
    const ChannelWords& w = ExchangeWords();
    switch (column) {
    case ColPower:
        return {w.lowPower, w.highPower};
    case ColChoice6:
        return {w.choice6Bit0, w.choice6Bit1};
    case ColChoice9:
        return {w.offText, w.choice9Bit1};
    default:
        return {w.optionOff, w.optionOn};
    }
}

// The row text for a channel value from the text form, checked as the page would take it.
std::string channelValue(const YAML::Node& node, const ChannelKey& key)
{
    const std::string text = scalar(node, key.key);
    std::string reason;
    switch (key.column) {
    case ColRxFrequency:
    case ColTxFrequency: {
        if (key.column == ColTxFrequency && text.empty())
            return text;
        const auto frequency = ChannelFrequencyText(key.key, text, &reason);
        if (!frequency)
            fail(node, reason);
        return *frequency;
    }
    case ColRxTone:
    case ColTxTone: {
        const std::string& off = ExchangeWords().offText;
        if (upper(text) == upper(off))
            return off;
        const auto& tones = ToneTexts();
        if (std::find(tones.begin(), tones.end(), upper(text)) == tones.end())
            fail(node, std::string(key.key) + ": '" + text + "' is not in the radio's tone list");
        return upper(text);
    }
    case ColName: {
        const std::string name = upper(text);
        if (FilterNameText(name) != name)
            fail(node, "name: '" + text + "' is not up to six letters or digits");
        return name;
    }
    default: {
        const auto [bit0, bit1] = choiceWords(key.column);
        if (upper(text) == upper(bit0))
            return bit0;
        if (upper(text) == upper(bit1))
            return bit1;
        fail(node, std::string(key.key) + ": '" + text + "' is neither " + bit0 + " nor " + bit1);
    }
    }
}

void checkKeys(const YAML::Node& map, const std::set<std::string>& known, const std::string& where)
{
    if (!map.IsMap())
        fail(map, where + ": a map of keys is expected");
    for (const auto& entry : map) {
        const std::string key = entry.first.as<std::string>();
        if (!known.count(key))
            fail(entry.first, where + ": unknown key '" + key + "'");
    }
}

std::set<std::string> channelKeySet()
{
    std::set<std::string> keys{"number"};
    for (const ChannelKey& k : ChannelKeys)
        keys.insert(k.key);
    return keys;
}

void applyChannels(const YAML::Node& list, const RadioImage& base, RadioImage& image)
{
    if (!list.IsSequence())
        fail(list, "channels: a list of channels is expected");
    const ChannelWords& words = ExchangeWords();
    std::set<int> given;
    for (const YAML::Node& entry : list) {
        checkKeys(entry, channelKeySet(), "channel");
        if (!entry["number"])
            fail(entry, "channel: the number is missing");
        const int number = integer(entry["number"], "number", 1, ChannelCount);
        if (!given.insert(number).second)
            fail(entry["number"], "channel " + std::to_string(number) + " is given twice");
        const int i = number - 1;
        const bool inUse = base.channelInUse(i);
        const ChannelRow before = inUse ? ChannelRowTexts(base, i, words) : ChannelRow{};
        ChannelRow row = before;
        if (!inUse) {
            if (!entry["receive"])
                fail(entry, "channel " + std::to_string(number) + ": the receive frequency is missing");
            row[ColRxFrequency] = "100";
            ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        }
        for (const ChannelKey& key : ChannelKeys) {
            const YAML::Node value = entry[key.key];
            if (!value)
                continue;
            // A value as the base shows it stays, even one the page would not take when typed.
            if (inUse && value.IsScalar() && value.Scalar() == before[key.column])
                continue;
            row[key.column] = channelValue(value, key);
        }
        // A new channel without a transmit line transmits where it receives, as a frequency
        // typed into an empty row of the channel page does.
        if (!inUse && !entry["transmit"])
            row[ColTxFrequency] = row[ColRxFrequency];
        if (row[ColTxFrequency].empty())
            row[ColTxTone] = words.offText;
        if (inUse && row == before)
            continue;  // unchanged: the channel's bytes stay exactly as they are
        StoreChannelRow(image, i, row, words);
    }
    // A channel in use that the text no longer lists has been deleted.
    for (int i = 0; i < ChannelCount; ++i) {
        if (base.channelInUse(i) && !given.count(i + 1)) {
            ChannelRow empty;
            StoreChannelRow(image, i, empty, words);
        }
    }
}

void applyLimits(const YAML::Node& map, RadioImage& image)
{
    std::set<std::string> keys;
    for (const LimitRange& range : LimitRanges)
        keys.insert(std::string(range.key));
    checkKeys(map, keys, "band limits");
    for (const LimitRange& range : LimitRanges) {
        const std::string key(range.key);
        const YAML::Node pair = map[key];
        if (!pair)
            continue;
        if (!pair.IsSequence() || pair.size() != 2)
            fail(pair, key + ": [lowest, highest] in MHz is expected");
        for (int end = 0; end < 2; ++end) {
            const int k = end == 0 ? range.low : range.high;
            const int mhz = integer(pair[end], key, 0, 9999);
            if (mhz != image.bandLimitMHz(k))
                SetBandLimitMHz(image, k, mhz);
        }
    }
}

void emitChoice(YAML::Emitter& out, const std::string& text)
{
    // Words such as Off, On, Yes and No would read back as booleans in other YAML tools.
    const bool number = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || c == '.';
    });
    if (number)
        out << text;
    else
        out << YAML::DoubleQuoted << text;
}


// Text fields hold one byte per character; the text form carries them as UTF-8.
std::string latin1(const YAML::Node& node, const std::string& utf8)
{
    std::string bytes;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            bytes += static_cast<char>(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            bytes += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            fail(node, "'" + utf8 + "' holds a character the radio cannot show");
        }
    }
    return bytes;
}

bool checkValue(const YAML::Node& node, const std::string& key)
{
    const std::string text = scalar(node, key);
    if (text == "true" || text == "1")
        return true;
    if (text == "false" || text == "0")
        return false;
    fail(node, key + ": true or false is expected, not '" + text + "'");
}

std::string toneValue(const YAML::Node& node, const std::string& key)
{
    const std::string text = upper(scalar(node, key));
    const std::string& off = ExchangeWords().offText;
    if (text.empty())
        return text;
    if (text == upper(off))
        return off;
    const auto& tones = ToneTexts();
    if (std::find(tones.begin(), tones.end(), text) == tones.end())
        fail(node, key + ": '" + node.Scalar() + "' is not in the radio's tone list");
    return text;
}

std::set<std::string> fieldKeys(settings::Section a, settings::Section b)
{
    std::set<std::string> keys;
    for (const settings::Field& f : settings::Fields())
        if (f.section == a || f.section == b)
            keys.insert(std::string(f.key));
    return keys;
}

void applyFields(const YAML::Node& map, const std::set<std::string>& keys, const std::string& where, RadioImage& image)
{
    checkKeys(map, keys, where);
    for (const auto& entry : map) {
        const std::string key = entry.first.as<std::string>();
        const settings::Field& field = *settings::FindField(key);
        const settings::FieldValue before = settings::LoadField(image, field);
        settings::FieldValue value = before;
        if (settings::IsTextRule(field.rule)) {
            value.text = latin1(entry.second, scalar(entry.second, key));
            const bool fits = field.rule == settings::Rule::Digits ? settings::IsAcceptableDigitText(value.text)
                : field.rule == settings::Rule::DtmfId             ? settings::IsAcceptableDtmfText(value.text)
                : field.rule == settings::Rule::StartupText ? settings::IsAcceptableStartupText(value.text, before.text)
                                                            : static_cast<int>(value.text.size()) <= settings::TextLength;
            if (!fits)
                fail(entry.second, key + ": '" + entry.second.Scalar() + "' is not a text this setting holds");
        } else if (settings::IsCheckRule(field.rule)) {
            value.index = checkValue(entry.second, key) ? 1 : 0;
        } else {
            value.index = integer(entry.second, key, 0, settings::EntryCount(field) - 1);
        }
        if (value != before)  // unchanged values keep their bytes exactly
            settings::StoreField(image, field, value);
    }
}

void applyBand(const YAML::Node& map, Band which, RadioImage& image)
{
    std::set<std::string> keys;
    for (const BandField& f : BandFields())
        keys.insert(std::string(f.key));
    const std::string where = which == Band::A ? "band A" : "band B";
    checkKeys(map, keys, where);
    const std::string& off = ExchangeWords().offText;
    const BandSettings before = LoadBand(image, which, off);
    BandSettings band = before;
    for (const BandField& f : BandFields()) {
        const YAML::Node node = map[std::string(f.key)];
        if (!node)
            continue;
        const std::string key(f.key);
        std::string reason;
        if (f.id == BandFieldId::Frequency) {
            const std::string text = scalar(node, key);
            if (text == before.frequency)
                continue;
            const auto frequency = text.empty() ? std::optional<std::string>("") : ChannelFrequencyText(key, text, &reason);
            if (!frequency)
                fail(node, reason);
            band.frequency = *frequency;
        } else if (f.id == BandFieldId::RxTone || f.id == BandFieldId::TxTone) {
            (f.id == BandFieldId::RxTone ? band.rxTone : band.txTone) = toneValue(node, key);
        } else if (f.id != BandFieldId::Offset) {
            const int count = static_cast<int>(f.entries.size());
            *BandSelection(band, f.id) = integer(node, key, -1, count - 1);
        }
    }
    // The offset is a distance in MHz on the band's step.
    if (const YAML::Node node = map["offset"]) {
        const std::string text = scalar(node, "offset");
        const auto tenHz = FrequencyTenHz(text);
        const int grid = band.step >= 0 && band.step < 8 ? Steps()[static_cast<std::size_t>(band.step)].grid : 0;
        if (!tenHz || grid == 0 || *tenHz % grid != 0 || *tenHz >= 7000000)
            fail(node, "offset: '" + text + "' MHz is not a multiple of the band's step below 70 MHz");
        band.offset = static_cast<int>(*tenHz / grid);
        if (before.offset < 0 && band.offset == 0 && before.step == band.step)
            band.offset = before.offset;  // no offset in the base reads as 0 in the text
    }
    if (!(band == before))
        StoreBand(image, which, band, off);
}

// Walks the events of the whole text once, before it is read for its values: a key given
// twice in one map or a second document would otherwise be dropped without a word (the
// reader takes the first of each), so both are refused where they stand.
class DuplicateCheck : public YAML::EventHandler {
public:
    void OnDocumentStart(const YAML::Mark& mark) override
    {
        if (++m_documents > 1)
            throw TextError{mark, "a second document; the text form is one document"};
    }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark&, YAML::anchor_t) override { node(); }
    void OnAlias(const YAML::Mark&, YAML::anchor_t) override { node(); }
    void OnScalar(const YAML::Mark& mark, const std::string&, YAML::anchor_t, const std::string& value) override
    {
        if (!m_open.empty() && m_open.back().map && m_open.back().expectKey) {
            auto& keys = m_open.back().keys;
            const auto [first, added] = keys.emplace(value, mark.line);
            if (!added)
                throw TextError{mark, "'" + value + "' is given twice in the same map (first on line "
                                          + std::to_string(first->second + 1) + ")"};
        }
        node();
    }
    void OnSequenceStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        node();
        m_open.push_back({false, false, {}});
    }
    void OnSequenceEnd() override { m_open.pop_back(); }
    void OnMapStart(const YAML::Mark&, const std::string&, YAML::anchor_t, YAML::EmitterStyle::value) override
    {
        node();
        m_open.push_back({true, true, {}});
    }
    void OnMapEnd() override { m_open.pop_back(); }

private:
    struct Open {
        bool map;
        bool expectKey;                    // in a map: the next node is a key
        std::map<std::string, int> keys;  // the keys so far, with their lines
    };
    // A node of the innermost map is a key and a value in turn.
    void node()
    {
        if (!m_open.empty() && m_open.back().map)
            m_open.back().expectKey = !m_open.back().expectKey;
    }

    int m_documents = 0;
    std::vector<Open> m_open;
};

void refuseDuplicates(const std::string& text)
{
    std::istringstream in(text);
    YAML::Parser parser(in);
    DuplicateCheck check;
    while (parser.HandleNextDocument(check)) {
    }
}

std::string offsetText(const BandSettings& band)
{
    const int grid = band.step >= 0 && band.step < 8 ? Steps()[static_cast<std::size_t>(band.step)].grid : 0;
    return FrequencyMHzText(static_cast<long long>(std::max(band.offset, 0)) * grid, 5);
}

void emitFields(YAML::Emitter& out, const RadioImage& image, settings::Section a, settings::Section b,
                const LanguageText* text)
{
    for (const settings::Field& f : settings::Fields()) {
        if (f.section != a && f.section != b)
            continue;
        const settings::FieldValue value = settings::LoadField(image, f);
        out << YAML::Key << std::string(f.key) << YAML::Value;
        if (settings::IsTextRule(f.rule))
            out << YAML::DoubleQuoted << settings::Latin1ToUtf8(value.text);
        else if (settings::IsCheckRule(f.rule))
            out << (value.index == 1 ? "true" : "false");
        else
            out << value.index;
        if (text && !settings::IsTextRule(f.rule))
            out << YAML::Comment((*text)(f.label) + ": " + settings::FieldValueText(f, value, *text));
    }
}

}  // namespace

std::string ExportTextForm(const RadioImage& image, const LanguageText* text)
{
    const ChannelWords& words = ExchangeWords();
    YAML::Emitter out;
    out << YAML::Comment("Tarn radio configuration") << YAML::BeginMap;

    out << YAML::Key << "channels" << YAML::Value << YAML::BeginSeq;
    for (int i = 0; i < ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        const ChannelRow row = ChannelRowTexts(image, i, words);
        out << YAML::BeginMap << YAML::Key << "number" << YAML::Value << (i + 1);
        for (const ChannelKey& key : ChannelKeys) {
            out << YAML::Key << key.key << YAML::Value;
            emitChoice(out, row[key.column]);
        }
        out << YAML::EndMap;
    }
    out << YAML::EndSeq;

    out << YAML::Key << "settings" << YAML::Value << YAML::BeginMap;
    emitFields(out, image, settings::Section::General, settings::Section::Hidden, text);
    out << YAML::EndMap;

    out << YAML::Key << "bands" << YAML::Value << YAML::BeginMap;
    for (Band which : {Band::A, Band::B}) {
        const BandSettings band = LoadBand(image, which, words.offText);
        out << YAML::Key << (which == Band::A ? "A" : "B") << YAML::Value << YAML::BeginMap;
        for (const BandField& f : BandFields()) {
            out << YAML::Key << std::string(f.key) << YAML::Value;
            if (f.id == BandFieldId::Frequency || f.id == BandFieldId::RxTone || f.id == BandFieldId::TxTone)
                emitChoice(out, BandFieldText(band, f.id, [](int) { return std::string(); }));
            else if (f.id == BandFieldId::Offset)
                out << offsetText(band);
            else
                out << *BandSelection(band, f.id);
            if (text && !f.entries.empty())
                out << YAML::Comment((*text)(which == Band::A ? f.labelA : f.labelB) + ": "
                                     + BandFieldText(band, f.id, *text));
        }
        out << YAML::EndMap;
    }
    out << YAML::EndMap;

    out << YAML::Key << "keys" << YAML::Value << YAML::BeginMap;
    emitFields(out, image, settings::Section::Keys, settings::Section::Keys, text);
    out << YAML::EndMap;

    out << YAML::Key << "band limits" << YAML::Value << YAML::BeginMap;
    for (const LimitRange& range : LimitRanges) {
        out << YAML::Key << std::string(range.key) << YAML::Value << YAML::Flow << YAML::BeginSeq
            << image.bandLimitMHz(range.low) << image.bandLimitMHz(range.high) << YAML::EndSeq;
    }
    out << YAML::EndMap;

    out << YAML::Key << "port" << YAML::Value << image.portNumber();
    out << YAML::EndMap;
    return std::string(out.c_str()) + "\n";
}

TextFormResult ImportTextForm(std::string_view text, RadioImage& image)
{
    TextFormResult result;
    auto at = [](const YAML::Mark& mark, const std::string& what) {
        if (mark.is_null())
            return what;
        return "line " + std::to_string(mark.line + 1) + ", column " + std::to_string(mark.column + 1) + ": " + what;
    };
    try {
        const std::string whole(text);
        refuseDuplicates(whole);
        const YAML::Node root = YAML::Load(whole);
        if (!root.IsMap()) {
            result.error = at(root.Mark(), "the text form is a map with channels, settings, bands, keys, band limits and port");
            return result;
        }
        checkKeys(root, {"channels", "settings", "bands", "keys", "band limits", "port"}, "top level");
        RadioImage working = image;
        if (root["channels"])
            applyChannels(root["channels"], image, working);
        if (root["settings"])
            applyFields(root["settings"], fieldKeys(settings::Section::General, settings::Section::Hidden),
                        "settings", working);
        if (const YAML::Node bands = root["bands"]) {
            checkKeys(bands, {"A", "B"}, "bands");
            for (Band which : {Band::A, Band::B})
                if (const YAML::Node band = bands[which == Band::A ? "A" : "B"])
                    applyBand(band, which, working);
        }
        if (root["keys"])
            applyFields(root["keys"], fieldKeys(settings::Section::Keys, settings::Section::Keys), "keys", working);
        if (root["band limits"])
            applyLimits(root["band limits"], working);
        if (root["port"]) {
            const int port = integer(root["port"], "port", std::numeric_limits<std::int32_t>::min(),
                                     std::numeric_limits<std::int32_t>::max());
            if (port != working.portNumber())
                working.setPortNumber(port);
        }
        image = working;
        result.ok = true;
    } catch (const TextError& e) {
        result.error = at(e.mark, e.what);
    } catch (const YAML::Exception& e) {
        result.error = at(e.mark, e.msg);
    } catch (const std::exception& e) {
        result.error = e.what();  // out of memory: nothing was changed
    }
    // What the text held is quoted in the message: its control bytes must not reach a terminal.
    result.error = PrintableText(result.error);
    return result;
}

bool IsSettingKey(std::string_view key)
{
    return settings::FindField(key) != nullptr;
}

TextFormResult ApplySettingText(std::string_view key, std::string_view value, RadioImage& image)
{
    TextFormResult result;
    const settings::Field* field = settings::FindField(key);
    try {
        if (!field)
            throw TextError{YAML::Mark::null_mark(), "'" + std::string(key) + "' is not a setting"};
        // The value goes through the import's own reading of that map, as if the text held it.
        YAML::Node map(YAML::NodeType::Map);
        map[std::string(key)] = std::string(value);
        const bool keys = field->section == settings::Section::Keys;
        RadioImage working = image;
        applyFields(map, keys ? fieldKeys(settings::Section::Keys, settings::Section::Keys)
                              : fieldKeys(settings::Section::General, settings::Section::Hidden),
                    keys ? "keys" : "settings", working);
        image = working;
        result.ok = true;
    } catch (const TextError& e) {
        result.error = e.what;
    } catch (const YAML::Exception& e) {
        result.error = e.msg;
    } catch (const std::exception& e) {
        result.error = e.what();
    }
    result.error = PrintableText(result.error);
    return result;
}

}  // namespace tarn
