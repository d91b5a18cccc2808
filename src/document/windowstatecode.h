#pragma once

#include <QWidget>

// A window's state as the settings keep it: 0 normal, 1 minimised, 2 maximised.
inline int windowStateCode(const QWidget* window)
{
    if (window->isMinimized())
        return 1;
    return window->isMaximized() ? 2 : 0;
}

inline void setWindowStateCode(QWidget* window, int code)
{
    if (code == 1)
        window->showMinimized();
    else if (code == 2)
        window->showMaximized();
    else
        window->showNormal();
}
