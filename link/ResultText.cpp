#include "link/ResultText.h"

#include "link/TransferListener.h"

namespace tarn {

namespace {

constexpr int NoRadioString = 33;
constexpr int ReadString = 122;
constexpr int WriteString = 123;
constexpr int FailedString = 31;
constexpr int SucceededString = 32;

}  // namespace

bool IsTransferResult(int code)
{
    return code >= NoRadio && code <= WriteSucceeded;
}

std::string TransferResultText(int code, const LanguageText& text)
{
    if (!IsTransferResult(code) || !text)
        return {};
    if (code == NoRadio)
        return text(NoRadioString);
    const bool read = code == ReadFailed || code == ReadSucceeded;
    const bool succeeded = code == ReadSucceeded || code == WriteSucceeded;
    return text(read ? ReadString : WriteString) + text(succeeded ? SucceededString : FailedString);
}

}  // namespace tarn
