#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// A program the editor started, known by its process id together with the
// moment it started (clock ticks after boot, as the kernel's stat gives it):
// an id alone may by now belong to another process. The none value (id 0)
// stands for "nothing started", or for something handed to the desktop.
class TaskNumber {
public:
    TaskNumber() = default;
    TaskNumber(qint64 pid, quint64 startTime) : m_pid(pid), m_startTime(startTime) {}

    // From the text of /proc/<pid>/stat; none when the text is not one.
    static TaskNumber fromStat(QByteArrayView stat);

    qint64 pid() const { return m_pid; }
    quint64 startTime() const { return m_startTime; }
    bool isNone() const { return m_pid == 0; }

    // Whether the stat text read now shows this very process, still running:
    // the same id, the same start time, and not a process that has ended and
    // waits only to be reaped. An unknown start time (0) never matches.
    bool sameProcess(QByteArrayView statNow) const;

    friend bool operator==(const TaskNumber&, const TaskNumber&) = default;

private:
    qint64 m_pid = 0;
    quint64 m_startTime = 0;
};
