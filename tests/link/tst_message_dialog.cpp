// The message dialog's text layout (point size, split of a long text) and its frame.
#include "link/MessageLayout.h"
#include "link/MessageDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QtTest>

using namespace tarn;

class TestMessageDialog : public QObject {
    Q_OBJECT
private slots:
    void pointSizeByByteLength_data();
    void pointSizeByByteLength();
    void textThatFitsIsNotSplit();
    void shortTextIsNeverSplit();
    void splitPosition_data();
    void splitKeepsEnglishWordsWhole_data();
    void splitKeepsEnglishWordsWhole();
    void splitPosition();
    void splitNeverCutsAChineseCharacter();
    void dialogShowsTitleButtonAndHasFixedSize();
    void joinedNoticeShowsWhole_data();
    void joinedNoticeShowsWhole();
    void hookReplacesTheModalLoop();
};

void TestMessageDialog::pointSizeByByteLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::addColumn<int>("points");
    QTest::newRow("12 bytes") << QString(12, 'a') << 12 << 19;
    QTest::newRow("13 bytes") << QString(13, 'a') << 13 << 16;
    QTest::newRow("25 bytes") << QString(25, 'a') << 25 << 16;
    QTest::newRow("26 bytes") << QString(26, 'a') << 26 << 12;
    QTest::newRow("6 Chinese = 12 bytes") << QStringLiteral("确定要新建吗") << 12 << 19;
    QTest::newRow("7 Chinese = 14 bytes") << QStringLiteral("确定要新建配置") << 14 << 16;
    QTest::newRow("mixed") << QStringLiteral("OK 确定") << 7 << 19;
}

void TestMessageDialog::pointSizeByByteLength()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QFETCH(int, points);
    QCOMPARE(tarn::messageByteLength(text), bytes);
    QCOMPARE(tarn::messagePointSize(text), points);
}

void TestMessageDialog::textThatFitsIsNotSplit()
{
    const QString text(30, 'a');
    const auto lines = tarn::splitMessage(text, true);
    QVERIFY(!lines.split);
    QCOMPARE(lines.first, text);
}

void TestMessageDialog::shortTextIsNeverSplit()
{
    QVERIFY(!tarn::splitMessage(QString(23, 'a'), false).split);
    QVERIFY(tarn::splitMessage(QString(24, 'a'), false).split);
}

void TestMessageDialog::splitPosition_data()
{
    QTest::addColumn<int>("blankAt");
    QTest::addColumn<int>("firstLength");
    QTest::newRow("no blank near: 23") << -1 << 23;
    QTest::newRow("blank at 22: before it") << 22 << 22;
    QTest::newRow("blank at 23: with it") << 23 << 24;
    QTest::newRow("blank at 24: with it") << 24 << 25;
    QTest::newRow("blank at 21: the word moves down whole") << 21 << 22;
    QTest::newRow("blank at 5: the word moves down whole") << 5 << 6;
}

void TestMessageDialog::splitPosition()
{
    QFETCH(int, blankAt);
    QFETCH(int, firstLength);
    QString text(40, 'x');
    if (blankAt >= 0)
        text[blankAt] = ' ';
    const auto lines = tarn::splitMessage(text, false);
    QVERIFY(lines.split);
    QCOMPARE(lines.first, text.left(firstLength));
    QCOMPARE(lines.second, text.mid(firstLength));
}

void TestMessageDialog::splitKeepsEnglishWordsWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("first");
    QTest::newRow("band-limit message")
        << QStringLiteral("Channel 12 is outside the radio's band limits")
        << QStringLiteral("Channel 12 is outside ");
    QTest::newRow("blank at 22 keeps the rule")
        << QStringLiteral("Reading from the radio failed, check the cable")
        << QStringLiteral("Reading from the radio");
    QTest::newRow("Chinese then Latin word")
        << QString(8, QChar(0x4E2D)) + QStringLiteral("abcdefghijklmnop")
        << QString(8, QChar(0x4E2D)) + QStringLiteral("abcdefg");
}

void TestMessageDialog::splitKeepsEnglishWordsWhole()
{
    QFETCH(QString, text);
    QFETCH(QString, first);
    const auto lines = tarn::splitMessage(text, false);
    QVERIFY(lines.split);
    QCOMPARE(lines.first, first);
    QCOMPARE(lines.first + lines.second, text);
}

