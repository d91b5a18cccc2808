#include "filestepsgio.h"

#include "platform/fileactions.h"

FileSteps gioFileSteps()
{
    FileSteps steps;
    steps.copyFile = [](const QString& from, const QString& to,
                        const FileSteps::Cancelled& cancelled,
                        const FileSteps::Progress& progress) {
        return FileActions::copyFile(from, to, cancelled, progress);
    };
    steps.makeFolder = &FileActions::makeFolder;
    steps.copyFolderAttributes = &FileActions::copyFolderAttributes;
    steps.move = &FileActions::move;
    steps.trash = &FileActions::trash;
    steps.remove = &FileActions::remove;
    return steps;
}
