// Edit > Undo and Redo end to end in the window: each kind of change the user makes is
// one step, its undo gives back the configuration byte for byte, its redo the change; the
// clean point; and Ctrl+Z inside an open edit box.
#include "AppFixture.h"

#include "app/ChildFrame.h"
#include "app/ImportPreviewDialog.h"
#include "link/MessageDialog.h"
#include "pages/CellEditor.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "pages/ChoiceFunView.h"
#include "pages/KeySetView.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"

#include <QComboBox>
#include <QLineEdit>

#include <sys/stat.h>

using namespace tarn;

namespace {

constexpr int VoxList = 1023;

CChnMsgView* channelPage(CMainFrame* frame)
{
    frame->OpenChannelPage();
    return static_cast<CChnMsgView*>(frame->channelFrame()->page());
}

// Clicks a cell of the channel list and lets the editor open.
void clickCell(CChnMsgView* page, int row, int column)
{
    CellListCtrl* list = page->list();
    const QModelIndex index = list->model()->index(row, column);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    QCoreApplication::processEvents();
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT
private slots:
    // Messages (an import's count) close at once; an import's preview takes the good rows.
    void init()
    {
        MessageDialog::setTestHook([](const MessageDialog&) { return 1; });
        ImportPreviewDialog::setTestHook([](ImportPreviewDialog&) { return int(QDialog::Accepted); });
    }
    void cleanup()
    {
        MessageDialog::setTestHook({});
        ImportPreviewDialog::setTestHook({});
    }

    void undoGivesBackEveryByteAndRedoTheChange_data();
    void undoGivesBackEveryByteAndRedoTheChange();
    void undoBackToTheSavedStateAsksNothing();
    void ctrlZInAnEditBoxUndoesItsTypingFirst();
    void undoCommitsWhatIsStillTyped();
    void closingAPageKeepsWhatWasTyped();
    void importOfWhatIsNotAFileIsRefusedAtOnce();

private:
    // A configuration with three programmed channels, opened from a file.
    static void openStartingFile(AppFixture& f);
};

void TestHistory::openStartingFile(AppFixture& f)
{
    // The words of the fixture's language table ("enN").
    const ChannelWords words = ChannelWords::fromLanguage([](int n) { return "en" + std::to_string(n); });
    RadioImage image;
    image.resetToDefaults();
    for (int i : {0, 3, 4}) {
        ChannelRow row{};
        row[ColRxFrequency] = QString::number(145.5 + i * 0.025, 'f', 5).toStdString();
        row[ColTxFrequency] = row[ColRxFrequency];
        row[ColRxTone] = row[ColTxTone] = words.offText;
        row[ColPower] = words.highPower;
        row[ColName] = "CH" + std::to_string(i);
        StoreChannelRow(image, i, row, words);
    }
    const QString path = f.dir.filePath(QStringLiteral("start.tw"));
    QCOMPARE(int(saveConfiguration(QFile::encodeName(path).toStdString(), image).outcome), int(FileOutcome::Saved));
    f.frame()->documents().openConfiguration(path);
}

void TestHistory::undoGivesBackEveryByteAndRedoTheChange_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("channel cell") << "cell" << "en260 en262";
    QTest::newRow("options list") << "vox" << "en260 en60";
    QTest::newRow("side key") << "sidekey" << "en260 en35";
    QTest::newRow("paste") << "paste" << "en260 en134";
    QTest::newRow("CSV import") << "csv" << "en260 en264";
}

