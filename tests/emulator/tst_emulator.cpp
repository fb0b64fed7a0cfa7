// The virtual radio through a pseudo-terminal with the real serial port and protocol: a whole
// read and write session checked to the byte, every fault, and the emulator program itself.
#include "emulator/PtyRadio.h"
#include "link/CommPort.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "radio/ConfigFile.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <memory>
#include <thread>

using namespace tarn;

namespace {

const Frame EntryFrame{'P', 'o', 'L', 'M', 'T', 'K', '7', 'Z'};
const Frame AckFrame{0x06};
const Frame IdentifyFrame{0x02};

Frame readRequest(std::uint16_t address)
{
    return {0x52, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address), 0x40};
}

std::uint8_t hi(std::uint16_t a)
{
    return static_cast<std::uint8_t>(a >> 8);
}

std::uint8_t lo(std::uint16_t a)
{
    return static_cast<std::uint8_t>(a);
}

// A virtual radio on a pseudo-terminal and a port opened on it as COM1.
struct Bench {
    explicit Bench(const RadioFaults& faults = {}, bool fast = true)
    {
        radio.setFaults(faults);
        radio.setFast(fast);
        started = radio.start();
        PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(radio.slavePath())));
        opened = started && port.open("COM1");
    }
    ~Bench()
    {
        port.closeIfOpen();
        radio.stop();
        PortMap::setOverride(QString());
    }
    bool ready() const { return started && opened; }

    PtyRadio radio;
    CommPort port;
    Protocol protocol{port};
    bool started = false;
    bool opened = false;
};

}  // namespace

class TestEmulator : public QObject {
    Q_OBJECT
private slots:
    void factoryRadioHoldsItsBandLimitsScrambled();
    void imageBlocksLandAtTheirHeaderAddresses();
    void fullSessionReadsAndWritesEveryBlockExactly();
    void repliesArePacedLikeA9600BaudLine();
    void garbageBeforeTheEntrySequenceIsIgnored();
    void unfinishedFrameIsDroppedAfterAPause();
    void entrySequenceResynchronisesInProgrammingMode();

    void silentRadioNeverAnswers();
    void entryAnsweredWithAnotherByteStopsTheEntry();
    void failedIdentificationIsRejected();
    void shortReplyIsReadAgain();
    void shortRepliesFourTimesFailTheRead();
    void wrongEchoFailsTheReadAtOnce();
    void negativeAcknowledgesMakeTheChunkGoAgain();
    void negativeAcknowledgesFourTimesFailTheWrite();
    void radioHangsUpAfterItsFrames();

    void emulatorProgramServesLogsAndSavesUntilTerminated();
};

void TestEmulator::factoryRadioHoldsItsBandLimitsScrambled()
{
    const VirtualRadio radio;
    const RadioImage image = VirtualRadio::imageFromMemory(radio.memory());
    const int expected[] = {136, 174, 400, 480, 136, 174, 400, 480};
    for (int k = 0; k < layout::limits::Count; ++k)
        QCOMPARE(image.bandLimitMHz(k), expected[k]);
    // Stored scrambled: the raw bytes at 0x0970 are not the plain BCD values.
    QVERIFY(radio.memory()[0x0970] != 0x01 || radio.memory()[0x0971] != 0x36);
    QVERIFY(image.channelInUse(0));
    QVERIFY(!image.channelInUse(127));
}

void TestEmulator::imageBlocksLandAtTheirHeaderAddresses()
{
    RadioImage image;
    image.channelSlot(5)[0] = 0x12;
    image.functionData()[0] = 0x77;      // radio 0x0E20, shared with the start-up text block
    image.startupTextData()[0] = 0x41;   // radio 0x0E06
    image.offsetData()[23] = 'X';
    const VirtualRadio::Memory memory = VirtualRadio::memoryFromImage(image);
    QCOMPARE(memory[0x0010 + 5 * 16], std::uint8_t(0x12));
    QCOMPARE(memory[0x0E20], std::uint8_t(0x77));
    QCOMPARE(memory[0x0E06], std::uint8_t(0x41));
    QCOMPARE(memory[0x1810 + 23], std::uint8_t('X'));
    const RadioImage back = VirtualRadio::imageFromMemory(memory);
    QCOMPARE(back.channelSlot(5)[0], std::uint8_t(0x12));
    QCOMPARE(back.startupTextData()[26], std::uint8_t(0x77));  // the shared bytes
    QCOMPARE(back.scratchData()[0], std::uint8_t(0x77));
    QCOMPARE(back.bandLimitRaw(1), image.bandLimitRaw(1));
}

