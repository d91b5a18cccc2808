#pragma once

#include "platform/result.h"
#include "tree/filesteps.h"

#include <QSet>
#include <QString>

// Names the folder tree gives and accepts: new folders, copies beside their
// original, and renames.
namespace FileNames {
inline const QString NewFolder = QStringLiteral("New Folder");
inline const QString EmptyNameText =
    QStringLiteral("You must enter a value, or hit Escape to cancel.");
inline const QString SlashText = QStringLiteral("A name cannot contain \"/\".");
inline const QString DotsText = QStringLiteral("\".\" and \"..\" cannot be used as names.");
inline const QString ExistsText = QStringLiteral("An item of this name already exists: ");

// Whether anything, a broken link included, has this path.
bool occupied(const QString& path);

// "New Folder", else "New Folder1", "New Folder2", ...: the first name free in parent.
QString uniqueFolderName(const QString& parent);

// The name for a copy of name made in its own folder: "name (copy).ext", then
// "name (copy 2).ext", ..., the first that is free on disk and not in taken. A
// folder's name and a name starting with its only dot (".bashrc") keep no extension.
QString copyName(const QString& folder, const QString& name, bool isFolder,
                 const QSet<QString>& taken = {});

// Refuses an empty name, one with "/", "." and "..".
Status checkNewName(const QString& name);

// Renames the item at path to newName in the same folder; never replaces an
// existing item. Returns the new path.
Result<QString> rename(const QString& path, const QString& newName, const FileSteps& steps);
} // namespace FileNames
