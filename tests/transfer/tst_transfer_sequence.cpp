// The order of a read and a write block by block, what they take from and leave in the
// image and the radio, their progress counts and where a stop request ends them. Runs over
// a line wired straight to the virtual radio, so nothing waits on a device.
#include "RadioLine.h"

#include "link/Protocol.h"
#include "link/TransferJob.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QtTest>

using namespace tarn;
using namespace tarn::layout;
using tarn::test::RadioLine;
using tarn::test::RecordingListener;

namespace {

struct Exchange {
    char kind;  // 'R' read request, 'W' write frame
    std::uint16_t address;
    bool operator==(const Exchange& o) const { return kind == o.kind && address == o.address; }
};

std::vector<Exchange> exchanges(const VirtualRadio& radio)
{
    std::vector<Exchange> list;
    for (const Frame& f : radio.frames()) {
        if (f.size() == 4 && f[0] == 0x52)
            list.push_back({'R', std::uint16_t(f[1] << 8 | f[2])});
        else if (f.size() == 20 && f[0] == 0x57)
            list.push_back({'W', std::uint16_t(f[1] << 8 | f[2])});
    }
    return list;
}

std::vector<Exchange> expectedRead()
{
    std::vector<Exchange> list;
    for (int b = 0; b < 32; ++b)
        list.push_back({'R', std::uint16_t(0x0010 + 64 * b)});
    for (int b = 0; b < 32; ++b)
        list.push_back({'R', std::uint16_t(0x1010 + 64 * b)});
    for (std::uint16_t a : {0x0810, 0x0E20, 0x1810, 0x0E06})
        list.push_back({'R', a});
    return list;
}

std::vector<Exchange> expectedWrite()
{
    std::vector<Exchange> list{{'R', 0x0970}};
    for (std::uint16_t base : {0x0010, 0x1010})
        for (int b = 0; b < 32; ++b)
            for (int k = 0; k < 4; ++k)
                list.push_back({'W', std::uint16_t(base + 64 * b + 16 * k)});
    list.push_back({'W', 0x0810});
    list.push_back({'W', 0x0820});
    list.push_back({'R', 0x0E20});
    for (std::uint16_t a : {0x0E20, 0x0E30, 0x0E40, 0x0E50, 0x1810, 0x1820})
        list.push_back({'W', a});
    list.push_back({'R', 0x0E06});
    list.push_back({'W', 0x0E06});
    return list;
}

QString describe(const std::vector<Exchange>& list)
{
    QStringList parts;
    for (const Exchange& e : list)
        parts << QString("%1%2").arg(e.kind).arg(e.address, 4, 16, QChar('0'));
    return parts.join(' ');
}

std::vector<int> range(int from, int to)
{
    std::vector<int> v;
    for (int n = from; n <= to; ++n)
        v.push_back(n);
    return v;
}

// A radio in programming mode, as connect leaves it.
void enter(RadioLine& line)
{
    Protocol protocol(line);
    QVERIFY(protocol.enterProgramming(1));
    QVERIFY(protocol.identify());
}

// An image that differs from the factory radio everywhere it is written.
RadioImage editedImage()
{
    RadioImage image;
    for (int i = 0; i < ChannelCount; ++i) {
        auto slot = image.channelSlot(i);
        for (int j = 0; j < ChannelSlotSize; ++j)
            slot[j] = static_cast<std::uint8_t>(i + j);
        auto ext = image.extensionSlot(i);
        for (int j = 0; j < ChannelSlotSize; ++j)
            ext[j] = static_cast<std::uint8_t>(0x80 + i - j);
    }
    for (auto* data : {image.vfoData().data(), image.functionData().data(), image.offsetData().data(),
                       image.startupTextData().data()})
        for (int j = 0; j < BlockDataSize; ++j)
            data[j] = static_cast<std::uint8_t>(0x40 + j);
    return image;
}

std::vector<std::uint8_t> radioBytes(const VirtualRadio& radio, std::uint16_t address, int n)
{
    return {radio.memory().begin() + address, radio.memory().begin() + address + n};
}

std::vector<std::uint8_t> bytesOf(std::span<const std::uint8_t> s)
{
    return {s.begin(), s.end()};
}

}  // namespace

class TransferSequenceTest : public QObject {
    Q_OBJECT

private slots:
    void readVisitsEveryBlockInOrderAndFillsTheImage()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        RadioImage image = editedImage();
        image.setPortNumber(7);
        RecordingListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        QVERIFY(job.readAll(line));

