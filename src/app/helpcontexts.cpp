#include "helpcontexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

const char* const HelpContexts::PropertyName = "HelpContextID";

namespace {

const QMap<int, HelpTopic>& table()
{
    static const QMap<int, HelpTopic> topics = {
        {HelpContexts::Contents, {QStringLiteral("index.html"), QString()}},
        {HelpContexts::DragDrop, {QStringLiteral("dragdrop.html"), QStringLiteral("dragdrop")}},
        {HelpContexts::Documents, {QStringLiteral("documents.html"), QString()}},
        {HelpContexts::Formatting, {QStringLiteral("formatting.html"), QString()}},
        {HelpContexts::FindReplace, {QStringLiteral("find.html"), QString()}},
        {HelpContexts::Tools, {QStringLiteral("tools.html"), QString()}},
        {HelpContexts::Printing, {QStringLiteral("printing.html"), QString()}},
        {HelpContexts::Projects, {QStringLiteral("projects.html"), QString()}},
        {HelpContexts::FolderTree, {QStringLiteral("foldertree.html"), QString()}},
        {HelpContexts::Panes, {QStringLiteral("panes.html"), QString()}},
        {HelpContexts::Keys, {QStringLiteral("keys.html"), QString()}},
        {HelpContexts::Options, {QStringLiteral("options.html"), QString()}},
        {HelpContexts::OptionsTabs + 0,
         {QStringLiteral("options.html"), QStringLiteral("general")}},
        {HelpContexts::OptionsTabs + 1,
         {QStringLiteral("options.html"), QStringLiteral("document")}},
        {HelpContexts::OptionsTabs + 2,
         {QStringLiteral("options.html"), QStringLiteral("treeview")}},
        {HelpContexts::OptionsTabs + 3, {QStringLiteral("options.html"), QStringLiteral("quotes")}},
        {HelpContexts::OptionsTabs + 4,
         {QStringLiteral("options.html"), QStringLiteral("textblocks")}},
        {HelpContexts::OptionsTabs + 5,
         {QStringLiteral("options.html"), QStringLiteral("autocomplete")}},
        {HelpContexts::OptionsTabs + 6, {QStringLiteral("options.html"), QStringLiteral("notes")}},
        {HelpContexts::OptionsTabs + 7,
         {QStringLiteral("options.html"), QStringLiteral("internet")}},
    };
    return topics;
}

} // namespace

std::optional<HelpTopic> HelpContexts::topic(int context)
{
    const auto found = table().constFind(context);
    if (found == table().constEnd())
        return std::nullopt;
    return *found;
}

HelpTopic HelpContexts::topicOrContents(int context)
{
    return topic(context).value_or(table().value(Contents));
}

QList<int> HelpContexts::contexts()
{
    return table().keys();
}

QStringList HelpContexts::manualFolders(const QStringList& installedTrees)
{
    QStringList folders;
    for (const QString& tree : installedTrees)
        folders << QDir::cleanPath(tree + QStringLiteral("/help"));
    return folders;
}

QString HelpContexts::findManual(const QStringList& folders)
{
    for (const QString& folder : folders) {
        if (QFileInfo(folder + u'/' + contentsPage()).isFile())
            return folder;
    }
    return QString();
}
