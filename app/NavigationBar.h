// The navigation bar at the side of the main window: a tree of the three pages under the
// program's title; pressing a page's name opens or activates that page.
#pragma once

#include "dockbar/SizingBar.h"

#include <QStringList>
#include <QTreeWidget>

namespace tarn {

class NavigationTree : public QTreeWidget {
    Q_OBJECT
public:
    static constexpr int ControlId = 2001;

    explicit NavigationTree(QWidget* parent = nullptr);

    // Inserts the root and the page items (texts: root first), all expanded, the root
    // selected; `clearFirst` removes the items there were.
    void FillTree(const QStringList& texts, bool clearFirst);

    // Where the last press landed: on an item's label, or elsewhere (its expand button,
    // the empty space of its row, below the items).
    enum HitFlag : unsigned { OnNothing = 0, OnItemLabel = 1, OnItemButton = 2, OnItemRow = 4 };
    unsigned hitFlags = OnNothing;
    // The part of the row that holds the item's text.
    QRect labelRect(const QTreeWidgetItem* item) const;
    // The width that shows every label whole.
    int labelsWidth() const { return sizeHintForColumn(0) + 2 * frameWidth(); }
    // While false (a transfer runs), pressing a label opens no page.
    bool opensPages = true;

signals:
    // The text of the item whose label was pressed.
    void labelPressed(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

class NavigationBar : public SizingBar {
    Q_OBJECT
public:
    explicit NavigationBar(QWidget* parent = nullptr);

    NavigationTree* tree() const { return m_tree; }
    // Closes the tree to page opening (while a transfer runs, as the Edit menu's page
    // entries are) or opens it again.
    void setPageOpeningEnabled(bool enabled) { m_tree->opensPages = enabled; }
    // Widens a bar docked at a side until every label shows whole.
    void showWholeLabels();

private:
    NavigationTree* m_tree;
};

}  // namespace tarn
