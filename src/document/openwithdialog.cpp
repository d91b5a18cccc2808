#include "openwithdialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QIcon programIcon(const QString& name)
{
    // A desktop entry names a theme icon or, now and then, an icon file.
    QIcon icon = name.startsWith(u'/') ? QIcon(name) : QIcon::fromTheme(name);
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    return icon;
}

} // namespace

OpenWithDialog::OpenWithDialog(const OpenWithRequest& request, QWidget* parent)
    : QDialog(parent), m_request(request)
{
    setObjectName(QStringLiteral("OpenWithDialog"));
    setWindowTitle(QStringLiteral("Open With"));
    // Both texts go into labels with shortcut keys, where "&" would mark one.
    QString description =
        request.contentDescription.isEmpty() ? request.contentType : request.contentDescription;
    description.replace(u'&', QStringLiteral("&&"));
    const QString fileName = QFileInfo(request.path).fileName().replace(u'&', QStringLiteral("&&"));
    m_fileLabel = new QLabel(
        QStringLiteral("Choose the program to open “%1” (%2) with:").arg(fileName, description),
        this);
    m_fileLabel->setWordWrap(true);
    m_programs = new QListWidget(this);
    m_programs->setObjectName(QStringLiteral("programs"));
    m_programs->setSelectionMode(QAbstractItemView::SingleSelection);
    m_programs->setIconSize(QSize(24, 24));
    m_fileLabel->setBuddy(m_programs);
    m_showAll = new QCheckBox(QStringLiteral("&Show all programs"), this);
    m_command = new QLineEdit(this);
    m_command->setObjectName(QStringLiteral("command"));
    m_command->setPlaceholderText(QStringLiteral("e.g. gimp, or vim %f"));
    m_alwaysUse = new QCheckBox(
        QStringLiteral("&Always use this program for %1 files").arg(description), this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* commandRow = new QFormLayout;
    commandRow->addRow(QStringLiteral("Custom &command:"), m_command);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fileLabel);
    layout->addWidget(m_programs, 1);
    layout->addWidget(m_showAll);
    layout->addLayout(commandRow);
    layout->addWidget(m_alwaysUse);
    layout->addWidget(m_buttons);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_programs, &QListWidget::itemSelectionChanged, this, &OpenWithDialog::programSelected);
    connect(m_programs, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(m_command, &QLineEdit::textChanged, this, &OpenWithDialog::commandEdited);

    // Without a program made for the kind, the list would start empty.
    m_showAll->setChecked(request.recommended.isEmpty() && !request.others.isEmpty());
    fillList();
    connect(m_showAll, &QCheckBox::toggled, this, &OpenWithDialog::fillList);
    if (m_programs->count() > 0)
        m_programs->setCurrentRow(0);
    updateOk();
    resize(420, 460);
}

QPushButton* OpenWithDialog::okButton() const
{
    return m_buttons->button(QDialogButtonBox::Ok);
}

std::optional<OpenWithChoice> OpenWithDialog::choice() const
{
    OpenWithChoice chosen;
    chosen.alwaysUse = m_alwaysUse->isChecked();
    const QList<QListWidgetItem*> selected = m_programs->selectedItems();
    if (!selected.isEmpty())
        chosen.applicationId = selected.first()->data(Qt::UserRole).toString();
    else if (!m_command->text().trimmed().isEmpty())
        chosen.customCommand = m_command->text().trimmed();
    else
        return std::nullopt;
    return chosen;
}

void OpenWithDialog::fillList()
{
    // The selection survives the list growing or shrinking when it still is listed.
    const QList<QListWidgetItem*> selected = m_programs->selectedItems();
    const QString keep =
        selected.isEmpty() ? QString() : selected.first()->data(Qt::UserRole).toString();
    const QSignalBlocker quiet(m_programs);
    m_programs->clear();
    QList<ProgramInfo> programs = m_request.recommended;
    if (m_showAll->isChecked())
        programs += m_request.others;
    for (const ProgramInfo& program : programs) {
        auto* item = new QListWidgetItem(programIcon(program.iconName), program.name, m_programs);
        item->setData(Qt::UserRole, program.id);
        item->setToolTip(program.id);
        if (!keep.isEmpty() && program.id == keep) {
            m_programs->setCurrentItem(item);
            item->setSelected(true);
        }
    }
    updateOk();
}

void OpenWithDialog::programSelected()
{
    // A program picked replaces the command typed; each is a whole answer.
    if (!m_programs->selectedItems().isEmpty())
        m_command->clear();
    updateOk();
}

void OpenWithDialog::commandEdited(const QString& text)
{
    if (!text.trimmed().isEmpty())
        m_programs->clearSelection();
    updateOk();
}

void OpenWithDialog::updateOk()
{
    okButton()->setEnabled(choice().has_value());
}
