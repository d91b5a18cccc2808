#include "recoverywriter.h"

RecoveryWriter::RecoveryWriter(const RecoveryStore& store, QObject* parent)
    : QObject(parent), m_store(store)
{
    m_thread.setObjectName(QStringLiteral("RecoveryWriter"));
    m_worker.moveToThread(&m_thread);
    m_thread.start(QThread::LowPriority);
}

RecoveryWriter::~RecoveryWriter()
{
    waitForIdle();
    m_thread.quit();
    m_thread.wait();
}

void RecoveryWriter::write(const QString& name, RecoverySnapshot snapshot)
{
    enqueue(name, std::move(snapshot));
}

void RecoveryWriter::remove(const QString& name)
{
    enqueue(name, Removal{});
}

void RecoveryWriter::enqueue(const QString& name, Job job)
{
    {
        QMutexLocker locker(&m_mutex);
        // A waiting job keeps its place: what it is to leave behind is only the newest.
        if (!m_jobs.contains(name))
            m_order.append(name);
        m_jobs.insert(name, std::move(job));
    }
    QMetaObject::invokeMethod(
        &m_worker, [this] { drain(); }, Qt::QueuedConnection);
}

void RecoveryWriter::drain()
{
    for (;;) {
        QString name;
        Job job;
        {
            QMutexLocker locker(&m_mutex);
            if (m_order.isEmpty()) {
                m_busy = false;
                m_idle.wakeAll();
                return;
            }
            name = m_order.takeFirst();
            job = m_jobs.take(name);
            m_busy = true;
        }
        Status done;
        const auto* snapshot = std::get_if<RecoverySnapshot>(&job);
        if (snapshot)
            done = m_store.write(name, snapshot->finish());
        else
            done = m_store.remove(name);
        if (!done)
            emit failed(name, done.error().message);
        else if (snapshot)
            emit written(name);
    }
}

void RecoveryWriter::waitForIdle()
{
    QMutexLocker locker(&m_mutex);
    while (!m_order.isEmpty() || m_busy)
        m_idle.wait(&m_mutex);
}
