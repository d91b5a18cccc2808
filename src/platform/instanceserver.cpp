#include "instanceserver.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

InstanceServer::InstanceServer(QObject* parent) : QObject(parent), m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString& socketPath)
{
    QLocalServer::removeServer(socketPath);
    return m_server->listen(socketPath);
}

void InstanceServer::onNewConnection()
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

void InstanceServer::onReadyRead(QLocalSocket* socket)
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
        if (message.kind == InstanceMessage::Kind::Activate) {
            emit activateRequested();
            socket->write(&InstanceMessage::Accepted, 1);
        } else {
            const bool accepted = m_execute && m_execute(message.command);
            socket->write(accepted ? &InstanceMessage::Accepted : &InstanceMessage::Refused, 1);
        }
        break;
    }
    buffer.clear();
    socket->flush();
    socket->disconnectFromServer();
}
