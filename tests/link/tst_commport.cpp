// The serial port on a real pseudo-terminal: time-outs, exclusive use, binary transparency.
#include "link/CommPort.h"
#include "link/PortMap.h"
#include "tests/link/PtyPair.h"

#include <QElapsedTimer>
#include <QtTest>

#include <thread>

using namespace tarn;

class TestCommPort : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void oneByteReadWithNoAnswerReturnsZeroAfterAboutTwoSeconds();
    void readEndsAbout388msAfterTheSenderStops();
    void readReturnsAsSoonAsAllBytesArrived();
    void everyByteValuePassesUnchangedBothWays();
    void openingTwiceKeepsTheFirstPort();
    void secondPortCannotOpenADeviceInUse();
    void portWithoutDeviceFailsWithTheSystemsWords_data();
    void portWithoutDeviceFailsWithTheSystemsWords();
    void missingDeviceFailsToOpen();
    void closeAfterAFailedOpenHasNoEffect();
    void purgeDiscardsPendingInput();
    void readEndsPromptlyWhenTheOtherSideHangsUp();
};

void TestCommPort::cleanup()
{
    PortMap::setOverride(QString());
}

void TestCommPort::oneByteReadWithNoAnswerReturnsZeroAfterAboutTwoSeconds()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    std::uint8_t byte = 0;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(port.read(&byte, 1), 0);
    const qint64 elapsed = timer.elapsed();
    QVERIFY2(elapsed >= 1600 && elapsed <= 3000, qPrintable(QString::number(elapsed)));
}

void TestCommPort::readEndsAbout388msAfterTheSenderStops()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    std::vector<std::uint8_t> first(30);
    for (int i = 0; i < 30; ++i)
        first[i] = static_cast<std::uint8_t>(i);
    std::uint8_t buffer[68] = {};
    QElapsedTimer timer;
    std::thread sender([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.send(first);
        timer.start();
    });
    const int got = port.read(buffer, 68);
    const qint64 afterLastByte = timer.elapsed();
    sender.join();
    QCOMPARE(got, 30);
    QVERIFY2(afterLastByte >= 300 && afterLastByte <= 900, qPrintable(QString::number(afterLastByte)));
    QCOMPARE(buffer[29], std::uint8_t(29));
}

void TestCommPort::readReturnsAsSoonAsAllBytesArrived()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    pty.send(std::vector<std::uint8_t>(68, 0x55));
    std::uint8_t buffer[68] = {};
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(port.read(buffer, 68), 68);
    QVERIFY(timer.elapsed() < 300);
}

void TestCommPort::everyByteValuePassesUnchangedBothWays()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    std::vector<std::uint8_t> all(256);
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<std::uint8_t>(i);

    QCOMPARE(port.write(all.data(), 256), 256);
    std::vector<std::uint8_t> received;
    while (received.size() < 256) {
        const auto part = pty.receive(1000);
        if (part.empty())
            break;
        received.insert(received.end(), part.begin(), part.end());
    }
    QCOMPARE(received, all);

    pty.send(all);
    std::vector<std::uint8_t> back(256);
    QCOMPARE(port.read(back.data(), 256), 256);
    QCOMPARE(back, all);
}

void TestCommPort::openingTwiceKeepsTheFirstPort()
{
    PtyPair first;
    PtyPair second;
    QVERIFY(first.ok() && second.ok());
    PortMap::setOverride(QString("1=%1,2=%2")
                             .arg(QString::fromStdString(first.slave), QString::fromStdString(second.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    QVERIFY(port.open("COM2"));
    QVERIFY(port.isOpen());
    const std::uint8_t byte = 0x52;
    QCOMPARE(port.write(&byte, 1), 1);
    QCOMPARE(first.receive(), std::vector<std::uint8_t>{0x52});
    QVERIFY(second.receive(100).empty());
}

void TestCommPort::secondPortCannotOpenADeviceInUse()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort first;
    CommPort second;
    QVERIFY(first.open("COM1"));
    QVERIFY(!second.open("COM1"));
    QVERIFY(!second.isOpen());
    QVERIFY(!second.lastOpenError().empty());
    QVERIFY(first.close());
    QVERIFY(!first.isOpen());
    QVERIFY(second.open("COM1"));
}

void TestCommPort::portWithoutDeviceFailsWithTheSystemsWords_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("unlisted number") << "COM2";
    QTest::newRow("COM0") << "COM0";
    QTest::newRow("COM-1") << "COM-1";
    QTest::newRow("not a port name") << "ttyS0";
}

void TestCommPort::portWithoutDeviceFailsWithTheSystemsWords()
{
    QFETCH(QString, name);
    PortMap::setOverride("1=/dev/null");
    CommPort port;
    QVERIFY(!port.open(name.toStdString()));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.lastOpenError(), std::string(std::strerror(ENOENT)));
}

void TestCommPort::missingDeviceFailsToOpen()
{
    PortMap::setOverride("3=/dev/tarn-no-such-device");
    CommPort port;
    QVERIFY(!port.open("COM3"));
    QCOMPARE(port.lastOpenError(), std::string(std::strerror(ENOENT)));
}

void TestCommPort::closeAfterAFailedOpenHasNoEffect()
{
    PortMap::setOverride("1=/dev/tarn-no-such-device");
    CommPort port;
    QVERIFY(!port.open("COM1"));
    QVERIFY(!port.close());
    port.closeIfOpen();
    QVERIFY(!port.isOpen());
}

void TestCommPort::purgeDiscardsPendingInput()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    pty.send({1, 2, 3, 4});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port.purge();
    pty.send({9});
    std::uint8_t byte = 0;
    QCOMPARE(port.read(&byte, 1), 1);
    QCOMPARE(byte, std::uint8_t(9));
}

void TestCommPort::readEndsPromptlyWhenTheOtherSideHangsUp()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    pty.closeMaster();
    std::uint8_t buffer[8];
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(port.read(buffer, 8), 0);
    QVERIFY(timer.elapsed() < 1000);
    const std::uint8_t byte = 0x06;
    QCOMPARE(port.write(&byte, 1), 0);
}

QTEST_GUILESS_MAIN(TestCommPort)
#include "tst_commport.moc"
