#include "formattingcontroller.h"

#include "documentdragsource.h"
#include "documentmanager.h"
#include "documenttable.h"
#include "frmtext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "richtext/richtextbox.h"
#include "selectiontracker.h"

#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QLineEdit>
#include <cmath>

namespace {
using S = SelectionIndicators;
} // namespace

FormattingController::FormattingController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("FormattingController"));
    connect(&context.documents, &DocumentManager::documentCreated, this, [this](frmText* window) {
        track(window);
        InitCombos(window);
    });
    connectFontBoxes();
    connect(&context.documents, &DocumentManager::documentClosed, this, [this](frmText* window) {
        m_trackers.remove(window);
        m_indents.remove(window);
    });
}

void FormattingController::track(frmText* window)
{
    new DocumentDragSource(window, m_context.documents);
    auto* tracker = new SelectionTracker(window, m_context.router);
    connect(tracker, &SelectionTracker::fontTextChanged, this, [this, window](const QString& text) {
        if (window == m_context.documents.activeDocument())
            emit fontTextChanged(text);
    });
    connect(tracker, &SelectionTracker::pointerMoved, this, &FormattingController::pointerMoved);
    m_trackers.insert(window, tracker);
}

SelectionTracker* FormattingController::tracker(const frmText* window) const
{
    return m_trackers.value(window);
}

bool FormattingController::emphasisOn(S::Emphasis e) const
{
    const frmText* window = m_context.documents.activeDocument();
    const SelectionTracker* t = window ? tracker(window) : nullptr;
    return t && t->indicators().checked(e);
}

void FormattingController::registerCommands(CommandRouter& router)
{
    const auto activeIndicators = [this]() -> const SelectionIndicators* {
        const frmText* window = m_context.documents.activeDocument();
        const SelectionTracker* t = window ? tracker(window) : nullptr;
        return t ? &t->indicators() : nullptr;
    };
    const struct {
        const char* name;
        void (FormattingController::*handler)();
        int emphasis; // -1 for none
    } toggles[] = {
        {"mnuBold", &FormattingController::mnuBold_Click, S::Bold},
        {"mnuItalic", &FormattingController::mnuItalic_Click, S::Italic},
        {"mnuUnderline", &FormattingController::mnuUnderline_Click, S::Underline},
        {"mnuStrikeThru", &FormattingController::mnuStrikeThru_Click, S::StrikeThru},
        {"mnuProtect", &FormattingController::mnuProtect_Click, S::Protected},
        {"mnuBullet", &FormattingController::mnuBullet_Click, S::Bullet},
    };
    for (const auto& t : toggles) {
        const auto e = S::Emphasis(t.emphasis);
        router.add(
            QString::fromLatin1(t.name), [this, h = t.handler] { (this->*h)(); },
            Enabled::WithDocument,
            [activeIndicators, e](const CommandState&) {
                const SelectionIndicators* i = activeIndicators();
                return i && i->checked(e);
            },
            [activeIndicators, e](const CommandState&) {
                const SelectionIndicators* i = activeIndicators();
                return i && i->mixed(e);
            });
    }
    const struct {
        const char* name;
        void (FormattingController::*handler)();
        S::Alignment alignment;
    } alignments[] = {
        {"mnuAlignLeft", &FormattingController::mnuAlignLeft_Click, S::Left},
        {"mnuAlignCenter", &FormattingController::mnuAlignCenter_Click, S::Center},
        {"mnuAlignRight", &FormattingController::mnuAlignRight_Click, S::Right},
    };
    for (const auto& a : alignments)
        router.add(
            QString::fromLatin1(a.name), [this, h = a.handler] { (this->*h)(); },
            Enabled::WithDocument,
            [activeIndicators, which = a.alignment](const CommandState&) {
                const SelectionIndicators* i = activeIndicators();
                return (i ? i->alignment() : S::Left) == which;
            });
    router.add(QStringLiteral("mnuEmphasisRemove"), [this] { mnuEmphasisRemove_Click(); });
    router.add(QStringLiteral("mnuFont"), [this] { mnuFont_Click(); });
    router.add(QStringLiteral("Combo1"), [this] { frmmyMDICombo1_Click(); });
    router.add(QStringLiteral("Combo2"), [this] { frmmyMDICombo2_Click(); });
    router.add(QStringLiteral("mnuIndentLeft"), [this] { mnuIndentLeft_Click(); });
    router.add(QStringLiteral("mnuIndentHang"), [this] { mnuIndentHang_Click(); });
    router.add(QStringLiteral("mnuIndentRight"), [this] { mnuIndentRight_Click(); });
    router.add(
        QStringLiteral("mnuWordWrap"), [this] { mnuWordWrap_Click(); }, Enabled::WithDocument,
        [this](const CommandState&) {
            const frmText* window = m_context.documents.activeDocument();
            return window && window->RichTextBox1->lineWrapMode() != QTextEdit::NoWrap;
        });
}

