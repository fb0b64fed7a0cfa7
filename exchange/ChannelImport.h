// Channels that come from elsewhere (a CSV file, a stock channel set, the clipboard, another
// configuration) and where they go: the plan the import preview shows and tarn-cli prints
// (places, replaced channels, names kept distinct, frequencies the radio cannot use), and
// the import itself, which moves whole channels with the channel operations.
#pragma once

#include "radio/ChannelOps.h"
#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

struct CsvProblem {
    int line;  // 1-based line of the file where the row starts, or where its unclosed quote
               // opened (0: the file as a whole)
    std::string reason;
};

// One channel an import brings, whole: every byte it will have, apart from the name the plan
// gives it and a transmit frequency the user drops.
struct IncomingChannel {
    StoredChannel channel;
    int line = 0;           // the line of its file, or its number in the configuration it comes from
    int location = 0;       // the channel (1-128) the file's Location column puts it on; 0: none
    std::string givenName;  // its name as given, letters and digits upper-cased; may be longer than six
};

struct IncomingChannels {
    std::vector<IncomingChannel> channels;
    std::vector<CsvProblem> problems;  // what cannot be taken, with its line and the reason
};

// The programmed channels of `other` among `rows` (0-127), every byte as it is there.
IncomingChannels ChannelsOfConfiguration(const RadioImage& other, const std::vector<int>& rows);

// Where the channels go.
enum class PlaceMode {
    AfterLast,    // after the last programmed channel, one after the other
    FromChannel,  // from a chosen channel on, replacing what is there
    ReplaceAll,   // every channel is emptied first; they go from channel 1
    AtLocations,  // each on its `location` (tarn-cli import-csv without --at); one without falls past the end
};
struct Placement {
    PlaceMode mode = PlaceMode::AfterLast;
    int row = 0;  // FromChannel: the first row (0-127)
};

// What happens to a channel whose frequency the radio cannot use.
enum class UnusableChoice { AsIs, ReceiveOnly, Skip };

enum FrequencyFlag : unsigned {
    ReceiveOutsideLimits = 1u << 0,    // outside the receive ranges of the band limits
    TransmitOutsideLimits = 1u << 1,   // outside the transmit ranges of the band limits
    TransmitOutsideWindows = 1u << 2,  // outside 144-148, 430-450 and 470-512 MHz
};
// The flags of a channel against the configuration's band limits (a new configuration's take
// everything) and the transmit windows.
unsigned FrequencyFlags(const RadioImage& image, const StoredChannel& channel);

// Why a name changed.
enum class NameChange {
    None,
    Cut,           // longer than six characters: its first six
    CutKeepingEnd, // its first six would be another's name: the start and the distinguishing end
    Numbered,      // another channel has the name: a number at its end
};
struct DistinctName {
    std::string name;
    NameChange change = NameChange::None;
    int clashRow = -1;  // Numbered: the channel that stays and has the name (-1: another imported one)
};
// Names for the channels that arrive (`given`, in their order, letters and digits upper-cased;
// as many as a configuration holds) so that no two of them, and none of them and a channel
// that stays (`existing`: name -> its row), share a name. Empty names stay empty.
std::vector<DistinctName> DistinctNames(const std::vector<std::string>& given,
                                        const std::map<std::string, int>& existing);

enum class Fate {
    Arrives,
    ReceiveOnly,  // arrives without its transmit frequency
    Skipped,      // its frequencies cannot be used and the user chose to leave it out
    LeftOut,      // the user did not take it
};

struct PlannedChannel {
    int row = -1;  // where it lands (0-127); -1 when it does not arrive or would fall past 128
    unsigned flags = 0;
    Fate fate = Fate::Arrives;
    DistinctName name;
    bool arrives() const { return fate == Fate::Arrives || fate == Fate::ReceiveOnly; }
};

struct ImportChoices {
    Placement placement;
    UnusableChoice unusable = UnusableChoice::AsIs;
    // A name may also be that of a channel that stays (a paste of rows copied from the same
    // configuration gives back the same channels); the arriving ones stay distinct.
    bool namesBesideExisting = false;
    std::vector<bool> taken;  // one per incoming channel; false leaves it out (empty: all taken)
};

struct ImportPlan {
    PlaceMode mode = PlaceMode::AfterLast;
    std::vector<PlannedChannel> channels;  // one per incoming channel, in their order
    std::vector<int> overwritten;          // programmed rows the import replaces, ascending
    int pastEnd = 0;                       // channels that would fall past 128: nothing is imported
    int arriving = 0;                      // channels that arrive
    bool refused() const { return pastEnd > 0; }
    int renamed() const;
};

ImportPlan PlanImport(const RadioImage& image, const IncomingChannels& incoming, const ImportChoices& choices);

// Puts the arriving channels where the plan says, with their names, as one change of the
// image; refused (PastLastChannel) when some would fall past 128. Placed channels replace
// what was on their rows, and the current and priority channels follow as after a paste; on
// their locations the current channels keep their numbers.
ChannelOutcome ApplyImport(RadioImage& image, const IncomingChannels& incoming, const ImportPlan& plan);

// The note on one planned channel, from the language table: what happens to it and why, and
// how its name changed ("receive only: transmit outside the band limits; name was WW7SEA:
// the same as channel 3"). Empty when it arrives as it came.
std::string ImportNoteText(const PlannedChannel& planned, const IncomingChannel& incoming, const LanguageText& text);

// A stock channel set's own words: its title (the first comment line) and what the other
// comment lines at its head say.
struct StockSetHead {
    std::string title;
    std::vector<std::string> notes;
};
StockSetHead ReadStockSetHead(std::string_view text);

}  // namespace tarn
