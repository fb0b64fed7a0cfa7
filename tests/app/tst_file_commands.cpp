// File/New, File/Open and File/Save of the main frame, with the dialogs replaced.
#include "AppFixture.h"

#include "app/ChildFrame.h"
#include "link/MessageDialog.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "radio/ConfigFile.h"

#include <QComboBox>

using namespace tarn;

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { MessageDialog::setTestHook({}); }
    void newResetsOnlyOnOk();
    void unsavedChangesAreAskedAbout_data();
    void unsavedChangesAreAskedAbout();
    void settingsPageEditsAreAskedAbout_data();
    void settingsPageEditsAreAskedAbout();
    void languageSwitchKeepsAPageEdit();
    void openOfWrongFileKeepsImageAndSaysSo();
    void openOfMissingFileDoesNothing();
    void saveThenOpenRoundTripsTheImage();
    void saveLetsOpenPagesStoreFirst();
    void craftedSettingsSaveAsTheRulesGive();
    void failedSaveLeavesOldFileAndReports();
    void saveAsksBeforeReplacingACompletedName();

private:
    static void answerMessages(QStringList* seen, int result)
    {
        // Records the text; a title or button other than strings 0 and 116 shows up in it.
        MessageDialog::setTestHook([seen, result](const MessageDialog& d) {
            const bool usual = d.title() == QStringLiteral("en0") && d.buttonText() == QStringLiteral("en116");
            *seen << (usual ? d.text() : d.title() + "|" + d.buttonText() + "|" + d.text());
            return result;
        });
    }
};

void TestFileCommands::newResetsOnlyOnOk()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->image().setPortNumber(9);
    QStringList asked;
    int answer = 1;  // Cancel
    scripted(frame).choice = [&](const QStringList& buttons, const QString& text) {
        asked << buttons.join('|') + ": " + text;
        return answer;
    };

    frame->commandAction(ID_FILE_NEW)->trigger();
    QCOMPARE(asked, QStringList{"en116|en117: en30"});
    QCOMPARE(frame->image().portNumber(), 9);
    QVERIFY(!frame->channelFrame());

    answer = 0;  // OK
    frame->commandAction(ID_FILE_NEW)->trigger();
    QCOMPARE(frame->image().portNumber(), 1);
    tarn::RadioImage fresh;
    fresh.resetToDefaults();
    QVERIFY(frame->image() == fresh);
    QVERIFY(frame->channelFrame());
}

void TestFileCommands::unsavedChangesAreAskedAbout_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("answer");  // 0 Save, 1 Discard, 2 Cancel
    QTest::addColumn<bool>("replaced");
    QTest::newRow("open, save first") << int(ID_FILE_OPEN) << 0 << true;
    QTest::newRow("open, discard") << int(ID_FILE_OPEN) << 1 << true;
    QTest::newRow("open, cancel") << int(ID_FILE_OPEN) << 2 << false;
    QTest::newRow("new, cancel") << int(ID_FILE_NEW) << 2 << false;
    QTest::newRow("exit, discard") << int(ID_APP_EXIT) << 1 << true;
    QTest::newRow("exit, cancel") << int(ID_APP_EXIT) << 2 << false;
}

void TestFileCommands::unsavedChangesAreAskedAbout()
{
    QFETCH(int, command);
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    AppFixture f;
    CMainFrame* frame = f.frame();
    for (int n : {148, 149, 150})
        frame->setLanguageString(n, QStringLiteral("en%1").arg(n));
    const QString other = f.dir.filePath(QStringLiteral("other.tw"));
    QCOMPARE(tarn::saveConfiguration(other.toStdString(), tarn::RadioImage()).outcome, tarn::FileOutcome::Saved);
    const QString saved = f.dir.filePath(QStringLiteral("mine.tw"));
    scripted(frame).openPath = [&] { return other; };
    scripted(frame).savePath = [&] { return saved; };
    QStringList asked;
    scripted(frame).choice = [&](const QStringList& buttons, const QString& text) {
        asked << buttons.join('|') + ": " + text;
        return text == QStringLiteral("en30") ? 0 : answer;
    };

    // Nothing changed: no question.
    frame->commandAction(command == ID_APP_EXIT ? ID_FILE_OPEN : command)->trigger();
    QCOMPARE(asked.filter("en148"), QStringList());

    // A name typed into the channel page and not stored yet.
    frame->OpenChannelPage();
    auto* page = static_cast<CChnMsgView*>(frame->channelFrame()->page());
    page->list()->setCellText(0, 1, QStringLiteral("145.5"));
    page->OnFrequencyEdited(1, 0, false);
    QVERIFY(frame->hasUnsavedChanges());
    frame->show();
    bool closed = false;
    if (command == ID_APP_EXIT)
        closed = frame->close();
    else
        frame->commandAction(command)->trigger();
    QCOMPARE(asked.filter("en148"), QStringList{"en149|en150|en117: en148"});
    const bool channelKept = frame->channelFrame()
        && static_cast<CChnMsgView*>(frame->channelFrame()->page())->list()->cellText(0, 1) == "145.50000";
    if (command == ID_APP_EXIT)
        QCOMPARE(closed, replaced);
    else
        QCOMPARE(channelKept, !replaced);
    QCOMPARE(QFileInfo::exists(saved), answer == 0);
    if (answer == 0)
        QVERIFY(!frame->hasUnsavedChanges() || command == ID_FILE_OPEN);
}

