#include "fleet/PerRadioValues.h"

#include "exchange/ChannelCsv.h"
#include "exchange/ExchangeRules.h"
#include "exchange/TextForm.h"
#include "link/PortRange.h"
#include "radio/SettingsTable.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <set>

namespace tarn {

namespace {

constexpr std::string_view PortColumn = "port";

std::string at(int line, const std::string& what)
{
    return "line " + std::to_string(line) + ": " + what;
}

// "3" or "COM3" -> 3; 0 when it is neither a port number from 1 to 20 nor empty (-1 when empty).
int portCell(const std::string& cell)
{
    std::string text = LowerAscii(TrimmedCell(cell));
    if (text.empty())
        return -1;
    if (text.rfind("com", 0) == 0)
        text.erase(0, 3);
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    const int n = std::stoi(text);
    return n >= FirstPort && n <= LastPort ? n : 0;
}

// The setting keys a column may name, for the hint after an unknown one.
std::string caseHint(const std::string& column)
{
    // Every key is plain ASCII; one that differs only in case is what was meant.
    for (const settings::Field& field : settings::Fields())
        if (LowerAscii(std::string(field.key)) == LowerAscii(column))
            return " (the key is " + std::string(field.key) + ")";
    return {};
}

PerRadioValues read(std::string_view text)
{
    PerRadioValues table;
    const std::vector<CsvRecord> records = SplitCsvRecords(text);
    if (records.empty()) {
        table.problem = "the file holds no header row";
        return table;
    }
    const CsvRecord& header = records[0];
    if (header.unclosedQuote) {
        table.problem = at(header.unclosedQuote, "the header row opens a quote that is never closed");
        return table;
    }
    // Column c of the header: -1 for the port, else the setting's key.
    std::vector<std::string> keys;
    int portAt = -1;
    std::set<std::string> seen;
    for (std::size_t c = 0; c < header.fields.size(); ++c) {
        const std::string name = TrimmedCell(header.fields[c]);
        if (name.empty()) {
            table.problem = at(header.line, "column " + std::to_string(c + 1) + " has no name");
            return table;
        }
        if (!seen.insert(LowerAscii(name)).second) {
            table.problem = at(header.line, "column '" + name + "' is given twice");
            return table;
        }
        if (LowerAscii(name) == PortColumn) {
            portAt = static_cast<int>(c);
        } else if (!IsSettingKey(name)) {
            table.problem = at(header.line, "unknown column '" + name + "': not a setting key as tarn-cli export "
                                            "writes it" + caseHint(name));
            return table;
        }
        keys.push_back(name);
    }
    table.hasPortColumn = portAt >= 0;

    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        RadioValues row;
        row.line = record.line;
        if (record.unclosedQuote) {
            row.line = record.unclosedQuote;
            row.problem = at(record.unclosedQuote, "a quote opened on this line is never closed");
            table.rows.push_back(std::move(row));
            continue;
        }
        if (record.fields.size() > keys.size()) {
            row.problem = at(record.line, "the row has " + std::to_string(record.fields.size()) + " cells, the header "
                                              + std::to_string(keys.size()));
        }
        for (std::size_t c = 0; c < record.fields.size() && c < keys.size(); ++c) {
            const std::string& cell = record.fields[c];
            if (static_cast<int>(c) == portAt) {
                const int port = portCell(cell);
                if (port == 0 && row.problem.empty())
                    row.problem = at(record.line, "port '" + cell + "' is not a port number from 1 to 20");
                row.port = std::max(port, 0);
            } else if (!cell.empty()) {
                row.settings.emplace_back(keys[c], cell);
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace

PerRadioValues ReadPerRadioValues(std::string_view text)
{
    try {
        PerRadioValues table = read(text);
        // What a file held is quoted in the reasons: its control bytes must not reach a terminal.
        table.problem = PrintableText(table.problem);
        for (RadioValues& row : table.rows)
            row.problem = PrintableText(row.problem);
        return table;
    } catch (const std::exception& e) {
        PerRadioValues table;
        table.problem = e.what();
        return table;
    }
}

const RadioValues* PerRadioValues::rowForPort(int port, std::string* why) const
{
    if (!problem.empty()) {
        *why = problem;
        return nullptr;
    }
    if (!hasPortColumn) {
        *why = "the file has no port column to match its rows to ports";
        return nullptr;
    }
    const RadioValues* found = nullptr;
    for (const RadioValues& row : rows) {
        if (row.port != port)
            continue;
        if (found) {
            *why = "lines " + std::to_string(found->line) + " and " + std::to_string(row.line) + " are both for port "
                + std::to_string(port);
            return nullptr;
        }
        found = &row;
    }
    if (!found) {
        *why = "no row is for port " + std::to_string(port);
        return nullptr;
    }
    return found;
}

const RadioValues* PerRadioValues::rowAt(std::size_t index, std::string* why) const
{
    if (!problem.empty()) {
        *why = problem;
        return nullptr;
    }
    if (index >= rows.size()) {
        *why = "the file has " + std::to_string(rows.size()) + " rows of values, none for radio "
            + std::to_string(index + 1);
        return nullptr;
    }
    return &rows[index];
}

bool ApplyRadioValues(const RadioValues& row, RadioImage& image, std::string* why)
{
    if (!row.problem.empty()) {
        *why = row.problem;
        return false;
    }
    RadioImage working = image;
    for (const auto& [key, value] : row.settings) {
        const TextFormResult applied = ApplySettingText(key, value, working);
        if (!applied.ok) {
            *why = at(row.line, applied.error);
            return false;
        }
    }
    image = working;
    return true;
}

std::string RadioValuesText(const RadioValues& row)
{
    std::string text;
    for (const auto& [key, value] : row.settings)
        text += (text.empty() ? "" : ";") + key + "=" + value;
    return text;
}

}  // namespace tarn