        QCOMPARE(describe(exchanges(radio)), describe(expectedRead()));
        // Every data byte read equals the radio's; headers, port, limits and scratch stay.
        RadioImage expected = VirtualRadio::imageFromMemory(radio.memory());
        expected.setPortNumber(7);
        std::copy_n(editedImage().bandLimitData().begin(), BlockDataSize, expected.bandLimitData().begin());
        std::copy_n(editedImage().scratchData().begin(), BlockDataSize, expected.scratchData().begin());
        QVERIFY(image == expected);
        std::vector<int> progress = range(1, 68);
        progress.push_back(100);
        QCOMPARE(listener.progress, progress);
        QVERIFY(listener.results.empty());  // results belong to run()
    }

    void readFailingInExtensionRegionKeepsChannelRegion()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        RadioFaults faults;
        faults.shortReadAddress = 0x1010 + 64 * 3;
        faults.shortReadCount = 4;
        radio.setFaults(faults);
        const RadioImage before = editedImage();
        RadioImage image = before;
        RadioImage fromRadio = VirtualRadio::imageFromMemory(radio.memory());
        RadioImage untouched = before;
        TransferJob job;
        RecordingListener listener;
        job.prepare(&listener, &image);

        QVERIFY(!job.readAll(line));

        for (int b = 0; b < 32; ++b)
            QVERIFY(bytesOf(image.block(Channels, b).data()) == bytesOf(fromRadio.block(Channels, b).data()));
        // Records before the failing one come from the radio, the rest keep the old bytes.
        for (int b = 0; b < 32; ++b) {
            RadioImage& source = b < 3 ? fromRadio : untouched;
            QVERIFY2(bytesOf(image.block(ChannelExtensions, b).data()) == bytesOf(source.block(ChannelExtensions, b).data()),
                     qPrintable(QString("extension record %1").arg(b)));
        }
        QVERIFY(bytesOf(image.vfoData()) == bytesOf(before.vfoData()));
        QCOMPARE(listener.progress, range(1, 36));
    }

    void writeSendsEveryChunkInOrderAfterTheLimitCheck()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        const VirtualRadio::Memory factory = radio.memory();
        RadioImage image = editedImage();
        RecordingListener listener;
        std::size_t framesAtCheck = 0;
        listener.onCheck = [&] {
            framesAtCheck = exchanges(radio).size();
            return 1;
        };
        TransferJob job;
        job.prepare(&listener, &image);

        QVERIFY(job.writeAll(line));

        QCOMPARE(describe(exchanges(radio)), describe(expectedWrite()));
        QCOMPARE(framesAtCheck, std::size_t(1));  // only the limit read came before the check
        QCOMPARE(listener.notifies, std::vector<int>{int(ImageNotifyCode::CheckBeforeWrite)});
        std::vector<int> progress = range(1, 69);
        progress.push_back(100);
        QCOMPARE(listener.progress, progress);

        // The image now holds the radio's limits and its block 0x0E20 as it was before the write.
        const RadioImage factoryImage = VirtualRadio::imageFromMemory(factory);
        QVERIFY(bytesOf(image.bandLimitData()) == bytesOf(factoryImage.bandLimitData()));
        QVERIFY(bytesOf(image.scratchData()) == bytesOf(factoryImage.functionData()));
    }

    void writeKeepsTheRadiosOwnBytes()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        // The radio's own values where the write must keep them.
        radio.memory()[0x0E20 + functions::RadioOwned] = 0xAB;
        radio.memory()[0x0E20 + functions::RadioOwned + 1] = 0xCD;
        for (int j = 6; j < 16; ++j)
            radio.memory()[0x0E06 + j] = static_cast<std::uint8_t>(0xD0 + j);
        RadioImage image = editedImage();
        const char greeting[] = "HELLO!";
        std::copy_n(greeting, 6, image.startupTextData().begin());
        RecordingListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        QVERIFY(job.writeAll(line));

        QCOMPARE(int(image.functionData()[functions::RadioOwned]), 0xAB);
        QCOMPARE(int(image.functionData()[functions::RadioOwned + 1]), 0xCD);
        QCOMPARE(int(radio.memory()[0x0E20 + functions::RadioOwned]), 0xAB);
        QCOMPARE(int(radio.memory()[0x0E20 + functions::RadioOwned + 1]), 0xCD);
        // Start-up text: bytes 0-5 from the image, 6-15 as the radio held them.
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(radio.memory().data()) + 0x0E06, 6), QByteArray("HELLO!"));
        for (int j = 6; j < 16; ++j)
            QCOMPARE(int(radio.memory()[0x0E06 + j]), 0xD0 + j);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(image.startupTextData().data()), 6), QByteArray("HELLO!"));
        QCOMPARE(int(image.startupTextData()[6]), 0xD6);
        // Everything else written went out as the image holds it; VFO and offsets only 32 bytes.
        QVERIFY(radioBytes(radio, 0x0010, 16) == bytesOf(image.channelSlot(0)));
        QVERIFY(radioBytes(radio, 0x0010 + 16 * 127, 16) == bytesOf(image.channelSlot(127)));
        QVERIFY(radioBytes(radio, 0x1010 + 16 * 77, 16) == bytesOf(image.extensionSlot(77)));
        QVERIFY(radioBytes(radio, 0x0810, 32) == std::vector<std::uint8_t>(image.vfoData().begin(), image.vfoData().begin() + 32));
        QVERIFY(radioBytes(radio, 0x0830, 32) != std::vector<std::uint8_t>(image.vfoData().begin() + 32, image.vfoData().end()));
        QVERIFY(radioBytes(radio, 0x0E20, 64) == bytesOf(image.functionData()));
        QVERIFY(radioBytes(radio, 0x1810, 32) == std::vector<std::uint8_t>(image.offsetData().begin(), image.offsetData().begin() + 32));
    }

    void refusedCheckSendsNothingAndChangesOnlyTheLimits()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        const VirtualRadio::Memory factory = radio.memory();
        const RadioImage before = editedImage();
        RadioImage image = before;
        RecordingListener listener;
        listener.checkAnswer = 0;
        TransferJob job;
        job.prepare(&listener, &image);

        QVERIFY(!job.writeAll(line));

        QCOMPARE(describe(exchanges(radio)), QString("R0970"));
        QVERIFY(radio.memory() == factory);
        RadioImage expected = before;
        std::copy_n(VirtualRadio::imageFromMemory(factory).bandLimitData().begin(), BlockDataSize,
                    expected.bandLimitData().begin());
        QVERIFY(image == expected);
        QCOMPARE(listener.progress, std::vector<int>{1});
    }

    void stopRequestEndsReadAtBlockBoundary()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        RadioImage image;
        RecordingListener listener;
        TransferJob job;
        listener.onProgress = [&](int n) {
            if (n == 10)
                job.requestStop();
        };
        job.prepare(&listener, &image);

        QVERIFY(!job.readAll(line));
        QCOMPARE(exchanges(radio).size(), std::size_t(9));
        QCOMPARE(listener.progress, range(1, 10));
    }

    void stopRequestEndsWriteAtBlockBoundary()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        RadioImage image;
        RecordingListener listener;
        TransferJob job;
        listener.onProgress = [&](int n) {
            if (n == 5)
                job.requestStop();
        };
        job.prepare(&listener, &image);

        QVERIFY(!job.writeAll(line));
        // The limit read, then three channel records of four chunks each.
        QCOMPARE(exchanges(radio).size(), std::size_t(1 + 3 * 4));
    }

    void rejectedChunkFailsTheWrite()
    {
        VirtualRadio radio;
        RadioLine line(radio);
        enter(line);
        RadioFaults faults;
        faults.nackWrites = 1000;
        radio.setFaults(faults);
        radio.clearFrames();
        RadioImage image;
        RecordingListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        QVERIFY(!job.writeAll(line));
        // The first chunk is tried four times, then nothing more goes out.
        const auto list = exchanges(radio);
        QCOMPARE(list.size(), std::size_t(1 + 4));
        QCOMPARE(listener.progress, (std::vector<int>{1, 2}));
    }

    // A write that reads the radio first sends only the chunks that change, reads back their
    // blocks, and leaves the radio and the image exactly as the write of every chunk does.
    // The bytes the radio keeps for itself never count as a change.
    void readFirstWriteSendsOnlyTheChanges_data()
    {
        QTest::addColumn<int>("edit");
        QTest::addColumn<QString>("sent");  // chunk writes and read-backs after the reads
        QTest::newRow("nothing") << 0 << QString();
        QTest::newRow("the radio's own bytes and start-up tail") << 1 << QString();
        QTest::newRow("channel 5 name") << 2 << QString("W1050 R1050");
        QTest::newRow("channel 128 and the start-up text")
            << 3 << QString("W0800 W1800 W0e06 R07d0 R17d0 R0e06");
        QTest::newRow("the A band and a setting") << 4 << QString("W0810 W0e20 R0810 R0e20");
    }
    void readFirstWriteSendsOnlyTheChanges()
    {
        QFETCH(int, edit);
        QFETCH(QString, sent);
        VirtualRadio radio;
        radio.memory()[0x0E20 + functions::RadioOwned] = 0xAB;
        for (int j = 6; j < 16; ++j)
            radio.memory()[0x0E06 + j] = static_cast<std::uint8_t>(0xD0 + j);
        VirtualRadio wholeWrite = radio;
        RadioImage image = VirtualRadio::imageFromMemory(radio.memory());
        switch (edit) {
        case 1:
            image.functionData()[functions::RadioOwned] = 0x12;
            image.startupTextData()[9] = 0x34;
            break;
        case 2:
            image.extensionSlot(4)[extension::Name] = 17;
            break;
        case 3:
            writeLe32(image.channelSlot(127).data() + channel::RxFrequency, 0x14650000);
            image.extensionSlot(127)[extension::Name] = 3;
            image.startupTextData()[0] = 0x11;
            break;
        case 4:
            writeLe32(image.bandRecord(Band::A).data() + vfo::RxFrequency, 0x14652500);
            writeLe32(image.bandRecord(Band::A).data() + vfo::TxFrequency, 0x14652500);
            image.functionData()[2] ^= 1;
            break;
        }
        RadioImage quickImage = image;
        RadioLine line(radio);
        enter(line);
        radio.clearFrames();
        RecordingListener listener;
        TransferJob job;
        job.prepare(&listener, &image);

        const int result = static_cast<int>(job.writeChanges(line));

        QCOMPARE(result, int(TransferResult::WriteSucceeded));
        std::vector<Exchange> expected = expectedRead();
        expected.push_back({'R', 0x0970});
        std::vector<Exchange> after = exchanges(radio);
        QVERIFY(after.size() >= expected.size());
        QCOMPARE(describe(std::vector<Exchange>(after.begin(), after.begin() + expected.size())), describe(expected));
        QCOMPARE(describe(std::vector<Exchange>(after.begin() + expected.size(), after.end())), sent);
        QCOMPARE(job.writePlan().nothingToChange(), sent.isEmpty());
        QCOMPARE(listener.notifies, sent.isEmpty() ? std::vector<int>{} : (std::vector<int>{int(ImageNotifyCode::ConfirmChanges), int(ImageNotifyCode::CheckBeforeWrite)}));
        if (sent.isEmpty())
            return;
        // The preview names every change by meaning, never as a byte of a block.
        const auto lines = DescribeChanges(job.writePlan().radio, job.writePlan().written,
                                           [](int n) { return "<" + std::to_string(n) + ">"; });
        QVERIFY(!lines.empty());
        for (const std::string& line : lines)
            QVERIFY2(line.find("byte") == std::string::npos, line.c_str());
        QVERIFY(job.verifyOutcome().readOk && job.verifyOutcome().equal);
        QVERIFY(!job.restoreOffer().offered);

        RadioLine wholeLine(wholeWrite);
        enter(wholeLine);
        TransferJob quick;
        quick.prepare(&listener, &quickImage);
        QVERIFY(quick.writeAll(wholeLine));
        QVERIFY(radio.memory() == wholeWrite.memory());
        QVERIFY(image == quickImage);
    }

    void readFirstWriteCancelledAtThePreviewSendsNothing()
    {
        VirtualRadio radio;
        const VirtualRadio::Memory before = radio.memory();
        RadioLine line(radio);
        enter(line);
        RadioImage image = editedImage();
        RecordingListener listener;
        listener.onQuestion = [](int code) { return code == int(ImageNotifyCode::ConfirmChanges) ? 0 : 1; };
        TransferJob job;
        job.prepare(&listener, &image);

        QCOMPARE(static_cast<int>(job.writeChanges(line)), int(TransferResult::TransferCancelled));

        QCOMPARE(listener.notifies, std::vector<int>{int(ImageNotifyCode::ConfirmChanges)});
        QCOMPARE(VirtualRadio::countFrames(radio.frames(), FrameKind::ChunkWrite), 0);
        QVERIFY(radio.memory() == before);
        QCOMPARE(job.writePlan().chunks.size(), std::size_t(WholeWriteChunks));
    }

    void startRefusesASecondTransfer()
    {
        TransferJob job;
        QVERIFY(!job.isBusy());
        QVERIFY(!job.start(TransferJob::Idle));
        QVERIFY(job.start(TransferJob::Read));
        QVERIFY(job.isBusy());
        QVERIFY(!job.start(TransferJob::Write));
        QCOMPARE(job.operation(), int(TransferJob::Read));
        QCOMPARE(job.availablePorts(), 0u);  // the busy job's port is not touched
    }
};

QTEST_GUILESS_MAIN(TransferSequenceTest)
#include "tst_transfer_sequence.moc"
