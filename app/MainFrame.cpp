#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/ClientBackground.h"
#include "app/NavigationBar.h"
#include "app/PagePlacement.h"
#include "app/FramePrompts.h"
#include "app/ProgStatusBar.h"
#include "lang/ResourceLookup.h"
#include "app/ToolTipText.h"
#include "app/TransferController.h"
#include "link/PortDialog.h"
#include "link/ResultText.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "print/PrintCommand.h"
#include "print/PrintPages.h"
#include "exchange/ChannelCsv.h"
#include "radio/ConfigFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

namespace {

QIcon commandIcon(const FrameCommand& command)
{
    if (!command.iconFile)
        return QIcon();
    return QIcon::fromTheme(QLatin1String(command.iconTheme),
                            QIcon(QStringLiteral(":/icons/") + QLatin1String(command.iconFile)));
}

bool hasPopup(int place)
{
    for (const MenuPopup& popup : menuPopups())
        if (popup.place == place)
            return true;
    return false;
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_pageFrames(pageKinds().size())
    , m_mdiArea(new QMdiArea(this))
    , m_statusBar(new CProgStatusBar(this))
    , m_prompts(std::make_unique<FramePrompts>())
    , m_transfer(new TransferController(this))
{
    tarn::initTarnResources();
    for (int i = 0; i < LanguageStringCount; ++i)
        m_languageStrings.append(QString());

    const QString viewIcon = tarn::findResourceFile(QStringLiteral("view.ico"));
    if (!viewIcon.isEmpty())
        m_pageIcon = QIcon(viewIcon);

    setWindowTitle(QStringLiteral("Tarn"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    buildMenus();
    buildToolBar();

    m_statusBar->setObjectName(QStringLiteral("statusBar59393"));
    setStatusBar(m_statusBar);

    m_background = new ClientBackground(this);
    m_background->attach(m_mdiArea);

    m_navBar = new NavigationBar(this);
    m_navBar->Create(QStringLiteral("数据浏览条"), this, QSize(140, 200), true, 123);
    m_navBar->setObjectName(QStringLiteral("navBar123"));
    addDockWidget(Qt::LeftDockWidgetArea, m_navBar);
    connect(m_navBar->tree(), &NavigationTree::labelPressed, this, &CMainFrame::OpenPageByTitle);

    // The check marks follow the bars, however they were hidden.
    connect(m_navBar->toggleViewAction(), &QAction::toggled, commandAction(ID_TREE_VIEW), &QAction::setChecked);
    connect(m_toolBar->toggleViewAction(), &QAction::toggled, commandAction(ID_VIEW_TOOLBAR),
            &QAction::setChecked);

    // The check before a write runs here while the worker waits for the answer.
    connect(m_transfer, &TransferController::transferProgress, this,
            [this](int position) { onTransferProgress(quint32(position)); });
    connect(m_transfer, &TransferController::imageNotify, this, &CMainFrame::onImageNotify);
    connect(m_transfer, &TransferController::transferResult, this, &CMainFrame::onTransferResult);
    connect(m_transfer, &TransferController::runningChanged, this, &CMainFrame::lockImageCommands);
    connect(m_transfer, &TransferController::runningChanged, this, &CMainFrame::setPagesReadOnly);
    m_transfer->setImageCheck([this](int code) { return onImageNotify(code); });
    // Every read and write leaves a backup.
    transferJob().setBackups(&m_backups);

    // A new run starts from a default configuration, never from an empty one.
    m_image.resetToDefaults();
    markSaved();
}

CMainFrame::~CMainFrame()
{
    stopTransferAndWait();
}

void CMainFrame::setPrompts(std::unique_ptr<FramePrompts> prompts)
{
    m_prompts = prompts ? std::move(prompts) : std::make_unique<FramePrompts>();
}

const QList<int>& CMainFrame::imageCommands()
{
    static const QList<int> ids = [] {
        QList<int> locked;
        for (const FrameCommand& command : frameCommands())
            if (command.flags & LockedInTransfer)
                locked << command.id;
        return locked;
    }();
    return ids;
}

tarn::TransferJob& CMainFrame::transferJob()
{
    return m_transfer->job();
}

bool CMainFrame::transferRunning() const
{
    return m_transfer->running();
}

QString CMainFrame::languageString(int n) const
{
    return n >= 0 && n < m_languageStrings.size() ? m_languageStrings.at(n) : QString();
}

tarn::LanguageText CMainFrame::languageText() const
{
    return [this](int n) { return languageString(n).toStdString(); };
}

void CMainFrame::setLanguageString(int n, const QString& text)
{
    if (n >= 0 && n < m_languageStrings.size())
        m_languageStrings[n] = text;
}

CChildFrame* CMainFrame::pageFrame(PageKind kind) const
{
    const auto k = std::size_t(kind);
    return k < m_pageFrames.size() ? m_pageFrames[k].data() : nullptr;
}

QAction* CMainFrame::menuBarEntry(int position) const
{
    const QList<QAction*> entries = menuBar()->actions();
    return position >= 0 && position < entries.size() ? entries.at(position) : nullptr;
}

void CMainFrame::buildMenus()
{
    // The texts of the menu resource; relabelMenus puts the language strings in.
    QMenuBar* bar = menuBar();
    int lastPlace = -1;
    for (const MenuPopup& popup : menuPopups())
        lastPlace = std::max(lastPlace, popup.place);
    for (const FrameCommand& command : frameCommands())
        lastPlace = std::max(lastPlace, command.place);

    for (int place = 0; place <= lastPlace; ++place) {
        QMenu* menu = nullptr;
        for (const MenuPopup& popup : menuPopups()) {
            if (popup.place == place) {
                menu = bar->addMenu(QString::fromUtf8(popup.resourceText));
                m_popups.insert(place, menu);
            }
        }
        for (const FrameCommand& command : frameCommands()) {
            if (command.place != place)
                continue;
            auto* action = new QAction(QString::fromUtf8(command.resourceText), this);
            action->setData(command.id);
            m_commands.insert(command.id, action);
            if (menu) {
                if (command.flags & SeparatorBefore)
                    menu->addSeparator();
                menu->addAction(action);
                action->setIcon(commandIcon(command));
            } else {
                bar->addAction(action);
            }
            if (command.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(command.shortcut), QKeySequence::PortableText));
            action->setCheckable(command.flags & Checkable);
            action->setChecked(command.flags & Checked);
            action->setEnabled(!(command.flags & Disabled));
            if (command.handler)
                connect(action, &QAction::triggered, this, command.handler);
        }
    }
}

void CMainFrame::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar59392"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    QList<const FrameCommand*> buttons;
    for (const FrameCommand& command : frameCommands())
        if (command.toolbarPlace > 0)
            buttons << &command;
    std::stable_sort(buttons.begin(), buttons.end(),
                     [](const FrameCommand* a, const FrameCommand* b) { return a->toolbarPlace < b->toolbarPlace; });

    int group = -1;
    for (const FrameCommand* command : buttons) {
        if (group >= 0 && command->toolbarPlace / 10 != group)
            m_toolBar->addSeparator();
        group = command->toolbarPlace / 10;
        QAction* action = commandAction(command->id);
        if (!hasPopup(command->place)) {
            // A command on the menu bar is a text there: its button is an icon of its own
            // that runs it and follows its text and lock.
            QAction* entry = action;
            action = new QAction(commandIcon(*command), entry->text(), this);
            action->setData(command->id);
            connect(action, &QAction::triggered, entry, &QAction::trigger);
            connect(entry, &QAction::changed, action, [action, entry] {
                action->setText(entry->text());
                action->setEnabled(entry->isEnabled());
            });
            m_tools.insert(command->id, action);
        }
        m_toolBar->addAction(action);
    }
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    updateToolTips();
}

void CMainFrame::relabelMenus()
{
    for (const MenuPopup& popup : menuPopups())
        m_popups.value(popup.place)->menuAction()->setText(languageString(popup.languageString));
    for (const FrameCommand& command : frameCommands())
        if (QAction* action = commandAction(command.id))
            action->setText(languageString(command.languageString));
    updateToolTips();
}

void CMainFrame::updateToolTips()
{
    // A button's tip is its command's menu text, cut before the first "(".
    for (const FrameCommand& command : frameCommands()) {
        if (command.toolbarPlace <= 0)
            continue;
        const QString tip = tarn::toolTipFromMenuText(languageString(command.languageString));
        commandAction(command.id)->setToolTip(tip);
        if (QAction* tool = m_tools.value(command.id))
            tool->setToolTip(tip);
    }
}

void CMainFrame::applyTitle()
{
    setWindowTitle(languageString(0));
}

int CMainFrame::showMessage(const QString& text)
{
    return m_prompts->showMessage(this, languageString(0), languageString(116), text);
}

void CMainFrame::openPage(PageKind kind)
{
    QPointer<CChildFrame>& member = m_pageFrames[std::size_t(kind)];
    if (member) {
        m_mdiArea->setActiveSubWindow(member);
        applyTitle();
        return;
    }

    auto* frame = new CChildFrame(&m_image);
    PageContext context;
    context.image = &m_image;
    context.languageStrings = &m_languageStrings;
    context.showMessage = [this](const QString& text) { showMessage(text); };
    context.mayStore = [this] { return pagesMayStore(); };
    PageView* page = createPage(kind, context, frame);
    if (!page) {
        delete frame;
        return;
    }
    frame->setPage(page);
    member = frame;
    m_mdiArea->addSubWindow(frame);
    if (!m_pageIcon.isNull())
        frame->setWindowIcon(m_pageIcon);

    const PageKindRow& row = pageKindRow(kind);
    const QSize area = m_mdiArea->viewport()->size();
    frame->resize(pageFrameSize(frameGeometry().size(), row.widthFiftieths, row.heightFiftieths, area));

    page->LoadFromImage();
    // The refresh after a read opens the channel page before the result is shown.
    if (transferRunning())
        page->setReadOnly(true);
    frame->setWindowTitle(page->windowTitle().isEmpty() ? languageString(row.titleString)
                                                        : page->windowTitle());
    frame->show();
    // The area chose a place for it; all of it stays in sight.
    frame->move(placeInside(frame->geometry(), area));
    m_mdiArea->setActiveSubWindow(frame);
    applyTitle();
    emit pageOpened(kind);
}

void CMainFrame::RefreshPages()
{
    for (const PageKindRow& row : pageKinds()) {
        CChildFrame* frame = pageFrame(row.kind);
        if (frame && frame->page())
            frame->page()->LoadFromImage();
    }
    OpenChannelPage();
}

void CMainFrame::StorePages()
{
    for (const PageKindRow& row : pageKinds()) {
        CChildFrame* frame = pageFrame(row.kind);
        if (frame && frame->page())
            frame->page()->StoreToImage();
    }
}

void CMainFrame::ReopenPages()
{
    // What the pages hold and have not stored yet would go with them.
    if (pagesMayStore())
        StorePages();
    QList<PageKind> reopen;
    for (const PageKindRow& row : pageKinds()) {
        QPointer<CChildFrame>& member = m_pageFrames[std::size_t(row.kind)];
        if (!member)
            continue;
        reopen << row.kind;
        CChildFrame* frame = member.data();
        frame->close();
        // The close only schedules the deletion; the page must be gone before it reopens.
        delete frame;
        member = nullptr;
    }
    for (PageKind kind : reopen)
        openPage(kind);
}

void CMainFrame::OpenPageByTitle(const QString& title)
{
    for (const PageKindRow& row : pageKinds()) {
        if (title == languageString(row.titleString)) {
            openPage(row.kind);
            return;
        }
    }
}

bool CMainFrame::hasUnsavedChanges() const
{
    for (const PageKindRow& row : pageKinds()) {
        CChildFrame* frame = pageFrame(row.kind);
        if (frame && frame->page() && frame->page()->hasUnstoredEdits())
            return true;
    }
    return !m_image.sameSettings(m_savedImage);
}

bool CMainFrame::confirmUnsavedChanges()
{
    if (!hasUnsavedChanges())
        return true;
    const QStringList buttons{languageString(149), languageString(150), languageString(117)};
    switch (m_prompts->askChoice(this, languageString(0), buttons, languageString(148))) {
    case 0:
        return saveToChosenFile();
    case 1:
        return true;
    default:
        return false;
    }
}

void CMainFrame::markSaved()
{
    m_savedImage = m_image;
}

void CMainFrame::setPagesReadOnly(bool readOnly)
{
    for (const PageKindRow& row : pageKinds()) {
        CChildFrame* frame = pageFrame(row.kind);
        if (frame && frame->page())
            frame->page()->setReadOnly(readOnly);
    }
}

void CMainFrame::onFileNew()
{
    if (!confirmUnsavedChanges())
        return;
    if (m_prompts->askChoice(this, languageString(0), {languageString(116), languageString(117)},
                             languageString(30))
        != 0)
        return;
    m_image.resetToDefaults();
    RefreshPages();
    markSaved();
}

void CMainFrame::onFileOpen()
{
    if (!confirmUnsavedChanges())
        return;
    const QString path = m_prompts->askOpenPath(this);
    if (!path.isEmpty())
        openConfiguration(path);
}

void CMainFrame::onFileBackups()
{
    QDir().mkpath(m_backups.folder());
    const QString path = m_prompts->askBackupPath(this, m_backups.folder());
    if (!path.isEmpty())
        openConfiguration(path);
}

void CMainFrame::openConfiguration(const QString& path)
{
    const tarn::FileResult result = tarn::loadConfiguration(QFile::encodeName(path).toStdString(), m_image);
    if (result.outcome == tarn::FileOutcome::CannotOpen)
        return;
    if (result.outcome == tarn::FileOutcome::NotTarnFile)
        showMessage(QString::fromStdString(tarn::NotTarnFileText(languageText())));
    m_mdiArea->viewport()->update();
    RefreshPages();
    if (result.outcome == tarn::FileOutcome::Loaded)
        markSaved();
}

void CMainFrame::onFileSave()
{
    saveToChosenFile();
}

bool CMainFrame::saveToChosenFile()
{
    const QString chosen = m_prompts->askSavePath(this);
    if (chosen.isEmpty())
        return false;
    const QString path = QFile::decodeName(
        QByteArray::fromStdString(tarn::withTwExtension(QFile::encodeName(chosen).toStdString())));
    // The dialog asked about the name it returned; a name completed here is asked again.
    if (path != chosen && QFileInfo::exists(path) && !m_prompts->confirmOverwrite(this, languageString(0), path))
        return false;

    StorePages();
    const tarn::FileResult result = tarn::saveConfiguration(QFile::encodeName(path).toStdString(), m_image);
    if (result.outcome != tarn::FileOutcome::Saved) {
        m_prompts->reportSaveError(this, languageString(0), path, QString::fromLocal8Bit(result.reason.c_str()));
        return false;
    }
    markSaved();
    m_mdiArea->viewport()->update();
    return true;
}

tarn::PrintContent CMainFrame::printContent()
{
    OpenChannelPage();
    OpenOptionsPage();
    OpenKeyPage();
    tarn::PrintContent content;
    for (const QString& text : m_languageStrings)
        content.languageStrings.push_back(text.toStdString());
    for (const PageKindRow& row : pageKinds()) {
        CChildFrame* frame = pageFrame(row.kind);
        if (frame && frame->page())
            frame->page()->addToPrint(content);
    }
    return content;
}

void CMainFrame::onFilePrint()
{
    // A cancelled dialog prints nothing and says nothing.
    tarn::print::printWithDialog(this, printContent(),
                                 [this](QPrintDialog& dialog) { return m_prompts->runPrintDialog(dialog); });
}

void CMainFrame::onFilePrintPreview()
{
    tarn::print::showPrintPreview(this, printContent(),
                                  [this](QPrintPreviewDialog& dialog) { return m_prompts->runPrintPreview(dialog); });
}

void CMainFrame::onFileExportPdf()
{
    const tarn::PrintContent content = printContent();
    const QString path = m_prompts->askPdfPath(this, languageString(182));
    if (path.isEmpty())
        return;
    QString reason;
    // The same file tarn-cli print writes for the same configuration.
    if (tarn::print::writePrintPdf(path, content, QPageSize::A4, &reason) == 0)
        showMessage(languageString(183) + reason);
    else
        m_statusBar->showMessage(QDir::toNativeSeparators(path), 10000);  // where the file went
}

void CMainFrame::onAppExit()
{
    close();
}

void CMainFrame::onReadFromRadio()
{
    if (transferRunning() || transferJob().isBusy() || !confirmUnsavedChanges())
        return;
    startTransfer(tarn::TransferJob::Read);
}

void CMainFrame::onWriteToRadio()
{
    if (transferRunning() || transferJob().isBusy())
        return;
    StorePages();
    tarn::currentChannelFixUp(m_image);
    transferJob().setVerifyAfterWrite(commandAction(ID_VERIFY_AFTER_WRITE)->isChecked());
    startTransfer(tarn::TransferJob::Write);
}

void CMainFrame::onVerify()
{
    if (transferRunning() || transferJob().isBusy())
        return;
    // What the pages show is what a write would send, so that is what is compared.
    StorePages();
    startTransfer(tarn::TransferJob::Verify);
}

void CMainFrame::onExportChannels()
{
    const QString path = m_prompts->askCsvPath(this, true, languageString(177));
    if (path.isEmpty())
        return;
    StorePages();
    QFile file(path);
    const QByteArray text = QByteArray::fromStdString(tarn::ExportChannelsCsv(m_image));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size() || !file.flush()) {
        m_prompts->reportSaveError(this, languageString(0), path, file.errorString());
        return;
    }
    showMessage(languageString(173) + QString::number(tarn::ProgrammedChannelCount(m_image)));
}

void CMainFrame::onImportChannels()
{
    const QString path = m_prompts->askCsvPath(this, false, languageString(177));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(languageString(175) + QStringLiteral("\n") + file.errorString());
        return;
    }
    StorePages();
    const tarn::CsvImportResult result = tarn::ImportChannelsCsv(file.readAll().toStdString(), m_image, false);
    if (!result.problems.empty()) {
        QStringList lines;
        for (const tarn::CsvProblem& problem : result.problems)
            lines << QString::number(problem.line) + QStringLiteral(": ") + QString::fromStdString(problem.reason);
        m_prompts->showReport(this, languageString(0), languageString(116), languageString(175), lines);
        return;
    }
    RefreshPages();
    showMessage(languageString(174) + QString::number(result.channels.size()));
}

