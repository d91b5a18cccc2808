#include "instanceclient.h"

#include <QLocalSocket>

InstanceClient::Reply InstanceClient::send(const QString& socketPath,
                                           const InstanceMessage& message, int timeoutMs)
{
    Reply reply;
    QLocalSocket socket;
    const auto failed = [&] {
        reply.outcome = Outcome::Failed;
        reply.errorNumber = int(socket.error());
        reply.description = socket.errorString();
        return reply;
    };
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return failed();
    socket.write(message.encode());
    if (!socket.waitForBytesWritten(timeoutMs))
        return failed();
    // One byte, or two when it reports a link error with its code.
    QByteArray answer;
    const auto complete = [&] {
        return !answer.isEmpty() && (answer[0] != InstanceMessage::LinkError || answer.size() >= 2);
    };
    while (!complete()) {
        const bool more = socket.waitForReadyRead(timeoutMs);
        answer += socket.readAll();
        if (!more && !complete())
            return failed();
    }
    if (answer[0] == InstanceMessage::Accepted) {
        reply.outcome = Outcome::Accepted;
    } else if (answer[0] == InstanceMessage::LinkError) {
        reply.outcome = Outcome::LinkError;
        reply.linkErrorCode = quint8(answer[1]);
    } else {
        reply.outcome = Outcome::Failed;
        reply.errorNumber = -1;
        reply.description = QStringLiteral("The running window refused the request.");
    }
    return reply;
}
