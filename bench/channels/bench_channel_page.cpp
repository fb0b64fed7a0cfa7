// Prints how long each whole-channel operation takes on 128 programmed channels as the user
// runs it on the channel page: the operation, the step of the history and the page's
// reload of all 128 rows (median and worst of many runs; offscreen platform unless one is
// set). Goal: each under 30 ms.
#include "bench/common/BenchImage.h"
#include "pages/ChnMsgView.h"
#include "radio/ChannelOps.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tarn;

namespace {

constexpr int Runs = 40;

struct Figure {
    double median;
    double worst;
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList strings;
    for (int n = 0; n < 512; ++n)
        strings << QStringLiteral("S%1").arg(n);
    const RadioImage full = bench::programmedImage();
    RadioImage roomAtTheEnd = full;
    ClearChannels(roomAtTheEnd, {layout::ChannelCount - 1});
    RadioImage gappy = full;
    for (int i = 0; i < layout::ChannelCount; i += 2)
        ClearChannels(gappy, {i});

    // The page as the window holds it: the history sees its rows, and it reloads with every
    // step.
    Configuration document;
    PageContext context;
    context.document = &document;
    context.languageStrings = &strings;
    context.showMessage = [](const QString&) {};
    auto* page = static_cast<CChnMsgView*>(createChannelPage(context, nullptr));
    page->setQuestion([](const QString&) { return true; });
    document.setPageStore([page](RadioImage& target) { page->storeInto(target); });
    QObject::connect(&document, &Configuration::imageReplaced, page, &CChnMsgView::LoadFromImage);
    page->show();
    QCoreApplication::processEvents();

    const std::vector<int> all = RowRange(0, layout::ChannelCount - 1);
    const QString low = page->columnItems(ColPower).value(1);
    const QString tone = page->columnItems(ColRxTone).value(10);
    FillPlan plan;
    plan.start = 44600625;
    plan.step = 625;
    plan.offset = -500000;
    const ChannelWords words = ChannelWords::fromLanguage([&](int n) { return strings.value(n).toStdString(); });

    struct Row {
        const char* name;
        const RadioImage* start;
        std::vector<int> selected;
        std::function<void()> run;
    };
    auto operation = [page](std::function<ChannelOutcome(RadioImage&)> change) {
        return [page, change] { page->applyToChannels(QStringLiteral("step"), change); };
    };
    const std::vector<Row> rows{
        {"copy 128 channels (clipboard, text)", &full, all, [&] { page->copyRows(all, false); }},
        {"paste 128 channels at 1", &full, {0}, [&] { page->pasteAt(0); }},
        {"clear 128 channels", &full, all, operation([&](RadioImage& i) { return ClearChannels(i, all); })},
        {"delete channel 1 and shift 127 up", &full, {0}, operation([](RadioImage& i) { return DeleteChannels(i, {0}); })},
        {"insert before channel 1", &roomAtTheEnd, {0}, operation([](RadioImage& i) { return InsertChannels(i, 0); })},
        {"move 1-64 to 65", &full, {}, operation([](RadioImage& i) { return MoveChannels(i, RowRange(0, 63), 64); })},
        {"drag 1-64 after 128", &full, {}, operation([](RadioImage& i) { return MoveChannelsBefore(i, RowRange(0, 63), 128); })},
        {"move up 2-128", &full, {}, operation([](RadioImage& i) { return MoveChannelsUp(i, RowRange(1, 127)); })},
        {"move down 1-127", &full, {}, operation([](RadioImage& i) { return MoveChannelsDown(i, RowRange(0, 126)); })},
        {"sort 128 by receive frequency", &full, {}, operation([&](RadioImage& i) { return SortChannels(i, all, SortKey::ReceiveFrequency); })},
        {"sort 128 by name", &full, {}, operation([&](RadioImage& i) { return SortChannels(i, all, SortKey::Name); })},
        {"sort 128 by receive tone", &full, {}, operation([&](RadioImage& i) { return SortChannels(i, all, SortKey::ReceiveTone); })},
        {"pack 64 channels with 64 gaps", &gappy, {}, operation([](RadioImage& i) { return PackChannels(i); })},
        {"fill 128 frequencies with an offset", &full, {}, operation([&](RadioImage& i) { return FillFrequencies(i, all, plan, words); })},
        {"set power for 128 channels", &full, all, [&] { page->setColumnForRows(ColPower, low); }},
        {"set receive tone for 128 channels", &full, all, [&] { page->setColumnForRows(ColRxTone, tone); }},
    };

    std::printf("Whole-channel operations on the channel page, 128 programmed channels, the page's reload\n"
                "included, %d runs each (ms)\n",
                Runs);
    std::printf("%-44s %10s %10s\n", "operation", "median", "worst");
    // The clipboard holds the 128 channels for the paste.
    page->copyRows(all, false);
    for (const Row& row : rows) {
        std::vector<double> ms;
        for (int run = 0; run < Runs; ++run) {
            document.image() = *row.start;
            page->LoadFromImage();
            document.startHistory();
            page->selectRows(row.selected);
            QCoreApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            row.run();
            QCoreApplication::processEvents();  // the list repaints
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-44s %10.2f %10.2f\n", row.name, ms[ms.size() / 2], ms.back());
    }
    delete page;
    return 0;
}
