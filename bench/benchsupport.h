#pragma once

#include "app/firstrunplan.h"
#include "platform/settingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The store of a program that has started before: a bench's frame must not copy
// the sample files into the user's real data folder, nor leave recovery copies of
// its changed documents in the user's state folder.
inline SettingsStore& startedBefore(SettingsStore& store)
{
    static QTemporaryDir state;
    if (qEnvironmentVariableIsEmpty("XDG_STATE_HOME") ||
        !qEnvironmentVariable("XDG_STATE_HOME").startsWith(QDir::tempPath()))
        qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    store.write(Settings::General, QString::fromLatin1(FirstRunPlan::FirstStartDone.name),
                QStringLiteral("True"));
    return store;
}

// The process's peak resident memory so far, in kilobytes.
inline qint64 peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

// Short lines of words, as plain text or as RTF with italic and bold runs.
inline QByteArray shortLines(bool rtf, qint64 bytes)
{
    const QByteArray words =
        "The quick brown fox jumps over the lazy dog while the editor keeps up ";
    QByteArray out;
    out.reserve(bytes + 256);
    if (rtf) {
        out = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Courier New;}{\\f1 Arial;}}\n";
        int n = 0;
        while (out.size() < bytes)
            out += "\\pard " + words + ((++n % 3) ? "{\\i\\f1 italic} " : "{\\b bold} ") + words +
                   "\\par\n";
        return out + "}";
    }
    while (out.size() < bytes)
        out += words + "\n";
    return out;
}

// The same numbers on every run, so that generated files compare between runs.
class RepeatableNumbers {
public:
    explicit RepeatableNumbers(quint32 start) : m_state(start) {}
    quint32 next() { return m_state = m_state * 1103515245u + 12345u; }

private:
    quint32 m_state;
};
