// tarn-cli's imports from anywhere, run as a real process: every stock channel set imports
// into a new configuration with every frequency on the radio's grid (PMR446 as its rules
// have it), a CSV of three rows of one name keeps the names apart and every programmed
// channel as it was, and import-tw copies whole channels after the last programmed one.
#include "tests/common/CliProcess.h"
#include "exchange/ExchangeRules.h"
#include "radio/Bytes.h"
#include "radio/ChannelOps.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace tarn;
using testing::runCli;

namespace {

RadioImage loaded(const QString& path)
{
    RadioImage image;
    if (loadWholeConfiguration(path.toStdString(), image).outcome != FileOutcome::Loaded)
        qFatal("cannot load %s", qPrintable(path));
    return image;
}

ChannelRow shown(const RadioImage& image, int row)
{
    return ChannelRowTexts(image, row, ExchangeWords());
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// Channels `numbers` programmed at 145.000 + n * 25 kHz, each named by `prefix` and its
// number and with bytes of its own where no column shows them.
RadioImage channels(const std::vector<int>& numbers, const std::string& prefix)
{
    RadioImage image;
    image.resetToDefaults();
    for (int n : numbers) {
        StoredChannel c = StoredChannel::empty();
        const int khz = n * 25;
        const std::uint32_t rx = 0x14500000u | static_cast<std::uint32_t>(khz / 100 << 16 | khz / 10 % 10 << 12 | khz % 10 << 8);
        writeLe32(c.channel.data() + layout::channel::RxFrequency, rx);
        writeLe32(c.channel.data() + layout::channel::TxFrequency, rx);
        writeLe16(c.channel.data() + layout::channel::OptionsA, static_cast<std::uint16_t>(0x6000 | n));
        StoreChannelName(Slot16(c.extension.data(), layout::ChannelSlotSize), prefix + std::to_string(n));
        for (int k = 6; k < 16; ++k)
            c.extension[k] = static_cast<std::uint8_t>(n);
        WriteChannel(image, n - 1, c);
    }
    return image;
}

}  // namespace

class TestCliImport : public QObject {
    Q_OBJECT

private slots:
    void everyStockSetImportsOnTheGrid_data()
    {
        QTest::addColumn<QString>("set");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("receiveOnly");
        for (auto [set, count, receiveOnly] : {std::tuple{"pmr446", 16, false}, {"frs", 22, false}, {"murs", 5, false},
                                               {"marine", 52, false}, {"noaa", 7, true}, {"calling-r1", 2, false},
                                               {"calling-r2", 2, false}, {"calling-r3", 3, false}, {"aprs", 2, true}})
            QTest::newRow(set) << QString(set) << count << receiveOnly;
    }
    void everyStockSetImportsOnTheGrid()
    {
        QFETCH(QString, set);
        QFETCH(int, count);
        QFETCH(bool, receiveOnly);
        QTemporaryDir dir;
        QCOMPARE(runCli({"new", "new.tw"}, dir.path()).exitCode, 0);
        const testing::CliRun listed = runCli({"stock"}, dir.path());
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.out.contains(QRegularExpression("^" + set + " +" + QString::number(count) + "  \\S",
                                                        QRegularExpression::MultilineOption)),
                 qPrintable(listed.out));

        const testing::CliRun run = runCli({"import-csv", "new.tw", "--stock", set}, dir.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("Channels imported: " + QString::number(count) + " into new.tw"), qPrintable(run.out));
        const RadioImage image = loaded(dir.filePath("new.tw"));
        for (int i = 0; i < layout::ChannelCount; ++i) {
            QCOMPARE(image.channelInUse(i), i < count);
            if (i >= count)
                continue;
            const ChannelRow row = shown(image, i);
            std::string reason;
            for (int column : {ColRxFrequency, ColTxFrequency}) {
                if (column == ColTxFrequency && receiveOnly) {
                    QCOMPARE(row[column], std::string());
                    continue;
                }
                QVERIFY2(ChannelFrequencyText("frequency", row[column], &reason) == row[column],
                         qPrintable(QString::fromStdString(row[column] + ": " + reason)));
            }
        }
    }

    void pmr446IsSixteenNarrowLowPowerChannels()
    {
        QTemporaryDir dir;
        QCOMPARE(runCli({"new", "new.tw"}, dir.path()).exitCode, 0);
        QCOMPARE(runCli({"import-csv", "new.tw", "--stock", "pmr446"}, dir.path()).exitCode, 0);
        const RadioImage image = loaded(dir.filePath("new.tw"));
        const ChannelWords& words = ExchangeWords();
        for (int i = 0; i < 16; ++i) {
            const ChannelRow row = shown(image, i);
            const std::string frequency = FrequencyMHzText(44600625 + 1250LL * i, 5);
            QCOMPARE(row[ColRxFrequency], frequency);
            QCOMPARE(row[ColTxFrequency], frequency);
            QCOMPARE(row[ColBandwidth], words.optionOn);
            QCOMPARE(row[ColPower], words.lowPower);
        }
        QVERIFY(!image.channelInUse(16));
    }

