// The value codecs over any typed text and any stored word: no text or word may crash them,
// and a text the codec accepts as a frequency is shown again as a programmed one.
#include "FuzzInput.h"
#include "radio/Codecs.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    const int step = static_cast<int>(in.byte() % 10) - 1;  // -1 to 8: outside 0-7 too
    const std::uint32_t word = in.word32();
    const std::uint16_t tone = in.word16();
    std::uint8_t digits[6] = {};
    in.take(digits, sizeof digits);
    const std::string text = in.line();
    const std::string offText = in.line();

    std::string shown;
    if (tarn::FrequencyToText(word, shown) != tarn::IsBcdFrequency(word))
        std::abort();
    (void)tarn::FrequencyToMHz(word);
    (void)tarn::InTransmitWindows(word);

    std::string typed = text.substr(0, 64);
    tarn::NormalizeFrequencyText(typed, step);
    (void)tarn::IsFrequencyText(text);
    const std::uint32_t parsed = tarn::TextToFrequency(text, true);
    if (parsed != tarn::NoFrequency && !tarn::FrequencyToText(parsed, shown))
        std::abort();

    tarn::ToneCodeToText(tone, true, shown, offText);
    (void)tarn::ToneTextToCode(text, true, offText);
    (void)tarn::ToneTextToCode(shown, true, offText);

    (void)tarn::OffsetValue(digits);
    if (step >= 0 && step < 8) {
        const int index = tarn::OffsetToIndex(digits, step);
        tarn::IndexToOffset(index, step, digits);
    }
    return 0;
}
