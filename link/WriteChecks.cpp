#include "link/WriteChecks.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/RadioImage.h"

namespace tarn {

using namespace layout;

namespace {

// Language strings of the messages: the channel word, the current-frequency (VFO) word and
// the out-of-range phrase.
constexpr int ChannelText = 1;
constexpr int BandText = 74;
constexpr int OutOfRangeText = 113;

// Language strings of the refusal's detail lines.
constexpr int ReceiveFrequencyText = 349;
constexpr int TransmitFrequencyText = 350;
constexpr int RadioReceivesText = 351;
constexpr int RadioTransmitsText = 352;
constexpr int AndText = 353;
constexpr int MegahertzEndText = 354;
constexpr int ChangeOnChannelPageText = 355;
constexpr int ChangeInOptionsText = 356;
constexpr int BandAText = 72;
constexpr int BandBText = 73;

std::uint32_t frequencyAt(const std::uint8_t* field)
{
    return readLe32(field);
}

}  // namespace

namespace {

// "136-174 and 400-480": the two ranges the radio reports for receiving or transmitting;
// one range when both are the same.
std::string rangesText(const RadioImage& image, limits::Index low1, limits::Index high1, limits::Index low2,
                       limits::Index high2, const LanguageText& text)
{
    auto range = [&image](limits::Index low, limits::Index high) {
        return std::to_string(image.bandLimitMHz(low)) + "-" + std::to_string(image.bandLimitMHz(high));
    };
    const std::string first = range(low1, high1);
    const std::string second = range(low2, high2);
    return first == second ? first : first + text(AndText) + second;
}

// The lines that follow the refusal: the value against the radio's limits, where to change it.
std::vector<std::string> refusalDetail(const RadioImage& image, const BandLimitVerdict& verdict,
                                       const LanguageText& text)
{
    using namespace limits;
    std::string value;
    FrequencyToText(verdict.frequency, value);
    const std::string limitsLine = verdict.transmit
        ? text(TransmitFrequencyText) + value + text(RadioTransmitsText)
            + rangesText(image, TxLow1, TxHigh1, TxLow2, TxHigh2, text) + text(MegahertzEndText)
        : text(ReceiveFrequencyText) + value + text(RadioReceivesText)
            + rangesText(image, RxLow1, RxHigh1, RxLow2, RxHigh2, text) + text(MegahertzEndText);
    if (verdict.place == LimitPlace::Channel)
        return {limitsLine, text(ChangeOnChannelPageText) + std::to_string(verdict.channel)};
    return {limitsLine, text(ChangeInOptionsText) + text(verdict.place == LimitPlace::BandA ? BandAText : BandBText)
                            + ", " + text(BandText)};
}

}  // namespace

BandLimitVerdict bandLimitCheck(const RadioImage& image, const LanguageText& text)
{
    auto rxRejected = [&](std::uint32_t word) { return IsBcdFrequency(word) && !WithinBandLimits(image, word, false); };
    auto txRejected = [&](std::uint32_t word) { return IsBcdFrequency(word) && !WithinBandLimits(image, word, true); };
    auto fail = [&](std::string message, LimitPlace place, int channel, bool transmit, std::uint32_t word) {
        BandLimitVerdict verdict;
        verdict.pass = false;
        verdict.message = std::move(message);
        verdict.place = place;
        verdict.channel = channel;
        verdict.transmit = transmit;
        verdict.frequency = word;
        verdict.detail = refusalDetail(image, verdict, text);
        return verdict;
    };

    for (int i = 0; i < ChannelCount; ++i) {
        const auto slot = image.channelSlot(i);
        const std::uint32_t rx = frequencyAt(slot.data() + channel::RxFrequency);
        const std::uint32_t tx = frequencyAt(slot.data() + channel::TxFrequency);
        const bool rxOut = rxRejected(rx);
        if (rxOut || txRejected(tx))
            return fail(text(ChannelText) + " " + std::to_string(i + 1) + " " + text(OutOfRangeText),
                        LimitPlace::Channel, i + 1, !rxOut, rxOut ? rx : tx);
    }
    const std::uint32_t bandA = frequencyAt(image.bandRecord(Band::A).data() + vfo::RxFrequency);
    if (rxRejected(bandA))
        return fail(text(BandText) + " A " + text(OutOfRangeText), LimitPlace::BandA, 0, false, bandA);
    const std::uint32_t bandB = frequencyAt(image.bandRecord(Band::B).data() + vfo::RxFrequency);
    if (rxRejected(bandB))
        return fail(text(BandText) + " B " + text(OutOfRangeText), LimitPlace::BandB, 0, false, bandB);
    return {};
}

}  // namespace tarn
