// The language strings of tarn-cli: one column of lang.csv (the desktop program's table and
// its default column), for the texts the window would show: results, check messages, option
// choices.
#pragma once

#include "cli/Commands.h"
#include "link/TransferListener.h"
#include "link/WriteChecks.h"

#include <string>
#include <vector>

namespace tarn::cli {

inline const CommandOption LangOption{"--lang", "N",
    "Language column N of lang.csv (0 Simplified Chinese, 1 Traditional Chinese, 2 English; default 2)."};

class CliLanguage {
public:
    // Loads the column given by --lang (or the default). False, with the reason in `error`,
    // when the option is not a column the table holds.
    bool load(const Invocation& call, std::string* error);

    // Language string n, UTF-8; empty outside 0 to 147 or where the table has nothing.
    std::string text(int n) const;
    LanguageText function() const;

    // The text the window shows for a transfer result code.
    std::string resultText(TransferResult code) const;

private:
    std::vector<std::string> m_strings;
};

// Columns on a terminal: East Asian wide characters take two.
int displayWidth(const std::string& utf8);
// `utf8` followed by blanks up to `width` columns (at least one blank after it).
std::string padded(const std::string& utf8, int width);

}  // namespace tarn::cli
