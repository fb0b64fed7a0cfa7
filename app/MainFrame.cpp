#include "app/MainFrame.h"

#include "app/ChannelCommands.h"
#include "app/ClientBackground.h"
#include "app/FleetCommands.h"
#include "app/FramePrompts.h"
#include "app/NavigationBar.h"
#include "app/ProgStatusBar.h"
#include "lang/ResourceLookup.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QMdiArea>
#include <QMenuBar>
#include <QToolBar>

namespace tarn {

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent)
    , m_document(new tarn::Configuration(this))
    , m_mdiArea(new QMdiArea(this))
    , m_statusBar(new CProgStatusBar(this))
    , m_prompts(std::make_unique<FramePrompts>())
{
    tarn::initTarnResources();
    for (int i = 0; i < LanguageStringCount; ++i)
        m_languageStrings.append(QString());
    m_prompts->setLanguageStrings(&m_languageStrings);

    setWindowTitle(QStringLiteral("Tarn"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);
    m_statusBar->setObjectName(QStringLiteral("statusBar59393"));
    setStatusBar(m_statusBar);

    buildMenus();
    buildToolBar();

    m_pages = new PageWindows(*this, *m_document, m_mdiArea);
    connect(m_pages, &PageWindows::pageOpened, this, &CMainFrame::pageOpened);
    m_documentCommands = new DocumentCommands(*this, *m_document, *m_pages);
    m_transferCommands = new TransferCommands(*this, *m_document, *m_pages, *m_documentCommands);
    new FleetCommands(*this);
    m_pages->registerCommands();
    m_documentCommands->registerCommands();
    m_transferCommands->registerCommands();
    new ChannelCommands(*this, *m_pages);
    registerViewCommands();

    m_background = new ClientBackground(this);
    m_background->attach(m_mdiArea);
    buildNavigationBar();

    // A new run starts from a default configuration, never from an empty one.
    m_document->image().resetToDefaults();
    m_document->startHistory();
}

CMainFrame::~CMainFrame()
{
    m_transferCommands->stopAndWait();
    // Closing the window would move the focus out of an edit box, which stores and records
    // what it holds: that happens now, while the parts it reaches still exist.
    if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
        focus->clearFocus();
    // The configuration goes first among the children; the parts that hear it go later.
    m_document->history()->disconnect();
    m_document->disconnect();
}

void CMainFrame::setPrompts(std::unique_ptr<FramePrompts> prompts)
{
    m_prompts = prompts ? std::move(prompts) : std::make_unique<FramePrompts>();
    m_prompts->setLanguageStrings(&m_languageStrings);
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

QAction* CMainFrame::menuBarEntry(int position) const
{
    const QList<QAction*> entries = menuBar()->actions();
    return position >= 0 && position < entries.size() ? entries.at(position) : nullptr;
}

void CMainFrame::setCommandHandler(int id, std::function<void()> handler)
{
    if (QAction* action = commandAction(id))
        connect(action, &QAction::triggered, this, std::move(handler));
}

void CMainFrame::buildNavigationBar()
{
    m_navBar = new NavigationBar(this);
    m_navBar->Create(QStringLiteral("数据浏览条"), this, QSize(140, 200), true, 123);
    m_navBar->setObjectName(QStringLiteral("navBar123"));
    addDockWidget(Qt::LeftDockWidgetArea, m_navBar);
    connect(m_navBar->tree(), &NavigationTree::labelPressed, m_pages, &PageWindows::OpenPageByTitle);
    connect(menuPopup(MenuWindow), &QMenu::aboutToShow, m_pages, [this] { m_pages->listWindows(menuPopup(MenuWindow)); });
    // The check marks follow the bars, however they were hidden.
    connect(m_navBar->toggleViewAction(), &QAction::toggled, commandAction(ID_TREE_VIEW), &QAction::setChecked);
    connect(m_toolBar->toggleViewAction(), &QAction::toggled, commandAction(ID_VIEW_TOOLBAR), &QAction::setChecked);
}

void CMainFrame::registerViewCommands()
{
    setCommandHandler(ID_APP_EXIT, [this] { close(); });
    setCommandHandler(ID_VIEW_TOOLBAR, [this] { m_toolBar->setVisible(commandAction(ID_VIEW_TOOLBAR)->isChecked()); });
    setCommandHandler(ID_VIEW_STATUS_BAR,
                      [this] { m_statusBar->setVisible(commandAction(ID_VIEW_STATUS_BAR)->isChecked()); });
    setCommandHandler(ID_TREE_VIEW, [this] { m_navBar->setVisible(commandAction(ID_TREE_VIEW)->isChecked()); });
}

void CMainFrame::applyTitle()
{
    setWindowTitle(languageString(tarn::strings::Title));
}

void CMainFrame::changeEvent(QEvent* event)
{
    // A maximised page would add its own title ("Tarn - [Channel]"); the title stays string 0.
    if (event->type() == QEvent::WindowTitleChange && !languageString(tarn::strings::Title).isEmpty()
        && windowTitle() != languageString(tarn::strings::Title))
        applyTitle();
    QMainWindow::changeEvent(event);
}

int CMainFrame::showMessage(const QString& text)
{
    return m_prompts->showMessage(this, languageString(tarn::strings::Title), languageString(tarn::strings::Ok), text);
}

QDockWidget* CMainFrame::navBar() const
{
    return m_navBar;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (m_transferCommands->closing()) {
        event->ignore();
        return;
    }
    // The user settled the changes before a read began; what a stopped read leaves is not
    // theirs to lose.
    const bool stoppedARead = m_transferCommands->readRunning();
    m_transferCommands->stopAndWait();
    if (!stoppedARead && !confirmUnsavedChanges()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

}  // namespace tarn
