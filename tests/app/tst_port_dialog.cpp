// The port selection command and its dialog: which ports are offered, the stored port, what
// OK and Cancel store, the devices shown as tips, and the refusal while a transfer runs.
// Port numbers are mapped to pseudo-terminals and to devices that do not exist.
#include "AppFixture.h"

#include "emulator/PtyRadio.h"
#include "link/CommPort.h"
#include "link/MessageDialog.h"
#include "link/PortDialog.h"
#include "link/PortMap.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

using namespace tarn;

namespace {

// COM2 is a virtual radio's terminal, COM3 a device that is not there; nothing else exists.
struct MappedPorts {
    PtyRadio radio;
    QString device;
    MappedPorts(bool fast = true)
    {
        radio.setFast(fast);
        std::string error;
        if (!radio.start(&error))
            qFatal("no pseudo-terminal: %s", error.c_str());
        device = QString::fromStdString(radio.slavePath());
        PortMap::setOverride(QStringLiteral("2=%1,3=/dev/tarn-test-absent-3").arg(device));
    }
    ~MappedPorts()
    {
        radio.stop();
        PortMap::setOverride(QString());
    }
};

// Runs the port command with `answer` in place of the user; returns how often the dialog showed.
int runPortCommand(CMainFrame* frame, std::function<int(PortDialog&)> answer)
{
    int shown = 0;
    scripted(frame).portDialog = [&](PortDialog& dialog) {
        ++shown;
        return answer(dialog);
    };
    frame->commandAction(ID_PORT_SELECTION)->trigger();
    return shown;
}

int pressOk(PortDialog& dialog)
{
    dialog.accept();
    return dialog.result();
}

}  // namespace

class TestPortDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { PortMap::setOverride(QString()); }
    void onlyPortsThatOpenAreEnabled();
    void storedPortStaysCheckedWhenDisabledAndOkKeepsIt();
    void okStoresTheCheckedPort();
    void cancelChangesNothing();
    void noStoredPortChecksNothingAndOkStoresZero_data();
    void noStoredPortChecksNothingAndOkStoresZero();
    void portHeldByAnotherProgramIsDisabled();
    void tipsNameTheDevices();
    void textsComeFromTheLanguageTable();
    void buttonsStandInFourRowsOfFive();
    void commandDoesNothingWhileATransferRuns();
};

void TestPortDialog::onlyPortsThatOpenAreEnabled()
{
    MappedPorts ports;
    AppFixture f;
    QList<bool> enabled;
    runPortCommand(f.frame(), [&](PortDialog& dialog) {
        for (int i = 0; i < PortDialog::PortCount; ++i)
            enabled << dialog.portButton(i)->isEnabled();
        return int(QDialog::Rejected);
    });
    QList<bool> expected(PortDialog::PortCount, false);
    expected[1] = true;
    QCOMPARE(enabled, expected);
    // The scan leaves every port closed.
    QVERIFY(!f.frame()->transferJob().port()->isOpen());
    CommPort other;
    QVERIFY(other.open("COM2"));
}

void TestPortDialog::storedPortStaysCheckedWhenDisabledAndOkKeepsIt()
{
    MappedPorts ports;
    AppFixture f;
    f.frame()->image().setPortNumber(3);
    bool checkedAndDisabled = false;
    runPortCommand(f.frame(), [&](PortDialog& dialog) {
        checkedAndDisabled = dialog.portButton(2)->isChecked() && !dialog.portButton(2)->isEnabled();
        return pressOk(dialog);
    });
    QVERIFY(checkedAndDisabled);
    QCOMPARE(f.frame()->image().portNumber(), 3);
}

void TestPortDialog::okStoresTheCheckedPort()
{
    MappedPorts ports;
    AppFixture f;
    f.frame()->image().setPortNumber(3);
    runPortCommand(f.frame(), [](PortDialog& dialog) {
        dialog.portButton(1)->click();
        return pressOk(dialog);
    });
    QCOMPARE(f.frame()->image().portNumber(), 2);
}

void TestPortDialog::cancelChangesNothing()
{
    MappedPorts ports;
    AppFixture f;
    f.frame()->image().setPortNumber(3);
    runPortCommand(f.frame(), [](PortDialog& dialog) {
        dialog.portButton(1)->click();
        dialog.reject();
        return dialog.result();
    });
    QCOMPARE(f.frame()->image().portNumber(), 3);
}

