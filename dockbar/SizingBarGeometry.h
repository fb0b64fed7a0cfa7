// The size arithmetic of the resizable docking bar, apart from its widgets: which side it
// docks at, the insets of its client area, the largest size a drag may reach and the size
// an edge drag gives.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <Qt>

namespace tarn::dock {

// The dock bar that holds the bar, by its control id; 0 while floating.
enum DockSide : int {
    DockFloating = 0,
    DockTop = 59419,
    DockLeft = 59420,
    DockRight = 59421,
    DockBottom = 59422,
};

DockSide dockSideFor(Qt::DockWidgetArea area, bool floating);
// Docked at the top or bottom.
bool isHorizontal(DockSide side);

// The client area's inset from the bar's outer edges: the gripper strip on one side, the
// sizing edge on the side facing the frame's middle; nothing while floating.
QMargins clientInset(DockSide side, int edgeWidth, int gripperWidth);

// The sizes the frame leaves around the bar, for the largest size of a drag.
struct FrameSpace {
    QSize client;       // the frame's client area (without its menu bar)
    QSize docksBefore;  // the dock area at the top (horizontal bar) or left (vertical bar)
    QSize docksAfter;   // the dock area at the bottom or right
    int statusBarHeight = 0;
};

// The frame's client size minus the docks across the bar's axis (and the status bar for a
// horizontal bar), minus 4 x 4, plus the bar's current size.
QSize CalcMaxSize(const FrameSpace& space, QSize current, bool horizontal);

// The bar's length along its axis while its edge is dragged from `anchor` to `pointer`:
// growing towards the middle of the frame, never below `minLength` nor above `maxLength`
// (the smallest size wins when the frame leaves less than that).
int trackedLength(int startLength, QPoint anchor, QPoint pointer, DockSide side, int minLength,
                  int maxLength);

// The outline of a drag without live resizing: the edge moved by the size change, one
// pixel wider on every side, four pixels shorter at the bottom for a vertical bar.
QRect outlineRect(const QRect& edge, int sizeChange, DockSide side);

}  // namespace tarn::dock
