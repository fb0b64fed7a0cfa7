#include "print/ImageContent.h"

#include "radio/RadioImage.h"

namespace tarn::print {

PrintContent contentFromImage(const RadioImage& image, const std::vector<std::string>& languageStrings)
{
    PrintContent content;
    content.languageStrings = languageStrings;
    auto word = [&](int n) { return content.languageString(n); };
    const ChannelWords words{word(2), word(3), word(4), word(5), word(10), word(11), word(12), word(13)};
    // Showing a row may clear a band option the radio would refuse, as the page's load does;
    // that happens on a copy, the caller's image stays as it is.
    RadioImage shown = image;
    for (int i = 0; i < layout::ChannelCount; ++i)
        content.channels.push_back(ShowChannelRow(shown, i, words));
    return content;
}

}  // namespace tarn::print
