#include "fileplan.h"

#include "tree/filenames.h"

#include <QDir>
#include <QFileInfo>

#include <dirent.h>

namespace {

constexpr auto ListAll = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;

// Names in the folder that are not UTF-8: Qt's listings leave them out, and
// no path of ours reaches them.
QStringList unreachableNames(const QString& folder)
{
    QStringList names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const QByteArray raw(entry->d_name);
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw)
            names << name;
    }
    closedir(dir);
    return names;
}

bool isRealFolder(const QFileInfo& info)
{
    return !info.isSymLink() && info.isDir();
}

bool isPlainItem(const QFileInfo& info)
{
    return info.isSymLink() || info.isFile();
}

QString parentOf(const QString& path)
{
    return QFileInfo(path).path();
}

} // namespace

// Walks the sources once, filling the plan in the order the run will take it.
class FilePlan::Walker {
public:
    Walker(FilePlan& plan, FileOperationKind kind, const Ask& ask, const Cancelled& cancelled)
        : m_plan(plan), m_kind(kind), m_ask(ask), m_cancelled(cancelled)
    {}

    void copyOrMove(const QStringList& sources, const QString& target)
    {
        const QFileInfo targetInfo(target);
        if (!targetInfo.isDir()) {
            m_plan.refused.append({target, NoTargetText});
            return;
        }
        const QString targetFolder = QDir::cleanPath(targetInfo.absoluteFilePath());
        const QString canonicalTarget = targetInfo.canonicalFilePath();
        for (const QString& source : sources) {
            if (stopped())
                return;
            const QFileInfo info(source);
            if (!info.exists() && !info.isSymLink()) {
                m_plan.refused.append({source, NotFoundText});
                continue;
            }
            if (isRealFolder(info)) {
                const QString canonical = info.canonicalFilePath();
                if (canonicalTarget == canonical || canonicalTarget.startsWith(canonical + u'/')) {
                    m_plan.refused.append({source, IntoItselfText});
                    continue;
                }
            }
            const bool ownFolder =
                QFileInfo(parentOf(source)).canonicalFilePath() == canonicalTarget;
            if (ownFolder && m_kind == FileOperationKind::Move) {
                m_plan.skipped.append({source, AlreadyThereText});
                continue;
            }
            QString name = info.fileName();
            if (ownFolder)
                name = FileNames::copyName(targetFolder, name, isRealFolder(info), m_taken);
            // Two sources of one name from different folders would meet here.
            const QString path = targetFolder + u'/' + name;
            if (m_taken.contains(path)) {
                m_plan.skipped.append({source, SameNameText});
                continue;
            }
            m_taken.insert(path);
            const qsizetype first = m_plan.items.size();
            addItem(info, path, true);
            if (first < m_plan.items.size())
                m_plan.items[first].topLevel = true;
        }
    }

    void remove(const QStringList& sources)
    {
        for (const QString& source : sources) {
            if (stopped())
                return;
            const QFileInfo info(source);
            if (!info.exists() && !info.isSymLink()) {
                m_plan.refused.append({source, NotFoundText});
                continue;
            }
            const qsizetype first = m_plan.items.size();
            if (m_kind == FileOperationKind::Trash)
                addCounted(PlannedItem::Type::Item, source, QString());
            else
                removeItem(info);
            if (first < m_plan.items.size())
                m_plan.items[first].topLevel = true;
        }
    }

private:
    bool stopped()
    {
        if (!m_plan.cancelled && m_cancelled && m_cancelled())
            m_plan.cancelled = true;
        return m_plan.cancelled;
    }

    void addCounted(PlannedItem::Type type, const QString& source, const QString& target)
    {
        PlannedItem item;
        item.type = type;
        item.source = source;
        item.target = target;
        m_plan.items.append(item);
        ++m_plan.total;
    }

    // Something inside the folders being walked stays where it is, so a move
    // must keep their sources.
    void leaveBehind(const QString& source, const QString& reason, bool refused = false)
    {
        (refused ? m_plan.refused : m_plan.skipped).append({source, reason});
        for (const qsizetype start : std::as_const(m_openFolders))
            m_plan.items[start].keepSource = true;
    }