void CMainFrame::startTransfer(tarn::TransferJob::Operation operation)
{
    m_transfer->start(operation, &m_image);
}

void CMainFrame::lockImageCommands(bool locked)
{
    for (int id : imageCommands()) {
        if (QAction* action = commandAction(id))
            action->setEnabled(!locked);
    }
}

void CMainFrame::onPortSelection()
{
    if (transferRunning() || transferJob().isBusy())
        return;
    PortDialog dialog(this);
    dialog.selection = m_image.portNumber() - 1;
    dialog.title = languageString(90);
    dialog.okText = languageString(116);
    dialog.cancelText = languageString(117);
    dialog.availablePorts = transferJob().availablePorts();
    dialog.initDialog();
    if (m_prompts->runPortDialog(dialog) == QDialog::Accepted)
        m_image.setPortNumber(dialog.selection + 1);
}

void CMainFrame::onViewToolBar()
{
    m_toolBar->setVisible(commandAction(ID_VIEW_TOOLBAR)->isChecked());
}

void CMainFrame::onViewStatusBar()
{
    m_statusBar->setVisible(commandAction(ID_VIEW_STATUS_BAR)->isChecked());
}

void CMainFrame::onTreeView()
{
    m_navBar->setVisible(commandAction(ID_TREE_VIEW)->isChecked());
}