void TestFileCommands::settingsPageEditsAreAskedAbout_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("crafted");  // a file whose settings a store normalizes
    QTest::addColumn<bool>("edit");
    QTest::newRow("options, untouched") << int(PageKind::Options) << false << false;
    QTest::newRow("options, untouched crafted file") << int(PageKind::Options) << true << false;
    QTest::newRow("options, time-out changed") << int(PageKind::Options) << false << true;
    QTest::newRow("options, crafted file, time-out changed") << int(PageKind::Options) << true << true;
    QTest::newRow("keys, untouched crafted file") << int(PageKind::Keys) << true << false;
    QTest::newRow("keys, side key changed") << int(PageKind::Keys) << false << true;
}

void TestFileCommands::settingsPageEditsAreAskedAbout()
{
    QFETCH(int, page);
    QFETCH(bool, crafted);
    QFETCH(bool, edit);
    AppFixture f;
    CMainFrame* frame = f.frame();
    if (crafted) {
        tarn::RadioImage image;
        auto fn = image.functionData();
        fn[6] = 40;    // time-out: 40 modulo 40
        fn[27] = 7;    // side key: 7 modulo 3
        fn[42] = 10;   // a password digit that a store pads (notice 115)
        const QString path = f.dir.filePath(QStringLiteral("crafted.tw"));
        QCOMPARE(tarn::saveConfiguration(path.toStdString(), image).outcome, tarn::FileOutcome::Saved);
        scripted(frame).openPath = [=] { return path; };
        frame->commandAction(ID_FILE_OPEN)->trigger();
    }
    QStringList seen;
    answerMessages(&seen, QDialog::Accepted);
    QStringList asked;
    scripted(frame).choice = [&](const QStringList&, const QString& text) {
        asked << text;
        return 2;  // Cancel
    };
    frame->openPage(PageKind(page));
    const QString listName = page == int(PageKind::Options) ? QStringLiteral("c1009") : QStringLiteral("list1045");
    auto* list = frame->pageFrame(PageKind(page))->page()->findChild<QComboBox*>(listName);
    QVERIFY(list);
    if (edit)
        list->setCurrentIndex((list->currentIndex() + 1) % list->count());

    const tarn::RadioImage before = frame->image();
    frame->show();
    QCOMPARE(frame->close(), !edit);
    QCOMPARE(asked, edit ? QStringList{"en148"} : QStringList());
    // The check stores into copies only: no notice, the image untouched.
    QCOMPARE(seen, QStringList());
    QVERIFY(frame->image() == before);
}

void TestFileCommands::languageSwitchKeepsAPageEdit()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenChannelPage();
    auto page = [frame] { return static_cast<CChnMsgView*>(frame->channelFrame()->page()); };
    page()->list()->setCellText(0, 1, QStringLiteral("145.5"));
    page()->OnFrequencyEdited(1, 0, false);
    f.app->chooseLanguage = [](const QStringList&, int) { return std::optional<int>(0); };
    f.app->SwitchLanguage();
    QCOMPARE(page()->list()->cellText(0, 1), QStringLiteral("145.50000"));
    frame->StorePages();
    QVERIFY(frame->image().channelInUse(0));
}

void TestFileCommands::openOfWrongFileKeepsImageAndSaysSo()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    const QString path = f.dir.filePath(QStringLiteral("wrong.tw"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("TZ31\0", 5) + QByteArray(5284, 'x'));
    file.close();

    frame->image().setPortNumber(5);
    const tarn::RadioImage before = frame->image();
    QStringList seen;
    answerMessages(&seen, QDialog::Accepted);
    scripted(frame).openPath = [&] { return path; };
    frame->commandAction(ID_FILE_OPEN)->trigger();
    QCOMPARE(seen, QStringList{"en31"});
    QVERIFY(frame->image() == before);
    // The pages are refreshed anyway.
    QVERIFY(frame->channelFrame());
}

void TestFileCommands::openOfMissingFileDoesNothing()
{
    AppFixture f;
    QStringList seen;
    answerMessages(&seen, QDialog::Accepted);
    scripted(f.frame()).openPath = [&] { return f.dir.filePath(QStringLiteral("none.tw")); };
    f.frame()->documents().open();
    QVERIFY(seen.isEmpty());
    QVERIFY(!f.frame()->channelFrame());
}

