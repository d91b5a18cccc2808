#pragma once

#include <QQueue>
#include <QString>
#include <functional>

// Paths waiting to be opened, handed out one at a time so that an opening in
// progress (which may ask questions) is never interrupted: the next path is
// taken only once the one before has finished.
class OpenQueue {
public:
    enum State : qint16 { NotReady = 0, Idle = 1, Busy = 2 };
    enum class Tick { Waiting, Opened, Cancelled, Drained };
    // How long after a path arrives an idle queue wakes, in milliseconds.
    static constexpr int WakeInterval = 300;
    // How long, in milliseconds, a run may open paths before the window sees
    // to its events; more would make it feel stuck.
    static constexpr int Slice = 50;

    struct Entry {
        QString path;
        // Paths queued together form a batch, which a Cancel stops as a whole.
        int batch = 0;
    };

    // What a run of the queue does with its entries.
    struct Steps {
        // Opens one path; the opening calls finished() when it is done.
        std::function<void(const QString&)> open;
        // True when the opening just done cancelled its batch.
        std::function<bool()> batchCancelled;
        // Called when a cancelled batch leaves entries of other requests.
        std::function<void()> newBatch;
        // True when the window should see to its events before the next entry.
        std::function<bool()> pause;
    };

    // Queues a path; a source below 1 marks a path from outside the program.
    void append(const QString& command, int source);
    // One step: opens the next path, or reports the queue drained. When the
    // opening cancelled its batch, the rest of that batch is dropped
    // (Cancelled); paths that came while it was opening (its questions waited
    // for the user) came from another request and stay queued.
    Tick tick(const std::function<void(const QString&)>& open,
              const std::function<bool()>& batchCancelled);
    // Opens entry after entry for as long as each opening has finished when it
    // returns and steps.pause() does not ask for a break. Returns Waiting when
    // the queue is not ready or an opening is still in progress (it asks a
    // question further up the stack), Drained once it is empty, or the last
    // step's Opened or Cancelled when it paused with entries left.
    Tick run(const Steps& steps);
    // The opening in progress has finished, successfully or not.
    void finished() { OpenQueueState = Idle; }

    QQueue<Entry> Queue;
    qint16 OpenQueueState = NotReady;
    bool OpenFromOutside = false;

private:
    int m_batch = 0;
    int m_batches = 0;
};
