#pragma once

#include "recoverysnapshot.h"
#include "recoverystore.h"

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QWaitCondition>
#include <variant>

// Writes and removes recovery copies on a thread of its own, in the order asked
// for. A copy asked for again before its turn replaces the waiting one, so a
// slow disk never queues stale copies.
class RecoveryWriter : public QObject {
    Q_OBJECT
public:
    explicit RecoveryWriter(const RecoveryStore& store, QObject* parent = nullptr);
    // Finishes what was asked for first.
    ~RecoveryWriter() override;

    void write(const QString& name, RecoverySnapshot snapshot);
    void remove(const QString& name);
    // Blocks until everything asked for so far is done.
    void waitForIdle();

signals:
    // From the writer's thread; connect queued. written: a copy, not a removal.
    void written(const QString& name);
    void failed(const QString& name, const QString& message);

private:
    struct Removal {};
    using Job = std::variant<RecoverySnapshot, Removal>;
    void enqueue(const QString& name, Job job);
    void drain();

    RecoveryStore m_store;
    QThread m_thread;
    QObject m_worker; // lives on m_thread; runs drain there
    QMutex m_mutex;
    QWaitCondition m_idle;
    QStringList m_order;
    QHash<QString, Job> m_jobs;
    bool m_busy = false;
};
