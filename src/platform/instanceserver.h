#pragma once

#include "instancemessage.h"

#include <QHash>
#include <QObject>
#include <functional>

class QLocalServer;
class QLocalSocket;

// The running instance's end of the hand-off: accepts one request per
// connection from later starts and answers whether it was taken.
class InstanceServer : public QObject {
    Q_OBJECT
public:
    // Returns true when the execute was accepted.
    using ExecuteHandler = std::function<bool(const QString&)>;

    explicit InstanceServer(QObject* parent = nullptr);
    ~InstanceServer() override;

    // Call only while holding the instance lock: a socket left behind by a
    // crashed instance is removed first.
    bool listen(const QString& socketPath);
    void setExecuteHandler(ExecuteHandler handler) { m_execute = std::move(handler); }

signals:
    void activateRequested();

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);

    QLocalServer* m_server;
    ExecuteHandler m_execute;
    QHash<QLocalSocket*, QByteArray> m_buffers;
};
