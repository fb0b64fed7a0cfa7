// The docking bar's size arithmetic, and edge drags on a bar docked in a main window.
#include "dockbar/SizingBar.h"

#include <QLabel>
#include <QMainWindow>
#include <QtTest>

using namespace tarn;

using namespace tarn::dock;

class TestSizingBar : public QObject {
    Q_OBJECT
private slots:
    void insetPutsEdgeTowardsTheMiddle_data();
    void insetPutsEdgeTowardsTheMiddle();
    void draggedLengthIsClamped_data();
    void draggedLengthIsClamped();
    void maxSizeLeavesTheDocksAcross();
    void outlineFollowsTheEdge();
    void edgeDragResizesAndRightButtonRestores_data();
    void edgeDragResizesAndRightButtonRestores();
    void closeButtonHidesAndDoubleClickFloats();
    void liveDragFollowsTheDesktop_data();
    void liveDragFollowsTheDesktop();
};

void TestSizingBar::insetPutsEdgeTowardsTheMiddle_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QMargins>("inset");
    // Edge 5, gripper 12.
    QTest::newRow("top: gripper left, edge below") << int(DockTop) << QMargins(14, 2, 2, 7);
    QTest::newRow("left: gripper on top, edge right") << int(DockLeft) << QMargins(2, 14, 7, 6);
    QTest::newRow("right: edge left") << int(DockRight) << QMargins(7, 14, 2, 6);
    QTest::newRow("bottom: edge above") << int(DockBottom) << QMargins(14, 7, 2, 2);
    QTest::newRow("floating: none") << int(DockFloating) << QMargins();
}

void TestSizingBar::insetPutsEdgeTowardsTheMiddle()
{
    QFETCH(int, side);
    QFETCH(QMargins, inset);
    QCOMPARE(clientInset(DockSide(side), 5, 12), inset);
}

void TestSizingBar::draggedLengthIsClamped_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<int>("length");
    // Start 140 at anchor (100, 100); limits 32 and 300.
    QTest::newRow("left bar, 50 right widens") << int(DockLeft) << QPoint(150, 100) << 190;
    QTest::newRow("left bar, vertical move ignored") << int(DockLeft) << QPoint(100, 180) << 140;
    QTest::newRow("left bar stops at 32") << int(DockLeft) << QPoint(-200, 100) << 32;
    QTest::newRow("left bar stops at the maximum") << int(DockLeft) << QPoint(900, 100) << 300;
    QTest::newRow("right bar, 50 left widens") << int(DockRight) << QPoint(50, 100) << 190;
    QTest::newRow("top bar, 30 down grows") << int(DockTop) << QPoint(100, 130) << 170;
    QTest::newRow("bottom bar, 30 down shrinks") << int(DockBottom) << QPoint(100, 130) << 110;
}

void TestSizingBar::draggedLengthIsClamped()
{
    QFETCH(int, side);
    QFETCH(QPoint, pointer);
    QFETCH(int, length);
    QCOMPARE(trackedLength(140, QPoint(100, 100), pointer, DockSide(side), 32, 300), length);
}

void TestSizingBar::maxSizeLeavesTheDocksAcross()
{
    FrameSpace space;
    space.client = QSize(1000, 700);
    space.docksBefore = QSize(150, 40);
    space.docksAfter = QSize(100, 30);
    space.statusBarHeight = 20;
    // A vertical bar may take the width the left and right docks leave, plus its own.
    QCOMPARE(CalcMaxSize(space, QSize(150, 600), false).width(), 1000 - 150 - 100 - 4 + 150);
    // A horizontal bar: the height above and below it and the status bar.
    QCOMPARE(CalcMaxSize(space, QSize(900, 40), true).height(), 700 - 40 - 30 - 20 - 4 + 40);
}

void TestSizingBar::outlineFollowsTheEdge()
{
    const QRect edge(140, 50, 5, 400);
    QCOMPARE(outlineRect(edge, 30, DockLeft), QRect(169, 49, 7, 398));
    QCOMPARE(outlineRect(edge, 30, DockRight), QRect(109, 49, 7, 398));
    QCOMPARE(outlineRect(QRect(0, 100, 600, 5), -20, DockTop), QRect(-1, 79, 602, 7));
}

void TestSizingBar::edgeDragResizesAndRightButtonRestores_data()
{
    QTest::addColumn<bool>("live");
    QTest::newRow("live") << true;
    QTest::newRow("outline") << false;
}

