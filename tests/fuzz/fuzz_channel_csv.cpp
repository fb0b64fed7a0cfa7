// The channel CSV import over any text, all or nothing and with bad rows skipped: a refused
// import leaves the image as it was, every channel it names is one of 1-128, every row of
// the input is either imported or reported (none is swallowed), and the image's own export
// reads back onto it without a problem and without a change. Read as new channels and
// placed each way, the channels land on rows of their own with names no other channel has,
// and an import that does not fit changes nothing.
#include "exchange/ChannelCsv.h"
#include "exchange/ChannelImport.h"
#include "exchange/ExchangeRules.h"
#include "radio/ChannelRecord.h"
#include "radio/RadioImage.h"

#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A row of the input as its lines show it: first and last line, 1-based.
struct Span {
    int first;
    int last;
};

// The rows of a text, told from its lines and quote marks alone: a row goes on over a line
// break while a quote it opened is open (a doubled quote inside quotes is one quote mark of
// the text and leaves it open). A quote still open at the end makes its row end on the line
// where it opened, and the next row starts on the line after.
std::vector<Span> rowsOf(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t end = text.find_first_of("\r\n", i);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(i));
            break;
        }
        lines.push_back(text.substr(i, end - i));
        i = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    }
    std::vector<Span> rows;
    const int count = static_cast<int>(lines.size());
    for (int k = 0; k < count;) {
        if (lines[k].empty() || lines[k][0] == '#') {
            ++k;
            continue;
        }
        bool open = false;
        int opened = 0;
        int j = k;
        for (;; ++j) {
            const std::string_view line = lines[j];
            for (std::size_t i = 0; i < line.size(); ++i) {
                if (line[i] != '"')
                    continue;
                if (open && i + 1 < line.size() && line[i + 1] == '"') {
                    ++i;  // a doubled quote inside a quoted field
                    continue;
                }
                open = !open;
                if (open)
                    opened = j;
            }
            if (!open) {
                rows.push_back({k + 1, j + 1});
                k = j + 1;
                break;
            }
            if (j + 1 == count) {
                rows.push_back({k + 1, opened + 1});
                k = opened + 1;
                break;
            }
        }
    }
    return rows;
}

void importOnto(std::string_view text, bool skipBad)
{
    tarn::RadioImage image;
    image.resetToDefaults();
    const tarn::RadioImage before = image;
    const tarn::CsvImportResult result = tarn::ImportChannelsCsv(text, image, skipBad);
    if (!result.applied && !(image == before))
        std::abort();
    if (result.applied && result.channels.empty())
        std::abort();
    for (int channel : result.channels)
        if (channel < 1 || channel > tarn::layout::ChannelCount)
            std::abort();
    for (const tarn::CsvProblem& problem : result.problems)
        if (problem.line < 0 || problem.reason.empty())
            std::abort();

    // Every row after the header is imported or reported, unless the file as a whole was
    // refused (at line 0 or at the header), which imports nothing.
    const std::vector<Span> rows = rowsOf(text);
    const bool wholeFile = !result.problems.empty()
        && (result.problems[0].line == 0 || (!rows.empty() && result.problems[0].line <= rows[0].last));
    if (wholeFile) {
        if (!result.channels.empty() || result.applied || result.problems.size() != 1)
            std::abort();
    } else {
        if (rows.empty() || result.channels.size() + result.problems.size() != rows.size() - 1)
            std::abort();
        // Each report lies within a row of its own.
        std::vector<bool> reported(rows.size(), false);
        for (const tarn::CsvProblem& problem : result.problems) {
            std::size_t r = 1;
            while (r < rows.size() && !(problem.line >= rows[r].first && problem.line <= rows[r].last))
                ++r;
            if (r == rows.size() || reported[r])
                std::abort();
            reported[r] = true;
        }
    }

    const tarn::RadioImage imported = image;
    const tarn::CsvImportResult again = tarn::ImportChannelsCsv(tarn::ExportChannelsCsv(imported), image, false);
    if (!again.problems.empty() || !(image == imported))
        std::abort();
}

void placeEachWay(std::string_view text)
{
    const tarn::IncomingChannels incoming = tarn::ReadCsvChannels(text);
    for (const tarn::CsvProblem& problem : incoming.problems)
        if (problem.line < 0 || problem.reason.empty())
            std::abort();
    // Channels 1, 2 and 6 programmed, with names an imported channel may meet.
    tarn::RadioImage image;
    image.resetToDefaults();
    const tarn::ChannelWords& words = tarn::ExchangeWords();
    for (auto [row, name] : {std::pair{0, "A"}, std::pair{1, "WW7SEA"}, std::pair{5, "RPT"}}) {
        tarn::ChannelRow texts;
        texts[tarn::ColRxFrequency] = "145.50000";
        tarn::ApplyFrequencyEdit(texts, tarn::FrequencyEditMode::NewChannel, words);
        texts[tarn::ColName] = name;
        tarn::StoreChannelRow(image, row, texts, words);
    }
    using tarn::PlaceMode;
    for (tarn::Placement placement : {tarn::Placement{PlaceMode::AfterLast, 0}, tarn::Placement{PlaceMode::FromChannel, 1},
                                      tarn::Placement{PlaceMode::ReplaceAll, 0}}) {
        tarn::RadioImage work = image;
        tarn::ImportChoices choices;
        choices.placement = placement;
        choices.unusable = tarn::UnusableChoice::ReceiveOnly;
        const tarn::ImportPlan plan = tarn::PlanImport(work, incoming, choices);
        const tarn::ChannelOutcome outcome = tarn::ApplyImport(work, incoming, plan);
        if (plan.refused()) {
            if (!outcome.refused() || !(work == image))
                std::abort();
            continue;
        }
        std::set<int> rows;
        for (const tarn::PlannedChannel& planned : plan.channels) {
            if (planned.row < 0)
                continue;
            if (!rows.insert(planned.row).second || !work.channelInUse(planned.row))
                std::abort();
        }
        if (static_cast<int>(rows.size()) != plan.arriving)
            std::abort();
        std::set<std::string> names;
        for (int i = 0; i < tarn::layout::ChannelCount; ++i) {
            const std::string name = tarn::ChannelNameText(work.extensionSlot(i));
            if (work.channelInUse(i) && !name.empty() && !names.insert(name).second)
                std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    importOnto(text, false);
    importOnto(text, true);
    placeEachWay(text);
    return 0;
}
