#include "settingvalue.h"

#include <QRegularExpression>
#include <limits>

namespace SettingValue {

std::optional<bool> toBoolean(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QStringLiteral("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (ok)
        return number != 0;
    return std::nullopt;
}

std::optional<qint16> toInteger(const QString& text)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || number < std::numeric_limits<qint16>::min() - 0.5 ||
        number >= std::numeric_limits<qint16>::max() + 0.5)
        return std::nullopt;
    return static_cast<qint16>(qRound(number));
}

std::optional<qint32> toLong(const QString& text)
{
    bool ok = false;
    const qint64 number = text.trimmed().toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    // Colours written unsigned (0x80000005 as 2147483653) still mean the same value.
    if (number >= std::numeric_limits<qint32>::min() &&
        number <= std::numeric_limits<quint32>::max())
        return static_cast<qint32>(static_cast<quint32>(number));
    return std::nullopt;
}

std::optional<float> toNumber(const QString& text)
{
    bool ok = false;
    const float number = text.trimmed().toFloat(&ok);
    if (!ok || !qIsFinite(number))
        return std::nullopt;
    return number;
}

QString fromBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromNumber(double value)
{
    return QString::number(static_cast<float>(value), 'g', 7);
}

double leadingNumber(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[-+]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? match.captured(0).trimmed().toDouble() : 0.0;
}

QPair<QString, QString> splitAtFirstComma(const QString& text)
{
    const qsizetype comma = text.indexOf(u',');
    if (comma < 0)
        return {text, QString()};
    return {text.left(comma), text.mid(comma + 1)};
}

} // namespace SettingValue
