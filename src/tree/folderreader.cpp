#include "folderreader.h"

#include <QFile>
#include <QRunnable>
#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace {

using Emit = std::function<void(std::vector<FolderReader::Entry>&&, bool last)>;

Error systemError(int number)
{
    int code = ErrorCode::PathAccess;
    if (number == ENOENT || number == ENOTDIR)
        code = ErrorCode::FileNotFound;
    else if (number == EACCES || number == EPERM)
        code = ErrorCode::PermissionDenied;
    return {code, qt_error_string(number)};
}

enum class Kind { Skipped, Folder, File };

// The entry's kind from the listing where it says; a link shows as what it
// points to, a dangling one as a file.
Kind kindOf(int folder, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR:
        return Kind::Folder;
    case DT_REG:
        return Kind::File;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return Kind::Skipped;
    }
    struct stat target;
    if (fstatat(folder, entry.d_name, &target, 0) == 0) {
        if (S_ISDIR(target.st_mode))
            return Kind::Folder;
        return S_ISREG(target.st_mode) ? Kind::File : Kind::Skipped;
    }
    struct stat link;
    if (fstatat(folder, entry.d_name, &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode))
        return Kind::File;
    return Kind::Skipped; // gone since it was listed
}

void sortEntries(std::vector<FolderReader::Entry>& entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const auto& a, const auto& b) { return FolderReader::before(a, b); });
}

// Lists the folder, handing on a first small sorted batch once that many
// entries are read (none when firstBatch is 0), then the rest in one sorted run
// cut into batches. Returns the error that stopped the listing.
Status scan(const QString& folder, const QLocale& locale, const std::atomic_bool* cancelled,
            int firstBatch, int batchSize, const Emit& emitBatch)
{
    const QByteArray encoded = QFile::encodeName(folder);
    DIR* dir = opendir(encoded.constData());
    if (!dir)
        return systemError(errno);
    const QCollator collator = FolderReader::collator(locale);
    const int descriptor = dirfd(dir);
    std::vector<FolderReader::Entry> entries;
    bool firstSent = firstBatch == 0;
    int failure = 0;
    for (;;) {
        if (cancelled && cancelled->load(std::memory_order_relaxed)) {
            closedir(dir);
            return {};
        }
        errno = 0;
        const dirent* entry = readdir(dir);
        if (!entry) {
            failure = errno;
            break;
        }
        // Hidden entries, "." and ".." among them, are never listed.
        if (entry->d_name[0] == '.')
            continue;
        const Kind kind = kindOf(descriptor, *entry);
        if (kind == Kind::Skipped)
            continue;
        const QString name = QFile::decodeName(entry->d_name);
        entries.push_back({name, kind == Kind::Folder, FolderReader::sortKey(collator, name)});
        if (!firstSent && int(entries.size()) == firstBatch) {
            sortEntries(entries);
            emitBatch(std::move(entries), false);
            entries = {};
            firstSent = true;
        }
    }
    closedir(dir);
    if (failure != 0)
        return systemError(failure);
    sortEntries(entries);
    if (batchSize <= 0 || int(entries.size()) <= batchSize) {
        emitBatch(std::move(entries), true);
        return {};
    }
    for (size_t start = 0; start < entries.size(); start += batchSize) {
        const size_t end = std::min(entries.size(), start + size_t(batchSize));
        std::vector<FolderReader::Entry> part(std::make_move_iterator(entries.begin() + start),
                                              std::make_move_iterator(entries.begin() + end));
        emitBatch(std::move(part), end == entries.size());
    }
    return {};
}

} // namespace

FolderReader::FolderReader(QObject* parent) : QObject(parent)
{
    m_pool.setMaxThreadCount(2);
}

FolderReader::~FolderReader()
{
    cancelAll();
    m_pool.waitForDone();
}

QCollatorSortKey FolderReader::sortKey(const QCollator& collator, const QString& name)
{
    return collator.sortKey(collator.locale().language() == QLocale::C ? name.toCaseFolded()
                                                                       : name);
}

QCollator FolderReader::collator(const QLocale& locale)
{
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

bool FolderReader::before(const QCollatorSortKey& key, const QString& name,
                          const QCollatorSortKey& otherKey, const QString& otherName)
{
    const int order = key.compare(otherKey);
    return order != 0 ? order < 0 : name < otherName;
}

Result<std::vector<FolderReader::Entry>> FolderReader::list(const QString& folder,
                                                            const QLocale& locale)
{
    std::vector<Entry> all;
    const Status status =
        scan(folder, locale, nullptr, 0, 0,
             [&all](std::vector<Entry>&& entries, bool) { all = std::move(entries); });
    if (!status)
        return status.error();
    return all;
}

quint64 FolderReader::read(const QString& folder)
{
    const quint64 ticket = ++m_lastTicket;
    const Flag cancelled = std::make_shared<std::atomic_bool>(false);
    m_jobs.insert(ticket, cancelled);
    const QLocale locale = m_locale;
    m_pool.start([this, ticket, folder, locale, cancelled] {
        const auto post = [&](std::vector<Entry>&& entries, bool last) {
            if (cancelled->load())
                return;
            auto batch = std::make_shared<Batch>();
            batch->ticket = ticket;
            batch->folder = folder;
            batch->entries = std::move(entries);
            batch->last = last;
            QMetaObject::invokeMethod(
                this, [this, batch] { deliver(batch); }, Qt::QueuedConnection);
        };
        const Status status =
            scan(folder, locale, cancelled.get(), FirstBatchSize, BatchSize, post);
        if (!status && !cancelled->load()) {
            const Error error = status.error();
            QMetaObject::invokeMethod(
                this, [this, ticket, folder, error] { fail(ticket, folder, error); },
                Qt::QueuedConnection);
        }
    });
    return ticket;
}

void FolderReader::cancel(quint64 ticket)
{
    if (const Flag flag = m_jobs.take(ticket))
        flag->store(true);
}

void FolderReader::cancelAll()
{
    for (const Flag& flag : std::as_const(m_jobs))
        flag->store(true);
    m_jobs.clear();
}

void FolderReader::deliver(const std::shared_ptr<Batch>& batch)
{
    if (!m_jobs.contains(batch->ticket))
        return;
    if (batch->last)
        m_jobs.remove(batch->ticket);
    emit batchRead(*batch);
}

void FolderReader::fail(quint64 ticket, const QString& folder, const Error& error)
{
    if (!m_jobs.remove(ticket))
        return;
    emit readFailed(ticket, folder, error);
}
