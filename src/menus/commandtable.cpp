#include "commandtable.h"

#include <QHash>

namespace CommandTable {

namespace {

enum class Bar { Frame, Document };

// Rows the active document window answers.
QList<Command> inDocument(QList<Command> rows)
{
    for (Command& row : rows)
        row.scope = Scope::Document;
    return rows;
}

// Both bars open the File menu alike.
QList<Command> projectFileEntries()
{
    return {
        {"mnuFile", "", "&File"},
        {"mnuNewProject", "mnuFile", "&New project", "", "", "document-new"},
        {"mnuOpen", "mnuFile", "&Open a project...", "Ctrl+J", "", "document-open"},
        {"mnuSaveProject", "mnuFile", "Save &project file", "", "", "document-save"},
        {"mnuSaveProjectAs", "mnuFile", "Save project file &as..."},
        {"mnuSaveAll", "mnuFile", "Save &all"},
        {"mnuSep1", "mnuFile", "-"},
        {"mnuOpenFile", "mnuFile", "Open a &document...", "Ctrl+O", "", "document-open"},
    };
}

// Ctrl+S saves the notes only while no document takes it.
QList<Command> loadEntries(Bar bar)
{
    return {
        {"mnuOpenAutoComplete", "mnuFile", "Load &Auto-Complete file..."},
        {"mnuTextBlocksOpen", "mnuFile", "Load Often Used &Text Blocks..."},
        {"mnuNotesOpen", "mnuFile", "Load &Notes...", "", "", "document-open"},
        {"mnuNotesSave", "mnuFile", "Save &Notes", bar == Bar::Frame ? "Ctrl+S" : "", "",
         "document-save"},
    };
}

// The six recent-file entries close the File menu of both bars; the list of
// recent projects fills and shows them.
QList<Command> exitAndRecentFiles()
{
    return {
        {"mnuSepExit", "mnuFile", "-"},
        {"mnuExit", "mnuFile", "E&xit", "", "Alt+F4", "application-exit"},
        {"mnuRecentFile0", "mnuFile", "-", "", "", "", false},
        {"mnuRecentFile1", "mnuFile", "RecentFile1", "", "", "", false},
        {"mnuRecentFile2", "mnuFile", "RecentFile2", "", "", "", false},
        {"mnuRecentFile3", "mnuFile", "RecentFile3", "", "", "", false},
        {"mnuRecentFile4", "mnuFile", "RecentFile4", "", "", "", false},
        {"mnuRecentFile5", "mnuFile", "RecentFile5", "", "", "", false},
    };
}

// The frame answers New, the auto-complete toggle and find; the document
// window everything else.
QList<Command> documentEditMenu()
{
    return QList<Command>{
               {"mnuEdit", "", "&Edit"},
               {"mnuNew", "mnuEdit", "&New document", "Ctrl+N", "", "document-new"},
           } +
           inDocument({
               {"mnuSep6", "mnuEdit", "-"},
               {"mnuUndoItem", "mnuEdit", "&Undo", "", "Ctrl+Z", "edit-undo"},
               {"mnuSep7", "mnuEdit", "-"},
               {"mnuCut", "mnuEdit", "Cu&t", "", "Ctrl+X", "edit-cut"},
               {"mnuCopy", "mnuEdit", "&Copy to clipboard", "", "Ctrl+C", "edit-copy"},
               {"mnuCopyPath", "mnuEdit", "Copy document &pathname to clipboard"},
               {"mnuPaste", "mnuEdit", "&Paste from clipboard", "", "Ctrl+V", "edit-paste"},
               {"mnuPasteAs", "mnuEdit", "Paste &as"},
               {"mnuPasteAsLink", "mnuPasteAs", "&HTML hyperlink"},
               {"mnuPasteSpecial", "mnuPasteAs", "&Special..."},
           }) +
           QList<Command>{
               {"mnuAutoCompleteToggle", "mnuEdit", "Toggle &Auto-Complete", "Shift+F4"},
           } +
           inDocument({
               {"mnuAutoComplete", "mnuEdit", "&Auto-Complete", "F4"},
               {"mnuWordWrap", "mnuEdit", "&Word wrap (to window)"},
               {"mnuDelete", "mnuEdit", "&Delete", "", "Del", "edit-delete"},
               {"mnuSep8", "mnuEdit", "-"},
               {"mnuSelAll", "mnuEdit", "Select &All", "", "Ctrl+A", "edit-select-all"},
               {"mnuRefresh", "mnuEdit", "&Refresh", "F5", "", "view-refresh"},
               {"mnuSep9", "mnuEdit", "-"},
           }) +
           QList<Command>{
               {"mnuFind", "mnuEdit", "&Find...", "Ctrl+F", "", "edit-find"},
               {"mnuFindNext", "mnuEdit", "Find &next", "F3"},
               {"mnuReplace", "mnuEdit", "R&eplace...", "Ctrl+H", "", "edit-find-replace"},
           } +
           inDocument({
               {"mnuSep10", "mnuEdit", "-"},
               {"mnuTime", "mnuEdit", "Insert &Date/Time"},
               {"mnuDateGeneral", "mnuTime", "General"},
               {"mnuDateLong", "mnuTime", "Long Date"},
               {"mnuDateMed", "mnuTime", "Medium Date"},
               {"mnuDateShort", "mnuTime", "Short date"},
               {"mnuTimeLong", "mnuTime", "Long time"},
               {"mnuTimeMed", "mnuTime", "Medium time"},
               {"mnuTimeShort", "mnuTime", "Short time"},
               {"mnuObjInsert", "mnuEdit", "Insert &Object..."},
               {"mnuSep11", "mnuEdit", "-"},
               {"mnuFont", "mnuEdit", "&Font...", "", "", "preferences-desktop-font"},
               {"mnuEmphasis", "mnuEdit", "&Emphasis"},
               {"mnuBold", "mnuEmphasis", "&Bold", "Ctrl+B", "", "format-text-bold"},
               {"mnuItalic", "mnuEmphasis", "&Italic", "Ctrl+I", "", "format-text-italic"},
               {"mnuUnderline", "mnuEmphasis", "&Underlined", "Ctrl+U", "",
                "format-text-underline"},
               {"mnuStrikeThru", "mnuEmphasis", "&Strikethru", "", "", "format-text-strikethrough"},
               {"mnuEmphasisRemove", "mnuEmphasis", "&Remove emphasis", "Ctrl+R"},
               {"mnuStyle", "mnuEdit", "&Style"},
               {"mnuAlign", "mnuStyle", "&Align"},
               {"mnuAlignLeft", "mnuAlign", "&left", "", "", "format-justify-left"},
               {"mnuAlignCenter", "mnuAlign", "&center", "", "", "format-justify-center"},
               {"mnuAlignRight", "mnuAlign", "&right", "", "", "format-justify-right"},
               {"mnuIndent", "mnuStyle", "&Indent"},
               {"mnuIndentLeft", "mnuIndent", "&left..."},
               {"mnuIndentHang", "mnuIndent", "&hanging..."},
               {"mnuIndentRight", "mnuIndent", "&right..."},
               {"mnuBullet", "mnuStyle", "&Bulleted..."},
               {"mnuProtect", "mnuEdit", "&Protect text"},
               {"mnuSelCharOffset", "mnuEdit", "Display super/subscript &tool", "Ctrl+T"},
               {"mnuStripmenu", "mnuEdit", "&Strip/Reformat"},
               {"mnuStrip", "mnuStripmenu", "excess &CRLF's"},
               {"mnuStripBlanks", "mnuStripmenu", "excess &blanks"},
               {"mnuStripUpTo", "mnuStripmenu", "each line up to char(s)"},
               {"mnuASCIIReplace", "mnuStripmenu", "Replace &ASCII code(s)..."},
               {"mnuQuotedText", "mnuStripmenu",
                "Append &quote or other character(s) to each line..."},
               {"mnuWWMargin", "mnuStripmenu", "Insert CR's at &right window limit"},
               {"mnuSortLines", "mnuStripmenu", "&Sort selected lines"},
               {"mnuSep12", "mnuEdit", "-"},
               {"mnuViewFile", "mnuEdit", "Quick &view document in external app", "Shift+F5"},
           });
}

// Only a document can be added to the project; the frame's bar keeps the
// entry for all documents hidden.
QList<Command> projectListMenu(Bar bar)
{
    const bool document = bar == Bar::Document;
    QList<Command> menu = {
        {"mnuProjList", "", "Project &list"},
        {"mnuOpenFromList", "mnuProjList", "&Open selected item(s)", "", "Enter", "document-open"},
        {"mnuListOpenExt", "mnuProjList", "Open selected item(s) with e&xternal app"},
        {"mnuListOpenWith", "mnuProjList", "Open item &with..."},
        {"mnuCopyListPath", "mnuProjList", "Copy selected &pathname(s) to clipboard", "", "",
         "edit-copy"},
    };
    if (document)
        menu += inDocument(
            {{"mnuAddFile", "mnuProjList", "&Add current document", "", "", "list-add"}});
    menu += QList<Command>{
        {"mnuAddAll", "mnuProjList", "&Add all open documents", "", "", "", document, document},
        {"mnuLinkAdd", "mnuProjList", "Add '&read-only' file shortcut..."},
        {"mnuRemoveFile", "mnuProjList", "&Remove selected item(s)", "", "Del", "list-remove"},
        {"mnuSelectAll", "mnuProjList", "Select &all"},
        {"mnuProjListClearSelected", "mnuProjList", "&Clear selections"},
        {"mnuListSort", "mnuProjList", "&Sort", "", "", "view-sort-ascending"},
        {"mnuListEditPrj", "mnuProjList", "&Edit project file as document"},
    };
    return menu;
}

// F5 refreshes the tree only while no document takes it for itself.
QList<Command> treeMenu(Bar bar)
{
    return {
        {"mnuTreeView", "", "&Tree view"},
        {"mnuTreeOpen", "mnuTreeView", "&Open checked item(s)", "", "", "document-open"},
        {"mnuTreeOpenExt", "mnuTreeView", "Open checked item(s) with e&xternal app"},
        {"mnuTreeOpenWith", "mnuTreeView", "Open selected item &with..."},
        {"mnuTreeAdd2List", "mnuTreeView", "Add &checked item(s) to project list"},
        {"mnuTreeCopyPath", "mnuTreeView", "Copy checked &pathname(s) to clipboard", "", "",
         "edit-copy"},
        {"mnuTreeSync", "mnuTreeView", "&Synchronize w/current directory"},
        {"mnuTreeDirChg", "mnuTreeView", "Change to selected &directory"},
        {"mnuTreeCollapseAll", "mnuTreeView", "Collapse &All"},
        {"mnuTreeClearSelections", "mnuTreeView", "Clear &Checkmarks"},
        {"mnuTreeDelete", "mnuTreeView", "&Delete checked item(s)", "", "Del", "edit-delete"},
        {"mnuTreeRename", "mnuTreeView", "&Rename selected item", "F2"},
        {"mnuTreeRefresh", "mnuTreeView", "&Refresh selected folder", bar == Bar::Frame ? "F5" : "",
         "", "view-refresh"},
        {"mnuTreeCreateFolder", "mnuTreeView", "&Create a new folder", "", "", "folder-new"},
        {"mnuTreeExplore", "mnuTreeView", "&Explore folder", "", "", "folder-open"},
    };
}

// Ctrl+F and F3 find quotes only while no document takes them for find.
QList<Command> quotesMenu(Bar bar)
{
    const bool frame = bar == Bar::Frame;
    return {
        {"mnuQuotes", "", "&Quotes"},
        {"mnuLoadQuotes", "mnuQuotes", "&Load quotes file..."},
        {"mnuFindQuote", "mnuQuotes", "&Find a quote...", frame ? "Ctrl+F" : "", "", "edit-find"},
        {"mnuFindNextQuote", "mnuQuotes", "Find &next", frame ? "F3" : ""},
        {"mnuRandom", "mnuQuotes", "&Pick a random quote"},
        {"mnuCopyQuote", "mnuQuotes", "&Copy selected quote", "", "Ctrl-C", "edit-copy"},
    };
}

QList<Command> optionsMenu(Bar bar)
{
    const bool frame = bar == Bar::Frame;
    QList<Command> menu = {
        {"mnuOptions", "", "&Options"},
        {"mnuPrefItem", "mnuOptions", "&Defaults...", "Ctrl+D", "", "preferences-system"},
        {"mnuToolbar", "mnuOptions", "&Toolbar"},
        {"mnuToolBarCustomize", "mnuToolbar", "&Customize..."},
        {"mnuToolbarButtonStyle", "mnuToolbar", "&Button style"},
        {"mnuToolbarButtonRaised", "mnuToolbarButtonStyle", "&raised"},
        {"mnuToolbarButtonFlat", "mnuToolbarButtonStyle", "&flat"},
    };
    if (frame)
        menu.append({"mnuSepInternet", "mnuOptions", "-"});
    menu += QList<Command>{
        {"mnuIntEmail", "mnuOptions", "Compose &Email message"},
        {"mnuIntNews", "mnuOptions", frame ? "Read &News" : "Read &news"},
        {"mnuIntSnews", "mnuOptions", "Read &Secure news"},
        {"mnuIntFTP", "mnuOptions", "Start &FTP program"},
        {"mnuSAR", "mnuOptions", "&Disk Search && Replace"},
    };
    return menu;
}

// The window and help menus are the same in both bars.
QList<Command> windowAndHelpMenus()
{
    return {
        {"mnuWindow", "", "&Window"},
        {"mnuWindowCascade", "mnuWindow", "&Cascade"},
        {"mnuWindowTileHoriz", "mnuWindow", "&Tile horizontal"},
        {"mnuWindowTileVertical", "mnuWindow", "Tile &vertical"},
        {"mnuWindowArrange", "mnuWindow", "&Arrange Icons"},
        {"mnuSepW", "mnuWindow", "-"},
        {"mnuNextPane", "mnuWindow", "&Next window", "", "Ctrl+F6", "go-next"},
        {"mnuMinRest", "mnuWindow", "Minimize or restore &All", "F12"},
        {"mnuWindowSendBack", "mnuWindow", "&Send to back"},
        {"mnuHelp", "", "&Help"},
        {"mnuUserManual", "mnuHelp", "&User manual", "", "F1", "help-contents"},
        {"mnuHTMLTagRef", "mnuHelp", "&HTML/CSS Quick reference"},
        {"mnuAbout", "mnuHelp", "&About Quillora", "", "", "help-about"},
    };
}

} // namespace

const QList<Command>& frameBar()
{
    static const QList<Command> table =
        projectFileEntries() +
        QList<Command>{
            {"mnuSep2", "mnuFile", "-"},
            {"mnuCloseAll", "mnuFile", "Close &all open documents"},
            {"mnuSep3", "mnuFile", "-"},
        } +
        loadEntries(Bar::Frame) + exitAndRecentFiles() +
        QList<Command>{
            {"mnuEdit", "", "&Edit"},
            {"mnuNew", "mnuEdit", "&New document", "Ctrl+N", "", "document-new"},
            {"mnuAutoCompleteToggle", "mnuEdit", "Toggle &Auto-Complete", "Shift+F4"},
        } +
        projectListMenu(Bar::Frame) + treeMenu(Bar::Frame) + quotesMenu(Bar::Frame) +
        optionsMenu(Bar::Frame) + windowAndHelpMenus();
    return table;
}

const QList<Command>& documentBar()
{
    static const QList<Command> table =
        projectFileEntries() +
        inDocument({
            {"mnuSaveFile", "mnuFile", "&Save document", "Ctrl+S", "", "document-save"},
            {"mnuSaveFileAs", "mnuFile", "Save document &as...", "", "", "document-save-as"},
            {"mnuSep2", "mnuFile", "-"},
            {"mnuClose", "mnuFile", "&Close document", "Ctrl+F4", "", "window-close"},
        }) +
        QList<Command>{
            {"mnuCloseAll", "mnuFile", "Close &all documents"},
        } +
        inDocument({
            {"mnuSep3", "mnuFile", "-"},
            {"mnuPageSetup", "mnuFile", "&Page setup...", "", "", "document-page-setup"},
            {"mnuPrint", "mnuFile", "&Print document...", "Ctrl+P", "", "document-print"},
            {"mnuSep4", "mnuFile", "-"},
        }) +
        loadEntries(Bar::Document) + exitAndRecentFiles() + documentEditMenu() +
        projectListMenu(Bar::Document) + treeMenu(Bar::Document) + quotesMenu(Bar::Document) +
        optionsMenu(Bar::Document) + windowAndHelpMenus();
    return table;
}

const QList<Command>& contextMenus()
{
    static const QList<Command> table = {
        {"mnuRCMDI", "", "RCMDI", "", "", "", false},
        {"mnuRCMDIDragDropHelp", "mnuRCMDI", "&Drag/Drop help"},
        {"mnuRCProjList", "", "RCProjList", "", "", "", false},
        {"mnuRCOpenFromList", "mnuRCProjList", "&Open selected item(s)"},
        {"mnuRCListOpenExt", "mnuRCProjList", "Open selected item(s) with e&xternal app"},
        {"mnuRCListOpenWith", "mnuRCProjList", "Open item &with..."},
        {"mnuRCCopyPath", "mnuRCProjList", "&Copy selected pathname(s) to clipboard"},
        {"mnuRCRemove", "mnuRCProjList", "&Remove selected items from project"},
        {"mnuRCListSort", "mnuRCProjList", "&Sort list"},
        {"mnuRCListDragDropHelp", "mnuRCProjList", "&Drag/Drop help"},
        {"mnuRCTree", "", "RCTree", "", "", "", false},
        {"mnuRCTreeOpen", "mnuRCTree", "&Open selected item"},
        {"mnuRCTreeOpenExt", "mnuRCTree", "Open selected item with e&xternal app"},
        {"mnuRCTreeOpenWith", "mnuRCTree", "Open selected item &with..."},
        {"mnuRCTreeAdd2List", "mnuRCTree", "Add selected item to project list"},
        {"mnuRCTreeCopyPath", "mnuRCTree", "Copy selected &pathname to clipboard"},
        {"mnuRCTreeDirChange", "mnuRCTree", "Change to this &directory"},
        {"mnuRCTreeDelete", "mnuRCTree", "&Delete selected item"},
        {"mnuRCTreeRename", "mnuRCTree", "&Rename selected item"},
        {"mnuRCTreeCreateFolder", "mnuRCTree", "&Create a new folder"},
        {"mnuRCTreeExplore", "mnuRCTree", "&Explore"},
        {"mnuRCTreeDragDropHelp", "mnuRCTree", "&Drag/Drop help"},
        {"mnuRCQuotes", "", "RCQuotes", "", "", "", false},
        {"mnuRCFindQuote", "mnuRCQuotes", "&Find a quote..."},
        {"mnuRCFindNextQuote", "mnuRCQuotes", "Find &next"},
        {"mnuRCRandom", "mnuRCQuotes", "&Pick a random quote"},
        {"mnuRCCopyQuote", "mnuRCQuotes", "&Copy selected quote"},
    };
    return table;
}

Scope scope(const QString& name)
{
    static const QHash<QString, Scope> scopes = [] {
        QHash<QString, Scope> map;
        for (const Command& command : documentBar())
            if (command.scope == Scope::Document)
                map.insert(QString::fromLatin1(command.name), Scope::Document);
        return map;
    }();
    return scopes.value(name, Scope::Frame);
}

const Command* find(const QList<Command>& table, const QString& name)
{
    for (const Command& command : table)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

} // namespace CommandTable
