// The main window: the multiple-document frame that owns the radio image, the language
// strings and the page frames, with the menus, toolbar and status bar around them. Its
// commands come from the command table (FrameCommands.h), its pages from the page table
// (PageFactory.h).
#pragma once

#include "app/FrameCommands.h"
#include "lang/LanguageTable.h"
#include "app/PageFactory.h"
#include "link/Backups.h"
#include "link/TransferJob.h"
#include "radio/PrintContent.h"
#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class CChildFrame;
class ClientBackground;
class NavigationBar;
class CProgStatusBar;
class FramePrompts;
class PortDialog;
class QDockWidget;
class QMdiArea;
class QMenu;
class QToolBar;
class TransferController;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int LanguageStringCount = tarn::LanguageTable::StringCount;

    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    tarn::RadioImage& image() { return m_image; }
    const tarn::RadioImage& image() const { return m_image; }

    // The language strings of the selected language (LanguageTable::StringCount).
    const QStringList& languageStrings() const { return m_languageStrings; }
    QString languageString(int n) const;
    // The same strings for the plain rules (UTF-8).
    tarn::LanguageText languageText() const;
    void setLanguageString(int n, const QString& text);

    // Set while the page is open; a closed page's frame clears itself.
    CChildFrame* pageFrame(PageKind kind) const;
    CChildFrame* channelFrame() const { return pageFrame(PageKind::Channel); }
    CChildFrame* optionsFrame() const { return pageFrame(PageKind::Options); }
    CChildFrame* keysFrame() const { return pageFrame(PageKind::Keys); }

    // The entry of a command (also the toolbar button), and the menu bar entry at a
    // position (0 File ... 7 Help).
    QAction* commandAction(int id) const { return m_commands.value(id); }
    QAction* menuBarEntry(int position) const;
    QMenu* menuPopup(int position) const { return m_popups.value(position); }

    QMdiArea* mdiArea() const { return m_mdiArea; }
    QToolBar* toolBar() const { return m_toolBar; }
    CProgStatusBar* progressBar() const { return m_statusBar; }
    QDockWidget* navBar() const;
    NavigationBar* navigationBar() const { return m_navBar; }

    // Every question and notice to the user; tests put their own in.
    FramePrompts& prompts() const { return *m_prompts; }
    void setPrompts(std::unique_ptr<FramePrompts> prompts);

    // The page commands and the page operations used by other parts of the shell.
    void OpenChannelPage() { openPage(PageKind::Channel); }
    void OpenOptionsPage() { openPage(PageKind::Options); }
    void OpenKeyPage() { openPage(PageKind::Keys); }
    void openPage(PageKind kind);
    // Opens the three pages, then takes what their controls show now, for a printout.
    tarn::PrintContent printContent();
    void RefreshPages();
    void ReopenPages();
    void OpenPageByTitle(const QString& title);
    // Lets the open pages write their controls into the image, channel page first.
    void StorePages();
    // False while a transfer owns the image.
    bool pagesMayStore() const { return !transferRunning(); }

    // True when the image or an open page holds changes that were neither saved to a file
    // nor written to the radio since the image was last made, opened, read or saved.
    bool hasUnsavedChanges() const;
    // Before the image is replaced or the window closes: asks "save first?" (Save, Discard,
    // Cancel) when there are such changes. True to go on.
    bool confirmUnsavedChanges();

    // The program's message dialog with title language string 0 and button 116.
    int showMessage(const QString& text);
    // The main window's title is always language string 0.
    void applyTitle();
    // Puts the language strings into the menu bar, the commands and the tool tips.
    void relabelMenus();
    // Tool tips of the toolbar buttons from the current menu texts.
    void updateToolTips();

    tarn::TransferJob& transferJob();
    // From the Read or Write command until its result has been shown: the worker is the
    // only writer of the image and the commands that touch it are disabled.
    bool transferRunning() const;
    // The commands disabled while a transfer runs.
    static const QList<int>& imageCommands();

signals:
    void pageOpened(PageKind kind);

public slots:
    // The handlers of the command table.
    void onFileNew();
    void onFileOpen();
    void onFileSave();
    void onFilePrint();
    void onFilePrintPreview();
    void onFileExportPdf();
    void onAppExit();
    void onReadFromRadio();
    void onWriteToRadio();
    void onPortSelection();
    void onViewToolBar();
    void onViewStatusBar();
    void onTreeView();
    void onWindowCascade();
    void onWindowTile();
    void arrangeIcons();
    void onVerify();
    void onFileBackups();
    void onExportChannels();
    void onImportChannels();

    // WM_TRANSFER_PROGRESS: the worker's progress 1-100, 0 when the transfer ends.
    void onTransferProgress(quint32 position);
    // WM_IMAGE_NOTIFY: 2 reloads the pages after a read; 4 runs the band-limit check and
    // answers 1 to go on with the write, 0 to stop it.
    int onImageNotify(int code);
    // WM_TRANSFER_RESULT: the result code 0-4 shown in the message dialog.
    int onTransferResult(int code);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void startTransfer(tarn::TransferJob::Operation operation);
    void lockImageCommands(bool locked);
    // The open pages take no edits while a transfer runs.
    void setPagesReadOnly(bool readOnly);
    // The image as it is now counts as saved.
    void markSaved();
    // File/Save's dialog and save; true when the file was written.
    bool saveToChosenFile();
    // Stops a running transfer and waits for its worker, answering its requests meanwhile.
    void stopTransferAndWait();

    void buildMenus();
    void buildToolBar();
    // Loads a configuration file into the image and refreshes the pages (File/Open, backups).
    void openConfiguration(const QString& path);
    // What the last transfer adds to its result: the read-back's verdict for the message,
    // and the differences and backups not kept for the report after it.
    QString verifyVerdict() const;
    QStringList transferReport() const;

    tarn::RadioImage m_image;
    // The image as last made, opened, read, saved or written.
    tarn::RadioImage m_savedImage;
    QStringList m_languageStrings;
    // One per row of the page table; null while that page is closed.
    std::vector<QPointer<CChildFrame>> m_pageFrames;

    QHash<int, QAction*> m_commands;
    // Toolbar buttons of commands that sit on the menu bar as text.
    QHash<int, QAction*> m_tools;
    QHash<int, QMenu*> m_popups;
    QMdiArea* m_mdiArea;
    QToolBar* m_toolBar = nullptr;
    CProgStatusBar* m_statusBar;
    NavigationBar* m_navBar = nullptr;
    ClientBackground* m_background = nullptr;
    QIcon m_pageIcon;

    std::unique_ptr<FramePrompts> m_prompts;
    TransferController* m_transfer;
    tarn::BackupStore m_backups;
};
