// The window's Read, Write and Verify commands end to end: the frame's actions drive a
// transfer through a pseudo-terminal to a virtual radio, and the image, the radio's memory,
// the channel page, the questions and the one result message, the lock-out of the image
// commands while the worker owns the image, closing the window mid-transfer, the restore
// of what the radio held and the list of backups are checked.
#include "AppFixture.h"

#include "tests/common/RadioMemoryModel.h"
#include "app/BackupsDialog.h"
#include "app/ChildFrame.h"
#include "app/DemoRadio.h"
#include "app/NavigationBar.h"
#include "app/ProgStatusBar.h"
#include "emulator/PtyRadio.h"
#include "link/Backups.h"
#include "link/MessageDialog.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/ResultText.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "pages/ChoiceFunView.h"
#include "radio/BandSettings.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"

#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QToolBar>

#include <cstring>
#include <memory>

using namespace tarn;

namespace {

// Message texts as the fixture's language table words them ("enN").
const QString ReadSucceededText = QStringLiteral("en122en32");
const QString WriteSucceededText = QStringLiteral("en123en32");
const QString WriteFailedText = QStringLiteral("en123en31");
const QString NoRadioText = QStringLiteral("en33");
const QString CancelledText = QStringLiteral("en365");
// The buttons of the questions before a write and of a result that offers a restore.
const QString WriteOrCancel = QStringLiteral(" [en341/en117]");
const QString OkOrRestore = QStringLiteral(" [en116/en347]");

// "Radio on COM1 (/dev/pts/N)" as a result names the port the radio answered on.
QString onPort(int port)
{
    return "\nen335" + QString::fromStdString(PortDisplayName(port, PortMap::deviceForPort(port).toStdString()));
}

// The frame's prompts with a scripted list of backups.
struct BackupsPrompts : ScriptedPrompts {
    std::function<int(BackupsDialog& dialog)> backups;
    int runBackupsDialog(BackupsDialog& dialog) override
    {
        return backups ? backups(dialog) : ScriptedPrompts::runBackupsDialog(dialog);
    }
};

// A virtual radio on a pseudo-terminal that the port map calls COM1.
struct RadioOnPort1 {
    PtyRadio radio;
    explicit RadioOnPort1(bool fast = true)
    {
        radio.setFast(fast);
        std::string error;
        if (!radio.start(&error))
            qFatal("no pseudo-terminal: %s", error.c_str());
        PortMap::setOverride(QStringLiteral("1=%1").arg(QString::fromStdString(radio.slavePath())));
    }
    ~RadioOnPort1()
    {
        radio.stop();
        PortMap::setOverride(QString());
    }
    int writeFrames() const
    {
        int n = 0;
        for (const Frame& frame : radio.frames())
            if (frame.size() == 20 && frame[0] == wire::WriteFrame)
                ++n;
        return n;
    }
    int entrySequences() const
    {
        int n = 0;
        for (const Frame& frame : radio.frames())
            if (frame.size() == 8 && frame[0] == 'P')
                ++n;
        return n;
    }
};

// Every block a read brings in, as the radio holds it at its address.
bool imageHoldsRadioBlocks(RadioImage image, const VirtualRadio::Memory& memory)
{
    for (const BlockRef& block : image.readOrder()) {
        if (std::memcmp(block.data().data(), memory.data() + block.address(), layout::BlockDataSize) != 0) {
            qWarning("block at %04x differs", block.address());
            return false;
        }
    }
    return true;
}

// The factory memory as the channel page leaves it when it shows the channels (it clears
// the band-limited option of channels that cannot transmit), so that a read followed by the
// page's refresh must leave the image byte for byte equal to the radio.
VirtualRadio::Memory memoryAsShown()
{
    RadioImage image = VirtualRadio::imageFromMemory(VirtualRadio::factoryMemory());
    for (int i = 0; i < layout::ChannelCount; ++i)
        ClearUnusableBandLimit(image, i);
    return VirtualRadio::memoryFromImage(image);
}

// What a read-first write hears before it sends its first chunk: entry, identification and
// its acknowledgement, each block read and acknowledged, the band limits read.
constexpr int FramesBeforeTheFirstChunk = 3 + 2 * 68 + 2;

// The configuration as the radio holds it, with channel 5 retuned to 145.52500 MHz.
RadioImage radioWithChannel5Retuned()
{
    RadioImage image = VirtualRadio::imageFromMemory(memoryAsShown());
    writeLe32(image.channelSlot(4).data() + layout::channel::RxFrequency, 0x14552500);
    image.setPortNumber(1);
    return image;
}

CChnMsgView* channelPage(CMainFrame* frame)
{
    return frame->channelFrame() ? qobject_cast<CChnMsgView*>(frame->channelFrame()->page()) : nullptr;
}

}  // namespace

