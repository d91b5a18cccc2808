#include "openqueue.h"

void OpenQueue::append(const QString& command, int source)
{
    if (source < 1)
        OpenFromOutside = true;
    Queue.enqueue({command, m_batch});
}

OpenQueue::Tick OpenQueue::tick(const std::function<void(const QString&)>& open,
                                const std::function<bool()>& batchCancelled)
{
    if (OpenQueueState != Idle)
        return Tick::Waiting;
    OpenQueueState = Busy;
    if (!Queue.isEmpty()) {
        const Entry entry = Queue.dequeue();
        m_batch = ++m_batches;
        open(entry.path);
        m_batch = entry.batch;
        if (!batchCancelled())
            return Tick::Opened;
        Queue.removeIf([&](const Entry& e) { return e.batch == entry.batch; });
        return Tick::Cancelled;
    }
    OpenFromOutside = false;
    OpenQueueState = Idle;
    return Tick::Drained;
}

OpenQueue::Tick OpenQueue::run(const Steps& steps)
{
    for (;;) {
        const Tick step = tick(steps.open, steps.batchCancelled);
        if (step == Tick::Cancelled && !Queue.isEmpty() && steps.newBatch)
            steps.newBatch();
        if (step == Tick::Waiting || step == Tick::Drained)
            return step;
        // An opening that goes on after its call returned is waited for.
        if (OpenQueueState != Idle)
            return Tick::Waiting;
        if (!Queue.isEmpty() && steps.pause && steps.pause())
            return step;
    }
}
