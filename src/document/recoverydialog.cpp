#include "recoverydialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

RecoveryDialog::RecoveryDialog(const RecoveryRequest& request, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("RecoveryDialog"));
    setWindowTitle(Title);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(request.text, this);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setHeaderLabels({tr("Document"), tr("Copy made"), tr("Size")});
    for (const RecoveryItem& item : request.items)
        m_list->addTopLevelItem(new QTreeWidgetItem(
            {item.name, QLocale().toString(item.savedAt.toLocalTime(), QLocale::ShortFormat),
             sizeText(item.bytes)}));
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setStretchLastSection(false);
    m_list->resizeColumnToContents(1);
    m_list->resizeColumnToContents(2);
    layout->addWidget(m_list, 1);

    auto* buttons = new QDialogButtonBox(this);
    m_recover = buttons->addButton(tr("&Recover"), QDialogButtonBox::AcceptRole);
    m_discard = buttons->addButton(tr("&Discard"), QDialogButtonBox::DestructiveRole);
    m_later = buttons->addButton(tr("&Later"), QDialogButtonBox::RejectRole);
    m_recover->setDefault(true);
    m_recover->setFocus();
    connect(m_recover, &QPushButton::clicked, this, [this] { choose(RecoveryAnswer::Recover); });
    connect(m_discard, &QPushButton::clicked, this, [this] { choose(RecoveryAnswer::Discard); });
    connect(m_later, &QPushButton::clicked, this, [this] { choose(RecoveryAnswer::Later); });
    layout->addWidget(buttons);
    resize(560, 320);
}

QPushButton* RecoveryDialog::button(RecoveryAnswer answer) const
{
    switch (answer) {
    case RecoveryAnswer::Recover:
        return m_recover;
    case RecoveryAnswer::Discard:
        return m_discard;
    case RecoveryAnswer::Later:
        break;
    }
    return m_later;
}

QString RecoveryDialog::sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

void RecoveryDialog::choose(RecoveryAnswer answer)
{
    m_answer = answer;
    if (answer == RecoveryAnswer::Later)
        reject();
    else
        accept();
}