void TestEmulator::fullSessionReadsAndWritesEveryBlockExactly()
{
    Bench bench;
    QVERIFY(bench.ready());
    const VirtualRadio::Memory before = bench.radio.memory();
    std::vector<Frame> expectedFrames{EntryFrame, IdentifyFrame, AckFrame};

    QVERIFY(bench.protocol.enterProgramming(3));
    QVERIFY(bench.protocol.identify());

    RadioImage image;
    for (BlockRef block : image.readOrder()) {
        QVERIFY2(bench.protocol.readBlock(block.addressHigh(), block.addressLow(), block.data().data()),
                 qPrintable(QString::number(block.address(), 16)));
        for (int i = 0; i < layout::BlockDataSize; ++i)
            QCOMPARE(block.data()[i], before[static_cast<std::uint16_t>(block.address() + i)]);
        expectedFrames.push_back(readRequest(block.address()));
        expectedFrames.push_back(AckFrame);
    }
    QVERIFY(image.channelInUse(0));

    BlockRef limits = image.block(layout::BandLimits);
    QVERIFY(bench.protocol.readLimitBlock(limits.addressHigh(), limits.addressLow(), limits.data().data()));
    expectedFrames.push_back(readRequest(0x0970));
    expectedFrames.push_back(AckFrame);
    const int mhz[] = {136, 174, 400, 480, 136, 174, 400, 480};
    for (int k = 0; k < layout::limits::Count; ++k)
        QCOMPARE(image.bandLimitMHz(k), mhz[k]);

    // Change something in every written region, then write every chunk.
    image.channelSlot(127)[0] = 0x00;
    image.extensionSlot(127)[0] = 12;
    image.vfoData()[0] = 0x50;
    image.functionData()[1] = 0x02;
    image.offsetData()[3] = 0x07;
    image.startupTextData()[0] = 10;
    VirtualRadio::Memory expected = before;
    using namespace layout;
    for (RegionId region : {Channels, ChannelExtensions, Vfo, FunctionSettings, Offsets, StartupText}) {
        for (int b = 0; b < Regions[region].records; ++b) {
            BlockRef block = image.block(region, b);
            for (int k = 0; k < block.chunksWritten(); ++k) {
                const std::uint16_t address = block.chunkAddress(k);
                const auto chunk = block.chunk(k);
                QVERIFY(bench.protocol.writeChunk(hi(address), lo(address), chunk.data()));
                Frame frame{0x57, hi(address), lo(address), 0x10};
                frame.insert(frame.end(), chunk.begin(), chunk.end());
                expectedFrames.push_back(frame);
                for (int i = 0; i < ChunkSize; ++i)
                    expected[static_cast<std::uint16_t>(address + i)] = chunk[i];
            }
        }
    }
    bench.port.close();

    const VirtualRadio::Memory after = bench.radio.memory();
    QVERIFY(after == expected);
    QCOMPARE(after[0x0010 + 127 * 16 + 0x0], std::uint8_t(0x00));  // channel 128 reached 0x0800
    QCOMPARE(after[0x0100], image.channelSlot(12)[0]);             // the carry into the high byte
    QCOMPARE(bench.radio.frames(), expectedFrames);
}

