#include "openpump.h"

#include "document/documentmanager.h"
#include "openbatchview.h"
#include "platform/settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

OpenPump::OpenPump(QWidget* frame, Settings& settings, DocumentManager& documents,
                   std::function<void(const QString&, bool)> open)
    : QObject(frame), m_frame(frame), m_settings(settings), m_documents(documents),
      m_open(std::move(open))
{
    setObjectName(QStringLiteral("OpenPump"));
    m_timer5 = new QTimer(this);
    m_timer5->setObjectName(QStringLiteral("Timer5"));
    m_timer5->setInterval(OpenQueue::WakeInterval);
    connect(m_timer5, &QTimer::timeout, this, &OpenPump::Timer5_Timer);
    m_batchView = new OpenBatchView(documents.area(), documents, this);
}

bool OpenPump::queuePath(const QString& path, int source)
{
    int cancel = source;
    MDIForm_LinkExecute(path, cancel);
    return cancel == 0;
}

void OpenPump::MDIForm_LinkExecute(const QString& CmdStr, int& Cancel)
{
    if (!m_linkEnabled) {
        Cancel = -1;
        return;
    }
    m_queue.append(CmdStr, Cancel);
    if (!m_timer5->isActive()) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_documents.yesNoAll().presetBatch(m_settings.boolean(Key::ConfirmExt));
        if (!m_frame->isVisible())
            m_frame->show();
        m_timer5->start();
    }
    Cancel = 0;
}

void OpenPump::Timer5_Timer()
{
    // While an opening asks a question, a tick finds the queue busy; it must
    // not spin in the question's event loop.
    m_timer5->setInterval(OpenQueue::WakeInterval);
    QElapsedTimer slice;
    slice.start();
    if (m_queue.OpenQueueState == OpenQueue::Idle && !m_queue.Queue.isEmpty())
        m_batchView->begin();
    const OpenQueue::Tick tick = m_queue.run(
        {[this](const QString& path) {
             m_batchView->opening(path);
             m_open(path, m_queue.OpenFromOutside);
             m_queue.finished();
         },
         [this] { return m_documents.yesNoAll().answer() == YesNoAllRegister::Cancel; },
         // What is left after a cancelled batch came from other requests: a new batch.
         [this] { m_documents.yesNoAll().presetBatch(m_settings.boolean(Key::ConfirmExt)); },
         [&slice] { return slice.hasExpired(OpenQueue::Slice); }});
    if (tick == OpenQueue::Tick::Waiting)
        return;
    if (tick != OpenQueue::Tick::Drained) {
        // The rest follows as soon as the window has seen to its events.
        m_timer5->setInterval(0);
        return;
    }
    m_timer5->stop();
    m_timer5->setInterval(OpenQueue::WakeInterval);
    m_batchView->end();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    emit queueDrained();
}

void OpenPump::drain()
{
    while (m_timer5->isActive() && m_queue.OpenQueueState == OpenQueue::Idle)
        Timer5_Timer();
}

void OpenPump::showBatch()
{
    m_batchView->end();
}

void OpenPump::close()
{
    m_linkEnabled = false;
    m_timer5->stop();
}
