#include "tasknumber.h"

#include <QByteArray>
#include <QList>

namespace {

struct StatFields {
    qint64 pid = 0;
    char state = 0;
    quint64 startTime = 0;
};

// "pid (name) state ppid ...": the name may hold blanks and brackets, so the
// fields after it are counted from its last closing bracket.
bool parse(QByteArrayView stat, StatFields& fields)
{
    const qsizetype open = stat.indexOf('(');
    const qsizetype close = stat.lastIndexOf(')');
    if (open < 1 || close < open)
        return false;
    bool ok = false;
    fields.pid = stat.first(open).trimmed().toLongLong(&ok);
    if (!ok || fields.pid <= 0)
        return false;
    const QList<QByteArray> rest = stat.sliced(close + 1).toByteArray().simplified().split(' ');
    // Field 3 (the state) is the first after the name; field 22 the start time.
    constexpr int StateField = 3;
    constexpr int StartTimeField = 22;
    if (rest.size() <= StartTimeField - StateField || rest.first().size() != 1)
        return false;
    fields.state = rest.first().at(0);
    fields.startTime = rest.at(StartTimeField - StateField).toULongLong(&ok);
    return ok;
}

} // namespace

TaskNumber TaskNumber::fromStat(QByteArrayView stat)
{
    StatFields fields;
    if (!parse(stat, fields))
        return {};
    return {fields.pid, fields.startTime};
}

bool TaskNumber::sameProcess(QByteArrayView statNow) const
{
    StatFields fields;
    if (isNone() || m_startTime == 0 || !parse(statNow, fields))
        return false;
    // Z: ended, not yet reaped; X: being taken away.
    if (fields.state == 'Z' || fields.state == 'X')
        return false;
    return fields.pid == m_pid && fields.startTime == m_startTime;
}
