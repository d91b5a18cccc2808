#include "openqueue.h"

void OpenQueue::append(const QString& command, int source)
{
    if (source < 1)
        OpenFromOutside = true;
    Queue.enqueue(command);
}

OpenQueue::Tick OpenQueue::tick(const std::function<void(const QString&)>& open,
                                const std::function<bool()>& batchCancelled)
{
    if (OpenQueueState != Idle)
        return Tick::Waiting;
    OpenQueueState = Busy;
    if (!Queue.isEmpty()) {
        open(Queue.dequeue());
        if (batchCancelled())
            Queue.clear();
        return Tick::Opened;
    }
    OpenFromOutside = false;
    OpenQueueState = Idle;
    return Tick::Drained;
}
