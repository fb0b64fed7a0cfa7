// The YAML text form import over any text: a refused text leaves the image as it was and
// says where it failed; an accepted one gives an image whose own export reads back onto
// it unchanged.
#include "exchange/TextForm.h"
#include "radio/RadioImage.h"

#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    tarn::RadioImage image;
    image.resetToDefaults();
    const tarn::RadioImage before = image;
    const tarn::TextFormResult result = tarn::ImportTextForm(text, image);
    if (!result.ok) {
        if (result.error.empty() || !(image == before))
            std::abort();
        return 0;
    }
    const tarn::RadioImage imported = image;
    const tarn::TextFormResult again = tarn::ImportTextForm(tarn::ExportTextForm(imported), image);
    if (!again.ok || !(image == imported))
        std::abort();
    return 0;
}
