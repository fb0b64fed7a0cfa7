// Whole transfers through real pseudo-terminals to virtual radios: the port scan (order,
// attempts, progress, the port it stores), identification, complete reads and writes
// checked to the byte in the image and in the radio, the failures and their result codes,
// stop requests and the availability scan. Each port number is mapped to a device of the
// test's choice.
#include "tests/common/RadioMemoryModel.h"
#include "RadioLine.h"

#include "emulator/PtyRadio.h"
#include "link/PortMap.h"
#include "link/TransferJob.h"
#include "link/TransferThread.h"
#include "link/WriteChecks.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <map>
#include <memory>
#include <mutex>

using namespace tarn;
using namespace tarn::layout;

namespace {

// A listener called on the worker thread, as the command-line tool uses it.
class WorkerListener : public TransferListener {
public:
    std::function<int()> check = [] { return 1; };
    std::function<int(int)> question = [](int) { return 1; };  // codes 5 and 6
    std::function<void(int)> onProgress;

    void transferProgress(int n) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_progress.push_back(n);
        }
        if (onProgress)
            onProgress(n);
    }
    int imageNotify(ImageNotifyCode message) override
    {
        const int code = static_cast<int>(message);
        {
            std::lock_guard lock(m_mutex);
            m_notifies.push_back(code);
        }
        if (code == int(ImageNotifyCode::CheckBeforeWrite))
            return check();
        return IsImageQuestion(message) ? question(code) : 1;
    }
    void transferResult(TransferResult code) override
    {
        std::lock_guard lock(m_mutex);
        m_results.push_back(static_cast<int>(code));
    }
    void scanningPort(int n) override
    {
        std::lock_guard lock(m_mutex);
        m_scanned.push_back(n);
    }
    std::vector<int> scanned() const { std::lock_guard lock(m_mutex); return m_scanned; }
    std::vector<int> progress() const { std::lock_guard lock(m_mutex); return m_progress; }
    std::vector<int> notifies() const { std::lock_guard lock(m_mutex); return m_notifies; }
    std::vector<int> results() const { std::lock_guard lock(m_mutex); return m_results; }

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_progress, m_notifies, m_results, m_scanned;
};

// Port numbers mapped to virtual radios and to devices that do not exist.
class Ports {
public:
    PtyRadio* addRadio(int port, RadioFaults faults = {}, bool fast = true)
    {
        auto radio = std::make_unique<PtyRadio>();
        radio->setFast(fast);
        radio->setFaults(faults);
        std::string error;
        if (!radio->start(&error))
            qFatal("no pseudo-terminal: %s", error.c_str());
        m_assignment << QString("%1=%2").arg(port).arg(QString::fromStdString(radio->slavePath()));
        m_byPort[port] = radio.get();
        m_radios.push_back(std::move(radio));
        PortMap::setOverride(m_assignment.join(','));
        return m_byPort[port];
    }
    void addAbsent(int port)
    {
        m_assignment << QString("%1=/dev/tarn-test-absent-%1").arg(port);
        PortMap::setOverride(m_assignment.join(','));
    }
    PtyRadio* at(int port) { return m_byPort.at(port); }
    int entriesSeen(int port) const
    {
        int n = 0;
        for (const Frame& f : m_byPort.at(port)->frames())
            if (f.size() == 8 && f[0] == 'P')
                ++n;
        return n;
    }
    ~Ports() { PortMap::setOverride(QString()); }

private:
    std::vector<std::unique_ptr<PtyRadio>> m_radios;
    std::map<int, PtyRadio*> m_byPort;
    QStringList m_assignment;
};

// Runs one transfer on its own worker thread, as the window does.
void runTransfer(TransferJob& job, TransferJob::Operation operation)
{
    QVERIFY(job.start(operation));
    CTestThread thread(&job);
    thread.start();
    QVERIFY(thread.wait(120000));
    QVERIFY(!job.isBusy());
    QVERIFY(!job.port()->isOpen());
}

std::vector<int> range(int from, int to)
{
    std::vector<int> v;
    for (int n = from; n <= to; ++n)
        v.push_back(n);
    return v;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string language(int n)
{
    return "<" + std::to_string(n) + ">";
}

}  // namespace

