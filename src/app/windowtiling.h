#pragma once

#include <QList>
#include <QRect>

// Places for n windows in an area: one above another (each the full width),
// or side by side (each the full height). The last window takes what the
// division leaves over, so the tiles fill the area exactly.
namespace WindowTiling {
QList<QRect> rows(const QRect& area, int count);
QList<QRect> columns(const QRect& area, int count);
} // namespace WindowTiling
