// Whether the radio takes a frequency: the two receive and the two transmit ranges its
// band-limit block reports. The write check and the import both ask here.
#pragma once

#include "radio/Codecs.h"  // frequencyWordMHz, the limit comparisons' conversion

#include "radio/RadioLayout.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tarn {

class RadioImage;

// The four ranges of the band-limit block, in its order: the text form's key of the range
// ("receive 1") and its name in tarn-cli info and diff ("receive range 1").
struct LimitRange {
    layout::limits::Index low;
    layout::limits::Index high;
    std::string_view key;
    std::string_view name;
};
inline constexpr std::array<LimitRange, 4> LimitRanges{{
    {layout::limits::RxLow1, layout::limits::RxHigh1, "receive 1", "receive range 1"},
    {layout::limits::RxLow2, layout::limits::RxHigh2, "receive 2", "receive range 2"},
    {layout::limits::TxLow1, layout::limits::TxHigh1, "transmit 1", "transmit range 1"},
    {layout::limits::TxLow2, layout::limits::TxHigh2, "transmit 2", "transmit range 2"},
}};

// Whether f (MHz) lies in [low, high] with the radio's allowance of just under 1 MHz above
// high (a limit of 174 takes 174.99750).
bool insideLimit(double f, int lowMHz, int highMHz);

// Whether a frequency word lies inside one of the image's two receive (transmit) ranges. A
// new image's limits (0-9999 MHz) take every frequency.
bool WithinBandLimits(const RadioImage& image, std::uint32_t word, bool transmit);

}  // namespace tarn