void TestFileCommands::saveThenOpenRoundTripsTheImage()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->image().setPortNumber(7);
    frame->image().channelSlot(3)[0] = 0x25;
    frame->image().functionData()[10] = 0x42;
    frame->image().startupTextData()[2] = 'Q';
    const tarn::RadioImage saved = frame->image();

    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("radio")); };
    frame->commandAction(ID_FILE_SAVE)->trigger();
    const QString written = f.dir.filePath(QStringLiteral("radio.tw"));
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(bytes.size(), 5289);
    QVERIFY(bytes.startsWith("TZ318"));
    QCOMPARE(bytes.mid(5), QByteArray(reinterpret_cast<const char*>(saved.data()), saved.Size));

    frame->image().resetToDefaults();
    scripted(frame).choice = [](const QStringList&, const QString&) { return 1; };  // discard
    scripted(frame).openPath = [&] { return written; };
    frame->commandAction(ID_FILE_OPEN)->trigger();
    QVERIFY(frame->image() == saved);
    QCOMPARE(frame->image().portNumber(), 7);
    QVERIFY(frame->channelFrame());
}

void TestFileCommands::saveLetsOpenPagesStoreFirst()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenOptionsPage();
    // The time-out list (function settings byte 6) set to its last entry on the page.
    auto* timeOut = frame->optionsFrame()->page()->findChild<QComboBox*>(QStringLiteral("c1009"));
    QVERIFY(timeOut);
    timeOut->setCurrentIndex(39);
    scripted(frame).savePath = [] { return QString(); };
    frame->documents().save();
    QCOMPARE(int(frame->image().functionData()[6]), 3);  // cancelled
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("a.tw")); };
    frame->documents().save();
    QCOMPARE(int(frame->image().functionData()[6]), 39);
}

void TestFileCommands::craftedSettingsSaveAsTheRulesGive()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    tarn::RadioImage crafted;
    auto fn = crafted.functionData();
    fn[6] = 40;      // time-out: 40 modulo 40
    fn[62] = 200;    // priority: 200 modulo 129
    fn[32] = 4;      // TDR: even, so checked
    fn[60] = 0xFE;   // function menu: bit 0 only
    fn[16] = 12;     // hidden ring time
    const std::uint8_t password[6] = {1, 2, 3, 10, 4, 5};
    std::copy(password, password + 6, fn.data() + 42);
    const std::uint8_t localId[6] = {10, 1, 11, 12, 13, 16};
    std::copy(localId, localId + 6, fn.data() + 54);
    const std::uint8_t startup[6] = {'A', 'B', 0xFF, 'C', 'D', 'E'};
    std::copy(startup, startup + 6, crafted.startupTextData().data());
    const QString in = f.dir.filePath(QStringLiteral("crafted.tw"));
    QCOMPARE(tarn::saveConfiguration(in.toStdString(), crafted).outcome, tarn::FileOutcome::Saved);

    QStringList seen;
    answerMessages(&seen, QDialog::Accepted);
    scripted(frame).openPath = [&] { return in; };
    frame->commandAction(ID_FILE_OPEN)->trigger();
    frame->OpenOptionsPage();
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("saved.tw")); };
    frame->commandAction(ID_FILE_SAVE)->trigger();
    QCOMPARE(seen, QStringList{QStringLiteral("en115")});

    tarn::RadioImage expected = crafted;
    auto e = expected.functionData();
    e[6] = 0;
    e[62] = 71;
    e[32] = 0;
    e[16] = 1;
    e[45] = e[46] = e[47] = 0;
    e[54] = 0xFF;
    std::fill_n(expected.startupTextData().data() + 3, 3, 0xFF);
    // Both new-image bands lie outside the transmit windows: their band option bit is cleared.
    expected.vfoData()[15] = 0xEF;
    expected.vfoData()[31] = 0xEF;
    tarn::RadioImage saved;
    QCOMPARE(tarn::loadConfiguration(f.dir.filePath(QStringLiteral("saved.tw")).toStdString(), saved).outcome,
             tarn::FileOutcome::Loaded);
    for (int i = 0; i < tarn::layout::FileBodyLoaded; ++i)
        QVERIFY2(saved.data()[i] == expected.data()[i], qPrintable(QString::number(i)));
}

void TestFileCommands::failedSaveLeavesOldFileAndReports()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    // A directory stands where the file would go: the save cannot replace it, even as root.
    const QString target = f.dir.filePath(QStringLiteral("old.tw"));
    QVERIFY(QDir().mkpath(target));
    QFile old(target + QStringLiteral("/keep"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old contents");
    old.close();

    QString reason;
    scripted(frame).saveError = [&](const QString&, const QString& why) { reason = why; };
    scripted(frame).savePath = [&] { return target; };
    frame->documents().save();
    QVERIFY(!reason.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
    // No half-written file is left behind.
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("lang.csv")});

    reason.clear();
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("no/such/dir/x.tw")); };
    frame->documents().save();
    QVERIFY(!reason.isEmpty());
}

void TestFileCommands::saveAsksBeforeReplacingACompletedName()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    QFile existing(f.dir.filePath(QStringLiteral("mine.tw")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("keep");
    existing.close();

    int asked = 0;
    scripted(frame).overwrite = [&](const QString&) { ++asked; return false; };
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("mine")); };
    frame->documents().save();
    QCOMPARE(asked, 1);
    QCOMPARE(QFileInfo(existing).size(), 4);

    scripted(frame).overwrite = [&](const QString&) { ++asked; return true; };
    frame->documents().save();
    QCOMPARE(QFileInfo(existing).size(), 5289);
}

QTEST_MAIN(TestFileCommands)
#include "tst_file_commands.moc"
