#include "app/MainFrame.h"

#include "app/ChildFrame.h"
#include "app/ProgStatusBar.h"
#include "app/ResourceLookup.h"
#include "app/ToolTipText.h"
#include "link/MessageDialog.h"
#include "link/PortDialog.h"
#include "link/QueuedTransferListener.h"
#include "link/TransferThread.h"
#include "link/WriteChecks.h"
#include "radio/ConfigFile.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QDockWidget>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolBar>

namespace {

struct PageRow {
    int titleString;   // language string of the page's frame title
    int widthFiftieths;
    int heightFiftieths;
};

PageRow pageRow(PageKind kind)
{
    switch (kind) {
    case PageKind::Channel:
        return {1, 43, 42};
    case PageKind::Options:
        return {27, 43, 40};
    case PageKind::Keys:
        return {28, 40, 33};
    }
    return {1, 43, 42};
}

QIcon commandIcon(const char* themeName, const char* bundled)
{
    return QIcon::fromTheme(QLatin1String(themeName),
                            QIcon(QStringLiteral(":/icons/") + QLatin1String(bundled)));
}

}  // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_mdiArea(new QMdiArea(this)), m_statusBar(new CProgStatusBar(this))
{
    tarn::initTarnResources();
    for (int i = 0; i < LanguageStringCount; ++i)
        languageStrings.append(QString());

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

    m_navBar = new QDockWidget(QStringLiteral("数据浏览条"), this);
    m_navBar->setObjectName(QStringLiteral("navBar123"));
    m_navBar->setWidget(new QWidget(m_navBar));
    addDockWidget(Qt::LeftDockWidgetArea, m_navBar);
    resizeDocks({m_navBar}, {140}, Qt::Horizontal);

    QAction* tree = commandAction(ID_TREE_VIEW);
    connect(tree, &QAction::triggered, m_navBar, &QWidget::setVisible);
    connect(m_navBar->toggleViewAction(), &QAction::toggled, tree, &QAction::setChecked);
    QAction* bar = commandAction(ID_VIEW_TOOLBAR);
    connect(bar, &QAction::triggered, m_toolBar, &QWidget::setVisible);
    connect(m_toolBar->toggleViewAction(), &QAction::toggled, bar, &QAction::setChecked);
    QAction* status = commandAction(ID_VIEW_STATUS_BAR);
    connect(status, &QAction::triggered, m_statusBar, &QWidget::setVisible);

    askOpenPath = [this] {
        return QFileDialog::getOpenFileName(this, QString(), QString(),
                                            QStringLiteral("tw Files (*.tw);;All Files (*)"));
    };
    askSavePath = [this] {
        return QFileDialog::getSaveFileName(this, QString(), QString(),
                                            QStringLiteral("tw Files (*.tw);;All Files (*)"));
    };
    confirmOverwrite = [this](const QString& path) {
        return QMessageBox::question(this, languageString(0),
                                     tr("%1 already exists.\nDo you want to replace it?")
                                         .arg(QDir::toNativeSeparators(path)))
            == QMessageBox::Yes;
    };
    reportSaveError = [this](const QString& path, const QString& reason) {
        QMessageBox::critical(this, languageString(0),
                              tr("Cannot save %1:\n%2").arg(QDir::toNativeSeparators(path), reason));
    };

    // The worker's reports arrive as posted messages, in the order it sent them; the
    // check before a write runs here while the worker waits for the answer.
    m_listener = new tarn::QueuedTransferListener(this);
    m_listener->connectTo(this, &CMainFrame::onTransferProgress, &CMainFrame::onImageNotify,
                          &CMainFrame::onTransferResult);
    m_listener->setImageCheck(this, [this](int code) { return onImageNotify(code); });

    // A new run starts from a default configuration, never from an empty one.
    image.resetToDefaults();
}

CMainFrame::~CMainFrame()
{
    stopTransferAndWait();
    delete m_thread;
}

const QList<int>& CMainFrame::imageCommands()
{
    // Opening a page reads the image too, so the page commands wait for the worker as well;
    // the refresh after a read opens the channel page itself.
    static const QList<int> ids{ID_FILE_NEW,        ID_FILE_OPEN,       ID_FILE_SAVE,
                                ID_FILE_PRINT,      ID_READ_FROM_RADIO, ID_WRITE_TO_RADIO,
                                ID_PORT_SELECTION,  ID_LANGUAGE,        ID_CHANNEL_PAGE,
                                ID_OPTIONS_PAGE,    ID_KEYS_PAGE};
    return ids;
}

