// The channel row rules over any stored channel bytes and any cell texts: a row is shown,
// edited and stored back without touching any other channel, and a stored name is clean.
#include "FuzzInput.h"
#include "radio/ChannelRecord.h"
#include "radio/RadioImage.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    tarn::RadioImage image;
    const int channel = in.byte() % tarn::layout::ChannelCount;
    const int mode = in.byte() % 3;
    in.take(image.channelSlot(channel).data(), tarn::layout::ChannelSlotSize);
    in.take(image.extensionSlot(channel).data(), tarn::layout::ChannelSlotSize);
    const tarn::RadioImage before = image;

    const tarn::ChannelWords words{"High", "Low", "Four", "Five", "Narrow", "Wide", "OFF", "ON"};
    tarn::ChannelRow row = tarn::ShowChannelRow(image, channel, words);
    for (int c = tarn::ColRxFrequency; c < tarn::ChannelColumnCount; ++c) {
        std::string text = in.line();
        if (!text.empty())
            row[c] = text;
    }
    if (!tarn::IsAcceptableFrequencyText(row[tarn::ColRxFrequency]))
        row[tarn::ColRxFrequency].clear();
    row[tarn::ColName] = tarn::FilterNameText(row[tarn::ColName]);
    if (row[tarn::ColName].size() > tarn::NameTextMax)
        std::abort();
    tarn::ApplyFrequencyEdit(row, static_cast<tarn::FrequencyEditMode>(mode), words);
    tarn::StoreChannelRow(image, channel, row, words);
    (void)tarn::ShowChannelRow(image, channel, words);

    // Only this channel's two slots may have changed.
    for (int i = 0; i < tarn::layout::ChannelCount; ++i) {
        if (i == channel)
            continue;
        if (!std::equal(image.channelSlot(i).begin(), image.channelSlot(i).end(), before.channelSlot(i).begin())
            || !std::equal(image.extensionSlot(i).begin(), image.extensionSlot(i).end(),
                           before.extensionSlot(i).begin()))
            std::abort();
    }
    return 0;
}
