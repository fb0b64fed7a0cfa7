// Channels as CSV in the column set other radio programming tools read and write
// (Location,Name,Frequency,Duplex,Offset,Tone,...): export of the programmed channels and a
// tolerant import that names every row it cannot take, with its line and the reason. The
// reader also takes the columns of repeater directory exports and plain frequency lists.
#pragma once

#include "exchange/ChannelImport.h"
#include "radio/ChannelOps.h"
#include "radio/RadioImage.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

inline constexpr std::array<std::string_view, 21> CsvColumns{
    "Location", "Name", "Frequency", "Duplex", "Offset", "Tone", "rToneFreq", "cToneFreq", "DtcsCode",
    "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode", "TStep", "Skip", "Power", "Comment", "URCALL",
    "RPT1CALL", "RPT2CALL", "DVCODE"};

// One record of a CSV text: the file line it starts on and its fields.
struct CsvRecord {
    int line;
    std::vector<std::string> fields;
    int unclosedQuote = 0;  // the line where a quote opened that never closes (0: none)
};

// The records of a CSV text, as every CSV Tarn reads is split: a quoted field may hold the
// separator, doubled quotes and line breaks; a line ends at "\r\n", "\n" or a lone "\r";
// lines starting with # and empty lines are skipped; a UTF-8 byte order mark is skipped. A
// quote that never closes ends its own record at its line, not the records after it.
std::vector<CsvRecord> SplitCsvRecords(std::string_view text, char separator = ',');
// A cell as the readers compare it: without the blanks and tabs around it, and in ASCII
// lower case for the words and column names that are read without regard to case.
std::string TrimmedCell(std::string_view text);
std::string LowerAscii(std::string text);
// A field as a CSV line holds it: quoted (quotes doubled) when it holds the separator, a
// quote or a line break, else as it is.
std::string CsvField(const std::string& value, char separator = ',');

// The header and one row per programmed channel, in channel order, lines ending in "\r\n",
// fields parted by `separator`.
std::string ExportChannelsCsv(const RadioImage& image, char separator = ',');
// How many channels ExportChannelsCsv writes.
int ProgrammedChannelCount(const RadioImage& image);

// The rows of a CSV file, each a new channel with the defaults of a typed frequency plus
// what the row says. The header row may hold the columns in any order; only a Frequency
// column (or a directory's output or receive frequency) is required; unknown columns are
// ignored; lines starting with # are comments; a UTF-8 byte order mark is skipped; lines
// end in CR LF, LF or a lone CR. Every row is either a channel or a problem: a quote that
// never closes refuses its own row, not the rows after it. Names are upper-cased letters and
// digits, kept whole in `givenName`. Never throws.
IncomingChannels ReadCsvChannels(std::string_view text);
// The same, each row read onto the channel its Location column names (required): what the
// row does not say (a missing column, the options CSV has no column for) keeps that
// channel's value, or a new channel's default. Locations outside 1-128 and a location given
// twice are problems.
IncomingChannels ReadCsvChannelsAtLocations(std::string_view text, const RadioImage& image);
// Whether the header row has a Location column of channel numbers (a repeater directory's
// Location is a place).
bool CsvHasLocations(std::string_view text);

struct CsvImportResult {
    std::vector<CsvProblem> problems;
    std::vector<int> channels;  // the channels (1-128) of the good rows, in file order
    bool applied = false;       // the image was changed
    ImportPlan plan;            // the names the channels got, their frequency flags
};

// Reads channels into `image`, each on the channel its Location names
// (ReadCsvChannelsAtLocations), with names kept distinct (PlanImport). Without `skipBad` one
// bad row leaves the image untouched; with it the good rows go in and the bad ones are
// reported. Channels the file does not name keep their contents. Never throws.
CsvImportResult ImportChannelsCsv(std::string_view text, RadioImage& image, bool skipBad);

// Rows of the channel list for the clipboard: tab-separated text in the columns of the
// export (a header line, then one line per programmed channel among `rows`, Location being
// its number), lines ending in "\n", so a spreadsheet or another radio tool takes them.
std::string ChannelsToClipboardText(const RadioImage& image, const std::vector<int>& rows);

struct ClipboardChannels {
    ChannelList channels;  // in the order of the lines; none when there is a problem
    std::vector<CsvProblem> problems;
};
// Text from the clipboard, tab- or comma-separated (as its header line shows), read by the
// rules of the CSV import into whole channels: each line becomes a new channel as the import
// makes one. Location is not needed and does not place a channel; the caller puts the
// channels where the user pastes them. All or nothing: any refused line gives no channels.
ClipboardChannels ChannelsFromClipboardText(std::string_view text);
// The same text read row by row for the import preview: every line a channel or a problem.
IncomingChannels ReadPastedChannels(std::string_view text);

}  // namespace tarn
