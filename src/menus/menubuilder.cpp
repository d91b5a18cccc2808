#include "menubuilder.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

namespace MenuBuilder {

namespace {

QAction* addEntry(QMenu* menu, const Command& command)
{
    const QString caption = QString::fromLatin1(command.caption);
    QAction* action =
        caption == QStringLiteral("-") ? menu->addSeparator() : menu->addAction(caption);
    if (*command.keyText)
        action->setText(caption + u'\t' + QString::fromLatin1(command.keyText));
    if (*command.shortcut)
        action->setShortcut(QKeySequence(QString::fromLatin1(command.shortcut)));
    if (*command.icon)
        action->setIcon(QIcon::fromTheme(QString::fromLatin1(command.icon)));
    return action;
}

// Entries whose parent is a menu become submenus of it as soon as a later
// entry names them as its parent.
template <typename AddTop>
QHash<QString, QMenu*> buildMenus(const QList<Command>& table, QHash<QString, QAction*>& actions,
                                  AddTop addTop)
{
    QHash<QString, QMenu*> menus;
    for (qsizetype i = 0; i < table.size(); ++i) {
        const Command& command = table.at(i);
        const QString name = QString::fromLatin1(command.name);
        const bool hasChildren =
            i + 1 < table.size() && name == QLatin1String(table.at(i + 1).parent);
        QAction* action = nullptr;
        if (!*command.parent) {
            QMenu* menu = addTop(QString::fromLatin1(command.caption));
            menus.insert(name, menu);
            action = menu->menuAction();
        } else if (QMenu* parent = menus.value(QString::fromLatin1(command.parent))) {
            if (hasChildren) {
                QMenu* menu = parent->addMenu(QString::fromLatin1(command.caption));
                menus.insert(name, menu);
                action = menu->menuAction();
                if (*command.icon)
                    action->setIcon(QIcon::fromTheme(QString::fromLatin1(command.icon)));
            } else {
                action = addEntry(parent, command);
            }
        }
        if (!action)
            continue;
        if (QMenu* menu = menus.value(name))
            menu->setObjectName(name);
        action->setObjectName(name);
        action->setVisible(command.visible);
        action->setEnabled(command.enabled);
        actions.insert(name, action);
    }
    return menus;
}

} // namespace

QHash<QString, QAction*> build(QMenuBar* bar, const QList<Command>& table)
{
    QHash<QString, QAction*> actions;
    buildMenus(table, actions, [bar](const QString& caption) { return bar->addMenu(caption); });
    return actions;
}

QHash<QString, QMenu*> buildPopups(QWidget* parent, const QList<Command>& table,
                                   QHash<QString, QAction*>& actions)
{
    return buildMenus(table, actions,
                      [parent](const QString& caption) { return new QMenu(caption, parent); });
}

} // namespace MenuBuilder
