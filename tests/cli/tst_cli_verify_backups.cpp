// tarn-cli verify and the automatic backups, as a real process against a virtual radio on a
// pseudo-terminal: a write verifies equal, a change made behind Tarn's back is named by
// channel; backups are made after a read and before a write, rotated at 100, and one that
// cannot be written never stops the transfer. Also the text form through a pipe.
#include "tests/common/CliProcess.h"
#include "tests/common/CliRadio.h"
#include "tests/common/RadioMemoryModel.h"
#include "radio/Bytes.h"
#include "radio/Codecs.h"
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

QStringList backupsIn(const QString& dataHome)
{
    return QDir(dataHome + "/tarn/backups").entryList({"*.tw"}, QDir::Files, QDir::Name);
}

}  // namespace

class CliVerifyBackupsTest : public QObject {
    Q_OBJECT

private slots:
    void verifyIsEqualAfterAWriteAndNamesAChannelChangedBehindTarn()
    {
        QTemporaryDir dir;
        auto radio = startRadio(VirtualRadio::factoryMemory());
        RadioImage file = testing::editedImage();  // its radio-owned bytes differ from the radio's
        file.functionData()[functions::CurrentChannelA] = 100;  // the write's fix-up moves it
        const QString path = dir.filePath("radio.tw");
        QCOMPARE(saveConfiguration(path.toStdString(), file).outcome, FileOutcome::Saved);

        QCOMPARE(runCli({"write", path, "--ports", portsFor(*radio)}, dir.path()).exitCode, 0);
        const QString where = english(335) + "COM1 (" + QString::fromStdString(radio->slavePath()) + ")\n";
        testing::CliRun run = runCli({"verify", path, "--ports", portsFor(*radio)}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.out, english(166) + "\n" + where);

        VirtualRadio::Memory changed = radio->memory();
        const std::uint8_t tuned[4] = {0x00, 0x25, 0x52, 0x14};  // 145.22500 MHz
        testing::put(changed, 0x0010 + 16 * 8, tuned, 4);
        radio->setMemory(changed);
        run = runCli({"verify", path, "--ports", portsFor(*radio)}, dir.path());
        QCOMPARE(run.exitCode, 6);
        std::string shown;
        FrequencyToText(readLe32(file.channelSlot(8).data() + channel::RxFrequency), shown);
        QCOMPARE(run.out, english(167) + "\n  " + english(1) + " 9 " + english(18) + ": "
                              + QString::fromStdString(shown) + " " + english(168) + ", 145.22500 "
                              + english(169) + "\n" + where);
    }

    void backupsAreKeptRotatedAndNeverStopTheTransfer()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        QVERIFY(QDir().mkpath(data + "/tarn/backups"));
        // A hundred older backups: the oldest must go when the next one comes.
        for (int n = 0; n < 100; ++n) {
            QFile old(data + QString("/tarn/backups/20200101-00%1%2-read.tw")
                                 .arg(n / 60, 2, 10, QChar('0')).arg(n % 60, 2, 10, QChar('0')));
            QVERIFY(old.open(QIODevice::WriteOnly));
        }
        auto radio = startRadio(VirtualRadio::factoryMemory());

        testing::CliRun run = runCli({"read", "copy", "--ports", portsFor(*radio)}, dir.path(), {}, data);
        QCOMPARE(run.exitCode, 0);
        QStringList kept = backupsIn(data);
        QCOMPARE(kept.size(), 100);
        QVERIFY(!kept.contains("20200101-000000-read.tw"));
        QVERIFY(kept.last().endsWith("-read.tw") && !kept.last().startsWith("2020"));
        const QString newest = data + "/tarn/backups/" + kept.last();
        RadioImage backup;
        RadioImage saved;
        QCOMPARE(loadConfiguration(newest.toStdString(), backup).outcome, FileOutcome::Loaded);
        QCOMPARE(loadConfiguration(dir.filePath("copy.tw").toStdString(), saved).outcome, FileOutcome::Loaded);
        QVERIFY(backup == saved);
        // A heading, then the newest backup first, its file last on the line.
        run = runCli({"backups"}, dir.path(), {}, data);
        QVERIFY2(run.out.section('\n', 1, 1).endsWith("  " + newest), qPrintable(run.out));

        // The radio holds the file already: only the write of every chunk goes ahead.
        run = runCli({"write", dir.filePath("copy.tw"), "--quick", "--ports", portsFor(*radio)}, dir.path(), {}, data);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(runCli({"backups"}, dir.path(), {}, data).out.section('\n', 1, 1).endsWith("-before-write.tw"));
        const QStringList before = backupsIn(data);
        run = runCli({"read", "again", "--no-backup", "--ports", portsFor(*radio)}, dir.path(), {}, data);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(backupsIn(data), before);

        // A data folder that is a file: the backup fails, the read still saves.
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        run = runCli({"read", "third", "--ports", portsFor(*radio)}, dir.path(), {}, blocker.fileName());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(QFile::exists(dir.filePath("third.tw")));
        QVERIFY2(run.err.contains(english(171)), qPrintable(run.err));
    }

    void textFormThroughAPipeGivesTheSameFile()
    {
        QTemporaryDir dir;
        RadioImage image = testing::editedImage();
        for (int k = 0; k < 8; ++k) {  // what no load reads: the scratch block and the tail
            image.scratchData()[k] = static_cast<std::uint8_t>(0x30 + k);
            image.data()[RadioImage::Size - 1 - k] = static_cast<std::uint8_t>(0x60 + k);
        }
        const QString a = dir.filePath("a.tw");
        QCOMPARE(saveConfiguration(a.toStdString(), image).outcome, FileOutcome::Saved);

        QProcess exporter;
        QProcess importer;
        exporter.setStandardOutputProcess(&importer);
        importer.setWorkingDirectory(dir.path());
        exporter.start(QStringLiteral(TARN_CLI_PATH), {"export", a});
        importer.start(QStringLiteral(TARN_CLI_PATH), {"import", "-", "b.tw", "--base", a});
        QVERIFY(exporter.waitForFinished(30000) && importer.waitForFinished(30000));
        QVERIFY2(importer.exitCode() == 0, importer.readAllStandardError().constData());
        QFile first(a);
        QFile second(dir.filePath("b.tw"));
        QVERIFY(first.open(QIODevice::ReadOnly) && second.open(QIODevice::ReadOnly));
        QVERIFY(first.readAll() == second.readAll());
    }
};

QTEST_GUILESS_MAIN(CliVerifyBackupsTest)
#include "tst_cli_verify_backups.moc"
