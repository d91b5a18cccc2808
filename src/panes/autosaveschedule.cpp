#include "autosaveschedule.h"

#include <algorithm>

void AutosaveSchedule::changed(qint64 now)
{
    if (!m_firstChange)
        m_firstChange = now;
    m_lastChange = now;
}

void AutosaveSchedule::saved()
{
    m_firstChange.reset();
}

std::optional<qint64> AutosaveSchedule::dueAt() const
{
    if (!m_firstChange)
        return std::nullopt;
    return std::min(m_lastChange + m_quietMs, *m_firstChange + m_longestMs);
}

bool AutosaveSchedule::isDue(qint64 now) const
{
    const std::optional<qint64> due = dueAt();
    return due && now >= *due;
}
