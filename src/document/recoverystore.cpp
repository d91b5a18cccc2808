#include "recoverystore.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>

namespace {

const QByteArray Magic = QByteArrayLiteral("QUILLORA-RECOVERY\n");
constexpr int VersionBytes = 4;
constexpr int HashBytes = 20; // SHA-1: a check against damage, not against forgery
constexpr auto StreamVersion = QDataStream::Qt_6_0;

const QFileDevice::Permissions OwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

Error badCopy(const QString& why)
{
    return {ErrorCode::BadFormat, why};
}

Status makePrivateFolder(const QString& folder)
{
    if (!QDir().mkpath(folder) || !QFile::setPermissions(folder, OwnerOnly))
        return Error{ErrorCode::PathAccess,
                     QStringLiteral("The recovery folder %1 cannot be made.").arg(folder)};
    return {};
}

} // namespace

QString RecoveryStore::defaultFolder()
{
    // The base directory rules: a relative value is to be ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/Quillora/recovery");
}

Status RecoveryStore::ensureFolder() const
{
    return makePrivateFolder(m_folder);
}

QByteArray RecoveryStore::encode(const RecoveryCopy& copy)
{
    QByteArray bytes = Magic;
    char version[VersionBytes];
    qToBigEndian<quint32>(Version, version);
    bytes.append(version, VersionBytes);
    {
        QDataStream out(&bytes, QIODevice::WriteOnly | QIODevice::Append);
        out.setVersion(StreamVersion);
        QList<quint8> endings;
        endings.reserve(copy.format.mixedEndings.size());
        for (LineEnding ending : copy.format.mixedEndings)
            endings.append(quint8(ending));
        out << copy.owner.host << copy.owner.lockPath << copy.owner.pid
            << copy.savedAt.toMSecsSinceEpoch() << copy.originalPath << quint8(copy.kind)
            << copy.format.encoding << copy.format.byteOrderMark << quint8(copy.format.lineEnding)
            << endings << qint32(copy.caret) << copy.content << quint8(copy.disk.kind)
            << copy.disk.size << copy.disk.modifiedNs << copy.disk.inode;
    }
    bytes.append(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1));
    return bytes;
}

Result<RecoveryCopy> RecoveryStore::decode(const QByteArray& bytes)
{
    if (!bytes.startsWith(Magic))
        return badCopy(QStringLiteral("not a recovery copy"));
    if (bytes.size() < Magic.size() + VersionBytes)
        return badCopy(QStringLiteral("cut short"));
    const quint32 version = qFromBigEndian<quint32>(bytes.constData() + Magic.size());
    if (version != Version)
        return badCopy(QStringLiteral("written in an unknown form (version %1)").arg(version));
    if (bytes.size() < Magic.size() + VersionBytes + HashBytes)
        return badCopy(QStringLiteral("cut short"));
    const QByteArrayView body(bytes.constData(), bytes.size() - HashBytes);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha1) != bytes.right(HashBytes))
        return badCopy(QStringLiteral("cut short or damaged"));

    QByteArray fields = bytes.mid(Magic.size() + VersionBytes,
                                  bytes.size() - Magic.size() - VersionBytes - HashBytes);
    QDataStream in(&fields, QIODevice::ReadOnly);
    in.setVersion(StreamVersion);
    RecoveryCopy copy;
    qint64 savedAt = 0;
    quint8 kind = 0;
    quint8 lineEnding = 0;
    QList<quint8> endings;
    qint32 caret = 0;
    quint8 diskKind = 0;
    in >> copy.owner.host >> copy.owner.lockPath >> copy.owner.pid >> savedAt >>
        copy.originalPath >> kind >> copy.format.encoding >> copy.format.byteOrderMark >>
        lineEnding >> endings >> caret >> copy.content >> diskKind >> copy.disk.size >>
        copy.disk.modifiedNs >> copy.disk.inode;
    const auto validEnding = [](quint8 e) { return e <= quint8(LineEnding::CR); };
    if (in.status() != QDataStream::Ok || !in.atEnd() || kind > quint8(DocumentKind::Text) ||
        diskKind > quint8(DiskStamp::Kind::Unreadable) || !validEnding(lineEnding) ||
        !std::all_of(endings.begin(), endings.end(), validEnding))
        return badCopy(QStringLiteral("damaged"));
    copy.savedAt = QDateTime::fromMSecsSinceEpoch(savedAt, Qt::UTC);
    copy.kind = DocumentKind(kind);
    copy.format.lineEnding = LineEnding(lineEnding);
    for (quint8 e : std::as_const(endings))
        copy.format.mixedEndings.append(LineEnding(e));
    copy.caret = caret;
    copy.disk.kind = DiskStamp::Kind(diskKind);
    return copy;
}

Status RecoveryStore::write(const QString& name, const RecoveryCopy& copy) const
{
    if (Status made = ensureFolder(); !made)
        return made;
    QSaveFile file(path(name));
    // Never write in place: a full disk must leave the previous copy whole.
    file.setDirectWriteFallback(false);
    const QByteArray bytes = encode(copy);
    if (file.open(QIODevice::WriteOnly))
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!file.isOpen() || file.write(bytes) != bytes.size() || !file.commit())
        return Error{ErrorCode::WriteFailed, QStringLiteral("The recovery copy %1 cannot be "
                                                            "written: %2")
                                                 .arg(path(name), file.errorString())};
    return {};
}

Result<RecoveryCopy> RecoveryStore::read(const QString& name) const
{
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly))
        return Error{ErrorCode::ReadFailed, file.errorString()};
    return decode(file.readAll());
}

QList<RecoveryStore::Entry> RecoveryStore::list() const
{
    QList<Entry> entries;
    const QFileInfoList files = QDir(m_folder).entryInfoList(
        {u'*' + Suffix}, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& info : files) {
        Entry entry{info.fileName(), info.size(), std::nullopt, QString()};
        Result<RecoveryCopy> copy = read(entry.name);
        if (copy)
            entry.copy = std::move(copy.value());
        else
            entry.error = copy.error().message;
        entries.append(std::move(entry));
    }
    return entries;
}

Status RecoveryStore::remove(const QString& name) const
{
    QFile file(path(name));
    if (file.exists() && !file.remove())
        return Error{ErrorCode::PermissionDenied, file.errorString()};
    return {};
}

Status RecoveryStore::discard(const QString& name, const QDateTime& now) const
{
    const QString folder = m_folder + u'/' + DiscardedFolder;
    if (Status made = makePrivateFolder(folder); !made)
        return made;
    QString target = folder + u'/' + name;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = folder + u'/' + QString::number(n) + u'-' + name;
    QFile file(path(name));
    if (!file.rename(target))
        return Error{ErrorCode::PermissionDenied, file.errorString()};
    // The days kept count from the discard, not from the copy's last write.
    if (file.open(QIODevice::ReadWrite)) {
        file.setFileTime(now, QFileDevice::FileModificationTime);
        file.close();
    }
    return {};
}

int RecoveryStore::removeOldDiscarded(const QDateTime& now) const
{
    const QDateTime limit = now.addDays(-DiscardedDays);
    int removed = 0;
    const QFileInfoList files = QDir(m_folder + u'/' + DiscardedFolder)
                                    .entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& info : files)
        if (info.lastModified() < limit && QFile::remove(info.filePath()))
            ++removed;
    return removed;
}
