#include "toolscontroller.h"

#include "charoffsettool.h"
#include "document/documentmanager.h"
#include "document/frmtext.h"
#include "documenttext.h"
#include "frmfind.h"
#include "insertions.h"
#include "linetoolcommands.h"
#include "menus/commandrouter.h"
#include "platform/prompter.h"
#include "richtext/protectedtext.h"
#include "richtext/richtextbox.h"
#include "richtext/richtextproperties.h"

#include <QMdiArea>
#include <QProgressDialog>
#include <QTextDocument>

ToolsController::ToolsController(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_lines(new LineToolCommands(context, this)),
      m_offset(new CharOffsetTool(context, this)), m_insertions(new Insertions(context, this))
{
    setObjectName(QStringLiteral("ToolsController"));
}

ToolsController::~ToolsController()
{
    delete m_find;
}

void ToolsController::registerCommands(CommandRouter& router)
{
    router.add(
        QStringLiteral("mnuFind"), [this] { mnuFind_Click(); }, Enabled::WithDocument);
    router.add(
        QStringLiteral("mnuFindNext"), [this] { mnuFindNext_Click(); }, Enabled::WithDocument);
    router.add(
        QStringLiteral("mnuReplace"), [this] { mnuReplace_Click(); }, Enabled::WithDocument);
    m_lines->registerCommands(router);
    m_offset->registerCommands(router);
    m_insertions->registerCommands(router);
}

QString ToolsController::lineCountMessage(int lines)
{
    return QStringLiteral("There are only ") + QString::number(lines) +
           QStringLiteral(" lines in the text box.");
}

frmFind* ToolsController::findDialog() const
{
    return m_find;
}

bool ToolsController::hasDocument() const
{
    return m_context.documents.activeDocument() != nullptr;
}

int ToolsController::activeSlot() const
{
    const frmText* document = m_context.documents.activeDocument();
    return document ? document->slot() : -1;
}

QString ToolsController::selectedText() const
{
    const frmText* document = m_context.documents.activeDocument();
    return document ? document->RichTextBox1->SelText() : QString();
}

void ToolsController::NoDocumentWarning()
{
    m_context.router.warnNoDocument();
}

void ToolsController::focusActiveDocument()
{
    if (frmText* document = m_context.documents.activeDocument()) {
        m_context.documents.area()->setActiveSubWindow(document);
        document->RichTextBox1->setFocus();
    } else {
        m_context.window->setFocus();
    }
}

void ToolsController::mnuFind_Click()
{
    if (!m_find)
        m_find = new frmFind(*this, m_context.window);
    m_find->showWithMode(QString());
}

void ToolsController::mnuReplace_Click()
{
    if (!m_find)
        m_find = new frmFind(*this, m_context.window);
    m_find->showWithMode(QStringLiteral("R"));
}

void ToolsController::mnuFindNext_Click()
{
    if (m_engine.FindString.isEmpty())
        mnuFind_Click();
    else
        findUntilDone();
}

int ToolsController::findUntilDone()
{
    int result = FindEngine::StepAgain;
    while (result == FindEngine::StepAgain)
        result = DoFind();
    return result;
}

void ToolsController::SetFocusFromFindAll(int slot)
{
    auto* document = qobject_cast<frmText*>(m_context.documents.table().window(slot));
    if (!document)
        return;
    m_context.documents.area()->setActiveSubWindow(document);
    document->RichTextBox1->setFocus();
}

int ToolsController::DoFind()
{
    QPointer<frmText> document = m_context.documents.activeDocument();
    if (!document) {
        NoDocumentWarning();
        return FindEngine::Over;
    }
    RichTextBox* box = document->RichTextBox1;
    DocumentTable& table = m_context.documents.table();
    FindEngine::Document state;
    state.slot = document->slot();
    state.selStart = box->SelStart();
    state.text = &DocumentText::of(box->document()).text();
    state.lineCount = box->lineCount();
    state.lineIndex = [box](int line) { return box->lineIndex(line); };
    state.upperSlot = table.upperBound();
    state.slotFree = [&table](int slot) { return table.state(slot).Deleted; };
    const FindEngine::Step step = m_engine.step(state);
    const QString notFound = FindEngine::notFoundMessage(m_engine.FindString);
    switch (step.kind) {
    case FindEngine::Step::Found:
        box->setSelStart(step.position);
        box->setSelLength(step.length);
        return step.position;
    case FindEngine::Step::GoToLine:
        if (step.beyondLast)
            Prompter::tell(lineCountMessage(step.lineCount), MessageIcon::Exclamation);
        if (document)
            document->RichTextBox1->setSelStart(step.position);
        return step.position;
    case FindEngine::Step::CycleComplete:
        Prompter::tell(notFound, MessageIcon::None);
        focusActiveDocument();
        return FindEngine::Over;
    case FindEngine::Step::NextDocument:
        SetFocusFromFindAll(step.slot);
        if (auto* next = qobject_cast<frmText*>(table.window(step.slot)))
            next->RichTextBox1->setSelStart(0);
        return FindEngine::StepAgain;
    case FindEngine::Step::StartGone:
        return FindEngine::Over;
    case FindEngine::Step::AskRestart:
        break;
    }
    const int answer =
        Prompter::ask(notFound + QStringLiteral("\r\n\r\n") + FindEngine::RestartQuestion,
                      MessageButtons::YesNo, MessageIcon::Question, 2);
    if (answer == Answer::Yes && document) {
        document->RichTextBox1->setSelStart(0);
        return FindEngine::StepAgain;
    }
    focusActiveDocument();
    return FindEngine::Over;
}

QList<LineTools::Edit> ToolsController::occurrences(frmText* document, int from, int to)
{
    RichTextBox* box = document->RichTextBox1;
    const QString& text = DocumentText::of(box->document()).text();
    const QList<int> found =
        FindEngine::matches(text, m_engine.FindString, from, int(qMin<qsizetype>(to, text.size())),
                            m_engine.MatchCase, m_engine.WholeWord);
    const bool guarded = ProtectedText::anyIn(box->document());
    const int length = int(m_engine.FindString.size());
    QList<LineTools::Edit> edits;
    edits.reserve(found.size());
    for (int at : found) {
        // Protected text keeps its occurrences, and they are not counted.
        if (guarded && ProtectedText::rangeHasProtected(box->document(), box->fromCrLf(at),
                                                        box->fromCrLf(at + length)))
            continue;
        edits.append({at, length, m_engine.ReplaceString});
    }
    return edits;
}

qint64 ToolsController::replaceIn(frmText* document, const QList<LineTools::Edit>& edits,
                                  bool joinPrevious)
{
    if (edits.isEmpty() ||
        !DocumentText::of(document->RichTextBox1->document()).apply(edits, joinPrevious))
        return 0;
    return edits.size();
}

void ToolsController::replaceSelectedOccurrence()
{
    frmText* document = m_context.documents.activeDocument();
    if (!document)
        return;
    RichTextBox* box = document->RichTextBox1;
    const int start = box->SelStart();
    const int length = box->SelLength();
    const QString& text = DocumentText::of(box->document()).text();
    if (length == 0 || !FindEngine::isOccurrence(text, start, length, m_engine.FindString,
                                                 m_engine.MatchCase, m_engine.WholeWord))
        return;
    if (!replaceIn(document, {{start, length, m_engine.ReplaceString}}))
        return;
    // The next step looks from just after what was put in.
    box->setSelStart(start + int(m_engine.ReplaceString.size()));
    m_engine.NewSearch = true;
}

qint64 ToolsController::replaceAll(const std::function<void(qint64)>& progress)
{
    const QPointer<frmText> start = m_context.documents.activeDocument();
    if (!start || m_engine.FindString.isEmpty())
        return 0;
    // The parts to go through, each once: the start document from the caret on,
    // the other documents in slot order after it, then the start document's top.
    struct Part {
        QPointer<frmText> document;
        int from;
        bool top;
    };
    const int caret = start->RichTextBox1->SelStart();
    QList<Part> parts = {{start, caret, false}};
    if (m_engine.SearchAllDocs) {
        DocumentTable& table = m_context.documents.table();
        const int upper = table.upperBound();
        for (int step = 1; step < upper; ++step) {
            const int slot = (start->slot() - 1 + step) % upper + 1;
            if (auto* other = qobject_cast<frmText*>(table.window(slot));
                other && !table.state(slot).Deleted)
                parts.append({other, 0, false});
        }
        if (caret > 0)
            parts.append({start, 0, true});
    }
    QProgressDialog bar(QStringLiteral("Replacing..."), QStringLiteral("&Cancel"), 0,
                        int(parts.size()), m_context.window);
    bar.setWindowModality(Qt::WindowModal);
    bar.setMinimumDuration(500);
    qint64 count = 0;
    int firstBelow = -1; // where the start document's first replacement below the caret was
    int caretShift = 0;  // how far replacements above the caret moved it
    const auto replacePart = [&](const Part& part) {
        if (!part.document || part.document->state().Deleted)
            return;
        const QString& text = DocumentText::of(part.document->RichTextBox1->document()).text();
        int to = int(text.size());
        if (part.top)
            to = firstBelow >= 0 ? firstBelow : to;
        QList<LineTools::Edit> edits = occurrences(part.document, part.from, to);
        if (part.top) // only what began above the caret; what follows was done first
            edits.removeIf([caret](const LineTools::Edit& e) { return e.position >= caret; });
        if (part.document == start && !part.top && !edits.isEmpty())
            firstBelow = edits.first().position;
        // The start document's two parts are one undo step.
        const qint64 done = replaceIn(part.document, edits, part.top && firstBelow >= 0);
        if (done && part.top)
            caretShift =
                int(done) * int(m_engine.ReplaceString.size() - m_engine.FindString.size());
        count += done;
        progress(count);
    };
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bar.setValue(int(i));
        if (bar.wasCanceled())
            break;
        replacePart(parts.at(i));
    }
    bar.setValue(int(parts.size()));
    if (!m_engine.SearchAllDocs && caret > 0 && start && !bar.wasCanceled()) {
        const int answer =
            Prompter::ask(FindEngine::notFoundMessage(m_engine.FindString) +
                              QStringLiteral("\r\n\r\n") + FindEngine::RestartQuestion,
                          MessageButtons::YesNo, MessageIcon::Question, 2);
        if (answer == Answer::Yes)
            replacePart({start, 0, true});
    } else if (m_engine.SearchAllDocs && !bar.wasCanceled()) {
        Prompter::tell(FindEngine::notFoundMessage(m_engine.FindString), MessageIcon::None);
    }
    // The caret stays where the run began: moving it to the last replacement would
    // lay the whole document out at once.
    if (start && caretShift)
        start->RichTextBox1->setSelStart(caret + caretShift);
    m_engine.NewSearch = true;
    return count;
}