void FormattingController::toggle(S::Emphasis e)
{
    frmText* window = m_context.documents.activeDocument();
    if (!window)
        return;
    RichTextBox* box = window->RichTextBox1;
    // On a selection that mixes on and off, the toggle sets it on all of it.
    const auto flip = [](std::optional<bool> now) { return !now.value_or(false); };
    switch (e) {
    case S::Bold:
        box->setSelBold(flip(box->SelBold()));
        break;
    case S::Italic:
        box->setSelItalic(flip(box->SelItalic()));
        break;
    case S::Underline:
        box->setSelUnderline(flip(box->SelUnderline()));
        break;
    case S::StrikeThru:
        box->setSelStrikeThru(flip(box->SelStrikeThru()));
        break;
    case S::Protected:
        box->setSelProtected(flip(box->SelProtected()));
        break;
    default:
        break;
    }
    if (SelectionTracker* t = tracker(window))
        t->RichTextBox1_SelChange();
}

void FormattingController::mnuBold_Click()
{
    toggle(S::Bold);
}

void FormattingController::mnuItalic_Click()
{
    toggle(S::Italic);
}

void FormattingController::mnuUnderline_Click()
{
    toggle(S::Underline);
}

void FormattingController::mnuStrikeThru_Click()
{
    toggle(S::StrikeThru);
}

void FormattingController::mnuProtect_Click()
{
    toggle(S::Protected);
}

void FormattingController::mnuEmphasisRemove_Click()
{
    frmText* window = m_context.documents.activeDocument();
    if (!window)
        return;
    RichTextBox* box = window->RichTextBox1;
    box->setSelBold(false);
    box->setSelItalic(false);
    box->setSelUnderline(false);
    box->setSelStrikeThru(false);
    if (SelectionTracker* t = tracker(window))
        t->RichTextBox1_SelChange();
}

void FormattingController::mnuAlignLeft_Click()
{
    if (frmText* window = m_context.documents.activeDocument())
        window->RichTextBox1->setSelAlignment(S::Left);
}

void FormattingController::mnuAlignCenter_Click()
{
    if (frmText* window = m_context.documents.activeDocument())
        window->RichTextBox1->setSelAlignment(S::Center);
}

void FormattingController::mnuAlignRight_Click()
{
    if (frmText* window = m_context.documents.activeDocument())
        window->RichTextBox1->setSelAlignment(S::Right);
}

double FormattingController::centimetres(const QString& typed)
{
    // The leading number of what was typed, as a number box would take it.
    QString number;
    for (const QChar c : typed.trimmed()) {
        if (!(c.isDigit() || c == u'.' || ((c == u'-' || c == u'+') && number.isEmpty())))
            break;
        number += c;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    const double limit = MaximumIndentInches * 2.54;
    return ok && std::isfinite(value) ? qBound(-limit, value, limit) : 0;
}

int FormattingController::twipsOfCentimetres(const QString& typed)
{
    return int(std::lround(centimetres(typed) * 1440 / 2.54));
}

std::optional<int> FormattingController::askIndent(const QString& question, double& remembered)
{
    const QString answer =
        Prompter::current().input(question, QString(), QString::number(remembered));
    if (answer.isEmpty())
        return std::nullopt;
    remembered = centimetres(answer);
    return twipsOfCentimetres(answer);
}

void FormattingController::mnuIndentLeft_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    if (const auto twips = askIndent(LeftIndentQuestion, indents(window).left); twips && window)
        window->RichTextBox1->setSelIndent(*twips);
}

void FormattingController::mnuIndentHang_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    if (const auto twips = askIndent(HangingIndentQuestion, indents(window).hanging);
        twips && window)
        window->RichTextBox1->setSelHangingIndent(*twips);
}

void FormattingController::mnuIndentRight_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    if (const auto twips = askIndent(RightIndentQuestion, indents(window).right); twips && window)
        window->RichTextBox1->setSelRightIndent(*twips);
}

void FormattingController::mnuBullet_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    if (window->RichTextBox1->SelBullet().value_or(false)) {
        window->RichTextBox1->setSelBullet(false);
    } else if (const auto twips = askIndent(BulletQuestion, indents(window).bullet);
               twips && window) {
        window->RichTextBox1->setSelBullet(true);
        window->RichTextBox1->setBulletIndent(*twips);
    }
    if (window)
        if (SelectionTracker* t = tracker(window))
            t->RichTextBox1_SelChange();
}

void FormattingController::mnuWordWrap_Click()
{
    frmText* window = m_context.documents.activeDocument();
    if (!window)
        return;
    RichTextBox* box = window->RichTextBox1;
    box->setRightMargin(box->lineWrapMode() != QTextEdit::NoWrap ? RichTextBox::NoWrapMargin : 0);
}

