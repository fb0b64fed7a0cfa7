// Whether the radio takes a frequency: the two receive and the two transmit ranges its
// band-limit block reports. The write check and the import both ask here.
#pragma once

#include <cstdint>

namespace tarn {

class RadioImage;

// A frequency word in MHz, summed digit by digit in double precision (the order the limit
// comparisons were made with, so a frequency on a limit stays on the same side).
double frequencyWordMHz(std::uint32_t word);

// Whether f (MHz) lies in [low, high] with the radio's allowance of just under 1 MHz above
// high (a limit of 174 takes 174.99750).
bool insideLimit(double f, int lowMHz, int highMHz);

// Whether a frequency word lies inside one of the image's two receive (transmit) ranges. A
// new image's limits (0-9999 MHz) take every frequency.
bool WithinBandLimits(const RadioImage& image, std::uint32_t word, bool transmit);

}  // namespace tarn
