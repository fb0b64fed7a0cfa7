// The channel command of tarn-cli: "channels FILE COMMAND" moves, inserts, deletes, sorts,
// packs and fills whole channels of a configuration file with the functions the channel page
// calls, and writes the file back (or to -o OUT).
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "exchange/ExchangeRules.h"
#include "radio/ChannelOps.h"
#include "radio/Codecs.h"
#include "radio/RadioImage.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>

namespace tarn::cli {

namespace {

const CommandOption OutOption{"-o", "OUT.tw", "Save the result as OUT.tw instead of changing FILE.tw."};
const CommandOption ShiftOption{"--shift", "", "delete: move the channels below up to close the gap."};
const CommandOption ByOption{"--by", "KEY", "sort: rx (receive frequency, the default), name or tone (receive tone)."};
const CommandOption OffsetOption{"--offset", "MHZ",
    "fill: transmit at the receive frequency plus MHZ (a sign first for below: -7.6)."};
const CommandOption ToneOption{"--tone", "TONE", "fill: the transmit tone (88.5, DN023, DI023 or off)."};

constexpr std::string_view Name = "channels";

// Channel numbers 1-128 as rows; "A" or "A-B".
struct Range {
    int first;
    int last;
    std::vector<int> rows() const { return RowRange(first - 1, last - 1); }
    std::string text() const { return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last); }
};

std::optional<int> channelNumber(const std::string& text)
{
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int n = std::stoi(text);
    if (n < 1 || n > layout::ChannelCount)
        return std::nullopt;
    return n;
}

std::optional<Range> rangeOf(const std::string& text)
{
    const auto dash = text.find('-');
    const auto first = channelNumber(text.substr(0, dash));
    const auto last = dash == std::string::npos ? first : channelNumber(text.substr(dash + 1));
    if (!first || !last || *last < *first)
        return std::nullopt;
    return Range{*first, *last};
}

// What one channel command needs from the command line, checked before anything is done.
struct Request {
    std::function<ChannelOutcome(RadioImage&)> run;
    std::function<std::string(const ChannelOutcome&)> done;  // the line printed on success
};

class Parser {
public:
    explicit Parser(const Invocation& call) : m_call(call) {}

    bool failed() const { return m_failed; }