void FormattingController::connectFontBoxes()
{
    for (QComboBox* box : {m_context.fontNameBox, m_context.fontSizeBox}) {
        if (!box)
            continue;
        const QString command =
            box == m_context.fontNameBox ? QStringLiteral("Combo1") : QStringLiteral("Combo2");
        // A pick from the list; without a document the router says there is none.
        connect(box, &QComboBox::activated, this, [this, command] {
            m_context.router.runTool({command, true});
        });
        if (box->lineEdit())
            connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                    [this, box] { fontBoxEntered(box); });
        box->installEventFilter(this);
    }
}

bool FormattingController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn &&
        (watched == m_context.fontNameBox || watched == m_context.fontSizeBox))
        InitCombos();
    return QObject::eventFilter(watched, event);
}

void FormattingController::showInBox(QComboBox* box, const QString& value)
{
    const QSignalBlocker quiet(box);
    int found = -1;
    for (int i = 0; i < box->count() && found < 0; ++i)
        if (box->itemText(i).compare(value, Qt::CaseInsensitive) == 0)
            found = i;
    if (found < 0) {
        box->addItem(value);
        found = box->count() - 1;
    }
    box->setCurrentIndex(found);
}

void FormattingController::InitCombos(frmText* window)
{
    if (!window)
        window = m_context.documents.activeDocument();
    if (!window)
        return;
    RichTextBox* box = window->RichTextBox1;
    if (m_context.fontNameBox)
        if (const std::optional<QString> name = box->SelFontName())
            showInBox(m_context.fontNameBox, *name);
    // The size in its shortest form: 8 is not the list's "08", so it is added beside it.
    if (m_context.fontSizeBox)
        if (const std::optional<double> size = box->SelFontSize())
            showInBox(m_context.fontSizeBox, QString::number(*size));
}

void FormattingController::fontBoxEntered(QComboBox* box)
{
    const QString typed = box->currentText().trimmed();
    bool ok = box == m_context.fontNameBox;
    if (ok) {
        const QStringList families = QFontDatabase::families();
        ok = families.contains(typed, Qt::CaseInsensitive);
    } else {
        const double size = typed.toDouble(&ok);
        ok = ok && size >= 1 && size <= 1638;
    }
    if (!ok) {
        InitCombos(); // back to what the selection has
        return;
    }
    showInBox(box, typed);
    m_context.router.runTool(
        {box == m_context.fontNameBox ? QStringLiteral("Combo1") : QStringLiteral("Combo2"), true});
}

void FormattingController::frmmyMDICombo1_Click()
{
    frmText* window = m_context.documents.activeDocument();
    if (!window || !m_context.fontNameBox)
        return;
    RichTextBox* box = window->RichTextBox1;
    const QString name = m_context.fontNameBox->currentText();
    const std::optional<QString> now = box->SelFontName();
    if (now && now->compare(name, Qt::CaseInsensitive) == 0)
        return;
    // A font chosen at the bare caret is for what is typed next: no change yet.
    const bool dirty = window->state().Dirty;
    box->setSelFontName(name);
    if (box->SelLength() == 0)
        window->state().Dirty = dirty;
    box->setFocus();
}

void FormattingController::frmmyMDICombo2_Click()
{
    frmText* window = m_context.documents.activeDocument();
    if (!window || !m_context.fontSizeBox)
        return;
    RichTextBox* box = window->RichTextBox1;
    bool numeric = false;
    const double size = m_context.fontSizeBox->currentText().toDouble(&numeric);
    if (!numeric || size < 1 || size > 1638)
        return;
    const std::optional<double> now = box->SelFontSize();
    if (now && *now == size)
        return;
    const bool dirty = window->state().Dirty;
    box->setSelFontSize(size);
    if (box->SelLength() == 0)
        window->state().Dirty = dirty;
    box->setFocus();
}

void FormattingController::mnuFont_Click()
{
    QPointer<frmText> window = m_context.documents.activeDocument();
    if (!window)
        return;
    RichTextBox* box = window->RichTextBox1;
    FontChoice initial;
    initial.name = box->SelFontName();
    initial.size = box->SelFontSize();
    initial.bold = box->SelBold();
    initial.italic = box->SelItalic();
    initial.strikeOut = box->SelStrikeThru();
    initial.underline = box->SelUnderline();
    if (const std::optional<qint32> colour = box->SelColor())
        initial.color = Settings::colorFromStored(*colour);
    const std::optional<FontChoice> chosen = Prompter::current().font(initial);
    if (!chosen || !window)
        return;
    box = window->RichTextBox1;
    // In this order; what was left undetermined stays as each part of the selection has it.
    if (chosen->name)
        box->setSelFontName(*chosen->name);
    if (chosen->size)
        box->setSelFontSize(*chosen->size);
    if (chosen->bold)
        box->setSelBold(*chosen->bold);
    if (chosen->italic)
        box->setSelItalic(*chosen->italic);
    if (chosen->strikeOut)
        box->setSelStrikeThru(*chosen->strikeOut);
    if (chosen->underline)
        box->setSelUnderline(*chosen->underline);
    if (chosen->color)
        box->setSelColor(Settings::storedFromColor(*chosen->color));
    if (SelectionTracker* t = tracker(window))
        t->RichTextBox1_SelChange();
}
