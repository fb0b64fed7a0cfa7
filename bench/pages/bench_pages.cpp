// Prints how long the channel page takes to load 128 programmed channels from the image
// and to store them back, and how long the optional functions page takes to open (both
// offset lists at 2.5 kHz), to change a step, to load and to store (offscreen platform
// unless one is set).
#include "bench/common/BenchFigures.h"
#include "bench/common/BenchImage.h"
#include "pages/ChnMsgView.h"
#include "pages/ChoiceFunView.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarn;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QStringList strings;
    for (int n = 0; n < 148; ++n)
        strings << QStringLiteral("S%1").arg(n);
    tarn::Configuration document;
    RadioImage& image = document.image();
    image = bench::programmedImage();
    PageContext context;
    context.document = &document;
    context.languageStrings = &strings;
    context.showMessage = [](const QString&) {};

    PageView* page = createChannelPage(context, nullptr);
    page->show();
    QCoreApplication::processEvents();

    constexpr int Runs = 50;
    std::vector<double> load, store;
    QElapsedTimer timer;
    for (int run = 0; run < Runs; ++run) {
        image = bench::programmedImage();
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
    std::printf("LoadFromImage: %.2f ms / %.2f ms\n", bench::median(load), *std::max_element(load.begin(), load.end()));
    std::printf("StoreToImage:  %.2f ms / %.2f ms\n", bench::median(store), *std::max_element(store.begin(), store.end()));
    delete page;

    // The optional functions page: both bands at 2.5 kHz, 28000 offsets each.
    image.functionData()[layout::functions::StepA] = 0;
    image.functionData()[layout::functions::StepB] = 0;
    std::vector<double> open, step, optionsLoad, optionsStore;
    for (int run = 0; run < Runs; ++run) {
        timer.start();
        auto* options = new CChoiceFunView(context, nullptr);
        options->show();
        QCoreApplication::processEvents();
        open.push_back(timer.nsecsElapsed() / 1e6);

        auto* stepList = qobject_cast<QComboBox*>(options->control(1008));
        const int next = run % 2 ? 0 : 4;
        timer.start();
        stepList->setCurrentIndex(next);
        emit stepList->activated(next);
        QCoreApplication::processEvents();
        step.push_back(timer.nsecsElapsed() / 1e6);
        stepList->setCurrentIndex(0);
        emit stepList->activated(0);

        timer.start();
        options->LoadFromImage();
        QCoreApplication::processEvents();
        optionsLoad.push_back(timer.nsecsElapsed() / 1e6);
        timer.start();
        options->StoreToImage();
        QCoreApplication::processEvents();
        optionsStore.push_back(timer.nsecsElapsed() / 1e6);
        delete options;
    }
    auto print = [](const char* name, const std::vector<double>& v) {
        std::printf("%s %.2f ms / %.2f ms\n", name, bench::median(v), *std::max_element(v.begin(), v.end()));
    };
    std::printf("optional functions page, both offset lists at 2.5 kHz, %d runs (median / max)\n", Runs);
    print("Open (initial update):", open);
    print("Step change:          ", step);
    print("LoadFromImage:        ", optionsLoad);
    print("StoreToImage:         ", optionsStore);
    return 0;
}
