#include "pages/CellEditor.h"

#include "pages/CellListCtrl.h"
#include "radio/ChannelRecord.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>

#include <array>

namespace tarn {

using tarn::EditorKind;

// ---- EditorRegistry -------------------------------------------------------------------

namespace {

struct RegistryRecord {
    const QWidget* list = nullptr;
    std::array<QWidget*, EditorRegistry::Slots> editors{};
    RegistryRecord* next = nullptr;
};

RegistryRecord* registryHead = nullptr;

RegistryRecord* findRecord(const QWidget* list)
{
    for (RegistryRecord* r = registryHead; r; r = r->next)
        if (r->list == list)
            return r;
    return nullptr;
}

}  // namespace

void EditorRegistry::registerEditor(const QWidget* list, int column, QWidget* editor)
{
    if (column < 0 || column >= Slots)
        return;
    RegistryRecord* record = findRecord(list);
    if (!record) {
        record = new RegistryRecord;
        record->list = list;
        record->next = registryHead;
        registryHead = record;
    }
    record->editors[column] = editor;
}

QWidget* EditorRegistry::lookup(const QWidget* list, int column)
{
    if (column < 0 || column >= Slots)
        return nullptr;
    const RegistryRecord* record = findRecord(list);
    return record ? record->editors[column] : nullptr;
}

void EditorRegistry::remove(const QWidget* list)
{
    for (RegistryRecord** link = &registryHead; *link; link = &(*link)->next) {
        if ((*link)->list == list) {
            RegistryRecord* gone = *link;
            *link = gone->next;
            delete gone;
            return;
        }
    }
}

// ---- CellEditor -----------------------------------------------------------------------

CellEditor::~CellEditor()
{
    // Any editor going away takes its list's whole record with it, so no stale window is
    // ever looked up.
    if (m_list)
        EditorRegistry::remove(m_list);
}

void CellEditor::create(QWidget* page, CellListCtrl* list, CellEditor* shared)
{
    m_page = page;
    m_list = list;
    m_shared = shared;
    m_window->setFont(list->font());
    if (m_kind == EditorKind::Combo)
        list->installEventFilter(m_window);
}

void CellEditor::commitTypedChoice()
{
    CellEditor* shared = sharedEditor();
    if (CellCombo* combo = shared->m_typedCombo) {
        shared->m_typedCombo = nullptr;
        combo->editor().commit();
    }
}

void CellEditor::registerColumn(int column)
{
    EditorRegistry::registerEditor(m_list, column, m_window);
}

void CellEditor::returnFocusToList()
{
    QWidget* focus = QApplication::focusWidget();
    if (m_list && focus && (focus == m_window || m_window->isAncestorOf(focus)))
        m_list->setFocus(Qt::OtherFocusReason);
}

CellEdit* CellEditor::editBox()
{
    return static_cast<CellEdit*>(sharedEditor()->m_window);
}

void CellEditor::commit()
{
    const int row = currentRow();
    const int column = currentColumn();
    if (m_kind == EditorKind::EditBox) {
        auto* edit = static_cast<CellEdit*>(m_window);
        const QString text = edit->text();
        edit->hide();
        if (row < 0 || column < 0)
            return;
        m_list->setCellText(row, column, text);
        if ((column == 1 || column == 2) && m_page) {
            FrequencyEditedEvent edited(column, row, sharedEditor()->m_rowWasProgrammed);
            QCoreApplication::sendEvent(m_page, &edited);
        }
        notifyCommitted(row, column);
        return;
    }
    auto* combo = static_cast<CellCombo*>(m_window);
    if (combo->currentIndex() < 0)
        return;
    if (row >= 0 && column >= 0)
        m_list->setCellText(row, column, combo->currentText());
    combo->hide();
    if (row >= 0 && column >= 0)
        notifyCommitted(row, column);
}

void CellEditor::notifyCommitted(int row, int column)
{
    if (!m_page)
        return;
    CellCommittedEvent committed(row, column);
    QCoreApplication::sendEvent(m_page, &committed);
}

bool CellEditor::place(int row, int column)
{
    if (row < 0 || row >= m_list->rowCount() || column < 0 || column >= m_list->columnCount()
        || m_list->columnWidth(column) <= 4)
        return false;
    const QModelIndex index = m_list->model()->index(row, column);
    m_list->scrollTo(index);
    const QRect cell = m_list->visualRect(index);
    const int clientWidth = m_list->viewport()->width();
    const int left = cell.left() + 1;
    const int right = std::min(left + m_list->columnWidth(column), clientWidth);
    const QString text = m_list->cellText(row, column);

    if (m_kind == EditorKind::EditBox) {
        auto* edit = static_cast<CellEdit*>(m_window);
        edit->setGeometry(left, cell.top(), std::max(right - left, 1), cell.height());
        edit->show();
        edit->setEditorText(text);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    } else {
        auto* combo = static_cast<CellCombo*>(m_window);
        const int top = std::max(cell.top() - 2, 0);
        combo->setGeometry(left, top, std::max(right - left, 1), cell.bottom() + 1 - top);
        combo->show();
        combo->raise();
        combo->setFocus(Qt::OtherFocusReason);
        combo->selectText(text);
    }
    return true;
}

void CellEditor::open(int row, int column)
{
    commitTypedChoice();
    CellEditor* shared = sharedEditor();
    CellListCtrl* list = m_list;
    auto empty = [list](int r, int c) { return list->isCellEmpty(r, c); };
    const tarn::OpenStep step = shared->m_rule.decide(row, column, m_kind, empty, editBox()->text().isEmpty());
    if (step.commitEdit) {
        shared->m_rowWasProgrammed = step.rowWasProgrammed;
        shared->commit();
    }
    CellEditor* target = step.open == EditorKind::EditBox ? shared : this;
    const bool placed = target->place(step.row, step.column);
    shared->m_rule.apply(step, placed);
}

void CellEditor::moveAfterCommit(Qt::KeyboardModifiers modifiers, bool backwards)
{
    const auto move = tarn::NextEditorCell(
        currentRow(), currentColumn(), modifiers & Qt::ControlModifier,
        backwards || (modifiers & Qt::ShiftModifier), m_list->rowCount(), m_list->columnCount(),
        [this](int c) { return EditorRegistry::lookup(m_list, c) != nullptr; });
    if (!move)
        return;
    if (QWidget* editor = EditorRegistry::lookup(m_list, move->column))
        QCoreApplication::postEvent(editor, new EditCellEvent(move->row, move->column));
}

bool CellEditor::handleKey(QKeyEvent* key)
{
    const int k = key->key();
    const bool enterOrTab = k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab
                            || k == Qt::Key_Backtab;
    if (m_kind == EditorKind::EditBox) {
        auto* edit = static_cast<CellEdit*>(m_window);
        if (enterOrTab) {
            if (!edit->isVisible())
                return false;
            const int row = currentRow();
            if (row >= 0 && !m_list->isCellEmpty(row, 1)) {
                // A non-empty column 1 means the row is programmed, whatever the last
                // click transition left in the flag: committing it as a new channel
                // would put the defaults over the row's tones, options and name.
                m_rowWasProgrammed = true;
                commit();
            }
            moveAfterCommit(key->modifiers(), k == Qt::Key_Backtab);
            m_list->clearSelection();
            return true;
        }
        if (k == Qt::Key_Up || k == Qt::Key_Down) {
            const int row = currentRow();
            const int column = currentColumn();
            if (row < 0 || column < 0)
                return true;
            const int next = k == Qt::Key_Up ? std::max(row - 1, 0)
                                             : std::min(row + 1, m_list->rowCount() - 1);
            if (QWidget* editor = EditorRegistry::lookup(m_list, column)) {
                EditCellEvent request(next, column);
                QCoreApplication::sendEvent(editor, &request);
            }
            return true;
        }
        if (k == Qt::Key_Escape) {
            edit->hide();
            return true;
        }
        return false;
    }

    auto* combo = static_cast<CellCombo*>(m_window);
    if (enterOrTab) {
        if (!combo->isVisible())
            return false;
        commit();
        moveAfterCommit(key->modifiers(), k == Qt::Key_Backtab);
        m_list->clearSelection();
        return true;
    }
    // Alt+Up and Alt+Down open and close the drop-down list, as F4 does.
    if ((k == Qt::Key_Up || k == Qt::Key_Down) && (key->modifiers() & Qt::AltModifier))
        return false;
    if (k == Qt::Key_Up) {
        combo->setCurrentIndex(std::max(combo->currentIndex() - 1, 0));
        return true;
    }
    if (k == Qt::Key_Down) {
        combo->setCurrentIndex(std::min(combo->currentIndex() + 1, combo->count() - 1));
        return true;
    }
    if (k == Qt::Key_Escape) {
        combo->hide();
        return true;
    }
    const QString text = key->text();
    if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) && !text.isEmpty()
        && text.at(0).isPrint() && !text.at(0).isSpace()) {
        combo->typeAhead(text);
        return true;
    }
    return false;
}