QString CMainFrame::languageString(int n) const
{
    return n >= 0 && n < languageStrings.size() ? languageStrings.at(n) : QString();
}

QAction* CMainFrame::menuBarEntry(int position) const
{
    const QList<QAction*> entries = menuBar()->actions();
    return position >= 0 && position < entries.size() ? entries.at(position) : nullptr;
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& resourceText)
{
    auto* action = new QAction(resourceText, this);
    action->setData(id);
    m_commands.insert(id, action);
    if (menu)
        menu->addAction(action);
    else
        menuBar()->addAction(action);
    return action;
}

void CMainFrame::buildMenus()
{
    // The texts of the menu resource; RelabelMenus puts the language strings in.
    QMenuBar* bar = menuBar();
    auto popup = [&](int position, const QString& text) {
        QMenu* menu = bar->addMenu(text);
        m_popups.insert(position, menu);
        return menu;
    };

    QMenu* file = popup(0, QStringLiteral("文件(&F)"));
    addCommand(file, ID_FILE_NEW, QStringLiteral("新建(&N)\tCtrl+N"));
    addCommand(file, ID_FILE_OPEN, QStringLiteral("打开(&O)...\tCtrl+O"));
    addCommand(file, ID_FILE_CLOSE, QStringLiteral("关闭(&C)"));
    addCommand(file, ID_FILE_SAVE, QStringLiteral("保存(&S)\tCtrl+S"));
    file->addSeparator();
    addCommand(file, ID_FILE_PRINT, QStringLiteral("打印(&P)...\tCtrl+P"));
    file->addSeparator();
    addCommand(file, ID_APP_EXIT, QStringLiteral("退出(&X)"));

    QMenu* programming = popup(1, QStringLiteral("编程"));
    addCommand(programming, ID_READ_FROM_RADIO, QStringLiteral("从对讲机读取数据(&R)"));
    addCommand(programming, ID_WRITE_TO_RADIO, QStringLiteral("向对讲机写入数据(&W)"));

    QMenu* edit = popup(2, QStringLiteral("编辑(&E)"));
    addCommand(edit, ID_CHANNEL_PAGE, QStringLiteral("信道信息"));
    addCommand(edit, ID_OPTIONS_PAGE, QStringLiteral("可选功能"));
    addCommand(edit, ID_KEYS_PAGE, QStringLiteral("键设定"));

    addCommand(nullptr, ID_PORT_SELECTION, QStringLiteral("端口选择"));

    QMenu* view = popup(4, QStringLiteral("查看(&V)"));
    addCommand(view, ID_VIEW_TOOLBAR, QStringLiteral("工具栏(&T)"))->setCheckable(true);
    addCommand(view, ID_VIEW_STATUS_BAR, QStringLiteral("状态栏(&S)"))->setCheckable(true);
    addCommand(view, ID_TREE_VIEW, QStringLiteral("树视图(&R)"))->setCheckable(true);

    QMenu* window = popup(5, QStringLiteral("窗口(&W)"));
    addCommand(window, ID_WINDOW_CASCADE, QStringLiteral("层叠(&C)"));
    addCommand(window, ID_WINDOW_TILE_HORZ, QStringLiteral("平铺(&T)"));
    addCommand(window, ID_WINDOW_ARRANGE, QStringLiteral("排列图标(&A)"));

    addCommand(nullptr, ID_LANGUAGE, QStringLiteral("语言"));

    QMenu* help = popup(7, QStringLiteral("帮助(&H)"));
    addCommand(help, ID_HELP_TOPICS, QStringLiteral("Help topics"));
    help->addSeparator();
    addCommand(help, ID_APP_ABOUT, QStringLiteral("关于 Tarn(&A)..."));

    // Every shortcut a menu text shows works.
    commandAction(ID_FILE_NEW)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    commandAction(ID_FILE_OPEN)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    commandAction(ID_FILE_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    commandAction(ID_FILE_PRINT)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));

    // Pages are closed with their own window buttons.
    commandAction(ID_FILE_CLOSE)->setEnabled(false);
    commandAction(ID_VIEW_STATUS_BAR)->setChecked(true);
    commandAction(ID_VIEW_TOOLBAR)->setChecked(true);
    commandAction(ID_TREE_VIEW)->setChecked(true);

    connect(commandAction(ID_FILE_NEW), &QAction::triggered, this, &CMainFrame::onFileNew);
    connect(commandAction(ID_FILE_OPEN), &QAction::triggered, this, &CMainFrame::onFileOpen);
    connect(commandAction(ID_FILE_SAVE), &QAction::triggered, this, &CMainFrame::onFileSave);
    connect(commandAction(ID_FILE_PRINT), &QAction::triggered, this, &CMainFrame::onFilePrint);
    connect(commandAction(ID_APP_EXIT), &QAction::triggered, this, &QWidget::close);
    connect(commandAction(ID_READ_FROM_RADIO), &QAction::triggered, this, &CMainFrame::onReadFromRadio);
    connect(commandAction(ID_WRITE_TO_RADIO), &QAction::triggered, this, &CMainFrame::onWriteToRadio);
    connect(commandAction(ID_PORT_SELECTION), &QAction::triggered, this, &CMainFrame::onPortSelection);
    connect(commandAction(ID_CHANNEL_PAGE), &QAction::triggered, this, &CMainFrame::OpenChannelPage);
    connect(commandAction(ID_OPTIONS_PAGE), &QAction::triggered, this, &CMainFrame::OpenOptionsPage);
    connect(commandAction(ID_KEYS_PAGE), &QAction::triggered, this, &CMainFrame::OpenKeyPage);
    connect(commandAction(ID_WINDOW_CASCADE), &QAction::triggered, m_mdiArea, &QMdiArea::cascadeSubWindows);
    connect(commandAction(ID_WINDOW_TILE_HORZ), &QAction::triggered, m_mdiArea, &QMdiArea::tileSubWindows);
    connect(commandAction(ID_WINDOW_ARRANGE), &QAction::triggered, this, &CMainFrame::arrangeIcons);
}

