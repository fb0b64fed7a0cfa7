#include "app/FleetDialog.h"

#include "app/FramePrompts.h"
#include "app/MainFrame.h"
#include "document/Configuration.h"
#include "fleet/FleetLog.h"
#include "fleet/PerRadioValues.h"
#include "link/Backups.h"
#include "link/PortMap.h"
#include "link/ResultText.h"
#include "radio/ConfigFile.h"
#include "radio/SafeFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>
#include <vector>

namespace tarn {

namespace {

constexpr int CloseString = 93;  // "&Close"
constexpr int CsvFilesString = 177;
constexpr int PortString = 359;
// How often the rows follow the run.
constexpr int RefreshMs = 100;

// The words of the current language as a plain copy: the run's threads read them while the
// window may change its own.
tarn::LanguageText languageCopy(const CMainFrame& frame)
{
    auto strings = std::make_shared<std::vector<std::string>>();
    for (const QString& s : frame.languageStrings())
        strings->push_back(s.toStdString());
    return [strings](int n) { return n >= 0 && n < int(strings->size()) ? (*strings)[std::size_t(n)] : std::string(); };
}

QString lines(const std::vector<std::string>& list)
{
    QStringList out;
    for (const std::string& line : list)
        out << QString::fromStdString(line);
    return out.join(QLatin1Char('\n'));
}

}  // namespace

FleetDialog::FleetDialog(CMainFrame& frame)
    : QDialog(&frame)
    , m_frame(frame)
    , m_table(new QTableWidget(this))
    , m_valuesLabel(new QLabel(this))
    , m_values(new QLineEdit(this))
    , m_browse(new QToolButton(this))
    , m_sameCable(new QCheckBox(this))
    , m_status(new QLabel(this))
    , m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("fleetDialog"));
    setWindowModality(Qt::WindowModal);
    m_table->setColumnCount(ColumnCount);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Nothing in the rows takes keys but their check boxes, which take the focus themselves.
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    // Every column as wide as what it shows; the backup's name takes what is left.
    QHeaderView* header = m_table->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(PortColumn, QHeaderView::Fixed);
    header->setSectionResizeMode(ProgressColumn, QHeaderView::Fixed);
    header->resizeSection(ProgressColumn, 140);
    header->setSectionResizeMode(BackupColumn, QHeaderView::Stretch);
    m_table->setMinimumSize(720, 200);

    m_browse->setText(QStringLiteral("..."));
    m_valuesLabel->setBuddy(m_values);
    m_values->setClearButtonEnabled(true);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* values = new QHBoxLayout;
    values->addWidget(m_valuesLabel);
    values->addWidget(m_values, 1);
    values->addWidget(m_browse);

    auto* buttons = new QDialogButtonBox(this);
    m_start = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_stop = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_close = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    m_start->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(values);
    layout->addWidget(m_sameCable);
    layout->addWidget(m_status);
    layout->addWidget(buttons);

    connect(m_browse, &QToolButton::clicked, this, &FleetDialog::chooseValuesFile);
    connect(m_start, &QPushButton::clicked, this, &FleetDialog::start);
    connect(m_stop, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(buttons, &QDialogButtonBox::rejected, this, &FleetDialog::reject);
    connect(m_sameCable, &QCheckBox::toggled, this, &FleetDialog::updateButtons);
    connect(m_timer, &QTimer::timeout, this, &FleetDialog::showState);
    m_timer->setInterval(RefreshMs);
    refresh();
}

FleetDialog::~FleetDialog() = default;

QString FleetDialog::text(int n) const
{
    return m_frame.languageString(n);
}

bool FleetDialog::running() const
{
    // Until the rows show how the run ended.
    return m_run && m_timer->isActive();
}

