// The channel page as a user drives it: clicks and keys on the list and its in-place
// editors, Copy / Cut / Paste, and the page contract with the image.
#include "pages/CellEditor.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/RadioImage.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest>

using namespace tarn;
namespace ch = layout::channel;

namespace {

QStringList languageStrings()
{
    QStringList s;
    for (int n = 0; n < 148; ++n)
        s << QStringLiteral("L%1").arg(n);
    s[1] = "Channels";
    s[2] = "High";
    s[3] = "Low";
    s[4] = "Four";
    s[5] = "Five";
    s[10] = "Narrow";
    s[11] = "Wide";
    s[12] = "OFF";
    s[13] = "ON";
    s[126] = "Adjusted";
    return s;
}

void program(RadioImage& image, int i, std::uint32_t rx, std::uint32_t tx, std::uint16_t rxTone = NoTone,
             std::uint16_t txTone = NoTone, std::uint16_t a = 0x6000, std::uint16_t b = 0,
             std::vector<std::uint8_t> name = {})
{
    std::uint8_t* p = image.channelSlot(i).data();
    writeLe32(p + ch::RxFrequency, rx);
    writeLe32(p + ch::TxFrequency, tx);
    writeLe16(p + ch::RxTone, rxTone);
    writeLe16(p + ch::TxTone, txTone);
    writeLe16(p + ch::OptionsA, a);
    writeLe16(p + ch::OptionsB, b);
    for (int k = 0; k < 6; ++k)
        image.extensionSlot(i)[k] = k < static_cast<int>(name.size()) ? name[k] : 0xFF;
}

}  // namespace

class TestChannelPage : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newImageShowsOnlyNumbers();
    void typedFrequencyInFreeRowFillsRowOnClickElsewhere();
    void typedFrequencyInFreeRowFillsRowOnEnter();
    void clickOnChoiceOfFreeRowOpensReceiveFrequency();
    void emptiedReceiveFrequencyDeletesChannel();
    void emptiedTransmitFrequencyTurnsToneOff();
    void enterOnProgrammedRowKeepsItsSettings();
    void tabAndShiftTabMoveBetweenRows();
    void tabInLastRowNameCommitsAndStops();
    void ctrlEnterInLastRowWrapsToRowZero();
    void escapeHidesButNextClickStillCommits();
    void frequencyCellRefusesStrayCharacters();
    void nameFilterKeystrokes();
    void comboDownThenTabKeepsChoiceAndOpensNextTone();
    void comboChoiceThenClickElsewhereChangesOnlyThatCell();
    void comboTabKeepsTheNameState();
    void comboPopupClosedWithoutChoiceEndsEditing();
    void comboPopupOpensAtOnce_data();
    void comboPopupOpensAtOnce();
    void typingIntoAClosedChoiceSelectsByPrefix_data();
    void typingIntoAClosedChoiceSelectsByPrefix();
    void tabAfterAChoiceFromTheListMovesOn();
    void transmitCellTakesASignedOffset();
    void keysAfterAnEditorHidesGoToTheList_data();
    void keysAfterAnEditorHidesGoToTheList();
    void cutRowFivePasteOnRowNine();
    void pasteBeforeCopyDoesNothing();
    void pasteCutRowOntoItselfKeepsIt();
    void storeAfterLoadRoundTripsChannels();
    void storeShowsNoticeOnceForSeveralAdjustedChannels();
    void storeCommitsPendingEdit();
    void noStoreWhileTransferRuns();
    void readOnlyPageClosesEditorsAndOpensNone();
    void wheelHidesEditorWithoutCommit();
    void rowNumberClicksSelectAndAPlainClickStillOpens();
    void rowsDraggedByTheirNumbersMoveAsWholeChannels();

private:
    void click(int row, int column);
    CellEditor& editor() { return m_page->cellEdit()->editor(); }
    QString cell(int row, int column) { return m_page->list()->cellText(row, column); }

    tarn::Configuration m_document;
    RadioImage& m_image = m_document.image();
    QStringList m_strings = languageStrings();
    int m_notices = 0;
    bool m_mayStore = true;
    CChnMsgView* m_page = nullptr;
};

