#include "dockbar/SizingBarGeometry.h"

#include <algorithm>

namespace tarn::dock {

DockSide dockSideFor(Qt::DockWidgetArea area, bool floating)
{
    if (floating)
        return DockFloating;
    switch (area) {
    case Qt::TopDockWidgetArea: return DockTop;
    case Qt::LeftDockWidgetArea: return DockLeft;
    case Qt::RightDockWidgetArea: return DockRight;
    case Qt::BottomDockWidgetArea: return DockBottom;
    default: return DockFloating;
    }
}

bool isHorizontal(DockSide side)
{
    return side == DockTop || side == DockBottom;
}

QMargins clientInset(DockSide side, int edgeWidth, int gripperWidth)
{
    switch (side) {
    case DockTop: return {gripperWidth + 2, 2, 2, edgeWidth + 2};
    case DockLeft: return {2, gripperWidth + 2, edgeWidth + 2, 6};
    case DockRight: return {edgeWidth + 2, gripperWidth + 2, 2, 6};
    case DockBottom: return {gripperWidth + 2, edgeWidth + 2, 2, 2};
    case DockFloating: break;
    }
    return {};
}

QSize CalcMaxSize(const FrameSpace& space, QSize current, bool horizontal)
{
    const QSize across = horizontal
        ? QSize(0, space.docksBefore.height() + space.docksAfter.height() + space.statusBarHeight)
        : QSize(space.docksBefore.width() + space.docksAfter.width(), 0);
    return space.client - across - QSize(4, 4) + current;
}

int trackedLength(int startLength, QPoint anchor, QPoint pointer, DockSide side, int minLength,
                  int maxLength)
{
    const QPoint offset = pointer - anchor;
    int length = startLength;
    switch (side) {
    case DockTop: length += offset.y(); break;
    case DockBottom: length -= offset.y(); break;
    case DockLeft: length += offset.x(); break;
    case DockRight: length -= offset.x(); break;
    case DockFloating: break;
    }
    return std::max(minLength, std::min(length, maxLength));
}

QRect outlineRect(const QRect& edge, int sizeChange, DockSide side)
{
    QRect rect = edge;
    switch (side) {
    case DockTop: rect.translate(0, sizeChange); break;
    case DockBottom: rect.translate(0, -sizeChange); break;
    case DockLeft: rect.translate(sizeChange, 0); break;
    case DockRight: rect.translate(-sizeChange, 0); break;
    case DockFloating: break;
    }
    if (side == DockLeft || side == DockRight)
        rect.setBottom(rect.bottom() - 4);
    return rect.adjusted(-1, -1, 1, 1);
}

}  // namespace tarn::dock
