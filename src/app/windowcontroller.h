#pragma once

#include "document/framecontext.h"

#include <QObject>

class MenuBars;
class QMdiArea;
class QMenu;

// The Window menu: arranging the document windows, the next window, minimise
// or restore all, and the list of open documents; the arrangement is kept.
class WindowController : public QObject {
    Q_OBJECT
public:
    WindowController(FrameContext& context, QMdiArea* area, MenuBars* menus,
                     QObject* parent = nullptr);
    void registerCommands(CommandRouter& router);
    void load(bool restoreWindowStates);
    // Gives the windows the arrangement they had when the program closed.
    void deferredStart();
    void writeSettings();

    void mnuWindowCascade_Click();
    void mnuWindowTileHoriz_Click();
    void mnuWindowTileVertical_Click();
    void mnuWindowArrange_Click();
    void mnuWindowSendBack_Click();
    void mnuNextPane_Click();
    void mnuMinRest_Click();
    // Lists the open documents at the end of the Window menu as it opens.
    void fillWindowMenu(QMenu* menu);

    // -1 none, 0 cascaded, 1 tiled in rows, 2 tiled side by side.
    qint16 SaveArrange = -1;
    qint16 MinRestToggle = 0;

private:
    FrameContext& m_context;
    QMdiArea* m_area;
    bool m_restore = false;
};
