// The fleet run's plain parts: per-radio rows matched to ports and put through the text
// form's rules, a log line that stays one line whatever a field holds, a log that never keeps
// half a line when the disk refuses the rest, and the stable name of a device.
#include "fleet/FleetLog.h"
#include "fleet/PerRadioValues.h"
#include "exchange/ChannelCsv.h"
#include "radio/SettingsTable.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace tarn;

namespace {

std::string startupText(const RadioImage& image)
{
    return settings::LoadField(image, *settings::FindField("startupText")).text;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class FleetTest : public QObject {
    Q_OBJECT

private slots:
    void aRowIsFoundByItsPortAndAppliedByTheTextFormsRules_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("problem");  // empty: applied
        QTest::addColumn<QString>("startup");  // the start-up text after it

        QTest::newRow("port as COM2") << QByteArray("Port,startupText\nCOM1,ONE\nCOM2,TWO\n") << 2 << "" << "TWO";
        QTest::newRow("an empty cell keeps the configuration's")
            << QByteArray("port,startupText,localId\n3,,123\n") << 3 << "" << "HELLO";
        QTest::newRow("a quoted cell") << QByteArray("port,startupText\n1,\"A,B\"\n") << 1 << "" << "A,B";
        QTest::newRow("two rows for one port") << QByteArray("port,startupText\n1,ONE\n1,TWO\n") << 1
                                               << "lines 2 and 3 are both for port 1" << "HELLO";
        QTest::newRow("a port out of range") << QByteArray("port,startupText\n21,ONE\n") << 21
                                             << "no row is for port 21" << "HELLO";
        QTest::newRow("a key in the wrong case") << QByteArray("port,startuptext\n1,ONE\n") << 1
                                                 << "line 1: unknown column 'startuptext'" << "HELLO";
        QTest::newRow("more cells than the header") << QByteArray("port,startupText\n1,ONE,TWO\n") << 1
                                                    << "line 2: the row has 3 cells, the header 2" << "HELLO";
        QTest::newRow("a text the radio cannot show") << QByteArray("port,startupText\n1,TOOLONG\n") << 1
                                                      << "line 2: startupText: 'TOOLONG'" << "HELLO";
    }

    void aRowIsFoundByItsPortAndAppliedByTheTextFormsRules()
    {
        QFETCH(QByteArray, csv);
        QFETCH(int, port);
        QFETCH(QString, problem);
        QFETCH(QString, startup);
        RadioImage image;
        image.resetToDefaults();
        settings::FieldValue hello;
        hello.text = "HELLO";
        settings::StoreField(image, *settings::FindField("startupText"), hello);

        const PerRadioValues values = ReadPerRadioValues(csv.toStdString());
        std::string why;
        const RadioValues* row = values.rowForPort(port, &why);
        if (row && !ApplyRadioValues(*row, image, &why))
            row = nullptr;
        QCOMPARE(row == nullptr, !problem.isEmpty());
        QVERIFY2(QString::fromStdString(why).startsWith(problem), why.c_str());
        QCOMPARE(QString::fromStdString(startupText(image)), startup);
    }

    void aLogLineIsOneLineOfTenFields()
    {
        FleetLogRecord record;
        record.when = QDateTime(QDate(2026, 12, 8), QTime(10, 15), Qt::UTC);
        record.port = 3;
        record.device = "/dev/ttyUSB0";
        record.configuration = "/home/me/club, \"2026\".tw";
        record.values = "startupText=A\nB;localId=101";
        record.result = "written";
        const std::string line = FleetLogLine(record);

        QCOMPARE(std::count(line.begin(), line.end(), '\n'), 1);
        const std::vector<CsvRecord> read = SplitCsvRecords(line);
        QCOMPARE(read.size(), std::size_t(1));
        QCOMPARE(read[0].fields.size(), std::size_t(10));
        QCOMPARE(read[0].fields[0], std::string("2026-12-08T10:15:00Z"));
        QCOMPARE(read[0].fields[1], std::string("COM3"));
        QCOMPARE(read[0].fields[4], record.configuration);
        QCOMPARE(read[0].fields[6], std::string("startupText=A\\x0AB;localId=101"));
    }

    void aLineTheDiskCannotTakeWholeIsTakenBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("fleet/fleet-log.csv");
        FleetLog log;
        std::string error;
        QVERIFY2(log.open(path, &error), error.c_str());
        QVERIFY2(log.append("first,line\n", &error), error.c_str());
        const QByteArray before = fileBytes(path);

        // A file size limit lets ten more bytes in: the line goes in whole or not at all.
        rlimit old{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &old) == 0);
        auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit small{rlim_t(before.size() + 10), old.rlim_max};
        QVERIFY(setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool appended = log.append(std::string(40, 'x') + "\n", &error);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldSignal);

        QVERIFY(!appended);
        QVERIFY(!error.empty());
        QCOMPARE(fileBytes(path), before);
        QVERIFY2(log.append("third,line\n", &error), error.c_str());
        QCOMPARE(fileBytes(path), before + "third,line\n");
    }

    void aDeviceIsNamedByItsLinkInTheStableFolder()
    {
        QTemporaryDir dir;
        QFile device(dir.filePath("ttyUSB7"));
        QVERIFY(device.open(QIODevice::WriteOnly));
        QVERIFY(QDir(dir.path()).mkdir("by-id"));
        const QString link = dir.filePath("by-id/usb-FTDI_FT232R_A12345-if00-port0");
        QVERIFY(QFile::link(device.fileName(), link));

        QCOMPARE(StableDeviceName(device.fileName().toStdString(), dir.filePath("by-id")), link.toStdString());
        QCOMPARE(StableDeviceName(dir.filePath("ttyUSB8").toStdString(), dir.filePath("by-id")), std::string());
    }
};

QTEST_GUILESS_MAIN(FleetTest)
#include "tst_fleet.moc"
