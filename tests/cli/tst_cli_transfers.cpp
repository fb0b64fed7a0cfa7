// tarn-cli read / write / ports as a real process against virtual radios on pseudo-terminals
// of this test: the file a read saves and the memory a write leaves, the order of the write's
// frames, every exit code with its result text, the port list, the byte trace and --lang.
#include "tests/common/CliProcess.h"
#include "tests/common/CliRadio.h"
#include "tests/common/RadioMemoryModel.h"
#include "lang/LanguageTable.h"
#include "lang/ResourceLookup.h"
#include "emulator/PtyRadio.h"
#include "link/WriteChecks.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>

using namespace tarn;
using testing::language;
using testing::portsFor;
using testing::runCli;
using testing::startRadio;
using namespace tarn::layout;

namespace {

QString saveImage(const QTemporaryDir& dir, const QString& name, const RadioImage& image)
{
    const QString path = dir.filePath(name);
    if (saveConfiguration(path.toStdString(), image).outcome != FileOutcome::Saved)
        qFatal("cannot save %s", qPrintable(path));
    return path;
}

// The line that says where a transfer went: the virtual radio as port 1.
QString portLine(const PtyRadio& radio)
{
    return language(2, 335) + "COM1 (" + QString::fromStdString(radio.slavePath()) + ")";
}

bool isChunkWrite(const Frame& f)
{
    return f.size() == 20 && f[0] == 0x57;
}

bool isReadOf(const Frame& f, std::uint16_t address)
{
    return f.size() == 4 && f[0] == 0x52 && f[1] == (address >> 8) && f[2] == (address & 0xFF);
}

}  // namespace

