#include "menubuilder.h"

#include "commandtable.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

namespace MenuBuilder {

QHash<QString, QAction*> build(QMenuBar* bar)
{
    QHash<QString, QAction*> actions;
    QHash<QString, QMenu*> menus;
    for (const Command& command : CommandTable::commands()) {
        const QString name = QString::fromLatin1(command.name);
        const QString caption = QString::fromLatin1(command.caption);
        if (!*command.parent) {
            QMenu* menu = bar->addMenu(caption);
            menu->setObjectName(name);
            menus.insert(name, menu);
            actions.insert(name, menu->menuAction());
            continue;
        }
        QMenu* menu = menus.value(QString::fromLatin1(command.parent));
        if (!menu)
            continue;
        QAction* action =
            caption == QStringLiteral("-") ? menu->addSeparator() : menu->addAction(caption);
        action->setObjectName(name);
        if (*command.keyText)
            action->setText(caption + u'\t' + QString::fromLatin1(command.keyText));
        if (*command.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(command.shortcut)));
        if (*command.icon)
            action->setIcon(QIcon::fromTheme(QString::fromLatin1(command.icon)));
        action->setVisible(command.visible);
        action->setEnabled(command.enabled);
        actions.insert(name, action);
    }
    return actions;
}

} // namespace MenuBuilder
