#include "app/DocumentCommands.h"

#include "app/BackupsDialog.h"
#include "app/FrameCommands.h"
#include "app/FramePrompts.h"
#include "app/ImportPreviewDialog.h"
#include "app/MainFrame.h"
#include "app/PageWindows.h"
#include "app/ProgStatusBar.h"
#include "app/TransferCommands.h"
#include "document/Configuration.h"
#include "exchange/ChannelCsv.h"
#include "lang/ResourceLookup.h"
#include "print/PrintCommand.h"
#include "print/PrintPages.h"
#include "radio/ConfigFile.h"
#include "radio/ImageDiff.h"
#include "radio/LanguageStrings.h"
#include "radio/PrintContent.h"
#include "radio/SafeFile.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>

namespace tarn {

DocumentCommands::DocumentCommands(CMainFrame& frame, Configuration& document, PageWindows& pages)
    : QObject(&frame), m_frame(frame), m_document(document), m_pages(pages), m_status(new QLabel(&frame))
{
    m_status->setObjectName(QStringLiteral("configurationStatus"));
    m_frame.progressBar()->addPermanentWidget(m_status);
    QUndoStack* history = m_document.history();
    connect(history, &QUndoStack::indexChanged, this, &DocumentCommands::updateHistoryCommands);
    connect(&m_document, &Configuration::stateChanged, this, &DocumentCommands::updateStatus);
    qApp->installEventFilter(this);
}

void DocumentCommands::registerCommands()
{
    m_frame.setCommandHandler(ID_FILE_NEW, [this] { newConfiguration(); });
    m_frame.setCommandHandler(ID_FILE_OPEN, [this] { open(); });
    m_frame.setCommandHandler(ID_FILE_SAVE, [this] { save(); });
    m_frame.setCommandHandler(ID_FILE_BACKUPS, [this] { openBackup(); });
    m_frame.setCommandHandler(ID_EXPORT_CHANNELS, [this] { exportChannels(); });
    m_frame.setCommandHandler(ID_IMPORT_CHANNELS, [this] { importChannels(); });
    m_frame.setCommandHandler(ID_IMPORT_FROM_FILE, [this] { importChannels(); });
    m_frame.setCommandHandler(ID_IMPORT_FROM_CONFIGURATION, [this] { importFromConfiguration(); });
    buildImportMenu();
    m_frame.setCommandHandler(ID_FILE_PRINT, [this] { print(); });
    m_frame.setCommandHandler(ID_FILE_PRINT_PREVIEW, [this] { printPreview(); });
    m_frame.setCommandHandler(ID_FILE_EXPORT_PDF, [this] { exportPdf(); });
    m_frame.setCommandHandler(ID_EDIT_UNDO, [this] { undo(); });
    m_frame.setCommandHandler(ID_EDIT_REDO, [this] { redo(); });
}

bool DocumentCommands::hasUnsavedChanges() const
{
    return m_pages.hasUnstoredEdits() || m_document.isModified();
}

bool DocumentCommands::confirmUnsavedChanges()
{
    if (!hasUnsavedChanges())
        return true;
    const QStringList buttons{m_frame.languageString(149), m_frame.languageString(150),
                              m_frame.languageString(strings::Cancel)};
    switch (m_frame.prompts().askChoice(&m_frame, m_frame.languageString(strings::Title), buttons,
                                        m_frame.languageString(148))) {
    case 0:
        return saveToChosenFile();
    case 1:
        return true;
    default:
        return false;
    }
}

void DocumentCommands::newConfiguration()
{
    if (!confirmUnsavedChanges())
        return;
    if (m_frame.prompts().askChoice(&m_frame, m_frame.languageString(strings::Title),
                                    {m_frame.languageString(strings::Ok), m_frame.languageString(strings::Cancel)},
                                    m_frame.languageString(30))
        != 0)
        return;
    m_document.image().resetToDefaults();
    m_pages.RefreshPages();
    m_document.setOrigin(Configuration::Origin::New);
    m_document.startHistory();
}

void DocumentCommands::open()
{
    if (!confirmUnsavedChanges())
        return;
    const QString path = m_frame.prompts().askOpenPath(&m_frame);
    if (!path.isEmpty())
        openConfiguration(path);
}

void DocumentCommands::openBackup()
{
    const tarn::BackupStore& store = m_frame.transfers().backups();
    // "Open the backups folder" opens a folder, even before the first backup.
    QDir().mkpath(store.folder());
    const tarn::LanguageText text = m_frame.languageText();
    BackupsDialog dialog(store.entries(), store.folder(), text, &m_frame);
    dialog.setCompare([this, &dialog, text](const QString& path) {
        tarn::RadioImage backup;
        if (tarn::loadConfiguration(QFile::encodeName(path).toStdString(), backup).outcome
            != tarn::FileOutcome::Loaded) {
            m_frame.prompts().showMessage(&dialog, m_frame.languageString(strings::Title),
                                          m_frame.languageString(strings::Ok),
                                          m_frame.languageString(489) + QDir::toNativeSeparators(path));
            return;
        }
        // What the pages show now, typed values included, against the backup, by meaning.
        const std::vector<std::string> lines = tarn::DescribeDifferences(
            m_document.current(), backup, tarn::DiffWords{text, text(485), text(486)});
        QStringList details;
        for (const std::string& line : lines)
            details << QString::fromStdString(line);
        m_frame.prompts().askWithDetails(&dialog, m_frame.languageString(strings::Title),
                                         {m_frame.languageString(strings::Ok)},
                                         m_frame.languageString(lines.empty() ? 487 : 488), details);
    });
    const int choice = m_frame.prompts().runBackupsDialog(dialog);
    const QString path = dialog.selectedPath();
    if (path.isEmpty())
        return;
    if (choice == BackupsDialog::Open) {
        // Opening a backup replaces the configuration like File > Open: unsaved edits are asked about.
        if (confirmUnsavedChanges())
            openConfiguration(path);
    } else if (choice == BackupsDialog::WriteToRadio) {
        m_frame.transfers().restoreFrom(path);
    }
}

void DocumentCommands::openConfiguration(const QString& path)
{
    const tarn::FileResult result =
        tarn::loadConfiguration(QFile::encodeName(path).toStdString(), m_document.image());
    if (result.outcome == tarn::FileOutcome::CannotOpen)
        return;
    if (result.outcome == tarn::FileOutcome::NotTarnFile)
        m_frame.showMessage(QString::fromStdString(tarn::NotTarnFileText(m_frame.languageText())));
    m_frame.mdiArea()->viewport()->update();
    m_pages.RefreshPages();
    if (result.outcome == tarn::FileOutcome::Loaded) {
        m_document.setOrigin(Configuration::Origin::File, path);
        m_document.startHistory();
    } else {
        // A file that is not Tarn's changed nothing or only some regions: the history goes on.
        m_document.rebase();
    }
}

void DocumentCommands::save()
{
    saveToChosenFile();
}

bool DocumentCommands::saveToChosenFile()
{
    FramePrompts& prompts = m_frame.prompts();
    const QString chosen = prompts.askSavePath(&m_frame);
    if (chosen.isEmpty())
        return false;
    const QString path = QFile::decodeName(
        QByteArray::fromStdString(tarn::withTwExtension(QFile::encodeName(chosen).toStdString())));
    // The dialog asked about the name it returned; a name completed here is asked again.
    if (path != chosen && QFileInfo::exists(path)
        && !prompts.confirmOverwrite(&m_frame, m_frame.languageString(strings::Title), path))
        return false;

    m_pages.StorePages();
    m_document.rebase();
    const tarn::FileResult result = tarn::saveConfiguration(QFile::encodeName(path).toStdString(), m_document.image());
    if (result.outcome != tarn::FileOutcome::Saved) {
        prompts.reportSaveError(&m_frame, m_frame.languageString(strings::Title), path,
                                QString::fromLocal8Bit(result.reason.c_str()));
        return false;
    }
    m_document.setOrigin(Configuration::Origin::File, path);
    m_document.markClean();
    m_frame.mdiArea()->viewport()->update();
    if (result.inPlace)
        m_frame.showMessage(QString::fromStdString(tarn::SavedInPlaceText(m_frame.languageText())));
    return true;
}

void DocumentCommands::print()
{
    // A cancelled dialog prints nothing and says nothing.
    tarn::print::printWithDialog(&m_frame, m_pages.printContent(),
                                 [this](QPrintDialog& dialog) { return m_frame.prompts().runPrintDialog(dialog); });
}

void DocumentCommands::printPreview()
{
    tarn::print::showPrintPreview(&m_frame, m_pages.printContent(), [this](QPrintPreviewDialog& dialog) {
        return m_frame.prompts().runPrintPreview(dialog);
    });
}

void DocumentCommands::exportPdf()
{
    const tarn::PrintContent content = m_pages.printContent();
    const QString path = m_frame.prompts().askPdfPath(&m_frame, m_frame.languageString(182));
    if (path.isEmpty())
        return;
    QString reason;
    bool inPlace = false;
    // The same file tarn-cli print writes for the same configuration.
    if (tarn::print::writePrintPdf(path, content, QPageSize::A4, &reason, &inPlace) == 0) {
        m_frame.showMessage(m_frame.languageString(183) + reason);
        return;
    }
    m_frame.progressBar()->showMessage(QDir::toNativeSeparators(path), 10000);  // where the file went
    if (inPlace)
        m_frame.showMessage(QString::fromStdString(tarn::SavedInPlaceText(m_frame.languageText())));
}

void DocumentCommands::exportChannels()
{
    const QString path = m_frame.prompts().askCsvPath(&m_frame, true, m_frame.languageString(177));
    if (path.isEmpty())
        return;
    m_pages.StorePages();
    m_document.rebase();
    // Written beside the old file and swapped in whole: a failed export leaves it as it was.
    const tarn::WriteResult written = tarn::writeFileSafely(QFile::encodeName(path).toStdString(),
                                                            tarn::ExportChannelsCsv(m_document.image()));
    if (!written.written) {
        m_frame.prompts().reportSaveError(&m_frame, m_frame.languageString(strings::Title), path,
                                          QString::fromLocal8Bit(written.reason.c_str()));
        return;
    }
    QString message = m_frame.languageString(173) + QString::number(tarn::ProgrammedChannelCount(m_document.image()));
    if (written.inPlace)
        message += QLatin1Char('\n') + QString::fromStdString(tarn::SavedInPlaceText(m_frame.languageText()));
    m_frame.showMessage(message);
}

void DocumentCommands::buildImportMenu()
{
    QAction* holder = m_frame.commandAction(ID_IMPORT_CHANNELS);
    QAction* fromFile = m_frame.commandAction(ID_IMPORT_FROM_FILE);
    if (!holder || !fromFile)
        return;
    // From a file... moves from the File menu into the submenu, beside the stock sets.
    for (QObject* owner : fromFile->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(owner))
            menu->removeAction(fromFile);
    auto* menu = new QMenu(&m_frame);
    menu->setObjectName(QStringLiteral("importChannelsMenu"));
    menu->addAction(fromFile);
    menu->addSeparator();
    tarn::initTarnResources();
    for (const tarn::StockChannelSet& set : tarn::stockChannelSets()) {
        QFile file(set.path);
        if (!file.open(QIODevice::ReadOnly) || static_cast<std::uintmax_t>(file.size()) > tarn::InputSizeLimit)
            continue;
        const std::string text = file.readAll().toStdString();
        const QString title = QString::fromStdString(tarn::ReadStockSetHead(text).title);
        // "PMR446 (16)": the set's own name, before the colon of its title, and its channels.
        QString name = title.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name.isEmpty())
            name = set.name;
        const int count = int(tarn::ReadCsvChannels(text).channels.size());
        QAction* action = menu->addAction(QStringLiteral("%1 (%2)").arg(name).arg(count));
        action->setToolTip(title);
        action->setStatusTip(title);
        action->setData(set.name);
        const QString path = set.path;
        connect(action, &QAction::triggered, this, [this, path, name] { importStockSet(path, name); });
    }
    menu->setToolTipsVisible(true);
    holder->setMenu(menu);
}

