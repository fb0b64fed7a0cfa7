// The channel CSV import over any text, all or nothing and with bad rows skipped: a refused
// import leaves the image as it was, every channel it names is one of 1-128, and the
// image's own export reads back onto it without a problem and without a change.
#include "exchange/ChannelCsv.h"
#include "radio/RadioImage.h"

#include <cstdlib>
#include <string_view>

namespace {

void importOnto(std::string_view text, bool skipBad)
{
    tarn::RadioImage image;
    image.resetToDefaults();
    const tarn::RadioImage before = image;
    const tarn::CsvImportResult result = tarn::ImportChannelsCsv(text, image, skipBad);
    if (!result.applied && !(image == before))
        std::abort();
    if (result.applied && result.channels.empty())
        std::abort();
    for (int channel : result.channels)
        if (channel < 1 || channel > tarn::layout::ChannelCount)
            std::abort();
    for (const tarn::CsvProblem& problem : result.problems)
        if (problem.line < 0 || problem.reason.empty())
            std::abort();

    const tarn::RadioImage imported = image;
    const tarn::CsvImportResult again = tarn::ImportChannelsCsv(tarn::ExportChannelsCsv(imported), image, false);
    if (!again.problems.empty() || !(image == imported))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    importOnto(text, false);
    importOnto(text, true);
    return 0;
}
