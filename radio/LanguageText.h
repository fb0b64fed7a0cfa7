// How the plain rules ask for a text of the user's language: language string n (0 to 147)
// in the current language, UTF-8. The window and the command-line tool each pass their own.
#pragma once

#include <functional>
#include <string>

namespace tarn {

using LanguageText = std::function<std::string(int n)>;

}  // namespace tarn
