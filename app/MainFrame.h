// The main window: the multiple-document frame that owns the radio image, the language
// strings and the page frames, with the menus, toolbar and status bar around them.
#pragma once

#include "app/LanguageTable.h"
#include "app/PageFactory.h"
#include "link/TransferJob.h"
#include "radio/RadioImage.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>

class CChildFrame;
class CProgStatusBar;
class PortDialog;
class QDockWidget;
class QMdiArea;
class QMenu;
class QToolBar;

namespace tarn {
class CTestThread;
class QueuedTransferListener;
}

// Command identifiers of the menus and the toolbar.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_APP_EXIT = 57665,
    ID_APP_ABOUT = 57664,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_CHANNEL_PAGE = 32771,
    ID_READ_FROM_RADIO = 32773,
    ID_WRITE_TO_RADIO = 32774,
    ID_PORT_SELECTION = 32775,
    ID_OPTIONS_PAGE = 32776,
    ID_KEYS_PAGE = 32778,
    ID_LANGUAGE = 32779,
    ID_TREE_VIEW = 32781,
    ID_HELP_TOPICS = 32785,
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int LanguageStringCount = tarn::LanguageTable::StringCount;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    tarn::RadioImage image;
    // The language strings of the selected language (LanguageTable::StringCount).
    QStringList languageStrings;
    QString languageString(int n) const;

    // Set while the page is open; a closed page's frame clears itself.
    QPointer<CChildFrame> channelFrame;
    QPointer<CChildFrame> optionsFrame;
    QPointer<CChildFrame> keysFrame;

    // The entry of a command (also the toolbar button), and the menu bar entry at a
    // position (0 File ... 7 Help).
    QAction* commandAction(int id) const { return m_commands.value(id); }
    QAction* menuBarEntry(int position) const;
    QMenu* menuPopup(int position) const { return m_popups.value(position); }

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    CProgStatusBar* progressBar() const { return m_statusBar; }
    QDockWidget* navBar() const { return m_navBar; }

    // The page commands and the page operations used by other parts of the shell.
    void OpenChannelPage() { openPage(PageKind::Channel); }
    void OpenOptionsPage() { openPage(PageKind::Options); }
    void OpenKeyPage() { openPage(PageKind::Keys); }
    void RefreshPages();
    void ReopenPages();
    void OpenPageByTitle(const QString& title);
    // Lets the open pages write their controls into the image, channel page first.
    void StorePages();

    // The program's message dialog with title language string 0 and button 116.
    int showMessage(const QString& text);
    // The main window's title is always language string 0.
    void applyTitle();
    // Tool tips of the toolbar buttons from the current menu texts.
    void updateToolTips();

    // The file dialogs, replaceable by tests. An empty path means cancelled.
    std::function<QString()> askOpenPath;
    std::function<QString()> askSavePath;
    // Asked before a save replaces a file the dialog did not name (".tw" was appended).
    std::function<bool(const QString& path)> confirmOverwrite;
    // Reports a save that failed, with the system's reason.
    std::function<void(const QString& path, const QString& reason)> reportSaveError;
    // False while a transfer owns the image.
    std::function<bool()> pagesMayStore = [this] { return !m_transferRunning; };
    // The port dialog's modal loop, replaceable by tests; returns the dialog result.
    std::function<int(PortDialog& dialog)> runPortDialog;

    tarn::TransferJob& transferJob() { return m_job; }
    // From the Read or Write command until its result has been shown: the worker is the
    // only writer of the image and the commands that touch it are disabled.
    bool transferRunning() const { return m_transferRunning; }
    // The commands disabled while a transfer runs.
    static const QList<int>& imageCommands();

signals:
    void pageOpened(PageKind kind);

public slots:
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFilePrint();
    void onReadFromRadio();
    void onWriteToRadio();
    void onPortSelection();
    // WM_TRANSFER_PROGRESS: the worker's progress 1-100, 0 when the transfer ends.
    void onTransferProgress(quint32 position);
    // WM_IMAGE_NOTIFY: 2 reloads the pages after a read; 4 runs the band-limit check and
    // answers 1 to go on with the write, 0 to stop it.
    int onImageNotify(int code);
    // WM_TRANSFER_RESULT: the result code 0-4 shown in the message dialog.
    int onTransferResult(int code);
    void arrangeIcons();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startTransfer(tarn::TransferJob::Operation operation);
    void setTransferRunning(bool running);
    // Stops a running transfer and waits for its worker, answering its requests meanwhile.
    void stopTransferAndWait();

    void buildMenus();
    void buildToolBar();
    QAction* addCommand(QMenu* menu, int id, const QString& resourceText);
    QPointer<CChildFrame>& frameMember(PageKind kind);
    void openPage(PageKind kind);

    QHash<int, QAction*> m_commands;
    QHash<int, QMenu*> m_popups;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    CProgStatusBar* m_statusBar;
    QDockWidget* m_navBar = nullptr;
    QIcon m_pageIcon;
    // The port command sits on the menu bar as text and on the toolbar as an icon.
    QAction* m_portTool = nullptr;

    tarn::TransferJob m_job;
    tarn::QueuedTransferListener* m_listener = nullptr;
    // The worker of the last transfer; replaced by the next one.
    tarn::CTestThread* m_thread = nullptr;
    bool m_transferRunning = false;
    // Set while the window waits for a stopped transfer: its reports are no longer shown.
    bool m_closing = false;
};
