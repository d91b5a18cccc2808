#pragma once

#include "instancemessage.h"

#include <QObject>
#include <QThread>
#include <atomic>

// The running instance's end of the hand-off: accepts one request per
// connection from later starts. It listens on a thread of its own and answers
// as soon as a request is taken, so a window busy loading a large file never
// keeps a second start waiting; the requests reach the window's thread as
// signals. A request that arrives again with the same id is answered but not
// passed on twice.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Call only while holding the instance lock: a socket left behind by a
    // crashed instance is removed first.
    bool listen(const QString& socketPath);
    // While not accepting (the program is closing), requests are refused.
    void setAccepting(bool accepting) { m_accepting = accepting; }

signals:
    void executeRequested(const QString& command);
    void activateRequested();

private:
    class Listener;
    QThread m_thread;
    Listener* m_listener;
    std::atomic<bool> m_accepting{true};
};
