// The key settings page: the side key's byte through the list, and the page without its
// picture.
#include "pages/KeySetView.h"
#include "pages/PictureFile.h"
#include "radio/RadioImage.h"

#include <QComboBox>
#include <QtTest>

using namespace tarn;

namespace {

constexpr int SideKeyOffset = tarn::layout::dataOffset(tarn::layout::FunctionSettings) + 27;

QStringList languageStrings()
{
    QStringList s;
    for (int n = 0; n < 148; ++n)
        s << QStringLiteral("en%1").arg(n);
    return s;
}

}  // namespace

class TestKeyPage : public QObject {
    Q_OBJECT
private slots:
    void sideKeyByteThroughTheList_data();
    void sideKeyByteThroughTheList();
    void withoutPictureSaysSoOnceAndStillWorks();
};

void TestKeyPage::sideKeyByteThroughTheList_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("chosen");  // -1: keep what is shown
    QTest::addColumn<int>("stored");
    QTest::newRow("7 shows entry 2, stored as 2") << 7 << 2 << -1 << 2;
    QTest::newRow("choosing SOS-CH stores 3") << 0 << 0 << 3 << 3;
    QTest::newRow("255 shows entry 0") << 255 << 0 << -1 << 0;
}

void TestKeyPage::sideKeyByteThroughTheList()
{
    QFETCH(int, byte);
    QFETCH(int, shown);
    QFETCH(int, chosen);
    QFETCH(int, stored);
    const QStringList strings = languageStrings();
    tarn::Configuration document;
    tarn::RadioImage& image = document.image();
    image.resetToDefaults();
    image.bytes()[SideKeyOffset] = std::uint8_t(byte);
    const tarn::RadioImage before = image;
    PageContext context;
    context.document = &document;
    context.languageStrings = &strings;
    CKeySetView page(context);
    page.LoadFromImage();
    QComboBox* list = page.sideKeyList();
    QCOMPARE(list->count(), 5);
    QCOMPARE(list->itemText(3), QStringLiteral("SOS-CH"));
    QCOMPARE(list->itemText(4), QStringLiteral("en42"));
    QCOMPARE(list->currentIndex(), shown);
    if (chosen >= 0)
        list->setCurrentIndex(chosen);
    page.StoreToImage();
    QCOMPARE(int(image.bytes()[SideKeyOffset]), stored);
    // Nothing but the side key's byte moves.
    for (int i = 0; i < tarn::RadioImage::Size; ++i)
        if (i != SideKeyOffset)
            QCOMPARE(image.bytes()[i], before.bytes()[i]);
}

void TestKeyPage::withoutPictureSaysSoOnceAndStillWorks()
{
    const QStringList strings = languageStrings();
    tarn::Configuration document;
    tarn::RadioImage& image = document.image();
    image.resetToDefaults();
    image.bytes()[SideKeyOffset] = 1;
    PageContext context;
    context.document = &document;
    context.languageStrings = &strings;

    QStringList said;
    const auto oldLookup = PictureFile::lookup();
    const auto oldSink = PictureFile::messageSink();
    PictureFile::lookup() = [](const QString&) { return QString(); };
    PictureFile::messageSink() = [&](QWidget*, const QString& text) { said << text; };
    {
        CKeySetView page(context);
        page.resize(900, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        for (int i = 0; i < 3; ++i) {
            page.pictureFrame()->repaint();
            QCoreApplication::processEvents();
        }
        page.LoadFromImage();
        QCOMPARE(page.sideKeyList()->currentIndex(), 1);
        page.sideKeyList()->setCurrentIndex(4);
        page.StoreToImage();
    }
    PictureFile::lookup() = oldLookup;
    PictureFile::messageSink() = oldSink;
    QCOMPARE(said, QStringList{QStringLiteral("Can't   Open   Image   File!")});
    QCOMPARE(int(image.bytes()[SideKeyOffset]), 4);
}

QTEST_MAIN(TestKeyPage)
#include "tst_key_page.moc"
