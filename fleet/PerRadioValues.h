// Per-radio values: a CSV file with a header row and one row per radio, for what differs
// between otherwise identical radios (the start-up text, the DTMF ID).
#pragma once

#include "radio/RadioImage.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarn {

struct RadioValues {
    int line = 0;  // the file line the row starts on
    int port = 0;  // the port the row is for; 0 when it names none
    // Setting key and text, in column order; an empty cell keeps the configuration's value
    // and is left out.
    std::vector<std::pair<std::string, std::string>> settings;
    std::string problem;  // why the row cannot be used, "line 4: ..."; empty when it can
};

// The file as read. The column "port" matches a row to a port; every other column is a
// setting named by its key in the text form ("port,startupText,localId"), and its cells hold
// values as the text form writes them.
struct PerRadioValues {
    // Why no row can be used (no header, an unknown column), "line 1: ..."; empty when rows can.
    std::string problem;
    bool hasPortColumn = false;
    std::vector<RadioValues> rows;

    // The row for `port`; null with the reason in `why` when no row, or more than one, names it.
    const RadioValues* rowForPort(int port, std::string* why) const;
    // Row `index` (0-based) of the file, for radios taken one after another; null with the
    // reason when the file has no such row.
    const RadioValues* rowAt(std::size_t index, std::string* why) const;
};

// Reads the file's text; never throws. Cells are read as the CSV import reads them.
PerRadioValues ReadPerRadioValues(std::string_view text);

// Puts the row's values into `image`, each by the text form's rule for its setting. False
// with "line 3: localId: ..." in `why` (the image then unchanged) when a value is refused.
bool ApplyRadioValues(const RadioValues& row, RadioImage& image, std::string* why);

// The row as the log and the summary show it: "startupText=CLUB01;localId=101".
std::string RadioValuesText(const RadioValues& row);

}  // namespace tarn