void FleetDialog::refresh()
{
    if (running())
        return;
    setWindowTitle(text(fleetstrings::Title));
    m_valuesLabel->setText(text(fleetstrings::ValuesLabel));
    m_sameCable->setText(text(fleetstrings::SameCable));
    m_start->setText(text(fleetstrings::Start));
    m_stop->setText(text(fleetstrings::Stop));
    m_close->setText(text(CloseString));
    m_table->setHorizontalHeaderLabels({text(PortString), text(fleetstrings::Device), text(fleetstrings::Progress),
                                        text(fleetstrings::Result), text(fleetstrings::Verify), text(fleetstrings::Backup)});

    // A port stays checked across a refresh while it still has a device.
    const QList<int> checked = checkedPorts();
    m_ports.clear();
    m_table->setRowCount(0);
    for (const tarn::PortEntry& entry : tarn::PortMap::listPorts()) {
        if (entry.device.isEmpty())
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_ports << entry.number;
        // A check box of its own: a click on the port's name ticks it too.
        auto* port = new QCheckBox(QStringLiteral("COM%1").arg(entry.number), m_table);
        port->setChecked(checked.contains(entry.number));
        connect(port, &QCheckBox::toggled, this, &FleetDialog::updateButtons);
        m_table->setCellWidget(row, PortColumn, port);
        m_table->setItem(row, DeviceColumn, new QTableWidgetItem(entry.device));
        auto* bar = new QProgressBar(m_table);
        bar->setRange(0, 100);
        bar->setValue(0);
        m_table->setCellWidget(row, ProgressColumn, bar);
        for (int column : {ResultColumn, VerifyColumn, BackupColumn})
            m_table->setItem(row, column, new QTableWidgetItem);
    }
    // The check boxes are widgets, which the header does not measure.
    int portWidth = m_table->horizontalHeader()->sectionSizeHint(PortColumn);
    for (int row = 0; row < m_table->rowCount(); ++row)
        portWidth = std::max(portWidth, portBox(row)->sizeHint().width() + 8);
    m_table->horizontalHeader()->resizeSection(PortColumn, portWidth);
    if (m_ports.isEmpty())
        m_status->setText(QStringLiteral("COM%1-COM%2: %3").arg(tarn::FirstPort).arg(tarn::LastPort).arg(text(440)));
    else
        m_status->clear();
    updateButtons();
}

QCheckBox* FleetDialog::portBox(int row) const
{
    return qobject_cast<QCheckBox*>(m_table->cellWidget(row, PortColumn));
}

QList<int> FleetDialog::checkedPorts() const
{
    QList<int> ports;
    for (int row = 0; row < m_table->rowCount() && row < m_ports.size(); ++row)
        if (const QCheckBox* box = portBox(row); box && box->isChecked())
            ports << m_ports.at(row);
    return ports;
}

void FleetDialog::updateButtons()
{
    const bool busy = running();
    const int checked = int(checkedPorts().size());
    // The one-cable loop follows one port.
    m_start->setEnabled(!busy && (m_sameCable->isChecked() ? checked == 1 : checked >= 1));
    m_stop->setEnabled(busy);
    m_close->setEnabled(!busy);
    // The rows stay readable while the radios are written; only their check boxes rest.
    for (int row = 0; row < m_table->rowCount(); ++row)
        if (QCheckBox* box = portBox(row))
            box->setEnabled(!busy);
    m_values->setEnabled(!busy);
    m_browse->setEnabled(!busy);
    m_sameCable->setEnabled(!busy);
}

void FleetDialog::chooseValuesFile()
{
    const QString path = m_frame.prompts().askCsvPath(this, false, text(CsvFilesString));
    if (!path.isEmpty())
        m_values->setText(path);
}

void FleetDialog::start()
{
    if (running() || m_frame.transferRunning())
        return;
    const QList<int> ports = checkedPorts();
    const bool loop = m_sameCable->isChecked();
    if (ports.isEmpty() || (loop && ports.size() != 1))
        return;

    tarn::FleetSettings settings;
    settings.text = languageCopy(m_frame);
    const QString valuesPath = m_values->text().trimmed();
    if (!valuesPath.isEmpty()) {
        const tarn::ReadResult read = tarn::readInputFile(valuesPath.toStdString());
        if (!read.ok) {
            m_frame.showMessage(valuesPath + QStringLiteral(": ") + QString::fromStdString(read.reason));
            return;
        }
        settings.useValues = true;
        settings.values = tarn::ReadPerRadioValues(read.bytes);
        settings.valuesName = valuesPath.toStdString();
    }

    // What the pages show is what is written, as a single write sends it.
    m_frame.StorePages();
    tarn::Configuration& document = m_frame.document();
    document.rebase();
    settings.configuration = document.image();
    settings.configurationPath = document.origin() == tarn::Configuration::Origin::File ? document.path().toStdString()
                                                                                       : std::string();
    // The hash of the file a save would write now: the magic, then the image.
    std::string bytes(tarn::ConfigMagic);
    bytes.append(reinterpret_cast<const char*>(settings.configuration.data()), settings.configuration.bytes().size());
    settings.configurationSha256 = tarn::Sha256Hex(bytes);
    settings.backupFolder = tarn::BackupStore::defaultFolder();
    settings.logPath = tarn::DefaultFleetLogPath();

    m_run.reset();
    m_run = std::make_unique<tarn::FleetRun>(std::move(settings));
    std::string error;
    const bool started = loop ? m_run->startLoop(ports.first(), &error) : m_run->startPorts(std::vector<int>(ports.begin(), ports.end()), &error);
    if (!started) {
        m_run.reset();
        m_frame.showMessage(QString::fromStdString(error));
        return;
    }
    m_announced = 0;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, ProgressColumn)))
            bar->setValue(0);
        for (int column : {ResultColumn, VerifyColumn, BackupColumn}) {
            m_table->item(row, column)->setText(QString());
            m_table->item(row, column)->setToolTip(QString());
        }
    }
    m_status->clear();
    m_timer->start();
    updateButtons();
    showState();
}

