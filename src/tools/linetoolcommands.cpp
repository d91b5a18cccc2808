#include "linetoolcommands.h"

#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "documenttext.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "richtext/richtextbox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextLayout>
#include <QtConcurrent/QtConcurrentRun>

LineToolCommands::LineToolCommands(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context)
{
    setObjectName(QStringLiteral("LineToolCommands"));
    connect(&context.documents, &DocumentManager::documentClosed, this,
            [this](frmText* window) { m_answers.remove(window); });
}

void LineToolCommands::registerCommands(CommandRouter& router)
{
    const struct {
        const char* name;
        void (LineToolCommands::*handler)();
    } commands[] = {
        {"mnuStrip", &LineToolCommands::mnuStrip_Click},
        {"mnuStripBlanks", &LineToolCommands::mnuStripBlanks_Click},
        {"mnuStripUpTo", &LineToolCommands::mnuStripUpTo_Click},
        {"mnuASCIIReplace", &LineToolCommands::mnuASCIIReplace_Click},
        {"mnuQuotedText", &LineToolCommands::mnuQuotedText_Click},
        {"mnuWWMargin", &LineToolCommands::mnuWWMargin_Click},
        {"mnuSortLines", &LineToolCommands::mnuSortLines_Click},
    };
    for (const auto& c : commands)
        router.add(QString::fromLatin1(c.name), [this, h = c.handler] { (this->*h)(); });
}

QString LineToolCommands::codesConfirmation(const QString& codes, const QString& replacements)
{
    return QStringLiteral("Click OK to confirm\n\nASCII codes to be replaced: ") + codes +
           QStringLiteral("\nReplacement codes: ") + replacements;
}

bool LineToolCommands::wordWrapOn(const frmText* window)
{
    return window->RichTextBox1->lineWrapMode() != QTextEdit::NoWrap;
}

void LineToolCommands::setWordWrap(frmText* window, bool on)
{
    window->RichTextBox1->setRightMargin(on ? 0 : RichTextBox::NoWrapMargin);
}

frmText* LineToolCommands::selectedDocument(const QString& emptyMessage)
{
    frmText* window = m_context.documents.activeDocument();
    if (!window)
        return nullptr;
    if (window->RichTextBox1->SelLength() == 0) {
        Prompter::tell(emptyMessage, MessageIcon::Exclamation);
        return nullptr;
    }
    return window;
}

void LineToolCommands::SelectWholeLines(frmText* window)
{
    RichTextBox* box = window->RichTextBox1;
    const QString& text = DocumentText::of(box->document()).text();
    const auto isBreak = [](QChar c) { return c == u'\r' || c == u'\n'; };
    int start = box->SelStart();
    int end = start + box->SelLength();
    while (start > 0 && !isBreak(text.at(start - 1)))
        --start;
    while (end < text.size() && !isBreak(text.at(end)))
        ++end;
    select(window, start, end - start);
}

