#include "openbatchview.h"

#include "document/documentmanager.h"
#include "document/documenttable.h"
#include "document/frmtext.h"

#include <QApplication>
#include <QMdiArea>

OpenBatchView::OpenBatchView(QMdiArea* area, DocumentManager& documents, QObject* parent)
    : QObject(parent), m_area(area), m_documents(documents)
{
    setObjectName(QStringLiteral("OpenBatchView"));
    // A large file's window comes at once and its text later: either brings it forward.
    const auto front = [this](frmText* window) {
        if (m_on)
            m_front = window;
    };
    connect(&documents, &DocumentManager::loadStarted, this, front);
    connect(&documents, &DocumentManager::documentOpened, this, front);
}

void OpenBatchView::begin()
{
    if (m_on)
        return;
    m_on = true;
    m_front = nullptr;
    qApp->installEventFilter(this);
    hold();
}

void OpenBatchView::opening(const QString& path)
{
    if (!m_on)
        return;
    if (!m_held)
        hold();
    if (const int slot = m_documents.table().findOpenPath(path))
        if (auto* window = qobject_cast<QMdiSubWindow*>(m_documents.table().window(slot)))
            m_front = window;
}

void OpenBatchView::end()
{
    if (!m_on)
        return;
    m_on = false;
    qApp->removeEventFilter(this);
    if (m_held)
        release();
}

bool OpenBatchView::eventFilter(QObject* watched, QEvent* event)
{
    // A question shows the windows opened so far, the last one in front.
    if (m_held && event->type() == QEvent::Show) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->isWindow() && widget->isModal())
            release();
    }
    return QObject::eventFilter(watched, event);
}

void OpenBatchView::hold()
{
    m_held = true;
    m_focus = QApplication::focusWidget();
    m_area->setUpdatesEnabled(false);
    // A window in a disabled area is shown without being activated.
    m_area->viewport()->setEnabled(false);
}

void OpenBatchView::release()
{
    m_held = false;
    m_area->viewport()->setEnabled(true);
    m_area->setUpdatesEnabled(true);
    if (m_front) {
        if (m_front->isMinimized())
            m_front->showNormal();
        m_area->setActiveSubWindow(m_front);
        if (m_front->widget())
            m_front->widget()->setFocus();
    } else if (m_focus) {
        m_focus->setFocus();
    }
}
