#include "pages/CellListCtrl.h"

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace tarn {

CellListCtrl::CellListCtrl(QWidget* parent) : QTableWidget(parent)
{
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setStretchLastSection(false);
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { beforeScroll(); });
}

void CellListCtrl::setShape(int rows, int columns)
{
    setColumnCount(columns);
    setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            if (item(r, c))
                continue;
            auto* cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            setItem(r, c, cell);
        }
    }
}

QString CellListCtrl::cellText(int row, int column) const
{
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void CellListCtrl::setCellText(int row, int column, const QString& text)
{
    QTableWidgetItem* cell = item(row, column);
    if (cell && cell->text() != text)
        cell->setText(text);
}

void CellListCtrl::clearRowSelection(int row)
{
    if (row < 0 || row >= rowCount() || !selectionModel())
        return;
    selectionModel()->select(model()->index(row, 0),
                             QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

std::vector<int> CellListCtrl::selectedRowNumbers() const
{
    std::vector<int> rows;
    if (!selectionModel())
        return rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CellListCtrl::selectRowNumbers(const std::vector<int>& rows)
{
    std::vector<int> valid;
    for (int row : rows)
        if (row >= 0 && row < rowCount())
            valid.push_back(row);
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    // One range per run of rows: painting asks the selection about every cell, and each
    // range makes every question longer.
    QItemSelection selection;
    for (std::size_t k = 0; k < valid.size();) {
        std::size_t end = k;
        while (end + 1 < valid.size() && valid[end + 1] == valid[end] + 1)
            ++end;
        selection.select(model()->index(valid[k], 0), model()->index(valid[end], columnCount() - 1));
        k = end + 1;
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (valid.empty())
        return;
    const QModelIndex first = model()->index(valid.front(), 0);
    m_anchorRow = valid.front();
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    // As much of the block in sight as fits, its first row always.
    scrollTo(model()->index(valid.back(), 0));
    scrollTo(first);
}

void CellListCtrl::selectByClick(int row, Qt::KeyboardModifiers modifiers)
{
    QItemSelectionModel* selection = selectionModel();
    const QModelIndex index = model()->index(row, 0);
    if (modifiers & Qt::ShiftModifier) {
        const int anchor = m_anchorRow >= 0 && m_anchorRow < rowCount() ? m_anchorRow : row;
        const QItemSelection span(model()->index(std::min(anchor, row), 0), model()->index(std::max(anchor, row), 0));
        const auto add = (modifiers & Qt::ControlModifier) ? QItemSelectionModel::Select
                                                           : QItemSelectionModel::ClearAndSelect;
        selection->select(span, add | QItemSelectionModel::Rows);
        m_anchorRow = anchor;
    } else {
        selection->select(index, QItemSelectionModel::Toggle | QItemSelectionModel::Rows);
        m_anchorRow = row;
    }
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

void CellListCtrl::beforeScroll()
{
    setFocus(Qt::OtherFocusReason);
    clearRowSelection(0);
}

void CellListCtrl::wheelEvent(QWheelEvent* event)
{
    beforeScroll();
    QTableWidget::wheelEvent(event);
}

void CellListCtrl::mousePressEvent(QMouseEvent* event)
{
    m_pressRows.clear();
    m_pressRow = -1;
    m_selectionClick = false;
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
    if (event->button() != Qt::LeftButton || !index.isValid()) {
        QTableWidget::mousePressEvent(event);
        return;
    }
    if (index.column() != 0) {
        m_anchorRow = index.row();
        if (modifiers) {
            // Only the row numbers select rows: elsewhere a click with Ctrl or Shift opens the
            // cell as any click does, and the selection is that row.
            QMouseEvent plain(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                              event->button(), event->buttons(), Qt::NoModifier, event->pointingDevice());
            QTableWidget::mousePressEvent(&plain);
            return;
        }
        QTableWidget::mousePressEvent(event);
        return;
    }

    // The row numbers are handled here: a selection click, or a press that may become a drag
    // (of the selected rows when it is on one of them), or else a plain click on release.
    setFocus(Qt::MouseFocusReason);
    event->accept();
    if (modifiers) {
        selectByClick(index.row(), modifiers);
        m_selectionClick = true;
        return;
    }
    const std::vector<int> selected = selectedRowNumbers();
    m_pressRow = index.row();
    m_pressPos = pos;
    m_pressRows = std::binary_search(selected.begin(), selected.end(), m_pressRow) ? selected
                                                                                   : std::vector<int>{m_pressRow};
}

void CellListCtrl::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressRow < 0 || !(event->buttons() & Qt::LeftButton)) {
        if (!m_selectionClick)
            QTableWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (!m_dragging && (pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
        return;
    m_dragging = true;
    viewport()->setCursor(Qt::DragMoveCursor);
    // Near the top or the bottom the list scrolls, so a drop can reach any row.
    const int margin = verticalHeader()->defaultSectionSize();
    QScrollBar* bar = verticalScrollBar();
    if (pos.y() < margin)
        bar->setValue(bar->value() - 1);
    else if (pos.y() > viewport()->height() - margin)
        bar->setValue(bar->value() + 1);
    m_dropBefore = dropPlace(pos);
    viewport()->update();
}

void CellListCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || (m_pressRow < 0 && !m_selectionClick)) {
        QTableWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (m_selectionClick) {
        m_selectionClick = false;
        return;
    }
    const int row = m_pressRow;
    const std::vector<int> rows = m_pressRows;
    if (m_dragging) {
        const int before = m_dropBefore;
        endDrag();
        emit rowsDropped(rows, before);
        return;
    }
    endDrag();
    // A plain click on a row number: the selection is that row, and the click opens its
    // receive frequency as any click on the row does.
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_anchorRow = row;
    emit clicked(index);
}

void CellListCtrl::endDrag()
{
    m_dragging = false;
    m_pressRow = -1;
    m_pressRows.clear();
    m_dropBefore = -1;
    viewport()->unsetCursor();
    viewport()->update();
}

int CellListCtrl::dropPlace(const QPoint& pos) const
{
    const int row = rowAt(pos.y());
    if (row < 0)
        return pos.y() < 0 ? rowAt(0) : rowCount();
    const QRect cell = visualRect(model()->index(row, 0));
    return pos.y() > cell.center().y() ? row + 1 : row;
}

void CellListCtrl::paintEvent(QPaintEvent* event)
{
    QTableWidget::paintEvent(event);
    if (!m_dragging || m_dropBefore < 0)
        return;
    // A line between the rows where the dragged rows will land.
    const int row = std::min(m_dropBefore, rowCount() - 1);
    const QRect cell = visualRect(model()->index(row, 0));
    const int y = m_dropBefore < rowCount() ? cell.top() : cell.bottom() + 1;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
    painter.drawLine(0, y, viewport()->width(), y);
}

}  // namespace tarn
