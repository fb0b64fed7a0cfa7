// The configuration the benchmarks start from: 128 programmed channels out of
// every order.
#pragma once

#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/RadioImage.h"

#include <string>

namespace tarn::bench {

// 128 channels out of every order: frequencies, names and tones all differ from channel to
// channel, so every sort really moves them.
inline RadioImage programmedImage()
{
    RadioImage image;
    for (int i = 0; i < layout::ChannelCount; ++i) {
        const int k = (i * 37) % layout::ChannelCount;
        std::uint8_t* p = image.channelSlot(i).data();
        std::string text = "4" + std::to_string(30 + k / 10) + "." + std::to_string(k % 10) + "2500";
        const std::uint32_t f = TextToFrequency(text, true);
        writeLe32(p + layout::channel::RxFrequency, f);
        writeLe32(p + layout::channel::TxFrequency, f);
        const auto& tones = ToneTexts();
        writeLe16(p + layout::channel::RxTone, ToneTextToCode(std::string(tones[k % tones.size()]), true, "OFF"));
        writeLe16(p + layout::channel::TxTone, NoTone);
        writeLe16(p + layout::channel::OptionsA, 0x6000);
        writeLe16(p + layout::channel::OptionsB, 0x0000);
        StoreChannelName(image.extensionSlot(i), "C" + std::to_string(k));
    }
    image.functionData()[layout::functions::CurrentChannelA] = 5;
    image.functionData()[layout::functions::CurrentChannelB] = 100;
    return image;
}

}  // namespace tarn::bench
