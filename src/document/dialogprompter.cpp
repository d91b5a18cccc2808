#include "dialogprompter.h"

#include "commondialogapi.h"
#include "frmpasteas.h"
#include "frmyesnoall.h"
#include "openwithdialog.h"
#include "pathcompleter.h"
#include "platform/settings.h"
#include "recoverydialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The window a question belongs to: the active one, or, while none is (at start-up,
// before the window system has activated ours), the main window. A dialog with an
// owner is centred on it and gives the activation back to it when it closes.
QWidget* owner()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->inherits("QMainWindow"))
            return top;
    return nullptr;
}

// Hands the activation back to the owner once a dialog has closed, where no window
// manager does it: otherwise the menus' shortcuts stay dead until the next click.
class GiveBackActivation {
public:
    explicit GiveBackActivation(QWidget* owner) : m_owner(owner) {}
    ~GiveBackActivation()
    {
        if (m_owner && m_owner->isVisible() && !QApplication::activeWindow())
            m_owner->activateWindow();
    }

private:
    QPointer<QWidget> m_owner;
};

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
    const GiveBackActivation giveBack(owner());
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
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QPushButton* added = box.addButton(buttons[i].first);
        if (i < request.buttonTexts.size())
            added->setText(request.buttonTexts[i]);
    }
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
    const GiveBackActivation giveBack(owner());
    bool ok = false;
    const QString text = QInputDialog::getText(
        owner(), title.isEmpty() ? QApplication::applicationDisplayName() : title, prompt,
        QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString DialogPrompter::file(const FileRequest& request)
{
    const GiveBackActivation giveBack(owner());
    QFileDialog dialog(owner(), request.title);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    // The questions about replacing and creating files are asked by the caller.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::DontResolveSymlinks, !request.resolveSymlinks);
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
    const GiveBackActivation giveBack(owner());
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, customColors[i]);
    const QColor chosen = QColorDialog::getColor(initial, owner());
    if (!chosen.isValid())
        return std::nullopt;
    for (int i = 0; i < customColors.size() && i < QColorDialog::customCount(); ++i)
        customColors[i] = QColorDialog::customColor(i);
    return chosen;
}

namespace {

// The basic colours a font's colour box offers before "Custom...".
const QList<std::pair<const char*, QColor>>& basicColours()
{
    static const QList<std::pair<const char*, QColor>> colours = {{"Black", Qt::black},
                                                                  {"Maroon", QColor(128, 0, 0)},
                                                                  {"Green", QColor(0, 128, 0)},
                                                                  {"Olive", QColor(128, 128, 0)},
                                                                  {"Navy", QColor(0, 0, 128)},
                                                                  {"Purple", QColor(128, 0, 128)},
                                                                  {"Teal", QColor(0, 128, 128)},
                                                                  {"Gray", QColor(128, 128, 128)},
                                                                  {"Silver", QColor(192, 192, 192)},
                                                                  {"Red", Qt::red},
                                                                  {"Lime", Qt::green},
                                                                  {"Yellow", Qt::yellow},
                                                                  {"Blue", Qt::blue},
                                                                  {"Fuchsia", Qt::magenta},
                                                                  {"Aqua", Qt::cyan},
                                                                  {"White", Qt::white}};
    return colours;
}

} // namespace

