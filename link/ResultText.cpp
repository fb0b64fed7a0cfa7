#include "link/ResultText.h"

#include "link/TransferJob.h"
#include "link/TransferListener.h"
#include "link/PortRange.h"

namespace tarn {

namespace {

constexpr int NoRadioString = 33;
constexpr int ReadString = 122;
constexpr int WriteString = 123;
constexpr int FailedString = 31;
constexpr int SucceededString = 32;
constexpr int RadioOnString = 335;
constexpr int OnlyPortTriedString = 336;
constexpr int AnsweredOnString = 338;
constexpr int InsteadOfString = 339;
constexpr int GoOnString = 340;
constexpr int CancelledString = 365;

}  // namespace

bool IsTransferResult(TransferResult code)
{
    return static_cast<int>(code) >= static_cast<int>(TransferResult::NoRadio)
        && static_cast<int>(code) <= static_cast<int>(TransferResult::WriteSucceeded);
}

std::string TransferResultText(TransferResult code, const LanguageText& text)
{
    if (!IsTransferResult(code) || !text)
        return {};
    if (code == TransferResult::NoRadio)
        return text(NoRadioString);
    const bool read = code == TransferResult::ReadFailed || code == TransferResult::ReadSucceeded;
    const bool succeeded = code == TransferResult::ReadSucceeded || code == TransferResult::WriteSucceeded;
    return text(read ? ReadString : WriteString) + text(succeeded ? SucceededString : FailedString);
}

std::string PortDisplayName(int port, const std::string& device)
{
    const std::string name = PortName(port);
    // Windows names its devices after the port: "COM3" or "\\.\COM3" says nothing new.
    const bool ownName = device == name
        || (device.size() > name.size() && device.compare(device.size() - name.size(), name.size(), name) == 0
            && device[device.size() - name.size() - 1] == '\\');
    return device.empty() || ownName ? name : name + " (" + device + ")";
}

std::string TransferPortText(TransferResult code, const TransferPorts& ports, const LanguageText& text)
{
    // Something took the entry sequence there but failed identification: not "the radio".
    if (ports.answered != 0 && code == TransferResult::NoRadio)
        return text(AnsweredOnString) + PortDisplayName(ports.answered, ports.answeredDevice);
    if (ports.answered != 0)
        return text(RadioOnString) + PortDisplayName(ports.answered, ports.answeredDevice);
    if (ports.onlyStart)
        return text(OnlyPortTriedString) + PortDisplayName(ports.start, ports.startDevice);
    return {};
}

std::string TransferResultText(TransferResult code, const TransferPorts& ports, const LanguageText& text)
{
    const std::string result = code == TransferResult::TransferCancelled ? text(CancelledString) : TransferResultText(code, text);
    const std::string where = TransferPortText(code, ports, text);
    if (result.empty() || where.empty())
        return result;
    return result + "\n" + where;
}

std::string OtherPortQuestion(const TransferPorts& ports, const LanguageText& text)
{
    return text(AnsweredOnString) + PortDisplayName(ports.answered, ports.answeredDevice) + text(InsteadOfString)
        + PortDisplayName(ports.start, ports.startDevice) + text(GoOnString);
}

}  // namespace tarn
