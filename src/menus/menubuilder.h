#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenuBar;
class QObject;

// Builds menus from the command table. Each action's objectName is its control
// name, so code and tests find it by the name the menus use.
namespace MenuBuilder {
QHash<QString, QAction*> build(QMenuBar* bar);
} // namespace MenuBuilder
