#include "windowarranger.h"

#include "windowtiling.h"

#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScopeGuard>

void WindowArranger::cascade()
{
    m_area->cascadeSubWindows();
}

void WindowArranger::tile(bool rows)
{
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* w : m_area->subWindowList(QMdiArea::StackingOrder))
        if (!w->isMinimized() && w->isVisible())
            windows.prepend(w);
    const QRect area = m_area->viewport()->rect();
    const QList<QRect> tiles = rows ? WindowTiling::rows(area, int(windows.size()))
                                    : WindowTiling::columns(area, int(windows.size()));
    for (qsizetype i = 0; i < windows.size(); ++i) {
        if (windows.at(i)->isMaximized())
            windows.at(i)->showNormal();
        windows.at(i)->setGeometry(tiles.at(i));
    }
}

void WindowArranger::arrangeIcons()
{
    const QRect area = m_area->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* w : m_area->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        if (x + w->width() > area.width() && x > 0)
            x = 0;
        w->move(x, area.height() - w->height());
        x += w->width();
    }
}

void WindowArranger::sendToBack()
{
    QMdiSubWindow* window = m_area->currentSubWindow();
    if (!window)
        return;
    // The window now on top takes over; activating it first keeps it from
    // raising the one sent back again.
    const QList<QMdiSubWindow*> order = m_area->subWindowList(QMdiArea::StackingOrder);
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        if (*it != window && !(*it)->isMinimized()) {
            m_area->setActiveSubWindow(*it);
            break;
        }
    }
    window->lower();
}

void WindowArranger::minimiseOrRestore(const QList<QMdiSubWindow*>& windows, bool minimise)
{
    // Restoring one window must not maximise the next because another was maximised.
    const bool maximiseOnActivation =
        !m_area->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    m_area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    auto restoreOption = qScopeGuard([this, maximiseOnActivation] {
        m_area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !maximiseOnActivation);
    });
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (minimise)
            (*it)->showMinimized();
        else
            (*it)->showNormal();
        QCoreApplication::processEvents();
    }
}
