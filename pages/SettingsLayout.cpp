#include "pages/SettingsLayout.h"

#include "radio/BandSettings.h"

#include <map>

namespace tarn {

namespace {

std::vector<std::string> numberTexts(int first, int last)
{
    std::vector<std::string> texts;
    for (int v = first; v <= last; ++v)
        texts.push_back(std::to_string(v));
    return texts;
}

// A row of the two band groups: the A band's ids, the B band's, and the row's height in
// the group. Every row sits in its group's control column.
struct BandRow {
    std::string_view key;
    int controlA;
    int controlB;
    int labelControlA;
    int labelControlB;
    int y;
};
constexpr int BandControlXA = 283;
constexpr int BandControlXB = 388;

std::vector<SettingPlace> makePlaces()
{
    const std::vector<std::string> colourTemplate = {"关闭", "蓝色", "橙色", "紫色"};
    std::vector<SettingPlace> places = {
        // key, control, label control, x, y, template entries
        {"startupText", 1096, 1095, 67, 22, {}},
        {"voicePrompt", 1014, 1058, 67, 50, {}},
        {"timeOut", 1009, 1057, 67, 76, {}},
        {"timeOutAlert", 1012, 1056, 67, 102, {}},
        {"menu", 1091, 0, 13, 135, {}},
        {"startupDisplay", 1016, 1059, 67, 169, {}},
        {"powerSave", 1015, 0, 14, 187, {}},
        {"autoLock", 1021, 0, 14, 201, {}},
        {"keyLock", 1089, 0, 14, 215, {}},
        {"beep", 1020, 0, 14, 229, {}},
        {"stopwatch", 1022, 0, 14, 243, {}},
        {"tdr", 1101, 0, 14, 257, {}},
        {"vox", 1023, 1060, 180, 23, {}},
        {"scanMode", 1025, 1061, 180, 48, {}},
        {"backlight", 1030, 1062, 180, 81, {}},
        {"endTone", 1034, 1065, 180, 108, {}},
        {"modePassword", 1024, 1063, 180, 135, {}},
        {"resetPassword", 1044, 1064, 180, 161, {}},
        {"priority", 1055, 1066, 180, 187, {}},
        {"pttMode", 1094, 1100, 226, 226, {}},
        {"pttId", 1037, 1097, 388, 238, {}},
        {"localId", 1092, 1093, 226, 240, {}},
        {"dtmfSideTone", 1019, 1098, 226, 254, {}},

        {"topKey", 1029, 0, 0, 0, {"未定义", "报警"}},
        {"rxBacklight", 1031, 0, 0, 0, colourTemplate},
        {"txBacklight", 1032, 0, 0, 0, colourTemplate},
        {"callRing", 1036, 0, 0, 0, {}},
        {"ringTime", 1039, 0, 0, 0, numberTexts(0, 10)},
        {"hiddenText", 1099, 0, 0, 0, {}},
    };

    static constexpr BandRow BandRows[] = {
        {"frequency", 1026, 1027, 1069, 1070, 17},
        {"power", 1045, 1050, 1071, 1072, 31},
        {"txTone", 1046, 1051, 1073, 1074, 45},
        {"rxTone", 1047, 1052, 1075, 1076, 59},
        {"bandwidth", 1049, 1054, 1077, 1078, 73},
        {"bandLimited", 1102, 1104, 1103, 1105, 87},
        {"offsetDirection", 1040, 1042, 1079, 1080, 103},
        {"offset", 1041, 1043, 1083, 1084, 127},
        {"displayMode", 1033, 1038, 1081, 1082, 151},
        {"squelch", 1013, 1018, 1085, 1086, 178},
        {"step", 1008, 1011, 1087, 1088, 202},
        {"signalling", 1048, 1053, 0, 0, 0},
    };
    for (Band band : {Band::A, Band::B}) {
        const bool a = band == Band::A;
        for (const BandRow& row : BandRows)
            places.push_back({BandSettingKey(band, row.key), a ? row.controlA : row.controlB,
                              a ? row.labelControlA : row.labelControlB, a ? BandControlXA : BandControlXB,
                              row.y, {}});
    }

    // The key settings page: the side key's list in its group.
    places.push_back({"sideKey", 1045, 1048, 37, 110, {}});
    return places;
}

}  // namespace

const std::vector<SettingPlace>& SettingPlaces()
{
    static const std::vector<SettingPlace> places = makePlaces();
    return places;
}

const SettingPlace* FindPlace(std::string_view key)
{
    // Every control of both pages looks its place up as the page is built.
    static const std::map<std::string_view, const SettingPlace*> byKey = [] {
        std::map<std::string_view, const SettingPlace*> places;
        for (const SettingPlace& place : SettingPlaces())
            places.emplace(place.key, &place);
        return places;
    }();
    const auto it = byKey.find(key);
    return it == byKey.end() ? nullptr : it->second;
}

const SettingPlace& PlaceOf(std::string_view key)
{
    static const SettingPlace nowhere{};
    const SettingPlace* place = FindPlace(key);
    return place ? *place : nowhere;
}

}  // namespace tarn
