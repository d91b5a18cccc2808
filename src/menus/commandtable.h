#pragma once

#include <QList>
#include <QString>

// One entry of the menus: its control name, the menu it sits in, its caption
// with the access key, the shortcut it owns, and the key text it only shows
// (keys that the focused control handles itself).
struct Command {
    const char* name;
    const char* parent;
    const char* caption;
    const char* shortcut = "";
    const char* keyText = "";
    const char* icon = "";
    bool needsDocument = false;
    bool visible = true;
    bool enabled = true;
};

// Every menu entry of the editor, in menu order. Separators are named mnuSep…
// with the caption "-"; top menus have an empty parent.
namespace CommandTable {
const QList<Command>& commands();
const Command* find(const QString& name);
} // namespace CommandTable