class TestTransferCommands : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void readFillsImageShowsChannelsAndReportsSuccess();
    void undoOfAReadGivesBackTheEditsItReplaced();
    void readRefreshesPagesBeforeTheResultAndHidesProgressAfter();
    void writeSendsTheEditedChannelsToTheRadio();
    void bandLimitRefusalShowsTheCheckThenWriteFailedAndSendsNothing();
    void noRadioOnAnyPortReportsNoRadio();
    void imageCommandsAreDisabledWhileATransferRuns();
    void closingDuringAReadStopsItAndClosesThePort();
    void closingWhileTheWorkerWaitsForTheCheckWritesNothing();
    void demoRadioAcceptsWritingBackWhatWasRead();
    void verifyNamesAChannelChangedBehindTheWindowAndReadsLeaveBackups();
    void aWriteWithVerifyEndsInOneResult_data();
    void aWriteWithVerifyEndsInOneResult();
    void aRadioOnAnotherPortIsAskedAbout_data();
    void aRadioOnAnotherPortIsAskedAbout();
    void refusalOpensThePageAtTheRefusedValue_data();
    void refusalOpensThePageAtTheRefusedValue();
    void aWriteCutOffOffersARestoreThatPutsTheRadioBack();
    void backupsListShowsItsColumnsComparesAndWritesOneBack();

private:
    // Every message dialog's text, its buttons after it in brackets when it has several, and
    // the lines of its list (empty for none).
    QStringList m_messages;
    QList<QStringList> m_details;
    // Which button to press; the first (Write, OK) unless a test says otherwise.
    std::function<int(const MessageDialog& dialog)> m_answer;
    void recordMessages()
    {
        m_messages.clear();
        m_details.clear();
        m_answer = nullptr;
        MessageDialog::setTestHook([this](const MessageDialog& d) {
            const bool usual = d.title() == QStringLiteral("en0")
                && (d.choices().isEmpty() ? d.buttonText() == QStringLiteral("en116") : true);
            QString text = usual ? d.text() : d.title() + "|" + d.buttonText() + "|" + d.text();
            if (!d.choices().isEmpty())
                text += " [" + d.choices().join('/') + "]";
            m_messages << text;
            m_details << d.details();
            const int index = m_answer ? m_answer(d) : 0;
            if (d.choices().isEmpty())
                return int(index == 0 ? QDialog::Accepted : QDialog::Rejected);
            return MessageDialog::choiceResult(index);
        });
    }
    static void waitForTransferEnd(CMainFrame* frame)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!frame->transferRunning(), 60000);
        QVERIFY(!frame->transferJob().isBusy());
        QVERIFY(!frame->transferJob().port()->isOpen());
    }
};

void TestTransferCommands::cleanup()
{
    MessageDialog::setTestHook({});
    PortMap::setOverride(QString());
}

void TestTransferCommands::readFillsImageShowsChannelsAndReportsSuccess()
{
    RadioOnPort1 r;
    r.radio.setMemory(memoryAsShown());
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    QVERIFY(frame->transferRunning());
    waitForTransferEnd(frame);

    QCOMPARE(m_messages, QStringList{ReadSucceededText + onPort(1)});
    QVERIFY(imageHoldsRadioBlocks(frame->image(), r.radio.memory()));
    QCOMPARE(frame->image().portNumber(), 1);

    CChnMsgView* page = channelPage(frame);
    QVERIFY(page);
    QCOMPARE(frame->mdiArea()->activeSubWindow(), frame->channelFrame());
    QCOMPARE(page->list()->cellText(0, ColName), QStringLiteral("CALL2M"));
    QVERIFY(page->list()->cellText(0, ColRxFrequency).startsWith(QStringLiteral("145.5")));
    QCOMPARE(page->list()->cellText(8, ColName), QStringLiteral("DIG9"));
    QVERIFY(page->list()->cellText(6, ColRxFrequency).isEmpty());
}

