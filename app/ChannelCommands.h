// The Edit menu's commands on whole channels: they act on the rows selected on the channel
// page (copy, cut, paste, clear, delete and shift, insert, move, sort, pack, edit many,
// fill, find, go to, duplicates), each change one step of the history. Their keys reach
// them only from the channel list, so an open cell editor keeps Ctrl+C, Delete and the
// arrows for its own text.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QDialog;

namespace tarn {

class CChnMsgView;
class CMainFrame;
class PageWindows;
enum class PageKind;

class ChannelCommands : public QObject {
    Q_OBJECT
public:
    // Registers the handlers of its rows in the command table.
    ChannelCommands(CMainFrame& frame, PageWindows& pages);

    // The modal loop of the command's dialogs (edit many, fill, go to, duplicates); tests put
    // their own in. Returns the dialog result.
    void setDialogRunner(std::function<int(QDialog&)> run) { m_runDialog = std::move(run); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void registerCommands();
    // The open channel page; opened when `open` is set and it is closed.
    CChnMsgView* page(bool open) const;
    void onPageOpened(PageKind kind);
    // The step name of a command: its menu text without the mnemonic and the dots.
    QString stepName(int id) const;
    int runDialog(QDialog& dialog) const;

    void editSelected();
    void fill();
    void goTo();
    void findDuplicates();

    CMainFrame& m_frame;
    PageWindows& m_pages;
    std::function<int(QDialog&)> m_runDialog;
};

}  // namespace tarn
