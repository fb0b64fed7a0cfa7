// Operations on whole channels of a RadioImage: copy and paste, clear, delete and shift,
// insert, move, sort, pack, fill frequencies, set one column for many rows, find. Each one
// moves all 32 bytes of a channel and renumbers what points at it, so the channel page,
// tarn-cli channels and the clipboard text change a configuration the same way.
#pragma once

#include "radio/ChannelRecord.h"
#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarn {

// One channel as the radio keeps it: its 16 bytes in the channel region and its 16 in the
// extension region, the bytes no column shows included.
struct StoredChannel {
    std::array<std::uint8_t, layout::ChannelSlotSize> channel;
    std::array<std::uint8_t, layout::ChannelSlotSize> extension;

    static constexpr int Size = 2 * layout::ChannelSlotSize;
    // An empty channel: 0xFF in every byte, as in a new image.
    static StoredChannel empty();
    bool programmed() const;  // the receive frequency is a programmed word
    bool operator==(const StoredChannel&) const = default;
};
using ChannelList = std::vector<StoredChannel>;

StoredChannel ReadChannel(const RadioImage& image, int i);
void WriteChannel(RadioImage& image, int i, const StoredChannel& channel);

// Rows (0-127) as an operation takes them: ascending, each once, rows outside the list
// dropped. RowRange(first, last) is first..last, both included.
std::vector<int> NormalizedRows(std::vector<int> rows);
std::vector<int> RowRange(int first, int last);

// The channels of `rows`, in channel order, empty ones included.
ChannelList CopyChannels(const RadioImage& image, const std::vector<int>& rows);
// The same as bytes (32 per channel: channel slot, then extension slot) and back; a size
// that is not a whole number of channels, or more than 128 of them, gives nothing.
std::vector<std::uint8_t> ChannelsToBytes(const ChannelList& channels);
std::optional<ChannelList> ChannelsFromBytes(const std::uint8_t* bytes, std::size_t size);

enum class ChannelRefusal {
    None,
    PastLastChannel,        // channels would be put past channel 128 (`pastEnd` of them)
    LastChannelProgrammed,  // an insert would push channel 128 out
    OutsideFrequencyRange,  // a fill would give a frequency outside 100-600 MHz
    NotAChoice,             // a text that is not one of the column's choices
};

// What an operation did, or why it did nothing. A refused operation leaves the image as
// it was.
struct ChannelOutcome {
    ChannelRefusal refusal = ChannelRefusal::None;
    int changed = 0;        // channels whose bytes changed
    int pastEnd = 0;        // PastLastChannel: how many channels would fall past 128
    int overwritten = 0;    // paste: programmed channels it replaced
    int skipped = 0;        // setting a column: empty rows left alone
    bool adjusted = false;  // a band option had to be cleared (the page's channel notice)
    std::vector<int> rows;  // where the channels acted on are now, ascending (to select them)

    bool refused() const { return refusal != ChannelRefusal::None; }
};

// What a paste of `count` channels at row `at` would do: programmed channels it would
// overwrite and channels that would fall past 128 (the paste is then refused).
struct PastePreview {
    int overwritten = 0;
    int pastEnd = 0;
};
PastePreview PreviewPaste(const RadioImage& image, int at, int count);

