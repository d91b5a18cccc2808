#include "scriptedprompter.h"

#include <QPrinter>

ScriptedPrompter::ScriptedPrompter() : m_previous(Prompter::install(this)) {}

ScriptedPrompter::~ScriptedPrompter()
{
    Prompter::install(m_previous);
}

ScriptedPrompter& ScriptedPrompter::expectMessage(const QString& textPart, int answer)
{
    m_script.append({Kind::Message, textPart, answer, {}, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectInput(const QString& promptPart, const QString& answer)
{
    m_script.append({Kind::Input, promptPart, Answer::Ok, answer, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectFile(const QString& answerPath, const QString& titlePart)
{
    m_script.append({Kind::File, titlePart, Answer::Ok, answerPath, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectColor(std::optional<QColor> answer)
{
    m_script.append({Kind::Color, QString(), Answer::Ok, {}, answer, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::expectYesNoAll(const QString& textPart, int answer,
                                                   bool checked)
{
    m_script.append({Kind::YesNoAll, textPart, answer, {}, {}, checked});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::whileShown(std::function<void()> events)
{
    if (!m_script.isEmpty())
        m_script.last().whileShown = std::move(events);
    return *this;
}

std::optional<ScriptedPrompter::Step> ScriptedPrompter::next(Kind kind, const QString& text)
{
    shown.append(text);
    if (m_script.isEmpty()) {
        failures.append(QStringLiteral("unexpected prompt: ") + text);
        return std::nullopt;
    }
    const Step step = m_script.takeFirst();
    if (step.kind != kind || !text.contains(step.part)) {
        failures.append(QStringLiteral("expected \"%1\", shown \"%2\"").arg(step.part, text));
        return std::nullopt;
    }
    if (step.whileShown)
        step.whileShown();
    return step;
}

QString ScriptedPrompter::report() const
{
    QStringList lines = failures;
    for (const Step& step : m_script)
        lines.append(QStringLiteral("never shown: ") + step.part);
    return lines.join(u'\n');
}

int ScriptedPrompter::message(const MessageRequest& request)
{
    messages.append(request);
    const auto step = next(Kind::Message, request.text);
    return step ? step->answer : Answer::Cancel;
}

QString ScriptedPrompter::input(const QString& prompt, const QString&, const QString&)
{
    const auto step = next(Kind::Input, prompt);
    return step ? step->text : QString();
}

QString ScriptedPrompter::file(const FileRequest& request)
{
    fileRequests.append(request);
    const auto step = next(Kind::File, request.title);
    return step ? step->text : QString();
}

std::optional<QColor> ScriptedPrompter::color(const QColor&, QList<QColor>&)
{
    const auto step = next(Kind::Color, QString());
    return step ? step->color : std::nullopt;
}

ScriptedPrompter& ScriptedPrompter::expectFont(std::optional<FontChoice> answer)
{
    Step step{Kind::Font, QString(), Answer::Ok, {}, {}, false};
    step.font = std::move(answer);
    m_script.append(step);
    return *this;
}

std::optional<FontChoice> ScriptedPrompter::font(const FontChoice& initial)
{
    fontRequests.append(initial);
    const auto step = next(Kind::Font, QString());
    return step ? step->font : std::nullopt;
}

ScriptedPrompter& ScriptedPrompter::expectPrinter(const QString& pdfPath, bool selectionOnly)
{
    m_script.append({Kind::Printer,
                     QString(),
                     pdfPath.isEmpty() ? Answer::Cancel : Answer::Ok,
                     pdfPath,
                     {},
                     selectionOnly});
    return *this;
}

bool ScriptedPrompter::printer(QPrinter& printer, bool& selectionOnly, bool allowSelection)
{
    printerDocNames.append(printer.docName());
    printerSelectionAllowed.append(allowSelection);
    const auto step = next(Kind::Printer, QString());
    if (!step || step->answer != Answer::Ok)
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(step->text);
    selectionOnly = allowSelection && step->checked;
    return true;
}

ScriptedPrompter& ScriptedPrompter::expectPageSetup(std::optional<QMarginsF> marginsInches)
{
    Step step{
        Kind::PageSetup, QString(), marginsInches ? Answer::Ok : Answer::Cancel, {}, {}, false};
    step.margins = marginsInches;
    m_script.append(step);
    return *this;
}

bool ScriptedPrompter::pageSetup(QPrinter&, QMarginsF& marginsInches)
{
    const auto step = next(Kind::PageSetup, QString());
    if (!step || !step->margins)
        return false;
    marginsInches = *step->margins;
    return true;
}

YesNoAllReply ScriptedPrompter::yesNoAll(const YesNoAllRequest& request)
{
    yesNoAllRequests.append(request);
    const auto step = next(Kind::YesNoAll, request.message);
    return step ? YesNoAllReply{step->answer, step->checked} : YesNoAllReply{Answer::Cancel, false};
}

ScriptedPrompter& ScriptedPrompter::expectChoice(const QString& titlePart, int answer)
{
    m_script.append({Kind::Choice, titlePart, answer, {}, {}, false});
    return *this;
}

int ScriptedPrompter::choose(const QString& title, const QString&, const QStringList& items)
{
    choices.append(items);
    const auto step = next(Kind::Choice, title);
    return step && step->answer < items.size() ? step->answer : -1;
}

ScriptedPrompter& ScriptedPrompter::expectOpenWith(const QString& pathPart,
                                                   std::optional<OpenWithChoice> answer)
{
    Step step{Kind::OpenWith, pathPart, Answer::Ok, {}, {}, false};
    step.openWith = std::move(answer);
    m_script.append(step);
    return *this;
}

std::optional<OpenWithChoice> ScriptedPrompter::openWith(const OpenWithRequest& request)
{
    openWithRequests.append(request);
    const auto step = next(Kind::OpenWith, request.path);
    return step ? step->openWith : std::nullopt;
}

ScriptedPrompter& ScriptedPrompter::expectRecovery(const QString& textPart, RecoveryAnswer answer)
{
    m_script.append({Kind::Recovery, textPart, int(answer), {}, {}, false});
    return *this;
}

RecoveryAnswer ScriptedPrompter::recovery(const RecoveryRequest& request)
{
    recoveryRequests.append(request);
    const auto step = next(Kind::Recovery, request.text);
    // Unanswered, the copies stay for later, as when the dialog is closed.
    return step ? RecoveryAnswer(step->answer) : RecoveryAnswer::Later;
}
