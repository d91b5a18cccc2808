#pragma once

#include "platform/result.h"

#include <QString>
#include <functional>

// One file or folder at a time, through GIO: the steps the folder tree's copies,
// moves and deletes are made of. Each failure carries GIO's own text; the code
// says NotSupported where another way may work (a move across devices, a volume
// without a trash), FileExists, FileNotFound or Cancelled.
namespace FileActions {
// Asked while a copy runs; true stops it.
using Cancelled = std::function<bool()>;
// Bytes copied so far of the file's size.
using Progress = std::function<void(qint64 done, qint64 total)>;

// Copies a file or a symbolic link (as a link) with its permissions and times;
// never replaces an existing item. A cancelled or failed copy leaves no part of
// the file behind.
Status copyFile(const QString& from, const QString& to, const Cancelled& cancelled = {},
                const Progress& progress = {});
// Makes one folder, whose parent must exist.
Status makeFolder(const QString& to);
// Gives a copied folder the permissions and times of its original. Called once
// its content is in, since adding content changes the folder's time and a
// read-only folder takes no content.
Status copyFolderAttributes(const QString& from, const QString& to);
// Renames within a device; across devices it fails with NotSupported and moves
// nothing. Replaces an existing file only when asked.
Status move(const QString& from, const QString& to, bool replace = false);
// Moves an item to the desktop's trash; NotSupported when its volume has none.
Status trash(const QString& path);
// Deletes a file, a link or an empty folder for good.
Status remove(const QString& path);
} // namespace FileActions
