#pragma once

#include <QByteArray>
#include <QString>

// One request from a second start to the running instance, framed so that a
// partial, oversized or foreign message is recognised and refused.
struct InstanceMessage {
    enum class Kind : quint8 { Execute = 1, Activate = 2 };
    enum class Parse { Incomplete, Malformed, Complete };
    // The running instance's one-byte answers; an error is followed by its code.
    static constexpr char Accepted = 'A';
    static constexpr char Refused = 'R';
    static constexpr char LinkError = 'E';
    static constexpr quint32 MaxPayload = 64 * 1024;
    static constexpr quint8 Version = 2;
    static constexpr qsizetype IdSize = 16;

    Kind kind = Kind::Execute;
    QString command;
    // The same for every attempt to send one request, so that a request that
    // arrives twice (its first answer came too late) is carried out once.
    QByteArray id = QByteArray(IdSize, '\0');

    static QByteArray newId();

    QByteArray encode() const;
    // Reads one message from the start of the buffer; *consumed tells how many
    // bytes it took when complete.
    static Parse decode(const QByteArray& buffer, InstanceMessage* message, qsizetype* consumed);
};
