#include "pages/CellListCtrl.h"

#include <QHeaderView>
#include <QScrollBar>

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
