#include "dialogprompter.h"

#include "frmyesnoall.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

namespace {
QWidget* owner()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon iconFor(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

DialogPrompter::DialogPrompter() = default;
DialogPrompter::~DialogPrompter()
{
    // The prompter may outlive the application; widgets may not.
    if (QCoreApplication::instance())
        delete m_yesNoAll;
}

int DialogPrompter::message(const MessageRequest& request)
{
    QMessageBox box(iconFor(request.icon), QApplication::applicationDisplayName(), request.text,
                    QMessageBox::NoButton, owner());
    QList<QPair<QMessageBox::StandardButton, int>> buttons;
    switch (request.buttons) {
    case MessageButtons::Ok:
        buttons = {{QMessageBox::Ok, Answer::Ok}};
        break;
    case MessageButtons::OkCancel:
        buttons = {{QMessageBox::Ok, Answer::Ok}, {QMessageBox::Cancel, Answer::Cancel}};
        break;
    case MessageButtons::YesNo:
        buttons = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}};
        break;
    case MessageButtons::YesNoCancel:
        buttons = {{QMessageBox::Yes, Answer::Yes},
                   {QMessageBox::No, Answer::No},
                   {QMessageBox::Cancel, Answer::Cancel}};
        break;
    }
    for (const auto& [button, answer] : buttons)
        box.addButton(button);
    const int defaultIndex = qBound(1, request.defaultButton, int(buttons.size())) - 1;
    box.setDefaultButton(buttons[defaultIndex].first);
    // The close box answers Cancel where there is one, else the only button.
    box.setEscapeButton(buttons.last().first);
    const auto clicked = QMessageBox::StandardButton(box.exec());
    for (const auto& [button, answer] : buttons)
        if (button == clicked)
            return answer;
    return request.buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
}

QString DialogPrompter::input(const QString& prompt, const QString& title,
                              const QString& defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(
        owner(), title.isEmpty() ? QApplication::applicationDisplayName() : title, prompt,
        QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString DialogPrompter::file(const FileRequest& request)
{
    QFileDialog dialog(owner(), request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The questions about replacing and creating files are asked by the caller.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.nameFilters);
    if (request.selectedFilter >= 0 && request.selectedFilter < request.nameFilters.size())
        dialog.selectNameFilter(request.nameFilters[request.selectedFilter]);
    if (!request.initialFolder.isEmpty())
        dialog.setDirectory(request.initialFolder);
    // A bare extension (".txt") only picks the filter; as a name it would be a hidden file.
    const bool bareExtension =
        request.initialPath.startsWith(u'.') && !request.initialPath.contains(u'/');
    if (!request.initialPath.isEmpty() && !bareExtension)
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

std::optional<QColor> DialogPrompter::color(const QColor& initial, QList<QColor>& customColors)
{
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, customColors[i]);
    const QColor chosen = QColorDialog::getColor(initial, owner());
    if (!chosen.isValid())
        return std::nullopt;
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        customColors[i] = QColorDialog::customColor(i);
    return chosen;
}

std::optional<QFont> DialogPrompter::font(const QFont& initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, owner());
    return ok ? std::optional<QFont>(chosen) : std::nullopt;
}

bool DialogPrompter::printer(QPrinter& printer, bool& selectionOnly, bool allowSelection)
{
    QPrintDialog dialog(&printer, owner());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, allowSelection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (allowSelection && selectionOnly)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

bool DialogPrompter::pageSetup(QPrinter& printer, QMarginsF& marginsInches)
{
    printer.setPageMargins(marginsInches, QPageLayout::Inch);
    QPageSetupDialog dialog(&printer, owner());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    marginsInches = printer.pageLayout().margins(QPageLayout::Inch);
    return true;
}

YesNoAllReply DialogPrompter::yesNoAll(const YesNoAllRequest& request)
{
    // Kept between questions, owned here: a window that happened to be active
    // when it was first needed may be gone by the next question.
    if (!m_yesNoAll) {
        m_yesNoAll = new frmYesNoAll(nullptr);
        m_yesNoAll->setWindowModality(Qt::ApplicationModal);
    }
    return m_yesNoAll->ask(request);
}
