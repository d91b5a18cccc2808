#include "helppopup.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

HelpPopup::HelpPopup(QWidget* parent) : QTextBrowser(parent)
{
    setObjectName(QStringLiteral("HelpPopup"));
    // Not a grabbing pop-up: one opened from a context menu's entry could be
    // left holding the pointer, so that neither a click outside nor the menus
    // reached the program until it was closed.
    setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setOpenLinks(false);
    qApp->installEventFilter(this);
}

HelpPopup::~HelpPopup() = default;

bool HelpPopup::isInside(const QEvent* event) const
{
    // By the screen position: the press reaches the window before the widget.
    const auto* press = static_cast<const QMouseEvent*>(event);
    return geometry().contains(press->globalPosition().toPoint());
}

bool HelpPopup::eventFilter(QObject* watched, QEvent* event)
{
    if (!isVisible())
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            close();
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        // The click still does what it was for: a menu opens at once.
        if (!isInside(event))
            close();
        break;
    case QEvent::ApplicationDeactivate:
        close();
        break;
    case QEvent::WindowDeactivate:
        if (watched == parentWidget() || (parentWidget() && watched == parentWidget()->window()))
            close();
        break;
    default:
        break;
    }
    return false;
}
