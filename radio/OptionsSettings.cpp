#include "radio/OptionsSettings.h"
#include "radio/LanguageStrings.h"

namespace tarn {

using namespace settings;

bool IsOptionsPageField(const Field& field)
{
    return field.section == Section::General || field.section == Section::Hidden;
}

OptionsValues LoadOptions(const RadioImage& image, const std::string& offText)
{
    OptionsValues values;
    for (const Field& field : Fields())
        values.fields.push_back(IsOptionsPageField(field) ? LoadField(image, field) : FieldValue{});
    values.band(Band::A) = LoadBand(image, Band::A, offText);
    values.band(Band::B) = LoadBand(image, Band::B, offText);
    return values;
}

StoreNotices StoreOptions(RadioImage& image, OptionsValues& values, const std::string& offText)
{
    StoreNotices notices;
    const auto& fields = Fields();
    for (std::size_t i = 0; i < fields.size() && i < values.fields.size(); ++i)
        if (IsOptionsPageField(fields[i]) && StoreField(image, fields[i], values.fields[i]))
            notices.passwordPadded = true;
    for (Band band : {Band::A, Band::B})
        if (StoreBand(image, band, values.band(band), offText))
            notices.bandLimitCleared = true;
    return notices;
}

std::string NoticeText(const StoreNotices& notices, const LanguageText& text)
{
    std::string message;
    if (notices.passwordPadded)
        message += text(115);
    if (notices.bandLimitCleared)
        message += text(strings::BandOptionCleared);
    return message;
}

std::vector<SettingText> SettingsTexts(const RadioImage& image, const LanguageText& text)
{
    const std::string offText = text(strings::Off);
    const OptionsValues values = LoadOptions(image, offText);
    const auto& fields = Fields();
    std::vector<SettingText> texts;
    auto addFields = [&](Section section) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].section != section)
                continue;
            const FieldValue value = section == Section::Keys ? LoadField(image, fields[i]) : values.fields[i];
            texts.push_back({std::string(fields[i].key), section, text(fields[i].label),
                             FieldValueText(fields[i], value, text)});
        }
    };
    addFields(Section::General);
    addFields(Section::Hidden);
    for (Band band : {Band::A, Band::B}) {
        const bool a = band == Band::A;
        for (const BandField& field : BandFields())
            texts.push_back({BandSettingKey(band, field.key),
                             a ? Section::BandA : Section::BandB, text(a ? field.labelA : field.labelB),
                             BandFieldText(values.band(band), field.id, text)});
    }
    addFields(Section::Keys);
    return texts;
}

}  // namespace tarn
