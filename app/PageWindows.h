// The page windows inside the main window's client area: opening a page or bringing it to
// the front, loading and storing the open pages, reopening them after a language switch,
// the Window menu's arrangements, and what the open pages show (for the history, the
// unsaved-changes question and a printout).
#pragma once

#include "app/PageFactory.h"

#include <QIcon>
#include <QObject>
#include <QPointer>

#include <vector>

class QMdiArea;
class QMenu;

namespace tarn {

class CChildFrame;
class CMainFrame;

class Configuration;
class RadioImage;
struct PrintContent;

class PageWindows : public QObject {
    Q_OBJECT
public:
    PageWindows(CMainFrame& frame, tarn::Configuration& document, QMdiArea* area);

    // The handlers of the page and Window menu commands.
    void registerCommands();

    // Set while the page is open; a closed page's frame clears itself.
    CChildFrame* pageFrame(PageKind kind) const;
    PageView* page(PageKind kind) const;

    void openPage(PageKind kind);
    // Opens the channel page with channel `channel` (1-128) selected and scrolled into sight,
    // the cell of `column` current.
    void openChannelAt(int channel, int column);
    // Opens the optional functions page with the A or B band's VFO frequency box focused.
    void openBandFrequency(bool bandA);
    void OpenPageByTitle(const QString& title);
    // Every open page reloads from the image, then the channel page opens (after a read,
    // File > Open, File > New).
    void RefreshPages();
    // Every open page reloads from the image (after an undo or a redo).
    void reloadOpenPages();
    // The open pages write their controls into the image, channel page first.
    void StorePages();
    // Closes the open pages and opens them again (after a language switch).
    void ReopenPages();

    // What the open pages hold, written quietly into `target` in the store order.
    void storeInto(tarn::RadioImage& target) const;
    // Ends what is being typed on every open page (the change becomes a step).
    void commitPending();
    bool hasUnstoredEdits() const;
    // While a transfer runs the open pages take no edits.
    void setReadOnly(bool readOnly);
    // Opens the three pages, then takes what their controls show now, for a printout.
    tarn::PrintContent printContent();

    // The Window menu's list of the open pages, the active one checked, after its own entries.
    void listWindows(QMenu* menu);

    void cascade();
    void tile();
    void arrangeIcons();

signals:
    void pageOpened(PageKind kind);

private:
    // A page window the user closes keeps nothing of its own: what it holds is stored first.
    void storeClosingPage(PageKind kind);

    CMainFrame& m_frame;
    tarn::Configuration& m_document;
    QMdiArea* m_area;
    QIcon m_pageIcon;
    // One per row of the page table; null while that page is closed.
    std::vector<QPointer<CChildFrame>> m_frames;
    QList<QAction*> m_windowEntries;
};

}  // namespace tarn
