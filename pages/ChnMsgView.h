// The channel information page: the 128 channels of the image as rows of a list edited in
// place, cell by cell. Whole rows are selected by their numbers and copied, cut, pasted,
// cleared, moved and found as whole channels (all 32 bytes), each operation one step of the
// configuration's history. The list is the working copy between a load and a store.
#pragma once

#include "pages/PageView.h"
#include "radio/ChannelOps.h"
#include "radio/ChannelRecord.h"

#include <QList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QMimeData;

namespace tarn {

class CellListCtrl;
class CellEdit;
class CellCombo;
class ChannelFindBar;

inline constexpr int ChannelCopyCommand = 4000;
inline constexpr int ChannelPasteCommand = 4001;
inline constexpr int ChannelCutCommand = 4002;

// What Copy and Cut put on the clipboard beside the text: the channels' 32 bytes each, and
// for a cut the mark of the page that cut them.
inline constexpr char ChannelsMimeType[] = "application/x-tarn-channels";
inline constexpr char CutMarkMimeType[] = "application/x-tarn-cut";

class CChnMsgView : public PageView {
    Q_OBJECT
public:
    explicit CChnMsgView(const PageContext& context, QWidget* parent = nullptr);
    ~CChnMsgView() override;

    void LoadFromImage() override;
    void storeInto(tarn::RadioImage& target) const override;
    void commitPending() override;
    // The list's cell texts, row by row.
    void addToPrint(tarn::PrintContent& content) const override;
    void setReadOnly(bool readOnly) override;
    bool hasUnstoredEdits() const override;
    void ShowChannel(int row);
    void StoreChannel(int row);
    // Handler of WM_FREQUENCY_EDITED; returns 1.
    int OnFrequencyEdited(int column, int row, bool rowWasProgrammed);
    // A context menu command (4000 Copy, 4001 Paste, 4002 Cut) on the target row: on the
    // selected rows when the target is one of them, else on the target row alone.
    void OnRowCommand(int targetRow, int command);

    // ---- Rows ---------------------------------------------------------------------------
    // The selected rows (0-127), ascending.
    std::vector<int> selectedRows() const;
    // What a command acts on: the selected rows; without a selection, the row of the
    // current cell unless the command needs rows the user selected.
    std::vector<int> actionRows(bool selectionOnly = false) const;
    void selectRows(const std::vector<int>& rows);
    void selectAllRows();
    // The image with what the list shows stored into it, quietly.
    tarn::RadioImage shownImage() const;

    // Copy (or Cut) the rows: on the clipboard as whole channels and as tab-separated text.
    // A cut is carried out by the next Paste, which moves the channels (the rows they leave
    // become empty) and ends it; any reload of the page ends it too.
    void copyRows(const std::vector<int>& rows, bool cut);
    // Pastes what the clipboard holds at row `at`: asks before it overwrites programmed
    // channels, refuses channels that would fall past 128.
    void pasteAt(int at);
    // The channels a paste takes from the clipboard: Tarn's own, or text from another
    // program read by the CSV rules (all or nothing; the problems are reported). Nothing
    // when there is nothing to paste.
    std::optional<tarn::ChannelList> pastedChannels(const QMimeData& data);
    // Runs an operation on whole channels as one step of the history named `step` (after
    // what is typed is committed); the page reloads, the channels acted on are selected, a
    // refusal is shown. Returns what the operation did.
    tarn::ChannelOutcome applyToChannels(const QString& step,
                                         const std::function<tarn::ChannelOutcome(tarn::RadioImage&)>& operation);
    // A choice or tone for every selected programmed channel.
    void setColumnForRows(int column, const QString& text);
    // The items of a choice or tone column's list.
    QStringList columnItems(int column) const;

    // ---- Finding ------------------------------------------------------------------------
    void openFindBar();
    // The next (previous) channel showing the find bar's text, after the current row; opens
    // the bar when it holds no text.
    void findAgain(bool backwards);
    void goToChannel(int number);
    ChannelFindBar* findBar() const { return m_findBar; }

    // ---- What the window supplies -------------------------------------------------------
    // The question before a paste overwrites programmed channels: true to go on.
    void setQuestion(std::function<bool(const QString& question)> ask) { m_ask = std::move(ask); }
    // A refusal that lists its lines (a paste of text with bad lines).
    void setProblemReport(std::function<void(const QString& summary, const QStringList& lines)> report)
    {
        m_report = std::move(report);
    }
    // Where a paste of text from another program goes (the window's import preview, placed
    // from `row`); without it the text is pasted here, all or nothing.
    void setTextPaste(std::function<void(const QString& text, int row)> paste) { m_textPaste = std::move(paste); }
    // The window's row commands, shown in the context menu after Copy, Paste and Cut
    // (a null entry is a separator).
    void setRowMenuActions(const QList<QAction*>& actions) { m_rowActions = actions; }

    CellListCtrl* list() const { return m_list; }
    CellEdit* cellEdit() const { return m_edit; }
    CellCombo* toneCombo() const { return m_combos[0]; }
    CellCombo* choiceCombo(int column) const;

protected:
    void store() override;
    bool event(QEvent* event) override;

private:
    // Every column at least as wide as its header text in the current font.
    void fitColumnWidths();
    void onListClicked(int row, int column);
    void onContextMenu(const QPoint& pos);
    // A right click or a row command on `row`: the selection stays when it holds the row,
    // else the row alone is selected.
    void aimAt(int row);
    void onRowsDropped(const std::vector<int>& rows, int before);
    void onFindRequested(const QString& text, bool backwards, bool again);
    void resetEditors();
    tarn::ChannelRow rowTexts(int row) const;
    // "channel 12 Rx freq": the undo entry of a committed cell.
    QString stepName(int row, int column) const;
    void setRowTexts(int row, const tarn::ChannelRow& texts);
    tarn::LanguageText languageText() const;
    bool ask(const QString& question) const;
    // The rows of a pending cut look dimmed until it ends.
    void markCutRows(bool marked);
    void endCut();

    tarn::ChannelWords m_words;
    CellListCtrl* m_list = nullptr;
    ChannelFindBar* m_findBar = nullptr;
    bool m_adjusted = false;
    bool m_readOnly = false;
    int m_targetRow = -1;
    // A pending cut: its rows and the mark it left on the clipboard.
    std::vector<int> m_cutRows;
    QByteArray m_cutMark;
    // Counts the reloads, so an operation knows whether the window reloaded the page.
    int m_loads = 0;
    std::function<bool(const QString&)> m_ask;
    std::function<void(const QString&, const QStringList&)> m_report;
    std::function<void(const QString&, int)> m_textPaste;
    QList<QAction*> m_rowActions;
    // The tone list (columns 3 and 4), then the choices of columns 5, 6, 7, 9 and 8.
    std::array<CellCombo*, 6> m_combos{};
    CellEdit* m_edit = nullptr;
};

// What the main frame calls to open the page.
PageView* createChannelPage(const PageContext& context, QWidget* parent);

}  // namespace tarn
