#include "maintoolbar.h"

#include "menus/commandrouter.h"
#include "richtext/twips.h"

#include <QActionGroup>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMouseEvent>
#include <QToolButton>
#include <QWidgetAction>

MainToolbar::MainToolbar(CommandRouter* router, QWidget* parent)
    : QToolBar(parent), m_router(router)
{
    setObjectName(QStringLiteral("Toolbar1"));
    setWindowTitle(QStringLiteral("Toolbar"));
    setIconSize(QSize(16, 16));
    setMovable(false);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo2 = new QComboBox(this);
    Combo2->setObjectName(QStringLiteral("Combo2"));
    Combo2->setEditable(true);
    Combo2->setInsertPolicy(QComboBox::NoInsert);
    Combo2->addItems({"08", "09", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28",
                      "36", "48", "72"});
    connect(router, &CommandRouter::refreshed, this, &MainToolbar::showMixed);
    m_fontNameHolder = fontBoxHolder(Combo1);
    m_fontSizeHolder = fontBoxHolder(Combo2);
    setButtonLayout(defaultLayout());
}

QStringList MainToolbar::defaultLayout()
{
    QStringList keys;
    for (const ToolButton& button : ToolbarTable::toolbar1())
        keys.append(button.style == ToolButton::Style::Separator ? Separator : button.key);
    return keys;
}

void MainToolbar::setButtonLayout(const QStringList& keys)
{
    clear();
    for (QAction* action : std::as_const(m_ownActions))
        delete action->menu();
    qDeleteAll(m_ownActions);
    m_ownActions.clear();
    m_buttons.clear();
    m_menuEntries.clear();
    delete m_alignGroup;
    m_alignGroup = new QActionGroup(this);
    m_keys.clear();
    for (const QString& key : keys) {
        if (key == Separator) {
            m_ownActions.append(addSeparator());
            m_keys.append(key);
            continue;
        }
        const ToolButton* button = ToolbarTable::find(ToolbarTable::toolbar1(), key);
        if (!button || m_buttons.contains(key.toLower()))
            continue;
        addButton(*button);
        m_keys.append(button->key);
    }
    applyStyle();
    m_router->refresh();
}

QWidgetAction* MainToolbar::fontBoxHolder(QComboBox* box)
{
    auto* holder = new QWidgetAction(this);
    holder->setDefaultWidget(box);
    const QString key = box == Combo1 ? QStringLiteral("Fontname") : QStringLiteral("Fontsize");
    m_router->bind(box, ToolbarTable::boxCommand(key));
    return holder;
}

void MainToolbar::addButton(const ToolButton& button)
{
    const QString key = button.key;
    QAction* action = nullptr;
    if (button.style == ToolButton::Style::Placeholder) {
        QComboBox* box =
            key.compare(QStringLiteral("Fontname"), Qt::CaseInsensitive) == 0 ? Combo1 : Combo2;
        if (box == Combo1 && Combo1->count() == 0)
            Combo1->addItems(QFontDatabase::families());
        box->setFixedWidth(qRound(Twips::toPixels(button.width)));
        action = box == Combo1 ? m_fontNameHolder : m_fontSizeHolder;
        addAction(action);
        box->show();
    } else {
        action = addAction(QIcon::fromTheme(button.icon), button.tooltip);
        m_ownActions.append(action);
        if (button.style != ToolButton::Style::DropDown)
            m_router->bind(action, ToolbarTable::toolbar1Click(key),
                           ToolbarTable::isDocumentButton(key));
    }
    disconnect(action, nullptr, this, nullptr); // a font box's action comes back on every rebuild
    action->setObjectName(key);
    action->setToolTip(button.tooltip);
    action->setStatusTip(button.description);
    action->setCheckable(button.style == ToolButton::Style::Check ||
                         button.style == ToolButton::Style::Group);
    if (button.style == ToolButton::Style::Group)
        m_alignGroup->addAction(action);
    m_buttons.insert(key.toLower(), action);
    if (button.style == ToolButton::Style::DropDown)
        addDropDown(button, action);
    else
        connect(action, &QAction::triggered, this, [this, key] { emit buttonClicked(key); });
    connect(action, &QAction::hovered, this,
            [this, description = button.description] { emit hovered(description); });
    if (QWidget* w = widgetForAction(action))
        w->installEventFilter(this);
}

void MainToolbar::addDropDown(const ToolButton& button, QAction* action)
{
    auto* menu = new QMenu(this);
    for (const ToolButtonEntry& entry : button.menu) {
        QAction* item = menu->addAction(entry.label);
        item->setObjectName(entry.key);
        m_menuEntries.insert(button.key.toLower() + u'/' + entry.key.toLower(), item);
        m_router->bind(item, ToolbarTable::toolbar1MenuClick(button.key, entry.key));
        connect(item, &QAction::triggered, this,
                [this, b = button.key, e = entry.key] { emit menuClicked(b, e); });
    }
    action->setMenu(menu);
    m_router->bind(action, ToolCommand{}, ToolbarTable::isDocumentButton(button.key));
    // The face of a drop-down button does nothing; its arrow opens the menu.
    connect(action, &QAction::triggered, this,
            [this, key = button.key] { emit buttonClicked(key); });
    if (QToolButton* tool = toolButton(button.key))
        tool->setPopupMode(QToolButton::MenuButtonPopup);
}

QAction* MainToolbar::menuEntry(const QString& buttonKey, const QString& entryKey) const
{
    return m_menuEntries.value(buttonKey.toLower() + u'/' + entryKey.toLower());
}

QToolButton* MainToolbar::toolButton(const QString& key) const
{
    return qobject_cast<QToolButton*>(widgetForAction(button(key)));
}

void MainToolbar::showMixed()
{
    static const QString dashed =
        QStringLiteral("QToolButton { border: 1px dashed palette(text); }");
    for (QAction* action : std::as_const(m_buttons)) {
        QToolButton* tool = qobject_cast<QToolButton*>(widgetForAction(action));
        if (!tool)
            continue;
        const QString look = action->property("mixed").toBool() ? dashed : QString();
        if (tool->styleSheet() != look)
            tool->setStyleSheet(look);
    }
}

void MainToolbar::setFlat(bool flat)
{
    m_flat = flat;
    applyStyle();
}

void MainToolbar::applyStyle()
{
    for (QAction* action : actions())
        if (auto* tool = qobject_cast<QToolButton*>(widgetForAction(action)))
            tool->setAutoRaise(m_flat);
}

bool MainToolbar::eventFilter(QObject* watched, QEvent* event)
{
    // Off a button the status bar shows the date again; the next button's
    // hover puts its own description back.
    if (event->type() == QEvent::Leave)
        emit left();
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        emit rightClicked();
        return true;
    }
    return QToolBar::eventFilter(watched, event);
}

void MainToolbar::leaveEvent(QEvent* event)
{
    emit left();
    QToolBar::leaveEvent(event);
}

void MainToolbar::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit rightClicked();
        return;
    }
    QToolBar::mousePressEvent(event);
}
