// tarn-cli new / info, run as a real process: exit codes, the file written, what info shows.
#include "tests/common/CliProcess.h"
#include "radio/Bytes.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

using namespace tarn;
using testing::runCli;

namespace {

}  // namespace

class TestCliFileCommands : public QObject {
    Q_OBJECT

private slots:
    void newWritesADefaultConfiguration_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("written");
        QTest::newRow(".tw appended") << "radio" << "radio.tw";
        QTest::newRow(".tw kept") << "radio.tw" << "radio.tw";
    }
    void newWritesADefaultConfiguration()
    {
        QFETCH(QString, argument);
        QFETCH(QString, written);
        QTemporaryDir dir;
        const testing::CliRun run = runCli({"new", argument}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QFile file(dir.filePath(written));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 5289);
        QCOMPARE(bytes.left(5), QByteArray("TZ318"));
        const RadioImage fresh;
        QCOMPARE(bytes.mid(5), QByteArray(reinterpret_cast<const char*>(fresh.data()), RadioImage::Size));
    }

    void newThatCannotWriteExitsTwo()
    {
        QTemporaryDir dir;
        const testing::CliRun run = runCli({"new", dir.filePath("missing/radio")}, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("cannot write"));
        QVERIFY(run.err.contains("radio.tw"));
    }

    void infoShowsANewConfiguration()
    {
        QTemporaryDir dir;
        QCOMPARE(runCli({"new", "radio"}, dir.path()).exitCode, 0);
        const testing::CliRun run = runCli({"info", "radio.tw"}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Port number: 1\n"), qPrintable(run.out));
        QVERIFY(run.out.contains("0 - 9999"));
        QVERIFY(run.out.contains("Channels in use: 0\n"));
        QVERIFY(run.out.contains("A band: receive 375.02500, transmit 375.02500\n"));
        QVERIFY(run.out.contains("B band: receive 136.02500, transmit 136.02500\n"));
    }

    void infoShowsChannelsInUse()
    {
        QTemporaryDir dir;
        RadioImage image;
        image.setPortNumber(4);
        Slot16 slot = image.channelSlot(2);
        writeLe32(slot.data() + layout::channel::RxFrequency, 0x14550000);
        writeLe32(slot.data() + layout::channel::TxFrequency, 0x14610000);
        writeLe16(slot.data() + layout::channel::RxTone, 0xFFFF);
        writeLe16(slot.data() + layout::channel::TxTone, 885);
        writeLe16(slot.data() + layout::channel::OptionsA, 1 << layout::channel::PowerBit);
        writeLe16(slot.data() + layout::channel::OptionsB, 1 << layout::channel::BandLimitedBit);
        Slot16 name = image.extensionSlot(2);
        const std::uint8_t abc1[6] = {10, 11, 12, 1, 0xFF, 0xFF};
        std::copy(abc1, abc1 + 6, name.data());
        Slot16 other = image.channelSlot(127);
        writeLe32(other.data() + layout::channel::RxFrequency, 0x43602500);
        writeLe16(other.data() + layout::channel::RxTone, 0xA9EC);
        image.bandLimitData()[0] = 0x01;
        image.bandLimitData()[1] = 0x36;
        const QString path = dir.filePath("chan.tw");
        QCOMPARE(saveConfiguration(path.toStdString(), image).outcome, FileOutcome::Saved);

        const testing::CliRun run = runCli({"info", path}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Port number: 4\n"), qPrintable(run.out));
        QVERIFY(run.out.contains("136 - 9999"));
        QVERIFY(run.out.contains("Channels in use: 2\n"));
        const QStringList lines = run.out.split('\n');
        const QString three = lines.filter(QRegularExpression("^\\s+3\\s")).value(0);
        QVERIFY2(!three.isEmpty(), qPrintable(run.out));
        QCOMPARE(three.simplified(), QStringLiteral("3 145.50000 146.10000 OFF 88.5 High No OFF ON OFF ABC1"));
        const QString last = lines.filter(QRegularExpression("^\\s+128\\s")).value(0);
        QVERIFY2(last.contains("436.02500") && last.contains("DI754"), qPrintable(run.out));
    }

    void infoShowsSettingsAsThePageShowsThem()
    {
        QTemporaryDir dir;
        RadioImage image;
        image.functionData()[6] = 40;  // time-out: 40 modulo 40
        const std::uint8_t password[6] = {1, 2, 3, 10, 4, 5};
        std::copy(password, password + 6, image.functionData().data() + 42);
        const std::uint8_t localId[6] = {10, 1, 11, 0xFF, 0xFF, 0xFF};
        std::copy(localId, localId + 6, image.functionData().data() + 54);
        image.functionData()[27] = 7;  // side key: 7 modulo 5
        image.startupTextData()[0] = 'A';
        image.startupTextData()[1] = 'B';
        writeLe32(image.bandRecord(Band::A).data(), 0x14512500);
        const QString path = dir.filePath("settings.tw");
        QCOMPARE(saveConfiguration(path.toStdString(), image).outcome, FileOutcome::Saved);

        const testing::CliRun run = runCli({"info", path}, dir.path());
        QCOMPARE(run.exitCode, 0);
        for (const char* line : {"  Start-up text = AB\n", "  Tx time-out (s) = 15\n", "  Mode-switch password = 123\n",
                                 "  Local ID = :1*\n", "  Dual watch (TDR) = ON\n", "A band (VFO):\n  VFO frequency = 145.12500\n",
                                 "  A step = 12.5KHZ\n", "  PF1 (side key) = Light on\n"})
            QVERIFY2(run.out.contains(line), qPrintable(QStringLiteral("%1 missing from:\n%2").arg(line, run.out)));
    }

    void infoRefusesMissingAndForeignFiles()
    {
        QTemporaryDir dir;
        testing::CliRun run = runCli({"info", "absent.tw"}, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("absent.tw"));

        QFile foreign(dir.filePath("notes.tw"));
        QVERIFY(foreign.open(QIODevice::WriteOnly));
        foreign.write("TZ31\0 hello", 11);
        foreign.close();
        run = runCli({"info", "notes.tw"}, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.err.contains("not a Tarn configuration file"));
        QVERIFY(run.out.isEmpty());
    }

    void usageErrorsExitTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no command") << QStringList{};
        QTest::newRow("unknown command") << QStringList{"frobnicate"};
        QTest::newRow("info without a file") << QStringList{"info"};
        QTest::newRow("new with two files") << QStringList{"new", "a", "b"};
        QTest::newRow("unknown option") << QStringList{"info", "--bogus", "a.tw"};
    }
    void usageErrorsExitTwo()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const testing::CliRun run = runCli(arguments, dir.path());
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains("Usage: tarn-cli"), qPrintable(run.err));
    }

    void helpPrintsUsage()
    {
        QTemporaryDir dir;
        testing::CliRun run = runCli({"--help"}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("new FILE"));
        QVERIFY(run.out.contains("info FILE"));
        run = runCli({"info", "--help"}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("Usage: tarn-cli info FILE"));
    }
};

QTEST_GUILESS_MAIN(TestCliFileCommands)
#include "tst_cli_file_commands.moc"
