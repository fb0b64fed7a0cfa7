// The text a transfer's result code is shown with, built from the language strings, and
// where the transfer went (port and device); the window's message dialog and tarn-cli print
// the same texts.
#pragma once

#include "link/TransferListener.h"
#include "radio/LanguageText.h"

#include <string>

namespace tarn {

struct TransferPorts;

// Whether `code` is one of the five results (TransferResult).
bool IsTransferResult(TransferResult code);
// "no radio", or "read"/"write" followed by "failed"/"succeeded"; empty for any other code.
std::string TransferResultText(TransferResult code, const LanguageText& text);

// "COM3 (/dev/ttyUSB1)"; "COM3" alone when there is no device or the device is the port
// itself (Windows).
std::string PortDisplayName(int port, const std::string& device);
// Where the transfer with result `code` went: "Radio on COM3 (/dev/ttyUSB1)" once a radio
// answered ("The radio answered on ..." when it then failed identification); with no radio
// on a port tried alone, that port; empty when a scan of every port found nothing.
std::string TransferPortText(TransferResult code, const TransferPorts& ports, const LanguageText& text);
// The result text as above (and the cancelled result), then on its own line where it went.
std::string TransferResultText(TransferResult code, const TransferPorts& ports, const LanguageText& text);
// The question before writing to (or verifying) a radio that answered on another port than
// the configuration's: "The radio answered on COM2 (...) instead of the configuration's port
// COM1 (...). Go on with this radio?"
std::string OtherPortQuestion(const TransferPorts& ports, const LanguageText& text);

}  // namespace tarn
