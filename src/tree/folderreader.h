#pragma once

#include "platform/result.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <vector>

// Lists one folder at a time on a worker thread, the way the folder tree shows
// it: folders, files and links to them, never hidden entries, sockets, pipes or
// devices. Each read is a ticket; its entries arrive in sorted batches, the first
// one small so the tree shows rows at once, and a cancelled ticket delivers
// nothing more.
class FolderReader : public QObject {
    Q_OBJECT
public:
    struct Entry {
        QString name;
        bool folder = false;
        QCollatorSortKey sortKey;
    };
    // A run of entries in the tree's order; the batches of one read follow each
    // other in that order too, so the receiver merges them from front to back.
    struct Batch {
        quint64 ticket = 0;
        QString folder;
        std::vector<Entry> entries;
        bool last = false;
    };

    static constexpr int FirstBatchSize = 200;
    static constexpr int BatchSize = 5000;

    explicit FolderReader(QObject* parent = nullptr);
    // Cancels every read and waits for the workers to notice.
    ~FolderReader() override;

    // The order of names in the tree: by the user's language, ignoring case,
    // without numeric ordering. Folders and files are not told apart.
    static QCollator collator(const QLocale& locale = QLocale());
    // The key a name sorts by; the C locale's collator would otherwise put "Zeta"
    // before "alpha", whatever its case setting.
    static QCollatorSortKey sortKey(const QCollator& collator, const QString& name);
    // Whether one entry comes before another; equal keys ("A", "a") fall back
    // to the names, so the order never depends on the disk's.
    static bool before(const QCollatorSortKey& key, const QString& name,
                       const QCollatorSortKey& otherKey, const QString& otherName);
    static bool before(const Entry& entry, const Entry& other)
    {
        return before(entry.sortKey, entry.name, other.sortKey, other.name);
    }

    // The whole listing of a folder, sorted, on the calling thread.
    static Result<std::vector<Entry>> list(const QString& folder,
                                           const QLocale& locale = QLocale());

    // Starts reading a folder and returns its ticket, never 0.
    quint64 read(const QString& folder);
    // Drops a read: a batch of it still on its way is not delivered.
    void cancel(quint64 ticket);
    void cancelAll();
    bool isReading(quint64 ticket) const { return m_jobs.contains(ticket); }

signals:
    void batchRead(const FolderReader::Batch& batch);
    // The folder could not be listed; the error has the system's description.
    void readFailed(quint64 ticket, const QString& folder, const Error& error);

private:
    using Flag = std::shared_ptr<std::atomic_bool>;
    void deliver(const std::shared_ptr<Batch>& batch);
    void fail(quint64 ticket, const QString& folder, const Error& error);

    QLocale m_locale;
    QThreadPool m_pool;
    QHash<quint64, Flag> m_jobs; // running reads by ticket, each with its cancel flag
    quint64 m_lastTicket = 0;
};
