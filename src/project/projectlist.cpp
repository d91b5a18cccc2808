#include "projectlist.h"

#include "projectentry.h"
#include "projectfile.h"

#include <QCollator>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>
#include <utility>
#include <vector>

// The class ProjectFile is written ::ProjectFile here: inside ProjectList the
// name is the accessor of the project's path.

namespace {

const QString UriListType = QStringLiteral("text/uri-list");
const QString PlainTextType = QStringLiteral("text/plain");

} // namespace

ProjectList::ProjectList(QObject* parent) : QAbstractListModel(parent)
{
    m_paths = {NewDocumentHint};
    m_rows = {0};
}

int ProjectList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QString ProjectList::pathOfRow(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_paths.at(m_rows.at(row)) : QString();
}

QVariant ProjectList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const int row = index.row();
    const int slot = m_rows.at(row);
    switch (role) {
    case Qt::DisplayRole:
        return row == 0 ? NewDocumentRow : ProjectEntry(m_paths.at(slot)).displayText();
    case Qt::ToolTipRole:
        return row == 0 ? m_paths.at(0) : ProjectEntry(m_paths.at(slot)).toolTip();
    case PathRole:
        return m_paths.at(slot);
    case SlotRole:
        return slot;
    default:
        return {};
    }
}

Qt::ItemFlags ProjectList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.row() == 0 ? flags : flags | Qt::ItemIsDragEnabled;
}

Qt::DropActions ProjectList::supportedDragActions() const
{
    // A move would let the target delete the user's files.
    return Qt::CopyAction;
}

QStringList ProjectList::mimeTypes() const
{
    return {UriListType, PlainTextType};
}

QMimeData* ProjectList::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    rows.reserve(indexes.size());
    for (const QModelIndex& index : indexes)
        rows.append(index.row());
    return dragData(std::move(rows));
}

Status ProjectList::LoadProject(const QString& projectFile)
{
    QStringList entries;
    Status status;
    if (!projectFile.isEmpty()) {
        Result<QStringList> read = ::ProjectFile::read(projectFile);
        if (read)
            entries = std::move(read.value());
        else if (read.error().code != ErrorCode::FileNotFound)
            status = read.error();
    }
    beginResetModel();
    m_file = status ? projectFile : QString();
    entries.prepend(NewDocumentHint);
    m_paths = std::move(entries);
    m_saved = true;
    showStoredOrder();
    endResetModel();
    emit selectionRequested(0, SelectionMode::Only);
    return status;
}

Status ProjectList::save()
{
    return saveAs(m_file);
}

Status ProjectList::saveAs(const QString& projectFile)
{
    // The caller asks for a name first; this only keeps a slip from writing "".
    if (projectFile.isEmpty())
        return Error{ErrorCode::PathAccess, ::ProjectFile::ErrorPrefix + NoFileNameReason};
    // Relative entries keep naming the same files from the new folder.
    QStringList entries = m_paths.sliced(1);
    bool rebased = false;
    for (QString& entry : entries) {
        QString moved = ProjectEntry(entry).rebased(m_file, projectFile);
        if (moved != entry) {
            entry = std::move(moved);
            rebased = true;
        }
    }
    const Status written = ::ProjectFile::write(projectFile, entries);
    if (!written)
        return written;
    m_file = projectFile;
    m_saved = true;
    if (rebased) {
        m_paths = QStringList(m_paths.first()) + entries;
        m_indexed = false;
        emit dataChanged(index(1), index(int(m_rows.size()) - 1));
    }
    return written;
}

void ProjectList::buildIndex() const
{
    m_slotsByFolded.clear();
    m_slotsByFolded.reserve(m_paths.size());
    for (int slot = 1; slot < m_paths.size(); ++slot)
        m_slotsByFolded.insert(m_paths.at(slot).toCaseFolded(), slot);
    m_rowOfSlot = QList<int>(m_paths.size(), 0);
    for (int row = 0; row < m_rows.size(); ++row)
        m_rowOfSlot[m_rows.at(row)] = row;
    m_indexed = true;
}

int ProjectList::FindPathInList(const QString& path) const
{
    if (!m_indexed)
        buildIndex();
    // Same paths differ at most in letter case, so only entries that fold to the
    // same text need the file system's answer.
    int found = -1;
    const QString folded = path.toCaseFolded();
    for (auto it = m_slotsByFolded.constFind(folded);
         it != m_slotsByFolded.cend() && it.key() == folded; ++it) {
        const int row = m_rowOfSlot.at(it.value());
        if ((found < 0 || row < found) && ProjectEntry::samePath(m_paths.at(it.value()), path))
            found = row;
    }
    return found;
}

