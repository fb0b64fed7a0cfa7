// tarn-cli write to a fleet as a real process against several virtual radios at once, each on
// a pseudo-terminal of this test: every good radio holds the configuration with its own
// per-radio values while a silent one, one cut off halfway and one refusing by its band limits
// fail on their own; a bad per-radio value refuses its radio before anything is sent; every
// radio has its line in the log; and on one cable radios come and go until Ctrl+C.
#include "tests/common/CliProcess.h"
#include "tests/common/CliRadio.h"
#include "tests/common/RadioMemoryModel.h"
#include "link/WriteChecks.h"
#include "radio/ConfigFile.h"
#include "radio/SettingsTable.h"

#include <QtTest>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <memory>
#include <vector>

using namespace tarn;
using testing::runCli;
using testing::startRadio;

namespace {

enum Kind { Good, Silent, CutOff, Refusing };

// Frames a write that reads first sends before its first chunk (see tst_cli_safe_write).
constexpr int FramesBeforeTheFirstChunk = 3 + 2 * 68 + 2;

QString english(int n)
{
    return testing::language(2, n);
}

// A radio whose limits (400-480 MHz only) refuse the configuration's 2 m channels.
VirtualRadio::Memory uhfOnly()
{
    RadioImage image = VirtualRadio::imageFromMemory(VirtualRadio::factoryMemory());
    auto limits = image.bandLimitData();
    for (int k = 0; k < layout::limits::Count; ++k) {
        limits[2 * k] = 0x04;
        limits[2 * k + 1] = k % 2 == 0 ? 0x00 : 0x80;
    }
    return VirtualRadio::memoryFromImage(image);
}

struct Fleet {
    std::vector<std::unique_ptr<PtyRadio>> radios;
    std::vector<VirtualRadio::Memory> before;

    explicit Fleet(const QList<int>& kinds)
    {
        for (int kind : kinds) {
            RadioFaults faults;
            faults.silent = kind == Silent;
            if (kind == CutOff)
                faults.hangUpAfterFrames = FramesBeforeTheFirstChunk + 3;
            before.push_back(kind == Refusing ? uhfOnly() : VirtualRadio::factoryMemory());
            radios.push_back(startRadio(before.back(), faults));
        }
    }
    QString portMap() const
    {
        QStringList map;
        for (std::size_t i = 0; i < radios.size(); ++i)
            map << QString("%1=%2").arg(i + 1).arg(QString::fromStdString(radios[i]->slavePath()));
        return map.join(',');
    }
    QStringList portOptions() const
    {
        QStringList options;
        for (std::size_t i = 0; i < radios.size(); ++i)
            options << "--port" << QString::number(i + 1);
        return options;
    }
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(name));
    return file.fileName();
}

QString saveClub(const QTemporaryDir& dir)
{
    const QString path = dir.filePath("club.tw");
    if (saveConfiguration(path.toStdString(), testing::editedImage()).outcome != FileOutcome::Saved)
        qFatal("cannot save club.tw");
    return path;
}

QStringList lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

// The log's line for port n: the radios end in any order.
QString logLine(const QStringList& log, int port)
{
    const QStringList found = log.filter(QString(",COM%1,").arg(port));
    return found.size() == 1 ? found.first() : QString();
}

std::string settingText(const RadioImage& image, const char* key)
{
    return settings::LoadField(image, *settings::FindField(key)).text;
}

// The configuration as radio n is sent it: its own start-up text and DTMF ID, the fix-up.
RadioImage clubFor(int n)
{
    RadioImage image = testing::editedImage();
    for (const auto& [key, text] : {std::pair{"startupText", "CLUB0" + std::to_string(n)},
                                    std::pair{"localId", "10" + std::to_string(n)}}) {
        settings::FieldValue value;
        value.text = text;
        settings::StoreField(image, *settings::FindField(key), value);
    }
    currentChannelFixUp(image);
    return image;
}

