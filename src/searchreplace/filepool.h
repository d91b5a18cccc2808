#pragma once

#include "treewalker.h"

#include <QByteArray>
#include <QList>
#include <QSemaphore>
#include <QThreadPool>

#include <functional>

// What one file gave: the lines for stdout and stderr, and its tallies.
struct FileReport {
    QByteArray out;
    QByteArray err;
    bool matched = false;
    bool trouble = false;
    int count = 0;
};

// Works on many files at once and gives the reports back in the files' order.
// Writing waits on the disk (each atomic save syncs), so a writing pool has
// more threads than cores. Memory stays bounded: a file holds three times its
// size for its work, taken from a shared budget; a file larger than the whole
// budget waits until it can take all of it, and so runs alone.
class FilePool {
public:
    static constexpr qsizetype Batch = 512;
    using Work = std::function<FileReport(const TreeWalker::Entry&)>;

    explicit FilePool(bool writing);
    ~FilePool();

    QList<FileReport> process(const QList<TreeWalker::Entry>& entries, const Work& work);

private:
    static constexpr int BudgetKb = 48 * 1024;
    QThreadPool m_pool;
    QSemaphore m_budget{BudgetKb};
};
