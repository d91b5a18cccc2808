#include "filepool.h"

#include <QThread>

FilePool::FilePool(bool writing)
{
    m_pool.setMaxThreadCount(writing ? 16 : qMax(2, QThread::idealThreadCount()));
}

FilePool::~FilePool()
{
    m_pool.waitForDone();
}

QList<FileReport> FilePool::process(const QList<TreeWalker::Entry>& entries, const Work& work)
{
    QList<FileReport> reports(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        m_pool.start([this, i, &entries, &reports, &work] {
            const TreeWalker::Entry& entry = entries[i];
            const int need = int(qBound(qint64(1), entry.size * 3 / 1024 + 1, qint64(BudgetKb)));
            m_budget.acquire(need);
            reports[i] = work(entry);
            m_budget.release(need);
        });
    }
    m_pool.waitForDone();
    return reports;
}
