// The configuration loader over any file contents: it either refuses the file, leaving the
// image as it was, or fills the image from the body without touching the scratch block.
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::uint8_t none = 0;
    tarn::RadioImage image;
    const tarn::RadioImage before = image;
    const tarn::FileOutcome outcome = tarn::loadConfigurationBytes(data ? data : &none, size, image);
    if (outcome == tarn::FileOutcome::NotTarnFile && !(image == before))
        std::abort();
    if (std::memcmp(image.data() + tarn::layout::FileBodyLoaded, before.data() + tarn::layout::FileBodyLoaded,
                    tarn::RadioImage::Size - tarn::layout::FileBodyLoaded) != 0)
        std::abort();
    // Whatever came in, every channel can be shown.
    for (int i = 0; i < tarn::layout::ChannelCount; ++i)
        (void)image.channelInUse(i);
    return 0;
}
