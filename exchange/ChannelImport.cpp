#include "exchange/ChannelImport.h"

#include "exchange/ExchangeRules.h"
#include "radio/BandLimits.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"

#include <algorithm>
#include <set>

namespace tarn {

namespace {

using layout::ChannelCount;
namespace ch = layout::channel;

// Language strings of the notes.
enum NoteText {
    ReceiveOutsideLimitsText = 413,
    TransmitOutsideLimitsText,
    TransmitOutsideWindowsText,
    ReceiveOnlyText,
    SkippedText,
    NameWasText,
    SixCharactersText,
    SameAsChannelText,
    SameAsImportedText,
};

// What a shortened name keeps of the part that tells it from the others: up to three
// characters, its first and its last two.
constexpr std::size_t DistinguishingLength = 3;

std::size_t commonPrefix(const std::string& a, const std::string& b)
{
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

// The name's start and what follows its first `prefix` characters (its distinguishing
// part), six characters in all: REPEATER1 after REPEATER keeps REPEA1.
std::string keepingEnd(const std::string& name, std::size_t prefix)
{
    const std::string rest = name.substr(std::min(prefix, name.size()));
    const std::string kept = rest.size() <= DistinguishingLength ? rest : rest.substr(0, 1) + rest.substr(rest.size() - 2);
    return name.substr(0, NameTextMax - kept.size()) + kept;
}

std::string numbered(const std::string& name, int n)
{
    const std::size_t six = NameTextMax;
    const std::string number = std::to_string(n);
    return name.substr(0, six - std::min(number.size(), six)) + number;
}

int lastProgrammedRow(const RadioImage& image)
{
    for (int row = ChannelCount - 1; row >= 0; --row)
        if (image.channelInUse(row))
            return row;
    return -1;
}

// The channel without its transmit frequency, as the channel page leaves it when the
// transmit cell is emptied (no transmit tone, no band option).
StoredChannel withoutTransmit(const StoredChannel& channel)
{
    RadioImage scratch;
    WriteChannel(scratch, 0, channel);
    const ChannelWords& words = ExchangeWords();
    ChannelRow row = ChannelRowTexts(scratch, 0, words);
    row[ColTxFrequency].clear();
    row[ColTxTone] = words.offText;
    StoreChannelRow(scratch, 0, row, words);
    return ReadChannel(scratch, 0);
}

}  // namespace

IncomingChannels ChannelsOfConfiguration(const RadioImage& other, const std::vector<int>& rows)
{
    IncomingChannels incoming;
    for (int row : NormalizedRows(rows)) {
        const StoredChannel channel = ReadChannel(other, row);
        if (!channel.programmed())
            continue;
        IncomingChannel in;
        in.channel = channel;
        in.line = row + 1;
        in.givenName = ChannelNameText(ConstSlot16(channel.extension.data(), layout::ChannelSlotSize));
        incoming.channels.push_back(std::move(in));
    }
    return incoming;
}

unsigned FrequencyFlags(const RadioImage& image, const StoredChannel& channel)
{
    const std::uint32_t rx = readLe32(channel.channel.data() + ch::RxFrequency);
    const std::uint32_t tx = readLe32(channel.channel.data() + ch::TxFrequency);
    unsigned flags = 0;
    if (IsBcdFrequency(rx) && !WithinBandLimits(image, rx, false))
        flags |= ReceiveOutsideLimits;
    if (IsBcdFrequency(tx)) {
        if (!WithinBandLimits(image, tx, true))
            flags |= TransmitOutsideLimits;
        if (!InTransmitWindows(tx))
            flags |= TransmitOutsideWindows;
    }
    return flags;
}

std::vector<DistinctName> DistinctNames(const std::vector<std::string>& given, const std::map<std::string, int>& existing)
{
    const std::size_t count = given.size();
    std::vector<DistinctName> names(count);
    const std::size_t six = NameTextMax;

    // Shorten the long names: their first six, unless that is another's name.
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& name = given[i];
        if (name.size() <= six) {
            names[i].name = name;
            continue;
        }
        const std::string cut = name.substr(0, six);
        bool clash = existing.count(cut) != 0;
        std::size_t prefix = clash ? six : 0;
        for (std::size_t j = 0; j < count; ++j) {
            // The same name given twice is told apart by a number, not here.
            if (j == i || given[j] == name || given[j].substr(0, six) != cut)
                continue;
            clash = true;
            prefix = std::max(prefix, commonPrefix(name, given[j]));
        }
        names[i].name = clash ? keepingEnd(name, prefix) : cut;
        names[i].change = clash ? NameChange::CutKeepingEnd : NameChange::Cut;
    }

