#include "recentdocuments.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMimeDatabase>
#include <QStandardPaths>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace {

enum class Outcome { Done, LockBusy, Failed };

struct Written {
    Outcome outcome = Outcome::Done;
    Status status;
};

Written failed(int code, const QString& path, const QString& description)
{
    return {Outcome::Failed, Error{code, QStringLiteral("Error: ") + path + u'\n' + description}};
}

Written failed(int code, const QString& path, GError* error)
{
    const QString description = error ? QString::fromUtf8(error->message) : QString();
    g_clear_error(&error);
    return failed(code, path, description);
}

// Waits for the lock in short steps, so a program that starts closing meanwhile
// need not sit out the whole wait. giveUp is asked with the time waited so far.
using GiveUp = std::function<bool(qint64 waited)>;

Written acquire(QLockFile& lock, const QString& path, const GiveUp& giveUp)
{
    QElapsedTimer waited;
    waited.start();
    while (!lock.tryLock(50)) {
        if (lock.error() != QLockFile::LockFailedError)
            return failed(ErrorCode::PermissionDenied, path + QStringLiteral(".lock"),
                          QStringLiteral("The lock file cannot be created."));
        if (giveUp(waited.elapsed()))
            return {Outcome::LockBusy,
                    Error{ErrorCode::PathAccess, QStringLiteral("Error: ") + path + u'\n' +
                                                     RecentDocuments::LockBusyText}};
    }
    return {};
}

// The folder is the user's data folder, private like the list itself.
bool makeFolder(const QString& filePath)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(filePath).absolutePath());
    return g_mkdir_with_parents(folder.constData(), 0700) == 0;
}

// Where the list's bytes go: through a symbolic link to its file, so the link
// stays; nowhere when it leads to something else (a link to /dev/null is how
// some users keep programs from remembering anything).
std::optional<QString> listFile(const QString& filePath)
{
    const QFileInfo info(filePath);
    if (!info.isSymLink())
        return filePath;
    const QFileInfo target(info.symLinkTarget());
    if (target.exists() && !target.isFile())
        return std::nullopt;
    return target.absoluteFilePath();
}

Written replace(const QString& filePath, GBookmarkFile* list)
{
    GError* error = nullptr;
    gsize length = 0;
    gchar* data = g_bookmark_file_to_data(list, &length, &error);
    if (!data)
        return failed(ErrorCode::WriteFailed, filePath, error);
    // A temporary file in the same folder renamed over the list: readers see the
    // old list or the new one, never a part.
    const gboolean written =
        g_file_set_contents_full(QFile::encodeName(filePath).constData(), data, gssize(length),
                                 G_FILE_SET_CONTENTS_CONSISTENT, 0600, &error);
    g_free(data);
    if (!written)
        return failed(ErrorCode::WriteFailed, filePath, error);
    return {};
}

void addEntry(GBookmarkFile* list, const QString& path, const QMimeDatabase& types, GDateTime* now)
{
    gchar* uri = g_filename_to_uri(QFile::encodeName(path).constData(), nullptr, nullptr);
    if (!uri)
        return;
    const QByteArray type = types.mimeTypeForFile(path).name().toUtf8();
    // Setting the type makes the entry, dated now, when it is new.
    g_bookmark_file_set_mime_type(list, uri, type.constData());
    g_bookmark_file_add_application(list, uri,
                                    RecentDocuments::ApplicationName.toUtf8().constData(),
                                    RecentDocuments::ApplicationExec.toUtf8().constData());
    g_bookmark_file_set_modified_date_time(list, uri, now);
    g_bookmark_file_set_visited_date_time(list, uri, now);
    g_free(uri);
}

Written addPaths(const QString& filePath, const QStringList& paths, const GiveUp& giveUp)
{
    QStringList files;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        // A name with no file behind it would only lead the desktop nowhere.
        if (info.isFile())
            files.append(info.absoluteFilePath());
    }
    if (files.isEmpty())
        return {};
    if (!makeFolder(filePath))
        return failed(ErrorCode::PathAccess, QFileInfo(filePath).absolutePath(),
                      QStringLiteral("The folder cannot be created."));
    QLockFile lock(filePath + QStringLiteral(".lock"));
    if (Written locked = acquire(lock, filePath, giveUp); locked.outcome != Outcome::Done)
        return locked;

    const std::optional<QString> target = listFile(filePath);
    if (!target)
        return {};
    GBookmarkFile* list = g_bookmark_file_new();
    GError* error = nullptr;
    const QFileInfo existing(*target);
    // An empty file holds nothing to keep; one that does not parse may hold the
    // user's history in a form this GLib does not know, so it stays untouched.
    if (existing.exists() && existing.size() > 0 &&
        !g_bookmark_file_load_from_file(list, QFile::encodeName(*target).constData(), &error)) {
        g_bookmark_file_free(list);
        const int code = error && error->domain == G_BOOKMARK_FILE_ERROR ? ErrorCode::BadFormat
                                                                         : ErrorCode::ReadFailed;
        return failed(code, filePath, error);
    }
    const QMimeDatabase types;
    GDateTime* now = g_date_time_new_now_utc();
    for (const QString& file : std::as_const(files))
        addEntry(list, file, types, now);
    g_date_time_unref(now);
    Written result = replace(*target, list);
    g_bookmark_file_free(list);
    return result;
}