void CMainFrame::buildToolBar()
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("toolBar59392"));
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);

    commandAction(ID_FILE_NEW)->setIcon(commandIcon("document-new", "new.png"));
    commandAction(ID_FILE_OPEN)->setIcon(commandIcon("document-open", "open.png"));
    commandAction(ID_FILE_SAVE)->setIcon(commandIcon("document-save", "save.png"));
    commandAction(ID_FILE_PRINT)->setIcon(commandIcon("document-print", "print.png"));
    commandAction(ID_READ_FROM_RADIO)->setIcon(commandIcon("go-down", "read.png"));
    commandAction(ID_WRITE_TO_RADIO)->setIcon(commandIcon("go-up", "write.png"));

    QAction* port = commandAction(ID_PORT_SELECTION);
    m_portTool = new QAction(commandIcon("network-wired", "port.png"), port->text(), this);
    m_portTool->setData(ID_PORT_SELECTION);
    connect(m_portTool, &QAction::triggered, port, &QAction::trigger);
    connect(port, &QAction::changed, m_portTool, [this, port] {
        m_portTool->setText(port->text());
        m_portTool->setEnabled(port->isEnabled());
    });

    m_toolBar->addAction(commandAction(ID_FILE_NEW));
    m_toolBar->addSeparator();
    m_toolBar->addAction(commandAction(ID_FILE_OPEN));
    m_toolBar->addAction(commandAction(ID_FILE_SAVE));
    m_toolBar->addAction(commandAction(ID_FILE_PRINT));
    m_toolBar->addSeparator();
    m_toolBar->addAction(commandAction(ID_READ_FROM_RADIO));
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_portTool);
    m_toolBar->addAction(commandAction(ID_WRITE_TO_RADIO));
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    updateToolTips();
}

void CMainFrame::updateToolTips()
{
    static const int toolStrings[][2] = {
        {ID_FILE_NEW, 92},        {ID_FILE_OPEN, 95},       {ID_FILE_SAVE, 94},
        {ID_FILE_PRINT, 96},      {ID_READ_FROM_RADIO, 99}, {ID_WRITE_TO_RADIO, 100},
        {ID_PORT_SELECTION, 102},
    };
    for (const auto& row : toolStrings)
        commandAction(row[0])->setToolTip(tarn::toolTipFromMenuText(languageString(row[1])));
    if (m_portTool)
        m_portTool->setToolTip(commandAction(ID_PORT_SELECTION)->toolTip());
}

