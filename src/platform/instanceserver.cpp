#include "instanceserver.h"

#include <QHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

// Lives on the server's thread; everything here runs there.
class InstanceServer::Listener : public QObject {
    Q_OBJECT
public:
    explicit Listener(const std::atomic<bool>& accepting) : m_accepting(accepting) {}

    bool listen(const QString& socketPath)
    {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &Listener::onNewConnection);
        QLocalServer::removeServer(socketPath);
        return m_server->listen(socketPath);
    }

signals:
    void execute(const QString& command);
    void activate();

private:
    void onNewConnection();
    void onReadyRead(QLocalSocket* socket);
    void answer(QLocalSocket* socket, const InstanceMessage& message);
    bool seenBefore(const QByteArray& id);

    const std::atomic<bool>& m_accepting;
    QLocalServer* m_server = nullptr;
    QHash<QLocalSocket*, QByteArray> m_buffers;
    QList<QByteArray> m_recentIds;
};

void InstanceServer::Listener::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        m_buffers.insert(socket, QByteArray());
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
        // A client that never finishes its message is not waited for.
        QTimer::singleShot(5000, socket, [socket] { socket->disconnectFromServer(); });
    }
}

void InstanceServer::Listener::onReadyRead(QLocalSocket* socket)
{
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    InstanceMessage message;
    qsizetype consumed = 0;
    switch (InstanceMessage::decode(buffer, &message, &consumed)) {
    case InstanceMessage::Parse::Incomplete:
        return;
    case InstanceMessage::Parse::Malformed: {
        const char reply[2] = {InstanceMessage::LinkError, 1}; // wrong format
        socket->write(reply, 2);
        break;
    }
    case InstanceMessage::Parse::Complete:
        answer(socket, message);
        break;
    }
    buffer.clear();
    socket->flush();
    socket->disconnectFromServer();
}

void InstanceServer::Listener::answer(QLocalSocket* socket, const InstanceMessage& message)
{
    if (!m_accepting) {
        socket->write(&InstanceMessage::Refused, 1);
        return;
    }
    socket->write(&InstanceMessage::Accepted, 1);
    if (message.kind == InstanceMessage::Kind::Activate)
        emit activate();
    else if (!seenBefore(message.id))
        emit execute(message.command);
}

bool InstanceServer::Listener::seenBefore(const QByteArray& id)
{
    // A second start retries a request for a few seconds at most; the last
    // few hundred ids cover every retry still under way.
    static constexpr qsizetype Remembered = 256;
    if (id == QByteArray(InstanceMessage::IdSize, '\0'))
        return false;
    if (m_recentIds.contains(id))
        return true;
    m_recentIds.append(id);
    if (m_recentIds.size() > Remembered)
        m_recentIds.removeFirst();
    return false;
}

InstanceServer::InstanceServer(QObject* parent)
    : QObject(parent), m_listener(new Listener(m_accepting))
{
    m_thread.setObjectName(QStringLiteral("InstanceServer"));
    m_listener->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_listener, &QObject::deleteLater);
    connect(m_listener, &Listener::execute, this, &InstanceServer::executeRequested);
    connect(m_listener, &Listener::activate, this, &InstanceServer::activateRequested);
    m_thread.start();
}

InstanceServer::~InstanceServer()
{
    m_thread.quit();
    m_thread.wait();
}

bool InstanceServer::listen(const QString& socketPath)
{
    bool listening = false;
    QMetaObject::invokeMethod(
        m_listener, [&] { listening = m_listener->listen(socketPath); },
        Qt::BlockingQueuedConnection);
    return listening;
}

#include "instanceserver.moc"
