#include "app/TransferCommands.h"

#include "app/DocumentCommands.h"
#include "app/FrameCommands.h"
#include "app/FramePrompts.h"
#include "app/MainFrame.h"
#include "app/NavigationBar.h"
#include "app/PageWindows.h"
#include "app/ProgStatusBar.h"
#include "app/TransferController.h"
#include "document/Configuration.h"
#include "link/PortDialog.h"
#include "link/PortMap.h"
#include "link/ResultText.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>

namespace tarn {

namespace {

// Language strings of the questions and the result's buttons.
constexpr int ScanningString = 337;
constexpr int WriteButtonString = 341;
constexpr int RestoreButtonString = 347;
constexpr int OpenThePageString = 366;
constexpr int BackupUnreadableString = 489;
constexpr int BackupKeptString = 178;
constexpr int StoppingString = 151;

QStringList toQStringList(const std::vector<std::string>& lines)
{
    QStringList list;
    for (const std::string& line : lines)
        list << QString::fromStdString(line);
    return list;
}

}  // namespace

TransferCommands::TransferCommands(CMainFrame& frame, Configuration& document, PageWindows& pages,
                                   DocumentCommands& documents)
    : QObject(&frame), m_frame(frame), m_document(document), m_pages(pages), m_documents(documents),
      m_transfer(new TransferController(this))
{
    // The check before a write runs here while the worker waits for the answer.
    connect(m_transfer, &TransferController::transferProgress, this,
            [this](int position) { onTransferProgress(quint32(position)); });
    connect(m_transfer, &TransferController::imageNotify, this, &TransferCommands::onImageNotify);
    connect(m_transfer, &TransferController::transferResult, this, &TransferCommands::onTransferResult);
    connect(m_transfer, &TransferController::runningChanged, this, &TransferCommands::lockImageCommands);
    connect(m_transfer, &TransferController::scanningPort, this, &TransferCommands::onScanningPort);
    m_transfer->setImageCheck([this](tarn::ImageNotifyCode code) { return onImageNotify(code); });
    // Every read and write leaves a backup.
    job().setBackups(&m_backups);
}

void TransferCommands::registerCommands()
{
    m_frame.setCommandHandler(ID_READ_FROM_RADIO, [this] { read(); });
    m_frame.setCommandHandler(ID_WRITE_TO_RADIO, [this] { write(); });
    m_frame.setCommandHandler(ID_VERIFY, [this] { verify(); });
    m_frame.setCommandHandler(ID_PORT_SELECTION, [this] { selectPort(); });
}

tarn::TransferJob& TransferCommands::job()
{
    return m_transfer->job();
}

bool TransferCommands::running() const
{
    return m_transfer->running();
}

bool TransferCommands::closing() const
{
    return m_transfer->closing();
}

bool TransferCommands::readRunning() const
{
    return running() && m_transfer->job().operation() == tarn::TransferJob::Read;
}

void TransferCommands::read()
{
    if (running() || job().isBusy() || !m_documents.confirmUnsavedChanges())
        return;
    m_beforeRead = m_document.current();
    start(tarn::TransferJob::Read, &m_document.image());
}

void TransferCommands::write()
{
    if (running() || job().isBusy())
        return;
    m_pages.StorePages();
    tarn::currentChannelFixUp(m_document.image());
    job().setVerifyAfterWrite(m_frame.commandAction(ID_VERIFY_AFTER_WRITE)->isChecked());
    job().setReadBeforeWrite(m_frame.commandAction(ID_READ_BEFORE_WRITE)->isChecked());
    start(tarn::TransferJob::Write, &m_document.image());
}

void TransferCommands::restore(const tarn::RadioImage& image)
{
    if (running() || job().isBusy())
        return;
    // What a radio held goes back as it was: no fix-up, and only what differs is sent, after
    // the same questions and checks as any write.
    m_restoreImage = image;
    job().setReadBeforeWrite(true);
    start(tarn::TransferJob::Write, &m_restoreImage);
}

void TransferCommands::restoreFrom(const QString& path)
{
    tarn::RadioImage image;
    if (tarn::loadConfiguration(QFile::encodeName(path).toStdString(), image).outcome != tarn::FileOutcome::Loaded) {
        m_frame.showMessage(m_frame.languageString(BackupUnreadableString) + QDir::toNativeSeparators(path));
        return;
    }
    restore(image);
}

void TransferCommands::verify()
{
    if (running() || job().isBusy())
        return;
    // What the pages show is what a write would send, so that is what is compared.
    m_pages.StorePages();
    start(tarn::TransferJob::Verify, &m_document.image());
}

void TransferCommands::selectPort()
{
    if (running() || job().isBusy())
        return;
    PortDialog dialog(&m_frame);
    dialog.selection = m_document.image().portNumber() - 1;
    dialog.title = m_frame.languageString(90);
    dialog.okText = m_frame.languageString(strings::Ok);
    dialog.cancelText = m_frame.languageString(strings::Cancel);
    if (const QString none = m_frame.languageString(strings::NoDevice); !none.isEmpty())
        dialog.noDeviceText = none;
    dialog.availablePorts = job().availablePorts();
    dialog.initDialog();
    if (m_frame.prompts().runPortDialog(dialog) == QDialog::Accepted)
        m_document.image().setPortNumber(dialog.selection + 1);
}

void TransferCommands::start(tarn::TransferJob::Operation operation, tarn::RadioImage* image)
{
    m_restoring = image == &m_restoreImage;
    m_refusedPlace = tarn::LimitPlace::None;
    m_transfer->start(operation, image);
}

tarn::RadioImage& TransferCommands::writtenImage()
{
    return m_restoring ? m_restoreImage : m_document.image();
}

void TransferCommands::lockImageCommands(bool locked)
{
    for (int id : CMainFrame::imageCommands())
        if (QAction* action = m_frame.commandAction(id))
            action->setEnabled(!locked);
    m_pages.setReadOnly(locked);
    m_frame.navigationBar()->setPageOpeningEnabled(!locked);
    m_documents.updateHistoryCommands();
}

void TransferCommands::onTransferProgress(quint32 position)
{
    m_frame.progressBar()->SetProgress(position);
}

int TransferCommands::onImageNotify(tarn::ImageNotifyCode code)
{
    const bool closing = m_transfer->closing();
    if (code == tarn::ImageNotifyCode::ImageRead) {
        if (!closing) {
            m_pages.RefreshPages();
            // One step: its undo gives back the configuration as it was before the read.
            m_document.recordReplacement(m_frame.languageString(strings::StepReadFromRadio), m_beforeRead);
            m_document.rebase();
            m_document.setOrigin(Configuration::Origin::Radio,
                                 QStringLiteral("COM%1").arg(m_document.image().portNumber()));
            m_document.markClean();
        }
        return 1;
    }
    if (!tarn::IsImageQuestion(code))
        return 1;
    // A window that is closing sends nothing more to the radio.
    if (closing)
        return 0;
    m_frame.progressBar()->clearMessage();
    const tarn::LanguageText text = m_frame.languageText();
    const QString title = m_frame.languageString(strings::Title);
    const QString cancel = m_frame.languageString(strings::Cancel);
    switch (code) {
    case tarn::ImageNotifyCode::CheckBeforeWrite:
        return checkBandLimits();
    case tarn::ImageNotifyCode::ConfirmOtherPort: {
        const bool write = job().operation() == tarn::TransferJob::Write;
        const QString goOn = m_frame.languageString(write ? WriteButtonString : strings::Ok);
        const QString question = QString::fromStdString(tarn::OtherPortQuestion(job().ports(), text));
        return m_frame.prompts().askChoice(&m_frame, title, {goOn, cancel}, question) == 0 ? 1 : 0;
    }
    case tarn::ImageNotifyCode::ConfirmChanges: {
        const QStringList changes = toQStringList(tarn::WritePreviewLines(job().writePlan(), text));
        const QString heading = QString::fromStdString(tarn::WritePreviewHeading(text));
        const QStringList buttons{m_frame.languageString(WriteButtonString), cancel};
        return m_frame.prompts().askWithDetails(&m_frame, title, buttons, heading, changes) == 0 ? 1 : 0;
    }
    default:
        return 0;
    }
}

int TransferCommands::checkBandLimits()
{
    const tarn::BandLimitVerdict verdict = tarn::bandLimitCheck(writtenImage(), m_frame.languageText());
    if (verdict.pass)
        return verdict.answer();
    QStringList lines{QString::fromStdString(verdict.message)};
    lines << toQStringList(verdict.detail);
    QStringList buttons{m_frame.languageString(strings::Ok)};
    // The place to change it is in the configuration's pages, not in a copy being restored.
    const bool canOpen = verdict.place != tarn::LimitPlace::None && !m_restoring;
    if (canOpen)
        buttons << m_frame.languageString(OpenThePageString);
    const int choice = m_frame.prompts().askChoice(&m_frame, m_frame.languageString(strings::Title), buttons,
                                                   lines.join(QLatin1Char('\n')));
    if (canOpen && choice == 1) {
        m_refusedPlace = verdict.place;
        m_refusedChannel = verdict.channel;
        m_refusedTransmit = verdict.transmit;
    }
    return verdict.answer();
}

int TransferCommands::onTransferResult(tarn::TransferResult code)
{
    const bool restoring = m_restoring;
    m_restoring = false;
    if (!restoring && (code == tarn::TransferResult::WriteSucceeded || code == tarn::TransferResult::WriteFailed || code == tarn::TransferResult::TransferCancelled)) {
        // The write took the radio's own bytes (its limits, what it keeps of a write) into the
        // image: that is no change of the user's.
        m_document.rebase();
        if (code == tarn::TransferResult::WriteSucceeded)
            m_document.markClean();
    }
    // The port being tried is no news once the transfer has ended.
    m_frame.progressBar()->clearMessage();
    const bool closing = m_transfer->closing();
    const tarn::TransferJob& job = m_transfer->job();
    const tarn::RestoreOffer offer = job.restoreOffer();
    const tarn::RadioImage before = job.writePlan().radio;

    // One message: the result, where it went, what the write sent, the read-back's verdict,
    // and below it the differences; a write that ended badly offers to put the radio back.
    int choice = -1;
    QStringList buttons{m_frame.languageString(strings::Ok)};
    if (offer.offered)
        buttons << m_frame.languageString(RestoreButtonString);
    if (!closing) {
        const tarn::TransferEndReport report = tarn::DescribeTransferEnd(code, job, m_frame.languageText());
        const QString message = toQStringList(report.message).join(QLatin1Char('\n'));
        if (!message.isEmpty())
            choice = m_frame.prompts().askWithDetails(&m_frame, m_frame.languageString(strings::Title), buttons,
                                                      message, toQStringList(report.details));
    }
    for (const tarn::BackupResult& backup : job.backupResults())
        if (backup.kept)
            m_frame.progressBar()->showMessage(m_frame.languageString(BackupKeptString)
                                                   + QString::fromStdString(backup.path),
                                               10000);
    m_frame.progressBar()->update();

    // Both wait until the transfer has handed the image and the port back.
    if (offer.offered && choice == 1) {
        tarn::RadioImage copy = before;
        copy.setPortNumber(offer.port);
        QMetaObject::invokeMethod(this, [this, copy] { restore(copy); }, Qt::QueuedConnection);
    }
    if (m_refusedPlace != tarn::LimitPlace::None && !closing) {
        const tarn::LimitPlace place = m_refusedPlace;
        const int channel = m_refusedChannel;
        const int column = m_refusedTransmit ? tarn::ColTxFrequency : tarn::ColRxFrequency;
        m_refusedPlace = tarn::LimitPlace::None;
        QMetaObject::invokeMethod(
            this,
            [this, place, channel, column] {
                if (place == tarn::LimitPlace::Channel)
                    m_pages.openChannelAt(channel, column);
                else
                    m_pages.openBandFrequency(place == tarn::LimitPlace::BandA);
            },
            Qt::QueuedConnection);
    }
    return 1;
}

void TransferCommands::onScanningPort(int port)
{
    if (m_transfer->closing())
        return;
    const QString where = QString::fromStdString(
        tarn::PortDisplayName(port, tarn::PortMap::deviceForPort(port).toStdString()));
    m_frame.progressBar()->showMessage(m_frame.languageString(ScanningString) + where);
}

void TransferCommands::stopAndWait()
{
    if (m_transfer->workerRunning())
        m_frame.progressBar()->showMessage(m_frame.languageString(StoppingString));
    m_transfer->stopAndWait();
    m_frame.progressBar()->clearMessage();
}

}  // namespace tarn
