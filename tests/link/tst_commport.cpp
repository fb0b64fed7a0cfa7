// The serial port on a real pseudo-terminal: time-outs, exclusive use, binary transparency.
#include "link/CommPort.h"
#include "link/PortMap.h"
#include "tests/link/PtyPair.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void portWithoutDeviceFailsAsNoDevice_data();
    void portWithoutDeviceFailsAsNoDevice();
    void missingDeviceFailsToOpen();
    void onlyATerminalIsOpenedAndNothingElseIsTouched_data();
    void onlyATerminalIsOpenedAndNothingElseIsTouched();
    void lowLatencyIsAskedForAndItsRefusalIgnored();
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

void TestCommPort::portWithoutDeviceFailsAsNoDevice_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("unlisted number") << "COM2";
    QTest::newRow("COM0") << "COM0";
    QTest::newRow("COM-1") << "COM-1";
    QTest::newRow("not a port name") << "ttyS0";
}

void TestCommPort::portWithoutDeviceFailsAsNoDevice()
{
    QFETCH(QString, name);
    PortMap::setOverride("1=/dev/null");
    CommPort port;
    QVERIFY(!port.open(name.toStdString()));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.lastOpenFailure(), CommPort::OpenFailure::NoDevice);
    QCOMPARE(port.lastOpenError(), std::string("no device"));
}

void TestCommPort::missingDeviceFailsToOpen()
{
    PortMap::setOverride("3=/dev/tarn-no-such-device");
    CommPort port;
    QVERIFY(!port.open("COM3"));
    QCOMPARE(port.lastOpenFailure(), CommPort::OpenFailure::Missing);
    QCOMPARE(port.lastOpenError(), std::string("no such device"));
}

void TestCommPort::onlyATerminalIsOpenedAndNothingElseIsTouched_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("words");
    QTest::newRow("ordinary file") << "file" << "not a serial device (an ordinary file)";
    QTest::newRow("folder") << "folder" << "not a serial device (a folder)";
    QTest::newRow("FIFO") << "fifo" << "not a serial device (a FIFO)";
    QTest::newRow("character device that is no terminal")
        << "null" << "not a serial device (a character device that is not a terminal)";
}

void TestCommPort::onlyATerminalIsOpenedAndNothingElseIsTouched()
{
    QFETCH(QString, kind);
    QFETCH(QString, words);
    QTemporaryDir dir;
    QString path = dir.filePath("port");
    const QByteArray original("precious bytes\n");
    int fifoReader = -1;
    if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(original);
    } else if (kind == "folder") {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == "fifo") {
        QVERIFY(::mkfifo(path.toLocal8Bit().constData(), 0600) == 0);
        fifoReader = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(fifoReader >= 0);
    } else {
        path = "/dev/null";
    }
    PortMap::setOverride("1=" + path);
    CommPort port;
    QVERIFY(!port.open("COM1"));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.lastOpenFailure(), CommPort::OpenFailure::NotSerial);
    QCOMPARE(QString::fromStdString(port.lastOpenError()), words);
    const std::uint8_t entry[8] = {'P', 'R', 'O', 'G', 'R', 'A', 'M', 0};
    QCOMPARE(port.write(entry, 8), 0);
    if (kind == "file") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), original);
    }
    if (fifoReader >= 0) {
        char byte = 0;
        QCOMPARE(::read(fifoReader, &byte, 1), ssize_t(0));  // no writer ever came
        ::close(fifoReader);
    }
}

void TestCommPort::lowLatencyIsAskedForAndItsRefusalIgnored()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort port;
    QVERIFY(port.open("COM1"));
    // A pseudo-terminal has no serial driver to ask: the request is refused.
    QCOMPARE(port.lowLatency(), CommPort::LowLatency::Refused);
    const std::uint8_t byte = 0x06;
    QCOMPARE(port.write(&byte, 1), 1);
    QCOMPARE(pty.receive(), std::vector<std::uint8_t>{0x06});
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
