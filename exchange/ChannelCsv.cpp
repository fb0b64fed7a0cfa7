#include "exchange/ChannelCsv.h"

#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "exchange/ExchangeRules.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <optional>

namespace tarn {

namespace {

constexpr long long TenHzPerMHz = 100000;
// Repeater offsets up to this go out as + or -; wider ones (cross-band) as split.
constexpr long long LargestOffset = 6999999;

const ChannelWords& csvWords() { return ExchangeWords(); }

std::string FrequencyMHzText6(long long tenHz) { return FrequencyMHzText(tenHz, 6); }

enum class ToneKind { None, Ctcss, Dcs };

ToneKind kindOf(const std::string& tone)
{
    if (tone.empty() || tone == csvWords().offText)
        return ToneKind::None;
    return tone[0] == 'D' ? ToneKind::Dcs : ToneKind::Ctcss;
}

std::string kindName(ToneKind kind)
{
    return kind == ToneKind::Ctcss ? "Tone" : kind == ToneKind::Dcs ? "DTCS" : "";
}

// "DN023" -> "023" and polarity 'N'; "DI023" -> 'R'.
std::string dcsCode(const std::string& tone) { return tone.substr(2); }
char dcsPolarity(const std::string& tone) { return tone.size() > 1 && tone[1] == 'I' ? 'R' : 'N'; }

}  // namespace

std::string CsvField(const std::string& value, char separator)
{
    if (value.find_first_of(std::string("\"\r\n") + separator) == std::string::npos)
        return value;
    std::string quoted = "\"";
    for (char c : value) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

namespace {

using CsvRow = CsvRecord;

// Where the line break at `i` ends; `i` itself when there is none.
std::size_t pastLineBreak(std::string_view text, std::size_t i)
{
    if (i < text.size() && text[i] == '\r')
        return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
    if (i < text.size() && text[i] == '\n')
        return i + 1;
    return i;
}

// The start of the line after the one that holds `i`.
std::size_t nextLine(std::string_view text, std::size_t i)
{
    const std::size_t end = text.find_first_of("\r\n", i);
    return end == std::string_view::npos ? text.size() : pastLineBreak(text, end);
}

}  // namespace

std::vector<CsvRecord> SplitCsvRecords(std::string_view text, char separator)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    std::vector<CsvRow> rows;
    int line = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        CsvRow row{line, {}};
        // A comment or an empty line is skipped whole.
        if (text[i] == '#' || text[i] == '\n' || text[i] == '\r') {
            i = nextLine(text, i);
            ++line;
            continue;
        }
        std::string field;
        bool quoted = false;
        std::size_t quoteAt = 0;
        int quoteLine = 0;
        bool rowEnded = false;
        while (i < text.size() && !rowEnded) {
            const char c = text[i];
            if (c == '\r' || c == '\n') {
                i = pastLineBreak(text, i);
                ++line;
                if (quoted)
                    field += '\n';
                else
                    rowEnded = true;
                continue;
            }
            ++i;
            if (quoted) {
                if (c == '"' && i < text.size() && text[i] == '"') {
                    field += '"';
                    ++i;
                } else if (c == '"') {
                    quoted = false;
                } else {
                    field += c;
                }
            } else if (c == '"') {
                quoted = true;
                quoteAt = i;
                quoteLine = line;
            } else if (c == separator) {
                row.fields.push_back(field);
                field.clear();
            } else {
                field += c;
            }
        }
        if (quoted) {
            // Read to the end, the quote would take every later row into this field: the row
            // is refused where the quote opened, and reading goes on from the next line.
            row.unclosedQuote = quoteLine;
            i = nextLine(text, quoteAt);
            line = quoteLine + 1;
        }
        row.fields.push_back(field);
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The tone text of the radio's tone list for a CTCSS frequency field ("88.5").
std::optional<std::string> ctcssTone(const std::string& field, std::string* reason)
{
    const auto tenHz = FrequencyTenHz(field);
    if (tenHz) {
        // The field is in Hz; read as MHz its 10 Hz units are ten-thousandths of a tenth.
        const long long tenths = *tenHz / 10000;
        char text[48];
        std::snprintf(text, sizeof text, "%lld.%lld", tenths / 10, tenths % 10);
        const auto& tones = ToneTexts();
        if (*tenHz % 10000 == 0 && std::find(tones.begin(), tones.end(), text) != tones.end())
            return std::string(text);
    }
    *reason = "tone " + field + " Hz is not in the radio's tone list";
    return std::nullopt;
}

// "DN023" or "DI023" for a DCS code field ("23", "023") and its polarity letter.
std::optional<std::string> dcsTone(const std::string& field, char polarity, std::string* reason)
{
    const bool digits = !field.empty() && field.size() <= 3
        && std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '7'; });
    if (digits && (polarity == 'N' || polarity == 'R')) {
        const std::string text = std::string(polarity == 'N' ? "DN" : "DI") + std::string(3 - field.size(), '0') + field;
        const auto& tones = ToneTexts();
        if (std::find(tones.begin(), tones.end(), text) != tones.end())
            return text;
    }
    *reason = "DCS code " + field + (polarity == 'R' ? " (reversed)" : "") + " is not in the radio's tone list";
    return std::nullopt;
}

