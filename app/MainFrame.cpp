#include "app/MainFrame.h"

#include "app/ClientBackground.h"
#include "app/FleetCommands.h"
#include "app/FramePrompts.h"
#include "app/NavigationBar.h"
#include "app/ProgStatusBar.h"
#include "app/ToolTipText.h"
#include "lang/ResourceLookup.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenuBar>
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
    , m_document(new tarn::Configuration(this))
    , m_mdiArea(new QMdiArea(this))
    , m_statusBar(new CProgStatusBar(this))
    , m_prompts(std::make_unique<FramePrompts>())
{
    tarn::initTarnResources();
    for (int i = 0; i < LanguageStringCount; ++i)
        m_languageStrings.append(QString());

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
    // The configuration goes first among the children; the parts that hear it go later.
    m_document->history()->disconnect();
    m_document->disconnect();
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
                action->setShortcuts(QKeySequence::listFromString(QString::fromLatin1(command.shortcut),
                                                                  QKeySequence::PortableText));
            action->setCheckable(command.flags & Checkable);
            action->setChecked(command.flags & Checked);
            action->setEnabled(!(command.flags & Disabled));
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

void CMainFrame::buildNavigationBar()
{
    m_navBar = new NavigationBar(this);
    m_navBar->Create(QStringLiteral("数据浏览条"), this, QSize(140, 200), true, 123);
    m_navBar->setObjectName(QStringLiteral("navBar123"));
    addDockWidget(Qt::LeftDockWidgetArea, m_navBar);
    connect(m_navBar->tree(), &NavigationTree::labelPressed, m_pages, &PageWindows::OpenPageByTitle);
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

void CMainFrame::relabelMenus()
{
    for (const MenuPopup& popup : menuPopups())
        m_popups.value(popup.place)->menuAction()->setText(languageString(popup.languageString));
    for (const FrameCommand& command : frameCommands())
        if (QAction* action = commandAction(command.id))
            action->setText(languageString(command.languageString));
    // Undo and Redo name their steps.
    m_documentCommands->updateHistoryCommands();
}

void CMainFrame::updateToolTips()
{
    // A button's tip is its command's menu text, cut before the first "(".
    for (const FrameCommand& command : frameCommands()) {
        if (command.toolbarPlace <= 0)
            continue;
        QAction* action = commandAction(command.id);
        const QString tip = tarn::toolTipFromMenuText(action ? action->text() : QString());
        action->setToolTip(tip);
        if (QAction* tool = m_tools.value(command.id))
            tool->setToolTip(tip);
    }
}

void CMainFrame::applyTitle()
{
    setWindowTitle(languageString(tarn::strings::Title));
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
