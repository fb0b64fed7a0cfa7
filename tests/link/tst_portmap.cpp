// The port map: assignments from TARN_PORTS and --ports, the numbering of system ports.
#include "link/PortMap.h"

#include <QtTest>

using namespace tarn;
using Assignments = QMap<int, QString>;

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void portNamesAreComFollowedByANumber_data();
    void portNamesAreComFollowedByANumber();
    void assignmentPinsNumbersToDevices_data();
    void assignmentPinsNumbersToDevices();
    void environmentAssignmentLeavesUnlistedNumbersWithoutDevice();
    void overrideTakesPrecedenceOverTheEnvironment();
    void listHoldsTwentyPortsWithTheirDevices();
    void usbAdaptersComeFirstThenOthersInNameOrder_data();
    void usbAdaptersComeFirstThenOthersInNameOrder();
};

void TestPortMap::init()
{
    PortMap::setOverride(QString());
    qunsetenv("TARN_PORTS");
}

void TestPortMap::cleanup()
{
    init();
}

void TestPortMap::portNamesAreComFollowedByANumber_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");  // -1000: not a port name
    QTest::newRow("COM1") << "COM1" << 1;
    QTest::newRow("COM20") << "COM20" << 20;
    QTest::newRow("COM0") << "COM0" << 0;
    QTest::newRow("COM-1") << "COM-1" << -1;
    QTest::newRow("bare COM") << "COM" << -1000;
    QTest::newRow("lower case") << "com1" << -1000;
    QTest::newRow("trailing text") << "COM1x" << -1000;
    QTest::newRow("device path") << "/dev/ttyUSB0" << -1000;
}

void TestPortMap::portNamesAreComFollowedByANumber()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    const auto n = PortMap::portNumberFromName(name.toStdString());
    QCOMPARE(n.value_or(-1000), number);
}

void TestPortMap::assignmentPinsNumbersToDevices_data()
{
    QTest::addColumn<QString>("assignment");
    QTest::addColumn<Assignments>("expected");
    QTest::addColumn<int>("problems");
    QTest::newRow("one") << "1=/dev/pts/7" << Assignments{{1, "/dev/pts/7"}} << 0;
    QTest::newRow("two with blanks") << " 1 = /dev/pts/7 , 3=/dev/ttyUSB0 "
                                     << Assignments{{1, "/dev/pts/7"}, {3, "/dev/ttyUSB0"}} << 0;
    QTest::newRow("empty entries skipped") << "2=/dev/a,,"
                                           << Assignments{{2, "/dev/a"}} << 0;
    QTest::newRow("malformed entries reported")
        << "x=/dev/a,4,5=,6=/dev/b" << Assignments{{6, "/dev/b"}} << 3;
    QTest::newRow("later entry wins") << "1=/dev/a,1=/dev/b" << Assignments{{1, "/dev/b"}} << 0;
    QTest::newRow("numbers outside 1-20 reported")
        << "0=/dev/a,21=/dev/b,-1=/dev/c,20=/dev/d" << Assignments{{20, "/dev/d"}} << 3;
}

void TestPortMap::assignmentPinsNumbersToDevices()
{
    QFETCH(QString, assignment);
    QFETCH(Assignments, expected);
    QFETCH(int, problems);
    QStringList found;
    QCOMPARE(PortMap::parseAssignment(assignment, &found), expected);
    QCOMPARE(found.size(), problems);
}

void TestPortMap::environmentAssignmentLeavesUnlistedNumbersWithoutDevice()
{
    qputenv("TARN_PORTS", "1=/dev/pts/7,4=/dev/ttyUSB1");
    QCOMPARE(PortMap::deviceForPort(1), QString("/dev/pts/7"));
    QCOMPARE(PortMap::deviceForPort(4), QString("/dev/ttyUSB1"));
    QVERIFY(PortMap::deviceForPort(2).isEmpty());
    QVERIFY(PortMap::deviceForPort(0).isEmpty());
    QCOMPARE(PortMap::deviceForName("COM4"), QString("/dev/ttyUSB1"));
    QVERIFY(PortMap::deviceForName("COM-1").isEmpty());
    QVERIFY(PortMap::deviceForName("/dev/pts/7").isEmpty());
}

void TestPortMap::overrideTakesPrecedenceOverTheEnvironment()
{
    qputenv("TARN_PORTS", "1=/dev/from-env");
    PortMap::setOverride("2=/dev/from-option");
    QVERIFY(PortMap::deviceForPort(1).isEmpty());
    QCOMPARE(PortMap::deviceForPort(2), QString("/dev/from-option"));
    PortMap::setOverride(QString());
    QCOMPARE(PortMap::deviceForPort(1), QString("/dev/from-env"));
}

void TestPortMap::listHoldsTwentyPortsWithTheirDevices()
{
    PortMap::setOverride("1=/dev/a,20=/dev/b,21=/dev/c");
    const QList<PortEntry> ports = PortMap::listPorts();
    QCOMPARE(ports.size(), 20);
    for (int i = 0; i < 20; ++i)
        QCOMPARE(ports[i].number, i + 1);
    QCOMPARE(ports[0].device, QString("/dev/a"));
    QCOMPARE(ports[19].device, QString("/dev/b"));
    QVERIFY(ports[1].device.isEmpty());
}

void TestPortMap::usbAdaptersComeFirstThenOthersInNameOrder_data()
{
    QTest::addColumn<QStringList>("devices");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("linux") << QStringList{"/dev/ttyS1", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB0"}
                           << QStringList{"/dev/ttyACM0", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyS0", "/dev/ttyS1"};
    QTest::newRow("numbers compare as numbers")
        << QStringList{"/dev/ttyS10", "/dev/ttyS2", "/dev/ttyUSB10", "/dev/ttyUSB9"}
        << QStringList{"/dev/ttyUSB9", "/dev/ttyUSB10", "/dev/ttyS2", "/dev/ttyS10"};
    QTest::newRow("macos") << QStringList{"/dev/cu.Bluetooth-Incoming-Port", "/dev/cu.usbserial-1420"}
                           << QStringList{"/dev/cu.usbserial-1420", "/dev/cu.Bluetooth-Incoming-Port"};
    QTest::newRow("none") << QStringList{} << QStringList{};
}

void TestPortMap::usbAdaptersComeFirstThenOthersInNameOrder()
{
    QFETCH(QStringList, devices);
    QFETCH(QStringList, expected);
    QCOMPARE(PortMap::orderSystemPorts(devices), expected);
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "tst_portmap.moc"
