#pragma once

#include "commandtable.h"

#include <QHash>
#include <QString>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

namespace MenuBuilder {
// Fills bar with the table's menus; every entry's action by its control name
// (a top menu by its menu action).
QHash<QString, QAction*> build(QMenuBar* bar, const QList<Command>& table);
// Builds the table's top menus as pop-up menus owned by parent.
QHash<QString, QMenu*> buildPopups(QWidget* parent, const QList<Command>& table,
                                   QHash<QString, QAction*>& actions);
} // namespace MenuBuilder
