#pragma once

#include <QList>
#include <QString>

// One entry of a menu: its control name, the menu it sits in, its caption with
// the access key, the shortcut it owns, the key text it only shows (keys that
// a control or the window system handles itself), its picture and its initial
// states.
struct Command {
    const char* name;
    const char* parent;
    const char* caption;
    const char* shortcut = "";
    const char* keyText = "";
    const char* icon = "";
    bool visible = true;
    bool enabled = true;
};

// Every menu of the editor, in menu order. Separators are named mnuSep… with
// the caption "-"; top menus have an empty parent. The frame's bar shows while
// no document window is active, the document bar otherwise; the context menus
// are hidden top menus that the panes pop up.
namespace CommandTable {
const QList<Command>& frameBar();
const QList<Command>& documentBar();
const QList<Command>& contextMenus();
// Entries of the document bar that only call the frame's handler of the same name.
bool routedToFrame(const QString& name);
const Command* find(const QList<Command>& table, const QString& name);
} // namespace CommandTable
