// File/New, File/Open and File/Save of the main frame, with the dialogs replaced.
#include "AppFixture.h"

#include "app/ChildFrame.h"
#include "app/PlaceholderPage.h"
#include "link/MessageDialog.h"

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { MessageDialog::setTestHook({}); }
    void newResetsOnlyOnOk();
    void openOfWrongFileKeepsImageAndSaysSo();
    void openOfMissingFileDoesNothing();
    void saveThenOpenRoundTripsTheImage();
    void saveLetsOpenPagesStoreFirst();
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
    QStringList seen;
    frame->image().setPortNumber(9);

    answerMessages(&seen, QDialog::Rejected);
    frame->commandAction(ID_FILE_NEW)->trigger();
    QCOMPARE(seen, QStringList{"en30"});
    QCOMPARE(frame->image().portNumber(), 9);
    QVERIFY(!frame->channelFrame());

    answerMessages(&seen, QDialog::Accepted);
    frame->commandAction(ID_FILE_NEW)->trigger();
    QCOMPARE(frame->image().portNumber(), 1);
    tarn::RadioImage fresh;
    fresh.resetToDefaults();
    QVERIFY(frame->image() == fresh);
    QVERIFY(frame->channelFrame());
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
    f.frame()->onFileOpen();
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
    auto* options = static_cast<PlaceholderPage*>(frame->optionsFrame()->page());
    scripted(frame).savePath = [] { return QString(); };
    frame->onFileSave();
    QCOMPARE(options->stores, 0);  // cancelled
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("a.tw")); };
    frame->onFileSave();
    QCOMPARE(options->stores, 1);
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
    frame->onFileSave();
    QVERIFY(!reason.isEmpty());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("old contents"));
    // No half-written file is left behind.
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("lang.csv")});

    reason.clear();
    scripted(frame).savePath = [&] { return f.dir.filePath(QStringLiteral("no/such/dir/x.tw")); };
    frame->onFileSave();
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
    frame->onFileSave();
    QCOMPARE(asked, 1);
    QCOMPARE(QFileInfo(existing).size(), 4);

    scripted(frame).overwrite = [&](const QString&) { ++asked; return true; };
    frame->onFileSave();
    QCOMPARE(QFileInfo(existing).size(), 5289);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
