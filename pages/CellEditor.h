// The in-place editors of a CellListCtrl: one edit box (CellEdit) and any number of
// drop-down lists (CellCombo) laid exactly over the cell being edited. Each carries a
// CellEditor; the combos share the edit box's one, so the current cell and the edit state
// belong to the list, whichever editor was opened last.
#pragma once

#include "pages/CellOpenRule.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>

namespace tarn {

class CellListCtrl;

// Posted to the editor of a column: open the cell (row, column).
inline constexpr QEvent::Type WM_EDIT_CELL = static_cast<QEvent::Type>(QEvent::User + 0x7EA);
// Sent by the edit box's commit of column 1 or 2 to the page, which may rewrite the row.
inline constexpr QEvent::Type WM_FREQUENCY_EDITED = static_cast<QEvent::Type>(QEvent::User + 0x47F);

// Sent by every commit to the page once the cell holds its new text (and the page has
// rewritten the row): the user finished a change.
inline constexpr QEvent::Type WM_CELL_COMMITTED = static_cast<QEvent::Type>(QEvent::User + 0x480);

class CellCommittedEvent : public QEvent {
public:
    CellCommittedEvent(int row, int column) : QEvent(WM_CELL_COMMITTED), row(row), column(column) {}
    const int row;
    const int column;
};

class EditCellEvent : public QEvent {
public:
    EditCellEvent(int row, int column) : QEvent(WM_EDIT_CELL), row(row), column(column) {}
    const int row;
    const int column;
};

class FrequencyEditedEvent : public QEvent {
public:
    FrequencyEditedEvent(int column, int row, bool rowWasProgrammed)
        : QEvent(WM_FREQUENCY_EDITED), column(column), row(row), rowWasProgrammed(rowWasProgrammed) {}
    // The message's packing: wParam the column; lParam the row in the low word, 0xFFFF in
    // the high word when the row was programmed before the edit.
    FrequencyEditedEvent(int wParam, quint32 lParam)
        : FrequencyEditedEvent(wParam, static_cast<int>(lParam & 0xFFFF), (lParam >> 16) == 0xFFFF) {}
    const int column;
    const int row;
    const bool rowWasProgrammed;
    int result = 0;
};

// Which editor window serves which column of which list, for the whole process.
class EditorRegistry {
public:
    static constexpr int Slots = 256;
    static void registerEditor(const QWidget* list, int column, QWidget* editor);
    static QWidget* lookup(const QWidget* list, int column);
    static void remove(const QWidget* list);
};

class CellEdit;
class CellCombo;

// The editing state and operations carried by every editor window.
class CellEditor {
public:
    explicit CellEditor(QWidget* window, tarn::EditorKind kind) : m_window(window), m_kind(kind) {}
    ~CellEditor();

    // page receives WM_FREQUENCY_EDITED; shared is the edit box's CellEditor (null for the
    // edit box itself).
    void create(QWidget* page, CellListCtrl* list, CellEditor* shared);
    void registerColumn(int column);

    void commit();
    void open(int row, int column);
    bool preTranslate(QEvent* event);
    // Current cell none, state idle; the editor windows stay as they are.
    void reset() { sharedEditor()->m_rule.reset(); }
    // Called as the editor window hides: a hidden editor must not keep the keyboard, or
    // keys typed next would land in a text that a later commit writes to the list.
    void returnFocusToList();
    // A combo whose list is closed holds an item picked by typing, not yet committed; any
    // open request (a click, the page's store) commits it first, as leaving the cell does.
    void setTypedChoice(CellCombo* combo) { sharedEditor()->m_typedCombo = combo; }
    void commitTypedChoice();
    // Where Enter or Tab goes after the current cell (Ctrl: the next row; backwards: Shift+Tab).
    void moveAfterCommit(Qt::KeyboardModifiers modifiers, bool backwards);

    tarn::CellOpenRule& rule() { return sharedEditor()->m_rule; }
    int currentRow() { return rule().currentRow; }
    int currentColumn() { return rule().currentColumn; }
    tarn::EditState editState() { return rule().editState; }
    void setEditState(tarn::EditState state) { rule().editState = state; }
    CellListCtrl* list() const { return m_list; }
    QWidget* window() const { return m_window; }
    tarn::EditorKind kind() const { return m_kind; }

private:
    CellEditor* sharedEditor() { return m_shared ? m_shared : this; }
    CellEdit* editBox();
    bool place(int row, int column);
    bool handleKey(QKeyEvent* key);
    void notifyCommitted(int row, int column);

    QPointer<QWidget> m_page;
    tarn::CellOpenRule m_rule;  // used only in the shared (edit box) editor
    CellListCtrl* m_list = nullptr;
    CellEditor* m_shared = nullptr;
    QWidget* m_window;
    tarn::EditorKind m_kind;
    bool m_rowWasProgrammed = false;
    QPointer<CellCombo> m_typedCombo;  // used only in the shared (edit box) editor
};

// The free-text editor: frequencies (digits and one point) and the name (letters and digits).
class CellEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CellEdit(QWidget* parent = nullptr);
    CellEditor& editor() { return m_editor; }
    // Sets the text as the editor's own (no typing filter).
    void setEditorText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onTextEdited(const QString& text);

    CellEditor m_editor;
    QString m_accepted;
};

// The drop-down editor of a choice or tone cell.
class CellCombo : public QComboBox {
    Q_OBJECT
public:
    explicit CellCombo(QWidget* parent = nullptr);
    CellEditor& editor() { return m_editor; }
    // The item whose text equals text, trying item 0 last; item 0 when none does.
    void selectText(const QString& text);
    void showPopup() override;
    void hidePopup() override;
    // Typing while the list is closed: selects the first item that begins with what was
    // typed so far (a pause starts afresh), letters in either case, without committing.
    void typeAhead(const QString& text);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void onActivated(int index);
    void onPopupClosedWithoutChoice();

    CellEditor m_editor;
    bool m_chosenSincePopup = false;
    bool m_popupShown = false;
    QString m_typed;
    QElapsedTimer m_lastTyped;
    bool m_typedChoice = false;
    // After a choice from the list the combo is gone and the list has the keyboard: Enter or
    // Tab then moves on from the chosen cell as from any other.
    bool m_moveAfterChoice = false;
    int m_choiceRow = -1;
    int m_choiceColumn = -1;
};

}  // namespace tarn
