// Prints how long the channel page takes to load 128 programmed channels from the image
// and to store them back (offscreen platform unless one is set).
#include "pages/ChnMsgView.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarn;
namespace ch = layout::channel;

namespace {

void programAll(RadioImage& image)
{
    for (int i = 0; i < layout::ChannelCount; ++i) {
        std::uint8_t* p = image.channelSlot(i).data();
        const std::uint32_t f = i % 2 ? 0x43602500 : 0x14600625;
        writeLe32(p + ch::RxFrequency, f);
        writeLe32(p + ch::TxFrequency, f);
        writeLe16(p + ch::RxTone, 0x029E);
        writeLe16(p + ch::TxTone, 0xA9EC);
        writeLe16(p + ch::OptionsA, 0x7008);
        writeLe16(p + ch::OptionsB, 0x1000);
        for (int k = 0; k < 6; ++k)
            image.extensionSlot(i)[k] = static_cast<std::uint8_t>((i + k) % 36);
    }
}

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList strings;
    for (int n = 0; n < 148; ++n)
        strings << QStringLiteral("S%1").arg(n);
    RadioImage image;
    programAll(image);
    PageContext context;
    context.image = &image;
    context.languageStrings = &strings;
    context.showMessage = [](const QString&) {};

    PageView* page = createChannelPage(context, nullptr);
    page->show();
    QCoreApplication::processEvents();

    constexpr int Runs = 50;
    std::vector<double> load, store;
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        programAll(image);
        timer.start();
        page->LoadFromImage();
        QCoreApplication::processEvents();
        load.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        page->StoreToImage();
        QCoreApplication::processEvents();
        store.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("channel page, 128 programmed channels, %d runs (median / max)\n", Runs);
    std::printf("LoadFromImage: %.2f ms / %.2f ms\n", medianMs(load), *std::max_element(load.begin(), load.end()));
    std::printf("StoreToImage:  %.2f ms / %.2f ms\n", medianMs(store), *std::max_element(store.begin(), store.end()));
    delete page;
    return 0;
}
