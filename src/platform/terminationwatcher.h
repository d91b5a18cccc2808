#pragma once

#include <QObject>

class QSocketNotifier;

// Turns a terminate or hang-up signal, and the end of the desktop session,
// into one Qt signal delivered on the event loop, so the program can close
// the way it does when the system ends it.
class TerminationWatcher : public QObject {
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested();

private:
    static void onSignal(int number);
    void readSignal();

    QSocketNotifier* m_notifier = nullptr;
};
