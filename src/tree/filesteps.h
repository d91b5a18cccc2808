#pragma once

#include "platform/result.h"

#include <QString>
#include <functional>

// The single-item steps a file operation is made of. The program fills them
// from GIO (gioFileSteps); tests put in steps that fail or record their calls.
// A step that cannot work this way (a move across devices, a volume without a
// trash) fails with ErrorCode::NotSupported, and the operation takes another way.
struct FileSteps {
    using Cancelled = std::function<bool()>;
    using Progress = std::function<void(qint64 done, qint64 total)>;

    // A file or a link (kept a link) with its permissions and times; never
    // replaces anything.
    std::function<Status(const QString& from, const QString& to, const Cancelled& cancelled,
                         const Progress& progress)>
        copyFile;
    std::function<Status(const QString& to)> makeFolder;
    // A copied folder's permissions and times, once its content is in.
    std::function<Status(const QString& from, const QString& to)> copyFolderAttributes;
    // A rename on one device; replaces an existing file only when asked.
    std::function<Status(const QString& from, const QString& to, bool replace)> move;
    std::function<Status(const QString& path)> trash;
    // A file, a link or an empty folder, for good.
    std::function<Status(const QString& path)> remove;
};
