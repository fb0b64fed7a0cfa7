#include "radio/ChannelOps.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/SettingsTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <map>
#include <numeric>
#include <tuple>

namespace tarn {

using layout::ChannelCount;

namespace {

// Language strings of the operations' messages.
enum OperationText {
    InsertRefusedText = 280,
    NothingChangedText,
    PastLastChannelText,
    PasteOverwritesText,
    ProgrammedChannelsQuestionText,
    OutsideRangeText,
    NotAChoiceText,
    SameFrequencyText,
    SameNameText,
};

// The channel display setting that shows the band's frequency rather than a channel.
constexpr std::uint8_t DisplayFrequency = 3;
// 100.00000 to 600.99999 MHz in 10 Hz units: what a typed frequency keeps.
constexpr long long LowestFrequency = 100LL * 100000;
constexpr long long HighestFrequency = 601LL * 100000 - 1;

using Channels = std::array<StoredChannel, ChannelCount>;
// Where each channel of the image went: its new row, or -1 when it is gone (cleared,
// deleted, overwritten, pushed out).
using Places = std::array<int, ChannelCount>;

bool validRow(int row)
{
    return row >= 0 && row < ChannelCount;
}

Channels allChannels(const RadioImage& image)
{
    Channels channels;
    for (int i = 0; i < ChannelCount; ++i)
        channels[i] = ReadChannel(image, i);
    return channels;
}

Places unmoved()
{
    Places places;
    std::iota(places.begin(), places.end(), 0);
    return places;
}

const settings::Field& priorityField()
{
    static const settings::Field* field = settings::FindField("priority");
    return *field;
}

// A band's current channel follows its channel; one whose channel is gone is left pointing
// at none. True when that happened.
bool followCurrentChannel(RadioImage& image, int byte, const Places& places)
{
    auto functions = image.functionData();
    const int number = functions[byte];
    if (number < 1 || number > ChannelCount)
        return false;
    const int place = places[number - 1];
    functions[byte] = static_cast<std::uint8_t>(place < 0 ? 0 : place + 1);
    return place < 0;
}

// The priority channel follows its channel and is switched off when its channel is gone.
void followPriorityChannel(RadioImage& image, const Places& places)
{
    settings::FieldValue value = settings::LoadField(image, priorityField());
    if (value.index < 1 || value.index > ChannelCount)
        return;
    const int place = places[value.index - 1];
    const int index = place < 0 ? 0 : place + 1;
    if (index == value.index)
        return;
    value.index = index;
    settings::StoreField(image, priorityField(), value);
}

// Writes the new channels and makes the current and priority channels follow them. Returns
// how many channels changed.
int rearrange(RadioImage& image, const Channels& next, const Places& places)
{
    int changed = 0;
    for (int i = 0; i < ChannelCount; ++i) {
        if (ReadChannel(image, i) == next[i])
            continue;
        WriteChannel(image, i, next[i]);
        ++changed;
    }
    const bool lostA = followCurrentChannel(image, layout::functions::CurrentChannelA, places);
    const bool lostB = followCurrentChannel(image, layout::functions::CurrentChannelB, places);
    followPriorityChannel(image, places);
    if (lostA || lostB)
        currentChannelFixUp(image);
    return changed;
}

// Puts the channels of `order` (old rows; -1 for an empty channel) into rows 0, 1, ...
// and keeps every row past the end of `order`.
ChannelOutcome reorder(RadioImage& image, const std::vector<int>& order, std::vector<int> selectedOld)
{
    const Channels old = allChannels(image);
    Channels next = old;
    Places places;
    places.fill(-1);
    for (std::size_t row = 0; row < order.size(); ++row) {
        const int from = order[row];
        next[row] = from < 0 ? StoredChannel::empty() : old[from];
        if (from >= 0)
            places[from] = static_cast<int>(row);
    }
    for (std::size_t row = order.size(); row < ChannelCount; ++row)
        places[row] = static_cast<int>(row);

    ChannelOutcome outcome;
    outcome.changed = rearrange(image, next, places);
    for (int from : selectedOld)
        if (places[from] >= 0)
            outcome.rows.push_back(places[from]);
    std::sort(outcome.rows.begin(), outcome.rows.end());
    return outcome;
}

std::vector<int> allRows()
{
    return RowRange(0, ChannelCount - 1);
}

ChannelOutcome refusal(ChannelRefusal reason, int pastEnd = 0)
{
    ChannelOutcome outcome;
    outcome.refusal = reason;
    outcome.pastEnd = pastEnd;
    return outcome;
}

std::uint32_t receiveWord(const StoredChannel& channel)
{
    return readLe32(channel.channel.data() + layout::channel::RxFrequency);
}

std::uint16_t receiveTone(const StoredChannel& channel)
{
    return readLe16(channel.channel.data() + layout::channel::RxTone);
}

std::uint16_t transmitTone(const StoredChannel& channel)
{
    return readLe16(channel.channel.data() + layout::channel::TxTone);
}

std::string nameOf(const StoredChannel& channel)
{
    return ChannelNameText(ConstSlot16(channel.extension.data(), layout::ChannelSlotSize));
}

// Where a tone stands in the tone list (no tone first); codes the list lacks go after it.
long tonePlace(std::uint16_t code)
{
    if (code == NoTone)
        return 0;
    std::string text;
    ToneCodeToText(code, true, text, std::string());
    const auto& tones = ToneTexts();
    const auto found = std::find(tones.begin(), tones.end(), text);
    return found != tones.end() ? 1 + (found - tones.begin()) : 1 + static_cast<long>(tones.size()) + code;
}

std::string frequencyText(long long tenHz)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%05lld", tenHz / 100000, tenHz % 100000);
    return text;
}

std::string lowered(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

StoredChannel StoredChannel::empty()
{
    StoredChannel channel;
    channel.channel.fill(0xFF);
    channel.extension.fill(0xFF);
    return channel;
}

bool StoredChannel::programmed() const
{
    return IsBcdFrequency(receiveWord(*this));
}

StoredChannel ReadChannel(const RadioImage& image, int i)
{
    StoredChannel channel;
    const auto slot = image.channelSlot(i);
    const auto extension = image.extensionSlot(i);
    std::copy(slot.begin(), slot.end(), channel.channel.begin());
    std::copy(extension.begin(), extension.end(), channel.extension.begin());
    return channel;
}

void WriteChannel(RadioImage& image, int i, const StoredChannel& channel)
{
    std::copy(channel.channel.begin(), channel.channel.end(), image.channelSlot(i).begin());
    std::copy(channel.extension.begin(), channel.extension.end(), image.extensionSlot(i).begin());
}

std::vector<int> NormalizedRows(std::vector<int> rows)
{
    rows.erase(std::remove_if(rows.begin(), rows.end(), [](int row) { return !validRow(row); }), rows.end());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

std::vector<int> RowRange(int first, int last)
{
    std::vector<int> rows;
    for (int row = std::max(first, 0); row <= std::min(last, ChannelCount - 1); ++row)
        rows.push_back(row);
    return rows;
}

ChannelList CopyChannels(const RadioImage& image, const std::vector<int>& rows)
{
    ChannelList channels;
    for (int row : NormalizedRows(rows))
        channels.push_back(ReadChannel(image, row));
    return channels;
}

std::vector<std::uint8_t> ChannelsToBytes(const ChannelList& channels)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(channels.size() * StoredChannel::Size);
    for (const StoredChannel& channel : channels) {
        bytes.insert(bytes.end(), channel.channel.begin(), channel.channel.end());
        bytes.insert(bytes.end(), channel.extension.begin(), channel.extension.end());
    }
    return bytes;
}

std::optional<ChannelList> ChannelsFromBytes(const std::uint8_t* bytes, std::size_t size)
{
    if (size % StoredChannel::Size != 0 || size / StoredChannel::Size > ChannelCount || (size > 0 && !bytes))
        return std::nullopt;
    ChannelList channels(size / StoredChannel::Size);
    for (std::size_t k = 0; k < channels.size(); ++k) {
        const std::uint8_t* p = bytes + k * StoredChannel::Size;
        std::copy(p, p + layout::ChannelSlotSize, channels[k].channel.begin());
        std::copy(p + layout::ChannelSlotSize, p + StoredChannel::Size, channels[k].extension.begin());
    }
    return channels;
}

PastePreview PreviewPaste(const RadioImage& image, int at, int count)
{
    PastePreview preview;
    for (int k = 0; k < count; ++k) {
        const int row = at + k;
        if (!validRow(row))
            ++preview.pastEnd;
        else if (image.channelInUse(row))
            ++preview.overwritten;
    }
    return preview;
}

ChannelOutcome PasteChannels(RadioImage& image, int at, const ChannelList& channels)
{
    const int count = static_cast<int>(channels.size());
    const PastePreview preview = PreviewPaste(image, at, count);
    if (!validRow(at))
        return refusal(ChannelRefusal::PastLastChannel, count);
    if (preview.pastEnd > 0)
        return refusal(ChannelRefusal::PastLastChannel, preview.pastEnd);

    Channels next = allChannels(image);
    Places places = unmoved();
    for (int k = 0; k < count; ++k) {
        next[at + k] = channels[k];
        places[at + k] = -1;
    }
    ChannelOutcome outcome;
    outcome.overwritten = preview.overwritten;
    outcome.changed = rearrange(image, next, places);
    outcome.rows = RowRange(at, at + count - 1);
    return outcome;
}

ChannelOutcome MoveChannelsOnto(RadioImage& image, const std::vector<int>& rows, int at)
{
    const std::vector<int> moved = NormalizedRows(rows);
    const int count = static_cast<int>(moved.size());
    if (count == 0)
        return {};
    if (!validRow(at))
        return refusal(ChannelRefusal::PastLastChannel, count);
    if (at + count > ChannelCount)
        return refusal(ChannelRefusal::PastLastChannel, at + count - ChannelCount);

    const Channels old = allChannels(image);
    Channels next = old;
    Places places = unmoved();
    ChannelOutcome outcome;
    for (int row : moved) {
        next[row] = StoredChannel::empty();
        places[row] = -1;
    }
    for (int k = 0; k < count; ++k) {
        const int target = at + k;
        if (old[target].programmed() && !std::binary_search(moved.begin(), moved.end(), target))
            ++outcome.overwritten;
        places[target] = -1;
    }
    // Written after the emptying, so a channel cut and pasted onto rows of its own block
    // keeps its place.
    for (int k = 0; k < count; ++k) {
        next[at + k] = old[moved[k]];
        places[moved[k]] = at + k;
    }
    outcome.changed = rearrange(image, next, places);
    outcome.rows = RowRange(at, at + count - 1);
    return outcome;
}

ChannelOutcome ClearChannels(RadioImage& image, const std::vector<int>& rows)
{
    Channels next = allChannels(image);
    Places places = unmoved();
    const std::vector<int> cleared = NormalizedRows(rows);
    for (int row : cleared) {
        next[row] = StoredChannel::empty();
        places[row] = -1;
    }
    ChannelOutcome outcome;
    outcome.changed = rearrange(image, next, places);
    outcome.rows = cleared;
    return outcome;
}

ChannelOutcome DeleteChannels(RadioImage& image, const std::vector<int>& rows)
{
    const std::vector<int> deleted = NormalizedRows(rows);
    std::vector<int> order;
    for (int row = 0; row < ChannelCount; ++row)
        if (!std::binary_search(deleted.begin(), deleted.end(), row))
            order.push_back(row);
    order.resize(ChannelCount, -1);
    ChannelOutcome outcome = reorder(image, order, {});
    // The row the first deleted channel held now holds what followed it.
    if (!deleted.empty())
        outcome.rows = {deleted.front()};
    return outcome;
}

ChannelOutcome InsertChannels(RadioImage& image, int at, int count)
{
    if (!validRow(at) || count < 1)
        return {};
    count = std::min(count, ChannelCount - at);
    for (int row = ChannelCount - count; row < ChannelCount; ++row)
        if (image.channelInUse(row))
            return refusal(ChannelRefusal::LastChannelProgrammed);
    std::vector<int> order = RowRange(0, at - 1);
    order.insert(order.end(), count, -1);
    for (int row = at; row < ChannelCount - count; ++row)
        order.push_back(row);
    ChannelOutcome outcome = reorder(image, order, {});
    outcome.rows = RowRange(at, at + count - 1);
    return outcome;
}

ChannelOutcome MoveChannels(RadioImage& image, const std::vector<int>& rows, int to)
{
    const std::vector<int> moved = NormalizedRows(rows);
    if (moved.empty())
        return {};
    const int count = static_cast<int>(moved.size());
    if (to < 0 || to + count > ChannelCount)
        return refusal(ChannelRefusal::PastLastChannel, std::max(1, to + count - ChannelCount));
    std::vector<int> order;
    for (int row = 0; row < ChannelCount; ++row)
        if (!std::binary_search(moved.begin(), moved.end(), row))
            order.push_back(row);
    order.insert(order.begin() + to, moved.begin(), moved.end());
    return reorder(image, order, moved);
}

ChannelOutcome MoveChannelsBefore(RadioImage& image, const std::vector<int>& rows, int before)
{
    const std::vector<int> moved = NormalizedRows(rows);
    const auto above = std::lower_bound(moved.begin(), moved.end(), before) - moved.begin();
    return MoveChannels(image, moved, std::clamp(before, 0, ChannelCount) - static_cast<int>(above));
}

ChannelOutcome MoveChannelsUp(RadioImage& image, const std::vector<int>& rows)
{
    const std::vector<int> moved = NormalizedRows(rows);
    if (moved.empty() || moved.front() == 0)
        return {};
    std::vector<int> order = allRows();
    for (int row : moved)
        std::swap(order[row - 1], order[row]);
    return reorder(image, order, moved);
}

ChannelOutcome MoveChannelsDown(RadioImage& image, const std::vector<int>& rows)
{
    const std::vector<int> moved = NormalizedRows(rows);
    if (moved.empty() || moved.back() == ChannelCount - 1)
        return {};
    std::vector<int> order = allRows();
    for (auto row = moved.rbegin(); row != moved.rend(); ++row)
        std::swap(order[*row], order[*row + 1]);
    return reorder(image, order, moved);
}

ChannelOutcome SortChannels(RadioImage& image, const std::vector<int>& rows, SortKey key)
{
    std::vector<int> positions = NormalizedRows(rows);
    if (positions.size() < 2)
        positions = allRows();
    const Channels channels = allChannels(image);

    // Each channel's key, worked out once.
    std::array<double, ChannelCount> frequency{};
    std::array<long, ChannelCount> tone{};
    std::array<std::string, ChannelCount> name{};
    for (int row : positions) {
        if (!channels[row].programmed())
            continue;
        if (key == SortKey::ReceiveFrequency)
            frequency[row] = FrequencyToMHz(receiveWord(channels[row]));
        else if (key == SortKey::ReceiveTone)
            tone[row] = tonePlace(receiveTone(channels[row]));
        else
            name[row] = nameOf(channels[row]);
    }

    std::vector<int> sorted = positions;
    auto programmed = [&channels](int row) { return channels[row].programmed(); };
    const auto firstEmpty = std::stable_partition(sorted.begin(), sorted.end(), programmed);
    std::stable_sort(sorted.begin(), firstEmpty, [&](int a, int b) {
        switch (key) {
        case SortKey::ReceiveFrequency:
            return frequency[a] < frequency[b];
        case SortKey::Name:
            // Unnamed channels after the named ones.
            return std::make_tuple(name[a].empty(), std::cref(name[a])) < std::make_tuple(name[b].empty(), std::cref(name[b]));
        case SortKey::ReceiveTone:
            return tone[a] < tone[b];
        }
        return false;
    });

    std::vector<int> order = allRows();
    for (std::size_t k = 0; k < positions.size(); ++k)
        order[positions[k]] = sorted[k];
    ChannelOutcome outcome = reorder(image, order, positions);
    return outcome;
}

ChannelOutcome PackChannels(RadioImage& image)
{
    std::vector<int> order = allRows();
    std::stable_partition(order.begin(), order.end(), [&image](int row) { return image.channelInUse(row); });
    ChannelOutcome outcome = reorder(image, order, {});
    for (int row = 0; row < ChannelCount && image.channelInUse(row); ++row)
        outcome.rows.push_back(row);
    return outcome;
}

ChannelOutcome FillFrequencies(RadioImage& image, const std::vector<int>& rows, const FillPlan& plan,
                               const ChannelWords& words)
{
    const std::vector<int> filled = NormalizedRows(rows);
    std::vector<std::pair<long long, long long>> frequencies;
    for (std::size_t k = 0; k < filled.size(); ++k) {
        const long long rx = plan.start + static_cast<long long>(k) * plan.step;
        const long long tx = rx + plan.offset.value_or(0);
        for (long long f : {rx, tx})
            if (f < LowestFrequency || f > HighestFrequency)
                return refusal(ChannelRefusal::OutsideFrequencyRange);
        frequencies.emplace_back(rx, tx);
    }

    RadioImage next = image;
    ChannelOutcome outcome;
    for (std::size_t k = 0; k < filled.size(); ++k) {
        const int i = filled[k];
        ChannelRow row;
        if (next.channelInUse(i)) {
            row = ShowChannelRow(next, i, words);
        } else {
            row[ColRxFrequency] = frequencyText(frequencies[k].first);
            ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        }
        row[ColRxFrequency] = frequencyText(frequencies[k].first);
        row[ColTxFrequency] = frequencyText(frequencies[k].second);
        if (plan.txTone)
            ToneCodeToText(*plan.txTone, true, row[ColTxTone], words.offText);
        outcome.adjusted = StoreChannelRow(next, i, row, words) || outcome.adjusted;
    }
    Channels channels = allChannels(next);
    outcome.changed = rearrange(image, channels, unmoved());
    outcome.rows = filled;
    return outcome;
}

ChannelOutcome SetChannelColumn(RadioImage& image, const std::vector<int>& rows, int column,
                                const std::string& text, const ChannelWords& words)
{
    if (!IsColumnItem(column, text, words))
        return refusal(ChannelRefusal::NotAChoice);
    RadioImage next = image;
    ChannelOutcome outcome;
    for (int row : NormalizedRows(rows)) {
        if (!next.channelInUse(row)) {
            ++outcome.skipped;
            continue;
        }
        outcome.adjusted = StoreChannelCell(next, row, column, text, words) || outcome.adjusted;
        outcome.rows.push_back(row);
    }
    outcome.changed = rearrange(image, allChannels(next), unmoved());
    return outcome;
}

std::vector<DuplicateGroup> FindDuplicates(const RadioImage& image)
{
    std::map<std::tuple<std::uint32_t, std::uint16_t, std::uint16_t>, std::vector<int>> bySetting;
    std::map<std::string, std::vector<int>> byName;
    for (int i = 0; i < ChannelCount; ++i) {
        const StoredChannel channel = ReadChannel(image, i);
        if (!channel.programmed())
            continue;
        bySetting[{receiveWord(channel), receiveTone(channel), transmitTone(channel)}].push_back(i);
        const std::string name = nameOf(channel);
        if (!name.empty())
            byName[name].push_back(i);
    }
    std::vector<DuplicateGroup> groups;
    for (const auto& [setting, rows] : bySetting)
        if (rows.size() > 1)
            groups.push_back({DuplicateGroup::SameFrequencyAndTones, rows});
    for (const auto& [name, rows] : byName)
        if (rows.size() > 1)
            groups.push_back({DuplicateGroup::SameName, rows});
    std::stable_sort(groups.begin(), groups.end(),
                     [](const DuplicateGroup& a, const DuplicateGroup& b) { return a.rows.front() < b.rows.front(); });
    return groups;
}

int FindChannelText(const RadioImage& image, const ChannelWords& words, const std::string& text, int from,
                    bool backwards)
{
    if (text.empty())
        return -1;
    const std::string wanted = lowered(text);
    if (from < 0)
        from = backwards ? ChannelCount : -1;
    for (int step = 1; step <= ChannelCount; ++step) {
        const int row = ((from + (backwards ? -step : step)) % ChannelCount + ChannelCount) % ChannelCount;
        const ChannelRow shown = ChannelRowTexts(image, row, words);
        for (int column = ColRxFrequency; column < ChannelColumnCount; ++column)
            if (lowered(shown[column]).find(wanted) != std::string::npos)
                return row;
    }
    return -1;
}

std::string ChannelRefusalText(const ChannelOutcome& outcome, const LanguageText& text)
{
    switch (outcome.refusal) {
    case ChannelRefusal::None:
        return {};
    case ChannelRefusal::PastLastChannel:
        return text(NothingChangedText) + " " + std::to_string(outcome.pastEnd) + " " + text(PastLastChannelText);
    case ChannelRefusal::LastChannelProgrammed:
        return text(InsertRefusedText);
    case ChannelRefusal::OutsideFrequencyRange:
        return text(NothingChangedText) + " " + text(OutsideRangeText);
    case ChannelRefusal::NotAChoice:
        return text(NothingChangedText) + " " + text(NotAChoiceText);
    }
    return {};
}

std::string PasteQuestionText(int overwritten, const LanguageText& text)
{
    return text(PasteOverwritesText) + " " + std::to_string(overwritten) + " " + text(ProgrammedChannelsQuestionText);
}

std::string DuplicateGroupText(const DuplicateGroup& group, const LanguageText& text)
{
    std::string line = text(group.kind == DuplicateGroup::SameName ? SameNameText : SameFrequencyText);
    for (int row : group.rows)
        line += " " + std::to_string(row + 1);
    return line;
}

void currentChannelFixUp(RadioImage& image)
{
    namespace fn = layout::functions;
    const auto functions = image.functionData();
    auto inUse = [&image](int number) { return number >= 1 && number <= ChannelCount && image.channelInUse(number - 1); };
    int firstInUse = 0;
    for (int i = 0; i < ChannelCount && firstInUse == 0; ++i)
        if (image.channelInUse(i))
            firstInUse = i + 1;

    int a = functions[fn::CurrentChannelA];
    if (!inUse(a)) {
        if (firstInUse != 0) {
            a = firstInUse;
        } else {
            a = 1;
            functions[fn::ChannelDisplayA] = DisplayFrequency;
            functions[fn::ChannelDisplayB] = DisplayFrequency;
        }
        functions[fn::CurrentChannelA] = static_cast<std::uint8_t>(a);
    }

    int b = functions[fn::CurrentChannelB];
    if (!inUse(b)) {
        // Prefer a channel other than A's so the two bands start on different channels.
        int other = 0;
        for (int i = 0; i < ChannelCount && other == 0; ++i)
            if (image.channelInUse(i) && i + 1 != a)
                other = i + 1;
        if (other != 0)
            b = other;
        else if (firstInUse != 0)
            b = a;
        else
            b = 1;
        functions[fn::CurrentChannelB] = static_cast<std::uint8_t>(b);
    }
}

}  // namespace tarn
