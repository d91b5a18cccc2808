#include "fileactions.h"

#include <QFile>

#include <sys/stat.h>

// GLib names a struct member "signals", which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

namespace FileActions {

namespace {

constexpr auto KeepEverything =
    GFileCopyFlags(G_FILE_COPY_NOFOLLOW_SYMLINKS | G_FILE_COPY_ALL_METADATA);

int codeFor(const GError* error)
{
    if (error->domain != G_IO_ERROR)
        return ErrorCode::PathAccess;
    switch (error->code) {
    case G_IO_ERROR_NOT_SUPPORTED:
        return ErrorCode::NotSupported;
    case G_IO_ERROR_EXISTS:
        return ErrorCode::FileExists;
    case G_IO_ERROR_NOT_FOUND:
        return ErrorCode::FileNotFound;
    case G_IO_ERROR_CANCELLED:
        return ErrorCode::Cancelled;
    case G_IO_ERROR_PERMISSION_DENIED:
        return ErrorCode::PermissionDenied;
    default:
        return ErrorCode::PathAccess;
    }
}

Status takeStatus(gboolean done, GError* error)
{
    if (done)
        return Status();
    if (!error)
        return Error{ErrorCode::PathAccess, QStringLiteral("The operation failed.")};
    Error failure{codeFor(error), QString::fromUtf8(error->message)};
    g_error_free(error);
    return failure;
}

// A GFile for a local path, released with its holder.
class LocalFile {
public:
    explicit LocalFile(const QString& path)
        : m_file(g_file_new_for_path(QFile::encodeName(path).constData()))
    {}
    ~LocalFile() { g_object_unref(m_file); }
    LocalFile(const LocalFile&) = delete;
    LocalFile& operator=(const LocalFile&) = delete;
    GFile* get() const { return m_file; }

private:
    GFile* m_file;
};

// Turns the caller's flag into a GCancellable: GIO reports progress between
// blocks, and that is where the flag is read.
class Cancellation {
public:
    Cancellation(const Cancelled& cancelled, const Progress& progress)
        : m_cancelled(cancelled), m_progress(progress),
          m_cancellable(cancelled ? g_cancellable_new() : nullptr)
    {}
    ~Cancellation()
    {
        if (m_cancellable)
            g_object_unref(m_cancellable);
    }
    Cancellation(const Cancellation&) = delete;
    Cancellation& operator=(const Cancellation&) = delete;

    GCancellable* cancellable() const { return m_cancellable; }
    bool wanted() const { return m_cancelled || m_progress; }

    static void onProgress(goffset done, goffset total, gpointer data)
    {
        auto* self = static_cast<Cancellation*>(data);
        if (self->m_progress)
            self->m_progress(done, total);
        if (self->m_cancelled && self->m_cancelled())
            g_cancellable_cancel(self->m_cancellable);
    }

private:
    const Cancelled& m_cancelled;
    const Progress& m_progress;
    GCancellable* m_cancellable;
};

bool occupied(const QByteArray& path)
{
    struct stat info;
    return ::lstat(path.constData(), &info) == 0;
}

Error cancelledError()
{
    return Error{ErrorCode::Cancelled, QStringLiteral("Operation was cancelled")};
}

} // namespace

Status copyFile(const QString& from, const QString& to, const Cancelled& cancelled,
                const Progress& progress)
{
    if (cancelled && cancelled())
        return cancelledError();
    // Known to be free before the copy, so whatever is there after a failure is ours.
    const QByteArray target = QFile::encodeName(to);
    if (occupied(target))
        return Error{ErrorCode::FileExists, QStringLiteral("Target file exists")};
    LocalFile source(from);
    LocalFile destination(to);
    Cancellation cancellation(cancelled, progress);
    GError* error = nullptr;
    const gboolean copied = g_file_copy(
        source.get(), destination.get(), KeepEverything, cancellation.cancellable(),
        cancellation.wanted() ? &Cancellation::onProgress : nullptr, &cancellation, &error);
    if (!copied && (!error || !g_error_matches(error, G_IO_ERROR, G_IO_ERROR_EXISTS)))
        g_file_delete(destination.get(), nullptr, nullptr);
    return takeStatus(copied, error);
}

Status makeFolder(const QString& to)
{
    LocalFile folder(to);
    GError* error = nullptr;
    const gboolean made = g_file_make_directory(folder.get(), nullptr, &error);
    return takeStatus(made, error);
}

Status copyFolderAttributes(const QString& from, const QString& to)
{
    LocalFile source(from);
    LocalFile destination(to);
    GError* error = nullptr;
    const gboolean copied =
        g_file_copy_attributes(source.get(), destination.get(), KeepEverything, nullptr, &error);
    return takeStatus(copied, error);
}

Status move(const QString& from, const QString& to, bool replace)
{
    LocalFile source(from);
    LocalFile destination(to);
    auto flags = GFileCopyFlags(KeepEverything | G_FILE_COPY_NO_FALLBACK_FOR_MOVE);
    if (replace)
        flags = GFileCopyFlags(flags | G_FILE_COPY_OVERWRITE);
    GError* error = nullptr;
    const gboolean moved =
        g_file_move(source.get(), destination.get(), flags, nullptr, nullptr, nullptr, &error);
    return takeStatus(moved, error);
}

Status trash(const QString& path)
{
    LocalFile item(path);
    GError* error = nullptr;
    const gboolean trashed = g_file_trash(item.get(), nullptr, &error);
    return takeStatus(trashed, error);
}

Status remove(const QString& path)
{
    LocalFile item(path);
    GError* error = nullptr;
    const gboolean removed = g_file_delete(item.get(), nullptr, &error);
    return takeStatus(removed, error);
}

} // namespace FileActions