QByteArray clubValues(int radios)
{
    QByteArray csv = "port,startupText,localId\n";
    for (int n = 1; n <= radios; ++n)
        csv += QString("%1,CLUB0%1,10%1\n").arg(n).toUtf8();
    return csv;
}

}  // namespace

class CliFleetTest : public QObject {
    Q_OBJECT

private slots:
    void everyRadioIsWrittenOrNamed_data()
    {
        QTest::addColumn<QList<int>>("kinds");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QStringList>("results");  // the log's result column, port by port

        QTest::newRow("four good radios") << QList<int>{Good, Good, Good, Good} << 0
                                          << QStringList{"written", "written", "written", "written"};
        QTest::newRow("the radio on port 3 silent") << QList<int>{Good, Good, Silent, Good} << 3
                                                    << QStringList{"written", "written", "no radio", "written"};
        QTest::newRow("silent, cut off, refusing") << QList<int>{Good, Good, Silent, CutOff, Refusing} << 5
                                                   << QStringList{"written", "written", "no radio", "failed",
                                                                  "refused by band limits"};
    }

    void everyRadioIsWrittenOrNamed()
    {
        QFETCH(QList<int>, kinds);
        QFETCH(int, exitCode);
        QFETCH(QStringList, results);
        QTemporaryDir dir;
        Fleet fleet(kinds);
        const QString club = saveClub(dir);
        const QString ids = writeFile(dir, "ids.csv", clubValues(int(kinds.size())));
        const QString log = dir.filePath("log.csv");

        const testing::CliRun run = runCli(QStringList{"write", club} + fleet.portOptions()
                                               + QStringList{"--per-radio", ids, "--log", log, "--ports", fleet.portMap()},
                                           dir.path());

        QCOMPARE(run.exitCode, exitCode);
        const QStringList logged = lines(log);
        QCOMPARE(logged.size(), kinds.size());
        const QStringList summary = run.out.split('\n');
        for (int i = 0; i < kinds.size(); ++i) {
            const int port = i + 1;
            const PtyRadio& radio = *fleet.radios[std::size_t(i)];
            const QStringList fields = logLine(logged, port).split(',');
            QCOMPARE(fields.size(), 10);
            QCOMPARE(fields.at(1), QString("COM%1").arg(port));
            QCOMPARE(fields.at(7), results.at(i));
            QCOMPARE(fields.at(6), QString("startupText=CLUB0%1;localId=10%1").arg(port));
            // The summary has a row for every port; a failed one is named on standard error too.
            QVERIFY2(!summary.filter(QRegularExpression(QString("^COM%1 ").arg(port))).isEmpty(), qPrintable(run.out));
            if (kinds.at(i) == Good) {
                QCOMPARE(fields.at(8), QString("equal"));
                const RadioImage held = VirtualRadio::imageFromMemory(radio.memory());
                QCOMPARE(settingText(held, "startupText"), "CLUB0" + std::to_string(port));
                QVERIFY(testing::sameMemory(radio.memory(),
                                            testing::memoryAfterWrite(fleet.before[std::size_t(i)], clubFor(port))));
            } else {
                QVERIFY2(run.err.contains(QString("COM%1 (exit ").arg(port)), qPrintable(run.err));
                if (kinds.at(i) != CutOff)
                    QVERIFY(radio.memory() == fleet.before[std::size_t(i)]);
            }
        }
        if (exitCode == 3)
            QVERIFY(!summary.filter(QRegularExpression("^COM3 .*" + QRegularExpression::escape(english(385)))).isEmpty());
    }

