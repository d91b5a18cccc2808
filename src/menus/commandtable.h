#pragma once

#include <QList>
#include <QString>

// Who answers an entry: the frame, whichever bar it sits in, or the active
// document window (such an entry exists only in the document bar).
enum class Scope { Frame, Document };

// One entry of a menu: its control name, the menu it sits in, its caption with
// the access key, the shortcut it owns, the key text it only shows (keys that
// a control or the window system handles itself), its picture, its initial
// states and its scope.
struct Command {
    const char* name;
    const char* parent;
    const char* caption;
    const char* shortcut = "";
    const char* keyText = "";
    const char* icon = "";
    bool visible = true;
    bool enabled = true;
    Scope scope = Scope::Frame;
};

// Every menu of the editor, in menu order. Separators are named mnuSep… with
// the caption "-"; top menus have an empty parent. The frame's bar shows while
// no document window is active, the document bar otherwise; the context menus
// are hidden top menus that the panes pop up.
namespace CommandTable {
const QList<Command>& frameBar();
const QList<Command>& documentBar();
const QList<Command>& contextMenus();
// The scope of a control name; names not in the tables are the frame's.
Scope scope(const QString& name);
const Command* find(const QList<Command>& table, const QString& name);
} // namespace CommandTable
