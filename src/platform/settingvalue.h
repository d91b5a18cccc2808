#pragma once

#include <QPair>
#include <QString>
#include <optional>

// How the stored texts convert to and from the types of the settings keys.
// Every reader returns nothing for a text it cannot convert, so the caller's
// default applies, as it does for an absent key.
namespace SettingValue {

std::optional<bool> toBoolean(const QString& text);
std::optional<qint16> toInteger(const QString& text);
std::optional<qint32> toLong(const QString& text);
std::optional<float> toNumber(const QString& text);

QString fromBoolean(bool value);
QString fromNumber(double value);

// The leading number of a text, as "10.5pt" gives 10.5 and "" gives 0.
double leadingNumber(const QString& text);
// "Courier New,10" gives ("Courier New", "10"); without a comma the second is empty.
QPair<QString, QString> splitAtFirstComma(const QString& text);

} // namespace SettingValue
