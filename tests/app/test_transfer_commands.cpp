// The window's Read and Write commands end to end: the frame's actions drive a transfer
// through a pseudo-terminal to a virtual radio, and the image, the radio's memory, the
// channel page, the result messages, the lock-out of the image commands while the worker
// owns the image, and closing the window mid-transfer are checked.
#include "AppFixture.h"

#include "app/ChildFrame.h"
#include "app/DemoRadio.h"
#include "app/NavigationBar.h"
#include "app/ProgStatusBar.h"
#include "emulator/PtyRadio.h"
#include "link/Backups.h"
#include "link/MessageDialog.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
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

private:
    QStringList m_messages;
    void recordMessages()
    {
        m_messages.clear();
        MessageDialog::setTestHook([this](const MessageDialog& d) {
            const bool usual = d.title() == QStringLiteral("en0") && d.buttonText() == QStringLiteral("en116");
            m_messages << (usual ? d.text() : d.title() + "|" + d.buttonText() + "|" + d.text());
            return int(QDialog::Accepted);
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

    QCOMPARE(m_messages, QStringList{ReadSucceededText});
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
    QCOMPARE(m_messages, QStringList{ReadSucceededText});

    // An edit in the channel page, stored by the write command itself.
    CChnMsgView* page = channelPage(frame);
    QVERIFY(page);
    page->list()->setCellText(2, ColName, QStringLiteral("NEWNM"));
    const RadioImage beforeWrite = frame->image();

    m_messages.clear();
    frame->commandAction(ID_WRITE_TO_RADIO)->trigger();
    QVERIFY(frame->transferRunning());
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{WriteSucceededText});
    // A write is read back by default; the verdict follows the result.
    QCOMPARE(scripted(frame).reports, QList<QStringList>{QStringList{"en166"}});

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
    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{ReadSucceededText});
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

    QCOMPARE(m_messages, (QStringList{QStringLiteral("en74 A en113"), WriteFailedText}));
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

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{NoRadioText});
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
    QCOMPARE(m_messages, QStringList{ReadSucceededText});
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
    QCOMPARE(m_messages, (QStringList{ReadSucceededText, WriteSucceededText}));
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
    scripted(frame).reports.clear();
    frame->commandAction(ID_VERIFY)->trigger();
    waitForTransferEnd(frame);
    QCOMPARE(m_messages, QStringList{});
    QCOMPARE(scripted(frame).reports.size(), 1);
    // Channel 6's band option, which the page clears on loading, differs too.
    QCOMPARE(scripted(frame).reports.first(), (QStringList{"en167", "en1 3 en18: 433.50000 en168, 433.50100 en169",
                                 "en1 6 en53: 0x00 en168, 0x10 en169"}));
}

QTEST_MAIN(TestTransferCommands)
#include "test_transfer_commands.moc"