ProjectList::AddResult ProjectList::AddNewDocOrLink(const QString& path)
{
    AddResult result;
    const QString reason = ::ProjectFile::refusalReason(path);
    if (!reason.isEmpty()) {
        result.errorMessage = ::ProjectFile::errorMessage(path, reason);
        return result;
    }
    result.row = FindPathInList(path);
    if (result.row >= 0) {
        result.outcome = Outcome::AlreadyListed;
        emit selectionRequested(result.row, SelectionMode::Also);
        return result;
    }
    const int slot = int(m_paths.size());
    result.row = int(m_rows.size());
    result.outcome = Outcome::Added;
    beginInsertRows({}, result.row, result.row);
    m_paths.append(path);
    m_rows.append(slot);
    m_slotsByFolded.insert(path.toCaseFolded(), slot);
    m_rowOfSlot.append(result.row);
    m_saved = false;
    endInsertRows();
    emit selectionRequested(result.row, SelectionMode::Only);
    return result;
}

Status ProjectList::relocate(int row, const QString& path)
{
    const QString reason = ::ProjectFile::refusalReason(path);
    if (!reason.isEmpty())
        return Error{ErrorCode::BadFormat, ::ProjectFile::errorMessage(path, reason)};
    if (row <= 0 || row >= m_rows.size())
        return Error{ErrorCode::BadFormat, ::ProjectFile::ErrorPrefix + NoSuchRowReason};
    m_paths[m_rows.at(row)] = path;
    m_saved = false;
    m_indexed = false;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
    return {};
}

void ProjectList::removeEntries(QList<int> rows)
{
    std::vector<bool> removed(m_paths.size(), false);
    for (const int row : entryRows(std::move(rows)))
        removed[m_rows.at(row)] = true;
    beginResetModel();
    QStringList kept;
    kept.reserve(m_paths.size());
    for (int slot = 0; slot < m_paths.size(); ++slot) {
        if (!removed[slot])
            kept.append(m_paths.at(slot));
    }
    m_paths = std::move(kept);
    m_saved = false;
    showStoredOrder();
    endResetModel();
    emit selectionRequested(0, SelectionMode::Only);
}

void ProjectList::sortByDisplayText()
{
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // The C locale's collator compares code points and ignores the case setting.
    const bool fold = collator.locale().language() == QLocale::C;
    // One key per row, not one comparison of two texts per step of the sort.
    std::vector<std::pair<QCollatorSortKey, int>> keyed;
    keyed.reserve(m_rows.size());
    for (int row = 1; row < m_rows.size(); ++row) {
        const int slot = m_rows.at(row);
        const QString text = ProjectEntry(m_paths.at(slot)).displayText();
        keyed.emplace_back(collator.sortKey(fold ? text.toCaseFolded() : text), slot);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first.compare(b.first) < 0; });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> slotsBefore;
    slotsBefore.reserve(before.size());
    for (const QModelIndex& index : before)
        slotsBefore.append(m_rows.value(index.row()));
    QList<int> rowOfSlot(m_paths.size(), 0);
    for (int row = 1; row < m_rows.size(); ++row) {
        m_rows[row] = keyed[row - 1].second;
        rowOfSlot[m_rows[row]] = row;
    }
    QModelIndexList after;
    after.reserve(before.size());
    for (const int slot : slotsBefore)
        after.append(index(rowOfSlot.at(slot)));
    changePersistentIndexList(before, after);
    m_rowOfSlot = std::move(rowOfSlot);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    emit selectionRequested(0, SelectionMode::Only);
}

void ProjectList::showStoredOrder()
{
    m_rows.resize(m_paths.size());
    for (int row = 0; row < m_rows.size(); ++row)
        m_rows[row] = row;
    m_indexed = false;
    m_slotsByFolded.clear();
    m_rowOfSlot.clear();
}

QList<int> ProjectList::entryRows(QList<int> rows) const
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.removeIf([this](int row) { return row <= 0 || row >= m_rows.size(); });
    return rows;
}

QList<QUrl> ProjectList::existingUrls(const QList<int>& rows) const
{
    QList<QUrl> urls;
    for (const int row : rows) {
        const QString target = ProjectEntry(m_paths.at(m_rows.at(row))).target();
        const QString path = ProjectEntry(target).resolved(m_file);
        // Offering a missing file would fail in the target, after the drop.
        if (QFileInfo::exists(path))
            urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

QMimeData* ProjectList::dragData(QList<int> rows) const
{
    const QList<QUrl> urls = existingUrls(entryRows(std::move(rows)));
    if (urls.isEmpty())
        return nullptr;
    QStringList paths;
    paths.reserve(urls.size());
    for (const QUrl& url : urls)
        paths.append(url.toLocalFile());
    auto* data = new QMimeData;
    data->setUrls(urls);
    data->setText(paths.join(u'\n'));
    return data;
}

QString ProjectList::copiedPaths(QList<int> rows) const
{
    QStringList paths;
    for (const int row : entryRows(std::move(rows)))
        paths.append(ProjectEntry(m_paths.at(m_rows.at(row))).resolved(m_file));
    return paths.join(u'\n');
}

QMimeData* ProjectList::copyData(QList<int> rows) const
{
    rows = entryRows(std::move(rows));
    auto* data = new QMimeData;
    data->setUrls(existingUrls(rows));
    data->setText(copiedPaths(rows));
    return data;
}

QStringList ProjectList::droppedPaths(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        QString path = url.toLocalFile();
        if (!path.endsWith(u'/') && QFileInfo(path).isDir())
            path += u'/';
        paths.append(path);
    }
    return paths;
}
