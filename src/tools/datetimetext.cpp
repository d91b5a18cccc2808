#include "datetimetext.h"

#include <QRegularExpression>

namespace {

// The locale's long time without the zone's name ("t", and the blank before it).
QString longTimeFormat(const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    static const QRegularExpression zone(QStringLiteral("\\s*\\(?t+\\)?"));
    format.remove(zone);
    return format.trimmed();
}

} // namespace

QString DateTimeText::format(const QDateTime& moment, Form form, const QLocale& locale)
{
    const QDate date = moment.date();
    const QTime time = moment.time();
    switch (form) {
    case Form::General:
        return locale.toString(date, QLocale::ShortFormat) + u' ' +
               locale.toString(time, longTimeFormat(locale));
    case Form::LongDate:
        return locale.toString(date, QLocale::LongFormat);
    case Form::MediumDate:
        return locale.toString(date, QStringLiteral("dd-MMM-yy"));
    case Form::ShortDate:
        return locale.toString(date, QLocale::ShortFormat);
    case Form::LongTime:
        return locale.toString(time, longTimeFormat(locale));
    case Form::MediumTime:
        return locale.toString(time, QStringLiteral("hh:mm AP"));
    case Form::ShortTime:
        return locale.toString(time, QLocale::ShortFormat);
    }
    return QString();
}
