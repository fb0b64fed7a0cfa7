// Prints how long Edit > Undo and Edit > Redo take with the three pages open and 128
// programmed channels (the image put back and every open page reloaded), and how much
// memory a history of 200 steps holds (offscreen platform unless one is set).
#include "bench/common/BenchFigures.h"
#include "app/ChildFrame.h"
#include "bench/common/BenchImage.h"
#include "app/MainFrame.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarn;

namespace {

std::size_t heapInUse()
{
    return mallinfo2().uordblks;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    CMainFrame frame;
    for (int n = 0; n < CMainFrame::LanguageStringCount; ++n)
        frame.setLanguageString(n, QStringLiteral("S%1").arg(n));
    RadioImage& image = frame.image();
    image = bench::programmedImage();
    frame.document().startHistory();
    frame.resize(1280, 900);
    frame.show();
    frame.OpenChannelPage();
    frame.OpenOptionsPage();
    frame.OpenKeyPage();
    frame.OpenChannelPage();
    auto* page = static_cast<CChnMsgView*>(frame.channelFrame()->page());
    QCoreApplication::processEvents();

    // 200 steps, each a channel name typed and committed as the page does.
    const std::size_t heapBefore = heapInUse();
    const int steps = 200;
    for (int k = 0; k < steps; ++k) {
        page->list()->setCellText(k % layout::ChannelCount, ColName, QStringLiteral("N%1").arg(k));
        frame.document().recordChange(QStringLiteral("step %1").arg(k));
    }
    const std::size_t heapAfter = heapInUse();

    QAction* undo = frame.commandAction(ID_EDIT_UNDO);
    QAction* redo = frame.commandAction(ID_EDIT_REDO);
    std::vector<double> undos;
    std::vector<double> redos;
    QElapsedTimer timer;
    for (int k = 0; k < 50; ++k) {
        timer.start();
        undo->trigger();
        QCoreApplication::processEvents();  // what the pages repaint belongs to the step
        undos.push_back(timer.nsecsElapsed() / 1e6);
    }
    for (int k = 0; k < 50; ++k) {
        timer.start();
        redo->trigger();
        QCoreApplication::processEvents();
        redos.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::printf("history of %d steps: %d steps kept, %.2f MB on the heap (%.1f kB a step)\n", steps,
                int(frame.document().history()->count()), (heapAfter - heapBefore) / 1e6,
                (heapAfter - heapBefore) / 1e3 / steps);
    std::printf("undo with three pages open: median %.2f ms, worst %.2f ms\n", bench::median(undos),
                *std::max_element(undos.begin(), undos.end()));
    std::printf("redo with three pages open: median %.2f ms, worst %.2f ms\n", bench::median(redos),
                *std::max_element(redos.begin(), redos.end()));
    return 0;
}