void TestChannelPage::init()
{
    QGuiApplication::clipboard()->clear();
    m_image.resetToDefaults();
    program(m_image, 3, 0x14600000, 0x14600000, 0x029E, NoTone, 0x6000, 0, {10, 11});
    program(m_image, 4, 0x14610000, 0x14610000, NoTone, NoTone, 0x6000, 0, {23});
    program(m_image, 5, 0x14620000, 0x14620000, 0x2813, 0xA813, 0x2000, 0x1000, {1, 2, 3});
    program(m_image, 127, 0x43000000, 0x43000000);
    m_notices = 0;
    m_mayStore = true;
    PageContext context;
    context.document = &m_document;
    context.languageStrings = &m_strings;
    context.showMessage = [this](const QString& text) {
        QCOMPARE(text, QString("Adjusted"));
        ++m_notices;
    };
    context.mayStore = [this] { return m_mayStore; };
    m_page = static_cast<CChnMsgView*>(createChannelPage(context, nullptr));
    m_page->show();
    m_page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_page));
}

void TestChannelPage::cleanup()
{
    delete m_page;
    m_page = nullptr;
}

void TestChannelPage::click(int row, int column)
{
    CellListCtrl* list = m_page->list();
    const QModelIndex index = list->model()->index(row, column);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    QCoreApplication::processEvents();
}

void TestChannelPage::newImageShowsOnlyNumbers()
{
    m_image.resetToDefaults();
    m_page->LoadFromImage();
    QCOMPARE(m_page->windowTitle(), QString("Channels"));
    QCOMPARE(m_page->list()->rowCount(), 128);
    QCOMPARE(m_page->list()->columnCount(), 11);
    for (int r : {0, 64, 127}) {
        QCOMPARE(cell(r, 0), QString::number(r + 1));
        for (int c = 1; c <= 10; ++c)
            QVERIFY(cell(r, c).isEmpty());
    }
}

void TestChannelPage::typedFrequencyInFreeRowFillsRowOnClickElsewhere()
{
    click(10, 1);
    QVERIFY(m_page->cellEdit()->isVisible());
    QCOMPARE(editor().editState(), EditState::NewFrequency);
    QTest::keyClicks(m_page->cellEdit(), "145.5");
    click(20, 7);
    const QStringList expected{"11", "145.50000", "145.50000", "OFF", "OFF", "High", "Five", "Narrow", "Narrow", "OFF", ""};
    for (int c = 0; c < 11; ++c)
        QCOMPARE(cell(10, c), expected[c]);
    QVERIFY(cell(20, 7).isEmpty());
    QCOMPARE(editor().currentRow(), 10);
    QCOMPARE(editor().currentColumn(), 2);
    QCOMPARE(editor().editState(), EditState::Editing);
    QVERIFY(m_page->cellEdit()->isVisible());
    QCOMPARE(m_page->cellEdit()->text(), QString("145.50000"));
}

void TestChannelPage::typedFrequencyInFreeRowFillsRowOnEnter()
{
    click(10, 1);
    QTest::keyClicks(m_page->cellEdit(), "145.5");
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(cell(10, 1), QString("145.50000"));
    QCOMPARE(cell(10, 2), QString("145.50000"));
    QCOMPARE(cell(10, 5), QString("High"));
    QCOMPARE(editor().currentColumn(), 2);
    QCOMPARE(editor().editState(), EditState::Editing);
}

void TestChannelPage::clickOnChoiceOfFreeRowOpensReceiveFrequency()
{
    click(30, 5);
    QCOMPARE(editor().currentRow(), 30);
    QCOMPARE(editor().currentColumn(), 1);
    QCOMPARE(editor().editState(), EditState::NewFrequency);
    QVERIFY(m_page->cellEdit()->isVisible());
}

void TestChannelPage::emptiedReceiveFrequencyDeletesChannel()
{
    click(3, 1);
    QCOMPARE(editor().editState(), EditState::Editing);
    QCOMPARE(m_page->cellEdit()->selectedText(), QString("146.00000"));
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Backspace);
    click(8, 4);
    for (int c = 1; c <= 10; ++c)
        QVERIFY2(cell(3, c).isEmpty(), qPrintable(QString::number(c)));
    m_page->StoreToImage();
    QVERIFY(!m_image.channelInUse(3));
    QCOMPARE(readLe32(m_image.channelSlot(3).data() + ch::TxFrequency), NoFrequency);
    QCOMPARE(m_image.extensionSlot(3)[0], 0xFF);
}

