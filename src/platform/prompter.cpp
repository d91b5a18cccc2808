#include "prompter.h"

#include "dialogprompter.h"

namespace {
Prompter* g_prompter = nullptr;
}

Prompter::~Prompter() = default;

Prompter& Prompter::current()
{
    if (!g_prompter) {
        static DialogPrompter dialogs;
        g_prompter = &dialogs;
    }
    return *g_prompter;
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
