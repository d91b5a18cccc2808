#include "filerun.h"

#include "tree/filenames.h"

#include <QFileInfo>

FileRun::FileRun(FileOperationKind kind, const FileSteps& steps, const Hooks& hooks)
    : m_kind(kind), m_steps(steps), m_hooks(hooks)
{}

void FileRun::run(const FilePlan& plan, FileReport& report)
{
    m_report = &report;
    report.itemsTotal = plan.total;
    switch (m_kind) {
    case FileOperationKind::Copy:
    case FileOperationKind::Move:
        copyOrMove(plan);
        break;
    case FileOperationKind::Trash:
        trash(plan);
        break;
    case FileOperationKind::Delete:
        remove(plan);
        break;
    }
    if (m_hooks.progressed && !report.stoppedAt)
        m_hooks.progressed(report.itemsDone, report.itemsTotal, QString());
}

QString FileRun::temporaryName(const QString& target)
{
    const QFileInfo info(target);
    const QString start = info.path() + QStringLiteral("/.") + info.fileName();
    QString candidate = start + QStringLiteral(".part");
    for (int n = 2; FileNames::occupied(candidate); ++n)
        candidate = start + QStringLiteral(".part") + QString::number(n);
    return candidate;
}

bool FileRun::cancelledBefore(const PlannedItem& item)
{
    if (m_hooks.cancelled && m_hooks.cancelled()) {
        stop(item.source, Error{ErrorCode::Cancelled, CancelledText});
        return true;
    }
    if (m_hooks.progressed)
        m_hooks.progressed(m_report->itemsDone, m_report->itemsTotal, item.source);
    return false;
}

void FileRun::finish(const QString& source)
{
    ++m_report->itemsDone;
    m_report->done.append(source);
}

void FileRun::stop(const QString& path, const Error& error)
{
    const FileProblem problem{path, error.message};
    m_report->stoppedAt = problem;
    m_report->failed.append(problem);
    if (error.code == ErrorCode::Cancelled)
        m_report->cancelled = true;
}

void FileRun::copyOrMove(const FilePlan& plan)
{
    const QList<PlannedItem>& items = plan.items;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const PlannedItem& item = items.at(i);
        if (item.topLevel)
            m_crossDevice = false;
        if (cancelledBefore(item))
            return;
        // A failure names the source, except where the new folder could not be made.
        m_failedPath = item.source;
        Status status;
        switch (item.type) {
        case PlannedItem::Type::Item:
            status = m_kind == FileOperationKind::Copy ? copyItem(item) : moveItem(item);
            if (status)
                finish(item.source);
            break;
        case PlannedItem::Type::FolderStart: {
            bool movedWhole = false;
            status = startFolder(item, movedWhole);
            if (movedWhole) {
                for (qsizetype j = i + 1; j <= item.end; ++j)
                    if (items.at(j).type != PlannedItem::Type::FolderStart)
                        finish(items.at(j).source);
                i = item.end;
            }
            break;
        }
        case PlannedItem::Type::FolderEnd:
            status = endFolder(item);
            if (status)
                finish(item.source);
            break;
        }
        if (!status) {
            stop(m_failedPath, status.error());
            return;
        }
    }
}

Status FileRun::copyTo(const QString& from, const QString& to)
{
    const Status copied = m_steps.copyFile(from, to, m_hooks.cancelled, m_hooks.bytesCopied);
    // Whatever the failed copy left is ours, unless the name was taken before.
    if (!copied && copied.error().code != ErrorCode::FileExists && FileNames::occupied(to))
        m_steps.remove(to);
    return copied;
}

Status FileRun::copyItem(const PlannedItem& item)
{
    if (!item.replace)
        return copyTo(item.source, item.target);
    const QString temporary = temporaryName(item.target);
    // The working copy's name means nothing to the user: a failure names the target.
    const auto named = [&](const Status& status) -> Status {
        if (status)
            return status;
        Error error = status.error();
        error.message.replace(temporary, item.target);
        return error;
    };
    const Status copied = copyTo(item.source, temporary);
    if (!copied)
        return named(copied);
    const Status replaced = m_steps.move(temporary, item.target, true);
    if (!replaced)
        m_steps.remove(temporary);
    return named(replaced);
}

Status FileRun::moveItem(const PlannedItem& item)
{
    if (!m_crossDevice) {
        const Status moved = m_steps.move(item.source, item.target, item.replace);
        if (moved || moved.error().code != ErrorCode::NotSupported)
            return moved;
        m_crossDevice = true;
    }
    const Status copied = copyItem(item);
    if (!copied)
        return copied;
    return m_steps.remove(item.source);
}

Status FileRun::startFolder(const PlannedItem& item, bool& movedWhole)
{
    if (item.merge)
        return Status();
    if (m_kind == FileOperationKind::Move && !m_crossDevice && !item.keepSource) {
        const Status moved = m_steps.move(item.source, item.target, false);
        if (moved) {
            movedWhole = true;
            return moved;
        }
        if (moved.error().code != ErrorCode::NotSupported)
            return moved;
        m_crossDevice = true;
    }
    m_failedPath = item.target;
    return m_steps.makeFolder(item.target);
}

Status FileRun::endFolder(const PlannedItem& item)
{
    if (!item.merge) {
        const Status kept = m_steps.copyFolderAttributes(item.source, item.target);
        if (!kept)
            return kept;
    }
    if (m_kind == FileOperationKind::Move && !item.keepSource)
        return m_steps.remove(item.source);
    return Status();
}

void FileRun::remove(const FilePlan& plan)
{
    for (const PlannedItem& item : plan.items) {
        if (cancelledBefore(item))
            return;
        const Status removed = m_steps.remove(item.source);
        if (!removed) {
            stop(item.source, removed.error());
            return;
        }
        finish(item.source);
    }
}

void FileRun::trash(const FilePlan& plan)
{
    for (const PlannedItem& item : plan.items) {
        if (cancelledBefore(item))
            return;
        const Status trashed = m_steps.trash(item.source);
        if (trashed) {
            finish(item.source);
        } else if (trashed.error().code == ErrorCode::NotSupported) {
            m_report->trashRefused.append(item.source);
        } else {
            stop(item.source, trashed.error());
            return;
        }
    }
}
