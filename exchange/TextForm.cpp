#include "exchange/TextForm.h"

#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/ExchangeRules.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
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

const char* const LimitKeys[] = {"receive 1", "receive 2", "transmit 1", "transmit 2"};

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
    RadioImage shown = base;  // showing may clear an option bit; the base stays as it is
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
        const ChannelRow before = inUse ? ShowChannelRow(shown, i, words) : ChannelRow{};
        ChannelRow row = before;
        if (!inUse) {
            if (!entry["receive"])
                fail(entry, "channel " + std::to_string(number) + ": the receive frequency is missing");
            row[ColRxFrequency] = "100";
            ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        }
        for (const ChannelKey& key : ChannelKeys)
            if (entry[key.key])
                row[key.column] = channelValue(entry[key.key], key);
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
    checkKeys(map, {LimitKeys[0], LimitKeys[1], LimitKeys[2], LimitKeys[3]}, "band limits");
    for (int range = 0; range < 4; ++range) {
        const YAML::Node pair = map[LimitKeys[range]];
        if (!pair)
            continue;
        if (!pair.IsSequence() || pair.size() != 2)
            fail(pair, std::string(LimitKeys[range]) + ": [lowest, highest] in MHz is expected");
        for (int end = 0; end < 2; ++end) {
            const int k = 2 * range + end;
            const int mhz = integer(pair[end], LimitKeys[range], 0, 9999);
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

}  // namespace

std::string ExportTextForm(const RadioImage& image)
{
    const ChannelWords& words = ExchangeWords();
    RadioImage shown = image;
    YAML::Emitter out;
    out << YAML::Comment("Tarn radio configuration") << YAML::BeginMap;

    out << YAML::Key << "channels" << YAML::Value << YAML::BeginSeq;
    for (int i = 0; i < ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        const ChannelRow row = ShowChannelRow(shown, i, words);
        out << YAML::BeginMap << YAML::Key << "number" << YAML::Value << (i + 1);
        for (const ChannelKey& key : ChannelKeys) {
            out << YAML::Key << key.key << YAML::Value;
            emitChoice(out, row[key.column]);
        }
        out << YAML::EndMap;
    }
    out << YAML::EndSeq;

    out << YAML::Key << "band limits" << YAML::Value << YAML::BeginMap;
    for (int range = 0; range < 4; ++range) {
        out << YAML::Key << LimitKeys[range] << YAML::Value << YAML::Flow << YAML::BeginSeq
            << image.bandLimitMHz(2 * range) << image.bandLimitMHz(2 * range + 1) << YAML::EndSeq;
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
        const YAML::Node root = YAML::Load(std::string(text));
        if (!root.IsMap()) {
            result.error = at(root.Mark(), "the text form is a map with channels, band limits and port");
            return result;
        }
        checkKeys(root, {"channels", "band limits", "port"}, "top level");
        RadioImage working = image;
        if (root["channels"])
            applyChannels(root["channels"], image, working);
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
    }
    return result;
}

}  // namespace tarn