    // Argument k after the command word, or a usage error.
    const std::string& argument(std::size_t k, std::string_view what)
    {
        static const std::string none;
        if (k + 2 < m_call.arguments.size())
            return m_call.arguments[k + 2];
        fail(std::string(command()) + " needs " + std::string(what));
        return none;
    }
    Range range(std::size_t k, std::string_view what)
    {
        const std::string& text = argument(k, what);
        if (m_failed)
            return {1, 1};
        const auto range = rangeOf(text);
        if (!range)
            fail("'" + text + "' is not a channel or a range of channels (1-128, A-B)");
        return range.value_or(Range{1, 1});
    }
    int number(std::size_t k, std::string_view what) { return range(k, what).first; }
    void noMoreThan(std::size_t count)
    {
        if (!m_failed && m_call.arguments.size() > count + 2)
            fail("too many arguments for " + std::string(command()));
    }
    void onlyFor(const CommandOption& option, std::string_view command)
    {
        if (!m_failed && m_call.has(option.name) && this->command() != command)
            fail("option " + std::string(option.name) + " is for " + std::string(command) + " only");
    }
    void fail(const std::string& reason)
    {
        if (!m_failed)
            m_call.err << "tarn-cli " << Name << ": " << reason << "\n";
        m_failed = true;
    }
    std::string_view command() const { return m_call.arguments[1]; }

private:
    const Invocation& m_call;
    bool m_failed = false;
};

std::string movedText(const ChannelOutcome& outcome)
{
    if (outcome.rows.empty())
        return "nothing";
    return std::to_string(outcome.rows.front() + 1)
        + (outcome.rows.size() > 1 ? "-" + std::to_string(outcome.rows.back() + 1) : std::string());
}

std::optional<Request> parseRequest(const Invocation& call, Parser& p)
{
    const std::string_view command = p.command();
    p.onlyFor(ShiftOption, "delete");
    p.onlyFor(ByOption, "sort");
    p.onlyFor(OffsetOption, "fill");
    p.onlyFor(ToneOption, "fill");
    Request request;

    if (command == "move") {
        const Range from = p.range(0, "the channels to move (A or A-B)");
        const int to = p.number(1, "the channel to move them to");
        p.noMoreThan(2);
        request.run = [from, to](RadioImage& image) { return MoveChannels(image, from.rows(), to - 1); };
        request.done = [from](const ChannelOutcome& o) { return "Moved channels " + from.text() + " to " + movedText(o); };
    } else if (command == "insert") {
        const int at = p.number(0, "the channel to insert an empty one before");
        p.noMoreThan(1);
        request.run = [at](RadioImage& image) { return InsertChannels(image, at - 1); };
        request.done = [at](const ChannelOutcome&) {
            return "Inserted an empty channel at " + std::to_string(at) + "; the channels from there moved down";
        };
    } else if (command == "delete") {
        const Range range = p.range(0, "the channels to delete (A or A-B)");
        p.noMoreThan(1);
        if (call.has(ShiftOption.name)) {
            request.run = [range](RadioImage& image) { return DeleteChannels(image, range.rows()); };
            request.done = [range](const ChannelOutcome&) {
                return "Deleted channels " + range.text() + "; the channels below moved up";
            };
        } else {
            request.run = [range](RadioImage& image) { return ClearChannels(image, range.rows()); };
            request.done = [range](const ChannelOutcome&) { return "Cleared channels " + range.text(); };
        }
    } else if (command == "sort") {
        Range range{1, layout::ChannelCount};
        if (call.arguments.size() > 2)
            range = p.range(0, "a range of channels");
        p.noMoreThan(1);
        if (!p.failed() && range.first == range.last)
            p.fail("sort needs at least two channels");
        const std::string by = call.value(ByOption.name, "rx");
        const std::optional<SortKey> key = by == "rx" ? std::optional(SortKey::ReceiveFrequency)
            : by == "name"                            ? std::optional(SortKey::Name)
            : by == "tone"                            ? std::optional(SortKey::ReceiveTone)
                                                      : std::nullopt;
        if (!key)
            p.fail("--by takes rx, name or tone, not '" + by + "'");
        request.run = [range, key](RadioImage& image) { return SortChannels(image, range.rows(), *key); };
        request.done = [range, by](const ChannelOutcome& o) {
            return "Sorted channels " + range.text() + " by " + by + " (" + std::to_string(o.changed) + " changed)";
        };
    } else if (command == "pack") {
        p.noMoreThan(0);
        request.run = [](RadioImage& image) { return PackChannels(image); };
        request.done = [](const ChannelOutcome& o) {
            return o.rows.empty() ? std::string("No channel is programmed")
                                  : "Packed: the programmed channels are " + movedText(o);
        };
    } else if (command == "fill") {
        const Range range = p.range(0, "the channels to fill (A-B)");
        const std::string& startText = p.argument(1, "the start frequency in MHz");
        const std::string& stepText = p.argument(2, "the step in kHz");
        p.noMoreThan(3);
        FillPlan plan;
        const auto start = FrequencyTenHz(startText);
        const auto step = FrequencyTenHz(stepText);  // kHz read as MHz: a thousand times the 10 Hz units
        if (!p.failed() && !start)
            p.fail("start '" + startText + "' is not a frequency in MHz");
        if (!p.failed() && (!step || *step % 1000 != 0))
            p.fail("step '" + stepText + "' is not a number of kHz on the 10 Hz grid");
        plan.start = start.value_or(0);
        plan.step = step.value_or(0) / 1000;
        if (call.has(OffsetOption.name)) {
            plan.offset = SignedFrequencyTenHz(call.value(OffsetOption.name));
            if (!plan.offset)
                p.fail("--offset '" + call.value(OffsetOption.name) + "' is not a number of MHz");
        }
        if (call.has(ToneOption.name)) {
            std::string tone = call.value(ToneOption.name);
            std::transform(tone.begin(), tone.end(), tone.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
            const auto& tones = ToneTexts();
            if (tone != "OFF" && std::find(tones.begin(), tones.end(), tone) == tones.end())
                p.fail("--tone '" + call.value(ToneOption.name) + "' is not in the radio's tone list");
            plan.txTone = ToneTextToCode(tone, true, "OFF");
        }
        request.run = [range, plan](RadioImage& image) {
            return FillFrequencies(image, range.rows(), plan, ExchangeWords());
        };
        request.done = [range, startText](const ChannelOutcome& o) {
            return "Filled channels " + range.text() + " from " + startText + " MHz"
                + (o.adjusted ? " (band option cleared where a channel cannot transmit)" : "");
        };
    } else {
        p.fail("unknown channel command '" + std::string(command) + "' (move, insert, delete, sort, pack, fill)");
    }
    if (p.failed())
        return std::nullopt;
    return request;
}

int runChannels(const Invocation& call)
{
    Parser parser(call);
    const std::optional<Request> request = parseRequest(call, parser);
    if (!request)
        return ExitError;
    CliLanguage language;
    if (!loadLanguage(call, Name, language))
        return ExitError;
    const std::string& path = call.arguments[0];
    RadioImage image;
    if (!loadFile(call, Name, path, image, true))
        return ExitError;

    const ChannelOutcome outcome = request->run(image);
    if (outcome.refused()) {
        call.out << ChannelRefusalText(outcome, language.function()) << "\n";
        return ExitFailed;
    }
    const std::string target = call.has(OutOption.name) ? call.value(OutOption.name) : path;
    if (!saveFile(call, Name, target, image))
        return ExitError;
    call.out << request->done(outcome) << "\nSaved to " << target << "\n";
    return ExitOk;
}

}  // namespace

std::vector<Command> channelCommands()
{
    return {
        {Name, "FILE.tw COMMAND [ARGUMENTS]",
         "Rearrange whole channels of FILE.tw, every byte of a channel going with it and the current "
         "and priority channels following: move A[-B] TO, insert N, delete A[-B] [--shift], "
         "sort [A-B] [--by rx|name|tone], pack, fill A-B START STEP [--offset MHZ] [--tone TONE].",
         2, 6, {OutOption, ShiftOption, ByOption, OffsetOption, ToneOption, LangOption}, runChannels},
    };
}

}  // namespace tarn::cli