Written clearList(const QString& filePath, int lockWait)
{
    if (!QFileInfo::exists(filePath))
        return {};
    QLockFile lock(filePath + QStringLiteral(".lock"));
    if (Written locked =
            acquire(lock, filePath, [lockWait](qint64 waited) { return waited >= lockWait; });
        locked.outcome != Outcome::Done)
        return locked;
    const std::optional<QString> target = listFile(filePath);
    if (!target)
        return {};
    GBookmarkFile* list = g_bookmark_file_new();
    Written result = replace(*target, list);
    g_bookmark_file_free(list);
    return result;
}

} // namespace

// The adds waiting for the worker, shared with it so that it can finish them
// after its owner has begun to go.
struct RecentDocuments::Queue {
    QString filePath;
    std::mutex mutex;
    std::condition_variable changed;
    QStringList pending;
    bool busy = false;
    std::atomic<bool> stopping = false;
    Status last;
    QElapsedTimer sinceStop;

    bool giveUp(qint64 waited) const
    {
        return waited >= LockWait || (stopping && sinceStop.elapsed() >= ExitWait);
    }

    void run()
    {
        std::unique_lock guard(mutex);
        for (;;) {
            changed.wait(guard, [this] { return stopping || !pending.isEmpty(); });
            if (pending.isEmpty())
                return;
            const QStringList batch = pending;
            pending.clear();
            busy = true;
            const bool lastChance = stopping;
            guard.unlock();
            const Written written =
                addPaths(filePath, batch, [this](qint64 waited) { return giveUp(waited); });
            guard.lock();
            busy = false;
            last = written.status;
            changed.notify_all();
            // A busy list is tried again; only a closing program gives up on it. The
            // pause lets a clear in between the tries.
            if (written.outcome == Outcome::LockBusy && !lastChance) {
                pending = batch + pending;
                changed.wait_for(guard, std::chrono::milliseconds(100),
                                 [this] { return stopping.load(); });
            }
        }
    }
};

QString RecentDocuments::defaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/recently-used.xbel");
}

bool RecentDocuments::rememberRecentFiles()
{
    // The schema is GNOME's; elsewhere there is nothing to ask.
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source)
        return true;
    GSettingsSchema* schema =
        g_settings_schema_source_lookup(source, "org.gnome.desktop.privacy", TRUE);
    if (!schema)
        return true;
    const bool hasKey = g_settings_schema_has_key(schema, "remember-recent-files");
    g_settings_schema_unref(schema);
    if (!hasKey)
        return true;
    GSettings* privacy = g_settings_new("org.gnome.desktop.privacy");
    const bool remember = g_settings_get_boolean(privacy, "remember-recent-files");
    g_object_unref(privacy);
    return remember;
}

RecentDocuments::RecentDocuments(const QString& filePath)
    : m_filePath(filePath), m_queue(std::make_shared<Queue>())
{
    m_queue->filePath = filePath;
}

RecentDocuments::~RecentDocuments()
{
    if (!m_worker.joinable())
        return;
    {
        const std::lock_guard guard(m_queue->mutex);
        m_queue->sinceStop.start();
        m_queue->stopping = true;
    }
    m_queue->changed.notify_all();
    m_worker.join();
}

void RecentDocuments::startWorker()
{
    if (!m_worker.joinable())
        m_worker = std::thread([queue = m_queue] { queue->run(); });
}

void RecentDocuments::add(const QString& path)
{
    if (path.isEmpty() || !rememberRecentFiles())
        return;
    {
        const std::lock_guard guard(m_queue->mutex);
        m_queue->pending.append(path);
        startWorker();
    }
    m_queue->changed.notify_all();
}

Status RecentDocuments::clear()
{
    {
        // Queued adds would be cleared anyway; one being written finishes first,
        // so it cannot land after the clear.
        std::unique_lock guard(m_queue->mutex);
        m_queue->pending.clear();
        m_queue->changed.wait(guard, [this] { return !m_queue->busy; });
        // Taken after the wait: a write that found the list busy puts its adds back.
        m_queue->pending.clear();
    }
    return clearList(m_filePath, LockWait).status;
}

bool RecentDocuments::waitForDone(int msecs)
{
    std::unique_lock guard(m_queue->mutex);
    return m_queue->changed.wait_for(guard, std::chrono::milliseconds(msecs), [this] {
        return m_queue->pending.isEmpty() && !m_queue->busy;
    });
}

Status RecentDocuments::lastStatus() const
{
    const std::lock_guard guard(m_queue->mutex);
    return m_queue->last;
}

Status RecentDocuments::addNow(const QString& filePath, const QStringList& paths, int lockWait)
{
    return addPaths(filePath, paths, [lockWait](qint64 waited) { return waited >= lockWait; })
        .status;
}

Status RecentDocuments::clearNow(const QString& filePath, int lockWait)
{
    return clearList(filePath, lockWait).status;
}
