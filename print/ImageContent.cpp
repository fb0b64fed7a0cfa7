#include "print/ImageContent.h"

#include "radio/OptionsSettings.h"
#include "radio/RadioImage.h"
#include "radio/LanguageStrings.h"

namespace tarn::print {

namespace {

// The list selections the printout reads as numbers: the squelch level and the step.
int bandSelection(const BandSettings& band, BandFieldId id)
{
    switch (id) {
    case BandFieldId::Squelch: return band.squelch;
    case BandFieldId::Step: return band.step;
    default: return -1;
    }
}

}  // namespace

PrintContent contentFromImage(const RadioImage& image, const std::vector<std::string>& languageStrings)
{
    PrintContent content;
    content.languageStrings = languageStrings;
    const LanguageText text = [&content](int n) { return content.languageString(n); };
    const ChannelWords words = ChannelWords::fromLanguage(text);
    for (int i = 0; i < layout::ChannelCount; ++i)
        content.channels.push_back(ChannelRowTexts(image, i, words));

    // The optional functions page and the key page as they show after a load.
    const OptionsValues values = LoadOptions(image, text(strings::Off));
    const std::vector<settings::Field>& fields = settings::Fields();
    for (std::size_t k = 0; k < fields.size(); ++k) {
        const settings::Field& field = fields[k];
        if (field.section == settings::Section::Keys) {
            content.sideKeyText = settings::FieldValueText(field, settings::LoadField(image, field), text);
        } else if (IsOptionsPageField(field)) {
            const settings::FieldValue& value = values.fields[k];
            content.options[std::string(field.key)] = {settings::FieldValueText(field, value, text), value.index,
                                                       settings::IsCheckRule(field.rule) && value.index == 1};
        }
    }
    for (const BandField& row : BandFields())
        for (Band band : {Band::A, Band::B}) {
            const BandSettings& value = values.band(band);
            content.options[BandSettingKey(band, row.key)] = {BandFieldText(value, row.id, text),
                                                              bandSelection(value, row.id), false};
        }
    return content;
}

}  // namespace tarn::print
