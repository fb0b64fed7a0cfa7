// The shell around the pages: the navigation tree, the background picture and where the
// page windows go.
#include "AppFixture.h"

#include "app/ChildFrame.h"
#include "app/ClientBackground.h"
#include "app/NavigationBar.h"
#include "app/PagePlacement.h"
#include "pages/PictureFile.h"

#include <QPainter>

using namespace tarn;

class TestNavigation : public QObject {
    Q_OBJECT
private slots:
    void treeIsRefilledOnLanguageSwitch();
    void onlyALabelPressOpensAPage_data();
    void onlyALabelPressOpensAPage();
    void pictureFallbacks_data();
    void pictureFallbacks();
    void backgroundFillsTheArea();
    void placement_data();
    void placement();
};

void TestNavigation::treeIsRefilledOnLanguageSwitch()
{
    AppFixture f;
    f.app->chooseLanguage = [](const QStringList&, int) { return std::optional<int>(1); };
    f.app->SwitchLanguage();
    NavigationTree* tree = f.frame()->navigationBar()->tree();
    QCOMPARE(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("繁0"));
    QCOMPARE(root->childCount(), 3);
    const QStringList pages{QStringLiteral("繁1"), QStringLiteral("繁27"), QStringLiteral("繁28")};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(root->child(i)->text(0), pages.at(i));
        QVERIFY(root->child(i)->isExpanded());
    }
    QVERIFY(root->isExpanded());
    QCOMPARE(tree->currentItem(), root);
    QVERIFY(f.frame()->commandAction(ID_TREE_VIEW)->isChecked());
}

void TestNavigation::onlyALabelPressOpensAPage_data()
{
    QTest::addColumn<int>("item");  // -1 root, else the page item
    QTest::addColumn<QString>("where");
    QTest::addColumn<int>("opened");  // PageKind, or -1 for none
    QTest::newRow("channel label") << 0 << "label" << int(PageKind::Channel);
    QTest::newRow("key settings label") << 2 << "label" << int(PageKind::Keys);
    QTest::newRow("root label opens nothing") << -1 << "label" << -1;
    QTest::newRow("expand button of the root") << -1 << "button" << -1;
    QTest::newRow("left of a page label") << 1 << "button" << -1;
    QTest::newRow("empty space right of a label") << 1 << "after" << -1;
}

void TestNavigation::onlyALabelPressOpensAPage()
{
    QFETCH(int, item);
    QFETCH(QString, where);
    QFETCH(int, opened);
    AppFixture f;
    CMainFrame* frame = f.frame();
    NavigationTree* tree = frame->navigationBar()->tree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QTreeWidgetItem* target = item < 0 ? root : root->child(item);
    const QRect label = tree->labelRect(target);
    QPoint at = label.center();
    if (where == QLatin1String("button"))
        at = QPoint(label.left() - tree->indentation() / 2, label.center().y());
    else if (where == QLatin1String("after"))
        at = QPoint(label.right() + 20, label.center().y());
    QVERIFY(tree->viewport()->rect().contains(at));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(f.openFrames(), opened < 0 ? 0 : 1);
    if (opened >= 0) {
        CChildFrame* page = frame->pageFrame(PageKind(opened));
        QVERIFY(page);
        // A second press on the now selected label brings the page back to the front.
        frame->OpenChannelPage();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(frame->mdiArea()->activeSubWindow(), page);
    }
}

void TestNavigation::pictureFallbacks_data()
{
    QTest::addColumn<QByteArray>("contents");  // empty: no file
    QTest::addColumn<bool>("reportMissing");
    QTest::addColumn<bool>("drawn");
    QTest::addColumn<QStringList>("messages");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    red.save(&buffer, "JPG");
    QTest::newRow("missing background: nothing said") << QByteArray() << false << false << QStringList();
    QTest::newRow("missing radio picture: said once") << QByteArray() << true << false
                                                       << QStringList{PictureFile::CannotOpenText};
    QTest::newRow("undecodable: said once") << QByteArray("not a picture") << false << false
                                            << QStringList{PictureFile::CannotDecodeText};
    QTest::newRow("a picture") << jpeg << true << true << QStringList();
}

void TestNavigation::pictureFallbacks()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, reportMissing);
    QFETCH(bool, drawn);
    QFETCH(QStringList, messages);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pic.JPG"));
    if (!contents.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }
    QStringList said;
    const auto oldLookup = PictureFile::lookup();
    const auto oldSink = PictureFile::messageSink();
    PictureFile::lookup() = [&](const QString& name) {
        return QFileInfo::exists(dir.filePath(name)) ? dir.filePath(name) : QString();
    };
    PictureFile::messageSink() = [&](QWidget*, const QString& text) { said << text; };

    PictureFile picture(QStringLiteral("pic.JPG"), reportMissing);
    QImage target(40, 30, QImage::Format_RGB32);
    target.fill(Qt::white);
    for (int paint = 0; paint < 3; ++paint) {
        QPainter painter(&target);
        QCOMPARE(picture.ShowPicture(painter, target.rect(), true, nullptr), drawn);
    }
    PictureFile::lookup() = oldLookup;
    PictureFile::messageSink() = oldSink;
    QCOMPARE(said, messages);
    if (drawn)
        QVERIFY(qRed(target.pixel(39, 29)) > 200 && qGreen(target.pixel(39, 29)) < 60);
}

void TestNavigation::backgroundFillsTheArea()
{
    ClientBackground background;
    // The shipped picture, stretched to whatever size the area has now.
    for (const QSize size : {QSize(300, 200), QSize(640, 180)}) {
        QImage shot(size, QImage::Format_RGB32);
        shot.fill(Qt::magenta);
        QPainter painter(&shot);
        QVERIFY(background.ShowPicture(QString::fromLatin1(ClientBackground::PictureName), painter, shot.rect(), true));
        painter.end();
        for (const QPoint corner : {QPoint(0, 0), QPoint(size.width() - 1, size.height() - 1)})
            QVERIFY(shot.pixel(corner) != QColor(Qt::magenta).rgb());
    }
}

void TestNavigation::placement_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QSize>("area");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("fits: stays") << QRect(20, 30, 100, 80) << QSize(400, 300) << QPoint(20, 30);
    QTest::newRow("over the right edge: moved left") << QRect(350, 30, 100, 80) << QSize(400, 300) << QPoint(300, 30);
    QTest::newRow("below: moved up") << QRect(0, 280, 100, 80) << QSize(400, 300) << QPoint(0, 220);
    QTest::newRow("larger than the area: top left") << QRect(50, 50, 500, 400) << QSize(400, 300) << QPoint(0, 0);
}

void TestNavigation::placement()
{
    QFETCH(QRect, frame);
    QFETCH(QSize, area);
    QFETCH(QPoint, placed);
    QCOMPARE(placeInside(frame, area), placed);
    // Sizes: the share of the main window, never more than the area.
    QCOMPARE(pageFrameSize(QSize(1000, 700), 43, 42, QSize(2000, 2000)), QSize(860, 588));
    QCOMPARE(pageFrameSize(QSize(1000, 700), 43, 42, area), QSize(860, 588).boundedTo(area));
    // A cascade of three keeps every window inside the area and its size where there is room.
    for (int i = 0; i < 3; ++i) {
        const QRect r = cascadeRect(i, 3, QSize(200, 150), area, 25);
        QVERIFY(QRect(QPoint(0, 0), area).contains(r));
        QCOMPARE(r.size(), QSize(200, 150));
        QCOMPARE(r.topLeft(), QPoint(25 * i, 25 * i));
    }
}

QTEST_MAIN(TestNavigation)
#include "tst_navigation.moc"
