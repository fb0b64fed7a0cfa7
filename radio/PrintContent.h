// What a printout shows: the texts of the three pages at one moment (the channel list's
// cells, the optional functions page's controls, the side-key text) with the language
// strings around them. The pages hand it out read-only; tarn-cli builds it from a file.
#pragma once

#include "radio/ChannelRecord.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

// One setting of the optional functions page as its control shows it at that moment.
struct ControlState {
    std::string text;    // edit text, or the selected entry's text
    int selection = -1;  // drop-down lists: the selected index, -1 for none
    bool checked = false;  // check boxes
};

struct PrintContent {
    std::vector<std::string> languageStrings;  // UTF-8, by language string number
    std::vector<ChannelRow> channels;          // the channel list's rows, row i = channel i + 1
    // By the setting's stable key ("timeOut", "bandA.frequency").
    std::map<std::string, ControlState, std::less<>> options;
    std::string sideKeyText;                   // the key settings page's side-key list text

    std::string languageString(int n) const
    {
        return n >= 0 && n < static_cast<int>(languageStrings.size())
            ? languageStrings[static_cast<std::size_t>(n)] : std::string();
    }
    ControlState option(std::string_view key) const
    {
        const auto it = options.find(key);
        return it == options.end() ? ControlState{} : it->second;
    }
};

}  // namespace tarn
