#pragma once

#include <QList>

class QMdiArea;
class QMdiSubWindow;

// Arranges the document windows of an MDI area: cascaded, in rows or columns
// that fill the area, minimised ones along the bottom, one sent to the back,
// all minimised or all restored.
class WindowArranger {
public:
    explicit WindowArranger(QMdiArea* area) : m_area(area) {}

    void cascade();
    // One above another (rows) or side by side; the current window takes the first tile.
    void tile(bool rows);
    void arrangeIcons();
    void sendToBack();
    // From the last window to the first.
    void minimiseOrRestore(const QList<QMdiSubWindow*>& windows, bool minimise);

private:
    QMdiArea* m_area;
};