void DocumentCommands::importChannels()
{
    const QString path = m_frame.prompts().askCsvPath(&m_frame, false, m_frame.languageString(177));
    if (path.isEmpty())
        return;
    // A folder, a device or a FIFO is refused before anything waits on it.
    const tarn::ReadResult input = tarn::readInputFile(QFile::encodeName(path).toStdString());
    if (!input.ok) {
        const std::string reason = input.tooLarge ? tarn::InputTooLargeText(m_frame.languageText(), input.tooLarge)
                                                  : input.reason;
        m_frame.showMessage(m_frame.languageString(175) + QStringLiteral("\n") + QString::fromLocal8Bit(reason.c_str()));
        return;
    }
    const tarn::IncomingChannels incoming = tarn::ReadCsvChannels(input.bytes);
    // A file of which not one row can be read (no header, no frequency column) is refused
    // whole, as before; otherwise the preview lists the rows it cannot take.
    if (incoming.channels.empty() && !incoming.problems.empty()) {
        QStringList lines;
        for (const tarn::CsvProblem& problem : incoming.problems)
            lines << QString::number(problem.line) + QStringLiteral(": ") + QString::fromStdString(problem.reason);
        m_frame.prompts().showReport(&m_frame, m_frame.languageString(strings::Title),
                                     m_frame.languageString(strings::Ok), m_frame.languageString(175), lines);
        return;
    }
    previewImport(QDir::toNativeSeparators(path), incoming);
}

