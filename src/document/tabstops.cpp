#include "tabstops.h"

#include <QRegularExpression>
#include <cmath>

QList<int> TabStops::CreateTabStops(const QString& setting)
{
    QList<int> stops;
    if (setting.trimmed().isEmpty())
        return stops;
    static const QRegularExpression leadingNumber(
        QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)([eE][-+]?\\d+)?"));
    for (const QString& piece : setting.split(u',')) {
        const QRegularExpressionMatch match = leadingNumber.match(piece);
        const double value = match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0;
        stops.append(std::isfinite(value) ? int(qBound(-1e6, std::nearbyint(value), 1e6)) : 0);
    }
    return stops;
}