class RowReader {
public:
    RowReader(const std::map<std::string, std::size_t>& columns, const CsvRow& row) : m_columns(columns), m_row(row) {}

    bool has(std::string_view column) const { return m_columns.count(lower(std::string(column))) != 0; }
    std::string get(std::string_view column) const
    {
        const auto it = m_columns.find(lower(std::string(column)));
        if (it == m_columns.end() || it->second >= m_row.fields.size())
            return {};
        return trimmed(m_row.fields[it->second]);
    }

private:
    const std::map<std::string, std::size_t>& m_columns;
    const CsvRow& m_row;
};

// Fills the row texts of one CSV row into `row`; false with the reason when the radio
// cannot hold a value.
bool readRow(const RowReader& in, ChannelRow& row, std::string* reason)
{
    const ChannelWords& words = csvWords();
    const auto rx = ChannelFrequencyText("frequency", in.get("Frequency"), reason);
    if (!rx)
        return false;

    const std::string duplex = lower(in.get("Duplex"));
    std::string tx = *rx;
    if (duplex == "+" || duplex == "-") {
        const auto offset = FrequencyTenHz(in.get("Offset"));
        if (!offset) {
            *reason = "offset '" + in.get("Offset") + "' is not a frequency in MHz";
            return false;
        }
        const long long value = *FrequencyTenHz(*rx) + (duplex == "+" ? *offset : -*offset);
        const auto shifted = ChannelFrequencyText("transmit frequency", FrequencyMHzText6(std::max(0LL, value)), reason);
        if (!shifted)
            return false;
        tx = *shifted;
    } else if (duplex == "split") {
        const auto split = ChannelFrequencyText("transmit frequency", in.get("Offset"), reason);
        if (!split)
            return false;
        tx = *split;
    } else if (duplex == "off") {
        tx.clear();
    } else if (!duplex.empty()) {
        *reason = "duplex '" + in.get("Duplex") + "' is not one of \"\", +, -, split, off";
        return false;
    }

    std::string txTone = words.offText;
    std::string rxTone = words.offText;
    const std::string mode = lower(in.get("Tone"));
    std::string polarity = in.get("DtcsPolarity").empty() ? "NN" : in.get("DtcsPolarity");
    std::transform(polarity.begin(), polarity.end(), polarity.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // Checked as a pair here, so that a bad letter is named as the polarity, not as a code.
    const auto direction = [](char c) { return c == 'N' || c == 'R'; };
    if (polarity.size() != 2 || !direction(polarity[0]) || !direction(polarity[1])) {
        *reason = "DTCS polarity '" + in.get("DtcsPolarity") + "' is not one of NN, NR, RN, RR";
        return false;
    }
    const std::string rTone = in.get("rToneFreq").empty() ? "88.5" : in.get("rToneFreq");
    // Files without cToneFreq often mean the one tone they give for both directions.
    const std::string cTone = !in.get("cToneFreq").empty() ? in.get("cToneFreq") : rTone;
    const std::string txCode = in.get("DtcsCode").empty() ? "023" : in.get("DtcsCode");
    const std::string rxCode = !in.get("RxDtcsCode").empty() ? in.get("RxDtcsCode") : txCode;

    auto ctcss = [&](const std::string& field, std::string& into) {
        const auto tone = ctcssTone(field, reason);
        if (tone)
            into = *tone;
        return tone.has_value();
    };
    auto dcs = [&](const std::string& field, char pol, std::string& into) {
        const auto tone = dcsTone(field, pol, reason);
        if (tone)
            into = *tone;
        return tone.has_value();
    };

    bool ok = true;
    if (mode == "tone") {
        ok = ctcss(rTone, txTone);
    } else if (mode == "tsql") {
        ok = ctcss(cTone, txTone) && ctcss(cTone, rxTone);
    } else if (mode == "dtcs") {
        ok = dcs(txCode, polarity[0], txTone) && dcs(rxCode, polarity[1], rxTone);
    } else if (mode == "cross") {
        const std::string cross = in.get("CrossMode").empty() ? "Tone->Tone" : in.get("CrossMode");
        const auto arrow = cross.find("->");
        if (arrow == std::string::npos) {
            *reason = "cross mode '" + cross + "' is not of the form TX->RX";
            return false;
        }
        const std::string txKind = lower(cross.substr(0, arrow));
        const std::string rxKind = lower(cross.substr(arrow + 2));
        if (txKind == "tone")
            ok = ctcss(rTone, txTone);
        else if (txKind == "dtcs")
            ok = dcs(txCode, polarity[0], txTone);
        if (ok && rxKind == "tone")
            ok = ctcss(cTone, rxTone);
        else if (ok && rxKind == "dtcs")
            ok = dcs(rxCode, polarity[1], rxTone);
        if (ok && ((!txKind.empty() && txKind != "tone" && txKind != "dtcs")
                   || (!rxKind.empty() && rxKind != "tone" && rxKind != "dtcs"))) {
            *reason = "cross mode '" + cross + "' is not one the radio has";
            return false;
        }
    } else if (!mode.empty()) {
        *reason = "tone mode '" + in.get("Tone") + "' is not one the radio has";
        return false;
    }
    if (!ok)
        return false;
    if (tx.empty())
        txTone = words.offText;

    std::string power = row[ColPower];
    if (in.has("Power") && !in.get("Power").empty()) {
        const std::string p = lower(in.get("Power"));
        const auto watts = FrequencyTenHz(p.substr(0, p.find_first_not_of("0123456789.")));
        if (p[0] == 'h')
            power = words.highPower;
        else if (p[0] == 'l')
            power = words.lowPower;
        else if (watts && (p.find_first_not_of("0123456789.") == std::string::npos || p.back() == 'w'))
            power = *watts >= 2 * TenHzPerMHz ? words.highPower : words.lowPower;
        else {
            *reason = "power '" + in.get("Power") + "' is not High, Low or watts";
            return false;
        }
    }

    std::string bandwidth = row[ColBandwidth];
    if (in.has("Mode") && !in.get("Mode").empty()) {
        const std::string m = lower(in.get("Mode"));
        if (m == "fm")
            bandwidth = words.optionOff;
        else if (m == "nfm")
            bandwidth = words.optionOn;
        else {
            *reason = "mode '" + in.get("Mode") + "' is not FM or NFM";
            return false;
        }
    }

    row[ColRxFrequency] = *rx;
    row[ColTxFrequency] = tx;
    row[ColRxTone] = rxTone;
    row[ColTxTone] = txTone;
    row[ColPower] = power;
    row[ColBandwidth] = bandwidth;
    if (in.has("Skip"))
        row[ColChoice6] = lower(in.get("Skip")) == "s" ? words.choice6Bit0 : words.choice6Bit1;
    if (in.has("Name")) {
        std::string name;
        for (char c : in.get("Name"))
            if (std::isalnum(static_cast<unsigned char>(c)))
                name += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        row[ColName] = FilterNameText(name);
    }
    return true;
}

}  // namespace