void TestEmulator::repliesArePacedLikeA9600BaudLine()
{
    Bench bench({}, false);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    QVERIFY(bench.protocol.identify());
    std::uint8_t data[64];
    QElapsedTimer timer;
    timer.start();
    QVERIFY(bench.protocol.readBlock(0x00, 0x10, data));
    // 69 bytes at about 1.04 ms each.
    QVERIFY2(timer.elapsed() >= 55 && timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
}

void TestEmulator::garbageBeforeTheEntrySequenceIsIgnored()
{
    Bench bench;
    QVERIFY(bench.ready());
    const std::uint8_t garbage[] = {0x00, 0x52, 0xFF, 'P', 'o', 'P', 0x06, 0x02};
    QCOMPARE(bench.port.write(garbage, sizeof garbage), int(sizeof garbage));
    const std::uint8_t entry[] = {'P', 'o', 'L', 'M', 'T', 'K', '7', 'Z'};
    QCOMPARE(bench.port.write(entry, 8), 8);
    std::uint8_t reply[4] = {};
    QCOMPARE(bench.port.read(reply, 4), 1);
    QCOMPARE(reply[0], std::uint8_t(0x06));
    QVERIFY(bench.protocol.identify());
    QCOMPARE(bench.radio.frames(), (std::vector<Frame>{EntryFrame, IdentifyFrame, AckFrame}));
}

void TestEmulator::unfinishedFrameIsDroppedAfterAPause()
{
    Bench bench;
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    const std::uint8_t partial[] = {0x57, 0x00, 0x10, 0x10, 1, 2, 3};
    QCOMPARE(bench.port.write(partial, sizeof partial), int(sizeof partial));
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    QVERIFY(bench.protocol.identify());
    QCOMPARE(bench.radio.memory()[0x0010], VirtualRadio::factoryMemory()[0x0010]);
}

void TestEmulator::entrySequenceResynchronisesInProgrammingMode()
{
    Bench bench;
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    QVERIFY(bench.protocol.identify());
    QVERIFY(bench.protocol.enterProgramming(1));
    QVERIFY(bench.protocol.identify());
}

void TestEmulator::silentRadioNeverAnswers()
{
    RadioFaults faults;
    faults.silent = true;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(!bench.protocol.enterProgramming(0));
    QCOMPARE(bench.radio.frames(), std::vector<Frame>{EntryFrame});
}

void TestEmulator::entryAnsweredWithAnotherByteStopsTheEntry()
{
    RadioFaults faults;
    faults.entryReply = 0x15;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!bench.protocol.enterProgramming(3));
    QVERIFY(timer.elapsed() < 1500);  // not tried again
    QCOMPARE(bench.radio.frames(), std::vector<Frame>{EntryFrame});
}

void TestEmulator::failedIdentificationIsRejected()
{
    RadioFaults faults;
    faults.failIdentify = true;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(3));
    QVERIFY(!bench.protocol.identify());
    QCOMPARE(bench.radio.frames(), (std::vector<Frame>{EntryFrame, IdentifyFrame}));
}

void TestEmulator::shortReplyIsReadAgain()
{
    RadioFaults faults;
    faults.shortReadAddress = 0x0050;
    faults.shortReadFrom = 2;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    std::uint8_t data[64];
    QVERIFY(bench.protocol.readBlock(0x00, 0x50, data));  // first read of 0x0050: whole
    QVERIFY(bench.protocol.readBlock(0x00, 0x50, data));  // second: short, then again
    QCOMPARE(bench.radio.frames(),
             (std::vector<Frame>{EntryFrame, readRequest(0x50), AckFrame, readRequest(0x50),
                                 readRequest(0x50), AckFrame}));
}

void TestEmulator::shortRepliesFourTimesFailTheRead()
{
    RadioFaults faults;
    faults.shortReadAddress = 0x0810;
    faults.shortReadCount = 4;
    faults.shortReadBytes = 10;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    std::uint8_t data[64];
    QVERIFY(!bench.protocol.readBlock(0x08, 0x10, data));
    QCOMPARE(bench.radio.frames(),
             (std::vector<Frame>{EntryFrame, readRequest(0x0810), readRequest(0x0810), readRequest(0x0810),
                                 readRequest(0x0810)}));
}

