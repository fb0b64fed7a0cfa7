// tarn-cli write as a real process against virtual radios on pseudo-terminals of this test:
// a port given with --port is the only one tried, the before-write backup holds what the radio
// held, only the changed chunks go out (and a dry run sends none), a write cut off halfway is
// put back by the command it prints, and two writes at once keep two backups.
#include "tests/common/CliProcess.h"
#include "tests/common/CliRadio.h"
#include "tests/common/RadioMemoryModel.h"
#include "link/WriteChecks.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

using namespace tarn;
using testing::portsFor;
using testing::runCli;
using testing::startRadio;
using namespace tarn::layout;

namespace {

QString english(int n)
{
    return testing::language(2, n);
}

QString device(const PtyRadio& radio)
{
    return QString::fromStdString(radio.slavePath());
}

QString save(const QTemporaryDir& dir, const QString& name, const RadioImage& image)
{
    const QString path = dir.filePath(name);
    if (saveConfiguration(path.toStdString(), image).outcome != FileOutcome::Saved)
        qFatal("cannot save %s", qPrintable(path));
    return path;
}

// The radio's memory with channel `number` (1-based) named `name`.
VirtualRadio::Memory withName(VirtualRadio::Memory memory, int number, const char* name)
{
    RadioImage image = VirtualRadio::imageFromMemory(memory);
    StoreChannelName(image.extensionSlot(number - 1), name);
    return VirtualRadio::memoryFromImage(image);
}

int chunkWrites(const PtyRadio& radio)
{
    return VirtualRadio::countFrames(radio.frames(), FrameKind::ChunkWrite);
}

QStringList beforeWriteBackups(const QString& dataHome)
{
    QStringList paths;
    const QDir dir(dataHome + "/tarn/backups");
    for (const QString& name : dir.entryList({"*-before-write*.tw"}, QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// The names of the channels in use in a configuration file.
QStringList channelNames(const QString& path)
{
    RadioImage image;
    if (loadConfiguration(path.toStdString(), image).outcome != FileOutcome::Loaded)
        return {};
    QStringList names;
    for (int i = 0; i < ChannelCount; ++i)
        if (image.channelInUse(i))
            names << QString::fromStdString(ChannelNameText(image.extensionSlot(i)));
    return names;
}

std::unique_ptr<QProcess> startCli(const QStringList& arguments, const QString& workingDirectory,
                                   const QString& dataHome)
{
    auto process = std::make_unique<QProcess>();
    process->setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TARN_PORTS"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process->setProcessEnvironment(environment);
    process->start(QStringLiteral(TARN_CLI_PATH), arguments);
    return process;
}

// Frames a write that reads first sends before its first chunk: the entry sequence, the
// identification and its acknowledge, then a request and an acknowledge for each of the 68
// blocks and for the band limits.
constexpr int FramesBeforeTheFirstChunk = 3 + 2 * 68 + 2;

}  // namespace

class CliSafeWriteTest : public QObject {
    Q_OBJECT

private slots:
    void aPortGivenIsTheOnlyOneTried()
    {
        QTemporaryDir dir;
        const VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
        auto first = startRadio(factory);
        RadioFaults silent;
        silent.silent = true;
        auto second = startRadio(factory, silent);
        const QString path = save(dir, "edited.tw", testing::editedImage());

        const testing::CliRun run = runCli(
            {"write", path, "--port", "2", "--ports", QString("1=%1,2=%2").arg(device(*first), device(*second))},
            dir.path());

        QCOMPARE(run.exitCode, 3);
        QCOMPARE(run.out, english(33) + "\n" + english(336) + "COM2 (" + device(*second) + ")\n");
        QVERIFY(first->frames().empty());
        QVERIFY(first->memory() == factory);
    }

    void theBackupBeforeAWriteHoldsWhatTheRadioHeld()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        auto radio = startRadio(withName(VirtualRadio::factoryMemory(), 3, "RADIOB"));
        const QString path = save(dir, "edited.tw", testing::editedImage());
        QVERIFY(!channelNames(path).contains("RADIOB"));

        const testing::CliRun run = runCli({"write", path, "--ports", portsFor(*radio)}, dir.path(), {}, data);

        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(english(123) + english(32) + "\n" + english(335) + "COM1 (" + device(*radio) + ")\n"),
                 qPrintable(run.out));
        const QStringList backups = beforeWriteBackups(data);
        QCOMPARE(backups.size(), 1);
        QVERIFY2(backups.first().contains("-COM1-before-write"), qPrintable(backups.first()));
        QVERIFY(channelNames(backups.first()).contains("RADIOB"));
    }

    void aOneChannelChangeSendsOnlyItsChunksAndADryRunNone()
    {
        QTemporaryDir dir;
        const RadioImage held = testing::editedImage();
        const VirtualRadio::Memory before = VirtualRadio::memoryFromImage(held);
        auto radio = startRadio(before);
        RadioImage file = held;
        writeLe32(file.channelSlot(4).data() + channel::RxFrequency, 0x14652500);
        StoreChannelName(file.extensionSlot(4), "NEW5");
        const QString path = save(dir, "one.tw", file);

        testing::CliRun run = runCli({"write", path, "--dry-run", "--ports", portsFor(*radio)}, dir.path());
        QCOMPARE(run.exitCode, 1);
        QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), english(342));
        QCOMPARE(lines.at(lines.size() - 2), english(344));
        const QStringList changes = lines.mid(1, lines.size() - 3);
        QCOMPARE(changes.size(), 2);  // the receive frequency and the name
        for (const QString& change : changes)
            QVERIFY2(change.startsWith("  " + english(1) + " 5 "), qPrintable(change));
        QCOMPARE(chunkWrites(*radio), 0);
        QVERIFY(radio->memory() == before);

