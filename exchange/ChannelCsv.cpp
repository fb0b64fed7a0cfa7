#include "exchange/ChannelCsv.h"

#include "exchange/ExchangeRules.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"

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

std::string TrimmedCell(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::string LowerAscii(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

namespace {

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
        const std::string text = std::string(polarity == 'N' ? DcsNormalPrefix : DcsInvertedPrefix) + std::string(3 - field.size(), '0') + field;
        const auto& tones = ToneTexts();
        if (std::find(tones.begin(), tones.end(), text) != tones.end())
            return text;
    }
    *reason = "DCS code " + field + (polarity == 'R' ? " (reversed)" : "") + " is not in the radio's tone list";
    return std::nullopt;
}

// What a column of a header row holds, whatever the tool that wrote the file calls it.
enum class Column {
    Location,
    Name,
    Frequency,
    TransmitFrequency,  // repeater directories' input frequency, plain lists' transmit frequency
    Duplex,
    Offset,
    ToneMode,
    RToneFreq,
    CToneFreq,
    DtcsCode,
    DtcsPolarity,
    RxDtcsCode,
    CrossMode,
    Mode,
    Skip,
    Power,
    UplinkTone,    // the tone sent to a repeater
    DownlinkTone,  // the tone a repeater sends
    Callsign,
    Place,         // a directory's location: where the repeater stands
    Count
};

struct HeaderWord {
    std::string_view word;  // lower-case, letters and digits only
    Column column;
};
// The column set of the export first, then the names repeater directories and plain
// frequency lists give their columns.
constexpr HeaderWord HeaderWords[] = {
    {"location", Column::Location},       {"name", Column::Name},
    {"frequency", Column::Frequency},     {"duplex", Column::Duplex},
    {"offset", Column::Offset},           {"tone", Column::ToneMode},
    {"rtonefreq", Column::RToneFreq},     {"ctonefreq", Column::CToneFreq},
    {"dtcscode", Column::DtcsCode},       {"dtcspolarity", Column::DtcsPolarity},
    {"rxdtcscode", Column::RxDtcsCode},   {"crossmode", Column::CrossMode},
    {"mode", Column::Mode},               {"skip", Column::Skip},
    {"power", Column::Power},

    {"outputfrequency", Column::Frequency},  {"outputfreq", Column::Frequency},
    {"output", Column::Frequency},           {"downlinkfrequency", Column::Frequency},
    {"downlinkfreq", Column::Frequency},     {"receivefrequency", Column::Frequency},
    {"receivefreq", Column::Frequency},      {"receive", Column::Frequency},
    {"rxfrequency", Column::Frequency},      {"rxfreq", Column::Frequency},
    {"rx", Column::Frequency},               {"freq", Column::Frequency},
    {"inputfrequency", Column::TransmitFrequency},    {"inputfreq", Column::TransmitFrequency},
    {"input", Column::TransmitFrequency},             {"uplinkfrequency", Column::TransmitFrequency},
    {"uplinkfreq", Column::TransmitFrequency},        {"transmitfrequency", Column::TransmitFrequency},
    {"transmitfreq", Column::TransmitFrequency},      {"transmit", Column::TransmitFrequency},
    {"txfrequency", Column::TransmitFrequency},       {"txfreq", Column::TransmitFrequency},
    {"tx", Column::TransmitFrequency},
    {"uplinktone", Column::UplinkTone},      {"uplink", Column::UplinkTone},
    {"txtone", Column::UplinkTone},          {"transmittone", Column::UplinkTone},
    {"accesstone", Column::UplinkTone},      {"pl", Column::UplinkTone},
    {"pltone", Column::UplinkTone},          {"ctcss", Column::UplinkTone},
    {"downlinktone", Column::DownlinkTone},  {"downlink", Column::DownlinkTone},
    {"rxtone", Column::DownlinkTone},        {"receivetone", Column::DownlinkTone},
    {"tsq", Column::DownlinkTone},           {"tsqtone", Column::DownlinkTone},
    {"callsign", Column::Callsign},          {"call", Column::Callsign},
    {"city", Column::Place},                 {"landmark", Column::Place},
    {"site", Column::Place},                 {"place", Column::Place},
    {"nearestcity", Column::Place},
};

// "Output Freq (MHz)" -> "outputfreq": letters and digits, lower-case, without a unit.
std::string headerWord(const std::string& text)
{
    std::string word;
    for (char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (std::string_view unit : {"mhz", "khz", "hz"}) {
        if (word.size() > unit.size() && word.compare(word.size() - unit.size(), unit.size(), unit) == 0) {
            word.erase(word.size() - unit.size());
            break;
        }
    }
    return word;
}

// Where each column is in the rows of a file (-1: the file has none).
struct Header {
    std::array<int, static_cast<std::size_t>(Column::Count)> index;
    int line = 0;

    explicit Header(const CsvRow& row) : line(row.line)
    {
        index.fill(-1);
        std::vector<std::pair<Column, std::string>> found;
        for (std::size_t c = 0; c < row.fields.size(); ++c) {
            const std::string word = headerWord(row.fields[c]);
            for (const HeaderWord& known : HeaderWords) {
                if (known.word == word) {
                    found.emplace_back(known.column, word);
                    int& at = index[static_cast<std::size_t>(known.column)];
                    if (at < 0)
                        at = static_cast<int>(c);
                    break;
                }
            }
        }
        // In a repeater directory Location is where the repeater stands, not a channel.
        const bool directory = std::any_of(found.begin(), found.end(), [](const auto& f) {
            return f.first == Column::TransmitFrequency || f.first == Column::UplinkTone
                || f.first == Column::DownlinkTone || f.first == Column::Callsign
                || (f.first == Column::Frequency && f.second != "frequency");
        });
        int& location = index[static_cast<std::size_t>(Column::Location)];
        int& place = index[static_cast<std::size_t>(Column::Place)];
        if (directory && location >= 0) {
            if (place < 0)
                place = location;
            location = -1;
        }
    }
    bool has(Column column) const { return index[static_cast<std::size_t>(column)] >= 0; }
};

class RowReader {
public:
    RowReader(const Header& header, const CsvRow& row) : m_header(header), m_row(row) {}

    bool has(Column column) const { return m_header.has(column); }
    std::string get(Column column) const
    {
        const int at = m_header.index[static_cast<std::size_t>(column)];
        if (at < 0 || static_cast<std::size_t>(at) >= m_row.fields.size())
            return {};
        return TrimmedCell(m_row.fields[static_cast<std::size_t>(at)]);
    }

private:
    const Header& m_header;
    const CsvRow& m_row;
};

// A signed offset in MHz ("-0.6", "+5", "0.600 MHz") in 10 Hz units.
std::optional<long long> signedOffset(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    const std::string low = LowerAscii(text);
    if (low.size() > 3 && low.compare(low.size() - 3, 3, "mhz") == 0)
        text.erase(text.size() - 3);
    return SignedFrequencyTenHz(text);
}

std::optional<std::string> shiftedFrequency(const std::string& rx, long long offset, std::string* reason)
{
    const long long value = *FrequencyTenHz(rx) + offset;
    return ChannelFrequencyText("transmit frequency", FrequencyMHzText6(std::max(0LL, value)), reason);
}

// The receive and transmit frequency: Duplex and Offset as the export writes them, or a
// transmit (input) frequency column, or a signed offset; without any, transmit = receive.
bool readFrequencies(const RowReader& in, ChannelRow& row, std::string* reason)
{
    const auto rx = ChannelFrequencyText("frequency", in.get(Column::Frequency), reason);
    if (!rx)
        return false;
    std::optional<std::string> tx = *rx;
    if (in.has(Column::Duplex)) {
        const std::string duplex = LowerAscii(in.get(Column::Duplex));
        if (duplex == "+" || duplex == "-") {
            const auto offset = FrequencyTenHz(in.get(Column::Offset));
            if (!offset) {
                *reason = "offset '" + in.get(Column::Offset) + "' is not a frequency in MHz";
                return false;
            }
            tx = shiftedFrequency(*rx, duplex == "+" ? *offset : -*offset, reason);
        } else if (duplex == "split") {
            tx = ChannelFrequencyText("transmit frequency", in.get(Column::Offset), reason);
        } else if (duplex == "off") {
            tx = std::string();
        } else if (!duplex.empty()) {
            *reason = "duplex '" + in.get(Column::Duplex) + "' is not one of \"\", +, -, split, off";
            return false;
        }
    } else if (!in.get(Column::TransmitFrequency).empty()) {
        tx = ChannelFrequencyText("transmit frequency", in.get(Column::TransmitFrequency), reason);
    } else if (!in.get(Column::Offset).empty()) {
        const auto offset = signedOffset(in.get(Column::Offset));
        if (!offset) {
            *reason = "offset '" + in.get(Column::Offset) + "' is not a number of MHz";
            return false;
        }
        tx = shiftedFrequency(*rx, *offset, reason);
    }
    if (!tx)
        return false;
    row[ColRxFrequency] = *rx;
    row[ColTxFrequency] = *tx;
    return true;
}

// A directory's tone field: a CTCSS tone in Hz ("88.5"), a DCS code ("D023", "D023N",
// "DCS 023", "023 DCS", an I or R at its end for inverted), or nothing.
std::optional<std::string> directoryTone(const std::string& field, std::string* reason)
{
    std::string t;
    for (char c : field)
        if (c != ' ')
            t += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (std::string_view none : {"", "OFF", "NONE", "CSQ", "-", "NO"})
        if (t == none)
            return csvWords().offText;
    std::string code;
    if (t.rfind("DCS", 0) == 0)
        code = t.substr(3);
    else if (t.size() > 3 && t.compare(t.size() - 3, 3, "DCS") == 0)
        code = t.substr(0, t.size() - 3);
    else if (t[0] == 'D')
        code = t.substr(1);
    else {
        if (t.size() > 2 && t.compare(t.size() - 2, 2, "HZ") == 0)
            t.erase(t.size() - 2);
        return ctcssTone(t, reason);
    }
    char polarity = 'N';
    if (!code.empty() && (code.back() == 'N' || code.back() == 'I' || code.back() == 'R')) {
        polarity = code.back() == 'N' ? 'N' : 'R';
        code.pop_back();
    }
    return dcsTone(code, polarity, reason);
}

// The tones: the Tone mode columns of the export, or a directory's uplink and downlink
// tones; none when the file has neither.
bool readTones(const RowReader& in, ChannelRow& row, std::string* reason)
{
    const ChannelWords& words = csvWords();
    std::string txTone = words.offText;
    std::string rxTone = words.offText;
    const std::string mode = LowerAscii(in.get(Column::ToneMode));
    if (!in.has(Column::ToneMode) && (in.has(Column::UplinkTone) || in.has(Column::DownlinkTone))) {
        const auto up = directoryTone(in.get(Column::UplinkTone), reason);
        if (!up)
            return false;
        const auto down = directoryTone(in.get(Column::DownlinkTone), reason);
        if (!down)
            return false;
        txTone = *up;
        rxTone = *down;
    } else if (!mode.empty()) {
        std::string polarity = in.get(Column::DtcsPolarity).empty() ? "NN" : in.get(Column::DtcsPolarity);
        std::transform(polarity.begin(), polarity.end(), polarity.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        // Checked as a pair here, so that a bad letter is named as the polarity, not as a code.
        const auto direction = [](char c) { return c == 'N' || c == 'R'; };
        if (polarity.size() != 2 || !direction(polarity[0]) || !direction(polarity[1])) {
            *reason = "DTCS polarity '" + in.get(Column::DtcsPolarity) + "' is not one of NN, NR, RN, RR";
            return false;
        }
        const std::string rTone = in.get(Column::RToneFreq).empty() ? "88.5" : in.get(Column::RToneFreq);
        // Files without cToneFreq often mean the one tone they give for both directions.
        const std::string cTone = !in.get(Column::CToneFreq).empty() ? in.get(Column::CToneFreq) : rTone;
        const std::string txCode = in.get(Column::DtcsCode).empty() ? "023" : in.get(Column::DtcsCode);
        const std::string rxCode = !in.get(Column::RxDtcsCode).empty() ? in.get(Column::RxDtcsCode) : txCode;
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
            const std::string cross = in.get(Column::CrossMode).empty() ? "Tone->Tone" : in.get(Column::CrossMode);
            const auto arrow = cross.find("->");
            if (arrow == std::string::npos) {
                *reason = "cross mode '" + cross + "' is not of the form TX->RX";
                return false;
            }
            const std::string txKind = LowerAscii(cross.substr(0, arrow));
            const std::string rxKind = LowerAscii(cross.substr(arrow + 2));
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
        } else {
            *reason = "tone mode '" + in.get(Column::ToneMode) + "' is not one the radio has";
            return false;
        }
        if (!ok)
            return false;
    }
    row[ColRxTone] = rxTone;
    row[ColTxTone] = row[ColTxFrequency].empty() ? words.offText : txTone;
    return true;
}

// Power, bandwidth and scan: what the row does not say keeps the channel's value.
bool readOptions(const RowReader& in, ChannelRow& row, std::string* reason)
{
    const ChannelWords& words = csvWords();
    if (!in.get(Column::Power).empty()) {
        const std::string p = LowerAscii(in.get(Column::Power));
        const auto watts = FrequencyTenHz(p.substr(0, p.find_first_not_of("0123456789.")));
        if (p[0] == 'h')
            row[ColPower] = words.highPower;
        else if (p[0] == 'l')
            row[ColPower] = words.lowPower;
        else if (watts && (p.find_first_not_of("0123456789.") == std::string::npos || p.back() == 'w'))
            row[ColPower] = *watts >= 2 * TenHzPerMHz ? words.highPower : words.lowPower;
        else {
            *reason = "power '" + in.get(Column::Power) + "' is not High, Low or watts";
            return false;
        }
    }
    if (!in.get(Column::Mode).empty()) {
        const std::string m = LowerAscii(in.get(Column::Mode));
        if (m == "fm" || m == "analog" || m == "analogue")
            row[ColBandwidth] = words.optionOff;
        else if (m == "nfm")
            row[ColBandwidth] = words.optionOn;
        else {
            *reason = "mode '" + in.get(Column::Mode) + "' is not FM or NFM";
            return false;
        }
    }
    if (in.has(Column::Skip))
        row[ColChoice6] = LowerAscii(in.get(Column::Skip)) == "s" ? words.choice6Bit0 : words.choice6Bit1;
    return true;
}

// The name: the Name column, else a directory's callsign, else where the repeater stands.
// Its letters and digits, upper-cased, go to `given` whole; the channel keeps six of them.
// A file with none of these columns leaves the channel's name as it is.
void readName(const RowReader& in, ChannelRow& row, std::string* given)
{
    bool said = false;
    std::string source;
    for (Column column : {Column::Name, Column::Callsign, Column::Place}) {
        if (!in.has(column))
            continue;
        said = true;
        source = in.get(column);
        if (!source.empty())
            break;
    }
    if (!said) {
        *given = row[ColName];
        return;
    }
    given->clear();
    for (char c : source)
        if (std::isalnum(static_cast<unsigned char>(c)))
            *given += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    row[ColName] = FilterNameText(*given);
}

// Fills the row texts of one CSV row into `row`; false with the reason when the radio
// cannot hold a value.
bool readRow(const RowReader& in, ChannelRow& row, std::string* given, std::string* reason)
{
    if (!readFrequencies(in, row, reason) || !readTones(in, row, reason) || !readOptions(in, row, reason))
        return false;
    readName(in, row, given);
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

// The row texts of a new channel, as the channel page fills a row typed into.
ChannelRow newChannelRow()
{
    ChannelRow row;
    row[ColRxFrequency] = "100";
    ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, csvWords());
    return row;
}

// Reads the rows of a CSV text into whole channels. With `onto`, each row is read onto the
// channel its Location names (a column the file must have); without, each row is a new
// channel. Every row is either a channel or a problem.
IncomingChannels readChannels(std::string_view text, char separator, const RadioImage* onto)
{
    IncomingChannels result;
    // What a file held is quoted in the reasons: its control bytes must not reach a terminal.
    auto report = [&result](int line, const std::string& reason) {
        result.problems.push_back({line, PrintableText(reason)});
    };
    const std::vector<CsvRow> rows = SplitCsvRecords(text, separator);
    if (rows.empty()) {
        report(0, "the file holds no header row");
        return result;
    }
    if (rows[0].unclosedQuote) {
        report(rows[0].unclosedQuote, "the header row opens a quote that is never closed");
        return result;
    }
    const Header header(rows[0]);
    for (Column required : {Column::Location, Column::Frequency}) {
        if (!header.has(required) && (onto || required == Column::Frequency)) {
            report(rows[0].line, std::string("the header row has no ")
                                     + (required == Column::Location ? "Location" : "Frequency") + " column");
            return result;
        }
    }

    const ChannelWords& words = csvWords();
    RadioImage scratch;
    std::map<int, int> seen;  // channel -> line
    for (std::size_t r = 1; r < rows.size(); ++r) {
        if (rows[r].unclosedQuote) {
            report(rows[r].unclosedQuote, "a quote opened on this line is never closed");
            continue;
        }
        const RowReader in(header, rows[r]);
        int channel = 0;
        if (onto) {
            const std::string location = in.get(Column::Location);
            const bool number = !location.empty() && location.size() <= 4
                && std::all_of(location.begin(), location.end(), [](char c) { return c >= '0' && c <= '9'; });
            channel = number ? std::stoi(location) : 0;
            if (channel < 1 || channel > layout::ChannelCount) {
                report(rows[r].line, "location '" + location + "' is outside 1-128");
                continue;
            }
            if (seen.count(channel)) {
                report(rows[r].line, "location " + location + " was given on line " + std::to_string(seen[channel])
                                         + " already");
                continue;
            }
        }
        // Each row is read onto its own copy of the channel, in the one scratch slot.
        const bool inUse = onto && onto->channelInUse(channel - 1);
        WriteChannel(scratch, 0, inUse ? ReadChannel(*onto, channel - 1) : StoredChannel::empty());
        ChannelRow row = inUse ? ChannelRowTexts(scratch, 0, words) : newChannelRow();
        IncomingChannel incoming;
        std::string reason;
        if (!readRow(in, row, &incoming.givenName, &reason)) {
            report(rows[r].line, reason);
            continue;
        }
        if (onto)
            seen[channel] = rows[r].line;
        StoreChannelRow(scratch, 0, row, words);
        incoming.channel = ReadChannel(scratch, 0);
        incoming.line = rows[r].line;
        incoming.location = channel;
        result.channels.push_back(std::move(incoming));
    }
    return result;
}

template <typename Read>
IncomingChannels guardedRead(Read read)
{
    try {
        return read();
    } catch (const std::exception& e) {
        // Only running out of memory gets here.
        IncomingChannels result;
        result.problems.push_back({0, PrintableText(e.what())});
        return result;
    }
}

}  // namespace

IncomingChannels ReadCsvChannels(std::string_view text)
{
    return guardedRead([&] { return readChannels(text, ',', nullptr); });
}

IncomingChannels ReadCsvChannelsAtLocations(std::string_view text, const RadioImage& image)
{
    return guardedRead([&] { return readChannels(text, ',', &image); });
}

bool CsvHasLocations(std::string_view text)
{
    const std::vector<CsvRow> rows = SplitCsvRecords(text);
    return !rows.empty() && !rows[0].unclosedQuote && Header(rows[0]).has(Column::Location);
}

CsvImportResult ImportChannelsCsv(std::string_view text, RadioImage& image, bool skipBad)
{
    CsvImportResult result;
    const IncomingChannels incoming = ReadCsvChannelsAtLocations(text, image);
    result.problems = incoming.problems;
    for (const IncomingChannel& channel : incoming.channels)
        result.channels.push_back(channel.location);
    if (!result.problems.empty() && !skipBad)
        return result;
    ImportChoices choices;
    choices.placement.mode = PlaceMode::AtLocations;
    result.plan = PlanImport(image, incoming, choices);
    ApplyImport(image, incoming, result.plan);
    result.applied = !result.channels.empty();
    return result;
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

IncomingChannels ReadPastedChannels(std::string_view text)
{
    // The header line (the first that is neither empty nor a comment) tells the separator.
    std::size_t start = 0;
    while (start < text.size() && (text[start] == '#' || text[start] == '\r' || text[start] == '\n')) {
        const std::size_t end = text.find('\n', start);
        start = end == std::string_view::npos ? text.size() : end + 1;
    }
    const std::string_view header = text.substr(start, text.find('\n', start) - start);
    const char separator = header.find('\t') != std::string_view::npos ? '\t' : ',';
    IncomingChannels read = guardedRead([&] { return readChannels(text, separator, nullptr); });
    for (CsvProblem& problem : read.problems)
        if (problem.reason == "the file holds no header row")
            problem.reason = "the text holds no header row";
    return read;
}

ClipboardChannels ChannelsFromClipboardText(std::string_view text)
{
    ClipboardChannels result;
    IncomingChannels read = ReadPastedChannels(text);
    if (read.problems.empty() && read.channels.empty())
        read.problems.push_back({0, "the text holds no channels"});
    if (read.problems.empty() && read.channels.size() > static_cast<std::size_t>(layout::ChannelCount))
        read.problems.push_back({read.channels[layout::ChannelCount].line, "the text holds more than 128 channels"});
    result.problems = read.problems;
    if (result.problems.empty())
        for (const IncomingChannel& channel : read.channels)
            result.channels.push_back(channel.channel);
    return result;
}

}  // namespace tarn