void TestChannelPage::emptiedTransmitFrequencyTurnsToneOff()
{
    click(5, 2);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Backspace);
    click(8, 8);
    QVERIFY(cell(5, 2).isEmpty());
    QCOMPARE(cell(5, 4), QString("OFF"));
    QCOMPARE(cell(5, 3), QString("DN023"));
    m_page->StoreToImage();
    QCOMPARE(readLe32(m_image.channelSlot(5).data() + ch::TxFrequency), NoFrequency);
    QCOMPARE(readLe16(m_image.channelSlot(5).data() + ch::TxTone), NoTone);
}

void TestChannelPage::enterOnProgrammedRowKeepsItsSettings()
{
    click(5, 1);
    QTest::keyClicks(m_page->cellEdit(), "146.3");
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(cell(5, 1), QString("146.30000"));
    QCOMPARE(cell(5, 3), QString("DN023"));
    QCOMPARE(cell(5, 4), QString("DI023"));
    QCOMPARE(cell(5, 10), QString("123"));
    QCOMPARE(editor().currentColumn(), 2);
}

void TestChannelPage::tabAndShiftTabMoveBetweenRows()
{
    click(3, 10);
    QCOMPARE(editor().editState(), EditState::EditingName);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(editor().currentRow(), 4);
    QCOMPARE(editor().currentColumn(), 1);
    QCOMPARE(cell(3, 10), QString("AB"));
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCoreApplication::processEvents();
    QCOMPARE(editor().currentRow(), 3);
    QCOMPARE(editor().currentColumn(), 1);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(editor().currentRow(), 3);
    QCOMPARE(editor().currentColumn(), 2);
    QCOMPARE(cell(3, 1), QString("146.00000"));
}

void TestChannelPage::tabInLastRowNameCommitsAndStops()
{
    click(127, 10);
    QTest::keyClicks(m_page->cellEdit(), "top");
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(cell(127, 10), QString("top"));
    QVERIFY(!m_page->cellEdit()->isVisible());
    QCOMPARE(editor().currentRow(), 127);
    m_page->StoreToImage();
    QCOMPARE(m_image.extensionSlot(127)[0], 29);
    QCOMPARE(m_image.extensionSlot(127)[3], 0xFF);
}

void TestChannelPage::ctrlEnterInLastRowWrapsToRowZero()
{
    click(127, 1);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Return, Qt::ControlModifier);
    QCoreApplication::processEvents();
    QCOMPARE(editor().currentRow(), 0);
    QCOMPARE(editor().currentColumn(), 1);
    QCOMPARE(cell(127, 1), QString("430.00000"));
}

void TestChannelPage::escapeHidesButNextClickStillCommits()
{
    click(4, 2);
    QTest::keyClicks(m_page->cellEdit(), "147");
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Escape);
    QVERIFY(!m_page->cellEdit()->isVisible());
    QCOMPARE(cell(4, 2), QString("146.10000"));
    click(9, 6);
    QCOMPARE(cell(4, 2), QString("147.00000"));
}

void TestChannelPage::frequencyCellRefusesStrayCharacters()
{
    click(4, 1);
    QTest::keyClicks(m_page->cellEdit(), "14x6.1.2");
    QCOMPARE(m_page->cellEdit()->text(), QString("146.12"));
    QTest::keyClicks(m_page->cellEdit(), "3456");
    QCOMPARE(m_page->cellEdit()->text(), QString("146.12345"));
    click(9, 1);
    QCOMPARE(cell(4, 1), QString("146.12250"));
}

void TestChannelPage::nameFilterKeystrokes()
{
    click(4, 10);
    QCOMPARE(editor().editState(), EditState::EditingName);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Backspace);
    for (char c : QByteArray("ab-12x3"))
        QTest::keyClick(m_page->cellEdit(), c);
    QCOMPARE(m_page->cellEdit()->text(), QString("ab12x3"));
    QTest::keyClick(m_page->cellEdit(), 'y');
    QCOMPARE(m_page->cellEdit()->text(), QString("ab12x3"));
    click(9, 4);
    QCOMPARE(cell(4, 10), QString("ab12x3"));
    m_page->StoreToImage();
    const auto name = m_image.extensionSlot(4);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(name.data()), 6).toHex(), QByteArray("0a0b01022103"));
}