    void addItem(const QFileInfo& info, const QString& target, bool mayExist)
    {
        const QString source = info.filePath();
        if (!isRealFolder(info) && !isPlainItem(info)) {
            // A name that is not UTF-8 (picked in the tree) is not found by its text.
            const bool unreadable = !info.exists() && !info.isSymLink() &&
                                    info.fileName().contains(QChar::ReplacementCharacter);
            leaveBehind(source, unreadable ? UnreadableNameText : SpecialText);
            return;
        }
        const QFileInfo existing(target);
        if (!mayExist || (!existing.exists() && !existing.isSymLink())) {
            if (isRealFolder(info))
                addFolder(source, target, false);
            else
                addCounted(PlannedItem::Type::Item, source, target);
            return;
        }
        if (isRealFolder(info) && isRealFolder(existing)) {
            addFolder(source, target, true);
        } else if (isRealFolder(info) || isRealFolder(existing)) {
            leaveBehind(source, isRealFolder(info) ? FolderOntoFileText : FileOntoFolderText);
        } else if (replaceAnswer(target)) {
            addCounted(PlannedItem::Type::Item, source, target);
            m_plan.items.last().replace = true;
        } else if (!m_plan.cancelled) {
            leaveBehind(source, NotReplacedText);
        }
    }

    void addFolder(const QString& source, const QString& target, bool merge)
    {
        const QFileInfo folder(source);
        if (!folder.isReadable() || !folder.isExecutable()) {
            leaveBehind(source, UnreadableText, true);
            return;
        }
        const qsizetype start = m_plan.items.size();
        const qsizetype countedBefore = m_plan.total;
        PlannedItem first;
        first.type = PlannedItem::Type::FolderStart;
        first.source = source;
        first.target = target;
        first.merge = merge;
        m_plan.items.append(first);
        m_openFolders.append(start);
        const QFileInfoList children = QDir(source).entryInfoList(ListAll, QDir::Name);
        for (const QFileInfo& child : children) {
            if (stopped())
                return;
            addItem(child, target + u'/' + child.fileName(), merge);
        }
        for (const QString& name : unreachableNames(source))
            leaveBehind(source + u'/' + name, UnreadableNameText);
        m_openFolders.removeLast();
        addCounted(PlannedItem::Type::FolderEnd, source, target);
        PlannedItem& end = m_plan.items.last();
        end.merge = merge;
        end.keepSource = m_plan.items[start].keepSource;
        if (end.keepSource && !m_openFolders.isEmpty())
            m_plan.items[m_openFolders.last()].keepSource = true;
        m_plan.items[start].end = m_plan.items.size() - 1;
        m_plan.items[start].inside = m_plan.total - countedBefore;
    }

    // Depth-first, each folder after its content.
    void removeItem(const QFileInfo& info)
    {
        if (!isRealFolder(info)) {
            addCounted(PlannedItem::Type::Item, info.filePath(), QString());
            return;
        }
        const QFileInfoList children = QDir(info.filePath()).entryInfoList(ListAll);
        for (const QFileInfo& child : children) {
            if (stopped())
                return;
            removeItem(child);
        }
        addCounted(PlannedItem::Type::FolderEnd, info.filePath(), QString());
    }

    bool replaceAnswer(const QString& target)
    {
        if (!m_standing) {
            CollisionAnswer answer;
            answer.answer = No;
            if (m_ask)
                answer = m_ask(question(target));
            if (answer.applyToAll)
                m_standing = answer.answer;
            if (answer.answer == Cancel)
                m_plan.cancelled = true;
            return answer.answer == Yes;
        }
        return *m_standing == Yes;
    }

    FilePlan& m_plan;
    FileOperationKind m_kind;
    const Ask& m_ask;
    const Cancelled& m_cancelled;
    std::optional<int> m_standing;
    QSet<QString> m_taken;
    QList<qsizetype> m_openFolders;
};

QString FilePlan::question(const QString& path)
{
    return QuestionStart + path + u'?';
}

QStringList FilePlan::topSources(const QStringList& sources)
{
    QStringList cleaned;
    QSet<QString> seen;
    for (const QString& source : sources) {
        const QString path = QDir::cleanPath(QFileInfo(source).absoluteFilePath());
        if (!seen.contains(path)) {
            seen.insert(path);
            cleaned.append(path);
        }
    }
    QStringList top;
    for (const QString& path : std::as_const(cleaned)) {
        bool inside = false;
        for (QString up = parentOf(path); !inside && up != parentOf(up); up = parentOf(up))
            inside = seen.contains(up);
        if (!inside && path != u'/')
            top.append(path);
    }
    return top;
}

FilePlan FilePlan::make(FileOperationKind kind, const QStringList& sources, const QString& target,
                        const Ask& ask, const Cancelled& cancelled)
{
    FilePlan plan;
    Walker walker(plan, kind, ask, cancelled);
    const QStringList top = topSources(sources);
    if (kind == FileOperationKind::Copy || kind == FileOperationKind::Move)
        walker.copyOrMove(top, target);
    else
        walker.remove(top);
    return plan;
}
