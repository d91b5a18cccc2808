#pragma once

#include "replacerun.h"
#include "searchoptions.h"

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QSet>

#include <atomic>

// The window's search and replace, run on a worker thread: it reports each
// file as it goes and stops soon after cancel() from any thread.
class SearchJob : public QObject {
    Q_OBJECT
public:
    struct Choice {
        ReplaceRun::Searched searched;
        QSet<qint64> lines; // the lines to change
    };

    explicit SearchJob(QObject* parent = nullptr);

    void cancel() { m_cancelled = true; }
    bool isCancelled() const { return m_cancelled; }

    // Both block; call them on the worker thread.
    void search(const SearchOptions& options, const QString& folder);
    void replace(const SearchOptions& options, const QList<Choice>& choices,
                 const QString& backupFolder);

signals:
    void fileFound(const ReplaceRun::Searched& searched);
    void fileSkipped(const QString& path, const QString& why);
    void fileReplaced(const QString& path, int count);
    void progressed(int done, int total);
    void finished(bool cancelled, int files, int matches);

private:
    std::atomic<bool> m_cancelled{false};
};

Q_DECLARE_METATYPE(ReplaceRun::Searched)
