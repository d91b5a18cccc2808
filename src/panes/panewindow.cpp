#include "panewindow.h"

#include <QCloseEvent>

PaneWindow::PaneWindow(QWidget* parent) : QMdiSubWindow(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
}

int PaneWindow::windowStateCode() const
{
    if (isMinimized())
        return 1;
    return isMaximized() ? 2 : 0;
}

void PaneWindow::setWindowStateCode(int code)
{
    if (code == 1)
        showMinimized();
    else if (code == 2)
        showMaximized();
    else
        showNormal();
}

void PaneWindow::closeEvent(QCloseEvent* event)
{
    emit closing(windowStateCode());
    QMdiSubWindow::closeEvent(event);
}
