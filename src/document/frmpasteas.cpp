#include "frmpasteas.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

frmPasteSpecial::frmPasteSpecial(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPasteSpecial"));
    Label1 = new QLabel(this);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    Command1 = new QPushButton(QStringLiteral("&OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command2 = new QPushButton(QStringLiteral("&Cancel"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Label1->setBuddy(List1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(List1);
    layout->addLayout(buttons);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Command2, &QPushButton::clicked, this, &QDialog::reject);
    connect(List1, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
}

int frmPasteSpecial::choose(const QString& title, const QString& label, const QStringList& items)
{
    setWindowTitle(title);
    Label1->setText(label);
    List1->clear();
    List1->addItems(items);
    if (!items.isEmpty())
        List1->setCurrentRow(0);
    Command2->setFocus();
    if (exec() != QDialog::Accepted || List1->currentRow() < 0)
        return -1;
    return List1->currentRow();
}
