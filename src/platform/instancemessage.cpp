#include "instancemessage.h"

#include <QUuid>
#include <QtEndian>

namespace {
constexpr char Magic[4] = {'Q', 'L', 'R', 'A'};
constexpr qsizetype IdOffset = 4 + 1 + 1 + 4;
constexpr qsizetype HeaderSize = IdOffset + InstanceMessage::IdSize;
} // namespace

QByteArray InstanceMessage::newId()
{
    return QUuid::createUuid().toRfc4122();
}

QByteArray InstanceMessage::encode() const
{
    const QByteArray payload = command.toUtf8();
    QByteArray bytes(Magic, 4);
    bytes.append(char(Version));
    bytes.append(char(kind));
    char length[4];
    qToBigEndian(quint32(payload.size()), length);
    bytes.append(length, 4);
    bytes.append(id.leftJustified(IdSize, '\0', true));
    bytes.append(payload);
    return bytes;
}

InstanceMessage::Parse InstanceMessage::decode(const QByteArray& buffer, InstanceMessage* message,
                                               qsizetype* consumed)
{
    const qsizetype known = qMin<qsizetype>(buffer.size(), 4);
    if (QByteArray::fromRawData(Magic, known) != buffer.left(known))
        return Parse::Malformed;
    if (buffer.size() >= 5 && quint8(buffer[4]) != Version)
        return Parse::Malformed;
    if (buffer.size() >= 6 && buffer[5] != char(Kind::Execute) && buffer[5] != char(Kind::Activate))
        return Parse::Malformed;
    if (buffer.size() < HeaderSize)
        return Parse::Incomplete;
    const quint32 length = qFromBigEndian<quint32>(buffer.constData() + 6);
    if (length > MaxPayload)
        return Parse::Malformed;
    if (buffer.size() < HeaderSize + qsizetype(length))
        return Parse::Incomplete;
    const QByteArray payload = buffer.mid(HeaderSize, length);
    const QString text = QString::fromUtf8(payload);
    if (text.toUtf8() != payload || text.contains(QChar(0)))
        return Parse::Malformed;
    message->kind = Kind(buffer[5]);
    message->command = text;
    message->id = buffer.mid(IdOffset, IdSize);
    *consumed = HeaderSize + length;
    return Parse::Complete;
}