void TestTransferCommands::undoOfAReadGivesBackTheEditsItReplaced()
{
    RadioOnPort1 r;
    r.radio.setMemory(memoryAsShown());
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    frame->OpenChannelPage();
    CChnMsgView* page = channelPage(frame);
    page->list()->setCellText(2, ColRxFrequency, QStringLiteral("146.52000"));
    page->OnFrequencyEdited(ColRxFrequency, 2, false);
    page->OnRowCommand(2, ChannelCopyCommand);
    page->OnRowCommand(40, ChannelPasteCommand);  // one step, with the typed row in it
    const RadioImage edited = frame->document().current();
    scripted(frame).choice = [](const QStringList&, const QString&) { return 1; };  // Discard

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(page->list()->cellText(0, ColName), QStringLiteral("CALL2M"));
    QVERIFY(!frame->hasUnsavedChanges());
    QVERIFY(frame->progressBar()->findChild<QLabel*>(QStringLiteral("configurationStatus"))->text().startsWith("en266"));

    frame->commandAction(ID_EDIT_UNDO)->trigger();
    frame->StorePages();
    QVERIFY(frame->image().sameSettings(edited));
    QCOMPARE(page->list()->cellText(40, ColRxFrequency), QStringLiteral("146.52000"));
    QVERIFY(frame->hasUnsavedChanges());
}

void TestTransferCommands::readRefreshesPagesBeforeTheResultAndHidesProgressAfter()
{
    RadioOnPort1 r;
    AppFixture f;
    CMainFrame* frame = f.frame();
    QProgressBar* indicator = frame->progressBar()->progressControl();
    bool pageOpenAtResult = false;
    bool indicatorFullAtResult = false;
    MessageDialog::setTestHook([&](const MessageDialog&) {
        pageOpenAtResult = channelPage(frame) != nullptr;
        indicatorFullAtResult = indicator->isVisibleTo(frame->progressBar()) && indicator->value() == 100;
        return int(QDialog::Accepted);
    });

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QVERIFY(pageOpenAtResult);
    QVERIFY(indicatorFullAtResult);
    QTRY_VERIFY(!indicator->isVisibleTo(frame->progressBar()));
}

void TestTransferCommands::writeSendsTheEditedChannelsToTheRadio()
{
    DemoRadio demo;
    QVERIFY(demo.start(nullptr, true));
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{ReadSucceededText + onPort(1)});

    // An edit in the channel page, stored by the write command itself.
    CChnMsgView* page = channelPage(frame);
    QVERIFY(page);
    page->list()->setCellText(2, ColName, QStringLiteral("NEWNM"));
    const RadioImage beforeWrite = frame->image();

    m_messages.clear();
    m_details.clear();
    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    QVERIFY(frame->transferRunning());
    waitForTransferEnd(frame);
    // The radio is read first: the change is shown before anything is sent, and the one
    // result says what was sent and what the read-back found.
    QCOMPARE(m_messages.size(), 2);
    QCOMPARE(m_messages[0], "en342" + WriteOrCancel);
    QVERIFY(!m_details[0].filter(QStringLiteral("NEWNM")).isEmpty());
    QVERIFY2(m_messages[1].startsWith(WriteSucceededText + onPort(1) + "\nen345"), qPrintable(m_messages[1]));
    QVERIFY(m_messages[1].endsWith("\nen166"));
    QCOMPARE(scripted(frame).reports, QList<QStringList>{});

    QVERIFY(!(frame->image() == beforeWrite));  // the page stored the new name
    const RadioImage inRadio = VirtualRadio::imageFromMemory(demo.radio()->memory());
    for (int i = 0; i < layout::ChannelCount; ++i) {
        QVERIFY2(std::memcmp(inRadio.channelSlot(i).data(), frame->image().channelSlot(i).data(), 16) == 0,
                 qPrintable(QString("channel %1").arg(i + 1)));
        QVERIFY2(std::memcmp(inRadio.extensionSlot(i).data(), frame->image().extensionSlot(i).data(), 16) == 0,
                 qPrintable(QString("channel %1 name").arg(i + 1)));
    }

    // Reading back shows the edit.
    m_messages.clear();
    m_details.clear();
    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{ReadSucceededText + onPort(1)});
    QCOMPARE(channelPage(frame)->list()->cellText(2, ColName), QStringLiteral("NEWNM"));
}