void CMainFrame::applyTitle()
{
    setWindowTitle(languageString(0));
}

int CMainFrame::showMessage(const QString& text)
{
    return MessageDialog::show(this, languageString(0), languageString(116), text);
}

QPointer<CChildFrame>& CMainFrame::frameMember(PageKind kind)
{
    switch (kind) {
    case PageKind::Options:
        return optionsFrame;
    case PageKind::Keys:
        return keysFrame;
    case PageKind::Channel:
        break;
    }
    return channelFrame;
}

void CMainFrame::openPage(PageKind kind)
{
    QPointer<CChildFrame>& member = frameMember(kind);
    if (member) {
        m_mdiArea->setActiveSubWindow(member);
        applyTitle();
        return;
    }

    auto* frame = new CChildFrame(&image);
    PageContext context;
    context.image = &image;
    context.languageStrings = &languageStrings;
    context.showMessage = [this](const QString& text) { showMessage(text); };
    context.mayStore = [this] { return !pagesMayStore || pagesMayStore(); };
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

    const PageRow row = pageRow(kind);
    const QRect outer = frameGeometry();
    frame->resize(outer.width() * row.widthFiftieths / 50, outer.height() * row.heightFiftieths / 50);

    page->LoadFromImage();
    frame->setWindowTitle(page->windowTitle().isEmpty() ? languageString(row.titleString)
                                                        : page->windowTitle());
    frame->show();
    m_mdiArea->setActiveSubWindow(frame);
    applyTitle();
    emit pageOpened(kind);
}

void CMainFrame::RefreshPages()
{
    for (CChildFrame* frame : {channelFrame.data(), optionsFrame.data(), keysFrame.data()}) {
        if (frame && frame->page())
            frame->page()->LoadFromImage();
    }
    OpenChannelPage();
}

void CMainFrame::StorePages()
{
    for (CChildFrame* frame : {channelFrame.data(), optionsFrame.data(), keysFrame.data()}) {
        if (frame && frame->page())
            frame->page()->StoreToImage();
    }
}

void CMainFrame::ReopenPages()
{
    bool reopen[3] = {false, false, false};
    QPointer<CChildFrame>* members[3] = {&channelFrame, &optionsFrame, &keysFrame};
    for (int i = 0; i < 3; ++i) {
        QPointer<CChildFrame>& member = *members[i];
        if (!member)
            continue;
        reopen[i] = true;
        CChildFrame* frame = member.data();
        frame->close();
        // The close only schedules the deletion; the page must be gone before it reopens.
        delete frame;
        member = nullptr;
    }
    if (reopen[0])
        OpenChannelPage();
    if (reopen[1])
        OpenOptionsPage();
    if (reopen[2])
        OpenKeyPage();
}

void CMainFrame::OpenPageByTitle(const QString& title)
{
    if (title == languageString(1))
        OpenChannelPage();
    else if (title == languageString(27))
        OpenOptionsPage();
    else if (title == languageString(28))
        OpenKeyPage();
}

void CMainFrame::onFileNew()
{
    if (showMessage(languageString(30)) != QDialog::Accepted)
        return;
    image.resetToDefaults();
    RefreshPages();
}

void CMainFrame::onFileOpen()
{
    const QString path = askOpenPath ? askOpenPath() : QString();
    if (path.isEmpty())
        return;
    const tarn::FileResult result = tarn::loadConfiguration(QFile::encodeName(path).toStdString(), image);
    if (result.outcome == tarn::FileOutcome::CannotOpen)
        return;
    if (result.outcome == tarn::FileOutcome::NotTarnFile)
        showMessage(languageString(31));
    m_mdiArea->viewport()->update();
    RefreshPages();
}

