// The optional functions page as a user drives it: refused keystrokes, the typed band
// frequency snapped when the mouse moves away, the step change, the settings notice shown
// once, and a load and store that carry every setting (hidden ones too) through the controls.
#include "pages/ChoiceFunView.h"
#include "radio/Bytes.h"
#include "radio/OptionsSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>

#include <memory>
#include <random>

using namespace tarn;

namespace {

QStringList languageStrings()
{
    QStringList strings;
    for (int n = 0; n < 260; ++n)
        strings << (n == 12 ? QStringLiteral("OFF") : QStringLiteral("S%1").arg(n));
    return strings;
}

}  // namespace

class TestOptionsPage : public QObject {
    Q_OBJECT

    tarn::Configuration m_document;
    RadioImage& m_image = m_document.image();
    QStringList m_strings = languageStrings();
    QStringList m_messages;

    std::unique_ptr<CChoiceFunView> makePage()
    {
        PageContext context;
        context.document = &m_document;
        context.languageStrings = &m_strings;
        context.showMessage = [this](const QString& text) { m_messages << text; };
        auto page = std::make_unique<CChoiceFunView>(context);
        page->show();
        return page;
    }
    template <typename T>
    static T* get(const CChoiceFunView& page, int id)
    {
        auto* widget = qobject_cast<T*>(page.control(id));
        Q_ASSERT(widget);
        return widget;
    }
    static void moveMouseOver(QWidget* widget)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &move);
    }

private slots:
    void init()
    {
        m_image.resetToDefaults();
        writeLe32(m_image.channelSlot(0).data(), 0x14550000);
        m_messages.clear();
    }

    void refusedKeystrokes_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter in a password") << 1024 << "12a3" << "123";
        QTest::newRow("seventh digit") << 1044 << "1234567" << "123456";
        QTest::newRow("local ID takes DTMF only") << 1092 << "1x*d" << "1*d";
        QTest::newRow("frequency: one point only") << 1026 << "145.1.5" << "145.15";
        QTest::newRow("frequency: no letters") << 1027 << "43a5" << "435";
        QTest::newRow("frequency: nine characters") << 1026 << "145.125001" << "145.12500";
        QTest::newRow("start-up text: ASCII only") << 1096 << QString::fromUtf8("A\u00e9B\u4e2d") << "AB";
    }
    void refusedKeystrokes()
    {
        QFETCH(int, id);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        auto page = makePage();
        auto* edit = get<QLineEdit>(*page, id);
        edit->clear();
        for (QChar c : typed) {
            // QTest types ASCII only; other characters arrive as a key event with their text.
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
        QCOMPARE(edit->text(), shown);
    }

    void typedFrequencySnapsWhenTheMouseLeaves()
    {
        auto page = makePage();
        QCOMPARE(page->pending(), CChoiceFunView::Pending::None);  // loading is not typing
        auto* a = get<QLineEdit>(*page, 1026);
        a->clear();
        QTest::keyClicks(a, "145.1250");
        moveMouseOver(a);
        QCOMPARE(a->text(), QStringLiteral("145.1250"));
        moveMouseOver(get<QComboBox>(*page, 1045));
        QCOMPARE(a->text(), QStringLiteral("145.12500"));
        QCOMPARE(page->pending(), CChoiceFunView::Pending::None);
        // A box emptied on purpose stays empty: the band then holds no frequency.
        a->selectAll();
        QTest::keyClick(a, Qt::Key_Delete);
        moveMouseOver(page.get());
        QCOMPARE(a->text(), QString());
    }

    // The pointer moving while the user types must not snap the half-typed text ("14" to the
    // lowest frequency, refusing the rest); leaving the box or Enter does.
    void typingIsSnappedOnlyWhenTheBoxIsLeft_data()
    {
        QTest::addColumn<bool>("enter");
        QTest::newRow("Enter") << true;
        QTest::newRow("Tab to the next control") << false;
    }
    void typingIsSnappedOnlyWhenTheBoxIsLeft()
    {
        QFETCH(bool, enter);
        auto page = makePage();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page.get()));
        auto* a = get<QLineEdit>(*page, 1026);
        a->setFocus();
        QTRY_VERIFY(a->hasFocus());
        a->clear();
        QTest::keyClicks(a, "14");
        moveMouseOver(get<QComboBox>(*page, 1045));
        moveMouseOver(page.get());
        QTest::keyClicks(a, "5.5");
        QCOMPARE(a->text(), QStringLiteral("145.5"));
        if (enter)
            QTest::keyClick(a, Qt::Key_Return);
        else
            get<QComboBox>(*page, 1045)->setFocus(Qt::TabFocusReason);
        QCOMPARE(a->text(), QStringLiteral("145.50000"));
        QCOMPARE(page->pending(), CChoiceFunView::Pending::None);
    }

    void stepChangeRecomputesTheOffsetFromTheImage()
    {
        const std::uint8_t fiveMHz[6] = {0, 5, 0, 0, 0, 0};
        std::copy(fiveMHz, fiveMHz + 6, m_image.offsetData().data() + 1);
        m_image.functionData()[1] = 4;
        auto page = makePage();
        auto* offset = get<QComboBox>(*page, 1041);
        QCOMPARE(offset->count(), 5600);
        QCOMPARE(offset->currentIndex(), 400);
        offset->setCurrentIndex(3);
        auto* step = get<QComboBox>(*page, 1008);
        step->setCurrentIndex(5);
        emit step->activated(5);
        QCOMPARE(offset->count(), 2800);
        QCOMPARE(offset->currentIndex(), 200);
        QCOMPARE(offset->currentText(), QStringLiteral("05.000000"));
    }

    void displayModesCouple()
    {
        auto page = makePage();
        auto* a = get<QComboBox>(*page, 1033);
        auto* b = get<QComboBox>(*page, 1038);
        a->setCurrentIndex(3);
        emit a->activated(3);
        QCOMPARE(b->currentIndex(), 3);
        a->setCurrentIndex(1);
        emit a->activated(1);
        QCOMPARE(b->currentIndex(), 1);
    }

    void noticeShownOnceAfterTheWrites()
    {
        m_image.functionData()[42 + 3] = 0x0A;  // mode-switch password "000"
        writeLe32(m_image.bandRecord(Band::A).data(), 0x15000000);
        auto page = makePage();
        get<QComboBox>(*page, 1102)->setCurrentIndex(1);
        page->StoreToImage();
        QCOMPARE(m_messages, QStringList{QStringLiteral("S115S126")});
        QCOMPARE(get<QLineEdit>(*page, 1024)->text(), QStringLiteral("000000"));
        QCOMPARE(get<QComboBox>(*page, 1102)->currentIndex(), 0);
        page->StoreToImage();
        QCOMPARE(m_messages.size(), 1);
    }

    // Crafted settings bytes through the page's controls give exactly what the rules give.
    void pageCarriesEverySetting()
    {
        std::mt19937 random(132);
        auto page = makePage();
        for (int round = 0; round < 10; ++round) {
            for (auto block : {m_image.vfoData(), m_image.functionData(), m_image.offsetData(), m_image.startupTextData()})
                for (auto& byte : block)
                    byte = static_cast<std::uint8_t>(random());
            RadioImage expected = m_image;
            OptionsValues values = LoadOptions(expected, "OFF");
            StoreOptions(expected, values, "OFF");
            page->LoadFromImage();
            page->StoreToImage();
            QVERIFY2(m_image == expected, qPrintable(QString::number(round)));
        }
    }
};

QTEST_MAIN(TestOptionsPage)
#include "tst_options_page.moc"