class CliTransfersTest : public QObject {
    Q_OBJECT

private slots:
    void readSavesExactlyTheRadioMemory()
    {
        QTemporaryDir dir;
        const VirtualRadio::Memory memory = VirtualRadio::memoryFromImage(testing::editedImage());
        auto radio = startRadio(memory);

        const testing::CliRun run = runCli({"read", "copy", "--ports", portsFor(*radio)}, dir.path());

        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(language(2, 122) + language(2, 32) + "\n" + portLine(*radio) + "\n"),
                 qPrintable(run.out));
        QFile file(dir.filePath("copy.tw"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), qint64(ConfigFileSize));
        RadioImage saved;
        QCOMPARE(loadConfiguration(file.fileName().toStdString(), saved).outcome, FileOutcome::Loaded);
        // Every block a read fills holds the radio's bytes; the limits and the scratch block are
        // not read, so they stay as a new image has them.
        const RadioImage fresh;
        RadioImage expected = VirtualRadio::imageFromMemory(memory);
        expected.setPortNumber(1);
        std::copy_n(fresh.bandLimitData().begin(), BlockDataSize, expected.bandLimitData().begin());
        std::copy_n(fresh.scratchData().begin(), BlockDataSize, expected.scratchData().begin());
        QVERIFY(saved == expected);
    }

    void writeLeavesTheFileInTheRadioInProtocolOrder()
    {
        QTemporaryDir dir;
        VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
        factory[0x0E20 + functions::RadioOwned] = 0x5A;
        factory[0x0E20 + functions::RadioOwned + 1] = 0xA5;
        auto radio = startRadio(factory);
        RadioImage file = testing::editedImage();
        file.functionData()[functions::CurrentChannelA] = 100;  // an empty channel: the fix-up moves it
        file.setPortNumber(7);  // --port wins over the stored port
        const QString path = saveImage(dir, "edited.tw", file);

        const testing::CliRun run =
            runCli({"write", path, "--quick", "--port", "1", "--ports", portsFor(*radio)}, dir.path());

        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, language(2, 123) + language(2, 32) + "\n" + portLine(*radio) + "\n");
        RadioImage sent = file;
        currentChannelFixUp(sent);
        QCOMPARE(int(sent.functionData()[functions::CurrentChannelA]), 1);
        QVERIFY(testing::sameMemory(radio->memory(), testing::memoryAfterWrite(factory, sent)));

        const std::vector<Frame> frames = radio->frames();
        QVERIFY(frames.size() > 4);
        QCOMPARE(frames[0], Frame({'P', 'o', 'L', 'M', 'T', 'K', '7', 'Z'}));
        QCOMPARE(frames[1], Frame{0x02});
        const auto firstWrite = std::find_if(frames.begin(), frames.end(), isChunkWrite);
        const auto limitRead = std::find_if(frames.begin(), frames.end(),
                                            [](const Frame& f) { return isReadOf(f, 0x0970); });
        QVERIFY(firstWrite != frames.end() && limitRead < firstWrite);
        QCOMPARE(Frame(firstWrite->begin(), firstWrite->begin() + 4), Frame({0x57, 0x00, 0x10, 0x10}));
        const auto scratchRead = std::find_if(frames.begin(), frames.end(),
                                              [](const Frame& f) { return isReadOf(f, 0x0E20); });
        const auto settingsWrite = std::find_if(frames.begin(), frames.end(), [](const Frame& f) {
            return isChunkWrite(f) && f[1] == 0x0E && f[2] == 0x20;
        });
        const auto lastVfoWrite = std::find_if(frames.begin(), frames.end(), [](const Frame& f) {
            return isChunkWrite(f) && f[1] == 0x08 && f[2] == 0x20;
        });
        QVERIFY(lastVfoWrite < scratchRead && scratchRead < settingsWrite && settingsWrite != frames.end());
        // The file itself is not touched by a write.
        RadioImage reloaded;
        QCOMPARE(loadConfiguration(path.toStdString(), reloaded).outcome, FileOutcome::Loaded);
        QCOMPARE(reloaded.portNumber(), 7);
    }

    void usageAndFileErrorsExitTwoWithoutTouchingTheRadio_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("read without a file") << QStringList{"read"} << "Usage: tarn-cli read";
        QTest::newRow("port out of range") << QStringList{"read", "x", "--port", "21"} << "--port";
        QTest::newRow("port not a number") << QStringList{"write", "x.tw", "--port", "one"} << "--port";
        QTest::newRow("malformed port map") << QStringList{"read", "x", "--ports", "COM1"} << "N=DEVICE";
        QTest::newRow("port map number beyond 20") << QStringList{"ports", "--ports", "21=/dev/null"} << "1 to 20";
        QTest::newRow("language column absent") << QStringList{"read", "x", "--lang", "9"} << "no language column 9";
        QTest::newRow("read into a missing folder") << QStringList{"read", "nowhere/x"} << "cannot write nowhere/x.tw";
        QTest::newRow("read onto a read-only file") << QStringList{"read", "kept.tw"} << "cannot write kept.tw";
        QTest::newRow("info of a FIFO") << QStringList{"info", "fifo.tw"} << "cannot open fifo.tw";
        QTest::newRow("missing file") << QStringList{"write", "absent.tw"} << "cannot open absent.tw";
        QTest::newRow("wrong magic") << QStringList{"write", "notes.tw"} << "not a Tarn configuration file";
    }
    void usageAndFileErrorsExitTwoWithoutTouchingTheRadio()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, stderrHas);
        QTemporaryDir dir;
        QFile foreign(dir.filePath("notes.tw"));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("TZ31\0 and more bytes", 20);
        foreign.close();
        QVERIFY(QFile::copy(foreign.fileName(), dir.filePath("kept.tw")));
        QVERIFY(QFile::setPermissions(dir.filePath("kept.tw"), QFileDevice::ReadOwner | QFileDevice::ReadOther));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("fifo.tw")).constData(), 0644), 0);
        auto radio = startRadio(VirtualRadio::factoryMemory());

        if (!arguments.contains("--ports") && arguments.first() != "info")
            arguments << "--ports" << portsFor(*radio);
        const testing::CliRun run = runCli(arguments, dir.path());

        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(stderrHas), qPrintable(run.err));
        QVERIFY(radio->frames().empty());
        QVERIFY(!QFile::exists(dir.filePath("x.tw")));
        if (QTest::currentDataTag() == QByteArray("wrong magic"))
            QCOMPARE(run.out, language(2, 31) + "\n");
        QCOMPARE(QFileInfo(dir.filePath("kept.tw")).size(), 20);
    }

    void noRadioExitsThree_data()
    {
        QTest::addColumn<QString>("ports");
        QTest::newRow("empty port map") << QString();
        QTest::newRow("device that does not exist") << QStringLiteral("1=/dev/tarn-test-absent-1");
    }
    void noRadioExitsThree()
    {
        QFETCH(QString, ports);
        QTemporaryDir dir;
        testing::CliRun run = runCli({"read", "x", "--ports", ports}, dir.path());
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.out, language(2, 33) + "\n");
        QVERIFY(!QFile::exists(dir.filePath("x.tw")));
        if (!ports.isEmpty())
            QVERIFY2(run.err.contains("COM1 (/dev/tarn-test-absent-1): no such device"), qPrintable(run.err));

        const QString path = saveImage(dir, "edited.tw", testing::editedImage());
        run = runCli({"write", path, "--ports", ports}, dir.path());
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.out, language(2, 33) + "\n");
    }

    void portMappedToAnOrdinaryFileIsRefusedAndLeftAsItWas()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath("victim.txt");
        const QByteArray original("notes that must survive\n");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(original);
        file.close();

        const testing::CliRun run = runCli({"read", "out.tw"}, dir.path(), "1=" + victim);

        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.err.contains(QString("COM1 (%1): not a serial device (an ordinary file)").arg(victim)),
                 qPrintable(run.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), original);
        QVERIFY(!QFile::exists(dir.filePath("out.tw")));
    }

    void failedReadExitsFourAndSavesNothing_data()
    {
        QTest::addColumn<int>("shortReadCount");
        QTest::addColumn<int>("hangUpAfter");
        QTest::newRow("partial replies to one block") << 4 << 0;
        QTest::newRow("radio hangs up") << 0 << 20;
    }
    void failedReadExitsFourAndSavesNothing()
    {
        QFETCH(int, shortReadCount);
        QFETCH(int, hangUpAfter);
        QTemporaryDir dir;
        RadioFaults faults;
        if (shortReadCount > 0) {
            faults.shortReadAddress = 0x1010;
            faults.shortReadCount = shortReadCount;
        }
        faults.hangUpAfterFrames = hangUpAfter;
        auto radio = startRadio(VirtualRadio::factoryMemory(), faults);

        const testing::CliRun run = runCli({"read", "copy.tw", "--ports", portsFor(*radio)}, dir.path());

        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.out, language(2, 122) + language(2, 31) + "\n" + portLine(*radio) + "\n");
        QVERIFY(!QFile::exists(dir.filePath("copy.tw")));
    }

    void interruptEndsAReadWaitingOnAQuietRadio()
    {
        // Entry, identification and its acknowledge, then a request and an acknowledge per
        // block: the radio goes quiet after block 10, where each wait would last a minute.
        QTemporaryDir dir;
        RadioFaults faults;
        faults.quietAfterFrames = 3 + 2 * 10;
        auto radio = startRadio(VirtualRadio::factoryMemory(), faults);

        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(TARN_CLI_PATH), {"read", "copy.tw", "--ports", portsFor(*radio)});
        QVERIFY(process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(radio->frames().size() > std::size_t(faults.quietAfterFrames), 20000);
        QTest::qWait(300);
        ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        QVERIFY(process.waitForFinished(3000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 4);
        QVERIFY(!QFile::exists(dir.filePath("copy.tw")));
    }

    void bandLimitRefusalExitsFiveAndSendsNoChunk()
    {
        QTemporaryDir dir;
        const VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
        auto radio = startRadio(factory);
        RadioImage file = testing::editedImage();
        writeLe32(file.channelSlot(9).data() + channel::RxFrequency, 0x30000000);  // 300 MHz
        const QString path = saveImage(dir, "outside.tw", file);

        const testing::CliRun run = runCli({"write", path, "--ports", portsFor(*radio)}, dir.path());

        QCOMPARE(run.exitCode, 5);
        // The refusal names the value, the radio's limits and where to change it.
        const QString message = language(2, 1) + " 10 " + language(2, 113) + "\n" + language(2, 349) + "300.00000"
            + language(2, 351) + "136-174" + language(2, 353) + "400-480" + language(2, 354) + "\n"
            + language(2, 355) + "10\n";
        QVERIFY2(run.out.endsWith(message + language(2, 123) + language(2, 31) + "\n" + portLine(*radio) + "\n"),
                 qPrintable(run.out));
        QVERIFY(!radio->frames().empty());
        for (const Frame& f : radio->frames())
            QVERIFY(!isChunkWrite(f));
        QVERIFY(radio->memory() == factory);
    }

    void portsListsTwentyPortsWithTheMappedTerminalOpenable()
    {
        QTemporaryDir dir;
        auto radio = startRadio(VirtualRadio::factoryMemory());
        const QString slave = QString::fromStdString(radio->slavePath());

        const testing::CliRun run = runCli({"ports", "--ports", portsFor(*radio) + ",3=/dev/tarn-test-absent-3"}, dir.path());

        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 20);
        QCOMPARE(lines[0].simplified(), QString("1 %1 can be opened").arg(slave));
        QCOMPARE(lines[1].simplified(), QString("2 - no device"));
        QVERIFY2(lines[2].contains("/dev/tarn-test-absent-3") && lines[2].contains("cannot be opened"),
                 qPrintable(lines[2]));
        QVERIFY(lines[19].simplified().startsWith("20 "));
        QVERIFY(radio->frames().empty());
    }

    void traceShowsEveryByteInHex()
    {
        QTemporaryDir dir;
        auto radio = startRadio(VirtualRadio::factoryMemory());

        const testing::CliRun run = runCli({"read", "copy", "--trace", "--ports", portsFor(*radio)}, dir.path());

        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
        const QRegularExpression entry("^\\s*\\d+\\.\\d{3} > 50 6F 4C 4D 54 4B 37 5A$");
        QVERIFY2(!lines.filter(entry).isEmpty(), qPrintable(run.err.left(400)));
        QVERIFY(!lines.filter(QRegularExpression("^\\s*\\d+\\.\\d{3} < 06$")).isEmpty());
        QVERIFY(!lines.filter(QRegularExpression("^\\s*\\d+\\.\\d{3} > 52 10 10 40$")).isEmpty());
        // Standard output carries only the result, not the trace.
        QVERIFY(!run.out.contains(" > "));
    }

    // The channel page's rule, not a second decoder: info shows every channel as the page
    // does, the band option included, for the virtual radio's own memory as the emulator
    // saves it and for a band option on a channel that cannot transmit.
    void infoShowsTheChannelsAsThePageDoes_data()
    {
        QTest::addColumn<bool>("fromEmulator");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("bandOption");
        QTest::newRow("factory memory, channel 6 at 151.82 MHz") << true << 6 << language(2, 10);
        QTest::newRow("band option at 150.00000") << false << 1 << language(2, 10);
        QTest::newRow("band option at 146.00000 stays") << false << 2 << language(2, 11);
    }
    void infoShowsTheChannelsAsThePageDoes()
    {
        QFETCH(bool, fromEmulator);
        QFETCH(int, channel);
        QFETCH(QString, bandOption);
        QTemporaryDir dir;
        QString path = dir.filePath("radio.tw");
        if (fromEmulator) {
            QProcess emulator;
            emulator.start(QStringLiteral(TARN_EMULATOR_PATH), {"--save", path});
            QVERIFY(emulator.waitForReadyRead(10000));
            emulator.terminate();
            QVERIFY(emulator.waitForFinished(10000));
        } else {
            RadioImage image;
            for (auto [i, tx] : {std::pair{0, 0x15000000u}, std::pair{1, 0x14600000u}}) {
                std::uint8_t* p = image.channelSlot(i).data();
                writeLe32(p + channel::RxFrequency, 0x14600000);
                writeLe32(p + channel::TxFrequency, tx);
                writeLe16(p + channel::OptionsB, 1 << channel::BandLimitedBit);
            }
            saveImage(dir, "radio.tw", image);
        }
        RadioImage image;
        QCOMPARE(loadConfiguration(path.toStdString(), image).outcome, FileOutcome::Loaded);

        const testing::CliRun run = runCli({"info", path}, dir.path());
        QCOMPARE(run.exitCode, 0);
        const ChannelWords words = ChannelWords::fromLanguage([](int n) { return language(2, n).toStdString(); });
        for (int i = 0; i < ChannelCount; ++i) {
            if (!image.channelInUse(i))
                continue;
            const ChannelRow shown = ShowChannelRow(image, i, words);
            QStringList cells;
            for (const std::string& cell : shown)
                cells << QString::fromStdString(cell);
            for (int column : {ColRxFrequency, ColTxFrequency})
                if (cells[column].isEmpty())
                    cells[column] = QStringLiteral("-");
            const QString line = run.out.split('\n').filter(QRegularExpression(QStringLiteral("^\\s+%1\\s").arg(i + 1))).value(0);
            QCOMPARE(line.simplified(), cells.join(' ').trimmed());
            if (i + 1 == channel)
                QCOMPARE(QString::fromStdString(shown[ColBandLimited]), bandOption);
        }
    }

    void languageColumnZeroGivesTheChineseTexts()
    {
        QTemporaryDir dir;
        const QString chinese = language(0, 33);
        QVERIFY(!chinese.isEmpty() && chinese != language(2, 33));
        testing::CliRun run = runCli({"read", "x", "--lang", "0", "--ports", ""}, dir.path());
        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.out, chinese + "\n");

        RadioImage image;
        writeLe32(image.channelSlot(0).data() + channel::RxFrequency, 0x14550000);
        writeLe16(image.channelSlot(0).data() + channel::OptionsA, 1 << channel::PowerBit);
        writeLe16(image.channelSlot(0).data() + channel::RxTone, 0xFFFF);
        const QString path = saveImage(dir, "one.tw", image);
        run = runCli({"info", path, "--lang", "0"}, dir.path());
        QCOMPARE(run.exitCode, 0);
        const QString row = run.out.split('\n').filter(QRegularExpression("^\\s+1\\s")).value(0);
        QVERIFY2(row.contains(language(0, 2)) && row.contains(language(0, 12)), qPrintable(run.out));
        QVERIFY(run.out.contains(language(0, 22)));
    }
};

QTEST_GUILESS_MAIN(CliTransfersTest)
#include "tst_cli_transfers.moc"
