#include "autocompletecontroller.h"

#include "autocompletebox.h"
#include "document/commondialogapi.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "richtext/protectedtext.h"
#include "richtext/richtextbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStringListModel>
#include <QTextBlock>
#include <algorithm>

AutoCompleteController::AutoCompleteController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_model(new QStringListModel(this)),
      m_box(new AutoCompleteBox(*this, context.window))
{
    setObjectName(QStringLiteral("AutoCompleteController"));
    m_box->setModel(m_model);
    AutoHotKeys = context.settings.text(Key::AutoHotKey);
    connect(&context.documents, &DocumentManager::documentCreated, this,
            &AutoCompleteController::watch);
}

AutoCompleteController::~AutoCompleteController() = default;

void AutoCompleteController::registerCommands(CommandRouter& router)
{
    router.add(
        QStringLiteral("mnuAutoCompleteToggle"), [this] { mnuAutoCompleteToggle_Click(); },
        Enabled::Always, [this](const CommandState&) { return AutoCompleteOn; });
    router.add(
        QStringLiteral("mnuAutoComplete"), [this] { mnuAutoComplete_Click(); },
        [this](const CommandState& state) { return state.hasDocument && AutoCompleteOn; });
    router.add(QStringLiteral("mnuOpenAutoComplete"), [this] { mnuOpenAutoComplete_Click(); });
}

void AutoCompleteController::deferredStart()
{
    const QString path = m_context.settings.text(Key::AutoTagFile);
    if (!path.isEmpty())
        LoadAutoCompleteFile(path);
    if (m_context.settings.boolean(Key::AutoCompleteAtStartup))
        mnuAutoCompleteToggle_Click();
    AutoHotKeys = m_context.settings.text(Key::AutoHotKey);
}

void AutoCompleteController::LoadAutoCompleteFile(const QString& path)
{
    m_list.load(path);
    const QStringList& entries = m_list.sorted();
    m_model->setStringList(entries);
    // The longest entries by characters, of which the widest is measured when shown.
    QList<qsizetype> lengths;
    for (const QString& entry : entries)
        lengths.append(entry.size());
    const qsizetype keep = qMin<qsizetype>(32, lengths.size());
    std::nth_element(lengths.begin(), lengths.begin() + keep - (keep > 0 ? 1 : 0), lengths.end(),
                     std::greater<>());
    const qsizetype shortest = keep > 0 ? lengths[keep - 1] : 0;
    QStringList widest;
    for (const QString& entry : entries)
        if (entry.size() >= shortest && widest.size() < 64)
            widest.append(entry);
    m_box->setWidest(widest);
    if (!m_list.readingFailure().isEmpty())
        Prompter::tell(m_list.readingFailure(), MessageIcon::Exclamation);
}

void AutoCompleteController::mnuAutoCompleteToggle_Click()
{
    if (m_list.state() == AutoCompleteList::State::NotLoaded) {
        Prompter::tell(AutoCompleteList::NotLoadedMessage, MessageIcon::Exclamation);
        return;
    }
    AutoCompleteOn = !AutoCompleteOn;
    m_context.documents.RefreshAllDocuments();
    m_context.router.refresh();
}

void AutoCompleteController::mnuOpenAutoComplete_Click()
{
    const QString path = CommonDialogAPI::ShowOpen(
        m_context.window, QStringLiteral(".txt"),
        QStringLiteral("Text Files (*.TXT)|*.TXT|All Files|*.*"),
        CommonDialogAPI::OFN_FILEMUSTEXIST | CommonDialogAPI::OFN_HIDEREADONLY, QString(),
        OpenTitle, 1, m_context.settings.text(Key::AutoTagFile));
    if (!path.isEmpty())
        LoadAutoCompleteFile(path);
    m_context.documents.RefreshAllDocuments();
    m_context.router.refresh();
}

void AutoCompleteController::mnuAutoComplete_Click()
{
    if (AutoCompleteOn)
        if (frmText* window = m_context.documents.activeDocument())
            ShowAutoCompleteBox(window);
}

void AutoCompleteController::watch(frmText* window)
{
    window->RichTextBox1->installEventFilter(this);
}

bool AutoCompleteController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !AutoCompleteOn)
        return QObject::eventFilter(watched, event);
    auto* box = qobject_cast<RichTextBox*>(watched);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (!box || text.size() != 1 || !AutoCompleteList::isHotKey(text.at(0), AutoHotKeys))
        return QObject::eventFilter(watched, event);
    // The trigger goes into the document, then the box opens for it.
    if (!box->setSelText(text)) {
        QApplication::beep();
        return true;
    }
    for (QWidget* w = box; w; w = w->parentWidget())
        if (auto* window = qobject_cast<frmText*>(w)) {
            ShowAutoCompleteBox(window);
            break;
        }
    return true;
}

void AutoCompleteController::ShowAutoCompleteBox(frmText* window)
{
    RichTextBox* box = window->RichTextBox1;
    QTextCursor cursor = box->textCursor();
    if (cursor.hasSelection()) {
        // The selection (F4) is the prefix; the caret goes to its end.
        m_prefixStart = cursor.selectionStart();
        cursor.setPosition(cursor.selectionEnd());
        box->setTextCursor(cursor);
    } else {
        const QTextBlock block = cursor.block();
        m_prefixStart = block.position() + AutoCompleteList::prefixStart(
                                               block.text(), cursor.positionInBlock(), AutoHotKeys);
    }
    m_window = window;
    if (m_model->rowCount() == 0)
        return; // nothing to offer
    const QRect caret = box->cursorRect();
    const QRect line(box->viewport()->mapToGlobal(caret.topLeft()), caret.size());
    const QRect area(box->viewport()->mapToGlobal(QPoint(0, 0)), box->viewport()->size());
    m_box->showAt(line, area);
    showMatch();
}

QString AutoCompleteController::prefix() const
{
    if (!m_window)
        return QString();
    QTextCursor cursor = m_window->RichTextBox1->textCursor();
    const int caret = cursor.position();
    cursor.setPosition(qMin(m_prefixStart, caret));
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    return cursor.selectedText();
}

void AutoCompleteController::showMatch()
{
    const std::optional<int> row = m_list.find(prefix());
    if (!row)
        return;
    const QModelIndex index = m_model->index(*row);
    m_box->setCurrentIndex(index);
    m_box->scrollTo(index, QAbstractItemView::PositionAtTop);
}

void AutoCompleteController::typed(const QString& text)
{
    // What is typed goes into the document too, so nothing typed is ever lost.
    if (m_window && m_window->RichTextBox1->setSelText(text))
        showMatch();
}

void AutoCompleteController::erased()
{
    if (!m_window)
        return;
    QTextCursor cursor = m_window->RichTextBox1->textCursor();
    if (cursor.position() <= m_prefixStart)
        return;
    cursor.deletePreviousChar();
    m_window->RichTextBox1->setTextCursor(cursor);
    showMatch();
}

void AutoCompleteController::accept(const QString& entry, bool closingBracket)
{
    if (!m_window)
        return;
    RichTextBox* box = m_window->RichTextBox1;
    QString text = entry;
    if (closingBracket && !text.endsWith(u'>'))
        text += u'>';
    QTextCursor cursor = box->textCursor();
    const int caret = cursor.position();
    cursor.setPosition(qMin(m_prefixStart, caret));
    cursor.setPosition(caret, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    box->setSelText(text);
    box->setFocus();
}

void AutoCompleteController::cancel()
{
    if (m_window)
        m_window->RichTextBox1->setFocus();
}
