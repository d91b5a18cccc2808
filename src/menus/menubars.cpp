#include "menubars.h"

#include "commandtable.h"
#include "menubuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

MenuBars::MenuBars(QWidget* parent)
    : QWidget(parent), m_frameBar(new QMenuBar(this)), m_documentBar(new QMenuBar(this))
{
    setObjectName(QStringLiteral("MenuBars"));
    m_frameBar->setObjectName(QStringLiteral("frmMyMDI.menuBar"));
    m_documentBar->setObjectName(QStringLiteral("frmText.menuBar"));
    // Switching bars by showing one and hiding the other needs them in the
    // window; a desktop's global menu would keep showing whichever it took first.
    m_frameBar->setNativeMenuBar(false);
    m_documentBar->setNativeMenuBar(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_frameBar);
    layout->addWidget(m_documentBar);
    m_frameActions = MenuBuilder::build(m_frameBar, CommandTable::frameBar());
    m_documentActions = MenuBuilder::build(m_documentBar, CommandTable::documentBar());
    m_popups = MenuBuilder::buildPopups(this, CommandTable::contextMenus(), m_popupActions);
    connectBar(Frame);
    connectBar(Document);
    for (auto it = m_popupActions.cbegin(); it != m_popupActions.cend(); ++it) {
        const QString name = it.key();
        connect(it.value(), &QAction::triggered, this,
                [this, name] { emit triggered(Frame, name); });
    }
    show(Frame);
}

void MenuBars::connectBar(Bar which)
{
    const QHash<QString, QAction*>& all = actions(which);
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        const QString name = it.key();
        if (QMenu* menu = it.value()->menu()) {
            if (name == QStringLiteral("mnuWindow"))
                connect(menu, &QMenu::aboutToShow, this,
                        [this, menu] { emit windowMenuAboutToShow(menu); });
            connect(menu, &QMenu::aboutToShow, this,
                    [this, name, menu] { emit menuAboutToShow(name, menu); });
            continue;
        }
        connect(it.value(), &QAction::triggered, this,
                [this, which, name] { emit triggered(which, name); });
    }
}

void MenuBars::show(Bar which)
{
    // A hidden bar's shortcuts do not fire, so hiding the other bar hands
    // Ctrl+S, Ctrl+F, F3 and F5 over to the bar that is shown.
    m_shown = which;
    m_frameBar->setVisible(which == Frame);
    m_documentBar->setVisible(which == Document);
}

QAction* MenuBars::action(Bar which, const QString& name) const
{
    return actions(which).value(name);
}

const QHash<QString, QAction*>& MenuBars::actions(Bar which) const
{
    return which == Frame ? m_frameActions : m_documentActions;
}

QList<QAction*> MenuBars::entries(const QString& name) const
{
    QList<QAction*> found;
    for (QAction* a : {m_frameActions.value(name), m_documentActions.value(name)})
        if (a)
            found.append(a);
    return found;
}
