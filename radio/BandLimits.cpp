#include "radio/BandLimits.h"

#include "radio/RadioImage.h"

namespace tarn {

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

bool WithinBandLimits(const RadioImage& image, std::uint32_t word, bool transmit)
{
    using namespace layout::limits;
    const double f = frequencyWordMHz(word);
    auto inside = [&](Index low, Index high) { return insideLimit(f, image.bandLimitMHz(low), image.bandLimitMHz(high)); };
    return transmit ? inside(TxLow1, TxHigh1) || inside(TxLow2, TxHigh2) : inside(RxLow1, RxHigh1) || inside(RxLow2, RxHigh2);
}

}  // namespace tarn
