#include "searchjob.h"

#include "treewalker.h"

SearchJob::SearchJob(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<ReplaceRun::Searched>();
}

void SearchJob::search(const SearchOptions& options, const QString& folder)
{
    m_cancelled = false;
    QList<TreeWalker::Entry> entries;
    TreeWalker walker(options);
    if (!walker.walk(
            folder,
            [&](const TreeWalker::Entry& entry) {
                entries.append(entry);
                return !m_cancelled;
            },
            [&](const QString& path, const QString& why) { emit fileSkipped(path, why); })) {
        emit fileSkipped(folder, QStringLiteral("not a readable folder"));
        emit finished(m_cancelled, 0, 0);
        return;
    }
    // Stamps are taken now, so a replace later can tell a file changed since.
    SearchOptions stamped = options;
    stamped.replacing = true;
    const ReplaceRun run(stamped);
    int files = 0, matches = 0;
    const int total = int(entries.size());
    for (int i = 0; i < total && !m_cancelled; ++i) {
        Result<ReplaceRun::Searched> searched = run.search(entries[i], false);
        if (!searched) {
            emit fileSkipped(entries[i].path, searched.error().message);
        } else if (searched.value().scan.matchCount > 0) {
            ++files;
            matches += searched.value().scan.matchCount;
            emit fileFound(searched.value());
        }
        if (i % 50 == 49 || i == total - 1)
            emit progressed(i + 1, total);
    }
    emit finished(m_cancelled, files, matches);
}

void SearchJob::replace(const SearchOptions& options, const QList<Choice>& choices,
                        const QString& backupFolder)
{
    m_cancelled = false;
    ReplaceRun run(options);
    run.setBackupFolder(backupFolder);
    int files = 0, count = 0;
    const int total = int(choices.size());
    for (int i = 0; i < total && !m_cancelled; ++i) {
        const Choice& choice = choices[i];
        const ReplaceRun::FileOutcome outcome = run.replace(choice.searched, &choice.lines);
        if (outcome.outcome == ReplaceRun::Outcome::Replaced) {
            ++files;
            count += outcome.count;
            emit fileReplaced(choice.searched.path, outcome.count);
        } else if (!outcome.message.isEmpty()) {
            emit fileSkipped(choice.searched.path, outcome.message);
        }
        emit progressed(i + 1, total);
    }
    emit finished(m_cancelled, files, count);
}