void DocumentCommands::importStockSet(const QString& path, const QString& name)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_frame.showMessage(m_frame.languageString(175) + QStringLiteral("\n") + file.errorString());
        return;
    }
    if (static_cast<std::uintmax_t>(file.size()) > tarn::InputSizeLimit) {
        m_frame.showMessage(m_frame.languageString(175) + QStringLiteral("\n")
                            + QString::fromStdString(tarn::InputTooLargeText(m_frame.languageText(), file.size())));
        return;
    }
    previewImport(name, tarn::ReadCsvChannels(file.readAll().toStdString()));
}

void DocumentCommands::importFromConfiguration()
{
    const QString path = m_frame.prompts().askOpenPath(&m_frame);
    if (path.isEmpty())
        return;
    tarn::RadioImage other;
    const tarn::FileResult loaded = tarn::loadWholeConfiguration(QFile::encodeName(path).toStdString(), other);
    if (loaded.outcome == tarn::FileOutcome::NotTarnFile) {
        m_frame.showMessage(QString::fromStdString(tarn::NotTarnFileText(m_frame.languageText())));
        return;
    }
    if (loaded.outcome != tarn::FileOutcome::Loaded) {
        m_frame.showMessage(m_frame.languageString(175) + QStringLiteral("\n") + QString::fromLocal8Bit(loaded.reason.c_str()));
        return;
    }
    previewImport(QDir::toNativeSeparators(path),
                  tarn::ChannelsOfConfiguration(other, tarn::RowRange(0, tarn::layout::ChannelCount - 1)));
}

