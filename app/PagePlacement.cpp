#include "app/PagePlacement.h"

#include <algorithm>

namespace tarn {

QSize pageFrameSize(QSize outer, int widthFiftieths, int heightFiftieths, QSize area)
{
    const QSize wanted(outer.width() * widthFiftieths / 50, outer.height() * heightFiftieths / 50);
    return wanted.boundedTo(area);
}

QPoint placeInside(const QRect& frame, QSize area)
{
    const int x = std::max(0, std::min(frame.x(), area.width() - frame.width()));
    const int y = std::max(0, std::min(frame.y(), area.height() - frame.height()));
    return {x, y};
}

QRect cascadeRect(int index, int count, QSize wanted, QSize area, int step)
{
    // Room for the whole cascade (there are three pages at most), never less than half
    // the area.
    const int spread = std::max(0, count - 1) * step;
    const QSize room(std::max(area.width() - spread, area.width() / 2),
                     std::max(area.height() - spread, area.height() / 2));
    return {QPoint(index * step, index * step), wanted.boundedTo(room)};
}

}  // namespace tarn
