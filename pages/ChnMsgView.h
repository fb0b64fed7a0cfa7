// The channel information page: the 128 channels of the image as rows of a list edited in
// place, with Copy / Cut / Paste of whole rows. The list is the working copy; the image
// changes only when the main frame asks the page to store.
#pragma once

#include "pages/PageView.h"
#include "radio/ChannelRecord.h"

#include <array>

class CellListCtrl;
class CellEdit;
class CellCombo;

inline constexpr int ChannelCopyCommand = 4000;
inline constexpr int ChannelPasteCommand = 4001;
inline constexpr int ChannelCutCommand = 4002;

class CChnMsgView : public PageView {
    Q_OBJECT
public:
    explicit CChnMsgView(const PageContext& context, QWidget* parent = nullptr);
    ~CChnMsgView() override;

    void LoadFromImage() override;
    void StoreToImage() override;
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
    // A context menu command (4000 Copy, 4001 Paste, 4002 Cut) on the target row.
    void OnRowCommand(int targetRow, int command);

    CellListCtrl* list() const { return m_list; }
    CellEdit* cellEdit() const { return m_edit; }
    CellCombo* toneCombo() const { return m_combos[0]; }
    CellCombo* choiceCombo(int column) const;

protected:
    bool event(QEvent* event) override;

private:
    // Every column at least as wide as its header text in the current font.
    void fitColumnWidths();
    void onListClicked(int row, int column);
    void onContextMenu(const QPoint& pos);
    void resetEditors();
    tarn::ChannelRow rowTexts(int row) const;
    // "channel 12 Rx freq": the undo entry of a committed cell.
    QString stepName(int row, int column) const;
    void setRowTexts(int row, const tarn::ChannelRow& texts);

    tarn::ChannelWords m_words;
    CellListCtrl* m_list = nullptr;
    bool m_adjusted = false;
    bool m_readOnly = false;
    int m_sourceRow = -1;
    bool m_cutMark = false;
    int m_targetRow = -1;
    // The tone list (columns 3 and 4), then the choices of columns 5, 6, 7, 9 and 8.
    std::array<CellCombo*, 6> m_combos{};
    CellEdit* m_edit = nullptr;
};

// What the main frame calls to open the page.
PageView* createChannelPage(const PageContext& context, QWidget* parent);