    void threeRowsOfOneNameGetThreeNamesAndLeaveTheRestAsItWas()
    {
        QTemporaryDir dir;
        const RadioImage before = channels({1, 2, 5}, "WW7SE");  // WW7SE1, WW7SE2, WW7SE5
        QVERIFY(saveConfiguration(dir.filePath("a.tw").toStdString(), before).outcome == FileOutcome::Saved);
        put(dir.filePath("rpt.csv"), "Location,Name,Frequency\n1,WW7SEA,145.6\n2,WW7SEA,145.625\n3,WW7SEA,145.65\n");

        const testing::CliRun run = runCli({"import-csv", "a.tw", "rpt.csv", "--at", "end"}, dir.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const RadioImage after = loaded(dir.filePath("a.tw"));
        for (int row : {0, 1, 4})
            QVERIFY(ReadChannel(after, row) == ReadChannel(before, row));
        QStringList names;
        for (int row : {5, 6, 7})
            names << QString::fromStdString(shown(after, row)[ColName]);
        // WW7SE2 is channel 2's: the third takes the next number.
        QCOMPARE(names, (QStringList{"WW7SEA", "WW7SE3", "WW7SE4"}));
        QVERIFY2(run.out.contains("rpt.csv:3: channel 7 WW7SE3: name was WW7SEA: the same as another imported channel"),
                 qPrintable(run.out));
        QVERIFY2(run.out.contains("rpt.csv:4: channel 8 WW7SE4: name was WW7SEA"), qPrintable(run.out));
        QVERIFY2(run.out.contains("Channels imported: 3 into a.tw (channels 6-8)"), qPrintable(run.out));
    }

    void importTwPutsWholeChannelsAfterTheLastProgrammed()
    {
        QTemporaryDir dir;
        const RadioImage a = channels({1, 2, 7}, "A");
        const RadioImage b = channels({1, 2, 3, 4, 9}, "B");
        QVERIFY(saveConfiguration(dir.filePath("a.tw").toStdString(), a).outcome == FileOutcome::Saved);
        QVERIFY(saveConfiguration(dir.filePath("b.tw").toStdString(), b).outcome == FileOutcome::Saved);

        const testing::CliRun run = runCli({"import-tw", "a.tw", "b.tw", "--channels", "1-4", "--at", "end"}, dir.path());
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("Channels imported: 4 into a.tw (channels 8-11)"), qPrintable(run.out));
        const RadioImage after = loaded(dir.filePath("a.tw"));
        for (int row = 0; row < 7; ++row)
            QVERIFY(ReadChannel(after, row) == ReadChannel(a, row));
        for (int k = 0; k < 4; ++k)
            QVERIFY(ReadChannel(after, 7 + k) == ReadChannel(b, k));
        QVERIFY(!after.channelInUse(11));
    }

    void aSetOfYourOwnInTheWorkingFolderComesFirst()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("channels"));
        put(dir.filePath("channels/pmr446.csv"), "# PMR446: only channel 8 here\nFrequency,Name\n446.09375,PMR8\n");
        put(dir.filePath("channels/club.csv"), "# Club: our repeater\nFrequency,Offset,Name\n145.6,-0.6,CLUB\n");
        const testing::CliRun listed = runCli({"stock"}, dir.path());
        QVERIFY2(listed.out.contains(QRegularExpression("^club +1  Club: our repeater$", QRegularExpression::MultilineOption)),
                 qPrintable(listed.out));
        QVERIFY2(listed.out.contains(QRegularExpression("^pmr446 +1  PMR446: only channel 8 here$",
                                                        QRegularExpression::MultilineOption)),
                 qPrintable(listed.out));
        QVERIFY2(listed.out.contains(QRegularExpression("^marine +52 ", QRegularExpression::MultilineOption)),
                 qPrintable(listed.out));
        QCOMPARE(runCli({"new", "new.tw"}, dir.path()).exitCode, 0);
        QCOMPARE(runCli({"import-csv", "new.tw", "--stock", "club"}, dir.path()).exitCode, 0);
        QCOMPARE(shown(loaded(dir.filePath("new.tw")), 0)[ColTxFrequency], std::string("145.00000"));
    }

    void usageErrorsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("an unknown stock set") << QStringList{"import-csv", "a.tw", "--stock", "nosuch"}
                                              << "no stock channel set 'nosuch'; there are: aprs";
        QTest::newRow("a file and a stock set") << QStringList{"import-csv", "a.tw", "x.csv", "--stock", "frs"}
                                                << "either IN.csv or --stock";
        QTest::newRow("a place that is none") << QStringList{"import-tw", "a.tw", "a.tw", "--at", "129"}
                                              << "--at takes end, replace or a channel 1-128";
        QTest::newRow("past channel 128") << QStringList{"import-tw", "a.tw", "a.tw", "--at", "127"}
                                          << "nothing was imported";
    }
    void usageErrorsChangeNothing()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        QTemporaryDir dir;
        QVERIFY(saveConfiguration(dir.filePath("a.tw").toStdString(), channels({1, 2, 7}, "A")).outcome
                == FileOutcome::Saved);
        QFile file(dir.filePath("a.tw"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        file.close();
        const testing::CliRun run = runCli(arguments, dir.path());
        QVERIFY(run.exitCode == 1 || run.exitCode == 2);
        QVERIFY2(run.err.contains(said), qPrintable(run.err));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
    }
};

QTEST_MAIN(TestCliImport)
#include "tst_cli_import.moc"
