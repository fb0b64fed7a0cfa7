// The printout of a configuration without a window: the same texts the pages would show
// after opening the image, through the same row and settings rules the pages use.
#pragma once

#include "radio/PrintContent.h"

namespace tarn {
class RadioImage;
}

namespace tarn::print {

// `languageStrings`: UTF-8, by language string number.
PrintContent contentFromImage(const RadioImage& image, const std::vector<std::string>& languageStrings);

}  // namespace tarn::print