        radio->clearFrames();
        run = runCli({"write", path, "--ports", portsFor(*radio)}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(chunkWrites(*radio) >= 1 && chunkWrites(*radio) <= 4);
        RadioImage sent = file;
        currentChannelFixUp(sent);
        QVERIFY(testing::sameMemory(radio->memory(), testing::memoryAfterWrite(before, sent)));
        QCOMPARE(runCli({"verify", path, "--ports", portsFor(*radio)}, dir.path()).exitCode, 0);

        radio->clearFrames();
        run = runCli({"write", path, "--ports", portsFor(*radio)}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.startsWith(english(343) + "\n"), qPrintable(run.out));
        QCOMPARE(chunkWrites(*radio), 0);
    }

    void aWriteCutOffHalfwayIsPutBackByTheCommandItPrints()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        const VirtualRadio::Memory before = VirtualRadio::factoryMemory();
        RadioFaults cable;
        cable.hangUpAfterFrames = FramesBeforeTheFirstChunk + 10;
        auto radio = startRadio(before, cable);
        // The port is a link, so the radio plugged in again is the same port.
        const QString link = dir.filePath("cable");
        QVERIFY(QFile::link(device(*radio), link));
        const QString path = save(dir, "edited.tw", testing::editedImage());

        testing::CliRun run = runCli({"write", path, "--ports", "1=" + link}, dir.path(), {}, data);

        QCOMPARE(run.exitCode, 5);
        QCOMPARE(chunkWrites(*radio), 10);
        const VirtualRadio::Memory halfWritten = radio->memory();
        QVERIFY(halfWritten != before);
        const QStringList restore = run.out.split('\n').filter(QRegularExpression("^" + QRegularExpression::escape(english(348))));
        QCOMPARE(restore.size(), 1);
        const QStringList command = QProcess::splitCommand(restore.first().mid(english(348).size()));
        QCOMPARE(command.mid(0, 3), (QStringList{"tarn-cli", "write", "--quick"}));
        QCOMPARE(command.at(3), beforeWriteBackups(data).value(0));

        auto again = startRadio(halfWritten);
        QVERIFY(QFile::remove(link) && QFile::link(device(*again), link));
        run = runCli(command.mid(1), dir.path(), {}, data);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(testing::sameMemory(again->memory(), before));
    }

    void twoWritesAtOnceKeepTwoBackups()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        auto first = startRadio(withName(VirtualRadio::factoryMemory(), 3, "RADIOA"));
        auto second = startRadio(withName(VirtualRadio::factoryMemory(), 3, "RADIOB"));
        const QString path = save(dir, "edited.tw", testing::editedImage());

        // Both radios are port 1 of their own port map: the same name, the same second.
        auto a = startCli({"write", path, "--ports", portsFor(*first)}, dir.path(), data);
        auto b = startCli({"write", path, "--ports", portsFor(*second)}, dir.path(), data);
        QVERIFY(a->waitForFinished(60000) && b->waitForFinished(60000));
        QCOMPARE(a->exitCode(), 0);
        QCOMPARE(b->exitCode(), 0);

        const QStringList backups = beforeWriteBackups(data);
        QCOMPARE(backups.size(), 2);
        QStringList held = channelNames(backups.at(0)) + channelNames(backups.at(1));
        QVERIFY(held.contains("RADIOA") && held.contains("RADIOB"));
    }
};

QTEST_GUILESS_MAIN(CliSafeWriteTest)
#include "tst_cli_safe_write.moc"
