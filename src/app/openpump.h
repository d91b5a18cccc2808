#pragma once

#include "openqueue.h"

#include <QObject>
#include <functional>

class DocumentManager;
class OpenBatchView;
class QTimer;
class QWidget;
class Settings;

// The open queue's pump: paths handed over (from the command line, other
// instances, drops, lists) wait in the queue and Timer5 opens one after another,
// each once the one before has finished, holding the document area still while a
// batch opens.
class OpenPump : public QObject {
    Q_OBJECT
public:
    // open(path, fromOutside) opens one path; the frame is shown when a path comes.
    OpenPump(QWidget* frame, Settings& settings, DocumentManager& documents,
             std::function<void(const QString&, bool)> open);

    void MDIForm_LinkExecute(const QString& CmdStr, int& Cancel);
    // Queues a path as MDIForm_LinkExecute does; false when the queue is closed.
    bool queuePath(const QString& path, int source);
    void Timer5_Timer();
    // Opens what is queued now, unless an opening is in progress.
    void drain();
    // The program closes: nothing more is queued or opened.
    void close();
    // A question about a changed document must show the document.
    void showBatch();

    OpenQueue& queue() { return m_queue; }

signals:
    // The queue has been worked off to the end.
    void queueDrained();

private:
    QWidget* m_frame;
    Settings& m_settings;
    DocumentManager& m_documents;
    std::function<void(const QString&, bool)> m_open;
    QTimer* m_timer5;
    OpenQueue m_queue;
    OpenBatchView* m_batchView;
    bool m_linkEnabled = true;
};