void TestHistory::undoGivesBackEveryByteAndRedoTheChange()
{
    QFETCH(QString, change);
    QFETCH(QString, undoText);
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    openStartingFile(f);
    frame->OpenOptionsPage();
    frame->OpenKeyPage();
    const RadioImage original = frame->document().current();
    QVERIFY(!frame->commandAction(ID_EDIT_UNDO)->isEnabled());

    CChnMsgView* channels = channelPage(frame);
    if (change == "cell") {
        clickCell(channels, 3, ColRxFrequency);
        QTest::keyClicks(channels->cellEdit(), "146.3");
        QTest::keyClick(channels->cellEdit(), Qt::Key_Return);
    } else if (change == "vox") {
        auto* page = static_cast<CChoiceFunView*>(frame->optionsFrame()->page());
        auto* list = static_cast<QComboBox*>(page->control(VoxList));
        list->setCurrentIndex((list->currentIndex() + 3) % list->count());
        emit list->activated(list->currentIndex());
    } else if (change == "sidekey") {
        QComboBox* list = static_cast<CKeySetView*>(frame->keysFrame()->page())->sideKeyList();
        list->setCurrentIndex((list->currentIndex() + 1) % list->count());
        emit list->activated(list->currentIndex());
    } else if (change == "paste") {
        channels->OnRowCommand(0, ChannelCopyCommand);
        channels->OnRowCommand(20, ChannelPasteCommand);
    } else if (change == "csv") {
        const QString csvFile = f.dir.filePath(QStringLiteral("in.csv"));
        scripted(frame).csvPath = [csvFile](bool) { return csvFile; };
        QFile file(csvFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq\n40,IMPORT,446.00625,,0,,88.5\n");
        file.close();
        frame->commandAction(ID_IMPORT_CHANNELS)->trigger();
    }
    const RadioImage edited = frame->document().current();
    QVERIFY(!(edited == original));
    QVERIFY(frame->commandAction(ID_EDIT_UNDO)->isEnabled());
    QVERIFY2(frame->commandAction(ID_EDIT_UNDO)->text().startsWith(undoText),
             qPrintable(frame->commandAction(ID_EDIT_UNDO)->text()));

    frame->commandAction(ID_EDIT_UNDO)->trigger();
    frame->StorePages();
    QVERIFY(frame->image() == original);
    QVERIFY(frame->commandAction(ID_EDIT_REDO)->isEnabled());

    frame->commandAction(ID_EDIT_REDO)->trigger();
    frame->StorePages();
    QVERIFY(frame->image() == edited);
}

void TestHistory::undoBackToTheSavedStateAsksNothing()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    openStartingFile(f);
    QVERIFY(!frame->hasUnsavedChanges());
    CChnMsgView* channels = channelPage(frame);
    channels->OnRowCommand(0, ChannelCopyCommand);
    channels->OnRowCommand(30, ChannelPasteCommand);
    QVERIFY(frame->hasUnsavedChanges());
    QVERIFY(frame->document().isModified());

    // Saved: clean; one more step and its undo: clean again, so Exit asks nothing.
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("saved.tw")); };
    frame->commandAction(ID_FILE_SAVE)->trigger();
    QVERIFY(!frame->hasUnsavedChanges());
    channels->OnRowCommand(31, ChannelPasteCommand);
    QVERIFY(frame->hasUnsavedChanges());
    frame->commandAction(ID_EDIT_UNDO)->trigger();
    QVERIFY(!frame->hasUnsavedChanges());
    // A page opened after the save (whatever it makes of the values as it loads), a change
    // there and its undo: still the saved state.
    frame->OpenOptionsPage();
    auto* vox = static_cast<QComboBox*>(static_cast<CChoiceFunView*>(frame->optionsFrame()->page())->control(VoxList));
    vox->setCurrentIndex((vox->currentIndex() + 2) % vox->count());
    emit vox->activated(vox->currentIndex());
    QVERIFY(frame->hasUnsavedChanges());
    frame->commandAction(ID_EDIT_UNDO)->trigger();
    QVERIFY(!frame->hasUnsavedChanges());
    int asked = 0;
    scripted(frame).choice = [&](const QStringList&, const QString&) { return ++asked, 2; };
    QVERIFY(frame->close());
    QCOMPARE(asked, 0);

    // Undone past the save: the configuration differs from the file again.
    frame->commandAction(ID_EDIT_UNDO)->trigger();
    QVERIFY(frame->hasUnsavedChanges());
}

