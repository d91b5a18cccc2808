#include "toolbartable.h"

#include <QHash>
#include <QSet>

namespace ToolbarTable {

namespace {

using S = ToolButton::Style;

ToolButton separator()
{
    return {QString(), QString(), QString(), S::Separator};
}

ToolCommand frame(const char* name)
{
    return {QString::fromLatin1(name), false};
}

ToolCommand document(const char* name)
{
    return {QString::fromLatin1(name), true};
}

ToolCommand lookUp(const QHash<QString, ToolCommand>& table, const QString& key)
{
    return table.value(key.toLower());
}

} // namespace

const QList<ToolButton>& toolbar1()
{
    static const QList<ToolButton> buttons = {
        {"New",
         "Create a new project or document",
         "New",
         S::DropDown,
         "document-new",
         0,
         {{"Project", "&Project"}, {"Document", "&Document"}}},
        {"Open",
         "Open a project or document...",
         "Open",
         S::DropDown,
         "document-open",
         0,
         {{"Project", "&Project..."}, {"Document", "&Document..."}}},
        {"Save",
         "Save project or document...",
         "Save",
         S::DropDown,
         "document-save",
         0,
         {{"Project", "&Project"}, {"Document", "&Document"}}},
        separator(),
        {"Print", "Print document...", "Print", S::Default, "document-print"},
        {"View", "Quick view in external application", "Quick view", S::Default,
         "document-preview"},
        {"Find", "Find...", "Find", S::Default, "edit-find"},
        separator(),
        {"Cut", "Cut selected text", "Cut", S::Default, "edit-cut"},
        {"Copy", "Copy to clipboard", "Copy", S::Default, "edit-copy"},
        {"Paste", "Paste from clipboard", "Paste", S::Default, "edit-paste"},
        {"Clear", "Clear selected text", "Clear", S::Default, "edit-clear"},
        {"Bold", "Bold", "Bold", S::Check, "format-text-bold"},
        {"Italics", "Italics", "Italics", S::Check, "format-text-italic"},
        {"Underline", "Underline", "Underline", S::Check, "format-text-underline"},
        {"Strikethru", "Strikethru", "Strikethru", S::Check, "format-text-strikethrough"},
        {"Font", "Change font...", "Font", S::Default, "preferences-desktop-font"},
        {"Fontname", "Font name", "Font name", S::Placeholder, "", 2000},
        {"Fontsize", "Font size", "Font size", S::Placeholder, "", 650},
        separator(),
        {"Align left", "Align left", "Left", S::Group, "format-justify-left"},
        {"Align center", "Align center", "Center", S::Group, "format-justify-center"},
        {"Align right", "Align right", "Right", S::Group, "format-justify-right"},
        separator(),
        {"Bullet", "Bullet...", "Bullet", S::Check, "format-list-unordered"},
        separator(),
        {"Protected", "Protected", "Protected", S::Check, "changes-prevent"},
        separator(),
        {"Auto", "Toggle Auto-Complete", "Auto-Complete", S::Check, "tools-check-spelling"},
        {"Strip",
         "Strip/Format characters...",
         "Strip/Format",
         S::DropDown,
         "edit-clear-all",
         0,
         {{"CRLF", "Excess &CRLF's"},
          {"Blanks", "Excess &blanks"},
          {"Upto", "&Up to and including char(s)"},
          {"ASCII", "&Replace ASCII code(s)..."},
          {"QuoteText", "Append &quote or other character(s) to each line..."},
          {"WWrap", "Insert CR's at &right window limit"},
          {"Sort", "&Sort lines"}}},
        separator(),
        {"Quotes",
         "Quotes",
         "Quotes",
         S::DropDown,
         "format-text-blockquote",
         0,
         {{"Load", "&Load a quotes file..."},
          {"Find", "&Find a quote..."},
          {"Next", "Find &next quote"},
          {"Random", "&Pick random quote"},
          {"Copy", "&Copy quote"}}},
    };
    return buttons;
}

const QList<ToolButton>& toolbar2()
{
    static const QList<ToolButton> buttons = {
        {"listOpen", "", "Open", S::Default, "document-open"},
        {"listNew", "", "New", S::Default, "document-new"},
        {"listClear", "", "Clear selections", S::Default, "edit-clear"},
        {"listSort", "", "Sort", S::Default, "view-sort-ascending"},
        {"listAdd", "", "Add current", S::Default, "list-add"},
        {"listRemove", "", "Remove", S::Default, "list-remove"},
    };
    return buttons;
}

const QList<ToolButton>& toolbar3()
{
    static const QList<ToolButton> buttons = {
        {"treeOpen", "", "Open", S::Default, "document-open"},
        {"treeSyncDir", "Sync w/current directory", "Sync w/current directory", S::Default,
         "view-refresh"},
        {"treeCollapse", "", "Collapse all", S::Default, "go-up"},
        {"treeRefresh", "", "Refresh folder", S::Default, "view-refresh"},
        {"treeClear", "", "Clear checkmarks", S::Default, "edit-clear"},
        {"treeExplore", "", "Explore", S::Default, "folder-open"},
    };
    return buttons;
}

const ToolButton* find(const QList<ToolButton>& buttons, const QString& key)
{
    for (const ToolButton& button : buttons)
        if (!key.isEmpty() && button.key.compare(key, Qt::CaseInsensitive) == 0)
            return &button;
    return nullptr;
}

ToolCommand toolbar1Click(const QString& key)
{
    static const QHash<QString, ToolCommand> table = {
        {"print", document("mnuPrint")},
        {"view", document("mnuViewFile")},
        // Find is the frame's command, but only with a document to search.
        {"find", document("mnuFind")},
        {"cut", document("mnuCut")},
        {"copy", document("mnuCopy")},
        {"paste", document("mnuPaste")},
        {"clear", document("mnuDelete")},
        {"font", document("mnuFont")},
        {"align left", document("mnuAlignLeft")},
        {"align center", document("mnuAlignCenter")},
        {"align right", document("mnuAlignRight")},
        {"bold", document("mnuBold")},
        {"italics", document("mnuItalic")},
        {"underline", document("mnuUnderline")},
        {"strikethru", document("mnuStrikeThru")},
        {"bullet", document("mnuBullet")},
        {"protected", document("mnuProtect")},
        {"auto", frame("mnuAutoCompleteToggle")},
    };
    return lookUp(table, key);
}

ToolCommand toolbar1MenuClick(const QString& buttonKey, const QString& entryKey)
{
    static const QHash<QString, ToolCommand> table = {
        {"new/project", frame("mnuNewProject")},
        {"new/document", frame("mnuNew")},
        {"open/project", frame("mnuOpen")},
        {"open/document", frame("mnuOpenFile")},
        {"save/project", frame("mnuSaveProject")},
        {"save/document", document("mnuSaveFile")},
        {"strip/crlf", document("mnuStrip")},
        {"strip/blanks", document("mnuStripBlanks")},
        {"strip/upto", document("mnuStripUpTo")},
        {"strip/ascii", document("mnuASCIIReplace")},
        {"strip/quotetext", document("mnuQuotedText")},
        {"strip/wwrap", document("mnuWWMargin")},
        {"strip/sort", document("mnuSortLines")},
        {"quotes/load", frame("mnuLoadQuotes")},
        {"quotes/find", frame("mnuFindQuote")},
        {"quotes/next", frame("mnuFindNextQuote")},
        {"quotes/random", frame("mnuRandom")},
        {"quotes/copy", frame("mnuCopyQuote")},
    };
    return lookUp(table, buttonKey + u'/' + entryKey);
}

ToolCommand toolbar2Click(const QString& key)
{
    static const QHash<QString, ToolCommand> table = {
        {"listopen", frame("mnuOpenFromList")},
        {"listnew", frame("mnuNew")},
        {"listclear", frame("mnuProjListClearSelected")},
        {"listsort", frame("mnuListSort")},
        {"listadd", document("mnuAddFile")},
        {"listremove", frame("mnuRemoveFile")},
    };
    return lookUp(table, key);
}

ToolCommand toolbar3Click(const QString& key)
{
    static const QHash<QString, ToolCommand> table = {
        {"treeopen", frame("mnuTreeOpen")},       {"treecollapse", frame("mnuTreeCollapseAll")},
        {"treerefresh", frame("mnuTreeRefresh")}, {"treeclear", frame("mnuTreeClearSelections")},
        {"treesyncdir", frame("mnuTreeSync")},    {"treeexplore", frame("mnuTreeExplore")},
    };
    return lookUp(table, key);
}

ToolCommand boxCommand(const QString& key)
{
    static const QHash<QString, ToolCommand> table = {
        {"fontname", document("Combo1")},
        {"fontsize", document("Combo2")},
    };
    return lookUp(table, key);
}

bool isDocumentButton(const QString& key)
{
    static const QSet<QString> keys = {
        "print",      "find",         "cut",         "copy",      "paste", "clear",   "font",
        "align left", "align center", "align right", "strip",     "bold",  "italics", "underline",
        "bullet",     "strikethru",   "auto",        "protected", "view"};
    return keys.contains(key.toLower());
}

} // namespace ToolbarTable