void CMainFrame::onWindowCascade()
{
    // Each page keeps the size it opens with, as far as the cascade leaves room.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_mdiArea->subWindowList(QMdiArea::StackingOrder))
        if (!window->isMinimized())
            windows << window;
    const QSize area = m_mdiArea->viewport()->size();
    const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) + 4;
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        QSize wanted = window->size();
        for (const PageKindRow& row : pageKinds())
            if (pageFrame(row.kind) == window)
                wanted = pageFrameSize(frameGeometry().size(), row.widthFiftieths, row.heightFiftieths, area);
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(cascadeRect(i, int(windows.size()), wanted, area, step));
        window->raise();
    }
}

QDockWidget* CMainFrame::navBar() const
{
    return m_navBar;
}

void CMainFrame::onWindowTile()
{
    m_mdiArea->tileSubWindows();
}

int CMainFrame::onImageNotify(int code)
{
    const bool closing = m_transfer->closing();
    if (code == tarn::ImageRead) {
        if (!closing) {
            RefreshPages();
            markSaved();
        }
        return 1;
    }
    if (code == tarn::CheckBeforeWrite) {
        // A window that is closing writes nothing more to the radio.
        if (closing)
            return 0;
        const tarn::BandLimitVerdict verdict = tarn::bandLimitCheck(m_image, languageText());
        if (!verdict.pass)
            showMessage(QString::fromStdString(verdict.message));
        return verdict.answer();
    }
    return 1;
}