int ProgrammedChannelCount(const RadioImage& image)
{
    int count = 0;
    for (int i = 0; i < layout::ChannelCount; ++i)
        count += image.channelInUse(i) ? 1 : 0;
    return count;
}

std::string ExportChannelsCsv(const RadioImage& image, char separator)
{
    const ChannelWords& words = csvWords();
    const std::string between(1, separator);
    std::string text;
    for (std::size_t c = 0; c < CsvColumns.size(); ++c)
        text += (c ? between : "") + std::string(CsvColumns[c]);
    text += "\r\n";

    for (int i = 0; i < layout::ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        const ChannelRow row = ChannelRowTexts(image, i, words);
        const long long rx = *FrequencyTenHz(row[ColRxFrequency]);
        std::string duplex;
        long long offset = 0;
        if (row[ColTxFrequency].empty()) {
            duplex = "off";
        } else {
            const long long tx = *FrequencyTenHz(row[ColTxFrequency]);
            if (tx != rx && std::llabs(tx - rx) <= LargestOffset) {
                duplex = tx > rx ? "+" : "-";
                offset = std::llabs(tx - rx);
            } else if (tx != rx) {
                duplex = "split";
                offset = tx;
            }
        }

        const std::string& txTone = row[ColTxTone];
        const std::string& rxTone = row[ColRxTone];
        const ToneKind txKind = kindOf(txTone);
        const ToneKind rxKind = kindOf(rxTone);
        std::string mode;
        std::string cross = "Tone->Tone";
        std::string rToneFreq = "88.5";
        std::string cToneFreq = "88.5";
        std::string dtcs = "023";
        std::string rxDtcs = "023";
        std::string polarity = "NN";
        if (txKind == ToneKind::Ctcss)
            rToneFreq = txTone;
        if (rxKind == ToneKind::Ctcss)
            cToneFreq = rxTone;
        if (txKind == ToneKind::Dcs) {
            dtcs = dcsCode(txTone);
            polarity[0] = dcsPolarity(txTone);
        }
        if (rxKind == ToneKind::Dcs) {
            rxDtcs = dcsCode(rxTone);
            polarity[1] = dcsPolarity(rxTone);
        }
        if (txKind == ToneKind::None && rxKind == ToneKind::None) {
            mode = "";
        } else if (txKind == ToneKind::Ctcss && rxKind == ToneKind::None) {
            mode = "Tone";
        } else if (txKind == ToneKind::Ctcss && rxTone == txTone) {
            mode = "TSQL";
        } else if (txKind == ToneKind::Dcs && rxKind == ToneKind::Dcs && dtcs == rxDtcs) {
            mode = "DTCS";
        } else {
            mode = "Cross";
            cross = kindName(txKind) + "->" + kindName(rxKind);
        }

        const std::vector<std::string> fields{
            std::to_string(i + 1), row[ColName], FrequencyMHzText6(rx), duplex, FrequencyMHzText6(offset), mode, rToneFreq, cToneFreq,
            dtcs, polarity, rxDtcs, cross, row[ColBandwidth] == words.optionOn ? "NFM" : "FM", "5.00",
            row[ColChoice6] == words.choice6Bit0 ? "S" : "", row[ColPower], "", "", "", "", ""};
        for (std::size_t c = 0; c < fields.size(); ++c)
            text += (c ? between : "") + CsvField(fields[c], separator);
        text += "\r\n";
    }
    return text;
}

