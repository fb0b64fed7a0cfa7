// Programming > Program several radios...: the dialog lists the ports that have a device,
// writes the main window's configuration to every radio checked at once through
// pseudo-terminals to virtual radios, shows each port's result, keeps the window's
// configuration out of reach while it runs, logs every radio with the columns tarn-cli
// writes, and its Stop button ends a transfer that would otherwise wait on a silent radio.
#include "AppFixture.h"

#include "app/FleetDialog.h"
#include "emulator/PtyRadio.h"
#include "fleet/FleetLog.h"
#include "link/PortMap.h"
#include "link/WriteChecks.h"
#include "radio/ConfigFile.h"
#include "tests/common/RadioMemoryModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QCryptographicHash>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include <memory>
#include <vector>

using namespace tarn;

namespace {

struct Radios {
    std::vector<std::unique_ptr<PtyRadio>> radios;

    // One virtual radio per port 1, 2, ...; `silent` ones never answer.
    explicit Radios(const QList<bool>& silent)
    {
        QStringList map;
        for (bool quiet : silent) {
            auto radio = std::make_unique<PtyRadio>();
            radio->setFast(true);
            RadioFaults faults;
            faults.silent = quiet;
            radio->setFaults(faults);
            std::string error;
            if (!radio->start(&error))
                qFatal("no pseudo-terminal: %s", error.c_str());
            map << QString("%1=%2").arg(radios.size() + 1).arg(QString::fromStdString(radio->slavePath()));
            radios.push_back(std::move(radio));
        }
        PortMap::setOverride(map.join(','));
    }
    ~Radios() { PortMap::setOverride(QString()); }
};

FleetDialog* openFleetDialog(CMainFrame* frame)
{
    frame->commandAction(ID_PROGRAM_FLEET)->trigger();
    return frame->findChild<FleetDialog*>();
}

void check(FleetDialog* dialog, int port)
{
    dialog->portBox(dialog->rowOfPort(port))->click();
}

QString cell(FleetDialog* dialog, int port, int column)
{
    return dialog->table()->item(dialog->rowOfPort(port), column)->text();
}

}  // namespace

class TestFleetDialog : public QObject {
    Q_OBJECT
private slots:
    void writesTheWindowsConfigurationToEveryRadioChecked()
    {
        AppFixture fixture;
        Radios ports({false, false, true});
        QFile::remove(DefaultFleetLogPath());
        const RadioImage club = testing::editedImage();
        fixture.frame()->image() = club;

        FleetDialog* dialog = openFleetDialog(fixture.frame());
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->table()->rowCount(), 3);
        QVERIFY(!dialog->startButton()->isEnabled());
        check(dialog, 1);
        check(dialog, 2);
        dialog->startButton()->click();
        // The configuration takes no edits while the dialog runs the radios.
        QCOMPARE(QApplication::activeModalWidget(), dialog);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->running(), 60000);

        RadioImage sent = club;
        currentChannelFixUp(sent);
        for (int port : {1, 2}) {
            QCOMPARE(cell(dialog, port, FleetDialog::ResultColumn), QString("en383"));
            QCOMPARE(cell(dialog, port, FleetDialog::VerifyColumn), QString("en390"));
            QVERIFY(testing::sameMemory(ports.radios[std::size_t(port - 1)]->memory(),
                                        testing::memoryAfterWrite(VirtualRadio::factoryMemory(), sent)));
        }
        QVERIFY(cell(dialog, 3, FleetDialog::ResultColumn).isEmpty());
        QVERIFY(ports.radios[2]->frames().empty());

        // The log's lines name the file a save of the configuration would write, by its hash.
        QTemporaryDir dir;
        const QString saved = dir.filePath("club.tw");
        QCOMPARE(saveConfiguration(saved.toStdString(), club).outcome, FileOutcome::Saved);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        QFile log(DefaultFleetLogPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        for (const QString& line : lines) {
            const QStringList fields = line.split(',');
            QCOMPARE(fields.size(), 10);
            QCOMPARE(fields.at(5), hash);
            QCOMPARE(fields.at(7), QString("written"));
            QCOMPARE(fields.at(8), QString("equal"));
        }
    }

    void stopEndsATransferWaitingOnASilentRadio()
    {
        AppFixture fixture;
        Radios ports({true});
        fixture.frame()->image() = testing::editedImage();
        FleetDialog* dialog = openFleetDialog(fixture.frame());
        check(dialog, 1);
        dialog->startButton()->click();
        QVERIFY(dialog->running());
        QVERIFY(dialog->stopButton()->isEnabled());

        dialog->stopButton()->click();

        // Left alone the silent radio is given up after about eight seconds as "no radio".
        QTRY_VERIFY(!dialog->running());
        QCOMPARE(cell(dialog, 1, FleetDialog::ResultColumn), QString("en389"));
        QVERIFY(dialog->startButton()->isEnabled());
    }
};

QTEST_MAIN(TestFleetDialog)
#include "tst_fleet_dialog.moc"