// Puts the channels at at, at + 1, ...; refused whole when one would fall past 128.
ChannelOutcome PasteChannels(RadioImage& image, int at, const ChannelList& channels);
// A paste of cut channels: the channels of `rows` land at at, at + 1, ... over what was
// there, their old rows not overwritten become empty, and the current and priority
// channels follow them. `overwritten` counts the programmed channels replaced that were not
// among the cut ones. Refused whole when one would fall past 128.
ChannelOutcome MoveChannelsOnto(RadioImage& image, const std::vector<int>& rows, int at);
// Empties the channels of `rows` (every byte 0xFF).
ChannelOutcome ClearChannels(RadioImage& image, const std::vector<int>& rows);
// Removes the channels of `rows`; the channels below move up, the last ones become empty.
ChannelOutcome DeleteChannels(RadioImage& image, const std::vector<int>& rows);
// Puts `count` empty channels before row `at`; the channels below move down. Refused when
// a channel pushed past 128 is programmed.
ChannelOutcome InsertChannels(RadioImage& image, int at, int count = 1);
// Takes the channels of `rows` out and puts them back together as one block whose first
// channel lands on row `to`; the others close up around it. Refused when the block would
// reach past 128.
ChannelOutcome MoveChannels(RadioImage& image, const std::vector<int>& rows, int to);
// The same for a drop before row `before` of the list as it is now (128: after the last).
ChannelOutcome MoveChannelsBefore(RadioImage& image, const std::vector<int>& rows, int before);
// Each run of selected rows changes place with the channel above (below) it. Nothing
// happens when the first (last) row is selected.
ChannelOutcome MoveChannelsUp(RadioImage& image, const std::vector<int>& rows);
ChannelOutcome MoveChannelsDown(RadioImage& image, const std::vector<int>& rows);

enum class SortKey { ReceiveFrequency, Name, ReceiveTone };
// Renumbers the channels of `rows` among those rows (every row when fewer than two are
// given): programmed channels first by the key, ties in their old order (names: unnamed
// last; tones: in the order of the tone list), then the empty ones in their old order.
ChannelOutcome SortChannels(RadioImage& image, const std::vector<int>& rows, SortKey key);
// The programmed channels to the top in their order, the empty ones after them.
ChannelOutcome PackChannels(RadioImage& image);

// Frequencies for a run of rows: row k of the run receives start + k * step; it transmits
// at that plus the offset (on the receive frequency without one). All in 10 Hz units.
struct FillPlan {
    long long start = 0;
    long long step = 0;
    std::optional<long long> offset;
    std::optional<std::uint16_t> txTone;  // a tone code; without one the tone stays
};
// Empty rows become new channels with the defaults of a typed receive frequency; programmed
// rows keep everything but their frequencies (and the transmit tone when the plan has one).
// Refused whole when a frequency would lie outside 100-600 MHz.
ChannelOutcome FillFrequencies(RadioImage& image, const std::vector<int>& rows, const FillPlan& plan,
                               const ChannelWords& words);

// Gives every programmed channel of `rows` the choice `text` in a choice or tone column,
// by the rules of a stored row (StoreChannelCell). Empty rows are skipped; a text that is
// not one of the column's items is refused.
ChannelOutcome SetChannelColumn(RadioImage& image, const std::vector<int>& rows, int column,
                                const std::string& text, const ChannelWords& words);

// Programmed channels that share a receive frequency and both tones, and names given to
// more than one channel; each group lists its rows, groups in the order of their first row.
struct DuplicateGroup {
    enum Kind { SameFrequencyAndTones, SameName };
    Kind kind;
    std::vector<int> rows;
};
std::vector<DuplicateGroup> FindDuplicates(const RadioImage& image);

// The next row after `from` (before it when backwards), going round the list, whose shown
// texts (columns 1-10) contain `text`, letters in either case; -1 when none does.
int FindChannelText(const RadioImage& image, const ChannelWords& words, const std::string& text, int from,
                    bool backwards);

// The messages of the operations, from the language table: the refusal, the question a
// paste asks before it overwrites programmed channels, and a duplicate group's line.
std::string ChannelRefusalText(const ChannelOutcome& outcome, const LanguageText& text);
std::string PasteQuestionText(int overwritten, const LanguageText& text);
std::string DuplicateGroupText(const DuplicateGroup& group, const LanguageText& text);

// Makes the A-band and B-band current channels (function settings bytes 37 and 63) point at
// channels in use: the one fix-up a write runs first, and what an operation leaves when it
// removes the channel one of them pointed at. With no channel in use both become 1 and
// both channel display settings become 3.
void currentChannelFixUp(RadioImage& image);

}  // namespace tarn