void CMainFrame::onFileSave()
{
    const QString chosen = askSavePath ? askSavePath() : QString();
    if (chosen.isEmpty())
        return;
    const QString path = QFile::decodeName(
        QByteArray::fromStdString(tarn::withTwExtension(QFile::encodeName(chosen).toStdString())));
    // The dialog asked about the name it returned; a name completed here is asked again.
    if (path != chosen && QFileInfo::exists(path) && confirmOverwrite && !confirmOverwrite(path))
        return;

    StorePages();
    const tarn::FileResult result = tarn::saveConfiguration(QFile::encodeName(path).toStdString(), image);
    if (result.outcome != tarn::FileOutcome::Saved) {
        if (reportSaveError)
            reportSaveError(path, QString::fromLocal8Bit(result.reason.c_str()));
        return;
    }
    m_mdiArea->viewport()->update();
}

void CMainFrame::onFilePrint()
{
}

void CMainFrame::onReadFromRadio()
{
    if (m_transferRunning || m_job.isBusy())
        return;
    startTransfer(tarn::TransferJob::Read);
}

void CMainFrame::onWriteToRadio()
{
    if (m_transferRunning || m_job.isBusy())
        return;
    m_job.prepare(m_listener, &image);
    StorePages();
    tarn::currentChannelFixUp(image);
    startTransfer(tarn::TransferJob::Write);
}

void CMainFrame::startTransfer(tarn::TransferJob::Operation operation)
{
    // The previous worker has posted its result and is at most closing the port.
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_job.prepare(m_listener, &image);
    if (!m_job.start(operation))
        return;
    m_thread = new tarn::CTestThread(&m_job);
    setTransferRunning(true);
    m_thread->start();
}

void CMainFrame::setTransferRunning(bool running)
{
    m_transferRunning = running;
    for (int id : imageCommands()) {
        if (QAction* action = commandAction(id))
            action->setEnabled(!running);
    }
}

void CMainFrame::onPortSelection()
{
    if (m_transferRunning || m_job.isBusy())
        return;
    PortDialog dialog(this);
    dialog.selection = image.portNumber() - 1;
    dialog.title = languageString(90);
    dialog.okText = languageString(116);
    dialog.cancelText = languageString(117);
    dialog.availablePorts = m_job.availablePorts();
    dialog.initDialog();
    const int result = runPortDialog ? runPortDialog(dialog) : dialog.exec();
    if (result == QDialog::Accepted)
        image.setPortNumber(dialog.selection + 1);
}

int CMainFrame::onImageNotify(int code)
{
    if (code == tarn::ImageRead) {
        if (!m_closing)
            RefreshPages();
        return 1;
    }
    if (code == tarn::CheckBeforeWrite) {
        // A window that is closing writes nothing more to the radio.
        if (m_closing)
            return 0;
        const tarn::BandLimitVerdict verdict = tarn::bandLimitCheck(
            image, [this](int n) { return languageString(n).toStdString(); });
        if (!verdict.pass)
            showMessage(QString::fromStdString(verdict.message));
        return verdict.answer();
    }
    return 1;
}

int CMainFrame::onTransferResult(int code)
{
    QString text;
    switch (code) {
    case tarn::NoRadio:
        text = languageString(33);
        break;
    case tarn::ReadFailed:
        text = languageString(122) + languageString(31);
        break;
    case tarn::WriteFailed:
        text = languageString(123) + languageString(31);
        break;
    case tarn::ReadSucceeded:
        text = languageString(122) + languageString(32);
        break;
    case tarn::WriteSucceeded:
        text = languageString(123) + languageString(32);
        break;
    default:
        break;
    }
    if (!m_closing && !text.isNull())
        showMessage(text);
    m_statusBar->update();

    // After its result the worker only closes the port; once it has, the image and the
    // port are the window's again.
    if (m_thread)
        m_thread->wait();
    setTransferRunning(false);
    return 1;
}

void CMainFrame::stopTransferAndWait()
{
    const bool workerRunning = m_thread && !m_thread->isFinished();
    if (!workerRunning && !m_transferRunning)
        return;
    m_closing = true;
    if (workerRunning) {
        m_job.requestStop();
        m_statusBar->showMessage(QStringLiteral("…"));
        // The worker may be waiting for the check before a write: keep answering (with
        // "stop") while it winds down, or neither side would ever move again.
        while (!m_thread->wait(20))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    // Its last reports (result, progress 0) free the commands without showing anything.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_closing = false;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        event->ignore();
        return;
    }
    stopTransferAndWait();
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
