#include "windowtiling.h"

namespace WindowTiling {

namespace {

QList<QRect> split(const QRect& area, int count, bool vertical)
{
    QList<QRect> tiles;
    if (count <= 0)
        return tiles;
    const int total = vertical ? area.height() : area.width();
    const int step = total / count;
    for (int i = 0; i < count; ++i) {
        const int start = i * step;
        const int size = i == count - 1 ? total - start : step;
        tiles.append(vertical ? QRect(area.left(), area.top() + start, area.width(), size)
                              : QRect(area.left() + start, area.top(), size, area.height()));
    }
    return tiles;
}

} // namespace

QList<QRect> rows(const QRect& area, int count)
{
    return split(area, count, true);
}

QList<QRect> columns(const QRect& area, int count)
{
    return split(area, count, false);
}

} // namespace WindowTiling
