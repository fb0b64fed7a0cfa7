// The report list the channel page edits in place: a plain table of texts whose cells are
// edited only by the editors laid over them (CellEdit, CellCombo).
#pragma once

#include <QTableWidget>

class CellListCtrl : public QTableWidget {
    Q_OBJECT
public:
    explicit CellListCtrl(QWidget* parent = nullptr);

    // Sets the number of rows and columns and gives every cell an empty, read-only item.
    void setShape(int rows, int columns);
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);
    bool isCellEmpty(int row, int column) const { return cellText(row, column).isEmpty(); }
    void clearRowSelection(int row);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    // Scrolling moves the cells away from under an open editor, so the list takes the
    // focus first, which hides the editor without committing it.
    void beforeScroll();
};
