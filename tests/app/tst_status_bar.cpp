// The status bar's progress indicator: shown while a transfer reports progress.
#include "app/ProgStatusBar.h"

#include <QMainWindow>
#include <QProgressBar>
#include <QtTest>

using namespace tarn;

class TestStatusBar : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void zeroWhileHiddenChangesNothing();
    void fiveThenSevenMovesWithoutHiding();
    void zeroAfterHundredHides();
    void aboveHundredShowsFull();
    void indicatorSpansTheBar();

private:
    QMainWindow* m_window = nullptr;
    CProgStatusBar* m_bar = nullptr;
    QProgressBar* progress() const { return m_bar->progressControl(); }
};

void TestStatusBar::init()
{
    m_window = new QMainWindow;
    m_bar = new CProgStatusBar(m_window);
    m_window->setStatusBar(m_bar);
    m_window->resize(800, 600);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestStatusBar::cleanup()
{
    delete m_window;
}

void TestStatusBar::zeroWhileHiddenChangesNothing()
{
    QVERIFY(!progress()->isVisible());
    m_bar->showMessage(QStringLiteral("kept"));
    m_bar->SetProgress(0);
    QVERIFY(!progress()->isVisible());
    QCOMPARE(m_bar->currentMessage(), QStringLiteral("kept"));
}

void TestStatusBar::fiveThenSevenMovesWithoutHiding()
{
    int hides = 0;
    struct Watch : QObject {
        int* hides;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Hide)
                ++*hides;
            return false;
        }
    } watch;
    watch.hides = &hides;
    progress()->installEventFilter(&watch);
    m_bar->SetProgress(5);
    QVERIFY(progress()->isVisible());
    QCOMPARE(progress()->value(), 5);
    m_bar->SetProgress(7);
    QVERIFY(progress()->isVisible());
    QCOMPARE(progress()->value(), 7);
    QCOMPARE(hides, 0);
}

void TestStatusBar::zeroAfterHundredHides()
{
    m_bar->SetProgress(100);
    QVERIFY(progress()->isVisible());
    m_bar->SetProgress(0);
    QVERIFY(!progress()->isVisible());
}

void TestStatusBar::aboveHundredShowsFull()
{
    m_bar->SetProgress(250);
    QCOMPARE(progress()->value(), 100);
    m_bar->SetProgress(0xFFFFFFFFu);
    QCOMPARE(progress()->value(), 100);
}

void TestStatusBar::indicatorSpansTheBar()
{
    m_bar->SetProgress(50);
    m_window->resize(1000, 600);
    QApplication::processEvents();
    // The indicator takes the width the bar's single part has (all but margins and grip).
    QVERIFY(progress()->width() > m_bar->width() * 9 / 10);
}

QTEST_MAIN(TestStatusBar)
#include "tst_status_bar.moc"
