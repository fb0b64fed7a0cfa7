// The text a transfer's result code is shown with, built from the language strings; the
// window's message dialog and tarn-cli print the same text.
#pragma once

#include "radio/LanguageText.h"

#include <string>

namespace tarn {

// Whether `code` is one of the five results (TransferResult).
bool IsTransferResult(int code);
// "no radio", or "read"/"write" followed by "failed"/"succeeded"; empty for any other code.
std::string TransferResultText(int code, const LanguageText& text);

}  // namespace tarn
