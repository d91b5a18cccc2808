#include "panewindow.h"

#include "document/windowstatecode.h"

#include <QCloseEvent>
#include <QKeyEvent>

PaneWindow::PaneWindow(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

int PaneWindow::windowStateCode() const
{
    return ::windowStateCode(this);
}

void PaneWindow::setWindowStateCode(int code)
{
    ::setWindowStateCode(this, code);
}

bool PaneWindow::copyKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    if (!static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
        return false;
    if (event->type() == QEvent::KeyPress)
        emit copyKeyPressed();
    event->accept();
    return true;
}

void PaneWindow::closeEvent(QCloseEvent* event)
{
    emit closing(windowStateCode());
    QMdiSubWindow::closeEvent(event);
}