std::optional<FontChoice> DialogPrompter::font(const FontChoice& initial)
{
    const GiveBackActivation giveBack(owner());
    QDialog dialog(owner());
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* fonts = new QFontDialog(&dialog);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    fonts->setWindowFlags(Qt::Widget);
    // What the selection mixes starts from the program's font and counts only if changed.
    QFont start = QApplication::font();
    if (initial.name)
        start.setFamilies({*initial.name});
    if (initial.size)
        start.setPointSizeF(*initial.size);
    start.setBold(initial.bold.value_or(false));
    start.setItalic(initial.italic.value_or(false));
    start.setStrikeOut(initial.strikeOut.value_or(false));
    start.setUnderline(initial.underline.value_or(false));
    fonts->setCurrentFont(start);
    start = fonts->currentFont();
    auto* colour = new QComboBox(&dialog);
    for (const auto& [name, value] : basicColours())
        colour->addItem(QString::fromLatin1(name), value);
    colour->addItem(QStringLiteral("Custom..."));
    const auto showColour = [colour](const QColor& value) {
        int at = colour->findData(value);
        if (at < 0) {
            colour->insertItem(colour->count() - 1, value.name(), value);
            at = colour->count() - 2;
        }
        colour->setCurrentIndex(at);
    };
    if (initial.color)
        showColour(*initial.color);
    else
        colour->setCurrentIndex(-1); // undetermined
    const int startColour = colour->currentIndex();
    QObject::connect(colour, &QComboBox::activated, &dialog, [&](int index) {
        if (index != colour->count() - 1)
            return;
        const qint32 chosen = CommonDialogAPI::ShowColor(
            &dialog, Settings::storedFromColor(initial.color.value_or(Qt::black)));
        if (chosen >= 0)
            showColour(Settings::colorFromStored(chosen));
        else
            colour->setCurrentIndex(startColour);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("&Colour:"), &dialog));
    colourRow->addWidget(colour, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    const QFont chosen = fonts->currentFont();
    FontChoice result;
    const auto keep = [](bool known, bool changed) { return known || changed; };
    if (keep(initial.name.has_value(), chosen.family() != start.family()))
        result.name = chosen.family();
    if (keep(initial.size.has_value(), chosen.pointSizeF() != start.pointSizeF()))
        result.size = chosen.pointSizeF();
    if (keep(initial.bold.has_value(), chosen.bold() != start.bold()))
        result.bold = chosen.bold();
    if (keep(initial.italic.has_value(), chosen.italic() != start.italic()))
        result.italic = chosen.italic();
    if (keep(initial.strikeOut.has_value(), chosen.strikeOut() != start.strikeOut()))
        result.strikeOut = chosen.strikeOut();
    if (keep(initial.underline.has_value(), chosen.underline() != start.underline()))
        result.underline = chosen.underline();
    if (colour->currentIndex() >= 0 && colour->currentIndex() != startColour)
        result.color = colour->currentData().value<QColor>();
    else if (initial.color)
        result.color = initial.color;
    return result;
}

bool DialogPrompter::printer(QPrinter& printer, bool& selectionOnly, bool allowSelection)
{
    const GiveBackActivation giveBack(owner());
    QPrintDialog dialog(&printer, owner());
    PathCompleter::replaceIn(&dialog);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, allowSelection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    // Print to file makes a PDF: Linux's way to one, and the one destination without printers.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (allowSelection && selectionOnly)
        dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

bool DialogPrompter::pageSetup(QPrinter& printer, QMarginsF& marginsInches)
{
    const GiveBackActivation giveBack(owner());
    printer.setPageMargins(marginsInches, QPageLayout::Inch);
    QPageSetupDialog dialog(&printer, owner());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    marginsInches = printer.pageLayout().margins(QPageLayout::Inch);
    return true;
}

YesNoAllReply DialogPrompter::yesNoAll(const YesNoAllRequest& request)
{
    const GiveBackActivation giveBack(owner());
    // Kept between questions; a window it belonged to may be gone by the next
    // question, which then makes a new one.
    // Reparented to each question's owner, so window managers keep it above
    // that window rather than behind it.
    QWidget* parent = owner();
    if (!m_yesNoAll) {
        m_yesNoAll = new frmYesNoAll(parent);
        m_yesNoAll->setWindowModality(Qt::ApplicationModal);
    } else if (m_yesNoAll->parentWidget() != parent) {
        m_yesNoAll->setParent(parent, m_yesNoAll->windowFlags());
    }
    return m_yesNoAll->ask(request);
}

int DialogPrompter::choose(const QString& title, const QString& label, const QStringList& items)
{
    const GiveBackActivation giveBack(owner());
    frmPasteSpecial dialog(owner());
    return dialog.choose(title, label, items);
}

std::optional<OpenWithChoice> DialogPrompter::openWith(const OpenWithRequest& request)
{
    const GiveBackActivation giveBack(owner());
    OpenWithDialog dialog(request, owner());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

RecoveryAnswer DialogPrompter::recovery(const RecoveryRequest& request)
{
    const GiveBackActivation giveBack(owner());
    RecoveryDialog dialog(request, owner());
    dialog.exec();
    return dialog.answer();
}
