#include "commandtable.h"

namespace CommandTable {

const QList<Command>& commands()
{
    static const QList<Command> table = {
        {"mnuFile", "", "&File"},
        {"mnuOpenFile", "mnuFile", "Open a &document...", "Ctrl+O", "", "document-open"},
        {"mnuSaveFile", "mnuFile", "&Save document", "Ctrl+S", "", "document-save", true},
        {"mnuSaveFileAs", "mnuFile", "Save document &as...", "", "", "document-save-as", true},
        {"mnuSaveAll", "mnuFile", "Save &all", "", "", "", true},
        {"mnuSep1", "mnuFile", "-"},
        {"mnuClose", "mnuFile", "&Close document", "", "Ctrl+F4", "window-close", true},
        {"mnuCloseAll", "mnuFile", "Close &all documents", "", "", "", true},
        {"mnuSep2", "mnuFile", "-"},
        {"mnuExit", "mnuFile", "E&xit", "", "Alt+F4", "application-exit"},
        {"mnuEdit", "", "&Edit"},
        {"mnuNew", "mnuEdit", "&New document", "Ctrl+N", "", "document-new"},
        {"mnuSep3", "mnuEdit", "-"},
        {"mnuUndoItem", "mnuEdit", "&Undo", "", "Ctrl+Z", "edit-undo", true},
        {"mnuSep4", "mnuEdit", "-"},
        {"mnuCut", "mnuEdit", "Cu&t", "", "Ctrl+X", "edit-cut", true},
        {"mnuCopy", "mnuEdit", "&Copy to clipboard", "", "Ctrl+C", "edit-copy", true},
        {"mnuPaste", "mnuEdit", "&Paste from clipboard", "", "Ctrl+V", "edit-paste", true},
        {"mnuDelete", "mnuEdit", "&Delete", "", "Del", "edit-delete", true},
        {"mnuSep5", "mnuEdit", "-"},
        {"mnuSelAll", "mnuEdit", "Select &All", "", "Ctrl+A", "edit-select-all", true},
    };
    return table;
}

const Command* find(const QString& name)
{
    for (const Command& command : commands())
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

} // namespace CommandTable