int CMainFrame::onTransferResult(int code)
{
    if (code == tarn::WriteSucceeded)
        markSaved();
    // The message dialog keeps the result texts of reads and writes; what a verify found and
    // the backups that were not kept need more room, so they follow in the report.
    if (!m_transfer->closing() && tarn::IsTransferResult(code))
        showMessage(QString::fromStdString(tarn::TransferResultText(code, languageText())));
    const QString verdict = verifyVerdict();
    const QStringList report = transferReport();
    if (!m_transfer->closing() && (!verdict.isEmpty() || !report.isEmpty()))
        m_prompts->showReport(this, languageString(0), languageString(116), verdict, report);
    for (const tarn::BackupResult& backup : transferJob().backupResults())
        if (backup.kept)
            m_statusBar->showMessage(languageString(178) + QString::fromStdString(backup.path), 10000);
    m_statusBar->update();
    return 1;
}

QString CMainFrame::verifyVerdict() const
{
    // The job is idle again when its result arrives; nothing else has started it since.
    const tarn::VerifyOutcome& outcome = m_transfer->job().verifyOutcome();
    if (!outcome.ran)
        return QString();
    return QString::fromStdString(tarn::VerifyVerdict(outcome, languageText()));
}

QStringList CMainFrame::transferReport() const
{
    const tarn::TransferJob& job = m_transfer->job();
    const tarn::LanguageText text = languageText();
    QStringList lines;
    for (const std::string& line : tarn::VerifyDifferences(job.verifyOutcome(), text))
        lines << QString::fromStdString(line);
    for (const std::string& line : tarn::BackupFailures(job.backupResults(), text))
        lines << QString::fromStdString(line);
    return lines;
}

void CMainFrame::stopTransferAndWait()
{
    if (m_transfer->workerRunning())
        m_statusBar->showMessage(languageString(151));
    m_transfer->stopAndWait();
    m_statusBar->clearMessage();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_transfer->closing()) {
        event->ignore();
        return;
    }
    // The user settled the changes before a read began; what a stopped read leaves is not
    // theirs to lose.
    const bool stoppedARead = transferRunning() && transferJob().operation() == tarn::TransferJob::Read;
    stopTransferAndWait();
    if (!stoppedARead && !confirmUnsavedChanges()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void CMainFrame::onTransferProgress(quint32 position)
{
    m_statusBar->SetProgress(position);
}

void CMainFrame::arrangeIcons()
{
    // Lines up the minimised pages along the bottom of the client area.
    int x = 0;
    const int bottom = m_mdiArea->viewport()->height();
    for (QMdiSubWindow* window : m_mdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(x, bottom - size.height());
        x += size.width();
    }
}
