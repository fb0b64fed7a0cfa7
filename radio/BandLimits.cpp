#include "radio/BandLimits.h"

#include "radio/RadioImage.h"

namespace tarn {

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
