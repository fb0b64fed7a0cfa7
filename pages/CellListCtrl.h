// The report list the channel page edits in place: a plain table of texts whose cells are
// edited only by the editors laid over them (CellEdit, CellCombo). Its row numbers (column
// 0) also select whole rows (Ctrl+click, Shift+click) and drag them to another place.
#pragma once

#include <QTableWidget>

#include <vector>

namespace tarn {

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

    // The selected rows, ascending.
    std::vector<int> selectedRowNumbers() const;
    // Selects exactly `rows` and shows the first of them; the first becomes the anchor of
    // the next Shift+click.
    void selectRowNumbers(const std::vector<int>& rows);
    // The place a drag would drop its rows now (before that row; rowCount() after the
    // last), -1 while no drag is under way.
    int dropRow() const { return m_dragging ? m_dropBefore : -1; }

signals:
    // Rows dragged by their numbers and dropped before row `before` (rowCount(): after the
    // last row).
    void rowsDropped(const std::vector<int>& rows, int before);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Scrolling moves the cells away from under an open editor, so the list takes the
    // focus first, which hides the editor without committing it.
    void beforeScroll();
    // Ctrl+click adds or removes a row, Shift+click selects from the anchor to the row,
    // both together add that span.
    void selectByClick(int row, Qt::KeyboardModifiers modifiers);
    int dropPlace(const QPoint& pos) const;
    void endDrag();

    int m_anchorRow = -1;
    // A left press on a row number: the rows it may drag, and where it was.
    std::vector<int> m_pressRows;
    int m_pressRow = -1;
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropBefore = -1;
    // The press was a selection click: its release opens nothing.
    bool m_selectionClick = false;
};

}  // namespace tarn
