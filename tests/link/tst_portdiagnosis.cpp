// Why a port cannot be used: each reason, with the processes, udev records and rules a test
// lays out in folders of its own, and one holder that really has the device open.
#include "link/PortDiagnosis.h"
#include "link/PortMap.h"
#include "tests/link/PtyPair.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace tarn;
using Failure = CommPort::OpenFailure;

class TestPortDiagnosis : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { PortMap::setOverride(QString()); }
    void eachReasonNamesItsRemedy_data();
    void eachReasonNamesItsRemedy();
    void aRealHolderIsNamedFromProc();
};

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

// A process in the made-up /proc: its name and, when given, the device it holds open.
void addProcess(const QString& proc, int pid, const QByteArray& name, const QString& holds = {})
{
    const QString dir = proc + "/" + QString::number(pid);
    writeFile(dir + "/comm", name + "\n");
    QDir().mkpath(dir + "/fd");
    if (!holds.isEmpty())
        QFile::link(holds, dir + "/fd/5");
}

}  // namespace

void TestPortDiagnosis::eachReasonNamesItsRemedy_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("processes");  // "name" or "name>" (holds the device), blank-separated
    QTest::addColumn<bool>("ruleInstalled");
    QTest::addColumn<QString>("udevRecord");  // udev's record of the device: none, or its lines
    QTest::addColumn<QStringList>("expected");  // parts of the text, in order
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("missing, no brltty") << int(Failure::Missing) << "no such device" << "bash" << false << ""
                                        << QStringList{"no such device"} << QStringList{"brltty"};
    QTest::newRow("missing while brltty runs") << int(Failure::Missing) << "no such device" << "brltty" << false << ""
                                               << QStringList{"no such device", "brltty", "sudo apt remove brltty", "udev rule"}
                                               << QStringList{};
    QTest::newRow("held by a terminal program") << int(Failure::Busy) << "in use by another program" << "minicom> bash"
                                                << false << "" << QStringList{"in use by minicom (PID 1000)"}
                                                << QStringList{"bash", "brltty"};
    QTest::newRow("taken by brltty") << int(Failure::Busy) << "in use by another program" << "brltty>" << false << ""
                                     << QStringList{"in use by brltty (PID 1000)", "sudo apt remove brltty"}
                                     << QStringList{};
    QTest::newRow("held, holder not visible") << int(Failure::Busy) << "in use by another program" << "" << false << ""
                                              << QStringList{"in use by another program"} << QStringList{"PID"};
    QTest::newRow("no permission") << int(Failure::NoPermission) << "no permission" << "" << false << ""
                                   << QStringList{"no permission: join the group dialout",
                                                  "sudo usermod -aG dialout $USER"}
                                   << QStringList{};
    QTest::newRow("ModemManager without the rule") << int(Failure::None) << "" << "ModemManager" << false << ""
                                                   << QStringList{"can be opened", "ModemManager", "60-tarn-cables.rules"}
                                                   << QStringList{};
    QTest::newRow("ModemManager with the rule") << int(Failure::None) << "" << "ModemManager" << true << ""
                                                << QStringList{"can be opened"} << QStringList{"ModemManager"};
    QTest::newRow("not a serial device") << int(Failure::NotSerial) << "not a serial device (an ordinary file)" << ""
                                         << false << "" << QStringList{"not a serial device (an ordinary file)"}
                                         << QStringList{";"};
    QTest::newRow("udev's record says ModemManager ignores it") << int(Failure::None) << "" << "ModemManager" << false
                                                                << "E:ID_MM_DEVICE_IGNORE=1"
                                                                << QStringList{"can be opened"} << QStringList{"ModemManager"};
    QTest::newRow("udev's record lacks it though the rule is there") << int(Failure::None) << "" << "ModemManager" << true
                                                                     << "E:ID_VENDOR_ID=1a86"
                                                                     << QStringList{"can be opened", "ModemManager"}
                                                                     << QStringList{};
}

void TestPortDiagnosis::eachReasonNamesItsRemedy()
{
    QFETCH(int, failure);
    QFETCH(QString, reason);
    QFETCH(QString, processes);
    QFETCH(bool, ruleInstalled);
    QFETCH(QString, udevRecord);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, absent);

    QTemporaryDir root;
    // The cable's device: a file named as a USB adapter, in the dialout group; a terminal
    // under that name where udev keeps a record of it.
    const QString device = root.filePath("dev/ttyUSB0");
    PtyPair pty;
    struct stat terminal {};
    if (!udevRecord.isEmpty()) {
        QVERIFY(pty.ok() && QDir().mkpath(root.filePath("dev")));
        QVERIFY(QFile::link(QString::fromStdString(pty.slave), device));
        QVERIFY(::stat(pty.slave.c_str(), &terminal) == 0);
        writeFile(root.filePath(QString("udev-data/c%1:%2").arg(major(terminal.st_rdev)).arg(minor(terminal.st_rdev))),
                  udevRecord.toUtf8() + "\n");
    } else {
        writeFile(device, {});
    }
    if (const group* dialout = ::getgrnam("dialout"); dialout && udevRecord.isEmpty()) {
        QVERIFY(::chown(device.toLocal8Bit().constData(), ::getuid(), dialout->gr_gid) == 0);
        ::chmod(device.toLocal8Bit().constData(), 0660);
    }
    SystemView view;
    view.procRoot = root.filePath("proc").toStdString();
    view.udevDataDir = root.filePath("udev-data").toStdString();
    view.udevRuleDirs = {root.filePath("rules.d").toStdString()};
    QDir().mkpath(root.filePath("proc"));
    int pid = 1000;
    for (const QString& entry : processes.split(' ', Qt::SkipEmptyParts)) {
        const bool holds = entry.endsWith('>');
        addProcess(root.filePath("proc"), pid++, entry.chopped(holds ? 1 : 0).toUtf8(), holds ? device : QString());
    }
    if (ruleInstalled)
        writeFile(root.filePath("rules.d/60-tarn-cables.rules"), "# rule\n");

    const QString text = QString::fromStdString(
        explainPort(device.toStdString(), Failure(failure), reason.toStdString(), view));
    int from = 0;
    for (const QString& part : expected) {
        const int at = text.indexOf(part, from);
        QVERIFY2(at >= 0, qPrintable(QString("'%1' lacks '%2'").arg(text, part)));
        from = at + int(part.size());
    }
    for (const QString& part : absent)
        QVERIFY2(!text.contains(part), qPrintable(QString("'%1' has '%2'").arg(text, part)));
}

void TestPortDiagnosis::aRealHolderIsNamedFromProc()
{
    PtyPair pty;
    QVERIFY(pty.ok());
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(pty.slave)));
    CommPort holder;
    QVERIFY(holder.open("COM1"));
    CommPort second;
    const PortState state = diagnosePort(second, 1);
    QVERIFY(!state.usable);
    const QString text = QString::fromStdString(state.text);
    QVERIFY2(text.contains(QString("(PID %1)").arg(::getpid())), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestPortDiagnosis)
#include "tst_portdiagnosis.moc"
