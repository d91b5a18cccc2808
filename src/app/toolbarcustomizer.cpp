#include "toolbarcustomizer.h"

#include "maintoolbar.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int KeyRole = Qt::UserRole;

QListWidgetItem* itemFor(const QString& key)
{
    auto* item = new QListWidgetItem;
    item->setData(KeyRole, key);
    if (key == MainToolbar::Separator) {
        item->setText(QStringLiteral("Separator"));
        return item;
    }
    if (const ToolButton* button = ToolbarTable::find(ToolbarTable::toolbar1(), key)) {
        item->setText(button->description);
        item->setIcon(QIcon::fromTheme(button->icon));
    }
    return item;
}

} // namespace

ToolbarCustomizer::ToolbarCustomizer(MainToolbar* toolbar, QWidget* parent)
    : QDialog(parent), m_toolbar(toolbar)
{
    setObjectName(QStringLiteral("ToolbarCustomizer"));
    setWindowTitle(QStringLiteral("Customize Toolbar"));
    available = new QListWidget(this);
    available->setObjectName(QStringLiteral("available"));
    current = new QListWidget(this);
    current->setObjectName(QStringLiteral("current"));
    auto* add = new QPushButton(QStringLiteral("&Add ->"), this);
    auto* remove = new QPushButton(QStringLiteral("<- &Remove"), this);
    auto* up = new QPushButton(QStringLiteral("Move &Up"), this);
    auto* down = new QPushButton(QStringLiteral("Move &Down"), this);
    auto* reset = new QPushButton(QStringLiteral("R&eset"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* side = new QVBoxLayout;
    for (QPushButton* b : {add, remove, up, down, reset})
        side->addWidget(b);
    side->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("A&vailable buttons:"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("&Toolbar buttons:"), this), 0, 2);
    grid->addWidget(available, 1, 0);
    grid->addLayout(side, 1, 1);
    grid->addWidget(current, 1, 2);
    grid->addWidget(buttons, 2, 0, 1, 3);
    connect(add, &QPushButton::clicked, this, &ToolbarCustomizer::addSelected);
    connect(remove, &QPushButton::clicked, this, &ToolbarCustomizer::removeSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(reset, &QPushButton::clicked, this, &ToolbarCustomizer::resetToDefault);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(available, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizer::addSelected);
    connect(current, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizer::removeSelected);
    fill();
}

void ToolbarCustomizer::fill()
{
    available->clear();
    current->clear();
    const QStringList keys = m_toolbar->layoutKeys();
    available->addItem(itemFor(MainToolbar::Separator));
    for (const QString& key : MainToolbar::defaultLayout())
        if (key != MainToolbar::Separator && !keys.contains(key))
            available->addItem(itemFor(key));
    for (const QString& key : keys)
        current->addItem(itemFor(key));
}

QStringList ToolbarCustomizer::currentKeys() const
{
    QStringList keys;
    for (int i = 0; i < current->count(); ++i)
        keys.append(current->item(i)->data(KeyRole).toString());
    return keys;
}

void ToolbarCustomizer::apply(const QStringList& keys, int selectRow)
{
    m_toolbar->setButtonLayout(keys);
    fill();
    current->setCurrentRow(qBound(0, selectRow, current->count() - 1));
    emit changed();
}

void ToolbarCustomizer::addSelected()
{
    const QListWidgetItem* item = available->currentItem();
    if (!item)
        return;
    QStringList keys = currentKeys();
    // A new button goes before the selected one, or at the end.
    const int at = current->currentRow() >= 0 ? current->currentRow() : int(keys.size());
    keys.insert(at, item->data(KeyRole).toString());
    apply(keys, at);
}

void ToolbarCustomizer::removeSelected()
{
    const int row = current->currentRow();
    if (row < 0)
        return;
    QStringList keys = currentKeys();
    keys.removeAt(row);
    apply(keys, row);
}

void ToolbarCustomizer::moveSelected(int step)
{
    const int row = current->currentRow();
    const int to = row + step;
    QStringList keys = currentKeys();
    if (row < 0 || to < 0 || to >= keys.size())
        return;
    keys.move(row, to);
    apply(keys, to);
}

void ToolbarCustomizer::resetToDefault()
{
    apply(MainToolbar::defaultLayout(), 0);
}
