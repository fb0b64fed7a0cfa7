#include "app/NavigationBar.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>

namespace tarn {

NavigationTree::NavigationTree(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("tree%1").arg(ControlId));
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    // A label may be edited (F2), but the texts come back from the language strings on
    // the next fill: nothing is kept.
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
    setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
}

void NavigationTree::FillTree(const QStringList& texts, bool clearFirst)
{
    if (clearFirst)
        clear();
    if (texts.isEmpty())
        return;
    auto* root = new QTreeWidgetItem(this, QStringList{texts.first()});
    root->setFlags(root->flags() | Qt::ItemIsEditable);
    for (int i = 1; i < texts.size(); ++i) {
        auto* page = new QTreeWidgetItem(root, QStringList{texts.at(i)});
        page->setFlags(page->flags() | Qt::ItemIsEditable);
    }
    setCurrentItem(root);
    root->setSelected(true);
    root->setExpanded(true);
    for (int i = 0; i < root->childCount(); ++i)
        root->child(i)->setExpanded(true);
}

QRect NavigationTree::labelRect(const QTreeWidgetItem* item) const
{
    if (!item)
        return {};
    const QRect row = visualItemRect(item);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int width = fontMetrics().horizontalAdvance(item->text(0)) + 2 * margin;
    return QRect(row.left(), row.top(), qMin(width, row.width()), row.height());
}

void NavigationTree::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    QTreeWidgetItem* item = itemAt(pos);
    hitFlags = OnNothing;
    if (item) {
        if (labelRect(item).contains(pos))
            hitFlags = OnItemLabel;
        else if (pos.x() < visualItemRect(item).left())
            hitFlags = OnItemButton;
        else
            hitFlags = OnItemRow;
    }
    if (hitFlags == OnItemLabel && event->button() == Qt::LeftButton && opensPages) {
        const QString text = item->text(0);
        emit labelPressed(text);
        setCurrentItem(item);
    }
    QTreeWidget::mousePressEvent(event);
}

NavigationBar::NavigationBar(QWidget* parent) : SizingBar(parent), m_tree(new NavigationTree)
{
    setClientWidget(m_tree);
}

void NavigationBar::showWholeLabels()
{
    if (dockSide != tarn::dock::DockLeft && dockSide != tarn::dock::DockRight)
        return;
    const QMargins inset = tarn::dock::clientInset(dockSide, edgeWidth, gripperWidth);
    const int needed = m_tree->labelsWidth() + inset.left() + inset.right() + 4;
    floatSize.setWidth(qMax(floatSize.width(), needed));
    if (needed > dockedLength())
        setDockedLength(needed);
}

}  // namespace tarn
