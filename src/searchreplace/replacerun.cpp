#include "replacerun.h"

#include "filereplacer.h"

#include "platform/datalocations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

const QString ReplaceRun::TooLarge = QStringLiteral("skipped, larger than %1 MB");
const QString ReplaceRun::Binary = QStringLiteral("skipped, binary file");
const QString ReplaceRun::Changed = QStringLiteral("skipped, changed since it was searched");
const QString ReplaceRun::ReadOnly = QStringLiteral("skipped, the file is read-only");
const QString ReplaceRun::CannotRead = QStringLiteral("cannot read: %1");
const QString ReplaceRun::CannotWrite = QStringLiteral("cannot write: %1");
const QString ReplaceRun::CannotBackUp = QStringLiteral("cannot back up to %1: %2");

ReplaceRun::ReplaceRun(const SearchOptions& options) : m_options(options), m_matcher(options) {}

bool ReplaceRun::ownerMayWrite(const QString& path)
{
    struct stat st;
    const QByteArray fsPath = QFile::encodeName(path);
    return ::stat(fsPath.constData(), &st) == 0 && (st.st_mode & S_IWUSR) &&
           ::access(fsPath.constData(), W_OK) == 0;
}

qint64 ReplaceRun::modifiedNs(const QString& path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return -1;
    return qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

ReplaceRun::Stamp ReplaceRun::stampOf(const QString& path, const QByteArray& bytes)
{
    Stamp stamp;
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
        stamp.size = qint64(st.st_size);
        stamp.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    stamp.hash = qHash(bytes);
    return stamp;
}

QString ReplaceRun::defaultBackupFolder()
{
    return DataLocations::userFolder() + QStringLiteral("/Backups/") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
}

Status ReplaceRun::makeFolders(const QString& folder)
{
    // Made one level at a time, so that a failure names the folder that could
    // not be made and the system's reason, where QDir::mkpath only says no.
    QString existing = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    QStringList missing;
    while (!QFileInfo::exists(existing) && existing != QStringLiteral("/")) {
        missing.prepend(existing);
        existing = QFileInfo(existing).absolutePath();
    }
    if (!QFileInfo(existing).isDir())
        return Error{ErrorCode::PathAccess, CannotBackUp.arg(existing, qt_error_string(ENOTDIR))};
    for (const QString& step : std::as_const(missing)) {
        // Another file of the same run may make it meanwhile.
        if (::mkdir(QFile::encodeName(step).constData(), 0777) != 0 && errno != EEXIST)
            return Error{ErrorCode::PathAccess, CannotBackUp.arg(step, qt_error_string(errno))};
    }
    return {};
}

bool ReplaceRun::isInside(const QString& folder, const QString& root)
{
    // The folder may not exist yet: judge by its nearest existing parent.
    QString probe = QFileInfo(folder).absoluteFilePath();
    QString tail;
    while (!QFileInfo::exists(probe) && probe != QStringLiteral("/")) {
        tail = QFileInfo(probe).fileName() + u'/' + tail;
        probe = QFileInfo(probe).absolutePath();
    }
    const QString canonical = QFileInfo(probe).canonicalFilePath() + u'/' + tail;
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath() + u'/';
    return !canonicalRoot.isEmpty() && (canonical + u'/').startsWith(canonicalRoot);
}

Result<ReplaceRun::Searched> ReplaceRun::search(const TreeWalker::Entry& entry,
                                                bool keepBytes) const
{
    if (entry.size > m_options.maxSize)
        return Error{ErrorCode::BadFormat, TooLarge.arg(m_options.maxSize / (1024 * 1024))};
    QFile file(entry.path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{ErrorCode::ReadFailed, CannotRead.arg(file.errorString())};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Error{ErrorCode::ReadFailed, CannotRead.arg(file.errorString())};
    Searched searched;
    searched.path = entry.path;
    searched.relativePath = entry.relativePath;
    searched.scan = m_matcher.scan(bytes);
    if (searched.scan.kind == FileScan::Kind::Binary)
        return Error{ErrorCode::BadFormat, Binary};
    if (m_options.replacing && searched.scan.matchCount > 0) {
        searched.stamp = stampOf(entry.path, bytes);
        if (keepBytes)
            searched.bytes = std::move(bytes);
    }
    return searched;
}

ReplaceRun::FileOutcome ReplaceRun::replace(const Searched& searched,
                                            const QSet<qint64>* onlyLines) const
{
    FileOutcome outcome;
    if (searched.scan.matchCount == 0)
        return outcome;
    QString target = searched.path;
    const QFileInfo info(target);
    if (info.isSymLink())
        target = info.canonicalFilePath();
    if (!m_canWrite(target)) {
        outcome.message = ReadOnly;
        return outcome;
    }
    QByteArray bytes = searched.bytes;
    if (bytes.isNull()) {
        QFile file(target);
        if (!file.open(QIODevice::ReadOnly))
            return {Outcome::Failed, 0, CannotRead.arg(file.errorString())};
        bytes = file.readAll();
    }
    const Stamp before = stampOf(target, bytes);
    if (!(before == searched.stamp)) {
        outcome.message = Changed;
        return outcome;
    }
    Result<FileReplacer::Replaced> replaced =
        FileReplacer::replace(bytes, searched.scan, m_options.replace, onlyLines);
    if (!replaced) {
        outcome.message = replaced.error().message;
        return outcome;
    }
    outcome.count = replaced.value().count;
    if (outcome.count == 0)
        return outcome;
    outcome.outcome = Outcome::Replaced;
    if (m_dryRun)
        return outcome;
    if (!m_backupFolder.isEmpty()) {
        const QString copy = m_backupFolder + u'/' + searched.relativePath;
        if (const Status made = makeFolders(QFileInfo(copy).absolutePath()); !made)
            return {Outcome::Failed, 0, made.error().message};
        QSaveFile backup(copy);
        if (!backup.open(QIODevice::WriteOnly) || backup.write(bytes) != bytes.size() ||
            !backup.commit())
            return {Outcome::Failed, 0, CannotBackUp.arg(copy, backup.errorString())};
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return {Outcome::Failed, 0, CannotWrite.arg(file.errorString())};
    // QSaveFile keeps the mode; the owner and group are ours to keep, or root
    // would take over every file it changes. Without the right, they stay ours.
    struct stat st;
    if (::stat(QFile::encodeName(target).constData(), &st) == 0) {
        const int owned = ::fchown(file.handle(), st.st_uid, st.st_gid);
        Q_UNUSED(owned);
    }
    const QByteArray& out = replaced.value().bytes;
    if (file.write(out) != out.size()) {
        file.cancelWriting();
        return {Outcome::Failed, 0, CannotWrite.arg(file.errorString())};
    }
    // Last look before the rename: a write meanwhile wins over our stale result.
    if (modifiedNs(target) != before.modifiedNs) {
        file.cancelWriting();
        return {Outcome::Skipped, 0, Changed};
    }
    if (!file.commit())
        return {Outcome::Failed, 0, CannotWrite.arg(file.errorString())};
    return outcome;
}