void LineToolCommands::select(frmText* window, int start, int length)
{
    RichTextBox* box = window->RichTextBox1;
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(box->fromCrLf(start + length));
    cursor.setPosition(box->fromCrLf(start), QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

std::optional<QString> LineToolCommands::runLong(std::function<QString()> work)
{
    QFuture<QString> future = QtConcurrent::run(std::move(work));
    if (!future.isFinished()) {
        // The window stays alive and its text untouched until the work is done.
        QProgressDialog bar(QStringLiteral("Working..."), QStringLiteral("&Cancel"), 0, 0,
                            m_context.window);
        bar.setWindowModality(Qt::WindowModal);
        bar.setMinimumDuration(500);
        QEventLoop loop;
        QFutureWatcher<QString> watcher;
        connect(&watcher, &QFutureWatcher<QString>::finished, &loop, &QEventLoop::quit);
        connect(&bar, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
        watcher.setFuture(future);
        if (!future.isFinished())
            loop.exec();
        if (!future.isFinished() || bar.wasCanceled())
            return std::nullopt;
    }
    return future.result();
}

void LineToolCommands::replaceSelection(frmText* window, const QString& text)
{
    RichTextBox* box = window->RichTextBox1;
    const int start = box->SelStart();
    if (!DocumentText::of(box->document()).apply({{start, box->SelLength(), text}})) {
        QApplication::beep(); // protected text: nothing changes
        return;
    }
    select(window, start, int(text.size()));
}

QList<LineTools::Line> LineToolCommands::selectedLines(frmText* window)
{
    RichTextBox* box = window->RichTextBox1;
    if (!wordWrapOn(window)) {
        // Unwrapped, the lines are those the breaks make: no layout is needed.
        const QString& text = DocumentText::of(box->document()).text();
        const int from = box->SelStart();
        const int to = qMax(from + 1, from + box->SelLength());
        QList<LineTools::Line> lines;
        int start = from;
        while (start > 0 && text.at(start - 1) != u'\n' && text.at(start - 1) != u'\v')
            --start;
        while (start < to || lines.isEmpty()) {
            int end = start;
            while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n' &&
                   text.at(end) != u'\v')
                ++end;
            lines.append({start, text.mid(start, end - start)});
            if (end >= text.size())
                break;
            start = end + (text.at(end) == u'\r' && end + 1 < text.size() ? 2 : 1);
        }
        return lines;
    }
    QTextDocument* document = box->document();
    const int from = box->textCursor().selectionStart();
    const int to = box->textCursor().selectionEnd();
    const QTextBlock last = document->findBlock(qMax(from, to - 1));
    // The lines are those the window shows: laid out once, up to the last one.
    document->documentLayout()->blockBoundingRect(last);
    QList<LineTools::Line> lines;
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        const QString raw = block.text();
        const QTextLayout* layout = block.layout();
        const int count = layout ? layout->lineCount() : 0;
        for (int i = 0; i < qMax(1, count); ++i) {
            int start = count ? layout->lineAt(i).textStart() : 0;
            int length = count ? layout->lineAt(i).textLength() : int(raw.size());
            if (start + length > raw.size())
                length = int(raw.size()) - start;
            // A soft break ends its line; it is not part of it.
            if (length > 0 && raw.at(start + length - 1) == QChar::LineSeparator)
                --length;
            const int position = block.position() + start;
            if (position + length < from || position >= qMax(to, from + 1))
                continue;
            QString text = raw.mid(start, length);
            text.replace(QChar::LineSeparator, u'\v');
            lines.append({box->toCrLf(position), text});
        }
        if (block == last)
            break;
    }
    return lines;
}

void LineToolCommands::applyToLines(frmText* window, const QList<LineTools::Edit>& edits)
{
    RichTextBox* box = window->RichTextBox1;
    const int start = box->SelStart();
    int end = start + box->SelLength();
    for (const LineTools::Edit& edit : edits)
        end += int(edit.text.size()) - edit.length;
    if (!DocumentText::of(box->document()).apply(edits)) {
        QApplication::beep(); // protected text: nothing changes
        return;
    }
    select(window, start, end - start);
}

void LineToolCommands::rebuildSelection(QPointer<frmText> window,
                                        const std::function<QString(const QString&)>& tool)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const QString text = window->RichTextBox1->SelText();
    if (const auto result = runLong([text, tool] { return tool(text); }))
        if (window)
            replaceSelection(window, *result);
    if (window)
        window->RichTextBox1->setFocus();
}

void LineToolCommands::mnuStrip_Click()
{
    if (frmText* window = selectedDocument(NoSelection))
        rebuildSelection(window, LineTools::stripCrLf);
}

void LineToolCommands::mnuStripBlanks_Click()
{
    if (frmText* window = selectedDocument(NoSelection))
        rebuildSelection(window, LineTools::stripBlanks);
}

void LineToolCommands::mnuStripUpTo_Click()
{
    QPointer<frmText> window = selectedDocument(NoSelection);
    if (!window)
        return;
    SelectWholeLines(window);
    const QString marker =
        Prompter::current().input(StripUpToQuestion, QString(), answers(window).StripUpToChars);
    // Cancel (or nothing typed) changes nothing.
    if (marker.isEmpty() || !window)
        return;
    answers(window).StripUpToChars = marker;
    const bool wasWrapped = wordWrapOn(window);
    if (wasWrapped)
        setWordWrap(window, false);
    applyToLines(window, LineTools::stripUpTo(selectedLines(window), marker));
    if (wasWrapped &&
        Prompter::ask(StripUpToDone, MessageButtons::YesNo, MessageIcon::Question) == Answer::Yes &&
        window)
        setWordWrap(window, true);
    if (window)
        window->RichTextBox1->setFocus();
}

