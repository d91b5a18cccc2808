#include "frmyesnoall.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmYesNoAll::frmYesNoAll(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmYesNoAll"));
    setWindowTitle(QApplication::applicationDisplayName());
    Label1 = new QLabel(this);
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(340);
    Command1 = new QPushButton(QStringLiteral("&Yes"), this);
    Command2 = new QPushButton(QStringLiteral("&No"), this);
    Command3 = new QPushButton(QStringLiteral("&Cancel"), this);
    chkAll = new QCheckBox(ApplyToAllCaption, this);
    for (QPushButton* button : {Command1, Command2, Command3})
        button->setAutoDefault(false);
    Command3->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(Command3);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    layout->addWidget(chkAll, 0, Qt::AlignHCenter);

    connect(Command1, &QPushButton::clicked, this, [this] { answer(Answer::Yes); });
    connect(Command2, &QPushButton::clicked, this, [this] { answer(Answer::No); });
    connect(Command3, &QPushButton::clicked, this, [this] { answer(Answer::Cancel); });
}

YesNoAllReply frmYesNoAll::ask(const YesNoAllRequest& request)
{
    Label1->setText(request.message);
    chkAll->setVisible(request.checkBoxVisible);
    chkAll->setChecked(request.checked);
    m_answer = Answer::Cancel;
    exec();
    return {m_answer, chkAll->isChecked()};
}

void frmYesNoAll::answer(int value)
{
    m_answer = value;
    accept();
}

void frmYesNoAll::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Command3->setFocus();
}

void frmYesNoAll::closeEvent(QCloseEvent* event)
{
    m_answer = Answer::Cancel;
    QDialog::closeEvent(event);
}