void TestChannelPage::comboDownThenTabKeepsChoiceAndOpensNextTone()
{
    click(3, 3);
    CellCombo* tones = m_page->toneCombo();
    QVERIFY(tones->isVisible());
    QCOMPARE(tones->currentText(), QString("67.0"));
    QTest::keyClick(tones, Qt::Key_Down);
    QCOMPARE(tones->currentText(), QString("69.3"));
    QCOMPARE(cell(3, 3), QString("67.0"));
    QTest::keyClick(tones, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(cell(3, 3), QString("69.3"));
    QCOMPARE(editor().currentRow(), 3);
    QCOMPARE(editor().currentColumn(), 4);
    QVERIFY(tones->isVisible());
    QCOMPARE(tones->currentText(), QString("OFF"));
    QCOMPARE(cell(3, 3), QString("69.3"));
}

void TestChannelPage::comboChoiceThenClickElsewhereChangesOnlyThatCell()
{
    click(3, 5);
    CellCombo* power = m_page->choiceCombo(5);
    QVERIFY(power->isVisible());
    QCOMPARE(power->currentText(), QString("High"));
    power->setCurrentIndex(1);
    emit power->activated(1);
    QVERIFY(!power->isVisible());
    QCOMPARE(cell(3, 5), QString("Low"));
    click(5, 7);
    QCOMPARE(cell(3, 5), QString("Low"));
    QCOMPARE(cell(3, 1), QString("146.00000"));
    QCOMPARE(cell(5, 1), QString("146.20000"));
    QVERIFY(m_page->choiceCombo(7)->isVisible());
    m_page->StoreToImage();
    QCOMPARE(readLe16(m_image.channelSlot(3).data() + ch::OptionsA) & 0x2000, 0);
}

void TestChannelPage::comboTabKeepsTheNameState()
{
    click(3, 10);
    click(3, 5);
    QCOMPARE(editor().editState(), EditState::EditingName);
    QTest::keyClick(m_page->choiceCombo(5), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(editor().currentColumn(), 6);
    QCOMPARE(editor().editState(), EditState::EditingName);
    QVERIFY(m_page->choiceCombo(6)->isVisible());
}

void TestChannelPage::comboPopupClosedWithoutChoiceEndsEditing()
{
    click(3, 7);
    CellCombo* bandwidth = m_page->choiceCombo(7);
    QCOMPARE(editor().editState(), EditState::Editing);
    bandwidth->showPopup();
    bandwidth->hidePopup();
    QCoreApplication::processEvents();
    QVERIFY(!bandwidth->isVisible());
    QCOMPARE(editor().editState(), EditState::Idle);
    QCOMPARE(cell(3, 7), QString("Narrow"));
}

void TestChannelPage::comboPopupOpensAtOnce_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("F4") << 0;
    QTest::newRow("Alt+Down") << 1;
    QTest::newRow("click on the arrow") << 2;
}

void TestChannelPage::comboPopupOpensAtOnce()
{
    QFETCH(int, how);
    click(3, 7);
    CellCombo* bandwidth = m_page->choiceCombo(7);
    QVERIFY(bandwidth->isVisible());
    if (how == 0)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F4);
    else if (how == 1)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down, Qt::AltModifier);
    else
        QTest::mouseClick(bandwidth, Qt::LeftButton, {}, QPoint(bandwidth->width() - 4, bandwidth->height() / 2));
    QTest::qWait(50);
    QVERIFY(bandwidth->isVisible());
    QVERIFY(bandwidth->view()->isVisible());
    QCOMPARE(cell(3, 7), QString("Narrow"));
    bandwidth->hidePopup();
    QCoreApplication::processEvents();
}

void TestChannelPage::typingIntoAClosedChoiceSelectsByPrefix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("end");  // a key, or 0 for a click on another cell
    QTest::addColumn<QString>("stored");
    QTest::newRow("88.5 and Enter") << "88.5" << int(Qt::Key_Enter) << "88.5";
    QTest::newRow("dn0 and Tab") << "dn0" << int(Qt::Key_Tab) << "DN023";
    QTest::newRow("a click on another cell keeps it") << "88.5" << 0 << "88.5";
    QTest::newRow("Escape drops it") << "88.5" << int(Qt::Key_Escape) << "67.0";
    QTest::newRow("a key that matches nothing keeps the last match") << "8x" << int(Qt::Key_Enter) << "82.5";
}