bool CellEditor::preTranslate(QEvent* event)
{
    if (event->type() == WM_EDIT_CELL && !m_window->isEnabled())
        return true;  // the page is read-only
    if (event->type() == WM_EDIT_CELL) {
        auto* request = static_cast<EditCellEvent*>(event);
        open(request->row, request->column);
        return true;
    }
    if (event->type() == QEvent::KeyPress && m_list)
        return handleKey(static_cast<QKeyEvent*>(event));
    return false;
}

// ---- CellEdit -------------------------------------------------------------------------

CellEdit::CellEdit(QWidget* parent) : QLineEdit(parent), m_editor(this, EditorKind::EditBox)
{
    setFrame(true);
    hide();
    connect(this, &QLineEdit::textEdited, this, &CellEdit::onTextEdited);
}

void CellEdit::setEditorText(const QString& text)
{
    m_accepted = text;
    setText(text);
}

bool CellEdit::event(QEvent* event)
{
    if (m_editor.preTranslate(event))
        return true;
    return QLineEdit::event(event);
}

void CellEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A context menu of the box itself keeps the edit going.
    if (event->reason() != Qt::PopupFocusReason)
        hide();
}

void CellEdit::hideEvent(QHideEvent* event)
{
    m_editor.returnFocusToList();
    QLineEdit::hideEvent(event);
}

