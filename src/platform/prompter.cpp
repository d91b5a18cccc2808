#include "prompter.h"

#include <QtGlobal>

namespace {

// What answers when no prompter has been installed: nothing is shown, so no
// test can ever wait on a real dialog; every prompt is refused and kept.
class RefusingPrompter : public Prompter {
public:
    int message(const MessageRequest& request) override
    {
        refuse(request.text);
        return request.buttons == MessageButtons::Ok ? Answer::Ok : Answer::Cancel;
    }
    QString input(const QString& prompt, const QString&, const QString&) override
    {
        refuse(prompt);
        return QString();
    }
    QString file(const FileRequest& request) override
    {
        refuse(request.title);
        return QString();
    }
    std::optional<QColor> color(const QColor&, QList<QColor>&) override
    {
        refuse(QStringLiteral("colour dialog"));
        return std::nullopt;
    }
    std::optional<FontChoice> font(const FontChoice&) override
    {
        refuse(QStringLiteral("font dialog"));
        return std::nullopt;
    }
    bool printer(QPrinter&, bool&, bool) override
    {
        refuse(QStringLiteral("print dialog"));
        return false;
    }
    bool pageSetup(QPrinter&, QMarginsF&) override
    {
        refuse(QStringLiteral("page setup dialog"));
        return false;
    }
    YesNoAllReply yesNoAll(const YesNoAllRequest& request) override
    {
        refuse(request.message);
        return {Answer::Cancel, false};
    }
    int choose(const QString& title, const QString&, const QStringList&) override
    {
        refuse(title);
        return -1;
    }
    std::optional<OpenWithChoice> openWith(const OpenWithRequest& request) override
    {
        refuse(QStringLiteral("Open With: ") + request.path);
        return std::nullopt;
    }

    RecoveryAnswer recovery(const RecoveryRequest& request) override
    {
        refuse(request.text);
        return RecoveryAnswer::Later;
    }

private:
    void refuse(const QString& text)
    {
        qWarning("No prompter installed; refused: %s", qPrintable(text));
        Prompter::refused().append(text);
    }
};

Prompter* g_prompter = nullptr;

} // namespace

Prompter::~Prompter() = default;

RecoveryAnswer Prompter::recovery(const RecoveryRequest&)
{
    return RecoveryAnswer::Later;
}

Prompter& Prompter::current()
{
    if (!g_prompter) {
        static RefusingPrompter refusing;
        return refusing;
    }
    return *g_prompter;
}

QStringList& Prompter::refused()
{
    static QStringList texts;
    return texts;
}

Prompter* Prompter::install(Prompter* prompter)
{
    Prompter* previous = g_prompter;
    g_prompter = prompter;
    return previous;
}

int Prompter::ask(const QString& text, MessageButtons buttons, MessageIcon icon, int defaultButton)
{
    return current().message({text, buttons, icon, defaultButton});
}

void Prompter::tell(const QString& text, MessageIcon icon)
{
    current().message({text, MessageButtons::Ok, icon, 1});
}
