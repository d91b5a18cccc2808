#pragma once

#include <QQueue>
#include <QString>
#include <functional>

// Paths waiting to be opened, handed out one at a time by the frame's timer so
// that an opening in progress (which may ask questions) is never interrupted.
class OpenQueue {
public:
    enum State : qint16 { NotReady = 0, Idle = 1, Busy = 2 };
    enum class Tick { Waiting, Opened, Drained };

    // Queues a path; a source below 1 marks a path from outside the program.
    void append(const QString& command, int source);
    // One timer tick: opens the next path, or reports the queue drained. After
    // an opening, a cancelled batch empties the rest of the queue.
    Tick tick(const std::function<void(const QString&)>& open,
              const std::function<bool()>& batchCancelled);
    // The opening in progress has finished, successfully or not.
    void finished() { OpenQueueState = Idle; }

    QQueue<QString> Queue;
    qint16 OpenQueueState = NotReady;
    bool OpenFromOutside = false;
};