void CellEdit::onTextEdited(const QString& text)
{
    if (!m_editor.list())
        return;
    const int column = m_editor.currentColumn();
    if (column == 10) {
        if (text.isEmpty()) {
            m_accepted = text;
            return;
        }
        const QString clean = QString::fromStdString(tarn::FilterNameText(text.toStdString()));
        if (clean != text) {
            const int cursor = cursorPosition() - (text.size() - clean.size());
            setText(clean);
            setCursorPosition(std::clamp(cursor, 0, static_cast<int>(clean.size())));
        }
        m_accepted = clean;
        return;
    }
    if (column == 1 || column == 2) {
        // The transmit cell also takes an offset from the receive frequency: "+0.6", "-5".
        const std::string typed = text.toStdString();
        if (column == 1 ? tarn::IsAcceptableFrequencyText(typed) : tarn::IsAcceptableTransmitText(typed)) {
            m_accepted = text;
            return;
        }
        const int cursor = cursorPosition() - (text.size() - m_accepted.size());
        setText(m_accepted);
        setCursorPosition(std::clamp(cursor, 0, static_cast<int>(m_accepted.size())));
        return;
    }
    m_accepted = text;
}

// ---- CellCombo ------------------------------------------------------------------------

CellCombo::CellCombo(QWidget* parent) : QComboBox(parent), m_editor(this, EditorKind::Combo)
{
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setFocusPolicy(Qt::StrongFocus);
    setMaxVisibleItems(12);
    hide();
    connect(this, &QComboBox::activated, this, &CellCombo::onActivated);
}

