#include "firstrunplan.h"

#include "project/projectentry.h"

#include <QFileInfo>

QStringList FirstRunPlan::sampleFiles()
{
    const QString templates = TemplatesFolder + u'/';
    return {WelcomeDocument,
            Readme,
            WebPage,
            templates + HtmlTemplate,
            templates + LetterTemplate,
            templates + QuotesFile,
            templates + NotesFile,
            templates + TextBlocksFile,
            templates + AutoCompleteFile};
}

QList<FirstRunPlan::Copy> FirstRunPlan::copies(const QString& installed, const QString& user)
{
    QList<Copy> plan;
    if (installed.isEmpty())
        return plan;
    for (const QString& name : sampleFiles()) {
        const QString from = installed + u'/' + name;
        const QString to = user + u'/' + name;
        // A dangling link is the user's too: copying over it would follow it.
        const QFileInfo target(to);
        if (QFileInfo(from).isFile() && !target.exists() && !target.isSymLink())
            plan.append({from, to});
    }
    return plan;
}

QString FirstRunPlan::templatesFolder(const QString& user)
{
    return user + u'/' + TemplatesFolder;
}

QStringList FirstRunPlan::welcomeLines(const QString& user)
{
    return {user + u'/', templatesFolder(user) + u'/',
            user + u'/' + WebPage + ProjectEntry::ShortcutSuffix, user + u'/' + Readme,
            user + u'/' + WelcomeDocument};
}

QStringList FirstRunPlan::templatesLines(const QString& user)
{
    const QString templates = templatesFolder(user);
    return {templates + u'/', templates + u'/' + HtmlTemplate, templates + u'/' + LetterTemplate};
}

QList<FirstRunPlan::Setting> FirstRunPlan::settings(const QString& user)
{
    const QString templates = templatesFolder(user) + u'/';
    return {{Key::QuoteFile, templates + QuotesFile},
            {Key::NotesFile, templates + NotesFile},
            {Key::TextBlocks, templates + TextBlocksFile},
            {Key::AutoTagFile, templates + AutoCompleteFile}};
}
