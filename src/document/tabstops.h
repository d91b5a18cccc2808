#pragma once

#include <QList>
#include <QString>

// The "Tabs" setting: tab stops in character widths of 120 twips.
namespace TabStops {
constexpr int TwipsPerCharacter = 120;
// Each comma-separated piece's leading number, rounded to a whole one (halves to
// even); a piece without one is 0. An empty setting gives no tab stops.
QList<int> CreateTabStops(const QString& setting);
} // namespace TabStops
