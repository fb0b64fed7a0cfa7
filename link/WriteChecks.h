// The two checks that guard a write to the radio: the current-channel fix-up before the
// transfer starts (it lives with the channel operations, which repair the same bytes),
// and the band-limit check the window runs when the worker asks whether it may send the
// image. Pure functions over the image; the window shows the message.
#pragma once

#include "radio/BandLimits.h"  // frequencyWordMHz, insideLimit, WithinBandLimits, shared with the import
#include "radio/ChannelOps.h"  // currentChannelFixUp, shared with the channel operations
#include "radio/LanguageText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

class RadioImage;

// Where the first frequency outside the limits is, so the window can open that place.
enum class LimitPlace {
    None,     // every frequency passed
    Channel,  // a channel's receive or transmit frequency (the channel page)
    BandA,    // the A band VFO frequency (the optional functions page)
    BandB     // the B band VFO frequency
};

struct BandLimitVerdict {
    bool pass = true;
    std::string message;  // what to show when the write must stop (first offender only)
    // The rest of the refusal: the value, the radio's limits for it and where to change it,
    // one line each. Shown after `message`.
    std::vector<std::string> detail;
    LimitPlace place = LimitPlace::None;
    int channel = 0;        // 1-128 when place is Channel
    bool transmit = false;  // the channel's transmit frequency, not its receive frequency
    std::uint32_t frequency = 0;  // the frequency word refused

    // The WM_IMAGE_NOTIFY code-4 answer: 1 to go on, 0 to stop.
    int answer() const { return pass ? 1 : 0; }
};

// Every frequency the image would program (channels' receive and transmit frequencies,
// the A and B band VFO receive frequencies) against the limits in its band-limit block.
BandLimitVerdict bandLimitCheck(const RadioImage& image, const LanguageText& text);

}  // namespace tarn