void TestMessageDialog::splitNeverCutsAChineseCharacter()
{
    // 10 ASCII + Chinese from byte 10: bytes 22 and 23 are one character.
    const QString text = QString(10, 'a') + QString(10, QChar(0x4E2D));
    QCOMPARE(tarn::messageByteLength(text), 30);
    const auto lines = tarn::splitMessage(text, false);
    QVERIFY(lines.split);
    QCOMPARE(lines.first, QString(10, 'a') + QString(6, QChar(0x4E2D)));  // 22 bytes
    QCOMPARE(lines.first + lines.second, text);

    // All Chinese: byte 23 is a second half, the first line keeps 11 characters.
    const QString chinese(20, QChar(0x6587));
    const auto cjk = tarn::splitMessage(chinese, false);
    QCOMPARE(cjk.first.size(), 11);
    QCOMPARE(cjk.second.size(), 9);

    // A blank at byte 22 counts only where a character starts there.
    const QString blank = QString(11, QChar(0x4E2D)) + QStringLiteral(" tail of the text");
    QCOMPARE(tarn::splitMessage(blank, false).first, QString(11, QChar(0x4E2D)));
}

void TestMessageDialog::dialogShowsTitleButtonAndHasFixedSize()
{
    MessageDialog dialog;
    dialog.setTitle(QStringLiteral("Tarn"));
    dialog.setButtonText(QStringLiteral("OK"));
    dialog.setText(QStringLiteral("Hello"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Tarn"));
    const auto buttons = dialog.findChildren<QPushButton*>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.first()->text(), QStringLiteral("OK"));
    QVERIFY(buttons.first()->isDefault());
    // 187 x 98 dialog units of the 7 x 16 pixel base font.
    QCOMPARE(dialog.size(), QSize(327, 196));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    // The desktop's colours, light or dark.
    QCOMPARE(dialog.palette().color(QPalette::Window), QApplication::palette().color(QPalette::Window));
    // Painting a split text must not fail.
    dialog.setText(QString(60, 'W'));
    QVERIFY(!dialog.grab().isNull());
}

void TestMessageDialog::joinedNoticeShowsWhole_data()
{
    QTest::addColumn<QString>("text");
    // The settings notice: padded passwords, then the cleared band option, with nothing between.
    QTest::newRow("English")
        << QStringLiteral("Short passwords were padded with 0. Band option cleared: Tx outside allowed bands.");
    QTest::newRow("Chinese") << QStringLiteral("密码不足6位，已用0补齐。发射频率不在允许频段内，频段选项已关闭。");
}

void TestMessageDialog::joinedNoticeShowsWhole()
{
    QFETCH(QString, text);
    MessageDialog dialog;
    dialog.setTitle(QStringLiteral("Tarn"));
    dialog.setButtonText(QStringLiteral("OK"));
    dialog.setText(text);
    const auto lines = dialog.textLines();
    QVERIFY(lines.size() >= 2);
    QString shown;
    for (const auto& line : lines) {
        QVERIFY2(dialog.rect().contains(line.rect), qPrintable(line.text));
        shown += line.text;
    }
    // Only the blanks where lines break are not drawn.
    QCOMPARE(QString(shown).remove(QLatin1Char(' ')), QString(text).remove(QLatin1Char(' ')));
    // The button sits below the last line, inside the box that grew to hold them.
    const QPushButton* button = dialog.findChild<QPushButton*>();
    QVERIFY(button->geometry().top() > lines.last().rect.bottom());
    QVERIFY(dialog.rect().contains(button->geometry()));
    QVERIFY(!dialog.grab().isNull());
    // A screen reader hears the text, not only the button.
    QCOMPARE(dialog.accessibleDescription(), text);
}

void TestMessageDialog::hookReplacesTheModalLoop()
{
    QString seen;
    MessageDialog::setTestHook([&](const MessageDialog& d) {
        seen = d.title() + "|" + d.buttonText() + "|" + d.text();
        return int(QDialog::Accepted);
    });
    QCOMPARE(MessageDialog::show(nullptr, "T", "B", "X"), int(QDialog::Accepted));
    QCOMPARE(seen, QStringLiteral("T|B|X"));
    MessageDialog::setTestHook({});
}

QTEST_MAIN(TestMessageDialog)
#include "tst_message_dialog.moc"