    // The first channel to have a name keeps it unless a channel that stays has it; the
    // others get a number.
    std::map<std::string, std::size_t> firstHolder;
    for (std::size_t i = 0; i < count; ++i)
        firstHolder.emplace(names[i].name, i);
    std::set<std::string> used;
    for (const auto& [name, row] : existing)
        used.insert(name);
    auto keeps = [&](std::size_t i) {
        return !names[i].name.empty() && firstHolder.at(names[i].name) == i && !existing.count(names[i].name);
    };
    for (std::size_t i = 0; i < count; ++i)
        if (keeps(i))
            used.insert(names[i].name);
    for (std::size_t i = 0; i < count; ++i) {
        if (names[i].name.empty() || keeps(i))
            continue;
        const std::string wanted = names[i].name;
        std::string name;
        for (int n = 2; name.empty() || used.count(name); ++n)
            name = numbered(wanted, n);
        used.insert(name);
        const auto clash = existing.find(wanted);
        names[i] = {name, NameChange::Numbered, clash == existing.end() ? -1 : clash->second};
    }
    return names;
}

int ImportPlan::renamed() const
{
    return static_cast<int>(std::count_if(channels.begin(), channels.end(), [](const PlannedChannel& c) {
        return c.arrives() && c.name.change != NameChange::None;
    }));
}

ImportPlan PlanImport(const RadioImage& image, const IncomingChannels& incoming, const ImportChoices& choices)
{
    ImportPlan plan;
    plan.mode = choices.placement.mode;
    const std::size_t count = incoming.channels.size();
    plan.channels.resize(count);

    std::vector<std::size_t> arriving;
    for (std::size_t k = 0; k < count; ++k) {
        PlannedChannel& planned = plan.channels[k];
        planned.flags = FrequencyFlags(image, incoming.channels[k].channel);
        if (k < choices.taken.size() && !choices.taken[k])
            planned.fate = Fate::LeftOut;
        else if (planned.flags != 0 && choices.unusable == UnusableChoice::Skip)
            planned.fate = Fate::Skipped;
        else if (planned.flags != 0 && choices.unusable == UnusableChoice::ReceiveOnly)
            // Without a transmit frequency a channel still cannot receive outside the limits.
            planned.fate = planned.flags & ReceiveOutsideLimits ? Fate::Skipped : Fate::ReceiveOnly;
        if (planned.arrives())
            arriving.push_back(k);
    }

    // The rows.
    const Placement& place = choices.placement;
    const int first = place.mode == PlaceMode::AfterLast ? lastProgrammedRow(image) + 1
        : place.mode == PlaceMode::FromChannel           ? place.row
                                                         : 0;
    for (std::size_t j = 0; j < arriving.size(); ++j) {
        PlannedChannel& planned = plan.channels[arriving[j]];
        const int row = place.mode == PlaceMode::AtLocations ? incoming.channels[arriving[j]].location - 1
                                                             : first + static_cast<int>(j);
        if (row < 0 || row >= ChannelCount) {
            ++plan.pastEnd;
            continue;
        }
        planned.row = row;
        ++plan.arriving;
    }
    std::vector<bool> replaced(ChannelCount, place.mode == PlaceMode::ReplaceAll);
    for (const PlannedChannel& planned : plan.channels)
        if (planned.row >= 0)
            replaced[planned.row] = true;
    for (int row = 0; row < ChannelCount; ++row)
        if (replaced[row] && image.channelInUse(row))
            plan.overwritten.push_back(row);

    // The names, told apart from each other and from the channels that stay.
    std::map<std::string, int> existing;
    for (int row = 0; row < ChannelCount; ++row) {
        if (replaced[row] || !image.channelInUse(row))
            continue;
        const std::string name = ChannelNameText(image.extensionSlot(row));
        if (!name.empty())
            existing.emplace(name, row);
    }
    // Only the channels that land on a row need a name: never more than 128.
    std::vector<std::size_t> placed;
    std::vector<std::string> given;
    for (std::size_t k : arriving) {
        if (plan.channels[k].row < 0)
            continue;
        placed.push_back(k);
        given.push_back(incoming.channels[k].givenName);
    }
    const std::vector<DistinctName> names =
        DistinctNames(given, choices.namesBesideExisting ? std::map<std::string, int>{} : existing);
    for (std::size_t j = 0; j < placed.size(); ++j)
        plan.channels[placed[j]].name = names[j];
    return plan;
}

ChannelOutcome ApplyImport(RadioImage& image, const IncomingChannels& incoming, const ImportPlan& plan)
{
    ChannelOutcome outcome;
    if (plan.refused()) {
        outcome.refusal = ChannelRefusal::PastLastChannel;
        outcome.pastEnd = plan.pastEnd;
        return outcome;
    }
    std::map<int, StoredChannel> placed;  // row -> channel
    for (std::size_t k = 0; k < plan.channels.size() && k < incoming.channels.size(); ++k) {
        const PlannedChannel& planned = plan.channels[k];
        if (!planned.arrives() || planned.row < 0)
            continue;
        StoredChannel channel = incoming.channels[k].channel;
        if (planned.fate == Fate::ReceiveOnly)
            channel = withoutTransmit(channel);
        StoreChannelName(Slot16(channel.extension.data(), layout::ChannelSlotSize), planned.name.name);
        placed[planned.row] = channel;
    }
    if (placed.empty())
        return outcome;

    if (plan.mode == PlaceMode::AtLocations) {
        // Each goes onto the channel its file names, as an edit of that channel: the current
        // channels keep their numbers.
        for (const auto& [row, channel] : placed) {
            outcome.rows.push_back(row);
            if (ReadChannel(image, row) == channel)
                continue;
            WriteChannel(image, row, channel);
            ++outcome.changed;
        }
        outcome.overwritten = static_cast<int>(plan.overwritten.size());
        return outcome;
    }
    // One after the other from the first row: a paste, which replaces every channel when
    // the list is filled up with empty ones.
    ChannelList list;
    for (const auto& [row, channel] : placed)
        list.push_back(channel);
    if (plan.mode == PlaceMode::ReplaceAll)
        list.resize(ChannelCount, StoredChannel::empty());
    ChannelOutcome pasted = PasteChannels(image, placed.begin()->first, list);
    pasted.rows.resize(placed.size());
    return pasted;
}

std::string ImportNoteText(const PlannedChannel& planned, const IncomingChannel& incoming, const LanguageText& text)
{
    std::vector<std::string> parts;
    std::string frequencies;
    for (auto [flag, string] : {std::pair{ReceiveOutsideLimits, ReceiveOutsideLimitsText},
                                std::pair{TransmitOutsideLimits, TransmitOutsideLimitsText},
                                std::pair{TransmitOutsideWindows, TransmitOutsideWindowsText}}) {
        if (planned.flags & flag)
            frequencies += (frequencies.empty() ? "" : ", ") + text(string);
    }
    if (planned.fate == Fate::ReceiveOnly)
        frequencies = text(ReceiveOnlyText) + ": " + frequencies;
    else if (planned.fate == Fate::Skipped)
        frequencies = text(SkippedText) + ": " + frequencies;
    if (!frequencies.empty())
        parts.push_back(frequencies);
    if (planned.arrives()) {
        const std::string was = text(NameWasText) + incoming.givenName;
        switch (planned.name.change) {
        case NameChange::None:
            break;
        case NameChange::Cut:
        case NameChange::CutKeepingEnd:
            parts.push_back(was + text(SixCharactersText));
            break;
        case NameChange::Numbered:
            parts.push_back(was + (planned.name.clashRow >= 0
                                       ? text(SameAsChannelText) + std::to_string(planned.name.clashRow + 1)
                                       : text(SameAsImportedText)));
            break;
        }
    }
    std::string note;
    for (const std::string& part : parts)
        note += (note.empty() ? "" : "; ") + part;
    return note;
}

StockSetHead ReadStockSetHead(std::string_view text)
{
    StockSetHead head;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    while (!text.empty() && text[0] == '#') {
        const std::size_t end = text.find_first_of("\r\n");
        std::string line(text.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1));
        const std::size_t start = line.find_first_not_of(' ');
        line = start == std::string::npos ? std::string() : line.substr(start);
        if (head.title.empty() && head.notes.empty())
            head.title = PrintableText(line);
        else
            head.notes.push_back(PrintableText(line));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end);
        while (!text.empty() && (text[0] == '\r' || text[0] == '\n'))
            text.remove_prefix(1);
    }
    return head;
}

}  // namespace tarn