namespace {

CsvImportResult importRows(std::string_view text, RadioImage& image, bool skipBad)
{
    CsvImportResult result;
    // What a file held is quoted in the reasons: its control bytes must not reach a terminal.
    auto report = [&result](int line, const std::string& reason) {
        result.problems.push_back({line, PrintableText(reason)});
    };
    const std::vector<CsvRow> rows = SplitCsvRecords(text);
    if (rows.empty()) {
        report(0, "the file holds no header row");
        return result;
    }
    if (rows[0].unclosedQuote) {
        report(rows[0].unclosedQuote, "the header row opens a quote that is never closed");
        return result;
    }
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < rows[0].fields.size(); ++c)
        columns.emplace(lower(trimmed(rows[0].fields[c])), c);
    for (std::string_view required : {"Location", "Frequency"}) {
        if (!columns.count(lower(std::string(required)))) {
            report(rows[0].line, "the header row has no " + std::string(required) + " column");
            return result;
        }
    }

    RadioImage working = image;
    const ChannelWords& words = csvWords();
    std::map<int, int> seen;  // channel -> line
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].unclosedQuote) {
            report(rows[r].unclosedQuote, "a quote opened on this line is never closed");
            continue;
        }
        const RowReader in(columns, rows[r]);
        const std::string location = in.get("Location");
        const bool number = !location.empty() && location.size() <= 4
            && std::all_of(location.begin(), location.end(), [](char c) { return c >= '0' && c <= '9'; });
        const int channel = number ? std::stoi(location) : 0;
        if (channel < 1 || channel > layout::ChannelCount) {
            report(rows[r].line, "location '" + location + "' is outside 1-128");
            continue;
        }
        if (seen.count(channel)) {
            report(rows[r].line, "location " + location + " was given on line " + std::to_string(seen[channel])
                                     + " already");
            continue;
        }
        const int i = channel - 1;
        ChannelRow row;
        if (working.channelInUse(i)) {
            row = ChannelRowTexts(working, i, words);
        } else {
            row[ColRxFrequency] = "100";
            ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        }
        std::string reason;
        if (!readRow(in, row, &reason)) {
            report(rows[r].line, reason);
            continue;
        }
        seen[channel] = rows[r].line;
        StoreChannelRow(working, i, row, words);
        result.channels.push_back(channel);
    }

    if (!result.problems.empty() && !skipBad)
        return result;
    if (!result.channels.empty()) {
        image = working;
        result.applied = true;
    }
    return result;
}

}  // namespace