void TestEmulator::wrongEchoFailsTheReadAtOnce()
{
    RadioFaults faults;
    faults.wrongEchoAddress = 0x0E20;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    std::uint8_t data[64];
    QVERIFY(!bench.protocol.readBlock(0x0E, 0x20, data));
    QVERIFY(bench.protocol.readBlock(0x0E, 0x06, data));  // other addresses are fine
    QCOMPARE(bench.radio.frames(),
             (std::vector<Frame>{EntryFrame, readRequest(0x0E20), readRequest(0x0E06), AckFrame}));
}

void TestEmulator::negativeAcknowledgesMakeTheChunkGoAgain()
{
    RadioFaults faults;
    faults.nackWrites = 3;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    std::uint8_t chunk[16];
    for (int i = 0; i < 16; ++i)
        chunk[i] = static_cast<std::uint8_t>(i);
    QVERIFY(bench.protocol.writeChunk(0x18, 0x10, chunk));
    QCOMPARE(bench.radio.frames().size(), std::size_t(1 + 4));
    QCOMPARE(bench.radio.memory()[0x1810 + 15], std::uint8_t(15));
}

void TestEmulator::negativeAcknowledgesFourTimesFailTheWrite()
{
    RadioFaults faults;
    faults.nackWrites = 4;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    const VirtualRadio::Memory before = bench.radio.memory();
    std::uint8_t chunk[16] = {};
    QVERIFY(!bench.protocol.writeChunk(0x18, 0x10, chunk));
    QCOMPARE(bench.radio.frames().size(), std::size_t(1 + 4));
    QVERIFY(bench.radio.memory() == before);
}

void TestEmulator::radioHangsUpAfterItsFrames()
{
    RadioFaults faults;
    faults.hangUpAfterFrames = 2;
    Bench bench(faults);
    QVERIFY(bench.ready());
    QVERIFY(bench.protocol.enterProgramming(1));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!bench.protocol.identify());  // the reply arrives, the final acknowledge cannot
    QVERIFY(timer.elapsed() < 1900);
    QTRY_VERIFY(bench.radio.hungUp());
    QCOMPARE(bench.radio.frames(), (std::vector<Frame>{EntryFrame, IdentifyFrame}));
}

void TestEmulator::emulatorProgramServesLogsAndSavesUntilTerminated()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath("frames.txt");
    const QString savePath = dir.filePath("radio.tw");
    QProcess emulator;
    emulator.start(TARN_EMULATOR_PATH, {"--fast", "--log", logPath, "--save", savePath});
    QVERIFY(emulator.waitForStarted());
    QTRY_VERIFY(emulator.canReadLine());
    const QString slave = QString::fromLocal8Bit(emulator.readLine()).trimmed();
    QVERIFY(slave.startsWith('/'));

    PortMap::setOverride("1=" + slave);
    {
        CommPort port;
        QVERIFY(port.open("COM1"));
        Protocol protocol(port);
        QVERIFY(protocol.enterProgramming(3));
        QVERIFY(protocol.identify());
        std::uint8_t name[16];
        std::memset(name, 0xFF, sizeof name);
        name[0] = 23;  // "N"
        QVERIFY(protocol.writeChunk(0x10, 0x10, name));
    }
    PortMap::setOverride(QString());

    emulator.terminate();  // SIGTERM
    QVERIFY(emulator.waitForFinished(5000));
    QCOMPARE(emulator.exitStatus(), QProcess::NormalExit);
    QCOMPARE(emulator.exitCode(), 0);

    QFile log(logPath);
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], QString("50 6F 4C 4D 54 4B 37 5A"));
    QCOMPARE(lines[1], QString("02"));
    QCOMPARE(lines[2], QString("06"));
    QVERIFY(lines[3].startsWith("57 10 10 10 17 FF"));

    RadioImage saved;
    QCOMPARE(loadConfiguration(savePath.toStdString(), saved).outcome, FileOutcome::Loaded);
    QCOMPARE(saved.extensionSlot(0)[0], std::uint8_t(23));
    QCOMPARE(saved.bandLimitMHz(layout::limits::TxHigh2), 480);
}

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
