// Where the optional functions page and the key settings page put each setting of the
// radio's settings tables: the template's control id and label id, the control's place in
// dialog units and the entries a hidden list's template preloads, by the setting's key.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarn {

struct SettingPlace {
    std::string key;    // the setting's stable key: "timeOut", "bandA.power", "sideKey"
    int control;        // id of the control in the page's template
    int labelControl;   // id of its label; 0 when the control carries its own or has none
    int x = 0;          // the control's top-left corner, dialog units (hidden controls: none)
    int y = 0;
    // A hidden list shows what its template preloads, not the entries of its setting.
    std::vector<std::string> templateEntries;
};

// Every setting the two pages show or keep hidden: the general and hidden settings, the
// A band, the B band, the side key.
const std::vector<SettingPlace>& SettingPlaces();
// The place of the setting with this key, or nullptr.
const SettingPlace* FindPlace(std::string_view key);
// The same for a key the table holds; an unknown key gets control id 0 at (0, 0).
const SettingPlace& PlaceOf(std::string_view key);

}  // namespace tarn