void TestTransferCommands::bandLimitRefusalShowsTheCheckThenWriteFailedAndSendsNothing()
{
    RadioOnPort1 r;
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    // 375.025 MHz on the A band, outside the radio's 136-174 and 400-480 MHz.
    writeLe32(frame->image().bandRecord(Band::A).data() + layout::vfo::RxFrequency, 0x37502500);
    const VirtualRadio::Memory before = r.radio.memory();

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);

    // The changes are asked about first; the refusal then names the value, the radio's limits
    // and where to change it.
    QCOMPARE(m_messages, (QStringList{"en342" + WriteOrCancel,
                                      "en74 A en113\nen349375.02500en351136-174en353400-480en354\nen356en72, en74"
                                      " [en116/en366]",
                                      WriteFailedText + onPort(1) + "\nen3450/265"}));
    QCOMPARE(r.writeFrames(), 0);
    QVERIFY(r.radio.memory() == before);
    // The image now holds the limits the radio reported.
    QCOMPARE(frame->image().bandLimitMHz(layout::limits::RxHigh1), 174);
}

void TestTransferCommands::noRadioOnAnyPortReportsNoRadio()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    // A port map in which no port number has a device.
    PortMap::setOverride(QStringLiteral("99=/dev/tarn-test-absent"));
    QStringList statusTexts;
    connect(frame->progressBar(), &QStatusBar::messageChanged, this,
            [&statusTexts](const QString& text) { statusTexts << text; });

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{NoRadioText});
    // While it looked, the status bar said which port it tried; the result ends that.
    QVERIFY(statusTexts.contains(QStringLiteral("en337COM1")));
    QVERIFY(statusTexts.contains(QStringLiteral("en337COM20")));
    QCOMPARE(frame->progressBar()->currentMessage(), QString());
    QVERIFY(!frame->channelFrame());
    QVERIFY(frame->commandAction(ID_READ_FROM_RADIO)->isEnabled());
}

void TestTransferCommands::imageCommandsAreDisabledWhileATransferRuns()
{
    RadioOnPort1 r(false);  // at the pace of a real line: the read takes seconds
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    frame->OpenChannelPage();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    QVERIFY(frame->transferRunning());
    for (int id : CMainFrame::imageCommands())
        QVERIFY2(!frame->commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    for (QAction* tool : frame->toolBar()->actions()) {
        const int id = tool->data().toInt();
        if (CMainFrame::imageCommands().contains(id))
            QVERIFY2(!tool->isEnabled(), qPrintable(QString("tool %1").arg(id)));
    }
    QVERIFY(!frame->pagesMayStore());
    QVERIFY(!frame->navigationBar()->tree()->opensPages);
    // A page asked to store leaves the image to the worker.
    channelPage(frame)->list()->setCellText(20, ColRxFrequency, QStringLiteral("146.52000"));
    channelPage(frame)->StoreToImage();
    QVERIFY(readLe32(frame->image().channelSlot(20).data() + layout::channel::RxFrequency) != 0x14652000);

    // Neither the commands nor their handlers start a second transfer.
    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    frame->transfers().read();
    frame->transfers().write();
    QTest::qWait(300);
    QCOMPARE(r.entrySequences(), 1);

    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{ReadSucceededText + onPort(1)});
    QCOMPARE(r.entrySequences(), 1);
    QCOMPARE(r.writeFrames(), 0);
    for (int id : CMainFrame::imageCommands())
        QVERIFY2(frame->commandAction(id)->isEnabled(), qPrintable(QString::number(id)));
    QVERIFY(frame->pagesMayStore());
}

void TestTransferCommands::closingDuringAReadStopsItAndClosesThePort()
{
    RadioOnPort1 r(false);
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(frame->progressBar()->progressControl()->value() >= 5, 20000);
    QVERIFY(frame->transferRunning());

    QVERIFY(frame->close());
    QVERIFY(!frame->transferRunning());
    QVERIFY(!frame->transferJob().isBusy());
    QVERIFY(!frame->transferJob().port()->isOpen());
    // Nothing more is shown for a window that is going away.
    QCOMPARE(m_messages, QStringList{});
    QVERIFY(!frame->channelFrame());
    // The device is free again: another program could open it now.
    CommPort other;
    QVERIFY(other.open("COM1"));
    other.close();
}

