#include "documenttable.h"

#include <QFileInfo>

DocumentTable::DocumentTable()
{
    Documents.append(nullptr);
    DocStates.emplace_back();
}

int DocumentTable::FindFreeIndex()
{
    for (int slot = 1; slot <= upperBound(); ++slot) {
        if (DocStates[slot].Deleted) {
            DocStates[slot].Deleted = false;
            return slot;
        }
    }
    Documents.append(nullptr);
    DocState state;
    state.Deleted = false;
    DocStates.push_back(state);
    return upperBound();
}

bool DocumentTable::AnyDocumentsOpen() const
{
    for (const DocState& state : DocStates)
        if (!state.Deleted)
            return true;
    return false;
}

bool DocumentTable::samePath(const QString& a, const QString& b)
{
    if (a == b)
        return true;
    if (a.compare(b, Qt::CaseInsensitive) != 0)
        return false;
    // On a case-sensitive disk "Notes.txt" and "notes.txt" are two files.
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

int DocumentTable::findOpenPath(const QString& path) const
{
    for (int slot = 1; slot <= upperBound(); ++slot) {
        const DocState& state = DocStates[slot];
        if (!state.Deleted && !state.FileName.isEmpty() && samePath(state.FileName, path))
            return slot;
    }
    return 0;
}