bool DocumentCommands::previewImport(const QString& source, const tarn::IncomingChannels& incoming,
                                     const tarn::Placement& placement, bool pasted)
{
    ImportPreviewDialog preview(&m_frame, m_document.current(), incoming, source, m_frame.languageText());
    preview.setPlacement(placement);
    preview.setNamesBesideExisting(pasted);
    if (preview.run() != QDialog::Accepted || !preview.canImport())
        return false;
    const tarn::ImportChoices choices = preview.choices();
    int arrived = 0;
    m_document.apply(m_frame.languageString(strings::StepImportChannels), [&](tarn::RadioImage& image) {
        // Planned again on what the pages show now: the same plan the preview showed.
        const tarn::ImportPlan plan = tarn::PlanImport(image, incoming, choices);
        if (!tarn::ApplyImport(image, incoming, plan).refused())
            arrived = plan.arriving;
    });
    m_pages.openPage(PageKind::Channel);
    m_frame.showMessage(m_frame.languageString(174) + QString::number(arrived));
    return arrived > 0;
}

void DocumentCommands::undo()
{
    m_pages.commitPending();
    m_document.history()->undo();
}

void DocumentCommands::redo()
{
    m_pages.commitPending();
    m_document.history()->redo();
}

bool DocumentCommands::eventFilter(QObject* watched, QEvent* event)
{
    // An edit box takes Ctrl+Z and Ctrl+Y for itself; with nothing of its own to undo or
    // redo it lets them through to the configuration's history.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit && m_frame.isAncestorOf(edit)) {
            const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
            if ((m_frame.commandAction(ID_EDIT_UNDO)->shortcuts().contains(key) && !edit->isUndoAvailable())
                || (m_frame.commandAction(ID_EDIT_REDO)->shortcuts().contains(key) && !edit->isRedoAvailable()))
                return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DocumentCommands::updateHistoryCommands()
{
    QUndoStack* history = m_document.history();
    const bool idle = !m_frame.transferRunning();
    auto label = [this](QAction* action, int string, const QString& step, bool enabled) {
        if (!action)
            return;
        action->setText(step.isEmpty() ? m_frame.languageString(string)
                                       : m_frame.languageString(string) + QLatin1Char(' ') + step);
        action->setEnabled(enabled);
    };
    label(m_frame.commandAction(ID_EDIT_UNDO), strings::Undo, history->undoText(), idle && history->canUndo());
    label(m_frame.commandAction(ID_EDIT_REDO), strings::Redo, history->redoText(), idle && history->canRedo());
    m_frame.updateToolTips();
    updateStatus();
}

void DocumentCommands::updateStatus()
{
    QString name;
    switch (m_document.origin()) {
    case Configuration::Origin::New:
        name = m_frame.languageString(strings::NewConfiguration);
        break;
    case Configuration::Origin::File:
        name = QFileInfo(m_document.path()).fileName();
        break;
    case Configuration::Origin::Radio:
        name = m_frame.languageString(strings::ReadFromRadioOn).arg(m_document.radioPort());
        break;
    }
    if (m_document.isModified())
        name += QStringLiteral(" - ") + m_frame.languageString(strings::Modified);
    m_status->setText(name);
    m_status->setToolTip(m_document.origin() == Configuration::Origin::File
                             ? QDir::toNativeSeparators(m_document.path()) : QString());
}

}  // namespace tarn