void CellCombo::selectText(const QString& text)
{
    for (int i = 1; i < count(); ++i) {
        if (itemText(i) == text) {
            setCurrentIndex(i);
            return;
        }
    }
    setCurrentIndex(count() > 0 ? 0 : -1);
}

bool CellCombo::event(QEvent* event)
{
    if (m_editor.preTranslate(event))
        return true;
    return QComboBox::event(event);
}

void CellCombo::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // Its own drop-down list takes the focus while it is open; the platform does not always
    // name the popup as the reason.
    if (event->reason() != Qt::PopupFocusReason && !m_popupShown && !view()->isVisible()) {
        // Leaving the cell keeps what was typed into it.
        if (m_typedChoice)
            m_editor.commit();
        hide();
    }
}

void CellCombo::hideEvent(QHideEvent* event)
{
    // Hidden without a commit (Escape), a typed choice is dropped before the focus leaves.
    m_typedChoice = false;
    m_typed.clear();
    m_editor.setTypedChoice(nullptr);
    m_editor.returnFocusToList();
    QComboBox::hideEvent(event);
}

void CellCombo::typeAhead(const QString& text)
{
    if (!m_lastTyped.isValid() || m_lastTyped.elapsed() > QApplication::keyboardInputInterval())
        m_typed.clear();
    m_lastTyped.start();
    auto find = [this](const QString& prefix) {
        for (int i = 0; i < count(); ++i)
            if (itemText(i).startsWith(prefix, Qt::CaseInsensitive))
                return i;
        return -1;
    };
    int index = find(m_typed + text);
    if (index >= 0) {
        m_typed += text;
    } else {
        index = find(text);
        if (index < 0)
            return;
        m_typed = text;
    }
    setCurrentIndex(index);
    m_typedChoice = true;
    m_moveAfterChoice = false;
    m_editor.setTypedChoice(this);
}

bool CellCombo::eventFilter(QObject* watched, QEvent* event)
{
    if (m_moveAfterChoice && watched == m_editor.list() && event->type() == QEvent::KeyPress) {
        m_moveAfterChoice = false;
        auto* key = static_cast<QKeyEvent*>(event);
        const int k = key->key();
        const bool move = k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_Tab || k == Qt::Key_Backtab;
        if (move && !isVisible() && m_editor.currentRow() == m_choiceRow && m_editor.currentColumn() == m_choiceColumn) {
            m_editor.moveAfterCommit(key->modifiers(), k == Qt::Key_Backtab);
            m_editor.list()->clearSelection();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}

void CellCombo::showPopup()
{
    m_chosenSincePopup = false;
    m_popupShown = true;
    QComboBox::showPopup();
}

void CellCombo::hidePopup()
{
    QComboBox::hidePopup();
    // Hiding the combo also lands here; only a popup that was open can end without a choice.
    if (!m_popupShown)
        return;
    m_popupShown = false;
    // A choice is reported only after the popup has closed; decide once it had its chance.
    QTimer::singleShot(0, this, [this] {
        if (!m_chosenSincePopup)
            onPopupClosedWithoutChoice();
    });
}

void CellCombo::onActivated(int)
{
    m_chosenSincePopup = true;
    CellListCtrl* list = m_editor.list();
    if (!list)
        return;
    m_editor.commit();
    hide();
    m_moveAfterChoice = true;
    m_choiceRow = m_editor.currentRow();
    m_choiceColumn = m_editor.currentColumn();
    list->setFocus(Qt::OtherFocusReason);
    list->clearRowSelection(m_editor.currentRow());
}

void CellCombo::onPopupClosedWithoutChoice()
{
    CellListCtrl* list = m_editor.list();
    if (!list)
        return;
    hide();
    list->setFocus(Qt::OtherFocusReason);
    m_editor.setEditState(tarn::EditState::Idle);
    list->clearRowSelection(m_editor.currentRow());
}

}  // namespace tarn