CsvImportResult ImportChannelsCsv(std::string_view text, RadioImage& image, bool skipBad)
{
    try {
        return importRows(text, image, skipBad);
    } catch (const std::exception& e) {
        // Only running out of memory gets here; the image is changed last, so it is whole.
        CsvImportResult result;
        result.problems.push_back({0, PrintableText(e.what())});
        return result;
    }
}

std::string ChannelsToClipboardText(const RadioImage& image, const std::vector<int>& rows)
{
    RadioImage selected;  // every channel empty but those of the rows
    for (int row : NormalizedRows(rows))
        WriteChannel(selected, row, ReadChannel(image, row));
    std::string text = ExportChannelsCsv(selected, '\t');
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

ClipboardChannels ChannelsFromClipboardText(std::string_view text)
{
    ClipboardChannels result;
    // The header line (the first that is neither empty nor a comment) tells the separator.
    std::size_t start = 0;
    while (start < text.size() && (text[start] == '#' || text[start] == '\r' || text[start] == '\n')) {
        const std::size_t end = text.find('\n', start);
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    const std::string_view header = text.substr(start, text.find('\n', start) - start);
    const std::vector<CsvRow> rows = SplitCsvRecords(text, header.find('\t') != std::string_view::npos ? '\t' : ',');
    if (rows.empty()) {
        result.problems.push_back({0, "the text holds no header row"});
        return result;
    }
    std::map<std::string, std::size_t> columns;
    for (std::size_t c = 0; c < rows[0].fields.size(); ++c)
        columns.emplace(lower(trimmed(rows[0].fields[c])), c);
    if (!columns.count("frequency")) {
        result.problems.push_back({rows[0].line, "the header row has no Frequency column"});
        return result;
    }
    if (rows.size() == 1) {
        result.problems.push_back({0, "the text holds no channels"});
        return result;
    }
    if (rows.size() - 1 > static_cast<std::size_t>(layout::ChannelCount)) {
        result.problems.push_back({rows[layout::ChannelCount + 1].line, "the text holds more than 128 channels"});
        return result;
    }

    const ChannelWords& words = csvWords();
    RadioImage scratch;  // every channel empty, as a new channel starts
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const int i = static_cast<int>(r - 1);
        ChannelRow row;
        row[ColRxFrequency] = "100";
        ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        if (rows[r].unclosedQuote) {
            result.problems.push_back({rows[r].unclosedQuote, "a quote opened on this line is never closed"});
            continue;
        }
        std::string reason;
        if (!readRow(RowReader(columns, rows[r]), row, &reason)) {
            result.problems.push_back({rows[r].line, reason});
            continue;
        }
        StoreChannelRow(scratch, i, row, words);
        result.channels.push_back(ReadChannel(scratch, i));
    }
    if (!result.problems.empty())
        result.channels.clear();
    return result;
}

}  // namespace tarn
