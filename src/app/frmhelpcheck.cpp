#include "frmhelpcheck.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmHelpCheck::frmHelpCheck(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHelpCheck"));
    setWindowTitle(Caption);
    if (parent)
        setWindowIcon(parent->windowIcon());
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setWordWrap(true);
    Label1->setTextInteractionFlags(Qt::TextSelectableByMouse);
    Label1->setMinimumWidth(420);
    Command1_1 = new QPushButton(QStringLiteral("Cancel"), this);
    Command1_1->setObjectName(QStringLiteral("Command1_1"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Command1_1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    connect(Command1_1, &QPushButton::clicked, this, [this] { Command1_Click(1); });
}

void frmHelpCheck::Command1_Click(int index)
{
    m_tag = QString::number(index);
    hide();
}

void frmHelpCheck::showEvent(QShowEvent* event)
{
    m_tag.clear();
    Command1_1->setFocus();
    QDialog::showEvent(event);
}

void frmHelpCheck::closeEvent(QCloseEvent* event)
{
    // The close box answers as Cancel does.
    event->ignore();
    Command1_Click(1);
}
