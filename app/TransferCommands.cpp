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
#include "link/ResultText.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QDialog>

using tarn::Configuration;
namespace strings = tarn::strings;

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
    m_transfer->setImageCheck([this](int code) { return onImageNotify(code); });
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
    start(tarn::TransferJob::Read);
}

void TransferCommands::write()
{
    if (running() || job().isBusy())
        return;
    m_pages.StorePages();
    tarn::currentChannelFixUp(m_document.image());
    job().setVerifyAfterWrite(m_frame.commandAction(ID_VERIFY_AFTER_WRITE)->isChecked());
    start(tarn::TransferJob::Write);
}

void TransferCommands::verify()
{
    if (running() || job().isBusy())
        return;
    // What the pages show is what a write would send, so that is what is compared.
    m_pages.StorePages();
    start(tarn::TransferJob::Verify);
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
    dialog.availablePorts = job().availablePorts();
    dialog.initDialog();
    if (m_frame.prompts().runPortDialog(dialog) == QDialog::Accepted)
        m_document.image().setPortNumber(dialog.selection + 1);
}

void TransferCommands::start(tarn::TransferJob::Operation operation)
{
    m_transfer->start(operation, &m_document.image());
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

int TransferCommands::onImageNotify(int code)
{
    const bool closing = m_transfer->closing();
    if (code == tarn::ImageRead) {
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
    if (code == tarn::CheckBeforeWrite) {
        // A window that is closing writes nothing more to the radio.
        if (closing)
            return 0;
        const tarn::BandLimitVerdict verdict = tarn::bandLimitCheck(m_document.image(), m_frame.languageText());
        if (!verdict.pass)
            m_frame.showMessage(QString::fromStdString(verdict.message));
        return verdict.answer();
    }
    return 1;
}

int TransferCommands::onTransferResult(int code)
{
    if (code == tarn::WriteSucceeded || code == tarn::WriteFailed) {
        // The write took the radio's own bytes into the image: that is no change of the user's.
        m_document.rebase();
        if (code == tarn::WriteSucceeded)
            m_document.markClean();
    }
    const bool closing = m_transfer->closing();
    // The message dialog keeps the result texts of reads and writes; what a verify found and
    // the backups that were not kept need more room, so they follow in the report.
    if (!closing && tarn::IsTransferResult(code))
        m_frame.showMessage(QString::fromStdString(tarn::TransferResultText(code, m_frame.languageText())));
    const QString verdict = verifyVerdict();
    const QStringList report = transferReport();
    if (!closing && (!verdict.isEmpty() || !report.isEmpty()))
        m_frame.prompts().showReport(&m_frame, m_frame.languageString(strings::Title),
                                     m_frame.languageString(strings::Ok), verdict, report);
    for (const tarn::BackupResult& backup : job().backupResults())
        if (backup.kept)
            m_frame.progressBar()->showMessage(m_frame.languageString(178) + QString::fromStdString(backup.path), 10000);
    m_frame.progressBar()->update();
    return 1;
}

QString TransferCommands::verifyVerdict() const
{
    // The job is idle again when its result arrives; nothing else has started it since.
    const tarn::VerifyOutcome& outcome = m_transfer->job().verifyOutcome();
    if (!outcome.ran)
        return QString();
    return QString::fromStdString(tarn::VerifyVerdict(outcome, m_frame.languageText()));
}

QStringList TransferCommands::transferReport() const
{
    const tarn::TransferJob& job = m_transfer->job();
    const tarn::LanguageText text = m_frame.languageText();
    QStringList lines;
    for (const std::string& line : tarn::VerifyDifferences(job.verifyOutcome(), text))
        lines << QString::fromStdString(line);
    for (const std::string& line : tarn::BackupFailures(job.backupResults(), text))
        lines << QString::fromStdString(line);
    return lines;
}

void TransferCommands::stopAndWait()
{
    if (m_transfer->workerRunning())
        m_frame.progressBar()->showMessage(m_frame.languageString(151));
    m_transfer->stopAndWait();
    m_frame.progressBar()->clearMessage();
}