void TestHistory::ctrlZInAnEditBoxUndoesItsTypingFirst()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    openStartingFile(f);
    CChnMsgView* channels = channelPage(frame);
    clickCell(channels, 3, ColName);
    QTest::keyClicks(channels->cellEdit(), "X");
    QTest::keyClick(channels->cellEdit(), Qt::Key_Tab);  // commits CH3 -> X, opens row 4's Rx freq
    QCOMPARE(channels->list()->cellText(3, ColName), QStringLiteral("X"));
    QLineEdit* box = channels->cellEdit();
    QTRY_VERIFY(box->isVisible() && box->hasFocus());

    // Typing of its own: Ctrl+Z takes back that typing only.
    const QString shown = box->text();
    QTest::keyClicks(box, "9");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(box->text(), shown);
    QCOMPARE(channels->list()->cellText(3, ColName), QStringLiteral("X"));

    // Nothing of its own left: Ctrl+Z takes back the last step.
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(channels->list()->cellText(3, ColName), QStringLiteral("CH3"));
}

void TestHistory::undoCommitsWhatIsStillTyped()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    openStartingFile(f);
    CChnMsgView* channels = channelPage(frame);
    channels->OnRowCommand(0, ChannelCopyCommand);
    channels->OnRowCommand(30, ChannelPasteCommand);
    clickCell(channels, 4, ColRxFrequency);
    QTest::keyClicks(channels->cellEdit(), "147");
    QTest::keyClick(channels->cellEdit(), Qt::Key_Escape);  // hidden, not committed

    // The typing becomes a step before the undo, so the undo takes back just that and a
    // redo brings it back: nothing typed is lost.
    frame->commandAction(ID_EDIT_UNDO)->trigger();
    QCOMPARE(channels->list()->cellText(4, ColRxFrequency), QStringLiteral("145.60000"));  // 145.5 + 4 x 0.025
    QCOMPARE(channels->list()->cellText(30, ColRxFrequency), QStringLiteral("145.50000"));
    frame->commandAction(ID_EDIT_REDO)->trigger();
    QCOMPARE(channels->list()->cellText(4, ColRxFrequency), QStringLiteral("147.00000"));
}

void TestHistory::closingAPageKeepsWhatWasTyped()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowActive(frame));
    openStartingFile(f);
    CChnMsgView* channels = channelPage(frame);
    clickCell(channels, 3, ColRxFrequency);
    QTest::keyClicks(channels->cellEdit(), "146.7");
    frame->channelFrame()->close();
    QCOMPARE(f.openFrames(), 0);

    // Exit asks; Save writes the typed frequency.
    QStringList asked;
    scripted(frame).choice = [&](const QStringList&, const QString& text) { return asked << text, 0; };
    const QString saved = f.dir.filePath(QStringLiteral("closed.tw"));
    scripted(frame).savePath = [&] { return saved; };
    QVERIFY(frame->close());
    QCOMPARE(asked, QStringList{QStringLiteral("en148")});
    RadioImage image;
    QCOMPARE(int(loadConfiguration(QFile::encodeName(saved).toStdString(), image).outcome), int(FileOutcome::Loaded));
    QCOMPARE(ChannelRowTexts(image, 3, ChannelWords{})[ColRxFrequency], std::string("146.70000"));
}

void TestHistory::importOfWhatIsNotAFileIsRefusedAtOnce()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    QStringList said;
    MessageDialog::setTestHook([&](const MessageDialog& d) { return said << d.text(), 1; });
    const QString fifo = f.dir.filePath(QStringLiteral("pipe.csv"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {f.dir.path(), fifo}) {
        said.clear();
        scripted(frame).csvPath = [path](bool) { return path; };
        frame->commandAction(ID_IMPORT_CHANNELS)->trigger();  // a FIFO nobody writes must not hang
        QCOMPARE(said.size(), 1);
        QVERIFY2(said.first().startsWith(QStringLiteral("en175\n")), qPrintable(said.first()));
        QVERIFY(!frame->commandAction(ID_EDIT_UNDO)->isEnabled());
    }
}

QTEST_MAIN(TestHistory)
#include "tst_history.moc"