class TransferLinkTest : public QObject {
    Q_OBJECT

private slots:
    void completeReadFillsTheImageFromTheRadio()
    {
        Ports ports;
        PtyRadio* radio = ports.addRadio(3);
        VirtualRadio::Memory memory = VirtualRadio::memoryFromImage(testing::editedImage());
        radio->setMemory(memory);
        RadioImage image;
        image.setPortNumber(3);
        const RadioImage before = image;
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::ReadSucceeded)});
        QCOMPARE(listener.notifies(), std::vector<int>{int(ImageNotifyCode::ImageRead)});
        QCOMPARE(listener.progress(), concat(range(1, 68), {100, 0}));
        // Every block a read fills holds the radio's bytes; limits, scratch and port stay.
        RadioImage expected = VirtualRadio::imageFromMemory(memory);
        expected.setPortNumber(3);
        std::copy_n(before.bandLimitData().begin(), BlockDataSize, expected.bandLimitData().begin());
        std::copy_n(before.scratchData().begin(), BlockDataSize, expected.scratchData().begin());
        QVERIFY(image == expected);
    }

    void completeWriteLeavesExactlyTheImageInTheRadio()
    {
        Ports ports;
        PtyRadio* radio = ports.addRadio(1);
        VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
        factory[0x0E20 + functions::RadioOwned] = 0x5A;
        factory[0x0E20 + functions::RadioOwned + 1] = 0xA5;
        radio->setMemory(factory);
        const RadioImage radioBefore = VirtualRadio::imageFromMemory(factory);
        RadioImage image = testing::editedImage();
        image.bandLimitData()[0] = 0x77;  // stale limits from a file
        const RadioImage sent = image;
        WorkerListener listener;
        listener.check = [&image] { return bandLimitCheck(image, language).answer(); };
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Write);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::WriteSucceeded)});
        QCOMPARE(listener.notifies(), std::vector<int>{int(ImageNotifyCode::CheckBeforeWrite)});
        QCOMPARE(listener.progress(), concat(range(1, 69), {100, 0}));

        // The radio's memory: what it held, overwritten chunk by chunk from the image.
        const VirtualRadio::Memory after = radio->memory();
        QVERIFY(testing::sameMemory(after, testing::memoryAfterWrite(factory, sent)));

        // The image: the radio's limits and its 0x0E20 block, its two own bytes, the radio's
        // tail of the start-up text block (as it held it once the settings were written).
        QVERIFY(std::equal(image.bandLimitData().begin(), image.bandLimitData().end(),
                           radioBefore.bandLimitData().begin()));
        QVERIFY(std::equal(image.scratchData().begin(), image.scratchData().end(),
                           radioBefore.functionData().begin()));
        QCOMPARE(int(image.functionData()[functions::RadioOwned]), 0x5A);
        QVERIFY(std::equal(image.startupTextData().begin(), image.startupTextData().begin() + 6,
                           sent.startupTextData().begin()));
        QVERIFY(std::equal(image.startupTextData().begin() + 6, image.startupTextData().end(),
                           after.begin() + 0x0E06 + 6));
    }

    void scanVisitsStoredPortFirstThenAscendingAndStoresTheAnsweringOne()
    {
        Ports ports;
        RadioFaults refuses;
        refuses.entryReply = 0x15;  // answers at once, with the wrong byte
        for (int n : {1, 2, 4, 5})
            ports.addRadio(n, refuses);
        ports.addAbsent(3);
        ports.addAbsent(6);
        ports.addRadio(7);
        ports.addRadio(8);  // never reached
        RadioImage image;
        image.setPortNumber(5);
        WorkerListener listener;
        // At each scan step exactly the ports visited so far have seen an entry sequence.
        QStringList visitedAtStep;
        listener.onProgress = [&](int n) {
            if (n > 4 || n == 0)
                return;
            QStringList seen;
            for (int p : {1, 2, 4, 5})
                if (ports.entriesSeen(p) > 0)
                    seen << QString::number(p);
            visitedAtStep << seen.join('+');
        };
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(visitedAtStep, (QStringList{"5", "1+5", "1+2+5", "1+2+4+5"}));
        QCOMPARE(ports.entriesSeen(5), 1);  // a wrong answer is not retried
        QCOMPARE(ports.entriesSeen(8), 0);
        QCOMPARE(image.portNumber(), 7);
        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::ReadSucceeded)});
        // Four refusing ports cost a step each before the read's own 68.
        QCOMPARE(listener.progress(), concat(range(1, 72), {100, 0}));
    }

    void silentStoredPortGetsFourSendsOthersTwo()
    {
        Ports ports;
        RadioFaults silent;
        silent.silent = true;
        ports.addRadio(2, silent);
        ports.addRadio(1, silent);
        ports.addRadio(3);
        RadioImage image;
        image.setPortNumber(2);
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(ports.entriesSeen(2), 4);  // three attempts plus the first send
        QCOMPARE(ports.entriesSeen(1), 2);
        QCOMPARE(image.portNumber(), 3);
        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::ReadSucceeded)});
        QCOMPARE(listener.progress().front(), 1);
        QCOMPARE(listener.progress().at(2), 3);  // two silent ports, then the read's first step
    }

    // A write never goes to a radio the user did not choose: bound to the stored port it tries
    // no other; scanning, it asks before writing to a radio on another port.
    void writeToARadioOnAnotherPort_data()
    {
        QTest::addColumn<bool>("onlyStored");
        QTest::addColumn<bool>("readFirst");
        QTest::addColumn<int>("result");
        QTest::addColumn<std::vector<int>>("scanned");
        QTest::addColumn<std::vector<int>>("notifies");
        QTest::newRow("bound to the stored port") << true << true << int(TransferResult::NoRadio) << std::vector<int>{2}
                                                  << std::vector<int>{};
        QTest::newRow("scan, question declined") << false << true << int(TransferResult::TransferCancelled)
                                                 << std::vector<int>{2, 1, 3} << std::vector<int>{int(ImageNotifyCode::ConfirmOtherPort)};
        QTest::newRow("scan, question declined, quick write") << false << false << int(TransferResult::TransferCancelled)
                                                              << std::vector<int>{2, 1, 3}
                                                              << std::vector<int>{int(ImageNotifyCode::ConfirmOtherPort)};
    }
    void writeToARadioOnAnotherPort()
    {
        QFETCH(bool, onlyStored);
        QFETCH(bool, readFirst);
        QFETCH(int, result);
        QFETCH(std::vector<int>, scanned);
        QFETCH(std::vector<int>, notifies);
        Ports ports;
        ports.addAbsent(2);  // the radio the configuration was made for is not plugged in
        ports.addAbsent(1);
        PtyRadio* radio = ports.addRadio(3);
        const VirtualRadio::Memory before = radio->memory();
        RadioImage image = testing::editedImage();
        image.setPortNumber(2);
        WorkerListener listener;
        TransferJob job;
        listener.question = [&job](int code) {
            // Asked with both ports known, before anything is sent.
            const TransferPorts& p = job.ports();
            return code == int(ImageNotifyCode::ConfirmOtherPort) && p.start == 2 && p.answered == 3 && !p.answeredDevice.empty() ? 0 : 1;
        };
        job.prepare(&listener, &image);
        job.setOnlyStoredPort(onlyStored);
        job.setReadBeforeWrite(readFirst);

        runTransfer(job, TransferJob::Write);

        QCOMPARE(listener.results(), std::vector<int>{result});
        QCOMPARE(listener.scanned(), scanned);
        QCOMPARE(listener.notifies(), notifies);
        QCOMPARE(ports.entriesSeen(3), onlyStored ? 0 : 1);
        QCOMPARE(VirtualRadio::countFrames(radio->frames(), FrameKind::ChunkWrite), 0);
        QVERIFY(radio->memory() == before);
    }

    void storedPortAboveTwentyTriesNoPort()
    {
        Ports ports;
        ports.addRadio(1);
        RadioImage image;
        image.setPortNumber(21);
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);
        QElapsedTimer timer;
        timer.start();

        runTransfer(job, TransferJob::Write);

        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(ports.entriesSeen(1), 0);
        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::NoRadio)});
        QCOMPARE(listener.progress(), std::vector<int>{0});
        QCOMPARE(image.portNumber(), 21);
    }

    void noPortAtAllIsNoRadio()
    {
        Ports ports;
        ports.addAbsent(1);  // the assignment names no other device
        RadioImage image;
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::NoRadio)});
        QCOMPARE(listener.progress(), std::vector<int>{0});
        QCOMPARE(image.portNumber(), 1);
    }

    void failedIdentificationStillStoresThePort()
    {
        Ports ports;
        ports.addAbsent(2);
        RadioFaults otherModel;
        otherModel.failIdentify = true;
        ports.addRadio(4, otherModel);
        ports.addRadio(5);  // a good radio later in the order is not tried
        RadioImage image;
        image.setPortNumber(2);
        const RadioImage before = image;
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::NoRadio)});
        QCOMPARE(listener.progress(), std::vector<int>{0});
        QCOMPARE(image.portNumber(), 4);
        QCOMPARE(ports.entriesSeen(5), 0);
        RadioImage expected = before;
        expected.setPortNumber(4);
        QVERIFY(image == expected);
    }

    void failingExtensionReadEndsWithReadFailed()
    {
        Ports ports;
        RadioFaults faults;
        faults.shortReadAddress = 0x1010;
        faults.shortReadCount = 4;
        PtyRadio* radio = ports.addRadio(1, faults);
        const RadioImage fromRadio = VirtualRadio::imageFromMemory(radio->memory());
        RadioImage image;
        WorkerListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::ReadFailed)});
        QVERIFY(listener.notifies().empty());
        QCOMPARE(listener.progress(), concat(range(1, 33), {0}));
        QVERIFY(std::equal(image.data() + regionOffset(Channels), image.data() + regionOffset(ChannelExtensions),
                           fromRadio.data() + regionOffset(Channels)));
        QVERIFY(std::equal(image.data() + regionOffset(ChannelExtensions), image.data() + regionOffset(Vfo),
                           RadioImage().data() + regionOffset(ChannelExtensions)));
    }

    void cablePulledMidTransferEndsWithItsFailure_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("result");
        QTest::newRow("read") << int(TransferJob::Read) << int(TransferResult::ReadFailed);
        QTest::newRow("write") << int(TransferJob::Write) << int(TransferResult::WriteFailed);
    }
    void cablePulledMidTransferEndsWithItsFailure()
    {
        QFETCH(int, operation);
        QFETCH(int, result);
        Ports ports;
        RadioFaults faults;
        faults.hangUpAfterFrames = 40;  // past identification, in the middle of the blocks
        ports.addRadio(1, faults);
        RadioImage image;
        WorkerListener listener;
        listener.check = [] { return 1; };
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Operation(operation));

        QCOMPARE(listener.results(), std::vector<int>{result});
        QCOMPARE(listener.progress().back(), 0);
    }

    void refusedCheckEndsWithWriteFailedAndRadioUnchanged()
    {
        Ports ports;
        PtyRadio* radio = ports.addRadio(1);
        const VirtualRadio::Memory factory = radio->memory();
        RadioImage image;  // a new image: its A-band VFO (375.025 MHz) is outside the radio's limits
        WorkerListener listener;
        std::string message;
        listener.check = [&] {
            const BandLimitVerdict verdict = bandLimitCheck(image, language);
            message = verdict.message;
            return verdict.answer();
        };
        TransferJob job;
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Write);

        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::WriteFailed)});
        QCOMPARE(QString::fromStdString(message), QString("<74> A <113>"));
        QCOMPARE(listener.progress(), (std::vector<int>{1, 0}));
        QVERIFY(radio->memory() == factory);
        for (const Frame& f : radio->frames())
            QVERIFY(f.empty() || f[0] != 0x57 || f.size() != 20);
        QCOMPARE(image.bandLimitMHz(limits::RxHigh1), 174);
    }

    void stopRequestsEndReadAndWriteWithTheirFailures()
    {
        Ports ports;
        ports.addRadio(1);
        RadioImage image;
        WorkerListener listener;
        TransferJob job;
        listener.onProgress = [&job](int n) {
            if (n == 20)
                job.requestStop();
        };
        listener.check = [] { return 1; };
        job.prepare(&listener, &image);

        runTransfer(job, TransferJob::Read);
        QCOMPARE(listener.results(), std::vector<int>{int(TransferResult::ReadFailed)});
        QCOMPARE(listener.progress(), concat(range(1, 20), {0}));

        writeLe32(image.bandRecord(Band::A).data() + vfo::RxFrequency, 0x14500000);
        runTransfer(job, TransferJob::Write);  // a new start clears the old request
        QCOMPARE(listener.results(), (std::vector<int>{int(TransferResult::ReadFailed), int(TransferResult::WriteFailed)}));
        QCOMPARE(listener.progress(), concat(concat(range(1, 20), {0}), concat(range(1, 20), {0})));
    }

    void availabilityScanFindsOpenablePortsAndClosesThem()
    {
        Ports ports;
        ports.addRadio(1);
        ports.addAbsent(2);
        ports.addRadio(20);
        TransferJob job;
        QCOMPARE(job.availablePorts(), (1u << 1) | (1u << 20));
        QVERIFY(job.port() && !job.port()->isOpen());

        // Nothing was left open: another program can take the port now.
        CommPort other;
        QVERIFY(other.open("COM20"));
        QCOMPARE(job.availablePorts(), 1u << 1);  // held elsewhere: not available
        other.close();
    }
};

QTEST_GUILESS_MAIN(TransferLinkTest)
#include "tst_transfer_link.moc"
