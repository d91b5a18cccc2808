#pragma once

#include <QtGlobal>
#include <optional>

// When a document that saves itself is due: a quiet moment after the last
// change, and at the latest a while after the first change not yet saved, so
// steady typing is saved too. Times are milliseconds of any steady clock.
class AutosaveSchedule {
public:
    static constexpr qint64 QuietMs = 1000;
    static constexpr qint64 LongestMs = 10000;

    explicit AutosaveSchedule(qint64 quietMs = QuietMs, qint64 longestMs = LongestMs)
        : m_quietMs(quietMs), m_longestMs(longestMs)
    {}

    void changed(qint64 now);
    // Everything changed up to now is saved.
    void saved();
    bool pending() const { return m_firstChange.has_value(); }
    // When the next save is due; nothing when everything is saved.
    std::optional<qint64> dueAt() const;
    bool isDue(qint64 now) const;

private:
    qint64 m_quietMs;
    qint64 m_longestMs;
    std::optional<qint64> m_firstChange;
    qint64 m_lastChange = 0;
};