void FleetDialog::stop()
{
    if (m_run)
        m_run->requestStop();
}

void FleetDialog::showState()
{
    if (!m_run)
        return;
    const bool over = m_run->finished();
    const std::vector<tarn::RadioState> radios = m_run->radios();
    const tarn::LanguageText words = m_frame.languageText();
    // A row shows its port's radio: the only one, or in the loop the latest.
    for (const tarn::RadioState& radio : radios) {
        const int row = rowOfPort(radio.port);
        if (row < 0)
            continue;
        if (auto* bar = qobject_cast<QProgressBar*>(m_table->cellWidget(row, ProgressColumn)))
            bar->setValue(radio.percent);
        const QString result = QString::fromStdString(tarn::RadioResultText(radio.result, words));
        const QString detail = lines(radio.detail);
        m_table->item(row, ResultColumn)->setText(result);
        const QString summary = QString::fromStdString(radio.summary);
        m_table->item(row, ResultColumn)->setToolTip(!detail.isEmpty() ? detail : !summary.isEmpty() ? summary : result);
        m_table->item(row, VerifyColumn)->setText(QString::fromStdString(tarn::RadioVerifyText(radio.verify, words)));
        // The backups folder is File > Backups'; the name says when and which port.
        const QString backup = QString::fromStdString(radio.backup);
        m_table->item(row, BackupColumn)->setText(QFileInfo(backup).fileName());
        m_table->item(row, BackupColumn)->setToolTip(backup);
    }

    const int written = int(std::count_if(radios.begin(), radios.end(), [](const tarn::RadioState& r) { return r.succeeded(); }));
    QString status = text(fleetstrings::RadiosWritten) + QStringLiteral("%1/%2").arg(written).arg(radios.size());
    if (m_run->loopPort() != 0) {
        // Each radio's end is rung once, as the terminal's bell rings it.
        for (; m_announced < radios.size() && radios[m_announced].finished(); ++m_announced)
            QApplication::beep();
        const tarn::LoopState state = m_run->loopState();
        if (state == tarn::LoopState::WaitingForRadio)
            status = text(fleetstrings::WaitingForRadio) + QStringLiteral("COM%1").arg(m_run->loopPort()) + QStringLiteral("\n") + status;
        else if (state == tarn::LoopState::WaitingForRemoval)
            status = text(fleetstrings::TakeRadioOff) + QStringLiteral("\n") + status;
    }
    // A refusal or a failure says why under the table too, not only in a tool tip.
    QStringList problems;
    for (const tarn::RadioState& radio : radios)
        if (radio.finished() && !radio.succeeded())
            for (const std::string& line : radio.detail)
                problems << QStringLiteral("COM%1: ").arg(radio.port) + QString::fromStdString(line);
    if (!problems.isEmpty())
        status += QStringLiteral("\n") + problems.join(QLatin1Char('\n'));
    m_status->setText(status);
    m_status->setToolTip(m_run->logPath());

    if (over) {
        m_timer->stop();
        updateButtons();
    }
}

void FleetDialog::reject()
{
    // Closing ends what runs, as the Stop button does, and waits for it (well under a second).
    if (running()) {
        m_run->requestStop();
        m_run->wait();
        showState();
    }
    QDialog::reject();
}

}  // namespace tarn