void TestTransferCommands::closingWhileTheWorkerWaitsForTheCheckWritesNothing()
{
    RadioOnPort1 r;
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    const std::uint16_t limitsAddress = frame->image().block(layout::BandLimits).address();

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    // Without letting the window answer, wait until the worker has read the limits and is
    // blocked on the check.
    auto limitsRead = [&] {
        for (const Frame& fr : r.radio.frames())
            if (fr.size() == 4 && fr[0] == wire::ReadRequest && ((fr[1] << 8) | fr[2]) == limitsAddress)
                return true;
        return false;
    };
    for (int i = 0; i < 500 && !limitsRead(); ++i)
        QThread::msleep(10);
    QVERIFY(limitsRead());
    QThread::msleep(100);

    QVERIFY(frame->close());
    QVERIFY(!frame->transferJob().isBusy());
    QVERIFY(!frame->transferJob().port()->isOpen());
    QCOMPARE(r.writeFrames(), 0);
    QCOMPARE(m_messages, QStringList{});
}

void TestTransferCommands::demoRadioAcceptsWritingBackWhatWasRead()
{
    DemoRadio demo;
    QVERIFY(demo.start(nullptr, true));
    QVERIFY(demo.statusText().startsWith(QStringLiteral("Demo: virtual radio on COM1 (/dev/")));
    QCOMPARE(PortMap::deviceForPort(1), demo.device());
    AppFixture f;
    CMainFrame* frame = f.frame();
    demo.announce(frame);
    recordMessages();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);
    // The page cleared channel 6's unusable band option as it showed the channels: that one
    // change is shown and sent.
    QCOMPARE(m_messages.size(), 3);
    QCOMPARE(m_messages[0], ReadSucceededText + onPort(1));
    QCOMPARE(m_details[1], QStringList{"en1 6 en53: 0x10 -> 0x00"});
    QVERIFY2(m_messages[2].startsWith(WriteSucceededText + onPort(1) + "\nen3451/265"), qPrintable(m_messages[2]));
    QCOMPARE(VirtualRadio::countFrames(demo.radio()->frames(), FrameKind::ChunkWrite), 1);
    // Now the radio holds it: the next write says so and sends nothing.
    m_messages.clear();
    m_details.clear();
    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{"en343" + onPort(1)});
    QCOMPARE(VirtualRadio::countFrames(demo.radio()->frames(), FrameKind::ChunkWrite), 1);
    // The note stays beside the indicator, which still comes and goes.
    QVERIFY(frame->progressBar()->findChild<QWidget*>(QStringLiteral("demoNote"))->isVisibleTo(frame->progressBar()));
    QVERIFY(!frame->progressBar()->progressControl()->isVisibleTo(frame->progressBar()));
}

void TestTransferCommands::verifyNamesAChannelChangedBehindTheWindowAndReadsLeaveBackups()
{
    DemoRadio demo;
    QVERIFY(demo.start(nullptr, true));
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    const QStringList backupsBefore = BackupStore().list();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    const QStringList backups = BackupStore().list();
    QCOMPARE(backups.size(), std::min<int>(backupsBefore.size() + 1, BackupStore::KeepNewest));
    RadioImage kept;
    QCOMPARE(loadConfiguration(backups.first().toStdString(), kept).outcome, FileOutcome::Loaded);
    // The backup holds what the radio sent (the page may since have adjusted its copy).
    const RadioImage sent = VirtualRadio::imageFromMemory(demo.radio()->memory());
    for (int i = 0; i < layout::ChannelCount; ++i)
        QVERIFY(std::memcmp(kept.channelSlot(i).data(), sent.channelSlot(i).data(), 8) == 0);

    VirtualRadio::Memory memory = demo.radio()->memory();
    memory[0x0010 + 16 * 2 + 1] ^= 0x01;  // channel 3's receive frequency, 100 Hz digit
    demo.radio()->setMemory(memory);
    m_messages.clear();
    m_details.clear();
    frame->commandAction(ID_VERIFY)->trigger();
    waitForTransferEnd(frame);
    // One message: the verdict, the port, and the differences listed below it. Channel 6's
    // band option, which the page clears on loading, differs too.
    QCOMPARE(m_messages, QStringList{"en167" + onPort(1)});
    QCOMPARE(m_details.first(), (QStringList{"en1 3 en18: 433.50000 en168, 433.50100 en169",
                                             "en1 6 en53: 0x00 en168, 0x10 en169"}));
    QCOMPARE(scripted(frame).reports, QList<QStringList>{});
}

