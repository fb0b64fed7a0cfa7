// Where page windows go inside the main window's client area: their size from the page
// table, kept inside the visible area, and the cascade that keeps usable sizes.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace tarn {

// The frame's wanted size (fiftieths of the main window's outer size), no larger than the
// visible client area.
QSize pageFrameSize(QSize outer, int widthFiftieths, int heightFiftieths, QSize area);

// The position that keeps all of `frame` inside an area of that size, moving it as little
// as possible (to the top-left corner when it is larger).
QPoint placeInside(const QRect& frame, QSize area);

// Window `index` of `count` in a cascade stepping by `step` pixels: each keeps its wanted
// size as far as the area leaves room for the windows behind and in front of it.
QRect cascadeRect(int index, int count, QSize wanted, QSize area, int step);

}  // namespace tarn
