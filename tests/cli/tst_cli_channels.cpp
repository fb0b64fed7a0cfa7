// tarn-cli channels, run as a real process on a configuration file: every byte of a moved
// channel goes with it, the current channel follows, sorting and packing leave the order
// they promise, and refusals and usage errors keep the file as it was.
#include "tests/common/CliProcess.h"
#include "radio/Bytes.h"
#include "radio/ChannelOps.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QFile>
#include <QTemporaryDir>

using namespace tarn;
using testing::runCli;
namespace ch = layout::channel;

namespace {

// Channels 2, 3, 6, 9 and 128 programmed, out of frequency order, each with bytes of its own
// in places no column shows; A on channel 2.
RadioImage scattered()
{
    RadioImage image;
    const std::vector<std::pair<int, std::uint32_t>> channels{
        {2, 0x43865000}, {3, 0x14550000}, {6, 0x44600625}, {9, 0x14500000}, {128, 0x43000000}};
    for (const auto& [number, rx] : channels) {
        StoredChannel c = StoredChannel::empty();
        writeLe32(c.channel.data() + ch::RxFrequency, rx);
        writeLe32(c.channel.data() + ch::TxFrequency, rx);
        writeLe16(c.channel.data() + ch::OptionsA, static_cast<std::uint16_t>(0x6000 | (number << 4)));
        for (int k = 6; k < 16; ++k)
            c.extension[k] = static_cast<std::uint8_t>(number);
        WriteChannel(image, number - 1, c);
    }
    image.functionData()[layout::functions::CurrentChannelA] = 2;
    return image;
}

RadioImage loaded(const QString& path)
{
    RadioImage image;
    if (loadWholeConfiguration(path.toStdString(), image).outcome != FileOutcome::Loaded)
        qFatal("cannot load %s", qPrintable(path));
    return image;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestCliChannels : public QObject {
    Q_OBJECT

private slots:
    void moveTakesEveryByteAndTheCurrentChannelAlong()
    {
        QTemporaryDir dir;
        const RadioImage before = scattered();
        QVERIFY(saveConfiguration(dir.filePath("x.tw").toStdString(), before).outcome == FileOutcome::Saved);
        const testing::CliRun run = runCli({"channels", "x.tw", "move", "2-3", "10"}, dir.path());
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains("Moved channels 2-3 to 10-11"), qPrintable(run.out));

        const RadioImage after = loaded(dir.filePath("x.tw"));
        QVERIFY(ReadChannel(after, 9) == ReadChannel(before, 1));
        QVERIFY(ReadChannel(after, 10) == ReadChannel(before, 2));
        QCOMPARE(int(after.functionData()[layout::functions::CurrentChannelA]), 10);
    }

    void sortAndPackLeaveTheirOrder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("programmed");  // channel numbers programmed afterwards
        QTest::newRow("sort --by rx") << QStringList{"sort", "--by", "rx"} << "1 2 3 4 5";
        QTest::newRow("pack") << QStringList{"pack"} << "1 2 3 4 5";
        QTest::newRow("sort a range keeps the rest") << QStringList{"sort", "1-9"} << "1 2 3 4 128";
    }
    void sortAndPackLeaveTheirOrder()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const RadioImage before = scattered();
        QVERIFY(saveConfiguration(dir.filePath("x.tw").toStdString(), before).outcome == FileOutcome::Saved);
        const testing::CliRun run = runCli(QStringList{"channels", "x.tw"} + arguments + QStringList{"-o", "y.tw"},
                                           dir.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(fileBytes(dir.filePath("x.tw")).mid(5),
                 QByteArray(reinterpret_cast<const char*>(before.data()), RadioImage::Size));

        const RadioImage after = loaded(dir.filePath("y.tw"));
        QStringList programmed;
        std::vector<double> frequencies;
        for (int i = 0; i < layout::ChannelCount; ++i) {
            if (!after.channelInUse(i))
                continue;
            programmed << QString::number(i + 1);
            frequencies.push_back(readLe32(after.channelSlot(i).data()) / 1.0);
        }
        QTEST(programmed.join(' '), "programmed");
        // Sorting channels 1-9 leaves 128 where it was, after them.
        if (arguments[0] == "sort")
            QVERIFY(std::is_sorted(frequencies.begin(), frequencies.begin() + (arguments.contains("1-9") ? 4 : 5)));
    }

    void refusalsAndUsageErrorsLeaveTheFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("insert while 128 is programmed") << QStringList{"insert", "1"} << 1 << "Channel 128 is programmed";
        QTest::newRow("a block past 128") << QStringList{"move", "2-3", "128"} << 1 << "past channel 128";
        QTest::newRow("a fill above 600 MHz") << QStringList{"fill", "120-128", "600.9", "25"} << 1 << "100-600 MHz";
        QTest::newRow("a channel 0") << QStringList{"delete", "0"} << 2 << "not a channel";
        QTest::newRow("a tone the radio lacks") << QStringList{"fill", "1-2", "145", "12.5", "--tone", "88.6"} << 2
                                                << "tone list";
        QTest::newRow("an option of another command") << QStringList{"pack", "--shift"} << 2 << "for delete only";
        QTest::newRow("an unknown command") << QStringList{"shuffle"} << 2 << "unknown channel command";
    }
    void refusalsAndUsageErrorsLeaveTheFile()
    {
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const RadioImage before = scattered();
        QVERIFY(saveConfiguration(dir.filePath("x.tw").toStdString(), before).outcome == FileOutcome::Saved);
        const QByteArray bytes = fileBytes(dir.filePath("x.tw"));
        const testing::CliRun run = runCli(QStringList{"channels", "x.tw"} + arguments, dir.path());
        QTEST(run.exitCode, "exitCode");
        QFETCH(QString, says);
        QVERIFY2((run.out + run.err).contains(says), qPrintable(run.out + run.err));
        QCOMPARE(fileBytes(dir.filePath("x.tw")), bytes);
    }
};

QTEST_GUILESS_MAIN(TestCliChannels)
#include "tst_cli_channels.moc"