void TestPortDialog::noStoredPortChecksNothingAndOkStoresZero_data()
{
    QTest::addColumn<int>("stored");
    QTest::newRow("port 0") << 0;
    QTest::newRow("port 21") << 21;
    QTest::newRow("negative") << -4;
}

void TestPortDialog::noStoredPortChecksNothingAndOkStoresZero()
{
    QFETCH(int, stored);
    MappedPorts ports;
    AppFixture f;
    f.frame()->image().setPortNumber(stored);
    int checked = 0;
    runPortCommand(f.frame(), [&](PortDialog& dialog) {
        for (int i = 0; i < PortDialog::PortCount; ++i)
            checked += dialog.portButton(i)->isChecked();
        return pressOk(dialog);
    });
    QCOMPARE(checked, 0);
    QCOMPARE(f.frame()->image().portNumber(), 0);
}

void TestPortDialog::portHeldByAnotherProgramIsDisabled()
{
    MappedPorts ports;
    AppFixture f;
    CommPort holder;
    QVERIFY(holder.open("COM2"));
    bool enabled = true;
    runPortCommand(f.frame(), [&](PortDialog& dialog) {
        enabled = dialog.portButton(1)->isEnabled();
        return int(QDialog::Rejected);
    });
    QVERIFY(!enabled);
    QVERIFY(holder.isOpen());
}

void TestPortDialog::tipsNameTheDevices()
{
    MappedPorts ports;
    PortDialog dialog;
    QCOMPARE(dialog.portButton(1)->toolTip(), ports.device);
    QCOMPARE(dialog.portButton(2)->toolTip(), QStringLiteral("/dev/tarn-test-absent-3"));
    QCOMPARE(dialog.portButton(0)->toolTip(), QStringLiteral("no device"));
    QCOMPARE(dialog.portButton(19)->toolTip(), QStringLiteral("no device"));

    // A port that cannot be used says why.
    dialog.availablePorts = 1u << 2;
    dialog.initDialog();
    QCOMPARE(dialog.portButton(1)->toolTip(), ports.device);
    QCOMPARE(dialog.portButton(2)->toolTip(), QStringLiteral("/dev/tarn-test-absent-3: no such device"));
}

void TestPortDialog::textsComeFromTheLanguageTable()
{
    MappedPorts ports;
    AppFixture f;
    QStringList texts;
    runPortCommand(f.frame(), [&](PortDialog& dialog) {
        texts << dialog.windowTitle() << dialog.group()->title() << dialog.okButton()->text()
              << dialog.cancelButton()->text();
        return int(QDialog::Rejected);
    });
    QCOMPARE(texts, (QStringList{"en90", "en90", "en116", "en117"}));
}

void TestPortDialog::buttonsStandInFourRowsOfFive()
{
    PortDialog dialog;
    auto* grid = qobject_cast<QGridLayout*>(dialog.group()->layout());
    QVERIFY(grid);
    for (int i = 0; i < PortDialog::PortCount; ++i) {
        QRadioButton* button = dialog.portButton(i);
        QCOMPARE(button->text(), QStringLiteral("COM%1").arg(i + 1));
        QVERIFY(!button->isEnabled());
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        grid->getItemPosition(grid->indexOf(button), &row, &column, &rowSpan, &columnSpan);
        QCOMPARE(row, i / 5);
        QCOMPARE(column, i % 5);
    }
}

void TestPortDialog::commandDoesNothingWhileATransferRuns()
{
    // A paced radio on COM1, so the read is still running when the command comes.
    PtyRadio radio;
    std::string error;
    QVERIFY(radio.start(&error));
    PortMap::setOverride(QStringLiteral("1=%1").arg(QString::fromStdString(radio.slavePath())));
    AppFixture f;
    MessageDialog::setTestHook([](const MessageDialog&) { return int(QDialog::Accepted); });
    CMainFrame* frame = f.frame();

    frame->commandAction(ID_READ_FROM_RADIO)->trigger();
    QVERIFY(frame->transferRunning());
    QVERIFY(!frame->commandAction(ID_PORT_SELECTION)->isEnabled());
    int shown = 0;
    scripted(frame).portDialog = [&](PortDialog&) {
        ++shown;
        return int(QDialog::Accepted);
    };
    frame->transfers().selectPort();
    QCOMPARE(shown, 0);
    QTRY_VERIFY_WITH_TIMEOUT(!frame->transferRunning(), 60000);
    QCOMPARE(frame->image().portNumber(), 1);
    MessageDialog::setTestHook({});
    radio.stop();
}

QTEST_MAIN(TestPortDialog)
#include "tst_port_dialog.moc"
