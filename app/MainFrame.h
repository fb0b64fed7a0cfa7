// The main window: the multiple-document frame around one configuration, with the menus,
// toolbar and status bar built from the command table (FrameCommands.h) and the language
// strings (FrameMenus.cpp). Four parts carry the commands out: the document commands
// (file, exchange, print, history), the transfer commands (the radio), the channel
// commands (rows of the channel page) and the page windows.
#pragma once

#include "app/DocumentCommands.h"
#include "app/FrameCommands.h"
#include "app/PageFactory.h"
#include "app/PageWindows.h"
#include "app/TransferCommands.h"
#include "document/Configuration.h"
#include "lang/LanguageTable.h"
#include "radio/LanguageText.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>

class QDockWidget;
class QMdiArea;
class QMenu;
class QToolBar;

namespace tarn {

class CChildFrame;
class ClientBackground;
class NavigationBar;
class CProgStatusBar;
class FramePrompts;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int LanguageStringCount = tarn::LanguageTable::StringCount;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    tarn::Configuration& document() { return *m_document; }
    tarn::RadioImage& image() { return m_document->image(); }
    const tarn::RadioImage& image() const { return m_document->image(); }

    DocumentCommands& documents() { return *m_documentCommands; }
    TransferCommands& transfers() { return *m_transferCommands; }
    PageWindows& pages() { return *m_pages; }

    // The language strings of the selected language (LanguageTable::StringCount).
    const QStringList& languageStrings() const { return m_languageStrings; }
    QString languageString(int n) const;
    // The same strings for the plain rules (UTF-8).
    tarn::LanguageText languageText() const;
    void setLanguageString(int n, const QString& text);

    // The entry of a command (also the toolbar button), and the menu bar entry at a
    // position (0 File ... 7 Help).
    QAction* commandAction(int id) const { return m_commands.value(id); }
    QAction* menuBarEntry(int position) const;
    QMenu* menuPopup(int position) const { return m_popups.value(position); }
    // The part of the window that carries out command `id` registers it here.
    void setCommandHandler(int id, std::function<void()> handler);
    // The commands disabled while a transfer runs.
    static const QList<int>& imageCommands();

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    CProgStatusBar* progressBar() const { return m_statusBar; }
    QDockWidget* navBar() const;
    NavigationBar* navigationBar() const { return m_navBar; }

    // Every question and notice to the user; tests put their own in.
    FramePrompts& prompts() const { return *m_prompts; }
    void setPrompts(std::unique_ptr<FramePrompts> prompts);

    // The program's message dialog with title language string 0 and button 116.
    int showMessage(const QString& text);
    // The main window's title is always language string 0.
    void applyTitle();
    // Puts the language strings into the menu bar, the commands and the tool tips.
    void relabelMenus();
    // Tool tips of the toolbar buttons from the current menu texts.
    void updateToolTips();

    // The page windows, as the rest of the shell and the tests reach them.
    CChildFrame* pageFrame(PageKind kind) const { return m_pages->pageFrame(kind); }
    CChildFrame* channelFrame() const { return pageFrame(PageKind::Channel); }
    CChildFrame* optionsFrame() const { return pageFrame(PageKind::Options); }
    CChildFrame* keysFrame() const { return pageFrame(PageKind::Keys); }
    void openPage(PageKind kind) { m_pages->openPage(kind); }
    void OpenChannelPage() { openPage(PageKind::Channel); }
    void OpenOptionsPage() { openPage(PageKind::Options); }
    void OpenKeyPage() { openPage(PageKind::Keys); }
    void OpenPageByTitle(const QString& title) { m_pages->OpenPageByTitle(title); }
    void RefreshPages() { m_pages->RefreshPages(); }
    void ReopenPages() { m_pages->ReopenPages(); }
    void StorePages() { m_pages->StorePages(); }
    // False while a transfer owns the image.
    bool pagesMayStore() const { return !transferRunning(); }
    bool hasUnsavedChanges() const { return m_documentCommands->hasUnsavedChanges(); }
    bool confirmUnsavedChanges() { return m_documentCommands->confirmUnsavedChanges(); }

    tarn::TransferJob& transferJob() { return m_transferCommands->job(); }
    bool transferRunning() const { return m_transferCommands && m_transferCommands->running(); }

signals:
    void pageOpened(PageKind kind);

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildNavigationBar();
    void registerViewCommands();

    tarn::Configuration* m_document;
    QStringList m_languageStrings;
    QHash<int, QAction*> m_commands;
    // Toolbar buttons of commands that sit on the menu bar as text.
    QHash<int, QAction*> m_tools;
    QHash<int, QMenu*> m_popups;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    CProgStatusBar* m_statusBar;
    NavigationBar* m_navBar = nullptr;
    ClientBackground* m_background = nullptr;
    std::unique_ptr<FramePrompts> m_prompts;

    PageWindows* m_pages;
    DocumentCommands* m_documentCommands;
    TransferCommands* m_transferCommands = nullptr;
};

}  // namespace tarn
