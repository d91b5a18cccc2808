#pragma once

#include "tree/fileplan.h"
#include "tree/filereport.h"
#include "tree/filesteps.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>
#include <optional>

class QThread;

// A copy, move, trash or delete of the folder tree's items: planned (collisions
// asked about before anything changes), run one item at a time on a worker
// thread with progress and cancel, and reported.
class FileOperation : public QObject {
    Q_OBJECT
public:
    using Kind = FileOperationKind;
    using Ask = FilePlan::Ask;

    // target: the folder copies and moves go into; ignored by the trash and deletes.
    FileOperation(Kind kind, const QStringList& sources, const QString& target, FileSteps steps,
                  QObject* parent = nullptr);
    // Cancels a run still going and waits for it.
    ~FileOperation() override;

    // A drop: Ctrl alone copies, Shift alone moves, anything else does nothing.
    static std::optional<Kind> dropKind(Qt::KeyboardModifiers modifiers);

    Kind kind() const { return m_kind; }
    // Asked "Replace " + path + "?" for each collision, on the thread that runs
    // the operation (a window answers through a blocking queued call). Without
    // it every collision is answered No.
    void setAsk(Ask ask);

    // Runs on a worker thread; finished() follows in this object's thread.
    void start();
    // Runs in the calling thread and returns the report.
    FileReport run();
    // From any thread: stops before the next item, or within a file being copied.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }
    // Until a started run has ended.
    void wait();
    bool isRunning() const;
    // What the last run did.
    const FileReport& report() const { return m_report; }

signals:
    // Before each item, from the running thread: items done of the total and the
    // item's path; at the end once more with an empty path.
    void progressed(qsizetype done, qsizetype total, const QString& current);
    // Within a file being copied.
    void bytesCopied(qint64 done, qint64 total);
    void finished();

private:
    Kind m_kind;
    QStringList m_sources;
    QString m_target;
    FileSteps m_steps;
    Ask m_ask;
    std::atomic<bool> m_cancelled{false};
    std::unique_ptr<QThread> m_thread;
    FileReport m_report;
};
