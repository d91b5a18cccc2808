#pragma once

#include <QQueue>
#include <QString>
#include <functional>

// Paths waiting to be opened, handed out one at a time by the frame's timer so
// that an opening in progress (which may ask questions) is never interrupted.
class OpenQueue {
public:
    enum State : qint16 { NotReady = 0, Idle = 1, Busy = 2 };
    enum class Tick { Waiting, Opened, Cancelled, Drained };

    struct Entry {
        QString path;
        // Paths queued together form a batch, which a Cancel stops as a whole.
        int batch = 0;
    };

    // Queues a path; a source below 1 marks a path from outside the program.
    void append(const QString& command, int source);
    // One timer tick: opens the next path, or reports the queue drained. When
    // the opening cancelled its batch, the rest of that batch is dropped
    // (Cancelled); paths that came while it was opening (its questions waited
    // for the user) came from another request and stay queued.
    Tick tick(const std::function<void(const QString&)>& open,
              const std::function<bool()>& batchCancelled);
    // The opening in progress has finished, successfully or not.
    void finished() { OpenQueueState = Idle; }

    QQueue<Entry> Queue;
    qint16 OpenQueueState = NotReady;
    bool OpenFromOutside = false;

private:
    int m_batch = 0;
    int m_batches = 0;
};
