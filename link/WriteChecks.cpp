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

std::uint32_t frequencyAt(const std::uint8_t* field)
{
    return readLe32(field);
}

}  // namespace

double frequencyWordMHz(std::uint32_t word)
{
    auto digit = [word](int k) { return static_cast<double>((word >> (4 * k)) & 0xF); };
    return 100 * digit(7) + 10 * digit(6) + digit(5) + digit(4) / 10 + digit(3) / 100
        + digit(2) / 1000 + digit(1) / 10000 + digit(0) / 100000;
}

bool insideLimit(double f, int lowMHz, int highMHz)
{
    return lowMHz <= f && f <= highMHz + 0.9975;
}

BandLimitVerdict bandLimitCheck(const RadioImage& image, const LanguageText& text)
{
    using namespace limits;
    auto acceptable = [&image](std::uint32_t word, Index low1, Index high1, Index low2, Index high2) {
        const double f = frequencyWordMHz(word);
        return insideLimit(f, image.bandLimitMHz(low1), image.bandLimitMHz(high1))
            || insideLimit(f, image.bandLimitMHz(low2), image.bandLimitMHz(high2));
    };
    auto rxRejected = [&](std::uint32_t word) {
        return IsBcdFrequency(word) && !acceptable(word, RxLow1, RxHigh1, RxLow2, RxHigh2);
    };
    auto txRejected = [&](std::uint32_t word) {
        return IsBcdFrequency(word) && !acceptable(word, TxLow1, TxHigh1, TxLow2, TxHigh2);
    };
    auto fail = [](std::string message) { return BandLimitVerdict{false, std::move(message)}; };

    for (int i = 0; i < ChannelCount; ++i) {
        const auto slot = image.channelSlot(i);
        if (rxRejected(frequencyAt(slot.data() + channel::RxFrequency))
            || txRejected(frequencyAt(slot.data() + channel::TxFrequency)))
            return fail(text(ChannelText) + " " + std::to_string(i + 1) + " " + text(OutOfRangeText));
    }
    if (rxRejected(frequencyAt(image.bandRecord(Band::A).data() + vfo::RxFrequency)))
        return fail(text(BandText) + " A " + text(OutOfRangeText));
    if (rxRejected(frequencyAt(image.bandRecord(Band::B).data() + vfo::RxFrequency)))
        return fail(text(BandText) + " B " + text(OutOfRangeText));
    return {};
}

}  // namespace tarn
