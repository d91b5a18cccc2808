#pragma once

#include "platform/result.h"

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class QMimeData;
class QUrl;

// The current project as the list shows it. `ProjectPaths` holds the entries in
// stored order after the hint in slot 0; each row carries the slot it shows, so a
// sort changes only the rows and a save keeps the stored order. Row 0 is the fixed
// row that opens a new document.
//
// Rows are the list's rows: the selection is the view's, and the functions that
// act on selected rows take them as row numbers.
class ProjectList : public QAbstractListModel {
    Q_OBJECT
public:
    static inline const QString NewDocumentRow = QStringLiteral("_Open new document");
    static inline const QString NewDocumentHint =
        QStringLiteral("Select this line to open a new document");
    static inline const QString NoFileNameReason = QStringLiteral("The project has no file name");
    static inline const QString NoSuchRowReason = QStringLiteral("The entry is no longer listed");

    enum Role {
        PathRole = Qt::UserRole + 1, // the entry as stored
        SlotRole                     // its index in ProjectPaths
    };
    enum class SelectionMode {
        Only, // the row alone
        Also  // the row as well as those selected already
    };
    Q_ENUM(SelectionMode)
    enum class Outcome { Added, AlreadyListed, Refused };
    struct AddResult {
        Outcome outcome = Outcome::Refused;
        int row = -1;         // the added or matching row
        QString errorMessage; // why a path was refused, as the user is shown it
    };

    explicit ProjectList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    const QStringList& ProjectPaths() const { return m_paths; }
    // The project's path; empty for a project never saved.
    const QString& ProjectFile() const { return m_file; }
    // Whether the list equals the file on disk.
    bool ProjectSaved() const { return m_saved; }
    int entryCount() const { return int(m_paths.size()) - 1; }
    int slotOfRow(int row) const { return m_rows.value(row, -1); }
    // The entry a row shows; the hint for row 0.
    QString pathOfRow(int row) const;

    // Replaces the project with the file's entries, all rows at once. A missing
    // file gives an empty project of that name, which a save creates. A file that
    // cannot be read gives an empty unnamed project and the error to show, so no
    // later save overwrites what could not be read. An empty path starts a new
    // project.
    Status LoadProject(const QString& projectFile);
    // Writes the entries in stored order; a failed save changes nothing.
    Status save();
    // As save, into another file that becomes the project's on success.
    Status saveAs(const QString& projectFile);

    // The first row, in display order, whose entry is the same path; -1 when none.
    int FindPathInList(const QString& path) const;
    // Adds the path at the end unless it is listed already or cannot be stored.
    AddResult AddNewDocOrLink(const QString& path);
    // Replaces a row's entry with the file the user found in its place; it shows
    // at once and keeps its place in the stored order.
    Status relocate(int row, const QString& path);
    // Removes the rows' entries (row 0 and unknown rows are ignored) and shows
    // the rest in stored order. The project counts as changed even when nothing
    // went: the caller calls this once the user was asked.
    void removeEntries(QList<int> rows);
    // Orders the rows by their display texts, ignoring case, in the user's
    // language; equal texts keep their order. Row 0 stays first.
    void sortByDisplayText();

    // What a drag out of the list offers: the selected entries that exist, in
    // display order, as file URLs and as LF-joined text; a read-only shortcut
    // offers its target. Null when nothing is left to offer.
    QMimeData* dragData(QList<int> rows) const;
    // The selected entries' paths in display order, LF-joined, shortcuts with
    // their ".lnk", as copied to the clipboard.
    QString copiedPaths(QList<int> rows) const;
    // The copied paths as text, and the existing files as URLs for file managers.
    QMimeData* copyData(QList<int> rows) const;

    // What files dropped on the list add, in order: local files only, a folder
    // with "/" so it becomes a folder entry.
    static QStringList droppedPaths(const QMimeData& data);

signals:
    // The selection the list is to show after a change: row 0 alone after a load,
    // a removal or a sort; an added row alone; a listed path's row as well.
    void selectionRequested(int row, ProjectList::SelectionMode mode);

private:
    // The given rows without row 0, unknown rows and repeats, in display order.
    QList<int> entryRows(QList<int> rows) const;
    QList<QUrl> existingUrls(const QList<int>& rows) const;
    // Rows shown as the slots' stored order; the lookup index is rebuilt on use.
    void showStoredOrder();
    void buildIndex() const;

    QStringList m_paths;
    QList<int> m_rows; // row -> slot
    QString m_file;
    bool m_saved = true;
    // Case-folded entry -> slots, and slot -> row, for FindPathInList; built
    // when first needed so a load does not pay for it.
    mutable QMultiHash<QString, int> m_slotsByFolded;
    mutable QList<int> m_rowOfSlot;
    mutable bool m_indexed = false;
};
