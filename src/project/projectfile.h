#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The project file: one entry per line, nothing else. Written as UTF-8 with LF
// line ends and one more LF after the last entry; read from UTF-8 or, for older
// files that are not valid UTF-8, Windows-1252, with any line ends.
class ProjectFile {
public:
    // A project is a list of paths; anything larger is not a project file, and
    // reading it would only hold the program up.
    static constexpr qint64 MaxFileBytes = 64LL * 1024 * 1024;

    static inline const QString ErrorPrefix = QStringLiteral("Error: ");
    static inline const QString NulBytesReason =
        QStringLiteral("The file holds NUL bytes, so it is no project file");
    static inline const QString LineBreakReason =
        QStringLiteral("A path with a line break cannot be kept in a project file");
    static inline const QString NulEntryReason =
        QStringLiteral("A path with a NUL character cannot be kept in a project file");
    static inline const QString EmptyEntryReason =
        QStringLiteral("An empty path cannot be kept in a project file");

    // The entries in file order. A missing file fails with ErrorCode::FileNotFound,
    // which the caller treats as a new project of that name; every other failure
    // (a folder, NUL bytes, over MaxFileBytes, no permission) is to be shown.
    static Result<QStringList> read(const QString& path);
    // Replaces the file atomically, keeping its permissions: a failed save leaves
    // the old file whole. Entries that could not be read back are refused.
    static Status write(const QString& path, const QStringList& entries);

    static QStringList decode(const QByteArray& bytes);
    static QByteArray encode(const QStringList& entries);

    // Why an entry would not read back as itself (empty, a line break, a NUL);
    // empty when it can be stored.
    static QString refusalReason(const QString& entry);
    // "Error: " + path + line break + reason, as the user is shown it.
    static QString errorMessage(const QString& path, const QString& reason);
};