void TestChannelPage::typingIntoAClosedChoiceSelectsByPrefix()
{
    QFETCH(QString, typed);
    QFETCH(int, end);
    click(3, 3);
    CellCombo* tones = m_page->toneCombo();
    QVERIFY(tones->isVisible());
    QTest::keyClicks(tones, typed);
    QVERIFY(tones->isVisible());
    QCOMPARE(cell(3, 3), QString("67.0"));
    if (end)
        QTest::keyClick(tones, Qt::Key(end));
    else
        click(5, 7);
    QCoreApplication::processEvents();
    QTEST(cell(3, 3), "stored");
    if (end == Qt::Key_Enter || end == Qt::Key_Tab) {
        QCOMPARE(editor().currentColumn(), 4);
        QVERIFY(tones->isVisible());
    }
    m_page->StoreToImage();
    QFETCH(QString, stored);
    QCOMPARE(readLe16(m_image.channelSlot(3).data() + ch::RxTone), ToneTextToCode(stored.toStdString(), true, "OFF"));
}

void TestChannelPage::tabAfterAChoiceFromTheListMovesOn()
{
    click(3, 5);
    CellCombo* power = m_page->choiceCombo(5);
    power->setCurrentIndex(1);
    emit power->activated(1);
    QVERIFY(!power->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCoreApplication::processEvents();
    QCOMPARE(cell(3, 5), QString("Low"));
    QCOMPARE(editor().currentColumn(), 6);
    QVERIFY(m_page->choiceCombo(6)->isVisible());
}

void TestChannelPage::transmitCellTakesASignedOffset()
{
    click(3, 2);
    QTest::keyClicks(m_page->cellEdit(), "+0.6");
    QCOMPARE(m_page->cellEdit()->text(), QString("+0.6"));
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Enter);
    QCoreApplication::processEvents();
    QCOMPARE(cell(3, 2), QString("146.60000"));
    // The receive cell still takes no sign.
    click(4, 1);
    QTest::keyClick(m_page->cellEdit(), Qt::Key_Backspace);
    QTest::keyClicks(m_page->cellEdit(), "-5");
    QCOMPARE(m_page->cellEdit()->text(), QString("5"));
}

void TestChannelPage::keysAfterAnEditorHidesGoToTheList_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("hideKey");
    // Tab in the last row's name opens no editor; Escape only hides (the store still
    // commits the hidden text, but not a key typed after it).
    QTest::newRow("Tab in the last row") << 127 << int(Qt::Key_Tab);
    QTest::newRow("Escape") << 3 << int(Qt::Key_Escape);
}

void TestChannelPage::keysAfterAnEditorHidesGoToTheList()
{
    QFETCH(int, row);
    QFETCH(int, hideKey);
    click(row, 10);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(hideKey));
    QCoreApplication::processEvents();
    QVERIFY(!m_page->cellEdit()->isVisible());
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_page->list()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_3);
    m_page->StoreToImage();
    QCOMPARE(cell(row, 10), QString("q"));
}

void TestChannelPage::cutRowFivePasteOnRowNine()
{
    QStringList row5;
    for (int c = 1; c <= 10; ++c)
        row5 << cell(4, c);
    m_page->OnRowCommand(4, ChannelCutCommand);
    m_page->OnRowCommand(8, ChannelPasteCommand);
    for (int c = 1; c <= 10; ++c) {
        QCOMPARE(cell(8, c), row5[c - 1]);
        QVERIFY(cell(4, c).isEmpty());
    }
    QCOMPARE(cell(8, 0), QString("9"));
    m_page->OnRowCommand(9, ChannelPasteCommand);
    for (int c = 1; c <= 10; ++c)
        QVERIFY(cell(9, c).isEmpty());
    m_page->StoreToImage();
    QVERIFY(!m_image.channelInUse(4));
    QCOMPARE(readLe32(m_image.channelSlot(8).data()), 0x14610000u);
    QCOMPARE(m_image.extensionSlot(8)[0], 23);
}

