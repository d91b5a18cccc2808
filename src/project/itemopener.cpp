#include "itemopener.h"

#include "document/documentmanager.h"
#include "document/framecontext.h"
#include "platform/externalopener.h"
#include "platform/prompter.h"
#include "platform/settings.h"
#include "projectentry.h"

#include <QFileInfo>

namespace {

ItemOpener::Launch launchWithDesktop(const QString& path, const QString& application)
{
    switch (ExternalOpener::openIn(path, application)) {
    case ExternalOpener::Outcome::Opened:
        return ItemOpener::Launch::Opened;
    case ExternalOpener::Outcome::NoAssociation:
        return ItemOpener::Launch::NoAssociation;
    case ExternalOpener::Outcome::Failed:
        break;
    }
    return ItemOpener::Launch::Failed;
}

std::optional<Association> desktopDefault(const QString& path)
{
    const auto found = ExternalOpener::defaultFor(path);
    if (!found)
        return std::nullopt;
    return Association{found->id, found->name, found->textEditor};
}

} // namespace

ItemOpener::ItemOpener(FrameContext& context, QObject* parent)
    : QObject(parent), m_context(context), m_lookup(desktopDefault), m_launch(launchWithDesktop),
      m_choose(ExternalOpener::openWith)
{
    setObjectName(QStringLiteral("ItemOpener"));
}

void ItemOpener::OpenPath(const QString& path, bool fromOutside)
{
    DocumentManager& documents = m_context.documents;
    if (documents.activateOpen(path))
        return;
    OpenRules rules(m_extApps, m_lookup);
    const OpenRules::Decision decision = rules.decide(
        path, fromOutside, OpenRules::openMethod(m_context.settings.integer(Key::OpenMethod)),
        m_context.settings.text(Key::OpenExclude));
    if (!decision.external) {
        documents.LoadDocument(path);
        return;
    }
    if (documents.fncYesNoAll(decision.question) != YesNoAllRegister::Yes)
        return;
    openExternally(path, decision.application);
}

void ItemOpener::openExternally(const QString& path, const QString& application)
{
    Launch result = m_launch(path, application);
    // A read-only shortcut is its target's path + ".lnk": the target is what opens.
    const ProjectEntry entry(path);
    if (result != Launch::Opened && entry.isShortcut())
        result = m_launch(entry.target(), QString());
    if (result == Launch::NoAssociation) {
        // The user picks a program instead.
        if (!m_choose(entry.isShortcut() ? entry.target() : path))
            failed(path, NotStarted);
        return;
    }
    if (result == Launch::Failed) {
        const QString target = entry.isShortcut() ? entry.target() : path;
        failed(path, QFileInfo::exists(target) ? NotStarted : FileNotFound);
    }
}

void ItemOpener::failed(const QString& path, const QString& description)
{
    const int answer = Prompter::ask(QStringLiteral("Error: ") + path + u'\n' + description +
                                         QStringLiteral("\n\n") + OpenFailedText +
                                         QStringLiteral("\n\n") + ContinueText,
                                     MessageButtons::OkCancel, MessageIcon::Exclamation);
    if (answer == Answer::Cancel)
        m_context.documents.yesNoAll().set(YesNoAllRegister::Cancel);
}