void TestTransferCommands::aWriteWithVerifyEndsInOneResult_data()
{
    QTest::addColumn<bool>("readFirst");
    QTest::addColumn<int>("answer");  // to the changes shown before a write
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("chunksSent");
    // "@" stands for the line that names the port.
    QTest::newRow("quick write, one result with the verdict")
        << false << 0 << QStringList{WriteSucceededText + "@\nen166"} << 265;
    QTest::newRow("read first, Write") << true << 0
                                       << QStringList{"en342" + WriteOrCancel, WriteSucceededText + "@\nen3451/265\nen166"}
                                       << 1;
    QTest::newRow("read first, Cancel sends nothing")
        << true << 1 << QStringList{"en342" + WriteOrCancel, CancelledText + "@"} << 0;
}

void TestTransferCommands::aWriteWithVerifyEndsInOneResult()
{
    QFETCH(bool, readFirst);
    QFETCH(int, answer);
    QFETCH(QStringList, messages);
    QFETCH(int, chunksSent);
    RadioOnPort1 r;
    r.radio.setMemory(memoryAsShown());
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    QVERIFY(frame->commandAction(ID_VERIFY_AFTER_WRITE)->isChecked());
    QVERIFY(frame->commandAction(ID_READ_BEFORE_WRITE)->isChecked());
    frame->commandAction(ID_READ_BEFORE_WRITE)->setChecked(readFirst);
    frame->image() = radioWithChannel5Retuned();
    m_answer = [answer](const MessageDialog& d) { return d.text() == QStringLiteral("en342") ? answer : 0; };

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);

    messages.replaceInStrings(QStringLiteral("@"), onPort(1));
    QCOMPARE(m_messages, messages);
    if (readFirst) {
        // The change by meaning, and nothing else.
        QCOMPARE(m_details.first().size(), 1);
        QVERIFY2(m_details.first().first().startsWith("en1 5 en18: ")
                     && m_details.first().first().endsWith(" -> 145.52500"),
                 qPrintable(m_details.first().first()));
    }
    QCOMPARE(m_details.last(), QStringList{});
    QCOMPARE(scripted(frame).reports, QList<QStringList>{});
    QCOMPARE(r.writeFrames(), chunksSent);
    const RadioImage inRadio = VirtualRadio::imageFromMemory(r.radio.memory());
    QCOMPARE(readLe32(inRadio.channelSlot(4).data() + layout::channel::RxFrequency) == 0x14552500, chunksSent > 0);
}

void TestTransferCommands::aRadioOnAnotherPortIsAskedAbout_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("Cancel") << 1;
    QTest::newRow("Write") << 0;
}

void TestTransferCommands::aRadioOnAnotherPortIsAskedAbout()
{
    QFETCH(int, answer);
    RadioOnPort1 r;
    r.radio.setMemory(memoryAsShown());
    // The configuration's port, COM2, has nothing behind it now; the radio is on COM1.
    const QString device = QString::fromStdString(r.radio.slavePath());
    PortMap::setOverride(QStringLiteral("1=%1,2=/dev/tarn-test-absent").arg(device));
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    frame->image() = radioWithChannel5Retuned();
    frame->image().setPortNumber(2);
    m_answer = [answer](const MessageDialog& d) { return d.text().startsWith(QStringLiteral("en338")) ? answer : 0; };

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);

    QCOMPARE(m_messages.first(), "en338COM1 (" + device + ")en339COM2 (/dev/tarn-test-absent)en340" + WriteOrCancel);
    if (answer == 1) {
        QCOMPARE(m_messages, (QStringList{m_messages.first(), CancelledText + onPort(1)}));
        QCOMPARE(r.writeFrames(), 0);
        // The radio turned down does not become the configuration's port.
        QCOMPARE(frame->image().portNumber(), 2);
    } else {
        QCOMPARE(m_messages.size(), 3);
        QVERIFY2(m_messages[2].startsWith(WriteSucceededText + onPort(1)), qPrintable(m_messages[2]));
        QCOMPARE(r.writeFrames(), 1);
        QCOMPARE(frame->image().portNumber(), 1);
    }
}