void TestChannelPage::pasteBeforeCopyDoesNothing()
{
    m_page->OnRowCommand(20, ChannelPasteCommand);
    QVERIFY(cell(20, 1).isEmpty());
    m_page->OnRowCommand(3, ChannelPasteCommand);
    QCOMPARE(cell(3, 1), QString("146.00000"));
}

void TestChannelPage::pasteCutRowOntoItselfKeepsIt()
{
    m_page->OnRowCommand(3, ChannelCutCommand);
    m_page->OnRowCommand(3, ChannelPasteCommand);
    QCOMPARE(cell(3, 1), QString("146.00000"));
    QCOMPARE(cell(3, 10), QString("AB"));
    m_page->OnRowCommand(3, ChannelCopyCommand);
    m_page->OnRowCommand(30, ChannelPasteCommand);
    QCOMPARE(cell(30, 1), QString("146.00000"));
    QCOMPARE(cell(3, 1), QString("146.00000"));
}

void TestChannelPage::storeAfterLoadRoundTripsChannels()
{
    // A radio with every channel programmed, on the grids a radio uses.
    for (int i = 0; i < 128; ++i) {
        const std::uint32_t rx = i % 2 ? 0x43602500 : 0x14600625;
        const std::uint16_t a = static_cast<std::uint16_t>(0x0F07 | ((i & 1) << 13) | ((i & 2) << 13) | ((i & 4) << 10) | ((i & 8) >> 0));
        const std::uint16_t tone = i % 3 == 0 ? NoTone : i % 3 == 1 ? 0x029E : 0xA9EC;
        program(m_image, i, rx, i % 5 ? rx : NoFrequency, tone, 0x2813, a, static_cast<std::uint16_t>(i % 5 ? 0x1F00 : 0x0F00),
                {static_cast<std::uint8_t>(i % 36), 35, 0});
        m_image.extensionSlot(i)[12] = static_cast<std::uint8_t>(i);
    }
    m_page->LoadFromImage();
    const RadioImage loaded = m_image;
    m_page->StoreToImage();
    QCOMPARE(m_notices, 0);
    QVERIFY(m_image == loaded);
}

void TestChannelPage::storeShowsNoticeOnceForSeveralAdjustedChannels()
{
    program(m_image, 6, 0x14600000, 0x15000000);
    program(m_image, 7, 0x14600000, 0x14600000, NoTone, NoTone, 0x6000, 0x1000);
    m_page->LoadFromImage();
    m_page->list()->setCellText(3, 8, "Wide");
    m_page->list()->setCellText(6, 8, "Wide");
    m_page->list()->setCellText(5, 2, "150.00000");
    m_page->StoreToImage();
    QCOMPARE(m_notices, 1);
    QCOMPARE(cell(3, 8), QString("Wide"));
    QCOMPARE(cell(6, 8), QString("Narrow"));
    QCOMPARE(cell(5, 8), QString("Narrow"));
    QCOMPARE(cell(7, 8), QString("Wide"));
    QCOMPARE(readLe16(m_image.channelSlot(6).data() + ch::OptionsB) & 0x1000, 0);
    QCOMPARE(readLe16(m_image.channelSlot(3).data() + ch::OptionsB) & 0x1000, 0x1000);
    m_page->StoreToImage();
    QCOMPARE(m_notices, 1);
}

void TestChannelPage::storeCommitsPendingEdit()
{
    click(10, 1);
    QTest::keyClicks(m_page->cellEdit(), "438.5");
    m_page->StoreToImage();
    QVERIFY(m_image.channelInUse(10));
    QCOMPARE(readLe32(m_image.channelSlot(10).data()), 0x43850000u);
    QCOMPARE(editor().editState(), EditState::Idle);
    QCOMPARE(editor().currentRow(), -1);
    QVERIFY(!m_page->cellEdit()->isVisible());
}

void TestChannelPage::noStoreWhileTransferRuns()
{
    m_page->list()->setCellText(3, 1, "");
    m_mayStore = false;
    const RadioImage before = m_image;
    m_page->StoreToImage();
    QVERIFY(m_image == before);
}

