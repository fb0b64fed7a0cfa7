// The menu bar and the toolbar of the main window, built from the command table, and the
// language strings put into them.
#include "app/MainFrame.h"

#include "app/NavigationBar.h"
#include "app/ToolTipText.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <QToolBar>

namespace tarn {

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

void CMainFrame::relabelMenus()
{
    // A table too short for an entry leaves the resource's text: Qt hides an empty entry.
    auto shown = [this](int string, const char* resourceText) {
        return tarn::LanguageTable::shownText(languageString(string), QString::fromUtf8(resourceText));
    };
    for (const MenuPopup& popup : menuPopups())
        m_popups.value(popup.place)->menuAction()->setText(shown(popup.languageString, popup.resourceText));
    for (const FrameCommand& command : frameCommands())
        if (QAction* action = commandAction(command.id))
            action->setText(shown(command.languageString, command.resourceText));
    // The bars' names in the window's context menu and on a floating bar.
    m_toolBar->setWindowTitle(QString(commandAction(ID_VIEW_TOOLBAR)->text()).remove(QLatin1Char('&')));
    m_navBar->setWindowTitle(shown(tarn::strings::NavigationBarTitle, "数据浏览条"));
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

}  // namespace tarn