    void perRadioValuesAreCheckedBeforeAnythingIsSent_data()
    {
        QTest::addColumn<QByteArray>("values");
        QTest::addColumn<QList<bool>>("written");  // port by port
        QTest::addColumn<QString>("reason");

        QTest::newRow("unknown column") << QByteArray("port,startupText,colour\n1,CLUB01,red\n2,CLUB02,blue\n")
                                        << QList<bool>{false, false} << "ids.csv: line 1: unknown column 'colour'";
        QTest::newRow("bad DTMF ID for port 2") << QByteArray("port,startupText,localId\n1,CLUB01,101\n2,CLUB02,12X\n")
                                                << QList<bool>{true, false} << "ids.csv: line 3: localId: '12X'";
        QTest::newRow("no row for port 2") << QByteArray("port,startupText\nCOM1,CLUB01\n")
                                           << QList<bool>{true, false} << "ids.csv: no row is for port 2";
    }

    void perRadioValuesAreCheckedBeforeAnythingIsSent()
    {
        QFETCH(QByteArray, values);
        QFETCH(QList<bool>, written);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        Fleet fleet({Good, Good});
        const QString club = saveClub(dir);
        writeFile(dir, "ids.csv", values);

        const testing::CliRun run = runCli(QStringList{"write", club, "--port", "1", "--port", "2", "--per-radio",
                                                       "ids.csv", "--log", "log.csv", "--ports", fleet.portMap()},
                                           dir.path());

        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.out.contains(reason), qPrintable(run.out));
        for (int i = 0; i < 2; ++i) {
            const PtyRadio& radio = *fleet.radios[std::size_t(i)];
            if (written.at(i)) {
                QCOMPARE(settingText(VirtualRadio::imageFromMemory(radio.memory()), "startupText"), std::string("CLUB01"));
            } else {
                // Refused before its port was opened: not one byte reached it.
                QVERIFY(radio.frames().empty());
                QVERIFY(logLine(lines(dir.filePath("log.csv")), i + 1).contains(",values refused,"));
            }
        }
    }

    void oneCableTakesRadioAfterRadioUntilInterrupted()
    {
        QTemporaryDir dir;
        const VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
        auto cable = startRadio(factory);
        const QString club = saveClub(dir);
        writeFile(dir, "ids.csv", "startupText,localId\nCAR1,201\nCAR2,202\nCAR3,203\n");

        QProcess cli;
        cli.setWorkingDirectory(dir.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("TARN_PORTS");
        environment.insert("XDG_DATA_HOME", dir.filePath("data"));
        cli.setProcessEnvironment(environment);
        cli.start(TARN_CLI_PATH, {"write", club, "--port", "1", "--repeat", "--per-radio", "ids.csv", "--log",
                                  "log.csv", "--ports", testing::portsFor(*cable)});
        QString out;
        QString err;
        auto read = [&] {
            out += QString::fromUtf8(cli.readAllStandardOutput());
            err += QString::fromUtf8(cli.readAllStandardError());
            return true;
        };

        // The first radio is written as soon as it answers; its end is a line of its own.
        QTRY_VERIFY_WITH_TIMEOUT(read() && out.contains("1: COM1"), 60000);
        const VirtualRadio::Memory first = cable->memory();
        // Taken off the cable: the loop waits for the next radio ...
        RadioFaults off;
        off.silent = true;
        cable->setFaults(off);
        QTRY_VERIFY_WITH_TIMEOUT(read() && err.count(english(381)) >= 2, 60000);
        // ... which is a fresh one.
        cable->setMemory(factory);
        cable->setFaults({});
        QTRY_VERIFY_WITH_TIMEOUT(read() && out.contains("2: COM1"), 60000);
        const VirtualRadio::Memory second = cable->memory();

        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(60000));
        read();
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY2(out.contains(english(392) + "2/2"), qPrintable(out));
        QCOMPARE(lines(dir.filePath("log.csv")).size(), 2);
        QCOMPARE(settingText(VirtualRadio::imageFromMemory(first), "startupText"), std::string("CAR1"));
        QCOMPARE(settingText(VirtualRadio::imageFromMemory(second), "startupText"), std::string("CAR2"));
        QCOMPARE(settingText(VirtualRadio::imageFromMemory(second), "localId"), std::string("202"));
    }
};

QTEST_GUILESS_MAIN(CliFleetTest)
#include "tst_cli_fleet.moc"