void TestTransferCommands::refusalOpensThePageAtTheRefusedValue_data()
{
    QTest::addColumn<int>("channel");  // 0 for a band's VFO frequency
    QTest::addColumn<quint32>("rx");
    QTest::addColumn<quint32>("tx");
    QTest::addColumn<int>("band");  // the VFO refused: 0 A, 1 B
    QTest::addColumn<int>("column");
    QTest::newRow("channel 100 receive") << 100 << 0x30000000u << 0x14500000u << 0 << int(ColRxFrequency);
    QTest::newRow("channel 100 transmit") << 100 << 0x14500000u << 0x30000000u << 0 << int(ColTxFrequency);
    QTest::newRow("A band VFO") << 0 << 0x37502500u << 0u << 0 << 0;
    QTest::newRow("B band VFO") << 0 << 0x30000000u << 0u << 1 << 0;
}

void TestTransferCommands::refusalOpensThePageAtTheRefusedValue()
{
    QFETCH(int, channel);
    QFETCH(quint32, rx);
    QFETCH(quint32, tx);
    QFETCH(int, band);
    QFETCH(int, column);
    RadioOnPort1 r;
    r.radio.setMemory(memoryAsShown());
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    RadioImage image = radioWithChannel5Retuned();
    if (channel > 0) {
        writeLe32(image.channelSlot(channel - 1).data() + layout::channel::RxFrequency, rx);
        writeLe32(image.channelSlot(channel - 1).data() + layout::channel::TxFrequency, tx);
    } else {
        writeLe32(image.bandRecord(band == 0 ? Band::A : Band::B).data() + layout::vfo::RxFrequency, rx);
    }
    frame->image() = image;
    m_answer = [](const MessageDialog& d) { return d.choices().contains(QStringLiteral("en366")) ? 1 : 0; };

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(r.writeFrames(), 0);
    QCOMPARE(m_messages.size(), 3);
    QVERIFY2(m_messages[1].endsWith(" [en116/en366]"), qPrintable(m_messages[1]));
    QVERIFY2(m_messages[2].startsWith(WriteFailedText), qPrintable(m_messages[2]));

    // The page opens once the result has been shown, at the value to change.
    if (channel > 0) {
        QTRY_VERIFY(channelPage(frame));
        QCOMPARE(frame->mdiArea()->activeSubWindow(), frame->channelFrame());
        CellListCtrl* list = channelPage(frame)->list();
        QCOMPARE(list->currentRow(), channel - 1);
        QCOMPARE(list->currentColumn(), column);
        QVERIFY(list->selectionModel()->isRowSelected(channel - 1, QModelIndex()));
        QVERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(channel - 1, column))));
    } else {
        QTRY_VERIFY(frame->optionsFrame());
        QCOMPARE(frame->mdiArea()->activeSubWindow(), frame->optionsFrame());
        auto* view = qobject_cast<CChoiceFunView*>(frame->optionsFrame()->page());
        const BandField& field = FindBandField(BandFieldId::Frequency);
        QWidget* box = view->settingControl(BandSettingKey(band == 0 ? Band::A : Band::B, field.key));
        QVERIFY(box);
        QCOMPARE(frame->focusWidget(), box);
    }
}