void TestChannelPage::readOnlyPageClosesEditorsAndOpensNone()
{
    click(3, 10);
    QTest::keyClicks(m_page->cellEdit(), "Q");
    QVERIFY(m_page->hasUnstoredEdits());
    m_page->setReadOnly(true);
    QVERIFY(!m_page->cellEdit()->isVisible());
    click(4, 2);
    click(5, 7);
    QVERIFY(!m_page->cellEdit()->isVisible());
    QVERIFY(!m_page->choiceCombo(7)->isVisible());
    m_page->LoadFromImage();  // as the refresh after a read does
    QVERIFY(!m_page->hasUnstoredEdits());
    m_page->setReadOnly(false);
    click(4, 2);
    QVERIFY(m_page->cellEdit()->isVisible());
}

void TestChannelPage::wheelHidesEditorWithoutCommit()
{
    click(3, 10);
    QTest::keyClicks(m_page->cellEdit(), "Q");
    m_page->list()->selectRow(0);
    QWheelEvent wheel(QPointF(50, 50), m_page->list()->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(m_page->list()->viewport(), &wheel);
    QVERIFY(!m_page->cellEdit()->isVisible());
    QCOMPARE(cell(3, 10), QString("AB"));
    QVERIFY(!m_page->list()->selectionModel()->isRowSelected(0, {}));
}

void TestChannelPage::rowNumberClicksSelectAndAPlainClickStillOpens()
{
    // Each click in turn: where, with which keys, the rows selected after it, and the
    // column whose editor opened (-1: none).
    const struct {
        int row;
        int column;
        Qt::KeyboardModifiers keys;
        std::vector<int> selected;
        int opened;
    } clicks[] = {
        {5, 0, Qt::ControlModifier, {5}, -1},
        {7, 0, Qt::ControlModifier, {5, 7}, -1},
        {9, 0, Qt::ShiftModifier, {7, 8, 9}, -1},
        {8, 0, Qt::ControlModifier, {7, 9}, -1},
        {4, 0, {}, {4}, 1},                      // a plain click on a number opens the Rx freq
        {2, 0, Qt::ShiftModifier, {2, 3, 4}, -1},
        {5, 5, Qt::ControlModifier, {5}, 5},      // with Ctrl elsewhere: a click as any other
    };
    for (const auto& c : clicks) {
        const QModelIndex index = m_page->list()->model()->index(c.row, c.column);
        QTest::mouseClick(m_page->list()->viewport(), Qt::LeftButton, c.keys, m_page->list()->visualRect(index).center());
        QCoreApplication::processEvents();
        const QString where = QStringLiteral("row %1 column %2").arg(c.row).arg(c.column);
        QVERIFY2(m_page->selectedRows() == c.selected, qPrintable(where));
        const bool edit = m_page->cellEdit()->isVisible();
        const bool combo = m_page->choiceCombo(ColPower)->isVisible();
        QVERIFY2(edit == (c.opened == 1) && combo == (c.opened == 5), qPrintable(where));
        if (c.opened >= 0) {
            QCOMPARE(editor().currentRow(), c.row);
            QCOMPARE(editor().currentColumn(), c.opened);
        }
    }
}

void TestChannelPage::rowsDraggedByTheirNumbersMoveAsWholeChannels()
{
    m_image.extensionSlot(3)[9] = 0x5A;  // a byte no column shows
    m_page->LoadFromImage();
    CellListCtrl* list = m_page->list();
    QWidget* viewport = list->viewport();
    const QRect from = list->visualRect(list->model()->index(3, 0));
    const QRect to = list->visualRect(list->model()->index(8, 0));
    QTest::mousePress(viewport, Qt::LeftButton, {}, from.center());
    QTest::mouseMove(viewport, from.center() + QPoint(0, 2 * QApplication::startDragDistance()));
    // The lower half of row 9: the channel lands after it.
    QTest::mouseMove(viewport, QPoint(to.center().x(), to.bottom() - 2));
    QCOMPARE(list->dropRow(), 9);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(to.center().x(), to.bottom() - 2));
    QCoreApplication::processEvents();

    QCOMPARE(cell(8, 1), QString("146.00000"));
    QCOMPARE(cell(8, 10), QString("AB"));
    QCOMPARE(cell(3, 1), QString("146.10000"));  // the channels below moved up
    QCOMPARE(m_page->selectedRows(), std::vector<int>{8});
    QVERIFY(!m_page->cellEdit()->isVisible());
    QCOMPARE(m_image.extensionSlot(8)[9], 0x5A);
}

QTEST_MAIN(TestChannelPage)
#include "tst_channel_page.moc"
