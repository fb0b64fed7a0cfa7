// Prints how long each whole-channel operation takes on 128 programmed channels (median and
// worst of many runs, the image put back before each run), and the clipboard text both ways.
#include "bench/common/BenchImage.h"
#include "exchange/ChannelCsv.h"
#include "radio/Bytes.h"
#include "radio/ChannelOps.h"
#include "radio/Codecs.h"
#include "radio/RadioImage.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace tarn;

namespace {

constexpr int Runs = 200;

struct Figure {
    double median;
    double worst;
};

// Runs `operation` on a fresh copy of `start` each time; only the operation is timed.
Figure measure(const RadioImage& start, const std::function<void(RadioImage&)>& operation)
{
    std::vector<double> ms;
    for (int run = 0; run < Runs; ++run) {
        RadioImage image = start;
        const auto begin = std::chrono::steady_clock::now();
        operation(image);
        const auto end = std::chrono::steady_clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(end - begin).count());
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

}  // namespace

int main()
{
    const RadioImage full = bench::programmedImage();
    RadioImage roomAtTheEnd = full;  // an insert needs channel 128 free
    ClearChannels(roomAtTheEnd, {layout::ChannelCount - 1});
    RadioImage gappy = full;  // every other channel empty, for pack
    for (int i = 0; i < layout::ChannelCount; i += 2)
        ClearChannels(gappy, {i});

    const std::vector<int> all = RowRange(0, layout::ChannelCount - 1);
    const ChannelList copied = CopyChannels(full, all);
    const std::string clipboard = ChannelsToClipboardText(full, all);
    const ChannelWords words{"High", "Low", "No", "Yes", "OFF", "ON", "OFF", "Carrier"};
    FillPlan plan;
    plan.start = 44600625;
    plan.step = 625;  // 6.25 kHz
    plan.offset = -500000;

    struct Row {
        const char* name;
        const RadioImage* start;
        std::function<void(RadioImage&)> operation;
    };
    const std::vector<Row> rows{
        {"copy 128 channels", &full, [&](RadioImage& image) { CopyChannels(image, all); }},
        {"paste 128 channels at 1", &full, [&](RadioImage& image) { PasteChannels(image, 0, copied); }},
        {"clear 128 channels", &full, [&](RadioImage& image) { ClearChannels(image, all); }},
        {"delete channel 1 and shift 127 up", &full, [&](RadioImage& image) { DeleteChannels(image, {0}); }},
        {"delete 128 channels and shift", &full, [&](RadioImage& image) { DeleteChannels(image, all); }},
        {"insert before channel 1 (127 move down)", &roomAtTheEnd, [&](RadioImage& image) { InsertChannels(image, 0); }},
        {"move 1-64 to 65", &full, [&](RadioImage& image) { MoveChannels(image, RowRange(0, 63), 64); }},
        {"drag 1-64 after 128", &full, [&](RadioImage& image) { MoveChannelsBefore(image, RowRange(0, 63), 128); }},
        {"move up 2-128", &full, [&](RadioImage& image) { MoveChannelsUp(image, RowRange(1, 127)); }},
        {"move down 1-127", &full, [&](RadioImage& image) { MoveChannelsDown(image, RowRange(0, 126)); }},
        {"sort 128 by receive frequency", &full, [&](RadioImage& image) { SortChannels(image, all, SortKey::ReceiveFrequency); }},
        {"sort 128 by name", &full, [&](RadioImage& image) { SortChannels(image, all, SortKey::Name); }},
        {"sort 128 by receive tone", &full, [&](RadioImage& image) { SortChannels(image, all, SortKey::ReceiveTone); }},
        {"pack 64 channels with 64 gaps", &gappy, [&](RadioImage& image) { PackChannels(image); }},
        {"fill 128 frequencies with an offset", &full, [&](RadioImage& image) { FillFrequencies(image, all, plan, words); }},
        {"set power for 128 channels", &full, [&](RadioImage& image) { SetChannelColumn(image, all, ColPower, "Low", words); }},
        {"set receive tone for 128 channels", &full, [&](RadioImage& image) { SetChannelColumn(image, all, ColRxTone, "88.5", words); }},
        {"find duplicates", &full, [&](RadioImage& image) { FindDuplicates(image); }},
        {"find a text in no channel (128 rows read)", &full, [&](RadioImage& image) { FindChannelText(image, words, "zzz", 0, false); }},
        {"128 channels to clipboard text", &full, [&](RadioImage& image) { ChannelsToClipboardText(image, all); }},
        {"clipboard text to 128 channels", &full, [&](RadioImage&) { ChannelsFromClipboardText(clipboard); }},
    };

    std::printf("Whole-channel operations on 128 programmed channels, %d runs each (ms)\n", Runs);
    std::printf("%-44s %10s %10s\n", "operation", "median", "worst");
    for (const Row& row : rows) {
        const Figure figure = measure(*row.start, row.operation);
        std::printf("%-44s %10.3f %10.3f\n", row.name, figure.median, figure.worst);
    }
    // The same operations through the channel page, its reload included: bench_channel_page.
    return 0;
}
