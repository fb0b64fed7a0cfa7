// The backups folder: a name is never shared, not even by two backups of one kind, port and
// second; pruning goes by the time a backup was written and never takes the one just written;
// a list entry tells when, what, which port, how many channels and their first names.
#include "link/Backups.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tarn;
using namespace tarn::layout;

namespace {

RadioImage imageWithChannels(const QStringList& names)
{
    RadioImage image;
    for (int i = 0; i < names.size(); ++i) {
        writeLe32(image.channelSlot(2 * i).data() + channel::RxFrequency, 0x14550000);
        StoreChannelName(image.extensionSlot(2 * i), names.at(i).toStdString());
    }
    return image;
}

// A backup file written at `modified`, named with `stamp`.
void oldBackup(const QString& folder, const QString& stamp, const QDateTime& modified)
{
    QFile file(folder + "/" + stamp + "-COM1-read.tw");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("TZ318");
    QVERIFY(file.flush());
    QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

}  // namespace

class BackupsTest : public QObject {
    Q_OBJECT

private slots:
    void backupsOfOneSecondGetNamesOfTheirOwn()
    {
        QTemporaryDir dir;
        const BackupStore store(dir.filePath("backups"));
        const QDateTime when(QDate(2026, 12, 8), QTime(10, 15, 0));

        const BackupResult first = store.keep(imageWithChannels({"RADIOA"}), BackupStore::BeforeWrite, 1, when);
        const BackupResult second = store.keep(imageWithChannels({"RADIOB"}), BackupStore::BeforeWrite, 1, when);

        QVERIFY(first.kept && second.kept);
        QCOMPARE(QFileInfo(QString::fromStdString(first.path)).fileName(), QString("20261208-101500-COM1-before-write.tw"));
        QVERIFY(first.path != second.path);
        RadioImage a, b;
        QCOMPARE(loadConfiguration(first.path, a).outcome, FileOutcome::Loaded);
        QCOMPARE(loadConfiguration(second.path, b).outcome, FileOutcome::Loaded);
        QCOMPARE(ChannelNameText(a.extensionSlot(0)), std::string("RADIOA"));
        QCOMPARE(ChannelNameText(b.extensionSlot(0)), std::string("RADIOB"));
    }

    void pruningKeepsTheNewestAndTheOneJustWritten_data()
    {
        QTest::addColumn<int>("daysAhead");  // of the 100 others, against the clock now
        QTest::newRow("others written earlier") << -30;
        QTest::newRow("others written later (clock set back)") << 30;
    }
    void pruningKeepsTheNewestAndTheOneJustWritten()
    {
        QFETCH(int, daysAhead);
        QTemporaryDir dir;
        const QString folder = dir.filePath("backups");
        QVERIFY(QDir().mkpath(folder));
        // The stamps in the names say the opposite of the times written: the times count.
        const QDateTime base = QDateTime::currentDateTime().addDays(daysAhead);
        for (int n = 0; n < BackupStore::KeepNewest; ++n)
            oldBackup(folder, QString("2099%1-000000").arg(BackupStore::KeepNewest - n, 4, 10, QChar('0')),
                      base.addSecs(n * 60));
        const BackupStore store(folder);

        const BackupResult kept = store.keep(RadioImage(), BackupStore::AfterRead, 2);

        QVERIFY(kept.kept);
        const QStringList left = store.list();
        QCOMPARE(left.size(), BackupStore::KeepNewest);
        QVERIFY(left.contains(QString::fromStdString(kept.path)));
        // The one written first of the others is the one that went.
        QVERIFY(!QFile::exists(folder + "/20990100-000000-COM1-read.tw"));
        QVERIFY(QFile::exists(folder + "/20990099-000000-COM1-read.tw"));
    }

    void aListEntryTellsWhenWhatPortAndChannels()
    {
        QTemporaryDir dir;
        const BackupStore store(dir.filePath("backups"));
        RadioImage image = imageWithChannels({"CALL2M", "", "RPT1", "UHF1", "PMR1"});
        image.setPortNumber(7);  // the name's port wins over the image's
        const BackupResult kept = store.keep(image, BackupStore::BeforeWrite, 3);
        QVERIFY(kept.kept);

        const std::vector<BackupEntry> entries = store.entries();

        QCOMPARE(entries.size(), std::size_t(1));
        const BackupEntry& entry = entries.front();
        QCOMPARE(entry.path.toStdString(), kept.path);
        QVERIFY(qAbs(entry.made.secsTo(QDateTime::currentDateTime())) < 600);
        QCOMPARE(entry.what, std::string(BackupStore::BeforeWrite));
        QCOMPARE(entry.port, 3);
        QCOMPARE(entry.channelsInUse, 5);
        QCOMPARE(entry.firstNames, (std::vector<std::string>{"CALL2M", "RPT1", "UHF1"}));
        const LanguageText text = [](int n) { return "<" + std::to_string(n) + ">"; };
        QCOMPARE(BackupWhatText(entry.what, text), std::string("<363>"));
    }
};

QTEST_GUILESS_MAIN(BackupsTest)
#include "tst_backups.moc"