void LineToolCommands::mnuASCIIReplace_Click()
{
    QPointer<frmText> window = selectedDocument(NoSelection);
    if (!window)
        return;
    const QString codes =
        Prompter::current().input(CodesQuestion, QString(), answers(window).ReplaceCodes);
    if (codes.isEmpty() || !window)
        return;
    answers(window).ReplaceCodes = codes;
    const QString replacements = Prompter::current().input(ReplacementCodesQuestion, QString(),
                                                           answers(window).ReplacementCodes);
    if (replacements.isEmpty() || !window)
        return;
    answers(window).ReplacementCodes = replacements;
    const Result<QString> from = LineTools::characters(codes);
    const Result<QString> to = LineTools::characters(replacements);
    for (const Result<QString>* parsed : {&from, &to})
        if (!*parsed) {
            Prompter::tell(parsed->error().message, MessageIcon::Exclamation);
            return;
        }
    if (from.value().compare(to.value(), Qt::CaseInsensitive) == 0)
        return;
    if (Prompter::ask(codesConfirmation(codes, replacements), MessageButtons::OkCancel,
                      MessageIcon::Question) != Answer::Ok ||
        !window)
        return;
    rebuildSelection(window, [f = from.value(), p = to.value()](const QString& text) {
        return LineTools::replaceCodes(text, f, p);
    });
}

void LineToolCommands::mnuQuotedText_Click()
{
    QPointer<frmText> window = selectedDocument(NoSelectionToConvert);
    if (!window)
        return;
    if (answers(window).QuotePrefix.isEmpty())
        answers(window).QuotePrefix = QStringLiteral("> ");
    SelectWholeLines(window);
    const QString prefix =
        Prompter::current().input(QuoteQuestion, QString(), answers(window).QuotePrefix);
    if (prefix.isEmpty() || !window)
        return;
    answers(window).QuotePrefix = prefix;
    const int blankLines =
        Prompter::ask(BlankLinesQuestion, MessageButtons::YesNoCancel, MessageIcon::Question, 2);
    if (blankLines == Answer::Cancel || !window)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const bool wasWrapped = wordWrapOn(window);
    if (wasWrapped)
        setWordWrap(window, false);
    applyToLines(window,
                 LineTools::quotePrefix(selectedLines(window), prefix, blankLines == Answer::Yes));
    restore.dismiss();
    QApplication::restoreOverrideCursor();
    if (wasWrapped &&
        Prompter::ask(QuoteDone, MessageButtons::YesNo, MessageIcon::Question) == Answer::Yes &&
        window)
        setWordWrap(window, true);
    if (window)
        window->RichTextBox1->setFocus();
}

void LineToolCommands::mnuWWMargin_Click()
{
    QPointer<frmText> window = selectedDocument(NoSelectionForWrapping);
    if (!window)
        return;
    SelectWholeLines(window);
    if (Prompter::ask(MarginQuestion, MessageButtons::YesNo, MessageIcon::Question) !=
            Answer::Yes ||
        !window)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto restore = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    const bool wasWrapped = wordWrapOn(window);
    if (!wasWrapped)
        setWordWrap(window, true);
    RichTextBox* box = window->RichTextBox1;
    const QString& text = DocumentText::of(box->document()).text();
    applyToLines(window, LineTools::marginBreaks(selectedLines(window), text, 0));
    restore.dismiss();
    QApplication::restoreOverrideCursor();
    if (!wasWrapped &&
        Prompter::ask(MarginDone, MessageButtons::YesNo, MessageIcon::Question) == Answer::Yes &&
        window)
        setWordWrap(window, false);
    if (window)
        window->RichTextBox1->setFocus();
}

void LineToolCommands::mnuSortLines_Click()
{
    QPointer<frmText> window = selectedDocument(NoSelectionForSorting);
    if (!window)
        return;
    SelectWholeLines(window);
    if (Prompter::ask(SortQuestion, MessageButtons::YesNo, MessageIcon::Question) != Answer::Yes ||
        !window)
        return;
    rebuildSelection(window, LineTools::sortLines);
}
