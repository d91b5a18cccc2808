#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The seven forms Insert Date/Time offers, of a given moment in a given locale.
namespace DateTimeText {
enum class Form { General, LongDate, MediumDate, ShortDate, LongTime, MediumTime, ShortTime };
// General: short date and long time; Medium Date: "08-Dec-26"; Medium Time: "03:04 PM";
// long times leave out the time zone's name.
QString format(const QDateTime& moment, Form form, const QLocale& locale);
} // namespace DateTimeText