void TestSizingBar::edgeDragResizesAndRightButtonRestores()
{
    QFETCH(bool, live);
    QMainWindow frame;
    frame.setCentralWidget(new QLabel(QStringLiteral("middle")));
    frame.resize(900, 600);
    auto* bar = new SizingBar(&frame);
    QVERIFY(bar->Create(QStringLiteral("bar"), &frame, QSize(140, 200), true, 123));
    bar->setClientWidget(new QLabel(QStringLiteral("content")));
    bar->liveDragQuery = [live] { return live; };
    frame.addDockWidget(Qt::LeftDockWidgetArea, bar);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QCOMPARE(bar->dockSide, DockLeft);
    QTRY_COMPARE(bar->width(), 140);

    QWidget* edge = bar->sizingEdge();
    QVERIFY(edge->isVisible());
    const QPoint centre = edge->rect().center();
    QTest::mousePress(edge, Qt::LeftButton, {}, centre);
    QVERIFY(bar->tracking);
    QTest::mouseMove(edge, centre + QPoint(50, 0));
    QCOMPARE(bar->vertSize.width(), 190);
    // Live, the frame follows every move; as an outline, only the release resizes.
    QTRY_COMPARE(bar->width(), live ? 190 : 140);
    QTest::mouseRelease(edge, Qt::LeftButton, {}, centre + QPoint(50, 0));
    QVERIFY(!bar->tracking);
    QTRY_COMPARE(bar->width(), 190);

    // Below the smallest size the drag stops at 32, or where the contents stop the bar
    // (here the gripper's buttons); a right button restores the size.
    const int smallest = qMax(32, bar->minimumSizeHint().width());
    QCOMPARE(bar->smallestLength(), smallest);
    const QPoint at = edge->rect().center();
    QTest::mousePress(edge, Qt::LeftButton, {}, at);
    QTest::mouseMove(edge, at - QPoint(400, 0));
    QCOMPARE(bar->vertSize.width(), smallest);
    QTest::mousePress(edge, Qt::RightButton, {}, at - QPoint(400, 0));
    QVERIFY(!bar->tracking);
    QCOMPARE(bar->vertSize.width(), 190);
    QTRY_COMPARE(bar->width(), 190);

    // Down to the smallest size and released: the bar is as wide as it asked, and the next
    // drag starts from there, its edge under the pointer.
    QTest::mousePress(edge, Qt::LeftButton, {}, at);
    QTest::mouseMove(edge, at - QPoint(400, 0));
    QTest::mouseRelease(edge, Qt::LeftButton, {}, at - QPoint(400, 0));
    QTRY_COMPARE(bar->width(), smallest);
    const QPoint from = edge->rect().center();
    QTest::mousePress(edge, Qt::LeftButton, {}, from);
    QTest::mouseMove(edge, from + QPoint(30, 0));
    QCOMPARE(bar->vertSize.width(), smallest + 30);
    QTest::mouseRelease(edge, Qt::LeftButton, {}, from + QPoint(30, 0));
    QTRY_COMPARE(bar->width(), smallest + 30);
}

void TestSizingBar::closeButtonHidesAndDoubleClickFloats()
{
    QMainWindow frame;
    frame.setCentralWidget(new QLabel(QStringLiteral("middle")));
    frame.resize(900, 600);
    auto* bar = new SizingBar(&frame);
    bar->Create(QStringLiteral("bar"), &frame, QSize(140, 200), true, 123);
    frame.addDockWidget(Qt::LeftDockWidgetArea, bar);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));

    QWidget* strip = bar->titleStrip();
    QTest::mouseDClick(strip, Qt::LeftButton, {}, QPoint(20, strip->height() / 2));
    QTRY_VERIFY(bar->isFloating());
    QCOMPARE(bar->dockSide, DockFloating);
    QVERIFY(!bar->sizingEdge()->isVisible());
    QTest::mouseDClick(strip, Qt::LeftButton, {}, QPoint(20, strip->height() / 2));
    QTRY_VERIFY(!bar->isFloating());
    QCOMPARE(bar->dockSide, DockLeft);

    const QPoint close = bar->closeRect.center() - strip->mapTo(bar, QPoint(0, 0));
    QTest::mouseClick(strip, Qt::LeftButton, {}, close);
    QVERIFY(!bar->isVisible());
    QVERIFY(!bar->toggleViewAction()->isChecked());
}

void TestSizingBar::liveDragFollowsTheDesktop_data()
{
    QTest::addColumn<QByteArray>("kwinrc");  // empty: no such file
    QTest::addColumn<bool>("live");
    QTest::newRow("no desktop setting: live") << QByteArray() << true;
    QTest::newRow("window contents shown") << QByteArray("[Windows]\nResizeMode=Opaque\n") << true;
    QTest::newRow("outline") << QByteArray("[Windows]\nResizeMode=Transparent\n") << false;
}

void TestSizingBar::liveDragFollowsTheDesktop()
{
    QFETCH(QByteArray, kwinrc);
    QFETCH(bool, live);
    QTemporaryDir config;
    if (!kwinrc.isEmpty()) {
        QFile file(config.filePath(QStringLiteral("kwinrc")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kwinrc);
    }
    const QByteArray old = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldDirs = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(config.filePath(QStringLiteral("none"))));
    const bool result = SizingBar::QueryLiveDrag();
    qputenv("XDG_CONFIG_HOME", old);
    qputenv("XDG_CONFIG_DIRS", oldDirs);
    QCOMPARE(result, live);
}

QTEST_MAIN(TestSizingBar)
#include "tst_sizing_bar.moc"