void TestTransferCommands::aWriteCutOffOffersARestoreThatPutsTheRadioBack()
{
    RadioOnPort1 r;
    const VirtualRadio::Memory before = memoryAsShown();
    r.radio.setMemory(before);
    AppFixture f;
    CMainFrame* frame = f.frame();
    recordMessages();
    frame->image() = testing::editedImage();
    // The line falls quiet after the second chunk, as when a cable is pulled.
    RadioFaults quiet;
    quiet.quietAfterFrames = FramesBeforeTheFirstChunk + 2;
    r.radio.setFaults(quiet);
    r.radio.clearFrames();
    m_answer = [&r](const MessageDialog& d) {
        if (!d.choices().contains(QStringLiteral("en347")))
            return 0;
        r.radio.setFaults(RadioFaults());  // plugged in again
        r.radio.clearFrames();
        return 1;  // Restore
    };

    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    // The write, then the restore it offered.
    QTRY_VERIFY_WITH_TIMEOUT(m_messages.size() >= 4, 60000);
    waitForTransferEnd(frame);

    QCOMPARE(m_messages.size(), 4);
    QVERIFY2(m_messages[1].startsWith(WriteFailedText + onPort(1) + "\nen3452/265\nen346"), qPrintable(m_messages[1]));
    QVERIFY(m_messages[1].endsWith(OkOrRestore));
    QCOMPARE(m_messages[2], "en342" + WriteOrCancel);
    QVERIFY(!m_details[2].isEmpty());
    // The chunk the radio took without answering is put back too.
    QVERIFY2(QRegularExpression("^" + QRegularExpression::escape(WriteSucceededText + onPort(1))
                                + "\nen345[23]/265\nen166$")
                 .match(m_messages[3])
                 .hasMatch(),
             qPrintable(m_messages[3]));
    QVERIFY(testing::sameMemory(r.radio.memory(), before));
    // The configuration in the window is still the one that was to be written.
    const RadioImage edited = testing::editedImage();
    for (int i = 0; i < layout::ChannelCount; ++i)
        QVERIFY(std::memcmp(frame->image().channelSlot(i).data(), edited.channelSlot(i).data(), 16) == 0);
}

void TestTransferCommands::backupsListShowsItsColumnsComparesAndWritesOneBack()
{
    RadioOnPort1 r;
    const VirtualRadio::Memory atRead = memoryAsShown();
    r.radio.setMemory(atRead);
    AppFixture f;
    CMainFrame* frame = f.frame();
    auto* prompts = new BackupsPrompts;
    frame->setPrompts(std::unique_ptr<FramePrompts>(prompts));
    recordMessages();
    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    // An edit in the window, and another program changes channel 1 in the radio.
    CChnMsgView* page = channelPage(frame);
    page->list()->setCellText(2, ColRxFrequency, QStringLiteral("146.52000"));
    page->OnFrequencyEdited(ColRxFrequency, 2, true);
    VirtualRadio::Memory changed = atRead;
    changed[0x0010 + 1] ^= 0x01;
    r.radio.setMemory(changed);

    QStringList headers;
    QStringList newest;
    prompts->backups = [&](BackupsDialog& d) {
        for (int c = 0; c < BackupsDialog::ColumnCount; ++c) {
            headers << d.headerText(c);
            newest << d.cellText(0, c);
        }
        d.selectRow(0);
        d.compareSelected();
        return int(BackupsDialog::WriteToRadio);
    };
    frame->commandAction(ID_FILE_BACKUPS)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(m_messages.size() >= 4, 60000);
    waitForTransferEnd(frame);

    QCOMPARE(headers, (QStringList{"en357", "en358", "en359", "en360", "en361", "en364"}));
    const RadioImage read = VirtualRadio::imageFromMemory(atRead);
    int inUse = 0;
    QStringList names;
    for (int i = 0; i < layout::ChannelCount; ++i) {
        if (!read.channelInUse(i))
            continue;
        ++inUse;
        const QString name = QString::fromStdString(ChannelNameText(read.extensionSlot(i)));
        if (!name.isEmpty() && names.size() < 3)
            names << name;
    }
    QCOMPARE(newest.mid(1, 4), (QStringList{"en362", "COM1", QString::number(inUse), names.join(", ")}));
    QVERIFY2(newest[5].endsWith("-COM1-read.tw"), qPrintable(newest[5]));
    // Compare: the window's edit against the backup, by meaning.
    QCOMPARE(m_messages[1], QStringLiteral("en488"));
    QVERIFY2(m_details[1].filter(QRegularExpression("^en1 3 en18: 146.52000 en485, [0-9.]+ en486$")).size() == 1,
             qPrintable(m_details[1].join('|')));
    // Write to radio: the same questions as a write, then the backup is back in the radio.
    QCOMPARE(m_messages[2], "en342" + WriteOrCancel);
    QVERIFY2(m_messages[3].startsWith(WriteSucceededText + onPort(1) + "\nen3451/265"), qPrintable(m_messages[3]));
    QVERIFY(testing::sameMemory(r.radio.memory(), atRead));
    // The configuration in the window keeps the edit.
    QCOMPARE(page->list()->cellText(2, ColRxFrequency), QStringLiteral("146.52000"));
}

QTEST_MAIN(TestTransferCommands)
#include "tst_transfer_commands.moc"
